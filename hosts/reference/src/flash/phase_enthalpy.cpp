#include "flash/phase_enthalpy.h"

#include "data/lee_kesler.h"
#include "flash/nrtl_method.h"
#include "models/mixture.h"

namespace kvt::reference {

double phase_enthalpy(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p, Root root,
                      RangeNotes* notes) {
  const Mixture m{sys.components, std::vector<double>(x.begin(), x.end()), p};
  if (sys.method == Method::nrtl && phase == Phase::kLiquid)
    return enthalpy(m, phase, t, notes) + nrtl_liquid_excess_enthalpy(sys, x, t);
  if (water_alone(sys, x)) return enthalpy(m, phase, t, notes);
  // the ideal and NRTL methods' vapour: the ideal gas plus Lee and Kesler's residual
  if (sys.method != Method::peng_robinson)
    return enthalpy(m, phase, t, notes) + (phase == Phase::kVapour ? lee_kesler_residual_enthalpy(sys.components, x, t, p) : 0.0);
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
  const double dt = 1e-3 * t;
  if (sys.method != Method::peng_robinson || water_alone(sys, x)) {
    const double cp = enthalpy_dt(Mixture{sys.components, std::vector<double>(x.begin(), x.end()), p}, phase, t, notes);
    if (phase == Phase::kLiquid || water_alone(sys, x)) return cp;
    return cp + (lee_kesler_residual_enthalpy(sys.components, x, t + dt, p) - lee_kesler_residual_enthalpy(sys.components, x, t - dt, p)) / (2.0 * dt);
  }
  return (phase_enthalpy(sys, x, phase, t + dt, p, root) - phase_enthalpy(sys, x, phase, t - dt, p, root)) / (2.0 * dt);
}

}  // namespace kvt::reference
