#include "data/iapws/transport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kvt::reference::iapws {

namespace {

constexpr double kTstar = if97::kTc, kRhoStar = if97::kRhoc, kPstar = if97::kPc;

// Viscosity of the dilute gas: mu0 = 100 sqrt(Tr) / sum H_i / Tr^i, in 1e-6 Pa s.
constexpr std::array<double, 4> kMu0{1.67752, 2.20462, 0.6366564, -0.241605};

// Residual viscosity: mu1 = exp(rho_r sum_ij H_ij (1/Tr - 1)^i (rho_r - 1)^j), rows i = 0..5.
constexpr std::array<std::array<double, 7>, 6> kMu1{{
    {5.20094e-1, 2.22531e-1, -2.81378e-1, 1.61913e-1, -3.25372e-2, 0.0, 0.0},
    {8.50895e-2, 9.99115e-1, -9.06851e-1, 2.57399e-1, 0.0, 0.0, 0.0},
    {-1.08374, 1.88797, -7.72479e-1, 0.0, 0.0, 0.0, 0.0},
    {-2.89555e-1, 1.26613, -4.89837e-1, 0.0, 6.98452e-2, 0.0, -4.35673e-3},
    {0.0, 0.0, -2.57040e-1, 0.0, 0.0, 8.72102e-3, 0.0},
    {0.0, 1.20573e-1, 0.0, 0.0, 0.0, 0.0, -5.93264e-4},
}};

// Conductivity of the dilute gas: lambda0 = sqrt(Tr) / sum L_k / Tr^k, in 1e-3 W/(m K).
constexpr std::array<double, 5> kLambda0{2.443221e-3, 1.323095e-2, 6.770357e-3, -3.454586e-3, 4.096266e-4};

// Residual conductivity: lambda1 = exp(rho_r sum_ij L_ij (1/Tr - 1)^i (rho_r - 1)^j), rows i = 0..4.
constexpr std::array<std::array<double, 6>, 5> kLambda1{{
    {1.60397357, -0.646013523, 0.111443906, 0.102997357, -0.0504123634, 0.00609859258},
    {2.33771842, -2.78843778, 1.53616167, -0.463045512, 0.0832827019, -0.00719201245},
    {2.19650529, -4.54580785, 3.55777244, -1.40944978, 0.275418278, -0.0205938816},
    {-1.21051378, 1.60812989, -0.621178141, 0.0716373224, 0.0, 0.0},
    {-2.7203370, 4.57586331, -3.18369245, 1.1168348, -0.19268305, 0.012913842},
}};

// Industrial form of the critical enhancement: (d rho_r / d p_r) at the reference temperature
// 1.5 Tc is 1 / sum_i A_i rho_r^i, one coefficient set per density interval (upper bounds below).
constexpr std::array<double, 4> kZetaBounds{0.310559006, 0.776397516, 1.242236025, 1.863354037};
constexpr std::array<std::array<double, 6>, 5> kZetaRef{{
    {6.53786807199516, -5.61149954923348, 3.39624167361325, -2.27492629730878, 10.2631854662709, 1.97815050331519},
    {6.52717759281799, -6.30816983387575, 8.08379285492595, -9.82240510197603, 12.1358413791395, -5.54349664571295},
    {5.35500529896124, -3.96415689925446, 8.91990208918795, -12.0338729505790, 9.19494865194302, -2.16866274479712},
    {1.55225959906681, 0.464621290821181, 8.93237374861479, -11.0321960061126, 6.16780999933360, -0.965458722086812},
    {1.11999926419994, 0.595748562571649, 9.88952565078920, -10.3255051147040, 4.66861294457414, -0.503243546373828},
}};

constexpr double kLambda = 177.8514, kQd = 1.0 / 0.40e-9, kNu = 0.630, kGamma = 1.239, kXi0 = 0.13e-9,
                 kGamma0 = 0.06, kTrRef = 1.5;

double zeta_reference(double rho_r) {
  std::size_t k = 0;
  while (k < kZetaBounds.size() && rho_r > kZetaBounds[k]) ++k;
  double s = 0.0;
  for (int i = 5; i >= 0; --i) s = s * rho_r + kZetaRef[k][static_cast<std::size_t>(i)];
  return 1.0 / s;
}

// The dilute-gas term of both equations: sqrt(Tr) / sum_k c_k / Tr^k.
template <std::size_t K>
double dilute_gas(const std::array<double, K>& c, double t_r) {
  double s = 0.0;
  for (std::size_t k = 0; k < K; ++k) s += c[k] / std::pow(t_r, static_cast<double>(k));
  return std::sqrt(t_r) / s;
}

// The residual factor of both equations: exp(rho_r sum_ij c_ij (1/Tr - 1)^i (rho_r - 1)^j).
template <std::size_t I, std::size_t J>
double residual_factor(const std::array<std::array<double, J>, I>& c, double t_r, double rho_r) {
  double s = 0.0, ti = 1.0;
  for (const auto& row : c) {
    double rj = 1.0, inner = 0.0;
    for (double x : row) {
      inner += x * rj;
      rj *= rho_r - 1.0;
    }
    s += ti * inner;
    ti *= 1.0 / t_r - 1.0;
  }
  return std::exp(rho_r * s);
}

double critical_enhancement(const if97::State& s, double mu_r) {
  const double rho_r = s.rho / kRhoStar, t_r = s.t / kTstar;
  const double zeta = s.drho_dp * kPstar / kRhoStar;
  const double dchi = rho_r * (zeta - zeta_reference(rho_r) * kTrRef / t_r);
  if (!(dchi > 0.0)) return 0.0;
  const double xi = kXi0 * std::pow(dchi / kGamma0, kNu / kGamma);
  const double y = kQd * xi;
  if (y < 1.2e-7) return 0.0;
  const double kappa = s.cp / s.cv;
  const double z = 2.0 / (std::numbers::pi * y) *
                   ((1.0 - 1.0 / kappa) * std::atan(y) + y / kappa -
                    (1.0 - std::exp(-1.0 / (1.0 / y + y * y / (3.0 * rho_r * rho_r)))));
  return kLambda * rho_r * (s.cp / if97::kR) * t_r / mu_r * z;
}

}  // namespace

double viscosity(double rho, double t) {
  const double t_r = t / kTstar, rho_r = rho / kRhoStar;
  return 1.0e-6 * 100.0 * dilute_gas(kMu0, t_r) * residual_factor(kMu1, t_r, rho_r);
}

double conductivity(const if97::State& s) {
  const double t_r = s.t / kTstar, rho_r = s.rho / kRhoStar;
  const double mu_r = viscosity(s.rho, s.t) / 1.0e-6;
  return 1.0e-3 * (dilute_gas(kLambda0, t_r) * residual_factor(kLambda1, t_r, rho_r) + critical_enhancement(s, mu_r));
}

double surface_tension(double t) {
  if (t >= kTstar) return 0.0;
  const double tau = 1.0 - t / kTstar;
  return 235.8e-3 * std::pow(tau, 1.256) * (1.0 - 0.625 * tau);
}

}  // namespace kvt::reference::iapws
