#include "output/columns.h"

namespace hxprops {

namespace {

using D = Dimension;

constexpr StreamColumn kStreamColumns[] = {
    {"temperature", "T", D::Temperature, 2, [](const CurvePoint& p) { return p.temperature; }},
    {"pressure", "P", D::Pressure, -1, [](const CurvePoint& p) { return p.pressure; }},
    {"duty", "duty", D::Power, 2, [](const CurvePoint& p) { return p.duty; }},
    {"enthalpy", "h", D::SpecificEnergy, 2, [](const CurvePoint& p) { return p.enthalpy; }},
    {"vapour_fraction", "vap.frac", D::MoleFraction, 4, [](const CurvePoint& p) { return p.vapour_fraction; }},
};

constexpr PhaseColumn kPhaseColumns[] = {
    {"mass_fraction", "mass frac", D::MassFraction, false,
     [](const PhaseFigures& f) -> Figure {
       if (!f.present) return {};
       return {f.mass_fraction, false};
     }},
    {"mass_flow", "flow", D::MassFlow, false, [](const PhaseFigures& f) { return f.mass_flow; }},
    {"molecular_weight", "MW", D::MolarMass, false, [](const PhaseFigures& f) { return f.molecular_weight; }},
    {"heat_capacity", "Cp", D::SpecificHeat, false, [](const PhaseFigures& f) { return f.heat_capacity; }},
    {"thermal_conductivity", "k", D::Conductivity, false, [](const PhaseFigures& f) { return f.conductivity; }},
    {"viscosity", "mu", D::Viscosity, false, [](const PhaseFigures& f) { return f.viscosity; }},
    {"surface_tension", "sigma", D::SurfaceTension, true, [](const PhaseFigures& f) { return f.surface_tension; }},
    {"density", "rho", D::Density, false, [](const PhaseFigures& f) { return f.density; }},
    {"heat_of_vaporisation", "dHvap", D::SpecificEnergy, true,
     [](const PhaseFigures& f) { return f.heat_of_vaporisation; }},
};

}  // namespace

std::span<const StreamColumn> stream_columns() { return kStreamColumns; }
std::span<const PhaseColumn> phase_columns() { return kPhaseColumns; }
bool applies(const PhaseColumn& col, Phase ph) { return !col.liquids_only || is_liquid(ph); }

std::string_view csv_phase_name(Phase p) {
  switch (p) {
    case Phase::Vapour: return "vapour";
    case Phase::Liquid: return "liquid";
    case Phase::Liquid1: return "liquid1";
    case Phase::Liquid2: return "liquid2";
    case Phase::Stream: break;
  }
  return "stream";
}

}  // namespace hxprops
