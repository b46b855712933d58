// Building one side's curve (compute/curve.h): the states of the side's path and the builder that
// flashes them, follows the path, finds its phase boundaries and asks each row's figures. The
// builder's rows, profile and boundaries are in curve_builder.cpp, its states and figures in
// curve_states.cpp.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compute/curve.h"

namespace hxprops {

// Which of the curve's phases are present, one bit per phase.
using Signature = unsigned;
bool has(Signature sig, int k);

// "dew point: liquid 1 appears", "liquid 2 disappears", ... for the change from `from` to `to`;
// empty when nothing changes.
std::string boundary_label(Signature from, Signature to);

// Whether `from` and `to` differ only in which one of the vapour and the first liquid is present.
bool relabelled(Signature from, Signature to);

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

void append(std::vector<HostNote>& to, const std::vector<HostNote>& more);

// The note a state the host could not flash leaves on the row that stands for it: what became of the
// state, and the host's message (on one line).
HostNote failed_flash_note(const char* kind, double t, double p, const std::string& what, const RunError& e);

// A plateau met while following the temperature with a pressure drop.
struct SlopingPlateau {};

class CurveBuilder {
 public:
  CurveBuilder(Session& s, int side, const CurveOptions& o, std::optional<double> balance_duty)
      : session_(s), c_(s.config()), side_(side), options_(o), balance_duty_(balance_duty), stream_(s, side),
        setup_notes_(stream_.setup_notes()) {}

  // The side's curve from its inlet to its outlet.
  SideCurve build();

  // The side's property table at one pressure from temperature `from` to `to`: the same rows and
  // boundaries, every state flashed at that pressure (rows spaced by enthalpy when the side's are by
  // duty).
  SideCurve build_table(double from, double to, double pressure);

 private:
  SideCurve rows_and_figures();

  // ---- States --------------------------------------------------------------------------------

  State capture(State::Kind kind, double vf = 0.0);

  // The state at one end, as the case gives it.
  State end_state(const EndState& e, double p, bool outlet);

  // A duty the stream cannot take up or release inside the databank's range: refused with the duty
  // asked and the most the range allows, in the user's units.
  [[noreturn]] void unreachable_duty(const std::string& field, const EndState& e, double p, const TemperatureRange& r);

  // Two rows that are one: the same duty, or a boundary within the bisection's reach of another row
  // (an inlet or outlet at its bubble or dew point).
  bool same_row(const State& a, const State& b) const;

  // Rows spaced in duty on every stretch between two rows where the heat is concentrated: one that
  // holds more than one row's share of the duty and more than twice its share of the temperature
  // span (a plateau, a mixture's glide, a glide from the pressure drop alone), so many that each of
  // its pieces holds less than a row's share. A plateau (a stretch over which the temperature moves
  // less than a tenth of a row's step, or a pure component's boiling or condensing, its temperature
  // sloping with a pressure drop) gets at least kPlateauRows. Off a plateau at constant pressure the
  // rows are T-P flashes at the temperatures the profile gives those duties (a P-H flash of a
  // mixture costs many T-P flashes), else P-H flashes.
  std::vector<State> with_plateau_rows(std::vector<State> rows, const std::vector<State>& profile);

  // At least `n` rows inside every zone where two or more phases are present (the stretch between two
  // boundary rows, or a boundary and an end): its widest gap in duty split in the middle until it has.
  std::vector<State> with_zone_rows(std::vector<State> rows, int n);

  // The state at temperature t on the side's path, to the bisection's reach: found on the first
  // stretch of the profile that holds it, by a T-P flash when the path follows the temperature, else
  // by bisection on the duty. A temperature the side does not reach is bad input.
  State at_listed_temperature(double t, const std::vector<State>& profile);

  double fraction(const State& st) const { return (st.h - inlet_.h) / (outlet_.h - inlet_.h); }
  double pressure_at(double s) const { return inlet_.p + std::clamp(s, 0.0, 1.0) * (outlet_.p - inlet_.p); }
  double duty_from_inlet(const State& st) const { return std::fabs(st.h - inlet_.h) * mole_flow_; }

  void follow(Spacing path);

  // T-P flash at T, at the pressure the duty there gives: g(p) = pressure_at(duty(T, p)) - p = 0 by
  // secant steps from the pressure at the duty fraction `guess` (inside two phases a mixture's duty at
  // fixed T moves fast with p, where plain substitution converges slowly), until the pressure moves
  // less than kPressureTolerance. A state whose passes run out is kept, with a note of the side saying
  // how far off it is.
  State at_temperature(double t, double guess);

  State at_fraction(double s);

  // A row at duty fraction s, or at temperature t, its figures asked while the stream holds its state.
  State row_at_fraction(double s);
  State row_at_temperature(double t, double guess);

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
  State asked_at_temperature(double t, double guess) const;
  State asked_at_fraction(double s) const;
  State with_figures(State st);

  // The temperature at duty fraction s on the profile, by linear interpolation.
  double profile_temperature(double s, const std::vector<State>& profile) const;

  // The state at path parameter x; `guess` is the duty fraction expected there (it only starts the
  // pressure passes of a T-P flash).
  State at(double x, double guess);

  // The duty fraction expected at x from the grid so far: the cubic through its last four states
  // (the line to the outlet at first), which puts the first pressure pass of a smooth stretch
  // within the pressure tolerance.
  double extrapolated_fraction(double x) const;

  // The duty fraction at x on the line through two states (clamped to the side); at temperature x
  // when `by_temperature`.
  double expected_fraction(const State& a, const State& b, double x, bool by_temperature = false) const;

  // Row k of the table: evenly spaced in the spacing asked for. A temperature off the path's own
  // parameter is found on the profile (its first crossing), then flashed by its duty.
  std::optional<State> row_state(int k, int intervals, const std::vector<State>& profile);

  // ---- Profile and boundaries ------------------------------------------------------------------

  // The profile: `intervals` evenly spaced grid states (kept in grid_) and the boundaries between.
  std::vector<State> walk(int intervals);

  // A failed state's h (a T-P state) or T (a P-H state), which only orders it among the rows, by
  // linear interpolation in the path parameter between the profile's states either side of it.
  void estimate_on(const std::vector<State>& profile, State& st) const;

  // The boundaries between the last state and `b`, by bisection on the path parameter, one change
  // of the phase set at a time; each appended to `states` with its label.
  void locate(std::vector<State>& states, const State& b);

  // Adds a boundary state, or its label to the state it coincides with.
  static void mark(std::vector<State>& states, State st);

  // ---- Figures ---------------------------------------------------------------------------------

  void replay(const State& st);

  CurvePoint point(const State& st);

  // The figures of a state the stream holds (its last flash).
  CurvePoint figures_here(const State& st);

  Figure figure(Quantity q, Phase ph, LibraryBasis b);

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

}  // namespace hxprops
