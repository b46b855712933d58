#include "iapws/water.h"

#include <cmath>

#include "iapws/transport.h"

namespace kvt::reference::water {

namespace {

constexpr double kHostReferenceT = 298.15;  // K, where the host's ideal-gas enthalpies are zero

void flag(bool* outside, bool v) {
  if (outside != nullptr && v) *outside = true;
}

// d ln Psat / dT by a central difference of the saturation equation (smooth, so 1e-9 relative).
double dln_psat(double t) {
  const double d = 1e-4 * t;
  return (std::log(if97::saturation_pressure(t + d)) - std::log(if97::saturation_pressure(t - d))) / (2.0 * d);
}

}  // namespace

bool is_water(const Component& c) { return c.formula == "H2O"; }

double ln_saturation_pressure(double t, bool* outside) {
  flag(outside, t < if97::kTmin);
  if (t >= if97::kTmin && t <= if97::kTc) return std::log(if97::saturation_pressure(t));
  // beyond either end: ln P linear in 1/T with the slope at that end
  const double end = t < if97::kTmin ? if97::kTmin : if97::kTc;
  const double slope = -dln_psat(t < if97::kTmin ? end + 1e-3 : end - 1e-3) * end * end;  // d ln P / d(1/T)
  return std::log(if97::saturation_pressure(end)) + slope * (1.0 / t - 1.0 / end);
}

double dln_saturation_pressure_dt(double t) {
  if (t >= if97::kTmin + 1e-3 && t <= if97::kTc - 1e-3) return dln_psat(t);
  const double end = t < if97::kTmin + 1e-3 ? if97::kTmin + 1e-3 : if97::kTc - 1e-3;
  return dln_psat(end) * end * end / (t * t);
}

Molar at(const Component& c, double t, double p, if97::Side side, bool* outside, Need need) {
  const bool saturated = !(p > 0.0);
  const double pe = saturated ? (t < if97::kTc ? if97::saturation_pressure(t) : if97::kPc) : p;
  const if97::State s = if97::state(t, pe, side);
  flag(outside, !s.in_range);
  Molar m;
  m.h = c.mw * (s.h - if97::ideal_gas_enthalpy(kHostReferenceT));
  m.cp = c.mw * s.cp;
  if (saturated && t < if97::kTc) m.cp += c.mw * s.dh_dp * s.p * dln_saturation_pressure_dt(t);
  m.v = c.mw / s.rho;
  if (need == Need::kThermo) return m;
  m.mu = iapws::viscosity(s.rho, s.t);
  m.k = iapws::conductivity(s);
  return m;
}

double surface_tension(double t, bool* outside) {
  flag(outside, t < if97::kTmin);
  return iapws::surface_tension(t);
}

}  // namespace kvt::reference::water
