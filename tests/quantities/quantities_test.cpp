// Stream quantities of one phase: molecular weight, mass or mole flow, heat flow. Each row gives a
// stream's split and the answer for IPHS 1 to 5; kAbsent marks a phase reported absent (missing
// value, IERR -1).
#include <string>

#include "support/fixture.h"
#include "support/snapshot.h"

namespace kvt::test {
namespace {

const int64_t* const kUnread = reinterpret_cast<const int64_t*>(8);
constexpr double kAbsent = kMissing;

// Flash components 2, 5, 7 (molecular weights 10, 30, 18); Y weighs 20, X 26, X1 10, X2 18; the
// stream weighs 40. Phase table: molecular weights 30, 50, 60, 18 (vapour, liquid, first, second).
class QuantityTest : public KvtTest {
 protected:
  void SetUp() override {
    KvtTest::SetUp();
    FlashResult r = pure_liquids_flash();
    r.enthalpy[0] = -100.0;
    r.enthalpy[1] = -300.0;
    r.enthalpy[2] = -250.0;
    r.enthalpy[3] = -350.0;
    script_pure_liquids(r, stream());
    KVT_IHXPP[25] = 3;  // NSUBS
  }
  void split(double vf, double beta) {
    stream().slot(5) = vf;
    rec::set_stwkwk_real(23, beta);
  }
  Answer call(PropertyRoutine routine, int64_t iphs, const int64_t* ibas) {
    Answer a{-7.0, -7};
    routine(stream().data(), &stream().nstrm, kUnread, &iphs, ibas, &a.value, &a.ierr);
    return a;
  }
  void expect_row(PropertyRoutine routine, const double (&want)[5], const int64_t* ibas) {
    for (int64_t iphs = 1; iphs <= 5; ++iphs) {
      SCOPED_TRACE(iphs);
      const Answer a = call(routine, iphs, ibas);
      EXPECT_DOUBLE_EQ(a.value, want[iphs - 1]);
      EXPECT_EQ(a.ierr, want[iphs - 1] == kAbsent ? -1 : 0);
    }
  }
  // Host-call argument check for the stream utilities: STRM, NSUBS, both descriptor lists, result.
  void expect_utility_args(const rec::Call& c, const double* result) {
    const int64_t d = layout_.int_base + rec::stwork_int(29);
    EXPECT_EQ(c[1].addr, stream().data());
    EXPECT_EQ(c[2].addr, &KVT_IHXPP[25]);
    EXPECT_EQ(c[3].addr, rec::plex_addr(d));
    EXPECT_EQ(c[4].addr, rec::plex_addr(d + 3));
    EXPECT_EQ(c[5].addr, result);
  }
};

// ---- Molecular weight ----------------------------------------------------------------------------

struct MwtCase {
  const char* name;
  double vf, beta;
  int64_t ibas, n;  // n: flash components, -9 keeps the scripted 3
  double want[5];
};

class MolecularWeight : public QuantityTest, public ::testing::WithParamInterface<MwtCase> {};

TEST_P(MolecularWeight, PhaseTableWordOrAbsent) {
  const MwtCase& c = GetParam();
  split(c.vf, c.beta);
  if (c.n != -9) rec::set_flash_count(c.n);
  expect_row(KVT_HXPMWT, c.want, &c.ibas);
}

INSTANTIATE_TEST_SUITE_P(
    Mwt, MolecularWeight,
    ::testing::Values(MwtCase{"AllVapour", 1.0, 0.5, 0, -9, {40, 30, kAbsent, kAbsent, kAbsent}},
                      MwtCase{"AllVapourAfterSnapping", 0.99999999995, 0.5, 0, -9, {40, 30, kAbsent, kAbsent, kAbsent}},
                      MwtCase{"OneLiquid", 0.0, 1.0, 0, -9, {40, kAbsent, 50, 60, kAbsent}},
                      MwtCase{"ThreePhases", 0.3, 0.6, 1, -9, {40, 30, 50, 60, 18}},
                      MwtCase{"MissingVapourFraction", kHostMissing, 0.6, 0, -9, {40, kAbsent, 50, kAbsent, kAbsent}},
                      MwtCase{"NoComponentsMass", 0.5, 0.6, 1, 0, {40, kAbsent, 50, kAbsent, kAbsent}},
                      MwtCase{"NoComponentsMole", 0.5, 0.6, 0, 0, {40, 30, 50, 60, 18}},
                      MwtCase{"NoComponentsIbas2", 0.5, 0.6, 2, 0, {40, 30, 50, 60, 18}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuantityTest, MolecularWeightOfWholeStreamPassedThrough) {
  split(0.3, 0.6);
  for (int64_t iphs : {0, 6, -3}) EXPECT_EQ(ask(KVT_HXPMWT, stream(), iphs).value, 40.0) << iphs;
  stream().slot(9) = 2.0 * kMissing;
  const Answer a = ask(KVT_HXPMWT, stream(), 1);
  EXPECT_EQ(a.value, 2.0 * kMissing);
  EXPECT_EQ(a.ierr, 0);
  EXPECT_TRUE(host().calls.empty());
}

// ---- Mass flow -----------------------------------------------------------------------------------

struct FlowCase {
  const char* name;
  double vf, beta;
  int64_t ibas;
  double total;
  double want[5];
};

class PhaseFlow : public QuantityTest, public ::testing::WithParamInterface<FlowCase> {};

TEST_P(PhaseFlow, TotalTimesFractionOnTheSameBasis) {
  const FlowCase& c = GetParam();
  split(c.vf, c.beta);
  const char* total = c.ibas == 1 ? "TEBU_TOTMAS" : "TEBU_TOTFLO";
  host().outputs[total] = {c.total, c.total, c.total, c.total, c.total};
  expect_row(KVT_HXPMFL, c.want, &c.ibas);
  EXPECT_EQ(host().count(total), 5u);
  EXPECT_EQ(host().calls.size(), 5u);  // and never the other one
}

// Mass basis: fractions 0.25 (vapour), 0.075 and 0.09 (liquids); the total liquid takes 1 - FV.
INSTANTIATE_TEST_SUITE_P(
    Mfl, PhaseFlow,
    ::testing::Values(FlowCase{"MoleExample", 0.25, 0.6, 0, 100.0, {100, 25, 75, 45, 30}},
                      FlowCase{"Ibas2IsMole", 0.25, 0.6, 2, 100.0, {100, 25, 75, 45, 30}},
                      FlowCase{"IbasMinus1IsMole", 0.25, 0.6, -1, 100.0, {100, 25, 75, 45, 30}},
                      FlowCase{"Mass", 0.5, 0.6, 1, 200.0, {200, 50, 150, 15, 18}},
                      FlowCase{"AllVapour", 1.0, 0.6, 0, 100.0, {100, 100, 0, 0, 0}},
                      FlowCase{"MissingVapourFraction", kHostMissing, 0.6, 1, 100.0, {100, 0, 100, 0, 0}},
                      FlowCase{"TotalAtMissing", 0.25, 0.6, 0, kMissing, {0, 0, 0, 0, 0}},
                      FlowCase{"TotalAboveMissing", 0.25, 0.6, 1, 3.0 * kMissing, {0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuantityTest, FlowAsksTheHostOnceWithTheResultAsOutput) {
  split(0.25, 0.6);
  host().outputs["TEBU_TOTFLO"] = {100.0};
  const int64_t ibas = 0, iphs = 7;
  double mfl = 0.0;
  int64_t ierr = 3;
  KVT_HXPMFL(stream().data(), &stream().nstrm, kUnread, &iphs, &ibas, &mfl, &ierr);
  EXPECT_EQ(mfl, 100.0);
  EXPECT_EQ(ierr, 0);
  ASSERT_EQ(host().calls.size(), 1u);
  expect_utility_args(host().calls[0], &mfl);
}

// ---- Heat flow -----------------------------------------------------------------------------------

struct HeatCase {
  const char* name;
  double vf, beta, flow;
  double want[4];  // IPHS 2 to 5
};

class HeatFlow : public QuantityTest, public ::testing::WithParamInterface<HeatCase> {};

// Enthalpies -100, -300, -250, -350 (vapour, liquid, first, second liquid). IBAS is never read and
// the fractions are molar whatever the caller passes.
TEST_P(HeatFlow, FractionTimesMolarEnthalpyTimesFlow) {
  const HeatCase& c = GetParam();
  split(c.vf, c.beta);
  stream().slot(1) = c.flow;
  const int64_t mass = 1, mole = 0;
  for (const int64_t* ibas : {kUnread, &mass, &mole}) {
    for (int64_t iphs = 2; iphs <= 5; ++iphs) {
      SCOPED_TRACE(iphs);
      const Answer a = call(KVT_HXPQFL, iphs, ibas);
      EXPECT_EQ(a.value, c.want[iphs - 2]);
      EXPECT_EQ(a.ierr, 0);
    }
  }
  EXPECT_TRUE(host().calls.empty());
  EXPECT_EQ(stream().slot(1), c.flow);
}

INSTANTIATE_TEST_SUITE_P(
    Qfl, HeatFlow,
    ::testing::Values(HeatCase{"Example", 0.5, 0.5, 10.0, {-500, -1500, -625, -875}},
                      HeatCase{"AllVapour", 1.0, 0.5, 10.0, {-1000, 0, 0, 0}},
                      HeatCase{"MissingVapourFraction", kHostMissing, 0.5, 10.0, {0, -3000, 0, 0}},
                      HeatCase{"FlowAtMissing", 0.5, 0.5, kMissing, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QuantityTest, HeatFlowProductsLeftToRight) {
  split(0.25, 0.5);
  stream().slot(1) = 4.0;
  rec::set_stwork_real(47, 1.0e308);  // (0.25 x 1e308) x 4 is finite; 0.25 x (1e308 x 4) is not
  EXPECT_EQ(call(KVT_HXPQFL, 2, kUnread).value, 1.0e308);
}

TEST_F(QuantityTest, WholeStreamHeatFlowFromTheHostAsWritten) {
  split(0.5, 0.5);
  for (int64_t iphs : {1, 0, 9}) {
    host().calls.clear();
    host().outputs["TEBU_TOTENT"] = {3.0 * kMissing};
    double qfl = 0.0;
    int64_t ierr = 5;
    KVT_HXPQFL(stream().data(), &stream().nstrm, kUnread, &iphs, kUnread, &qfl, &ierr);
    EXPECT_EQ(qfl, 3.0 * kMissing) << iphs;
    EXPECT_EQ(ierr, 0);
    ASSERT_EQ(host().calls.size(), 1u);
    EXPECT_EQ(host().calls[0].name, "TEBU_TOTENT");
    expect_utility_args(host().calls[0], &qfl);
  }
}

// ---- Write-set -----------------------------------------------------------------------------------

struct Routine {
  const char* name;
  PropertyRoutine fn;
  int switch_word;
};

class QuantityWriteSet : public QuantityTest, public ::testing::WithParamInterface<Routine> {};

// None of these routines writes anything of the host's, the stream's or the library's blocks.
TEST_P(QuantityWriteSet, WritesNothingButItsResult) {
  KVT_HXPDBG[GetParam().switch_word - 1] = 1;
  host().default_output = 123.0;
  for (double vf : {0.3, 0.0, 1.0, kHostMissing}) {
    split(vf, 0.6);
    const Snapshot before = take_snapshot(stream(), layout_.end);
    for (int64_t iphs = 0; iphs <= 6; ++iphs) {
      for (int64_t ibas : {0, 1}) call(GetParam().fn, iphs, &ibas);
    }
    EXPECT_EQ(outside(diff(before, take_snapshot(stream(), layout_.end)), {}), "") << vf;
  }
}

INSTANTIATE_TEST_SUITE_P(Routines, QuantityWriteSet,
                         ::testing::Values(Routine{"HXPFRC", KVT_HXPFRC, 4}, Routine{"HXPMWT", KVT_HXPMWT, 6},
                                           Routine{"HXPMFL", KVT_HXPMFL, 5}, Routine{"HXPQFL", KVT_HXPQFL, 11}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Traces --------------------------------------------------------------------------------------

class QuantityTraceSwitch : public QuantityTest, public ::testing::WithParamInterface<Routine> {};

// Switch words 6, 5 and 11 trace for any positive value.
TEST_P(QuantityTraceSwitch, TracedForOneOrMore) {
  split(0.3, 0.6);
  for (int64_t word : {0, -1, 1, 2}) {
    KVT_HXPDBG[GetParam().switch_word - 1] = word;
    const std::size_t before = trace().size();
    ask(GetParam().fn, stream(), 2);
    EXPECT_EQ(trace().size() > before, word >= 1) << word;
  }
}

INSTANTIATE_TEST_SUITE_P(Routines, QuantityTraceSwitch,
                         ::testing::Values(Routine{"HXPMWT", KVT_HXPMWT, 6}, Routine{"HXPMFL", KVT_HXPMFL, 5},
                                           Routine{"HXPQFL", KVT_HXPQFL, 11}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TraceCase {
  const char* name;
  PropertyRoutine fn;
  int switch_word;
  int64_t iphs, ibas;
  std::vector<std::string> tail;  // lines after "P"
};

class QuantityTrace : public QuantityTest, public ::testing::WithParamInterface<TraceCase> {};

TEST_P(QuantityTrace, ByteForByte) {
  const TraceCase& c = GetParam();
  KVT_HXPDBG[c.switch_word - 1] = 2;
  split(0.5, 0.5);
  stream().slot(1) = 10.0;
  host().outputs["TEBU_TOTMAS"] = {200.0};
  stream().nstrm = 2;
  stream().v[0] = 1.5;
  stream().v[1] = -2.0;
  ask(c.fn, stream(), c.iphs, c.ibas);
  std::vector<std::string> expected = {
      " ",
      std::string(" ***** Inside ") + c.name + " ...",
      " *****    NSTRM     =  2",
      " *****     STRM(  1) =  1.5000000E+00",
      " *****     STRM(  2) = -2.0000000E+00",
      " *****        T     =  3.0000000E+02",
      " *****        P     =  1.0000000E+05",
  };
  expected.insert(expected.end(), c.tail.begin(), c.tail.end());
  EXPECT_EQ(trace(), expected) << joined(trace());
}

// Switch word 2 (at least 1 traces). Molecular weight of the first liquid; mass flow of the second
// liquid (mole fraction 0.25, mass fraction 0.25 x 18 / 40, of 200); heat flow of the vapour.
INSTANTIATE_TEST_SUITE_P(
    Routines, QuantityTrace,
    ::testing::Values(
        TraceCase{"HXPMWT", KVT_HXPMWT, 6, 4, 0,
                  {" *****       X1(  1) =  1.0000000E+00", " *****       X1(  2) =  0.0000000E+00",
                   " *****       X1(  3) =  0.0000000E+00", " *****      MWT     =  6.0000000E+01"}},
        TraceCase{"HXPMFL", KVT_HXPMFL, 5, 5, 1,
                  {" *****       X2(  1) =  0.0000000E+00", " *****       X2(  2) =  0.0000000E+00",
                   " *****       X2(  3) =  1.0000000E+00", " *****      MFL     =  2.2500000E+01"}},
        TraceCase{"HXPQFL", KVT_HXPQFL, 11, 2, 1,
                  {" *****        Y(  1) =  5.0000000E-01", " *****        Y(  2) =  5.0000000E-01",
                   " *****        Y(  3) =  0.0000000E+00", " *****      QFL     = -5.0000000E+02"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt::test
