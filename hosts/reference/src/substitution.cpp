#include "substitution.h"

#include <algorithm>
#include <cmath>

#include "constants.h"
#include "rachford_rice.h"

namespace kvt::reference {

Substituted substitute(const PengRobinson& pr, double t, double p, std::span<const double> zf, std::vector<double>& k,
                       Barred barred, Stopping stop) {
  const std::size_t n = zf.size(), w = barred.index;
  const bool held = w < n && barred.held_fraction >= 0.0;
  const double yw = barred.held_fraction;
  auto bar = [&] {
    if (w < n) k[w] = held ? 1.0 : 1e12;
  };
  std::vector<double> x(n), y(n);
  SolveStatus status = SolveStatus::kStoppedAtCap;
  for (int it = 0; it < stop.cap; ++it) {
    bar();
    const double b = rachford_rice(zf, k, 0.0, kRachfordRice).beta;
    double sy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = zf[i] / (1.0 + b * (k[i] - 1.0));
      y[i] = k[i] * x[i];
    }
    if (w < n) x[w] = y[w] = 0.0;
    for (double v : y) sy += v;
    for (double& v : y) v = sy > 0.0 ? v / sy : 0.0;
    if (held) {
      for (double& v : y) v *= 1.0 - yw;
      y[w] = yw;
    }
    const PrPhase lp = pr_phase(pr, t, p, x, Root::kLiquid), vp = pr_phase(pr, t, p, y, Root::kVapour);
    double change = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      if (zf[i] <= 0.0 || i == w) continue;
      const double kn = std::exp(lp.ln_phi[i] - vp.ln_phi[i]) / (held ? 1.0 - yw : 1.0);
      change = std::max(change, std::abs(std::log(kn / k[i])));
      k[i] = kn;
    }
    if (change < stop.tolerance) {
      status = SolveStatus::kConverged;
      break;
    }
  }
  bar();
  const VapourSplit last = rachford_rice(zf, k, 0.0, kRachfordRice);
  return {last.beta, worse(status, last.status)};
}

}  // namespace kvt::reference
