// The property methods against independent references (measured bubble points, the databank's
// vapour pressures and heats of vaporisation, the equation's critical point, a reference-equation
// gas density), every flash kind under both, and the notes a method leaves out of its depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#include "models/dense_transport.h"
#include "models/henry.h"
#include "data/iapws/if97.h"
#include "data/iapws/transport.h"
#include "models/method_choice.h"
#include "models/mixture.h"
#include "model.h"
#include "flash/phase_properties.h"

namespace kvt::reference::test {
namespace {

const std::vector<double> kPure{1.0};

// Benzene-toluene at 101.325 kPa, measured bubble points (C. J. Geankoplis, Transport Processes and
// Unit Operations, 3rd ed., Table 11.1-1), given to 0.1 K; benzene-toluene is close to ideal and the
// vapour-pressure fits hold each boiling point within 0.05 K: 1 K. Peng-Robinson (k_ij = 0 for this
// pair) must stay within 1 K of the ideal answer at this pressure.
TEST(BenzeneToluene, BubblePointsAt101kPa) {
  const struct { double x, t; } kMeasured[] = {{0.780, 358.2}, {0.581, 363.2}, {0.411, 368.2}, {0.258, 373.2}, {0.130, 378.2}};
  for (const auto& m : kMeasured) {
    const std::vector<double> z{m.x, 1.0 - m.x};
    const FlashResult ideal = flash(system_of({"benzene", "toluene"}), z, request(3, 101325.0, 0.0));
    const FlashResult pr = flash(system_of({"benzene", "toluene"}, Method::peng_robinson), z, request(3, 101325.0, 0.0));
    ASSERT_TRUE(ideal.converged && pr.converged);
    EXPECT_NEAR(ideal.t, m.t, 1.0);
    EXPECT_NEAR(pr.t, ideal.t, 1.0);
    std::printf("[ deviation ] x = %.3f ideal %+.2f K, peng-robinson %+.2f K\n", m.x, ideal.t - m.t, pr.t - ideal.t);
  }
}

// The equation's saturation temperature (a pure component's bubble point at the correlation's pressure
// at T, the distance in T from the pressure's offset over the correlation's slope), with each
// component's fitted alpha, against the databank's vapour-pressure correlation for every component,
// Tr 0.45 to 0.95 (inside the correlation's range, from 100 Pa): 1 K, or, for a component the databank
// marks as missing it, what it states (select_components then names it in a note: library_test).
TEST(PengRobinson, SaturationTemperaturesWithinAKelvinOrNoted) {
  int noted = 0;
  for (const auto& e : bank().entries) {
    const Component& c = *bank().find(e.name);
    if (c.name == "water") continue;  // its saturation line is the formulation's
    const double bound = std::max(1.0, c.saturation_miss + 0.05);
    double worst = 0.0;
    for (double tr = 0.45; tr < 0.951; tr += 0.05) {
      const double t = tr * c.tc, ref = std::exp(ln_vapour_pressure(c, t));
      // below the flash's lowest pressure (the heavy alkanes at Tr 0.45) or temperature (hydrogen), or the correlation's range
      if (ref < 1e2 || t < c.vapour_pressure.tmin() || t < 60.0) continue;
      const FlashResult r = flash(system_of({c.name.c_str()}, Method::peng_robinson), kPure, request(5, t, 0.0));
      const double miss = std::log(r.p / ref) / dln_vapour_pressure_dt(c, t);
      EXPECT_LE(std::abs(miss), bound) << c.name << " Tr " << tr << " " << r.message;
      worst = std::max(worst, std::abs(miss));
    }
    noted += c.saturation_miss > kSaturationMissNoted;
    std::printf("[ deviation ] %s peng-robinson saturation temperature %.2f K\n", c.name.c_str(), worst);
  }
  EXPECT_LE(noted, 12);  // the databank's count (docs/databank.md); more is a worse fit
}

// Each pure component's critical point is the equation's: the liquid and vapour roots meet at
// (Tc, Pc), and the saturation line reaches Pc as T reaches Tc.
TEST(PengRobinson, CriticalPointIsTheDatabanks) {
  for (const auto& c : bank().components) {
    const FlashSystem sys = system_of({c.name.c_str()}, Method::peng_robinson);
    const double zl = pr_phase(sys.pr, c.tc, c.pc, kPure, Root::kLiquid).z, zv = pr_phase(sys.pr, c.tc, c.pc, kPure, Root::kVapour).z;
    EXPECT_NEAR(zl, zv, 1e-4) << c.name;
    if (c.tc < 60.0) continue;  // below the flash's lowest temperature (hydrogen, neon)
    const FlashResult r = flash(sys, kPure, request(5, 0.9999 * c.tc, 0.0));
    EXPECT_NEAR(r.p, c.pc, 0.005 * c.pc) << c.name;
  }
}

// Methane, vapour volume from the flash against the reference equation (U. Setzmann, W. Wagner,
// J. Phys. Chem. Ref. Data 20 (1991) 1061, tables): density 59.261 kg/m3 at 350 K and 10 MPa.
// Compressibility factor within 1 %.
TEST(PengRobinson, MethaneCompressibility) {
  const double t = 350.0, p = 10e6, rho = 59.261, mw = 16.0428;
  const FlashResult r = flash(system_of({"methane"}, Method::peng_robinson), kPure, request(2, t, p));
  const double z = p * r.phase_volume[kV] / (kGasConstant * t), ref = p * mw / (rho * kGasConstant * t);
  EXPECT_NEAR(z, ref, 0.01 * ref);
  std::printf("[ deviation ] methane Z at 350 K, 10 MPa %+.2f %%\n", 100.0 * (z / ref - 1.0));
}

// Van der Waals one-fluid mixing with the published k_ij (Knapp et al., DECHEMA Chemistry Data Series
// VI, 1982), seen in the second virial coefficient B = b - a / RT that the equation implies at low
// pressure (Z - 1 = B P / RT). Each pure a_i follows from its own B_i and b_i = 0.07780 R Tc / Pc; the
// mixture's B then differs from the mole-fraction mean of the pure ones by
// -(sum_ij x_i x_j (a_i a_j)^(1/2) (1 - k_ij) - sum_i x_i a_i) / RT (the volume translation, linear in
// x, drops out). At 10 Pa the third virial term is below 1e-6 of B: 1e-5.
TEST(PengRobinson, PairsMixByTheOneFluidRuleWithTheirKij) {
  const struct { const char* a; const char* b; double kij, t; } kPairs[] = {
      {"nitrogen", "methane", 0.0311, 200.0}, {"methane", "n-butane", 0.0133, 300.0},
      {"nitrogen", "propane", 0.0852, 300.0}, {"benzene", "toluene", 0.0, 400.0}};
  const double p = 10.0;
  for (const auto& pair : kPairs) {
    const FlashSystem sys = system_of({pair.a, pair.b}, Method::peng_robinson);
    const double rt = kGasConstant * pair.t;
    auto virial = [&](std::vector<double> x) { return (pr_phase(sys.pr, pair.t, p, x, Root::kVapour).z - 1.0) * rt / p; };
    double a[2], bv[2];
    for (int i = 0; i < 2; ++i) {
      const Component& c = *sys.components[i];
      bv[i] = virial({i == 0 ? 1.0 : 0.0, i == 1 ? 1.0 : 0.0});
      a[i] = (0.07780 * kGasConstant * c.tc / c.pc - bv[i] - sys.pr.shift[i]) * rt;
    }
    for (double x : {0.2, 0.5, 0.8}) {
      const double xs[2] = {x, 1.0 - x};
      double a_mix = 0.0;
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) a_mix += xs[i] * xs[j] * std::sqrt(a[i] * a[j]) * (i == j ? 1.0 : 1.0 - pair.kij);
      const double want = x * bv[0] + (1.0 - x) * bv[1] - (a_mix - x * a[0] - (1.0 - x) * a[1]) / rt;
      EXPECT_NEAR(virial({x, 1.0 - x}), want, 1e-5 * std::abs(want)) << pair.a << "/" << pair.b << " x " << x;
    }
  }
}

// The transport mixing rules against their published formulas, computed here from the databank's pure
// values: vapour viscosity by Wilke (1950), vapour conductivity by Wassiljewa with the Mason-Saxena phi,
// liquid viscosity ln mu = sum x_i ln mu_i, liquid conductivity by Vredeveld on mass fractions, surface
// tension the mole-fraction mean. The fractions given sum to 2 (a mixture is normalised). In a liquid
// at a known pressure, water's own value is the formulation's at that pressure.
TEST(MixingRules, FollowTheirPublishedFormulas) {
  using Pure = double (*)(const Component&, double, bool*);
  using Rule = double (*)(const Mixture&, double, RangeNotes*);
  enum Form { kWilke, kLogMean, kVredeveld, kMean };
  const struct { const char* label; Rule rule; Pure pure; Form form; std::vector<const char*> names; double t, p = 0.0; } kRows[] = {
      {"vapour viscosity", vapour_viscosity, vapour_viscosity, kWilke, {"nitrogen", "methane", "n-hexane"}, 400.0},
      {"vapour conductivity", vapour_conductivity, vapour_conductivity, kWilke, {"nitrogen", "methane", "n-hexane"}, 400.0},
      {"liquid viscosity", liquid_viscosity, liquid_viscosity, kLogMean, {"n-hexane", "benzene", "toluene"}, 320.0},
      {"liquid conductivity", liquid_conductivity, liquid_conductivity, kVredeveld, {"n-hexane", "benzene", "toluene"}, 320.0},
      {"surface tension", surface_tension, surface_tension, kMean, {"n-hexane", "benzene", "toluene"}, 320.0},
      {"liquid viscosity at 20 MPa", liquid_viscosity, liquid_viscosity, kLogMean, {"methanol", "water", "ethanol"}, 320.0, 20e6},
      {"liquid conductivity at 20 MPa", liquid_conductivity, liquid_conductivity, kVredeveld, {"methanol", "water", "ethanol"}, 320.0,
       20e6}};
  const std::vector<double> x{0.5, 0.3, 0.2};
  for (const auto& row : kRows) {
    Mixture m;
    for (const char* n : row.names) m.components.push_back(bank().find(n));
    for (double v : x) m.x.push_back(2.0 * v);
    m.p = row.p;
    std::vector<double> v, mu, mw;
    double mean_mw = 0.0;
    for (const Component* c : m.components) {
      v.push_back(row.pure(*c, row.t, nullptr));
      if (row.p > 0.0 && c->formula == "H2O") {
        const if97::State w = if97::state(row.t, row.p, if97::Side::kLiquid);
        v.back() = row.form == kLogMean ? iapws::viscosity(w.rho, row.t) : iapws::conductivity(w);
      }
      mu.push_back(vapour_viscosity(*c, row.t, nullptr));
      mw.push_back(c->mw);
    }
    for (std::size_t i = 0; i < x.size(); ++i) mean_mw += x[i] * mw[i];
    double want = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      double den = 0.0;
      for (std::size_t j = 0; j < x.size(); ++j)
        den += x[j] * std::pow(1.0 + std::sqrt(mu[i] / mu[j]) * std::pow(mw[j] / mw[i], 0.25), 2) / std::sqrt(8.0 * (1.0 + mw[i] / mw[j]));
      want += row.form == kWilke ? x[i] * v[i] / den : row.form == kLogMean ? x[i] * std::log(v[i])
              : row.form == kVredeveld ? x[i] * mw[i] / mean_mw / (v[i] * v[i]) : x[i] * v[i];
    }
    want = row.form == kLogMean ? std::exp(want) : row.form == kVredeveld ? 1.0 / std::sqrt(want) : want;
    EXPECT_NEAR(row.rule(m, row.t, nullptr), want, 1e-12 * want) << row.label;
  }
}

// H_V - H_L of each pure component at the databank's vapour pressure under Peng-Robinson (whose
// vapour carries its residual enthalpy) against the heat-of-vaporisation correlation (DIPPR class
// under 3 %) over Tr 0.5 to 0.9: 3 %, for nitrogen and the light hydrocarbons and aromatics. Water and
// methanol miss it by 4 to 7 % (the equation misses the residual enthalpy of these hydrogen-bonded
// vapours, see the README); heavier and polar components by what their tables' liquid heat capacity,
// ideal-gas heat capacity and heat of vaporisation disagree among themselves away from Tr 0.7.
TEST(PengRobinson, HeatOfVaporisationFollowsItsCorrelation) {
  for (const char* name : {"nitrogen", "methane", "ethane", "propane", "n-butane", "n-pentane", "n-hexane", "n-heptane", "benzene", "toluene"}) {
    const Component& c = *bank().find(name);
    const FlashSystem sys = system_of({c.name.c_str()}, Method::peng_robinson);
    double worst = 0.0;
    for (double tr = 0.5; tr < 0.901; tr += 0.05) {
      const double t = tr * c.tc, p = std::exp(ln_vapour_pressure(c, t)), ref = heat_of_vaporisation(c, t);
      auto h = [&](PhaseModel m) { return flash(sys, kPure, request(2, t, p, m)).enthalpy; };
      const double dh = h(PhaseModel::kVapourOnly) - h(PhaseModel::kLiquidOnly);
      EXPECT_NEAR(dh, ref, 0.03 * ref) << c.name << " Tr " << tr;
      worst = std::max(worst, std::abs(dh / ref - 1.0));
    }
    std::printf("[ deviation ] %s peng-robinson heat of vaporisation %.2f %%\n", c.name.c_str(), 100.0 * worst);
  }
  // The latent heat a curve carries across every component's boiling (h at vapour fraction 1 less h
  // at 0) against the correlation, both methods, at 101 325 Pa and at 0.8 Pc: 2 % up to Tr 0.9, 5 % up
  // to 0.97 (beyond, or where the method finds no boiling, no row). Under Peng-Robinson the liquid's
  // path starts at the normal boiling point (Tr 0.7 if that is lower): cyclohexanone and ozone boil
  // below Tr 0.7; near Tc the liquid is bent onto the correlation as far as its heat capacity may
  // give, which leaves argon, ozone and diethyl ether (whose tables disagree by more) and 1-pentyne
  // (boiling at Tr 0.955, its saturation 10 K off). These misses are stated (%) and noted at run time.
  // The ideal method's vapour carries Lee and Kesler's residual and its liquid is bent alike near Tc:
  // ozone at 1 atm, and at 0.8 Pc diethyl ether (as under the equation), ammonia and fluoromethane
  // miss. Each state of a flash under it notes every component it takes beyond the bound at the
  // flash's pressure, with the miss (and none within it).
  const std::map<std::string, double> kMisses[2][2] = {
      {{{"ozone", 2.30}}, {{"ammonia", 8.12}, {"diethyl ether", 24.81}, {"fluoromethane", 5.72}}},
      {{{"cyclohexanone", 3.89}, {"ozone", 2.17}},
       {{"1-pentyne", 10.27}, {"argon", 6.95}, {"diethyl ether", 27.60}, {"ozone", 7.63}}}};
  for (int high : {0, 1}) {
    for (Method m : {Method::ideal, Method::peng_robinson}) {
      for (const auto& e : bank().entries) {
        const Component& c = *bank().find(e.name);
        const FlashSystem sys = system_of({c.name.c_str()}, m);
        const double p = high ? 0.8 * c.pc : 101325.0;
        const FlashResult l = flash(sys, kPure, request(3, p, 0.0)), v = flash(sys, kPure, request(3, p, 1.0));
        if (c.name == "water" || l.t < c.heat_of_vaporisation.tmin()) continue;  // water: IAPWS; carbon dioxide sublimes
        const double t = 0.5 * (l.t + v.t), ref = heat_of_vaporisation(c, t), jump = v.enthalpy - l.enthalpy;
        const std::string label = c.name + (m == Method::ideal ? " ideal" : " peng-robinson") + (high ? " 0.8 Pc" : " 1 atm");
        if (high && (!l.converged || !v.converged || t > 0.97 * c.tc)) continue;
        ASSERT_TRUE(l.converged && v.converged) << label;
        const double miss = 100.0 * (jump / ref - 1.0);
        const std::map<std::string, double>& misses = kMisses[m == Method::peng_robinson][high];
        const double bound = misses.contains(c.name) ? misses.at(c.name) + 0.05 : t <= 0.9 * c.tc ? 2.0 : 5.0;
        EXPECT_NEAR(jump, ref, bound / 100.0 * ref) << label;
        if (m == Method::ideal) {
          char text[16];
          std::snprintf(text, sizeof text, "%+.1f %% at", miss);
          for (const FlashResult* r : {&l, &v}) {
            const auto noted = std::find_if(r->limits.begin(), r->limits.end(), [&](const Note& n) { return n.component == c.name && n.text.find("latent heat") != std::string::npos; });
            EXPECT_EQ(noted != r->limits.end(), std::abs(miss) > (t <= 0.9 * c.tc ? 2.0 : 5.0)) << label;
            if (noted != r->limits.end()) {
              EXPECT_NE(noted->text.find(text), std::string::npos) << noted->text << " " << miss;
            }
          }
        }
      }
    }
  }
}

// A compressed liquid at fixed composition and pressure grows less dense and its heat capacity
// rises as it warms, smoothly, also through the critical temperature of one of its components
// (propane, 369.8 K, in an equimolar C3-C4-C5 liquid at 2 MPa, bubble point near 373 K).
TEST(PengRobinson, LiquidThroughAComponentsCriticalTemperature) {
  const FlashSystem sys = system_of({"propane", "n-butane", "n-pentane"}, Method::peng_robinson);
  const std::vector<double> z(3, 1.0 / 3.0);
  auto at = [&](double t) { return flash(sys, z, request(2, t, 2e6)); };
  auto cp = [&](double t) { return (at(t + 0.05).enthalpy - at(t - 0.05).enthalpy) / 0.1; };
  for (double t = 340.0; t <= 372.0; t += 2.0) {
    const FlashResult a = at(t - 2.0), b = at(t);
    ASSERT_EQ(b.vapour_fraction, 0.0) << t;
    EXPECT_TRUE(cp(t) > cp(t - 2.0) && cp(t) < 1.05 * cp(t - 2.0)) << "heat capacity at " << t << " K";
    EXPECT_TRUE(b.phase_volume[kL1] > a.phase_volume[kL1] && b.phase_volume[kL1] < 1.02 * a.phase_volume[kL1]) << t;
  }
}

// Phase boundaries along T at 0.05 K spacing where the physics puts them, and none where it puts none.
// Free water under Peng-Robinson is one three-phase equilibrium: the organic liquid's and the free
// water's boundaries lie within 0.2 K of an independent three-phase calculation of the same model
// (tests/reference/free_water_pr.py, python3-iapws for water: the figures of `organic` and `water`
// below; the C3-C4-C5 row's organics boil beside free water across its range; wet hydrogen sulfide
// boils at its three-phase point, a nearly pure organic liquid beside free water), each phase fraction moves by no more than the spacing's share of a multicomponent liquid's
// boiling range (no step: the overhead vapour of a hydrocarbon stripper used to condense 3 wt % of
// itself at once at its water dew point), and switching free water off moves the water dew point
// of a gas whose water hardly mixes with its organics by at most 0.3 K (the equation's water boils
// within 0.5 % of the formulation's pressure, 0.1 K; its liquid volume and the gas it dissolves the
// rest). n-Hexane/water at 101.325 kPa boils at 334.75 K (61.6 degC, the heteroazeotrope of the CRC
// Handbook's azeotrope table): within 0.5 K. Water at 25 MPa, above its critical pressure, is one
// fluid: no boundary, no note.
struct Boundary {
  const char* label;
  std::vector<const char*> names;
  std::vector<double> z;
  double p, t_lo, t_hi;
  double organic, water;  // K, the highest T with the organic liquid, the free water (NaN: none in range)
  double measured;        // K, NaN: none
};
class Boundaries : public ::testing::TestWithParam<Boundary> {};
TEST_P(Boundaries, LieWhereTheyShould) {
  const Boundary& b = GetParam();
  const FlashSystem sys = system_of(b.names, Method::peng_robinson);
  auto at = [&](double t, bool free_water) { return flash(sys, b.z, request(2, t, b.p, PhaseModel::kEquilibrium, free_water)); };
  // a gas whose water condenses alone: its water dew point the same without free water
  const bool gas = b.names.size() > 2 && std::isnan(b.organic) && !std::isnan(b.water);
  double organic = std::nan(""), water = std::nan(""), off = std::nan(""), largest_step = 0.0;
  int crossings = 0;  // of the liquids' boundaries, either way: each once at most (no flicker)
  FlashResult last = at(b.t_lo, true), last_off = at(b.t_lo, !gas);
  for (double t = b.t_lo + 0.05; t <= b.t_hi; t += 0.05) {
    const FlashResult r = at(t, true), o = gas ? at(t, false) : r;
    ASSERT_TRUE(r.converged && o.converged) << t << " " << r.message << o.message;
    EXPECT_TRUE(b.names.size() > 1 || r.limits.empty()) << t << " " << r.limits.front().text;
    for (int l : {kL1, kL2}) crossings += (last.phase_amount[l] > 0.0) != (r.phase_amount[l] > 0.0);
    if (last.phase_amount[kL1] > 0.0 && r.phase_amount[kL1] <= 0.0) organic = t - 0.025;
    if (last.phase_amount[kL2] > 0.0 && r.phase_amount[kL2] <= 0.0) water = t - 0.025;
    if (last_off.vapour_fraction < 1.0 && o.vapour_fraction >= 1.0) off = t - 0.025;
    for (int p : {kV, kL1, kL2}) largest_step = std::max(largest_step, std::abs(r.phase_amount[p] - last.phase_amount[p]));
    last = r, last_off = o;
  }
  for (auto [found, expected] : {std::pair{organic, b.organic}, std::pair{water, b.water}}) {
    EXPECT_TRUE(std::isnan(found + expected) ? std::isnan(found) == std::isnan(expected) : std::abs(found - expected) <= 0.2)
        << found << " for " << expected;
  }
  EXPECT_LT(largest_step, b.names.size() > 2 ? 0.02 : 1.0);
  EXPECT_LE(crossings, 2);
  EXPECT_TRUE(!gas || std::abs(off - water) <= 0.3) << off << " without free water";
  EXPECT_TRUE(std::isnan(b.measured) || std::abs(organic - b.measured) <= 0.5) << organic;
  // an organic liquid beside free water (listed second) at low pressure, no vapour: the vapour they
  // would first give off holds each at its vapour pressure, y_w / y_o = Psat_w / Psat_o within 3 %
  // (the equation's fugacities depart from Raoult's law by about that at one atmosphere)
  if (const FlashResult cold = at(b.t_lo, true); b.names.size() == 2 && b.p < 2e5 && cold.phase_amount[kV] <= 0.0) {
    ASSERT_GT(cold.phase_amount[kL2], 0.0);
    const double ratio = if97::saturation_pressure(b.t_lo) / std::exp(ln_vapour_pressure(*sys.components[0], b.t_lo));
    EXPECT_NEAR(cold.y[1] / cold.y[0] / ratio, 1.0, 0.03) << cold.y[1];
  }
  std::printf("[ boundary ] %s: organic liquid to %.2f K, free water to %.2f K, without free water a liquid to %.2f K\n",
              b.label, organic, water, off);
}
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
const std::vector<const char*> kSourGas = {"methane", "carbon dioxide", "hydrogen sulfide", "propane", "n-butane", "water"};
const std::vector<double> kSourFeed = {0.70, 0.08, 0.05, 0.05, 0.02, 0.10};
INSTANTIATE_TEST_SUITE_P(
    Cases, Boundaries,
    ::testing::Values(
        Boundary{"hexane_water", {"n-hexane", "water"}, {0.5, 0.5}, 101325.0, 332.0, 337.0, 334.3282, kNone, 334.75},
        Boundary{"c3c4c5_water", {"propane", "n-butane", "n-pentane", "water"}, {0.3, 0.3, 0.3, 0.1}, 2e6, 370.0, 376.0,
                 kNone, kNone, kNone},
        Boundary{"stripper_overhead", {"n-hexane", "n-heptane", "water", "nitrogen"}, {0.4, 0.2, 1.0 / 3.0, 0.2 / 3.0}, 2.5e5,
                 366.5, 369.0, 367.8260, 367.6649, kNone},
        Boundary{"sour_gas_20bar", kSourGas, kSourFeed, 20e5, 388.0, 391.0, kNone, 389.5108, kNone},
        Boundary{"sour_gas_30bar", kSourGas, kSourFeed, 30e5, 399.5, 402.0, kNone, 400.8620, kNone},
        Boundary{"sour_gas_50bar", kSourGas, kSourFeed, 50e5, 414.0, 416.5, kNone, 415.1748, kNone},
        Boundary{"wet_h2s_three_phase", {"hydrogen sulfide", "water"}, {0.9, 0.1}, 30e5, 313.5, 316.5, 315.1102, kNone, kNone},
        Boundary{"wet_h2s_20bar", {"hydrogen sulfide", "water"}, {0.9, 0.1}, 20e5, 388.0, 390.0, kNone, 388.9349, kNone},
        Boundary{"wet_h2s_30bar", {"hydrogen sulfide", "water"}, {0.9, 0.1}, 30e5, 398.5, 401.0, kNone, 399.8686, kNone},
        Boundary{"water_above_pc", {"water"}, {1.0}, 25e6, 600.0, 700.0, kNone, kNone, kNone}),
    [](const auto& info) { return std::string(info.param.label); });

// What `auto` picks for a set at a pressure: water alone the water formulation; every pair with NRTL
// parameters at up to 5 bar NRTL; anything else Peng-Robinson; the reason names what decided.
TEST(AutomaticMethod, PicksByComponentsPressureAndPairData) {
  const struct { std::vector<const char*> names; double p; Method method; const char* name; const char* why; } kRows[] = {
      {{"water"}, 4e5, Method::ideal, "iapws", "water alone"},
      {{"n-butane"}, 4.9e5, Method::peng_robinson, "peng-robinson", "n-butane alone"},
      {{"carbon dioxide"}, 1e7, Method::peng_robinson, "peng-robinson", "alone"},
      {{"methanol", "water"}, 101325.0, Method::nrtl, "nrtl", "every pair has NRTL parameters, 1.01 bar"},
      {{"ethanol", "water"}, 5e5, Method::nrtl, "nrtl", "5 bar"},
      {{"methanol", "water"}, 1e6, Method::peng_robinson, "peng-robinson", "10 bar, above the 5 bar"},
      {{"methanol", "water", "nitrogen"}, 101325.0, Method::peng_robinson, "peng-robinson", "methanol/nitrogen, water/nitrogen"},
      {{"n-hexane", "n-heptane", "water", "nitrogen"}, 2.5e5, Method::peng_robinson, "peng-robinson", "no pair has"}};
  for (const auto& row : kRows) {
    std::vector<const Component*> cs;
    for (const char* n : row.names) cs.push_back(bank().find(n));
    const MethodChoice c = choose_method(bank(), cs, row.p);
    EXPECT_TRUE(c.method == row.method && c.name == row.name && c.reason.find(row.why) != std::string::npos) << c.name << ": " << c.reason;
  }
}

// A pure component at or above its critical pressure is one fluid under every method: over Tr 0.6
// to 1.6 every T-P flash gives one phase, the enthalpy has no step (a latent heat would be of the
// order of the heat of vaporisation; none of a fifth of it at Tr 0.8 across 0.5 K), and a vapour
// fraction specification finds no boundary. So too where it stands second in the list, behind one at
// none whose critical pressure is above the pressure.
TEST(AboveTheCriticalPressure, APureComponentIsOneFluidUnderEveryMethod) {
  for (const char* name : {"carbon dioxide", "propane", "n-hexane", "methanol", "water"}) {
    const Component& c = *bank().find(name);
    const double p = 1.36 * c.pc, step = 0.5, jump = 0.2 * heat_of_vaporisation(c, 0.8 * c.tc);
    const TRange r = flash_range(c);
    const std::vector<double> second{0.0, 1.0};
    for (const auto& [m, behind] : {std::pair{Method::ideal, false}, {Method::peng_robinson, false}, {Method::nrtl, false}, {Method::ideal, true}}) {
      const FlashSystem sys = behind ? system_of({"ammonia", name}, m) : system_of({name}, m);
      const std::vector<double>& z = behind ? second : kPure;
      double h_last = std::nan("");
      for (double t = std::max(r.min, 0.6 * c.tc); t <= std::min({r.max, 1.6 * c.tc, 990.0}); t += step) {
        const FlashResult f = flash(sys, z, request(2, t, p));
        ASSERT_TRUE(f.converged) << name << " " << t << " " << f.message;
        EXPECT_TRUE(f.vapour_fraction == 0.0 || f.vapour_fraction == 1.0) << name << " " << t << " K: " << f.vapour_fraction;
        EXPECT_FALSE(std::abs(f.enthalpy - h_last) > jump) << name << " " << static_cast<int>(m) << " " << t << " K: " << f.enthalpy - h_last;
        h_last = f.enthalpy;
      }
      for (double vf : {0.0, 1.0}) EXPECT_FALSE(flash(sys, z, request(3, p, vf)).converged) << name << " " << vf;
    }
  }
}

// Every specification kind finds the state a T-P flash found, under every method, with and without
// free water, inside and beyond the ideal method's pressure range.
TEST(Flash, EverySpecificationKindFindsTheTpState) {
  const std::vector<double> z{0.05, 0.15, 0.35, 0.25, 0.20};
  const PhaseModel eq = PhaseModel::kEquilibrium;
  for (Method m : {Method::ideal, Method::peng_robinson, Method::nrtl})
    for (bool fw : {false, true})
      for (double p : {5e5, 3e6}) {
        const FlashSystem sys = system_of({"nitrogen", "methane", "n-hexane", "toluene", "water"}, m);
        const FlashResult tp = flash(sys, z, request(2, 350.0, p, eq, fw));
        for (const FlashRequest& q : {request(1, p, tp.enthalpy, eq, fw), request(3, p, tp.vapour_fraction, eq, fw),
                                      request(4, 350.0, tp.enthalpy, eq, fw), request(5, 350.0, tp.vapour_fraction, eq, fw)}) {
          const FlashResult r = flash(sys, z, q);
          ASSERT_TRUE(r.converged) << r.message;
          EXPECT_NEAR(r.t, 350.0, 1e-6);
          EXPECT_NEAR(r.p, p, 1e-6 * p);
          EXPECT_NEAR(r.vapour_fraction, tp.vapour_fraction, 1e-7);
        }
      }
  // a single phase's T-H flash, its enthalpy independent of pressure, is met at its estimate's pressure
  const FlashSystem bt = system_of({"benzene", "toluene"});
  const std::vector<double> half{0.5, 0.5};
  const FlashResult liquid = flash(bt, half, request(2, 350.0, 2e5, PhaseModel::kLiquidOnly));
  FlashRequest th = request(4, 350.0, liquid.enthalpy, PhaseModel::kLiquidOnly);
  th.estimate = 2e5;
  const FlashResult r = flash(bt, half, th);
  EXPECT_TRUE(r.converged && r.t == 350.0 && r.p == 2e5) << r.message;
}

// A request the flash cannot take is refused as bad input, saying what is wrong, before any search;
// one with no solution fails without that mark, naming what it found instead: the least or greatest
// enthalpy, or the gases above their critical temperatures (searched from 200 K) left as vapour.
TEST(Flash, RefusesWhatItCannotTake) {
  auto from_200_k = [](FlashRequest q) { return q.t_min = 200.0, q; };
  // searched up to an unbounded pressure, a liquid's enthalpy met at the top: the bisection for the end
  // of that plateau never closes its bracket
  auto unbounded = [](FlashRequest q) { return q.p_max = HUGE_VAL, q; };
  const std::vector<const char*> bt{"benzene", "toluene"};
  const double h_liquid = flash(system_of(bt), std::vector{0.5, 0.5}, request(2, 350.0, 2e5)).enthalpy;
  const struct { std::vector<const char*> names; std::vector<double> z; FlashRequest q; const char* says; bool bad_input = true; const char* not_said = "\x01"; } kRows[] = {
      {bt, {0.5}, request(2, 350.0, 1e5), "composition has the wrong length"},
      {bt, {0.5, -0.1}, request(2, 350.0, 1e5), "negative or non-finite fraction"},
      {bt, {0.5, 0.4}, request(2, 350.0, 1e5), "mole fractions do not sum to 1"},
      {bt, {0.5, 0.5}, request(6, 350.0, 1e5), "KSPEC 6 is not 1 to 5"},
      {bt, {0.5, 0.5}, request(2, 59.0, 1e5), "temperature 59 K is outside the accepted range 60 to 1000 K"},
      {bt, {0.5, 0.5}, request(2, 350.0, 99.0), "pressure"},
      {bt, {0.5, 0.5}, request(2, 350.0, 6e7), "pressure"},
      {bt, {0.5, 0.5}, request(5, 350.0, 1.5), "vapour fraction 1.5"},
      {bt, {0.5, 0.5}, request(4, 350.0, std::nan("")), "enthalpy is not a number"},
      {bt, {0.5, 0.5}, request(5, 350.0, 0.5, PhaseModel::kLiquidOnly), "needs the vapour-liquid phase kind"},
      {bt, {0.5, 0.5}, request(3, 1e5, 0.5, PhaseModel::kVapourOnly), "needs the vapour-liquid phase kind"},
      {bt, {0.5, 0.5}, request(4, 350.0, 1e9, PhaseModel::kLiquidOnly), "does not depend on pressure", false},
      {bt, {0.5, 0.5}, request(1, 1e5, 1e12), "the greatest enthalpy found is", false},
      {bt, {0.5, 0.5}, request(1, 1e5, -1e12), "the least enthalpy found is", false},
      {{"nitrogen", "methane", "n-hexane"}, {0.1, 0.1, 0.8}, from_200_k(request(3, 2.5e5, 0.0)),
       "nitrogen, methane, above their critical temperatures, do not condense whole", false},
      {{"nitrogen", "n-hexane"}, {0.1, 0.9}, from_200_k(request(3, 2.5e5, 0.0)),
       ": nitrogen, above its critical temperature, does not condense whole", false},
      // vapour left where no gas is above its critical temperature: none is named
      {{"nitrogen", "n-hexane"}, {0.1, 0.9}, request(3, 100.0, 0.0), "vapour is left", false, "critical"},
      {bt, {0.5, 0.5}, unbounded(request(4, 350.0, h_liquid)), "the bisection stopped at its cap of 300 iterations", false},
      // a vapour fraction out of reach: part of the stream does not boil even at the least pressure, none of
      // it does, or all of it is vapour from the least temperature up
      {{"n-hexane", "n-eicosane"}, {0.5, 0.5}, request(5, 300.0, 1.0), "the vapour fraction reaches only 0.49", false},
      {{"n-nonadecane", "n-eicosane"}, {0.5, 0.5}, request(5, 300.0, 0.0), "all liquid over the whole range, so it has no bubble point", false},
      {{"methane", "ethane"}, {0.5, 0.5}, from_200_k(request(3, 1e5, 1.0)), "all vapour over the whole range, so it has no dew point", false}};
  for (const auto& row : kRows) {
    const FlashResult r = flash(system_of(row.names), row.z, row.q);
    EXPECT_TRUE(!r.converged && r.bad_input == row.bad_input && r.message.find(row.says) != std::string::npos &&
                r.message.find(row.not_said) == std::string::npos) << r.message;
  }
  // data that overflow at the state (an ideal-gas heat capacity near the largest double) fail the flash, never give its figures
  Component overflowing = *bank().find("benzene");
  overflowing.ideal_gas_cp.pieces[0].c[0] = 1e308;
  const FlashResult r = flash(flash_system(bank(), {&overflowing, bank().find("toluene")}, Method::ideal), std::vector{0.5, 0.5},
                              request(2, 350.0, 1e5));
  EXPECT_TRUE(!r.converged && r.message.find("not finite") != std::string::npos) << r.message;
}

// Gas and supercritical viscosity and conductivity against the published tables of
// dense_gas_transport.tsv (cited there), swept over pressure for each fluid: within 10 %, 20 % near the
// critical point (0.75 <= Tr <= 1.25 and Pr >= 0.2, where the tables' conductivity carries a critical
// enhancement the method leaves out) under Peng-Robinson; the ideal method, on the ideal gas's
// density, is held to the same bands at Pr <= 0.25 only.
TEST(DenseGas, TransportFollowsThePublishedTables) {
  int rows = 0;
  for (const std::string& line : table_rows(KVT_DENSE_GAS_TABLE)) {
    std::istringstream f(line);
    std::string name;
    double t = 0.0, p = 0.0, mu = 0.0, k = 0.0;
    f >> name >> t >> p >> mu >> k;
    p *= 1e6;
    const Component& c = *bank().find(name.c_str());
    const double tr = t / c.tc, pr = p / c.pc;
    const double tol = tr >= 0.75 && tr <= 1.25 && pr >= 0.2 ? 0.2 : 0.1;
    for (Method method : {Method::peng_robinson, Method::ideal}) {
      if (method == Method::ideal && pr > 0.25) continue;
      const FlashSystem sys = system_of({name.c_str()}, method);
      const double got_mu = phase_viscosity(sys, kPure, Phase::kVapour, t, p) * 1e6;
      const double got_k = phase_conductivity(sys, kPure, Phase::kVapour, t, p) * 1e3;
      EXPECT_NEAR(got_mu, mu, tol * mu) << line;
      EXPECT_NEAR(got_k, k, tol * k) << line;
    }
    ++rows;
  }
  EXPECT_GT(rows, 40);
  // a component without a critical volume leaves its mixture's values at their low-pressure ones
  Component no_vc = *bank().find("methane");
  no_vc.vc = 0.0;
  const Mixture m{{&no_vc, bank().find("ethane")}, {0.5, 0.5}, 5e6};
  EXPECT_EQ(dense_viscosity(m, 300.0, 3.0, 1e-5), 1e-5);
  EXPECT_EQ(dense_conductivity(m, 300.0, 3.0, 0.03), 0.03);
}

// Above the critical pressure the viscosity and conductivity of one fluid run from liquid to gas
// without a step: under Peng-Robinson, at 1.2 Pc from 0.8 to 1.4 Tc in 0.1 K steps, no step exceeds
// 5 % (where the density falls fastest, just above Tc, a measured isobar falls by about 2 % in 0.1 K;
// a jump between the liquid's and the gas's values would be a factor of 2 or more at any step).
TEST(DenseGas, TransportIsContinuousAboveTheCriticalPressure) {
  for (const char* name : {"methane", "ethane", "propane", "n-butane", "nitrogen", "carbon dioxide"}) {
    const FlashSystem sys = system_of({name}, Method::peng_robinson);
    const Component& c = *sys.components[0];
    const double p = 1.2 * c.pc;
    double last_mu = 0.0, last_k = 0.0;
    for (double t = 0.8 * c.tc; t <= 1.4 * c.tc; t += 0.1) {
      const FlashResult r = flash(sys, kPure, request(2, t, p));
      const Phase phase = r.phase_amount[kV] > 0.0 ? Phase::kVapour : Phase::kLiquid;
      const double mu = phase_viscosity(sys, kPure, phase, t, p), k = phase_conductivity(sys, kPure, phase, t, p);
      if (last_mu > 0.0) {
        EXPECT_NEAR(mu / last_mu, 1.0, 0.05) << name << " viscosity at " << t << " K";
        EXPECT_NEAR(k / last_k, 1.0, 0.05) << name << " conductivity at " << t << " K";
      }
      last_mu = mu, last_k = k;
    }
  }
}

// Gases dissolved in liquid water against the Henry's constants of IAPWS G7-04 as python3-iapws gives
// them (henry_iapws.tsv, written by henry_iapws.py), 0-150 degC. The host's constants within 0.1 % (the
// two take water's vapour pressure from different IAPWS equations). A gas/water feed 5:95 at 1 and 5
// bar above water's vapour pressure dissolves, under both methods, Henry's law's x = y P / kH at the
// gas's partial pressure within 15 % (the guideline's correlation holds its data to a few per cent;
// at 5 bar the vapour's fugacity coefficient, which the comparison leaves in, takes up to 7 %).
TEST(GasesInWater, DissolveByHenrysLaw) {
  int rows = 0;
  for (const std::string& line : table_rows(KVT_HENRY_TABLE)) {
    std::istringstream f(line);
    std::string cas, name;
    double t = 0.0, kh = 0.0;
    std::getline(f, cas, '\t');
    std::getline(f, name, '\t');
    f >> t >> kh;
    ASSERT_NE(henry_gas(cas), nullptr) << line;
    EXPECT_NEAR(std::exp(ln_henry_constant(*henry_gas(cas), t)), kh, 1e-3 * kh) << line;
    // every other row lists water first
    const std::size_t g = rows % 2;
    const std::vector<const char*> names = g == 0 ? std::vector{name.c_str(), "water"} : std::vector{"water", name.c_str()};
    const std::vector<double> z = g == 0 ? std::vector{0.05, 0.95} : std::vector{0.95, 0.05};
    for (Method method : {Method::ideal, Method::peng_robinson})
      for (double above : {1e5, 5e5}) {
        const double p = if97::saturation_pressure(t) + above;
        const FlashResult r = flash(system_of(names, method), z, request(2, t, p));
        ASSERT_TRUE(r.converged && r.phase_amount[kL1] > 0.0) << line << " " << p << " " << r.message;
        const double henry = r.y[g] * p / kh;
        EXPECT_NEAR(r.x1[g], henry, 0.15 * henry) << line << " " << p << " Pa, method " << static_cast<int>(method);
      }
    ++rows;
  }
  EXPECT_EQ(rows, 9 * 31);
}

// Where a method is out of its depth the flash says so, and only there.
struct Limit {
  const char* label;
  std::vector<const char*> names;
  std::vector<double> z;
  Method method;
  double t, p;
  PhaseModel model;
  const char* expected;  // part of the note; empty: no note
  NoteKind kind = NoteKind::other;
  const char* component = "";  // the component the note names, if one
  bool free_water = false;
};
class Limits : public ::testing::TestWithParam<Limit> {};
TEST_P(Limits, AreNoted) {
  const Limit& l = GetParam();
  const FlashResult r = flash(system_of(l.names, l.method), l.z, request(2, l.t, l.p, l.model, l.free_water));
  ASSERT_TRUE(r.converged);
  std::string all;
  for (const Note& s : r.limits) all += s.text + "\n";
  EXPECT_TRUE(*l.expected == '\0' ? all.empty() : all.find(l.expected) != std::string::npos) << all;
  for (const Note& s : r.limits) {
    if (s.text.find(l.expected) == std::string::npos) continue;
    EXPECT_TRUE(s.kind == l.kind && s.component == l.component && s.t == l.t && s.p == l.p) << s.text;
  }
}
INSTANTIATE_TEST_SUITE_P(
    Cases, Limits,
    ::testing::Values(
        Limit{"quiet", {"benzene", "toluene"}, {0.5, 0.5}, Method::ideal, 360.0, 101325.0, PhaseModel::kEquilibrium, ""},
        Limit{"ideal_pressure", {"propane", "n-butane"}, {0.5, 0.5}, Method::ideal, 320.0, 2e6, PhaseModel::kEquilibrium, "above 500 kPa",
              NoteKind::method_range},
        Limit{"pr_pressure", {"propane", "n-butane"}, {0.5, 0.5}, Method::peng_robinson, 320.0, 2e6, PhaseModel::kEquilibrium, ""},
        Limit{"supercritical", {"methane", "n-hexane"}, {0.1, 0.9}, Method::peng_robinson, 300.0, 5e6, PhaseModel::kEquilibrium,
              "methane is above its critical temperature", NoteKind::supercritical, "methane"},
        Limit{"gas_in_water", {"carbon dioxide", "water"}, {0.5, 0.5}, Method::peng_robinson, 298.15, 2e5, PhaseModel::kEquilibrium, ""},
        Limit{"gas_in_water_without_henry", {"propane", "water"}, {0.05, 0.95}, Method::ideal, 400.0, 1e6, PhaseModel::kEquilibrium,
              "propane is a gas (above its critical temperature, 369.8", NoteKind::supercritical, "propane"},
        Limit{"gas_beside_free_water", {"hydrogen sulfide", "water"}, {0.5, 0.5}, Method::peng_robinson, 298.15, 2e5,
              PhaseModel::kEquilibrium, "hydrogen sulfide would dissolve in it", NoteKind::method_range, "", true},
        Limit{"one_liquid", {"n-hexane", "water"}, {0.5, 0.5}, Method::ideal, 300.0, 101325.0, PhaseModel::kEquilibrium,
              "water and hydrocarbons share one liquid", NoteKind::shared_liquid},
        Limit{"forced", {"benzene"}, {1.0}, Method::peng_robinson, 400.0, 101325.0, PhaseModel::kLiquidOnly,
              "taken as all liquid", NoteKind::forced_phase},
        Limit{"forced_vapour", {"benzene"}, {1.0}, Method::ideal, 300.0, 101325.0, PhaseModel::kVapourOnly,
              "taken as all vapour", NoteKind::forced_phase},
        Limit{"forced_vapour_over_free_water", {"nitrogen", "water"}, {0.5, 0.5}, Method::ideal, 330.0, 101325.0, PhaseModel::kVapourOnly,
              "taken as all vapour", NoteKind::forced_phase, "", true},
        Limit{"forced_stable_liquid", {"benzene"}, {1.0}, Method::peng_robinson, 300.0, 101325.0, PhaseModel::kLiquidOnly, ""},
        Limit{"forced_stable_vapour", {"benzene"}, {1.0}, Method::ideal, 400.0, 101325.0, PhaseModel::kVapourOnly, ""},
        Limit{"nrtl_quiet", {"methanol", "water"}, {0.5, 0.5}, Method::nrtl, 350.0, 101325.0, PhaseModel::kEquilibrium, ""},
        Limit{"nrtl_pressure", {"methanol", "water"}, {0.5, 0.5}, Method::nrtl, 420.0, 1e6, PhaseModel::kEquilibrium,
              "NRTL method above 500 kPa", NoteKind::method_range},
        Limit{"nrtl_no_pair", {"methanol", "water", "n-hexane"}, {0.4, 0.4, 0.2}, Method::nrtl, 330.0, 101325.0,
              PhaseModel::kEquilibrium, "no parameters for water/n-hexane: that pair takes tau = 0", NoteKind::method_range},
        Limit{"nrtl_no_pair_present", {"methanol", "water", "n-hexane"}, {0.5, 0.5, 0.0}, Method::nrtl, 350.0, 101325.0,
              PhaseModel::kEquilibrium, ""},
        Limit{"nrtl_forced_one_liquid", {"methanol", "n-hexane"}, {0.25, 0.75}, Method::nrtl, 300.0, 101325.0, PhaseModel::kLiquidOnly,
              ""},
        Limit{"nrtl_cold", {"methanol", "water"}, {0.5, 0.5}, Method::nrtl, 280.0, 101325.0, PhaseModel::kEquilibrium,
              "more than 50 K outside the 337.69 to 373.15 K", NoteKind::method_range},
        Limit{"nrtl_two_liquids", {"methanol", "n-hexane"}, {0.25, 0.75}, Method::nrtl, 300.0, 101325.0,
              PhaseModel::kEquilibrium, ""},
        Limit{"nrtl_unsplit", {"methanol", "n-hexane", "water"}, {0.2, 0.6, 0.2}, Method::nrtl, 300.0, 101325.0,
              PhaseModel::kEquilibrium, "would split into two liquids, but with free water", NoteKind::method_range, "", true}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kvt::reference::test
