// The liquid-liquid stability and split of one NRTL liquid at T: a tangent-plane test from a trial
// rich in each component, then the split by substitution and Newton's method on its Gibbs energy.
#pragma once

#include <span>
#include <vector>

#include "models/nrtl.h"
#include "numerics/solver.h"

namespace kvt::reference {

// A liquid-liquid split of a liquid z at T: the two liquids' mole fractions and the second's share
// of the amount, or split = false when z is stable (a tangent-plane test from a trial rich in each
// component finds no lower Gibbs energy). Components with z_i = 0 stay absent.
struct LiquidSplit {
  bool split = false;
  SolveStatus status = SolveStatus::kConverged;
  std::vector<double> x1, x2;
  double beta = 0.0;  // amount of the second liquid per amount of z
};
// Whether z is unstable as one liquid; `trial` receives the composition of the most unstable trial.
bool nrtl_unstable(const NrtlAt& m, std::span<const double> z, std::vector<double>* trial = nullptr);
LiquidSplit nrtl_liquid_split(const NrtlAt& m, std::span<const double> z);

}  // namespace kvt::reference
