#include "pure.h"

#include <algorithm>
#include <cmath>

#include "iapws/water.h"

namespace kvt::reference {

namespace {

void flag(bool* outside, bool v) {
  if (outside != nullptr && v) *outside = true;
}

bool off_range(const PiecewiseCorrelation& pc, double t) { return t < pc.tmin() || t > pc.tmax(); }

double held(const PiecewiseCorrelation& pc, double t, bool* outside) {
  flag(outside, off_range(pc, t));
  const double th = std::clamp(t, pc.tmin(), pc.tmax());
  return pc.value(th);
}

// A liquid property of a component above its critical temperature (a gas dissolved in a liquid) is
// held at the end of its range as part of the method; only a gap below the critical point is flagged.
double held_liquid(const Component& c, const PiecewiseCorrelation& pc, double t, bool* outside) {
  flag(outside, t < pc.tmin() || (t > pc.tmax() && t < c.tc));
  const double th = std::clamp(t, pc.tmin(), pc.tmax());
  return pc.value(th);
}

// Water's pure liquid, wherever a liquid property depends on T alone: saturated liquid water.
water::Molar saturated_water(const Component& c, double t, bool* outside, water::Need need = water::Need::kAll) {
  return water::at(c, t, 0.0, if97::Side::kLiquid, outside, need);
}

}  // namespace

TRange flash_range(const Component& c) {
  const double lo = std::max({c.vapour_pressure.tmin(), c.ideal_gas_cp.tmin(), c.heat_of_vaporisation.tmin(),
                              c.liquid_density.tmin()});
  return {lo, c.ideal_gas_cp.tmax()};
}

double ln_vapour_pressure(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return water::ln_saturation_pressure(t, outside);
  const PiecewiseCorrelation& vp = c.vapour_pressure;
  const double lo = vp.tmin(), hi = vp.tmax();
  if (t >= lo && t <= hi) return std::log(vp.value(t));
  // ln P linear in 1/T from the nearer end, with the correlation's own slope there.
  const double end = t < lo ? lo : hi;
  const double slope = -vp.derivative(end) / vp.value(end) * end * end;  // d lnP / d(1/T)
  flag(outside, t < lo || t > flash_range(c).max);
  return std::log(vp.value(end)) + slope * (1.0 / t - 1.0 / end);
}

double dln_vapour_pressure_dt(const Component& c, double t) {
  if (water::is_water(c)) return water::dln_saturation_pressure_dt(t);
  const PiecewiseCorrelation& vp = c.vapour_pressure;
  const double lo = vp.tmin(), hi = vp.tmax();
  if (t >= lo && t <= hi) return vp.derivative(t) / vp.value(t);
  const double end = t < lo ? lo : hi;
  const double slope = -vp.derivative(end) / vp.value(end) * end * end;
  return -slope / (t * t);
}

double vapour_enthalpy(const Component& c, double t, bool* outside) {
  flag(outside, off_range(c.ideal_gas_cp, t));
  return integral(c.ideal_gas_cp, kReferenceT, t);
}

double vapour_cp(const Component& c, double t, bool* outside) {
  flag(outside, off_range(c.ideal_gas_cp, t));
  return c.ideal_gas_cp.value(t);
}

double heat_of_vaporisation(const Component& c, double t, bool* outside) {
  flag(outside, t < c.heat_of_vaporisation.tmin());
  return std::max(0.0, c.heat_of_vaporisation.value(t));
}

double dheat_of_vaporisation_dt(const Component& c, double t) {
  return heat_of_vaporisation(c, t) > 0.0 ? c.heat_of_vaporisation.derivative(t) : 0.0;
}

double liquid_anchor(const Component& c) {
  return std::clamp(c.tb, c.liquid_cp.tmin(), c.liquid_cp.tmax());
}

namespace {

// Where the measured liquid's heat capacity changes its description (LiquidPathKnots' ends): below
// `bottom` the correlation's excess over the ideal gas, held; up to `top` the correlation; up to `end`
// the Rowlinson-Bondi estimate, scaled to meet the correlation at its top; beyond `end` the excess over
// the ideal gas there, held.
using LiquidSegments = LiquidPathKnots;

double saturation_h(const Component& c, double t, const SaturatedVapour& vapour) {
  return vapour.h(c, t) - heat_of_vaporisation(c, t);
}

// Rowlinson and Bondi's corresponding-states excess of a saturated liquid's heat capacity over the ideal
// gas's (Poling, Prausnitz, O'Connell, The Properties of Gases and Liquids, 5th ed., Section 6-6):
// (Cp_L - Cp_ig) / R = 1.45 + 0.45 / (1 - Tr) + 0.25 omega (17.11 + 25.2 (1 - Tr)^(1/3) / Tr + 1.742 / (1 - Tr)).
double rowlinson_bondi_excess(const Component& c, double t) {
  const double tr = t / c.tc, u = 1.0 - tr;
  return kGasConstant * (1.45 + 0.45 / u + 0.25 * c.omega * (17.11 + 25.2 * std::cbrt(u) / tr + 1.742 / u));
}

// The estimate above the correlation's top: its excess over the ideal gas, scaled so that it starts
// from the correlation's value there (the two differ by a few per cent; the scale keeps the measured
// level and takes the estimate's rise).
double estimated_cp(const Component& c, double t, const LiquidSegments& g) {
  const double top_excess = c.liquid_cp.value(g.top) - vapour_cp(c, g.top);
  return vapour_cp(c, t) + top_excess * rowlinson_bondi_excess(c, t) / rowlinson_bondi_excess(c, g.top);
}

// The liquid heat capacity below `end`.
double measured_cp(const Component& c, double t, const LiquidSegments& g) {
  const PiecewiseCorrelation& cp = c.liquid_cp;
  if (t < g.bottom) return vapour_cp(c, t) + cp.value(g.bottom) - vapour_cp(c, g.bottom);
  if (t <= g.top) return cp.value(t);
  return estimated_cp(c, t, g);
}

// The excess of the liquid heat capacity over the ideal gas's that the liquid keeps beyond `end`.
double held_excess(const Component& c, const LiquidSegments& g) {
  return g.ready ? g.held_excess : measured_cp(c, g.end, g) - vapour_cp(c, g.end);
}

// The segment ends.
LiquidSegments segments(const Component& c) {
  LiquidSegments g;
  g.bottom = c.liquid_cp.tmin();
  g.end = kMeasuredLiquidEnd * c.tc;
  g.top = std::min(c.liquid_cp.tmax(), g.end);
  return g;
}

// The integral of the liquid heat capacity over [a, b], both within one segment.
double segment_integral(const Component& c, double a, double b, const LiquidSegments& g) {
  const PiecewiseCorrelation& cp = c.liquid_cp;
  const double mid = 0.5 * (a + b);
  auto ideal_gas = [&](double excess) { return integral(c.ideal_gas_cp, a, b) + excess * (b - a); };
  if (mid > g.end) return ideal_gas(held_excess(c, g));
  if (mid < g.bottom) return ideal_gas(cp.value(g.bottom) - vapour_cp(c, g.bottom));
  if (mid <= g.top) return integral(cp, a, b);
  const double scale = (cp.value(g.top) - vapour_cp(c, g.top)) / rowlinson_bondi_excess(c, g.top);
  return integral(c.ideal_gas_cp, a, b) + scale * simpson([&](double t) { return rowlinson_bondi_excess(c, t); }, a, b);
}

// The path's enthalpy at t from its knots: from the knot nearest t on the anchor's side, within one
// segment.
double path_from_knots(const Component& c, double t, const LiquidPathKnots& g) {
  std::size_t k = g.anchor;
  if (t >= g.t[k]) {
    while (k + 1 < g.t.size() && g.t[k + 1] <= t) ++k;
  } else {
    while (k > 0 && g.t[k - 1] >= t) --k;
  }
  const double rise = segment_integral(c, std::min(t, g.t[k]), std::max(t, g.t[k]), g);
  return g.h[k] + (t >= g.t[k] ? rise : -rise);
}

double path_cp(const Component& c, double t, const LiquidSegments& g) {
  if (t > g.end) return vapour_cp(c, t) + held_excess(c, g);
  return measured_cp(c, t, g);
}

void flag_path(const Component& c, double t, bool* outside) {
  // below the heat-capacity correlation, or outside the ideal gas's range, the path is extrapolated;
  // above the correlation's top (below Tc) it is the estimate
  flag(outside, t < c.liquid_cp.tmin() || (t > c.liquid_cp.tmax() && t < c.tc) || off_range(c.ideal_gas_cp, t));
}

const SaturatedVapour& ideal_vapour() {
  static const SaturatedVapour v{[](const Component& c, double t) { return vapour_enthalpy(c, t); },
                                 [](const Component& c, double t) { return vapour_cp(c, t); }};
  return v;
}

}  // namespace

LiquidPathKnots liquid_path_knots(const Component& c, double anchor, const SaturatedVapour& vapour) {
  LiquidPathKnots g = segments(c);
  g.held_excess = held_excess(c, g);
  g.ready = true;
  g.t = {anchor, g.bottom, g.top, g.end};
  std::sort(g.t.begin(), g.t.end());
  g.anchor = static_cast<std::size_t>(std::find(g.t.begin(), g.t.end(), anchor) - g.t.begin());
  // outward from the anchor, one segment at a time
  auto span = [&](std::size_t i) { return g.t[i + 1] > g.t[i] ? segment_integral(c, g.t[i], g.t[i + 1], g) : 0.0; };
  g.h[g.anchor] = saturation_h(c, anchor, vapour);
  for (std::size_t i = g.anchor + 1; i < g.t.size(); ++i) g.h[i] = g.h[i - 1] + span(i - 1);
  for (std::size_t i = g.anchor; i-- > 0;) g.h[i] = g.h[i + 1] - span(i);
  return g;
}

double liquid_path(const Component& c, double t, const LiquidPathKnots& knots, bool* outside) {
  flag_path(c, t, outside);
  return path_from_knots(c, t, knots);
}

LiquidPathKnots ideal_liquid_knots(const Component& c) {
  if (water::is_water(c) || c.liquid_cp.empty() || c.ideal_gas_cp.empty() || c.heat_of_vaporisation.empty()) return {};
  return liquid_path_knots(c, liquid_anchor(c), ideal_vapour());
}

double liquid_enthalpy(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside, water::Need::kThermo).h;
  if (c.ideal_liquid.ready) return liquid_path(c, t, c.ideal_liquid, outside);
  return liquid_path(c, t, ideal_liquid_knots(c), outside);
}

double liquid_cp(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside, water::Need::kThermo).cp;
  flag_path(c, t, outside);
  if (c.ideal_liquid.ready) return path_cp(c, t, c.ideal_liquid);
  return path_cp(c, t, segments(c));
}

double liquid_molar_volume(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside, water::Need::kThermo).v;
  flag(outside, t < c.liquid_density.tmin());
  const double end = kLiquidVolumeEnd * c.tc;
  if (t <= end) return 1.0 / c.liquid_density.value(t);
  const double step = 1e-3 * end, v = 1.0 / c.liquid_density.value(end);
  const double linear = v + (v - 1.0 / c.liquid_density.value(end - step)) / step * (t - end);
  return std::min(linear, 1.0 / c.liquid_density.value(c.tc));
}

double liquid_viscosity(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside).mu;
  return held_liquid(c, c.liquid_viscosity, t, outside);
}
double vapour_viscosity(const Component& c, double t, bool* outside) { return held(c.vapour_viscosity, t, outside); }
double liquid_conductivity(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside).k;
  return held_liquid(c, c.liquid_conductivity, t, outside);
}
double vapour_conductivity(const Component& c, double t, bool* outside) {
  return held(c.vapour_conductivity, t, outside);
}
double surface_tension(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return water::surface_tension(t, outside);
  // No liquid surface above the critical point.
  if (t >= c.tc) return 0.0;
  return std::max(0.0, held_liquid(c, c.surface_tension, t, outside));
}

}  // namespace kvt::reference
