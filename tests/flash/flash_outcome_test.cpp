// What the flash leaves behind: the judgement (retention mode, record status word, IERR), the
// estimate marker, the liquid-split copy, the packed compositions, the write-set and the trace.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "flash/flash_fixture.h"
#include "support/snapshot.h"

namespace kvt::test {
namespace {

constexpr int64_t kUntouched = 99;

// ---- Judgement -----------------------------------------------------------------------------------

struct JudgeCase {
  const char* name;
  int64_t mode, side, islot;
  int64_t flash_status, flscom, flscm2;  // what the host flash leaves
  int64_t record;                        // retention record used, -1: scratch
  int64_t mode_arg, mode_after, status_word, ierr, flscm2_after;
};

class Judgement : public FlashTest, public ::testing::WithParamInterface<JudgeCase> {};

TEST_P(Judgement, ModeStatusWordAndIerr) {
  const JudgeCase& c = GetParam();
  for (int64_t r = 0; r < 10; ++r) rec::set_plex_int(status_word(r), kUntouched);
  KVT_IHXPP[26] = c.mode;
  host().flash_status = c.flash_status;
  rec::set_flash_error(c.flscom);
  rec::set_failure_flag(c.flscm2);
  EXPECT_EQ(flash({.iside = c.side, .islot = c.islot}), c.ierr);
  const rec::Call& f = flash_call();
  EXPECT_EQ(f[16].word, c.mode_arg);
  EXPECT_EQ(f[19].addr, rec::plex_addr(c.record < 0 ? scratch_int() : int_record(c.record)));
  EXPECT_EQ(KVT_IHXPP[26], c.mode_after);
  EXPECT_EQ(rec::failure_flag(), c.flscm2_after);
  for (int64_t r = 0; r < 10; ++r) {
    EXPECT_EQ(rec::plex_int(status_word(r)), r == c.record ? c.status_word : kUntouched) << "record " << r;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Flash, Judgement,
    ::testing::Values(
        // name                        mode side slot  st  com cm2  rec  arg after status ierr cm2'
        JudgeCase{"Mode1Record7Good", 1, 1, 3, 1, 7, 0, 7, 1, 1, 7, 7, 0},
        JudgeCase{"Mode1Record7Bad", 1, 1, 3, 0, 7, 0, 7, 1, 2, 0, 0, 0},
        JudgeCase{"Mode2Record0Good", 2, 0, 1, 1, 0, 0, 0, 2, 1, 0, 0, 0},
        JudgeCase{"Mode2Record9BadFlagged", 2, 1, 5, 3, 7, 1, 9, 2, 2, 0, 1, 0},
        JudgeCase{"Mode1Record4BadStatusMinus1", 1, 0, 5, -1, 7, 0, 4, 1, 2, 0, 0, 0},
        JudgeCase{"Mode0GoodScratch", 0, 0, 3, 1, 5, 0, -1, 0, 0, 0, 5, 0},
        JudgeCase{"Mode0BadFlaggedScratch", 0, 0, 3, 0, 5, -4, -1, 0, 0, 0, 1, 0},
        JudgeCase{"Mode2SlotMinus1Good", 2, 0, -1, 1, 0, 0, -1, 1, 1, 0, 0, 0},
        JudgeCase{"Mode2SlotMinus1Bad", 2, 0, -1, 0, 0, 0, -1, 1, 2, 0, 0, 0},
        JudgeCase{"Mode2Slot0Bad", 2, 1, 0, 0, 0, 0, -1, 2, 2, 0, 0, 0},
        JudgeCase{"Mode1SlotMinus2Good", 1, 0, -2, 1, 2, 0, -1, 1, 1, 0, 2, 0},
        JudgeCase{"NegativeModeGood", -1, 0, 2, 1, 3, 0, 1, -1, -1, 3, 3, 0},
        JudgeCase{"NegativeModeBad", -3, 1, 4, 0, 3, 0, 8, -3, -3, 0, 0, 0},
        JudgeCase{"Slot6ScratchNoStatus", 1, 0, 6, 0, 0, 0, -1, 1, 2, 0, 0, 0},
        JudgeCase{"Side2ScratchNoStatus", 1, 2, 1, 1, 2, 0, -1, 1, 1, 0, 2, 0},
        JudgeCase{"GoodFlashKeepsFailureFlag", 1, 0, 0, 1, 4, 1, -1, 1, 1, 0, 4, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Estimate marker -----------------------------------------------------------------------------

struct MarkerCase {
  const char* name;
  int64_t mode, side, islot, kspec;
  double marker;  // before the call, on both sides
  int touched;    // side whose marker is raised, -1: none
  double estimate;
};

class EstimateMarker : public FlashTest, public ::testing::WithParamInterface<MarkerCase> {};

// A previous KSPEC 4 flash leaves the estimate 777; the stream then has T 300 and P 1e5.
TEST_P(EstimateMarker, RaisedOnlyForSlot2ModesUpTo1AndKspec1Or3OrOther) {
  const MarkerCase& c = GetParam();
  set_stream(1.0, 777.0, 0.0, 0.5);
  flash({.kspec = 4});
  set_stream(300.0, 1.0e5, 0.0, 0.5);
  KVT_IHXPP[26] = c.mode;
  KVT_RHXPP[1] = KVT_RHXPP[4] = c.marker;
  flash({.iside = c.side, .islot = c.islot, .kspec = c.kspec});
  EXPECT_EQ(KVT_RHXPP[1], c.touched == 0 ? kMissing : c.marker);
  EXPECT_EQ(KVT_RHXPP[4], c.touched == 1 ? kMissing : c.marker);
  EXPECT_EQ(flash_call()[13].real(), c.estimate);
}

INSTANTIATE_TEST_SUITE_P(
    Flash, EstimateMarker,
    ::testing::Values(MarkerCase{"Mode1Side0Kspec3", 1, 0, 2, 3, 0.0, 0, kMissing},
                      MarkerCase{"Mode0Side0", 0, 0, 2, 3, 0.0, 0, kMissing},
                      MarkerCase{"NegativeMode", -2, 0, 2, 3, 0.0, 0, kMissing},
                      MarkerCase{"Mode1Side1", 1, 1, 2, 3, 0.0, 1, kMissing},
                      MarkerCase{"Kspec1", 1, 1, 2, 1, -5.0, 1, kMissing},
                      MarkerCase{"Kspec7", 1, 0, 2, 7, 0.0, 0, kMissing},
                      MarkerCase{"Mode2Untouched", 2, 0, 2, 3, 0.0, -1, 300.0},
                      MarkerCase{"Slot3Untouched", 1, 0, 3, 3, 0.0, -1, 300.0},
                      MarkerCase{"SlotMinus2Untouched", 1, 0, -2, 3, 0.0, -1, 300.0},
                      MarkerCase{"Side2Untouched", 1, 2, 2, 3, 0.0, -1, 300.0},
                      MarkerCase{"Kspec2Untouched", 1, 0, 2, 2, 0.0, -1, 777.0},
                      MarkerCase{"Kspec4Untouched", 1, 0, 2, 4, 0.0, -1, 1.0e5},
                      MarkerCase{"Kspec5Untouched", 1, 1, 2, 5, 0.0, -1, 1.0e5},
                      MarkerCase{"MarkerAtMissing", 1, 0, 2, 3, kMissing, -1, 300.0},
                      MarkerCase{"MarkerAboveMissing", 1, 0, 2, 3, 2.0 * kMissing, -1, 300.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlashTest, EstimateDroppedOnceAfterEachLowering) {
  KVT_IHXPP[26] = 1;
  const FlashArgs slot2{.iside = 0, .islot = 2, .kspec = 3};
  const double want[] = {kMissing, 300.0, 300.0, kMissing, 300.0};
  for (int call = 0; call < 5; ++call) {
    SCOPED_TRACE(call);
    if (call == 3) KVT_RHXPP[1] = -1.0;  // the host lowers the marker
    set_stream(300.0, 1.0e5, 0.0, 0.5);
    flash(slot2);
    EXPECT_EQ(flash_call()[13].real(), want[call]);
    EXPECT_EQ(KVT_RHXPP[1], kMissing);
  }
  KVT_RHXPP[1] = 0.0;
  set_stream(300.0, 1.0e5, 0.0, 0.5);
  flash({.iside = 0, .islot = 2, .kspec = 4});
  EXPECT_EQ(KVT_RHXPP[1], 0.0);
  EXPECT_EQ(flash_call()[13].real(), 1.0e5);
}

// ---- Liquid split, packed compositions, write-back ------------------------------------------------

struct SplitCase {
  const char* name;
  double split;
  int64_t flash_status;
  bool copied;
};

class LiquidSplit : public FlashTest, public ::testing::WithParamInterface<SplitCase> {};

// N = 2 flash components in a stream of NCOMP = 3: the copy takes NCOMP values.
TEST_P(LiquidSplit, SingleLiquidCopiedOntoFirstLiquid) {
  const SplitCase& c = GetParam();
  rec::set_stwkwk_real(23, c.split);
  rec::set_flash_count(2);
  const int64_t x1 = rec::comp_pos(rec::Comp::X1);
  rec::set_plex_real(x1 + 3, 42.0);
  host().flash_status = c.flash_status;
  flash({});
  const std::vector<double> want_x1 = c.copied ? result_.x : result_.x1;
  for (int64_t i = 0; i < 3; ++i) EXPECT_EQ(rec::plex_real(x1 + i), want_x1[i]) << i;
  EXPECT_EQ(rec::plex_real(x1 + 3), 42.0);
  // Phase table: words 49, 53, 57, 61 take 48, 52, 56, 60; the rest stays.
  const double before[16] = {-1.0e7, -3.0e7, -2.9e7, -3.1e7, 1, 2, 3, 4, 10.0, 0.1, 0.09, 0.02, 30, 50, 60, 18};
  for (int w = 47; w <= 62; ++w) {
    const bool first_liquid = (w - 47) % 4 == 2;
    EXPECT_EQ(rec::stwork_real(w), c.copied && first_liquid ? before[w - 47 - 1] : before[w - 47]) << w;
  }
  // Packing follows the copy: the first liquid's lists are then the liquid's.
  const int64_t kept = rec::plex_int(layout_.packed_count[1]);
  ASSERT_EQ(kept, 2);
  for (int64_t j = 0; j < kept; ++j) {
    EXPECT_EQ(rec::plex_int(layout_.packed_numbers[1] + j), result_.components[j]);
    EXPECT_EQ(rec::plex_real(layout_.packed_fractions[1] + j), want_x1[j]);
  }
}

INSTANTIATE_TEST_SUITE_P(Flash, LiquidSplit,
                         ::testing::Values(SplitCase{"ExactlyOne", 1.0, 1, true},
                                           SplitCase{"ExactlyOneBadFlash", 1.0, 0, true},
                                           SplitCase{"JustBelowOne", std::nextafter(1.0, 0.0), 1, false},
                                           SplitCase{"JustAboveOne", std::nextafter(1.0, 2.0), 1, false},
                                           SplitCase{"Partial", 0.6, 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

class Packing : public FlashTest, public ::testing::WithParamInterface<int64_t> {};

// Group k of KVT_HXPKV from X, X1, X2, Y; a component is kept when strictly above 1e-10, in
// flash-component order, its number copied whole. The lists are rebuilt whatever the judgement.
TEST_P(Packing, KeepsComponentsAbove1e10InOrder) {
  constexpr int64_t kBig = (int64_t{1} << 40) + 3;
  rec::set_flash_count(5);
  rec::set_components({11, 12, kBig, 14, 15});
  rec::set_composition(rec::Comp::X, {0.5, 0.5, 0.0, 0.0, 0.0});
  rec::set_composition(rec::Comp::X1, {0.0, 0.0, 0.0, 0.0, 1.0});
  rec::set_composition(rec::Comp::X2, {0.3, std::nan(""), 0.3, 1e-10, 0.4});
  rec::set_composition(rec::Comp::Y, {1e-10, 1.1e-10, 0.5, 0.0, -1e-3});
  for (int g = 0; g < 4; ++g) rec::set_plex_int(layout_.packed_numbers[g] + 3, kUntouched);
  host().flash_status = GetParam();
  flash({});
  const std::vector<std::vector<int64_t>> numbers = {{11, 12}, {15}, {11, kBig, 15}, {12, kBig}};
  const std::vector<std::vector<double>> fractions = {{0.5, 0.5}, {1.0}, {0.3, 0.3, 0.4}, {1.1e-10, 0.5}};
  for (int g = 0; g < 4; ++g) {
    SCOPED_TRACE(g + 1);
    const auto n = static_cast<int64_t>(numbers[g].size());
    EXPECT_EQ(rec::plex_int(layout_.packed_count[g]), n);
    for (int64_t j = 0; j < n; ++j) {
      EXPECT_EQ(rec::plex_int(layout_.packed_numbers[g] + j), numbers[g][j]);
      EXPECT_EQ(rec::plex_real(layout_.packed_fractions[g] + j), fractions[g][j]);
    }
    EXPECT_EQ(rec::plex_int(layout_.packed_numbers[g] + 3), kUntouched);
  }
}

INSTANTIATE_TEST_SUITE_P(Flash, Packing, ::testing::Values(1, 0));

TEST_F(FlashTest, NoFlashComponentsWriteZeroCountsAndNoEntries) {
  for (int64_t n : {0, -1}) {
    SCOPED_TRACE(n);
    rec::set_flash_count(n);
    for (int g = 0; g < 4; ++g) {
      rec::set_plex_int(layout_.packed_count[g], kUntouched);
      rec::set_plex_int(layout_.packed_numbers[g], kUntouched);
      rec::set_plex_int(layout_.packed_fractions[g], kUntouched);
    }
    flash({});
    for (int g = 0; g < 4; ++g) {
      EXPECT_EQ(rec::plex_int(layout_.packed_count[g]), 0);
      EXPECT_EQ(rec::plex_int(layout_.packed_numbers[g]), kUntouched);
      EXPECT_EQ(rec::plex_int(layout_.packed_fractions[g]), kUntouched);
    }
  }
}

// A host that has not filled KVT_HXPKV leaves zeros there: nothing is written below position 1
// (the sanitizer build catches a stray write before the work array).
TEST_F(FlashTest, UnfilledPackedPositionsAreSkipped) {
  std::fill(std::begin(KVT_HXPKV), std::end(KVT_HXPKV), 0);
  rec::set_flash_count(1);
  const Snapshot before = take_snapshot(stream(), layout_.end);
  flash({});
  EXPECT_EQ(outside(diff(before, take_snapshot(stream(), layout_.end)), {{"STRM", 5}, {"STRM", 6}}), "");
}

// ---- Write-set ---------------------------------------------------------------------------------

struct WriteCase {
  const char* name;
  FlashArgs args;
  int64_t mode, flash_status, flscm2;
  double split;
};

class FlashWriteSet : public FlashTest, public ::testing::WithParamInterface<WriteCase> {};

// Every word the flash may write is made to change, so the changed words must equal the allowed ones.
TEST_P(FlashWriteSet, ChangesExactlyTheWordsItOwns) {
  const WriteCase& c = GetParam();
  const int64_t r = c.args.islot + 5 * c.args.iside - 1;
  const bool retained = c.mode != 0 && c.args.islot >= 1;
  KVT_IHXPP[26] = c.mode;
  KVT_RHXPP[1] = KVT_RHXPP[4] = -1.0;
  host().flash_status = c.flash_status;
  rec::set_failure_flag(c.flscm2);
  rec::set_stwkwk_real(23, c.split);
  for (int64_t q = 0; q < 10; ++q) rec::set_plex_int(status_word(q), kUntouched);
  for (int g = 0; g < 4; ++g) {
    for (int64_t j = 0; j < 3; ++j) {
      rec::set_plex_int(layout_.packed_numbers[g] + j, -1);
      rec::set_plex_real(layout_.packed_fractions[g] + j, -1.0);
    }
  }
  std::set<Word> allowed = {{"STRM", ncomp_ + 2}, {"STRM", ncomp_ + 3}};
  for (int g = 0; g < 4; ++g) {
    allowed.insert({"PLEX", layout_.packed_count[g]});
    for (int64_t j = 0; j < 3; ++j) {
      allowed.insert({"PLEX", layout_.packed_numbers[g] + j});
      allowed.insert({"PLEX", layout_.packed_fractions[g] + j});
    }
  }
  if (retained) allowed.insert({"PLEX", status_word(r)});
  if (c.flash_status == 1 ? c.mode == 2 : c.mode == 1) allowed.insert({"KVT_IHXPP", 27});
  if (c.args.islot == 2 && c.mode <= 1 && c.args.kspec == 3) allowed.insert({"KVT_RHXPP", c.args.iside == 0 ? 2 : 5});
  if (c.flash_status != 1 && c.flscm2 != 0) allowed.insert({"VOKA_FLSCM2", 1});
  if (c.split == 1.0) {
    for (int64_t i = 0; i < ncomp_; ++i) allowed.insert({"PLEX", rec::comp_pos(rec::Comp::X1) + i});
    for (int w : {49, 53, 57, 61}) allowed.insert({"TEBU_STWORK", w});
  }
  const Snapshot before = take_snapshot(stream(), layout_.end);
  flash(c.args);
  const std::set<Word> changed = diff(before, take_snapshot(stream(), layout_.end));
  EXPECT_EQ(outside(changed, allowed), "");
  EXPECT_EQ(outside(allowed, changed), "");
}

INSTANTIATE_TEST_SUITE_P(
    Flash, FlashWriteSet,
    ::testing::Values(WriteCase{"BadFlashOnRecordSingleLiquid", {.iside = 0, .islot = 2, .kspec = 3}, 1, 0, 1, 1.0},
                      WriteCase{"GoodFlashMode2Side1", {.iside = 1, .islot = 4, .kspec = 1, .kpeq = 1}, 2, 1, 1, 0.6},
                      WriteCase{"ScratchTwoLiquids", {.iside = 1, .islot = 0, .kspec = 2, .kphs = 1}, 0, 0, 0, 0.6}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Trace -------------------------------------------------------------------------------------

class FlashTrace : public FlashTest {
 protected:
  void SetUp() override {
    FlashTest::SetUp();
    rec::set_flash_count(2);
    rec::set_stwkwk_real(22, -1500.0);
    stream().nstrm = 4;
    stream().v[0] = 1.0;
    stream().v[1] = 2.5;
    stream().v[3] = 10.0;
  }
};

TEST_F(FlashTrace, EntryNsubsAndExitByteForByte) {
  KVT_HXPDBG[0] = 1;
  flash({.kspec = 1});
  const std::vector<std::string> expected = {
      " ",
      " ***** Inside HXFLSH ...",
      " *****    NSTRM     =   4",
      " *****      NCC     =   3",
      " *****     STRM(  1) =  1.0000000E+00",
      " *****     STRM(  2) =  2.5000000E+00",
      " *****     STRM(  3) =  0.0000000E+00",
      " *****     STRM(  4) =  1.0000000E+01",
      " *****    NSUBS     =   1",
      " *****     NCPM     =   2",
      " *****    TCALC     =  3.5000000E+02",
      " *****    PCALC     =  2.0000000E+05",
      " *****    VCALC     =  2.5000000E-01",
      " *****    QCALC     = -1.5000000E+03",
      " *****        X(  1) =  2.0000000E-01",
      " *****        X(  2) =  3.0000000E-01",
      " *****        Y(  1) =  7.0000000E-01",
      " *****        Y(  2) =  2.0000000E-01",
      " *****       VL     =  1.0000000E-01",
      " *****       VV     =  1.0000000E+01",
  };
  EXPECT_EQ(trace(), expected) << joined(trace());
}

struct FlashSwitchCase {
  const char* name;
  int64_t before, during;  // word 1 at entry, and as the host flash leaves it
  int64_t kspec;
  bool entry, nsubs, exit;
};

class FlashTraceSwitch : public FlashTrace, public ::testing::WithParamInterface<FlashSwitchCase> {};

// The switch is read at entry, before the flash and again at the end.
TEST_P(FlashTraceSwitch, PartsFollowTheSwitchAtEachPoint) {
  const FlashSwitchCase& c = GetParam();
  KVT_HXPDBG[0] = c.before;
  host().on_flash = [&] { KVT_HXPDBG[0] = c.during; };
  flash({.kspec = c.kspec});
  const std::size_t lines = (c.entry ? 8u : 0u) + (c.nsubs ? 1u : 0u) + (c.exit ? 11u : 0u);
  ASSERT_EQ(trace().size(), lines) << joined(trace());
  if (c.entry) {
    EXPECT_EQ(trace()[1], " ***** Inside HXFLSH ...");
  }
  if (c.exit) {
    EXPECT_EQ(trace()[lines - 11], " *****     NCPM     =   2");
  }
}

INSTANTIATE_TEST_SUITE_P(Flash, FlashTraceSwitch,
                         ::testing::Values(FlashSwitchCase{"TpNoNsubs", 1, 1, 2, true, false, true},
                                           FlashSwitchCase{"Two", 2, 2, 1, false, false, false},
                                           FlashSwitchCase{"Negative", -1, -1, 3, false, false, false},
                                           FlashSwitchCase{"OffDuringFlash", 1, 0, 3, true, true, false},
                                           FlashSwitchCase{"OnDuringFlash", 0, 1, 1, false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlashTrace, StreamLengthTakesThreePositions) {
  KVT_HXPDBG[0] = 1;
  std::vector<double> strm(120, 0.0);
  const int64_t nstrm = 100, side = 0, slot = 0, kspec = 2, kphs = 0, kpeq = 0;
  int64_t ierr = 0;
  KVT_HXFLSH(strm.data(), &nstrm, &side, &slot, &kspec, &kphs, &kpeq, &ierr);
  ASSERT_GT(trace().size(), 2u);
  EXPECT_EQ(trace()[2], " *****    NSTRM     = 100");
}

}  // namespace
}  // namespace kvt::test
