#include "flash/substitution.h"

#include <algorithm>
#include <cmath>

#include "numerics/constants.h"
#include "numerics/fixed_point.h"
#include "numerics/rachford_rice.h"
#include "flash/split_newton.h"

namespace kvt::reference {

Substituted substitute(const PengRobinson& pr, double t, double p, std::span<const double> zf, std::vector<double>& k,
                       std::size_t barred, Stopping stop) {
  const std::size_t n = zf.size(), w = barred;
  auto bar = [&] {
    if (w < n) k[w] = 1e12;
  };
  // u: ln K_i of the components that split; g(u)_i = ln phi_i(liquid) - ln phi_i(vapour)
  std::vector<std::size_t> active;
  for (std::size_t i = 0; i < n; ++i) {
    if (zf[i] > 0.0 && i != w) active.push_back(i);
  }
  std::vector<double> u(active.size()), x(n), y(n);
  for (std::size_t a = 0; a < active.size(); ++a) u[a] = std::log(k[active[a]]);
  auto g = [&](const std::vector<double>& at, std::vector<double>& next) {
    for (std::size_t a = 0; a < active.size(); ++a) k[active[a]] = std::exp(at[a]);
    bar();
    const double b = rachford_rice(zf, k, 0.0, kRachfordRice).beta;
    double sy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = zf[i] / (1.0 + b * (k[i] - 1.0));
      y[i] = k[i] * x[i];
    }
    if (w < n) x[w] = 0.0;  // the vapour holds it all
    for (double v : y) sy += v;
    for (double& v : y) v = sy > 0.0 ? v / sy : 0.0;
    const PrPhase lp = pr_phase(pr, t, p, x, Root::kLiquid), vp = pr_phase(pr, t, p, y, Root::kVapour);
    for (std::size_t a = 0; a < active.size(); ++a) {
      const std::size_t i = active[a];
      next[a] = lp.ln_phi[i] - vp.ln_phi[i];
    }
  };
  // plain substitution first; where it has not converged, Newton's method on the split's Gibbs energy
  // from its last ratios, or, where those put the split outside (0, 1), on the substitution's map
  SolveStatus status = fixed_point(u, g, {stop.solver, stop.tolerance, kPlainSteps}, kPlainSteps);
  for (std::size_t a = 0; a < active.size(); ++a) k[active[a]] = std::exp(u[a]);
  bar();
  if (status == SolveStatus::kStoppedAtCap) {
    std::vector<double> kn = k;
    const Substituted newton = newton_split(pr, t, p, zf, kn, w, {stop.solver, stop.tolerance, stop.cap - kPlainSteps});
    if (newton.status == SolveStatus::kConverged) {
      k = std::move(kn);
      return {newton.beta, SolveStatus::kConverged};
    }
    status = fixed_point(u, g, {stop.solver, stop.tolerance, stop.cap - kPlainSteps}, 0);
    for (std::size_t a = 0; a < active.size(); ++a) k[active[a]] = std::exp(u[a]);
    bar();
  }
  const VapourSplit last = rachford_rice(zf, k, 0.0, kRachfordRice);
  return {last.beta, worse(status, last.status)};
}

}  // namespace kvt::reference
