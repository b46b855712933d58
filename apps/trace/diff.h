// kvt-trace diff: where two traces of the same case part (the same calls through two hosts).
#pragma once

#include <optional>
#include <string>

#include "reader.h"

namespace kvt::trace_tool {

// Whether two numbers agree within the relative tolerance rel: equal (infinities of one sign, NaN and
// NaN included), or apart by at most rel times the larger magnitude.
bool numbers_agree(double a, double b, double rel);

// The first call and the first number where b departs from a, in words naming both files' lines; no
// value when they agree: the same routines called in the same order, each with the same records, every
// number within rel.
std::optional<std::string> first_difference(const Trace& a, const Trace& b, double rel);

}  // namespace kvt::trace_tool
