// The NRTL liquid against its closed forms (infinite dilution, Gibbs-Helmholtz, the heat capacity as
// the slope of the enthalpy), its liquid-liquid split against the equality of activities, and the
// NRTL method's bubble points and vapour compositions against measured data at 101.325 kPa.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "flash/activity_flash.h"
#include "model.h"
#include "models/nrtl.h"

namespace kvt::reference::test {
namespace {

NrtlData data_of(const std::vector<const char*>& names) {
  std::vector<const Component*> cs;
  for (const char* n : names) cs.push_back(bank().find(n));
  return nrtl_data(bank(), cs);
}

// Rows: a component set and a liquid; every identity is checked over 280-420 K.
struct Identity {
  std::vector<const char*> names;
  std::vector<double> x;
};
class NrtlIdentities : public ::testing::TestWithParam<Identity> {};
TEST_P(NrtlIdentities, HoldOverTemperature) {
  const NrtlData d = data_of(GetParam().names);
  const NrtlParameters& p = d.parameters;
  const std::vector<double>& x = GetParam().x;
  const std::size_t n = p.n;
  for (double t = 280.0; t <= 420.0; t += 20.0) {
    const NrtlAt m(p, t);
    // infinite dilution of component 0 in component 1: ln gamma_0 = tau_10 + tau_01 G_01
    std::vector<double> dilute(n, 0.0);
    dilute[1] = 1.0;
    const double tau01 = p.b[1] / t, tau10 = p.b[n] / t;
    EXPECT_NEAR(m.ln_gamma(dilute)[0], tau10 + tau01 * std::exp(-p.alpha[1] * tau01), 1e-12) << t;
    // g^E/RT = sum x ln gamma; h^E = -R T^2 sum x_i d ln gamma_i / dT; c_p^E = dh^E/dT
    const std::vector<double> lg = m.ln_gamma(x);
    double ge = 0.0, dsum = 0.0;
    const double dt = 1e-3;
    const std::vector<double> up = NrtlAt(p, t + dt).ln_gamma(x), down = NrtlAt(p, t - dt).ln_gamma(x);
    for (std::size_t i = 0; i < n; ++i) {
      ge += x[i] * lg[i];
      dsum += x[i] * (up[i] - down[i]) / (2.0 * dt);
    }
    EXPECT_NEAR(m.excess_gibbs(x), ge, 1e-14);
    const double he = nrtl_excess_enthalpy(p, x, t);
    EXPECT_NEAR(he, -kGasConstant * t * t * dsum, 1e-6 * std::max(1e3, std::abs(he))) << t;
    const double cp_fd = (nrtl_excess_enthalpy(p, x, t + dt) - nrtl_excess_enthalpy(p, x, t - dt)) / (2.0 * dt);
    EXPECT_NEAR(nrtl_excess_heat_capacity(p, x, t), cp_fd, 1e-5 * std::max(10.0, std::abs(cp_fd))) << t;
  }
}
INSTANTIATE_TEST_SUITE_P(Sets, NrtlIdentities,
                         ::testing::Values(Identity{{"methanol", "water"}, {0.3, 0.7}},
                                           Identity{{"methanol", "n-hexane"}, {0.6, 0.4}},
                                           Identity{{"methanol", "water", "benzene", "toluene"}, {0.4, 0.3, 0.2, 0.1}}));

// The pairs the databank lacks take tau = 0 and are named.
TEST(Nrtl, MissingPairsAreNamed) {
  const NrtlData d = data_of({"methanol", "water", "n-hexane"});
  ASSERT_EQ(d.missing.size(), 1u);
  EXPECT_EQ(d.missing[0], "water/n-hexane");
  EXPECT_EQ(d.parameters.b[1 * 3 + 2], 0.0);
}

// A liquid inside the split (methanol/n-hexane, 25 % methanol, 300 K) separates into two liquids of
// equal activities that hold the feed; one outside it (50 %) stays one liquid.
TEST(Nrtl, LiquidSplitIsAnEquilibrium) {
  const NrtlData d = data_of({"methanol", "n-hexane"});
  const NrtlAt m(d.parameters, 300.0);
  const LiquidSplit s = nrtl_liquid_split(m, std::vector<double>{0.25, 0.75});
  ASSERT_TRUE(s.split && s.status == SolveStatus::kConverged);
  const std::vector<double> g1 = m.ln_gamma(s.x1), g2 = m.ln_gamma(s.x2);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(std::log(s.x1[i]) + g1[i], std::log(s.x2[i]) + g2[i], 1e-8);
    EXPECT_NEAR((1.0 - s.beta) * s.x1[i] + s.beta * s.x2[i], i == 0 ? 0.25 : 0.75, 1e-8);
  }
  EXPECT_FALSE(nrtl_liquid_split(m, std::vector<double>{0.5, 0.5}).split);
  // at 300 K methanol and ethanol mix with water in every proportion, and 1-butanol/water splits between
  // about 2 % and 40 % butanol (measured: 1.9 % and 49 % at 25 degC)
  const struct { const char* first; double lo, hi; bool splits; } kPairs[] = {
      {"methanol", 0.02, 0.98, false}, {"ethanol", 0.02, 0.98, false}, {"1-butanol", 0.05, 0.35, true}};
  for (const auto& pair : kPairs) {
    const NrtlAt at(data_of({pair.first, "water"}).parameters, 300.0);
    for (double x = pair.lo; x <= pair.hi + 1e-9; x += 0.03) {
      EXPECT_EQ(nrtl_unstable(at, std::vector<double>{x, 1.0 - x}), pair.splits) << pair.first << " " << x;
    }
  }
}


// Bubble temperatures and vapour compositions at 101.325 kPa (KSPEC 3, vapour fraction 0) against
// the measured tables of vle_101kpa.tsv. Those tables give T to 0.1 K and compositions to 0.001 and
// scatter by about 0.5 K and 0.01 in y between the sets that DECHEMA collects: 1 K and 0.02.
TEST(NrtlMethod, BubblePointsAgainstMeasuredData) {
  std::ifstream in(KVT_VLE_TABLE);
  ASSERT_TRUE(in.good()) << KVT_VLE_TABLE;
  std::string line;
  std::getline(in, line);
  while (!line.empty() && line[0] == '#') std::getline(in, line);
  std::map<std::string, std::pair<double, double>> worst;  // system -> worst |dT|, |dy|
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string a, b;
    double x = 0.0, y = 0.0, t = 0.0;
    row >> a >> b >> x >> y >> t;
    const std::string label = a + "/" + b;
    if (bank().find(a) == nullptr || bank().find(b) == nullptr) {
      worst.emplace(label + " (not in the databank)", std::pair{0.0, 0.0});
      continue;
    }
    const FlashResult r = flash(system_of({a.c_str(), b.c_str()}, Method::nrtl), std::vector<double>{x, 1.0 - x},
                                request(3, 101325.0, 0.0));
    ASSERT_TRUE(r.converged) << label << " x " << x << ": " << r.message;
    EXPECT_NEAR(r.t - 273.15, t, 1.0) << label << " x " << x;
    EXPECT_NEAR(r.y[0], y, 0.02) << label << " x " << x;
    auto& w = worst[label];
    w.first = std::max(w.first, std::abs(r.t - 273.15 - t));
    w.second = std::max(w.second, std::abs(r.y[0] - y));
  }
  for (const auto& [label, w] : worst)
    std::printf("[ deviation ] %s at 101.325 kPa: bubble T %.2f K, y %.4f\n", label.c_str(), w.first, w.second);
}

// The ethanol/water azeotrope at 101.325 kPa, 78.15 degC at x = y = 0.894 (the last row of the
// ethanol/water table): where the bubble point's vapour equals its liquid. Near it y - x is so flat
// that 0.03 in x is under 0.005 in y, half the tables' scatter in y: 0.03; the temperature 0.3 K.
TEST(NrtlMethod, EthanolWaterAzeotrope) {
  if (bank().find("ethanol") == nullptr) GTEST_SKIP() << "ethanol is not in the databank";
  const FlashSystem sys = system_of({"ethanol", "water"}, Method::nrtl);
  auto bubble = [&](double x) { return flash(sys, std::vector<double>{x, 1.0 - x}, request(3, 101325.0, 0.0)); };
  double lo = 0.7, hi = 0.99;  // y - x falls through 0 between
  for (int i = 0; i < 40; ++i) {
    const double mid = 0.5 * (lo + hi);
    (bubble(mid).y[0] > mid ? lo : hi) = mid;
  }
  const FlashResult az = bubble(lo);
  EXPECT_NEAR(lo, 0.894, 0.03);
  EXPECT_NEAR(az.t - 273.15, 78.15, 0.3);
  std::printf("[ deviation ] ethanol/water azeotrope: x %+.4f, T %+.2f K\n", lo - 0.894, az.t - 273.15 - 78.15);
}


// n-butanol/water splits into two liquids through the flash: the second the aqueous one, both of equal
// activities, the absent vapour theirs; any feed inside the split boils at one temperature (the heteroazeotrope) with one vapour.
TEST(NrtlMethod, ButanolWaterTwoLiquids) {
  if (bank().find("1-butanol") == nullptr) GTEST_SKIP() << "1-butanol is not in the databank";
  const FlashSystem sys = system_of({"1-butanol", "water"}, Method::nrtl);
  // feeds across the split, 2 % to 40 % butanol, from 25 to 90 degC (the heteroazeotrope boils at 93)
  int split = 0;
  for (double t = 298.15; t <= 363.15; t += 5.0) {
    for (double zb = 0.02; zb <= 0.4; zb += 0.02) {
      const FlashResult r = flash(sys, std::vector<double>{zb, 1.0 - zb}, request(2, t, 101325.0));
      ASSERT_TRUE(r.converged) << t << " K, " << zb;
      if (!(r.phase_amount[kL1] > 0.0 && r.phase_amount[kL2] > 0.0)) continue;
      ++split;
      EXPECT_GT(r.x2[1], r.x1[1]);
      const NrtlAt m(sys.nrtl.parameters, t);
      const std::vector<double> g1 = m.ln_gamma(r.x1), g2 = m.ln_gamma(r.x2);
      for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR(std::log(r.x1[i]) + g1[i], std::log(r.x2[i]) + g2[i], 1e-7);
      // the absent vapour is the one both liquids would boil into: y_i in proportion to x_i gamma_i Psat_i
      double f[2], sum = 0.0;
      for (std::size_t i = 0; i < 2; ++i) sum += f[i] = r.x1[i] * std::exp(g1[i] + ln_vapour_pressure(*sys.components[i], t));
      for (std::size_t i = 0; i < 2; ++i) EXPECT_NEAR(r.y[i], f[i] / sum, 1e-6) << t << " K, " << zb << ", " << i;
    }
  }
  EXPECT_GT(split, 50);
  const FlashResult a = flash(sys, std::vector<double>{0.05, 0.95}, request(3, 101325.0, 0.0));
  const FlashResult b = flash(sys, std::vector<double>{0.2, 0.8}, request(3, 101325.0, 0.0));
  ASSERT_TRUE(a.converged && b.converged);
  EXPECT_NEAR(a.t, b.t, 1e-6);
  EXPECT_NEAR(a.y[0], b.y[0], 1e-6);
  const FlashResult r = flash(sys, std::vector<double>{0.2, 0.8}, request(2, 298.15, 101325.0));  // for the record
  std::printf("[ deviation ] 1-butanol/water heteroazeotrope at 101.325 kPa: %.2f degC, y %.3f; liquids at 25 degC x %.3f, %.4f\n",
              a.t - 273.15, a.y[0], r.x1[0], r.x2[0]);
  // the miss hosts/reference/README.md states at 25 degC, against the Solubility Data Series'
  // recommended x = 0.0191 (aqueous) and 0.488 butanol: butanol in water -70 %, water in butanol +32 %
  const auto mass = [&](double x) { return x * sys.components[0]->mw / (x * sys.components[0]->mw + (1.0 - x) * sys.components[1]->mw); };
  EXPECT_NEAR(mass(r.x2[0]) / mass(0.0191) - 1.0, -0.70, 0.02);
  EXPECT_NEAR((1.0 - mass(r.x1[0])) / (1.0 - mass(0.488)) - 1.0, 0.32, 0.02);
  // with nitrogen, a vapour beside the two liquids over a range of T: the three phases hold the feed,
  // the liquids' activities are equal and the vapour is theirs, y_i = x1_i gamma1_i Psat_i / P
  const FlashSystem wet = system_of({"nitrogen", "1-butanol", "water"}, Method::nrtl);
  const std::vector<double> z{0.3, 0.14, 0.56};
  for (double t = 300.0; t <= 355.0; t += 5.0) {
    const FlashResult v = flash(wet, z, request(2, t, 101325.0));
    ASSERT_TRUE(v.converged && v.phase_amount[kV] > 0.0 && v.phase_amount[kL1] > 0.0 && v.phase_amount[kL2] > 0.0) << t;
    const NrtlAt m(wet.nrtl.parameters, t);
    const std::vector<double> g1 = m.ln_gamma(v.x1), g2 = m.ln_gamma(v.x2);
    for (std::size_t i = 0; i < 3; ++i) {
      const double held = v.phase_amount[kV] * v.y[i] + v.phase_amount[kL1] * v.x1[i] + v.phase_amount[kL2] * v.x2[i];
      EXPECT_NEAR(held, z[i], 1e-9) << t << " K, component " << i;
      EXPECT_NEAR(std::log(v.x1[i]) + g1[i], std::log(v.x2[i]) + g2[i], 1e-8) << t << " K, component " << i;
      EXPECT_NEAR(std::log(v.y[i]), std::log(v.x1[i]) + g1[i] + ln_vapour_pressure(*wet.components[i], t) - std::log(101325.0), 1e-8)
          << t << " K, component " << i;
    }
  }
  // with free water, wherever water stands in the list, the organic liquid holds none (beside the free
  // water, or with too little water for any, all of it in the vapour), and neither does the liquid that
  // would first condense from a vapour, which is the dew point's: x_i in proportion to y_i / (gamma_i(x) Psat_i)
  const struct { std::vector<const char*> names; std::vector<double> z; std::size_t water; } kWet[] = {
      {{"nitrogen", "1-butanol", "water"}, z, 2}, {{"water", "nitrogen", "1-butanol"}, {0.05, 0.5, 0.45}, 0}};
  for (const auto& row : kWet) {
    const FlashSystem sys3 = system_of(row.names, Method::nrtl);
    const FlashResult organic = flash(sys3, row.z, request(2, 330.0, 101325.0, PhaseModel::kEquilibrium, true));
    ASSERT_TRUE(organic.converged && organic.phase_amount[kL1] > 0.0);
    EXPECT_EQ(organic.x1[row.water], 0.0);
    const FlashResult dry = flash(sys3, row.z, request(2, 400.0, 101325.0, PhaseModel::kEquilibrium, true));
    ASSERT_TRUE(dry.converged && dry.vapour_fraction == 1.0);
    EXPECT_EQ(dry.x1[row.water], 0.0);
    const std::vector<double> lg = NrtlAt(sys3.nrtl.parameters, 400.0).ln_gamma(dry.x1);
    double g[3] = {}, gsum = 0.0;
    for (std::size_t i = 0; i < 3; ++i)
      if (i != row.water) gsum += g[i] = dry.y[i] / std::exp(lg[i] + ln_vapour_pressure(*sys3.components[i], 400.0));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(dry.x1[i], g[i] / gsum, 1e-6) << i;
  }
  // water alone (the others at none) with free water boils on its own saturation line
  for (const auto& [t, vapour_fraction] : {std::pair{360.0, 0.0}, std::pair{390.0, 1.0}}) {
    const FlashResult w = flash(system_of({"water", "1-butanol"}, Method::nrtl), std::vector{1.0, 0.0},
                                request(2, t, 101325.0, PhaseModel::kEquilibrium, true));
    EXPECT_TRUE(w.converged && w.vapour_fraction == vapour_fraction) << t << " K: " << w.vapour_fraction;
  }
}


// A methanol/water stream (60 % methanol, 120 kPa) swept from 290 to 380 K by 0.25 K: its enthalpy
// rises and its vapour fraction never falls; its vapour is the ideal method's; in the liquid the heat capacity the host reports (ideal
// mixture plus dh^E/dT) is the slope of the enthalpy within 0.1 % and moves by under 0.5 % a step.
TEST(NrtlMethod, SweepIsContinuous) {
  const FlashSystem sys = system_of({"methanol", "water"}, Method::nrtl), ideal = system_of({"methanol", "water"});
  const std::vector<double> z{0.6, 0.4};
  const double p = 1.2e5, dt = 0.25;
  FlashResult last = flash(sys, z, request(2, 290.0, p));
  double last_cp = 0.0;
  for (double t = 290.0 + dt; t <= 380.0; t += dt) {
    const FlashResult r = flash(sys, z, request(2, t, p));
    ASSERT_TRUE(r.converged) << t;
    EXPECT_GT(r.enthalpy, last.enthalpy) << t;
    EXPECT_GE(r.vapour_fraction, last.vapour_fraction) << t;
    if (r.vapour_fraction > 0.0) {  // the vapour is the ideal method's, with no excess
      const double hv = phase_enthalpy(ideal, r.y, Phase::kVapour, t, p, Root::kVapour);
      EXPECT_NEAR(r.phase_enthalpy[kV], hv, 1e-12 * std::abs(hv)) << t;
    }
    if (r.vapour_fraction == 0.0 && last.vapour_fraction == 0.0) {
      const double cp = phase_heat_capacity(sys, z, Phase::kLiquid, t - 0.5 * dt, p, Root::kLiquid);
      EXPECT_NEAR(cp, (r.enthalpy - last.enthalpy) / dt, 1e-3 * cp) << t;
      if (last_cp > 0.0) { EXPECT_NEAR(cp, last_cp, 5e-3 * cp) << t; }
      last_cp = cp;
    }
    last = r;
  }
}

}  // namespace
}  // namespace kvt::reference::test
