#include "numerics/rachford_rice.h"

#include <algorithm>
#include <cmath>

namespace kvt::reference {

VapourSplit rachford_rice(std::span<const double> z, std::span<const double> k, double never_liquid,
                          Stopping stop, double start) {
  auto g = [&](double b) {
    double s = b > 0.0 ? never_liquid / b : (never_liquid > 0.0 ? 1e300 : 0.0);
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] > 0.0) s += z[i] * (k[i] - 1.0) / (1.0 + b * (k[i] - 1.0));
    }
    return s;
  };
  auto dg = [&](double b) {
    double s = b > 0.0 ? -never_liquid / (b * b) : 0.0;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] > 0.0) {
        const double d = 1.0 + b * (k[i] - 1.0);
        s -= z[i] * (k[i] - 1.0) * (k[i] - 1.0) / (d * d);
      }
    }
    return s;
  };
  double szk = never_liquid > 0.0 ? 2.0 : 0.0, szk_inv = 0.0;
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] > 0.0) {
      szk += z[i] * k[i];
      szk_inv += z[i] / k[i];
    }
  }
  if (szk <= 1.0) return {0.0, SolveStatus::kConverged};
  if (szk_inv <= 1.0) return {1.0, SolveStatus::kConverged};
  // g decreases on (0, 1): bracket and Newton steps kept inside it.
  double lo = 0.0, hi = 1.0, b = start > 0.0 && start < 1.0 ? start : 0.5;
  SolveStatus status = SolveStatus::kStoppedAtCap;
  for (int it = 0; it < stop.cap; ++it) {
    const double gb = g(b);
    if (gb > 0.0) lo = b; else hi = b;
    const double step = gb / dg(b);
    // a Newton step this small has met the root, which may be the bracket's end just set (a
    // bisection from there would crawl)
    if (std::abs(step) <= stop.tolerance) {
      b = std::clamp(b - step, lo, hi);
      status = SolveStatus::kConverged;
      break;
    }
    double nb = b - step;
    if (!(nb > lo && nb < hi)) nb = 0.5 * (lo + hi);
    if (std::abs(nb - b) <= stop.tolerance || hi - lo <= stop.tolerance) {
      b = nb;
      status = SolveStatus::kConverged;
      break;
    }
    b = nb;
  }
  return {std::clamp(b, 0.0, 1.0), status};
}

}  // namespace kvt::reference
