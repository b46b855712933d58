// Heat of vaporisation: per flash component present in the vapour, the pure component's vapour minus
// liquid enthalpy at its own pressure, weighted by the liquid's composition.
#include <cmath>
#include <deque>
#include <string>

#include "properties/family.h"

namespace kvt::test {
namespace {

class VaporisationTest : public FamilyTest {
 protected:
  // Per component (numbers 2, 5, 7), first-liquid sum then second-liquid sum:
  //   first liquid  (X1 0.75, 0.25, 0):  (50-10)*0.75 + (30-10)*0.25 + (100-0)*0 = 35
  //   second liquid (X2 0, 0.5, 0.5):    (60-20)*0 + (40-0)*0.5 + (70-10)*0.5     = 50
  void script_both() {
    host().outputs["GOSA_VTHRM"] = {50.0, 30.0, 100.0, 60.0, 40.0, 70.0};
    host().outputs["GOSA_LTHRM"] = {10.0, 10.0, 0.0, 20.0, 0.0, 10.0};
  }
  void script_first() {
    host().outputs["GOSA_VTHRM"] = {50.0, 30.0, 100.0};
    host().outputs["GOSA_LTHRM"] = {10.0, 10.0, 0.0};
  }
  void script_second() {
    host().outputs["GOSA_VTHRM"] = {60.0, 40.0, 70.0};
    host().outputs["GOSA_LTHRM"] = {20.0, 0.0, 10.0};
  }
};

TEST_F(VaporisationTest, LiquidSumsAndWeighting) {
  const struct {
    int64_t code, basis;
    int liquids;  // 1 first, 2 second, 3 both
    double expected;
  } cases[] = {
      {4, 0, 1, 35.0},
      {5, 0, 2, 50.0},
      // (35 * 0.5625 + 50 * 0.1875) / 0.75 = 29.0625 / 0.75
      {3, 0, 3, 38.75},
      {1, 0, 3, 38.75},
      {9, 0, 3, 38.75},
      {4, 1, 1, 35.0 / 20.0},
      {5, 1, 2, 50.0 / 48.0},
      // (35/20 * 0.3515625 + 50/48 * 0.28125) / (0.3515625 + 0.28125) = (0.615234375 + 0.29296875) / 0.6328125
      {3, 1, 3, 0.908203125 / 0.6328125},
      {1, 1, 3, 0.908203125 / 0.6328125},
      {3, 2, 3, 38.75},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("IPHS " + std::to_string(c.code) + " IBAS " + std::to_string(c.basis));
    if (c.liquids == 1) script_first();
    if (c.liquids == 2) script_second();
    if (c.liquids == 3) script_both();
    const Answer a = ask(KVT_HXPTHV, stream(), c.code, c.basis);
    EXPECT_DOUBLE_EQ(a.value, c.expected);
    EXPECT_EQ(a.ierr, 0);
  }
}

// For each counted component: the pressure function, then the vapour and the liquid enthalpy, each
// with the component's number, the phase option copy, words 23 and 21 and five codes of 1.
TEST_F(VaporisationTest, HostCallsPerComponent) {
  host().outputs["LORI_PL001"] = {1.0, 2.0, 3.0};
  ask(KVT_HXPTHV, stream(), 4);
  const auto calls = monitor_calls();
  ASSERT_EQ(calls.size(), 9u);
  const int64_t numbers[] = {2, 5, 7};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const rec::Call& p = *calls[3 * i];
    ASSERT_EQ(p.name, "LORI_PL001");
    ASSERT_EQ(p.args.size(), 8u);
    EXPECT_EQ(p[1].real(), 350.0);
    EXPECT_EQ(p[2].word, 1);
    EXPECT_EQ(p[3].word, numbers[i]);
    EXPECT_EQ(p[4].word, 1);
    EXPECT_EQ(p[5].word, 1);
    EXPECT_EQ(p[6].addr, &KVT_IHXPP[22]);
    for (std::size_t k : {1u, 2u}) {
      const rec::Call& h = *calls[3 * i + k];
      ASSERT_EQ(h.name, k == 1 ? "GOSA_VTHRM" : "GOSA_LTHRM");
      ASSERT_EQ(h.args.size(), 23u);
      EXPECT_EQ(h[1].addr, p[1].addr) << "the same temperature";
      EXPECT_EQ(h[2].real(), std::exp(static_cast<double>(i + 1)));
      EXPECT_EQ(h[3].word, 1);
      EXPECT_EQ(h[4].word, numbers[i]);
      EXPECT_EQ(h[5].word, kSide0Word1);
      EXPECT_EQ(h[6].addr, &KVT_IHXPP[22]);
      EXPECT_EQ(h[7].addr, &KVT_IHXPP[20]);
      for (std::size_t a = 8; a <= 12; ++a) EXPECT_EQ(h[a].word, 1) << "argument " << a;
    }
  }
}

// The logarithm of the pressure is limited to [-170, 80] before its exponential is taken.
TEST_F(VaporisationTest, LogPressureLimits) {
  const struct {
    double log_p, used;
  } cases[] = {{200.0, 80.0},    {80.0, 80.0},     {79.5, 79.5},     {-500.0, -170.0},
               {-170.0, -170.0}, {-169.5, -169.5}, {-170.5, -170.0}, {0.0, 0.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log_p);
    host().calls.clear();
    host().outputs["LORI_PL001"] = {c.log_p, c.log_p, c.log_p};
    ask(KVT_HXPTHV, stream(), 4);
    for (const char* name : {"GOSA_VTHRM", "GOSA_LTHRM"}) {
      const auto calls = host().calls_to(name);
      ASSERT_EQ(calls.size(), 3u);
      for (const rec::Call* h : calls) EXPECT_EQ((*h)[2].real(), std::exp(c.used)) << name;
    }
  }
}

// Only components whose vapour mole fraction is above 1e-10 count, however abundant in the liquid.
TEST_F(VaporisationTest, ComponentsAbsentFromTheVapourCountNothing) {
  rec::set_composition(rec::Comp::Y, {1e-10, 1.1e-10, 0.5});
  host().outputs["GOSA_VTHRM"] = {30.0, 100.0};
  host().outputs["GOSA_LTHRM"] = {10.0, 0.0};
  // (30 - 10) * 0.25 + (100 - 0) * 0; the first component (X1 0.75) is left out.
  EXPECT_DOUBLE_EQ(ask(KVT_HXPTHV, stream(), 4).value, 5.0);
  const auto calls = host().calls_to("LORI_PL001");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ((*calls[0])[3].word, 5);
  EXPECT_EQ((*calls[1])[3].word, 7);

  host().calls.clear();
  rec::set_composition(rec::Comp::Y, {0.0, -0.5, 1e-10});
  EXPECT_EQ(ask(KVT_HXPTHV, stream(), 3).value, 0.0);
  EXPECT_TRUE(monitor_calls().empty());
}

// Codes 1 and 3 agree for every stream: the whole stream's value is its liquid's.
TEST_F(VaporisationTest, WholeStreamIsTheTotalLiquid) {
  const struct {
    double vf, beta;
  } splits[] = {{0.25, 0.75}, {0.0, 1.0}, {0.0, 0.0}, {0.25, 1.0}, {1.0, 0.5}, {0.5, 0.25}};
  for (const auto& s : splits) {
    SCOPED_TRACE(std::to_string(s.vf) + " " + std::to_string(s.beta));
    set_split(s.vf, s.beta);
    for (int64_t basis : {0, 1}) {
      script_both();
      const Answer whole = ask(KVT_HXPTHV, stream(), 1, basis);
      script_both();
      const Answer liquid = ask(KVT_HXPTHV, stream(), 3, basis);
      EXPECT_EQ(whole.value, liquid.value);
      EXPECT_EQ(whole.ierr, liquid.ierr);
    }
  }
}

// A single liquid without vapour: codes 1, 3 and 4 give that liquid's sum.
TEST_F(VaporisationTest, SingleLiquid) {
  set_split(0.0, 1.0);
  for (int64_t code : {1, 3, 4}) {
    script_first();
    EXPECT_DOUBLE_EQ(ask(KVT_HXPTHV, stream(), code).value, 35.0);
  }
}

// Our choice where the liquid fractions add up to 0 but the stream is not wholly vapour: 0.0, IERR 0.
TEST_F(VaporisationTest, NoLiquidFractionsWithoutFullVapour) {
  stream().slot(5) = kHostMissing;  // every fraction 0
  for (int64_t code : {1, 3}) {
    const Answer a = ask(KVT_HXPTHV, stream(), code, 1);
    EXPECT_EQ(a.value, 0.0);
    EXPECT_EQ(a.ierr, 0);
  }
  // Mass basis on liquid compositions of zero molecular weight: FL1 = FL2 = 0 while FV is 0.25.
  stream().slot(5) = 0.25;
  rec::set_composition(rec::Comp::X1, {0.0, 0.0, 0.0});
  rec::set_composition(rec::Comp::X2, {0.0, 0.0, 0.0});
  const Answer a = ask(KVT_HXPTHV, stream(), 3, 1);
  EXPECT_EQ(a.value, 0.0);
  EXPECT_EQ(a.ierr, 0);
  EXPECT_TRUE(monitor_calls().empty());
}

// No flash components: every sum is 0.
TEST_F(VaporisationTest, NoFlashComponents) {
  rec::set_flash_count(0);
  for (int64_t code : {1, 3, 4, 5}) {
    const Answer a = ask(KVT_HXPTHV, stream(), code);
    EXPECT_EQ(a.value, 0.0);
    EXPECT_EQ(a.ierr, 0);
  }
  EXPECT_TRUE(monitor_calls().empty());
}

}  // namespace
}  // namespace kvt::test
