#include "flash/stability.h"

#include <cmath>
#include <limits>
#include <numeric>

#include "numerics/constants.h"
#include "numerics/fixed_point.h"

namespace kvt::reference {

std::vector<double> wilson_k(const PengRobinson& pr, double t, double p) {
  std::vector<double> k;
  for (const Component* c : pr.components)
    k.push_back(c->pc / p * std::exp(kWilsonSlope * (1.0 + c->omega) * (1.0 - c->tc / t)));
  return k;
}

Stability tangent_plane_test(const PengRobinson& pr, double t, double p, std::span<const double> z,
                             std::vector<double>& k, Stopping stop, std::size_t barred) {
  const std::size_t n = z.size();
  const PrPhase feed = pr_phase(pr, t, p, z, barred < n ? Root::kVapour : Root::kStable);
  std::vector<double> d(n, 0.0);  // ln z_i + ln phi_i(z)
  for (std::size_t i = 0; i < n; ++i) d[i] = z[i] > 0.0 ? std::log(z[i]) + feed.ln_phi[i] : 0.0;
  Stability out;
  double best = 0.0;
  std::vector<double> k_out = k;
  for (int trial = 0; trial < 2; ++trial) {  // 0: vapour-like, 1: liquid-like
    // u: ln W_i of the components the trial holds (those present but the barred one);
    // g(u)_i = d_i - ln phi_i(W)
    std::vector<double> w(n, 0.0), u;
    std::vector<bool> held(n);
    for (std::size_t i = 0; i < n; ++i) {
      held[i] = z[i] > 0.0 && i != barred;
      if (held[i]) u.push_back(std::log(trial == 0 ? z[i] * k[i] : z[i] / k[i]));
    }
    const Root root = Root::kStable;
    auto g = [&](const std::vector<double>& at, std::vector<double>& next) {
      std::vector<double> wt(n, 0.0);
      for (std::size_t i = 0, a = 0; i < n; ++i) {
        if (held[i]) wt[i] = std::exp(at[a++]);
      }
      const PrPhase ph = pr_phase(pr, t, p, wt, root);
      for (std::size_t i = 0, a = 0; i < n; ++i) {
        if (held[i]) next[a++] = d[i] - ph.ln_phi[i];
      }
    };
    // tm = 1 + sum W_i (ln W_i + ln phi_i(W) - d_i - 1), Michelsen's modified tangent-plane distance:
    // a W where it is negative proves the feed unstable, fixed point or not
    auto tm = [](const std::vector<double>& at, const std::vector<double>& gat) {
      double s = 1.0;
      for (std::size_t a = 0; a < at.size(); ++a) s += std::exp(at[a]) * (at[a] - gat[a] - 1.0);
      return s;
    };
    // A trial whose tm stays positive and stops falling has reached its least value where the stable
    // root of the trial phase changes (tm has a kink there and no stationary point): it finds no
    // instability, as a trial converged onto a positive stationary point would not.
    bool negative = false;
    double least = std::numeric_limits<double>::infinity();
    int since = 0;
    auto settled = [&](const std::vector<double>& at, const std::vector<double>& gat) {
      const double v = tm(at, gat);
      if (v < -kStabilityMargin) return negative = true;
      if (!std::isfinite(least) || v < least - kStallShare * std::abs(least)) {
        least = v, since = 0;
      } else {
        ++since;
      }
      return least > 0.0 && since >= kStallSteps;
    };
    out.status = worse(out.status, fixed_point(u, g, stop, kPlainSteps, settled));
    for (std::size_t i = 0, a = 0; i < n; ++i) {
      if (held[i]) w[i] = std::exp(u[a++]);
    }
    const double sw = std::accumulate(w.begin(), w.end(), 0.0);
    // a trial that converged onto the feed itself is the trivial solution
    // (one without the barred component never is: the feed holds it)
    double distance = barred < n && z[barred] > 0.0 ? 1.0 : 0.0;
    for (std::size_t i = 0; i < n; ++i) distance += std::abs(w[i] / sw - z[i]);
    if (distance > kTrivialDistance) {
      std::vector<double>& end = trial == 0 ? out.vapour_trial_k : out.liquid_trial_k;
      end.assign(n, 1.0);
      for (std::size_t i = 0; i < n; ++i) {
        if (held[i]) end[i] = trial == 0 ? (w[i] / sw) / z[i] : z[i] / (w[i] / sw);
      }
    }
    if ((negative || sw > 1.0 + kStabilityMargin) && distance > kTrivialDistance && std::max(sw, 1.0 + kStabilityMargin) > best) {
      out.stable = false;
      best = std::max(sw, 1.0 + kStabilityMargin);
      k_out = trial == 0 ? out.vapour_trial_k : out.liquid_trial_k;
    }
  }
  if (!out.stable) k = k_out;
  return out;
}

}  // namespace kvt::reference
