// A phase's molar enthalpy and heat capacity under the system's method, as every flash counts them.
#pragma once

#include <span>

#include "flash/flash_system.h"

namespace kvt::reference {

// Molar enthalpy (J/kmol) of one phase of mole fractions x (one per component of the system, any
// positive sum) at T and P on the given root, as the flash counts it, and its temperature derivative.
// A phase of water alone takes it from the water formulation under either method; any other phase
// under Peng-Robinson is the ideal gas plus the equation's residual plus, by its liquid weight (see
// PrPhase), the correction to the measured liquid path; under the ideal and NRTL methods the ideal
// mixture, a vapour with Lee and Kesler's residual enthalpy at T and P (lee_kesler.h), an NRTL liquid
// with its excess enthalpy. Range notes go to `notes`
// (under Peng-Robinson, those of the ideal gas at T only).
double phase_enthalpy(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p, Root root,
                      RangeNotes* notes = nullptr);
double phase_heat_capacity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                           Root root, RangeNotes* notes = nullptr);

}  // namespace kvt::reference
