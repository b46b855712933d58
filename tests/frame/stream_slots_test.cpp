// Setters and getters of single stream slots.
#include <cmath>
#include <limits>

#include "support/fixture.h"

namespace kvt::test {
namespace {

using Setter = void (*)(double*, const void*, const void*, const double*);

struct SetterCase {
  const char* name;
  Setter set;
  int64_t slot;  // STRM(NCOMP + slot)
};

class SetterTest : public KvtTest, public ::testing::WithParamInterface<SetterCase> {};

TEST_P(SetterTest, WritesItsSlotAndNothingElse) {
  const SetterCase& c = GetParam();
  for (double value : {301.5, -4.0, kMissing, std::numeric_limits<double>::infinity()}) {
    std::vector<double> before = stream().v;
    c.set(stream().data(), nullptr, nullptr, &value);
    before[static_cast<std::size_t>(ncomp_ + c.slot - 1)] = value;
    EXPECT_EQ(stream().v, before) << c.name << " " << value;
  }
  EXPECT_TRUE(host().calls.empty());
  EXPECT_TRUE(host().records.empty());
}

TEST_P(SetterTest, StoresNaNUnchanged) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  GetParam().set(stream().data(), nullptr, nullptr, &nan);
  EXPECT_TRUE(std::isnan(stream().slot(GetParam().slot)));
}

// NCOMP = 3: the temperature is slot 5 and the vapour fraction slot 8.
INSTANTIATE_TEST_SUITE_P(Setters, SetterTest,
                         ::testing::Values(SetterCase{"HXUTMP", KVT_HXUTMP, 2}, SetterCase{"HXUPRS", KVT_HXUPRS, 3},
                                           SetterCase{"HXUNTH", KVT_HXUNTH, 4}, SetterCase{"HXUVFR", KVT_HXUVFR, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

class GetterTest : public KvtTest {};

TEST_F(GetterTest, ReturnTemperatureAndPressureWhateverThePhase) {
  stream().slot(2) = 412.0;
  stream().slot(3) = 3.5e5;
  stream().slot(5) = 0.0;  // no vapour, no second liquid: the getters do not care
  for (int64_t iphs : {1, 2, 4, 5, 99, -1}) {
    EXPECT_EQ(ask(KVT_HXPTMP, stream(), iphs).value, 412.0);
    EXPECT_EQ(ask(KVT_HXPPRS, stream(), iphs).value, 3.5e5);
    EXPECT_EQ(ask(KVT_HXPTMP, stream(), iphs).ierr, 0);
  }
}

TEST_F(GetterTest, ReadNoneOfTheCodeArguments) {
  stream().slot(2) = 300.0;
  double t = 0.0;
  int64_t ierr = 5;
  // Addresses the host does not own: the getters must not touch them.
  const auto* bad = reinterpret_cast<const int64_t*>(alignof(int64_t));
  KVT_HXPTMP(stream().data(), &stream().nstrm, bad, bad, bad, &t, &ierr);
  EXPECT_EQ(t, 300.0);
  EXPECT_EQ(ierr, 0);
}

TEST_F(GetterTest, SettersIgnoreTheirMiddleArguments) {
  const auto* bad = reinterpret_cast<const void*>(alignof(int64_t));
  const double value = 5.0;
  KVT_HXUPRS(stream().data(), bad, bad, &value);
  EXPECT_EQ(stream().slot(3), 5.0);
}

struct SwitchCase {
  int64_t word16, word10;
  bool tmp_traced, prs_traced;
};

class GetterTraceTest : public KvtTest, public ::testing::WithParamInterface<SwitchCase> {};

// Both getters trace only when their switch is exactly 1.
TEST_P(GetterTraceTest, TracesOnlyWhenSwitchIsExactlyOne) {
  const SwitchCase& c = GetParam();
  KVT_HXPDBG[15] = c.word16;
  KVT_HXPDBG[9] = c.word10;
  ask(KVT_HXPTMP, stream(), 1);
  const std::size_t after_tmp = trace().size();
  ask(KVT_HXPPRS, stream(), 1);
  EXPECT_EQ(after_tmp > 0, c.tmp_traced);
  EXPECT_EQ(trace().size() > after_tmp, c.prs_traced);
}

INSTANTIATE_TEST_SUITE_P(Switches, GetterTraceTest,
                         ::testing::Values(SwitchCase{1, 0, true, false}, SwitchCase{0, 1, false, true},
                                           SwitchCase{2, 2, false, false}, SwitchCase{-1, 1, false, true},
                                           SwitchCase{1, 1, true, true}));

TEST_F(GetterTraceTest, TemperatureTraceByteForByte) {
  KVT_HXPDBG[15] = 1;
  stream().slot(2) = 373.15;
  stream().nstrm = 3;
  stream().v[0] = 1.0;
  stream().v[1] = -0.5;
  stream().v[2] = 0.0;
  ask(KVT_HXPTMP, stream(), 4);
  const std::vector<std::string> expected = {
      " ",
      " ***** Inside HXPTMP ...",
      " *****    NSTRM     =  3",
      " *****     STRM(  1) =  1.0000000E+00",
      " *****     STRM(  2) = -5.0000000E-01",
      " *****     STRM(  3) =  0.0000000E+00",
      " *****      TMP     =  3.7315000E+02",
  };
  EXPECT_EQ(trace(), expected) << joined(trace());
}

TEST_F(GetterTraceTest, LongStreamOverflowsTheCountButNotTheIndex) {
  KVT_HXPDBG[9] = 1;
  stream().v.assign(130, 2.5e-200);
  stream().nstrm = 120;
  stream().v[5] = -1.0e100;  // NCOMP = 3: the pressure is slot 6
  ask(KVT_HXPPRS, stream(), 1);
  ASSERT_EQ(trace().size(), 2u + 1u + 120u + 1u) << joined(trace());
  EXPECT_EQ(trace()[2], " *****    NSTRM     = **");
  EXPECT_EQ(trace()[3], " *****     STRM(  1) =  2.5000000-200");
  EXPECT_EQ(trace()[8], " *****     STRM(  6) = -1.0000000+100");
  EXPECT_EQ(trace()[122], " *****     STRM(120) =  2.5000000-200");
  EXPECT_EQ(trace().back(), " *****      PRS     = -1.0000000+100");
}

TEST_F(GetterTraceTest, NothingTracedWhenEveryBlockIsZero) {
  reset_library_blocks();
  ask(KVT_HXPTMP, stream(), 1);
  ask(KVT_HXPPRS, stream(), 1);
  EXPECT_TRUE(host().records.empty());
}

TEST_F(GetterTraceTest, UnitIsTheLowHalfOfItsWord) {
  KVT_HXPDBG[9] = 1;
  KVT_HXOUTP[0] = (int64_t{5} << 32) | 9;
  ask(KVT_HXPPRS, stream(), 1);
  EXPECT_FALSE(host().trace(9).empty());
  EXPECT_TRUE(trace().empty());
}

}  // namespace
}  // namespace kvt::test
