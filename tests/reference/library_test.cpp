// The library through its exported routines with the ideal host behind it: streams with one, two
// and three phases, on both bases, add up; the heat of vaporisation of water matches the handbook.
#include <gtest/gtest.h>

#include <cmath>

#include "library_fixture.h"

namespace kvt::reference::test {
namespace {

struct StreamCase {
  const char* label;
  bool free_water;
  std::vector<double> flows;  // nitrogen, n-hexane, water (kmol/s)
  double t, p;
  int phases;  // expected number of phases present
};

class PhaseSums : public ::testing::TestWithParam<StreamCase> {
 protected:
  LibStream flash_case() {
    const StreamCase& c = GetParam();
    set_up({"nitrogen", "n-hexane", "water"}, c.free_water);
    LibStream s = flashed(c.flows, c.t, c.p);
    EXPECT_EQ(s.flash_ierr, 0);
    return s;
  }
};

TEST_P(PhaseSums, PhaseCountIsAsExpected) {
  LibStream s = flash_case();
  int present = 0;
  for (int64_t iphs : {2, 4, 5}) present += s.ask(KVT_HXPFRC, iphs).value > 0.0;
  EXPECT_EQ(present, GetParam().phases);
}

TEST_P(PhaseSums, WholeStreamDensityIsTheInverseOfTheFractionWeightedVolume) {
  LibStream s = flash_case();
  for (int64_t ibas : {0, 1}) {
    double volume = 0.0;
    for (int64_t iphs : {2, 4, 5}) {
      const double f = s.ask(KVT_HXPFRC, iphs, ibas).value;
      if (f > 0.0) volume += f / s.ask(KVT_HXPDNS, iphs, ibas).value;
    }
    const Answer whole = s.ask(KVT_HXPDNS, 1, ibas);
    EXPECT_EQ(whole.ierr, 0);
    EXPECT_NEAR(whole.value, 1.0 / volume, 1e-12 / volume) << "basis " << ibas;
  }
  // the vapour is an ideal gas
  if (s.ask(KVT_HXPFRC, 2).value > 0.0) {
    EXPECT_NEAR(s.ask(KVT_HXPDNS, 2, 0).value, GetParam().p / (8314.462618 * GetParam().t), 1e-12);
  }
}

TEST_P(PhaseSums, HeatFlowsAddUpToTheStreamTotal) {
  LibStream s = flash_case();
  const double total = s.ask(KVT_HXPQFL, 1).value;
  const double parts = s.ask(KVT_HXPQFL, 2).value + s.ask(KVT_HXPQFL, 4).value + s.ask(KVT_HXPQFL, 5).value;
  EXPECT_NEAR(parts, total, 1e-9 * std::abs(total));
}

TEST_P(PhaseSums, MassAndMoleFlowsAddUpToTheStreamTotal) {
  LibStream s = flash_case();
  for (int64_t ibas : {0, 1}) {
    const double total = s.ask(KVT_HXPMFL, 1, ibas).value;
    const double parts =
        s.ask(KVT_HXPMFL, 2, ibas).value + s.ask(KVT_HXPMFL, 4, ibas).value + s.ask(KVT_HXPMFL, 5, ibas).value;
    EXPECT_NEAR(parts, total, 1e-12 * total) << "basis " << ibas;
  }
  double mass = 0.0;
  const double mw[3] = {28.014, 86.177, 18.015};
  for (int i = 0; i < 3; ++i) mass += GetParam().flows[i] * mw[i];
  EXPECT_NEAR(s.ask(KVT_HXPMFL, 1, 1).value, mass, 1e-12 * mass);
}

TEST_P(PhaseSums, PropertiesOfPresentPhasesArePhysical) {
  LibStream s = flash_case();
  for (int64_t iphs : {2, 4, 5}) {
    if (s.ask(KVT_HXPFRC, iphs).value <= 0.0) {
      EXPECT_EQ(s.ask(KVT_HXPCPP, iphs).ierr, -1);
      continue;
    }
    for (Routine r : {KVT_HXPCPP, KVT_HXPVIS, KVT_HXPTHC, KVT_HXPDNS}) {
      const Answer a = s.ask(r, iphs, 1);
      // 2: the host used a correlation outside its range and said so (n-hexane's vapour
      // conductivity fit starts at its boiling point, 339 K)
      EXPECT_TRUE(a.ierr == 0 || a.ierr == 2) << iphs << " " << a.ierr;
      EXPECT_GT(a.value, 0.0) << iphs;
      EXPECT_LT(a.value, kLibraryMissing) << iphs;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, PhaseSums,
    ::testing::Values(StreamCase{"vapour", false, {1.0, 0.01, 0.01}, 400.0, 1e5, 1},
                      StreamCase{"liquid", false, {0.0, 1.0, 0.0}, 300.0, 1e5, 1},
                      StreamCase{"vapour_liquid", false, {0.3, 0.6, 0.1}, 320.0, 2e5, 2},
                      StreamCase{"vapour_two_liquids", true, {0.3, 0.4, 0.3}, 320.0, 2e5, 3}),
    [](const auto& info) { return std::string(info.param.label); });

// CRC Handbook of Chemistry and Physics: 40.65 kJ/mol at the normal boiling point. The DIPPR fit
// behind it carries under 1 % uncertainty, and 373 K is 0.15 K from the boiling point: 2 %.
TEST(HeatOfVaporisation, PureWaterAt373KMatchesTheHandbook) {
  set_up({"water"}, false);
  LibStream s = flashed({1.0}, 373.0, 101325.0);
  ASSERT_EQ(s.flash_ierr, 0);
  const Answer molar = s.ask(KVT_HXPTHV, 3, 0);
  EXPECT_EQ(molar.ierr, 0);
  EXPECT_NEAR(molar.value, 40.65e6, 0.02 * 40.65e6);
  std::printf("[ deviation ] water heat of vaporisation at 373 K %+.2f %%\n", 100.0 * (molar.value / 40.65e6 - 1.0));
  EXPECT_NEAR(s.ask(KVT_HXPTHV, 3, 1).value, molar.value / 18.015, 1e-9 * molar.value);
}

TEST(Flash, EverySpecificationKindThroughTheLibrary) {
  set_up({"nitrogen", "n-hexane", "water"}, true);
  LibStream tp = flashed({0.3, 0.4, 0.3}, 320.0, 2e5);
  ASSERT_EQ(tp.flash_ierr, 0);
  const double h = tp.v[3 + 3], vf = tp.v[3 + 4];
  const LibStream ph = flashed({0.3, 0.4, 0.3}, 300.0, 2e5, 1, h);
  const LibStream pv = flashed({0.3, 0.4, 0.3}, 300.0, 2e5, 3, vf);
  const LibStream th = flashed({0.3, 0.4, 0.3}, 320.0, 1e5, 4, h);
  const LibStream tv = flashed({0.3, 0.4, 0.3}, 320.0, 1e5, 5, vf);
  for (const LibStream* s : {&ph, &pv, &th, &tv}) {
    EXPECT_EQ(s->flash_ierr, 0);
    EXPECT_NEAR(s->v[3 + 1], 320.0, 1e-6);
    EXPECT_NEAR(s->v[3 + 2], 2e5, 1e-3);
  }
}

TEST(Flash, FailureReachesTheLibrarysErrorCode) {
  set_up({"benzene", "toluene"}, false);
  const LibStream s = flashed({0.5, 0.5}, 350.0, 1e5, 1, 1e13);
  EXPECT_EQ(s.flash_ierr, 1);
}

}  // namespace
}  // namespace kvt::reference::test
