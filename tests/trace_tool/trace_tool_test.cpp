// kvt-trace's reader, table and comparison, on the golden transcript of every traced routine.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <variant>

#include "diff.h"
#include "reader.h"
#include "show.h"

namespace kvt::trace_tool {
namespace {

const std::string kTranscript =
#include "transcript.inc"
    ;

Trace read_ok(const std::string& text) {
  auto read = read_trace(text);
  if (auto* error = std::get_if<std::string>(&read)) ADD_FAILURE() << *error;
  return std::holds_alternative<Trace>(read) ? std::get<Trace>(read) : Trace{};
}

// The transcript with its first occurrence of `from` replaced by `to`.
std::string edited(const std::string& from, const std::string& to) {
  std::string text = kTranscript;
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(TraceTool, ReadsTheTranscript) {
  const Trace trace = read_ok(kTranscript);
  std::set<std::string> routines;
  for (const Call& c : trace.calls) routines.insert(c.routine);
  EXPECT_EQ(routines.size(), 15u) << "every traced routine";
  // The first call, its special values, and the records a host's flash switched on (the second call
  // goes on after a line that is not a trace record).
  const Call& flash = trace.calls.at(0);
  EXPECT_EQ(flash.title(), "HXFLSH");
  EXPECT_EQ(flash.line, 3);
  const struct { std::size_t entry; const char* label; double value; bool argument; std::int64_t line; } rows[] = {
      {0, "NSTRM", 13.0, true, 4},
      {1, "NCC", 3.0, true, 5},
      {2, "STRM(1)", 1.0, true, 6},
      {10, "STRM(9)", std::numeric_limits<double>::quiet_NaN(), true, 14},
      {11, "STRM(10)", -std::numeric_limits<double>::infinity(), true, 15},
      {12, "STRM(11)", 1e100, true, 16},
      {14, "STRM(13)", -2.5e-150, true, 18},
      {16, "NCPM", 3.0, false, 20},
      {28, "VV", 16.0, false, 32},
  };
  for (const auto& r : rows) {
    const Entry& e = flash.entries.at(r.entry);
    EXPECT_EQ(e.label(), r.label);
    EXPECT_TRUE(numbers_agree(e.value, r.value, 0.0)) << r.label << " " << e.value;
    EXPECT_EQ(e.argument, r.argument) << r.label;
    EXPECT_EQ(e.line, r.line) << r.label;
  }
  EXPECT_EQ(trace.calls.at(1).entries.back().label(), "VV");
  EXPECT_EQ(trace.calls.at(1).entries.back().line, 65);
  EXPECT_EQ(trace.calls.at(2).routine, "HXPFRC");
}

TEST(TraceTool, NumbersAsTheTraceWritesThem) {
  const struct { const char* text; bool ok; double value; } rows[] = {
      {"3.6962315E+03", true, 3696.2315}, {"1.0000000+100", true, 1e100}, {"-2.5000000-150", true, -2.5e-150},
      {"13", true, 13.0},                 {"-3", true, -3.0},             {"Infinity", true, INFINITY},
      {"1.0000000-320", true, 1e-320},    {"", false, 0},                 {"E+03", false, 0},
      {"1.0E+", false, 0},                {"1.0x", false, 0},             {"1.0E+99999", false, 0},
      {"1.0000000+400", false, 0},        {"--1", false, 0},              {"1..2", false, 0},
      {"**", true, NAN},                  {"*1", false, 0},
  };
  for (const auto& r : rows) {
    double v = 0;
    EXPECT_EQ(parse_trace_number(r.text, v), r.ok) << r.text;
    if (r.ok) {
      EXPECT_TRUE(numbers_agree(v, r.value, 1e-15)) << r.text;
    }
  }
}

TEST(TraceTool, RefusesWhatIsNotATrace) {
  const struct { const char* text; const char* message; } rows[] = {
      {"x\n ***** Inside  ...\n", "line 2: an Inside record without a routine's name"},
      {" ***** Inside HXPCPP ...\n *****    NSTRM     13\n", "line 2: not a trace record"},
      {" *****    CPP     = 3.6.9\n", "line 1: not a trace record"},
      {" *****     STRM(  0) =  1.0E+00\n", "line 1: not a trace record"},
      {" *****     STRM( 1 =  1.0E+00\n", "line 1: not a trace record"},
      {" *****      = 1\n", "line 1: not a trace record"},
  };
  for (const auto& r : rows) {
    auto read = read_trace(r.text);
    ASSERT_TRUE(std::holds_alternative<std::string>(read)) << r.text;
    EXPECT_NE(std::get<std::string>(read).find(r.message), std::string::npos) << std::get<std::string>(read);
  }
  // Other lines on the same unit, blank records and Windows line ends are passed over.
  EXPECT_EQ(read_ok("hello\r\n ***** Inside HXPTMP ...\r\n \r\n *****      TMP     =  3.0E+02\r\n").calls.at(0).entries.size(), 1u);
}

TEST(TraceTool, NamesTheFirstDifference) {
  const Trace a = read_ok(kTranscript);
  const struct { std::string b; double rel; const char* found; } rows[] = {
      {kTranscript, 0.0, nullptr},
      {edited("TCALC     =  3.5000000E+02", "TCALC     =  3.5000001E+02"), 1e-9,
       "call 1 (HXFLSH; A line 3, B line 3): TCALC: A 3.5000000E+02 (line 21), B 3.5000001E+02"},
      {edited("TCALC     =  3.5000000E+02", "TCALC     =  3.5000001E+02"), 1e-6, nullptr},
      {edited("STRM(  9) =            NaN", "STRM(  9) =  1.0000000E+00"), 1.0, "STRM(9): A NaN (line 14), B 1.0000000E+00"},
      {edited(" *****    VCALC     =  2.5000000E-01\n", ""), 0.0, "A has VCALC = 2.5000000E-01 (line 23), B QCALC"},
      {edited("NSTRM     = **", "NSTRM     =  NaN"), 0.0, "NSTRM: A ** (line 1215), B NaN"},
      {edited("Inside HXPFRC", "Inside HXPMWT"), 0.0, "call 3: A calls HXPFRC (line 68), B calls HXPMWT (line 68)"},
      {kTranscript.substr(0, kTranscript.find("== HXPFRC")), 0.0, "A has "},
      {edited(" *****       VV     =  1.6000000E+01\n== HXPFRC", "== HXPFRC"), 0.0,
       "call 2 (HXFLSH; A line 35, B line 35): B ends after 28 records, A goes on with VV = 1.6000000E+01 (line 65)"},
  };
  for (const auto& r : rows) {
    const auto found = first_difference(a, read_ok(r.b), r.rel);
    if (r.found == nullptr) {
      EXPECT_FALSE(found.has_value()) << *found;
    } else {
      ASSERT_TRUE(found.has_value()) << r.found;
      EXPECT_NE(found->find(r.found), std::string::npos) << *found;
    }
  }
}

TEST(TraceTool, ShowsOneTablePerCall) {
  const std::string shown = show_trace(read_ok(kTranscript));
  for (const char* line : {"call 1: HXFLSH (line 3)\n", "  argument  STRM(11)        1.0000000+100   line 16\n",
                           "  result    TCALC           3.5000000E+02   line 21\n", "call 3: HXPFRC (line 68)\n"}) {
    EXPECT_NE(shown.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace kvt::trace_tool
