// Successive substitution of Peng-Robinson equilibrium ratios: from ratios K, split the feed by
// Rachford-Rice, take K_i = phi_i(liquid) / phi_i(vapour) of the two phases, repeat.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "peng_robinson.h"
#include "solver.h"

namespace kvt::reference {

// One component may be kept out of the liquid (`barred` < z.size(), none in the feed when held):
// with held_fraction >= 0 it is held at that mole fraction in the vapour (water over free water: the
// others then share the rest of the vapour), with held_fraction < 0 all of it is vapour.
struct Barred {
  std::size_t index = 0;  // z.size() when no component is barred
  double held_fraction = -1.0;
};

struct Substituted {
  double beta = 0.0;  // vapour fraction of the feed at the last ratios
  SolveStatus status = SolveStatus::kConverged;
};

// Iterate from the ratios k (updated in place) at T and P until the largest change of ln K is at
// most the tolerance.
Substituted substitute(const PengRobinson& pr, double t, double p, std::span<const double> zf, std::vector<double>& k,
                       Barred barred, Stopping stop);

}  // namespace kvt::reference
