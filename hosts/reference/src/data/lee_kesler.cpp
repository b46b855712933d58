#include "data/lee_kesler.h"

#include <algorithm>
#include <cmath>

#include "numerics/constants.h"

namespace kvt::reference {

namespace {

// One fluid's constants (Lee and Kesler 1975, Table 1): z = P_r V_r / T_r = 1 + B/V_r + C/V_r^2 +
// D/V_r^5 + c4 / (T_r^3 V_r^2) (beta + gamma / V_r^2) exp(-gamma / V_r^2), B = b1 - b2/T_r - b3/T_r^2 -
// b4/T_r^3, C = c1 - c2/T_r + c3/T_r^3, D = d1 + d2/T_r, V_r = P_c V / (R T_c).
struct Fluid {
  double b1, b2, b3, b4, c1, c2, c3, c4, d1, d2, beta, gamma;
};
constexpr Fluid kSimple{0.1181193, 0.265728, 0.154790, 0.030323, 0.0236744, 0.0186984,
                        0.0,       0.042724, 0.155488e-4, 0.623689e-4, 0.65392, 0.060167};
constexpr Fluid kReference{0.2026579, 0.331511, 0.027655, 0.203488, 0.0313385, 0.0503618,
                           0.016901,  0.041577, 0.48736e-4, 0.0740336e-4, 1.226, 0.03754};
constexpr double kReferenceOmega = 0.3978;

// The reduced pressure P_r and its slope dP_r/d(rho) at reduced density rho = 1 / V_r.
struct Pressure {
  double p, slope;
};
Pressure pressure(const Fluid& f, double tr, double rho) {
  const double b = f.b1 - f.b2 / tr - f.b3 / (tr * tr) - f.b4 / (tr * tr * tr);
  const double c = f.c1 - f.c2 / tr + f.c3 / (tr * tr * tr), d = f.d1 + f.d2 / tr, e = f.c4 / (tr * tr * tr);
  const double r2 = rho * rho, ex = std::exp(-f.gamma * r2), tail = (f.beta * r2 * rho + f.gamma * r2 * r2 * rho) * ex;
  const double p = rho + b * r2 + c * r2 * rho + d * r2 * r2 * r2 + e * tail;
  const double slope = 1.0 + 2.0 * b * rho + 3.0 * c * r2 + 6.0 * d * r2 * r2 * rho +
                       e * ((3.0 * f.beta * r2 + 5.0 * f.gamma * r2 * r2) * ex - 2.0 * f.gamma * rho * tail);
  return {tr * p, tr * slope};
}

// (H - H_ig) / (R T_c) at T_r and reduced density rho (Lee and Kesler's eq. for the enthalpy departure).
double residual(const Fluid& f, double tr, double rho) {
  const double z = pressure(f, tr, rho).p / (tr * rho), r2 = rho * rho, g = f.gamma * r2;
  const double e = f.c4 / (2.0 * tr * tr * tr * f.gamma) * (f.beta + 1.0 - (f.beta + 1.0 + g) * std::exp(-g));
  return tr * (z - 1.0 - (f.b2 + 2.0 * f.b3 / tr + 3.0 * f.b4 / (tr * tr)) * rho / tr -
               (f.c2 - 3.0 * f.c3 / (tr * tr)) * r2 / (2.0 * tr) + f.d2 * r2 * r2 * rho / (5.0 * tr) + 3.0 * e);
}

// The lowest density where P_r's slope vanishes on [a, b] (slope positive at a, not at b).
double first_turn(const Fluid& f, double tr, double a, double b) {
  for (int i = 0; i < 60 && b - a > 1e-12 * b; ++i) {
    const double m = 0.5 * (a + b);
    (pressure(f, tr, m).slope > 0.0 ? a : b) = m;
  }
  return a;
}

// The least slope of P_r over [a, b] (golden section: the slope falls to the isotherm's inflection,
// then rises), and where it lies.
double least_slope_at(const Fluid& f, double tr, double a, double b) {
  constexpr double kGolden = 0.6180339887498949;
  double u = b - kGolden * (b - a), v = a + kGolden * (b - a);
  double su = pressure(f, tr, u).slope, sv = pressure(f, tr, v).slope;
  for (int i = 0; i < 60 && b - a > 1e-10 * b; ++i) {
    if (su < sv) {
      b = v, v = u, sv = su, u = b - kGolden * (b - a), su = pressure(f, tr, u).slope;
    } else {
      a = u, u = v, su = sv, v = a + kGolden * (b - a), sv = pressure(f, tr, v).slope;
    }
  }
  return su < sv ? u : v;
}

// The vapour root's reduced density at (T_r, P_r), or the spinodal's where the vapour branch does not
// reach P_r. Newton's method from the ideal gas's zero density, a step at most doubling it: along the
// vapour branch P_r rises concave in rho, so the steps climb monotonically onto the root. A step that
// lands at or beyond P_r, or where the slope has fallen to zero or grown again, may have crossed the
// isotherm's turn: if the slope vanishes between, the vapour branch ends there (the spinodal: the
// root before it, or none); if not, past the isotherm's inflection (above the critical temperature)
// P_r rises convex and Newton's steps go on, from above once they overshoot.
double vapour_density(const Fluid& f, double tr, double pr) {
  auto bisect = [&](double a, double b) {
    for (int k = 0; k < 80 && b - a > 1e-13 * b; ++k) {
      const double m = 0.5 * (a + b);
      (pressure(f, tr, m).p < pr ? a : b) = m;
    }
    return 0.5 * (a + b);
  };
  double rho = 0.0, slope = tr;
  bool convex = false;
  for (int i = 0; i < 100; ++i) {
    const Pressure at = pressure(f, tr, rho);
    const double step = std::min((pr - at.p) / at.slope, std::max(rho, 0.05)), next = rho + step;
    const Pressure there = pressure(f, tr, next);
    const bool climbing = there.p < pr && there.slope > 0.0 && there.slope <= slope;
    if (!climbing && !convex) {
      const double turn = least_slope_at(f, tr, std::min(rho, next), std::max(rho, next));
      if (pressure(f, tr, turn).slope <= 0.0) {
        const double spinodal = first_turn(f, tr, rho, turn);
        return pressure(f, tr, spinodal).p <= pr ? spinodal : bisect(rho, spinodal);
      }
      if (there.p >= pr) return bisect(rho, next);
      convex = true;
    }
    if (there.slope <= 0.0) return bisect(std::min(rho, next), std::max(rho, next));
    rho = next, slope = there.slope;
    if (std::abs(step) <= 1e-12 * rho) return rho;
  }
  return rho;
}

double fluid_residual(const Fluid& f, double tr, double pr) {
  return pr > 0.0 ? residual(f, tr, vapour_density(f, tr, pr)) : 0.0;
}

// (H - H_ig) / (R T_c) of the fluid of acentric factor omega.
double reduced_residual(double tr, double pr, double omega) {
  const double simple = fluid_residual(kSimple, tr, pr);
  return simple + omega / kReferenceOmega * (fluid_residual(kReference, tr, pr) - simple);
}

double critical_z(double omega) { return 0.2905 - 0.085 * omega; }

// The cube root of a component's critical volume by the fluid's own critical compressibility.
double critical_volume_cbrt(const Component& c) { return std::cbrt(critical_z(c.omega) * kGasConstant * c.tc / c.pc); }

}  // namespace

double lee_kesler_residual_enthalpy(std::span<const Component* const> components, std::span<const double> x, double t,
                                    double p) {
  double xs = 0.0, vc = 0.0, tcv = 0.0, omega = 0.0;
  for (std::size_t j = 0; j < components.size(); ++j) {
    const double xj = std::max(0.0, x[j]);
    if (xj <= 0.0) continue;
    const Component& cj = *components[j];
    xs += xj;
    omega += xj * cj.omega;
    const double vj = critical_volume_cbrt(cj);
    for (std::size_t k = 0; k < components.size(); ++k) {
      const double xk = std::max(0.0, x[k]);
      if (xk <= 0.0) continue;
      const Component& ck = *components[k];
      const double vk = critical_volume_cbrt(ck);
      const double cube = xj * xk * (vj + vk) * (vj + vk) * (vj + vk) / 8.0;
      vc += cube;
      tcv += cube * std::sqrt(cj.tc * ck.tc);
    }
  }
  if (!(xs > 0.0) || !(vc > 0.0) || !(t > 0.0)) return 0.0;
  vc /= xs * xs, tcv /= xs * xs, omega /= xs;
  const double tc = tcv / vc, pc = critical_z(omega) * kGasConstant * tc / vc;
  return reduced_residual(t / tc, p / pc, omega) * kGasConstant * tc;
}

double lee_kesler_residual_enthalpy(const Component& c, double t, double p) {
  const Component* one[] = {&c};
  const double x[] = {1.0};
  return lee_kesler_residual_enthalpy(one, x, t, p);
}

}  // namespace kvt::reference
