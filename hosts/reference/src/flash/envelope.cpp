#include "flash/envelope.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "numerics/constants.h"
#include "numerics/linear_solve.h"
#include "flash/stability.h"

namespace kvt::reference {

namespace {

// The continuation's step in the specified variable: the first, the largest, and its growth after
// a point that took at most kFastNewton iterations; halved after one whose iteration failed, at
// most kHalvingsInARow times in a row.
constexpr double kFirstStep = 0.05;
constexpr double kLargestStep = 0.1;
constexpr double kGrowth = 1.5;
constexpr int kFastNewton = 3;
// Within this largest |ln K| of the critical point ln K is the specified variable.
constexpr double kNearCritical = 0.05;
// A step across the critical point lands at least this share of the step beyond it.
constexpr double kAcross = 0.5;
constexpr int kHalvingsInARow = 10;
// Points of one trace at most, and bisections of the cricondenbar's temperature.
constexpr int kMostPoints = 2000;
constexpr int kTopBisections = 40;

// The equilibrium system of a dew-point branch (beta = 1: y = z, x_i = z_i / K_i) in X = (ln K of the
// components present, ln T, ln P), its last equation X_s = S.
class System {
 public:
  System(const PengRobinson& pr, std::span<const double> z) : pr_(pr), z_(z.begin(), z.end()) {
    for (std::size_t i = 0; i < z_.size(); ++i) {
      if (z_[i] > 0.0) on_.push_back(i);
    }
  }
  std::size_t size() const { return on_.size() + 2; }
  // The feed is the vapour (its cubic's largest root) up to the critical point, where ln K of the
  // specified component (else the first present) changes its sign from these, the liquid beyond; the incipient phase
  // the other. Where the cubic has three roots near the critical point each phase keeps its own,
  // which the lower-Gibbs-energy root would not.
  std::vector<double> first_sign;
  const std::vector<std::size_t>& present() const { return on_; }

  std::vector<double> residual(const std::vector<double>& x, std::size_t s, double target) const {
    const std::size_t m = on_.size();
    const double t = std::exp(x[m]), p = std::exp(x[m + 1]);
    std::vector<double> liq(z_.size(), 0.0), f(m + 2);
    double sum = 0.0;
    for (std::size_t a = 0; a < m; ++a) sum += liq[on_[a]] = z_[on_[a]] / std::exp(x[a]);
    const std::size_t r = s < m ? s : 0;  // a specified ln K holds its sign through the iteration
    const bool past = !first_sign.empty() && first_sign[r] * x[r] < 0.0;
    const Root feed = past ? Root::kLiquid : Root::kVapour, other = past ? Root::kVapour : Root::kLiquid;
    const PrPhase v = pr_phase(pr_, t, p, z_, feed), l = pr_phase(pr_, t, p, liq, other);
    for (std::size_t a = 0; a < m; ++a) f[a] = x[a] + v.ln_phi[on_[a]] - l.ln_phi[on_[a]];
    f[m] = 1.0 - sum;
    f[m + 1] = x[s] - target;
    return f;
  }
  std::vector<double> jacobian(const std::vector<double>& x, std::size_t s, const std::vector<double>& f0) const {
    const std::size_t n = size();
    std::vector<double> j(n * n);
    for (std::size_t c = 0; c < n; ++c) {
      std::vector<double> moved = x;
      const double h = kDifferenceStep * std::max(1.0, std::abs(x[c]));
      moved[c] += h;
      const std::vector<double> f = residual(moved, s, x[s]);
      for (std::size_t r = 0; r + 1 < n; ++r) j[r * n + c] = (f[r] - f0[r]) / h;
      j[(n - 1) * n + c] = c == s ? 1.0 : 0.0;
    }
    return j;
  }
  // Newton's method from x with X_s = target until every equation holds to the tolerance, or the
  // step is within it (next to the critical point X itself is settled only to the differences'
  // noise in T and P); the iterations it took, or -1 when it failed.
  int solve(std::vector<double>& x, std::size_t s, double target, Stopping stop) const {
    x[s] = target;
    for (int it = 1; it <= stop.cap; ++it) {
      std::vector<double> f = residual(x, s, target), j = jacobian(x, s, f);
      double worst = 0.0;
      for (double v : f) worst = std::max(worst, std::abs(v));
      if (worst <= stop.tolerance) return it;
      for (double& v : f) v = -v;
      if (!linear_solve(j, f)) return -1;
      double largest = 0.0;
      for (std::size_t c = 0; c < x.size(); ++c) {
        x[c] += f[c];
        largest = std::max(largest, std::abs(f[c]));
      }
      if (!std::isfinite(largest)) return -1;
      if (largest <= stop.tolerance) return it;
    }
    return -1;
  }
  // dX/dS along the curve with X_s specified.
  std::vector<double> tangent(const std::vector<double>& x, std::size_t s) const {
    const std::vector<double> f = residual(x, s, x[s]);
    std::vector<double> j = jacobian(x, s, f), d(size(), 0.0);
    d.back() = 1.0;
    if (!linear_solve(j, d)) return {};
    return d;
  }

 private:
  const PengRobinson& pr_;
  std::vector<double> z_;
  std::vector<std::size_t> on_;
};

EnvelopePoint point_of(const System& sys, const std::vector<double>& x) {
  const std::size_t m = sys.present().size();
  return {std::exp(x[m]), std::exp(x[m + 1]), std::vector<double>(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(m))};
}

std::size_t fastest(const std::vector<double>& d) {
  std::size_t s = 0;
  for (std::size_t c = 1; c < d.size(); ++c) {
    if (std::abs(d[c]) > std::abs(d[s])) s = c;
  }
  return s;
}

}  // namespace

Envelope phase_envelope(const PengRobinson& pr, std::span<const double> z, double p_start, double t_min, double t_max,
                        Stopping stop) {
  Envelope env;
  System sys(pr, z);
  const std::size_t m = sys.present().size(), lt = m, lp = m + 1;
  if (m < 2) {
    env.status = SolveStatus::kStoppedAtCap;
    return env;
  }
  // the start: the dew point of Wilson's ratios at p_start, sum z_i / K_i = 1, by bisection in T
  auto dew = [&](double t) {
    const std::vector<double> k = wilson_k(pr, t, p_start);
    double s = 0.0;
    for (std::size_t i : sys.present()) s += z[i] / k[i];
    return s - 1.0;
  };
  double lo = t_min, hi = t_max;
  for (int it = 0; it < kTopBisections; ++it) (dew(0.5 * (lo + hi)) > 0.0 ? lo : hi) = 0.5 * (lo + hi);
  std::vector<double> x(m + 2);
  const std::vector<double> k0 = wilson_k(pr, 0.5 * (lo + hi), p_start);
  for (std::size_t a = 0; a < m; ++a) x[a] = std::log(k0[sys.present()[a]]);
  x[lt] = std::log(0.5 * (lo + hi));
  std::size_t s = lp;
  if (sys.solve(x, s, std::log(p_start), stop) < 0) {
    env.status = SolveStatus::kStoppedAtCap;
    return env;
  }
  for (std::size_t a = 0; a < m; ++a) sys.first_sign.push_back(x[a] > 0.0 ? 1.0 : -1.0);
  env.points.push_back(point_of(sys, x));
  std::vector<double> along = sys.tangent(x, s);  // oriented so that ln P rises at the start
  if (along.empty()) {
    env.status = SolveStatus::kStoppedAtCap;
    return env;
  }
  if (along[lp] < 0.0) for (double& v : along) v = -v;
  double step = kFirstStep;
  int halvings = 0;
  std::vector<std::vector<double>> xs{x};
  std::vector<std::vector<double>> ts{along};
  while (static_cast<int>(env.points.size()) < kMostPoints) {
    s = fastest(along);
    // next to the critical point ln K is specified, whatever moves fastest: there T and P hardly
    // determine the point (their derivatives vanish with ln K)
    double spread = 0.0;
    for (std::size_t a = 0; a < m; ++a) spread = std::max(spread, std::abs(x[a]));
    if (spread < kNearCritical) s = fastest(std::vector<double>(along.begin(), along.begin() + static_cast<std::ptrdiff_t>(m)));
    double delta = step * (along[s] > 0.0 ? 1.0 : -1.0);
    // a step in ln K that would land next to the critical point (where the system's derivatives in T
    // and P vanish) or across it lands beyond it, as far as the point is before it and at least
    // kAcross of the step
    if (s < m && (x[s] * (x[s] + delta) < 0.0 || std::abs(x[s] + delta) < kAcross * step))
      delta = -x[s] - std::copysign(std::max(std::abs(x[s]), kAcross * step), x[s]);
    std::vector<double> next = x;
    for (std::size_t c = 0; c < next.size(); ++c) next[c] += along[c] / along[s] * delta;
    const int its = sys.solve(next, s, x[s] + delta, stop);
    if (its < 0) {
      step *= 0.5;
      if (++halvings > kHalvingsInARow) {
        env.status = SolveStatus::kStoppedAtCap;
        break;
      }
      continue;
    }
    halvings = 0;
    if (its <= kFastNewton) step = std::min(step * kGrowth, kLargestStep);
    std::vector<double> d = sys.tangent(next, s);
    if (d.empty()) {
      env.status = SolveStatus::kStoppedAtCap;
      break;
    }
    double dot = 0.0;
    for (std::size_t c = 0; c < d.size(); ++c) dot += d[c] * along[c];
    if (dot < 0.0) for (double& v : d) v = -v;
    // a critical point: every ln K changes sign between the two points
    bool crossed = true;
    for (std::size_t a = 0; a < m; ++a) crossed = crossed && x[a] * next[a] < 0.0;
    if (crossed && !env.critical) {
      const double f = x[0] / (x[0] - next[0]);
      env.critical = true;
      env.critical_t = std::exp(x[lt] + f * (next[lt] - x[lt]));
      env.critical_p = std::exp(x[lp] + f * (next[lp] - x[lp]));
    }
    x = std::move(next);
    along = std::move(d);
    xs.push_back(x);
    ts.push_back(along);
    env.points.push_back(point_of(sys, x));
    if (x[lp] < std::log(p_start) || x[lt] < std::log(t_min) || x[lt] > std::log(t_max)) break;
  }
  // the cricondenbar: where d ln P / dS changes sign, by bisection in ln T between the two points
  // either side (each a point solved with ln T specified)
  std::size_t top = 0;
  for (std::size_t i = 0; i < env.points.size(); ++i) {
    if (env.points[i].p > env.points[top].p) top = i;
  }
  env.cricondenbar_t = env.points[top].t;
  env.cricondenbar_p = env.points[top].p;
  if (top == 0 || top + 1 >= xs.size()) return env;
  const std::size_t a = ts[top][lp] > 0.0 ? top : top - 1;  // the rising end of the bracket
  std::vector<double> xa = xs[a], xb = xs[a + 1];
  const double sign = ts[a][lt] > 0.0 ? 1.0 : -1.0;  // whether ln T rises along the curve there
  for (int it = 0; it < kTopBisections && std::abs(xb[lt] - xa[lt]) > stop.tolerance; ++it) {
    std::vector<double> mid = xa;
    for (std::size_t c = 0; c < mid.size(); ++c) mid[c] = 0.5 * (xa[c] + xb[c]);
    if (sys.solve(mid, lt, mid[lt], stop) < 0) break;
    const std::vector<double> d = sys.tangent(mid, lt);
    if (d.empty()) break;
    (d[lp] * sign > 0.0 ? xa : xb) = mid;
    if (std::exp(mid[lp]) > env.cricondenbar_p) env.cricondenbar_t = std::exp(mid[lt]), env.cricondenbar_p = std::exp(mid[lp]);
  }
  return env;
}

}  // namespace kvt::reference
