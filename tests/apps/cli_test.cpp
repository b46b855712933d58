// The program as a user runs it: the default case, the output files in either unit system, the run
// command from another folder, and every class of bad input (exit status 2, a message naming file,
// line and field, no output files).
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "plot.h"
#include "test_support.h"

namespace hxprops {
namespace {

namespace fs = std::filesystem;
using test::run_in;
using test::ScratchDir;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::vector<std::string>> csv_rows(const fs::path& file) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(test::read_file(file));
  for (std::string line; std::getline(in, line);) {
    rows.emplace_back();
    bool quoted = false;
    std::string cell;
    for (const char ch : line + ",") {
      if (ch == '"') quoted = !quoted;
      else if (ch == ',' && !quoted) rows.back().push_back(std::exchange(cell, ""));
      else cell += ch;
    }
  }
  return rows;
}

// Every line of the default case's excerpt in a document (the code block that starts with its title
// line) is a line of the program's output.
void expect_excerpt_true(const std::string& document, const std::string& out) {
  std::set<std::string> lines;
  std::istringstream o(out);
  for (std::string l; std::getline(o, l);) lines.insert(l.substr(0, l.find_last_not_of(' ') + 1));
  const std::string text = test::read_file(document);
  const std::size_t start = text.find("```\nhxprops: Overhead condenser");
  ASSERT_NE(start, std::string::npos) << document;
  std::istringstream in(text.substr(start + 4, text.find("```", start + 4) - start - 4));
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l != "  ..." && l.rfind("case: ", 0) != 0) { EXPECT_TRUE(lines.count(l)) << document << ": " << l; }
  }
}

TEST(Cli, DefaultCaseWithEveryOutput) {
  ScratchDir dir;
  const test::RunResult r = run_in(dir.path(), {"--csv", "tables", "--plot", "curve.svg", "--json", "result.json", "--compositions"});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* part : {"case: <default case>; 11 points", "side 0: overhead vapour (ideal)", "dew point", "liquid 2 appears",
                           "degC", "bar", "exchanger (counter-current)", "minimum approach", "LMTD", "weighted MTD", "UA",
                           "liquid 2 composition"}) {
    EXPECT_TRUE(contains(r.out, part)) << part;
  }
  EXPECT_FALSE(contains(r.out, "1e+35"));  // an absent phase never shows the missing value
  expect_excerpt_true(HXPROPS_SOURCE_DIR "/README.md", r.out);
  expect_excerpt_true(HXPROPS_SOURCE_DIR "/docs/hxprops.md", r.out);
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"curve.svg", "result.json", "tables", "tables/side0.csv", "tables/side1.csv"}));
  EXPECT_TRUE(is_image(dir / "curve.svg", PlotFormat::Svg));
  EXPECT_EQ(run_in(dir.path(), {"-m", "json.tool", "result.json"}, "", "python3").status, 0);
  const auto rows = csv_rows(dir / "tables/side0.csv");
  ASSERT_EQ(rows.size(), 1u + 11u + 2u);  // header, points, the dew point and the second liquid
  const auto& head = rows[0];
  const auto column = [&](const std::string& name) { return std::find(head.begin(), head.end(), name) - head.begin(); };
  for (const char* name : {"temperature:stream [degC]", "pressure:stream [bar]", "enthalpy:stream [kJ/kg]", "boundary", "flags",
                           "mole_fraction.water:liquid2 [mol/mol]"}) {
    EXPECT_LT(column(name), static_cast<long>(head.size())) << name;
  }
  EXPECT_EQ(rows[6][column("boundary")], "dew point: liquid 1 appears");
  const bool flagged = std::any_of(rows.begin() + 1, rows.end(), [&](const auto& row) { return !row[column("flags")].empty(); });
  EXPECT_TRUE(flagged);  // the '*' of the tables
  // The same run in SI units: the same temperatures in K, the same pressures in Pa.
  ScratchDir si;
  ASSERT_EQ(run_in(si.path(), {"--csv", ".", "--units", "si", "--plot", "c.png"}).status, 0);
  EXPECT_TRUE(is_image(si / "c.png", PlotFormat::Png));
  const auto si_rows = csv_rows(si / "side0.csv");
  for (std::size_t k = 1; k < rows.size(); ++k) {
    EXPECT_NEAR(std::stod(si_rows[k][0]), std::stod(rows[k][0]) + 273.15, 1.0e-6);
    EXPECT_NEAR(std::stod(si_rows[k][1]), std::stod(rows[k][1]) * 1.0e5, 1.0e-3);
  }
}

TEST(Cli, DumpedCaseRunsToTheSameOutput) {
  ScratchDir dir;
  const test::RunResult dump = run_in(dir.path(), {"--dump-case", "--points", "6", "--spacing", "duty"});
  ASSERT_EQ(dump.status, 0) << dump.err;
  test::write_file(dir / "dumped.toml", dump.out);
  const auto body = [](const std::string& out) { return out.substr(out.find("\nside 0")); };
  EXPECT_EQ(body(run_in(dir.path(), {"--case", "dumped.toml"}).out), body(run_in(dir.path(), {"--points", "6", "--spacing", "duty"}).out));
  EXPECT_TRUE(contains(run_in(dir.path(), {"--list-components"}).out, "n-hexane: "));
}

TEST(Cli, RunCommandWorksInTheCallersFolder) {
  ScratchDir dir;
  fs::create_directory(dir / "work");
  test::write_file(dir / "work/my.toml", test::case_text("steam_condenser.toml"));
  const test::RunResult r = run_in(dir / "work", {"--case", "my.toml", "--csv", "out", "--json", "r.json"},
                                   "KVT_RUN_BUILD=" HXPROPS_BUILD_DIR, "bash " HXPROPS_RUN_COMMAND);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(contains(r.out, "case: my.toml"));
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"work", "work/my.toml", "work/out", "work/out/side0.csv", "work/out/side1.csv", "work/r.json"}));
}

// One class of bad input: the case text (from a file of tests/apps/cases, one line replaced), the
// arguments, what stderr must say.
struct BadRun {
  const char* name;
  std::string base;  // a case file, or "" for none
  std::string from, to;  // a line replaced in it
  std::vector<std::string> args;
  std::string says;
};

class BadRuns : public testing::TestWithParam<BadRun> {};

TEST_P(BadRuns, ExitTwoWithAMessageAndNoOutputFiles) {
  const BadRun& b = GetParam();
  ScratchDir dir;
  if (!b.base.empty()) {
    std::string text = test::case_text(b.base);
    if (!b.from.empty()) text.replace(text.find(b.from), b.from.size(), b.to);
    test::write_file(dir / "case.toml", text);
  }
  fs::create_directory(dir / "folder");
  const std::vector<std::string> before = dir.listing();
  std::vector<std::string> args = b.args;
  if (!b.base.empty()) args.insert(args.begin(), {"--case", "case.toml"});
  if (std::find(args.begin(), args.end(), "--csv") == args.end()) args.insert(args.end(), {"--csv", "out"});
  args.insert(args.end(), {"--trace", "trace.txt", "--json", "r.json"});
  const test::RunResult r = run_in(dir.path(), args);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_TRUE(contains(r.err, "hxprops: error: " + b.says)) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_EQ(dir.listing(), before);
}

const std::string kCond = "steam_condenser.toml", kCross = "crossed.toml";
INSTANTIATE_TEST_SUITE_P(
    Inputs, BadRuns,
    testing::Values(
        BadRun{"unknown_component", kCond, "water = \"3.3", "watter = \"3.3", {}, "case.toml:13: side0.flows.watter: unknown component"},
        BadRun{"negative_flow", kCond, "water = 1.0", "water = -1.0", {}, "case.toml:24: side1.mass_fractions.water: negative flow"},
        BadRun{"malformed_file", kCond, "name = \"steam\"", "name = steam", {}, "case.toml:6: malformed TOML"},
        BadRun{"non_ascii_key", kCond, "name = \"steam\"", "n\u00e4me = \"steam\"", {}, "case.toml:6: malformed TOML: a character beyond ASCII"},
        BadRun{"infinite_value", kCond, "duty = \"-2.1 MW\"", "duty = -inf", {}, "case.toml:10: side0.duty: the value is not finite"},
        BadRun{"unknown_unit", kCond, "\"1.5 bar\"", "\"1.5 bars\"", {}, "case.toml:7: side0.inlet_pressure: unknown unit \"bars\""},
        BadRun{"temperature_outside_range", kCond, "\"20 degC\"", "\"3000 degC\"", {}, "case.toml:19: side1.inlet_temperature: temperature 3273.15 K is outside"},
        BadRun{"duty_outside_range", kCond, "-2.1 MW", "-90 MW", {}, "case.toml:10: side0.duty: cannot be met"},
        BadRun{"two_balances", kCond, "duty = \"-2.1 MW\"", "duty = \"balance\"", {}, "case.toml:20: side1.duty: only one side"},
        BadRun{"duties_differ", kCond, "duty = \"balance\"", "duty = \"1 MW\"", {}, "case.toml:20: side1.duty: the duties do not balance"},
        BadRun{"temperature_cross", kCross, "", "", {}, "case.toml: temperature cross: side 1 (cold) is at "},
        BadRun{"case_is_a_folder", "", "", "", {"--case", "folder"}, "folder: is a folder"},
        BadRun{"csv_and_plot_alike", "", "", "", {"--plot", "same.png", "--csv", "same.png"}, "--csv: --plot and --csv name the same"},
        BadRun{"databank_missing", "", "", "", {"--databank", "nowhere.toml"}, "--databank: cannot load the databank: nowhere.toml"},
        BadRun{"plot_format", "", "", "", {"--plot", "curve.jpg"}, "--plot: curve.jpg: the image's name must end in .png or .svg"},
        BadRun{"points_not_a_number", "", "", "", {"--points", "many"}, "--points: \"many\" is not a whole number"},
        BadRun{"points_out_of_range", "", "", "", {"--points", "1"}, "--points: 1 is outside 2 to 1000"},
        BadRun{"unknown_option", "", "", "", {"--colour", "red"}, "The following arguments were not expected: red --colour"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cli, CrossAllowedOnRequestAndFailedPlotLeavesNothing) {
  ScratchDir dir;
  test::write_file(dir / "case.toml", test::case_text("crossed.toml"));
  const test::RunResult r = run_in(dir.path(), {"--case", "case.toml", "--allow-cross", "--trace", "t.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(contains(r.out, "temperature cross: closest approach -")) << r.out;
  EXPECT_TRUE(contains(test::read_file(dir / "t.txt"), " ***** Inside HXFLSH ..."));
  fs::remove(dir / "t.txt");
  // Without gnuplot on the PATH the run fails at its very end, after the CSV files and the trace.
  const test::RunResult f = run_in(dir.path(), {"--csv", "out", "--trace", "t.txt", "--plot", "curve.png"}, "PATH=/nonexistent");
  EXPECT_EQ(f.status, 1);
  EXPECT_TRUE(contains(f.err, "gnuplot")) << f.err;
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"case.toml"}));
}

}  // namespace
}  // namespace hxprops
