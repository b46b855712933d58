// Transport properties and surface tension of water and steam: viscosity (IAPWS R12-08, industrial
// use: no critical enhancement), thermal conductivity (IAPWS R15-11, industrial form with its
// critical enhancement) and surface tension (IAPWS R1-76(2014)). SI units.
#pragma once

#include "data/iapws/if97.h"

namespace kvt::reference::iapws {

// Viscosity (Pa s) at density rho (kg/m3) and T (K).
double viscosity(double rho, double t);

// Thermal conductivity (W/(m K)) of a state of the industrial formulation (its density, heat
// capacities and (d rho / d P) at constant T feed the critical enhancement).
double conductivity(const if97::State& s);

// Surface tension (N/m) of the saturated liquid at T (K); 0 at and above the critical temperature.
double surface_tension(double t);

}  // namespace kvt::reference::iapws
