// Mixture properties of the ideal-solution method: ideal-gas vapour, ideal liquid mixing, and named
// mixing rules for the transport properties. A mixture is a list of components with mole fractions
// (normalised here: the fractions need not sum to 1, only to a positive number).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "data/databank.h"

namespace kvt::reference {

struct Mixture {
  std::vector<const Component*> components;
  std::vector<double> x;  // mole fractions, same order
  double p = 0.0;         // Pa; a phase of water alone takes its properties at this pressure (0: saturated)
};

// Range notes of one evaluation: the components whose correlation was used outside its range,
// for components with a mole fraction of at least kNoteFraction (a trace does not matter).
inline constexpr double kNoteFraction = 1e-3;
struct RangeNotes {
  std::vector<std::string> items;
  std::vector<std::string> components;  // the component each item concerns
  void add(const Component& c, const char* property, double t);
  bool any() const { return !items.empty(); }
};

enum class Phase { kVapour, kLiquid };

// Molar enthalpy (J/kmol) and its temperature derivative (J/(kmol K)): sum of x_i H_i.
double enthalpy(const Mixture& m, Phase phase, double t, RangeNotes* notes = nullptr);
double enthalpy_dt(const Mixture& m, Phase phase, double t, RangeNotes* notes = nullptr);
// Molar volume (m3/kmol): RT/P for the vapour, sum of x_i v_i for the liquid (ideal mixing).
double molar_volume(const Mixture& m, Phase phase, double t, double p, RangeNotes* notes = nullptr);
// Molecular weight (kg/kmol).
double molecular_weight(const Mixture& m);

double vapour_viscosity(const Mixture& m, double t, RangeNotes* notes = nullptr);
double vapour_conductivity(const Mixture& m, double t, RangeNotes* notes = nullptr);
double liquid_viscosity(const Mixture& m, double t, RangeNotes* notes = nullptr);
double liquid_conductivity(const Mixture& m, double t, RangeNotes* notes = nullptr);
double surface_tension(const Mixture& m, double t, RangeNotes* notes = nullptr);

}  // namespace kvt::reference
