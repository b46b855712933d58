// The Rachford-Rice equations of three phases: the fractions (bv, bl) of a feed z in a vapour and a
// second liquid beside a first liquid, for ratios kv_i = y_i / x1_i and kl_i = x2_i / x1_i, from
//   sum_i z_i (kv_i - 1) / t_i = 0,  sum_i z_i (kl_i - 1) / t_i = 0,  t_i = 1 + bv (kv_i - 1) + bl (kl_i - 1),
// so that x1_i = z_i / t_i. Solved as the minimum of the convex function -sum_i z_i ln t_i over the
// region where every t_i > 0 (Michelsen 1994): Newton's method with its step kept inside that region
// and cut until the function falls. The fractions are not bounded to [0, 1] (a negative flash): a
// fraction below 0 says that phase is absent, which the caller decides.
#pragma once

#include <span>

#include "numerics/solver.h"

namespace kvt::reference {

struct ThreePhaseFractions {
  double vapour = 0.0, liquid2 = 0.0;
  SolveStatus status = SolveStatus::kConverged;
};

// Components with z = 0 are ignored. (bv, bl) is the start; one outside the region starts from (0, 0).
ThreePhaseFractions rachford_rice_three(std::span<const double> z, std::span<const double> kv, std::span<const double> kl,
                                        Stopping stop, double bv = 0.0, double bl = 0.0);

}  // namespace kvt::reference
