// Henry's constants of gases dissolved in liquid water, and their temperature dependence: the
// correlation of the IAPWS Guideline on the Henry's Constant and Vapor-Liquid Distribution Constant
// for Gases in H2O and D2O at High Temperatures (IAPWS G7-04, 2004; R. Fernandez-Prini, J. L.
// Alvarez and A. H. Harvey, J. Phys. Chem. Ref. Data 32, 903 (2003)),
//   ln(kH / p1*) = A / Tr + B tau^0.355 / Tr + C Tr^-0.41 exp(tau),  Tr = T / 647.096 K, tau = 1 - Tr,
// p1* the vapour pressure of water. kH is the limit of f_i / x_i as x_i -> 0 in liquid water at its
// saturation pressure: a gas i of fugacity f_i dissolves to x_i = f_i / kH.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "data/databank.h"

namespace kvt::reference {

struct HenryGas {
  const char* cas;     // CAS registry number of the solute
  double a, b, c;      // A, B, C of the correlation above
  double tmin, tmax;   // K, the temperatures of the data the correlation was fitted to
};

// The constants of the solute with this CAS number, or nullptr when the table has none.
const HenryGas* henry_gas(std::string_view cas);

// ln kH (kH in Pa) at T (K): the correlation (water's vapour pressure from IAPWS-IF97) from 273.15 K
// (or the fitted range's bottom, where lower) to the range's top; beyond, ln kH continues linearly in
// 1/T with the correlation's value and slope there (the correlation itself fails at water's critical
// temperature). `outside` is set outside the fitted range.
double ln_henry_constant(const HenryGas& g, double t, bool* outside = nullptr);

// The gases of a component set that dissolve in its water by Henry's law: per component its constants
// (nullptr for water and for a component without), all nullptr when the set holds no water.
struct AqueousSolutes {
  int water = -1;
  std::vector<const HenryGas*> gas;
  bool any = false;  // some component has constants (found once: every phase of the equation asks)
};
AqueousSolutes aqueous_solutes(const std::vector<const Component*>& components);

// The water-rich liquid. A method gives a liquid's fugacity coefficients ln phi_i (Raoult's
// Psat_i / P under the ideal method, the equation's under Peng-Robinson); for a solute in water the
// fugacity is Henry's, f_i = x_i kH_i, i.e. ln phi_i = ln(kH_i / P). Each solute's ln phi_i moves
// toward Henry's by the weight liquid_weight * S(x_w), S a smooth step in water's mole fraction x_w
// from kWaterRich (0) to 1 (1): a water-rich liquid takes Henry's law (0.9997 of
// it at x_w = 0.98), a liquid of hydrocarbons with some water (the two sharing one liquid without free
// water: a third water, in a stream the flash sweeps) the method's own; continuous in composition,
// temperature and pressure, so the flash's iterations and the enthalpy (which carries no heat of
// solution: the solute's liquid enthalpy stays the method's) see no step. (With the weight x_w itself,
// such a shared liquid took a third of Henry's law, nitrogen's K rose tenfold in it, and near its
// bubble point at 38 MPa the equation's substitution no longer converged.)
void toward_henry(const AqueousSolutes& s, double xw, double t, double p, double liquid_weight, std::span<double> ln_phi);

}  // namespace kvt::reference
