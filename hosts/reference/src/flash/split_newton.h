// Newton's method on the Gibbs energy of a Peng-Robinson vapour-liquid (or liquid-liquid) split at
// T and P, the second-order step of Michelsen's flash (Fluid Phase Equilib. 9 (1982) 21-40): in the
// vapour's component amounts v_i (the liquid's l_i = z_i - v_i), the gradient of G / RT is
// ln f_i(vapour) - ln f_i(liquid), its Hessian the sum of both phases' d ln f_i / d n_j. It converges
// quadratically where successive substitution slows without bound, next to a mixture's critical
// point (vapour-liquid or liquid-liquid), as long as the two phases still differ.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "models/peng_robinson.h"
#include "numerics/solver.h"

namespace kvt::reference {

// How a split at T and P ended, by this method or by successive substitution (substitution.h).
struct Substituted {
  double beta = 0.0;  // vapour fraction of the feed at the last ratios
  SolveStatus status = SolveStatus::kConverged;
};

// From the ratios k (updated in place, K_i = y_i / x_i) until the largest
// |ln f_i(vapour) - ln f_i(liquid)| is at most the tolerance; where the ratios split the feed outside
// (0, 1), from the phase they say would form, in part of the amount the feed could give. Each
// iteration (one evaluation of both phases and their derivatives) counts against the cap. A step
// that does not lower G nor the residual is halved, and after a few halvings replaced by one of
// successive substitution (which never raises G). Component `barred` (zf.size(): none) stays all
// vapour. Where one phase's share of the feed vanishes on the way (the least G is the feed as one
// phase) it ends there, converged, with the vapour fraction 0 or 1.
Substituted newton_split(const PengRobinson& pr, double t, double p, std::span<const double> zf, std::vector<double>& k,
                         std::size_t barred, Stopping stop);

}  // namespace kvt::reference
