#include "flash/flash_model.h"
#include "flash/phase_enthalpy.h"

#include <algorithm>
#include <cmath>

#include "numerics/constants.h"
#include "data/iapws/water.h"
#include "flash/nrtl_method.h"
#include "data/pure.h"
#include "numerics/rachford_rice.h"
#include "flash/stability.h"
#include "flash/substitution.h"

namespace kvt::reference {

std::vector<double> Model::psat(double t) const {
  std::vector<double> out(n());
  for (std::size_t i = 0; i < n(); ++i) out[i] = std::exp(ln_vapour_pressure(*sys_.components[i], t));
  return out;
}

State Model::empty(double t, double p) const {
  State s;
  s.t = t;
  s.p = p;
  s.v.assign(n(), 0.0);
  s.l1.assign(n(), 0.0);
  s.l2.assign(n(), 0.0);
  return s;
}

State Model::tp(double t, double p) const {
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
  if (const int one = sole_component(); one >= 0 && p >= sys_.components[static_cast<std::size_t>(one)]->pc) {
    // A pure component at or above its critical pressure never boils: one fluid at every
    // temperature, where a vapour pressure continued beyond Tc would put a boiling point (carbon
    // dioxide at 100 bar: a dew and a bubble point at 45.35 degC, 1 947 kW between them in a cooler
    // of 10 kg/s). It is the liquid below Tc, and above Tc until the liquid's enthalpy reaches the
    // vapour's, the vapour beyond: so the label changes where the two enthalpies meet and the
    // enthalpy has no step. Water is counted liquid throughout (the formulation gives its
    // properties at T and P either way).
    const bool liquid = water_alone_ || t < sys_.components[static_cast<std::size_t>(one)]->tc ||
                        phase_enthalpy(sys_, z_, Phase::kLiquid, t, p, Root::kLiquid) <
                            phase_enthalpy(sys_, z_, Phase::kVapour, t, p, Root::kVapour);
    (liquid ? (three_phase() ? s.l2 : s.l1) : s.v) = z_;
    return s;
  }
  return nrtl() ? nrtl_tp(t, p) : ideal_tp(t, p);
}

int Model::sole_component() const {
  int one = -1;
  for (std::size_t i = 0; i < n(); ++i) {
    if (z_[i] <= 0.0) continue;
    if (one >= 0) return -1;
    one = static_cast<int>(i);
  }
  return one;
}

State Model::nrtl_tp(double t, double p) const {
  ActivitySplit a = kvt::reference::nrtl_tp(sys_, z_, t, p, req_.free_water);
  State s = empty(t, p);
  s.v = std::move(a.v);
  s.l1 = std::move(a.l1);
  s.l2 = std::move(a.l2);
  s.k = std::move(a.k);
  if (a.status == SolveStatus::kStoppedAtCap) s.capped = &kActivitySubstitution;  // or a liquid split within it
  return s;
}

State Model::ideal_tp(double t, double p) const {
  State s = empty(t, p);
  const auto ps = psat(t);
  if (!three_phase()) {
    std::vector<double> k(n());
    for (std::size_t i = 0; i < n(); ++i) k[i] = ps[i] / p;
    if (!aqueous()) {
      split_two(s, z_, k, 1.0);
      return s;
    }
    return aqueous_split(t, p, k);
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
      s.capped = org.capped;
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
  const VapourSplit split = rachford_rice(zo, k, zw, kRachfordRice);
  const double b = split.beta;
  for (std::size_t i = 0; i < n(); ++i) {
    if (i == w) {
      s.v[i] = zw;
    } else if (z_[i] > 0.0) {
      s.l1[i] = b >= 1.0 ? 0.0 : z_[i] * (1.0 - b) / (1.0 + b * (k[i] - 1.0));
      s.v[i] = z_[i] - s.l1[i];
    }
  }
  note_status(s.capped, kRachfordRice, split.status);
  return s;
}

bool Model::aqueous() const {
  const AqueousSolutes& a = sys_.pr.aqueous;
  if (a.water < 0 || !(z_[static_cast<std::size_t>(a.water)] > 0.0)) return false;
  for (std::size_t i = 0; i < n(); ++i) {
    if (a.gas[i] != nullptr && z_[i] > 0.0) return true;
  }
  return false;
}

// Raoult's split with the solutes' K-values toward Henry's law by the liquid's water fraction x_w
// (henry.h): K_i depends on the liquid it forms in, so x_w is the fixed point x_w = g(x_w) of the
// split (or of its incipient liquid, x_i proportional to z_i / K_i, where there is none), found by
// regula falsi (Illinois) on g(s) - s, which is >= 0 at s = 0 and <= 0 at s = 1.
State Model::aqueous_split(double t, double p, const std::vector<double>& raoult) const {
  const auto w = static_cast<std::size_t>(sys_.pr.aqueous.water);
  State s = empty(t, p);
  std::vector<double> ln_raoult(n());
  for (std::size_t i = 0; i < n(); ++i) ln_raoult[i] = std::log(raoult[i]);
  auto at = [&](double xw) {
    std::vector<double> ln_k = ln_raoult, k(n());
    toward_henry(sys_.pr.aqueous, xw, t, p, 1.0, ln_k);
    for (std::size_t i = 0; i < n(); ++i) k[i] = std::exp(ln_k[i]);
    s = empty(t, p);
    split_two(s, z_, k, 1.0);
    s.k = k;
    if (sum(s.l1) > 0.0) return s.l1[w] / sum(s.l1) - xw;
    double total = 0.0;
    for (std::size_t i = 0; i < n(); ++i) total += z_[i] / k[i];
    return z_[w] / k[w] / total - xw;
  };
  double lo = 0.0, hi = 1.0, f_lo = at(lo), f_hi = at(hi);
  int side = 0;
  for (int it = 0; it < kAqueousWater.cap; ++it) {
    if (f_lo <= 0.0 || f_hi >= 0.0 || hi - lo <= kAqueousWater.tolerance) {
      at(f_lo <= 0.0 ? lo : f_hi >= 0.0 ? hi : 0.5 * (lo + hi));
      return s;
    }
    const double mid = (lo * f_hi - hi * f_lo) / (f_hi - f_lo);
    const double f = at(mid);
    if (std::abs(f) <= kAqueousWater.tolerance) return s;
    if (f > 0.0) {
      lo = mid;
      f_lo = f;
      if (side == 1) f_hi *= 0.5;
      side = 1;
    } else {
      hi = mid;
      f_hi = f;
      if (side == -1) f_lo *= 0.5;
      side = -1;
    }
  }
  note_status(s.capped, kAqueousWater, SolveStatus::kStoppedAtCap);
  return s;
}

double Model::enthalpy(const State& s) const {
  double h = 0.0;
  for (const auto* a : {&s.v, &s.l1, &s.l2}) {
    const double amount = sum(*a);
    if (amount <= 0.0) continue;
    const Phase ph = a == &s.v ? Phase::kVapour : Phase::kLiquid;
    h += amount * phase_enthalpy(sys_, *a, ph, s.t, s.p, root(s, ph));
  }
  return h;
}

Root Model::root(const State& s, Phase phase) const {
  if (req_.model != PhaseModel::kEquilibrium || (sum(s.v) > 0.0 && sum(s.l1) + sum(s.l2) > 0.0) || !s.k.empty())
    return phase == Phase::kVapour ? Root::kVapour : Root::kLiquid;
  return Root::kStable;
}

bool Model::one_fluid(const State& a, const State& b) const {
  const int one = sole_component();
  if (!peng_robinson()) return one >= 0 && a.p >= sys_.components[static_cast<std::size_t>(one)]->pc;  // tp()'s one fluid
  if (sum(a.v) > 0.0 || sum(a.l2) > 0.0 || sum(b.l1) + sum(b.l2) > 0.0) return false;
  const double za = pr_phase(sys_.pr, a.t, a.p, z_, Root::kStable).z;
  const double zb = pr_phase(sys_.pr, b.t, b.p, z_, Root::kStable).z;
  return std::abs(za - zb) <= kOneFluidZ * std::abs(zb);
}

void Model::split_two(State& s, const std::vector<double>& zf, const std::vector<double>& k, double amount) {
  const VapourSplit split = rachford_rice(zf, k, 0.0, kRachfordRice);
  const double b = split.beta;
  for (std::size_t i = 0; i < zf.size(); ++i) {
    if (zf[i] <= 0.0) continue;
    const double l = b >= 1.0 ? 0.0 : zf[i] * (1.0 - b) / (1.0 + b * (k[i] - 1.0));
    s.l1[i] = amount * l;
    s.v[i] = amount * (zf[i] - l);
  }
  note_status(s.capped, kRachfordRice, split.status);
}

// Peng-Robinson T-P flash with free water: one three-phase equilibrium of a vapour (every component,
// water included, by the equation), an organic liquid (the equation, no water) and free water (pure,
// IF97), so that the organic and the water dew points and the split between them come from one
// calculation. The organics split with all the water in the vapour; where the vapour's water
// fugacity then exceeds the free water's, free water forms and the vapour keeps the water n that
// matches it: the root of F(n) = n - H(n) in (0, z_w], H(n) the water that matches the vapour of the
// split holding n, by secant steps kept inside the bracket (plain substitution n = H(n) crawls near
// the organics' bubble point, where the root goes to 0 and no vapour is left). The organics' own
// stability test decides whether their liquid is present, with or without free water.
State Model::pr_tp(double t, double p) const {
  State s = empty(t, p);
  if (!three_phase()) {
    pr_split(s, z_, 1.0, -1, p);
    return s;
  }
  const auto w = static_cast<std::size_t>(sys_.water);
  pr_split(s, z_, 1.0, static_cast<int>(w), p);  // all the water in the vapour
  const double f_free = free_water_fugacity(t, p), zw = z_[w];
  // the water a state's vapour keeps beside free water (none without organics in the vapour: water
  // alone above its saturation pressure condenses)
  auto keeps = [&](const State& st) {
    const double organics = sum(st.v) - st.v[w];
    if (!(organics > 0.0)) return 0.0;
    const std::vector<double> y = fractions(st.v);
    const PrPhase vapour = pr_phase(sys_.pr, t, p, y, Root::kVapour);
    // a dense "vapour" mostly of water is the equation's aqueous liquid, the phase free water stands
    // for (a nearly pure organic liquid beside it at 30 bar): it keeps none, the free water takes it
    if (!vapour.vapour_like && y[w] > 0.5) return 0.0;
    const double yw = f_free / (p * std::exp(vapour.ln_phi[w]));
    return yw < 1.0 ? std::min(zw, yw / (1.0 - yw) * organics) : zw;
  };
  double hi = zw, f_hi = zw - keeps(s);
  if (!(f_free > 0.0) || f_hi <= 0.0) return s;  // no free water: the vapour holds all of it
  std::vector<double> feed = z_;
  double lo = 0.0;  // F(0) = -H(0) <= 0
  double n = hi - f_hi, last = hi, f_last = f_hi, width = hi;
  for (int step = 0;; ++step) {
    feed[w] = n;
    s = empty(t, p);
    pr_split(s, fractions(feed), sum(feed), static_cast<int>(w), p);
    const double f = n - keeps(s);
    (f > 0.0 ? hi : lo) = n;
    if (f == 0.0 || std::abs(n - last) <= kFreeWaterVapour.tolerance * zw || hi - lo <= kFreeWaterVapour.tolerance * zw) break;
    if (step == kFreeWaterVapour.cap) {
      note_status(s.capped, kFreeWaterVapour, SolveStatus::kStoppedAtCap);
      break;
    }
    // a secant step inside the bracket, or halving it where the secant leaves it or stalls (the
    // split can jump where a nearly pure organic condenses)
    double next = f != f_last ? n - f * (n - last) / (f - f_last) : 0.5 * (lo + hi);
    if (!(next > lo && next < hi) || (step % 2 == 1 && hi - lo > 0.5 * width)) next = 0.5 * (lo + hi);
    if (step % 2 == 1) width = hi - lo;
    last = n, f_last = f, n = next;
  }
  if (n > 0.0 && (lo == 0.0 || n <= 1e3 * kFreeWaterVapour.tolerance * zw)) {
    // every positive amount tried was too much, or the root lies within rounding of none. A nearly
    // pure organic's vapour appears all at once: just above its three-phase point F < 0 only in a
    // narrow window below the root, which the steps can miss. The amount the vapour keeps, taken
    // as the next amount from all of the water, settles on that root where there is one (it moves
    // little with the amount while the organic is vapour) and falls to none where the organic
    // condenses; where it finds none and the organics alone leave no vapour (F(0) = 0), that is
    // the answer, all of them liquid beside the free water
    State settled = empty(t, p);
    for (int step = 0, found = 0; step < kFreeWaterVapour.cap && !found; ++step) {
      const double amount = step == 0 ? zw : keeps(settled);
      if (!(amount > 1e3 * kFreeWaterVapour.tolerance * zw)) break;
      found = step > 0 && std::abs(amount - feed[w]) <= kFreeWaterVapour.tolerance * zw;
      if (found) {
        s = std::move(settled);
        n = 0.0;
      } else {
        feed[w] = amount;
        settled = empty(t, p);
        pr_split(settled, fractions(feed), sum(feed), static_cast<int>(w), p);
      }
    }
    feed[w] = 0.0;
    State none = empty(t, p);
    pr_split(none, fractions(feed), sum(feed), static_cast<int>(w), p);
    if (n > 0.0 && keeps(none) == 0.0) s = std::move(none);
  }
  s.l2[w] = zw - s.v[w];
  return s;
}

// Fugacity (Pa) of pure liquid water at T and P: the formulation's saturation pressure, the
// equation's saturated vapour's fugacity coefficient there (the vapour that free water meets is the
// equation's: water alone then boils at the formulation's pressure) and the Poynting factor of the
// formulation's liquid. Zero where P is below the saturation pressure: no free water can form.
double Model::free_water_fugacity(double t, double p) const {
  const auto w = static_cast<std::size_t>(sys_.water);
  const Component& c = *sys_.components[w];
  const double ps = std::exp(ln_vapour_pressure(c, t));
  if (!(p > ps)) return 0.0;
  std::vector<double> pure(n(), 0.0);
  pure[w] = 1.0;
  const double ln_phi = pr_phase(sys_.pr, t, ps, pure, Root::kVapour).ln_phi[w];
  const double v = water::at(c, t, p, if97::Side::kLiquid, nullptr, water::Need::kThermo).v;
  return ps * std::exp(ln_phi + v * (p - ps) / (kGasConstant * t));
}

// Split `amount` kmol of feed zf into s.v and s.l1 at s.t and pressure p by successive substitution
// on the fugacity coefficients, after a tangent-plane test of the feed. water >= 0: that component is
// kept out of the liquid and all of it is vapour. The substitution starts from Wilson's ratios (which
// lead to the vapour-liquid split rather than a liquid-liquid one), and from the stability test's when
// that collapses onto the feed.
void Model::pr_split(State& s, const std::vector<double>& zf, double amount, int water, double p) const {
  const PengRobinson& pr = sys_.pr;
  // (a feed without water has nothing to keep out of the liquid)
  const std::size_t w = water >= 0 && zf[static_cast<std::size_t>(water)] > 0.0 ? static_cast<std::size_t>(water) : n();
  std::vector<double> k = wilson_k(pr, s.t, p), k_trial = k;
  const Stability test = tangent_plane_test(pr, s.t, p, zf, k_trial, kStability, w);
  // a test stopped at its cap (a trial crawling next to a critical point) decides nothing: the split
  // does, finding two phases or collapsing onto the feed
  const bool undecided = test.status == SolveStatus::kStoppedAtCap;
  bool split = !test.stable || undecided;
  double b = 0.0;
  SolveStatus substitution = SolveStatus::kConverged;
  for (int start = 0; split && start < 2; ++start) {
    if (start == 1) k = k_trial;
    const Substituted sub = substitute(pr, s.t, p, zf, k, w, kSubstitution);
    b = sub.beta;
    substitution = sub.status;
    double spread = 0.0;
    for (std::size_t i = 0; i < n(); ++i) {
      if (zf[i] > 0.0 && i != w) spread = std::max(spread, std::abs(std::log(k[i])));
    }
    split = spread > kTrivialSpread && b > 0.0 && b < 1.0;
    if (split) break;
  }
  // an unstable feed left whole is an answer only if the substitution that collapsed converged
  if (!test.stable || undecided) note_status(s.capped, kSubstitution, substitution);
  if (!split) {
    // the feed's root says which phase it is: a feed that holds the water its vapour root where the
    // test found it stable as that vapour; where the test found it unstable and the split collapsed
    // onto it (a trace of water beside a liquid organic whose cubic still has a vapour root), its
    // stable root
    const Root root = w < n() && test.stable && !undecided ? Root::kVapour : Root::kStable;
    const bool vapour = pr_phase(pr, s.t, p, zf, root).vapour_like;
    for (std::size_t i = 0; i < n(); ++i) (vapour || i == w ? s.v : s.l1)[i] = amount * zf[i];
    s.incipient_k = vapour ? test.liquid_trial_k : test.vapour_trial_k;
    // water sent to the vapour takes the vapour root even where the equation has it liquid (its
    // saturation pressure is the formulation's, not the equation's): explicit ratios fix the roots
    if (w < n() && zf[w] > 0.0) s.k = wilson_k(pr, s.t, p);
    return;
  }
  for (std::size_t i = 0; i < n(); ++i) {
    if (zf[i] <= 0.0) continue;
    const double l = i == w ? 0.0 : zf[i] * (1.0 - b) / (1.0 + b * (k[i] - 1.0));
    s.l1[i] = amount * l;
    s.v[i] = amount * (zf[i] - l);
  }
  s.k = k;
}

}  // namespace kvt::reference
