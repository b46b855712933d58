// The diagnostic traces of the phase-property routines, byte for byte, and their switches.
#include <string>
#include <vector>

#include "properties/family.h"

namespace kvt::test {
namespace {

class PropertyTraceTest : public FamilyTest {
 protected:
  void SetUp() override {
    FamilyTest::SetUp();
    stream().nstrm = 2;  // the trace lists STRM(1..NSTRM) only
  }
};

// The lines every trace of this family starts with, and the stream part.
std::vector<std::string> head(const char* name) { return {" ", std::string(" ***** Inside ") + name + " ..."}; }
const std::vector<std::string> kStrm = {" *****     STRM(  1) =  1.0000000E+00",
                                        " *****     STRM(  2) =  2.0000000E+00"};
const std::vector<std::string> kConditions = {" *****        T     =  3.5000000E+02",
                                              " *****        P     =  2.0000000E+05"};
const std::vector<std::string> kX = {" *****        X(  1) =  5.6250000E-01", " *****        X(  2) =  3.1250000E-01",
                                     " *****        X(  3) =  1.2500000E-01"};
const std::vector<std::string> kY = {" *****        Y(  1) =  5.0000000E-01", " *****        Y(  2) =  2.5000000E-01",
                                     " *****        Y(  3) =  2.5000000E-01"};
const std::vector<std::string> kX1 = {" *****       X1(  1) =  7.5000000E-01", " *****       X1(  2) =  2.5000000E-01",
                                      " *****       X1(  3) =  0.0000000E+00"};
const std::vector<std::string> kX2 = {" *****       X2(  1) =  0.0000000E+00", " *****       X2(  2) =  5.0000000E-01",
                                      " *****       X2(  3) =  5.0000000E-01"};

std::vector<std::string> cat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Phase code 7 and basis -3 print as their normalised values; the whole stream lists X, then Y.
TEST_F(PropertyTraceTest, HeatCapacity) {
  KVT_HXPDBG[1] = 1;
  host().outputs["GOSA_ENTHL"] = {100.0, 96.0};
  host().outputs["GOSA_ENTHV"] = {40.0};
  ask(KVT_HXPCPP, stream(), 7, -3);
  const auto expected = cat(
      {head("HXPCPP"),
       {" *****    NSTRM     =  2", " *****    IPHS      =  1", " *****    IBAS      =  0", " *****   NCPM       =  3"},
       kStrm,
       kConditions,
       kX,
       kY,
       {" *****      CPP     =  8.4250000E+01"}});
  EXPECT_EQ(trace(), expected) << joined(trace());
}

TEST_F(PropertyTraceTest, Conductivity) {
  KVT_HXPDBG[12] = 1;
  host().outputs["GOSA_TCONL"] = {100.0};
  ask(KVT_HXPTHC, stream(), 4, 1);
  const auto expected = cat({head("HXPTHC"),
                             {" *****    NSTRM     =  2", " *****    IPHS      =  4", " *****   NCPM       =  3"},
                             kStrm,
                             kConditions,
                             kX1,
                             {" *****      THC     =  1.0000000E+02"}});
  EXPECT_EQ(trace(), expected) << joined(trace());
}

TEST_F(PropertyTraceTest, Viscosity) {
  KVT_HXPDBG[16] = 1;
  host().outputs["GOSA_VISCL"] = {0.25};
  ask(KVT_HXPVIS, stream(), 5);
  const auto expected = cat({head("HXPVIS"),
                             {" *****    NSTRM     =  2", " *****    IPHS      =  5", " *****   NCPM       =  3"},
                             kStrm,
                             kConditions,
                             kX2,
                             {" *****      VIS     =  2.5000000E-01"}});
  EXPECT_EQ(trace(), expected) << joined(trace());
}

// The whole stream lists X but never Y; the vapour lists no composition at all.
TEST_F(PropertyTraceTest, SurfaceTension) {
  KVT_HXPDBG[11] = 1;
  host().outputs["GOSA_SRFTEN"] = {100.0, 96.0};
  ask(KVT_HXPSFT, stream(), 1);
  auto expected = cat({head("HXPSFT"),
                       {" *****    NSTRM     =  2", " *****    IPHS      =  1", " *****   NCPM       =  3"},
                       kStrm,
                       kConditions,
                       kX,
                       {" *****      SFT     =  9.9000000E+01"}});
  EXPECT_EQ(trace(), expected) << joined(trace());

  host().records.clear();
  ask(KVT_HXPSFT, stream(), 2);
  expected = cat({head("HXPSFT"),
                  {" *****    NSTRM     =  2", " *****    IPHS      =  2", " *****   NCPM       =  3"},
                  kStrm,
                  kConditions,
                  {" *****      SFT     =  1.0000000E+35"}});
  EXPECT_EQ(trace(), expected) << joined(trace());
}

// "NCPM " is five characters here; the volume comes before the density.
TEST_F(PropertyTraceTest, Density) {
  KVT_HXPDBG[2] = 1;
  ask(KVT_HXPDNS, stream(), 2, 1);
  const auto expected = cat({head("HXPDNS"),
                             {" *****    NSTRM     =  2", " *****    IPHS      =  2", " *****    NCPM      =  3"},
                             kStrm,
                             kConditions,
                             kY,
                             {" *****      VOL     =  5.0000000E-01", " *****      DNS     =  2.0000000E+00"}});
  EXPECT_EQ(trace(), expected) << joined(trace());
}

// An absent phase prints the missing value as its volume.
TEST_F(PropertyTraceTest, DensityOfAnAbsentPhase) {
  KVT_HXPDBG[2] = 1;
  set_split(0.0, 1.0);
  ask(KVT_HXPDNS, stream(), 5);
  ASSERT_GE(trace().size(), 2u);
  EXPECT_EQ(trace()[trace().size() - 2], " *****      VOL     =  1.0000000E+35");
  EXPECT_EQ(trace().back(), " *****      DNS     =  1.0000000E+35");
}

TEST_F(PropertyTraceTest, HeatOfVaporisation) {
  KVT_HXPDBG[13] = 1;
  host().outputs["GOSA_VTHRM"] = {50.0, 30.0, 100.0};
  host().outputs["GOSA_LTHRM"] = {10.0, 10.0, 0.0};
  ask(KVT_HXPTHV, stream(), 4);
  const auto expected =
      cat({head("HXPTHV"), {" *****    NSTRM     =  2"}, kStrm, {" *****      THV     =  3.5000000E+01"}});
  EXPECT_EQ(trace(), expected) << joined(trace());
}

// Switches: heat of vaporisation traces only for exactly 1, the others for any positive value.
class TraceSwitchTest : public FamilyTest, public ::testing::WithParamInterface<const Member*> {};

TEST_P(TraceSwitchTest, OwnWordAndTest) {
  const Member& m = *GetParam();
  for (int64_t value : {-1, 0, 1, 2, 5}) {
    SCOPED_TRACE(value);
    host().records.clear();
    KVT_HXPDBG[m.trace_word - 1] = value;
    ask(m.routine, stream(), 4);
    const bool on = m.trace_equals_one ? value == 1 : value >= 1;
    EXPECT_EQ(!trace().empty(), on);
  }
}

// Words 7, 8 and 18 to 28 switch nothing.
TEST_P(TraceSwitchTest, SpareWordsSwitchNothing) {
  for (int w : {7, 8, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28}) KVT_HXPDBG[w - 1] = 1;
  for (int64_t code = 1; code <= 5; ++code) ask(GetParam()->routine, stream(), code);
  EXPECT_TRUE(host().records.empty());
}

INSTANTIATE_TEST_SUITE_P(Family, TraceSwitchTest, ::testing::Values(&kCpp, &kThc, &kVis, &kSft, &kDns, &kThv),
                         member_name);

}  // namespace
}  // namespace kvt::test
