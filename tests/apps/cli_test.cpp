// The hxprops program as a user runs it: the default case, the options, the output files, and every
// class of bad input (exit status 2, a message naming file, line and field, no output files).
#include <gtest/gtest.h>

#include <cstdint>

#include "plot.h"
#include "test_support.h"

namespace hxprops {
namespace {

namespace fs = std::filesystem;
using test::run_hxprops;
using test::ScratchDir;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Cli, NoArgumentsRunsTheDefaultCase) {
  ScratchDir dir;
  const test::RunResult r = run_hxprops({}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* part : {"case: <default case>; 11 points", "side 0: overhead vapour", "side 1: cooling water",
                           "dew point", "liquid 2", "duties: side 0 -", "(released)", "(taken up)"}) {
    EXPECT_TRUE(contains(r.out, part)) << part;
  }
  EXPECT_FALSE(contains(r.out, "1e+35"));  // an absent phase never shows the missing value
  EXPECT_FALSE(contains(r.out, "1e35"));
  EXPECT_TRUE(dir.listing().empty());  // nothing written without --csv, --plot, --trace
}

TEST(Cli, ShippedDefaultCaseFileGivesTheSameOutput) {
  ScratchDir dir;
  const test::RunResult embedded = run_hxprops({}, dir.path());
  const test::RunResult file = run_hxprops({"--case", HXPROPS_DEFAULT_CASE_FILE}, dir.path());
  ASSERT_EQ(file.status, 0) << file.err;
  EXPECT_EQ(test::without_case_line(file.out), test::without_case_line(embedded.out));
}

TEST(Cli, DumpedCaseRunsToTheSameOutput) {
  ScratchDir dir;
  const test::RunResult dump = run_hxprops({"--dump-case", "--points", "6"}, dir.path());
  ASSERT_EQ(dump.status, 0) << dump.err;
  test::write_file(dir / "dumped.toml", dump.out);
  const test::RunResult again = run_hxprops({"--case", "dumped.toml"}, dir.path());
  const test::RunResult direct = run_hxprops({"--points", "6"}, dir.path());
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(test::without_case_line(again.out), test::without_case_line(direct.out));
}

TEST(Cli, HelpDocumentsEveryOptionWithUnits) {
  ScratchDir dir;
  const test::RunResult r = run_hxprops({"--help"}, dir.path());
  ASSERT_EQ(r.status, 0);
  for (const char* part : {"--case", "--points", "--csv", "--plot", "--trace", "--dump-case", "[K]", "[kW]",
                           "kmol/s", "Pa", "[kg/m3]", "[mPa s]", "Exit status"}) {
    EXPECT_TRUE(contains(r.out, part)) << part;
  }
}

TEST(Cli, CsvFilesHaveAHeaderAndOneRowPerPoint) {
  ScratchDir dir;
  const test::RunResult r = run_hxprops({"--points", "7", "--csv", "tables"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"tables", "tables/side0.csv", "tables/side1.csv"}));
  for (const char* name : {"tables/side0.csv", "tables/side1.csv"}) {
    const std::string text = test::read_file(dir / name);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8) << name;
    EXPECT_EQ(text.rfind("temperature:stream [K],duty:stream [kW],vapour_fraction:stream [mol/mol],", 0), 0u) << name;
  }
}

std::uint32_t big_endian(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

TEST(Cli, PlotIsAPngImageOfNonTrivialSize) {
  ScratchDir dir;
  const test::RunResult r = run_hxprops({"--plot", "curve.png"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(dir.listing(), (std::vector<std::string>{"curve.png"}));
  EXPECT_TRUE(is_png(dir / "curve.png"));
  EXPECT_GT(fs::file_size(dir / "curve.png"), 10000u);
  const std::string png = test::read_file(dir / "curve.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(big_endian(png, 16), 1000u);  // width
  EXPECT_EQ(big_endian(png, 20), 640u);   // height
}

TEST(Cli, TraceHoldsEveryTracedRoutine) {
  ScratchDir dir;
  const test::RunResult r = run_hxprops({"--points", "3", "--trace", "trace.txt"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string trace = test::read_file(dir / "trace.txt");
  for (const char* routine : {"HXFLSH", "HXPFRC", "HXPMWT", "HXPMFL", "HXPQFL", "HXPCPP", "HXPTHC", "HXPVIS",
                              "HXPSFT", "HXPDNS", "HXPTHV", "HXPTMP"}) {
    EXPECT_TRUE(contains(trace, std::string(" ***** Inside ") + routine + " ...")) << routine;
  }
}

// One class of bad input: files to lay down, the arguments, what stderr must say.
struct BadRun {
  const char* name;
  std::string case_text;  // written to case.toml when not empty
  std::vector<std::string> args;
  std::vector<std::string> says;
};

class BadRuns : public testing::TestWithParam<BadRun> {};

TEST_P(BadRuns, ExitTwoWithAMessageAndNoOutputFiles) {
  const BadRun& b = GetParam();
  ScratchDir dir;
  if (!b.case_text.empty()) test::write_file(dir / "case.toml", b.case_text);
  const std::vector<std::string> before = dir.listing();
  std::vector<std::string> args = b.args;
  for (const char* a : {"--csv", "out", "--plot", "plot.png", "--trace", "trace.txt"}) args.push_back(a);
  const test::RunResult r = run_hxprops(args, dir.path());
  EXPECT_EQ(r.status, 2) << r.err;
  for (const std::string& part : b.says) EXPECT_TRUE(contains(r.err, part)) << part << " in: " << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_EQ(dir.listing(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadRuns,
    testing::Values(
        BadRun{"unknown_component", test::small_case_with(13, "watter = 0.005"), {"--case", "case.toml"},
               {"case.toml:13: side0.flows.watter: unknown component"}},
        BadRun{"negative_flow", test::small_case_with(22, "water = -0.5"), {"--case", "case.toml"},
               {"case.toml:22: side1.flows.water: negative flow"}},
        BadRun{"malformed_file", test::small_case_with(16, "name = cold"), {"--case", "case.toml"},
               {"case.toml:16:", "malformed TOML"}},
        BadRun{"temperature_outside_range", test::small_case_with(7, "inlet_temperature = 3000.0"),
               {"--case", "case.toml"},
               {"case.toml:7: side0.inlet_temperature: temperature 3000 K is outside the databank's range"}},
        BadRun{"duty_outside_range", test::small_case_with(19, "duty = -1.0e8"), {"--case", "case.toml"},
               {"case.toml:19: side1.duty:", "the databank's range"}},
        BadRun{"missing_case_file", "", {"--case", "nowhere.toml"}, {"nowhere.toml: cannot open the case file"}},
        BadRun{"unknown_option", "", {"--colour", "red"}, {"--colour"}},
        BadRun{"points_out_of_range", "", {"--points", "1"}, {"--points"}},
        BadRun{"points_not_a_number", "", {"--points", "many"}, {"--points"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cli, OutputNamesThatCannotWorkAreBadInput) {
  ScratchDir dir;
  fs::create_directory(dir / "taken.png");
  test::write_file(dir / "file", "");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--plot", "taken.png", "--csv", "out"},
                                               std::vector<std::string>{"--trace", "taken.png", "--csv", "out"},
                                               std::vector<std::string>{"--csv", "file", "--trace", "t.txt"}}) {
    const test::RunResult r = run_hxprops(args, dir.path());
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_TRUE(contains(r.err, "hxprops: error: " + args[0] + ": ")) << r.err;
    EXPECT_EQ(dir.listing(), (std::vector<std::string>{"file", "taken.png"}));
  }
}

TEST(Cli, FailedPlotLeavesNoOtherFiles) {
  ScratchDir dir;
  // Without gnuplot on the PATH the run fails at its very end, after the CSV files and the trace.
  const test::RunResult r =
      run_hxprops({"--csv", "out", "--trace", "t.txt", "--plot", "curve.png"}, dir.path(), "/nonexistent");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(contains(r.err, "gnuplot")) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_TRUE(dir.listing().empty());
}

}  // namespace
}  // namespace hxprops
