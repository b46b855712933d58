// Lee and Kesler's corresponding-states vapour (B. I. Lee and M. G. Kesler, AIChE J. 21, 510
// (1975)): a fluid's compressibility factor and residual enthalpy interpolated in the acentric
// factor between a simple fluid (omega = 0) and a reference fluid (n-octane, omega = 0.3978), each
// a modified Benedict-Webb-Rubin equation in reduced temperature and volume, and a mixture taken as
// one pseudo-critical fluid by the paper's own mixing rules. The methods whose K-values take an
// ideal-gas vapour (the ideal and NRTL methods) give their vapour this residual enthalpy, so that a
// vapour's enthalpy and the latent heat a curve carries follow the real vapour's departure.
#pragma once

#include <span>
#include <vector>

#include "data/component.h"

namespace kvt::reference {

// The residual enthalpy H - H_ideal-gas (J/kmol) of a vapour of these components and mole fractions
// (any positive sum) at T (K) and P (Pa) on its vapour root: 0 in the ideal-gas limit. Where the
// equation holds no vapour root at P (beyond the vapour's spinodal, the largest pressure its vapour
// branch reaches at T) the residual is held at the spinodal's, so that it is continuous in T and P.
// The mixture's pseudo-critical temperature, volume and pressure and its acentric factor follow Lee
// and Kesler's rules: V_c = 1/8 sum_jk x_j x_k (V_cj^(1/3) + V_ck^(1/3))^3, T_c = 1/(8 V_c) sum_jk x_j
// x_k (V_cj^(1/3) + V_ck^(1/3))^3 (T_cj T_ck)^(1/2), omega = sum_j x_j omega_j, P_c = (0.2905 - 0.085
// omega) R T_c / V_c, each V_cj = (0.2905 - 0.085 omega_j) R T_cj / P_cj (the rules of the paper the
// residual's equation comes from, which keep a mixture of unlike sizes apart where Kay's mole-fraction
// mean of T_c and P_c does not).
double lee_kesler_residual_enthalpy(std::span<const Component* const> components, std::span<const double> x, double t,
                                    double p);
// The same for one component.
double lee_kesler_residual_enthalpy(const Component& c, double t, double p);

}  // namespace kvt::reference
