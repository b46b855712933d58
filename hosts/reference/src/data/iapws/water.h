// Water in the reference host's units (per kmol, with the databank's molecular weight) from the
// industrial formulation and the IAPWS transport and surface-tension equations.
//
// Enthalpy reference: the host refers every enthalpy to the ideal gas at 298.15 K. Water's
// enthalpy is the formulation's own less the enthalpy of its ideal gas (the ideal part of region 2)
// at 298.15 K, so steam at low pressure and 298.15 K has zero enthalpy and liquid water lies one
// heat of vaporisation (plus the vapour's departure from the ideal gas) below it, as for every
// other component.
#pragma once

#include "data/component.h"
#include "data/iapws/if97.h"

namespace kvt::reference::water {

// True for the component the databank lists with formula H2O.
bool is_water(const Component& c);

// Saturation pressure as ln Pa and its temperature derivative. Beyond the saturation line's ends
// (273.15 K, the critical point) ln P continues linearly in 1/T with the slope at that end, as the
// host does for every component; below 273.15 K that is flagged, above the critical point it is part
// of the method.
double ln_saturation_pressure(double t, bool* outside = nullptr);
double dln_saturation_pressure_dt(double t);

struct Molar {
  double h = 0.0;   // J/kmol
  double cp = 0.0;  // J/(kmol K)
  double v = 0.0;   // m3/kmol
  double mu = 0.0;  // Pa s
  double k = 0.0;   // W/(m K)
};

// What a caller takes of water: kThermo leaves the transport properties (mu, k) at zero, whose
// equations cost as much as the formulation itself and which an enthalpy, heat capacity or volume
// of a mixture does not need.
enum class Need { kAll, kThermo };

// Water at (T, P) on the asked side (a phase on the wrong side of the saturation line is taken at
// the line: the incipient phase). P <= 0 asks for the saturated phase at T; its cp is then the
// temperature derivative of the saturated enthalpy (the derivative along the line), so that the
// heat capacity stays the derivative of the enthalpy reported. *outside is raised (never cleared)
// when (T, P) lies outside the formulation.
Molar at(const Component& c, double t, double p, if97::Side side, bool* outside = nullptr, Need need = Need::kAll);

// Surface tension (N/m) at T; 0 above the critical temperature.
double surface_tension(double t, bool* outside = nullptr);

}  // namespace kvt::reference::water
