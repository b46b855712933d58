// The property curve of one exchanger side: the stream flashed at evenly spaced temperatures from
// inlet to outlet at the side's pressure, every figure asked of the library; plus a finer
// temperature-duty profile with the phase boundaries located on it, for the heat-release curve.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "case_model.h"
#include "library_session.h"

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
};

struct CurvePoint {
  double temperature = 0.0;      // K
  double duty = 0.0;             // W exchanged between the inlet and this point (0 or more)
  double vapour_fraction = 0.0;  // mole fraction of the stream in the vapour
  std::array<PhaseFigures, kCurvePhaseCount> phases;
};

// Where the set of phases changes, between the inlet and the outlet.
struct PhaseBoundary {
  double temperature = 0.0;  // K
  double duty = 0.0;         // W from the inlet
  std::string label;         // e.g. "dew point: liquid 1 appears"
};

struct ProfilePoint {
  double temperature = 0.0;  // K
  double duty = 0.0;         // W from the inlet
};

struct SideCurve {
  int side = 0;
  std::string name;
  double pressure = 0.0;            // Pa
  double inlet_temperature = 0.0;   // K
  double outlet_temperature = 0.0;  // K
  double duty = 0.0;                // W added to the stream between inlet and outlet (negative: released)
  std::vector<CurvePoint> points;   // inlet to outlet
  std::vector<PhaseBoundary> boundaries;  // inlet to outlet
  std::vector<ProfilePoint> profile;      // inlet to outlet, boundaries included
  bool cooled() const { return outlet_temperature < inlet_temperature; }
};

// Intervals of the profile (at least; more when the table has more points).
inline constexpr int kProfileIntervals = 80;

// The curve of one side of the case. Needs a Session for the case. Throws InputError when a duty
// takes the stream outside the databank's temperature range, RunError when a flash fails.
SideCurve compute_side_curve(const Case& c, int side);

}  // namespace hxprops
