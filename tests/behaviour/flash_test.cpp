// The flash: what it hands the host's flash for each specification kind, phase request, side and
// retention record; how it judges the outcome; what it leaves for the property routines.
#include <cmath>

#include "support/scenario.h"

namespace kvt::test {
namespace {

constexpr int64_t kUntouched = 99;

class Flash : public Scenario {
 protected:
  const rec::Call& f() { return last("WEND_FLASH"); }
  // The six words of the option list the host's flash gets (the library's working copy).
  std::vector<int64_t> options() { const auto* p = static_cast<const int64_t*>(f()[5].addr); return {p, p + 6}; }
  void set_stream(double t, double p, double h, double vf) { slot(2) = t, slot(3) = p, slot(4) = h, slot(5) = vf; }
  // Retention record r (0-based): its real and integer parts and its status word.
  int64_t real_record(int64_t r) const { return layout.real_records + TEBU_STWORK[0] * r; }
  int64_t int_record(int64_t r) const { return layout.int_records + (TEBU_STWORK[1] + 1) * r; }
  int64_t status_word(int64_t r) const { return int_record(r) + TEBU_STWORK[1]; }
  int64_t& packed(int word, int group) { return KVT_WORD(KVT_HXPKV, word + group - 1); }
};

// Which record the flash hands the host, and what the judgement of its status word leaves.
TEST_F(Flash, RecordsAndJudgement) {
  // record: the retention record in use, -1: the scratch records.
  const struct { int64_t mode, side, islot, flash_status, flscom, flscm2, record, mode_arg, mode_after, status, ierr, flscm2_after; }
  rows[] = {  // mode side slot status com cm2 record  arg after status ierr cm2'
      {1, 1, 3, 1, 7, 0, 7, 1, 1, 7, 7, 0}, {1, 1, 3, 0, 7, 0, 7, 1, 2, 0, 0, 0}, {2, 0, 1, 1, 0, 0, 0, 2, 1, 0, 0, 0},
      {2, 1, 5, 3, 7, 1, 9, 2, 2, 0, 1, 0}, {1, 0, 5, -1, 7, 0, 4, 1, 2, 0, 0, 0}, {0, 0, 3, 1, 5, 0, -1, 0, 0, 0, 5, 0},
      {0, 0, 3, 0, 5, -4, -1, 0, 0, 0, 1, 0}, {2, 0, -1, 1, 0, 0, -1, 1, 1, 0, 0, 0}, {2, 0, -1, 0, 0, 0, -1, 1, 2, 0, 0, 0},
      {2, 1, 0, 0, 0, 0, -1, 2, 2, 0, 0, 0}, {-1, 0, 2, 1, 3, 0, 1, -1, -1, 3, 3, 0}, {-3, 1, 4, 0, 3, 0, 8, -3, -3, 0, 0, 0},
      {1, 0, 6, 0, 0, 0, -1, 1, 2, 0, 0, 0}, {1, 2, 1, 1, 2, 0, -1, 1, 1, 0, 2, 0}, {1, 0, 0, 1, 4, 1, -1, 1, 1, 0, 4, 1}};
  int64_t previous = KVT_SIDE_0;  // the side of the scenario's flash
  for (const auto& c : rows) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " side " << c.side << " slot " << c.islot);
    for (int64_t r = 0; r < 10; ++r) rec::set_plex_int(status_word(r), kUntouched);
    KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION) = c.mode;
    host().flash_status = c.flash_status;
    rec::set_flash_error(c.flscom);
    rec::set_failure_flag(c.flscm2);
    EXPECT_EQ(flash(c.side, c.islot, KVT_SPEC_TP), c.ierr);
    EXPECT_EQ(f()[16].word, c.mode_arg);
    EXPECT_EQ(f()[18].addr, rec::plex_addr(c.record < 0 ? layout.real_base + rec::stwork_int(25) : real_record(c.record)));
    EXPECT_EQ(f()[19].addr, rec::plex_addr(c.record < 0 ? layout.int_base + rec::stwork_int(30) : int_record(c.record)));
    EXPECT_EQ(KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION), c.mode_after);
    EXPECT_EQ(rec::failure_flag(), c.flscm2_after);
    for (int64_t r = 0; r < 10; ++r) EXPECT_EQ(rec::plex_int(status_word(r)), r == c.record ? c.status : kUntouched) << r;
    const int64_t side = c.side > 1 ? previous : (previous = c.side);  // side 2: the copy the row before left
    for (int w = 1; w <= 6; ++w) EXPECT_EQ(options()[w - 1], option_word(w, side));
    EXPECT_EQ(f()[9].word, option_word(KVT_IHXPP_FLASH_OPTION, side));
    EXPECT_EQ(f()[10].real(), side_real(KVT_RHXPP_FLASH_REAL, side));
  }
}

// A T-H flash leaves spec 1 = 111, spec 2 = 333 and the estimate 222; the host's TEBU_SETH then
// moves the temperature and pressure and changes the enthalpy, which must have been read before.
// KPEQ 1 of side 0 or 1 calls the host's stream routine last.
TEST_F(Flash, SpecificationKinds) {
  const double hm = kHostMissing;
  const struct { int64_t kspec; double vf; int64_t nsubs; double spec1, spec2, estimate; int64_t side, kpeq; } rows[] = {
      {KVT_SPEC_PH, 0.3, 1, 1.1e5, -5.0e4, 310.0, 0, 1},      {KVT_SPEC_PH, 0.3, 2, 1.1e5, -5.0e4, hm, 1, 1},
      {KVT_SPEC_TP, 0.3, 1, 300.0, 1.0e5, 222.0, 2, 1},       {KVT_SPEC_PV, 0.3, 1, 1.0e5, 0.3, 300.0, 0, 0},
      {KVT_SPEC_PV, hm, 1, 1.0e5, 0.0, 300.0, 1, 2},          {KVT_SPEC_PV, 2 * hm, 1, 1.0e5, 2 * hm, 300.0, 0, -1},
      {KVT_SPEC_TH, 0.3, 2, 300.0, -5.0e4, 1.0e5, 0, 0},      {KVT_SPEC_TV, 0.3, 1, 300.0, 0.3, 1.0e5, 0, 0},
      {KVT_SPEC_TV, hm, 1, 300.0, 0.0, 1.0e5, 0, 0},          {0, 0.3, 1, 111.0, 333.0, 222.0, 0, 0},
      {6, 0.3, 3, 111.0, 333.0, 222.0, 0, 0},                 {-1, 0.3, 1, 111.0, 333.0, 222.0, 0, 0}};
  for (const auto& c : rows) {
    SCOPED_TRACE(::testing::Message() << "KSPEC " << c.kspec << " NSUBS " << c.nsubs << " KPEQ " << c.kpeq);
    set_stream(111.0, 222.0, 333.0, 0.4);
    flash(KVT_SIDE_0, 0, KVT_SPEC_TH);
    set_stream(300.0, 1.0e5, -5.0e4, c.vf);
    KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = c.nsubs;
    host().calls.clear();
    host().on_seth = [](double* s) { s[kNcomp + 1] = 310.0, s[kNcomp + 2] = 1.1e5, s[kNcomp + 3] = -6.0e4; };
    flash(c.side, 0, c.kspec, KVT_PHASES_OPTION_SET, c.kpeq);
    EXPECT_EQ(f()[6].word, c.kspec);
    EXPECT_EQ(f()[11].real(), c.spec1);
    EXPECT_EQ(f()[12].real(), c.spec2);
    EXPECT_EQ(f()[13].real(), c.estimate);
    EXPECT_EQ(host().calls.front().name, c.kspec == KVT_SPEC_PH ? "TEBU_SETH" : "WEND_FLASH");
    EXPECT_EQ(host().calls.back().name, c.kpeq == KVT_PEQ_ON && c.side <= 1 ? "MUTO_PEQPT1" : "WEND_FLSTAT");
  }
}

TEST_F(Flash, PhaseRequestRewritesTheWorkingCopyOnly) {
  // -1: the side's own phase count
  const struct { int64_t side, kind, water, kphs; int64_t want_kind, want_count; } rows[] = {
      {1, 0, 1, KVT_PHASES_LIQUID, 12, 1}, {1, 0, 1, KVT_PHASES_VAPOUR_LIQUID, 11, 2}, {1, 0, 1, KVT_PHASES_VAPOUR, 11, 1},
      {0, 3, 0, KVT_PHASES_VAPOUR_LIQUID, 3, -1}, {0, 3, 1, KVT_PHASES_VAPOUR, 3, -1}, {0, 1, 0, KVT_PHASES_LIQUID, 1, -1},
      {1, 11, 1, KVT_PHASES_VAPOUR, 11, -1}, {0, 12, 0, KVT_PHASES_LIQUID, 2, 1}, {0, 2, 0, KVT_PHASES_VAPOUR_LIQUID, 1, 2},
      {0, 0, 2, KVT_PHASES_LIQUID, 22, 1}, {0, 5, 1, KVT_PHASES_OPTION_SET, 5, -1}, {1, 0, 1, 4, 0, -1}, {0, 5, 0, -1, 5, -1}};
  for (const auto& c : rows) {
    SCOPED_TRACE(::testing::Message() << "side " << c.side << " kind " << c.kind << " KPHS " << c.kphs);
    side_word(KVT_IHXPP_PHASE_KIND, c.side) = c.kind;
    side_word(KVT_IHXPP_WATER, c.side) = c.water;
    flash(c.side, 0, KVT_SPEC_TP, c.kphs);
    EXPECT_EQ(f()[7].word, c.want_kind);
    EXPECT_EQ(f()[8].word, c.want_count < 0 ? option_word(KVT_IHXPP_PHASE_COUNT, c.side) : c.want_count);
    EXPECT_EQ(side_word(KVT_IHXPP_PHASE_COUNT, c.side), option_word(KVT_IHXPP_PHASE_COUNT, c.side));
    EXPECT_EQ(side_word(KVT_IHXPP_PHASE_KIND, c.side), c.kind);
  }
}

// A side other than 0 and 1 copies no option set: the flash gets the working copy of the previous
// call, phase request and all.
TEST_F(Flash, OtherSidesReuseTheWorkingCopy) {
  flash(KVT_SIDE_1, 0, KVT_SPEC_TP);
  for (int w = 1; w <= 20; ++w) KVT_WORD(KVT_IHXPP, w) = 900 + w;
  side_real(KVT_RHXPP_FLASH_REAL, 0) = side_real(KVT_RHXPP_FLASH_REAL, 1) = 9.5;
  for (int64_t side : {2, -1}) {
    flash(side, 0, KVT_SPEC_TP);
    EXPECT_EQ(options(), std::vector<int64_t>({201, 202, 203, 204, 205, 206}));
    EXPECT_EQ((std::vector<int64_t>{f()[7].word, f()[8].word, f()[9].word}), (std::vector<int64_t>{6, 207, 209}));
    EXPECT_EQ(f()[10].real(), 4.5);
  }
  flash(2, 0, KVT_SPEC_TP, KVT_PHASES_LIQUID);
  flash(2, 0, KVT_SPEC_TP, KVT_PHASES_OPTION_SET);
  EXPECT_EQ((std::vector<int64_t>{f()[7].word, f()[8].word}), (std::vector<int64_t>{12, 1}));
}

// The estimate marker: raised to the missing value when the flash drops the slot-2 estimate; a
// T-H flash leaves the estimate 777, then the stream has T 300 and P 1e5.
TEST_F(Flash, EstimateMarker) {
  const double m = kMissing;
  // before the call, on both sides
  // side whose marker is raised, -1: none
  const struct { int64_t mode, side, islot, kspec; double marker; int raised; double estimate; } rows[] = {
      {1, 0, 2, KVT_SPEC_PV, 0.0, 0, m},      {0, 0, 2, KVT_SPEC_PV, 0.0, 0, m},      {-2, 0, 2, KVT_SPEC_PV, 0.0, 0, m},
      {1, 1, 2, KVT_SPEC_PV, 0.0, 1, m},      {1, 1, 2, KVT_SPEC_PH, -5.0, 1, m},     {1, 0, 2, 7, 0.0, 0, m},
      {2, 0, 2, KVT_SPEC_PV, 0.0, -1, 300},   {1, 0, 3, KVT_SPEC_PV, 0.0, -1, 300},   {1, 0, -2, KVT_SPEC_PV, 0.0, -1, 300},
      {1, 2, 2, KVT_SPEC_PV, 0.0, -1, 300},   {1, 0, 2, KVT_SPEC_TP, 0.0, -1, 777},   {1, 0, 2, KVT_SPEC_TH, 0.0, -1, 1e5},
      {1, 1, 2, KVT_SPEC_TV, 0.0, -1, 1e5},   {1, 0, 2, KVT_SPEC_PV, m, -1, 300},     {1, 0, 2, KVT_SPEC_PV, 2 * m, -1, 300}};
  for (const auto& c : rows) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " side " << c.side << " slot " << c.islot << " KSPEC " << c.kspec);
    set_stream(1.0, 777.0, 0.0, 0.5);
    flash(KVT_SIDE_0, 0, KVT_SPEC_TH);
    set_stream(300.0, 1.0e5, 0.0, 0.5);
    KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION) = c.mode;
    for (int64_t side : {0, 1}) side_real(KVT_RHXPP_ESTIMATE_MARKER, side) = c.marker;
    flash(c.side, c.islot, c.kspec);
    for (int64_t side : {0, 1}) EXPECT_EQ(side_real(KVT_RHXPP_ESTIMATE_MARKER, side), c.raised == side ? m : c.marker) << side;
    EXPECT_EQ(f()[13].real(), c.estimate);
  }
  // Dropped once after each time the host lowers the marker.
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION) = 1, side_real(KVT_RHXPP_ESTIMATE_MARKER, 0) = 0.0;
  for (const double want : {m, 300.0, 300.0, -1.0, 300.0}) {
    if (want == -1.0) side_real(KVT_RHXPP_ESTIMATE_MARKER, 0) = -1.0;
    set_stream(300.0, 1.0e5, 0.0, 0.5);
    flash(KVT_SIDE_0, 2, KVT_SPEC_PV);
    EXPECT_EQ(f()[13].real(), want == -1.0 ? m : want);
    EXPECT_EQ(side_real(KVT_RHXPP_ESTIMATE_MARKER, 0), m);
  }
}

// A liquid split of exactly 1.0 copies the liquid onto the first liquid (NCOMP words of X1 and the
// phase table words 49, 53, 57, 61 from 48, 52, 56, 60) before packing, whatever the judgement.
TEST_F(Flash, SingleLiquidCopiedOntoTheFirstLiquid) {
  const int64_t x = rec::comp_pos(rec::Comp::X), x1 = rec::comp_pos(rec::Comp::X1);
  for (const auto& [split, status] : {std::pair{1.0, 1}, {1.0, 0}, {std::nextafter(1.0, 0.0), 1}, {std::nextafter(1.0, 2.0), 1}}) {
    SetUp();
    rec::set_plex_real(x1 + 3, 42.0);
    rec::set_flash_count(2);
    rec::set_stwkwk_real(23, split);
    host().flash_status = status;
    std::vector<double> want_x1 = plex_words<double>(split == 1.0 ? x : x1, 3), want_table, table_after;
    want_x1.push_back(42.0);
    for (int w = 47; w <= 62; ++w) want_table.push_back(rec::stwork_real(split == 1.0 && w % 4 == 1 ? w - 1 : w));
    flash(KVT_SIDE_0, 0, KVT_SPEC_TP);
    for (int w = 47; w <= 62; ++w) table_after.push_back(rec::stwork_real(w));
    EXPECT_EQ(plex_words<double>(x1, 4), want_x1) << split;
    EXPECT_EQ(table_after, want_table) << split;
    EXPECT_EQ(rec::plex_real(layout.packed_fractions[KVT_GROUP_LIQUID1 - 1]), want_x1[0]) << "packed after the copy";
  }
}

// A component is packed when its fraction is strictly above 1e-10, in flash-component order, its
// number copied whole; the lists are rebuilt whatever the judgement; N of 0 or less packs nothing.
TEST_F(Flash, PackedCompositions) {
  constexpr int64_t kBig = (int64_t{1} << 40) + 3;
  rec::set_components({11, 12, kBig, 14, 15});
  rec::set_composition(rec::Comp::X, {0.5, 0.5, 0.0, 0.0, 0.0});
  rec::set_composition(rec::Comp::X1, {0.0, 0.0, 0.0, 0.0, 1.0});
  rec::set_composition(rec::Comp::X2, {0.3, std::nan(""), 0.3, 1e-10, 0.4});
  rec::set_composition(rec::Comp::Y, {1e-10, 1.1e-10, 0.5, 0.0, -1e-3});
  const std::vector<std::vector<int64_t>> numbers = {{11, 12}, {15}, {11, kBig, 15}, {12, kBig}};
  const std::vector<std::vector<double>> fractions = {{0.5, 0.5}, {1.0}, {0.3, 0.3, 0.4}, {1.1e-10, 0.5}};
  for (const auto& [n, status] : {std::pair<int64_t, int64_t>{5, 1}, {5, 0}, {0, 1}, {-1, 1}}) {
    rec::set_flash_count(n);
    for (int g = 0; g < 4; ++g) rec::set_plex_int(layout.packed_numbers[g] + (n > 0 ? 3 : 0), kUntouched);
    host().flash_status = status;
    flash(KVT_SIDE_0, 0, KVT_SPEC_TP);
    for (std::size_t g = 0; g < 4; ++g) {
      const int64_t kept = n > 0 ? std::ssize(numbers[g]) : 0;
      EXPECT_EQ(rec::plex_int(layout.packed_count[g]), kept) << g;
      EXPECT_EQ(plex_words(layout.packed_numbers[g], kept), n > 0 ? numbers[g] : std::vector<int64_t>{}) << g;
      EXPECT_EQ(plex_words<double>(layout.packed_fractions[g], kept), n > 0 ? fractions[g] : std::vector<double>{}) << g;
      EXPECT_EQ(rec::plex_int(layout.packed_numbers[g] + (n > 0 ? 3 : 0)), kUntouched);
    }
  }
}

// The edges of the work array: a count, a list or a composition at position 1 is written and read
// like any other; a position below 1 (a host that has not laid out its lists) is never written,
// and reads as 0.
TEST_F(Flash, PositionsAtTheEdgeOfTheWorkArray) {
  packed(KVT_HXPKV_COUNT, KVT_GROUP_VAPOUR) = 1;
  flash(KVT_SIDE_0, 0, KVT_SPEC_TP);
  EXPECT_EQ(rec::plex_int(1), 3);
  ask(KVT_HXPTHC, KVT_PHASE_VAPOUR);
  EXPECT_EQ(last("GOSA_TCONV")[4].word, 3);
  rec::bind_layout(layout);
  packed(KVT_HXPKV_FRACTIONS, KVT_GROUP_LIQUID) = 1;
  flash(KVT_SIDE_0, 0, KVT_SPEC_TP);
  EXPECT_EQ(plex_words<double>(1, 3), (std::vector<double>{0.5625, 0.3125, 0.125}));
  rec::bind_layout(layout);
  packed(KVT_HXPKV_FRACTIONS, KVT_GROUP_LIQUID) = -1;  // a run from below word 1: its third entry at word 1
  for (int64_t p = 1; p <= 3; ++p) rec::set_plex_int(p, kUntouched);
  flash(KVT_SIDE_0, 0, KVT_SPEC_TP);
  EXPECT_EQ(plex_words<int64_t>(2, 2), (std::vector<int64_t>{kUntouched, kUntouched}));
  EXPECT_EQ(rec::plex_real(1), 0.125);
  rec::bind_layout(layout);
  for (int64_t first : {1, 0}) {  // the liquid's composition X from position 1, then from 0
    TEBU_STWORK[15] = first - VOKA_STWKWK[0];
    for (int64_t p = 1; p <= 3; ++p) rec::set_plex_real(p, 0.25);
    flash(KVT_SIDE_0, 0, KVT_SPEC_TP);
    EXPECT_EQ(rec::plex_int(layout.packed_count[KVT_GROUP_LIQUID - 1]), first == 1 ? 3 : 2) << first;
  }
  for (int64_t below : {0, -5}) {
    for (int word : {KVT_HXPKV_COUNT, KVT_HXPKV_NUMBERS, KVT_HXPKV_FRACTIONS}) packed(word, KVT_GROUP_LIQUID1) = below;
    const auto beyond = plex_words<int64_t>(3, 40);
    flash(KVT_SIDE_0, 0, KVT_SPEC_TP);  // a write there would fault, or show in the sanitizer's run
    EXPECT_EQ(plex_words<int64_t>(3, 40), beyond) << "past the lists' last word " << below;
    ask(KVT_HXPTHC, KVT_PHASE_LIQUID1);
    EXPECT_EQ(last("GOSA_TCONL")[4].word, 0) << below;
  }
}

}  // namespace
}  // namespace kvt::test
