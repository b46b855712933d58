// The dense-fluid part of a vapour's viscosity and thermal conductivity: Chung, Ajlan, Lee and
// Starling, Ind. Eng. Chem. Res. 27, 671 (1988), in the form of Poling, Prausnitz and O'Connell,
// The Properties of Gases and Liquids, 5th ed. (2001), eqs. 9-6.18 to 9-6.20 (Table 9-6) and 10-5.5
// to 10-5.7 (Table 10-3). The method's own dilute-gas value is replaced by the databank's
// low-pressure one (mu0, k0):
//   mu = mu0 (1/G2 + E6 y) + mu**,   k = k0 (1/G2 + B6 y) + q B7 y^2 Tr^(1/2) G2,   y = rho Vc / 6,
// so at zero density each is the low-pressure value, and with rising density it runs on towards the
// liquid's. A mixture is one pseudo-fluid by Chung's mixing rules (Vc, Tc, omega and M from the
// Lennard-Jones sigma and epsilon of each component); the polar and association terms are left out.
#pragma once

#include "models/mixture.h"

namespace kvt::reference {

// rho: the phase's molar density, kmol/m3; mu0 Pa s, k0 W/(m K) at the same T.
double dense_viscosity(const Mixture& m, double t, double rho, double mu0);     // Pa s
double dense_conductivity(const Mixture& m, double t, double rho, double k0);   // W/(m K)

}  // namespace kvt::reference
