#include "stability.h"

#include <cmath>
#include <numeric>

#include "constants.h"

namespace kvt::reference {

std::vector<double> wilson_k(const PengRobinson& pr, double t, double p) {
  std::vector<double> k;
  for (const Component* c : pr.components)
    k.push_back(c->pc / p * std::exp(kWilsonSlope * (1.0 + c->omega) * (1.0 - c->tc / t)));
  return k;
}

Stability tangent_plane_test(const PengRobinson& pr, double t, double p, std::span<const double> z,
                             std::vector<double>& k, Stopping stop) {
  const std::size_t n = z.size();
  const PrPhase feed = pr_phase(pr, t, p, z, Root::kStable);
  std::vector<double> d(n, 0.0);  // ln z_i + ln phi_i(z)
  for (std::size_t i = 0; i < n; ++i) d[i] = z[i] > 0.0 ? std::log(z[i]) + feed.ln_phi[i] : 0.0;
  Stability out;
  double best = 0.0;
  std::vector<double> k_out = k;
  for (int trial = 0; trial < 2; ++trial) {  // 0: vapour-like, 1: liquid-like
    std::vector<double> w(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) w[i] = z[i] > 0.0 ? (trial == 0 ? z[i] * k[i] : z[i] / k[i]) : 0.0;
    SolveStatus status = SolveStatus::kStoppedAtCap;
    for (int it = 0; it < stop.cap; ++it) {
      const PrPhase ph = pr_phase(pr, t, p, w, trial == 0 ? Root::kVapour : Root::kLiquid);
      double change = 0.0;
      for (std::size_t i = 0; i < n; ++i) {
        if (z[i] <= 0.0) continue;
        const double nw = std::exp(d[i] - ph.ln_phi[i]);
        change = std::max(change, std::abs(std::log(nw / w[i])));
        w[i] = nw;
      }
      if (change < stop.tolerance) {
        status = SolveStatus::kConverged;
        break;
      }
    }
    out.status = worse(out.status, status);
    const double sw = std::accumulate(w.begin(), w.end(), 0.0);
    // a trial that converged onto the feed itself is the trivial solution
    double distance = 0.0;
    for (std::size_t i = 0; i < n; ++i) distance += std::abs(w[i] / sw - z[i]);
    if (sw > 1.0 + kStabilityMargin && distance > kTrivialDistance && sw > best) {
      out.stable = false;
      best = sw;
      for (std::size_t i = 0; i < n; ++i) {
        if (z[i] > 0.0) k_out[i] = trial == 0 ? (w[i] / sw) / z[i] : z[i] / (w[i] / sw);
      }
    }
  }
  if (!out.stable) k = k_out;
  return out;
}

}  // namespace kvt::reference
