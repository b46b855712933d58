#include "flash/latent_heat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "flash/flash.h"
#include "data/lee_kesler.h"
#include "data/pure.h"
#include "data/iapws/water.h"

namespace kvt::reference {

namespace {

// The bound on the miss at t: 2 % up to Tr 0.9, 5 % above.
double bound_at(const Component& c, double t) { return t <= 0.9 * c.tc ? 0.02 : 0.05; }

// The miss at t, beyond the bound there, or none.
LatentHeatMiss beyond_bound(const Component& c, double t, double p, double latent_heat) {
  if (t < c.heat_of_vaporisation.tmin() || t > 0.97 * c.tc) return {};
  const double d = latent_heat / heat_of_vaporisation(c, t) - 1.0;
  return std::abs(d) > bound_at(c, t) ? LatentHeatMiss{d, p} : LatentHeatMiss{};
}

bool has_correlation(const Component& c) { return !water::is_water(c) && !c.heat_of_vaporisation.empty(); }

}  // namespace

LatentHeatMiss latent_heat_miss(const Databank& db, const Component& c) {
  LatentHeatMiss worst;
  if (!has_correlation(c)) return worst;
  const FlashSystem sys = flash_system(db, {&c}, Method::peng_robinson);
  const std::vector<double> z{1.0};
  double worst_excess = 0.0;
  for (double p : {101325.0, 0.8 * c.pc}) {
    auto boiling = [&](double vf) {
      return flash(sys, z, FlashRequest{3, p, vf, std::nan(""), false, PhaseModel::kEquilibrium, 60.0, 1000.0, 1e2, 5e7});
    };
    const FlashResult l = boiling(0.0), v = boiling(1.0);
    if (!l.converged || !v.converged) continue;
    const double t = 0.5 * (l.t + v.t);
    const LatentHeatMiss miss = beyond_bound(c, t, p, v.enthalpy - l.enthalpy);
    const double excess = std::abs(miss.deviation) / bound_at(c, t);
    if (excess > worst_excess) worst = miss, worst_excess = excess;
  }
  return worst;
}

LatentHeatMiss activity_latent_heat_miss(const Component& c, double p) {
  const PiecewiseCorrelation& vp = c.vapour_pressure;
  if (!has_correlation(c) || vp.empty()) return {};
  // the boiling temperature inside the correlation's range up to Tc: ln P, rising with T and nearly
  // linear in 1/T, by regula falsi in 1/T (Illinois), bracketed by the range
  double lo = vp.tmin(), hi = std::min(vp.tmax(), c.tc);
  const double ln_p = std::log(p);
  double f_lo = ln_vapour_pressure(c, lo) - ln_p, f_hi = ln_vapour_pressure(c, hi) - ln_p;
  if (!(f_lo <= 0.0 && f_hi >= 0.0)) return {};
  double t = hi;
  for (int side = 0, i = 0; i < 60 && hi - lo > 1e-7 * hi; ++i) {
    const double u = (f_hi / lo - f_lo / hi) / (f_hi - f_lo);  // 1/T where the chord meets ln p
    t = std::clamp(1.0 / u, lo, hi);
    const double f = ln_vapour_pressure(c, t) - ln_p;
    if (std::abs(f) < 1e-10) break;
    if (f < 0.0) {
      lo = t, f_lo = f;
      if (side == -1) f_hi *= 0.5;
      side = -1;
    } else {
      hi = t, f_hi = f;
      if (side == 1) f_lo *= 0.5;
      side = 1;
    }
  }
  return beyond_bound(c, t, p, vapour_enthalpy(c, t) + lee_kesler_residual_enthalpy(c, t, p) - liquid_enthalpy(c, t));
}

std::string latent_heat_miss_text(const Component& c, const LatentHeatMiss& miss) {
  char size[64];
  std::snprintf(size, sizeof size, " %+.1f %% at %.0f kPa", 100.0 * miss.deviation, miss.p / 1e3);
  return "the latent heat across the boiling of the pure component misses the heat-of-vaporisation correlation by "
         "more than 2 % (5 % above Tr 0.9) for " + c.name + size;
}

}  // namespace kvt::reference
