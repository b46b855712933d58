#include "fixed_point.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kvt::reference {

namespace {

double largest(const std::vector<double>& a, const std::vector<double>& b) {
  double m = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) m = std::max(m, std::abs(a[i] - b[i]));
  return m;
}

// A relative step for the differences: about the square root of the double's precision.
constexpr double kDifferenceStep = 1e-7;
// Halvings of a Newton step that does not reduce the residual before a plain step replaces it.
constexpr int kHalvings = 6;

}  // namespace

bool linear_solve(std::vector<double>& a, std::vector<double>& b) {
  const std::size_t n = b.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t piv = c;
    for (std::size_t r = c + 1; r < n; ++r) {
      if (std::abs(a[r * n + c]) > std::abs(a[piv * n + c])) piv = r;
    }
    if (!(std::abs(a[piv * n + c]) > 1e-300)) return false;
    if (piv != c) {
      for (std::size_t k = 0; k < n; ++k) std::swap(a[c * n + k], a[piv * n + k]);
      std::swap(b[c], b[piv]);
    }
    for (std::size_t r = c + 1; r < n; ++r) {
      const double f = a[r * n + c] / a[c * n + c];
      for (std::size_t k = c; k < n; ++k) a[r * n + k] -= f * a[c * n + k];
      b[r] -= f * b[c];
    }
  }
  for (std::size_t c = n; c-- > 0;) {
    for (std::size_t k = c + 1; k < n; ++k) b[c] -= a[c * n + k] * b[k];
    b[c] /= a[c * n + c];
  }
  return true;
}

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
