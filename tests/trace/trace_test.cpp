// The diagnostic trace: one scenario that calls every traced routine with every switch on, compared
// record for record with transcript.txt; then each routine's switch on its own.
#include <cstdlib>
#include <fstream>
#include <limits>

#include "support/scenario.h"

namespace kvt::test {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kTranscript =
#include "transcript.inc"
    ;

using Trace = Scenario;

// Each traced routine: its switch word, whether only exactly 1 switches it on, and the phase it is
// asked for (the flash: no routine, a P-H flash of side 0).
const struct { int word; bool equals_one; Routine routine; int64_t iphs; } kTraced[] = {
    {KVT_TRACE_HXFLSH, true, nullptr, 0},      {KVT_TRACE_HXPCPP, false, KVT_HXPCPP, 1}, {KVT_TRACE_HXPDNS, false, KVT_HXPDNS, 1},
    {KVT_TRACE_HXPFRC, true, KVT_HXPFRC, 2},   {KVT_TRACE_HXPMFL, false, KVT_HXPMFL, 2}, {KVT_TRACE_HXPMWT, false, KVT_HXPMWT, 2},
    {KVT_TRACE_HXPPRC, true, KVT_HXPPRC, 2},   {KVT_TRACE_HXPPRS, true, KVT_HXPPRS, 2},  {KVT_TRACE_HXPQFL, false, KVT_HXPQFL, 2},
    {KVT_TRACE_HXPSFT, false, KVT_HXPSFT, 4},  {KVT_TRACE_HXPTHC, false, KVT_HXPTHC, 4}, {KVT_TRACE_HXPTHV, true, KVT_HXPTHV, 4},
    {KVT_TRACE_HXPTMC, true, KVT_HXPTMC, 2},   {KVT_TRACE_HXPTMP, true, KVT_HXPTMP, 2},  {KVT_TRACE_HXPVIS, false, KVT_HXPVIS, 4}};

TEST_F(Trace, Transcript) {
  for (const auto& r : kTraced) KVT_WORD(KVT_HXPDBG, r.word) = 1;
  host().default_output = 2.5;  // every answer of the host
  KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = (int64_t{5} << 32) | kUnit;  // the unit is the word's low half
  // Fields at their edges in slots no routine reads here.
  strm[8] = std::numeric_limits<double>::quiet_NaN();
  strm[9] = -kInf;
  strm[10] = 1.0e100;
  strm[12] = -2.5e-150;
  const double far[] = {5e-324, -0.0, kInf, 1.7976931348623157e308, 0.000123456789, 9.99999999};
  std::copy(std::begin(far), std::end(far), strm.begin() + 13);
  std::string text;
  const auto step = [&](const std::string& what, auto&& call) {
    text += "== " + what + "\n";
    host().records.clear();
    call();
    for (const std::string& r : trace()) text += r + "\n";
  };
  step("HXFLSH ISIDE 0, KSPEC P-H", [&] { flash(KVT_SIDE_0, 0, KVT_SPEC_PH); });
  step("HXFLSH switch off inside the host's flash", [&] {
    host().on_flash = [] { KVT_WORD(KVT_HXPDBG, KVT_TRACE_HXFLSH) = 0; };
    flash(KVT_SIDE_0, 0, KVT_SPEC_PV);
  });
  step("HXFLSH switch on inside the host's flash", [&] {
    host().on_flash = [] { KVT_WORD(KVT_HXPDBG, KVT_TRACE_HXFLSH) = 1; };
    flash(KVT_SIDE_1, 0, KVT_SPEC_TP);
    host().on_flash = nullptr;
  });
  const struct {
    const char* name;
    Routine r;
    int64_t iphs, ibas;
  } asks[] = {{"HXPFRC", KVT_HXPFRC, 7, 0}, {"HXPFRC", KVT_HXPFRC, 5, 1}, {"HXPMWT", KVT_HXPMWT, 3, 0},
              {"HXPMFL", KVT_HXPMFL, 5, 1}, {"HXPQFL", KVT_HXPQFL, 2, 1}, {"HXPCPP", KVT_HXPCPP, 7, -3},
              {"HXPTHC", KVT_HXPTHC, 4, 1}, {"HXPVIS", KVT_HXPVIS, 5, 0}, {"HXPSFT", KVT_HXPSFT, 1, 0},
              {"HXPSFT", KVT_HXPSFT, 2, 0}, {"HXPDNS", KVT_HXPDNS, 2, 1}, {"HXPTHV", KVT_HXPTHV, 4, 0},
              {"HXPTMC", KVT_HXPTMC, 1, 0}, {"HXPPRC", KVT_HXPPRC, 3, 0}, {"HXPTMP", KVT_HXPTMP, 4, 0}};
  for (const auto& a : asks) {
    step(std::string(a.name) + " IPHS " + std::to_string(a.iphs) + " IBAS " + std::to_string(a.ibas),
         [&] { ask(a.r, a.iphs, a.ibas); });
  }
  step("HXPPRS NSTRM 100 and -5", [&] { nstrm = 100, ask(KVT_HXPPRS, 1), nstrm = -5, ask(KVT_HXPPRS, 1), nstrm = -10; });
  step("HXPTMP NSTRM -10", [&] { ask(KVT_HXPTMP, 1), nstrm = kNcomp + 10; });
  step("HXPDNS IPHS 5 of a stream without a second liquid", [&] { split(0.0, 1.0), ask(KVT_HXPDNS, 5); });
  step("HXPFRC of a stream whose vapour fraction is missing: silent", [&] { split(kHostMissing, 0.75), ask(KVT_HXPFRC, 1); });
  if (const char* out = std::getenv("KVT_WRITE_TRANSCRIPT")) {
    std::ofstream(out, std::ios::binary) << text;
    GTEST_SKIP() << "transcript written to " << out;
  }
  EXPECT_EQ(text, kTranscript);
}

TEST_F(Trace, EachRoutineFollowsItsOwnSwitch) {
  const auto call = [&](const auto& r) { r.routine ? (void)ask(r.routine, r.iphs) : (void)flash(KVT_SIDE_0, 0, KVT_SPEC_PH); };
  for (const auto& r : kTraced) {
    for (int64_t v : {-1, 0, 1, 2}) {
      host().records.clear();
      KVT_WORD(KVT_HXPDBG, r.word) = v;
      call(r);
      EXPECT_EQ(!trace().empty(), r.equals_one ? v == 1 : v >= 1) << "switch word " << r.word << " = " << v;
    }
    KVT_WORD(KVT_HXPDBG, r.word) = 0;
  }
  host().records.clear();
  for (int w : {7, 8, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28}) KVT_WORD(KVT_HXPDBG, w) = 1;
  for (const auto& r : kTraced) call(r);
  EXPECT_TRUE(trace().empty()) << "a word that switches no routine";
}

}  // namespace
}  // namespace kvt::test

