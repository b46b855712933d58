// Whether a phase of the Peng-Robinson equation is stable, and the ratios a split starts from.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "models/peng_robinson.h"
#include "numerics/solver.h"

namespace kvt::reference {

// Wilson's estimate of the equilibrium ratios K_i = y_i / x_i (constants.h).
std::vector<double> wilson_k(const PengRobinson& pr, double t, double p);

struct Stability {
  bool stable = true;
  SolveStatus status = SolveStatus::kConverged;  // whether both trial phases converged
  // Each trial's end point as ratios y_i / x_i to the feed (vapour-like: w_i / z_i, liquid-like:
  // z_i / w_i, w normalised), empty where it fell onto the feed. At a phase boundary the trial of
  // the phase about to form ends on that phase's composition: the incipient phase.
  std::vector<double> vapour_trial_k, liquid_trial_k;
};

// Tangent-plane test (Michelsen 1982) of a phase of composition z, from a vapour-like (z K) and a
// liquid-like (z / K) trial phase started with the ratios k, each on the cubic's stable root and
// iterated on ln W_i (fixed_point.h). Stable when neither trial finds a negative tangent-plane
// distance; otherwise k holds y_i / x_i estimates to start a two-phase split from. Component `barred`
// (z.size() or beyond: none) is kept out of both trials (water, which the vapour holds and no phase
// of the equation but the vapour may: a phase rich in it is the free water, not the equation's), its
// ratio in the trials' end points left at 1; the feed is then a vapour that holds it (its vapour root).
Stability tangent_plane_test(const PengRobinson& pr, double t, double p, std::span<const double> z,
                             std::vector<double>& k, Stopping stop, std::size_t barred = SIZE_MAX);

}  // namespace kvt::reference
