// Curves through the library and the reference host, one table of cases over the ways a side's ends
// are given: each duty met to 0.01 %, outlets where they were asked to be, every phase boundary a
// marked row, the pressure linear in the duty; and the exchanger's figures on two constant-heat-
// capacity liquids, whose mean temperature differences are known in closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <nlohmann/json.hpp>

#include "case/case_file.h"
#include "compute/curve.h"
#include "case/default_case.h"
#include "output/columns.h"
#include "output/csv.h"
#include "base/number_text.h"
#include "compute/exchanger.h"
#include "output/json.h"
#include "kvt_reference/reference_host.h"
#include "compute/library_session.h"
#include "test_support.h"

namespace hxprops {
namespace {

struct EndCase {
  const char* file;  // in tests/apps/cases; "" for the default case
  Spacing spacing;
  // A boundary expected on a side: its label starts so, at this temperature (K) within 0.5 K (the
  // reference host's normal boiling points are checked to 0.5 K against handbook values), 0: any.
  int side;
  const char* label;
  double temperature;
};

// Water saturation temperatures (IAPWS-IF97): 101.325 kPa 373.124 K; 150 kPa 384.50 K; 145.1 kPa (where
// the steam condenser's condensation ends, its pressure falling to 145 kPa) 383.51 K.
const EndCase kCases[] = {
    {"partial_vaporiser.toml", Spacing::Temperature, 1, "bubble point: vapour appears", 373.124},
    {"steam_condenser.toml", Spacing::Temperature, 0, "bubble point: vapour disappears", 383.51},
    {"steam_condenser.toml", Spacing::Duty, 0, "dew point: liquid 1 appears", 384.50},
    {"outlet_vapour_fraction.toml", Spacing::Duty, 1, "bubble point: vapour appears", 0.0},
    {"methanol_condenser.toml", Spacing::Temperature, 0, "bubble point: vapour disappears", 0.0},
    {"", Spacing::Temperature, 0, "dew point: liquid 1 appears", 0.0},
    {"glide.toml", Spacing::Temperature, 0, "bubble point: vapour disappears", 0.0},
    {"ethanol_condenser.toml", Spacing::Temperature, 0, "bubble point: vapour disappears", 0.0},
};

class EndStates : public testing::TestWithParam<EndCase> {};

TEST_P(EndStates, MeetEveryEndAndMarkEveryBoundary) {
  const EndCase& sc = GetParam();
  Case c = *sc.file ? parse_case(test::case_text(sc.file), sc.file) : default_case();
  c.spacing = sc.spacing;
  Session session(c);
  const std::vector<SideCurve> curves = compute_curves(session);
  for (int i = 0; i < c.side_count; ++i) {
    const Side& s = c.sides[i];
    const SideCurve& cv = curves[i];
    // A note is raised at rows only, counted once per row, over the rows' states; auto names its pick.
    EXPECT_EQ(cv.method.reason.empty(), s.method != Method::Auto) << i;
    for (std::size_t n = 0; n < cv.notes.size(); ++n) {
      const auto at = [&](const CurvePoint& p) { return std::count(p.notes.begin(), p.notes.end(), static_cast<int>(n)); };
      EXPECT_EQ(std::accumulate(cv.points.begin(), cv.points.end(), 0L, [&](long k, const CurvePoint& p) { return k + at(p); }),
                cv.notes[n].count) << i << ": " << cv.notes[n].text;
      const auto lo = std::min_element(cv.points.begin(), cv.points.end(), [](auto& a, auto& b) { return a.temperature < b.temperature; });
      EXPECT_GE(cv.notes[n].t_min, lo->temperature - 1e-9) << i << ": " << cv.notes[n].text;
    }
    const double q = std::fabs(cv.duty);
    switch (s.outlet.kind) {
      case EndKind::Duty: EXPECT_NEAR(cv.duty, s.outlet.value, 1.0e-4 * q) << i; break;
      case EndKind::Balance: EXPECT_NEAR(cv.duty, -curves[1 - i].duty, 1.0e-4 * q) << i; break;
      case EndKind::VapourFraction: EXPECT_NEAR(cv.points.back().vapour_fraction, s.outlet.value, 1.0e-6); break;
      case EndKind::Temperature: EXPECT_EQ(cv.outlet_temperature, s.outlet.value); break;
    }
    if (s.inlet.kind == EndKind::VapourFraction) {
      EXPECT_NEAR(cv.points.front().vapour_fraction, s.inlet.value, 1.0e-6);
      // an inlet at its dew or bubble point is one row, the boundary's
      if (s.inlet.value == 0.0 || s.inlet.value == 1.0) { EXPECT_FALSE(cv.points.front().boundary.empty()) << i; }
    }
    ASSERT_GE(cv.points.size(), s.temperatures.empty() ? static_cast<std::size_t>(c.points) : 2u);
    EXPECT_NEAR(cv.points.back().duty, q, 1.0e-9 * q);
    for (std::size_t k = 0; k < cv.points.size(); ++k) {
      const CurvePoint& p = cv.points[k];
      if (k > 0) { EXPECT_GT(p.duty, cv.points[k - 1].duty) << i << " row " << k; }
      const double linear = s.inlet_pressure + (s.outlet_pressure - s.inlet_pressure) * p.duty / q;
      EXPECT_NEAR(p.pressure, linear, 1.0e-6 * linear) << i << " row " << k;
    }
    // Rows where the heat is: no more than a quarter of the duty between two rows (unless the rows
    // are listed); rows at every listed temperature, and only there with the ends and boundaries; the rows asked inside a
    // two-phase zone.
    for (std::size_t k = 1; k < cv.points.size() && s.temperatures.empty(); ++k) { EXPECT_LE(cv.points[k].duty - cv.points[k - 1].duty, (0.25 + 1.0e-6) * q) << i << " row " << k; }
    for (const double t : s.temperatures) {
      const bool row = std::any_of(cv.points.begin(), cv.points.end(), [&](const CurvePoint& p) { return std::fabs(p.temperature - t) < 1.0e-6; });
      EXPECT_TRUE(row) << i << ": " << t;
    }
    if (!s.temperatures.empty()) { EXPECT_EQ(cv.points.size(), 2 + s.temperatures.size() + cv.boundaries.size()) << i; }
    const auto mixed = std::count_if(cv.points.begin(), cv.points.end(), [](const CurvePoint& p) {
      return p.boundary.empty() && std::count_if(p.phases.begin(), p.phases.end(), [](const PhaseFigures& f) { return f.present; }) > 1;
    });
    EXPECT_GE(mixed, s.rows_per_zone) << i;
    if (s.spacing) { EXPECT_EQ(cv.spacing, *s.spacing) << i; }
    for (const PhaseBoundary& b : cv.boundaries) {
      const bool row = std::any_of(cv.points.begin(), cv.points.end(),
                                   [&](const CurvePoint& p) { return p.duty == b.duty && p.boundary.find(b.label) != std::string::npos; });
      EXPECT_TRUE(row) << i << ": " << b.label;
    }
  }
  const std::vector<PhaseBoundary>& bs = curves[sc.side].boundaries;
  const auto b = std::find_if(bs.begin(), bs.end(), [&](const PhaseBoundary& x) { return x.label.rfind(sc.label, 0) == 0; });
  ASSERT_NE(b, bs.end()) << sc.label;
  if (sc.temperature > 0.0) { EXPECT_NEAR(b->temperature, sc.temperature, 0.5); }
  if (std::string(sc.file) == "steam_condenser.toml") {
    // Rows on the plateau, at the saturation temperature: duty spacing puts them there, temperature
    // spacing fills the plateau in duty, at least five rows.
    const auto on_plateau = std::count_if(curves[0].points.begin(), curves[0].points.end(), [](const CurvePoint& p) {
      return p.vapour_fraction > 0.0 && p.vapour_fraction < 1.0;
    });
    EXPECT_GE(on_plateau, sc.spacing == Spacing::Duty ? c.points - 3 : 5);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EndStates, testing::ValuesIn(kCases));

TEST(EndStates, OutletByDutyInsideBoilingIsTheEnthalpyFlashState) {
  const Case c = parse_case(test::case_text("partial_vaporiser.toml"), "case");
  Session session(c);
  const SideCurve water = compute_curves(session)[1];
  EXPECT_GT(water.points.back().vapour_fraction, 0.5);
  EXPECT_LT(water.points.back().vapour_fraction, 1.0);
  // Total flows and fractions become component mole flows: 100 t/h of water.
  const Case cond = parse_case(test::case_text("steam_condenser.toml"), "case");
  Session s2(cond);
  EXPECT_NEAR(s2.mole_flows(1)[0], 100.0 / 3.6 / kvt::reference::molecular_weight(1), 1.0e-12);
}

// A property table at a side's own constant pressure is that side's curve: the same rows, the same
// boundaries; a level below it condenses the stream at a lower dew point, one above at a higher one.
TEST(PressureTables, AtTheSidesOwnPressureTheyAreItsCurve) {
  Case c = default_case();
  c.points = 5;
  c.table_pressures = {{LevelKind::Pressure, 2.3e5}, {LevelKind::Inlet}, {LevelKind::Pressure, 2.7e5}};
  c.sides[1].table_pressures = {{{LevelKind::Mid}}};  // the cooling water's own: 3.75 bar, its rows spaced by enthalpy
  c.sides[1].spacing = Spacing::Duty;
  Session session(c);
  const std::vector<SideCurve> curves = compute_curves(session);
  const SideCurve& hot = curves[0];
  ASSERT_EQ(curves[1].pressure_tables.size(), 1u);
  const SideCurve& water = curves[1].pressure_tables[0];
  EXPECT_EQ(water.inlet_pressure, 3.75e5);
  for (std::size_t k = 0; k < water.points.size(); ++k) { EXPECT_NEAR(water.points[k].duty, water.points.back().duty * k / 4.0, 1.0e-6 * water.points.back().duty) << k; }
  ASSERT_EQ(hot.pressure_tables.size(), 3u);
  const SideCurve& same = hot.pressure_tables[1];
  ASSERT_EQ(same.points.size(), hot.points.size());
  for (std::size_t k = 0; k < hot.points.size(); ++k) {
    EXPECT_NEAR(same.points[k].temperature, hot.points[k].temperature, 1.0e-6) << k;
    EXPECT_NEAR(same.points[k].enthalpy, hot.points[k].enthalpy, 1.0e-6 * std::fabs(hot.points[k].enthalpy) + 1.0) << k;
    EXPECT_EQ(same.points[k].boundary, hot.points[k].boundary) << k;
  }
  const auto dew = [](const SideCurve& t) { return t.boundaries.at(0).temperature; };
  EXPECT_LT(dew(hot.pressure_tables[0]), dew(same));
  EXPECT_GT(dew(hot.pressure_tables[2]), dew(same));
  for (const SideCurve& t : hot.pressure_tables) { EXPECT_TRUE(t.table && t.pressure_tables.empty()); }
}

TEST(EndStates, CompositionsComeFromTheFlash) {
  Case c = default_case();
  c.points = 3;
  Session session(c);
  const SideCurve hot = compute_side_curve(session, 0, {true});
  const PhaseFigures& water = hot.points.back().phases[2];  // free water: pure
  ASSERT_EQ(water.composition.size(), 4u);
  EXPECT_NEAR(water.composition[2], 1.0, 1.0e-12);
  for (const PhaseFigures& f : hot.points[1].phases) {
    if (f.present) { EXPECT_NEAR(std::accumulate(f.composition.begin(), f.composition.end(), 0.0), 1.0, 1.0e-9); }
  }
}

// Two liquids of constant heat capacity: temperatures linear in the duty. Hot 150 -> 90, cold 30 ->
// 80, 1 MW: LMTD (dT1 - dT2) / ln(dT1 / dT2); with linear profiles the zone-by-zone mean is the same.
TEST(Exchanger, ConstantHeatCapacityLiquidsHaveTheClosedFormLmtd) {
  const auto linear = [](double t_in, double t_out) {
    DutyProfile p{{}, 1.0e6};
    for (int k = 0; k <= 10; ++k) p.points.push_back({t_in + (t_out - t_in) * k / 10.0, 1.0e5 * k});
    return p;
  };
  struct Row {
    Arrangement a;
    double dt1, dt2;  // hot inlet end, hot outlet end
  };
  for (const Row& r : {Row{Arrangement::CounterCurrent, 70.0, 60.0}, Row{Arrangement::CoCurrent, 120.0, 10.0}}) {
    const ExchangerFigures x = exchanger_figures(linear(150.0, 90.0), linear(30.0, 80.0), r.a);
    const double lmtd = (r.dt1 - r.dt2) / std::log(r.dt1 / r.dt2);
    ASSERT_TRUE(x.lmtd && x.weighted_mtd);
    EXPECT_NEAR(*x.lmtd, lmtd, 1.0e-9 * lmtd);
    EXPECT_NEAR(*x.weighted_mtd, lmtd, 1.0e-9 * lmtd);
    EXPECT_NEAR(*x.ua_lmtd(), 1.0e6 / lmtd, 1.0e-6);
    EXPECT_DOUBLE_EQ(x.min_approach, r.dt2);
    EXPECT_DOUBLE_EQ(x.min_approach_duty, 1.0e6);
    EXPECT_FALSE(x.crossed());
  }
  const ExchangerFigures crossed = exchanger_figures(linear(150.0, 90.0), linear(30.0, 160.0), Arrangement::CounterCurrent);
  EXPECT_TRUE(crossed.crossed());
  EXPECT_DOUBLE_EQ(crossed.min_approach, -10.0);
  EXPECT_DOUBLE_EQ(crossed.cold_temperature, 160.0);
  EXPECT_FALSE(crossed.weighted_mtd);
  EXPECT_NEAR(*log_mean(60.0, 60.0), 60.0, 1.0e-12);
}

// The JSON document read back by a strict parser: text escaped (a byte that is not UTF-8 becomes U+FFFD),
// every stream and phase figure the same double, undefined figures null, absent phases left out.
TEST(Json, ReadsBackToTheSameFigures) {
  Case c = default_case();
  c.points = 4;
  c.title = "a \"quoted\" \\ title\n\twith \x01 and \xff";
  Session session(c);
  const std::vector<SideCurve> curves = compute_curves(session, {true});
  const std::optional<ExchangerFigures> x = exchanger_figures(curves, c);
  const nlohmann::json doc = nlohmann::json::parse(json_text(c, curves, x, session.components()));
  EXPECT_EQ(doc["title"], "a \"quoted\" \\ title\n\twith \x01 and \xef\xbf\xbd");
  EXPECT_EQ(doc["components"], session.components());
  const auto same = [](const nlohmann::json& j, std::optional<double> v) { return v ? j.is_number() && j.get<double>() == *v : j.is_null(); };
  for (int i = 0; i < 2; ++i) {
    const nlohmann::json& points = doc["sides"][i]["points"];
    ASSERT_EQ(points.size(), curves[i].points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
      const CurvePoint& p = curves[i].points[k];
      for (const StreamColumn& col : stream_columns()) { EXPECT_TRUE(same(points[k][std::string(col.quantity)], col.get(p))) << col.quantity; }
      ASSERT_EQ(points[k]["notes"].size(), p.notes.size());
      for (std::size_t n = 0; n < p.notes.size(); ++n) { EXPECT_EQ(points[k]["notes"][n], curves[i].notes.at(p.notes[n]).code); }
      for (int ph = 0; ph < kCurvePhaseCount; ++ph) {
        const std::string name(csv_phase_name(kCurvePhases[ph]));
        ASSERT_EQ(points[k]["phases"].contains(name), p.phases[ph].present) << name;
        if (!p.phases[ph].present) continue;
        const nlohmann::json& f = points[k]["phases"][name];
        for (const PhaseColumn& col : phase_columns()) {
          if (applies(col, kCurvePhases[ph])) { EXPECT_TRUE(same(f[std::string(col.quantity)], col.get(p.phases[ph]).value)) << col.quantity; }
        }
        EXPECT_EQ(f["mole_fractions"].size(), session.components().size());
      }
    }
  }
  // The document's notes are every side's, each once with its kind and the range it was raised over;
  // the default case's liquids hold nitrogen above its critical temperature.
  ASSERT_EQ(doc["notes"].size(), curves[0].notes.size() + curves[1].notes.size());
  ASSERT_FALSE(doc["notes"].empty());
  for (const nlohmann::json& n : doc["notes"]) {
    EXPECT_TRUE(n["kind"].is_string() && n["count"].get<int>() >= 1) << n;
    EXPECT_LE(n["temperature"]["min"].get<double>(), n["temperature"]["max"].get<double>()) << n;
  }
  EXPECT_TRUE(same(doc["exchanger"]["lmtd"], x->lmtd));
  EXPECT_EQ(doc["exchanger"]["temperature_cross"], x->crossed());
}

// A cooler of a narrow cut at an n-alkane's own boiling point and gravity (the databank's) gives the
// curve of the n-alkane itself under Peng-Robinson: the duty within 1 %, the dew and bubble points
// within 1 K (the pseudo-component's vapour pressure passes through the boiling point; the
// databank's through its own correlation).
TEST(EndStates, NarrowCutCoolsAsTheNAlkaneItImitates) {
  const struct { const char* name; double tb, sg; } kRows[] = {
      {"n-hexane", 341.88, 0.6651}, {"n-decane", 447.46, 0.7356}, {"n-hexadecane", 559.92, 0.7757}};
  for (const auto& r : kRows) {
    const std::string head = "[side0]\nmethod = \"peng-robinson\"\npressure = \"1.01325 bar\"\ninlet_temperature = " +
                             std::to_string(r.tb + 60) + "\noutlet_temperature = " + std::to_string(r.tb - 40) + "\n";
    const std::string t = std::to_string(r.tb);
    std::vector<SideCurve> curves[2];
    for (int k = 0; k < 2; ++k) {
      const std::string text = head + (k == 0 ? "[side0.flows]\n\"" + std::string(r.name) + "\" = \"10 t/h\"\n"
                                              : "[side0.assay]\ndistillation = [[0, " + std::to_string(r.tb - 0.25) + "], [50, " + t +
                                                    "], [100, " + std::to_string(r.tb + 0.25) + "]]\nspecific_gravity = " +
                                                    std::to_string(r.sg) + "\nflow = \"10 t/h\"\ncuts = 1\n");
      Session session(parse_case(text, r.name));
      curves[k] = compute_curves(session);
      if (k == 1) {  // the cuts file: the one cut is the whole side, at the curve's mid point
        const std::string csv = csv_assay_text(session.config().sides[0], UnitSystem::SI);
        const std::string row = csv.substr(csv.find('\n') + 1);
        EXPECT_EQ(row.rfind("NBP " + std::to_string(std::lround(r.tb - 273.15)) + " degC,", 0), 0u) << row;
        EXPECT_EQ(row.substr(row.find(',')).rfind(",1,1,1,1," + number_text(r.tb, 10) + ",", 0), 0u) << row;
      }
    }
    const SideCurve &pure = curves[0][0], &cut = curves[1][0];
    EXPECT_NEAR(cut.duty / pure.duty, 1.0, 0.01) << r.name;
    ASSERT_EQ(cut.boundaries.size(), pure.boundaries.size()) << r.name;
    for (std::size_t b = 0; b < cut.boundaries.size(); ++b) EXPECT_NEAR(cut.boundaries[b].temperature, pure.boundaries[b].temperature, 1.0) << r.name;
  }
}

}  // namespace
}  // namespace hxprops
