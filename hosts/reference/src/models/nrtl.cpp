#include "nrtl.h"

#include <algorithm>
#include <cmath>

#include "constants.h"
#include "fixed_point.h"
#include "pure.h"
#include "rachford_rice.h"
#include "nrtl_split_newton.h"

namespace kvt::reference {

namespace {

std::vector<double> normalised(std::span<const double> x) {
  double s = 0.0;
  for (double v : x) s += v;
  std::vector<double> out(x.begin(), x.end());
  for (double& v : out) v /= s;
  return out;
}

// tau, d tau/dT, d2 tau/dT2 and the same of G for one pair at T (tau = b / T).
struct PairAt {
  double tau, dtau, d2tau, g, dg, d2g;
};
PairAt pair_at(double b, double alpha, double t) {
  PairAt p;
  if (b == 0.0) return {0.0, 0.0, 0.0, 1.0, 0.0, 0.0};  // a component with itself, a pair without parameters
  p.tau = b / t;
  p.dtau = -p.tau / t;
  p.d2tau = 2.0 * p.tau / (t * t);
  p.g = std::exp(-alpha * p.tau);
  p.dg = -alpha * p.dtau * p.g;
  p.d2g = (alpha * alpha * p.dtau * p.dtau - alpha * p.d2tau) * p.g;
  return p;
}

// g^E/(RT) and its first and second temperature derivatives at x, T.
struct ExcessDerivatives {
  double f, df, d2f;
};
ExcessDerivatives excess_derivatives(const NrtlParameters& p, std::span<const double> xin, double t) {
  const std::vector<double> x = normalised(xin);
  const std::size_t n = p.n;
  ExcessDerivatives e{0.0, 0.0, 0.0};
  for (std::size_t i = 0; i < n; ++i) {
    if (x[i] <= 0.0) continue;
    // C = sum_k x_k tau_ki G_ki, S = sum_k x_k G_ki, with first and second T derivatives
    double c = 0.0, dc = 0.0, d2c = 0.0, s = 0.0, ds = 0.0, d2s = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
      const PairAt a = pair_at(p.b[k * n + i], p.alpha[k * n + i], t);
      c += x[k] * a.tau * a.g;
      dc += x[k] * (a.dtau * a.g + a.tau * a.dg);
      d2c += x[k] * (a.d2tau * a.g + 2.0 * a.dtau * a.dg + a.tau * a.d2g);
      s += x[k] * a.g;
      ds += x[k] * a.dg;
      d2s += x[k] * a.d2g;
    }
    e.f += x[i] * c / s;
    e.df += x[i] * (dc * s - c * ds) / (s * s);
    e.d2f += x[i] * (d2c / s - 2.0 * dc * ds / (s * s) - c * d2s / (s * s) + 2.0 * c * ds * ds / (s * s * s));
  }
  return e;
}

}  // namespace

NrtlData nrtl_data(const Databank& db, const std::vector<const Component*>& components) {
  NrtlData d;
  const std::size_t n = components.size();
  d.parameters.n = n;
  d.parameters.b.assign(n * n, 0.0);
  d.parameters.alpha.assign(n * n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      const Component& a = *components[i];
      const Component& b = *components[j];
      const NrtlPair* pair = db.nrtl(a.name, b.name);
      if (pair == nullptr) {
        d.missing.push_back(a.name + "/" + b.name);
        continue;
      }
      const bool same = pair->first == a.name;
      d.parameters.b[i * n + j] = (same ? pair->a12 : pair->a21) / kCalorieGasConstant;
      d.parameters.b[j * n + i] = (same ? pair->a21 : pair->a12) / kCalorieGasConstant;
      d.parameters.alpha[i * n + j] = d.parameters.alpha[j * n + i] = pair->alpha;
      d.spans.push_back({i, j, std::min(a.tb, b.tb), std::max(a.tb, b.tb)});
    }
  }
  return d;
}

NrtlAt::NrtlAt(const NrtlParameters& p, double t)
    : n_(p.n), t_(t), tau_(p.n * p.n), g_(p.n * p.n), tau_g_(p.n * p.n) {
  for (std::size_t k = 0; k < n_ * n_; ++k) {
    tau_[k] = p.b[k] / t;
    g_[k] = std::exp(-p.alpha[k] * tau_[k]);
    tau_g_[k] = tau_[k] * g_[k];
  }
}

void NrtlAt::ln_gamma(std::span<const double> xin, std::span<double> out) const {
  double sum = 0.0;
  for (double v : xin) sum += v;
  // per j: S_j = sum_k x_k G_kj, r_j = C_j / S_j, q_j = x_j / S_j (x normalised on the fly); on the
  // stack for the sets a host selects, on the heap beyond
  constexpr std::size_t kStack = 32;
  double stack[3 * kStack];
  std::vector<double> heap(n_ > kStack ? 3 * n_ : 0);
  double* xs = n_ > kStack ? heap.data() : stack;
  double* r = xs + n_;
  double* q = r + n_;
  for (std::size_t k = 0; k < n_; ++k) xs[k] = xin[k] / sum;
  for (std::size_t j = 0; j < n_; ++j) {
    double sj = 0.0, cj = 0.0;
    for (std::size_t k = 0; k < n_; ++k) {
      sj += xs[k] * g_[k * n_ + j];
      cj += xs[k] * tau_g_[k * n_ + j];
    }
    r[j] = cj / sj;
    q[j] = xs[j] / sj;
  }
  for (std::size_t i = 0; i < n_; ++i) {
    double v = r[i];
    for (std::size_t j = 0; j < n_; ++j) v += q[j] * (tau_g_[i * n_ + j] - g_[i * n_ + j] * r[j]);
    out[i] = v;
  }
}

std::vector<double> NrtlAt::ln_gamma(std::span<const double> x) const {
  std::vector<double> out(n_);
  ln_gamma(x, out);
  return out;
}

double NrtlAt::excess_gibbs(std::span<const double> x) const {
  const std::vector<double> lg = ln_gamma(x);
  double s = 0.0, f = 0.0;
  for (double v : x) s += v;
  for (std::size_t i = 0; i < n_; ++i) f += x[i] / s * lg[i];
  return f;
}

double nrtl_excess_enthalpy(const NrtlParameters& p, std::span<const double> x, double t) {
  return -kGasConstant * t * t * excess_derivatives(p, x, t).df;
}

double nrtl_excess_heat_capacity(const NrtlParameters& p, std::span<const double> x, double t) {
  const ExcessDerivatives e = excess_derivatives(p, x, t);
  return -kGasConstant * (2.0 * t * e.df + t * t * e.d2f);
}

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
