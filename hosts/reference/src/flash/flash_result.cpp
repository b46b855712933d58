#include <cmath>
#include <sstream>

#include "numerics/constants.h"
#include "flash/flash_model.h"
#include "flash/phase_enthalpy.h"
#include "flash/latent_heat.h"
#include "models/mixture.h"
#include "flash/phase_properties.h"
#include "flash/nrtl_method.h"
#include "data/pure.h"
#include "flash/stability.h"

namespace kvt::reference {

namespace {

bool hydrocarbon(const Component& c) {
  return !c.formula.empty() && c.formula.find_first_not_of("CH0123456789") == std::string::npos;
}

}  // namespace

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
  // equilibrium ratios for the incipient phases: Raoult's, or the equation's (a single phase's
  // stability trial, a split's last ratios; Wilson's where the trial fell onto the feed)
  std::vector<double> k;
  if ((nrtl() || sys_.method == Method::ideal) && !s.k.empty()) {
    k = s.k;  // gamma_i Psat_i / P of the (incipient) first liquid; under the ideal method Henry's toward water
  } else {
    k = psat(s.t);
    for (double& v : k) v /= s.p;
  }
  if (peng_robinson()) {
    const std::vector<double> kw = k;
    k = !s.incipient_k.empty() ? s.incipient_k : !s.k.empty() ? s.k : wilson_k(sys_.pr, s.t, s.p);
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
    if (l2 > 0.0 && w < n() && req_.free_water) a[w] += k[w];  // a free-water liquid
    r.y = fractions(a);
    if (sum(a) <= 0.0) r.y = fractions(z_);
  }
  std::vector<double> liq(n());
  for (std::size_t i = 0; i < n(); ++i) liq[i] = s.l1[i] + s.l2[i];
  r.x = l1 + l2 > 0.0 ? fractions(liq) : r.x1;

  const std::array<NotePhase, 4> note_phase{NotePhase::vapour, NotePhase::liquid, NotePhase::liquid1,
                                           NotePhase::liquid2};
  const std::array<const std::vector<double>*, 4> comp{&r.y, &r.x, &r.x1, &r.x2};
  for (int p = 0; p < 4; ++p) {
    Mixture m{sys_.components, *comp[p], s.p};
    if (sum(*comp[p]) <= 0.0) continue;
    const Phase ph = p == kV ? Phase::kVapour : Phase::kLiquid;
    const bool present = r.phase_amount[p] > 0.0;
    RangeNotes notes;
    // (under Peng-Robinson the ideal mixture's range notes, the equation's enthalpy below)
    r.phase_enthalpy[p] = peng_robinson() ? kvt::reference::enthalpy(m, ph, s.t, present ? &notes : nullptr)
                                          : phase_enthalpy(sys_, *comp[p], ph, s.t, s.p, root(s, ph), present ? &notes : nullptr);
    r.phase_mw[p] = molecular_weight(m);
    r.phase_volume[p] = molar_volume(m, ph, s.t, s.p, present ? &notes : nullptr);
    if (peng_robinson()) {
      // the equation's enthalpy and volume, by the phase's liquid weight (water alone excepted)
      r.phase_enthalpy[p] = phase_enthalpy(sys_, *comp[p], ph, s.t, s.p, root(s, ph));
      r.phase_volume[p] = phase_volume(sys_, *comp[p], ph, s.t, s.p, root(s, ph));
    }
    for (std::size_t i = 0; i < notes.items.size(); ++i)
      r.notes.push_back({NoteKind::correlation_range, "", note_phase[p], notes.components[i], s.t, s.p, notes.items[i]});
  }
  if ((peng_robinson() || nrtl()) && l2 > 0.0) {
    // the total liquid: its two liquids by amount
    r.phase_enthalpy[kL] = (l1 * r.phase_enthalpy[kL1] + l2 * r.phase_enthalpy[kL2]) / (l1 + l2);
    r.phase_volume[kL] = (l1 * r.phase_volume[kL1] + l2 * r.phase_volume[kL2]) / (l1 + l2);
  }
  r.limits = limits(r);
  r.enthalpy = enthalpy(s);
  Mixture feed{sys_.components, z_};
  r.molecular_weight = molecular_weight(feed);
  return r;
}

// Gases and water: the water-rich liquid dissolves a gas by Henry's law where the constants are known
// (henry.h); a gas without them (above its critical temperature) dissolves there by the method's own
// rule, which for a gas in water may be off by one or two orders of magnitude; a free-water liquid
// is pure water and dissolves none, noted where Henry's law would dissolve a gas beyond a trace.
void Model::dissolved_gas_limits(const FlashResult& r, std::vector<Note>& out) const {
  // NRTL holds no Henry's constants (nor does its water alone, flashed by the water formulation)
  if (sys_.method == Method::nrtl || sys_.water < 0) return;
  const auto w = static_cast<std::size_t>(sys_.water);
  const AqueousSolutes& aq = sys_.pr.aqueous;
  auto say = [&](NoteKind kind, NotePhase phase, const std::string& component, const std::string& text) {
    out.push_back({kind, "", phase, component, r.t, r.p, text});
  };
  std::string free;
  for (std::size_t i = 0; i < n(); ++i) {
    const Component& c = *sys_.components[i];
    if (i == w || (aq.gas[i] == nullptr && r.t <= c.tc)) continue;
    if (r.phase_amount[kL1] > 0.0 && r.x1[w] >= kWaterRich && r.x1[i] >= kDissolvedGasNote && aq.gas[i] == nullptr) {
      std::ostringstream o;
      o << c.name << " is a gas (above its critical temperature, " << c.tc
        << " K) dissolved in the water-rich liquid with no Henry's constant: its solubility there is "
        << (peng_robinson() ? "the equation's (k_ij = 0 with water)" : "Raoult's law on a vapour pressure continued beyond Tc")
        << ", which for a gas in water may be off by one or two orders of magnitude";
      say(NoteKind::supercritical, NotePhase::liquid1, c.name, o.str());
    }
    if (r.phase_amount[kL2] > 0.0 && aq.gas[i] != nullptr &&
        r.y[i] * r.p / std::exp(ln_henry_constant(*aq.gas[i], r.t)) >= kDissolvedGasMatters)
      free += (free.empty() ? "" : ", ") + c.name;
  }
  if (!free.empty())
    say(NoteKind::method_range, NotePhase::liquid2, "", "the free water is taken as pure water: " + free +
                                    " would dissolve in it to more than 1e-4 by Henry's law and dissolve not at all (the phase kind "
                                    "without free water dissolves them in the water-rich liquid)");
}

std::vector<Note> Model::limits(const FlashResult& r) const {
  std::vector<Note> out;
  auto say = [&](NoteKind kind, NotePhase phase, const std::string& component, auto... parts) {
    std::ostringstream o;
    (o << ... << parts);
    out.push_back({kind, "", phase, component, r.t, r.p, o.str()});
  };
  if (nrtl()) out = nrtl_limits(sys_, z_, r, req_.free_water);
  if (sys_.method == Method::ideal && !water_alone_ && r.p > kIdealPressureLimit)
    say(NoteKind::method_range, NotePhase::stream, "", "the ideal-solution method above ", kIdealPressureLimit / 1e3,
        " kPa: Raoult's law and an ideal-gas vapour volume misplace the phase boundaries and the vapour density "
        "(the vapour's enthalpy carries its departure from the ideal gas by corresponding states; a note names each "
        "component whose latent heat misses the heat-of-vaporisation correlation by more than 2 %, 5 % above Tr 0.9) "
        "(the peng-robinson method holds there)");
  // under the methods whose vapour is the ideal gas, the components whose latent heat at this pressure
  // misses their correlation (a fact of the component at the pressure: one note each, at every state)
  if (!peng_robinson() && !water_alone_)
    for (std::size_t i = 0; i < n(); ++i) {
      const Component& c = *sys_.components[i];
      const LatentHeatMiss miss = z_[i] >= kNoteFraction ? activity_latent_heat_miss(c, r.p) : LatentHeatMiss{};
      if (miss.deviation != 0.0)
        say(NoteKind::method_range, NotePhase::stream, c.name, latent_heat_miss_text(c, miss), " (the vapour by Lee and Kesler's corresponding states)");
    }
  const bool liquid = r.phase_amount[kL1] > 0.0;
  bool water = false, organic = false;
  for (std::size_t i = 0; i < n(); ++i) {
    const Component& c = *sys_.components[i];
    if (!liquid || r.x1[i] < kNoteFraction) continue;
    // (a liquid of water alone takes every property from the water formulation, which holds there)
    if (r.t > c.tc && !water_alone_)
      say(NoteKind::supercritical, NotePhase::liquid1, c.name, c.name, " is above its critical temperature (", c.tc,
          " K) in a liquid: ",
          peng_robinson() || sole_component() >= 0 ? "" : "its K-value takes a vapour pressure continued beyond Tc (ln P linear in 1/T with the slope at Tc), ",
          "its liquid volume is continued from Tr 0.95 up to the critical volume and its transport "
          "properties are held at the end of their range");
    water = water || static_cast<int>(i) == sys_.water;
    organic = organic || hydrocarbon(c);
  }
  dissolved_gas_limits(r, out);
  if (water && organic && !req_.free_water && !(nrtl() && r.phase_amount[kL2] > 0.0))
    say(NoteKind::shared_liquid, NotePhase::liquid1, "", "water and hydrocarbons share one liquid because free water is off: they are treated as miscible, "
        "which they are not (a phase kind with free water separates them)");
  if (req_.model != PhaseModel::kEquilibrium) {
    FlashRequest eq = req_;
    eq.model = PhaseModel::kEquilibrium;
    const State st = Model(sys_, z_, eq).tp(r.t, r.p);
    const bool forced_vapour = req_.model == PhaseModel::kVapourOnly;
    if ((forced_vapour && sum(st.l1) + sum(st.l2) > 0.0) || (!forced_vapour && sum(st.v) > 0.0))
      say(NoteKind::forced_phase, forced_vapour ? NotePhase::vapour : NotePhase::liquid, "", "the stream is taken as all ", forced_vapour ? "vapour" : "liquid", " at T = ", r.t, " K, P = ", r.p / 1e3,
          " kPa, where the stable state holds ", forced_vapour ? "liquid" : "vapour",
          " (vapour fraction ", sum(st.v), ")");
  }
  return out;
}

}  // namespace kvt::reference
