// The Rachford-Rice equation: the vapour fraction beta of a feed z that splits with equilibrium
// ratios K, the root in (0, 1) of sum_i z_i (K_i - 1) / (1 + beta (K_i - 1)) = 0.
#pragma once

#include <span>

#include "numerics/solver.h"

namespace kvt::reference {

struct VapourSplit {
  double beta = 0.0;
  SolveStatus status = SolveStatus::kConverged;
};

// beta in [0, 1]: 0 when sum z K <= 1 (no vapour), 1 when sum z / K <= 1 (no liquid). Components with
// z = 0 are ignored. `never_liquid` is the feed fraction of components barred from the liquid (K
// infinite: water kept out of an organic liquid), which enters as never_liquid / beta. `start` is
// the first beta tried (a substitution passes its last root, a step or two from the next).
VapourSplit rachford_rice(std::span<const double> z, std::span<const double> k, double never_liquid,
                          Stopping stop, double start = 0.5);

}  // namespace kvt::reference
