// Water and steam by the IAPWS Industrial Formulation 1997 (IAPWS R7-97(2012)): the Gibbs equations of
// regions 1 (liquid), 2 (vapour) and 5 (high-temperature vapour), the Helmholtz equation of region 3
// (near-critical, solved for the density at given T and P), the saturation line (region 4) and the
// 2-3 boundary. Region 5 (above 1073.15 K) extends the vapour to 2273.15 K at pressures up to 50 MPa.
// A state outside the formulation is evaluated with the nearest region's equation (below 273.15 K:
// the state at 273.15 K with its enthalpy continued by the heat capacity there) and reported out of
// range.
//
// Specific quantities, SI: K, Pa, kg/m3, m3/kg, J/kg, J/(kg K). Enthalpy is on the formulation's own
// reference (internal energy and entropy of the saturated liquid at the triple point are zero).
#pragma once

namespace kvt::reference::if97 {

inline constexpr double kR = 461.526;     // J/(kg K), specific gas constant of the formulation
inline constexpr double kTc = 647.096;    // K
inline constexpr double kPc = 22.064e6;   // Pa
inline constexpr double kRhoc = 322.0;    // kg/m3
inline constexpr double kTmin = 273.15;   // K, lower end of the formulation
inline constexpr double kTmax = 1073.15;  // K, upper end of regions 1-3
inline constexpr double kPmax = 100.0e6;  // Pa, up to kTmax
inline constexpr double kTmax5 = 2273.15; // K, upper end of region 5
inline constexpr double kPmax5 = 50.0e6;  // Pa, in region 5

// Saturation pressure (Pa) at T in 273.15..647.096 K. Outside, the equation is evaluated as it stands
// (callers check).
double saturation_pressure(double t);

// The phase asked for at (T, P): decides which root of region 3 is taken and, below the critical
// temperature, what a state on the other side of the saturation line is: a liquid below its
// saturation pressure is taken as saturated liquid; a vapour above it (held below its boiling point)
// is evaluated at its pressure, by region 2's second-virial form joined to region 2 at the saturation
// pressure (up to 623.15 K, and flagged as outside the formulation; above, the saturated vapour).
enum class Side { kLiquid, kVapour };

struct State {
  bool in_range = true;  // false: T or P outside the formulation, or region 3 found no root
  double t = 0.0, p = 0.0;  // where the state was evaluated (P moved to the saturation line if asked,
                            // T held at 273.15 K below it)
  double rho = 0.0;      // kg/m3
  double h = 0.0;        // J/kg
  double cp = 0.0;       // J/(kg K)
  double cv = 0.0;       // J/(kg K)
  double drho_dp = 0.0;  // (d rho / d P) at constant T, kg/(m3 Pa)
  double dh_dp = 0.0;    // (d h / d P) at constant T, m3/kg
};

State state(double t, double p, Side side);

// Enthalpy (J/kg) of the ideal gas of region 2 (the ideal part of its Gibbs equation).
double ideal_gas_enthalpy(double t);

// Boundary between regions 2 and 3: the pressure (Pa) at T in 623.15..863.15 K.
double boundary_23_pressure(double t);

}  // namespace kvt::reference::if97
