// CSV layout, the gnuplot script and the all-or-nothing output files.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "case_file.h"
#include "csv.h"
#include "default_case.h"
#include "library_session.h"
#include "output_files.h"
#include "plot.h"
#include "test_support.h"

namespace hxprops {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> split(const std::string& line, char sep) {
  std::vector<std::string> cells;
  std::string cell;
  std::istringstream in(line);
  while (std::getline(in, cell, sep)) cells.push_back(cell);
  if (!line.empty() && line.back() == sep) cells.emplace_back();
  return cells;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

class Outputs : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    case_ = new Case(parse_case(test::small_case(), "case.toml"));
    Session session(*case_);
    curves_ = new std::array<SideCurve, 2>{compute_side_curve(*case_, 0), compute_side_curve(*case_, 1)};
  }
  static void TearDownTestSuite() {
    delete curves_;
    delete case_;
  }
  static Case* case_;
  static std::array<SideCurve, 2>* curves_;
};

Case* Outputs::case_ = nullptr;
std::array<SideCurve, 2>* Outputs::curves_ = nullptr;

TEST_F(Outputs, CsvHeaderNamesQuantityPhaseAndUnit) {
  const std::regex cell(R"(^[a-z_]+:(stream|vapour|liquid1|liquid2) \[[^\]]+\]$)");
  for (const SideCurve& c : *curves_) {
    const std::vector<std::string> header = csv_header(c);
    ASSERT_EQ(header.size(), 3u + 7u + 9u + 9u);  // stream; vapour; each liquid adds sigma and dHvap
    for (const std::string& h : header) EXPECT_TRUE(std::regex_match(h, cell)) << h;
    EXPECT_EQ(header[0], "temperature:stream [K]");
    EXPECT_EQ(header[1], "duty:stream [kW]");
    EXPECT_NE(std::find(header.begin(), header.end(), "surface_tension:liquid2 [mN/m]"), header.end());
    EXPECT_EQ(std::find(header.begin(), header.end(), "surface_tension:vapour [mN/m]"), header.end());
  }
}

TEST_F(Outputs, CsvHasOneRowPerPointAndEmptyCellsForAbsentPhases) {
  for (const SideCurve& c : *curves_) {
    const std::vector<std::string> lines = lines_of(csv_text(c));
    ASSERT_EQ(lines.size(), c.points.size() + 1);
    const std::size_t width = split(lines[0], ',').size();
    for (std::size_t r = 1; r < lines.size(); ++r) {
      const std::vector<std::string> cells = split(lines[r], ',');
      ASSERT_EQ(cells.size(), width) << lines[r];
      EXPECT_NEAR(std::stod(cells[0]), c.points[r - 1].temperature, 1.0e-6);
      const bool vapour = c.points[r - 1].phases[0].present;
      EXPECT_EQ(cells[3].empty(), !vapour) << lines[r];  // mass_fraction:vapour
    }
  }
}

TEST_F(Outputs, GnuplotScriptDrawsBothSidesAndTheBoundaries) {
  const std::string script = gnuplot_script(*case_, *curves_, "out.png");
  EXPECT_NE(script.find("pngcairo"), std::string::npos);
  EXPECT_NE(script.find("set output 'out.png'"), std::string::npos);
  EXPECT_NE(script.find("$side0 << EOD"), std::string::npos);
  EXPECT_NE(script.find("$side1 << EOD"), std::string::npos);
  const std::vector<std::string> lines = lines_of(script);
  const auto labels = static_cast<std::size_t>(
      std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("set label", 0) == 0; }));
  EXPECT_EQ(labels, (*curves_)[0].boundaries.size() + (*curves_)[1].boundaries.size());
  EXPECT_GT(labels, 0u);
}

TEST(OutputFiles, NothingIsLeftWhenNotCommitted) {
  test::ScratchDir dir;
  {
    OutputFiles out;
    for (const fs::path& f : {dir / "a.csv", dir / "new" / "deeper" / "b.csv", dir / "c.png"}) {
      const fs::path tmp = out.stage(f);
      EXPECT_NE(tmp, f);
      EXPECT_EQ(tmp.parent_path(), f.parent_path());
      test::write_file(tmp, "partial");
    }
  }
  EXPECT_TRUE(dir.listing().empty());
}

TEST(OutputFiles, CommitRenamesEveryFile) {
  test::ScratchDir dir;
  test::write_file(dir / "old.csv", "old");
  OutputFiles out;
  for (const char* name : {"old.csv", "sub/new.csv"}) test::write_file(out.stage(dir / name), name);
  out.commit();
  EXPECT_EQ(dir.listing(), (std::vector<std::string>{"old.csv", "sub", "sub/new.csv"}));
  EXPECT_EQ(test::read_file(dir / "old.csv"), "old.csv");
}

TEST(OutputFiles, DirectoryAsFileNameIsRefused) {
  test::ScratchDir dir;
  OutputFiles out;
  EXPECT_THROW(out.stage(dir.path()), RunError);
}

}  // namespace
}  // namespace hxprops
