#include "models/mixture.h"

#include <cmath>
#include <sstream>

#include "data/iapws/water.h"
#include "data/pure.h"

namespace kvt::reference {

namespace {

std::vector<double> normalised(const Mixture& m) {
  double s = 0.0;
  for (double v : m.x) s += v;
  std::vector<double> out(m.x.size(), 0.0);
  if (s > 0.0) {
    for (std::size_t i = 0; i < m.x.size(); ++i) out[i] = m.x[i] / s;
  }
  return out;
}

// A pure-component property at T (its out-of-range flag beside it): names the overload the mixture
// rules below share their names with.
using PureProperty = double (*)(const Component&, double, bool*);

// Evaluates f for every component with a positive fraction; notes an out-of-range evaluation. With
// `skip_water`, water is left at zero (its value comes from elsewhere and no note is asked for).
template <class F>
std::vector<double> pure_values(const Mixture& m, const std::vector<double>& x, double t, const char* property,
                                RangeNotes* notes, F f, bool skip_water = false) {
  std::vector<double> v(x.size(), 0.0);
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i] <= 0.0 || (skip_water && water::is_water(*m.components[i]))) continue;
    bool outside = false;
    v[i] = f(*m.components[i], t, &outside);
    if (outside && notes != nullptr && x[i] >= kNoteFraction) notes->add(*m.components[i], property, t);
  }
  return v;
}

// Wilke's interaction parameter phi_ij (also the Mason-Saxena A_ij with epsilon = 1):
// [1 + (mu_i/mu_j)^(1/2) (M_j/M_i)^(1/4)]^2 / [8 (1 + M_i/M_j)]^(1/2)
double phi(double mu_i, double mu_j, double m_i, double m_j) {
  const double a = 1.0 + std::sqrt(mu_i / mu_j) * std::pow(m_j / m_i, 0.25);
  return a * a / std::sqrt(8.0 * (1.0 + m_i / m_j));
}

// sum_i x_i p_i / sum_j x_j phi_ij, phi from the pure viscosities: Wilke (1950) for a viscosity,
// Wassiljewa (1904) with the Mason-Saxena (1958) phi for a conductivity.
double wilke_type(const Mixture& m, const std::vector<double>& x, const std::vector<double>& prop,
                  const std::vector<double>& mu) {
  double out = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i] <= 0.0) continue;
    double den = 0.0;
    for (std::size_t j = 0; j < x.size(); ++j) {
      if (x[j] <= 0.0) continue;
      den += x[j] * phi(mu[i], mu[j], m.components[i]->mw, m.components[j]->mw);
    }
    out += x[i] * prop[i] / den;
  }
  return out;
}

// A phase of water alone (a pure-water stream) takes every property from the water formulation at
// the phase's pressure; false for any other mixture.
bool water_only(const Mixture& m, Phase phase, double t, RangeNotes* notes, water::Molar& out) {
  const Component* w = nullptr;
  for (std::size_t i = 0; i < m.x.size(); ++i) {
    if (m.x[i] <= 0.0) continue;
    if (w != nullptr || !water::is_water(*m.components[i])) return false;
    w = m.components[i];
  }
  if (w == nullptr) return false;
  bool outside = false;
  out = water::at(*w, t, m.p, phase == Phase::kVapour ? if97::Side::kVapour : if97::Side::kLiquid, &outside);
  if (outside && notes != nullptr) notes->add(*w, "water formulation", t);
  return true;
}

// Water in a liquid mixture at the phase's pressure where it is known (compressed liquid, as a
// phase of water alone has it), so that, for one, a liquid's enthalpy is the sum of its parts'.
bool water_at_pressure_applies(const Mixture& m, Phase phase) { return phase == Phase::kLiquid && m.p > 0.0; }
void water_at_pressure(const Mixture& m, const std::vector<double>& x, Phase phase, double t, std::vector<double>& v,
                       double water::Molar::*field) {
  if (!water_at_pressure_applies(m, phase)) return;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i] > 0.0 && water::is_water(*m.components[i])) {
      const bool transport = field == &water::Molar::mu || field == &water::Molar::k;
      v[i] = water::at(*m.components[i], t, m.p, if97::Side::kLiquid, nullptr,
                       transport ? water::Need::kAll : water::Need::kThermo).*field;
    }
  }
}

}  // namespace

void RangeNotes::add(const Component& c, const char* property, double t) {
  std::ostringstream s;
  s << c.name << " " << property << " at T = " << t << " K is outside its correlation's range";
  const std::string text = s.str();
  for (const auto& i : items) {
    if (i == text) return;
  }
  items.push_back(text);
  components.push_back(c.name);
}

namespace {

using PureFunction = double (*)(const Component&, double, bool*);

// The ideal-mixing mean of one pure-component quantity (enthalpy or its temperature derivative): a
// phase of water alone from the water formulation, water in a liquid at the phase's pressure.
double ideal_mean(const Mixture& m, Phase phase, double t, RangeNotes* notes, const char* vapour_name,
                  const char* liquid_name, PureFunction vapour_f, PureFunction liquid_f, double water::Molar::*field) {
  if (water::Molar w; water_only(m, phase, t, notes, w)) return w.*field;
  const bool vapour = phase == Phase::kVapour;
  const auto x = normalised(m);
  // water's saturated value only feeds a range note where the phase's pressure replaces it
  const bool skip_water = notes == nullptr && water_at_pressure_applies(m, phase);
  auto v = pure_values(m, x, t, vapour ? vapour_name : liquid_name, notes, vapour ? vapour_f : liquid_f, skip_water);
  water_at_pressure(m, x, phase, t, v, field);
  double s = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) s += x[i] * v[i];
  return s;
}

}  // namespace

double enthalpy(const Mixture& m, Phase phase, double t, RangeNotes* notes) {
  return ideal_mean(m, phase, t, notes, "vapour enthalpy", "liquid enthalpy", vapour_enthalpy, liquid_enthalpy,
                    &water::Molar::h);
}

double enthalpy_dt(const Mixture& m, Phase phase, double t, RangeNotes* notes) {
  return ideal_mean(m, phase, t, notes, "vapour heat capacity", "liquid heat capacity", vapour_cp, liquid_cp,
                    &water::Molar::cp);
}

double molar_volume(const Mixture& m, Phase phase, double t, double p, RangeNotes* notes) {
  if (water::Molar w; water_only(Mixture{m.components, m.x, p}, phase, t, notes, w)) return w.v;
  if (phase == Phase::kVapour) return kGasConstant * t / p;
  const auto x = normalised(m);
  auto v = pure_values(m, x, t, "liquid density", notes, liquid_molar_volume);
  water_at_pressure(Mixture{m.components, m.x, p}, x, phase, t, v, &water::Molar::v);
  double s = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) s += x[i] * v[i];
  return s;
}

double molecular_weight(const Mixture& m) {
  const auto x = normalised(m);
  double s = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) s += x[i] * m.components[i]->mw;
  return s;
}

namespace {

// The components' low-pressure vapour viscosities, which weight both vapour transport rules.
std::vector<double> pure_vapour_viscosities(const Mixture& m, const std::vector<double>& x, double t, RangeNotes* notes) {
  return pure_values(m, x, t, "vapour viscosity", notes, static_cast<PureProperty>(vapour_viscosity));
}

}  // namespace

double vapour_viscosity(const Mixture& m, double t, RangeNotes* notes) {
  if (water::Molar w; water_only(m, Phase::kVapour, t, notes, w)) return w.mu;
  const auto x = normalised(m);
  const auto mu = pure_vapour_viscosities(m, x, t, notes);
  return wilke_type(m, x, mu, mu);
}

double vapour_conductivity(const Mixture& m, double t, RangeNotes* notes) {
  if (water::Molar w; water_only(m, Phase::kVapour, t, notes, w)) return w.k;
  const auto x = normalised(m);
  const auto mu = pure_vapour_viscosities(m, x, t, notes);
  const auto k = pure_values(m, x, t, "vapour conductivity", notes, static_cast<PureProperty>(vapour_conductivity));
  return wilke_type(m, x, k, mu);
}

double liquid_viscosity(const Mixture& m, double t, RangeNotes* notes) {
  if (water::Molar w; water_only(m, Phase::kLiquid, t, notes, w)) return w.mu;
  // Logarithmic (Arrhenius) rule: ln mu = sum x_i ln mu_i.
  const auto x = normalised(m);
  auto mu = pure_values(m, x, t, "liquid viscosity", notes, static_cast<PureProperty>(liquid_viscosity));
  water_at_pressure(m, x, Phase::kLiquid, t, mu, &water::Molar::mu);
  double s = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i] > 0.0) s += x[i] * std::log(mu[i]);
  }
  return std::exp(s);
}

double liquid_conductivity(const Mixture& m, double t, RangeNotes* notes) {
  if (water::Molar w; water_only(m, Phase::kLiquid, t, notes, w)) return w.k;
  // Vredeveld's power-law rule on mass fractions: k = (sum w_i k_i^-2)^(-1/2).
  const auto x = normalised(m);
  auto k = pure_values(m, x, t, "liquid conductivity", notes, static_cast<PureProperty>(liquid_conductivity));
  water_at_pressure(m, x, Phase::kLiquid, t, k, &water::Molar::k);
  const double mw = molecular_weight(m);
  double s = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i] > 0.0) s += x[i] * m.components[i]->mw / mw / (k[i] * k[i]);
  }
  return s > 0.0 ? 1.0 / std::sqrt(s) : 0.0;
}

double surface_tension(const Mixture& m, double t, RangeNotes* notes) {
  // Mole-fraction average of the pure-component surface tensions.
  const auto x = normalised(m);
  const auto st = pure_values(m, x, t, "surface tension", notes, static_cast<PureProperty>(surface_tension));
  double s = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) s += x[i] * st[i];
  return s;
}

}  // namespace kvt::reference
