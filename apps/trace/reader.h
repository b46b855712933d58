// kvt-trace's reader: a diagnostic trace, as the library writes it to the host's unit, read back into
// calls. A trace record starts with " *****": " ***** Inside HXPCPP ..." opens a call, and every other
// record is one number, "NAME = value" or "NAME(i) = value" (values in the trace's own format:
// 3.6962315E+03, 1.0000000+100, NaN, -Infinity, and "**" for an integer too wide for its field). Lines that are not trace records (anything else
// written to the same unit, blank records) are passed over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvt::trace_tool {

struct Entry {
  std::string name;    // NSTRM, STRM, CPP, ...
  std::int64_t index;  // the subscript of STRM(  5); 0 for a name without one
  std::string text;    // the value as written
  double value;        // NaN for a starred field
  bool argument;       // an argument the routine was called with (else a value it read or answered)
  std::int64_t line;   // 1-based line of the file
  std::string label() const;  // "STRM(5)", "CPP"
};

struct Call {
  std::string routine;  // HXPCPP; empty for records before the first "Inside" line
  std::int64_t line;    // the "Inside" line (the first record's when there is none)
  std::vector<Entry> entries;
  std::string title() const;  // "HXPCPP", or "(records before the first Inside line)"
};

struct Trace {
  std::vector<Call> calls;
};

// The trace in text, or a message naming the first line that starts like a trace record and is not
// one ("line 12: ...").
std::variant<Trace, std::string> read_trace(std::string_view text);

// The value of a number as the trace writes it; false when text is not one.
bool parse_trace_number(std::string_view text, double& value);

}  // namespace kvt::trace_tool
