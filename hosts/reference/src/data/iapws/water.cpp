#include "data/iapws/water.h"

#include <algorithm>
#include <cmath>

#include "data/iapws/transport.h"

namespace kvt::reference::water {

namespace {

constexpr double kHostReferenceT = 298.15;  // K, where the host's ideal-gas enthalpies are zero

void flag(bool* outside, bool v) {
  if (outside != nullptr && v) *outside = true;
}

// d ln Psat / dT by a central difference of the saturation equation over 2e-5 T (its truncation grows
// towards the critical point, where it is still below 1e-7 relative).
double dln_psat(double t) {
  const double d = 1e-5 * t;
  return (std::log(if97::saturation_pressure(t + d)) - std::log(if97::saturation_pressure(t - d))) / (2.0 * d);
}

// Beyond either end of the saturation curve (below its triple point, above its critical point) ln P
// goes on linear in 1/T from that end, with the curve's slope just inside it.
struct Continuation {
  double end;    // K
  double slope;  // d ln P / d(1/T)
};
Continuation continuation(double t) {
  const double end = t < if97::kTmin ? if97::kTmin : if97::kTc;
  return {end, -dln_psat(t < if97::kTmin ? end + 1e-3 : end - 1e-3) * end * end};
}

bool on_curve(double t) { return t >= if97::kTmin && t <= if97::kTc; }

}  // namespace

bool is_water(const Component& c) { return c.formula == "H2O"; }

double ln_saturation_pressure(double t, bool* outside) {
  flag(outside, t < if97::kTmin);
  if (on_curve(t)) return std::log(if97::saturation_pressure(t));
  const Continuation c = continuation(t);
  return std::log(if97::saturation_pressure(c.end)) + c.slope * (1.0 / t - 1.0 / c.end);
}

double dln_saturation_pressure_dt(double t) {
  if (on_curve(t)) return dln_psat(std::clamp(t, if97::kTmin + 1e-3, if97::kTc - 1e-3));
  return -continuation(t).slope / (t * t);
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
