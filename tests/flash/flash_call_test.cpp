// What the flash hands the host: the twenty arguments of WEND_FLASH by address, the phase request,
// the KSPEC kinds (what the flash holds fixed), the working copy kept for other sides, and the calls
// around the flash.
#include <algorithm>
#include <cmath>
#include <string>

#include "flash/flash_fixture.h"

namespace kvt::test {
namespace {

// ---- WEND_FLASH argument list ------------------------------------------------------------------

struct RecordCase {
  const char* name;
  int64_t mode, side, islot, nsubs;
  int64_t record;  // retention record used, -1: the scratch records
};

class FlashArguments : public FlashTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(FlashArguments, TwentyArgumentsInOrderAndByAddress) {
  const RecordCase& c = GetParam();
  KVT_IHXPP[26] = c.mode;
  KVT_IHXPP[25] = c.nsubs;
  ASSERT_EQ(flash({.iside = c.side, .islot = c.islot, .kspec = 4}), 0);
  const rec::Call& f = flash_call();
  ASSERT_EQ(f.args.size(), 20u);
  const int64_t w = 10 * c.side;  // word offset of the side's option set
  EXPECT_EQ(f[1].addr, stream().data());
  EXPECT_EQ(f[2].addr, &KVT_IHXPP[25]);
  EXPECT_EQ(f[2].word, c.nsubs);
  EXPECT_EQ(f[3].addr, rec::plex_addr(descriptors()));
  EXPECT_EQ(f[4].addr, rec::plex_addr(descriptors() + c.nsubs));
  EXPECT_EQ(option_list(f), std::vector<int64_t>({101 + w, 102 + w, 103 + w, 104 + w, 105 + w, 106 + w}));
  EXPECT_EQ(f[6].word, 4);                         // KSPEC
  EXPECT_EQ(f[7].word, c.side == 0 ? 5 : 6);       // phase kind code: word 8 / 18
  EXPECT_EQ(f[8].word, 107 + w);                   // phase count: word 7 / 17
  EXPECT_EQ(f[9].word, 109 + w);                   // flash option word: word 9 / 19
  EXPECT_EQ(f[10].real(), c.side == 0 ? 0.5 : 4.5);  // real word 1 / 4
  EXPECT_EQ(f[11].real(), 300.0);                  // KSPEC 4: temperature, enthalpy, pressure
  EXPECT_EQ(f[12].real(), -5.0e4);
  EXPECT_EQ(f[13].real(), 1.0e5);
  EXPECT_EQ(f[14].addr, &KVT_IHXPP[21]);
  EXPECT_EQ(f[15].addr, &KVT_IHXPP[22]);
  EXPECT_EQ(f[16].word, c.mode);
  EXPECT_EQ(f[17].word, 1);
  if (c.record < 0) {
    EXPECT_EQ(f[18].addr, rec::plex_addr(scratch_real()));
    EXPECT_EQ(f[19].addr, rec::plex_addr(scratch_int()));
  } else {
    EXPECT_EQ(f[18].addr, rec::plex_addr(real_record(c.record)));
    EXPECT_EQ(f[19].addr, rec::plex_addr(int_record(c.record)));
  }
  const auto judged = host().calls_to("WEND_FLSTAT");
  ASSERT_EQ(judged.size(), 1u);
  EXPECT_EQ((*judged[0])[1].word, 1);
  EXPECT_EQ((*judged[0])[2].addr, f[20].addr);  // the status word the host flash filled
}

INSTANTIATE_TEST_SUITE_P(
    Records, FlashArguments,
    ::testing::Values(RecordCase{"ModeOffScratch", 0, 0, 2, 1, -1}, RecordCase{"NoSlotScratch", 1, 1, 0, 3, -1},
                      RecordCase{"Side0Slot1", 1, 0, 1, 1, 0}, RecordCase{"Side0Slot5", 2, 0, 5, 2, 4},
                      RecordCase{"Side1Slot1", 1, 1, 1, 1, 5}, RecordCase{"Side1Slot3", 1, 1, 3, 1, 7},
                      RecordCase{"Side1Slot5", 2, 1, 5, 4, 9}, RecordCase{"Slot6Scratch", 1, 0, 6, 1, -1},
                      RecordCase{"NegativeModeSlot2", -1, 0, 2, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Phase request -----------------------------------------------------------------------------

struct PhaseCase {
  const char* name;
  int64_t side, kind, water, kphs;
  int64_t want_kind, want_count;
};

class PhaseRequest : public FlashTest, public ::testing::WithParamInterface<PhaseCase> {};

TEST_P(PhaseRequest, RewritesTheWorkingCopyOnly) {
  const PhaseCase& c = GetParam();
  const int w = 10 * static_cast<int>(c.side);
  KVT_IHXPP[w + 7] = c.kind;
  KVT_IHXPP[w + 9] = c.water;
  flash({.iside = c.side, .kphs = c.kphs});
  EXPECT_EQ(flash_call()[7].word, c.want_kind);
  EXPECT_EQ(flash_call()[8].word, c.want_count);
  EXPECT_EQ(KVT_IHXPP[w + 6], 107 + w);
  EXPECT_EQ(KVT_IHXPP[w + 7], c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Kphs, PhaseRequest,
    ::testing::Values(PhaseCase{"Side1WaterVapourOnly", 1, 0, 1, 2, 12, 1},
                      PhaseCase{"Side1WaterTwoPhase", 1, 0, 1, 1, 11, 2},
                      PhaseCase{"Side1WaterLiquidOnly", 1, 0, 1, 3, 11, 1},
                      PhaseCase{"Kind3Kphs1", 0, 3, 0, 1, 3, 107}, PhaseCase{"Kind3Kphs2", 0, 3, 0, 2, 3, 107},
                      PhaseCase{"Kind3Kphs3", 0, 3, 1, 3, 3, 107}, PhaseCase{"Kind1Kept", 0, 1, 0, 2, 1, 107},
                      PhaseCase{"Kind11Kept", 1, 11, 1, 3, 11, 117}, PhaseCase{"Kind12Rewritten", 0, 12, 0, 2, 2, 1},
                      PhaseCase{"Kind2TwoPhase", 0, 2, 0, 1, 1, 2}, PhaseCase{"WaterTwoVapour", 0, 0, 2, 2, 22, 1},
                      PhaseCase{"Kphs0Unchanged", 0, 5, 1, 0, 5, 107}, PhaseCase{"Kphs4Unchanged", 1, 0, 1, 4, 0, 117},
                      PhaseCase{"KphsNegativeUnchanged", 0, 5, 0, -1, 5, 107}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- KSPEC kinds --------------------------------------------------------------------------------

struct SpecCase {
  const char* name;
  int64_t kspec;
  double vf;
  int64_t nsubs;
  double spec1, spec2, estimate;
  bool seth, nsubs_line;
};

class SpecificationKind : public FlashTest, public ::testing::WithParamInterface<SpecCase> {};

// A previous flash (KSPEC 4) leaves spec 1 = 111, spec 2 = 333 and estimate 222; the host's TEBU_SETH
// moves the temperature and pressure and changes the enthalpy, which must have been read before.
TEST_P(SpecificationKind, ChoosesSpecsAndEstimate) {
  const SpecCase& c = GetParam();
  set_stream(111.0, 222.0, 333.0, 0.4);
  flash({.kspec = 4});
  set_stream(300.0, 1.0e5, -5.0e4, c.vf);
  KVT_IHXPP[25] = c.nsubs;
  host().calls.clear();
  host().on_seth = [](double* strm) {  // NCOMP = 3: T, P, H are STRM(5), STRM(6), STRM(7)
    strm[3 + 1] = 310.0;
    strm[3 + 2] = 1.1e5;
    strm[3 + 3] = -6.0e4;
  };
  KVT_HXPDBG[0] = 1;
  flash({.kspec = c.kspec});
  const rec::Call& f = flash_call();
  EXPECT_EQ(f[6].word, c.kspec);
  EXPECT_EQ(f[11].real(), c.spec1);
  EXPECT_EQ(f[12].real(), c.spec2);
  EXPECT_EQ(f[13].real(), c.estimate);
  ASSERT_EQ(host().count("TEBU_SETH"), c.seth ? 1u : 0u);
  if (c.seth) {
    const rec::Call& s = host().calls.front();
    EXPECT_EQ(s.name, "TEBU_SETH");
    EXPECT_EQ(s[1].addr, stream().data());
    EXPECT_EQ(s[2].addr, &KVT_IHXPP[25]);
    EXPECT_EQ(s[3].addr, rec::plex_addr(descriptors()));
    EXPECT_EQ(s[4].addr, rec::plex_addr(descriptors() + c.nsubs));
    EXPECT_EQ(s[5].word, 0);
  }
  const std::string line = " *****    NSUBS     =   " + std::to_string(c.nsubs);
  EXPECT_EQ(std::count(trace().begin(), trace().end(), line), c.nsubs_line ? 1 : 0) << joined(trace());
}

constexpr double kHm = kHostMissing;
INSTANTIATE_TEST_SUITE_P(
    Kspec, SpecificationKind,
    ::testing::Values(SpecCase{"PH", 1, 0.3, 1, 1.1e5, -5.0e4, 310.0, true, true},
                      SpecCase{"PHSubstreams", 1, 0.3, 2, 1.1e5, -5.0e4, kHm, true, true},
                      SpecCase{"TPKeepsEstimate", 2, 0.3, 1, 300.0, 1.0e5, 222.0, false, false},
                      SpecCase{"PVf", 3, 0.3, 1, 1.0e5, 0.3, 300.0, false, true},
                      SpecCase{"PVfMissing", 3, kHm, 1, 1.0e5, 0.0, 300.0, false, true},
                      SpecCase{"PVfAboveMissing", 3, 2.0 * kHm, 1, 1.0e5, 2.0 * kHm, 300.0, false, true},
                      SpecCase{"TH", 4, 0.3, 2, 300.0, -5.0e4, 1.0e5, false, false},
                      SpecCase{"TVf", 5, 0.3, 1, 300.0, 0.3, 1.0e5, false, false},
                      SpecCase{"TVfMissing", 5, kHm, 1, 300.0, 0.0, 1.0e5, false, false},
                      SpecCase{"Kspec0KeepsAll", 0, 0.3, 1, 111.0, 333.0, 222.0, false, true},
                      SpecCase{"Kspec6KeepsAll", 6, 0.3, 3, 111.0, 333.0, 222.0, false, true},
                      SpecCase{"KspecNegativeKeepsAll", -1, 0.3, 1, 111.0, 333.0, 222.0, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlashTest, NaNVapourFractionPassedOn) {
  set_stream(300.0, 1.0e5, 0.0, std::nan(""));
  flash({.kspec = 5});
  EXPECT_TRUE(std::isnan(flash_call()[12].real()));
}

// ---- Working copy ------------------------------------------------------------------------------

TEST_F(FlashTest, OtherSidesFlashWithThePreviousWorkingCopy) {
  flash({.iside = 1});
  for (int w = 0; w < 20; ++w) KVT_IHXPP[w] = 900 + w;
  KVT_RHXPP[0] = KVT_RHXPP[3] = 9.5;
  for (int64_t side : {2, -1}) {
    SCOPED_TRACE(side);
    flash({.iside = side, .kpeq = 1});
    const rec::Call& f = flash_call();
    EXPECT_EQ(option_list(f), std::vector<int64_t>({111, 112, 113, 114, 115, 116}));
    EXPECT_EQ(f[7].word, 6);
    EXPECT_EQ(f[8].word, 117);
    EXPECT_EQ(f[9].word, 119);
    EXPECT_EQ(f[10].real(), 4.5);
  }
  // The phase request rewrites the working copy, water switch 1 of side 1 included, and the rewrite
  // stays for the next call that copies nothing.
  flash({.iside = 2, .kphs = 2});
  EXPECT_EQ(flash_call()[7].word, 12);
  EXPECT_EQ(flash_call()[8].word, 1);
  flash({.iside = 2, .kphs = 0});
  EXPECT_EQ(flash_call()[7].word, 12);
  EXPECT_EQ(flash_call()[8].word, 1);
  EXPECT_EQ(host().count("MUTO_PEQPT1"), 0u);
}

// ---- Calls around the flash --------------------------------------------------------------------

struct PeqCase {
  int64_t side, kpeq;
  int sbd_word;  // 0: no call
};

class StreamRoutineAfterFlash : public FlashTest, public ::testing::WithParamInterface<PeqCase> {};

TEST_P(StreamRoutineAfterFlash, CalledForKpeq1OfSide0Or1) {
  const PeqCase& c = GetParam();
  flash({.iside = c.side, .kspec = 1, .kpeq = c.kpeq});
  std::vector<std::string> names;
  for (const rec::Call& call : host().calls) names.push_back(call.name);
  std::vector<std::string> want = {"TEBU_SETH", "WEND_FLASH", "WEND_FLSTAT"};
  if (c.sbd_word != 0) want.push_back("MUTO_PEQPT1");
  EXPECT_EQ(names, want);
  if (c.sbd_word != 0) {
    EXPECT_EQ(host().calls.back()[1].addr, &KVT_HXSBD[c.sbd_word - 1]);
  }
}

INSTANTIATE_TEST_SUITE_P(Kpeq, StreamRoutineAfterFlash,
                         ::testing::Values(PeqCase{0, 1, 1}, PeqCase{1, 1, 2}, PeqCase{2, 1, 0}, PeqCase{0, 0, 0},
                                           PeqCase{1, 2, 0}, PeqCase{0, -1, 0}));

}  // namespace
}  // namespace kvt::test
