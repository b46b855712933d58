#include "columns.h"

namespace hxprops {

namespace {

Figure scaled(const Figure& f, double factor) {
  Figure out = f;
  if (out.value) *out.value *= factor;
  return out;
}

constexpr StreamColumn kStreamColumns[] = {
    {"temperature", "T", "K", 2, [](const CurvePoint& p) { return p.temperature; }},
    {"duty", "duty", "kW", 2, [](const CurvePoint& p) { return p.duty * 1.0e-3; }},
    {"vapour_fraction", "vap.frac", "mol/mol", 4, [](const CurvePoint& p) { return p.vapour_fraction; }},
};

constexpr PhaseColumn kPhaseColumns[] = {
    {"mass_fraction", "mass frac", "kg/kg", false,
     [](const PhaseFigures& f) -> Figure {
       if (!f.present) return {};
       return {f.mass_fraction, false};
     }},
    {"mass_flow", "flow", "kg/s", false, [](const PhaseFigures& f) { return f.mass_flow; }},
    {"molecular_weight", "MW", "kg/kmol", false, [](const PhaseFigures& f) { return f.molecular_weight; }},
    {"heat_capacity", "Cp", "kJ/(kg K)", false, [](const PhaseFigures& f) { return scaled(f.heat_capacity, 1.0e-3); }},
    {"thermal_conductivity", "k", "W/(m K)", false, [](const PhaseFigures& f) { return f.conductivity; }},
    {"viscosity", "mu", "mPa s", false, [](const PhaseFigures& f) { return scaled(f.viscosity, 1.0e3); }},
    {"surface_tension", "sigma", "mN/m", true, [](const PhaseFigures& f) { return scaled(f.surface_tension, 1.0e3); }},
    {"density", "rho", "kg/m3", false, [](const PhaseFigures& f) { return f.density; }},
    {"heat_of_vaporisation", "dHvap", "kJ/kg", true,
     [](const PhaseFigures& f) { return scaled(f.heat_of_vaporisation, 1.0e-3); }},
};

}  // namespace

std::span<const StreamColumn> stream_columns() { return kStreamColumns; }
std::span<const PhaseColumn> phase_columns() { return kPhaseColumns; }

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
