// Successive substitution of Peng-Robinson equilibrium ratios: from ratios K, split the feed by
// Rachford-Rice, take K_i = phi_i(liquid) / phi_i(vapour) of the two phases, repeat.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "flash/split_newton.h"
#include "models/peng_robinson.h"
#include "numerics/solver.h"

namespace kvt::reference {

// Iterate from the ratios k (updated in place) at T and P until the largest change of ln K is at
// most the tolerance. Component `barred` (zf.size(): none) is kept out of the liquid: all of it is
// vapour (water where free water cannot form).
Substituted substitute(const PengRobinson& pr, double t, double p, std::span<const double> zf, std::vector<double>& k,
                       std::size_t barred, Stopping stop);

}  // namespace kvt::reference
