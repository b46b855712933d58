#include "case/units.h"

#include <charconv>
#include <cmath>

#include "base/number_text.h"

namespace hxprops {

namespace {

using D = Dimension;

constexpr double kFahrenheit = 5.0 / 9.0;

constexpr Unit kUnits[] = {
    {"K", D::Temperature, 1.0},
    {"degC", D::Temperature, 1.0, 273.15},
    {"degF", D::Temperature, kFahrenheit, 273.15 - 32.0 * kFahrenheit},
    {"K", D::TemperatureDifference, 1.0},
    {"Pa", D::Pressure, 1.0},
    {"kPa", D::Pressure, 1.0e3},
    {"bar", D::Pressure, 1.0e5},
    {"MPa", D::Pressure, 1.0e6},
    {"atm", D::Pressure, 101325.0},
    {"psi", D::Pressure, 6894.757293168},
    {"kmol/s", D::MoleFlow, 1.0},
    {"kmol/h", D::MoleFlow, 1.0 / 3600.0},
    {"mol/s", D::MoleFlow, 1.0e-3},
    {"kg/s", D::MassFlow, 1.0},
    {"kg/h", D::MassFlow, 1.0 / 3600.0},
    {"t/h", D::MassFlow, 1.0 / 3.6},
    {"W", D::Power, 1.0},
    {"kW", D::Power, 1.0e3},
    {"MW", D::Power, 1.0e6},
    {"J/(kg K)", D::SpecificHeat, 1.0},
    {"kJ/(kg K)", D::SpecificHeat, 1.0e3},
    {"Pa s", D::Viscosity, 1.0},
    {"mPa s", D::Viscosity, 1.0e-3},
    {"N/m", D::SurfaceTension, 1.0},
    {"mN/m", D::SurfaceTension, 1.0e-3},
    {"kg/m3", D::Density, 1.0},
    {"J/kg", D::SpecificEnergy, 1.0},
    {"kJ/kg", D::SpecificEnergy, 1.0e3},
    {"W/(m K)", D::Conductivity, 1.0},
    {"kg/kmol", D::MolarMass, 1.0},
    {"mol/mol", D::MoleFraction, 1.0},
    {"kg/kg", D::MassFraction, 1.0},
    {"W/K", D::ThermalConductance, 1.0},
    {"kW/K", D::ThermalConductance, 1.0e3},
};

// The printed unit of each dimension: SI, engineering.
struct Printed {
  D dimension;
  std::string_view si;
  std::string_view engineering;
};
constexpr Printed kPrinted[] = {
    {D::Temperature, "K", "degC"},       {D::TemperatureDifference, "K", "K"}, {D::Pressure, "Pa", "bar"},
    {D::MoleFlow, "kmol/s", "kmol/h"},   {D::MassFlow, "kg/s", "kg/s"},         {D::Power, "W", "kW"},
    {D::SpecificHeat, "J/(kg K)", "kJ/(kg K)"}, {D::Viscosity, "Pa s", "mPa s"}, {D::SurfaceTension, "N/m", "mN/m"},
    {D::Density, "kg/m3", "kg/m3"},      {D::SpecificEnergy, "J/kg", "kJ/kg"},  {D::Conductivity, "W/(m K)", "W/(m K)"},
    {D::MolarMass, "kg/kmol", "kg/kmol"}, {D::MoleFraction, "mol/mol", "mol/mol"}, {D::MassFraction, "kg/kg", "kg/kg"},
    {D::ThermalConductance, "W/K", "kW/K"},
};

}  // namespace

std::optional<UnitSystem> unit_system_from_name(std::string_view name) {
  if (name == "si") return UnitSystem::SI;
  if (name == "engineering") return UnitSystem::Engineering;
  return std::nullopt;
}

const Unit& output_unit(Dimension d, UnitSystem system) {
  for (const Printed& p : kPrinted) {
    if (p.dimension != d) continue;
    const std::string_view name = system == UnitSystem::SI ? p.si : p.engineering;
    for (const Unit& u : kUnits) {
      if (u.dimension == d && u.name == name) return u;
    }
  }
  return kUnits[0];  // not reached: every dimension has its printed units in the table
}

double to_unit(double si, const Unit& u) { return (si - u.offset) / u.factor; }
double from_unit(double value, const Unit& u) { return value * u.factor + u.offset; }

std::optional<Unit> find_unit(std::string_view name, Dimension d) {
  for (const Unit& u : kUnits) {
    if (u.dimension == d && u.name == name) return u;
  }
  return std::nullopt;
}

std::string unit_names(Dimension d) {
  std::string names;
  for (const Unit& u : kUnits) {
    if (u.dimension == d) names += (names.empty() ? "" : ", ") + std::string(u.name);
  }
  return names;
}

std::optional<QuantityText> split_quantity(std::string_view text) {
  const auto blank = [](char ch) { return ch == ' ' || ch == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  QuantityText q{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), q.value);
  if (ec != std::errc() || end == text.data()) return std::nullopt;
  std::string_view rest(end, static_cast<std::size_t>(text.data() + text.size() - end));
  if (rest.empty() || !blank(rest.front())) return std::nullopt;
  while (!rest.empty() && blank(rest.front())) rest.remove_prefix(1);
  q.unit = std::string(rest);
  return q;
}

std::string level_name(double pressure, UnitSystem system) {
  const Unit& u = output_unit(Dimension::Pressure, system);
  return number_text(to_unit(pressure, u), 8) + std::string(u.name);
}

}  // namespace hxprops

#include <cstdio>

namespace hxprops {

std::string quantity_text(double si, Dimension d, UnitSystem system, int decimals) {
  const Unit& u = output_unit(d, system);
  char buf[64];
  if (decimals < 0) std::snprintf(buf, sizeof buf, "%.6g", to_unit(si, u));
  else std::snprintf(buf, sizeof buf, "%.*f", decimals, to_unit(si, u));
  return std::string(buf) + " " + std::string(u.name);
}

}  // namespace hxprops
