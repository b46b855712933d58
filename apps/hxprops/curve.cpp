#include "curve.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "number_text.h"

namespace hxprops {

namespace {

// Which of the curve's phases are present, one bit per phase.
using Signature = unsigned;
bool has(Signature sig, int k) { return (sig >> k) & 1u; }

// "dew point: liquid 1 appears", "liquid 2 disappears", ... for the change from `from` to `to`;
// empty when nothing changes.
std::string boundary_label(Signature from, Signature to) {
  std::string events;
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    if (has(from, k) == has(to, k)) continue;
    if (!events.empty()) events += ", ";
    events += std::string(phase_label(kCurvePhases[k])) + (has(to, k) ? " appears" : " disappears");
  }
  if (events.empty()) return events;
  const Signature vapour_only = 1u;
  if (has(from, 0) != has(to, 0)) return "bubble point: " + events;
  if (from == vapour_only || to == vapour_only) return "dew point: " + events;
  return events;
}

// A flashed state on the side's path, and how to flash it again.
struct State {
  enum Kind { TP, PH, PV } kind = TP;
  double x = 0.0;     // the path parameter: K (temperature spacing) or fraction of the duty
  double t = 0.0;     // K
  double p = 0.0;     // Pa
  double h = 0.0;     // J/kmol
  double vf = 0.0;    // the vapour fraction a PV state was asked for
  Signature sig = 0;
  std::string label;  // the phase boundary at this state, if it is one
};

// Duty fractions closer than this are one row.
constexpr double kSameRow = 1.0e-7;
// A boundary whose bracket holds more of the duty than this is a plateau: both its ends are rows.
constexpr double kPlateau = 1.0e-5;

// A plateau met while following the temperature with a pressure drop.
struct SlopingPlateau {};

class CurveBuilder {
 public:
  CurveBuilder(Session& s, int side, const CurveOptions& o, std::optional<double> balance_duty)
      : session_(s), c_(s.config()), side_(side), options_(o), balance_duty_(balance_duty), stream_(s, side) {}

  SideCurve build() {
    const Side& sd = c_.sides[side_];
    const std::vector<double>& flows = session_.mole_flows(side_);
    mole_flow_ = std::accumulate(flows.begin(), flows.end(), 0.0);
    inlet_ = end_state(sd.inlet, sd.inlet_pressure, false);
    outlet_ = end_state(sd.outlet, sd.outlet_pressure, true);
    if (outlet_.h == inlet_.h) {
      c_.reject(side_field(side_, end_key(true, sd.outlet.kind)), "the outlet state is the inlet state: no duty");
    }
    spacing_ = c_.spacing;
    if (std::fabs(outlet_.t - inlet_.t) < 1.0e-3) spacing_ = Spacing::Duty;  // a plateau from end to end
    // The path is followed in temperature (T-P flashes, the cheaper ones) unless the rows are spaced
    // by duty, or a plateau turns up while the pressure changes (its temperature then slopes with the
    // pressure): then in duty (P-H flashes at the pressure the duty gives).
    follow(spacing_);
    std::vector<State> profile;
    try {
      profile = walk(std::max(kProfileIntervals, 4 * (c_.points - 1)));
    } catch (const SlopingPlateau&) {
      follow(Spacing::Duty);
      profile = walk(std::max(kProfileIntervals, 4 * (c_.points - 1)));
    }

    SideCurve curve;
    curve.side = side_;
    curve.name = sd.name;
    curve.method = sd.method;
    curve.inlet_temperature = inlet_.t;
    curve.outlet_temperature = outlet_.t;
    curve.inlet_pressure = inlet_.p;
    curve.outlet_pressure = outlet_.p;
    curve.duty = (outlet_.h - inlet_.h) * mole_flow_;
    curve.spacing = spacing_;

    std::vector<State> rows;
    for (int k = 0; k < c_.points; ++k) {
      if (std::optional<State> r = row_state(k, c_.points - 1, profile)) rows.push_back(std::move(*r));
    }
    for (const State& b : profile) {
      if (!b.label.empty()) rows.push_back(b);
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const State& a, const State& b) { return fraction(a) < fraction(b); });
    std::vector<State> merged;
    for (State& r : rows) {
      if (!merged.empty() && std::fabs(fraction(r) - fraction(merged.back())) < kSameRow) {
        if (!r.label.empty()) merged.back().label += (merged.back().label.empty() ? "" : "; ") + r.label;
        continue;
      }
      merged.push_back(std::move(r));
    }
    for (const State& r : merged) {
      curve.points.push_back(point(r));
      if (!r.label.empty()) curve.boundaries.push_back({r.t, r.p, duty_from_inlet(r), r.label});
    }
    for (const State& st : profile) curve.profile.push_back({st.t, duty_from_inlet(st)});
    return curve;
  }

 private:
  // ---- States --------------------------------------------------------------------------------

  State capture(State::Kind kind, double vf = 0.0) {
    State st;
    st.kind = kind;
    st.vf = vf;
    st.t = stream_.temperature();
    st.p = stream_.pressure();
    st.h = stream_.value(Quantity::HeatFlow, Phase::Stream, LibraryBasis::Mole).value_or(0.0) / mole_flow_;
    for (int k = 0; k < kCurvePhaseCount; ++k) {
      if (stream_.present(kCurvePhases[k])) st.sig |= 1u << k;
    }
    return st;
  }

  // The state at one end, as the case gives it.
  State end_state(const EndState& e, double p, bool outlet) {
    const std::string field = side_field(side_, end_key(outlet, e.kind));
    const TemperatureRange r = session_.temperature_range(side_);
    const std::string range = number_text(r.min) + " to " + number_text(r.max) + " K";
    State st;
    try {
      switch (e.kind) {
        case EndKind::Temperature:
          stream_.flash_tp(e.value, p);
          return capture(State::TP);
        case EndKind::VapourFraction:
          stream_.flash_pv(e.value, p);
          st = capture(State::PV, e.value);
          break;
        case EndKind::Duty:
        case EndKind::Balance: {
          const double duty = e.kind == EndKind::Duty ? e.value : balance_duty_.value_or(0.0);
          if (duty == 0.0) c_.reject(field, "the other side exchanges no heat to balance");
          stream_.flash_ph(inlet_.h + duty / mole_flow_, p);
          st = capture(State::PH);
          break;
        }
      }
    } catch (const RunError& err) {
      c_.reject(field, "cannot be met inside the databank's range " + range + " (" + err.what() + ")");
    }
    if (!(st.t >= r.min && st.t <= r.max)) {
      c_.reject(field, "takes the stream to " + number_text(st.t) + " K, outside the databank's range " + range);
    }
    return st;
  }

  double fraction(const State& st) const { return (st.h - inlet_.h) / (outlet_.h - inlet_.h); }
  double pressure_at(double s) const { return inlet_.p + std::clamp(s, 0.0, 1.0) * (outlet_.p - inlet_.p); }
  double duty_from_inlet(const State& st) const { return std::fabs(st.h - inlet_.h) * mole_flow_; }

  void follow(Spacing path) {
    path_ = path;
    inlet_.x = path_ == Spacing::Temperature ? inlet_.t : 0.0;
    outlet_.x = path_ == Spacing::Temperature ? outlet_.t : 1.0;
  }

  // T-P flash at T, at the pressure the duty there gives: g(p) = pressure_at(duty(T, p)) - p = 0 by
  // secant steps (inside two phases a mixture's duty at fixed T moves fast with p, where plain
  // substitution converges slowly).
  State at_temperature(double t) {
    double p = pressure_at((t - inlet_.t) / (outlet_.t - inlet_.t));
    double p_last = 0.0, g_last = 0.0;
    State st;
    for (int pass = 0; pass < 30; ++pass) {
      stream_.flash_tp(t, p);
      st = capture(State::TP);
      const double g = pressure_at(fraction(st)) - p;
      if (std::fabs(g) <= 1.0e-10 * p) break;
      const double next = pass > 0 && g != g_last ? p - g * (p - p_last) / (g - g_last) : p + g;
      p_last = p, g_last = g;
      p = std::clamp(next, std::min(inlet_.p, outlet_.p), std::max(inlet_.p, outlet_.p));
    }
    return st;
  }

  State at_fraction(double s) {
    stream_.flash_ph(inlet_.h + s * (outlet_.h - inlet_.h), pressure_at(s));
    return capture(State::PH);
  }

  State at(double x) {
    State st = path_ == Spacing::Temperature ? at_temperature(x) : at_fraction(x);
    st.x = x;
    return st;
  }

  // Row k of the table: evenly spaced in the spacing asked for. A temperature off the path's own
  // parameter is found on the profile (its first crossing), then flashed by its duty.
  std::optional<State> row_state(int k, int intervals, const std::vector<State>& profile) {
    if (k == 0) return inlet_;
    if (k == intervals) return outlet_;
    const double f = static_cast<double>(k) / intervals;
    if (spacing_ == path_) return at(inlet_.x + (outlet_.x - inlet_.x) * f);
    if (spacing_ == Spacing::Duty) return at_fraction(f);
    const double t = inlet_.t + (outlet_.t - inlet_.t) * f;
    for (std::size_t j = 1; j < profile.size(); ++j) {
      const State& a = profile[j - 1];
      const State& b = profile[j];
      if ((t - a.t) * (t - b.t) > 0.0 || a.t == b.t) continue;
      return at_fraction(fraction(a) + (fraction(b) - fraction(a)) * (t - a.t) / (b.t - a.t));
    }
    return std::nullopt;
  }

  State grid_state(int k, int intervals) {
    if (k == 0) return inlet_;
    if (k == intervals) return outlet_;
    return at(inlet_.x + (outlet_.x - inlet_.x) * k / intervals);
  }

  // ---- Profile and boundaries ------------------------------------------------------------------

  std::vector<State> walk(int intervals) {
    std::vector<State> states{inlet_};
    for (int k = 1; k <= intervals; ++k) {
      const State next = grid_state(k, intervals);
      locate(states, next);
      states.push_back(next);
    }
    return states;
  }

  // The boundaries between the last state and `b`, by bisection on the path parameter, one change
  // of the phase set at a time; each appended to `states` with its label.
  void locate(std::vector<State>& states, const State& b) {
    const double tolerance = path_ == Spacing::Temperature ? 1.0e-6 : 1.0e-9;
    State from_state = states.back();
    for (int change = 0; change < kCurvePhaseCount && from_state.sig != b.sig; ++change) {
      State lo = from_state, hi = b;
      const Signature from = lo.sig;
      for (int it = 0; it < 60 && std::fabs(hi.x - lo.x) > tolerance; ++it) {
        State m = at(0.5 * (lo.x + hi.x));
        (m.sig == from ? lo : hi) = std::move(m);
      }
      if (std::fabs(fraction(hi) - fraction(lo)) > kPlateau) {
        if (path_ == Spacing::Temperature && inlet_.p != outlet_.p) throw SlopingPlateau{};
        // A plateau (a pure component boiling or condensing): its start and its end are rows.
        lo.label = boundary_label(from, from | hi.sig);
        mark(states, lo);
        hi.label = boundary_label(from | hi.sig, hi.sig);
      } else {
        hi.label = boundary_label(from, hi.sig);
      }
      from_state = hi;
      mark(states, std::move(hi));
    }
  }

  // Adds a boundary state, or its label to the state it coincides with.
  static void mark(std::vector<State>& states, State st) {
    if (st.label.empty()) return;
    State& last = states.back();
    if (last.x == st.x) {
      last.label += (last.label.empty() ? "" : "; ") + st.label;
      return;
    }
    states.push_back(std::move(st));
  }

  // ---- Figures ---------------------------------------------------------------------------------

  void replay(const State& st) {
    switch (st.kind) {
      case State::TP: stream_.flash_tp(st.t, st.p); break;
      case State::PH: stream_.flash_ph(st.h, st.p); break;
      case State::PV: stream_.flash_pv(st.vf, st.p); break;
    }
  }

  CurvePoint point(const State& st) {
    replay(st);
    CurvePoint p;
    p.temperature = st.t;
    p.pressure = st.p;
    p.duty = duty_from_inlet(st) + 0.0;
    p.boundary = st.label;
    p.vapour_fraction = stream_.value(Quantity::Fraction, Phase::Vapour, LibraryBasis::Mole).value_or(0.0);
    const double heat = stream_.value(Quantity::HeatFlow, Phase::Stream, LibraryBasis::Mole).value_or(0.0);
    const double mass = stream_.value(Quantity::Flow, Phase::Stream, LibraryBasis::Mass).value_or(0.0);
    p.enthalpy = mass > 0.0 ? heat / mass : 0.0;
    for (int k = 0; k < kCurvePhaseCount; ++k) {
      const Phase ph = kCurvePhases[k];
      PhaseFigures& f = p.phases[k];
      f.present = stream_.present(ph);
      f.mass_fraction = stream_.value(Quantity::Fraction, ph, LibraryBasis::Mass).value_or(0.0);
      if (!f.present) continue;
      f.mass_flow = figure(Quantity::Flow, ph, LibraryBasis::Mass);
      f.molecular_weight = figure(Quantity::MolecularWeight, ph, LibraryBasis::Mole);
      f.heat_capacity = figure(Quantity::HeatCapacity, ph, LibraryBasis::Mass);
      f.conductivity = figure(Quantity::Conductivity, ph, LibraryBasis::Mass);
      f.viscosity = figure(Quantity::Viscosity, ph, LibraryBasis::Mass);
      f.density = figure(Quantity::Density, ph, LibraryBasis::Mass);
      if (is_liquid(ph)) {
        f.surface_tension = figure(Quantity::SurfaceTension, ph, LibraryBasis::Mass);
        f.heat_of_vaporisation = figure(Quantity::HeatOfVaporisation, ph, LibraryBasis::Mass);
      }
      if (options_.compositions) f.composition = stream_.composition(ph);
    }
    return p;
  }

  Figure figure(Quantity q, Phase ph, LibraryBasis b) {
    const SideStream::Answer a = stream_.ask(q, ph, b);
    return {a.value, a.ierr > 0};
  }

  Session& session_;
  const Case& c_;
  int side_;
  CurveOptions options_;
  std::optional<double> balance_duty_;
  SideStream stream_;
  State inlet_, outlet_;
  double mole_flow_ = 0.0;  // kmol/s, the stream's
  Spacing spacing_ = Spacing::Temperature;  // of the table's rows
  Spacing path_ = Spacing::Temperature;     // the parameter the profile follows
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

SideCurve compute_side_curve(Session& s, int side, const CurveOptions& o, std::optional<double> balance_duty) {
  return CurveBuilder(s, side, o, balance_duty).build();
}

std::array<SideCurve, 2> compute_curves(Session& s, const CurveOptions& o) {
  const Case& c = s.config();
  const int balanced = c.sides[0].outlet.kind == EndKind::Balance ? 0 : c.sides[1].outlet.kind == EndKind::Balance ? 1 : -1;
  const int first = balanced == 0 ? 1 : 0;
  std::array<SideCurve, 2> curves;
  curves[first] = compute_side_curve(s, first, o);
  curves[1 - first] = compute_side_curve(s, 1 - first, o, -curves[first].duty);
  const double q0 = curves[0].duty, q1 = curves[1].duty;
  const auto kw = [](double w) { return number_text(w * 1.0e-3) + " kW"; };
  if ((q0 < 0.0) == (q1 < 0.0)) {
    c.reject(side_field(1, end_key(true, c.sides[1].outlet.kind)),
             std::string("both sides ") + (q0 < 0.0 ? "release" : "take up") + " heat (side 0 " + kw(q0) + ", side 1 " + kw(q1) + ")");
  }
  const double larger = std::max(std::fabs(q0), std::fabs(q1));
  if (balanced < 0 && std::fabs(q0 + q1) > kDutyTolerance * larger) {
    c.reject(side_field(1, end_key(true, c.sides[1].outlet.kind)),
             "the duties do not balance: side 0 " + kw(q0) + ", side 1 " + kw(q1) + " (" +
                 number_text(100.0 * std::fabs(q0 + q1) / larger, 3) + " % of the larger); give one side duty = \"balance\"");
  }
  return curves;
}

}  // namespace hxprops
