// The state a flash works on: component amounts per kmol of feed in the vapour, the first liquid and
// the second (free-water) liquid at one temperature and pressure.
#pragma once

#include <vector>

#include "numerics/solver.h"

namespace kvt::reference {

struct State {
  double t = 0.0, p = 0.0;
  std::vector<double> v, l1, l2;
  std::vector<double> k;  // Peng-Robinson: the last equilibrium ratios y_i / x_i (for incipient phases)
  // Peng-Robinson, a single phase: the ratios of the stability test's trial of the phase that would
  // form (for the incipient phase where k is empty), empty where that trial fell onto the feed
  std::vector<double> incipient_k;
  const Stopping* capped = nullptr;  // the first iteration behind the state that stopped at its cap, if one did
};

double sum(const std::vector<double>& a);
// a divided by its sum (zeros when the sum is not positive).
std::vector<double> fractions(const std::vector<double>& a);
// The vapour's share of a state: exactly 1 when no liquid is present, whatever the rounding of the
// feed's fractions (a feed divided from component flows sums to 1 only within a few ulps).
double vapour_fraction(const State& s);
// The lever-rule mixture (1 - lambda) a + lambda b of two states either side of a jump.
State combine(const State& a, const State& b, double lambda);

}  // namespace kvt::reference
