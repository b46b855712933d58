// The trace formatter, field by field: integers and their overflow, the 14-position real field,
// labels with their exact lengths.
#include "trace/line.h"

#include <cmath>
#include <limits>
#include <string>

#include "support/fixture.h"

namespace kvt::test {
namespace {

std::string real(double v) {
  char buf[32];
  return {buf, trace::format_real(buf, v)};
}
std::string integer(int64_t v, int width) {
  char buf[32];
  return {buf, trace::format_int(buf, v, width)};
}

struct RealCase {
  double value;
  const char* text;
};

class RealField : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealField, Formats) { EXPECT_EQ(real(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Values, RealField,
    ::testing::Values(RealCase{0.0, " 0.0000000E+00"}, RealCase{-0.0, "-0.0000000E+00"},
                      RealCase{1.0, " 1.0000000E+00"}, RealCase{-1.0, "-1.0000000E+00"},
                      RealCase{373.15, " 3.7315000E+02"}, RealCase{0.000123456789, " 1.2345679E-04"},
                      RealCase{9.99999999, " 1.0000000E+01"}, RealCase{1.0e35, " 1.0000000E+35"},
                      RealCase{1.0e100, " 1.0000000+100"}, RealCase{-2.5e-150, "-2.5000000-150"},
                      RealCase{1.7976931348623157e308, " 1.7976931+308"}, RealCase{5e-324, " 4.9406565-324"},
                      RealCase{std::numeric_limits<double>::quiet_NaN(), "           NaN"},
                      RealCase{std::numeric_limits<double>::infinity(), "      Infinity"},
                      RealCase{-std::numeric_limits<double>::infinity(), "     -Infinity"}));

TEST(RealFieldWidth, AlwaysFourteen) {
  for (double v : {0.0, -1e-300, 123456789.0, -1e308, 4.2e-5}) EXPECT_EQ(real(v).size(), 14u) << v;
}

struct IntCase {
  int64_t value;
  int width;
  const char* text;
};

class IntField : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntField, Formats) { EXPECT_EQ(integer(GetParam().value, GetParam().width), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Values, IntField,
                         ::testing::Values(IntCase{0, 2, " 0"}, IntCase{7, 2, " 7"}, IntCase{99, 2, "99"},
                                           IntCase{100, 2, "**"}, IntCase{-9, 2, "-9"}, IntCase{-10, 2, "**"},
                                           IntCase{999, 3, "999"}, IntCase{1000, 3, "***"}, IntCase{-99, 3, "-99"},
                                           IntCase{-100, 3, "***"},
                                           IntCase{std::numeric_limits<int64_t>::min(), 3, "***"},
                                           IntCase{std::numeric_limits<int64_t>::max(), 2, "**"}));

class TraceLines : public KvtTest {};

TEST_F(TraceLines, LabelsKeepTheirTrailingBlanks) {
  trace::Writer w;
  w.integer("NCPM  ", 4);
  w.integer("NCPM ", 4);
  w.integer("NCPM", 4);
  w.integer("IPHS ", 1);
  w.integer("NSTRM", 123, 3);
  w.element("X1", 1000, 0.5);
  w.blank();
  w.heading("HXPCPP");
  const std::vector<std::string> expected = {
      " *****   NCPM       =  4",
      " *****    NCPM      =  4",
      " *****     NCPM     =  4",
      " *****    IPHS      =  1",
      " *****    NSTRM     = 123",
      " *****       X1(***) =  5.0000000E-01",
      " ",
      " ***** Inside HXPCPP ...",
  };
  EXPECT_EQ(trace(), expected) << joined(trace());
}

}  // namespace
}  // namespace kvt::test
