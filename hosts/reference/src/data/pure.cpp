#include "data/pure.h"

#include <algorithm>
#include <cmath>

#include "data/iapws/water.h"
#include "data/lee_kesler.h"

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

namespace {

// Where the vapour-pressure correlation stops: its range's top, or the critical temperature where
// the range reaches beyond it (a vapour pressure ends at the critical point).
double vapour_pressure_top(const Component& c) { return std::min(c.vapour_pressure.tmax(), c.tc); }

}  // namespace

double ln_vapour_pressure(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return water::ln_saturation_pressure(t, outside);
  const PiecewiseCorrelation& vp = c.vapour_pressure;
  const double lo = vp.tmin(), hi = vapour_pressure_top(c);
  if (t >= lo && t <= hi) return std::log(vp.value(t));
  // ln P linear in 1/T from the nearer end, with the correlation's own slope there: beyond Tc the
  // hypothetical vapour pressure of a supercritical component, continuous with its slope at Tc.
  const double end = t < lo ? lo : hi;
  const double slope = -vp.derivative(end) / vp.value(end) * end * end;  // d lnP / d(1/T)
  flag(outside, t < lo || t > flash_range(c).max);
  return std::log(vp.value(end)) + slope * (1.0 / t - 1.0 / end);
}

double dln_vapour_pressure_dt(const Component& c, double t) {
  if (water::is_water(c)) return water::dln_saturation_pressure_dt(t);
  const PiecewiseCorrelation& vp = c.vapour_pressure;
  const double lo = vp.tmin(), hi = vapour_pressure_top(c);
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
// `bottom` the correlation's excess over the ideal gas, held; up to `top` the correlation; up to
// `blend_to` a smooth step from the correlation's value at its top to the saturation path (vapour
// less the heat of vaporisation); then the saturation path; beyond `end` the excess over the ideal
// gas there, held.
using LiquidSegments = LiquidPathKnots;

double saturation_h(const Component& c, double t, const SaturatedVapour& vapour) {
  return vapour.h(c, t) - heat_of_vaporisation(c, t);
}
double saturation_cp(const Component& c, double t, const SaturatedVapour& vapour) {
  return vapour.cp(c, t) - dheat_of_vaporisation_dt(c, t);
}

// The liquid heat capacity below `end`.
double measured_cp(const Component& c, double t, const LiquidSegments& g, const SaturatedVapour& vapour) {
  const PiecewiseCorrelation& cp = c.liquid_cp;
  if (t < g.bottom) return vapour_cp(c, t) + cp.value(g.bottom) - vapour_cp(c, g.bottom);
  if (t <= g.top) return cp.value(t);
  if (t >= g.blend_to) return saturation_cp(c, t, vapour);
  const double s = smooth_step((t - g.top) / (g.blend_to - g.top));
  return (1.0 - s) * cp.value(g.top) + s * saturation_cp(c, t, vapour);
}

// The excess of the liquid heat capacity over the ideal gas's that the liquid keeps beyond `end`.
double held_excess(const Component& c, const LiquidSegments& g, const SaturatedVapour& vapour) {
  return g.ready ? g.held_excess : measured_cp(c, g.end, g, vapour) - vapour_cp(c, g.end);
}

// The segment ends.
LiquidSegments segments(const Component& c, const SaturatedVapour& vapour) {
  const PiecewiseCorrelation& cp = c.liquid_cp;
  LiquidSegments g;
  g.bottom = cp.tmin();
  g.top = g.blend_to = cp.tmax();
  g.end = kMeasuredLiquidEnd * c.tc;
  if (g.top < g.end) {
    // the correlation and the saturation path rarely agree at the correlation's top (methanol by 35 %)
    const double step = std::abs(saturation_cp(c, g.top, vapour) / cp.value(g.top) - 1.0);
    g.blend_to = g.top + std::max(kLiquidJoinWidthMin, kLiquidJoinWidthPerStep * step);
  }
  return g;
}

// The integral of the liquid heat capacity over [a, b], both within one segment.
double segment_integral(const Component& c, double a, double b, const LiquidSegments& g, const SaturatedVapour& vapour) {
  const PiecewiseCorrelation& cp = c.liquid_cp;
  const double mid = 0.5 * (a + b);
  auto ideal_gas = [&](double excess) { return integral(c.ideal_gas_cp, a, b) + excess * (b - a); };
  if (mid > g.end) return ideal_gas(held_excess(c, g, vapour));
  if (mid < g.bottom) return ideal_gas(cp.value(g.bottom) - vapour_cp(c, g.bottom));
  if (mid <= g.top) return integral(cp, a, b);
  if (mid >= g.blend_to) return saturation_h(c, b, vapour) - saturation_h(c, a, vapour);
  // (1 - s) cp(top) + s dH_sat/dT, the second part by parts: [s H_sat] - integral of s' H_sat
  const double width = g.blend_to - g.top, top_cp = cp.value(g.top);
  auto u = [&](double t) { return (t - g.top) / width; };
  const double measured = simpson([&](double t) { return (1.0 - smooth_step(u(t))) * top_cp; }, a, b);
  const double path = smooth_step(u(b)) * saturation_h(c, b, vapour) - smooth_step(u(a)) * saturation_h(c, a, vapour) -
                      simpson([&](double t) { return smooth_step_slope(u(t)) / width * saturation_h(c, t, vapour); }, a, b);
  return measured + path;
}

// The path's enthalpy at t from its knots: from the knot nearest t on the anchor's side, within one
// segment.
double path_from_knots(const Component& c, double t, const LiquidPathKnots& g, const SaturatedVapour& vapour) {
  std::size_t k = g.anchor;
  if (t >= g.t[k]) {
    while (k + 1 < g.t.size() && g.t[k + 1] <= t) ++k;
  } else {
    while (k > 0 && g.t[k - 1] >= t) --k;
  }
  const double rise = segment_integral(c, std::min(t, g.t[k]), std::max(t, g.t[k]), g, vapour);
  return g.h[k] + (t >= g.t[k] ? rise : -rise) + near_critical_bent(c, t, g.bend);
}

double path_cp(const Component& c, double t, const LiquidSegments& g, const SaturatedVapour& vapour) {
  if (t > g.end) return vapour_cp(c, t) + held_excess(c, g, vapour) + near_critical_bent_slope(c, t, g.bend);
  return measured_cp(c, t, g, vapour);
}

void flag_path(const Component& c, double t, bool* outside) {
  // below the heat-capacity correlation, or outside the ideal gas's range, the path is extrapolated;
  // above the correlation's top (below Tc) it is the saturation path
  flag(outside, t < c.liquid_cp.tmin() || (t > c.liquid_cp.tmax() && t < c.tc) || off_range(c.ideal_gas_cp, t));
}

double saturated_vapour_enthalpy(const Component& c, double t) {
  return vapour_enthalpy(c, t) + lee_kesler_residual_enthalpy(c, t, std::exp(ln_vapour_pressure(c, t)));
}

}  // namespace

const SaturatedVapour& ideal_method_vapour() {
  static const SaturatedVapour v{saturated_vapour_enthalpy, [](const Component& c, double t) {
                                   const double d = 1e-4 * t;
                                   return (saturated_vapour_enthalpy(c, t + d) - saturated_vapour_enthalpy(c, t - d)) / (2.0 * d);
                                 }};
  return v;
}

double near_critical_bend(const Component& c, double miss, double cp_end) {
  // the parabola's heat-capacity change over the width is 2 bend width
  const double width = (kSaturatedLiquidEnd - kMeasuredLiquidEnd) * c.tc, most = kSaturatedLiquidBend * cp_end;
  return std::clamp(miss / (width * width), -0.5 * most / width, 0.5 * most / width);
}

double near_critical_bent(const Component& c, double t, double bend) {
  const double end = kMeasuredLiquidEnd * c.tc, top = kSaturatedLiquidEnd * c.tc;
  if (t <= end || bend == 0.0) return 0.0;
  const double u = std::min(t, top) - end;
  return bend * u * (u + 2.0 * std::max(0.0, t - top));
}

double near_critical_bent_slope(const Component& c, double t, double bend) {
  const double end = kMeasuredLiquidEnd * c.tc, top = kSaturatedLiquidEnd * c.tc;
  return t <= end ? 0.0 : 2.0 * bend * (std::min(t, top) - end);
}

LiquidPathKnots liquid_path_knots(const Component& c, double anchor, const SaturatedVapour& vapour) {
  LiquidPathKnots g = segments(c, vapour);
  g.held_excess = held_excess(c, g, vapour);
  g.ready = true;
  g.t = {anchor, g.bottom, g.top, g.blend_to, g.end};
  std::sort(g.t.begin(), g.t.end());
  g.anchor = static_cast<std::size_t>(std::find(g.t.begin(), g.t.end(), anchor) - g.t.begin());
  // outward from the anchor, one segment at a time
  auto span = [&](std::size_t i) { return g.t[i + 1] > g.t[i] ? segment_integral(c, g.t[i], g.t[i + 1], g, vapour) : 0.0; };
  g.h[g.anchor] = saturation_h(c, anchor, vapour);
  for (std::size_t i = g.anchor + 1; i < g.t.size(); ++i) g.h[i] = g.h[i - 1] + span(i - 1);
  for (std::size_t i = g.anchor; i-- > 0;) g.h[i] = g.h[i + 1] - span(i);
  return g;
}

double liquid_path(const Component& c, double t, const LiquidPathKnots& knots, const SaturatedVapour& vapour, bool* outside) {
  flag_path(c, t, outside);
  return path_from_knots(c, t, knots, vapour);
}

LiquidPathKnots ideal_liquid_knots(const Component& c) {
  if (water::is_water(c) || c.liquid_cp.empty() || c.ideal_gas_cp.empty() || c.heat_of_vaporisation.empty()) return {};
  const SaturatedVapour& vapour = ideal_method_vapour();
  LiquidPathKnots g = liquid_path_knots(c, liquid_anchor(c), vapour);
  const double top = kSaturatedLiquidEnd * c.tc;
  g.bend = near_critical_bend(c, saturation_h(c, top, vapour) - path_from_knots(c, top, g, vapour), path_cp(c, g.end, g, vapour));
  return g;
}

double liquid_enthalpy(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside, water::Need::kThermo).h;
  if (c.ideal_liquid.ready) return liquid_path(c, t, c.ideal_liquid, ideal_method_vapour(), outside);
  return liquid_path(c, t, ideal_liquid_knots(c), ideal_method_vapour(), outside);
}

double liquid_cp(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside, water::Need::kThermo).cp;
  flag_path(c, t, outside);
  if (c.ideal_liquid.ready) return path_cp(c, t, c.ideal_liquid, ideal_method_vapour());
  return path_cp(c, t, segments(c, ideal_method_vapour()), ideal_method_vapour());
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
