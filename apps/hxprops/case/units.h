// Units of hxprops: the one table of the units a case file may use and the program prints, with
// their conversion to the host's SI units (K, Pa, kmol/s, kg/s, W, J/kg, ...).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hxprops {

enum class Dimension {
  Temperature,
  TemperatureDifference,
  Pressure,
  MoleFlow,
  MassFlow,
  Power,
  SpecificHeat,
  Viscosity,
  SurfaceTension,
  Density,
  SpecificEnergy,
  Conductivity,
  MolarMass,
  MoleFraction,
  MassFraction,
  ThermalConductance,  // UA
};

// value in SI = value in the unit * factor + offset
struct Unit {
  std::string_view name;
  Dimension dimension;
  double factor;
  double offset = 0.0;
};

// The printed units: SI (K, Pa, W, J/(kg K), Pa s, ...) or an engineer's (degC, bar, kW, kJ/(kg K),
// mPa s, mN/m, kJ/kg, ...).
enum class UnitSystem { SI, Engineering };
std::optional<UnitSystem> unit_system_from_name(std::string_view name);

const Unit& output_unit(Dimension d, UnitSystem system);
double to_unit(double si, const Unit& u);
double from_unit(double value, const Unit& u);

// A unit of the table by name, of the given dimension; none when unknown or of another dimension.
std::optional<Unit> find_unit(std::string_view name, Dimension d);
// The names of the units of a dimension, comma separated (for messages).
std::string unit_names(Dimension d);

// "120 degC" -> the number and the unit name; none when the text is not a number, blanks and a word.
struct QuantityText {
  double value;
  std::string unit;
};
std::optional<QuantityText> split_quantity(std::string_view text);

// A pressure level as a file name part in the printed unit of the system, eight significant digits:
// "2.5bar", "250000Pa".
std::string level_name(double pressure, UnitSystem system);

}  // namespace hxprops

namespace hxprops {

// A value in SI as text in the printed unit of the system: "146.85 degC" (fixed decimals), or with
// six significant digits when decimals is negative.
std::string quantity_text(double si, Dimension d, UnitSystem system, int decimals = 2);

}  // namespace hxprops
