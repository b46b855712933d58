// The vapour-liquid-liquid split of an activity-coefficient liquid under an ideal-gas vapour, solved
// as one system. Unknowns: ln kv_i = ln(y_i / x1_i) and ln kl_i = ln(x2_i / x1_i) of every component.
// For given ratios the phase fractions follow from the three-phase Rachford-Rice equations, and from
// the liquids so found new ratios: kv_i = gamma_i(x1) Psat_i / P, kl_i = gamma_i(x1) / gamma_i(x2).
// The fixed point of that map is found by substitution first and Newton's method after
// (fixed_point.h), so a state near a plait point or a second liquid's appearance, where substitution
// crawls, still converges.
#pragma once

#include <span>
#include <vector>

#include "models/nrtl.h"
#include "numerics/solver.h"

namespace kvt::reference {

struct ThreePhaseSplit {
  std::vector<double> y, x1, x2;     // mole fractions of the vapour and the two liquids
  std::vector<double> kv;            // y_i / x1_i
  double vapour = 0.0, liquid2 = 0.0;  // fractions of the feed in the vapour and in the second liquid
  bool collapsed = false;            // the two liquids came together (no second liquid)
  SolveStatus status = SolveStatus::kConverged;
};

// From the ratios kv, kl and the fractions (vapour, liquid2) of a first estimate. The fractions of
// the result may lie outside [0, 1]: a negative one says the state has no such phase.
ThreePhaseSplit activity_three_phase(const NrtlAt& m, std::span<const double> psat, std::span<const double> z, double p,
                                     std::span<const double> kv, std::span<const double> kl, double vapour,
                                     double liquid2, Stopping stop);

}  // namespace kvt::reference
