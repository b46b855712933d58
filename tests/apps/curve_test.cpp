// The curves of the default case through the library and the reference host: physically consistent
// figures, phase boundaries where the phases change, duties of both sides.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "case_file.h"
#include "curve.h"
#include "default_case.h"
#include "library_session.h"
#include "test_support.h"

namespace hxprops {
namespace {

class DefaultCurves : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const Case c = default_case();
    Session session(c);
    curves_ = new std::array<SideCurve, 2>{compute_side_curve(c, 0), compute_side_curve(c, 1)};
  }
  static void TearDownTestSuite() {
    delete curves_;
    curves_ = nullptr;
  }
  static const SideCurve& side(int i) { return (*curves_)[i]; }

 private:
  static std::array<SideCurve, 2>* curves_;
};

std::array<SideCurve, 2>* DefaultCurves::curves_ = nullptr;

TEST_F(DefaultCurves, RunFromInletToOutletInElevenPoints) {
  for (int i = 0; i < 2; ++i) {
    const SideCurve& c = side(i);
    ASSERT_EQ(c.points.size(), 11u);
    EXPECT_DOUBLE_EQ(c.points.front().temperature, c.inlet_temperature);
    EXPECT_DOUBLE_EQ(c.points.back().temperature, c.outlet_temperature);
    EXPECT_EQ(c.points.front().duty, 0.0);
  }
}

TEST_F(DefaultCurves, DutyGrowsMonotonicallyAlongTheCurveAndTheProfile) {
  for (int i = 0; i < 2; ++i) {
    const SideCurve& c = side(i);
    for (std::size_t k = 1; k < c.points.size(); ++k) EXPECT_GT(c.points[k].duty, c.points[k - 1].duty) << i << " " << k;
    for (std::size_t k = 1; k < c.profile.size(); ++k) EXPECT_GE(c.profile[k].duty, c.profile[k - 1].duty) << i << " " << k;
    EXPECT_NEAR(c.points.back().duty, std::fabs(c.duty), 1.0e-6 * std::fabs(c.duty));
  }
}

TEST_F(DefaultCurves, FractionsLieInUnitIntervalAndAddUp) {
  for (int i = 0; i < 2; ++i) {
    for (const CurvePoint& p : side(i).points) {
      EXPECT_GE(p.vapour_fraction, 0.0);
      EXPECT_LE(p.vapour_fraction, 1.0);
      double sum = 0.0;
      for (const PhaseFigures& f : p.phases) {
        EXPECT_GE(f.mass_fraction, 0.0);
        EXPECT_LE(f.mass_fraction, 1.0);
        sum += f.mass_fraction;
      }
      EXPECT_NEAR(sum, 1.0, 1.0e-9) << "side " << i << " at " << p.temperature << " K";
    }
  }
}

TEST_F(DefaultCurves, DutiesOfBothSidesAreReportedAndBalance) {
  EXPECT_LT(side(0).duty, 0.0);  // the vapour releases heat
  EXPECT_GT(side(1).duty, 0.0);  // the water takes it up
  EXPECT_NEAR(side(0).duty + side(1).duty, 0.0, 0.01 * side(1).duty);
  EXPECT_NEAR(side(1).duty, default_case().sides[1].duty, 1.0e-6 * side(1).duty);
}

TEST_F(DefaultCurves, HotSideCondensesIntoTwoLiquids) {
  const SideCurve& c = side(0);
  const CurvePoint& in = c.points.front();
  const CurvePoint& out = c.points.back();
  EXPECT_EQ(in.vapour_fraction, 1.0);
  EXPECT_TRUE(in.phases[0].present);
  EXPECT_FALSE(in.phases[1].present);
  EXPECT_FALSE(in.phases[2].present);
  EXPECT_TRUE(out.phases[1].present);
  EXPECT_TRUE(out.phases[2].present);
  EXPECT_LT(out.vapour_fraction, 0.2);  // nitrogen keeps some vapour
  ASSERT_TRUE(out.phases[2].molecular_weight.value);
  EXPECT_NEAR(*out.phases[2].molecular_weight.value, 18.015, 0.01);  // free water
  ASSERT_FALSE(c.boundaries.empty());
  EXPECT_NE(c.boundaries.front().label.find("dew point"), std::string::npos);
  for (const PhaseBoundary& b : c.boundaries) {
    EXPECT_LT(b.temperature, c.inlet_temperature);
    EXPECT_GT(b.temperature, c.outlet_temperature);
  }
}

TEST_F(DefaultCurves, CoolingWaterStaysLiquid) {
  const SideCurve& c = side(1);
  EXPECT_TRUE(c.boundaries.empty());
  EXPECT_GT(c.outlet_temperature, c.inlet_temperature);
  EXPECT_LT(c.outlet_temperature, 330.0);
  for (const CurvePoint& p : c.points) {
    EXPECT_EQ(p.vapour_fraction, 0.0);
    EXPECT_FALSE(p.phases[0].present);
    ASSERT_TRUE(p.phases[1].density.value);
    EXPECT_NEAR(*p.phases[1].density.value, 995.0, 10.0);
    ASSERT_TRUE(p.phases[1].heat_capacity.value);
    EXPECT_NEAR(*p.phases[1].heat_capacity.value, 4180.0, 400.0);
  }
}

TEST_F(DefaultCurves, AbsentPhasesHaveNoFigures) {
  for (int i = 0; i < 2; ++i) {
    for (const CurvePoint& p : side(i).points) {
      for (const PhaseFigures& f : p.phases) {
        if (f.present) continue;
        for (const Figure* x : {&f.mass_flow, &f.molecular_weight, &f.heat_capacity, &f.conductivity, &f.viscosity,
                                &f.surface_tension, &f.density, &f.heat_of_vaporisation}) {
          EXPECT_FALSE(x->value);
        }
      }
    }
  }
}

TEST_F(DefaultCurves, PresentPhasesHavePlausibleFigures) {
  for (int i = 0; i < 2; ++i) {
    for (const CurvePoint& p : side(i).points) {
      double mass = 0.0;
      for (int k = 0; k < kCurvePhaseCount; ++k) {
        const PhaseFigures& f = p.phases[k];
        if (!f.present) continue;
        ASSERT_TRUE(f.mass_flow.value && f.density.value && f.viscosity.value && f.heat_capacity.value);
        mass += *f.mass_flow.value;
        EXPECT_GT(*f.heat_capacity.value, 0.0);
        EXPECT_GT(*f.viscosity.value, 0.0);
        if (kCurvePhases[k] == Phase::Vapour) {
          EXPECT_LT(*f.density.value, 50.0);
          EXPECT_FALSE(f.surface_tension.value);
          EXPECT_FALSE(f.heat_of_vaporisation.value);
        } else {
          EXPECT_GT(*f.density.value, 500.0);
          ASSERT_TRUE(f.surface_tension.value && f.heat_of_vaporisation.value);
          EXPECT_GT(*f.surface_tension.value, 0.0);
          EXPECT_GT(*f.heat_of_vaporisation.value, 0.0);
        }
      }
      const double total = side(i).points.front().phases[i == 0 ? 0 : 1].mass_flow.value.value_or(0.0);
      EXPECT_NEAR(mass, total, 1.0e-9 * total);  // mass is conserved along the curve
    }
  }
}

class PointCount : public testing::TestWithParam<int> {};

TEST_P(PointCount, CurveHasAsManyPointsAsAsked) {
  Case c = parse_case(test::small_case(), "case.toml");
  c.points = GetParam();
  Session session(c);
  for (int i = 0; i < 2; ++i) {
    const SideCurve curve = compute_side_curve(c, i);
    EXPECT_EQ(curve.points.size(), static_cast<std::size_t>(GetParam()));
    EXPECT_GE(curve.profile.size(), static_cast<std::size_t>(kProfileIntervals + 1));
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, PointCount, testing::Values(2, 3, 11, 40));

}  // namespace
}  // namespace hxprops
