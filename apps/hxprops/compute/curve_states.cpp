// The states of a side's path (CurveBuilder, curve_builder.h): its ends, a state at a temperature or
// a duty fraction with the pressure its duty gives, a failed flash kept as its row; and their figures.
#include "compute/curve_builder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>

#include "base/number_text.h"

namespace hxprops {

State CurveBuilder::capture(State::Kind kind, double vf) {
  State st;
  st.kind = kind;
  st.vf = vf;
  st.t = stream_.temperature();
  st.p = stream_.pressure();
  st.h = stream_.value(Quantity::HeatFlow, Phase::Stream, LibraryBasis::Mole).value_or(0.0) / mole_flow_;
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    if (stream_.present(kCurvePhases[k])) st.sig |= 1u << k;
  }
  st.raised = session_.take_notes();
  return st;
}

State CurveBuilder::end_state(const EndState& e, double p, bool outlet) {
  const std::string field = side_field(side_, end_key(outlet, e.kind));
  const TemperatureRange r = session_.temperature_range(side_);
  const UnitSystem u = options_.units;
  const std::string range = quantity_text(r.min, Dimension::Temperature, u) + " to " + quantity_text(r.max, Dimension::Temperature, u);
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
    if (e.kind == EndKind::Duty || e.kind == EndKind::Balance) unreachable_duty(field, e, p, r);
    c_.reject(field, "cannot be met inside the databank's range " + range + " (" + err.what() + ")");
  }
  if (!(st.t >= r.min && st.t <= r.max)) {
    c_.reject(field, "takes the stream to " + quantity_text(st.t, Dimension::Temperature, u) + ", outside the databank's range " + range);
  }
  return st;
}

void CurveBuilder::unreachable_duty(const std::string& field, const EndState& e, double p, const TemperatureRange& r) {
  const double asked = e.kind == EndKind::Duty ? e.value : balance_duty_.value_or(0.0);
  const double edge = asked < 0.0 ? r.min : r.max;
  const UnitSystem u = options_.units;
  std::string most;
  try {
    stream_.flash_tp(edge, p);
    most = ": at most " + quantity_text(std::fabs(capture(State::TP).h - inlet_.h) * mole_flow_, Dimension::Power, u) +
           (asked < 0.0 ? ", cooling it to the databank's lowest temperature " : ", heating it to the databank's highest temperature ") +
           quantity_text(edge, Dimension::Temperature, u);
  } catch (const RunError&) {
    most = " inside the databank's range";
  }
  c_.reject(field, "the stream cannot " + std::string(asked < 0.0 ? "release " : "take up ") +
                       quantity_text(std::fabs(asked), Dimension::Power, u) + most +
                       " at " + quantity_text(p, Dimension::Pressure, u, -1));
}

bool CurveBuilder::same_row(const State& a, const State& b) const {
  const double apart = std::fabs(fraction(a) - fraction(b));
  if (apart < kSameRow) return true;
  const bool boundary = !a.label.empty() || !b.label.empty();
  return boundary && apart < kPlateau && std::fabs(a.t - b.t) < kSameTemperature;
}

std::vector<State> CurveBuilder::with_plateau_rows(std::vector<State> rows, const std::vector<State>& profile) {
  const double row_intervals = c_.points - 1, span = std::fabs(outlet_.t - inlet_.t), step = span / row_intervals;
  const std::vector<double>& flows = session_.mole_flows(side_);
  const bool pure = std::count_if(flows.begin(), flows.end(), [](double f) { return f > 0.0; }) == 1;
  std::vector<State> out;
  for (State& r : rows) {
    if (!out.empty()) {
      const double from = fraction(out.back()), share = fraction(r) - from, moved = std::fabs(r.t - out.back().t);
      const auto boiling = [&] { return std::popcount(at_fraction(from + 0.5 * share).sig) > 1; };
      if (share * row_intervals > 1.0 && share * span > 2.0 * moved) {
        // (a stretch over which the temperature moves half a step or more is no plateau)
        const bool plateau = moved < 0.5 * step && (moved < 0.1 * step || (pure && boiling()));
        const int n = std::max(plateau ? kPlateauRows : 0, static_cast<int>(std::ceil(share * row_intervals)));
        const bool by_temperature = !plateau && path_ == Spacing::Temperature && inlet_.p == outlet_.p;
        for (int i = 1; i <= n; ++i) {
          const double f = from + share * i / (n + 1);
          out.push_back(by_temperature ? row_at_temperature(profile_temperature(f, profile), f) : row_at_fraction(f));
        }
      }
    }
    out.push_back(std::move(r));
  }
  return out;
}

std::vector<State> CurveBuilder::with_zone_rows(std::vector<State> rows, int n) {
  std::vector<State> out{rows.front()};
  std::size_t start = 0;
  for (std::size_t k = 1; k < rows.size(); ++k) {
    if (rows[k].label.empty() && k + 1 < rows.size()) continue;
    std::vector<State> zone(std::make_move_iterator(rows.begin() + static_cast<std::ptrdiff_t>(start + 1)),
                            std::make_move_iterator(rows.begin() + static_cast<std::ptrdiff_t>(k + 1)));
    const double first = fraction(out.back()), last = fraction(zone.back());
    const Signature sig = zone.size() > 1 ? zone.front().sig : at_fraction(0.5 * (first + last)).sig;
    while (std::popcount(sig) > 1 && static_cast<int>(zone.size()) - 1 < n) {
      std::size_t widest = 0;
      double gap = 0.0;
      for (std::size_t j = 0; j < zone.size(); ++j) {
        const double here = fraction(zone[j]) - (j == 0 ? first : fraction(zone[j - 1]));
        if (here > gap) gap = here, widest = j;
      }
      zone.insert(zone.begin() + static_cast<std::ptrdiff_t>(widest), row_at_fraction(fraction(zone[widest]) - 0.5 * gap));
    }
    for (State& st : zone) out.push_back(std::move(st));
    start = k;
  }
  return out;
}

State CurveBuilder::at_listed_temperature(double t, const std::vector<State>& profile) {
  for (std::size_t j = 1; j < profile.size(); ++j) {
    State lo = profile[j - 1], hi = profile[j];
    if ((t - lo.t) * (t - hi.t) > 0.0) continue;
    if (t == lo.t || t == hi.t) return t == lo.t ? lo : hi;
    if (path_ == Spacing::Temperature) return at_temperature(t, expected_fraction(lo, hi, t, true));
    for (int it = 0; it < 60 && std::fabs(hi.t - lo.t) > 1.0e-6; ++it) {
      State m = at_fraction(0.5 * (fraction(lo) + fraction(hi)));
      ((m.t - t) * (lo.t - t) > 0.0 ? lo : hi) = std::move(m);
    }
    return std::fabs(lo.t - t) <= std::fabs(hi.t - t) ? lo : hi;
  }
  const UnitSystem u = options_.units;
  c_.reject(side_field(side_, "temperatures"), quantity_text(t, Dimension::Temperature, u) + " lies outside the side's range, " +
                                                   quantity_text(inlet_.t, Dimension::Temperature, u) + " to " +
                                                   quantity_text(outlet_.t, Dimension::Temperature, u));
}

void CurveBuilder::follow(Spacing path) {
  path_ = path;
  inlet_.x = path_ == Spacing::Temperature ? inlet_.t : 0.0;
  outlet_.x = path_ == Spacing::Temperature ? outlet_.t : 1.0;
}

State CurveBuilder::at_temperature(double t, double guess) {
  double p = pressure_at(guess);
  double p_last = 0.0, g_last = 0.0;
  State st;
  for (int pass = 0; pass < kPressurePasses; ++pass) {
    stream_.flash_tp(t, p);
    st = capture(State::TP);
    const double g = pressure_at(fraction(st)) - p;
    if (std::fabs(g) <= kPressureTolerance * p) return st;
    const double next = pass > 0 && g != g_last ? p - g * (p - p_last) / (g - g_last) : p + g;
    p_last = p, g_last = g;
    p = std::clamp(next, std::min(inlet_.p, outlet_.p), std::max(inlet_.p, outlet_.p));
  }
  const HostNote capped{"iteration-cap", "hxprops", "", "", t, st.p,
                        "hxprops: the pressure passes at " + number_text(t) + " K stopped at their cap (" +
                            std::to_string(kPressurePasses) + ") " + number_text(std::fabs(p - st.p)) +
                            " Pa from the pressure the duty gives"};
  st.raised.push_back(capped);
  return st;
}

State CurveBuilder::at_fraction(double s) {
  stream_.flash_ph(inlet_.h + s * (outlet_.h - inlet_.h), pressure_at(s));
  return capture(State::PH);
}

State CurveBuilder::row_at_fraction(double s) {
  return or_failed([&] { return with_figures(at_fraction(s)); }, asked_at_fraction(s));
}

State CurveBuilder::row_at_temperature(double t, double guess) {
  return or_failed([&] { return with_figures(at_temperature(t, guess)); }, asked_at_temperature(t, guess));
}

State CurveBuilder::asked_at_temperature(double t, double guess) const {
  State st;
  st.kind = State::TP;
  st.x = path_ == Spacing::Temperature ? t : guess;
  st.t = t;
  st.p = pressure_at(guess);
  st.h = inlet_.h + guess * (outlet_.h - inlet_.h);
  return st;
}

State CurveBuilder::asked_at_fraction(double s) const {
  State st;
  st.kind = State::PH;
  st.x = s;
  st.p = pressure_at(s);
  st.h = inlet_.h + s * (outlet_.h - inlet_.h);
  if (!profile_.empty()) {
    st.t = profile_temperature(s, profile_);
  } else {  // on the line through the grid's last state and the outlet
    const State& a = grid_.back();
    const double fa = fraction(a), fb = fraction(outlet_);
    st.t = fb == fa ? a.t : a.t + (outlet_.t - a.t) * (s - fa) / (fb - fa);
  }
  return st;
}

State CurveBuilder::with_figures(State st) {
  st.figures = std::make_shared<const CurvePoint>(figures_here(st));
  return st;
}

double CurveBuilder::profile_temperature(double s, const std::vector<State>& profile) const {
  for (std::size_t j = 1; j < profile.size(); ++j) {
    const double a = fraction(profile[j - 1]), b = fraction(profile[j]);
    if (s > b || b == a) continue;
    return profile[j - 1].t + (profile[j].t - profile[j - 1].t) * (s - a) / (b - a);
  }
  return outlet_.t;
}

State CurveBuilder::at(double x, double guess) {
  State st = path_ == Spacing::Temperature ? at_temperature(x, guess) : at_fraction(x);
  st.x = x;
  return st;
}

double CurveBuilder::extrapolated_fraction(double x) const {
  std::vector<const State*> last;  // the last four states the host flashed, latest first
  for (auto it = grid_.rbegin(); it != grid_.rend() && last.size() < 4; ++it) {
    if (!it->failed) last.push_back(&*it);
  }
  if (last.size() < 2) return expected_fraction(*last.front(), outlet_, x);
  double f = 0.0;
  for (const State* a : last) {
    double weight = 1.0;  // Lagrange's
    for (const State* b : last) {
      if (b != a) weight *= (x - b->x) / (a->x - b->x);
    }
    f += weight * fraction(*a);
  }
  return std::clamp(f, 0.0, 1.0);
}

double CurveBuilder::expected_fraction(const State& a, const State& b, double x, bool by_temperature) const {
  const double xa = by_temperature ? a.t : a.x, xb = by_temperature ? b.t : b.x;
  if (xb == xa) return fraction(b);
  return std::clamp(fraction(a) + (fraction(b) - fraction(a)) * (x - xa) / (xb - xa), 0.0, 1.0);
}

std::optional<State> CurveBuilder::row_state(int k, int intervals, const std::vector<State>& profile) {
  if (k == 0) return inlet_;
  if (k == intervals) return outlet_;
  const double f = static_cast<double>(k) / intervals;
  if (spacing_ == path_) return grid_[static_cast<std::size_t>(k * per_row_)];
  if (spacing_ == Spacing::Duty) return or_failed([&] { return at_fraction(f); }, asked_at_fraction(f));
  const double t = inlet_.t + (outlet_.t - inlet_.t) * f;
  for (std::size_t j = 1; j < profile.size(); ++j) {
    const State& a = profile[j - 1];
    const State& b = profile[j];
    if ((t - a.t) * (t - b.t) > 0.0 || a.t == b.t) continue;
    const double s = fraction(a) + (fraction(b) - fraction(a)) * (t - a.t) / (b.t - a.t);
    return or_failed([&] { return at_fraction(s); }, asked_at_fraction(s));
  }
  return std::nullopt;
}

void CurveBuilder::replay(const State& st) {
  switch (st.kind) {
    case State::TP: stream_.flash_tp(st.t, st.p); break;
    case State::PH: stream_.flash_ph(st.h, st.p); break;
    case State::PV: stream_.flash_pv(st.vf, st.p); break;
  }
}

CurvePoint CurveBuilder::point(const State& st) {
  replay(st);
  return figures_here(st);
}

CurvePoint CurveBuilder::figures_here(const State& st) {
  CurvePoint p;
  p.temperature = st.t;
  p.pressure = st.p;
  p.duty = duty_from_inlet(st) + 0.0;
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

Figure CurveBuilder::figure(Quantity q, Phase ph, LibraryBasis b) {
  const SideStream::Answer a = stream_.ask(q, ph, b);
  return {a.value, a.ierr > 0};
}

}  // namespace hxprops
