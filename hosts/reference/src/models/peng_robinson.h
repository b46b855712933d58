// The Peng-Robinson equation of state (1976) with each component's alpha function from the databank
// (Twu's form, fitted there to the component's vapour pressure; without one, the 1976 kappa, the 1978
// one for acentric factors above 0.491), van der Waals one-fluid mixing and binary interaction
// parameters k_ij:
//   P = RT / (v - b) - a / (v (v + b) + b (v - b)),  a = sum_ij x_i x_j (a_i a_j)^(1/2) (1 - k_ij),
//   b = sum_i x_i b_i.
// It gives fugacity coefficients, the compressibility factor and the residual enthalpy of a phase
// (the tangent-plane test of a composition's stability: stability.h).
#pragma once

#include <span>
#include <vector>

#include "data/databank.h"
#include "models/henry.h"

namespace kvt::reference {

// A component's liquid correction D_i(T) from Tr = kMeasuredLiquidEnd on (see liquid_correction),
// found once with the equation: D_i = end + slope u + bend u^2, u = T - T_end, up to Tr =
// kSaturatedLiquidEnd, then straight on with the slope it has there.
struct CorrectionLine {
  double end = 0.0;    // D_i at Tr = kMeasuredLiquidEnd, J/kmol
  double slope = 0.0;  // dD_i/dT there, J/(kmol K)
  double bend = 0.0;   // J/(kmol K^2)
};

struct PengRobinson {
  std::vector<const Component*> components;
  std::vector<double> kij;    // n x n, row-major, symmetric, zero diagonal
  std::vector<double> shift;  // volume translation c_i, m3/kmol: v = v_equation - sum x_i c_i
  // per component, for the liquid correction (add_liquid_correction; empty without it): its
  // continuation near Tc and its measured liquid's path
  std::vector<CorrectionLine> line = {};
  std::vector<LiquidPathKnots> path = {};
  // gases that dissolve in the water of the set by Henry's law (the method's own systems; none
  // without): in a water-rich liquid their fugacity is Henry's rather than the equation's (henry.h)
  AqueousSolutes aqueous = {};
};

// The equation for these components, k_ij from the databank's interaction table (0 where it has none)
// and each component's volume translation (Peneloux, Rauzy, Freze 1982): the constant c_i that makes
// the saturated liquid's volume at Tr = 0.7 that of the databank's liquid-density correlation. It
// moves no phase equilibrium (ln phi_i shifts by c_i P / RT in every phase) and brings the
// equation's gas volumes closer too.
PengRobinson peng_robinson(const std::vector<const Component*>& components, const Databank& db);

// Which root of the cubic a phase takes: the largest compressibility factor, the smallest, or the
// one of lower Gibbs energy.
enum class Root { kVapour, kLiquid, kStable };

struct PrPhase {
  double z = 1.0;        // compressibility factor, translated
  double h_res = 0.0;    // residual enthalpy H - H_ideal-gas, J/kmol, translated
  bool vapour_like = true;  // the larger of three roots, or a single root less dense than critical
  // How far the phase is a liquid, 0 to 1: a smooth step in the equation's packing b / v from the
  // pure fluid's critical packing (0) to kDenseLiquidPacking (1). It carries the measured liquid's
  // share of a phase's enthalpy correction, volume and transport properties, so that one fluid
  // above its critical point, whether counted liquid-like or vapour-like, has one continuous path.
  double liquid_weight = 0.0;
  std::vector<double> ln_phi;
};

// The phase of mole fractions x (normalised here) at T (K) and P (Pa).
PrPhase pr_phase(const PengRobinson& pr, double t, double p, std::span<const double> x, Root root);

// The liquid's enthalpy correction, J/kmol: sum_i x_i D_i(T), where D_i brings the equation's pure
// saturated liquid onto the measured one. The measured path runs as the ideal method's does, from
// its anchor (here the normal boiling point, or Tr = kEquationAnchor if that is later) along the
// liquid heat-capacity correlation, but starts from the equation's saturated
// vapour (ideal gas plus residual) less the heat of vaporisation; beyond the top of the heat-capacity
// correlation it follows the heat-of-vaporisation correlation under the equation's vapour. So under
// this method the liquid heat capacity is the measured one and H_V - H_L at saturation follows the
// heat-of-vaporisation correlation, with the pressure dependence of the equation in both phases.
// From the reduced temperature kMeasuredLiquidEnd on, D_i continues along its straight line bent by
// a parabola onto the saturated liquid's own difference at kSaturatedLiquidEnd (the equation's latent
// heat at its own saturation pressure less the heat-of-vaporisation correlation), so that a pure
// component's latent heat is the correlation's there and close to it between; the bend may change
// the liquid's heat capacity by at most kSaturatedLiquidBend of the measured one at
// kMeasuredLiquidEnd. Beyond kSaturatedLiquidEnd D_i continues linearly: nearer Tc both saturated
// liquids turn singular, a liquid of several components there does not, and the equation carries it.
// The components' lines and paths need add_liquid_correction first (the method's own systems; an
// equation for other uses goes without).
void add_liquid_correction(PengRobinson& pr);
double liquid_correction(const PengRobinson& pr, std::span<const double> x, double t);

}  // namespace kvt::reference
