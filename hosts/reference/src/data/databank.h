// The component databank: pure-component constants and temperature correlations, read from a TOML
// file in which every coefficient set names its source.
#pragma once

#include <array>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "correlation.h"

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

// A binary interaction parameter of the Peng-Robinson equation, with its source.
struct Interaction {
  std::string first, second;
  double kij = 0.0;
  std::string source;
};

// The NRTL parameters of a pair of components, with their source: a12, a21 in cal/mol as published
// (tau_12 = a12 / (R T) with R = kCalorieGasConstant), alpha the non-randomness.
inline constexpr double kCalorieGasConstant = 1.98721;  // cal/(mol K)
struct NrtlPair {
  std::string first, second;
  double a12 = 0.0, a21 = 0.0, alpha = 0.0;
  std::string source;
};

// A databank file: the index of its components, read whole, and each component's block read when it is
// first asked for (a case needs a few of many).
class Databank {
 public:
  std::vector<Entry> entries;         // every component of the file, in file order
  // The components read so far, in the order read (find() adds to it; addresses stay valid).
  mutable std::deque<Component> components;
  std::vector<Interaction> interactions;
  std::vector<NrtlPair> nrtl_pairs;
  std::vector<std::pair<std::string, std::string>> sources;  // key, full reference

  // k_ij of a pair of components (either order); 0 for a pair the table does not hold.
  double kij(std::string_view a, std::string_view b) const;
  // Whether the table holds a k_ij for the pair.
  bool has_kij(std::string_view a, std::string_view b) const;
  // The NRTL parameters of a pair (either order; `first` says which), or nullptr.
  const NrtlPair* nrtl(std::string_view a, std::string_view b) const;

  // The component of that canonical name (case-insensitive), read on first use; nullptr when the
  // file has none. Throws Error (file, line, field) for a malformed block.
  const Component* find(std::string_view name) const;
  // Adds a component made outside the file (a pseudo-component of an assay), found by its name from
  // then on; the caller keeps names unique.
  const Component& add(Component c);

 private:
  friend Databank open_databank(const std::filesystem::path& file);
  std::filesystem::path file_;
  std::string text_;
};

// Reads a databank file's index, sources and interaction table; components are read by find().
// Throws kvt::reference::Error naming the file, and the line and field where known, for a missing
// file, bad TOML (or a character beyond ASCII outside a string or comment), a component named twice,
// or an interaction naming an unknown component.
Databank open_databank(const std::filesystem::path& file);

// Reads a databank file whole: as open_databank, then every component, refusing the first malformed
// one (a missing required field, a number that is not finite, an unknown equation form, a source that
// names no [sources] key, an empty or inverted range, flash correlations that share no temperature
// range).
Databank read_databank(const std::filesystem::path& file);

}  // namespace kvt::reference
