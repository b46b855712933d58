// The NRTL method's parts the flash calls: the T-P split of a feed, the liquid's excess enthalpy and
// heat capacity, and the notes where the method is out of its depth. The vapour is an ideal gas, the
// liquid an ideal mixture (water's from the water formulation) plus the NRTL excess terms.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "flash/activity_flash.h"
#include "flash/flash_system.h"

namespace kvt::reference {

// The split of feed z at T and P (free_water: water may form a pure liquid of its own).
ActivitySplit nrtl_tp(const FlashSystem& sys, std::span<const double> z, double t, double p, bool free_water);

// Excess enthalpy (J/kmol) and heat capacity (J/(kmol K)) of a liquid of mole fractions x (any
// positive sum); 0 for a liquid of one component.
double nrtl_liquid_excess_enthalpy(const FlashSystem& sys, std::span<const double> x, double t);
double nrtl_liquid_excess_heat_capacity(const FlashSystem& sys, std::span<const double> x, double t);

// Notes on a finished state: above the pressure the method holds to, a pair without parameters in
// the feed, a liquid far outside the temperatures its pairs' data covered, an organic liquid that
// would split but is kept one because free water is on.
std::vector<Note> nrtl_limits(const FlashSystem& sys, std::span<const double> z, const FlashResult& r,
                                     bool free_water);

}  // namespace kvt::reference
