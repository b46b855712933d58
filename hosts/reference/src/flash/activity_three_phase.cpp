#include "flash/activity_three_phase.h"

#include <algorithm>
#include <cmath>

#include "numerics/constants.h"
#include "numerics/fixed_point.h"
#include "numerics/rachford_rice_three.h"

namespace kvt::reference {

namespace {

// Plain substitution steps before Newton's: enough to leave a poor start, few where it crawls.
constexpr int kThreePhasePlainSteps = 8;

}  // namespace

ThreePhaseSplit activity_three_phase(const NrtlAt& m, std::span<const double> psat, std::span<const double> z, double p,
                                     std::span<const double> kv0, std::span<const double> kl0, double vapour,
                                     double liquid2, Stopping stop) {
  const std::size_t n = z.size();
  ThreePhaseSplit out;
  std::vector<double> u(2 * n), kv(n), kl(n), lg1(n), lg2(n);
  out.x1.assign(n, 0.0);
  out.x2.assign(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    u[i] = std::log(kv0[i]);
    u[n + i] = std::log(kl0[i]);
  }
  double bv = vapour, bl = liquid2;
  SolveStatus fractions = SolveStatus::kConverged;
  // the liquids of the ratios u (into out.x1, out.x2, normalised) and their fractions (into bv, bl)
  auto liquids = [&](const std::vector<double>& at) {
    for (std::size_t i = 0; i < n; ++i) {
      kv[i] = std::exp(at[i]);
      kl[i] = std::exp(at[n + i]);
    }
    const ThreePhaseFractions f = rachford_rice_three(z, kv, kl, kRachfordRice, bv, bl);
    bv = f.vapour;
    bl = f.liquid2;
    fractions = f.status;
    double s1 = 0.0, s2 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      out.x1[i] = z[i] > 0.0 ? z[i] / (1.0 + bv * (kv[i] - 1.0) + bl * (kl[i] - 1.0)) : 0.0;
      out.x2[i] = kl[i] * out.x1[i];
      s1 += out.x1[i];
      s2 += out.x2[i];
    }
    for (std::size_t i = 0; i < n; ++i) {
      out.x1[i] /= s1;
      out.x2[i] /= s2;
    }
  };
  const FixedPointMap g = [&](const std::vector<double>& at, std::vector<double>& next) {
    liquids(at);
    m.ln_gamma(out.x1, lg1);
    m.ln_gamma(out.x2, lg2);
    for (std::size_t i = 0; i < n; ++i) {
      const bool present = z[i] > 0.0;
      next[i] = present ? lg1[i] + std::log(psat[i] / p) : at[i];
      next[n + i] = present ? lg1[i] - lg2[i] : at[n + i];
    }
  };
  out.status = fixed_point(u, g, stop, kThreePhasePlainSteps);
  liquids(u);
  out.status = worse(out.status, fractions);
  out.vapour = bv;
  out.liquid2 = bl;
  out.kv = kv;
  out.y.assign(n, 0.0);
  double spread = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    out.y[i] = kv[i] * out.x1[i];
    if (z[i] > 0.0) spread = std::max(spread, std::abs(u[n + i]));
  }
  out.collapsed = spread < kTrivialSpread;
  return out;
}

}  // namespace kvt::reference
