#include "curve.h"
#include "number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hxprops {

namespace {

// Which of the curve's phases are present, one bit per phase.
using Signature = unsigned;

Signature signature(SideStream& s) {
  Signature sig = 0;
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    if (s.present(kCurvePhases[k])) sig |= 1u << k;
  }
  return sig;
}

bool has(Signature sig, int k) { return (sig >> k) & 1u; }

// "dew point: liquid 1 appears", "liquid 2 disappears", ... for the change from `from` to `to`.
std::string boundary_label(Signature from, Signature to) {
  std::string events;
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    if (has(from, k) == has(to, k)) continue;
    if (!events.empty()) events += ", ";
    events += std::string(phase_label(kCurvePhases[k])) + (has(to, k) ? " appears" : " disappears");
  }
  const Signature vapour_only = 1u;
  if (has(from, 0) != has(to, 0)) return "bubble point: " + events;
  if (from == vapour_only || to == vapour_only) return "dew point: " + events;
  return events;
}

class CurveBuilder {
 public:
  CurveBuilder(const Case& c, int side) : c_(c), side_(side), stream_(c, side) {
    inlet_heat_flow_ = heat_flow();
    mole_flow_ = stream_.value(Quantity::Flow, Phase::Stream, Basis::Mole).value_or(0.0);
  }

  SideCurve build() {
    const Side& s = c_.sides[side_];
    SideCurve curve;
    curve.side = side_;
    curve.name = s.name;
    curve.pressure = s.pressure;
    curve.inlet_temperature = s.inlet_temperature;
    curve.outlet_temperature = outlet_temperature();
    curve.duty = duty_at(curve.outlet_temperature);
    direction_ = curve.duty < 0.0 ? -1.0 : 1.0;

    for (int k = 0; k < c_.points; ++k) curve.points.push_back(point(temperature_at(curve, k, c_.points - 1)));
    profile(curve);
    return curve;
  }

 private:
  double heat_flow() { return stream_.value(Quantity::HeatFlow, Phase::Stream, Basis::Mole).value_or(0.0); }

  // Signed heat added between the inlet and T.
  double duty_at(double t) {
    stream_.flash_tp(t);
    return heat_flow() - inlet_heat_flow_;
  }

  double outlet_temperature() {
    const Side& s = c_.sides[side_];
    if (s.outlet == OutletSpec::Temperature) return s.outlet_temperature;
    const std::string field = side_field(side_, "duty");
    if (!(mole_flow_ > 0.0)) throw RunError(side_key(side_) + ": the library reports no flow for the stream");
    const TemperatureRange r = side_temperature_range(c_, side_);
    try {
      stream_.flash_ph((inlet_heat_flow_ + s.duty) / mole_flow_);
    } catch (const RunError& e) {
      throw InputError(c_.locate(field), field,
                       "a duty of " + number_text(s.duty) + " W cannot be met inside the databank's range " + number_text(r.min) +
                           " to " + number_text(r.max) + " K (" + e.what() + ")");
    }
    const double t = stream_.temperature();
    if (!(t >= r.min && t <= r.max)) {
      throw InputError(c_.locate(field), field,
                       "a duty of " + number_text(s.duty) + " W takes the stream to " + number_text(t) +
                           " K, outside the databank's range " + number_text(r.min) + " to " + number_text(r.max) + " K");
    }
    return t;
  }

  static double temperature_at(const SideCurve& c, int k, int intervals) {
    if (k == intervals) return c.outlet_temperature;  // exact end point
    return c.inlet_temperature + (c.outlet_temperature - c.inlet_temperature) * k / intervals;
  }

  // Flash at T and ask every figure of the point.
  CurvePoint point(double t) {
    CurvePoint p;
    p.temperature = t;
    p.duty = direction_ * duty_at(t) + 0.0;  // flashes at t; + 0.0 turns -0 into 0
    p.vapour_fraction = stream_.value(Quantity::Fraction, Phase::Vapour, Basis::Mole).value_or(0.0);
    for (int k = 0; k < kCurvePhaseCount; ++k) {
      const Phase ph = kCurvePhases[k];
      PhaseFigures& f = p.phases[k];
      f.present = stream_.present(ph);
      f.mass_fraction = stream_.value(Quantity::Fraction, ph, Basis::Mass).value_or(0.0);
      if (!f.present) continue;
      f.mass_flow = figure(Quantity::Flow, ph, Basis::Mass);
      f.molecular_weight = figure(Quantity::MolecularWeight, ph, Basis::Mole);
      f.heat_capacity = figure(Quantity::HeatCapacity, ph, Basis::Mass);
      f.conductivity = figure(Quantity::Conductivity, ph, Basis::Mass);
      f.viscosity = figure(Quantity::Viscosity, ph, Basis::Mass);
      f.density = figure(Quantity::Density, ph, Basis::Mass);
      if (is_liquid(ph)) {
        f.surface_tension = figure(Quantity::SurfaceTension, ph, Basis::Mass);
        f.heat_of_vaporisation = figure(Quantity::HeatOfVaporisation, ph, Basis::Mass);
      }
    }
    return p;
  }

  Figure figure(Quantity q, Phase ph, Basis b) {
    const SideStream::Answer a = stream_.ask(q, ph, b);
    return {a.value, a.ierr > 0};
  }

  Signature signature_at(double t) {
    stream_.flash_tp(t);
    return signature(stream_);
  }

  // The temperature-duty profile on a fine grid, and the phase boundaries found between its points
  // by bisection on temperature.
  void profile(SideCurve& curve) {
    const int intervals = std::max(kProfileIntervals, 4 * (c_.points - 1));
    double t_prev = curve.inlet_temperature;
    Signature sig_prev = signature_at(t_prev);
    curve.profile.push_back({t_prev, 0.0});
    for (int k = 1; k <= intervals; ++k) {
      const double t = temperature_at(curve, k, intervals);
      const Signature sig = signature_at(t);
      // Walk the phase changes inside the interval one at a time (two phases may appear in one).
      double lo = t_prev;
      Signature sig_lo = sig_prev;
      for (int change = 0; sig_lo != sig && change < kCurvePhaseCount; ++change) {
        double a = lo, b = t;  // sig_lo holds at a, something else at b
        for (int it = 0; it < 60 && std::fabs(b - a) > 1.0e-6; ++it) {
          const double m = 0.5 * (a + b);
          (signature_at(m) == sig_lo ? a : b) = m;
        }
        const Signature sig_b = signature_at(b);
        const double tb = 0.5 * (a + b);
        const double q = direction_ * duty_at(tb);
        curve.boundaries.push_back({tb, q, boundary_label(sig_lo, sig_b)});
        curve.profile.push_back({tb, q});
        lo = b;
        sig_lo = sig_b;
      }
      curve.profile.push_back({t, direction_ * duty_at(t)});
      t_prev = t;
      sig_prev = sig;
    }
  }

  const Case& c_;
  int side_;
  SideStream stream_;
  double inlet_heat_flow_ = 0.0;
  double mole_flow_ = 0.0;
  double direction_ = 1.0;  // -1 on a side that releases heat, so that duties from the inlet are positive
};

}  // namespace

std::string_view phase_label(Phase p) {
  switch (p) {
    case Phase::Stream: return "stream";
    case Phase::Vapour: return "vapour";
    case Phase::Liquid: return "liquid";
    case Phase::Liquid1: return "liquid 1";
    case Phase::Liquid2: return "liquid 2";
  }
  return "?";
}

bool is_liquid(Phase p) { return p == Phase::Liquid || p == Phase::Liquid1 || p == Phase::Liquid2; }

SideCurve compute_side_curve(const Case& c, int side) { return CurveBuilder(c, side).build(); }

}  // namespace hxprops
