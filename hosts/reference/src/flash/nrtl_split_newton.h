// The liquid-liquid split of an NRTL liquid by Newton's method on its Gibbs energy (Michelsen 1982):
// the unknowns are the amounts v_i of each component in the second liquid (z_i - v_i in the first),
// the gradient of G/RT is mu2_i - mu1_i (mu = ln x + ln gamma), its Hessian is taken by differences,
// and every step must lower G, so the iteration cannot slide onto the one-liquid (trivial) solution,
// which substitution's ratios approach as readily as the split near a plait point. Started from a few
// substitution steps, it converges where substitution crawls at a rate near 1.
#pragma once

#include <span>
#include <vector>

#include "models/nrtl.h"
#include "numerics/solver.h"

namespace kvt::reference {

// z: the liquid (sums to 1); x1, x2, beta: the start, replaced by the split (x2 the second liquid,
// beta its share). kStoppedAtCap when the iteration could not lower G further short of the tolerance
// (on the largest |mu2_i - mu1_i|) or ran out of steps; x1, x2, beta are then left at the start.
SolveStatus nrtl_split_newton(const NrtlAt& m, std::span<const double> z, std::vector<double>& x1, std::vector<double>& x2,
                              double& beta, Stopping stop);

}  // namespace kvt::reference
