// The databank file and its correlations: every component loads with cited sources, and the
// correlations reproduce handbook points that were not used to write them.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "databank.h"
#include "kvt_reference/reference_host.h"
#include "pure.h"

namespace kvt::reference {
namespace {

const Databank& bank() {
  static const Databank db = read_databank(KVT_REFERENCE_DATABANK);
  return db;
}

const Component& comp(const char* name) {
  const Component* c = bank().find(name);
  if (c == nullptr) throw std::runtime_error(name);
  return *c;
}

TEST(Databank, HoldsTheRequiredComponents) {
  for (const char* name : {"water", "nitrogen", "methane", "ethane", "propane", "n-butane", "n-pentane", "n-hexane",
                           "n-heptane", "benzene", "toluene", "methanol"}) {
    EXPECT_NE(bank().find(name), nullptr) << name;
  }
  EXPECT_NE(bank().find("Benzene"), nullptr) << "names are case-insensitive";
}

TEST(Databank, EveryCoefficientSetNamesASource) {
  for (const auto& c : bank().components) {
    for (const PiecewiseCorrelation* p : {&c.vapour_pressure, &c.ideal_gas_cp, &c.heat_of_vaporisation,
                                          &c.liquid_density, &c.liquid_viscosity, &c.vapour_viscosity,
                                          &c.liquid_conductivity, &c.vapour_conductivity, &c.surface_tension}) {
      ASSERT_FALSE(p->empty()) << c.name;
      for (const auto& piece : p->pieces) {
        EXPECT_FALSE(piece.source.empty()) << c.name;
        EXPECT_LT(piece.tmin, piece.tmax) << c.name;
      }
    }
    EXPECT_FALSE(c.constants_source.empty()) << c.name;
  }
}

// Normal boiling points from the vapour-pressure correlations against the handbook's tb (an
// independent measured constant): within 0.5 K.
TEST(Databank, NormalBoilingPointsWithinHalfAKelvin) {
  for (const auto& c : bank().components) {
    double lo = c.vapour_pressure.tmin(), hi = c.tc;
    for (int i = 0; i < 200; ++i) {
      const double mid = 0.5 * (lo + hi);
      (ln_vapour_pressure(c, mid) < std::log(101325.0) ? lo : hi) = mid;
    }
    EXPECT_NEAR(0.5 * (lo + hi), c.tb, 0.5) << c.name;
  }
}

// Handbook point values (CRC Handbook of Chemistry and Physics, 25 C unless noted) that the
// correlations were not fitted to here. Tolerances: 1 % for densities and ideal-gas heat capacities
// (the DIPPR fits' own stated uncertainty is below that), 2 % for heats of vaporisation at the
// boiling point, 4 % for liquid viscosities and conductivities (DIPPR quality class of these fits).
struct Point {
  const char* name;
  double t;
  double value;
  double rel_tol;
};

class LiquidDensity : public ::testing::TestWithParam<Point> {};
TEST_P(LiquidDensity, MatchesHandbook) {
  const Point& p = GetParam();
  const Component& c = comp(p.name);
  EXPECT_NEAR(c.mw / liquid_molar_volume(c, p.t), p.value, p.rel_tol * p.value) << p.name;
}
INSTANTIATE_TEST_SUITE_P(Points, LiquidDensity,
                         ::testing::Values(Point{"water", 298.15, 997.05, 0.01}, Point{"benzene", 298.15, 873.6, 0.01},
                                           Point{"toluene", 298.15, 862.3, 0.01}, Point{"methanol", 298.15, 786.6, 0.01},
                                           Point{"n-hexane", 298.15, 654.8, 0.01},
                                           Point{"n-heptane", 298.15, 679.5, 0.01}));

class IdealGasCp : public ::testing::TestWithParam<Point> {};
TEST_P(IdealGasCp, MatchesHandbook) {
  const Point& p = GetParam();
  EXPECT_NEAR(vapour_cp(comp(p.name), p.t) / 1000.0, p.value, p.rel_tol * p.value) << p.name;
}
INSTANTIATE_TEST_SUITE_P(Points, IdealGasCp,
                         ::testing::Values(Point{"water", 298.15, 33.58, 0.01}, Point{"nitrogen", 298.15, 29.12, 0.01},
                                           Point{"methane", 298.15, 35.69, 0.01}, Point{"benzene", 298.15, 82.44, 0.01},
                                           Point{"methanol", 298.15, 44.06, 0.01}));

class HeatOfVaporisationAtTb : public ::testing::TestWithParam<Point> {};
TEST_P(HeatOfVaporisationAtTb, MatchesHandbook) {
  const Point& p = GetParam();
  EXPECT_NEAR(heat_of_vaporisation(comp(p.name), p.t) / 1e6, p.value, p.rel_tol * p.value) << p.name;
}
INSTANTIATE_TEST_SUITE_P(Points, HeatOfVaporisationAtTb,
                         ::testing::Values(Point{"water", 373.15, 40.65, 0.02}, Point{"benzene", 353.24, 30.72, 0.02},
                                           Point{"toluene", 383.79, 33.18, 0.02}, Point{"methanol", 337.69, 35.21, 0.02},
                                           Point{"n-hexane", 341.88, 28.85, 0.02}, Point{"nitrogen", 77.35, 5.57, 0.02}));

class LiquidViscosity : public ::testing::TestWithParam<Point> {};
TEST_P(LiquidViscosity, MatchesHandbook) {
  const Point& p = GetParam();
  EXPECT_NEAR(liquid_viscosity(comp(p.name), p.t) * 1e3, p.value, p.rel_tol * p.value) << p.name;
}
INSTANTIATE_TEST_SUITE_P(Points, LiquidViscosity,
                         ::testing::Values(Point{"water", 298.15, 0.890, 0.04}, Point{"benzene", 298.15, 0.604, 0.04},
                                           Point{"toluene", 298.15, 0.560, 0.04}, Point{"methanol", 298.15, 0.544, 0.04},
                                           Point{"n-hexane", 298.15, 0.300, 0.04}, Point{"n-pentane", 298.15, 0.224, 0.04}));

TEST(Correlation, HeatCapacityIsTheDerivativeOfEnthalpy) {
  for (const auto& c : bank().components) {
    for (double t : {250.0, 300.0, 400.0}) {
      if (t < flash_range(c).min) continue;
      const double h = 1e-3;
      const double dv = (vapour_enthalpy(c, t + h) - vapour_enthalpy(c, t - h)) / (2 * h);
      const double dl = (liquid_enthalpy(c, t + h) - liquid_enthalpy(c, t - h)) / (2 * h);
      EXPECT_NEAR(vapour_cp(c, t), dv, 1e-5 * std::abs(dv)) << c.name << " " << t;
      EXPECT_NEAR(liquid_cp(c, t), dl, 1e-4 * std::abs(dl) + 1.0) << c.name << " " << t;
    }
  }
}

TEST(Correlation, EnthalpyIsZeroForTheIdealGasAtTheReference) {
  for (const auto& c : bank().components) EXPECT_NEAR(vapour_enthalpy(c, 298.15), 0.0, 1e-6) << c.name;
}

TEST(Correlation, VapourPressureContinuesSmoothlyAboveTheCriticalPoint) {
  const Component& n2 = comp("nitrogen");
  const double end = n2.vapour_pressure.tmax();
  EXPECT_NEAR(ln_vapour_pressure(n2, end + 1e-6), ln_vapour_pressure(n2, end - 1e-6), 1e-6);
  EXPECT_GT(ln_vapour_pressure(n2, 300.0), ln_vapour_pressure(n2, 200.0));
  bool outside = false;
  ln_vapour_pressure(n2, 300.0, &outside);
  EXPECT_FALSE(outside) << "the continuation above Tc is part of the method";
  ln_vapour_pressure(n2, 40.0, &outside);
  EXPECT_TRUE(outside) << "below the triple point is an extrapolation";
}

TEST(Correlation, TransportOutsideItsRangeIsHeldAndFlagged) {
  const Component& hex = comp("n-hexane");
  bool outside = false;
  const double at_end = liquid_viscosity(hex, hex.liquid_viscosity.tmax());
  EXPECT_DOUBLE_EQ(liquid_viscosity(hex, 400.0, &outside), at_end);
  EXPECT_TRUE(outside);
}

// ---- Reading errors name the file, the line and the field -------------------------------------

std::filesystem::path write_temp(const std::string& name, const std::string& text) {
  auto p = std::filesystem::temp_directory_path() / name;
  std::ofstream(p) << text;
  return p;
}

struct BadFile {
  const char* label;
  std::string text;
  const char* expected;  // part of the message
};

class BadDatabank : public ::testing::TestWithParam<BadFile> {};
TEST_P(BadDatabank, IsRejectedWithAClearMessage) {
  const auto path = write_temp(std::string("kvt_reference_bad_") + GetParam().label + ".toml", GetParam().text);
  try {
    read_databank(path);
    FAIL() << "accepted";
  } catch (const Error& e) {
    const std::string msg = e.what();
    EXPECT_NE(msg.find(path.string()), std::string::npos) << msg;
    EXPECT_NE(msg.find(GetParam().expected), std::string::npos) << msg;
  }
}

const std::string kHead = "[sources]\nX = \"a book\"\n[[component]]\nname = \"a\"\nformula = \"A\"\nmw = 10\ntc = 300\n"
                          "pc = 1e6\nvc = 0.1\nomega = 0.1\ntb = 200\nconstants_source = \"X\"\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, BadDatabank,
    ::testing::Values(BadFile{"syntax", "[sources\n", ":1"},
                      BadFile{"missing", kHead, "missing correlation 'vapour_pressure'"},
                      BadFile{"form", kHead + "vapour_pressure = { eq = \"antoine\", c = [1], tmin = 1, tmax = 2, source = \"X\" }\n",
                              "unknown equation form 'antoine'"},
                      BadFile{"source", kHead + "vapour_pressure = { eq = \"dippr101\", c = [1], tmin = 1, tmax = 2, source = \"Y, p. 1\" }\n",
                              "source 'Y' is not listed"},
                      BadFile{"range", kHead + "vapour_pressure = { eq = \"dippr101\", c = [1], tmin = 3, tmax = 2, source = \"X\" }\n",
                              "empty or inverted range"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Databank, MissingFileIsNamed) {
  try {
    read_databank("/nonexistent/databank.toml");
    FAIL();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/databank.toml"), std::string::npos);
  }
}

}  // namespace
}  // namespace kvt::reference
