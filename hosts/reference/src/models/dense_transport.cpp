#include "models/dense_transport.h"

#include <array>
#include <algorithm>
#include <cmath>
#include <vector>

namespace kvt::reference {

namespace {

// Chung's pseudo-fluid of a mixture: critical volume (cm3/mol), temperature (K), acentric factor,
// molar mass (g/mol); all 0 where a component present lacks its critical constants (no correction).
struct PseudoFluid {
  double vc, tc, omega, mw;
};

PseudoFluid pseudo_fluid(const Mixture& m) {
  double total = 0.0;
  const std::vector<double>& x = m.x;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const Component& c = *m.components[i];
    if (x[i] > 0.0 && !(c.vc > 0.0 && c.tc > 0.0 && c.mw > 0.0)) return {};
    total += x[i];
  }
  if (!(total > 0.0)) return {};
  double s3 = 0.0, e = 0.0, w = 0.0, mm = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const Component& a = *m.components[i];
    for (std::size_t j = 0; j < x.size(); ++j) {
      if (!(x[i] > 0.0 && x[j] > 0.0)) continue;
      const Component& b = *m.components[j];
      const double sigma2 = 0.809 * 0.809 * std::cbrt(a.vc * 1e3 * b.vc * 1e3);  // sigma_ij^2, sigma = 0.809 Vc^(1/3)
      const double sigma3 = std::pow(sigma2, 1.5), eps = std::sqrt(a.tc * b.tc) / 1.2593;
      const double xx = x[i] * x[j];
      s3 += xx * sigma3;
      e += xx * eps * sigma3;
      w += xx * 0.5 * (a.omega + b.omega) * sigma3;
      mm += xx * eps * sigma2 * std::sqrt(2.0 * a.mw * b.mw / (a.mw + b.mw));
    }
  }
  const double t2 = total * total;
  s3 /= t2;
  e /= t2 * s3;
  w /= t2;
  mm /= t2;
  const double sigma = std::cbrt(s3), root_m = mm / (e * sigma * sigma);
  return {std::pow(sigma / 0.809, 3.0), 1.2593 * e, w / s3, root_m * root_m};
}

// a0 + a1 omega of a coefficient row (the polar and association columns drop out).
template <std::size_t N>
std::array<double, N> coefficients(const std::array<std::array<double, 2>, N>& table, double omega) {
  std::array<double, N> c{};
  for (std::size_t i = 0; i < N; ++i) c[i] = table[i][0] + table[i][1] * omega;
  return c;
}

// G2 of both properties: (A1/y (1 - exp(-A4 y)) + A2 G1 exp(A5 y) + A3 G1) / (A1 A4 + A2 + A3).
double g2(double y, double a1, double a2, double a3, double a4, double a5) {
  const double g1 = (1.0 - 0.5 * y) / std::pow(1.0 - y, 3.0);
  const double first = y > 1e-12 ? a1 / y * -std::expm1(-a4 * y) : a1 * a4;
  return (first + a2 * g1 * std::exp(a5 * y) + a3 * g1) / (a1 * a4 + a2 + a3);
}

// Table 9-6, E1..E10: a0, a1 (omega).
constexpr std::array<std::array<double, 2>, 10> kViscosityE{{{6.324, 50.412},
                                                             {1.210e-3, -1.154e-3},
                                                             {5.283, 254.209},
                                                             {6.623, 38.096},
                                                             {19.745, 7.630},
                                                             {-1.900, -12.537},
                                                             {24.275, 3.450},
                                                             {0.7972, 1.117},
                                                             {-0.2382, 0.06770},
                                                             {0.06863, 0.3479}}};
// Table 10-3, B1..B7: a0, a1 (omega).
constexpr std::array<std::array<double, 2>, 7> kConductivityB{{{2.4166, 0.74824},
                                                               {-0.50924, -1.5094},
                                                               {6.6107, 5.6207},
                                                               {14.543, -8.9139},
                                                               {0.79274, 0.82019},
                                                               {-5.8634, 12.801},
                                                               {91.089, 128.11}}};

// The packing y = rho Vc / 6, held short of close packing where a root is denser than the method covers.
double packing(const PseudoFluid& f, double rho) { return std::min(rho * f.vc * 1e-3 / 6.0, 0.5); }

}  // namespace

double dense_viscosity(const Mixture& m, double t, double rho, double mu0) {
  const PseudoFluid f = pseudo_fluid(m);
  if (!(rho > 0.0) || !(f.vc > 0.0)) return mu0;
  const double y = packing(f, rho), ts = 1.2593 * t / f.tc;
  const auto e = coefficients(kViscosityE, f.omega);
  const double g = g2(y, e[0], e[1], e[2], e[3], e[4]);
  const double star2 = e[6] * y * y * g * std::exp(e[7] + e[8] / ts + e[9] / (ts * ts));
  const double scale = 36.344e-7 * std::sqrt(f.mw * f.tc) / std::pow(f.vc, 2.0 / 3.0);  // Pa s
  return mu0 * (1.0 / g + e[5] * y) + star2 * scale;
}

double dense_conductivity(const Mixture& m, double t, double rho, double k0) {
  const PseudoFluid f = pseudo_fluid(m);
  if (!(rho > 0.0) || !(f.vc > 0.0)) return k0;
  const double y = packing(f, rho), tr = t / f.tc;
  const auto b = coefficients(kConductivityB, f.omega);
  const double g = g2(y, b[0], b[1], b[2], b[3], b[4]);
  const double q = 3.586e-3 * std::sqrt(f.tc / (f.mw * 1e-3)) / std::pow(f.vc, 2.0 / 3.0);  // W/(m K)
  return k0 * (1.0 / g + b[5] * y) + q * b[6] * y * y * std::sqrt(tr) * g;
}

}  // namespace kvt::reference
