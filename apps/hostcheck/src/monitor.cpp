#include "monitor.h"

#include <algorithm>
#include <cmath>
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

struct Probe {
  Context& cx;
  std::string label;
  double t, p;
  int64_t n;
  int64_t* list;
  int64_t option21, option23;

  std::string at(const char* call, const PhaseCall& ph, double temp) const {
    return std::string(call) + ", " + ph.name + " of " + label + " at " + num(temp) + " K";
  }
  // What a host call is for, in a finding of a crash or a hang.
  std::string during(const PhaseCall& ph, double temp) const {
    return label + ", " + ph.name + " at " + num(temp) + " K";
  }

  double* x(const PhaseCall& ph) const { return cx.real_ptr(ph.pos); }

  // Enthalpy and its temperature derivative at temp.
  void enthalpy(const PhaseCall& ph, double temp, double& h, double& dhdt) {
    int64_t code = 2, ierr = 0;
    PhaseCall call = ph;
    host_call(ph.enthalpy_name(), during(ph, temp), ph.enthalpy(), &temp, &p, x(ph), &n, list,
              call.options, &option23, &option21, &code, &h, &dhdt, &ierr);
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
    Packed k = packed(ph);
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
    if (only == Check::Units) {
      r.exercised(Check::Units);
      const std::string band = outside_band(call.quantity, ph.liquid, value);
      if (!band.empty()) r.fail(Check::Units, at(call.name, ph, t) + ": " + band);
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
    if (!cp_band.empty()) {
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

void check_stream(Context& cx, Flasher& flasher, int64_t k, Check only, Seen& seen) {
  const int64_t side = stream_side(cx, k);
  const FlashOutcome f = flasher.flash(stream_vector(cx, k), KVT_SPEC_TP, side, -1, stream_label(cx.in, k));
  const int64_t n = Context::flash_count();
  // Without a good flash and a flash count in range there is nothing the library would hand the monitor.
  if (!f.good() || n < 1 || n > cx.ncomp()) return;
  const Split sp = split_of_last_flash();
  Probe probe{cx, stream_label(cx.in, k), Context::stwkwk_real(KVT_STWKWK_TEMPERATURE),
              Context::stwkwk_real(KVT_STWKWK_PRESSURE), n, cx.int_ptr(complist_pos()),
              cx.ihxpp(KVT_IHXPP_MONITOR), cx.ihxpp(KVT_IHXPP_COMMON)};

  PhaseCall phases[3] = {
      {"vapour", comp_pos(Comp::Y), KVT_TABLE_VAPOUR, {}, false},
      {"first liquid", comp_pos(sp.l1_is_liquid ? Comp::X : Comp::X1),
       sp.l1_is_liquid ? KVT_TABLE_LIQUID : KVT_TABLE_LIQUID1, {}, true},
      {"second liquid", comp_pos(Comp::X2), KVT_TABLE_LIQUID2, {}, true},
  };
  const bool present[3] = {sp.vapour, sp.liquid1, sp.liquid2};
  seen.vapour |= sp.vapour;
  seen.liquid |= sp.liquid1 || sp.liquid2;
  seen.liquid2 |= sp.liquid1 && sp.liquid2;

  // NERO_IDXWAT is exercised on every stream; the library calls it when a side's water rule is on.
  const int64_t expected_water = water_position(cx, probe.list, n);
  seen.water |= expected_water > 0;
  int64_t water = host_call("NERO_IDXWAT", probe.label, NERO_IDXWAT, probe.list, &probe.n);
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
  const int base = static_cast<int>(side) * KVT_SIDE_STRIDE_I;
  if (cx.ihxpp(base + KVT_IHXPP_WATER) != 1 || water < 1 || water > n) water = 0;
  // The option copies, with the water rule: a liquid of pure water takes option word 5 for word 1.
  for (PhaseCall& ph : phases) {
    for (int w = 0; w < 6; ++w) ph.options[w] = cx.ihxpp(base + KVT_IHXPP_OPTION_LIST + w);
    if (ph.liquid && water > 0 && cx.plex_real(ph.pos + water - 1) == 1.0) ph.options[0] = ph.options[4];
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
    if (!present[i]) continue;
    PhaseCall& ph = phases[i];
    switch (only) {
      case Check::HeatCapacity: guarded([&] { probe.check_enthalpy(ph); }); break;
      case Check::Sweep: guarded([&] { probe.check_sweep(ph); }); break;
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
        if (!ph.liquid || only == Check::ErrorFlags) break;
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
  r.remark(Check::Coverage, "not called by the checker: WEND_CRTCAL, TEBU_CPACK, MUTO_PEQPT1, UNIT_WRITE");
}

}  // namespace

void check_monitor(Context& cx, Check only) {
  Flasher flasher(cx);
  Seen seen;
  for (int64_t k = 0; k < cx.in.nstreams; ++k) {
    check_stream(cx, flasher, k, only, seen);
    if (only == Check::Units) check_ideal_gas(cx, flasher, k);
  }
  if (only == Check::Coverage) check_coverage(cx, seen);
}

}  // namespace kvt::hostcheck
