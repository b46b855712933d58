#include "monitor_probe.h"

#include <algorithm>
#include <cmath>

namespace kvt::hostcheck {

namespace {

constexpr double kSlopeTolerance = 1e-3;  // heat capacity against the enthalpy's central difference
constexpr double kStep = 1e-4;            // of the temperature, for that difference
constexpr int64_t kRaisedFlag = 3;        // a flag an earlier phase left raised

}  // namespace

std::span<const TransportCall> transports(bool liquid) {
  return liquid ? std::span<const TransportCall>(kLiquidTransport) : std::span<const TransportCall>(kVapourTransport);
}

std::string Probe::at(const char* call, const PhaseCall& ph, double temp) const {
  return std::string(call) + ", " + ph.name + " of " + label + " at " + num(temp) + " K";
}

std::string Probe::during(const PhaseCall& ph, double temp) const {
  return label + ", " + ph.name + " at " + num(temp) + " K";
}

void Probe::enthalpy(const PhaseCall& ph, double temp, double& h, double& dhdt, double* comp) {
  int64_t code = 2, ierr = 0;
  PhaseCall call = ph;
  host_call(ph.enthalpy_name(), during(ph, temp), ph.enthalpy(), &temp, &p, comp != nullptr ? comp : x(ph), &n,
            list, call.options, &option23, &option21, &code, &h, &dhdt, &ierr);
}

void Probe::check_enthalpy(const PhaseCall& ph) {
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

Probe::Packed Probe::packed(const PhaseCall& ph) const {
  Packed k;
  for (int64_t i = 0; i < n; ++i) {
    const double xi = cx.plex_real(ph.pos + i);
    if (!(xi > kPresent)) continue;
    k.x.push_back(xi);
    k.numbers.push_back(list[i]);
  }
  return k;
}

double Probe::transport(const PhaseCall& ph, const TransportCall& call, double temp, int64_t& ierr) {
  return transport(ph, call, temp, ierr, packed(ph));
}

double Probe::transport(const PhaseCall& ph, const TransportCall& call, double temp, int64_t& ierr, Packed k) {
  int64_t count = static_cast<int64_t>(k.x.size());
  double value = 0.0;
  PhaseCall c = ph;
  host_call(call.name, during(ph, temp), call.routine, &temp, &p, k.x.data(), &count, k.numbers.data(),
            c.options, &option23, &value, &ierr);
  return value;
}

void Probe::check_transport(const PhaseCall& ph, const TransportCall& call, Check only) {
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

Probe::PureState Probe::pure(const PhaseCall& ph, int64_t* component, double temp) {
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

void Probe::check_pure(const PhaseCall& ph, int64_t* component) {
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

void Probe::check_vaporisation(const PhaseCall& ph, int64_t* component) {
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

void Probe::check_bands(const PhaseCall& ph) {
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

void Probe::check_sweep(const PhaseCall& ph) {
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

}  // namespace kvt::hostcheck
