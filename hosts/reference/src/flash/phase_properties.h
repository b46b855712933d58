// A phase's volume and transport properties as the host reports them, under either method. Under the
// ideal method (and for a phase of water alone) they follow the phase's label: the density
// correlations and liquid transport for a liquid, the ideal gas and vapour transport for a vapour.
// Under Peng-Robinson they follow the phase's liquid weight (PrPhase::liquid_weight) on its root:
// the liquid's volume by ideal mixing of the density correlations and the equation's (translated)
// volume blended linearly, viscosity and conductivity geometrically between the liquid and vapour
// mixing rules. So a fluid above its critical point has one path in T and P, and the liquid and
// vapour routines give it the same figure on its one root. The vapour's viscosity and conductivity
// are corrected to the phase's density (dense_transport.h): the root's under Peng-Robinson, the ideal
// gas's under the ideal method; a phase of water alone takes IAPWS at its pressure.
#pragma once

#include <span>

#include "flash/flash_system.h"
#include "models/mixture.h"

namespace kvt::reference {

double phase_volume(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p, Root root,
                    RangeNotes* notes = nullptr);                                                   // m3/kmol
double phase_viscosity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                       RangeNotes* notes = nullptr);                                                // Pa s
double phase_conductivity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                          RangeNotes* notes = nullptr);                                             // W/(m K)

}  // namespace kvt::reference
