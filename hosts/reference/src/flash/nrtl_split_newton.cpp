#include "flash/nrtl_split_newton.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numerics/fixed_point.h"
#include "numerics/linear_solve.h"

namespace kvt::reference {

namespace {

// Of the distance to a phase's emptying along a step, the share a step may take.
constexpr double kEdgeShare = 0.9;
// Halvings of a step that does not lower G (the Hessian's differences take kDifferenceStep).
constexpr int kHalvings = 30;
// The shifts of the Hessian tried, in decades, before the iteration gives up.
constexpr double kFirstShift = 1e-4;
constexpr double kMaxShift = 1e4;
// G's relative rounding: values within this of each other are equal as far as G can tell.
constexpr double kFlat = 1e-13;

double largest_of(const std::vector<double>& a) {
  double m = 0.0;
  for (double v : a) m = std::max(m, std::abs(v));
  return m;
}

}  // namespace

SolveStatus nrtl_split_newton(const NrtlAt& m, std::span<const double> z, std::vector<double>& x1, std::vector<double>& x2,
                              double& beta, Stopping stop) {
  const std::size_t n = z.size();
  std::vector<std::size_t> idx;  // the components present
  for (std::size_t i = 0; i < n; ++i)
    if (z[i] > 0.0) idx.push_back(i);
  const std::size_t k = idx.size();
  std::vector<double> a1(n, 0.0), a2(n, 0.0), lg1(n), lg2(n);
  // G/RT and the gradient mu2 - mu1 (over the present components) of the second liquid's amounts v
  auto evaluate = [&](const std::vector<double>& v, std::vector<double>* grad) {
    double s1 = 0.0, s2 = 0.0;
    for (std::size_t c = 0; c < k; ++c) {
      const std::size_t i = idx[c];
      a2[i] = v[c];
      a1[i] = z[i] - v[c];
      if (!(a1[i] > 0.0 && a2[i] > 0.0)) return std::numeric_limits<double>::infinity();
      s1 += a1[i];
      s2 += a2[i];
    }
    m.ln_gamma(a1, lg1);
    m.ln_gamma(a2, lg2);
    double g = 0.0;
    for (std::size_t c = 0; c < k; ++c) {
      const std::size_t i = idx[c];
      const double mu1 = std::log(a1[i] / s1) + lg1[i], mu2 = std::log(a2[i] / s2) + lg2[i];
      g += a1[i] * mu1 + a2[i] * mu2;
      if (grad != nullptr) (*grad)[c] = mu2 - mu1;
    }
    return g;
  };
  std::vector<double> v(k), grad(k), shifted(k), trial(k), hess(k * k), shifted_hess(k * k), step(k);
  for (std::size_t c = 0; c < k; ++c) v[c] = std::clamp(beta * x2[idx[c]], 1e-300, z[idx[c]] * (1.0 - 1e-15));
  double g = evaluate(v, &grad);
  if (!std::isfinite(g)) return SolveStatus::kStoppedAtCap;
  int evaluations = 1;
  bool converged = false;
  while (evaluations < stop.cap) {
    if (largest_of(grad) <= stop.tolerance) {
      converged = true;
      break;
    }
    // the Hessian by forward differences of the gradient, symmetrised
    for (std::size_t c = 0; c < k; ++c) {
      trial = v;
      const double h = kDifferenceStep * std::min(v[c], z[idx[c]] - v[c]);
      trial[c] += h;
      evaluate(trial, &shifted);
      ++evaluations;
      for (std::size_t r = 0; r < k; ++r) hess[r * k + c] = (shifted[r] - grad[r]) / h;
    }
    for (std::size_t r = 0; r < k; ++r)
      for (std::size_t c = r + 1; c < k; ++c) hess[r * k + c] = hess[c * k + r] = 0.5 * (hess[r * k + c] + hess[c * k + r]);
    // Where G is not convex (between the spinodals, as a start near a plait point may be), the
    // Hessian is shifted towards an ideal solution's, diag z / (v (z - v)), until its step descends
    double descent = 0.0;
    for (double shift = 0.0; shift <= kMaxShift; shift = shift > 0.0 ? 10.0 * shift : kFirstShift) {
      shifted_hess = hess;
      for (std::size_t c = 0; c < k; ++c) {
        shifted_hess[c * k + c] += shift * z[idx[c]] / (v[c] * (z[idx[c]] - v[c]));
        step[c] = -grad[c];
      }
      descent = 0.0;
      if (linear_solve(shifted_hess, step))
        for (std::size_t c = 0; c < k; ++c) descent += step[c] * grad[c];
      if (descent < 0.0) break;
    }
    if (!(descent < 0.0)) break;
    double s = 1.0;
    for (std::size_t c = 0; c < k; ++c) {
      if (step[c] < 0.0) s = std::min(s, kEdgeShare * v[c] / -step[c]);
      if (step[c] > 0.0) s = std::min(s, kEdgeShare * (z[idx[c]] - v[c]) / step[c]);
    }
    bool moved = false;
    for (int cut = 0; cut < kHalvings && evaluations < stop.cap; ++cut, s *= 0.5) {
      for (std::size_t c = 0; c < k; ++c) trial[c] = v[c] + s * step[c];
      const double gt = evaluate(trial, &shifted);
      ++evaluations;
      // lower G; or, where G is flat to its rounding (near a plait point), a smaller gradient
      if (gt < g || (gt <= g + kFlat * std::abs(g) && largest_of(shifted) < largest_of(grad))) {
        v = trial;
        grad = shifted;
        g = gt;
        moved = true;
        break;
      }
    }
    if (!moved) {  // G at its floating-point floor: converged if the gradient is nearly there
      converged = largest_of(grad) <= 1e3 * stop.tolerance;
      break;
    }
  }
  if (!converged) return SolveStatus::kStoppedAtCap;
  double s2 = 0.0;
  for (std::size_t c = 0; c < k; ++c) s2 += v[c];
  std::fill(x1.begin(), x1.end(), 0.0);
  std::fill(x2.begin(), x2.end(), 0.0);
  for (std::size_t c = 0; c < k; ++c) {
    x2[idx[c]] = v[c] / s2;
    x1[idx[c]] = (z[idx[c]] - v[c]) / (1.0 - s2);
  }
  beta = s2;
  return SolveStatus::kConverged;
}

}  // namespace kvt::reference
