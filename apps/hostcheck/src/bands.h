// Physical bands a host's property values must lie in, whatever the substance: wide enough for every
// fluid a heat exchanger handles, narrow enough that a value in the wrong unit (cP for Pa s, per kg for
// per kmol, m3/mol for m3/kmol) falls outside. Units are the host's: K, Pa, kmol, J, m3, Pa s, W/(m K), N/m.
#pragma once

#include <cmath>
#include <string>

#include "report.h"

namespace kvt::hostcheck {

inline constexpr double kGasConstant = 8314.462618;  // J/(kmol K)

enum class Quantity { Conductivity, Viscosity, SurfaceTension, MassHeatCapacity, LiquidDensity };

struct Band {
  double lo, hi;
  const char* unit;
};

// Gases: viscosity 1e-6..1e-4 Pa s, conductivity 0.002..0.5 W/(m K). Liquids: viscosity 1e-5..10 Pa s,
// conductivity 0.03..1 W/(m K), surface tension 0..0.1 N/m, density 50..3000 kg/m3. Heat capacity per
// unit mass, either phase: 300..16000 J/(kg K).
inline Band band(Quantity q, bool liquid) {
  switch (q) {
    case Quantity::Conductivity: return liquid ? Band{0.03, 1.0, "W/(m K)"} : Band{0.002, 0.5, "W/(m K)"};
    case Quantity::Viscosity: return liquid ? Band{1e-5, 10.0, "Pa s"} : Band{1e-6, 1e-4, "Pa s"};
    case Quantity::SurfaceTension: return {0.0, 0.1, "N/m"};
    case Quantity::MassHeatCapacity: return {300.0, 16000.0, "J/(kg K)"};
    case Quantity::LiquidDensity: return {50.0, 3000.0, "kg/m3"};
  }
  return {0.0, 0.0, ""};
}

// Empty when v lies in the band, else the finding's "expected ...; found ..." part.
inline std::string outside_band(Quantity q, bool liquid, double v) {
  const Band b = band(q, liquid);
  if (std::isfinite(v) && v >= b.lo && v <= b.hi) return {};
  return "expected " + num(b.lo) + ".." + num(b.hi) + " " + b.unit + " for a " + (liquid ? "liquid" : "gas") +
         "; found " + num(v);
}

}  // namespace kvt::hostcheck
