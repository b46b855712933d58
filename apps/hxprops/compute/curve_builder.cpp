// The curve builder (curve_builder.h): its rows, the profile and its boundaries; a side's curve and
// its property tables built with it. Its states and figures are in curve_states.cpp.
#include "compute/curve_builder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>

#include "base/number_text.h"

namespace hxprops {

bool has(Signature sig, int k) { return (sig >> k) & 1u; }

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

bool relabelled(Signature from, Signature to) {
  const Signature pair = 0b11u;
  return (from ^ to) == pair && (from & pair) != 0 && (from & pair) != pair;
}

void append(std::vector<HostNote>& to, const std::vector<HostNote>& more) { to.insert(to.end(), more.begin(), more.end()); }

HostNote failed_flash_note(const char* kind, double t, double p, const std::string& what, const RunError& e) {
  std::string why = e.what();
  for (std::size_t at = why.find("\n  "); at != std::string::npos; at = why.find("\n  ", at)) why.replace(at, 3, "; ");
  return {kind, "hxprops", "", "", t, p, "hxprops: " + what + ": " + why};
}

SideCurve CurveBuilder::build() {
  const Side& sd = c_.sides[side_];
  const std::vector<double>& flows = session_.mole_flows(side_);
  mole_flow_ = std::accumulate(flows.begin(), flows.end(), 0.0);
  inlet_ = end_state(sd.inlet, sd.inlet_pressure, false);
  outlet_ = end_state(sd.outlet, sd.outlet_pressure, true);
  if (outlet_.h == inlet_.h) {
    c_.reject(side_field(side_, end_key(true, sd.outlet.kind)), "the outlet state is the inlet state: no duty");
  }
  spacing_ = c_.spacing_of(side_);
  return rows_and_figures();
}

SideCurve CurveBuilder::build_table(double from, double to, double pressure) {
  const std::vector<double>& flows = session_.mole_flows(side_);
  mole_flow_ = std::accumulate(flows.begin(), flows.end(), 0.0);
  stream_.flash_tp(from, pressure);
  inlet_ = capture(State::TP);
  stream_.flash_tp(to, pressure);
  outlet_ = capture(State::TP);
  spacing_ = c_.spacing_of(side_);
  SideCurve table = rows_and_figures();
  table.table = true;
  return table;
}

SideCurve CurveBuilder::rows_and_figures() {
  const Side& sd = c_.sides[side_];
  if (std::fabs(outlet_.t - inlet_.t) < 1.0e-3) spacing_ = Spacing::Duty;  // a plateau from end to end
  // The path is followed in temperature (T-P flashes, the cheaper ones) unless the rows are spaced
  // by duty, or a plateau turns up while the pressure changes (its temperature then slopes with the
  // pressure): then in duty (P-H flashes at the pressure the duty gives).
  follow(spacing_);
  // The profile's grid refines the rows' grid, so that rows spaced like the path are grid states.
  const int row_intervals = c_.points - 1;
  per_row_ = (kProfileIntervals + row_intervals - 1) / row_intervals;
  std::vector<State> profile;
  try {
    profile = walk(per_row_ * row_intervals);
  } catch (const SlopingPlateau&) {
    follow(Spacing::Duty);
    profile = walk(per_row_ * row_intervals);
  }
  profile_ = profile;

  SideCurve curve;
  curve.side = side_;
  curve.name = sd.name;
  curve.method = session_.method(side_);
  curve.inlet_temperature = inlet_.t;
  curve.outlet_temperature = outlet_.t;
  curve.inlet_pressure = inlet_.p;
  curve.outlet_pressure = outlet_.p;
  curve.duty = (outlet_.h - inlet_.h) * mole_flow_;
  curve.spacing = spacing_;

  std::vector<State> rows;
  if (sd.temperatures.empty()) {
    for (int k = 0; k < c_.points; ++k) {
      if (std::optional<State> r = row_state(k, c_.points - 1, profile)) rows.push_back(std::move(*r));
    }
  } else {
    rows = {inlet_, outlet_};
    for (const double t : sd.temperatures) rows.push_back(at_listed_temperature(t, profile));
  }
  for (const State& b : profile) {
    if (!b.label.empty()) rows.push_back(b);
  }
  std::stable_sort(rows.begin(), rows.end(), [&](const State& a, const State& b) { return fraction(a) < fraction(b); });
  std::vector<State> merged;
  for (State& r : rows) {
    if (!merged.empty() && same_row(r, merged.back())) {
      std::string label = merged.back().label;
      if (!r.label.empty()) label += (label.empty() ? "" : "; ") + r.label;
      if (fraction(r) == 1.0) merged.back() = std::move(r);  // the outlet stays the outlet's own state
      merged.back().label = std::move(label);
      continue;
    }
    merged.push_back(std::move(r));
  }
  if (spacing_ == Spacing::Temperature && sd.temperatures.empty()) merged = with_plateau_rows(std::move(merged), profile);
  if (sd.rows_per_zone > 0) merged = with_zone_rows(std::move(merged), sd.rows_per_zone);
  for (const State& r : merged) {
    std::vector<HostNote> raised = r.raised;
    curve.points.push_back(r.figures ? *r.figures : point(r));
    if (!r.figures) append(raised, session_.take_notes());
    if (&r == &merged.front()) append(raised, setup_notes_);  // the component set's, about every row
    curve.points.back().notes = notes_.file(raised, r.t, r.p);
    curve.points.back().boundary = r.label;
    if (!r.label.empty()) curve.boundaries.push_back({r.t, r.p, duty_from_inlet(r), r.label});
  }
  for (const State& st : profile) curve.profile.push_back({st.t, duty_from_inlet(st)});
  curve.notes = notes_.notes();
  return curve;
}

std::vector<State> CurveBuilder::walk(int intervals) {
  std::vector<State> states{inlet_};
  grid_.assign(1, inlet_);
  for (int k = 1; k <= intervals; ++k) {
    State next = outlet_;
    if (k < intervals) {
      const double x = inlet_.x + (outlet_.x - inlet_.x) * k / intervals, guess = extrapolated_fraction(x);
      next = or_failed([&] { return at(x, guess); },
                       path_ == Spacing::Temperature ? asked_at_temperature(x, guess) : asked_at_fraction(x));
      // a row's figures are asked while the stream holds its state, which saves flashing it again
      if (spacing_ == path_ && k % per_row_ == 0 && !next.failed) {
        next.figures = std::make_shared<const CurvePoint>(figures_here(next));
        append(next.raised, session_.take_notes());
      }
    }
    // a state that failed is a row (when it falls on one) but no point of the profile
    if (!next.failed) {
      locate(states, next);
      states.push_back(next);
    }
    grid_.push_back(std::move(next));
  }
  for (State& g : grid_) {
    if (g.failed) estimate_on(states, g);
  }
  return states;
}

void CurveBuilder::estimate_on(const std::vector<State>& profile, State& st) const {
  for (std::size_t j = 1; j < profile.size(); ++j) {
    const State& a = profile[j - 1];
    const State& b = profile[j];
    if ((st.x - a.x) * (st.x - b.x) > 0.0 || a.x == b.x) continue;
    const double w = (st.x - a.x) / (b.x - a.x);
    (st.kind == State::TP ? st.h : st.t) = st.kind == State::TP ? a.h + w * (b.h - a.h) : a.t + w * (b.t - a.t);
    return;
  }
}

void CurveBuilder::locate(std::vector<State>& states, const State& b) {
  const double tolerance = path_ == Spacing::Temperature ? 1.0e-6 : 1.0e-9;
  State from_state = states.back();
  for (int change = 0; change < kCurvePhaseCount && from_state.sig != b.sig; ++change) {
    State lo = from_state, hi = b;
    const Signature from = lo.sig;
    std::optional<HostNote> short_of;
    for (int it = 0; it < 60 && std::fabs(hi.x - lo.x) > tolerance; ++it) {
      const double mid = 0.5 * (lo.x + hi.x);
      try {
        State m = at(mid, expected_fraction(lo, hi, mid));
        (m.sig == from ? lo : hi) = std::move(m);
      } catch (const RunError& e) {
        // a state inside the bracket the host cannot flash (next to a critical point): the boundary
        // is the bracket's end reached so far, with a note saying how far it may be off
        short_of = failed_flash_note("iteration-cap", hi.t, hi.p,
                                     "a boundary is placed within " + number_text(std::fabs(hi.t - lo.t)) + " K of " +
                                         number_text(hi.t) + " K, where the flash between failed",
                                     e);
        break;
      }
    }
    if (short_of) hi.raised.push_back(*short_of);
    if (relabelled(from, hi.sig) && std::fabs(fraction(hi) - fraction(lo)) <= kPlateau) {
      // One fluid above its critical point, counted vapour on one side and liquid on the other,
      // with no duty between: the host found no second phase, so this is no boundary.
      from_state = hi;
      continue;
    }
    if (std::fabs(fraction(hi) - fraction(lo)) > kPlateau && !short_of) {
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

void CurveBuilder::mark(std::vector<State>& states, State st) {
  if (st.label.empty()) return;
  State& last = states.back();
  if (last.x == st.x) {
    last.label += (last.label.empty() ? "" : "; ") + st.label;
    return;
  }
  states.push_back(std::move(st));
}

SideCurve compute_side_curve(Session& s, int side, const CurveOptions& o, std::optional<double> balance_duty) {
  return CurveBuilder(s, side, o, balance_duty).build();
}

void add_pressure_tables(Session& s, SideCurve& curve, const CurveOptions& o) {
  const Case& c = s.config();
  double lo = curve.inlet_temperature, hi = lo;
  for (const ProfilePoint& p : curve.profile) {
    lo = std::min(lo, p.temperature);
    hi = std::max(hi, p.temperature);
  }
  if (hi - lo < kSameTemperature) return;  // no temperature range to tabulate
  const bool cooled = curve.cooled();
  for (const double p : c.table_levels(curve.side)) {
    try {
      curve.pressure_tables.push_back(CurveBuilder(s, curve.side, o, std::nullopt).build_table(cooled ? hi : lo, cooled ? lo : hi, p));
    } catch (const RunError& e) {
      c.reject(c.levels_field(curve.side), side_key(curve.side) + " at " + number_text(p) + " Pa: " + e.what());
    }
  }
}

}  // namespace hxprops
