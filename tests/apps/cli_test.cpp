// The program as a user runs it: the default case, the output files in either unit system, the run
// command from another folder, and every class of bad input (exit status 2, a message naming file,
// line and field, no output files).
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <thread>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <nlohmann/json.hpp>

#include "output/plot.h"
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
  for (const char* part : {"case: <default case>; 11 points", "side 0: overhead vapour (auto: peng-robinson; no pair has NRTL parameters)",
                           "side 1: cooling water (auto: iapws; water alone: IAPWS-IF97)", "dew point", "liquid 2 appears",
                           "degC", "bar", "exchanger (counter-current)", "minimum approach", "LMTD", "weighted MTD", "UA",
                           "liquid 2 composition",
                           "components: n-hexane (110-54-3), n-heptane (142-82-5), water (7732-18-5), nitrogen (7727-37-9)"}) {
    EXPECT_TRUE(contains(r.out, part)) << part;
  }
  EXPECT_FALSE(contains(r.out, "1e+35"));  // an absent phase never shows the missing value
  expect_excerpt_true(HXPROPS_SOURCE_DIR "/README.md", r.out);
  expect_excerpt_true(HXPROPS_SOURCE_DIR "/docs/hxprops.md", r.out);
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"curve.svg", "result.json", "tables", "tables/side0.csv", "tables/side1.csv"}));
  EXPECT_TRUE(is_image(dir / "curve.svg", PlotFormat::Svg));
  EXPECT_EQ(run_in(dir.path(), {"-m", "json.tool", "result.json"}, "", "python3").status, 0);
  EXPECT_TRUE(contains(test::read_file(dir / "result.json"),
                       R"("cas_numbers":{"n-hexane":"110-54-3","n-heptane":"142-82-5","water":"7732-18-5","nitrogen":"7727-37-9"})"));
  const auto rows = csv_rows(dir / "tables/side0.csv");
  ASSERT_EQ(rows.size(), 1u + 11u + 2u + 7u);  // header, points, the organic and the water dew points, rows where the heat is
  const auto& head = rows[0];
  const auto column = [&](const std::string& name) { return std::find(head.begin(), head.end(), name) - head.begin(); };
  for (const char* name : {"temperature:stream [degC]", "pressure:stream [bar]", "enthalpy:stream [kJ/kg]", "boundary", "flags",
                           "mole_fraction.water:liquid2 [mol/mol]"}) {
    EXPECT_LT(column(name), static_cast<long>(head.size())) << name;
  }
  EXPECT_EQ(rows[6][column("boundary")], "dew point: liquid 1 appears");
  EXPECT_EQ(rows[7][column("boundary")], "liquid 2 appears");
  EXPECT_EQ(rows[6][column("method [auto: no pair has NRTL parameters]")], "peng-robinson");
  const bool flagged = std::any_of(rows.begin() + 1, rows.end(), [&](const auto& row) { return !row[column("flags")].empty(); });
  EXPECT_TRUE(flagged);  // the '*' of the tables
  // every flagged row carries the codes of the host's notes, and the header explains each code
  const auto notes = std::find_if(head.begin(), head.end(), [](const std::string& h) { return h.rfind("notes [N1 = ", 0) == 0; });
  ASSERT_NE(notes, head.end());
  for (auto row = rows.begin() + 1; row != rows.end(); ++row) {
    if ((*row)[column("flags")].empty()) continue;
    const std::string codes = (*row)[static_cast<std::size_t>(notes - head.begin())];
    EXPECT_FALSE(codes.empty());
    EXPECT_TRUE(contains(*notes, codes.substr(0, codes.find(';')) + " = ")) << codes;
  }
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

// A dumped case, printed or written to a file, and the same saved as UTF-16 (what Windows PowerShell's
// `>` makes of it) run to the same output as the case they came from.
TEST(Cli, DumpedCaseRunsToTheSameOutput) {
  ScratchDir dir;
  const test::RunResult dump = run_in(dir.path(), {"--dump-case", "--points", "6", "--spacing", "duty"});
  ASSERT_EQ(dump.status, 0) << dump.err;
  ASSERT_EQ(run_in(dir.path(), {"--points", "6", "--spacing", "duty", "--dump-case", "dumped.toml"}).status, 0);
  EXPECT_EQ(test::read_file(dir / "dumped.toml"), dump.out);
  std::string utf16 = "\xFF\xFE";
  for (const char ch : dump.out) utf16 += std::string{ch, '\0'};
  test::write_file(dir / "utf16.toml", utf16);
  const auto body = [](const std::string& out) { return out.substr(out.find("\nside 0")); };
  const std::string expected = body(run_in(dir.path(), {"--points", "6", "--spacing", "duty"}).out);
  EXPECT_EQ(body(run_in(dir.path(), {"--case", "dumped.toml"}).out), expected);
  EXPECT_EQ(body(run_in(dir.path(), {"--case", "utf16.toml"}).out), expected);
  EXPECT_TRUE(contains(run_in(dir.path(), {"--list-components"}).out, "n-hexane (110-54-3, C6H14): "));
  // the same components named by formula and CAS number: the same output, with the databank's names
  std::string text = test::case_text("steam_condenser.toml");
  test::write_file(dir / "cond.toml", text);
  text.replace(text.find("water = \"3.3"), 5, "H2O");
  text.replace(text.rfind("water = 1.0"), 5, "\"7732-18-5\"");
  test::write_file(dir / "renamed.toml", text);
  const std::string renamed = run_in(dir.path(), {"--case", "renamed.toml"}).out;
  EXPECT_EQ(body(renamed), body(run_in(dir.path(), {"--case", "cond.toml"}).out));
  EXPECT_TRUE(contains(renamed, "components: water (7732-18-5)")) << renamed;
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

// Outputs other than regular files are written where they are: standard output (`-`, in the report's
// place), the null device, a pipe; a link is written through and stays a link.
TEST(Cli, OutputsOtherThanRegularFilesAreWrittenWhereTheyAre) {
  ScratchDir dir;
  ASSERT_EQ(run_in(dir.path(), {"--json", "r.json"}).status, 0);
  const std::string json = test::read_file(dir / "r.json");
  const test::RunResult to_stdout = run_in(dir.path(), {"--json", "-"});
  EXPECT_EQ(to_stdout.status, 0) << to_stdout.err;
  EXPECT_EQ(to_stdout.out, json);
#ifdef _WIN32
  const std::string null_device = "NUL";
#else
  const std::string null_device = "/dev/null";
#endif
  EXPECT_EQ(run_in(dir.path(), {"--trace", null_device, "--json", null_device}).status, 0);
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"r.json"}));
#ifndef _WIN32
  fs::create_symlink("r.json", dir / "link.txt");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  std::string piped;
  std::thread reader([&] { piped = test::read_file(dir / "pipe"); });
  const test::RunResult r = run_in(dir.path(), {"--json", "pipe", "--trace", "link.txt"});
  const int unblock = ::open((dir / "pipe").c_str(), O_WRONLY | O_NONBLOCK);  // (a reader still waiting)
  if (unblock >= 0) ::close(unblock);
  reader.join();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(piped, json);
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
  EXPECT_TRUE(contains(test::read_file(dir / "r.json"), " ***** Inside HXFLSH ..."));
#endif
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

const std::string kCond = "steam_condenser.toml", kCross = "crossed.toml", kCrude = "crude_preheat.toml";
INSTANTIATE_TEST_SUITE_P(
    Inputs, BadRuns,
    testing::Values(
        BadRun{"unknown_component", kCond, "water = \"3.3", "watter = \"3.3", {}, "case.toml:13: side0.flows.watter: unknown component 'watter': not in the databank (nearest: water"},
        BadRun{"ambiguous_component", kCond, "water = \"3.3", "C8H10 = \"3.3", {}, "case.toml:13: side0.flows.C8H10: component 'C8H10' is ambiguous: it names ethylbenzene (100-41-4), m-xylene (108-38-3), o-xylene (95-47-6), p-xylene (106-42-3)"},
        BadRun{"no_component_listed", "", "", "", {"--list-components", "zzz"}, "--list-components: no component's name"},
        BadRun{"negative_flow", kCond, "water = 1.0", "water = -1.0", {}, "case.toml:24: side1.mass_fractions.water: negative flow"},
        BadRun{"malformed_file", kCond, "name = \"steam\"", "name = steam", {}, "case.toml:6: malformed TOML"},
        BadRun{"non_ascii_key", kCond, "name = \"steam\"", "n\u00e4me = \"steam\"", {}, "case.toml:6: malformed TOML: a character beyond ASCII"},
        BadRun{"infinite_value", kCond, "duty = \"-2.1 MW\"", "duty = -inf", {}, "case.toml:10: side0.duty: the value is not finite"},
        BadRun{"unknown_unit", kCond, "\"1.5 bar\"", "\"1.5 bars\"", {}, "case.toml:7: side0.inlet_pressure: unknown unit \"bars\""},
        BadRun{"temperature_outside_range", kCond, "\"20 degC\"", "\"3000 degC\"", {}, "case.toml:19: side1.inlet_temperature: temperature 3273.15 K is outside"},
        BadRun{"duty_outside_range", kCond, "-2.1 MW", "-90 MW", {}, "case.toml:10: side0.duty: the stream cannot release 90000.00 kW: at most 2"},
        BadRun{"two_balances", kCond, "duty = \"-2.1 MW\"", "duty = \"balance\"", {}, "case.toml:20: side1.duty: only one side"},
        BadRun{"duties_differ", kCond, "duty = \"balance\"", "duty = \"1 MW\"", {}, "case.toml:20: side1.duty: the duties do not balance"},
        BadRun{"table_pressure_unit", "", "", "", {"--table-pressures", "2 bar, 3 bars"}, "--table-pressures: \" 3 bars\" is not a pressure"},
        BadRun{"table_pressure_twice", "", "", "", {"--table-pressures", "3 bar, 300 kPa"}, "--table-pressures: the level 3 bar is given twice"},
        BadRun{"table_pressure_of_the_option", kCond, "", "", {"--table-pressures", "-2 bar"}, "--table-pressures: a pressure must be positive"},
        BadRun{"side_table_pressure_twice", kCond, "duty = \"balance\"", "duty = \"balance\"\ntable_pressures = [\"inlet\", \"mid\", \"300 kPa\", \"3 bar\"]", {}, "case.toml:21: side1.table_pressures: the level 3 bar is given twice"},
        BadRun{"listed_temperature_outside", kCond, "duty = \"balance\"", "duty = \"balance\"\ntemperatures = [\"50 degC\"]", {}, "case.toml:21: side1.temperatures: 50.00 degC lies outside the side's range, 20.00 degC to 38.11 degC"},
        BadRun{"total_flow_without_fractions", kCond, "[side1.mass_fractions]\nwater = 1.0", "", {}, "case.toml:21: side1.total_flow: the fractions of the components are missing: give [side1.mole_fractions] or [side1.mass_fractions]"},
        BadRun{"assay_curve_falls", kCrude, "[99.0, \"500 degC\"]", "[99.0, \"400 degC\"]", {}, "case.toml:18: side0.assay.distillation: point 8 (99 %, 673.1 K) does not rise"},
        BadRun{"assay_two_points", kCrude, "[19.7, \"100 degC\"], [46.9, \"175 degC\"],\n                [61.7, \"250 degC\"], [73.0, \"300 degC\"], [97.3, \"450 degC\"], [99.0, \"500 degC\"]", "", {}, "case.toml:18: side0.assay.distillation: 2 points given, at least 3 needed"},
        BadRun{"assay_gravity", kCrude, "specific_gravity = 0.7969", "specific_gravity = 1.5", {}, "case.toml:20: side0.assay.specific_gravity: 1.5 is outside 0.55-1.2"},
        BadRun{"assay_curve_kind", kCrude, "curve = \"tbp\"", "curve = \"astm\"", {}, "case.toml:17: side0.assay.curve: \"astm\" is not a distillation taken"},
        BadRun{"assay_cuts_and_width", kCrude, "cuts = 20", "cuts = 20\ncut_width = \"15 K\"", {}, "case.toml:16: side0.assay.cuts: give one of cuts, cut_width"},
        BadRun{"assay_under_nrtl", kCrude, "method = \"peng-robinson\"", "method = \"nrtl\"", {}, "case.toml:10: side0.method: an assay's pseudo-components have no NRTL parameters"},
        BadRun{"temperature_cross", kCross, "", "", {}, "case.toml: temperature cross: side 1 (cold) is at "},
        BadRun{"case_is_a_folder", "", "", "", {"--case", "folder"}, "folder: is a folder"},
        BadRun{"csv_and_plot_alike", "", "", "", {"--plot", "same.png", "--csv", "same.png"}, "--csv: --plot and --csv name the same"},
        BadRun{"databank_missing", "", "", "", {"--databank", "nowhere.toml"}, "--databank: cannot load the databank: nowhere.toml"},
        BadRun{"plot_format", "", "", "", {"--plot", "curve.jpg"}, "--plot: curve.jpg: the image's name must end in .png or .svg"},
        BadRun{"property_plot_format", "", "", "", {"--plot-properties", "p.pdf"}, "--plot-properties: p.pdf: the image's name must end in .png"},
        BadRun{"html_and_json_alike", "", "", "", {"--html", "r.json"}, "--html: --json and --html name the same path r.json"},
        BadRun{"points_not_a_number", "", "", "", {"--points", "many"}, "--points: \"many\" is not a whole number"},
        BadRun{"points_out_of_range", "", "", "", {"--points", "1"}, "--points: 1 is outside 2 to 1000"},
        BadRun{"csv_to_standard_output", "", "", "", {"--csv", "-"}, "--csv: - is standard output"},
        BadRun{"unknown_option", "", "", "", {"--colour", "red"}, "The following arguments were not expected: red --colour"}),
    [](const auto& info) { return std::string(info.param.name); });

// One stream: its curve and CSV, no exchanger. Two sides apart by 9.5 % in duty: refused, or with
// --allow-imbalance both curves, the imbalance stated and no exchanger figures.
TEST(Cli, OneStreamAndAllowedImbalance) {
  ScratchDir dir;
  const std::string cond = test::case_text("steam_condenser.toml");
  test::write_file(dir / "one.toml", cond.substr(0, cond.find("[side1]")));
  const test::RunResult one =
      run_in(dir.path(), {"--case", "one.toml", "--csv", "out", "--json", "one.json", "--table-pressures", "1.4 bar, 150 kPa"});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_TRUE(contains(one.out, "side 0: steam") && !contains(one.out, "side 1") && !contains(one.out, "exchanger")) << one.out;
  EXPECT_TRUE(contains(one.out, "side 0: steam: property table at 1.4 bar")) << one.out;
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"one.json", "one.toml", "out", "out/side0.csv", "out/side0_1.4bar.csv", "out/side0_1.5bar.csv"}));
  EXPECT_TRUE(contains(test::read_file(dir / "one.json"), "\"exchanger\":null"));
  std::string alone = cond.substr(0, cond.find("[side1]"));
  alone.replace(alone.find("\"-2.1 MW\""), 9, "\"balance\"");
  test::write_file(dir / "alone.toml", alone);
  EXPECT_TRUE(contains(run_in(dir.path(), {"--case", "alone.toml"}).err, "alone.toml:10: side0.duty: duty = \"balance\" needs a second side"));
  std::string apart = cond;
  apart.replace(apart.find("\"balance\""), 9, "\"1.9 MW\"");
  test::write_file(dir / "apart.toml", apart);
  EXPECT_EQ(run_in(dir.path(), {"--case", "apart.toml"}).status, 2);
  const test::RunResult allowed = run_in(dir.path(), {"--case", "apart.toml", "--allow-imbalance"});
  EXPECT_EQ(allowed.status, 0) << allowed.err;
  EXPECT_TRUE(contains(allowed.out, "side 1 1900.00 kW (taken up), apart by 9.52 % of the larger")) << allowed.out;
  EXPECT_FALSE(contains(allowed.out, "LMTD "));
}

// The methanol condenser under NRTL against the other methods: the ideal solution's dew point is
// Raoult's law's, 354.13 K with NIST's Antoine constants for methanol (5.20409, 1581.341, -33.5) and
// water (5.08354, 1663.125, -45.622; log10 P/bar), 4.3 K above NRTL's and marked; the cooling water,
// water alone, has no other method. The spread reaches the report, the CSV, the JSON and the page.
TEST(Cli, MethodSpreadAndPropertyOutputs) {
  ScratchDir dir;
  test::write_file(dir / "case.toml", test::case_text("methanol_condenser.toml"));
  const test::RunResult r = run_in(dir.path(), {"--case", "case.toml", "--compare-methods", "--csv", "out", "--json", "r.json",
                                                "--plot-properties", "p.svg", "--html", "page.html", "--table-pressures", "1.1 bar"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"case.toml", "out", "out/method_spread.csv", "out/side0.csv", "out/side0_1.1bar.csv",
                                                     "out/side1.csv", "out/side1_1.1bar.csv", "p.svg", "page.html", "r.json"}));
  for (const char* part : {"side 0: column overhead (nrtl) against ideal, peng-robinson", "! dew point: liquid 1 appears [degC]",
                           "not applied: nrtl: water alone takes IAPWS-IF97"}) {
    EXPECT_TRUE(contains(r.out, part)) << part;
  }
  const nlohmann::json spread = nlohmann::json::parse(test::read_file(dir / "r.json"))["method_spread"];
  EXPECT_EQ(spread[0]["compared"], (nlohmann::json{"ideal", "peng-robinson"}));
  EXPECT_TRUE(spread[1]["compared"].empty());
  const auto dew = std::find_if(spread[0]["figures"].begin(), spread[0]["figures"].end(),
                                [](const nlohmann::json& f) { return f["label"] == "dew point: liquid 1 appears"; });
  ASSERT_NE(dew, spread[0]["figures"].end());
  EXPECT_NEAR((*dew)["other"].get<double>(), 354.13, 0.5);
  EXPECT_TRUE((*dew)["beyond"].get<bool>() && (*dew)["other_method"] == "ideal");
  EXPECT_TRUE(contains(test::read_file(dir / "out/method_spread.csv"), "0,nrtl,dew point: liquid 1 appears,boundary,degC,"));
  EXPECT_TRUE(is_image(dir / "p.svg", PlotFormat::Svg));
  const std::string page = test::read_file(dir / "page.html");
  EXPECT_TRUE(contains(page, "<svg") && contains(page, "Method spread") && !contains(page, "<script")) << page.substr(0, 300);
}

// A row whose flash fails fails alone: methanol/n-hexane (60/40) under NRTL at 5 bar, where the host's
// flash at 370 K stops at its cap (the vapour-liquid substitution beside the two liquids). The curve
// goes on past it; the row keeps its temperature and pressure, no other figure, and is marked in the
// report, the CSV (empty cells, its note's code) and the JSON (nulls, the code of a flash-failed
// note); the files are written and the exit status says the output is incomplete.
TEST(Cli, RowWhoseFlashFailsIsMarkedAndTheCurveGoesOn) {
  ScratchDir dir;
  test::write_file(dir / "case.toml", "points = 11\n[side0]\nmethod = \"nrtl\"\npressure = \"5 bar\"\ninlet_temperature = 380\n"
                                      "outlet_temperature = 360\ntotal_flow = \"100 kmol/h\"\n"
                                      "[side0.mole_fractions]\nmethanol = 0.6\nn-hexane = 0.4\n");
  const test::RunResult r = run_in(dir.path(), {"--case", "case.toml", "--csv", "out", "--json", "r.json", "--units", "si"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(contains(r.err, "the output is incomplete") && contains(r.err, "side 0: 1 row has no figures, the host's flash failed there (370.00 K)")) << r.err;
  EXPECT_TRUE(contains(r.out, "370.00       500000            -            -            -            -            -            -  ! no figures"))
      << r.out;
  const nlohmann::json side = nlohmann::json::parse(test::read_file(dir / "r.json"))["sides"][0];
  const auto row = std::find_if(side["points"].begin(), side["points"].end(), [](const nlohmann::json& p) { return p["temperature"] == 370.0; });
  ASSERT_NE(row, side["points"].end());
  EXPECT_TRUE((*row)["duty"].is_null() && (*row)["phases"].empty() && (*row)["notes"].size() == 1) << *row;
  const auto note = std::find_if(side["notes"].begin(), side["notes"].end(), [&](const nlohmann::json& n) { return n["code"] == (*row)["notes"][0]; });
  EXPECT_EQ((*note)["kind"], "flash-failed");
  EXPECT_NEAR(side["points"].back()["duty"].get<double>(), -side["duty"].get<double>(), 1e-6 * std::fabs(side["duty"].get<double>()));
  const auto rows = csv_rows(dir / "out/side0.csv");
  const auto csv_row = std::find_if(rows.begin(), rows.end(), [](const std::vector<std::string>& c) { return c[0] == "370"; });
  ASSERT_NE(csv_row, rows.end());
  EXPECT_EQ((*csv_row)[2], "");
  EXPECT_EQ((*csv_row)[7], (*row)["notes"][0]);
}

TEST(Cli, CrossAllowedOnRequestAndFailedPlotLeavesNothing) {
  ScratchDir dir;
  test::write_file(dir / "case.toml", test::case_text("crossed.toml"));
  const test::RunResult r = run_in(dir.path(), {"--case", "case.toml", "--allow-cross", "--trace", "t.txt"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(contains(r.out, "temperature cross: closest approach -")) << r.out;
  EXPECT_TRUE(contains(test::read_file(dir / "t.txt"), " ***** Inside HXFLSH ..."));
  fs::remove(dir / "t.txt");
  // Without gnuplot on the PATH the run fails at its very end, after the CSV files and the trace.
  const test::RunResult f =
      run_in(dir.path(), {"--csv", "out", "--trace", "t.txt", "--html", "page.html", "--plot", "curve.png"}, "PATH=/nonexistent");
  EXPECT_EQ(f.status, 1);
  EXPECT_TRUE(contains(f.err, "gnuplot")) << f.err;
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"case.toml"}));
#ifndef _WIN32
  const test::RunResult full = run_in(dir.path(), {"--csv", "out", "--json", "/dev/full"});  // a file that cannot be written says why
  EXPECT_EQ(full.status, 1);
  EXPECT_TRUE(contains(full.err, "hxprops: failed: cannot write /dev/full: No space left on device")) << full.err;
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"case.toml"}));
#endif
}

}  // namespace
}  // namespace hxprops
