#include "flash/split_newton.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "numerics/constants.h"
#include "numerics/linear_solve.h"
#include "numerics/rachford_rice.h"

namespace kvt::reference {

namespace {

// Halvings of a Newton step that lowers neither G nor the residual before a substitution replaces it.
constexpr int kHalvings = 6;
// A step is cut to this share of the way to the nearest bound (an amount of 0 in either phase).
constexpr double kToBound = 0.9;
// A start off an incipient phase takes this share of the most of it the feed can give.
constexpr double kIncipientShare = 0.5;
// A phase whose share of the feed falls below this has vanished: G's least value lies on the edge,
// at the feed as one phase.
constexpr double kVanished = 1e-9;

struct Side {
  PrPhase phase;
  double total = 0.0;
};

class Split {
 public:
  Split(const PengRobinson& pr, double t, double p, std::span<const double> zf, std::size_t barred)
      : pr_(pr), t_(t), p_(p), z_(zf.begin(), zf.end()), barred_(barred) {
    for (std::size_t i = 0; i < z_.size(); ++i) {
      if (z_[i] > 0.0 && i != barred) active_.push_back(i);
    }
  }
  const std::vector<std::size_t>& active() const { return active_; }

  // Both phases at vapour amounts v (every component; the liquid is the rest of the feed).
  void evaluate(const std::vector<double>& v) {
    l_.assign(z_.size(), 0.0);
    for (std::size_t i : active_) l_[i] = z_[i] - v[i];
    vap_ = side(v, Root::kVapour);
    liq_ = side(l_, Root::kLiquid);
    v_ = v;
  }
  // ln f_i(vapour) - ln f_i(liquid) over the active components (the pressure cancels).
  std::vector<double> gradient() const {
    std::vector<double> g;
    for (std::size_t i : active_)
      g.push_back(std::log(v_[i] / vap_.total) + vap_.phase.ln_phi[i] - std::log(l_[i] / liq_.total) - liq_.phase.ln_phi[i]);
    return g;
  }
  // G / RT less the feed's ideal-gas and pressure terms.
  double gibbs() const {
    double g = 0.0;
    for (std::size_t i = 0; i < z_.size(); ++i) {
      if (v_[i] > 0.0) g += v_[i] * (std::log(v_[i] / vap_.total) + vap_.phase.ln_phi[i]);
      if (l_[i] > 0.0) g += l_[i] * (std::log(l_[i] / liq_.total) + liq_.phase.ln_phi[i]);
    }
    return g;
  }
  // d(gradient_a)/dv_b: each phase's d ln f_i / d n_j, the ideal part exact, ln phi by differences.
  std::vector<double> hessian() const {
    const std::size_t m = active_.size();
    std::vector<double> h(m * m, 0.0);
    add(h, v_, vap_, Root::kVapour);
    add(h, l_, liq_, Root::kLiquid);
    return h;
  }
  // The substitution step from the present iterate: K_i = phi_i(liquid) / phi_i(vapour), split by
  // Rachford-Rice; false when that split leaves (0, 1).
  bool substitution(std::vector<double>& v) const {
    std::vector<double> k(z_.size(), 1.0);
    for (std::size_t i : active_) k[i] = std::exp(liq_.phase.ln_phi[i] - vap_.phase.ln_phi[i]);
    return amounts(k, v);
  }
  // Vapour amounts of the Rachford-Rice split at ratios k; false outside (0, 1).
  bool amounts(std::vector<double>& k, std::vector<double>& v) const {
    if (barred_ < z_.size()) k[barred_] = 1e12;
    const double b = rachford_rice(z_, k, 0.0, kRachfordRice).beta;
    if (!(b > 0.0 && b < 1.0)) return false;
    return amounts(k, b, v);
  }
  // A start where the ratios split the feed outside (0, 1): the phase the ratios say would form
  // (vapour z_i K_i, or liquid z_i / K_i, normalised) in an amount of kIncipientShare of what the
  // feed could give of it.
  bool incipient(std::vector<double>& k, std::vector<double>& v) const {
    if (barred_ < z_.size()) k[barred_] = 1e12;
    double szk = 0.0;
    for (std::size_t i : active_) szk += z_[i] * k[i];
    const bool vapour = szk < 1.0;  // the ratios leave all liquid: a small vapour of composition z K
    double most = 1.0;
    for (std::size_t i : active_) most = std::min(most, vapour ? 1.0 / k[i] : k[i]);
    return amounts(k, vapour ? kIncipientShare * most * szk : 1.0 - kIncipientShare * most, v);
  }
  bool amounts(const std::vector<double>& k, double b, std::vector<double>& v) const {
    v.assign(z_.size(), 0.0);
    for (std::size_t i = 0; i < z_.size(); ++i) {
      if (z_[i] <= 0.0) continue;
      v[i] = i == barred_ ? z_[i] : z_[i] - z_[i] * (1.0 - b) / (1.0 + b * (k[i] - 1.0));
    }
    return std::all_of(active_.begin(), active_.end(), [&](std::size_t i) { return v[i] > 0.0 && v[i] < z_[i]; });
  }
  double beta() const { return vap_.total; }
  std::vector<double> ratios() const {
    std::vector<double> k(z_.size(), 1.0);
    for (std::size_t i : active_) k[i] = (v_[i] / vap_.total) / (l_[i] / liq_.total);
    if (barred_ < z_.size()) k[barred_] = 1e12;
    return k;
  }

 private:
  Side side(const std::vector<double>& n, Root root) const {
    const double total = std::accumulate(n.begin(), n.end(), 0.0);
    return {pr_phase(pr_, t_, p_, n, root), total};
  }
  void add(std::vector<double>& h, const std::vector<double>& n, const Side& s, Root root) const {
    const std::size_t m = active_.size();
    for (std::size_t b = 0; b < m; ++b) {
      std::vector<double> moved = n;
      const double step = kDifferenceStep * s.total;
      moved[active_[b]] += step;
      const PrPhase q = pr_phase(pr_, t_, p_, moved, root);
      for (std::size_t a = 0; a < m; ++a) {
        const std::size_t i = active_[a];
        h[a * m + b] += (q.ln_phi[i] - s.phase.ln_phi[i]) / step + (a == b ? 1.0 / n[i] : 0.0) - 1.0 / s.total;
      }
    }
  }

  const PengRobinson& pr_;
  double t_, p_;
  std::vector<double> z_;
  std::size_t barred_;
  std::vector<std::size_t> active_;
  std::vector<double> v_, l_;
  Side vap_, liq_;
};

double largest(const std::vector<double>& g) {
  double m = 0.0;
  for (double x : g) m = std::max(m, std::abs(x));
  return m;
}

}  // namespace

Substituted newton_split(const PengRobinson& pr, double t, double p, std::span<const double> zf, std::vector<double>& k,
                         std::size_t barred, Stopping stop) {
  Split s(pr, t, p, zf, barred);
  std::vector<double> v;
  if (!s.amounts(k, v) && !s.incipient(k, v)) return {0.0, SolveStatus::kStoppedAtCap};
  s.evaluate(v);
  std::vector<double> g = s.gradient();
  double residual = largest(g), energy = s.gibbs();
  const std::vector<std::size_t>& act = s.active();
  SolveStatus status = SolveStatus::kStoppedAtCap;
  for (int it = 0; it < stop.cap; ++it) {
    if (residual <= stop.tolerance) {
      status = SolveStatus::kConverged;
      break;
    }
    if (const double b = s.beta(); b < kVanished || b > 1.0 - kVanished) {
      k = s.ratios();
      return {b < 0.5 ? 0.0 : 1.0, SolveStatus::kConverged};
    }
    std::vector<double> h = s.hessian(), d(g.size());
    for (std::size_t a = 0; a < g.size(); ++a) d[a] = -g[a];
    bool moved = false;
    if (linear_solve(h, d) && std::inner_product(g.begin(), g.end(), d.begin(), 0.0) < 0.0) {
      double lambda = 1.0;
      for (std::size_t a = 0; a < act.size(); ++a) {
        const std::size_t i = act[a];
        const double room = d[a] < 0.0 ? v[i] : zf[i] - v[i];
        if (std::abs(d[a]) * lambda > kToBound * room) lambda = kToBound * room / std::abs(d[a]);
      }
      for (int cut = 0; cut <= kHalvings && !moved; ++cut, lambda *= 0.5) {
        std::vector<double> trial = v;
        for (std::size_t a = 0; a < act.size(); ++a) trial[act[a]] += lambda * d[a];
        s.evaluate(trial);
        const std::vector<double> gt = s.gradient();
        const double rt = largest(gt), et = s.gibbs();
        if (std::isfinite(rt) && (et < energy || rt < residual)) {
          v = std::move(trial), g = gt, residual = rt, energy = et, moved = true;
        }
      }
    }
    if (!moved) {
      s.evaluate(v);
      if (!s.substitution(v)) {
        // the substitution's ratios split the feed outside (0, 1): a phase has vanished
        k = s.ratios();
        return {s.beta() < 0.5 ? 0.0 : 1.0, SolveStatus::kConverged};
      }
      s.evaluate(v);
      g = s.gradient(), residual = largest(g), energy = s.gibbs();
    }
  }
  s.evaluate(v);
  k = s.ratios();
  return {s.beta(), status};
}

}  // namespace kvt::reference
