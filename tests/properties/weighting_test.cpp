// How phase values are combined: fraction weighting in the order first liquid, second liquid,
// vapour; the total liquid divided by FL1 + FL2, the whole stream not divided; mass basis through
// each phase's own molecular weight; the per-phase option copies and the water rule.
#include <deque>
#include <string>
#include <vector>

#include "properties/family.h"

namespace kvt::test {
namespace {

// Phase values scripted per row: first liquid 100, second liquid 96, vapour 40 (in the order the
// host is asked), with FV 0.25, FL1 0.5625, FL2 0.1875 on mole basis.
struct WeightCase {
  int64_t code;
  std::vector<double> liquid, vapour;  // scripted host values, in call order
  double all;                          // expected for members of all phases
  double liquids;                      // expected for liquid-only members (kMissing: absent)
};

const WeightCase kMoleCases[] = {
    // 100 * 0.5625 + 96 * 0.1875 + 40 * 0.25 = 56.25 + 18 + 10
    {1, {100.0, 96.0}, {40.0}, 84.25, 99.0},
    // (100 * 0.5625) / 0.75 + (96 * 0.1875) / 0.75 = 75 + 24
    {3, {100.0, 96.0}, {}, 99.0, 99.0},
    {2, {}, {40.0}, 40.0, kMissing},
    {4, {100.0}, {}, 100.0, 100.0},
    {5, {96.0}, {}, 96.0, 96.0},
    {0, {100.0, 96.0}, {40.0}, 84.25, 99.0},
    {6, {100.0, 96.0}, {40.0}, 84.25, 99.0},
    {-1, {100.0, 96.0}, {40.0}, 84.25, 99.0},
};

class WeightingTest : public FamilyTest, public ::testing::WithParamInterface<const Member*> {
 protected:
  void script(const Member& m, const WeightCase& c) {
    host().outputs[m.liquid_calls[0]] = {c.liquid.begin(), c.liquid.end()};
    if (!m.vapour_calls.empty()) host().outputs[m.vapour_calls[0]] = {c.vapour.begin(), c.vapour.end()};
  }
};

TEST_P(WeightingTest, MoleFractionWeighting) {
  const Member& m = *GetParam();
  for (const WeightCase& c : kMoleCases) {
    SCOPED_TRACE("IPHS " + std::to_string(c.code));
    script(m, c);
    const Answer a = ask(m.routine, stream(), c.code);
    const double expected = m.phases == Phases::All ? c.all : c.liquids;
    EXPECT_DOUBLE_EQ(a.value, expected);
    EXPECT_EQ(a.ierr, expected == kMissing ? -1 : 0);
  }
}

// Transport properties ignore the basis: the fifth argument 1 or 7 gives the molar value, weighted
// by mole fractions.
INSTANTIATE_TEST_SUITE_P(Family, WeightingTest, ::testing::Values(&kCpp, &kThc, &kVis, &kSft), member_name);

class TransportWeightingTest : public WeightingTest {};

TEST_P(TransportWeightingTest, BasisIsIgnored) {
  const Member& m = *GetParam();
  for (int64_t basis : {1, 7, -1}) {
    for (const WeightCase& c : kMoleCases) {
      SCOPED_TRACE("IPHS " + std::to_string(c.code) + " basis " + std::to_string(basis));
      script(m, c);
      EXPECT_DOUBLE_EQ(ask(m.routine, stream(), c.code, basis).value, m.phases == Phases::All ? c.all : c.liquids);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Transport, TransportWeightingTest, ::testing::Values(&kThc, &kVis, &kSft), member_name);

using HeatCapacityTest = FamilyTest;

// Mass basis: mass fractions FV 0.25, FL1 0.3515625, FL2 0.28125 and each phase value divided by its
// own molecular weight (first liquid 20, second liquid 48, vapour 32).
TEST_F(HeatCapacityTest, MassBasis) {
  const struct {
    int64_t code;
    double expected;
  } cases[] = {
      // 100/20 * 0.3515625 + 96/48 * 0.28125 + 40/32 * 0.25 = 1.7578125 + 0.5625 + 0.3125
      {1, 2.6328125},
      // (1.7578125 + 0.5625) / (0.3515625 + 0.28125) = 2.3203125 / 0.6328125
      {3, 11.0 / 3.0},
      {2, 1.25},
      {4, 5.0},
      {5, 2.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("IPHS " + std::to_string(c.code));
    host().outputs["GOSA_ENTHL"] = c.code == 5 ? std::deque<double>{96.0} : std::deque<double>{100.0, 96.0};
    host().outputs["GOSA_ENTHV"] = {40.0};
    const Answer a = ask(KVT_HXPCPP, stream(), c.code, 1);
    EXPECT_DOUBLE_EQ(a.value, c.expected);
    EXPECT_EQ(a.ierr, 0);
  }
}

// IBAS 2 or -1 is the mole basis.
TEST_F(HeatCapacityTest, OutOfRangeBasisIsMolar) {
  for (int64_t basis : {2, -1}) {
    host().outputs["GOSA_ENTHL"] = {100.0, 96.0};
    host().outputs["GOSA_ENTHV"] = {40.0};
    EXPECT_DOUBLE_EQ(ask(KVT_HXPCPP, stream(), 1, basis).value, 84.25);
  }
}

// A wholly vapour stream: the whole stream is the vapour's value, not weighted down.
TEST_F(HeatCapacityTest, WhollyVapourWholeStream) {
  set_split(1.0, 0.75);
  host().outputs["GOSA_ENTHV"] = {40.0};
  const Answer a = ask(KVT_HXPCPP, stream(), 1);
  EXPECT_EQ(a.value, 40.0);
  EXPECT_EQ(host().count("GOSA_ENTHL"), 0u);
}

// The water rule: with the side's water switch at 1 and water among the flash components, a liquid
// whose water mole fraction is exactly 1.0 is evaluated with option word 5 in place of word 1.
// Water is flash component 2 here.
struct WaterCase {
  const char* name;
  int64_t side;
  int64_t switch0, switch1;  // KVT_IHXPP words 10 and 20
  int64_t idxwat;
  double x1w, x2w;    // water mole fraction in the first and second liquid
  int64_t l1, l2, v;  // expected option word 1 handed for each phase
};

const WaterCase kWaterCases[] = {
    {"PureFirstLiquid", 0, 1, 0, 2, 1.0, 0.5, kSide0Word5, kSide0Word1, kSide0Word1},
    {"AlmostPure", 0, 1, 0, 2, 0.9999999, 0.5, kSide0Word1, kSide0Word1, kSide0Word1},
    {"SwitchOff", 0, 0, 1, 2, 1.0, 1.0, kSide0Word1, kSide0Word1, kSide0Word1},
    {"SwitchTwo", 0, 2, 0, 2, 1.0, 1.0, kSide0Word1, kSide0Word1, kSide0Word1},
    {"NoWater", 0, 1, 0, 0, 1.0, 1.0, kSide0Word1, kSide0Word1, kSide0Word1},
    {"NegativeWaterPosition", 0, 1, 0, -1, 1.0, 1.0, kSide0Word1, kSide0Word1, kSide0Word1},
    {"PureSecondLiquid", 0, 1, 0, 2, 0.5, 1.0, kSide0Word1, kSide0Word5, kSide0Word1},
    {"BothLiquidsPure", 0, 1, 0, 2, 1.0, 1.0, kSide0Word5, kSide0Word5, kSide0Word1},
    {"SideOne", 1, 0, 1, 2, 1.0, 0.5, kSide1Word5, kSide1Word1, kSide1Word1},
    {"SideOneSwitchOff", 1, 1, 0, 2, 1.0, 0.5, kSide1Word1, kSide1Word1, kSide1Word1},
    {"SideTwoIsSideZero", 2, 1, 0, 2, 1.0, 0.5, kSide0Word5, kSide0Word1, kSide0Word1},
    {"SideMinusOneIsSideZero", -1, 1, 1, 2, 0.5, 1.0, kSide0Word1, kSide0Word5, kSide0Word1},
};

class WaterRuleTest : public FamilyTest, public ::testing::WithParamInterface<const Member*> {
 protected:
  // Option word 1 of every call that evaluates the phase of `code` (all must agree).
  std::vector<int64_t> option_words(const Member& m) {
    std::vector<int64_t> out;
    for (const rec::Call* c : monitor_calls()) {
      if (c->name != "LORI_PL001") out.push_back((*c)[static_cast<std::size_t>(m.option_arg)].word);
    }
    return out;
  }
};

TEST_P(WaterRuleTest, OptionCopyPerPhase) {
  const Member& m = *GetParam();
  for (const WaterCase& w : kWaterCases) {
    SCOPED_TRACE(w.name);
    KVT_IHXPP[9] = w.switch0;
    KVT_IHXPP[19] = w.switch1;
    host().idxwat = w.idxwat;
    rec::set_plex_real(rec::comp_pos(rec::Comp::X1) + 1, w.x1w);
    rec::set_plex_real(rec::comp_pos(rec::Comp::X2) + 1, w.x2w);
    const struct {
      int64_t code;
      int64_t word;
    } phases[] = {{4, w.l1}, {5, w.l2}, {2, w.v}};
    for (const auto& ph : phases) {
      if (ph.code == 2 && m.phases != Phases::All) continue;
      SCOPED_TRACE("IPHS " + std::to_string(ph.code));
      host().calls.clear();
      ask(m.routine, stream(), ph.code, 0, w.side);
      const std::vector<int64_t> words = option_words(m);
      ASSERT_FALSE(words.empty());
      for (int64_t word : words) EXPECT_EQ(word, ph.word);
      const bool rule_on = (w.side == 1 ? w.switch1 : w.switch0) == 1;
      ASSERT_EQ(host().count("NERO_IDXWAT"), rule_on ? 1u : 0u);
      if (rule_on) {
        const rec::Call& c = *host().calls_to("NERO_IDXWAT")[0];
        EXPECT_EQ(c[1].addr, rec::plex_addr(rec::complist_pos()));
        EXPECT_EQ(c[2].addr, &VOKA_STWKWK[2]) << "NCPM";
      }
    }
  }
}

// The rule is decided on the full first-liquid composition, not the packed one.
TEST_P(WaterRuleTest, DecidedOnTheFullComposition) {
  const Member& m = *GetParam();
  KVT_IHXPP[9] = 1;
  host().idxwat = 2;
  rec::set_plex_real(rec::comp_pos(rec::Comp::X1) + 1, 1.0);
  rec::set_plex_real(KVT_HXPKV[11] + 1, 0.25);  // packed first liquid: water not pure
  ask(m.routine, stream(), 4);
  for (int64_t word : option_words(m)) EXPECT_EQ(word, kSide0Word5);
  EXPECT_EQ(KVT_IHXPP[0], kSide0Word1) << "the option list itself is never changed";
}

INSTANTIATE_TEST_SUITE_P(Family, WaterRuleTest, ::testing::Values(&kCpp, &kThc, &kVis, &kSft, &kThv), member_name);

}  // namespace
}  // namespace kvt::test
