// The flash of both property methods. Ideal solution: Raoult's-law K-values, an ideal-gas vapour, an
// ideal liquid. Peng-Robinson: K-values from the fugacity coefficients of both phases, found by
// successive substitution after a tangent-plane test of the feed (so a single phase is a stable
// one); enthalpy is the ideal gas's plus the equation's residual in each phase, the vapour volume the
// equation's, the liquid volume the density correlations' (ideal mixing). With free water (either
// method) a second liquid of pure water forms once water's partial pressure reaches its vapour
// pressure; water then does not dissolve in the first, organic, liquid, and the organics split at
// the rest of the pressure. A gas dissolves in a water-rich liquid by Henry's law under either method
// (henry.h). Water alone at or above its critical pressure is one fluid (liquid).
//
// A temperature-pressure flash solves the Rachford-Rice equation by Newton's method inside a
// bisection bracket (rachford_rice.h; for Peng-Robinson inside each substitution step, substitution.h,
// after the stability test, stability.h). Every other specification kind (flash_kind.h) is a
// bracketed one-dimensional search (flash_search.h: T at fixed P, or ln P at fixed T) over T-P flashes; where the measured quantity jumps (a pure component
// at its boiling point, a single organic with free water at its three-phase point) the result is
// the lever-rule combination of the two states on either side of the jump. Nothing here touches the
// host's data store: this is the model, tested directly.
#pragma once

#include <span>

#include "flash/flash_system.h"

namespace kvt::reference {

// Flash a feed of mole fractions z (one per component, summing to 1).
FlashResult flash(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req);

}  // namespace kvt::reference
