// The component databank: pure-component constants and temperature correlations, read from a TOML
// file in which every coefficient set names its source.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "correlation.h"

namespace kvt::reference {

struct Component {
  std::string name;
  std::string formula;
  double mw = 0.0;     // kg/kmol
  double tc = 0.0;     // K
  double pc = 0.0;     // Pa
  double vc = 0.0;     // m3/kmol
  double omega = 0.0;  // acentric factor
  double tb = 0.0;     // normal boiling point, K
  std::string constants_source;

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
};

// A binary interaction parameter of the Peng-Robinson equation, with its source.
struct Interaction {
  std::string first, second;
  double kij = 0.0;
  std::string source;
};

struct Databank {
  std::vector<Component> components;
  std::vector<Interaction> interactions;
  std::vector<std::pair<std::string, std::string>> sources;  // key, full reference

  // k_ij of a pair of components (either order); 0 for a pair the table does not hold.
  double kij(std::string_view a, std::string_view b) const;

  // The component of that name (case-insensitive), or nullptr.
  const Component* find(std::string_view name) const;
};

// Reads a databank file. Throws kvt::reference::Error naming the file, and the line and field where
// known, for a missing file, an interaction naming an unknown component, bad TOML (or a character
// beyond ASCII outside a string or comment), a missing required field, a number that is not finite,
// an unknown equation form, a source that names no [sources] key, an empty or inverted range, or a
// component whose flash correlations share no temperature range.
Databank read_databank(const std::filesystem::path& file);

}  // namespace kvt::reference
