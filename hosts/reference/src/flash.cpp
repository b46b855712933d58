#include "flash.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include "mixture.h"
#include "pure.h"

namespace kvt::reference {

namespace {

// Component amounts per kmol of feed in the vapour, the first liquid and the second (free-water)
// liquid at one temperature and pressure.
struct State {
  double t = 0.0, p = 0.0;
  std::vector<double> v, l1, l2;
  std::vector<double> k;  // Peng-Robinson: the last equilibrium ratios y_i / x_i (for incipient phases)
};

double sum(const std::vector<double>& a) {
  double s = 0.0;
  for (double v : a) s += v;
  return s;
}

std::vector<double> fractions(const std::vector<double>& a) {
  const double s = sum(a);
  std::vector<double> out(a.size(), 0.0);
  if (s > 0.0) {
    for (std::size_t i = 0; i < a.size(); ++i) out[i] = a[i] / s;
  }
  return out;
}

// The vapour's share of a state: exactly 1 when no liquid is present, whatever the rounding of the
// feed's fractions (a feed divided from component flows sums to 1 only within a few ulps).
double vapour_fraction(const State& s) {
  const double v = sum(s.v), all = v + sum(s.l1) + sum(s.l2);
  return all > 0.0 ? v / all : 0.0;
}

// Vapour fraction from Rachford-Rice on a restricted set: terms of components with k = +inf
// (water barred from the organic liquid) are passed as `never_liquid` = their total fraction.
double rachford_rice_restricted(std::span<const double> z, std::span<const double> k, double never_liquid) {
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
  if (szk <= 1.0) return 0.0;
  if (szk_inv <= 1.0) return 1.0;
  // g decreases on (0, 1): bracket and Newton steps kept inside it.
  double lo = 0.0, hi = 1.0, b = 0.5;
  for (int it = 0; it < 200; ++it) {
    const double gb = g(b);
    if (gb > 0.0) lo = b; else hi = b;
    const double step = gb / dg(b);
    double nb = b - step;
    if (!(nb > lo && nb < hi)) nb = 0.5 * (lo + hi);
    if (std::abs(nb - b) <= 1e-15 || hi - lo <= 1e-15) {
      b = nb;
      break;
    }
    b = nb;
  }
  return std::clamp(b, 0.0, 1.0);
}

class Model {
 public:
  Model(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req)
      : sys_(sys), z_(z.begin(), z.end()), req_(req), water_alone_(water_alone(sys, z)) {}

  std::size_t n() const { return z_.size(); }
  bool three_phase() const { return req_.free_water && sys_.water >= 0 && z_[sys_.water] > 0.0; }

  std::vector<double> psat(double t) const {
    std::vector<double> out(n());
    for (std::size_t i = 0; i < n(); ++i) out[i] = std::exp(ln_vapour_pressure(*sys_.components[i], t));
    return out;
  }

  // Whether the equation splits and measures this feed: a feed of water alone takes its saturation
  // and every property from the water formulation under either method, so it flashes as the ideal
  // method has it.
  bool peng_robinson() const { return sys_.method == Method::peng_robinson && !water_alone_; }

  State empty(double t, double p) const {
    return {t, p, std::vector<double>(n(), 0.0), std::vector<double>(n(), 0.0), std::vector<double>(n(), 0.0), {}};
  }

  State tp(double t, double p) const {
    State s = empty(t, p);
    if (req_.model == PhaseModel::kVapourOnly) {
      s.v = z_;
      return s;
    }
    if (req_.model == PhaseModel::kLiquidOnly) {
      s.l1 = z_;
      return s;
    }
    if (peng_robinson()) return pr_tp(t, p);
    const auto ps = psat(t);
    if (!three_phase()) {
      std::vector<double> k(n());
      for (std::size_t i = 0; i < n(); ++i) k[i] = ps[i] / p;
      split_two(s, z_, k, 1.0);
      return s;
    }
    const auto w = static_cast<std::size_t>(sys_.water);
    const double zw = z_[w], zorg = 1.0 - zw, pw = ps[w];
    if (p > pw) {
      // Free water present: the organics split by Raoult at the pressure less water's, with K' = Psat/(P - Pw).
      std::vector<double> zo(n(), 0.0), k(n(), 1.0);
      for (std::size_t i = 0; i < n(); ++i) {
        if (i != w && zorg > 0.0) {
          zo[i] = z_[i] / zorg;
          k[i] = ps[i] / (p - pw);
        }
      }
      State org = empty(t, p);
      if (zorg > 0.0) split_two(org, zo, k, zorg);
      const double v_org = sum(org.v);
      const double yw = pw / p;
      const double vap = v_org / (1.0 - yw);
      const double free = zw - vap * yw;
      if (free >= 0.0) {
        s.v = org.v;
        s.l1 = org.l1;
        s.v[w] = vap * yw;
        s.l2[w] = free;
        return s;
      }
    }
    // No free water: water stays in the vapour; the organics split by Raoult.
    std::vector<double> zo(n(), 0.0), k(n(), 1.0);
    for (std::size_t i = 0; i < n(); ++i) {
      if (i != w) {
        zo[i] = z_[i];
        k[i] = ps[i] / p;
      }
    }
    const double b = rachford_rice_restricted(zo, k, zw);
    for (std::size_t i = 0; i < n(); ++i) {
      if (i == w) {
        s.v[i] = zw;
      } else if (z_[i] > 0.0) {
        s.l1[i] = b >= 1.0 ? 0.0 : z_[i] * (1.0 - b) / (1.0 + b * (k[i] - 1.0));
        s.v[i] = z_[i] - s.l1[i];
      }
    }
    return s;
  }

  // Molar enthalpy of a state per kmol of feed: the sum of its phases' enthalpies.
  double enthalpy(const State& s) const {
    double h = 0.0;
    for (const auto* a : {&s.v, &s.l1, &s.l2}) {
      const double amount = sum(*a);
      if (amount <= 0.0) continue;
      const Phase ph = a == &s.v ? Phase::kVapour : Phase::kLiquid;
      h += amount * phase_enthalpy(sys_, *a, ph, s.t, s.p, root(s, ph));
    }
    return h;
  }

  // The root of the cubic a phase of the state takes: its own in a split or a forced phase, the
  // stable one for a single phase found by the stability test.
  Root root(const State& s, Phase phase) const {
    if (req_.model != PhaseModel::kEquilibrium || (sum(s.v) > 0.0 && sum(s.l1) + sum(s.l2) > 0.0) || !s.k.empty())
      return phase == Phase::kVapour ? Root::kVapour : Root::kLiquid;
    return Root::kStable;
  }

  // Under Peng-Robinson, whether an all-liquid state a and an all-vapour state b either side of a
  // jump are one fluid: above its critical point a single root passes the density that divides
  // liquid-like from vapour-like, with no phase change and no jump in density (a boiling point,
  // where the two roots coexist, has one).
  bool one_fluid(const State& a, const State& b) const {
    if (!peng_robinson() || sum(a.v) > 0.0 || sum(a.l2) > 0.0 || sum(b.l1) + sum(b.l2) > 0.0) return false;
    const double za = pr_phase(sys_.pr, a.t, a.p, z_, Root::kStable).z;
    const double zb = pr_phase(sys_.pr, b.t, b.p, z_, Root::kStable).z;
    return std::abs(za - zb) <= 1e-4 * std::abs(zb);
  }

  FlashResult result(const State& s) const;
  std::vector<std::string> limits(const FlashResult& r) const;

  const FlashRequest& request() const { return req_; }

 private:
  // Two-phase Raoult split of a feed zf (fractions) of `amount` kmol into s.v / s.l1.
  static void split_two(State& s, const std::vector<double>& zf, const std::vector<double>& k, double amount) {
    const double b = rachford_rice(zf, k);
    for (std::size_t i = 0; i < zf.size(); ++i) {
      if (zf[i] <= 0.0) continue;
      const double l = b >= 1.0 ? 0.0 : zf[i] * (1.0 - b) / (1.0 + b * (k[i] - 1.0));
      s.l1[i] = amount * l;
      s.v[i] = amount * (zf[i] - l);
    }
  }

  // Peng-Robinson T-P flash, free water as the ideal method has it: water's partial pressure in the
  // vapour is its vapour pressure while free water is present.
  State pr_tp(double t, double p) const {
    State s = empty(t, p);
    if (!three_phase()) {
      pr_split(s, z_, 1.0, -1, 0.0);
      return s;
    }
    const auto w = static_cast<std::size_t>(sys_.water);
    const double zw = z_[w], zorg = 1.0 - zw;
    const double pw = std::exp(ln_vapour_pressure(*sys_.components[w], t));
    if (p > pw) {
      State org = empty(t, p);
      std::vector<double> zo(n(), 0.0);
      for (std::size_t i = 0; i < n(); ++i) zo[i] = i != w && zorg > 0.0 ? z_[i] / zorg : 0.0;
      const double yw = pw / p;
      if (zorg > 0.0) pr_split(org, zo, zorg, static_cast<int>(w), yw);
      const double vap = sum(org.v) / (1.0 - yw);
      const double free = zw - vap * yw;
      if (free >= 0.0) {
        s = org;
        s.v[w] = vap * yw;
        s.l2[w] = free;
        return s;
      }
    }
    pr_split(s, z_, 1.0, static_cast<int>(w), -1.0);  // no free water: water stays in the vapour
    return s;
  }

  // Split `amount` kmol of feed zf into s.v and s.l1 by successive substitution on the fugacity
  // coefficients, after a tangent-plane test of the feed. water < 0: every component takes part;
  // yw >= 0: component `water` is held at mole fraction yw in the vapour and kept out of the liquid
  // (zf holds none of it); yw < 0: it is kept out of the liquid and all of it is vapour. The
  // substitution starts from Wilson's ratios (which lead to the vapour-liquid split rather than a
  // liquid-liquid one), and from the stability test's when that collapses onto the feed.
  void pr_split(State& s, const std::vector<double>& zf, double amount, int water, double yw) const {
    const PengRobinson& pr = sys_.pr;
    const std::size_t w = water >= 0 ? static_cast<std::size_t>(water) : n();
    const bool held = w < n() && yw >= 0.0;
    std::vector<double> k = wilson_k(pr, s.t, s.p), k_trial = k;
    bool split = !pr_stable(pr, s.t, s.p, zf, k_trial);
    double b = 0.0;
    for (int start = 0; split && start < 2; ++start) {
      if (start == 1) k = k_trial;
      b = substitute(s, zf, k, w, yw);
      double spread = 0.0;
      for (std::size_t i = 0; i < n(); ++i) {
        if (zf[i] > 0.0 && i != w) spread = std::max(spread, std::abs(std::log(k[i])));
      }
      split = spread > 1e-4 && b > 0.0 && b < 1.0;
      if (split) break;
    }
    if (!split) {
      const bool vapour = pr_phase(pr, s.t, s.p, zf, Root::kStable).vapour_like;
      for (std::size_t i = 0; i < n(); ++i) (vapour || (i == w && !held) ? s.v : s.l1)[i] = amount * zf[i];
      // water sent to the vapour takes the vapour root even where the equation has it liquid (its
      // saturation pressure is the formulation's, not the equation's): explicit ratios fix the roots
      if (w < n() && !held && zf[w] > 0.0) s.k = wilson_k(pr, s.t, s.p);
      return;
    }
    for (std::size_t i = 0; i < n(); ++i) {
      if (zf[i] <= 0.0) continue;
      const double l = i == w ? 0.0 : zf[i] * (1.0 - b) / (1.0 + b * (k[i] - 1.0));
      s.l1[i] = amount * l;
      s.v[i] = amount * (zf[i] - l);
    }
    s.k = k;
    if (held) s.k[w] = yw;  // water's ratio to a free-water liquid
  }

  // Successive substitution from the ratios k (updated in place); returns the vapour fraction.
  double substitute(const State& s, const std::vector<double>& zf, std::vector<double>& k, std::size_t w, double yw) const {
    const bool held = w < n() && yw >= 0.0;
    std::vector<double> x(n()), y(n());
    for (int it = 0; it < 500; ++it) {
      if (w < n()) k[w] = held ? 1.0 : 1e12;
      const double b = rachford_rice(zf, k);
      for (std::size_t i = 0; i < n(); ++i) {
        x[i] = zf[i] / (1.0 + b * (k[i] - 1.0));
        y[i] = k[i] * x[i];
      }
      if (w < n()) x[w] = y[w] = 0.0;
      y = fractions(y);
      if (held) {
        for (double& v : y) v *= 1.0 - yw;
        y[w] = yw;
      }
      const PrPhase lp = pr_phase(sys_.pr, s.t, s.p, x, Root::kLiquid), vp = pr_phase(sys_.pr, s.t, s.p, y, Root::kVapour);
      double change = 0.0;
      for (std::size_t i = 0; i < n(); ++i) {
        if (zf[i] <= 0.0 || i == w) continue;
        const double kn = std::exp(lp.ln_phi[i] - vp.ln_phi[i]) / (held ? 1.0 - yw : 1.0);
        change = std::max(change, std::abs(std::log(kn / k[i])));
        k[i] = kn;
      }
      if (change < 1e-11) break;
    }
    if (w < n()) k[w] = held ? 1.0 : 1e12;
    return rachford_rice(zf, k);
  }

  const FlashSystem& sys_;
  std::vector<double> z_;
  FlashRequest req_;
  bool water_alone_;
};

FlashResult Model::result(const State& s) const {
  FlashResult r;
  r.converged = true;
  r.t = s.t;
  r.p = s.p;
  const double vap = sum(s.v), l1 = sum(s.l1), l2 = sum(s.l2);
  r.vapour_fraction = vapour_fraction(s);
  r.liquid_split = l1 + l2 > 0.0 ? l1 / (l1 + l2) : 1.0;
  r.phase_amount = {vap, l1 + l2, l1, l2};
  const bool three = three_phase() || (req_.free_water && sys_.water >= 0);
  const std::size_t w = sys_.water >= 0 ? static_cast<std::size_t>(sys_.water) : n();
  // equilibrium ratios for the incipient phases: Raoult's, or the equation's last ones
  std::vector<double> k = psat(s.t);
  for (double& v : k) v /= s.p;
  if (peng_robinson()) {
    const std::vector<double> kw = k;
    k = s.k.empty() ? wilson_k(sys_.pr, s.t, s.p) : s.k;
    if (w < n()) k[w] = kw[w];
  }
  r.y = fractions(s.v);
  r.x1 = fractions(s.l1);
  r.x2 = fractions(s.l2);
  if (l2 <= 0.0 && three && w < n()) r.x2[w] = 1.0;  // incipient free water
  if (l1 <= 0.0) {
    // incipient first liquid: x_i proportional to y_i / K_i (water excluded with free water)
    std::vector<double> a(n(), 0.0);
    for (std::size_t i = 0; i < n(); ++i) {
      if (three && i == w) continue;
      a[i] = r.y[i] / k[i];
    }
    r.x1 = fractions(a);
  }
  if (vap <= 0.0) {
    // incipient vapour: x_i K_i of the liquids present
    std::vector<double> a(n(), 0.0);
    for (std::size_t i = 0; i < n(); ++i) a[i] = r.x1[i] * k[i] * (l1 > 0.0 ? 1.0 : 0.0);
    if (l2 > 0.0 && w < n()) a[w] += k[w];
    r.y = fractions(a);
    if (sum(a) <= 0.0) r.y = fractions(z_);
  }
  std::vector<double> liq(n());
  for (std::size_t i = 0; i < n(); ++i) liq[i] = s.l1[i] + s.l2[i];
  r.x = l1 + l2 > 0.0 ? fractions(liq) : r.x1;

  RangeNotes notes;
  const std::array<const std::vector<double>*, 4> comp{&r.y, &r.x, &r.x1, &r.x2};
  for (int p = 0; p < 4; ++p) {
    Mixture m{sys_.components, *comp[p], s.p};
    if (sum(*comp[p]) <= 0.0) continue;
    const Phase ph = p == kV ? Phase::kVapour : Phase::kLiquid;
    const bool present = r.phase_amount[p] > 0.0;
    r.phase_enthalpy[p] = kvt::reference::enthalpy(m, ph, s.t, present ? &notes : nullptr);
    r.phase_volume[p] = molar_volume(m, ph, s.t, s.p, present ? &notes : nullptr);
    r.phase_mw[p] = molecular_weight(m);
    if (peng_robinson()) {
      // the equation's enthalpy, and the vapour's volume from the equation (water alone excepted)
      r.phase_enthalpy[p] = phase_enthalpy(sys_, *comp[p], ph, s.t, s.p, root(s, ph));
      if (p == kV && !water_alone(sys_, *comp[p]))
        r.phase_volume[p] = pr_phase(sys_.pr, s.t, s.p, *comp[p], root(s, ph)).z * kGasConstant * s.t / s.p;
    }
  }
  if (peng_robinson() && l2 > 0.0) {
    // the total liquid: first and free-water liquids by amount
    r.phase_enthalpy[kL] = (l1 * r.phase_enthalpy[kL1] + l2 * r.phase_enthalpy[kL2]) / (l1 + l2);
  }
  r.notes = notes.items;
  r.limits = limits(r);
  r.enthalpy = enthalpy(s);
  Mixture feed{sys_.components, z_};
  r.molecular_weight = molecular_weight(feed);
  return r;
}

bool hydrocarbon(const Component& c) {
  return !c.formula.empty() && c.formula.find_first_not_of("CH0123456789") == std::string::npos;
}

std::vector<std::string> Model::limits(const FlashResult& r) const {
  std::vector<std::string> out;
  auto say = [&](auto... parts) {
    std::ostringstream o;
    (o << ... << parts);
    out.push_back(o.str());
  };
  if (!peng_robinson() && !water_alone_ && r.p > kIdealPressureLimit)
    say("the ideal-solution method above ", kIdealPressureLimit / 1e3,
        " kPa: Raoult's law and an ideal-gas vapour misplace the phase boundaries and the vapour density "
        "(the peng-robinson method holds there)");
  const bool liquid = r.phase_amount[kL1] > 0.0;
  bool water = false, organic = false;
  for (std::size_t i = 0; i < n(); ++i) {
    const Component& c = *sys_.components[i];
    if (!liquid || r.x1[i] < kNoteFraction) continue;
    if (r.t > c.tc)
      say(c.name, " is above its critical temperature (", c.tc,
          " K) in a liquid: its liquid volume is continued from Tr 0.95 up to the critical volume and its transport "
          "properties are held at the end of their range");
    water = water || static_cast<int>(i) == sys_.water;
    organic = organic || hydrocarbon(c);
  }
  if (water && organic && !req_.free_water)
    say("water and hydrocarbons share one liquid because free water is off: they are treated as miscible, "
        "which they are not (a phase kind with free water separates them)");
  if (req_.model != PhaseModel::kEquilibrium) {
    FlashRequest eq = req_;
    eq.model = PhaseModel::kEquilibrium;
    const State st = Model(sys_, z_, eq).tp(r.t, r.p);
    const bool forced_vapour = req_.model == PhaseModel::kVapourOnly;
    if ((forced_vapour && sum(st.l1) + sum(st.l2) > 0.0) || (!forced_vapour && sum(st.v) > 0.0))
      say("the stream is taken as all ", forced_vapour ? "vapour" : "liquid", " at T = ", r.t, " K, P = ", r.p / 1e3,
          " kPa, where the stable state holds ", forced_vapour ? "liquid" : "vapour",
          " (vapour fraction ", sum(st.v), ")");
  }
  return out;
}

State combine(const State& a, const State& b, double lambda) {
  State s = a;
  if (s.k.empty()) s.k = b.k;
  s.t = a.t + lambda * (b.t - a.t);
  s.p = a.p + lambda * (b.p - a.p);
  for (std::size_t i = 0; i < a.v.size(); ++i) {
    s.v[i] = (1 - lambda) * a.v[i] + lambda * b.v[i];
    s.l1[i] = (1 - lambda) * a.l1[i] + lambda * b.l1[i];
    s.l2[i] = (1 - lambda) * a.l2[i] + lambda * b.l2[i];
  }
  return s;
}

struct Search {
  std::function<State(double)> at;        // state at the search variable
  std::function<double(const State&)> m;  // measure, non-decreasing in the variable where monotone
  double target = 0.0;
  double tol = 0.0;       // a measure within tol below the target reaches it (a plateau at the target)
  bool boundary = false;  // the answer is a phase boundary (a vapour fraction), never an end of the range
  // across a jump of the measure: whether the states either side are one fluid counted liquid on one
  // side and vapour on the other, rather than phases that coexist
  std::function<bool(const State&, const State&)> one_fluid;
  double lo = 0.0, hi = 0.0;              // variable bounds
  double guess = std::nan("");
};

// Why a search failed: the target lies beyond the measure's least value (low) or greatest (high),
// shown at the state `where`; or the only crossing is one fluid changing its label (spurious).
struct Miss {
  enum Kind { kLow, kHigh, kSpurious } kind = kLow;
  double measure = 0.0;
  State where;
};

// Bracketed bisection for the state where the measure reaches the target; lever rule across a jump.
bool solve(const Search& s, State& out, Miss& miss) {
  auto above = [&](double v) { return v > s.target - s.tol; };
  double lo = s.lo, hi = s.hi;
  State slo = s.at(lo), shi = s.at(hi);
  double mlo = s.m(slo), mhi = s.m(shi);
  auto met = [&](double v) { return std::abs(v - s.target) <= s.tol; };
  if (!s.boundary && met(mlo)) {
    // met at the lower end, perhaps on a plateau (an ideal liquid's enthalpy does not depend on
    // pressure): take the plateau's far end, where the phase change begins, as the answer
    out = slo;
    for (int it = 0; it < 300 && hi - lo > 1e-12 * std::max(1.0, std::abs(hi)); ++it) {
      const double mid = 0.5 * (lo + hi);
      State sm = s.at(mid);
      if (met(s.m(sm))) {
        lo = mid, out = std::move(sm);
      } else {
        hi = mid;
      }
    }
    return true;
  }
  if (above(mlo)) {
    // A measure that is not monotone (a liquid's enthalpy rises again with pressure; a dense single
    // phase counted as vapour) may start above the target: move the lower end up to the first point
    // of a coarse scan that is below it, else (enthalpy) to the least value near the scan's least.
    constexpr int kScan = 64;
    auto point = [&](int i) { return s.lo + (s.hi - s.lo) * i / kScan; };
    int i_least = 0;
    miss = {Miss::kLow, mlo, slo};
    for (int i = 1; i < kScan && above(mlo); ++i) {
      State sv = s.at(point(i));
      const double mv = s.m(sv);
      if (!above(mv)) {
        lo = point(i), slo = std::move(sv), mlo = mv;
      } else if (mv < miss.measure) {
        i_least = i, miss.measure = mv, miss.where = std::move(sv);
      }
    }
    if (above(mlo) && !s.boundary) {
      // golden section for the least value between the scan's neighbours of its least point
      const double g = 0.5 * (std::sqrt(5.0) - 1.0);
      double a = point(std::max(0, i_least - 1)), b = point(std::min(kScan, i_least + 1));
      double c = b - g * (b - a), d = a + g * (b - a);
      State sc = s.at(c), sd = s.at(d);
      double mc = s.m(sc), md = s.m(sd);
      for (int it = 0; it < 100 && above(mc) && above(md) && b - a > 1e-12 * std::max(1.0, std::abs(b)); ++it) {
        if (mc < md) {
          b = d, d = c, sd = std::move(sc), md = mc;
          c = b - g * (b - a), sc = s.at(c), mc = s.m(sc);
        } else {
          a = c, c = d, sc = std::move(sd), mc = md;
          d = a + g * (b - a), sd = s.at(d), md = s.m(sd);
        }
      }
      const bool at_c = mc < md;
      State& best = at_c ? sc : sd;
      const double mb = at_c ? mc : md;
      if (met(mb)) {
        out = std::move(best);
        return true;
      }
      if (!above(mb)) {
        lo = at_c ? c : d, slo = std::move(best), mlo = mb;
      } else if (mb < miss.measure) {
        miss.measure = mb, miss.where = std::move(best);
      }
    }
    if (above(mlo)) return false;
  }
  if (!above(mhi)) {
    miss = {Miss::kHigh, mhi, shi};
    return false;
  }
  if (std::isfinite(s.guess) && s.guess > lo && s.guess < hi) {
    // warm start: narrow the bracket around the estimate when it brackets there
    for (double d = 1e-3 * std::max(1.0, std::abs(s.guess)); d < hi - lo; d *= 4.0) {
      const double a = std::max(lo, s.guess - d), b = std::min(hi, s.guess + d);
      State sa = s.at(a), sb = s.at(b);
      const double ma = s.m(sa), mb = s.m(sb);
      if (!above(ma) && above(mb)) {
        lo = a, hi = b, slo = sa, shi = sb, mlo = ma, mhi = mb;
        break;
      }
    }
  }
  for (int it = 0; it < 300 && hi - lo > 1e-12 * std::max(1.0, std::abs(hi)); ++it) {
    const double mid = 0.5 * (lo + hi);
    State sm = s.at(mid);
    const double mm = s.m(sm);
    if (above(mm)) {
      hi = mid, shi = std::move(sm), mhi = mm;
    } else {
      lo = mid, slo = std::move(sm), mlo = mm;
    }
  }
  if (s.one_fluid && s.one_fluid(slo, shi)) {
    miss = {Miss::kSpurious, mlo, slo};
    return false;
  }
  double lambda = mhi > mlo ? (s.target - mlo) / (mhi - mlo) : 1.0;
  lambda = std::clamp(lambda, 0.0, 1.0);
  out = lambda == 0.0 ? slo : lambda == 1.0 ? shi : combine(slo, shi, lambda);
  return true;
}

std::string range_text(const char* what, double v, double lo, double hi, const char* unit) {
  std::ostringstream s;
  s << what << " " << v << " " << unit << " is outside the accepted range " << lo << " to " << hi << " " << unit;
  return s.str();
}

// Why no state of the range searched meets a flash's specification, in the terms of its kind.
std::string search_failure(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req, const Miss& miss) {
  std::ostringstream o;
  const bool vf = req.kspec == 3 || req.kspec == 5;
  if (req.kspec == 1 || req.kspec == 3)
    o << "no temperature between " << req.t_min << " and " << req.t_max << " K at " << req.spec1 << " Pa";
  else
    o << "no pressure between " << req.p_min << " and " << req.p_max << " Pa at " << req.spec1 << " K";
  o << " gives " << (vf ? "vapour fraction " : "enthalpy ") << req.spec2 << (vf ? "" : " J/kmol") << ": ";
  const State& w = miss.where;
  std::ostringstream at;
  at << " (at " << w.t << " K, " << w.p << " Pa)";
  if (miss.kind == Miss::kSpurious) {
    o << "the stream is one fluid above its critical point there, passing from liquid-like to vapour-like "
         "density without a phase change"
      << at.str();
  } else if (!vf) {
    o << "the " << (miss.kind == Miss::kLow ? "least" : "greatest") << " enthalpy found is " << miss.measure
      << " J/kmol" << at.str();
  } else if (miss.kind == Miss::kHigh && miss.measure <= 0.0) {
    o << "the stream is all liquid over the whole range, so it has no bubble point there";
  } else if (miss.kind == Miss::kHigh) {
    o << "the vapour fraction reaches only " << miss.measure << at.str();
  } else if (miss.measure >= 1.0) {
    o << "the stream is all vapour over the whole range, so it has no dew point there";
  } else {
    // vapour left at the coldest (or densest) end: name the gases that cannot condense there
    o << "vapour is left" << at.str() << ", vapour fraction " << miss.measure;
    std::string gases;
    int count = 0;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] > 0.0 && sys.components[i]->tc < w.t) gases += (count++ > 0 ? ", " : "") + sys.components[i]->name;
    }
    if (count > 0)
      o << ": " << gases << (count > 1 ? ", above their critical temperatures, do" : ", above its critical temperature, does")
        << " not condense whole";
    if (req.spec2 <= 0.0) o << "; the stream has no bubble point in the range";
  }
  return o.str();
}

}  // namespace

bool water_alone(const FlashSystem& sys, std::span<const double> x) {
  if (sys.water < 0 || !(x[static_cast<std::size_t>(sys.water)] > 0.0)) return false;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (static_cast<int>(i) != sys.water && x[i] > 0.0) return false;
  }
  return true;
}

double phase_enthalpy(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p, Root root,
                      RangeNotes* notes) {
  const Mixture m{sys.components, std::vector<double>(x.begin(), x.end()), p};
  if (sys.method != Method::peng_robinson || water_alone(sys, x)) return enthalpy(m, phase, t, notes);
  return enthalpy(m, Phase::kVapour, t, notes) + pr_phase(sys.pr, t, p, x, root).h_res +
         (phase == Phase::kLiquid ? liquid_correction(sys.pr, x, t) : 0.0);
}

double phase_heat_capacity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                           Root root, RangeNotes* notes) {
  if (sys.method != Method::peng_robinson || water_alone(sys, x))
    return enthalpy_dt(Mixture{sys.components, std::vector<double>(x.begin(), x.end()), p}, phase, t, notes);
  const double dt = 1e-3 * t;
  return (phase_enthalpy(sys, x, phase, t + dt, p, root) - phase_enthalpy(sys, x, phase, t - dt, p, root)) / (2.0 * dt);
}

FlashSystem flash_system(const Databank& db, std::vector<const Component*> components, Method method) {
  FlashSystem s;
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (components[i]->name == "water") s.water = static_cast<int>(i);
  }
  s.pr = peng_robinson(components, db);
  s.components = std::move(components);
  s.method = method;
  return s;
}

double rachford_rice(std::span<const double> z, std::span<const double> k) { return rachford_rice_restricted(z, k, 0.0); }

namespace {

bool finite(const FlashResult& r) {
  const auto all = [](const auto& values) { return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); }); };
  return all(std::array{r.t, r.p, r.vapour_fraction, r.liquid_split, r.enthalpy, r.molecular_weight}) && all(r.y) && all(r.x) &&
         all(r.x1) && all(r.x2) && all(r.phase_enthalpy) && all(r.phase_volume) && all(r.phase_mw) && all(r.phase_amount);
}

}  // namespace

FlashResult flash(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req) {
  FlashResult bad;
  bad.bad_input = true;
  auto fail_input = [&](std::string why) {
    bad.message = std::move(why);
    return bad;
  };
  if (z.size() != sys.components.size() || z.empty()) return fail_input("composition has the wrong length");
  double zs = 0.0;
  for (double v : z) {
    if (!(v >= 0.0) || !std::isfinite(v)) return fail_input("composition holds a negative or non-finite fraction");
    zs += v;
  }
  if (std::abs(zs - 1.0) > 1e-9) return fail_input("mole fractions do not sum to 1");
  const double t_spec = req.spec1, p_spec = req.spec1;
  const bool t_given = req.kspec == 2 || req.kspec == 4 || req.kspec == 5;
  const bool p_given = req.kspec == 1 || req.kspec == 3;
  if (req.kspec < 1 || req.kspec > 5) return fail_input("KSPEC " + std::to_string(req.kspec) + " is not 1 to 5");
  if (t_given && !(t_spec >= req.t_min && t_spec <= req.t_max))
    return fail_input(range_text("temperature", t_spec, req.t_min, req.t_max, "K"));
  const double p = req.kspec == 2 ? req.spec2 : p_spec;
  if ((p_given || req.kspec == 2) && !(p >= req.p_min && p <= req.p_max))
    return fail_input(range_text("pressure", p, req.p_min, req.p_max, "Pa"));
  if ((req.kspec == 3 || req.kspec == 5) && !(req.spec2 >= 0.0 && req.spec2 <= 1.0))
    return fail_input("vapour fraction " + std::to_string(req.spec2) + " is not between 0 and 1");
  if ((req.kspec == 1 || req.kspec == 4) && !std::isfinite(req.spec2)) return fail_input("enthalpy is not a number");
  if ((req.kspec == 3 || req.kspec == 5) && req.model != PhaseModel::kEquilibrium)
    return fail_input("a vapour fraction specification needs the vapour-liquid phase kind");

  Model model(sys, z, req);
  FlashResult failed;
  auto fail = [&](const std::string& why) {
    failed.message = why;
    return failed;
  };
  State s;
  const double hscale = 1e-9;
  const bool vf_spec = req.kspec == 3 || req.kspec == 5;
  Search sr;
  if (vf_spec) {
    sr.m = vapour_fraction;
    sr.boundary = true;
    sr.tol = req.spec2 > 0.0 ? 1e-12 : 0.0;
  } else {
    sr.m = [&](const State& st) { return model.enthalpy(st); };
    sr.tol = hscale * std::max(1e7, std::abs(req.spec2));
  }
  sr.target = req.spec2;
  sr.one_fluid = [&](const State& a, const State& b) { return model.one_fluid(a, b); };
  switch (req.kspec) {
    case 2:
      s = model.tp(req.spec1, req.spec2);
      break;
    case 1:
    case 3: {
      sr.at = [&](double t) { return model.tp(t, p_spec); };
      sr.lo = req.t_min;
      sr.hi = req.t_max;
      sr.guess = req.estimate;
      break;
    }
    case 4:
    case 5: {
      const double t = req.spec1;
      if (req.kspec == 4 && std::isfinite(req.estimate) && req.estimate >= req.p_min && req.estimate <= req.p_max) {
        State st = model.tp(t, req.estimate);
        if (std::abs(model.enthalpy(st) - req.spec2) <= sr.tol) {
          s = st;
          break;
        }
      }
      if (req.kspec == 4 && req.model != PhaseModel::kEquilibrium && sys.method == Method::ideal)
        return fail("a single phase's enthalpy does not depend on pressure: the T-H specification has no solution");
      // the variable is -ln P, so that vapour fraction and enthalpy rise with it
      sr.at = [&](double u) { return model.tp(t, std::exp(-u)); };
      sr.lo = -std::log(req.p_max);
      sr.hi = -std::log(req.p_min);
      if (std::isfinite(req.estimate) && req.estimate > 0.0) sr.guess = -std::log(req.estimate);
      break;
    }
    default:
      break;
  }
  if (sr.at && s.v.empty()) {
    Miss miss;
    if (!solve(sr, s, miss)) return fail(search_failure(sys, z, req, miss));
  }
  FlashResult r = model.result(s);
  // Correlations that overflow or leave their domain at this state (a databank's coefficients make
  // that possible anywhere) give figures that are not numbers: a failed flash, never an answer.
  if (!finite(r)) {
    std::ostringstream why;
    why << "the component data give figures that are not finite at " << r.t << " K, " << r.p << " Pa";
    return fail(why.str());
  }
  return r;
}

}  // namespace kvt::reference
