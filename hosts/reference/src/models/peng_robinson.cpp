#include "models/peng_robinson.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <numeric>
#include <utility>

#include "numerics/constants.h"
#include "data/pure.h"

namespace kvt::reference {

namespace {

constexpr double kSqrt2 = 1.4142135623730951;
// Omega_b is the root of the critical conditions (a triple root Z_c = (1 - Omega_b) / 3) and Omega_a
// follows from it; the rounded 0.07780 and 0.45724 would move the pure critical point.
constexpr double kOmegaB = 0.0777960739038885;
constexpr double kOmegaA = 0.457235528921382;

double kappa(double omega) {
  if (omega <= 0.491) return 0.37464 + omega * (1.54226 - 0.26992 * omega);
  return 0.379642 + omega * (1.48503 + omega * (-0.164423 + omega * 0.016666));
}

// a_i(T) and its temperature derivative, b_i.
struct Pure {
  double a, dadt, b;
};

// d/dTr, d2/dTr2 and d3/dTr3 of ln alpha at Tc for alpha = (1 + c1 x + c2 x^2 + c3 x^3)^2, x = 1 - sqrt(Tr)
// (where dx/dTr = -1/2, d2x/dTr2 = 1/4, d3x/dTr3 = -3/8 and the root s = 1).
std::array<double, 3> ln_alpha_derivatives_at_tc(double c1, double c2, double c3) {
  const double s1 = -c1 / 2.0, s2 = c2 / 2.0 + c1 / 4.0, s3 = -0.75 * c3 - 0.75 * c2 - 0.375 * c1;
  return {2.0 * s1, 2.0 * (s2 - s1 * s1), 2.0 * (s3 - 3.0 * s1 * s2 + 2.0 * s1 * s1 * s1)};
}

// alpha and d alpha / d Tr of a component with Mathias-Copeman constants: their form up to Tc; above
// it the kappa form times exp((a u + b u^2 + d u^3) exp(-u / w)), u = Tr - 1, whose a, b and d give ln
// alpha the fitted form's first three derivatives at Tc, so that a, its slope and a heat capacity
// built on it pass Tc smoothly, and which has died away a few widths above Tc, where the kappa form
// keeps a dense gas's attraction (no vapour pressure constrains alpha there).
std::pair<double, double> mathias_copeman(const Component& c, double tr) {
  const double c1 = c.alpha[0], c2 = c.alpha[1], c3 = c.alpha[2];
  if (tr <= 1.0) {
    const double x = 1.0 - std::sqrt(tr);
    const double s = 1.0 + x * (c1 + x * (c2 + x * c3));
    const double dsdx = c1 + x * (2.0 * c2 + 3.0 * x * c3);
    return {s * s, 2.0 * s * dsdx * (-0.5 / std::sqrt(tr))};
  }
  const double k = kappa(c.omega), w = kAlphaJoinWidth, u = tr - 1.0;
  const std::array<double, 3> fit = ln_alpha_derivatives_at_tc(c1, c2, c3), gen = ln_alpha_derivatives_at_tc(k, 0.0, 0.0);
  const double a = fit[0] - gen[0];
  const double b = (fit[1] - gen[1] + 2.0 * a / w) / 2.0;
  const double d = (fit[2] - gen[2] + 6.0 * b / w - 3.0 * a / (w * w)) / 6.0;
  const double e = std::exp(-u / w), poly = u * (a + u * (b + u * d));
  const double factor = std::exp(poly * e), s = 1.0 + k * (1.0 - std::sqrt(tr));
  const double alpha = s * s * factor;
  return {alpha, -k * s / std::sqrt(tr) * factor + alpha * e * (a + u * (2.0 * b + 3.0 * u * d) - poly / w)};
}

Pure pure_parameters(const Component& c, double t) {
  const double ac = kOmegaA * kGasConstant * kGasConstant * c.tc * c.tc / c.pc;
  const double b = kOmegaB * kGasConstant * c.tc / c.pc;
  if (c.alpha.size() == 3) {
    const auto [alpha, dalpha_dtr] = mathias_copeman(c, t / c.tc);
    return {ac * alpha, ac * dalpha_dtr / c.tc, b};
  }
  const double k = kappa(c.omega);
  const double s = 1.0 + k * (1.0 - std::sqrt(t / c.tc));
  return {ac * s * s, -ac * k * s / std::sqrt(t * c.tc), b};
}

// Real roots of Z^3 + c2 Z^2 + c1 Z + c0 = 0 above zmin, ascending.
std::vector<double> cubic_roots(double c2, double c1, double c0, double zmin) {
  const double q = (c2 * c2 - 3.0 * c1) / 9.0;
  const double r = (2.0 * c2 * c2 * c2 - 9.0 * c2 * c1 + 27.0 * c0) / 54.0;
  std::vector<double> z;
  if (r * r < q * q * q) {
    const double th = std::acos(std::clamp(r / std::sqrt(q * q * q), -1.0, 1.0));
    for (double k : {0.0, 1.0, -1.0}) z.push_back(-2.0 * std::sqrt(q) * std::cos((th + 2.0 * std::numbers::pi * k) / 3.0) - c2 / 3.0);
  } else {
    const double a = -std::copysign(std::cbrt(std::abs(r) + std::sqrt(r * r - q * q * q)), r);
    z.push_back(a + (a != 0.0 ? q / a : 0.0) - c2 / 3.0);
  }
  for (double& x : z) {  // polish
    for (int i = 0; i < 3; ++i) {
      const double f = ((x + c2) * x + c1) * x + c0, df = (3.0 * x + 2.0 * c2) * x + c1;
      if (df != 0.0) x -= f / df;
    }
  }
  std::erase_if(z, [&](double x) { return !(x > zmin); });
  std::sort(z.begin(), z.end());
  return z;
}

// The measured liquid's path of one component under its equation, and D_i(T) of that component from
// it (defined with the liquid correction below).
LiquidPathKnots equation_path(const PengRobinson& one);
double correction_of(const PengRobinson& one, const LiquidPathKnots& path, double t);
double saturated_correction(const PengRobinson& one, double t);
SaturatedVapour saturated_vapour(const PengRobinson& one);

}  // namespace

PengRobinson peng_robinson(const std::vector<const Component*>& components, const Databank& db) {
  const std::size_t n = components.size();
  PengRobinson pr{components, std::vector<double>(n * n, 0.0), std::vector<double>(n, 0.0)};
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      if (i != j) pr.kij[i * n + j] = db.kij(components[i]->name, components[j]->name);
    }
    const Component& c = *components[i];
    const double t = kEquationAnchor * c.tc;
    const PengRobinson one{{&c}, {0.0}, {0.0}};
    const double z = pr_phase(one, t, std::exp(ln_vapour_pressure(c, t)), std::vector<double>{1.0}, Root::kLiquid).z;
    pr.shift[i] = z * kGasConstant * t / std::exp(ln_vapour_pressure(c, t)) - liquid_molar_volume(c, t);
  }
  return pr;
}

void add_liquid_correction(PengRobinson& pr) {
  const std::size_t n = pr.components.size();
  std::vector<LiquidPathKnots> paths(n);
  std::vector<CorrectionLine> lines(n);
  for (std::size_t i = 0; i < n; ++i) {
    const Component& c = *pr.components[i];
    const PengRobinson shifted{{&c}, {0.0}, {pr.shift[i]}};
    // the correction's continuation near Tc, found once rather than at every liquid enthalpy
    const double end = kMeasuredLiquidEnd * c.tc, step = 1e-3 * end, width = (kSaturatedLiquidEnd - kMeasuredLiquidEnd) * c.tc;
    paths[i] = equation_path(shifted);
    CorrectionLine& line = lines[i];
    line.end = correction_of(shifted, paths[i], end);
    line.slope = (correction_of(shifted, paths[i], end + step) - correction_of(shifted, paths[i], end - step)) / (2.0 * step);
    const SaturatedVapour vapour = saturated_vapour(shifted);
    const double cp_end = (liquid_path(c, end + step, paths[i], vapour, nullptr) - liquid_path(c, end - step, paths[i], vapour, nullptr)) / (2.0 * step);
    line.bend = near_critical_bend(c, saturated_correction(shifted, end + width) - line.end - line.slope * width, cp_end);
  }
  pr.path = std::move(paths);
  pr.line = std::move(lines);
}

PrPhase pr_phase(const PengRobinson& pr, double t, double p, std::span<const double> xin, Root root) {
  const std::size_t n = pr.components.size();
  const double xs = std::accumulate(xin.begin(), xin.end(), 0.0);
  std::vector<double> x(n);
  for (std::size_t i = 0; i < n; ++i) x[i] = xs > 0.0 ? std::max(0.0, xin[i]) / xs : 1.0 / n;
  std::vector<Pure> c(n);
  for (std::size_t i = 0; i < n; ++i) c[i] = pure_parameters(*pr.components[i], t);
  double a = 0.0, dadt = 0.0, b = 0.0;
  std::vector<double> sum_a(n, 0.0);  // sum_j x_j a_ij
  for (std::size_t i = 0; i < n; ++i) {
    b += x[i] * c[i].b;
    for (std::size_t j = 0; j < n; ++j) {
      const double g = std::sqrt(c[i].a * c[j].a) * (1.0 - pr.kij[i * n + j]);
      sum_a[i] += x[j] * g;
      a += x[i] * x[j] * g;
      dadt += x[i] * x[j] * 0.5 * g * (c[i].dadt / c[i].a + c[j].dadt / c[j].a);
    }
  }
  const double rt = kGasConstant * t;
  const double A = a * p / (rt * rt), B = b * p / rt;
  const auto roots = cubic_roots(-(1.0 - B), A - 3.0 * B * B - 2.0 * B, -(A * B - B * B - B * B * B), B);
  auto log_term = [&](double z) { return std::log((z + (1.0 + kSqrt2) * B) / (z + (1.0 - kSqrt2) * B)); };
  auto g_res = [&](double z) { return z - 1.0 - std::log(z - B) - A / (2.0 * kSqrt2 * B) * log_term(z); };
  double z = roots.empty() ? 1.0 : root == Root::kLiquid ? roots.front() : roots.back();
  if (root == Root::kStable && roots.size() > 1 && g_res(roots.front()) < g_res(roots.back())) z = roots.front();
  PrPhase out;
  double shift = 0.0;
  for (std::size_t i = 0; i < n; ++i) shift += x[i] * pr.shift[i];
  out.z = z - shift * p / rt;
  // with three roots the larger is the vapour's; with one, a density below the critical one
  // (v / b above Z_c / Omega_b, the pure fluid's critical ratio) counts as vapour-like
  out.vapour_like = roots.size() > 1 ? z == roots.back() : z / B > (1.0 - kOmegaB) / 3.0 / kOmegaB;
  const double critical_packing = kOmegaB / ((1.0 - kOmegaB) / 3.0);
  out.liquid_weight = smooth_step((B / z - critical_packing) / (kDenseLiquidPacking - critical_packing));
  const double lt = log_term(z);
  out.h_res = rt * (z - 1.0) + (t * dadt - a) / (2.0 * kSqrt2 * b) * lt - p * shift;
  out.ln_phi.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    out.ln_phi[i] = c[i].b / b * (z - 1.0) - std::log(z - B) -
                    A / (2.0 * kSqrt2 * B) * (2.0 * sum_a[i] / a - c[i].b / b) * lt - pr.shift[i] * p / rt;
  }
  // A gas in liquid water: the equation with k_ij = 0 (the databank has none for water) dissolves
  // 0.01-0.3 times what is measured (carbon dioxide 0.04, nitrogen 0.009 at 25 degC), and one k_ij
  // fitted to the aqueous liquid would move the gas's water content as well. Henry's law in the
  // water-rich liquid instead, by the weight toward_henry gives it, in every phase the flash and the
  // stability test evaluate, so the equilibrium stays one consistent set of fugacities. The volume
  // and enthalpy stay the equation's (no heat of solution: for carbon dioxide at 25 degC and 2 bar
  // about 23 J per mol of the liquid, against water's heat of vaporisation of 44 kJ/mol).
  if (pr.aqueous.any)
    toward_henry(pr.aqueous, x[static_cast<std::size_t>(pr.aqueous.water)], t, p, out.liquid_weight, out.ln_phi);
  return out;
}

namespace {

// The equation's saturated vapour of a pure component: the ideal gas plus the residual at the
// databank's vapour pressure.
double equation_vapour(const PengRobinson& one, const Component& c, double t) {
  const double p = std::exp(ln_vapour_pressure(c, t));
  return vapour_enthalpy(c, t) + pr_phase(one, t, p, std::vector<double>{1.0}, Root::kVapour).h_res;
}

SaturatedVapour saturated_vapour(const PengRobinson& one) {
  return {[&one](const Component& k, double x) { return equation_vapour(one, k, x); },
          [&one](const Component& k, double x) {
            const double d = 1e-4 * x;
            return (equation_vapour(one, k, x + d) - equation_vapour(one, k, x - d)) / (2.0 * d);
          }};
}

LiquidPathKnots equation_path(const PengRobinson& one) {
  const Component& c = *one.components.front();
  const double anchor = std::clamp(std::max(c.tb, kEquationAnchor * c.tc), c.liquid_cp.tmin(), c.liquid_cp.tmax());
  return liquid_path_knots(c, anchor, saturated_vapour(one));
}

// D_i(T) of one component: its measured saturated liquid less the equation's.
double correction_of(const PengRobinson& one, const LiquidPathKnots& path, double t) {
  const Component& c = *one.components.front();
  const double h = liquid_path(c, t, path, saturated_vapour(one), nullptr);
  // the liquid's residual barely depends on pressure; at least 1 kPa keeps its root well conditioned
  const double p = std::max(1e3, std::exp(ln_vapour_pressure(c, t)));
  return h - vapour_enthalpy(c, t) - pr_phase(one, t, p, std::vector<double>{1.0}, Root::kLiquid).h_res;
}

// The equation's saturation pressure of a pure component at t (Newton's method on ln P for equal
// fugacities, d(ln phi_L - ln phi_V)/d ln P = Z_L - Z_V), from the correlation's; where only one root
// exists the pressure moves toward the other's side. The correlation's pressure if none is found.
double equation_saturation_pressure(const PengRobinson& one, double t) {
  const Component& c = *one.components.front();
  const std::vector<double> x{1.0};
  const double start = ln_vapour_pressure(c, t);
  double ln_p = start;
  for (int i = 0; i < kSaturationNewton.cap; ++i) {
    const PrPhase l = pr_phase(one, t, std::exp(ln_p), x, Root::kLiquid), v = pr_phase(one, t, std::exp(ln_p), x, Root::kVapour);
    if (v.z - l.z < 1e-9) {
      ln_p += l.vapour_like ? kSaturationNewtonStep : -kSaturationNewtonStep;
      continue;
    }
    const double g = l.ln_phi[0] - v.ln_phi[0];
    const double step = std::clamp(g / (l.z - v.z), -kSaturationNewtonStep, kSaturationNewtonStep);
    ln_p -= step;
    if (std::abs(step) < kSaturationNewton.tolerance) return std::exp(ln_p);
  }
  return std::exp(start);
}

// D_i(T) of the saturated liquid: the equation's latent heat at its own saturation pressure less the
// heat-of-vaporisation correlation, so that its liquid lies the correlation below its vapour.
double saturated_correction(const PengRobinson& one, double t) {
  const Component& c = *one.components.front();
  const std::vector<double> x{1.0};
  const double p = equation_saturation_pressure(one, t);
  return pr_phase(one, t, p, x, Root::kVapour).h_res - pr_phase(one, t, p, x, Root::kLiquid).h_res - heat_of_vaporisation(c, t);
}

}  // namespace

double liquid_correction(const PengRobinson& pr, std::span<const double> x, double t) {
  double total = 0.0, xs = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    xs += std::max(0.0, x[i]);
    if (x[i] <= 0.0) continue;
    const Component& c = *pr.components[i];
    const PengRobinson one{{&c}, {0.0}, {pr.shift[i]}};
    // Nearer its critical point both saturated liquids turn singular (their heat capacities without
    // bound) and their difference with them, while a liquid of several components there, or one at
    // a pressure well above saturation, is smooth: from Tr = kMeasuredLiquidEnd on the correction
    // passes from the measured path's straight line onto the saturated liquids' difference, and from
    // Tr = kSaturatedLiquidEnd on it continues linearly and the equation carries the liquid.
    const double end = kMeasuredLiquidEnd * c.tc;
    const CorrectionLine& line = pr.line[i];
    if (t <= end) {
      total += x[i] * correction_of(one, pr.path[i], t);
    } else {
      total += x[i] * (line.end + line.slope * (t - end) + near_critical_bent(c, t, line.bend));
    }
  }
  return xs > 0.0 ? total / xs : 0.0;
}

}  // namespace kvt::reference
