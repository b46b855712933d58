#include "flash/liquid_split.h"

#include <algorithm>
#include <cmath>

#include "flash/nrtl_split_newton.h"
#include "numerics/constants.h"
#include "numerics/fixed_point.h"
#include "numerics/rachford_rice.h"

namespace kvt::reference {

bool nrtl_unstable(const NrtlAt& m, std::span<const double> zin, std::vector<double>* trial) {
  const std::size_t n = m.n();
  const std::vector<double> z = normalised(zin);
  std::vector<double> d = m.ln_gamma(z), lg(n), w(n), u(n), last(n);
  std::size_t present = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (z[i] > 0.0) {
      d[i] += std::log(z[i]);
      ++present;
    }
  }
  if (present < 2) return false;
  for (std::size_t k = 0; k < n; ++k) {
    if (z[k] <= 0.0) continue;
    // a component that mixes ideally with every other present forms no liquid of its own
    bool interacts = false;
    for (std::size_t j = 0; j < n && !interacts; ++j) interacts = z[j] > 0.0 && (m.tau(k, j) != 0.0 || m.tau(j, k) != 0.0);
    if (!interacts) continue;
    // a trial rich in component k, the others in the feed's proportions
    double sum_trial = 0.0;
    for (std::size_t i = 0; i < n; ++i) sum_trial += (w[i] = z[i] > 0.0 ? (i == k ? 0.98 : 0.02 * z[i]) : 0.0);
    // u = ln W, from the trial's fractions (sum W = 1)
    for (std::size_t i = 0; i < n; ++i) w[i] /= sum_trial;
    for (std::size_t i = 0; i < n; ++i) {
      u[i] = w[i] > 0.0 ? std::log(w[i]) : 0.0;
      last[i] = 0.0;
    }
    for (int it = 0; it < kLiquidStability.cap; ++it) {
      // tm and beta: the unnormalised trial's tangent-plane distance 1 + sum W_i (g_i - 1) and its
      // gradient g_i = ln W_i + ln gamma_i(w) - d_i projected on W - z
      double sum_w = 0.0, distance = 0.0, tpd = 0.0, change = 0.0, dd = 0.0, dp = 0.0, tm = 0.0, beta = 0.0;
      for (std::size_t i = 0; i < n; ++i) sum_w += z[i] > 0.0 ? (w[i] = std::exp(u[i])) : 0.0;
      const double ln_sum = std::log(sum_w);
      for (std::size_t i = 0; i < n; ++i) {
        w[i] /= sum_w;
        distance += std::abs(w[i] - z[i]);
      }
      m.ln_gamma(w, lg);
      for (std::size_t i = 0; i < n; ++i) {
        if (z[i] <= 0.0) continue;
        // the trial's tangent-plane distance sum w_i (ln w_i - d_i + ln gamma_i(w)), and the step to
        // the next ln W_i = d_i - ln gamma_i(w)
        tpd += w[i] * (u[i] - ln_sum - d[i] + lg[i]);
        const double step = d[i] - lg[i] - u[i];
        tm -= w[i] * sum_w * step;
        beta -= (w[i] * sum_w - z[i]) * step;
        change = std::max(change, std::abs(step));
        dd += step * step;
        dp += step * last[i];
        last[i] = step;
        u[i] += step;
      }
      // a trial that has come onto the feed itself is no second liquid; one whose tangent-plane
      // distance is negative is: the liquid splits
      if (distance <= kTrivialDistance) break;
      if (tpd < -kStabilityMargin) {
        if (trial != nullptr) *trial = w;
        return true;
      }
      // a trial closing on the feed, where tm is the quadratic form of the step's gradient (2 tm /
      // beta -> 1), has no lower distance to find: the trivial solution (Michelsen 1982)
      tm += 1.0 - sum_w;
      if (tm > 0.0 && beta < kTrivialApproach && std::abs(2.0 * tm / beta - 1.0) < kTrivialRatio) break;
      // every fifth step, the dominant-eigenvalue extrapolation of the substitution (Crowe and
      // Nishio 1975): linear convergence at rate lambda is jumped to its limit
      if (it % 5 == 4 && dp > 0.0 && dd < kAccelerationRate * dp) {
        const double lambda = dd / dp;
        for (std::size_t i = 0; i < n; ++i) u[i] += last[i] * lambda / (1.0 - lambda);
      }
      if (change < kLiquidStability.tolerance) break;
    }
  }
  return false;
}

LiquidSplit nrtl_liquid_split(const NrtlAt& m, std::span<const double> zin) {
  const std::size_t n = m.n();
  const std::vector<double> z = normalised(zin);
  LiquidSplit out;
  std::vector<double> trial;
  if (!nrtl_unstable(m, z, &trial)) return out;
  // K_i = x2_i / x1_i = gamma1_i / gamma2_i from the feed and the trial, on ln K: a few substitution
  // steps, then Newton's method on the Gibbs energy (nrtl_split_newton.h), which keeps converging near
  // a plait point where substitution slows to a rate near 1; should Newton fail, substitution goes on
  std::vector<double> u(n, 0.0), k(n, 1.0), x1(n), x2(n), lg1(n), lg2(n);
  for (std::size_t i = 0; i < n; ++i) u[i] = z[i] > 0.0 ? std::log(std::max(trial[i], 1e-12) / z[i]) : 0.0;
  double beta = 0.0;
  SolveStatus rr = SolveStatus::kConverged;
  // the liquids of the ratios exp(at): the second's share by Rachford-Rice with K = x2 / x1
  auto liquids = [&](const std::vector<double>& at) {
    for (std::size_t i = 0; i < n; ++i) k[i] = std::exp(at[i]);
    const VapourSplit share = rachford_rice(z, k, 0.0, kRachfordRice, beta);
    beta = share.beta;
    rr = share.status;
    for (std::size_t i = 0; i < n; ++i) {
      x1[i] = z[i] > 0.0 ? z[i] / (1.0 + beta * (k[i] - 1.0)) : 0.0;
      x2[i] = k[i] * x1[i];
    }
    x1 = normalised(x1);
    x2 = normalised(x2);
  };
  const FixedPointMap g = [&](const std::vector<double>& at, std::vector<double>& next) {
    liquids(at);
    m.ln_gamma(x1, lg1);
    m.ln_gamma(x2, lg2);
    for (std::size_t i = 0; i < n; ++i) next[i] = z[i] > 0.0 ? lg1[i] - lg2[i] : at[i];
  };
  auto spread = [&](const std::vector<double>& v) {
    double s = 0.0;
    for (std::size_t i = 0; i < n; ++i) s = z[i] > 0.0 ? std::max(s, std::abs(v[i])) : s;
    return s;
  };
  // an iterate whose ratios have all come within kTrivialSpread of 1 has collapsed onto one liquid
  const Settled collapsed = [&](const std::vector<double>&, const std::vector<double>& gu) { return spread(gu) < kTrivialSpread; };
  const Stopping plain{kLiquidSplit.solver, kLiquidSplit.tolerance, kLiquidSplitPlainSteps};
  out.status = fixed_point(u, g, plain, plain.cap, collapsed);
  bool newton = false;
  if (out.status != SolveStatus::kConverged) {
    liquids(u);
    newton = nrtl_split_newton(m, z, x1, x2, beta, kLiquidSplit) == SolveStatus::kConverged;
    for (std::size_t i = 0; i < n && newton; ++i) u[i] = z[i] > 0.0 ? std::log(x2[i] / x1[i]) : 0.0;
    out.status = newton ? SolveStatus::kConverged : fixed_point(u, g, kLiquidSplit, kLiquidSplit.cap, collapsed);
  }
  if (spread(u) < kTrivialSpread) {
    out.status = SolveStatus::kConverged;
    return out;
  }
  if (!newton) liquids(u);
  if (!(beta > 0.0 && beta < 1.0)) return out;
  out.status = worse(out.status, rr);
  out.split = true;
  out.x1 = x1;
  out.x2 = x2;
  out.beta = beta;
  return out;
}

}  // namespace kvt::reference
