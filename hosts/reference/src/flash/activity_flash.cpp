#include "flash/activity_flash.h"

#include <algorithm>
#include <cmath>

#include "flash/activity_three_phase.h"
#include "numerics/constants.h"
#include "numerics/fixed_point.h"
#include "numerics/rachford_rice.h"

namespace kvt::reference {

namespace {

// K of a component kept out of the liquid (water under free water when no free water is present).
constexpr double kBarredK = 1e12;

double total(const std::vector<double>& a) {
  double s = 0.0;
  for (double v : a) s += v;
  return s;
}

// The liquid of total composition x: one liquid, or two when `allow` and x is unstable.
struct Liquid {
  std::vector<double> x1, x2;
  double beta = 0.0;  // second liquid's share
  bool split = false;
  SolveStatus status = SolveStatus::kConverged;
};

class Splitter {
 public:
  // `barred`: the component kept out of the liquid (the set's size: none), as in the Peng-Robinson splits
  Splitter(const NrtlAt& m, std::span<const double> psat, double p, std::size_t barred)
      : m_(m), psat_(psat), p_(p), barred_(barred), n_(m.n()) {}

  Liquid liquid(const std::vector<double>& x, bool allow) const {
    Liquid l;
    l.x1 = x;
    if (!allow) return l;
    LiquidSplit s = nrtl_liquid_split(m_, x);
    l.status = s.status;
    if (!s.split) return l;
    l.x1 = std::move(s.x1);
    l.x2 = std::move(s.x2);
    l.beta = s.beta;
    l.split = true;
    return l;
  }

  // K_i = y_i / x_i of the liquid whose first liquid is x1 (x the total liquid): x1_i gamma_i Psat_i / (P x_i),
  // into k (lg holds ln gamma: the substitution keeps both across its steps)
  void k_into(const std::vector<double>& x, const std::vector<double>& x1, std::vector<double>& k,
              std::vector<double>& lg) const {
    m_.ln_gamma(x1, lg);
    for (std::size_t i = 0; i < n_; ++i) {
      const double ratio = x[i] > 0.0 && x1[i] > 0.0 ? x1[i] / x[i] : 1.0;
      k[i] = i == barred_ ? kBarredK : ratio * std::exp(lg[i]) * psat_[i] / p_;
    }
  }
  std::vector<double> k_of(const std::vector<double>& x, const std::vector<double>& x1) const {
    std::vector<double> k(n_), lg(n_);
    k_into(x, x1, k, lg);
    return k;
  }

  // Split `amount` of feed zf (fractions) into out.v, out.l1, out.l2.
  void split(ActivitySplit& out, const std::vector<double>& zf, double amount, bool allow) const {
    const bool barred = barred_ < n_ && zf[barred_] > 0.0;
    // All liquid at or above the bubble pressure of the (possibly split) liquid; all vapour at or
    // below the dew pressure (the incipient liquid's gamma by substitution). The homogeneous
    // liquid's bubble pressure says which test is likely to settle it, so that one goes first.
    std::vector<double> x;
    bool dew_done = false;
    auto all_vapour = [&] {
      x = incipient_liquid(zf, out);
      dew_done = true;
      double s = 0.0;
      for (std::size_t i = 0; i < n_; ++i) {
        if (i != barred_) s += zf[i] / out.k[i];
      }
      if (s > 1.0) return false;
      for (std::size_t i = 0; i < n_; ++i) out.v[i] += amount * zf[i];
      return true;
    };
    auto all_liquid = [&] {
      if (barred) return false;
      const Liquid l = liquid(zf, allow);
      const std::vector<double> k = k_of(l.x1, l.x1);
      double p_ratio = 0.0;  // bubble pressure / P
      for (std::size_t i = 0; i < n_; ++i) p_ratio += l.x1[i] * k[i];
      if (p_ratio > 1.0) return false;
      out.k = k;
      place_liquid(out, zf, l, amount);
      out.status = worse(out.status, l.status);
      return true;
    };
    double homogeneous = 0.0;
    if (!barred) {
      const std::vector<double> k = k_of(zf, zf);
      for (std::size_t i = 0; i < n_; ++i) homogeneous += zf[i] * k[i];
    }
    // Where the homogeneous liquid boils at P, only a split liquid could hold the feed as liquid;
    // that test (a liquid-liquid stability test of the feed) waits until the vapour-liquid
    // substitution has settled: a vapour beside a stable liquid is then the equilibrium, which a
    // split liquid with no vapour cannot also be, so the feed's test is needed only otherwise.
    bool liquid_settled = barred || !allow;
    if (!barred && homogeneous <= 1.0) {
      if (all_liquid() || all_vapour()) return;
      liquid_settled = true;
    } else if (all_vapour()) {
      return;
    }
    if (!dew_done) x = incipient_liquid(zf, out);
    // vapour and liquid: substitution from the dew point's ratios, with one liquid; when that liquid
    // is unstable, again with the liquid split at each step
    std::vector<double> k = out.k;
    double b = 0.5;
    Liquid l;  // one liquid (x itself) until a step splits it
    std::vector<double> last(n_, 0.0), kn(n_), lg(n_);
    auto substitute = [&](bool split_each) {
      std::fill(last.begin(), last.end(), 0.0);
      for (int it = 0; it < kActivitySubstitution.cap; ++it) {
        const VapourSplit split = rachford_rice(zf, k, 0.0, kRachfordRice, b);
        b = split.beta;
        out.status = worse(out.status, split.status);
        for (std::size_t i = 0; i < n_; ++i) x[i] = zf[i] / (1.0 + b * (k[i] - 1.0));
        if (barred) x[barred_] = 0.0;
        const double sx = total(x);
        for (double& v : x) v /= sx;
        if (split_each) l = liquid(x, true);
        k_into(x, split_each ? l.x1 : x, kn, lg);
        double change = 0.0, dd = 0.0, dp = 0.0;
        for (std::size_t i = 0; i < n_; ++i) {
          if (zf[i] <= 0.0 || i == barred_) continue;
          const double step = std::log(kn[i] / k[i]);
          change = std::max(change, std::abs(step));
          dd += step * step;
          dp += step * last[i];
          last[i] = step;
        }
        std::swap(k, kn);
        if (change < kActivitySubstitution.tolerance) return true;
        // every fifth step, the dominant-eigenvalue jump of ln K, as in the liquid-liquid test
        if (it % 5 == 4 && dp > 0.0 && dd < kAccelerationRate * dp) {
          const double lambda = dd / dp;
          for (std::size_t i = 0; i < n_; ++i) k[i] *= std::exp(last[i] * lambda / (1.0 - lambda));
        }
      }
      return false;
    };
    const SolveStatus before = out.status;
    bool done = substitute(false);
    if (allow && b < 1.0) l = liquid(x, true);
    if (!liquid_settled && (l.split || !(b > 0.0 && b < 1.0))) {
      const SolveStatus substituted = out.status;
      out.status = before;
      if (all_liquid()) return;
      out.status = substituted;
    }
    if (allow && b < 1.0 && l.split) {
      if (three_phase(out, zf, x, k, b, l, amount)) return;
      done = substitute(true);
    }
    out.status = worse(out.status, done ? l.status : SolveStatus::kStoppedAtCap);
    b = rachford_rice(zf, k, 0.0, kRachfordRice, b).beta;
    out.k = k;
    std::vector<double> lz(n_);
    for (std::size_t i = 0; i < n_; ++i) {
      lz[i] = b >= 1.0 || i == barred_ ? 0.0 : zf[i] * (1.0 - b) / (1.0 + b * (k[i] - 1.0));
      out.v[i] += amount * (zf[i] - lz[i]);
    }
    const double liquid_amount = total(lz);
    if (liquid_amount <= 0.0) return;
    if (!l.split) {
      for (std::size_t i = 0; i < n_; ++i) out.l1[i] += amount * lz[i];
      return;
    }
    for (std::size_t i = 0; i < n_; ++i) {
      const double in2 = liquid_amount * l.beta * l.x2[i];
      out.l2[i] += amount * std::min(in2, lz[i]);
      out.l1[i] += amount * std::max(lz[i] - in2, 0.0);
    }
  }

 private:
  // The vapour and both liquids as one system, from the vapour-liquid split (vapour fraction b, ratios
  // k against the whole liquid x) and the split l of that liquid. False, leaving out as it was, when
  // the system has no three-phase solution there (a phase fraction outside (0, 1), the liquids
  // merged) or did not converge.
  bool three_phase(ActivitySplit& out, const std::vector<double>& zf, const std::vector<double>& x,
                   const std::vector<double>& k, double b, const Liquid& l, double amount) const {
    std::vector<double> kv(n_, 1.0), kl(n_, 1.0);
    for (std::size_t i = 0; i < n_; ++i) {
      if (!(zf[i] > 0.0 && l.x1[i] > 0.0)) continue;
      kv[i] = k[i] * x[i] / l.x1[i];
      kl[i] = std::max(l.x2[i], 1e-300) / l.x1[i];
    }
    const ThreePhaseSplit s =
        activity_three_phase(m_, psat_, zf, p_, kv, kl, b, (1.0 - b) * l.beta, kActivityThreePhase);
    const double l1 = 1.0 - s.vapour - s.liquid2;
    if (s.status != SolveStatus::kConverged || s.collapsed || !(s.vapour > 0.0 && s.liquid2 > 0.0 && l1 > 0.0))
      return false;
    for (std::size_t i = 0; i < n_; ++i) {
      out.v[i] += amount * s.vapour * s.y[i];
      out.l1[i] += amount * l1 * s.x1[i];
      out.l2[i] += amount * s.liquid2 * s.x2[i];
    }
    out.k = s.kv;
    return true;
  }

  void place_liquid(ActivitySplit& out, const std::vector<double>& zf, const Liquid& l, double amount) const {
    for (std::size_t i = 0; i < n_; ++i) {
      const double in2 = l.split ? std::min(l.beta * l.x2[i], zf[i]) : 0.0;
      out.l2[i] += amount * in2;
      out.l1[i] += amount * (zf[i] - in2);
    }
  }

  // The liquid that first condenses from the vapour zf: x_i proportional to y_i P / (gamma_i(x) Psat_i).
  // Leaves the ratios gamma_i(x) Psat_i / P in out.k.
  std::vector<double> incipient_liquid(const std::vector<double>& zf, ActivitySplit& out) const {
    std::vector<double> x(n_, 0.0), lg(n_);
    for (std::size_t i = 0; i < n_; ++i) {
      if (i != barred_) x[i] = zf[i] * p_ / psat_[i];
    }
    // The sum of x before normalising is P / P_dew, stationary at the solution: it settles long
    // before x does where the liquid is near a split, and it is what decides the phases.
    bool done = false;
    double last = 0.0;
    for (int it = 0; it < kActivitySubstitution.cap && total(x) > 0.0; ++it) {
      const double sx = total(x);
      for (double& v : x) v /= sx;
      m_.ln_gamma(x, lg);
      double change = 0.0;
      for (std::size_t i = 0; i < n_; ++i) {
        if (i == barred_ || zf[i] <= 0.0) continue;
        const double xn = zf[i] * p_ / (std::exp(lg[i]) * psat_[i]);
        change = std::max(change, std::abs(std::log(xn / x[i])));
        x[i] = xn;
      }
      if (change < kActivitySubstitution.tolerance ||
          std::abs(total(x) - last) < kActivitySubstitution.tolerance * total(x)) {
        done = true;
        break;
      }
      last = total(x);
    }
    if (!done && total(x) > 0.0) done = from_corners(zf, x);
    if (!done && total(x) > 0.0) out.status = SolveStatus::kStoppedAtCap;
    const double sx = total(x);
    if (sx > 0.0) {
      for (double& v : x) v /= sx;
    }
    out.k = k_of(x, x);
    return x;
  }

  // Where the substitution above crawls to its cap (its rate near 1 over a wide stretch next to where
  // the liquid would split), the incipient liquid from trials rich in each component in turn, on
  // ln W: a few substitution steps, then Newton's method (fixed_point.h), which converges there
  // unless a stretch of small gradient and no solution lies between trial and solution. Of the
  // trials that converge, the one of the highest P / P_dew (the sum of W) goes into x. False when none
  // does.
  bool from_corners(const std::vector<double>& zf, std::vector<double>& x) const {
    std::vector<std::size_t> active;
    for (std::size_t i = 0; i < n_; ++i) {
      if (i != barred_ && zf[i] > 0.0) active.push_back(i);
    }
    std::vector<double> w(n_, 0.0), lg(n_), best;
    const FixedPointMap g = [&](const std::vector<double>& at, std::vector<double>& next) {
      for (std::size_t a = 0; a < active.size(); ++a) w[active[a]] = std::exp(at[a]);
      m_.ln_gamma(w, lg);
      for (std::size_t a = 0; a < active.size(); ++a) next[a] = std::log(zf[active[a]] * p_ / psat_[active[a]]) - lg[active[a]];
    };
    double most = 0.0;
    for (const std::size_t rich : active) {
      std::vector<double> u;
      for (const std::size_t i : active) u.push_back(std::log(i == rich ? 0.98 : 0.02 * zf[i]));
      if (fixed_point(u, g, kActivitySubstitution, kPlainSteps) != SolveStatus::kConverged) continue;
      double sum = 0.0;
      for (const double v : u) sum += std::exp(v);
      if (sum <= most) continue;
      most = sum;
      best.assign(n_, 0.0);
      for (std::size_t a = 0; a < active.size(); ++a) best[active[a]] = std::exp(u[a]);
    }
    if (best.empty()) return false;
    x = std::move(best);
    return true;
  }

  const NrtlAt& m_;
  std::span<const double> psat_;
  double p_;
  std::size_t barred_;
  std::size_t n_;
};

}  // namespace

ActivitySplit activity_split(const NrtlAt& m, std::span<const double> psat, std::span<const double> zin, double p,
                             int water, bool free_water) {
  const std::size_t n = m.n();
  const std::vector<double> z(zin.begin(), zin.end());
  ActivitySplit out;
  out.v.assign(n, 0.0);
  out.l1.assign(n, 0.0);
  out.l2.assign(n, 0.0);
  if (water < 0 || !(z[static_cast<std::size_t>(water)] > 0.0) || !free_water) {
    Splitter(m, psat, p, n).split(out, z, 1.0, true);
    // the second liquid is the aqueous one where water takes part
    if (water >= 0 && total(out.l2) > 0.0) {
      const auto w = static_cast<std::size_t>(water);
      const double a1 = total(out.l1), a2 = total(out.l2);
      if (out.l1[w] / a1 > out.l2[w] / a2) {
        // K_i = y_i / x_i restated against the new first liquid (the fugacities of both are equal)
        for (std::size_t i = 0; i < n; ++i) {
          if (out.l2[i] > 0.0) out.k[i] *= (out.l1[i] / a1) / (out.l2[i] / a2);
        }
        std::swap(out.l1, out.l2);
      }
    }
    return out;
  }
  const auto w = static_cast<std::size_t>(water);
  const double zw = z[w], zorg = 1.0 - zw, pw = psat[w];
  if (p > pw && zorg > 0.0) {
    // free water present: the organics split at the pressure less water's, water's partial pressure
    // in the vapour its vapour pressure
    std::vector<double> zo(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) zo[i] = i == w ? 0.0 : z[i] / zorg;
    ActivitySplit org;
    org.v.assign(n, 0.0);
    org.l1.assign(n, 0.0);
    org.l2.assign(n, 0.0);
    Splitter(m, psat, p - pw, n).split(org, zo, zorg, false);
    const double yw = pw / p;
    const double vap = total(org.v) / (1.0 - yw);
    const double free = zw - vap * yw;
    if (free >= 0.0) {
      out = std::move(org);
      out.v[w] = vap * yw;
      out.l2[w] = free;
      // the k of an organic liquid at P - Pw, restated at P
      for (std::size_t i = 0; i < n; ++i) out.k[i] *= (p - pw) / p;
      out.k[w] = yw;
      return out;
    }
  } else if (zorg <= 0.0) {
    // water alone: boils on its saturation line
    (p > pw ? out.l2 : out.v)[w] = zw;
    out.k.assign(n, 1.0);
    out.k[w] = pw / p;
    return out;
  }
  // no free water: water stays in the vapour, the organics split with it there
  Splitter(m, psat, p, w).split(out, z, 1.0, false);
  return out;
}

}  // namespace kvt::reference
