// What the phase-property routines hand the host's property monitor: argument lists checked by
// address, how often each phase is evaluated per phase code, which phases count as absent, and the
// basis on which the three phase fractions are asked for.
#include <string>
#include <vector>

#include "properties/family.h"

namespace kvt::test {
namespace {

bool inside(const void* p, const void* begin, std::size_t words) {
  const auto* w = static_cast<const int64_t*>(p);
  const auto* b = static_cast<const int64_t*>(begin);
  return w >= b && w < b + words;
}

using HostCallTest = FamilyTest;

// Heat capacity: the twelve arguments, full compositions, first liquid, second liquid, vapour.
TEST_F(HostCallTest, EnthalpyCallsCarryTheFullCompositions) {
  ask(KVT_HXPCPP, stream(), 1);
  const auto calls = monitor_calls();
  ASSERT_EQ(calls.size(), 3u);
  const struct {
    const char* name;
    rec::Comp comp;
  } expected[] = {{"GOSA_ENTHL", rec::Comp::X1}, {"GOSA_ENTHL", rec::Comp::X2}, {"GOSA_ENTHV", rec::Comp::Y}};
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const rec::Call& c = *calls[k];
    ASSERT_EQ(c.name, expected[k].name);
    ASSERT_EQ(c.args.size(), 12u);
    EXPECT_EQ(c[1].addr, strm_slot(2));
    EXPECT_EQ(c[2].addr, strm_slot(3));
    EXPECT_EQ(c[3].addr, rec::plex_addr(rec::comp_pos(expected[k].comp)));
    EXPECT_EQ(c[4].addr, &VOKA_STWKWK[2]) << "NCPM";
    EXPECT_EQ(c[5].addr, rec::plex_addr(rec::complist_pos()));
    EXPECT_EQ(c[6].word, kSide0Word1);
    EXPECT_FALSE(inside(c[6].addr, KVT_IHXPP, 28)) << "the host gets a copy of the option list";
    EXPECT_EQ(c[7].addr, &KVT_IHXPP[22]);
    EXPECT_EQ(c[8].addr, &KVT_IHXPP[20]);
    EXPECT_EQ(c[9].word, 2);
  }
}

// Transport properties: the nine arguments on the packed compositions of KVT_HXPKV.
class TransportCallTest : public FamilyTest, public ::testing::WithParamInterface<const Member*> {};

TEST_P(TransportCallTest, NineArgumentsOnThePackedCompositions) {
  const Member& m = *GetParam();
  KVT_IHXPP[9] = 0;
  for (int64_t code : {1, 2, 3, 4, 5}) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    host().calls.clear();
    double result = -7.0;
    int64_t ierr = 77;
    const int64_t side = 0, basis = 0;
    m.routine(stream().data(), &stream().nstrm, &side, &code, &basis, &result, &ierr);
    struct Expect {
      std::string name;
      int group;  // KVT_HXPKV phase group
      int64_t count;
    };
    std::vector<Expect> expected;
    const bool liquids = code != 2, vapour = m.phases == Phases::All && (code == 1 || code == 2);
    if (liquids && code != 5) expected.push_back({m.liquid_calls[0], 2, 2});
    if (liquids && code != 4) expected.push_back({m.liquid_calls[0], 3, 2});
    if (vapour) expected.push_back({m.vapour_calls[0], 4, 3});
    const auto calls = monitor_calls();
    ASSERT_EQ(calls.size(), expected.size());
    for (std::size_t k = 0; k < calls.size(); ++k) {
      SCOPED_TRACE(k);
      const rec::Call& c = *calls[k];
      const int g = expected[k].group;
      ASSERT_EQ(c.name, expected[k].name);
      ASSERT_EQ(c.args.size(), 9u);
      EXPECT_EQ(c[1].addr, strm_slot(2));
      EXPECT_EQ(c[2].addr, strm_slot(3));
      EXPECT_EQ(c[3].addr, rec::plex_addr(KVT_HXPKV[g + 9]));
      EXPECT_EQ(c[4].word, expected[k].count);
      EXPECT_NE(c[4].addr, rec::plex_addr(KVT_HXPKV[g - 1])) << "the host gets the routine's copy of the count";
      EXPECT_EQ(c[5].addr, rec::plex_addr(KVT_HXPKV[g + 4]));
      EXPECT_EQ(c[6].word, kSide0Word1);
      EXPECT_FALSE(inside(c[6].addr, KVT_IHXPP, 28));
      EXPECT_EQ(c[7].addr, &KVT_IHXPP[22]);
      if (code == 2 || code == 4 || code == 5) {
        EXPECT_EQ(c[8].addr, &result) << "single phases are written straight into the result";
      } else {
        EXPECT_NE(c[8].addr, &result);
      }
      EXPECT_EQ(c[9].addr, &ierr);
      EXPECT_EQ(c[9].word, 0) << "IERR is 0 before the first host call";
    }
  }
}

// The host's flag goes back to the caller as IERR; each call sees what the previous one left, and
// the values are used whatever the flag says.
TEST_P(TransportCallTest, ErrorFlagIsTheCallersIerr) {
  const Member& m = *GetParam();
  host().outputs[m.liquid_calls[0]] = {100.0};
  host().error_flags = {5};
  Answer a = ask(m.routine, stream(), 4);
  EXPECT_EQ(a.value, 100.0);
  EXPECT_EQ(a.ierr, 5);

  host().calls.clear();
  host().outputs[m.liquid_calls[0]] = {100.0, 96.0};
  host().error_flags = {3, 4};
  a = ask(m.routine, stream(), 3);
  EXPECT_EQ(a.value, 99.0);  // (100 * 0.5625 + 96 * 0.1875) / 0.75
  EXPECT_EQ(a.ierr, 4);
  const auto calls = monitor_calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ((*calls[0])[9].word, 0);
  EXPECT_EQ((*calls[1])[9].word, 3);
}

INSTANTIATE_TEST_SUITE_P(Transport, TransportCallTest, ::testing::Values(&kThc, &kVis, &kSft), member_name);

// How many times each phase is evaluated, per phase code, for a stream with all three phases.
struct CountCase {
  int64_t code;
  int liquids_all, vapour_all;  // members of all phases
  int liquids_liq;              // liquid-only members (never the vapour)
};

class CallCountTest : public FamilyTest, public ::testing::WithParamInterface<const Member*> {};

TEST_P(CallCountTest, EachPhaseAtMostOncePerCall) {
  const Member& m = *GetParam();
  // Heat of vaporisation: one pressure call and two enthalpy calls per component present in the
  // vapour (all three here), per liquid.
  const int per_liquid = m.routine == KVT_HXPTHV ? 3 : 1;
  const CountCase cases[] = {{1, 2, 1, 2}, {2, 0, 1, 0}, {3, 2, 0, 2}, {4, 1, 0, 1},
                             {5, 1, 0, 1}, {0, 2, 1, 2}, {6, 2, 1, 2}, {-1, 2, 1, 2}};
  for (const CountCase& c : cases) {
    SCOPED_TRACE("IPHS " + std::to_string(c.code));
    host().calls.clear();
    ask(m.routine, stream(), c.code);
    const bool all = m.phases == Phases::All;
    for (const std::string& name : m.liquid_calls) {
      EXPECT_EQ(host().count(name), static_cast<std::size_t>((all ? c.liquids_all : c.liquids_liq) * per_liquid))
          << name;
    }
    for (const std::string& name : m.vapour_calls)
      EXPECT_EQ(host().count(name), static_cast<std::size_t>(c.vapour_all));
    std::size_t own = 0;
    for (const auto& n : m.liquid_calls) own += host().count(n);
    for (const auto& n : m.vapour_calls) own += host().count(n);
    EXPECT_EQ(monitor_calls().size(), own) << "no other monitor routine";
  }
}

INSTANTIATE_TEST_SUITE_P(Family, CallCountTest, ::testing::Values(&kCpp, &kThc, &kVis, &kSft, &kThv), member_name);

// Absent phases: the missing value, IERR -1 and no call of the property monitor.
struct Split {
  const char* name;
  double vf, beta;
  bool present_all[5];  // codes 1..5, members of all phases
  bool present_liq[5];  // codes 1..5, liquid-only members
};

const Split kSplits[] = {
    {"ThreePhases", 0.25, 0.75, {true, true, true, true, true}, {true, false, true, true, true}},
    {"WhollyVapour", 1.0, 0.75, {true, true, false, false, false}, {false, false, false, false, false}},
    {"FirstLiquidOnly", 0.0, 1.0, {true, false, true, true, false}, {true, false, true, true, false}},
    {"SecondLiquidOnly", 0.0, 0.0, {true, false, true, false, true}, {true, false, true, false, true}},
    {"VapourAndFirstLiquid", 0.25, 1.0, {true, true, true, true, false}, {true, false, true, true, false}},
    {"NearlyVapour", 0.99999999995, 0.5, {true, true, false, false, false}, {false, false, false, false, false}},
};

class AbsentPhaseTest : public FamilyTest, public ::testing::WithParamInterface<const Member*> {};

TEST_P(AbsentPhaseTest, MissingValueWithIerrMinusOneAndNoHostCall) {
  const Member& m = *GetParam();
  host().default_output = 1.5;
  for (const Split& s : kSplits) {
    set_split(s.vf, s.beta);
    for (int64_t code = 1; code <= 5; ++code) {
      SCOPED_TRACE(std::string(s.name) + " IPHS " + std::to_string(code));
      host().calls.clear();
      const bool present = (m.phases == Phases::All ? s.present_all : s.present_liq)[code - 1];
      for (int64_t basis : {0, 1}) {
        const Answer a = ask(m.routine, stream(), code, basis);
        if (present) {
          EXPECT_EQ(a.ierr, 0);
          EXPECT_LT(a.value, kMissing);
        } else {
          EXPECT_EQ(a.value, kMissing);
          EXPECT_EQ(a.ierr, -1);
          EXPECT_TRUE(monitor_calls().empty());
        }
      }
    }
  }
}

// A stream whose vapour fraction is the host's missing value has all three fractions 0: no phase is
// evaluated; the whole stream and the total liquid are 0.0 (density: no volume, so missing) with
// IERR 0, the single phases are absent.
TEST_P(AbsentPhaseTest, StreamWithoutFractions) {
  const Member& m = *GetParam();
  stream().slot(5) = kHostMissing;
  for (int64_t code = 1; code <= 5; ++code) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    const Answer a = ask(m.routine, stream(), code);
    if (code == 1 || code == 3) {
      EXPECT_EQ(a.value, m.routine == KVT_HXPDNS ? kMissing : 0.0);
      EXPECT_EQ(a.ierr, 0);
    } else {
      EXPECT_EQ(a.value, kMissing);
      EXPECT_EQ(a.ierr, -1);
    }
  }
  EXPECT_TRUE(monitor_calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Family, AbsentPhaseTest, ::testing::Values(&kCpp, &kThc, &kVis, &kSft, &kDns, &kThv),
                         member_name);

// The three fraction calls, seen through their own trace: codes 2, 4, 5 in that order, on the
// caller's basis for heat capacity, density and heat of vaporisation, on mole basis for the
// transport properties whatever the fifth argument (or the side) says.
class FractionBasisTest : public FamilyTest, public ::testing::WithParamInterface<const Member*> {};

TEST_P(FractionBasisTest, FractionsOnTheRoutinesBasis) {
  const Member& m = *GetParam();
  const bool mass = m.routine == KVT_HXPCPP || m.routine == KVT_HXPDNS || m.routine == KVT_HXPTHV;
  KVT_HXPDBG[3] = 1;
  ask(m.routine, stream(), 2, 1, 1);
  std::vector<std::string> frc;
  for (const std::string& line : trace()) {
    if (line.starts_with(" *****      FRC ")) frc.push_back(line);
  }
  const std::vector<std::string> expected =
      mass ? std::vector<std::string>{" *****      FRC     =  2.5000000E-01", " *****      FRC     =  3.5156250E-01",
                                      " *****      FRC     =  2.8125000E-01"}
           : std::vector<std::string>{" *****      FRC     =  2.5000000E-01", " *****      FRC     =  5.6250000E-01",
                                      " *****      FRC     =  1.8750000E-01"};
  EXPECT_EQ(frc, expected) << joined(trace());
}

INSTANTIATE_TEST_SUITE_P(Family, FractionBasisTest, ::testing::Values(&kCpp, &kThc, &kVis, &kSft, &kDns, &kThv),
                         member_name);

}  // namespace
}  // namespace kvt::test
