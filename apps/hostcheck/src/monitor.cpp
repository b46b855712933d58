#include "monitor.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

#include "bands.h"
#include "flash_probe.h"
#include "isolate.h"

namespace kvt::hostcheck {

namespace {

constexpr double kPresent = 1e-10;
constexpr double kSlopeTolerance = 1e-3;  // heat capacity against the enthalpy's central difference
constexpr double kStep = 1e-4;            // of the temperature, for that difference
constexpr int64_t kRaisedFlag = 3;        // a flag an earlier phase left raised

using Enthalpy = decltype(&GOSA_ENTHL);
using Transport = decltype(&GOSA_TCONL);
using Pure = decltype(&GOSA_VTHRM);

struct PhaseCall {
  const char* name;
  Pos pos;         // the phase's full composition, handed to the host as the library hands it
  int table;       // its word in the phase property table's groups
  int64_t options[6];
  bool liquid;
  Enthalpy enthalpy() const { return liquid ? GOSA_ENTHL : GOSA_ENTHV; }
  const char* enthalpy_name() const { return liquid ? "GOSA_ENTHL" : "GOSA_ENTHV"; }
};

struct TransportCall {
  Transport routine;
  const char* name;
  Quantity quantity;
};
constexpr TransportCall kVapourTransport[] = {{GOSA_TCONV, "GOSA_TCONV", Quantity::Conductivity},
                                              {GOSA_VISCV, "GOSA_VISCV", Quantity::Viscosity}};
constexpr TransportCall kLiquidTransport[] = {{GOSA_TCONL, "GOSA_TCONL", Quantity::Conductivity},
                                              {GOSA_VISCL, "GOSA_VISCL", Quantity::Viscosity},
                                              {GOSA_SRFTEN, "GOSA_SRFTEN", Quantity::SurfaceTension}};

std::span<const TransportCall> transports(bool liquid) {
  return liquid ? std::span<const TransportCall>(kLiquidTransport) : std::span<const TransportCall>(kVapourTransport);
}

struct Probe {
  Context& cx;
  std::string label;
  double t, p;
  int64_t n;
  int64_t* list;
  int64_t option21, option23;
  // At the second pressure only values in a wrong unit count: a value that is no number is property-values'
  // and sweep's to find at the stream's own state.
  bool finite_only = false;

  std::string at(const char* call, const PhaseCall& ph, double temp) const {
    return std::string(call) + ", " + ph.name + " of " + label + " at " + num(temp) + " K";
  }
  // What a host call is for, in a finding of a crash or a hang.
  std::string during(const PhaseCall& ph, double temp) const {
    return label + ", " + ph.name + " at " + num(temp) + " K";
  }

  double* x(const PhaseCall& ph) const { return cx.real_ptr(ph.pos); }

  // Enthalpy and its temperature derivative at temp, of the phase's composition or of `comp` (N words).
  void enthalpy(const PhaseCall& ph, double temp, double& h, double& dhdt, double* comp = nullptr) {
    int64_t code = 2, ierr = 0;
    PhaseCall call = ph;
    host_call(ph.enthalpy_name(), during(ph, temp), ph.enthalpy(), &temp, &p, comp != nullptr ? comp : x(ph), &n,
              list, call.options, &option23, &option21, &code, &h, &dhdt, &ierr);
  }

  void check_enthalpy(const PhaseCall& ph) {
    Report& r = cx.report;
    double h = 0.0, cp = 0.0, hp = 0.0, hm = 0.0, unused = 0.0;
    enthalpy(ph, t, h, cp);
    const double d = kStep * t;
    enthalpy(ph, t + d, hp, unused);
    enthalpy(ph, t - d, hm, unused);
    const double slope = (hp - hm) / (2.0 * d);
    r.exercised(Check::HeatCapacity);
    r.exercised(Check::PropertyValues);
    if (!std::isfinite(h) || !(std::isfinite(cp) && cp > 0.0)) {
      r.fail(Check::PropertyValues, at(ph.enthalpy_name(), ph, t) + ": expected a finite enthalpy and a positive "
                                    "heat capacity (argument 11); found " + num(h) + " and " + num(cp));
    } else if (!(std::abs(cp - slope) <= kSlopeTolerance * std::max(std::abs(cp), std::abs(slope)))) {
      r.fail(Check::HeatCapacity, at(ph.enthalpy_name(), ph, t) + ": expected argument 11 = the enthalpy's slope " +
                                  num(slope) + " (central difference over +-" + num(d) + " K); found " + num(cp));
    }
  }

  // The packed composition the library's flash keeps for the phase.
  struct Packed {
    std::vector<double> x;
    std::vector<int64_t> numbers;
  };
  Packed packed(const PhaseCall& ph) const {
    Packed k;
    for (int64_t i = 0; i < n; ++i) {
      const double xi = cx.plex_real(ph.pos + i);
      if (!(xi > kPresent)) continue;
      k.x.push_back(xi);
      k.numbers.push_back(list[i]);
    }
    return k;
  }

  double transport(const PhaseCall& ph, const TransportCall& call, double temp, int64_t& ierr) {
    return transport(ph, call, temp, ierr, packed(ph));
  }
  double transport(const PhaseCall& ph, const TransportCall& call, double temp, int64_t& ierr, Packed k) {
    int64_t count = static_cast<int64_t>(k.x.size());
    double value = 0.0;
    PhaseCall c = ph;
    host_call(call.name, during(ph, temp), call.routine, &temp, &p, k.x.data(), &count, k.numbers.data(),
              c.options, &option23, &value, &ierr);
    return value;
  }

  void check_transport(const PhaseCall& ph, const TransportCall& call, Check only) {
    Report& r = cx.report;
    int64_t ierr = 0, raised = kRaisedFlag;
    const double value = transport(ph, call, t, ierr);
    const bool zero_allowed = call.quantity == Quantity::SurfaceTension;
    if (only == Check::PropertyValues) {
      r.exercised(Check::PropertyValues);
      if (!(std::isfinite(value) && (value > 0.0 || (zero_allowed && value == 0.0)))) {
        r.fail(Check::PropertyValues, at(call.name, ph, t) + ": expected a " + (zero_allowed ? "finite value of 0 "
                                      "or more" : "positive finite value") + " (argument 8); found " + num(value));
      }
    }
    if (only == Check::Units && !(finite_only && !std::isfinite(value))) {
      r.exercised(Check::Units);
      const std::string band = outside_band(call.quantity, ph.liquid, value);
      if (!band.empty()) r.fail(Check::Units, at(call.name, ph, t) + ": " + band);
      const double mw = Context::stwork_real(KVT_STWORK_MOLWT + ph.table);
      if (band.empty() && ph.liquid && call.quantity == Quantity::Viscosity && above_light_liquid(mw, value)) {
        // How steeply it falls with temperature tells a viscous liquid from a light one in the wrong unit.
        int64_t unused = 0;
        const double lo = 0.98 * t, hi = 1.02 * t;
        const double b = std::log(transport(ph, call, lo, unused) / transport(ph, call, hi, unused)) /
                         (1.0 / lo - 1.0 / hi);
        const std::string light = outside_light_liquid(mw, value, b);
        if (!light.empty()) r.fail(Check::Units, at(call.name, ph, t) + ": " + light);
      }
    }
    if (only != Check::ErrorFlags) return;
    transport(ph, call, t, raised);
    r.exercised(Check::ErrorFlags);
    if (ierr < 0) {
      r.fail(Check::ErrorFlags, at(call.name, ph, t) + ": expected an error flag (argument 9) of 0 or a positive "
                                "code; found " + num(ierr) + ", which the library's caller reads as " +
                                (ierr == -1 ? "an absent phase" : "no code the library documents"));
    }
    if (raised == 0) {
      r.fail(Check::ErrorFlags, at(call.name, ph, t) + ": expected a flag (argument 9) raised by an earlier phase, " +
                                num(kRaisedFlag) + ", left raised; found it cleared to 0");
    }
  }

  // Each routine of the phase with the phase's composition and with each component present alone: a routine
  // that gives one value for all ignores its composition argument.
  template <class Guarded>
  void check_composition_use(const PhaseCall& ph, const Guarded& guarded) {
    std::vector<int64_t> present;
    for (int64_t i = 0; i < n; ++i) {
      if (cx.plex_real(ph.pos + i) > 1e-3) present.push_back(i);
    }
    if (present.size() < 2) return;
    const auto judge = [&](const char* name, const std::vector<double>& values, const char* what, bool mixture = true) {
      cx.report.exercised(Check::CompositionUse);
      // 0 for every composition: a property the host does not compute (a surface tension), not a composition lost.
      if (values[0] == 0.0) return;
      for (double v : values) {
        if (!close(v, values[0], 1e-12)) return;
      }
      std::string comps;
      for (int64_t i : present) comps += (comps.empty() ? "" : ", ") + num(list[i]);
      cx.report.fail(Check::CompositionUse, at(name, ph, t) + ": expected " + what + " that follows the composition "
                                            "argument (" + (mixture ? "the phase's, and components " : "components ") +
                                            comps + (mixture ? " each alone" : "") + "); found " +
                                            num(values[0]) + " for each: the routine ignores its composition "
                                            "(does it use one of its own, such as the last flash's?)");
    };
    guarded([&] {
      std::vector<double> cps(1);
      double h = 0.0;
      enthalpy(ph, t, h, cps[0]);
      for (int64_t i : present) {
        std::vector<double> alone(static_cast<std::size_t>(n), 0.0);
        alone[static_cast<std::size_t>(i)] = 1.0;
        enthalpy(ph, t, h, cps.emplace_back(), alone.data());
      }
      judge(ph.enthalpy_name(), cps, "a heat capacity (argument 11)");
    });
    for (const TransportCall& call : transports(ph.liquid)) {
      guarded([&] {
        int64_t ierr = 0;
        std::vector<double> values{transport(ph, call, t, ierr)};
        for (int64_t i : present) values.push_back(transport(ph, call, t, ierr, Packed{{1.0}, {list[i]}}));
        judge(call.name, values, "a value (argument 8)");
      });
    }
    if (!ph.liquid) return;
    guarded([&] {  // the pure-component enthalpies of the heat of vaporisation, component by component
      std::vector<double> vapour, liquid;
      for (int64_t i : present) {
        const PureState s = pure(ph, list + i, t);
        vapour.push_back(s.hv), liquid.push_back(s.hl);
      }
      judge("GOSA_VTHRM", vapour, "a vapour enthalpy (argument 14)", false);
      judge("GOSA_LTHRM", liquid, "a liquid enthalpy (argument 14)", false);
    });
  }

  // ln of the pure component's pressure function and the vapour and liquid enthalpies at its pressure.
  struct PureState {
    double lnp = 0.0, hv = 0.0, hl = 0.0;
  };
  PureState pure(const PhaseCall& ph, int64_t* component, double temp) {
    const std::string where = label + ", component " + num(*component) + " in the " + ph.name + " at " + num(temp) +
                              " K";
    int64_t one_a = 1, one_b = 1, one_c = 1, count = 1, c[5] = {1, 1, 1, 1, 1};
    double second = 0.0;
    PureState s;
    host_call("LORI_PL001", where, LORI_PL001, &temp, &one_a, component, &one_b, &one_c, &option23, &s.lnp, &second);
    double pv = std::exp(std::clamp(s.lnp, -170.0, 80.0));
    double o[2][11] = {};
    const Pure routines[2] = {GOSA_VTHRM, GOSA_LTHRM};
    const char* const names[2] = {"GOSA_VTHRM", "GOSA_LTHRM"};
    PhaseCall call = ph;
    for (int k = 0; k < 2; ++k) {
      double* v = o[k];
      host_call(names[k], where, routines[k], &temp, &pv, &count, component, call.options, &option23, &option21,
                &c[0], &c[1], &c[2], &c[3], &c[4], &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8],
                &v[9], &v[10]);
    }
    s.hv = o[0][1];
    s.hl = o[1][1];
    return s;
  }

  void check_pure(const PhaseCall& ph, int64_t* component) {
    Report& r = cx.report;
    const PureState s = pure(ph, component, t);
    r.exercised(Check::PropertyValues);
    const std::string what = "component " + num(*component) + " in the " + ph.name + " of " + label;
    if (!std::isfinite(s.lnp)) {
      r.fail(Check::PropertyValues, "LORI_PL001, " + what + ": expected a finite log pressure (argument 7); found " +
                                    num(s.lnp));
    }
    if (!std::isfinite(s.hv) || !std::isfinite(s.hl)) {
      r.fail(Check::PropertyValues, "GOSA_VTHRM, GOSA_LTHRM, " + what + ": expected finite enthalpies (argument "
                                    "14); found " + num(s.hv) + " and " + num(s.hl));
    }
  }

  // The heat of vaporisation of the pure component against Clausius-Clapeyron on its own vapour
  // pressure, where the vapour is near ideal (below 10 bar).
  void check_vaporisation(const PhaseCall& ph, int64_t* component) {
    Report& r = cx.report;
    constexpr double kDt = 0.5;
    const PureState s = pure(ph, component, t);
    const PureState up = pure(ph, component, t + kDt), down = pure(ph, component, t - kDt);
    r.exercised(Check::Units);
    const std::string what = "component " + num(*component) + " at " + num(t) + " K";
    const double dh = s.hv - s.hl;
    // Near or above its critical point a component has no heat of vaporisation to compare.
    if (!(std::exp(s.lnp) <= 1e6)) return;
    if (!(dh > 0.0)) {
      r.fail(Check::Units, "GOSA_VTHRM and GOSA_LTHRM (argument 14), " + what + ": expected the vapour's enthalpy "
                           "above the liquid's, a positive heat of vaporisation; found " + num(s.hv) + " and " +
                           num(s.hl) + " (are the two routines swapped?)");
      return;
    }
    const double cc = kGasConstant * t * t * (up.lnp - down.lnp) / (2.0 * kDt);
    if (std::abs(dh - cc) > 0.2 * std::abs(cc)) {
      r.fail(Check::Units, "heat of vaporisation of " + what + " from GOSA_VTHRM - GOSA_LTHRM and from Clausius-"
                           "Clapeyron on LORI_PL001 disagree by more than 20 %: " + num(dh) + " and " + num(cc) +
                           " J/kmol");
    }
  }

  // The phase's heat capacity per unit mass and, for a liquid, its density, from the flash's molecular
  // weight and molar volume (phase property table).
  void check_bands(const PhaseCall& ph) {
    Report& r = cx.report;
    const double mw = Context::stwork_real(KVT_STWORK_MOLWT + ph.table);
    const double v = Context::stwork_real(KVT_STWORK_VOLUME + ph.table);
    double h = 0.0, cp = 0.0;
    enthalpy(ph, t, h, cp);
    r.exercised(Check::Units);
    const std::string cp_band = outside_band(Quantity::MassHeatCapacity, ph.liquid, cp / mw);
    if (!cp_band.empty() && !(finite_only && !std::isfinite(cp / mw))) {
      r.fail(Check::Units, at(ph.enthalpy_name(), ph, t) + ", heat capacity (argument 11) over the molecular weight " +
                           num(mw) + ": " + cp_band + " (enthalpies per kg?)");
    }
    if (!ph.liquid) return;
    const std::string rho_band = outside_band(Quantity::LiquidDensity, true, mw / v);
    if (!rho_band.empty()) {
      r.fail(Check::Units, "TEBU_STWORK word " + num(KVT_STWORK_VOLUME + ph.table) + " (" + ph.name + " molar "
                           "volume), " + label + ", as a density (molecular weight " + num(mw) + " over volume " +
                           num(v) + "): " + rho_band + " (volumes in m3/mol?)");
    }
  }

  // Each routine of the phase over a sweep of temperatures around the stream's: finite and in band.
  void check_sweep(const PhaseCall& ph) {
    Report& r = cx.report;
    const auto report_once = [&](const std::string& finding, bool& done) {
      if (!done) r.fail(Check::Sweep, finding);
      done = true;
    };
    bool enthalpy_done = false;
    bool done[3] = {false, false, false};
    for (int i = -4; i <= 4; ++i) {
      const double temp = t * (1.0 + 0.05 * i);
      double h = 0.0, cp = 0.0;
      enthalpy(ph, temp, h, cp);
      r.exercised(Check::Sweep);
      if (!std::isfinite(h) || !(std::isfinite(cp) && cp > 0.0)) {
        report_once(at(ph.enthalpy_name(), ph, temp) + ": expected a finite enthalpy and a positive heat capacity "
                    "over " + num(0.8 * t) + ".." + num(1.2 * t) + " K; found " + num(h) + " and " + num(cp),
                    enthalpy_done);
      }
      const TransportCall* calls = ph.liquid ? kLiquidTransport : kVapourTransport;
      const int ncalls = ph.liquid ? 3 : 2;
      for (int c = 0; c < ncalls; ++c) {
        if (broken_routines().count(calls[c].name) != 0) {
          r.remark(Check::Sweep, not_called(BrokenRoutine{calls[c].name}));
          continue;
        }
        int64_t ierr = 0;
        const double v = transport(ph, calls[c], temp, ierr);
        r.exercised(Check::Sweep);
        const std::string band = outside_band(calls[c].quantity, ph.liquid, v);
        if (!band.empty()) {
          report_once(at(calls[c].name, ph, temp) + " (sweep " + num(0.8 * t) + ".." + num(1.2 * t) + " K): " + band,
                      done[c]);
        }
      }
    }
  }
};

// The components' molecular weights tell water (18.015 kg/kmol) from the rest: the checker has no
// component names.
int64_t water_position(const Context& cx, const int64_t* list, int64_t n) {
  for (int64_t i = 0; i < n; ++i) {
    if (std::abs(cx.plex_real(molwt_pos(list[i])) - 18.015) < 0.01) return i + 1;
  }
  return 0;
}

// Which phases the setup's streams gave, over every stream.
struct Seen {
  bool vapour = false, liquid = false, liquid2 = false, water = false;
};

// The phases the last flash left, as the library's property routines hand them to the monitor: the
// option copies with the water rule, and NERO_IDXWAT's answer and the position it must give.
struct Flashed {
  Probe probe;
  PhaseCall phases[3];
  bool present[3];
  int64_t water, expected_water;
};

std::optional<Flashed> flashed(Context& cx, const FlashOutcome& f, int64_t side, const std::string& label) {
  const int64_t n = Context::flash_count();
  // Without a good flash and a flash count in range there is nothing the library would hand the monitor.
  if (!f.good() || n < 1 || n > cx.ncomp()) return std::nullopt;
  const Split sp = split_of_last_flash();
  Flashed fl{{cx, label, Context::stwkwk_real(KVT_STWKWK_TEMPERATURE), Context::stwkwk_real(KVT_STWKWK_PRESSURE), n,
              cx.int_ptr(complist_pos()), cx.ihxpp(KVT_IHXPP_MONITOR), cx.ihxpp(KVT_IHXPP_COMMON)},
             {{"vapour", comp_pos(Comp::Y), KVT_TABLE_VAPOUR, {}, false},
              {"first liquid", comp_pos(sp.l1_is_liquid ? Comp::X : Comp::X1),
               sp.l1_is_liquid ? KVT_TABLE_LIQUID : KVT_TABLE_LIQUID1, {}, true},
              {"second liquid", comp_pos(Comp::X2), KVT_TABLE_LIQUID2, {}, true}},
             {sp.vapour, sp.liquid1, sp.liquid2}, 0, 0};
  Probe& probe = fl.probe;
  // NERO_IDXWAT is exercised on every stream; the library calls it when a side's water rule is on.
  fl.expected_water = water_position(cx, probe.list, n);
  fl.water = host_call("NERO_IDXWAT", probe.label, NERO_IDXWAT, probe.list, &probe.n);
  int64_t water = fl.water;
  const int base = static_cast<int>(side) * KVT_SIDE_STRIDE_I;
  if (cx.ihxpp(base + KVT_IHXPP_WATER) != 1 || water < 1 || water > n) water = 0;
  // The option copies, with the water rule: a liquid of pure water takes option word 5 for word 1.
  for (PhaseCall& ph : fl.phases) {
    for (int w = 0; w < 6; ++w) ph.options[w] = cx.ihxpp(base + KVT_IHXPP_OPTION_LIST + w);
    if (ph.liquid && water > 0 && cx.plex_real(ph.pos + water - 1) == 1.0) ph.options[0] = ph.options[4];
  }
  return fl;
}

// The second pressure of the property probes: where a gas's properties in a wrong unit (a viscosity in cP
// above 10 bar) show.
constexpr double kSecondPressure = 3e6;  // Pa

// pressure > 0: the stream flashed at that pressure instead of its own (its properties probed there).
void check_stream(Context& cx, Flasher& flasher, int64_t k, Check only, Seen& seen, double pressure = 0.0) {
  const int64_t side = stream_side(cx, k);
  std::vector<double> strm = stream_vector(cx, k);
  std::string label = stream_label(cx.in, k);
  if (pressure > 0.0) {
    slot(strm, cx.ncomp(), KVT_SLOT_PRESSURE) = pressure;
    label += " flashed at " + num(pressure / 1e5) + " bar";
  }
  const FlashOutcome f = flasher.flash(strm, KVT_SPEC_TP, side, -1, label);
  std::optional<Flashed> fl = flashed(cx, f, side, label);
  if (!fl) return;
  Probe& probe = fl->probe;
  probe.finite_only = pressure > 0.0;
  const int64_t n = probe.n;
  const Split sp = split_of_last_flash();
  seen.vapour |= sp.vapour;
  seen.liquid |= sp.liquid1 || sp.liquid2;
  seen.liquid2 |= sp.liquid1 && sp.liquid2;
  seen.water |= fl->expected_water > 0;
  const int64_t water = fl->water, expected_water = fl->expected_water;
  if (only == Check::PropertyValues) {
    cx.report.exercised(Check::PropertyValues);
    if (expected_water > 0 && water != expected_water) {
      cx.report.fail(Check::PropertyValues, "NERO_IDXWAT, " + probe.label + ": expected " + num(expected_water) +
                                            ", the position of water (component " +
                                            num(probe.list[expected_water - 1]) + ", 18.015 kg/kmol) in the "
                                            "component-number list; found " + num(water));
    } else if (expected_water == 0 && water > 0) {
      cx.report.fail(Check::PropertyValues, "NERO_IDXWAT, " + probe.label + ": expected 0 or less, no water in the "
                                            "component-number list; found " + num(water));
    }
  }
  // A routine that broke in an earlier check is left out; the phase's other routines are still checked.
  const auto guarded = [&](auto&& call) {
    try {
      call();
    } catch (const BrokenRoutine& b) {
      cx.report.remark(only, not_called(b));
    }
  };
  for (int i = 0; i < 3; ++i) {
    if (!fl->present[i]) continue;
    PhaseCall& ph = fl->phases[i];
    switch (only) {
      case Check::HeatCapacity: guarded([&] { probe.check_enthalpy(ph); }); break;
      case Check::Sweep: guarded([&] { probe.check_sweep(ph); }); break;
      case Check::CompositionUse: probe.check_composition_use(ph, guarded); break;
      case Check::PropertyValues:
      case Check::ErrorFlags:
      case Check::Units: {
        if (only == Check::PropertyValues) guarded([&] { probe.check_enthalpy(ph); });
        if (only == Check::Units) guarded([&] { probe.check_bands(ph); });
        for (const TransportCall& call : kVapourTransport) {
          if (!ph.liquid) guarded([&] { probe.check_transport(ph, call, only); });
        }
        for (const TransportCall& call : kLiquidTransport) {
          if (ph.liquid) guarded([&] { probe.check_transport(ph, call, only); });
        }
        if (!ph.liquid || only == Check::ErrorFlags || pressure > 0.0) break;
        for (int64_t j = 0; j < n; ++j) {
          if (only == Check::PropertyValues && cx.plex_real(comp_pos(Comp::Y) + j) > kPresent) {
            guarded([&] { probe.check_pure(ph, probe.list + j); });
          }
          if (only == Check::Units && cx.plex_real(ph.pos + j) > 1e-3) {
            guarded([&] { probe.check_vaporisation(ph, probe.list + j); });
          }
        }
        break;
      }
      default: break;
    }
  }
}

// What the library reads after a flash, word by word, and what the monitor answers for each phase then.
using Snapshot = std::vector<std::pair<std::string, double>>;

Snapshot snapshot(Context& cx, const FlashOutcome& f, int64_t side, const std::string& label, Snapshot& properties) {
  Snapshot words;
  const auto add = [&](std::string name, double v) { words.emplace_back(std::move(name), v); };
  for (int w : {KVT_STWKWK_TEMPERATURE, KVT_STWKWK_PRESSURE, KVT_STWKWK_VAPOUR_FRACTION}) {
    add("VOKA_STWKWK word " + num(w), Context::stwkwk_real(w));
  }
  add("VOKA_STWKWK word 3 (flash count)", static_cast<double>(Context::flash_count()));
  const int64_t n = std::clamp<int64_t>(Context::flash_count(), 0, cx.ncomp());
  for (int64_t i = 0; i < n; ++i) {
    add("component-number list entry " + num(i + 1), static_cast<double>(cx.plex_int(complist_pos() + i)));
  }
  // Each present phase's composition and phase-table words, as the library reads them.
  const Split sp = split_of_last_flash();
  const std::pair<Comp, int> phases[] = {{Comp::Y, sp.vapour ? KVT_TABLE_VAPOUR : -1},
                                         {Comp::X, sp.liquid ? KVT_TABLE_LIQUID : -1},
                                         {Comp::X1, sp.liquid1 && !sp.l1_is_liquid ? KVT_TABLE_LIQUID1 : -1},
                                         {Comp::X2, sp.liquid2 ? KVT_TABLE_LIQUID2 : -1}};
  for (const auto& [c, table] : phases) {
    if (table < 0) continue;
    for (int64_t i = 0; i < n; ++i) {
      add(std::string("composition ") + comp_name(c) + " entry " + num(i + 1) + " (PLEX " + num(comp_pos(c) + i) + ")",
          cx.plex_real(comp_pos(c) + i));
    }
    for (int g : {KVT_STWORK_ENTHALPY, KVT_STWORK_VOLUME, KVT_STWORK_MOLWT}) {
      add("TEBU_STWORK word " + num(g + table), Context::stwork_real(g + table));
    }
  }
  std::optional<Flashed> fl = flashed(cx, f, side, label);
  for (int i = 0; fl && i < 3; ++i) {
    if (!fl->present[i]) continue;
    const PhaseCall& ph = fl->phases[i];
    double h = 0.0, cp = 0.0;
    fl->probe.enthalpy(ph, fl->probe.t, h, cp);
    properties.emplace_back(fl->probe.at(ph.enthalpy_name(), ph, fl->probe.t) + " (heat capacity)", cp);
    for (const TransportCall& call : transports(ph.liquid)) {
      if (broken_routines().count(call.name) != 0) continue;  // left out, as the checks before say
      int64_t ierr = 0;
      properties.emplace_back(fl->probe.at(call.name, ph, fl->probe.t), fl->probe.transport(ph, call, fl->probe.t, ierr));
    }
  }
  return words;
}

bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || close(a, b, 1e-6, 1e-12); }

// The first entry of b that differs from a's, as "<name>: expected <a> as after the flash alone; found <b>", and
// how many more differ.
std::string first_difference(const Snapshot& a, const Snapshot& b, int64_t& more) {
  std::string first;
  more = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i].first == b[i].first && same(a[i].second, b[i].second)) continue;
    if (!first.empty()) {
      ++more;
      continue;
    }
    first = b[i].first + ": expected " + num(a[i].second) + " as after the flash alone; found " + num(b[i].second);
  }
  return first;
}

// Stream k flashed alone, then after a flash of another stream and a failed flash: what the library reads, and
// the monitor's answers from it, must be the same.
void check_after_failure(Context& cx, Flasher& flasher, int64_t k) {
  const int64_t side = stream_side(cx, k), other = (k + 1) % cx.in.nstreams;
  const std::string label = stream_label(cx.in, k);
  Snapshot alone_props, after_props;
  const FlashOutcome alone = flasher.flash(stream_vector(cx, k), KVT_SPEC_TP, side, -1, label);
  if (!alone.good()) return;
  const Snapshot alone_words = snapshot(cx, alone, side, label, alone_props);
  flasher.flash(stream_vector(cx, other), KVT_SPEC_TP, stream_side(cx, other), -1, stream_label(cx.in, other));
  if (dry_flash(cx, flasher, k).good()) return;  // flash-status reports a flash without flow judged good
  const FlashOutcome after = flasher.flash(stream_vector(cx, k), KVT_SPEC_TP, side, -1, label);
  cx.report.exercised(Check::AfterFailure);
  const std::string what = "the T-P flash of " + label + " after a flash of " + stream_label(cx.in, other) +
                           " and a failed flash";
  if (!after.good()) {
    cx.report.fail(Check::AfterFailure, "WEND_FLSTAT, " + what + ": expected 1 (a good flash), as for the flash "
                                        "alone; found " + num(after.judged) + ": a failed flash spoils the next one");
    return;
  }
  const Snapshot after_words = snapshot(cx, after, side, label, after_props);
  int64_t more_words = 0, more_props = 0;
  const std::string word = first_difference(alone_words, after_words, more_words);
  const std::string prop = first_difference(alone_props, after_props, more_props);
  if (!word.empty()) {
    cx.report.fail(Check::AfterFailure, word + ", " + what + ": the flash after a failed one left it stale" +
                                            (more_words > 0 ? " (and " + num(more_words) + " more words)" : "") +
                                            (prop.empty() ? "" : "; so " + prop));
  } else if (!prop.empty()) {
    cx.report.fail(Check::AfterFailure, prop + ", " + what + " (the words the library reads are the same): the "
                                            "property monitor answers from a state the failed flash left" +
                                            (more_props > 0 ? " (and " + num(more_props) + " more properties)" : ""));
  }
}

}  // namespace

namespace {

// A vapour at low pressure is near ideal: its molar volume within 10 % of RT/P.
void check_ideal_gas(Context& cx, Flasher& flasher, int64_t k) {
  constexpr double kLowPressure = 100.0;  // Pa
  const int64_t n = cx.ncomp();
  std::vector<double> strm = stream_vector(cx, k);
  const double t = slot(strm, n, KVT_SLOT_TEMPERATURE);
  slot(strm, n, KVT_SLOT_PRESSURE) = kLowPressure;
  const FlashOutcome f = flasher.flash(strm, KVT_SPEC_TP, stream_side(cx, k), -1, stream_label(cx.in, k) +
                                       " at " + num(kLowPressure) + " Pa");
  if (!f.good() || !split_of_last_flash().vapour) return;
  cx.report.exercised(Check::Units);
  const int word = int{KVT_STWORK_VOLUME} + KVT_TABLE_VAPOUR;
  const double v = Context::stwork_real(word);
  const double ideal = kGasConstant * t / kLowPressure;
  if (!(std::abs(v - ideal) <= 0.1 * ideal)) {
    cx.report.fail(Check::Units, "TEBU_STWORK word " + num(word) + " (vapour molar "
                                 "volume), " + f.label + " at " + num(t) + " K: expected within 10 % of the ideal "
                                 "gas's RT/P = " + num(ideal) + " m3/kmol; found " + num(v));
  }
}

void check_coverage(Context& cx, const Seen& seen) {
  Report& r = cx.report;
  r.exercised(Check::Coverage, cx.in.nstreams);
  if (!seen.vapour) {
    r.fail(Check::Coverage, "GOSA_ENTHV, GOSA_TCONV, GOSA_VISCV: expected called for a vapour; found no stream of the "
                            "setup with a vapour phase (add a vapour or vapour-liquid stream)");
  }
  if (!seen.liquid) {
    r.fail(Check::Coverage, "GOSA_ENTHL, GOSA_TCONL, GOSA_VISCL, GOSA_SRFTEN, GOSA_VTHRM, GOSA_LTHRM, LORI_PL001: "
                            "expected called for a liquid; found no stream of the setup with a liquid phase (add a "
                            "liquid or vapour-liquid stream)");
  }
  if (!seen.liquid2) {
    r.remark(Check::Coverage, "no stream has a second liquid: the second-liquid words are not checked");
  }
  if (!seen.water) r.remark(Check::Coverage, "no stream holds water: NERO_IDXWAT is not checked with water present");
  r.remark(Check::Coverage, "not called by the checker: WEND_CRTCAL, TEBU_CPACK, MUTO_PEQPT1 (UNIT_WRITE: by trace)");
}

}  // namespace

void check_monitor(Context& cx, Check only) {
  Flasher flasher(cx);
  Seen seen, elsewhere;
  for (int64_t k = 0; k < cx.in.nstreams; ++k) {
    if (only == Check::AfterFailure) {
      check_after_failure(cx, flasher, k);
      continue;
    }
    check_stream(cx, flasher, k, only, seen);
    if (only != Check::Units) continue;
    check_ideal_gas(cx, flasher, k);
    const double p = cx.in.streams[k].strm[slot_index(cx.ncomp(), KVT_SLOT_PRESSURE)];
    check_stream(cx, flasher, k, only, elsewhere, std::max(kSecondPressure, 2.0 * p));
  }
  if (only == Check::Coverage) check_coverage(cx, seen);
}

}  // namespace kvt::hostcheck
