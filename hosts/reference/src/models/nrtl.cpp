#include "models/nrtl.h"

#include <algorithm>
#include <cmath>

#include "numerics/constants.h"
#include "data/pure.h"

namespace kvt::reference {

namespace {

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

// The first and second temperature derivatives of g^E/(RT) at x, T (what the excess enthalpy and
// heat capacity take).
struct ExcessDerivatives {
  double df, d2f;
};
ExcessDerivatives excess_derivatives(const NrtlParameters& p, std::span<const double> xin, double t) {
  const std::vector<double> x = normalised(xin);
  const std::size_t n = p.n;
  ExcessDerivatives e{0.0, 0.0};
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
    e.df += x[i] * (dc * s - c * ds) / (s * s);
    e.d2f += x[i] * (d2c / s - 2.0 * dc * ds / (s * s) - c * d2s / (s * s) + 2.0 * c * ds * ds / (s * s * s));
  }
  return e;
}

}  // namespace

std::vector<double> normalised(std::span<const double> x) {
  double s = 0.0;
  for (double v : x) s += v;
  std::vector<double> out(x.begin(), x.end());
  for (double& v : out) v /= s;
  return out;
}

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

}  // namespace kvt::reference
