// The one-dimensional search behind every flash kind but T-P: over T at fixed P, or over -ln P at
// fixed T, for the state where a measure (enthalpy, vapour fraction) reaches its target.
#pragma once

#include <cmath>
#include <functional>

#include "flash/flash_state.h"

namespace kvt::reference {

struct Search {
  std::function<State(double)> at;        // state at the search variable
  std::function<double(const State&)> m;  // measure, non-decreasing in the variable where monotone
  double target = 0.0;
  double tol = 0.0;       // a measure within tol below the target reaches it (a plateau at the target)
  bool boundary = false;  // the answer is a phase boundary (a vapour fraction), never an end of the range
  // across a jump of the measure: whether the states either side are one fluid counted liquid on one
  // side and vapour on the other, rather than phases that coexist
  std::function<bool(const State&, const State&)> one_fluid;
  double lo = 0.0, hi = 0.0;  // variable bounds
  double guess = std::nan("");
};

// Why a search failed: the target lies beyond the measure's least value (low) or greatest (high),
// shown at the state `where`; or the only crossing is one fluid changing its label (spurious).
struct Miss {
  enum Kind { kLow, kHigh, kSpurious } kind = kLow;
  double measure = 0.0;
  State where;
};

// Bracketed bisection for the state where the measure reaches the target, the lever rule across a
// jump. False (and `miss` says why) when no state of the range reaches it. A bracket or golden
// section that stops at its cap marks out.status.
bool solve(const Search& s, State& out, Miss& miss);

}  // namespace kvt::reference
