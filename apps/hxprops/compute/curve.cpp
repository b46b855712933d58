#include "compute/curve.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>

#include "base/number_text.h"

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

// Whether `from` and `to` differ only in which one of the vapour and the first liquid is present.
bool relabelled(Signature from, Signature to) {
  const Signature pair = 0b11u;
  return (from ^ to) == pair && (from & pair) != 0 && (from & pair) != pair;
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
  std::shared_ptr<const CurvePoint> figures;  // the row's figures, when asked right after its flash
  bool failed = false;  // the host could not flash it: t or h (whichever was not asked) an estimate
  // The host's notes on its flash (and its figures, when asked): filed with the side's only when the
  // state becomes a row, so that what the boundary searches and pressure passes meet is no note.
  std::vector<HostNote> raised;
};

// Duty fractions closer than this are one row; so are a boundary and a row closer than kPlateau in
// duty and kSameTemperature (K, ten times the bisection's reach) in temperature.
constexpr double kSameRow = 1.0e-7;
constexpr double kSameTemperature = 1.0e-5;
// Rows a plateau gets between its ends, at least.
constexpr int kPlateauRows = 5;
// The pressure passes of a T-P flash on a pressure drop stop when the pressure moves less than this
// fraction of itself. A fluid's enthalpy moves with pressure at constant temperature by about its
// molar volume or less (dh/dp = v - T dv/dT, some 0.1 m3/kmol for a dense gas or a liquid), so a
// pressure off by 1e-8 of itself (0.035 Pa at 35 bar) moves it by a few mJ/kmol: below the host's own
// enthalpy tolerance (1e-9 of the enthalpy, 0.01 J/kmol at least).
constexpr double kPressureTolerance = 1.0e-8;
constexpr int kPressurePasses = 8;
// A boundary whose bracket holds more of the duty than this is a plateau: both its ends are rows.
constexpr double kPlateau = 1.0e-5;

void append(std::vector<HostNote>& to, const std::vector<HostNote>& more) { to.insert(to.end(), more.begin(), more.end()); }

// The note a state the host could not flash leaves on the row that stands for it: what became of the
// state, and the host's message (on one line).
HostNote failed_flash_note(const char* kind, double t, double p, const std::string& what, const RunError& e) {
  std::string why = e.what();
  for (std::size_t at = why.find("\n  "); at != std::string::npos; at = why.find("\n  ", at)) why.replace(at, 3, "; ");
  return {kind, "hxprops", "", "", t, p, "hxprops: " + what + ": " + why};
}

// A plateau met while following the temperature with a pressure drop.
struct SlopingPlateau {};

class CurveBuilder {
 public:
  CurveBuilder(Session& s, int side, const CurveOptions& o, std::optional<double> balance_duty)
      : session_(s), c_(s.config()), side_(side), options_(o), balance_duty_(balance_duty), stream_(s, side),
        setup_notes_(stream_.setup_notes()) {}

  // The side's curve from its inlet to its outlet.
  SideCurve build() {
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

  // The side's property table at one pressure from temperature `from` to `to`: the same rows and
  // boundaries, every state flashed at that pressure (rows spaced by enthalpy when the side's are by
  // duty).
  SideCurve build_table(double from, double to, double pressure) {
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

 private:
  SideCurve rows_and_figures() {
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
    st.raised = session_.take_notes();
    return st;
  }

  // The state at one end, as the case gives it.
  State end_state(const EndState& e, double p, bool outlet) {
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

  // A duty the stream cannot take up or release inside the databank's range: refused with the duty
  // asked and the most the range allows, in the user's units.
  [[noreturn]] void unreachable_duty(const std::string& field, const EndState& e, double p, const TemperatureRange& r) {
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

  // Two rows that are one: the same duty, or a boundary within the bisection's reach of another row
  // (an inlet or outlet at its bubble or dew point).
  bool same_row(const State& a, const State& b) const {
    const double apart = std::fabs(fraction(a) - fraction(b));
    if (apart < kSameRow) return true;
    const bool boundary = !a.label.empty() || !b.label.empty();
    return boundary && apart < kPlateau && std::fabs(a.t - b.t) < kSameTemperature;
  }

  // Rows spaced in duty on every stretch between two rows where the heat is concentrated: one that
  // holds more than one row's share of the duty and more than twice its share of the temperature
  // span (a plateau, a mixture's glide, a glide from the pressure drop alone), so many that each of
  // its pieces holds less than a row's share. A plateau (a stretch over which the temperature moves
  // less than a tenth of a row's step, or a pure component's boiling or condensing, its temperature
  // sloping with a pressure drop) gets at least kPlateauRows. Off a plateau at constant pressure the
  // rows are T-P flashes at the temperatures the profile gives those duties (a P-H flash of a
  // mixture costs many T-P flashes), else P-H flashes.
  std::vector<State> with_plateau_rows(std::vector<State> rows, const std::vector<State>& profile) {
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

  // At least `n` rows inside every zone where two or more phases are present (the stretch between two
  // boundary rows, or a boundary and an end): its widest gap in duty split in the middle until it has.
  std::vector<State> with_zone_rows(std::vector<State> rows, int n) {
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

  // The state at temperature t on the side's path, to the bisection's reach: found on the first
  // stretch of the profile that holds it, by a T-P flash when the path follows the temperature, else
  // by bisection on the duty. A temperature the side does not reach is bad input.
  State at_listed_temperature(double t, const std::vector<State>& profile) {
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

  double fraction(const State& st) const { return (st.h - inlet_.h) / (outlet_.h - inlet_.h); }
  double pressure_at(double s) const { return inlet_.p + std::clamp(s, 0.0, 1.0) * (outlet_.p - inlet_.p); }
  double duty_from_inlet(const State& st) const { return std::fabs(st.h - inlet_.h) * mole_flow_; }

  void follow(Spacing path) {
    path_ = path;
    inlet_.x = path_ == Spacing::Temperature ? inlet_.t : 0.0;
    outlet_.x = path_ == Spacing::Temperature ? outlet_.t : 1.0;
  }

  // T-P flash at T, at the pressure the duty there gives: g(p) = pressure_at(duty(T, p)) - p = 0 by
  // secant steps from the pressure at the duty fraction `guess` (inside two phases a mixture's duty at
  // fixed T moves fast with p, where plain substitution converges slowly), until the pressure moves
  // less than kPressureTolerance. A state whose passes run out is kept, with a note of the side saying
  // how far off it is.
  State at_temperature(double t, double guess) {
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

  State at_fraction(double s) {
    stream_.flash_ph(inlet_.h + s * (outlet_.h - inlet_.h), pressure_at(s));
    return capture(State::PH);
  }

  // A row at duty fraction s, or at temperature t, its figures asked while the stream holds its state.
  State row_at_fraction(double s) {
    return or_failed([&] { return with_figures(at_fraction(s)); }, asked_at_fraction(s));
  }
  State row_at_temperature(double t, double guess) {
    return or_failed([&] { return with_figures(at_temperature(t, guess)); }, asked_at_temperature(t, guess));
  }

  // A state the host could not flash stands for its row all the same, with no figures: the curve goes
  // on past it. `asked` is the state as asked (T-P: its temperature; P-H: its enthalpy), the other of
  // T and h estimated, which only orders it among the rows.
  template <class Flash>
  State or_failed(Flash flash, State asked) {
    try {
      return flash();
    } catch (const RunError& e) {
      asked.failed = true;
      asked.raised.push_back(failed_flash_note("flash-failed", asked.t, asked.p, "no figures at this row", e));
      CurvePoint row;
      const double nan = std::numeric_limits<double>::quiet_NaN();
      row.temperature = asked.kind == State::TP ? asked.t : nan;
      row.pressure = asked.p;
      row.duty = asked.kind == State::TP ? nan : duty_from_inlet(asked) + 0.0;
      row.enthalpy = row.vapour_fraction = nan;
      row.failed = true;
      asked.figures = std::make_shared<const CurvePoint>(std::move(row));
      return asked;
    }
  }
  // The states a T-P flash at t (duty fraction `guess` expected there) and a P-H flash at duty fraction
  // s ask for.
  State asked_at_temperature(double t, double guess) const {
    State st;
    st.kind = State::TP;
    st.x = path_ == Spacing::Temperature ? t : guess;
    st.t = t;
    st.p = pressure_at(guess);
    st.h = inlet_.h + guess * (outlet_.h - inlet_.h);
    return st;
  }
  State asked_at_fraction(double s) const {
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
  State with_figures(State st) {
    st.figures = std::make_shared<const CurvePoint>(figures_here(st));
    return st;
  }

  // The temperature at duty fraction s on the profile, by linear interpolation.
  double profile_temperature(double s, const std::vector<State>& profile) const {
    for (std::size_t j = 1; j < profile.size(); ++j) {
      const double a = fraction(profile[j - 1]), b = fraction(profile[j]);
      if (s > b || b == a) continue;
      return profile[j - 1].t + (profile[j].t - profile[j - 1].t) * (s - a) / (b - a);
    }
    return outlet_.t;
  }

  // The state at path parameter x; `guess` is the duty fraction expected there (it only starts the
  // pressure passes of a T-P flash).
  State at(double x, double guess) {
    State st = path_ == Spacing::Temperature ? at_temperature(x, guess) : at_fraction(x);
    st.x = x;
    return st;
  }

  // The duty fraction expected at x from the grid so far: the cubic through its last four states
  // (the line to the outlet at first), which puts the first pressure pass of a smooth stretch
  // within the pressure tolerance.
  double extrapolated_fraction(double x) const {
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

  // The duty fraction at x on the line through two states (clamped to the side); at temperature x
  // when `by_temperature`.
  double expected_fraction(const State& a, const State& b, double x, bool by_temperature = false) const {
    const double xa = by_temperature ? a.t : a.x, xb = by_temperature ? b.t : b.x;
    if (xb == xa) return fraction(b);
    return std::clamp(fraction(a) + (fraction(b) - fraction(a)) * (x - xa) / (xb - xa), 0.0, 1.0);
  }

  // Row k of the table: evenly spaced in the spacing asked for. A temperature off the path's own
  // parameter is found on the profile (its first crossing), then flashed by its duty.
  std::optional<State> row_state(int k, int intervals, const std::vector<State>& profile) {
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

  // ---- Profile and boundaries ------------------------------------------------------------------

  // The profile: `intervals` evenly spaced grid states (kept in grid_) and the boundaries between.
  std::vector<State> walk(int intervals) {
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

  // A failed state's h (a T-P state) or T (a P-H state), which only orders it among the rows, by
  // linear interpolation in the path parameter between the profile's states either side of it.
  void estimate_on(const std::vector<State>& profile, State& st) const {
    for (std::size_t j = 1; j < profile.size(); ++j) {
      const State& a = profile[j - 1];
      const State& b = profile[j];
      if ((st.x - a.x) * (st.x - b.x) > 0.0 || a.x == b.x) continue;
      const double w = (st.x - a.x) / (b.x - a.x);
      (st.kind == State::TP ? st.h : st.t) = st.kind == State::TP ? a.h + w * (b.h - a.h) : a.t + w * (b.t - a.t);
      return;
    }
  }

  // The boundaries between the last state and `b`, by bisection on the path parameter, one change
  // of the phase set at a time; each appended to `states` with its label.
  void locate(std::vector<State>& states, const State& b) {
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
    return figures_here(st);
  }

  // The figures of a state the stream holds (its last flash).
  CurvePoint figures_here(const State& st) {
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
  NoteBook notes_;
  std::vector<HostNote> setup_notes_;  // raised when the component set was selected for the side
  State inlet_, outlet_;
  std::vector<State> grid_;  // the profile's evenly spaced states, inlet and outlet included
  std::vector<State> profile_;  // once walked: the profile (grid states the host flashed, boundaries)
  int per_row_ = 1;          // profile intervals per row interval
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

std::vector<std::string> failed_rows(const SideCurve& curve, UnitSystem units) {
  std::vector<std::string> out;
  for (const CurvePoint& p : curve.points) {
    if (!p.failed) continue;
    out.push_back(std::isfinite(p.temperature) ? quantity_text(p.temperature, Dimension::Temperature, units)
                                               : "at " + quantity_text(p.duty, Dimension::Power, units) + " from the inlet");
  }
  for (const SideCurve& table : curve.pressure_tables) {
    for (std::string& t : failed_rows(table, units)) out.push_back(std::move(t) + " in the table at " +
                                                                  quantity_text(table.inlet_pressure, Dimension::Pressure, units, -1));
  }
  return out;
}

double imbalance(const std::vector<SideCurve>& curves) {
  if (curves.size() < 2) return 0.0;
  const double q0 = curves[0].duty, q1 = curves[1].duty;
  const double larger = std::max(std::fabs(q0), std::fabs(q1));
  return larger > 0.0 ? std::fabs(q0 + q1) / larger : 0.0;
}

std::vector<SideCurve> compute_curves(Session& s, const CurveOptions& o) {
  const Case& c = s.config();
  if (c.side_count == 1) {
    std::vector<SideCurve> one{compute_side_curve(s, 0, o)};
    add_pressure_tables(s, one[0], o);
    return one;
  }
  const int balanced = c.sides[0].outlet.kind == EndKind::Balance ? 0 : c.sides[1].outlet.kind == EndKind::Balance ? 1 : -1;
  const int first = balanced == 0 ? 1 : 0;
  std::vector<SideCurve> curves(2);
  curves[first] = compute_side_curve(s, first, o);
  curves[1 - first] = compute_side_curve(s, 1 - first, o, -curves[first].duty);
  for (SideCurve& curve : curves) add_pressure_tables(s, curve, o);
  const double q0 = curves[0].duty, q1 = curves[1].duty;
  const auto kw = [](double w) { return number_text(w * 1.0e-3) + " kW"; };
  if ((q0 < 0.0) == (q1 < 0.0)) {
    c.reject(side_field(1, end_key(true, c.sides[1].outlet.kind)),
             std::string("both sides ") + (q0 < 0.0 ? "release" : "take up") + " heat (side 0 " + kw(q0) + ", side 1 " + kw(q1) + ")");
  }
  if (balanced < 0 && !o.allow_imbalance && imbalance(curves) > c.balance_tolerance) {
    c.reject(side_field(1, end_key(true, c.sides[1].outlet.kind)),
             "the duties do not balance: side 0 " + kw(q0) + ", side 1 " + kw(q1) + " (" + number_text(100.0 * imbalance(curves), 3) +
                 " % of the larger, over balance_tolerance " + number_text(100.0 * c.balance_tolerance, 3) +
                 " %); give one side duty = \"balance\", or --allow-imbalance for both curves without the exchanger's figures");
  }
  return curves;
}

}  // namespace hxprops
