// libFuzzer entry for kvt-trace's reader: the bytes are a trace file. A text the reader refuses must be
// refused with a message naming the line; a trace it reads must show as a table, agree with itself
// (kvt-trace diff A A) and differ, at its first number, from itself with that number changed.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "diff.h"
#include "reader.h"
#include "show.h"

namespace kvt::trace_tool::fuzz {

namespace {

void require(bool ok, const char* rule, std::string_view text) {
  if (ok) return;
  std::fprintf(stderr, "trace fuzz: %s\n%.*s\n", rule, static_cast<int>(text.size()), text.data());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto read = read_trace(text);
  if (auto* error = std::get_if<std::string>(&read)) {
    require(error->starts_with("line "), "a refusal names the line", text);
    return 0;
  }
  Trace trace = std::get<Trace>(std::move(read));
  const std::string shown = show_trace(trace);
  require(shown.ends_with(std::to_string(trace.calls.size()) + " calls\n"), "the table counts the calls", text);
  require(!first_difference(trace, trace, 0.0).has_value(), "a trace agrees with itself", text);
  for (Call& call : trace.calls) {
    if (call.entries.empty()) continue;
    Entry& first = call.entries.front();
    first.value = std::isnan(first.value) ? 1.0 : (first.value == 0.0 ? 1.0 : -first.value);
    first.text = "changed";
    const Trace original = std::get<Trace>(read_trace(text));
    require(first_difference(original, trace, 1e-9).has_value(), "a changed number is a difference", text);
    break;
  }
  return 0;
}

}  // namespace kvt::trace_tool::fuzz
