// The latent heat a method carries across a pure component's boiling, against the component's
// heat-of-vaporisation correlation.
#pragma once

#include "data/databank.h"
#include "kvt_reference/reference_host.h"

namespace kvt::reference {

// The largest miss (fraction, signed) of h at vapour fraction 1 less h at 0 of the pure component
// under `method`, against the heat-of-vaporisation correlation at that temperature, over its boiling
// at 101 325 Pa and (Peng-Robinson) at 0.8 Pc, where it exceeds its bound: 2 % up to Tr 0.9, 5 % up to
// Tr 0.97; 0 where none does or the component has no correlation. The other methods' vapour is the
// ideal gas, which cannot carry the departure near Pc: it is checked at 101 325 Pa only (its
// pressure is noted by the flash).
struct LatentHeatMiss {
  double deviation = 0.0;  // fraction
  double p = 0.0;          // Pa, where it is largest
};
LatentHeatMiss latent_heat_miss(const Databank& db, const Component& c, Method method);

}  // namespace kvt::reference
