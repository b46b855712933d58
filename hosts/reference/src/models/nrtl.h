// The NRTL activity-coefficient liquid: activity coefficients, the excess enthalpy and heat capacity
// that follow from the parameters' temperature dependence, and the liquid-liquid split of one liquid.
//
// For components i, j: tau_ij = b_ij / T (b_ij = A_ij / R with A_ij the published energy parameter),
// G_ij = exp(-alpha_ij tau_ij), tau_ii = 0, alpha_ij = alpha_ji; a pair without parameters has
// tau = 0 (it mixes ideally). With S_j = sum_k x_k G_kj and C_j = sum_k x_k tau_kj G_kj,
//   ln gamma_i = C_i / S_i + sum_j x_j G_ij / S_j (tau_ij - C_j / S_j),
//   g^E / (R T) = sum_i x_i C_i / S_i,
//   h^E = -R T^2 d(g^E/RT)/dT = -R T^2 sum_i x_i d ln gamma_i / dT  (Gibbs-Helmholtz),
//   c_p^E = dh^E/dT.
// Nothing here knows about vapours, pressures or the host: this is the liquid model, tested directly.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "data/databank.h"
#include "numerics/solver.h"

namespace kvt::reference {

// The binary parameters of a component set, n x n, row-major, diagonal zero.
struct NrtlParameters {
  std::size_t n = 0;
  std::vector<double> b;      // K: tau_ij = b[i n + j] / T
  std::vector<double> alpha;  // non-randomness, symmetric
};

// The parameters of a component set from the databank. A pair without an entry takes tau = 0 and is
// named in `missing` ("a/b"). `spans` holds, per pair with parameters, the temperatures its 1 atm
// data covered: from the lower to the higher normal boiling point of the two.
struct NrtlSpan {
  std::size_t i, j;
  double t_min, t_max;
};
struct NrtlData {
  NrtlParameters parameters;
  std::vector<std::string> missing;
  std::vector<NrtlSpan> spans;
};
NrtlData nrtl_data(const Databank& db, const std::vector<const Component*>& components);
// The model at one temperature: tau and G evaluated once, for any number of compositions.
class NrtlAt {
 public:
  NrtlAt(const NrtlParameters& p, double t);
  double t() const { return t_; }
  std::size_t n() const { return n_; }
  double tau(std::size_t i, std::size_t j) const { return tau_[i * n_ + j]; }
  // ln gamma_i of the liquid of mole fractions x (any positive sum; normalised here).
  void ln_gamma(std::span<const double> x, std::span<double> out) const;
  std::vector<double> ln_gamma(std::span<const double> x) const;
  // g^E / (R T), dimensionless.
  double excess_gibbs(std::span<const double> x) const;

 private:
  std::size_t n_;
  double t_;
  std::vector<double> tau_, g_, tau_g_;
};

// x scaled to sum 1 (mole fractions from amounts of any positive sum).
std::vector<double> normalised(std::span<const double> x);

// Excess enthalpy (J/kmol) and excess heat capacity (J/(kmol K)) of the liquid x at T: the
// analytic first and second temperature derivatives of g^E/(RT).
double nrtl_excess_enthalpy(const NrtlParameters& p, std::span<const double> x, double t);
double nrtl_excess_heat_capacity(const NrtlParameters& p, std::span<const double> x, double t);

}  // namespace kvt::reference
