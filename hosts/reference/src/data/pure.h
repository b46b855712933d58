// Pure-component properties of the ideal-solution method, built on the databank correlations.
//
// Enthalpy is referred to the ideal gas at 298.15 K. The ideal gas's is the integral of the ideal-gas
// heat capacity; the method's vapour adds Lee and Kesler's residual enthalpy at its T and P
// (lee_kesler.h). The liquid's runs along one path per component (liquid_path, below): at the anchor
// (the normal boiling point, held inside the liquid heat-capacity correlation's range) it is the
// saturated vapour's (that residual at the vapour pressure) less the heat of vaporisation, and from
// there it is the integral of a continuous liquid heat capacity, the measured one over the
// correlation's range, bent near the critical point onto the saturated vapour less the heat of
// vaporisation (near_critical_bend). The latent heat H_V - H_L follows its correlation as far as the
// tables agree among themselves (see the README for the figures).
//
// Above the critical temperature (a light component dissolved in a liquid) the method continues the
// vapour pressure as ln P linear in 1/T from the end of its correlation (the Clausius-Clapeyron
// slope there) and continues the liquid volume (see liquid_molar_volume). This continuation is part of the
// method and is not reported. Every other evaluation outside a correlation's range is flagged
// through `outside`.
#pragma once

#include <functional>
#include <string>

#include "numerics/constants.h"
#include "data/component.h"

namespace kvt::reference {

inline constexpr double kReferenceT = 298.15;        // K

// Temperature range in which a component's flash correlations (vapour pressure or its continuation,
// ideal-gas heat capacity, heat of vaporisation, liquid density) hold.
struct TRange {
  double min;
  double max;
};
TRange flash_range(const Component& c);

// Every function sets *outside to true (never to false) when it evaluates a correlation outside its
// documented range; pass nullptr to ignore.
double ln_vapour_pressure(const Component& c, double t, bool* outside = nullptr);       // ln Pa
double dln_vapour_pressure_dt(const Component& c, double t);                             // 1/K
double vapour_enthalpy(const Component& c, double t, bool* outside = nullptr);          // J/kmol
double vapour_cp(const Component& c, double t, bool* outside = nullptr);                // J/(kmol K)
double heat_of_vaporisation(const Component& c, double t, bool* outside = nullptr);     // J/kmol
double dheat_of_vaporisation_dt(const Component& c, double t);                           // J/(kmol K)
// Temperature at which the liquid enthalpy path starts from the vapour less the heat of vaporisation.
double liquid_anchor(const Component& c);                                                 // K
double liquid_enthalpy(const Component& c, double t, bool* outside = nullptr);          // J/kmol
double liquid_cp(const Component& c, double t, bool* outside = nullptr);                // J/(kmol K), dH/dT

// The measured liquid of one component, under either method: its saturated vapour (the ideal gas,
// or the equation's vapour at the vapour pressure) gives the liquid at the anchor, less the heat of
// vaporisation; from there the liquid heat capacity is integrated:
// - below the liquid heat-capacity correlation's range, its excess over the ideal gas's, held;
// - within it, the correlation;
// - above it, the saturation path (the vapour's heat capacity less the slope of the heat of
//   vaporisation), reached from the correlation's value at its top by a smooth step over the next
//   kLiquidJoinWidth* kelvins (the two seldom agree there), flagged as outside the correlation's range;
// - above Tr = kMeasuredLiquidEnd, the excess over the ideal gas's there, held: nearer the critical
//   point the saturated liquid's heat capacity grows without bound (and the heat of vaporisation's
//   slope with it), which a compressed liquid, or a component dissolved in a liquid of others above
//   its own critical temperature, does not show.
// So the heat capacity is continuous everywhere and is the cited correlation's over its range (to Tr 0.9).
struct SaturatedVapour {
  std::function<double(const Component&, double)> h;   // J/kmol
  std::function<double(const Component&, double)> cp;  // its temperature derivative
};
// The path's fixed points (databank.h: LiquidPathKnots) for one saturated vapour, worked out once,
// and the path's enthalpy at t from them.
LiquidPathKnots liquid_path_knots(const Component& c, double anchor, const SaturatedVapour& vapour);
double liquid_path(const Component& c, double t, const LiquidPathKnots& knots, const SaturatedVapour& vapour, bool* outside);
// Near its critical point a pure component's liquid passes from its path's straight continuation
// beyond Tr = kMeasuredLiquidEnd onto its saturated liquid (its saturated vapour less the
// heat-of-vaporisation correlation) at Tr = kSaturatedLiquidEnd by a parabola, bend u^2 with u = T -
// kMeasuredLiquidEnd Tc, then continues straight with the slope it has there. The bend meets `miss`
// (the saturated liquid less the straight continuation at kSaturatedLiquidEnd) as far as it changes
// the liquid's heat capacity by at most kSaturatedLiquidBend of `cp_end`, the heat capacity at
// kMeasuredLiquidEnd. The same under both methods (peng_robinson.h: the liquid correction).
double near_critical_bend(const Component& c, double miss, double cp_end);    // J/(kmol K^2)
double near_critical_bent(const Component& c, double t, double bend);         // J/kmol, 0 below the end
double near_critical_bent_slope(const Component& c, double t, double bend);   // its temperature derivative
// The ideal method's saturated vapour: the ideal gas plus Lee and Kesler's residual at the vapour
// pressure.
const SaturatedVapour& ideal_method_vapour();
// The ideal method's path of c (Component::ideal_liquid), bent near the critical point onto its
// saturated vapour less the heat of vaporisation; not ready for water, whose liquid is its own.
LiquidPathKnots ideal_liquid_knots(const Component& c);
// The saturated liquid's volume to Tr = kLiquidVolumeEnd, then linear in T up to the critical volume
// and held there.
double liquid_molar_volume(const Component& c, double t, bool* outside = nullptr);      // m3/kmol

// Transport properties: evaluated at T held inside the correlation's range (the boundary value
// outside it, flagged; for the liquid properties of a component above its critical temperature the
// held value is part of the method and not flagged).
double liquid_viscosity(const Component& c, double t, bool* outside = nullptr);         // Pa s
double vapour_viscosity(const Component& c, double t, bool* outside = nullptr);         // Pa s
double liquid_conductivity(const Component& c, double t, bool* outside = nullptr);      // W/(m K)
double vapour_conductivity(const Component& c, double t, bool* outside = nullptr);      // W/(m K)
double surface_tension(const Component& c, double t, bool* outside = nullptr);          // N/m

}  // namespace kvt::reference
