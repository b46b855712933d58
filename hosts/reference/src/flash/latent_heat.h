// The latent heat a method carries across a pure component's boiling, against the component's
// heat-of-vaporisation correlation.
#pragma once

#include <string>

#include "data/databank.h"
#include "kvt_reference/reference_host.h"

namespace kvt::reference {

// A miss of h at vapour fraction 1 less h at 0 of the pure component against the
// heat-of-vaporisation correlation at that temperature beyond its bound: 2 % up to Tr 0.9, 5 % up to
// Tr 0.97 (no bound beyond, where the method finds no boiling or the component has no correlation).
struct LatentHeatMiss {
  double deviation = 0.0;  // fraction, signed; 0 where within the bound
  double p = 0.0;          // Pa
};

// Under Peng-Robinson, the largest over the boiling at 101 325 Pa and at 0.8 Pc (a fact of the
// component under the equation, noted when a set is selected).
LatentHeatMiss latent_heat_miss(const Databank& db, const Component& c);

// Under the methods whose K-values take an ideal-gas vapour (ideal, NRTL: a pure component's liquid
// is the ideal method's), at p: the vapour (the ideal gas plus Lee and Kesler's residual at T and p)
// less the liquid at the temperature where the vapour-pressure correlation gives p. Where the
// corresponding-states vapour or the tables disagree with the correlation near the critical point
// (noted at each state of a flash at p that holds the component).
LatentHeatMiss activity_latent_heat_miss(const Component& c, double p);

// The note's text: what is missed, for whom, by how much and where.
std::string latent_heat_miss_text(const Component& c, const LatentHeatMiss& miss);

}  // namespace kvt::reference
