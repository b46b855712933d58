// kvt-trace show: a trace as one table per call.
#pragma once

#include <string>

#include "reader.h"

namespace kvt::trace_tool {

// One table per call: its number, routine and line, then a row per record (argument or result, the
// name with its subscript, the value as written, the line).
std::string show_trace(const Trace& trace);

}  // namespace kvt::trace_tool
