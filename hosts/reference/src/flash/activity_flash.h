// The temperature-pressure phase split of an activity-coefficient liquid under an ideal-gas vapour:
// K_i = gamma_i(x) Psat_i / P, the liquid by NRTL. Without free water the liquid may split into two
// (a liquid-liquid stability test of every liquid found); with free water, water forms a pure liquid
// of its own once its partial pressure reaches its vapour pressure and does not dissolve in the
// organic liquid (as under the other methods), which is then kept as one liquid.
#pragma once

#include <span>
#include <vector>

#include "flash/liquid_split.h"
#include "numerics/solver.h"

namespace kvt::reference {

struct ActivitySplit {
  // component amounts per amount of feed in the vapour, the first and the second liquid
  std::vector<double> v, l1, l2;
  // y_i / x_i of the (first, or incipient) liquid: gamma_i Psat_i / P, for an incipient phase
  std::vector<double> k;
  SolveStatus status = SolveStatus::kConverged;
};

// psat: each component's vapour pressure at m.t() (Pa); z: the feed (sums to 1); water: the index of
// water, or -1; free_water: water may form a pure liquid of its own. With two liquids the second is
// the one richer in water.
ActivitySplit activity_split(const NrtlAt& m, std::span<const double> psat, std::span<const double> z, double p,
                             int water, bool free_water);

}  // namespace kvt::reference
