// A databank component: its constants and temperature correlations (each with its published source),
// and its entry in the databank file's index, by which it is found before its block is read.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/correlation.h"

namespace kvt::reference {

// The fixed points of a component's liquid enthalpy path from one saturated vapour (pure.h:
// liquid_path): the ends of its segments, the heat capacity held beyond the last, and the enthalpy
// at the anchor and at each end. Worked out once (for the ideal method when the component is read,
// for the equation's vapour with the equation), so that an evaluation integrates only within the
// segment that holds its temperature.
struct LiquidPathKnots {
  bool ready = false;                                  // false: every evaluation works the path out
  double bottom = 0.0, top = 0.0, blend_to = 0.0, end = 0.0;  // segment ends, K
  double held_excess = 0.0;                            // over the ideal gas beyond `end`, J/(kmol K)
  std::array<double, 5> t{}, h{};                      // the anchor and the ends, ascending; H there
  std::size_t anchor = 0;                              // the anchor's index in t
  double bend = 0.0;  // the parabola beyond `end` (near_critical_bend, pure.h), J/(kmol K^2); 0: none
};

struct Component {
  std::string name;     // canonical, lower case
  std::string cas;      // CAS registry number, or empty
  std::string formula;
  std::vector<std::string> synonyms;  // other names it is found by
  double mw = 0.0;     // kg/kmol
  double tc = 0.0;     // K
  double pc = 0.0;     // Pa
  double vc = 0.0;     // m3/kmol
  double omega = 0.0;  // acentric factor
  double tb = 0.0;     // normal boiling point, K
  std::string constants_source;
  bool characterised = false;  // a pseudo-component of an assay (assay.h), not a databank entry

  PiecewiseCorrelation vapour_pressure;       // Pa
  PiecewiseCorrelation ideal_gas_cp;          // J/(kmol K)
  PiecewiseCorrelation heat_of_vaporisation;  // J/kmol
  PiecewiseCorrelation liquid_density;        // kmol/m3
  PiecewiseCorrelation liquid_cp;             // J/(kmol K), saturated liquid
  PiecewiseCorrelation liquid_viscosity;      // Pa s
  PiecewiseCorrelation vapour_viscosity;      // Pa s (low pressure)
  PiecewiseCorrelation liquid_conductivity;   // W/(m K)
  PiecewiseCorrelation vapour_conductivity;   // W/(m K) (low pressure)
  PiecewiseCorrelation surface_tension;       // N/m

  // The Peng-Robinson alpha function, fitted to the vapour-pressure correlation: Mathias and Copeman's
  // c1, c2, c3 of alpha = (1 + c1 x + c2 x^2 + c3 x^3)^2, x = 1 - sqrt(Tr), up to Tc (joined above it
  // to the kappa form: peng_robinson.cpp); empty where the databank gives none (the equation then
  // takes the kappa of the acentric factor). saturation_miss: the largest distance (K) of the
  // equation's saturation temperature from the correlation's over the fit.
  std::vector<double> alpha;
  double saturation_miss = 0.0;
  std::string alpha_source;

  LiquidPathKnots ideal_liquid;  // filled by ideal_liquid_knots (pure.h) when the component is read
};

// How a component is found before its block of the file is read: its names, formula and CAS number,
// and where its block lies.
struct Entry {
  std::string name, cas, formula;
  std::vector<std::string> synonyms;
  std::size_t begin = 0, end = 0;  // its block: byte offsets in the file's text
  std::size_t line = 0;            // the block's first line, 1-based
  // name, CAS number, formula, then the synonyms (filled when a lookup first needs them), as lookup
  // compares them (lower case, without blanks, hyphens and underscores)
  mutable std::vector<std::string> folded;
};

}  // namespace kvt::reference
