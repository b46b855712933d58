// The fixed point u = g(u) of a map, as the host's phase-equilibrium iterations have it (ln K of a
// split, ln W of a stability trial): plain substitution first, which is robust where the map
// contracts well, then Newton's method on u - g(u) with a Jacobian by differences, which keeps
// converging where substitution slows to a crawl (near a critical point or a stability limit).
#pragma once

#include <functional>
#include <vector>

#include "numerics/solver.h"

namespace kvt::reference {

// g(u) into out (out has u's size).
using FixedPointMap = std::function<void(const std::vector<double>& u, std::vector<double>& out)>;
// Whether an iterate u (with g(u)) already settles what the caller asks, so that it needs no fixed
// point (a stability trial that has found a negative tangent-plane distance).
using Settled = std::function<bool(const std::vector<double>& u, const std::vector<double>& gu)>;

// Iterate from u (updated in place, left at g of the last iterate) until max |g(u) - u| is at most
// the tolerance; `substitutions` plain steps first, Newton steps after (a step that does not reduce
// the residual is halved, and after a few halvings replaced by a plain one). Every evaluation of g
// counts one iteration against the cap. An iterate that `settled` accepts ends the iteration there (u
// is left at that iterate), as converged.
SolveStatus fixed_point(std::vector<double>& u, const FixedPointMap& g, Stopping stop, int substitutions,
                        const Settled& settled = nullptr);

}  // namespace kvt::reference
