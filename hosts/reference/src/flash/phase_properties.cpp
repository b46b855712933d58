#include "flash/phase_properties.h"

#include <cmath>
#include <vector>

#include "models/dense_transport.h"
#include "data/pure.h"

namespace kvt::reference {

namespace {

Mixture mixture_of(const FlashSystem& sys, std::span<const double> x, double p) {
  return Mixture{sys.components, std::vector<double>(x.begin(), x.end()), p};
}

Root root_of(Phase phase) { return phase == Phase::kLiquid ? Root::kLiquid : Root::kVapour; }

using MixtureProperty = double (*)(const Mixture&, double, RangeNotes*);
using DenseCorrection = double (*)(const Mixture&, double, double, double);

// Where a phase lies between the liquid and the vapour: its liquid weight on its root, and the
// molar density (kmol/m3) its vapour part is corrected to: by its label under the ideal method (the
// ideal gas's density), for water alone (already at its pressure) or without a pressure (none).
struct PhaseState {
  double w;
  double rho;
};
PhaseState phase_state(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p) {
  if (water_alone(sys, x) || !(p > 0.0)) return {phase == Phase::kLiquid ? 1.0 : 0.0, 0.0};
  if (sys.method != Method::peng_robinson) return {phase == Phase::kLiquid ? 1.0 : 0.0, p / (kGasConstant * t)};
  const PrPhase ph = pr_phase(sys.pr, t, p, x, root_of(phase));
  return {ph.liquid_weight, p / (ph.z * kGasConstant * t)};
}

// exp(w ln liquid + (1 - w) ln vapour), each evaluated only where its share is not 0; the vapour's
// low-pressure value corrected to the phase's density.
double geometric(const Mixture& m, PhaseState s, double t, RangeNotes* notes, MixtureProperty liquid, MixtureProperty vapour,
                 DenseCorrection dense) {
  if (s.w >= 1.0) return liquid(m, t, notes);
  const double v = dense(m, t, s.rho, vapour(m, t, notes));
  if (s.w <= 0.0) return v;
  return std::exp(s.w * std::log(liquid(m, t, notes)) + (1.0 - s.w) * std::log(v));
}

}  // namespace

double phase_volume(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p, Root root,
                    RangeNotes* notes) {
  const Mixture m = mixture_of(sys, x, p);
  if (sys.method != Method::peng_robinson || water_alone(sys, x)) return molar_volume(m, phase, t, p, notes);
  const PrPhase ph = pr_phase(sys.pr, t, p, x, root);
  const double gas = ph.z * kGasConstant * t / p, w = ph.liquid_weight;
  return w > 0.0 ? w * molar_volume(m, Phase::kLiquid, t, p, notes) + (1.0 - w) * gas : gas;
}

double phase_viscosity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                       RangeNotes* notes) {
  return geometric(mixture_of(sys, x, p), phase_state(sys, x, phase, t, p), t, notes, liquid_viscosity, vapour_viscosity,
                   dense_viscosity);
}

double phase_conductivity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                          RangeNotes* notes) {
  return geometric(mixture_of(sys, x, p), phase_state(sys, x, phase, t, p), t, notes, liquid_conductivity,
                   vapour_conductivity, dense_conductivity);
}

}  // namespace kvt::reference
