#include "flash/phase_enthalpy.h"

#include "flash/nrtl_method.h"
#include "models/mixture.h"

namespace kvt::reference {

double phase_enthalpy(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p, Root root,
                      RangeNotes* notes) {
  const Mixture m{sys.components, std::vector<double>(x.begin(), x.end()), p};
  if (sys.method == Method::nrtl && phase == Phase::kLiquid)
    return enthalpy(m, phase, t, notes) + nrtl_liquid_excess_enthalpy(sys, x, t);
  if (sys.method != Method::peng_robinson || water_alone(sys, x)) return enthalpy(m, phase, t, notes);
  // the correction to the measured liquid by the phase's liquid weight, whatever its label
  const PrPhase ph = pr_phase(sys.pr, t, p, x, root);
  const double w = ph.liquid_weight;
  return enthalpy(m, Phase::kVapour, t, notes) + ph.h_res + (w > 0.0 ? w * liquid_correction(sys.pr, x, t) : 0.0);
}

double phase_heat_capacity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                           Root root, RangeNotes* notes) {
  if (sys.method == Method::nrtl && phase == Phase::kLiquid)
    return enthalpy_dt(Mixture{sys.components, std::vector<double>(x.begin(), x.end()), p}, phase, t, notes) +
           nrtl_liquid_excess_heat_capacity(sys, x, t);
  if (sys.method != Method::peng_robinson || water_alone(sys, x))
    return enthalpy_dt(Mixture{sys.components, std::vector<double>(x.begin(), x.end()), p}, phase, t, notes);
  const double dt = 1e-3 * t;
  return (phase_enthalpy(sys, x, phase, t + dt, p, root) - phase_enthalpy(sys, x, phase, t - dt, p, root)) / (2.0 * dt);
}

}  // namespace kvt::reference
