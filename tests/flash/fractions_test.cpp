// Phase fractions: snapping of the vapour fraction and the liquid split, the rule of every phase
// code, the mass conversion, the missing vapour fraction, the trace, and the three fractions that a
// phase-resolved routine asks for.
#include <cmath>
#include <string>

#include "support/fixture.h"

namespace kvt::test {
namespace {

// Bogus addresses for arguments a routine must not read.
const int64_t* const kUnread = reinterpret_cast<const int64_t*>(8);

// Three flash components with host numbers 2, 5, 7 (molecular weights 10, 30, 18; every other
// component weighs 1000, so a wrong index shows). Phase molecular weights from the compositions:
// Y 20, X 26, X1 10, X2 18. Stream molecular weight 40.
class FractionTest : public KvtTest {
 protected:
  void SetUp() override {
    KvtTest::SetUp();
    script_pure_liquids(pure_liquids_flash(), stream());
  }
  void split(double vf, double beta) {
    stream().slot(5) = vf;
    rec::set_stwkwk_real(23, beta);
  }
  Answer fraction(int64_t iphs, int64_t ibas) {
    Answer a{-7.0, -7};
    KVT_HXPFRC(stream().data(), &stream().nstrm, kUnread, &iphs, &ibas, &a.value, &a.ierr);
    return a;
  }
};

struct FractionCase {
  const char* name;
  double vf, beta;
  int64_t iphs, ibas;
  double want;
};

class PhaseFraction : public FractionTest, public ::testing::WithParamInterface<FractionCase> {};

TEST_P(PhaseFraction, Rule) {
  const FractionCase& c = GetParam();
  split(c.vf, c.beta);
  const Answer a = fraction(c.iphs, c.ibas);
  EXPECT_EQ(a.ierr, 0);
  if (c.want == 0.0 || c.want == 1.0) {
    EXPECT_EQ(a.value, c.want);
  } else {
    EXPECT_DOUBLE_EQ(a.value, c.want);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Snapping, PhaseFraction,
    ::testing::Values(FractionCase{"Vf5em11Vapour", 5e-11, 0.5, 2, 0, 0.0},
                      FractionCase{"Vf5em11Liquid", 5e-11, 0.5, 3, 0, 1.0},
                      FractionCase{"Vf5em11LiquidMass", 5e-11, 0.5, 3, 1, 1.0},
                      FractionCase{"Vf5em11SecondLiquidBeta0", 5e-11, 0.0, 5, 0, 1.0},
                      FractionCase{"VfNearOneVapour", 0.99999999995, 0.5, 2, 0, 1.0},
                      FractionCase{"VfNearOneLiquid", 0.99999999995, 0.5, 3, 0, 0.0},
                      FractionCase{"VfNearOneSecondLiquid", 0.99999999995, 0.5, 5, 0, 0.0},
                      FractionCase{"VfNearOneFirstLiquid", 0.99999999995, 0.5, 4, 0, 0.0},
                      FractionCase{"VfAt1em10", 1e-10, 0.5, 2, 0, 0.0},
                      FractionCase{"VfAtUpperBound", 0.9999999999, 0.5, 2, 0, 1.0},
                      FractionCase{"Vf2em10Kept", 2e-10, 0.5, 2, 0, 2e-10},
                      FractionCase{"VfJustBelowUpperKept", 0.9999999998, 0.5, 2, 0, 0.9999999998},
                      FractionCase{"VfNegative", -0.2, 0.5, 3, 0, 1.0},
                      FractionCase{"VfNegativeVapour", -0.2, 0.5, 2, 0, 0.0},
                      FractionCase{"VfAboveOne", 1.7, 0.5, 2, 0, 1.0},
                      FractionCase{"VfAboveOneLiquid", 1.7, 0.5, 3, 0, 0.0},
                      FractionCase{"BetaAt1em10", 0.5, 1e-10, 4, 0, 0.0},
                      FractionCase{"BetaNearOne", 0.5, 0.99999999995, 5, 0, 0.0},
                      FractionCase{"BetaNearOneFirstLiquid", 0.5, 0.99999999995, 4, 0, 0.5},
                      FractionCase{"Beta2em10Kept", 0.5, 2e-10, 4, 0, 1e-10}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Codes, PhaseFraction,
    ::testing::Values(FractionCase{"Whole", 0.3, 0.6, 1, 0, 1.0}, FractionCase{"WholeMass", 0.3, 0.6, 1, 1, 1.0},
                      FractionCase{"Iphs0", 0.3, 0.6, 0, 0, 1.0}, FractionCase{"Iphs6", 0.3, 0.6, 6, 1, 1.0},
                      FractionCase{"IphsMinus1", 0.3, 0.6, -1, 0, 1.0}, FractionCase{"Vapour", 0.3, 0.6, 2, 0, 0.3},
                      FractionCase{"Liquid", 0.3, 0.6, 3, 0, 0.7}, FractionCase{"FirstLiquid", 0.3, 0.6, 4, 0, 0.42},
                      FractionCase{"SecondLiquid", 0.3, 0.6, 5, 0, 0.28},
                      FractionCase{"Ibas2IsMole", 0.5, 0.6, 2, 2, 0.5},
                      FractionCase{"IbasMinus1IsMole", 0.5, 0.6, 2, -1, 0.5},
                      FractionCase{"Beta1FirstLiquid", 0.4, 1.0, 4, 0, 0.6},
                      FractionCase{"Beta1SecondLiquid", 0.4, 1.0, 5, 0, 0.0},
                      FractionCase{"Beta0FirstLiquid", 0.4, 0.0, 4, 0, 0.0},
                      FractionCase{"Beta0SecondLiquid", 0.4, 0.0, 5, 0, 0.6},
                      FractionCase{"NoVapourFirstLiquid", 0.0, 0.25, 4, 0, 0.25},
                      FractionCase{"NoVapourSecondLiquid", 0.0, 0.25, 5, 0, 0.75},
                      FractionCase{"AllVapourFirstLiquid", 1.0, 0.5, 4, 0, 0.0},
                      FractionCase{"AllVapourFirstLiquidMass", 1.0, 0.5, 4, 1, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

// Mass basis: mole fraction x phase molecular weight / stream molecular weight (40); bounds are final.
INSTANTIATE_TEST_SUITE_P(
    Mass, PhaseFraction,
    ::testing::Values(FractionCase{"Vapour", 0.5, 0.6, 2, 1, 0.25}, FractionCase{"Liquid", 0.5, 0.6, 3, 1, 0.325},
                      FractionCase{"FirstLiquid", 0.5, 0.6, 4, 1, 0.075},
                      FractionCase{"SecondLiquid", 0.5, 0.6, 5, 1, 0.09},
                      FractionCase{"NoVapourSecondLiquid", 0.0, 0.25, 5, 1, 0.3375},
                      FractionCase{"AllLiquidFinal", 0.0, 0.6, 3, 1, 1.0},
                      FractionCase{"AllVapourFinal", 1.0, 0.6, 2, 1, 1.0},
                      FractionCase{"SingleSecondLiquidFinal", 0.0, 0.0, 5, 1, 1.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FractionTest, MissingVapourFractionGivesZeroForEveryCodeSilently) {
  KVT_HXPDBG[3] = 1;
  for (double vf : {kHostMissing, 2.0 * kHostMissing}) {
    split(vf, 0.5);
    for (int64_t iphs = 0; iphs <= 6; ++iphs) {
      for (int64_t ibas : {0, 1}) {
        const Answer a = fraction(iphs, ibas);
        EXPECT_EQ(a.value, 0.0) << vf << " " << iphs << " " << ibas;
        EXPECT_EQ(a.ierr, 0);
      }
    }
  }
  EXPECT_TRUE(host().records.empty());
}

TEST_F(FractionTest, NoFlashComponentsGiveZeroOnMassBasis) {
  split(0.5, 0.6);
  for (int64_t n : {0, -2}) {
    rec::set_flash_count(n);
    for (int64_t iphs = 2; iphs <= 5; ++iphs) EXPECT_EQ(fraction(iphs, 1).value, 0.0) << n << " " << iphs;
    EXPECT_EQ(fraction(2, 0).value, 0.5);
    EXPECT_EQ(fraction(3, 1).value, 0.0);
  }
}

// ---- Trace -------------------------------------------------------------------------------------

TEST_F(FractionTest, TraceByteForByteWithCode7AsWholeStream) {
  KVT_HXPDBG[3] = 1;
  split(0.3, 0.6);
  stream().nstrm = 2;
  stream().v[0] = 1.0;
  stream().v[1] = 2.0;
  fraction(7, 0);
  const std::vector<std::string> expected = {
      " ",
      " ***** Inside HXPFRC ...",
      " *****    NSTRM     =  2",
      " *****     STRM(  1) =  1.0000000E+00",
      " *****     STRM(  2) =  2.0000000E+00",
      " *****        T     =  3.0000000E+02",
      " *****        P     =  1.0000000E+05",
      " *****        X(  1) =  2.0000000E-01",
      " *****        X(  2) =  8.0000000E-01",
      " *****        X(  3) =  0.0000000E+00",
      " *****        Y(  1) =  5.0000000E-01",
      " *****        Y(  2) =  5.0000000E-01",
      " *****        Y(  3) =  0.0000000E+00",
      " *****      FRC     =  1.0000000E+00",
  };
  EXPECT_EQ(trace(), expected) << joined(trace());
}

TEST_F(FractionTest, TraceOnlyForSwitchExactlyOne) {
  split(0.3, 0.6);
  for (int64_t word : {2, 0, -1}) {
    KVT_HXPDBG[3] = word;
    fraction(2, 0);
  }
  EXPECT_TRUE(host().records.empty());
  KVT_HXPDBG[3] = 1;
  stream().nstrm = 0;
  fraction(2, 0);
  EXPECT_EQ(trace().size(), 9u) << joined(trace());  // blank, heading, NSTRM, T, P, Y(1..3), FRC
}

// A phase-resolved routine asks for codes 2, 4 and 5 in that order, on its basis, each traced as
// KVT_HXPFRC traces, before its own trace.
TEST_F(FractionTest, ThreeFractionTracesInsideAPhaseResolvedCall) {
  KVT_HXPDBG[3] = 1;
  KVT_HXPDBG[5] = 1;
  split(0.3, 0.6);
  stream().nstrm = 1;
  stream().v[0] = 4.0;
  const Answer a = ask(KVT_HXPMWT, stream(), 3, 0, 0);
  EXPECT_EQ(a.value, 50.0);
  const std::vector<std::string> head = {
      " ",
      "",  // heading, filled below
      " *****    NSTRM     =  1",
      " *****     STRM(  1) =  4.0000000E+00",
      " *****        T     =  3.0000000E+02",
      " *****        P     =  1.0000000E+05",
  };
  std::vector<std::string> expected;
  const auto block = [&](const char* name, std::vector<std::string> rest) {
    std::vector<std::string> lines = head;
    lines[1] = std::string(" ***** Inside ") + name + " ...";
    lines.insert(lines.end(), rest.begin(), rest.end());
    expected.insert(expected.end(), lines.begin(), lines.end());
  };
  block("HXPFRC", {" *****        Y(  1) =  5.0000000E-01", " *****        Y(  2) =  5.0000000E-01",
                   " *****        Y(  3) =  0.0000000E+00", " *****      FRC     =  3.0000000E-01"});
  block("HXPFRC", {" *****       X1(  1) =  1.0000000E+00", " *****       X1(  2) =  0.0000000E+00",
                   " *****       X1(  3) =  0.0000000E+00", " *****      FRC     =  4.2000000E-01"});
  block("HXPFRC", {" *****       X2(  1) =  0.0000000E+00", " *****       X2(  2) =  0.0000000E+00",
                   " *****       X2(  3) =  1.0000000E+00", " *****      FRC     =  2.8000000E-01"});
  block("HXPMWT", {" *****        X(  1) =  2.0000000E-01", " *****        X(  2) =  8.0000000E-01",
                   " *****        X(  3) =  0.0000000E+00", " *****      MWT     =  5.0000000E+01"});
  EXPECT_EQ(trace(), expected) << joined(trace());
}

}  // namespace
}  // namespace kvt::test
