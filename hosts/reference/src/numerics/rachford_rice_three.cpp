#include "numerics/rachford_rice_three.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvt::reference {

namespace {

// Of the distance to the region's edge along a step, the share a step may take (it never lands on it).
constexpr double kEdgeShare = 0.9;
// Fractions beyond this size say the ratios admit no minimum (one phase takes everything): stop there.
constexpr double kUnbounded = 1e6;

}  // namespace

ThreePhaseFractions rachford_rice_three(std::span<const double> z, std::span<const double> kv, std::span<const double> kl,
                                        Stopping stop, double bv, double bl) {
  const std::size_t n = z.size();
  // -sum z ln t at (v, l), or infinity outside the region
  auto objective = [&](double v, double l) {
    double f = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      if (!(z[i] > 0.0)) continue;
      const double t = 1.0 + v * (kv[i] - 1.0) + l * (kl[i] - 1.0);
      if (!(t > 0.0)) return std::numeric_limits<double>::infinity();
      f -= z[i] * std::log(t);
    }
    return f;
  };
  if (!std::isfinite(objective(bv, bl))) bv = bl = 0.0;
  double f = objective(bv, bl);
  for (int it = 0; it < stop.cap; ++it) {
    // gradient g = -sum z a / t and Hessian H = sum z a a^T / t^2, a = (kv - 1, kl - 1)
    double g0 = 0.0, g1 = 0.0, h00 = 0.0, h01 = 0.0, h11 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      if (!(z[i] > 0.0)) continue;
      const double a = kv[i] - 1.0, c = kl[i] - 1.0, t = 1.0 + bv * a + bl * c;
      const double w = z[i] / t;
      g0 -= w * a;
      g1 -= w * c;
      h00 += w * a * a / t;
      h01 += w * a * c / t;
      h11 += w * c * c / t;
    }
    const double det = h00 * h11 - h01 * h01;
    double d0 = 0.0, d1 = 0.0;
    if (det > 1e-14 * (h00 * h11 + 1e-300)) {
      d0 = -(h11 * g0 - h01 * g1) / det;
      d1 = -(h00 * g1 - h01 * g0) / det;
    } else {  // the ratios do not tell the two phases apart: steepest descent, scaled
      d0 = h00 > 0.0 ? -g0 / h00 : 0.0;
      d1 = h11 > 0.0 ? -g1 / h11 : 0.0;
    }
    // the longest step that stays inside the region, a share of the way to its edge
    double s = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
      if (!(z[i] > 0.0)) continue;
      const double a = kv[i] - 1.0, c = kl[i] - 1.0, t = 1.0 + bv * a + bl * c, dt = d0 * a + d1 * c;
      if (dt < 0.0) s = std::min(s, kEdgeShare * t / -dt);
    }
    double fn = objective(bv + s * d0, bl + s * d1);
    for (int cut = 0; cut < 30 && !(fn <= f); ++cut) {
      s *= 0.5;
      fn = objective(bv + s * d0, bl + s * d1);
    }
    if (!(fn <= f)) return {bv, bl, std::abs(d0) + std::abs(d1) <= stop.tolerance ? SolveStatus::kConverged : SolveStatus::kStoppedAtCap};
    bv += s * d0;
    bl += s * d1;
    f = fn;
    if (s * (std::abs(d0) + std::abs(d1)) <= stop.tolerance) return {bv, bl, SolveStatus::kConverged};
    if (std::abs(bv) > kUnbounded || std::abs(bl) > kUnbounded) break;
  }
  return {bv, bl, SolveStatus::kStoppedAtCap};
}

}  // namespace kvt::reference
