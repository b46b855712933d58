// Case files: the shipped default against the embedded one, round trips, and every malformed input
// with the file, line and field its message names.
#include <gtest/gtest.h>

#include <string>

#include "case_file.h"
#include "default_case.h"
#include "test_support.h"

namespace hxprops {
namespace {

using test::small_case;
using test::small_case_with;

TEST(DefaultCase, EmbeddedCaseIsTheShippedFile) {
  const Case shipped = read_case_file(HXPROPS_DEFAULT_CASE_FILE);
  const Case embedded = default_case();
  EXPECT_TRUE(shipped.same_content(embedded));
  EXPECT_EQ(test::read_file(HXPROPS_DEFAULT_CASE_FILE), std::string(default_case_text()));
  EXPECT_EQ(embedded.origin, kDefaultCaseOrigin);
}

TEST(DefaultCase, GuideShowsTheDefaultCase) {
  const std::string guide = test::read_file(HXPROPS_GUIDE);
  const std::size_t begin = guide.find("```toml\n");
  ASSERT_NE(begin, std::string::npos);
  const std::size_t end = guide.find("```", begin + 8);
  ASSERT_NE(end, std::string::npos);
  const Case shown = parse_case(guide.substr(begin + 8, end - begin - 8), "docs/hxprops.md");
  EXPECT_TRUE(shown.same_content(default_case())) << write_case(shown);
}

TEST(DefaultCase, HotVapourWithWaterAndNitrogenAgainstCoolingWater) {
  const Case c = default_case();
  EXPECT_EQ(c.points, 11);
  const Side& hot = c.sides[0];
  EXPECT_EQ(hot.options.phases, PhaseSet::VapourLiquidFreeWater);
  EXPECT_EQ(hot.outlet, OutletSpec::Temperature);
  EXPECT_LT(hot.outlet_temperature, hot.inlet_temperature);
  std::vector<std::string> names;
  for (const ComponentFlow& f : hot.flows) names.push_back(f.name);
  for (const char* needed : {"water", "nitrogen", "n-hexane"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), needed), names.end()) << needed;
  }
  const Side& cold = c.sides[1];
  ASSERT_EQ(cold.flows.size(), 1u);
  EXPECT_EQ(cold.flows[0].name, "water");
  EXPECT_EQ(cold.outlet, OutletSpec::Duty);
  EXPECT_GT(cold.duty, 0.0);
}

TEST(CaseFile, ReadsEveryField) {
  const Case c = parse_case(small_case(), "small.toml");
  EXPECT_EQ(c.title, "Small test case");
  EXPECT_EQ(c.points, 5);
  EXPECT_EQ(c.sides[0].name, "hot");
  EXPECT_DOUBLE_EQ(c.sides[0].pressure, 2.0e5);
  EXPECT_DOUBLE_EQ(c.sides[0].inlet_temperature, 400.0);
  EXPECT_DOUBLE_EQ(c.sides[0].outlet_temperature, 320.0);
  EXPECT_EQ(c.sides[0].options.phases, PhaseSet::VapourLiquidFreeWater);
  EXPECT_EQ(c.sides[1].outlet, OutletSpec::Duty);
  EXPECT_DOUBLE_EQ(c.sides[1].duty, 2.0e5);
  EXPECT_EQ(c.sides[1].options.phases, PhaseSet::VapourLiquid);  // the default
  EXPECT_EQ(c.lines.at("side0.flows.water"), 13);
  EXPECT_EQ(c.lines.at("side1.duty"), 19);
}

// small_case() with the text `from` replaced by `to`.
std::string small_case_replacing(const std::string& from, const std::string& to) {
  std::string text = small_case();
  text.replace(text.find(from), from.size(), to);
  return text;
}

TEST(CaseFile, FlowsKeepTheOrderOfTheText) {
  const Case c = parse_case(small_case_replacing("n-hexane = 0.01\nwater = 0.005\n",
                                                 "water = 0.005\nn-hexane = 0.01\nbenzene = 0.002\n"),
                            "x.toml");
  ASSERT_EQ(c.sides[0].flows.size(), 3u);
  EXPECT_EQ(c.sides[0].flows[0].name, "water");
  EXPECT_EQ(c.sides[0].flows[1].name, "n-hexane");
  EXPECT_EQ(c.sides[0].flows[2].name, "benzene");
}

TEST(CaseFile, IntegersCountAsNumbers) {
  const Case c = parse_case(small_case_with(7, "inlet_temperature = 400"), "x.toml");
  EXPECT_DOUBLE_EQ(c.sides[0].inlet_temperature, 400.0);
}

Case varied_case() {
  Case c = parse_case(small_case(), "x.toml");
  c.title = "quotes \" and \\ backslash, tab\t";
  c.points = 37;
  c.sides[0].name = "side with 'apostrophes'";
  c.sides[0].flows = {{"water", 0.1}, {"n-heptane", 1.0 / 3.0}, {"nitrogen", 1e-7}};
  c.sides[0].options.option_list = {1, -2, 3, 0, 99, 7};
  c.sides[0].options.flash_option = 4;
  c.sides[0].options.flash_real_option = 1.0e-9;
  c.sides[1].options.phases = PhaseSet::LiquidOnly;
  c.sides[1].outlet = OutletSpec::Temperature;
  c.sides[1].outlet_temperature = 0.1 + 0.2 + 300.0;
  return c;
}

struct RoundTripCase {
  const char* name;
  Case (*make)();
};

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, WrittenCaseReadsBackTheSame) {
  const Case c = GetParam().make();
  const std::string text = write_case(c);
  const Case back = parse_case(text, "written.toml");
  EXPECT_TRUE(back.same_content(c)) << text;
  EXPECT_EQ(write_case(back), text);
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundTrip,
                         testing::Values(RoundTripCase{"default", [] { return default_case(); }},
                                         RoundTripCase{"small", [] { return parse_case(small_case(), "x.toml"); }},
                                         RoundTripCase{"varied", varied_case},
                                         RoundTripCase{"vapour_only",
                                                       [] {
                                                         Case c = default_case();
                                                         c.sides[0].options.phases = PhaseSet::VapourOnly;
                                                         c.sides[1].duty = -1.25e5;
                                                         return c;
                                                       }}),
                         [](const auto& info) { return std::string(info.param.name); });

// A malformed case: the text, then what the message must name.
struct BadCase {
  const char* name;
  std::string text;
  int line;           // 0: no line
  const char* field;  // "" : no field
  const char* says;   // part of the message
};

class BadCaseFile : public testing::TestWithParam<BadCase> {};

TEST_P(BadCaseFile, NamesFileLineAndField) {
  const BadCase& b = GetParam();
  try {
    parse_case(b.text, "bad.toml");
    FAIL() << "accepted";
  } catch (const InputError& e) {
    EXPECT_EQ(e.where().file, "bad.toml");
    EXPECT_EQ(e.where().line, b.line) << e.what();
    EXPECT_EQ(e.field(), b.field) << e.what();
    EXPECT_NE(std::string(e.what()).find(b.says), std::string::npos) << e.what();
    const std::string prefix = b.line > 0 ? "bad.toml:" + std::to_string(b.line) + ": " : "bad.toml: ";
    EXPECT_EQ(std::string(e.what()).rfind(prefix, 0), 0u) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadCaseFile,
    testing::Values(
        BadCase{"unterminated_string", small_case_with(5, "name = \"hot"), 5, "", "malformed TOML"},
        BadCase{"not_toml", small_case_with(3, "this is not toml"), 3, "", "malformed TOML"},
        BadCase{"duplicate_key", small_case_with(13, "n-hexane = 0.02"), 13, "", "malformed TOML"},
        BadCase{"negative_flow", small_case_with(13, "water = -0.005"), 13, "side0.flows.water", "negative flow"},
        BadCase{"zero_total_flow", small_case_with(22, "water = 0.0"), 21, "side1.flows", "add up to zero"},
        BadCase{"flow_not_a_number", small_case_with(22, "water = \"lots\""), 22, "side1.flows.water",
                "expected a number in kmol/s, found a string"},
        BadCase{"unknown_key", small_case_with(6, "pressur = 2.0e5"), 6, "side0.pressur", "unknown key"},
        BadCase{"unknown_top_key", small_case_with(3, "colour = \"blue\""), 3, "colour", "unknown key"},
        BadCase{"pressure_as_text", small_case_with(17, "pressure = \"3 bar\""), 17, "side1.pressure",
                "expected a number in Pa"},
        BadCase{"missing_pressure", small_case_with(6, ""), 4, "side0.pressure", "missing"},
        BadCase{"negative_pressure", small_case_with(6, "pressure = -1.0"), 6, "side0.pressure", "must be positive"},
        BadCase{"negative_temperature", small_case_with(7, "inlet_temperature = -5.0"), 7, "side0.inlet_temperature",
                "must be positive"},
        BadCase{"outlet_and_duty", small_case_with(19, "duty = 2.0e5\noutlet_temperature = 300.0"), 19, "side1.duty",
                "not both"},
        BadCase{"no_outlet", small_case_with(19, ""), 15, "side1.outlet_temperature", "outlet_temperature (K) or duty (W)"},
        BadCase{"outlet_equals_inlet", small_case_with(8, "outlet_temperature = 400.0"), 8, "side0.outlet_temperature",
                "equals the inlet"},
        BadCase{"zero_duty", small_case_with(19, "duty = 0.0"), 19, "side1.duty", "zero"},
        BadCase{"unknown_phases", small_case_with(9, "phases = \"plasma\""), 9, "side0.phases", "unknown phase set"},
        BadCase{"short_option_list", small_case_with(9, "option_list = [1, 2, 3]"), 9, "side0.option_list",
                "six integers"},
        BadCase{"fractional_option", small_case_with(9, "option_list = [1, 2, 3, 4, 5, 6.5]"), 9, "side0.option_list",
                "expected an integer"},
        BadCase{"too_few_points", small_case_with(2, "points = 1"), 2, "points", "between 2 and 1000"},
        BadCase{"points_as_float", small_case_with(2, "points = 5.0"), 2, "points", "expected an integer"},
        BadCase{"side_not_a_table", small_case_with(3, "side2 = 1"), 3, "side2", "unknown key"},
        BadCase{"missing_side", small_case().substr(0, small_case().find("[side1]")), 0, "side1", "missing table"},
        BadCase{"flows_not_a_table", small_case_replacing("[side0.flows]\nn-hexane = 0.01\nwater = 0.005\n", "flows = 3\n"),
                11, "side0.flows", "expected a table"},
        BadCase{"missing_flows", small_case_replacing("[side0.flows]\nn-hexane = 0.01\nwater = 0.005\n", ""), 4,
                "side0.flows", "missing"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaseFile, MissingFileIsBadInputNamingIt) {
  try {
    read_case_file("/nonexistent/dir/case.toml");
    FAIL() << "accepted";
  } catch (const InputError& e) {
    EXPECT_EQ(e.where().file, "/nonexistent/dir/case.toml");
    EXPECT_NE(std::string(e.what()).find("cannot open"), std::string::npos);
  }
}

}  // namespace
}  // namespace hxprops
