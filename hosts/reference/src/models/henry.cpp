#include "models/henry.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "numerics/constants.h"
#include "data/correlation.h"
#include "data/iapws/if97.h"

namespace kvt::reference {

namespace {

// IAPWS G7-04, Table 2 (solutes in H2O): A, B, C and the temperature range of the data fitted, for
// the gases of the databank. (The guideline also gives He, Ne, Kr, Xe and SF6, which the databank
// does not hold.)
constexpr std::array kGases{
    HenryGas{"124-38-9", -8.55445, 4.01195, 9.52345, 274.19, 642.66},     // carbon dioxide
    HenryGas{"7783-06-4", -4.51499, 5.23538, 4.42126, 273.15, 533.09},    // hydrogen sulfide
    HenryGas{"74-82-8", -10.44708, 4.66491, 12.12986, 275.46, 633.11},    // methane
    HenryGas{"74-84-0", -19.67563, 4.51222, 20.62567, 275.44, 473.46},    // ethane
    HenryGas{"7727-37-9", -9.67578, 4.72162, 11.70585, 278.12, 636.46},   // nitrogen
    HenryGas{"7782-44-7", -9.44833, 4.43822, 11.42005, 274.15, 616.52},   // oxygen
    HenryGas{"1333-74-0", -4.73284, 6.08954, 6.06066, 273.15, 636.09},    // hydrogen
    HenryGas{"630-08-0", -10.52862, 5.13259, 12.01421, 278.15, 588.67},   // carbon monoxide
    HenryGas{"7440-37-1", -8.40954, 4.29587, 10.52779, 273.19, 568.36},   // argon
};

double correlation(const HenryGas& g, double t) {
  const double tr = t / if97::kTc, tau = 1.0 - tr;
  return std::log(if97::saturation_pressure(t)) + g.a / tr + g.b * std::pow(tau, 0.355) / tr +
         g.c * std::pow(tr, -0.41) * std::exp(tau);
}

}  // namespace

const HenryGas* henry_gas(std::string_view cas) {
  for (const HenryGas& g : kGases) {
    if (cas == g.cas) return &g;
  }
  return nullptr;
}

double ln_henry_constant(const HenryGas& g, double t, bool* outside) {
  if (outside != nullptr && (t < g.tmin || t > g.tmax)) *outside = true;
  // the correlation holds its form down to water's freezing point, a few kelvin below some gases' data
  const double bottom = std::min(g.tmin, if97::kTmin);
  if (t >= bottom && t <= g.tmax) return correlation(g, t);
  const double end = t < bottom ? bottom : g.tmax, d = 1e-3;
  const double slope = (correlation(g, end + d) - correlation(g, end - d)) / (1.0 / (end + d) - 1.0 / (end - d));
  return correlation(g, end) + slope * (1.0 / t - 1.0 / end);
}

AqueousSolutes aqueous_solutes(const std::vector<const Component*>& components) {
  AqueousSolutes s;
  s.gas.assign(components.size(), nullptr);
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (components[i]->name == "water") s.water = static_cast<int>(i);
  }
  if (s.water < 0) return s;
  for (std::size_t i = 0; i < components.size(); ++i) {
    s.gas[i] = henry_gas(components[i]->cas);
    s.any = s.any || s.gas[i] != nullptr;
  }
  return s;
}

void toward_henry(const AqueousSolutes& s, double xw, double t, double p, double liquid_weight, std::span<double> ln_phi) {
  if (s.water < 0) return;
  const double weight = liquid_weight * smooth_step((xw - kWaterRich) / (1.0 - kWaterRich));
  if (weight <= 0.0) return;
  for (std::size_t i = 0; i < s.gas.size(); ++i) {
    if (s.gas[i] != nullptr) ln_phi[i] += weight * (ln_henry_constant(*s.gas[i], t) - std::log(p) - ln_phi[i]);
  }
}

}  // namespace kvt::reference
