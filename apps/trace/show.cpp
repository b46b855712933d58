#include "show.h"

#include <cstdio>

namespace kvt::trace_tool {

std::string show_trace(const Trace& trace) {
  std::string out;
  char row[256];
  for (std::size_t k = 0; k < trace.calls.size(); ++k) {
    const Call& call = trace.calls[k];
    std::snprintf(row, sizeof row, "call %zu: %s (line %lld)\n", k + 1, call.title().c_str(),
                  static_cast<long long>(call.line));
    out += row;
    for (const Entry& e : call.entries) {
      std::snprintf(row, sizeof row, "  %-9s %-12s %16s   line %lld\n", e.argument ? "argument" : "result",
                    e.label().c_str(), e.text.c_str(), static_cast<long long>(e.line));
      out += row;
    }
  }
  std::snprintf(row, sizeof row, "%zu calls\n", trace.calls.size());
  return out + row;
}

}  // namespace kvt::trace_tool
