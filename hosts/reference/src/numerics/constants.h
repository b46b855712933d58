// The reference host's numbers that carry a choice: estimates, method limits, and each solver's
// tolerance and cap, with the source of the value or the reason for it. Physical constants of a
// formulation (the equation's Omega_a, IF97's coefficients) stay with that formulation; the molar
// gas constant, which every layer's formulations share, is here.
#pragma once

#include "numerics/solver.h"

namespace kvt::reference {

inline constexpr double kGasConstant = 8314.462618;  // J/(kmol K), CODATA 2018

// ---- Estimates ---------------------------------------------------------------------------------

// Wilson's (1968) estimate of the equilibrium ratios, K_i = (Pc_i / P) exp(s (1 + omega_i)(1 - Tc_i / T)),
// with s = 5.373 = (7/3) ln 10, the slope that the acentric factor's definition gives a vapour-pressure
// curve through the critical point and Tr = 0.7.
inline constexpr double kWilsonSlope = 5.373;

// ---- Where a method is weak ---------------------------------------------------------------------

// Above this pressure (Pa) the ideal-solution method notes that it is out of its depth: Raoult's law
// and an ideal-gas vapour misplace propane/n-butane/n-pentane bubble and dew points by 2.3 K and
// 1.1 K and the dew vapour density by 11 % at 0.5 MPa, three times that at 2 MPa (host README).
inline constexpr double kIdealPressureLimit = 5e5;

// The NRTL method notes a liquid more than this (K) outside the temperatures its pairs' 1 atm data
// covered (from the lower to the higher normal boiling point of the pair): within it the
// parameters' 1/T dependence carries a liquid's subcooling in a condenser; beyond it the activity
// coefficients are an extrapolation the data never tested.
inline constexpr double kNrtlSpanMargin = 50.0;

// ---- Solvers: tolerances and caps ---------------------------------------------------------------

// Rachford-Rice for the vapour fraction: Newton's method kept inside a bisection bracket; converged
// when the step or the bracket is within a few ulps of a fraction near 1. The bracket halves at
// least every other step, so 200 steps cannot be needed short of a broken function.
inline constexpr Stopping kRachfordRice{"the Rachford-Rice solve", 1e-15, 200};

// Successive substitution of the equilibrium ratios (Peng-Robinson), on the largest change of ln K:
// 1e-11 puts the fugacities of both phases equal to about 1e-11 relative, far below what a
// duty or a boundary temperature can show. Plain substitution converges linearly, slowly near a
// critical point; the cap bounds that.
inline constexpr Stopping kSubstitution{"the successive substitution of the equilibrium ratios", 1e-11, 500};

// Both run plain substitution for this many steps, then Newton's method (the split on its Gibbs energy,
// split_newton.h; the stability test on ln W, fixed_point.h): substitution
// alone converges in 5 to 15 steps away from critical points, and near one slows without bound (the
// methane/n-butane sweep of the host's tests: 19 of 2 625 stability tests past 300 steps).
inline constexpr int kPlainSteps = 20;

// The water the vapour holds beside free water under Peng-Robinson (flash_model.cpp): secant steps
// inside a bracket, the organics split again at each, on the change of its amount relative to the
// feed's water. The secant converges in a few steps; where the split jumps (a nearly pure organic
// condensing) the bracket halves every other step, 1e-12 of [0, z_w] in under 90; the cap bounds that.
inline constexpr Stopping kFreeWaterVapour{"the search for the vapour's water beside free water", 1e-12, 200};

// The tangent-plane test's iteration on ln W_i (Michelsen 1982), on the largest change of ln W. Near
// a mixture's critical locus a trial can descend a long, flat valley of the tangent-plane distance
// for over a thousand steps (methane/n-butane at 5-8 MPa: 40 of 57 950 states past 300 steps); the
// cap bounds that, at a few milliseconds.
inline constexpr Stopping kStability{"the stability test", 1e-10, 2000};
// A trial phase whose normalised composition lies within this (sum of absolute differences) of the
// feed is the trivial solution, and a tangent-plane distance must exceed 0 by this much
// (sum W > 1 + this) to count as unstable.
inline constexpr double kTrivialDistance = 1e-4;
inline constexpr double kStabilityMargin = 1e-8;
// A stability trial whose tangent-plane distance is positive and has not once fallen by more than
// kStallShare of itself in kStallSteps steps has reached its least value (stability.cpp): at the
// pace it keeps it would need a million such spans to reach zero, and near zero, where the answer
// turns on it, the bound shrinks with it.
inline constexpr double kStallShare = 1e-6;
inline constexpr int kStallSteps = 20;
// A split whose ratios all lie within this of 1 (largest |ln K|) has collapsed onto the feed.
inline constexpr double kTrivialSpread = 1e-4;

// The NRTL liquid. Substitution of K_i = gamma_i Psat_i / P (and of the incipient liquid of a
// vapour) on the largest change of ln K, as for the equation above. The liquid-liquid test on ln W
// from a trial rich in each component. The liquid-liquid split, substitution of K_i = gamma1_i /
// gamma2_i, converges linearly at a rate that tends to 1 at a plait point (0.999 a step within a few
// K of one), so after kLiquidSplitPlainSteps it turns to Newton's method on the Gibbs energy
// (nrtl_split_newton.h), quadratic there; the cap bounds the substitution that takes over should
// Newton's method fail, each step one activity evaluation of both liquids.
inline constexpr Stopping kActivitySubstitution{"the NRTL vapour-liquid substitution", 1e-10, 500};
// The test decides only the sign of the tangent-plane distance, found negative as soon as an iterate
// has it so; a stable liquid's trials settle onto the feed or a stationary point of positive
// distance, where 1e-6 in ln W leaves the distance's sign no longer in doubt.
inline constexpr Stopping kLiquidStability{"the NRTL liquid-liquid stability test", 1e-6, 300};
// A liquid-liquid trial of positive distance tm whose gradient along W - z (beta) is below this and
// with 2 tm / beta within kTrivialRatio of 1 is closing on the feed along its quadratic bowl: it is
// taken as the trivial solution there, some five steps before it would come within
// kTrivialDistance of it.
inline constexpr double kTrivialApproach = 1e-4;
inline constexpr double kTrivialRatio = 0.2;
inline constexpr Stopping kLiquidSplit{"the NRTL liquid-liquid split", 1e-10, 5000};
// Plain substitution steps of the liquid-liquid split before Newton's method takes over.
inline constexpr int kLiquidSplitPlainSteps = 30;
// The vapour and two liquids solved as one system (activity_three_phase.h), on the largest change of
// ln K: a few plain steps, then Newton's method, each step 2n + 1 activity evaluations of both liquids.
inline constexpr Stopping kActivityThreePhase{"the NRTL vapour-liquid-liquid split", 1e-10, 400};
// The NRTL substitutions jump to the limit of their linear convergence every fifth step when the
// rate lambda (the ratio of successive steps) is below this: nearer 1 the jump 1/(1 - lambda)
// overshoots more than it gains.
inline constexpr double kAccelerationRate = 0.95;

// A pure component's saturation pressure under Peng-Robinson at a temperature (the saturated
// liquid's correction near Tc, peng_robinson.cpp): Newton's method on ln P, steps of at most 0.05,
// to 1e-12; from the correlation's pressure it takes 3 to 6 steps.
inline constexpr Stopping kSaturationNewton{"the equation's saturation pressure", 1e-12, 100};
inline constexpr double kSaturationNewtonStep = 0.05;

// The one-dimensional search of the flash kinds other than T-P (over T, or over -ln P): bisection
// to a bracket of 1e-12 relative, about 45 halvings of the widest range; a golden section for a
// measure's least value; a coarse scan of 64 points for a start below the target.
// A liquid with more than this mole fraction of water is water-rich: Henry's law takes a growing share
// of a gas's fugacity in it (henry.h), and a gas in it without a Henry's constant is noted from this
// mole fraction on (a gas in water is dilute: methane at 25 degC and
// 1 bar dissolves to 2.5e-5).
inline constexpr double kWaterRich = 0.5;
inline constexpr double kDissolvedGasNote = 1e-7;
// A free-water liquid (pure water) is noted where Henry's law would dissolve a gas to this mole
// fraction (carbon dioxide at 0.2 bar and 25 degC: 1.2e-4; nitrogen at 2 bar: 2e-5, a trace).
inline constexpr double kDissolvedGasMatters = 1e-4;
// The ideal method's water fraction of a liquid that dissolves gases by Henry's law: regula falsi on
// one fraction, which it meets to rounding in 10-20 steps.
inline constexpr Stopping kAqueousWater{"the water fraction of the aqueous liquid", 1e-13, 200};
inline constexpr Stopping kBisection{"the bisection", 1e-12, 300};
inline constexpr Stopping kGoldenSection{"the golden-section search", 1e-12, 100};
inline constexpr int kScanPoints = 64;
// A warm start narrows the bracket around an estimate, from 1e-3 of it, widening four-fold.
inline constexpr double kEstimateWindow = 1e-3;
inline constexpr double kEstimateGrowth = 4.0;

// A flash on enthalpy meets it within this share of the target, but never tighter than
// kEnthalpyTolerance times kEnthalpyFloor (0.01 J/kmol): far below a duty's last digit.
inline constexpr double kEnthalpyTolerance = 1e-9;
inline constexpr double kEnthalpyFloor = 1e7;  // J/kmol
// A flash on a vapour fraction above 0 meets it within this (a fraction of 0 is met exactly).
inline constexpr double kVapourFractionTolerance = 1e-12;

// ---- Property paths --------------------------------------------------------------------------------

// Half the width of the window over which two adjacent pieces of one property hand over (K). Two
// fits of one property rarely agree where their ranges meet (benzene's liquid heat capacity by 1.7 %);
// across the window the value passes from one to the other by a smooth step, so the property and its
// slope stay continuous, and so does a heat capacity, whose enthalpy is its integral. Each form is
// evaluated at most this far outside its range, where its curve is still the measured one's.
inline constexpr double kPieceJoinHalfWidth = 1.0;

// The reduced temperature above which a component's liquid leaves its saturated liquid's measured
// path: nearer its critical point the saturated liquid's heat capacity grows without bound (and the
// slope of the heat of vaporisation with it), which a compressed liquid, or a component dissolved in
// a liquid of others above its own critical temperature, does not show. Beyond it the ideal method's
// liquid keeps its excess heat capacity over the ideal gas and Peng-Robinson's liquid correction its
// straight line, each bent onto the saturated liquid up to kSaturatedLiquidEnd, then continued
// linearly (under Peng-Robinson the equation carries the liquid). At 0.9 the heat capacity of propane's
// saturated liquid is still within 3 % of a compressed liquid's at 1.2 times its vapour pressure.
inline constexpr double kMeasuredLiquidEnd = 0.9;

// A pure component's saturated liquid lies the heat-of-vaporisation correlation below the method's
// saturated vapour (Peng-Robinson's, or the ideal method's corresponding-states vapour) at this
// reduced temperature, reached from the measured path at kMeasuredLiquidEnd by a parabola
// (near_critical_bend, pure.h): a condenser at 0.8 Pc boils at Tr 0.94-0.97, where under
// Peng-Robinson the straight continuation from Tr 0.9 missed the latent heat by up to 8.8 % (argon;
// 14 components beyond 5 %). The parabola changes the liquid's heat capacity
// by at most kSaturatedLiquidBend of the measured one at Tr 0.9: more would carry the tables'
// disagreement into it (acetic acid's, whose dimerising vapour neither vapour carries, would turn its
// liquid heat capacity negative near Tc); the components it does not bring within 5 % are noted.
inline constexpr double kSaturatedLiquidEnd = 0.97;
inline constexpr double kSaturatedLiquidBend = 0.2;

// The width in Tr over which a Peng-Robinson alpha above Tc passes from the fitted form's derivatives
// at Tc to the generalised kappa form (over the databank 0.90 to 1.14 times the kappa form's alpha at
// Tr 1.2, within 7 % at 1.5 and 0.3 % at 2; generator/peng_robinson.py holds the same width).
inline constexpr double kAlphaJoinWidth = 0.1;
// A component whose Peng-Robinson saturation temperature lies farther than this (K) from its
// vapour-pressure correlation is named in a note of every Peng-Robinson set that holds it.
inline constexpr double kSaturationMissNoted = 1.0;

// The width over which a liquid's heat capacity passes from its correlation onto the saturation path
// at the correlation's top (K): at least kLiquidJoinWidthMin, and kLiquidJoinWidthPerStep times the
// relative step between the two there (methanol's 35 % at 400 K: 26 K), so that the smooth step
// (steepest slope 1.5 per width) moves the heat capacity by at most 0.2 % per 0.1 K.
inline constexpr double kLiquidJoinWidthMin = 5.0;
inline constexpr double kLiquidJoinWidthPerStep = 75.0;

// A component's liquid volume follows its density correlation to this reduced temperature, then
// continues linearly in T up to the critical volume and stays there: nearer its critical point the
// saturated liquid's volume rises with an unbounded slope, which neither a component dissolved in a
// liquid of others (or above its critical temperature) nor a liquid above its saturation pressure
// shows.
inline constexpr double kLiquidVolumeEnd = 0.95;

// Peng-Robinson's reduced temperature where each component's volume translation makes the
// equation's saturated liquid volume the density correlation's, and below which the measured liquid
// path does not start (it starts from the equation's saturated vapour less the heat of vaporisation
// at the normal boiling point, so that a curve's latent heat there is the correlation's): Tr 0.7,
// the middle of a liquid's working range, where the correlations and the equation's vapour both hold
// well (and where the acentric factor is defined); a path started lower carries its tables'
// disagreement up to Tr 0.9 (n-pentane's latent heat there 3.4 % off from the normal boiling point).
inline constexpr double kEquationAnchor = 0.7;

// Brock and Bird's corresponding-states surface tension (AIChE J. 1 (1955) 174, as given in Poling,
// Prausnitz, O'Connell, The Properties of Gases and Liquids, 5th ed., 2001, Eq. 12-3.5):
// Q = 0.1196 (1 + Tbr ln(Pc / 1.01325 bar) / (1 - Tbr)) - 0.279, sigma proportional to (1 - Tr)^(11/9).
inline constexpr double kBrockBirdQ[2] = {0.1196, 0.279};
inline constexpr double kBrockBirdExponent = 11.0 / 9.0;

// Under Peng-Robinson a phase is a liquid (it takes the measured liquid's enthalpy correction, its
// volume from the density correlations and its liquid transport properties) in full at and above
// this packing b / v of the equation's root, and not at all at or below the critical packing
// (0.2531, the pure fluid's b / v_c), by a smooth step between. 0.45 is the equation's saturated
// liquid's packing at Tr 0.95 (propane 0.452; 0.54 at Tr 0.9, 0.74 at Tr 0.7), so a liquid up to
// there is unchanged, and a saturated vapour (below the critical packing) takes none of it. Across
// the step a fluid above its critical point passes from the liquid to the gas path without a jump,
// whichever label its root carries (methane at 10 MPa over 200-235 K).
inline constexpr double kDenseLiquidPacking = 0.45;

// Two single-root states either side of a jump are one fluid (a supercritical stream changing its
// liquid-like label) when their compressibility factors agree to this share.
inline constexpr double kOneFluidZ = 1e-4;

}  // namespace kvt::reference
