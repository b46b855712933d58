// The property curve of one exchanger side: the stream from its inlet state to its outlet state,
// with the pressure linear in the duty, flashed at evenly spaced temperatures (or duties), every
// phase boundary a row of its own; every figure asked of the library. Plus a finer temperature-duty
// profile with the boundaries on it, for the exchanger's figures and the plot.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "case/case_model.h"
#include "compute/library_session.h"
#include "case/units.h"

namespace hxprops {

// The phases a curve reports, in column order.
inline constexpr int kCurvePhaseCount = 3;
inline constexpr std::array<Phase, kCurvePhaseCount> kCurvePhases = {Phase::Vapour, Phase::Liquid1, Phase::Liquid2};
std::string_view phase_label(Phase p);  // "vapour", "liquid 1", "liquid 2", ...
bool is_liquid(Phase p);

// One answer of the library: no value for an absent phase (or a missing answer); `flagged` when the
// host raised its error flag for it (IERR above 0: the value comes from outside a correlation's
// range, or the host could not evaluate it).
struct Figure {
  std::optional<double> value;
  bool flagged = false;
  bool operator==(const Figure&) const = default;
};

// Figures of one phase at one point (SI units); every figure is empty for an absent phase, and
// surface tension and heat of vaporisation are empty for the vapour.
struct PhaseFigures {
  bool present = false;
  double mass_fraction = 0.0;    // -
  Figure mass_flow;              // kg/s
  Figure molecular_weight;       // kg/kmol
  Figure heat_capacity;          // J/(kg K)
  Figure conductivity;           // W/(m K)
  Figure viscosity;              // Pa s
  Figure surface_tension;        // N/m
  Figure density;                // kg/m3
  Figure heat_of_vaporisation;   // J/kg
  std::vector<double> composition;  // mole fractions over the host's component set, when asked
};

struct CurvePoint {
  double temperature = 0.0;      // K
  double pressure = 0.0;         // Pa
  double duty = 0.0;             // W exchanged between the inlet and this point (0 or more)
  double enthalpy = 0.0;         // J/kg, the stream's specific enthalpy
  double vapour_fraction = 0.0;  // mole fraction of the stream in the vapour
  std::string boundary;          // the phase boundary at this point, e.g. "dew point: liquid 1 appears"
  std::array<PhaseFigures, kCurvePhaseCount> phases;
  std::vector<int> notes;        // the host's notes raised at this point: indices into the side's notes
  // The host's flash failed here: the row keeps only what was asked of the flash (temperature and
  // pressure, or duty and pressure), every other figure NaN or absent, and a flash-failed note.
  bool failed = false;
};

// How a row whose flash failed is marked where its figures would be.
inline constexpr std::string_view kFailedRowMark = "no figures: the host's flash failed here";

// Where the set of phases changes, between the inlet and the outlet (both included).
struct PhaseBoundary {
  double temperature = 0.0;  // K
  double pressure = 0.0;     // Pa
  double duty = 0.0;         // W from the inlet
  std::string label;
};

struct ProfilePoint {
  double temperature = 0.0;  // K
  double duty = 0.0;         // W from the inlet
};

struct SideCurve {
  int side = 0;
  std::string name;
  SideMethod method;  // the property method it was computed under, and why
  double inlet_temperature = 0.0;   // K
  double outlet_temperature = 0.0;  // K
  double inlet_pressure = 0.0;      // Pa
  double outlet_pressure = 0.0;     // Pa
  double duty = 0.0;                // W added to the stream between inlet and outlet (negative: released)
  Spacing spacing = Spacing::Temperature;  // as used: duty when inlet and outlet share a temperature
  std::vector<CurvePoint> points;          // inlet to outlet, boundary rows included
  std::vector<PhaseBoundary> boundaries;   // inlet to outlet
  std::vector<ProfilePoint> profile;       // inlet to outlet, boundaries included
  std::vector<SideNote> notes;             // every note the host raised on the side's flashes and questions
  bool table = false;                      // a property table at one pressure, not the side's curve
  std::vector<SideCurve> pressure_tables;  // the side's property tables, one per pressure level
  bool cooled() const { return duty < 0.0; }
};

// Intervals of the profile (at least; more when the table has more points).
inline constexpr int kProfileIntervals = 80;

struct CurveOptions {
  bool compositions = false;     // ask each phase's composition at every point
  bool allow_imbalance = false;  // two sides' own duties may differ by more than the case's tolerance
  UnitSystem units = UnitSystem::Engineering;  // of the figures in messages
};

// Every side of the session's case (one or two); a side on duty = "balance" takes what the other
// releases or takes up. Throws InputError when an outlet lies outside the databank's temperature
// range, both sides release (or take up) heat, or their own duties differ by more than the case's
// balance_tolerance (unless allowed), RunError when a flash at an end fails; a row whose flash fails
// is kept, marked failed, and the curve goes on past it.
std::vector<SideCurve> compute_curves(Session& s, const CurveOptions& o = {});

// The side's property tables at the case's table_pressures over the curve's temperature range
// (from its inlet's end), into curve.pressure_tables. Throws InputError for a level the host cannot
// flash the stream at.
void add_pressure_tables(Session& s, SideCurve& curve, const CurveOptions& o = {});

// The rows of the side's curve and of its property tables whose flash failed, as "370 K" texts in
// the unit system's temperature unit (or "at 12.3 kW from the inlet" for a state given by its duty).
std::vector<std::string> failed_rows(const SideCurve& curve, UnitSystem units);

// How far two sides' duties are apart, as a fraction of the larger; 0 for a single side.
double imbalance(const std::vector<SideCurve>& curves);

// One side, its outlet duty given when it is on "balance".
SideCurve compute_side_curve(Session& s, int side, const CurveOptions& o = {},
                             std::optional<double> balance_duty = std::nullopt);

}  // namespace hxprops
