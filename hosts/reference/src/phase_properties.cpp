#include "phase_properties.h"

#include <cmath>
#include <vector>

#include "pure.h"

namespace kvt::reference {

namespace {

Mixture mixture_of(const FlashSystem& sys, std::span<const double> x, double p) {
  return Mixture{sys.components, std::vector<double>(x.begin(), x.end()), p};
}

Root root_of(Phase phase) { return phase == Phase::kLiquid ? Root::kLiquid : Root::kVapour; }

using MixtureProperty = double (*)(const Mixture&, double, RangeNotes*);

// exp(w ln liquid + (1 - w) ln vapour), each evaluated only where its share is not 0.
double geometric(const Mixture& m, double w, double t, RangeNotes* notes, MixtureProperty liquid, MixtureProperty vapour) {
  if (w >= 1.0) return liquid(m, t, notes);
  if (w <= 0.0) return vapour(m, t, notes);
  return std::exp(w * std::log(liquid(m, t, notes)) + (1.0 - w) * std::log(vapour(m, t, notes)));
}

// The liquid weight of a phase on its root: by its label under the ideal method, for water alone or
// without a pressure.
double liquid_weight(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p) {
  if (sys.method != Method::peng_robinson || water_alone(sys, x) || !(p > 0.0)) return phase == Phase::kLiquid ? 1.0 : 0.0;
  return pr_phase(sys.pr, t, p, x, root_of(phase)).liquid_weight;
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
  const double w = liquid_weight(sys, x, phase, t, p);
  return geometric(mixture_of(sys, x, p), w, t, notes, liquid_viscosity, vapour_viscosity);
}

double phase_conductivity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                          RangeNotes* notes) {
  const double w = liquid_weight(sys, x, phase, t, p);
  return geometric(mixture_of(sys, x, p), w, t, notes, liquid_conductivity, vapour_conductivity);
}

}  // namespace kvt::reference
