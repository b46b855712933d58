#include "numerics/fixed_point.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "numerics/linear_solve.h"

namespace kvt::reference {

namespace {

double largest(const std::vector<double>& a, const std::vector<double>& b) {
  double m = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) m = std::max(m, std::abs(a[i] - b[i]));
  return m;
}

// Halvings of a Newton step that does not reduce the residual before a plain step replaces it.
constexpr int kHalvings = 6;

}  // namespace

SolveStatus fixed_point(std::vector<double>& u, const FixedPointMap& g, Stopping stop, int substitutions,
                        const Settled& settled) {
  const std::size_t n = u.size();
  std::vector<double> gu(n), trial(n), g_trial(n), jac(n * n), step(n);
  int evaluations = 0;
  auto eval = [&](const std::vector<double>& at, std::vector<double>& out) {
    ++evaluations;
    g(at, out);
    return largest(at, out);
  };
  double residual = eval(u, gu);
  auto done = [&] { return settled && settled(u, gu); };
  while (evaluations < stop.cap) {
    if (residual <= stop.tolerance) {
      u = gu;
      return SolveStatus::kConverged;
    }
    if (done()) return SolveStatus::kConverged;
    if (evaluations <= substitutions || n == 0) {
      u = gu;
      residual = eval(u, gu);
      continue;
    }
    // Newton on F(u) = u - g(u): J = I - dg/du by forward differences.
    for (std::size_t j = 0; j < n; ++j) {
      trial = u;
      const double h = kDifferenceStep * std::max(1.0, std::abs(u[j]));
      trial[j] += h;
      eval(trial, g_trial);
      for (std::size_t i = 0; i < n; ++i) jac[i * n + j] = (i == j ? 1.0 : 0.0) - (g_trial[i] - gu[i]) / h;
    }
    for (std::size_t i = 0; i < n; ++i) step[i] = gu[i] - u[i];
    bool moved = false;
    if (linear_solve(jac, step)) {
      double lambda = 1.0;
      for (int k = 0; k <= kHalvings && evaluations < stop.cap; ++k, lambda *= 0.5) {
        for (std::size_t i = 0; i < n; ++i) trial[i] = u[i] + lambda * step[i];
        const double r = eval(trial, g_trial);
        if (std::isfinite(r) && r < residual) {
          u = trial, gu = g_trial, residual = r, moved = true;
          break;
        }
      }
    }
    if (!moved && evaluations < stop.cap) {
      u = gu;
      residual = eval(u, gu);
    }
  }
  if (residual <= stop.tolerance) {
    u = gu;
    return SolveStatus::kConverged;
  }
  u = gu;
  return SolveStatus::kStoppedAtCap;
}

}  // namespace kvt::reference
