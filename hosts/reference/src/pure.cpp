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
water::Molar saturated_water(const Component& c, double t, bool* outside) {
  return water::at(c, t, 0.0, if97::Side::kLiquid, outside);
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

namespace {

// Below the liquid heat-capacity correlation's range the liquid keeps the excess of its heat
// capacity over the ideal gas's at the lower end (an extrapolation, flagged). Above its range the
// liquid follows the heat-of-vaporisation correlation, H_L = H_V - dHvap + constant, both of which
// hold there (up to and beyond the critical point, where dHvap is 0).
double saturation_path(const Component& c, double t, bool* outside) {
  return vapour_enthalpy(c, t, outside) - heat_of_vaporisation(c, t, outside);
}

}  // namespace

double dheat_of_vaporisation_dt(const Component& c, double t) {
  return heat_of_vaporisation(c, t) > 0.0 ? c.heat_of_vaporisation.derivative(t) : 0.0;
}

double liquid_anchor(const Component& c) {
  return std::clamp(c.tb, c.liquid_cp.tmin(), c.liquid_cp.tmax());
}

double liquid_enthalpy(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside).h;
  const PiecewiseCorrelation& cp = c.liquid_cp;
  const double anchor = liquid_anchor(c), end = std::clamp(t, cp.tmin(), cp.tmax());
  const double h = saturation_path(c, anchor, nullptr) + integral(cp, anchor, end);
  if (t > end) return h + saturation_path(c, t, outside) - saturation_path(c, end, nullptr);
  if (t < end) {
    flag(outside, true);
    return h + vapour_enthalpy(c, t, outside) - vapour_enthalpy(c, end) + (cp.value(end) - vapour_cp(c, end)) * (t - end);
  }
  return h;
}

double liquid_cp(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside).cp;
  const PiecewiseCorrelation& cp = c.liquid_cp;
  const double end = std::clamp(t, cp.tmin(), cp.tmax());
  if (t > end) return vapour_cp(c, t, outside) - dheat_of_vaporisation_dt(c, t);
  if (t < end) {
    flag(outside, true);
    return vapour_cp(c, t, outside) + cp.value(end) - vapour_cp(c, end);
  }
  return cp.value(t);
}

double liquid_molar_volume(const Component& c, double t, bool* outside) {
  if (water::is_water(c)) return saturated_water(c, t, outside).v;
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
