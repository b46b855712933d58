// The host's public entry points: the C++ set-up interface and the C symbols, called directly.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>

#include "kvt/host.h"
#include "kvt_reference/reference_host.h"

namespace ki = kvt::reference;

namespace {

class IdealHost : public ::testing::Test {
 protected:
  void SetUp() override {
    ki::load_databank(KVT_REFERENCE_DATABANK);
    ki::select_components({"nitrogen", "n-hexane", "water"});
    ki::take_warnings();
  }
  static double word(const int64_t* block, int w) { return std::bit_cast<double>(block[w - 1]); }
  static double plex(int64_t pos) { return std::bit_cast<double>(VOKA_PLEX[pos - 1]); }

  // WEND_FLASH with the arguments the library passes; returns the status word.
  int64_t flash(std::vector<double>& s, int64_t kspec, double s1, double s2, int64_t kind = 1, int64_t nphase = 2,
                double est = 1e35) {
    int64_t nsubs = 1, zero = 0, one = 1, mode = 0, status = 0;
    int64_t opts[6] = {};
    double ropt = 0.0;
    int64_t* desc = &VOKA_PLEX[VOKA_STWKWK[1] + TEBU_STWORK[28] - 1];
    double* rrec = reinterpret_cast<double*>(&VOKA_PLEX[VOKA_STWKWK[0] + TEBU_STWORK[24] - 1]);
    int64_t* irec = &VOKA_PLEX[VOKA_STWKWK[1] + TEBU_STWORK[29] - 1];
    WEND_FLASH(s.data(), &nsubs, desc, desc + 1, opts, &kspec, &kind, &nphase, &zero, &ropt, &s1, &s2, &est, &zero,
               &zero, &mode, &one, rrec, irec, &status);
    return status;
  }
};

TEST_F(IdealHost, UnknownComponentIsNamed) {
  try {
    ki::select_components({"water", "unobtainium"});
    FAIL();
  } catch (const ki::Error& e) {
    EXPECT_NE(std::string(e.what()).find("unobtainium"), std::string::npos);
  }
  EXPECT_THROW(ki::select_components({"water", "Water"}), ki::Error);
  EXPECT_THROW(ki::component_number("benzene"), ki::Error) << "in the databank but not selected";
}

TEST_F(IdealHost, SelectionFillsTheDataStore) {
  EXPECT_EQ(VOKA_NCOMP[0], 3);
  EXPECT_EQ(ki::component_number("water"), 3);
  for (int64_t j = 1; j <= 3; ++j) EXPECT_EQ(plex(VOKA_IPOFF1[305] + j), ki::molecular_weight(j));
  EXPECT_EQ(word(VOKA_RGLOB, 1), ki::missing_value());
  EXPECT_GE(TEBU_STWORK[0], 1);
  EXPECT_GE(TEBU_STWORK[1], 1);
  // the real vectors do not overlap: each has NCOMP words
  for (int k = 15; k < 19; ++k) EXPECT_GE(TEBU_STWORK[k] - TEBU_STWORK[k - 1], 3);
}

TEST_F(IdealHost, RangesAreReportedForAProgramToCheck) {
  const ki::Range r = ki::temperature_range();
  EXPECT_DOUBLE_EQ(r.min, ki::temperature_range("water").min);
  EXPECT_LE(r.max, ki::temperature_range("n-hexane").max);
  EXPECT_THROW(ki::temperature_range("unobtainium"), ki::Error);
}

TEST_F(IdealHost, AllocationsDoNotOverlapAndRespectTheWorkArray) {
  const auto pkv = ki::allocate_packed_lists();
  const auto rec = ki::allocate_retention_records(10);
  EXPECT_GT(rec.integer_records, pkv[14]);
  EXPECT_GT(rec.real_records, rec.integer_records + 10 * (TEBU_STWORK[1] + 1) - 1);
  EXPECT_EQ(pkv[4], 0);
  EXPECT_THROW(ki::plex_allocate(ki::plex_size()), ki::Error);
}

TEST_F(IdealHost, MakeStreamRejectsBadInput) {
  EXPECT_THROW(ki::make_stream(std::vector<double>{1.0, -1.0, 1.0}, 300.0, 1e5), ki::Error);
  EXPECT_THROW(ki::make_stream(std::vector<double>{1.0, 1.0}, 300.0, 1e5), ki::Error);
  EXPECT_THROW(ki::make_stream(std::vector<double>{0.0, 0.0, 0.0}, 300.0, 1e5), ki::Error);
  try {
    ki::make_stream(std::vector<double>{1.0, 1.0, 1.0}, 250.0, 1e5);
    FAIL();
  } catch (const ki::Error& e) {
    EXPECT_NE(std::string(e.what()).find("250"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ki::make_stream(std::vector<double>{1.0, 1.0, 1.0}, 300.0, 1.0), ki::Error);
  const auto s = ki::make_stream(std::vector<double>{1.0, 2.0, 1.0}, 330.0, 2e5, true);
  ASSERT_EQ(static_cast<int64_t>(s.size()), ki::stream_length());
  EXPECT_DOUBLE_EQ(s[3], 4.0);
  EXPECT_GT(s[7], 0.0);
  EXPECT_LT(s[7], 1.0);
}

TEST_F(IdealHost, FlashFillsEveryItemAndTheStreamSlots) {
  auto s = ki::make_stream(std::vector<double>{0.2, 0.4, 0.4}, 330.0, 2e5);
  ASSERT_EQ(flash(s, ki::kTP, 320.0, 2e5, 11, 2), ki::kStatusConverged);
  int64_t one = 1, st = ki::kStatusConverged;
  EXPECT_EQ(WEND_FLSTAT(&one, &st), 1);
  EXPECT_EQ(VOKA_STWKWK[2], 3);
  EXPECT_EQ(word(VOKA_STWKWK, 19), 320.0);
  EXPECT_EQ(word(VOKA_STWKWK, 20), 2e5);
  const double vf = word(VOKA_STWKWK, 21), split = word(VOKA_STWKWK, 23);
  EXPECT_GT(vf, 0.0);
  EXPECT_GT(split, 0.0);
  EXPECT_LT(split, 1.0);
  EXPECT_EQ(s[3 + 4], vf) << "vapour fraction slot";
  const int64_t rb = VOKA_STWKWK[0], ib = VOKA_STWKWK[1];
  EXPECT_EQ(plex(rb + TEBU_STWORK[17] + 2), 1.0) << "second liquid is pure water";
  for (int64_t i = 0; i < 3; ++i) EXPECT_EQ(VOKA_PLEX[ib + TEBU_STWORK[25] + i - 1], i + 1);
  // the stream's enthalpy is the phase-weighted enthalpy of the table
  const double h = vf * word(TEBU_STWORK, 47) + (1 - vf) * split * word(TEBU_STWORK, 49) +
                   (1 - vf) * (1 - split) * word(TEBU_STWORK, 50);
  EXPECT_NEAR(s[3 + 3], h, 1e-9 * std::abs(h));
  EXPECT_NEAR(s[3 + 8], (0.2 * 28.014 + 0.4 * 86.177 + 0.4 * 18.015), 1e-9);
}

TEST_F(IdealHost, FailedFlashRaisesTheFailureFlag) {
  auto s = ki::make_stream(std::vector<double>{0.2, 0.4, 0.4}, 330.0, 2e5);
  EXPECT_EQ(flash(s, ki::kPH, 2e5, 1e13), ki::kStatusFailed);
  EXPECT_EQ(VOKA_FLSCM2[0], 1);
  int64_t one = 1, st = ki::kStatusFailed;
  EXPECT_NE(WEND_FLSTAT(&one, &st), 1);
  EXPECT_EQ(s[3 + 4], ki::missing_value()) << "phase split unknown";
  VOKA_FLSCM2[0] = 0;
  s[0] = -1.0;
  EXPECT_EQ(flash(s, ki::kTP, 320.0, 2e5), ki::kStatusBadInput);
  EXPECT_EQ(VOKA_FLSCM2[0], 1);
  const auto notes = ki::take_warnings();
  ASSERT_FALSE(notes.empty());
  EXPECT_NE(notes.back().find("nitrogen"), std::string::npos) << notes.back();
}

TEST_F(IdealHost, StreamUtilities) {
  auto s = ki::make_stream(std::vector<double>{0.2, 0.4, 0.4}, 330.0, 2e5);
  int64_t nsubs = 1, d = 0, npack = 0, idx[3] = {};
  double total = 0.0, z[3] = {}, w = 0.0;
  TEBU_TOTFLO(s.data(), &nsubs, &d, &d, &total);
  EXPECT_DOUBLE_EQ(total, 1.0);
  TEBU_TOTMAS(s.data(), &nsubs, &d, &d, &total);
  EXPECT_NEAR(total, 0.2 * 28.014 + 0.4 * 86.177 + 0.4 * 18.015, 1e-12);
  TEBU_TOTENT(s.data(), &nsubs, &d, &d, &total);
  EXPECT_DOUBLE_EQ(total, s[3 + 3]);
  s[0] = 0.0;
  TEBU_CPACK(s.data(), &npack, idx, z, &w);
  EXPECT_EQ(npack, 2);
  EXPECT_EQ(idx[0], 2);
  EXPECT_DOUBLE_EQ(z[0] + z[1], 1.0);
  // SETH finds T back from the enthalpy
  const double t = s[3 + 1];
  s[0] = 0.2;
  s[3 + 1] = 400.0;
  int64_t zero = 0;
  s[3 + 3] = ki::make_stream(std::vector<double>{0.2, 0.4, 0.4}, t, 2e5)[3 + 3];
  TEBU_SETH(s.data(), &nsubs, &d, &d, &zero);
  EXPECT_NEAR(s[3 + 1], t, 1e-6);
}

TEST_F(IdealHost, PropertyMonitorReportsBadArgumentsAndRanges) {
  double t = 300.0, p = 1e5, x[2] = {0.5, 0.5}, v = 0.0, dh = 0.0;
  int64_t n = 2, idx[2] = {2, 7}, opts[6] = {}, w = 0, code = 2, ierr = 0;
  GOSA_VISCL(&t, &p, x, &n, idx, opts, &w, &v, &ierr);
  EXPECT_NE(ierr, 0) << "component 7 does not exist";
  ki::take_warnings();
  idx[1] = 3;
  ierr = 0;
  GOSA_VISCL(&t, &p, x, &n, idx, opts, &w, &v, &ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_GT(v, 0.0);
  t = 420.0;  // above n-hexane's liquid viscosity range: held at the range end and reported
  GOSA_VISCL(&t, &p, x, &n, idx, opts, &w, &v, &ierr);
  EXPECT_EQ(ierr, 2);
  const auto notes = ki::take_warnings();
  ASSERT_FALSE(notes.empty());
  EXPECT_NE(notes.front().find("n-hexane liquid viscosity"), std::string::npos) << notes.front();
  t = 300.0;
  GOSA_ENTHL(&t, &p, x, &n, idx, opts, &w, &w, &code, &v, &dh, &ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_LT(v, 0.0) << "liquid below the ideal-gas reference";
}

TEST_F(IdealHost, WaterPositionAndPressureFunction) {
  int64_t list[3] = {2, 3, 1}, n = 3;
  EXPECT_EQ(NERO_IDXWAT(list, &n), 2);
  n = 1;
  EXPECT_LE(NERO_IDXWAT(list, &n), 0);
  double t = 373.15, lnp = 0, second = 0;
  int64_t one = 1, water = 3, w23 = 0;
  LORI_PL001(&t, &one, &water, &one, &one, &w23, &lnp, &second);
  EXPECT_NEAR(std::exp(lnp), 101325.0, 0.01 * 101325.0);
  EXPECT_GT(second, 0.0);
}

TEST_F(IdealHost, PseudoCriticalPointByKaysRule) {
  int64_t nc = 2, idx[2] = {2, 3}, ierr = 1;
  double comp[2] = {0.25, 0.75}, work[8] = {}, tc = 0, pc = 0, o7 = 0, o8 = 0;
  WEND_CRTCAL(&nc, comp, idx, work, &tc, &pc, &o7, &o8, &ierr);
  EXPECT_EQ(ierr, 0);
  EXPECT_NEAR(tc, 0.25 * 507.6 + 0.75 * 647.14, 1e-9);
  EXPECT_NEAR(pc, 0.25 * 30.25e5 + 0.75 * 220.64e5, 1e-3);
}

TEST_F(IdealHost, UnitWriteGoesToTheConnectedFile) {
  const auto path = std::filesystem::temp_directory_path() / "kvt_reference_unit.txt";
  ki::connect_unit(9, path);
  const int32_t unit = 9, other = 10;
  const int64_t len = 5;
  UNIT_WRITE(&unit, "hello world", &len);
  UNIT_WRITE(&other, "dropped", &len);
  ki::disconnect_unit(9);
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "hello");
  EXPECT_THROW(ki::connect_unit(9, "/nonexistent/dir/trace.txt"), ki::Error);
}

}  // namespace
