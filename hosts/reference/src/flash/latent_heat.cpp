#include "flash/latent_heat.h"

#include <cmath>
#include <vector>

#include "flash/flash.h"
#include "data/pure.h"
#include "data/iapws/water.h"

namespace kvt::reference {

LatentHeatMiss latent_heat_miss(const Databank& db, const Component& c, Method method) {
  LatentHeatMiss worst;
  if (water::is_water(c) || c.heat_of_vaporisation.empty()) return worst;
  const FlashSystem sys = flash_system(db, {&c}, method);
  const std::vector<double> z{1.0};
  double worst_excess = 1.0;
  for (double p : {101325.0, 0.8 * c.pc}) {
    if (method != Method::peng_robinson && p != 101325.0) continue;
    auto boiling = [&](double vf) {
      return flash(sys, z, FlashRequest{3, p, vf, std::nan(""), false, PhaseModel::kEquilibrium, 60.0, 1000.0, 1e2, 5e7});
    };
    const FlashResult l = boiling(0.0), v = boiling(1.0);
    const double t = 0.5 * (l.t + v.t);
    if (!l.converged || !v.converged || t < c.heat_of_vaporisation.tmin() || t > 0.97 * c.tc) continue;
    const double ref = heat_of_vaporisation(c, t), d = (v.enthalpy - l.enthalpy) / ref - 1.0;
    const double excess = std::abs(d) / (t <= 0.9 * c.tc ? 0.02 : 0.05);
    if (excess > worst_excess) worst = {d, p}, worst_excess = excess;
  }
  return worst;
}

}  // namespace kvt::reference
