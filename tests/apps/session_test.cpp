// Bad input that only the host can judge: unknown components, pressures and temperatures outside its
// ranges, a duty that takes a stream outside them. Each names the file, line and field.
#include <gtest/gtest.h>

#include <string>

#include "case_file.h"
#include "curve.h"
#include "library_session.h"
#include "test_support.h"

namespace hxprops {
namespace {

using test::small_case_with;

struct HostBadCase {
  const char* name;
  std::string text;
  int line;
  const char* field;
  const char* says;
};

class HostRejects : public testing::TestWithParam<HostBadCase> {};

TEST_P(HostRejects, NamingFileLineAndField) {
  const HostBadCase& b = GetParam();
  const Case c = parse_case(b.text, "case.toml");
  try {
    Session session(c);
    compute_side_curve(c, 0);
    compute_side_curve(c, 1);
    FAIL() << "accepted";
  } catch (const InputError& e) {
    EXPECT_EQ(e.where().file, "case.toml");
    EXPECT_EQ(e.where().line, b.line) << e.what();
    EXPECT_EQ(e.field(), b.field) << e.what();
    EXPECT_NE(std::string(e.what()).find(b.says), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostRejects,
    testing::Values(
        HostBadCase{"unknown_component", small_case_with(13, "benzen = 0.005"), 13, "side0.flows.benzen",
                    "unknown component \"benzen\""},
        HostBadCase{"unknown_component_side1", small_case_with(22, "Water = 0.5"), 22, "side1.flows.Water",
                    "unknown component"},
        HostBadCase{"inlet_above_range", small_case_with(7, "inlet_temperature = 5000.0"), 7, "side0.inlet_temperature",
                    "outside the databank's range"},
        HostBadCase{"outlet_below_range", small_case_with(8, "outlet_temperature = 150.0"), 8,
                    "side0.outlet_temperature", "outside the databank's range"},
        HostBadCase{"cold_inlet_below_range", small_case_with(18, "inlet_temperature = 250.0"), 18,
                    "side1.inlet_temperature", "outside the databank's range"},
        HostBadCase{"pressure_above_range", small_case_with(17, "pressure = 1.0e15"), 17, "side1.pressure",
                    "outside the host's range"},
        HostBadCase{"duty_beyond_range", small_case_with(19, "duty = -1.0e8"), 19, "side1.duty", "cannot be met"},
        HostBadCase{"duty_just_beyond_range", small_case_with(19, "duty = -1.2e6"), 19, "side1.duty",
                    "cannot be met"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Session, RangeOfASideIsThatOfItsComponents) {
  const Case c = parse_case(test::small_case(), "case.toml");
  Session session(c);
  const TemperatureRange water_only = side_temperature_range(c, 1);
  const TemperatureRange both = side_temperature_range(c, 0);
  EXPECT_LT(water_only.min, water_only.max);
  EXPECT_GE(both.min, water_only.min);  // side 0 has water too
  EXPECT_LE(both.max, water_only.max);
}

}  // namespace
}  // namespace hxprops
