// Characterisation of assays: a narrow cut at an n-alkane's (or an aromatic's) own boiling point and
// gravity is that component, as the databank gives it, within the methods' published accuracy; a curve cuts into
// shares that give back its bulk gravity; bad curves are refused naming the field.
#include <gtest/gtest.h>

#include "data/assay.h"
#include "data/distillation.h"
#include "kvt_reference/reference_host.h"
#include "model.h"

namespace kvt::reference::test {
namespace {

constexpr double kT60F = 288.706, kT15C = 288.15, kWater60F = 999.016;

// Tolerances (relative): MW 5 %, Tc 1.5 %, Pc 5 %, omega 10 %, liquid density at 15 degC 2 %,
// ideal-gas Cp at 300 K 5 % (6 % for n-eicosane, +5.2 %: at no gravity do its Cp and Pc both meet
// 5 %, docs/hxprops.md);
// an aromatic (toluene, o-xylene, naphthalene) within twice these. The rest are estimates of the
// class that PGL5 reports for its methods: liquid Cp and the heat of vaporisation at the boiling
// point within 5 %, surface tension 10 %, transport 25 %; the heat of vaporisation carried down to
// 330 K by Watson's power within 10 % above 520 K boiling (it runs 9 % low there).
TEST(Assay, NarrowCutIsTheComponentOfItsBoilingPointAndGravity) {
  const struct { const char* name; double scale; } kComponents[] = {
      {"n-hexane", 1}, {"n-heptane", 1}, {"n-octane", 1}, {"n-nonane", 1}, {"n-decane", 1}, {"n-dodecane", 1},
      {"n-tridecane", 1}, {"n-tetradecane", 1}, {"n-pentadecane", 1}, {"n-hexadecane", 1}, {"n-heptadecane", 1},
      {"n-octadecane", 1}, {"n-nonadecane", 1}, {"n-eicosane", 1}, {"toluene", 2}, {"o-xylene", 2}, {"naphthalene", 2}};
  for (const auto& [name, scale] : kComponents) {
    const Component& a = *bank().find(name);
    const double sg = a.liquid_density.value(kT60F) * a.mw / kWater60F;
    const Component p = pseudo_component("cut", a.tb, sg);
    const bool heavy = a.tb > 520.0;
    const struct { const char* what; double got, want, tol; } kChecks[] = {
        {"MW", p.mw, a.mw, 0.05 * scale},
        {"Tc", p.tc, a.tc, 0.015 * scale},
        {"Pc", p.pc, a.pc, 0.05 * scale},
        {"omega", p.omega, a.omega, 0.10 * scale},
        {"density 15 degC", p.liquid_density.value(kT15C) * p.mw, a.liquid_density.value(kT15C) * a.mw, 0.02 * scale},
        {"ideal-gas Cp 300 K", p.ideal_gas_cp.value(300.0), a.ideal_gas_cp.value(300.0), (a.tb > 600.0 ? 0.06 : 0.05) * scale},
        {"liquid Cp 330 K", p.liquid_cp.value(330.0), a.liquid_cp.value(330.0), 0.05 * scale},
        {"heat of vaporisation Tb", p.heat_of_vaporisation.value(a.tb), a.heat_of_vaporisation.value(a.tb), 0.05},
        {"heat of vaporisation 330 K", p.heat_of_vaporisation.value(330.0), a.heat_of_vaporisation.value(330.0), heavy ? 0.10 : 0.05},
        {"surface tension 330 K", p.surface_tension.value(330.0), a.surface_tension.value(330.0), 0.10 * scale},
        {"liquid viscosity 330 K", p.liquid_viscosity.value(330.0), a.liquid_viscosity.value(330.0), 0.25 * scale},
        {"liquid conductivity 330 K", p.liquid_conductivity.value(330.0), a.liquid_conductivity.value(330.0), 0.25 * scale},
        {"vapour viscosity 600 K", p.vapour_viscosity.value(600.0), a.vapour_viscosity.value(600.0), 0.25 * scale},
    };
    for (const auto& c : kChecks) {
      EXPECT_NEAR(c.got / c.want, 1.0, c.tol) << name << ": " << c.what << " " << c.got << " against " << c.want;
    }
  }
}

// The cuts of a curve: shares that add to one, boiling points inside the curve, the bulk gravity
// given back by their volumes, and the curve given back by their cut points within 2 K at every
// point; each cut has every correlation a flash and the monitor use. The published curve is the Alve
// crude's (Sorheim et al., SINTEF report A16808 (2010), as NOAA's ADIOS Oil Database record
// NO00001 transcribes it: % volume at degC, density 796.1 kg/m3 at 15.5 degC).
TEST(Assay, CutsGiveBackTheCurveAndTheBulkGravity) {
  const std::vector<std::array<double, 2>> kAlve = {{7.1, 310.15},  {10.1, 343.15}, {19.7, 373.15}, {46.9, 448.15},
                                                    {61.7, 523.15}, {73.0, 573.15}, {97.3, 723.15}, {99.0, 773.15}};
  const std::vector<std::array<double, 2>> kWide = {{0, 308.15}, {10, 368.15}, {30, 443.15}, {50, 523.15},
                                                    {70, 613.15}, {90, 743.15}, {100, 833.15}};
  const struct { const std::vector<std::array<double, 2>>& tbp; double sg; int cuts; double width; std::size_t made; } kRows[] = {
      {kWide, 0.87, 20, 0.0, 20}, {kWide, 0.87, 0, 25.0, 24}, {kWide, 0.87, 4, 0.0, 4}, {kAlve, 796.1 / 999.016, 20, 0.0, 20}};
  for (const auto& r : kRows) {
    const auto out = cut_curve(r.tbp, r.sg, r.cuts, r.width);
    EXPECT_EQ(out.size(), r.made);
    const double v0 = r.tbp.front()[0], span = r.tbp.back()[0] - v0;
    std::vector<std::array<double, 2>> edges = {{v0, out.front().t_from}};
    double volume = 0.0, gravity = 0.0;
    for (const PseudoCut& c : out) {
      volume += c.volume_share;
      gravity += c.volume_share * c.sg;
      edges.push_back({v0 + volume * span, c.t_to});
      EXPECT_TRUE(c.tb > c.t_from && c.tb < c.t_to);
      const Component p = pseudo_component("cut", c.tb, c.sg);
      EXPECT_GT(p.liquid_viscosity.value(320.0), 0.0);
      EXPECT_GT(p.surface_tension.value(320.0), 0.0);
      EXPECT_NEAR(std::exp(ln_vapour_pressure(p, c.tb)), 101325.0, 1e-6 * 101325.0);
    }
    EXPECT_NEAR(volume, 1.0, 1e-12);
    EXPECT_NEAR(gravity / r.sg, 1.0, 0.005);
    if (r.cuts >= static_cast<int>(r.tbp.size()) - 1) {
      for (const auto& [v, t] : r.tbp) EXPECT_NEAR(distillation_temperature(edges, v), t, 2.0) << v << " %";
    }
  }
}

// Laboratory curves converted to the true-boiling-point curve, the printed worked examples row by
// row, each to the last digit printed: a D86 curve point by point (Fahim, Al-Sahhaf, Elkilani,
// Fundamentals of Petroleum Refining (Elsevier 2010) example 3.1; the same curve in Wauquier,
// Petroleum Refining vol. 1 (Technip 1995) table 4.16), in degC; a D2887 curve outward from its
// 50 % point (Riazi, Characterization and Properties of Petroleum Fractions, ASTM MNL50 (2005)
// example 3.4, in degC; the API Technical Data Book's example of procedure 3A3.1, in degF, read
// from 5 %); both D2887 examples as a public test suite transcribes them, not read from the books.
TEST(Assay, LaboratoryCurvesConvertToTheTrueBoilingCurve) {
  const struct { DistillationCurve kind; bool degf; std::vector<double> percent, given, tbp; } kExamples[] = {
      {DistillationCurve::kD86, false, {0, 10, 30, 50, 70, 90, 95}, {36.5, 54, 77, 101.5, 131, 171, 186.5},
       {14.1, 33.3, 68.9, 101.6, 135.2, 180.5, 194.1}},
      {DistillationCurve::kD2887, false, {10, 30, 50, 70, 90}, {151.7, 162.2, 168.9, 173.3, 181.7}, {164.3, 166.9, 168.9, 170.9, 176.8}},
      {DistillationCurve::kD2887, true, {5, 10, 30, 50, 70, 90, 95}, {293, 305, 324, 336, 344, 359, 369},
       {322.2, 327.7, 332.4, 336.0, 339.6, 350.1, 357.4}},
  };
  for (const auto& e : kExamples) {
    auto kelvin = [&](double t) { return e.degf ? (t + 459.67) / 1.8 : t + 273.15; };
    std::vector<std::array<double, 2>> curve;
    for (std::size_t i = 0; i < e.percent.size(); ++i) curve.push_back({e.percent[i], kelvin(e.given[i])});
    const auto out = true_boiling_curve(e.kind, curve);
    ASSERT_EQ(out.size(), e.percent.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
      EXPECT_NEAR(out[i][1], kelvin(e.tbp[i]), (e.degf ? 0.1 / 1.8 : 0.1) + 1e-9) << e.given[0] << ": " << e.percent[i] << " %";
    }
  }
  // read at the standard percentages only: a D86 end point has no constants
  const std::vector<std::array<double, 2>> kToEnd = {{0, 300}, {50, 400}, {100, 500}};
  EXPECT_EQ(true_boiling_curve(DistillationCurve::kD86, kToEnd).size(), 7u);
}

TEST(Assay, BadInputIsRefusedNamingTheField) {
  constexpr auto kTbp = DistillationCurve::kTbp, kD86 = DistillationCurve::kD86, kSd = DistillationCurve::kD2887;
  const struct { DistillationCurve kind; std::vector<std::array<double, 2>> tbp; double sg; int cuts; const char* names; } kRows[] = {
      {kTbp, {{0, 300}, {50, 400}}, 0.8, 10, "distillation: 2 points"},
      {kTbp, {{0, 300}, {50, 400}, {100, 390}}, 0.8, 10, "distillation: point 3"},
      {kD86, {{0, 300}, {50, 400}, {120, 500}}, 0.8, 10, "distillation: point 3"},
      {kTbp, {{0, 300}, {50, 400}, {100, 500}}, 1.5, 10, "specific_gravity"},
      {kTbp, {{0, 300}, {50, 400}, {100, 500}}, 0.8, 0, "cuts"},
      {kD86, {{40, 300}, {60, 400}, {80, 500}}, 0.8, 10, "distillation: a D86 curve is converted at its standard"},
      {kSd, {{0, 300}, {20, 400}, {40, 500}}, 0.8, 10, "distillation: a D2887 curve"},
      {kD86, {{70, 390}, {90, 400}, {95, 400.5}}, 0.8, 10, "distillation: the D86 curve converts to a true-boiling-point curve that falls"},
  };
  const auto refused = [](const auto& call, const char* names) {
    try {
      call();
      ADD_FAILURE() << names << ": accepted";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(names), std::string::npos) << e.what();
    }
  };
  for (const auto& r : kRows) refused([&] { cut_curve(true_boiling_curve(r.kind, r.tbp), r.sg, r.cuts, 0.0); }, r.names);
  // a cut the correlations were not built for, either side of their range, named with the range
  const struct { double tb, sg; const char* names; } kCuts[] = {
      {249.0, 0.7, "outside the characterisation's 250-1000 K"}, {1001.0, 0.9, "outside the characterisation's 250-1000 K"},
      {400.0, 0.54, "outside the characterisation's 0.55-1.2"}, {400.0, 1.21, "outside the characterisation's 0.55-1.2"}};
  for (const auto& c : kCuts) refused([&] { pseudo_component("NBP", c.tb, c.sg); }, c.names);
}

}  // namespace
}  // namespace kvt::reference::test
