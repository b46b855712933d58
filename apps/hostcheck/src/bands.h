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
  // A viscosity 1 000 times a value in the band is one in cP (mPa s).
  const bool cp = q == Quantity::Viscosity && v / 1000.0 >= b.lo && v / 1000.0 <= b.hi;
  return "expected " + num(b.lo) + ".." + num(b.hi) + " " + b.unit + " for a " + (liquid ? "liquid" : "gas") +
         "; found " + num(v) + (cp ? ": a viscosity in cP (mPa s)?" : "");
}

// A liquid of light components (mean molecular weight up to 150 kg/kmol: light hydrocarbons, water,
// alcohols, glycols) is at most 0.05 Pa s (50 cP) thin, unless it is a viscous associated liquid such as
// glycerol, whose viscosity falls steeply with temperature: exp(B/T) with B above 3 000 K, where light
// liquids have 800-2 000 K (n-hexane about 850 K, water about 1 800 K). A light liquid's viscosity in cP
// is 1 000 times its value with its own, gentle slope.
inline constexpr double kLightLiquidWeight = 150.0;     // kg/kmol
inline constexpr double kLightLiquidViscosity = 0.05;   // Pa s
inline constexpr double kViscousLiquidSlope = 3000.0;   // K
inline bool above_light_liquid(double mw, double viscosity) {
  return mw <= kLightLiquidWeight && viscosity > kLightLiquidViscosity;
}
// Empty unless the viscosity is a light liquid's in the wrong unit; b = d ln(viscosity) / d(1/T).
inline std::string outside_light_liquid(double mw, double viscosity, double b) {
  if (!above_light_liquid(mw, viscosity) || b >= kViscousLiquidSlope) return {};
  return "expected at most " + num(kLightLiquidViscosity) + " Pa s for a liquid of light components (molecular "
         "weight " + num(mw) + " kg/kmol), unless it falls with temperature as steeply as a viscous liquid's, "
         "exp(B/T) with B above " + num(kViscousLiquidSlope) + " K; found " + num(viscosity) + " Pa s with B = " +
         num(b) + " K: a viscosity in cP (mPa s)?";
}

}  // namespace kvt::hostcheck
