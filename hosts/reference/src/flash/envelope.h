// The phase envelope of a Peng-Robinson feed: its dew and bubble points traced as one curve in T and
// P through the mixture's critical point, by Michelsen's construction (Fluid Phase Equilib. 4 (1980)
// 1-10, "Calculation of phase envelopes and critical points for multicomponent mixtures"). Each
// point solves the whole equilibrium system by Newton's method in X = (ln K_i, ln T, ln P):
//   ln K_i + ln phi_i(y, T, P) - ln phi_i(x, T, P) = 0,  sum_i (y_i - x_i) = 0,  X_s = S,
// with y = z (the feed) and x_i = z_i / K_i (the incipient phase): dew points, the feed the vapour,
// and past the critical point, where every ln K changes sign, bubble points, the feed the liquid.
// Continuation from a dew point at low pressure: the next point's start is extrapolated along dX/dS
// (the system's own sensitivity), the specified variable is the one changing fastest there (ln P at
// first, ln T near the cricondenbar, ln K within 0.05 of the critical point, where the derivatives in
// T and P vanish with ln K: a step there lands beyond it rather than next to it), and the step grows
// while Newton's method converges in few iterations and halves when it does not.
#pragma once

#include <span>
#include <vector>

#include "models/peng_robinson.h"
#include "numerics/solver.h"

namespace kvt::reference {

struct EnvelopePoint {
  double t = 0.0, p = 0.0;  // K, Pa
  std::vector<double> ln_k;  // ln (y_i / x_i) of the components present: feed to incipient phase
};

struct Envelope {
  std::vector<EnvelopePoint> points;  // from the low-pressure dew point on, in order along the curve
  double cricondenbar_t = 0.0, cricondenbar_p = 0.0;  // the highest pressure of two phases
  bool critical = false;                              // whether the trace passed a critical point
  double critical_t = 0.0, critical_p = 0.0;          // there, linear in ln K between the points either side
  SolveStatus status = SolveStatus::kConverged;       // kStoppedAtCap: a point's Newton iteration failed
};

// The envelope of feed z (two or more components present) from its dew point at p_start until the
// pressure falls back below p_start or the temperature leaves [t_min, t_max]. Each point's Newton
// iteration stops at the tolerance in the largest |delta X| (stop.cap iterations, after which the
// step is halved; the trace ends after a few halvings in a row with status kStoppedAtCap).
Envelope phase_envelope(const PengRobinson& pr, std::span<const double> z, double p_start, double t_min, double t_max,
                        Stopping stop);

}  // namespace kvt::reference
