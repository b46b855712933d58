// Critical temperature and pressure: which composition the host's critical-point routine gets, the
// packing of the whole stream into the data store, which output is returned, absent phases, traces,
// write sets and the arguments that are never read.
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "support/fixture.h"
#include "support/snapshot.h"

namespace kvt::test {
namespace {

struct Twin {
  const char* name;
  PropertyRoutine routine;
  std::size_t result_arg;  // output of WEND_CRTCAL written into the result
  int trace_word;
};

const Twin kTmc{"HXPTMC", KVT_HXPTMC, 5, 15};
const Twin kPrc{"HXPPRC", KVT_HXPPRC, 6, 9};

std::string twin_name(const ::testing::TestParamInfo<const Twin*>& info) { return info.param->name; }

// Stream flows 1, 0, 3 (NCOMP 3): the stand-in host packs components 1 and 3 with mole fractions
// 0.25 and 0.75. The last flash had three flash components (numbers 2, 5, 7), vapour fraction 0.25
// and liquid split 0.75. The host's critical point: temperature 500, pressure 4e6.
class CriticalTest : public KvtTest, public ::testing::WithParamInterface<const Twin*> {
 protected:
  void SetUp() override {
    KvtTest::SetUp();
    FlashResult r = mixed_liquids_flash();
    script_flash(r);
    stream().v[0] = 1.0;
    stream().v[1] = 0.0;
    stream().v[2] = 3.0;
    stream().slot(2) = 350.0;
    stream().slot(3) = 2.0e5;
    stream().slot(5) = 0.25;
    stream().slot(9) = 40.0;
    script_critical_point();
  }
  void script_critical_point() {
    host().outputs["WEND_CRTCAL"] = {500.0};
    host().outputs["WEND_CRTCAL:PC"] = {4.0e6};
  }
  double expected() const { return GetParam()->result_arg == 5 ? 500.0 : 4.0e6; }
  const void* work() const { return rec::plex_addr(VOKA_STWKWK[0] + rec::stwork_int(20)); }
  const void* at(rec::Comp c) const { return rec::plex_addr(rec::comp_pos(c)); }
};

// Whole stream: TEBU_CPACK packs the stream over the component-number list and Z, then
// WEND_CRTCAL gets the count, Z and the list it wrote.
TEST_P(CriticalTest, WholeStreamIsPackedFirst) {
  const Twin& t = *GetParam();
  for (int64_t code : {1, 0, 6, -1}) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    host().calls.clear();
    script_critical_point();
    double result = -7.0;
    int64_t ierr = 9;
    const int64_t side = 0, basis = 0;
    t.routine(stream().data(), &stream().nstrm, &side, &code, &basis, &result, &ierr);
    EXPECT_EQ(result, expected());
    EXPECT_EQ(ierr, 0);
    ASSERT_EQ(host().calls.size(), 2u);
    const rec::Call& pack = host().calls[0];
    const rec::Call& crit = host().calls[1];
    ASSERT_EQ(pack.name, "TEBU_CPACK");
    ASSERT_EQ(crit.name, "WEND_CRTCAL");
    EXPECT_EQ(pack[1].addr, stream().data());
    EXPECT_EQ(pack[3].addr, rec::plex_addr(rec::complist_pos()));
    EXPECT_EQ(pack[4].addr, at(rec::Comp::Z));
    EXPECT_EQ(crit[1].addr, pack[2].addr);
    EXPECT_EQ(crit[1].word, 2) << "the count the host packed";
    EXPECT_EQ(crit[2].addr, at(rec::Comp::Z));
    EXPECT_EQ(crit[3].addr, rec::plex_addr(rec::complist_pos()));
    EXPECT_EQ(crit[4].addr, work());
    EXPECT_EQ(crit[t.result_arg].addr, &result);
    EXPECT_NE(crit[t.result_arg == 5 ? 6 : 5].addr, &result);
    // The packed stream replaces the flash's list and Z; the third entries are left as they were.
    EXPECT_EQ(rec::plex_int(rec::complist_pos()), 1);
    EXPECT_EQ(rec::plex_int(rec::complist_pos() + 1), 3);
    EXPECT_EQ(rec::plex_int(rec::complist_pos() + 2), 7);
    EXPECT_EQ(rec::plex_real(rec::comp_pos(rec::Comp::Z)), 0.25);
    EXPECT_EQ(rec::plex_real(rec::comp_pos(rec::Comp::Z) + 1), 0.75);
    EXPECT_EQ(rec::plex_real(rec::comp_pos(rec::Comp::Z) + 2), 0.2);
  }
}

// A single phase: NCPM by address, the phase's composition of the last flash, no packing.
TEST_P(CriticalTest, SinglePhaseCompositions) {
  const Twin& t = *GetParam();
  const struct {
    int64_t code;
    rec::Comp comp;
  } cases[] = {{2, rec::Comp::Y}, {3, rec::Comp::X}, {4, rec::Comp::X1}, {5, rec::Comp::X2}};
  for (const auto& c : cases) {
    SCOPED_TRACE("IPHS " + std::to_string(c.code));
    host().calls.clear();
    script_critical_point();
    const Answer a = ask(t.routine, stream(), c.code);
    EXPECT_EQ(a.value, expected());
    EXPECT_EQ(a.ierr, 0);
    ASSERT_EQ(host().calls.size(), 1u);
    const rec::Call& crit = host().calls[0];
    ASSERT_EQ(crit.name, "WEND_CRTCAL");
    EXPECT_EQ(crit[1].addr, &VOKA_STWKWK[2]);
    EXPECT_EQ(crit[2].addr, at(c.comp));
    EXPECT_EQ(crit[3].addr, rec::plex_addr(rec::complist_pos()));
    EXPECT_EQ(crit[4].addr, work());
  }
}

// Absent phases give the missing value with IERR -1 and no host call; the whole stream is never absent.
TEST_P(CriticalTest, AbsentPhases) {
  const struct {
    const char* name;
    double vf, beta;
    bool present[5];
  } splits[] = {
      {"WhollyVapour", 1.0, 0.75, {true, true, false, false, false}},
      {"FirstLiquidOnly", 0.0, 1.0, {true, false, true, true, false}},
      {"SecondLiquidOnly", 0.0, 0.0, {true, false, true, false, true}},
      // Every fraction 0: the total liquid is only absent for FV = 1.
      {"NoFractions", kHostMissing, 0.75, {true, false, true, false, false}},
      // A fraction that is not a number is not equal to 0 or 1: every phase is evaluated.
      {"NotANumber", std::numeric_limits<double>::quiet_NaN(), 0.75, {true, true, true, true, true}},
  };
  for (const auto& s : splits) {
    stream().slot(5) = s.vf;
    rec::set_stwkwk_real(23, s.beta);
    for (int64_t code = 1; code <= 5; ++code) {
      SCOPED_TRACE(std::string(s.name) + " IPHS " + std::to_string(code));
      host().calls.clear();
      script_critical_point();
      const Answer a = ask(GetParam()->routine, stream(), code);
      if (s.present[code - 1]) {
        EXPECT_EQ(a.value, expected());
        EXPECT_EQ(a.ierr, 0);
        EXPECT_EQ(host().count("WEND_CRTCAL"), 1u);
      } else {
        EXPECT_EQ(a.value, kMissing);
        EXPECT_EQ(a.ierr, -1);
        EXPECT_TRUE(host().calls.empty());
      }
    }
  }
}

// The fractions are mole fractions whatever IBAS says: with component molecular weights of 0 a mass
// fraction would be 0 and the phase absent.
TEST_P(CriticalTest, FractionsOnMoleBasis) {
  for (int64_t code : {2, 4, 5}) {
    script_critical_point();
    const Answer a = ask(GetParam()->routine, stream(), code, 1);
    EXPECT_EQ(a.value, expected());
    EXPECT_EQ(a.ierr, 0);
  }
}

// IBAS and ISIDE are never read.
TEST_P(CriticalTest, BasisAndSideAreNeverRead) {
  const auto* bogus = reinterpret_cast<const int64_t*>(8);
  for (int64_t code = 1; code <= 5; ++code) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    script_critical_point();
    Answer a{-7.0, -7};
    GetParam()->routine(stream().data(), &stream().nstrm, bogus, &code, bogus, &a.value, &a.ierr);
    EXPECT_EQ(a.value, expected());
    EXPECT_EQ(a.ierr, 0);
  }
}

// Only the whole stream writes, and only the component-number list and Z.
TEST_P(CriticalTest, WriteSet) {
  std::set<Word> packed;
  for (int64_t i = 0; i < capacity_; ++i) {
    packed.insert({"PLEX", rec::complist_pos() + i});
    packed.insert({"PLEX", rec::comp_pos(rec::Comp::Z) + i});
  }
  KVT_HXPDBG[GetParam()->trace_word - 1] = 1;
  for (int64_t code : {5, 4, 3, 2, 1}) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    script_critical_point();
    const Snapshot before = take_snapshot(stream(), layout_.end);
    ask(GetParam()->routine, stream(), code);
    const std::set<Word> changed = diff(before, take_snapshot(stream(), layout_.end));
    EXPECT_EQ(outside(changed, code == 1 ? packed : std::set<Word>{}), "");
    EXPECT_EQ(!changed.empty(), code == 1);
  }
}

// The same request twice, with other requests in between, hands the host the same words.
TEST_P(CriticalTest, NoStateBetweenCalls) {
  const auto crtcal_words = [&](int64_t code) {
    host().calls.clear();
    script_critical_point();
    const Answer a = ask(GetParam()->routine, stream(), code);
    std::vector<int64_t> words{static_cast<int64_t>(a.value), a.ierr};
    for (const rec::Arg& arg : host().calls_to("WEND_CRTCAL").at(0)->args) words.push_back(arg.word);
    return words;
  };
  for (int64_t code = 2; code <= 5; ++code) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    const auto first = crtcal_words(code);
    ask(KVT_HXPTMC, stream(), code == 2 ? 4 : 2, 1, 1);
    ask(KVT_HXPPRC, stream(), code == 3 ? 5 : 3, 0, 1);
    EXPECT_EQ(crtcal_words(code), first);
  }
}

INSTANTIATE_TEST_SUITE_P(Critical, CriticalTest, ::testing::Values(&kTmc, &kPrc), twin_name);

using CriticalTwinTest = CriticalTest;

// Both routines hand WEND_CRTCAL the same four inputs; a second packing writes over the same places.
TEST_P(CriticalTwinTest, SameInputsForBoth) {
  for (int64_t code = 1; code <= 5; ++code) {
    SCOPED_TRACE("IPHS " + std::to_string(code));
    host().calls.clear();
    ask(KVT_HXPTMC, stream(), code);
    ask(KVT_HXPPRC, stream(), code);
    const auto crit = host().calls_to("WEND_CRTCAL");
    ASSERT_EQ(crit.size(), 2u);
    for (std::size_t k = 1; k <= 4; ++k) {
      if (code != 1 || k != 1) {  // the packed count is each routine's own
        EXPECT_EQ((*crit[0])[k].addr, (*crit[1])[k].addr) << "argument " << k;
      }
      EXPECT_EQ((*crit[0])[k].word, (*crit[1])[k].word) << "argument " << k;
    }
    const auto pack = host().calls_to("TEBU_CPACK");
    ASSERT_EQ(pack.size(), code == 1 ? 2u : 0u);
    if (code == 1) {
      for (std::size_t k : {1u, 3u, 4u}) EXPECT_EQ((*pack[0])[k].addr, (*pack[1])[k].addr);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Critical, CriticalTwinTest, ::testing::Values(&kTmc), twin_name);

// Traces: switch tested for equality with 1; Z listed for N elements whatever the phase.
TEST_P(CriticalTest, SwitchIsExactlyOne) {
  for (int64_t value : {-1, 0, 1, 2}) {
    SCOPED_TRACE(value);
    host().records.clear();
    KVT_HXPDBG[GetParam()->trace_word - 1] = value;
    ask(GetParam()->routine, stream(), 2);
    EXPECT_EQ(!trace().empty(), value == 1);
  }
}

TEST_F(CriticalTwinTest, TemperatureTraceAfterPacking) {
  KVT_HXPDBG[14] = 1;
  stream().nstrm = 2;
  ask(KVT_HXPTMC, stream(), 1);
  const std::vector<std::string> expected = {
      " ",
      " ***** Inside HXPTMC ...",
      " *****    NSTRM     =  2",
      " *****    NCPM      =  3",
      " *****     STRM(  1) =  1.0000000E+00",
      " *****     STRM(  2) =  0.0000000E+00",
      " *****        T     =  3.5000000E+02",
      " *****        P     =  2.0000000E+05",
      " *****        Z(  1) =  2.5000000E-01",
      " *****        Z(  2) =  7.5000000E-01",
      " *****        Z(  3) =  2.0000000E-01",
      " *****      TMC     =  5.0000000E+02",
  };
  EXPECT_EQ(trace(), expected) << joined(trace());
}

TEST_F(CriticalTwinTest, PressureTraceOfTheTotalLiquid) {
  KVT_HXPDBG[8] = 1;
  stream().nstrm = 2;
  ask(KVT_HXPPRC, stream(), 3);
  const std::vector<std::string> expected = {
      " ",
      " ***** Inside HXPPRC ...",
      " *****    NSTRM     =  2",
      " *****     NCPM     =  3",
      " *****     STRM(  1) =  1.0000000E+00",
      " *****     STRM(  2) =  0.0000000E+00",
      " *****        T     =  3.5000000E+02",
      " *****        P     =  2.0000000E+05",
      " *****        Z(  1) =  5.0000000E-01",
      " *****        Z(  2) =  3.0000000E-01",
      " *****        Z(  3) =  2.0000000E-01",
      " *****      PRC     =  4.0000000E+06",
  };
  EXPECT_EQ(trace(), expected) << joined(trace());
}

}  // namespace
}  // namespace kvt::test
