#include "reader.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace kvt::trace_tool {

namespace {

constexpr std::string_view kRecord = " *****";
constexpr std::string_view kInside = "Inside ";

// The names of the routines' own arguments, as the trace labels them; every other name is a value
// the routine read from the host's data store or answered.
bool is_argument(std::string_view name) {
  for (std::string_view a : {"NSTRM", "NCC", "NSUBS", "IPHS", "IBAS", "STRM"}) {
    if (name == a) return true;
  }
  return false;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool is_name_char(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'; }

bool parse_index(std::string_view s, std::int64_t& index) {
  s = trim(s);
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), index);
  return ec == std::errc{} && end == s.data() + s.size() && index >= 1;
}

// "NAME = value" or "NAME(i) = value" into entry; false when the record is neither.
bool parse_entry(std::string_view body, Entry& entry) {
  const std::size_t eq = body.find('=');
  if (eq == std::string_view::npos) return false;
  std::string_view left = trim(body.substr(0, eq));
  const std::string_view right = trim(body.substr(eq + 1));
  entry.index = 0;
  if (const std::size_t open = left.find('('); open != std::string_view::npos) {
    if (left.back() != ')' || !parse_index(left.substr(open + 1, left.size() - open - 2), entry.index)) return false;
    left = trim(left.substr(0, open));
  }
  if (left.empty()) return false;
  for (char c : left) {
    if (!is_name_char(c)) return false;
  }
  entry.name = std::string(left);
  entry.text = std::string(right);
  entry.argument = is_argument(left);
  return parse_trace_number(right, entry.value);
}

}  // namespace

std::string Entry::label() const {
  return index == 0 ? name : name + "(" + std::to_string(index) + ")";
}

std::string Call::title() const {
  return routine.empty() ? std::string("(records before the first Inside line)") : routine;
}

bool parse_trace_number(std::string_view text, double& value) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  // A field too narrow for its integer is filled with stars ("NSTRM = **"): no number, read as NaN.
  if (!text.empty() && text.find_first_not_of('*') == std::string_view::npos) {
    return value = std::numeric_limits<double>::quiet_NaN(), true;
  }
  if (text == "NaN") return value = std::numeric_limits<double>::quiet_NaN(), true;
  if (text == "Infinity" || text == "+Infinity") return value = inf, true;
  if (text == "-Infinity") return value = -inf, true;
  // A mantissa of digits and one point, then an exponent: "E+03", or a bare sign and three digits
  // where the exponent has three ("1.0000000+100").
  std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  bool point = false;
  std::size_t digits = 0;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      ++digits;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  const std::size_t start = text[0] == '+' ? 1 : 0;
  std::string number(text.substr(start, i - start));
  if (i < text.size()) {
    std::size_t e = i;
    if (text[e] == 'E' || text[e] == 'e') ++e;
    if (e >= text.size() || (text[e] != '+' && text[e] != '-')) return false;
    const std::string_view exponent = text.substr(e + 1);
    if (exponent.empty() || exponent.size() > 4) return false;
    for (char c : exponent) {
      if (c < '0' || c > '9') return false;
    }
    number += 'e';
    number += text[e];
    number += exponent;
  }
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (end != number.data() + number.size()) return false;
  // A value below the least double reads as what strtod makes of it (0 or a subnormal); one past the
  // greatest is not a number the library writes.
  if (ec == std::errc::result_out_of_range) value = std::strtod(number.c_str(), nullptr);
  else if (ec != std::errc{}) return false;
  return std::isfinite(value);
}

std::variant<Trace, std::string> read_trace(std::string_view text) {
  Trace trace;
  std::int64_t line = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view record = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++line;
    if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
    if (!record.starts_with(kRecord)) continue;
    const std::string_view body = trim(record.substr(kRecord.size()));
    if (body.empty()) continue;
    if (body.starts_with(kInside)) {
      std::string_view routine = trim(body.substr(kInside.size()));
      if (routine.ends_with("...")) routine = trim(routine.substr(0, routine.size() - 3));
      bool named = !routine.empty();
      for (char c : routine) named = named && is_name_char(c);
      if (!named) return "line " + std::to_string(line) + ": an Inside record without a routine's name: " + std::string(record);
      trace.calls.push_back({std::string(routine), line, {}});
      continue;
    }
    Entry entry{};
    entry.line = line;
    if (!parse_entry(body, entry)) {
      return "line " + std::to_string(line) +
             ": not a trace record (\"Inside ROUTINE ...\", \"NAME = number\" or \"NAME(i) = number\"): " +
             std::string(record.substr(0, 120));
    }
    if (trace.calls.empty()) trace.calls.push_back({"", line, {}});
    trace.calls.back().entries.push_back(std::move(entry));
  }
  return trace;
}

}  // namespace kvt::trace_tool
