#include "diff.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kvt::trace_tool {

namespace {

std::string at(const Call& c, std::size_t k) {
  return "call " + std::to_string(k + 1) + " (" + c.title() + ", line " + std::to_string(c.line) + ")";
}

std::string record(const Entry& e) { return e.label() + " = " + e.text + " (line " + std::to_string(e.line) + ")"; }

}  // namespace

bool numbers_agree(double a, double b, double rel) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  if (a == b) return true;
  if (std::isinf(a) || std::isinf(b)) return false;
  return std::fabs(a - b) <= rel * std::max(std::fabs(a), std::fabs(b));
}

std::optional<std::string> first_difference(const Trace& a, const Trace& b, double rel) {
  const std::size_t common = std::min(a.calls.size(), b.calls.size());
  for (std::size_t k = 0; k < common; ++k) {
    const Call& ca = a.calls[k];
    const Call& cb = b.calls[k];
    if (ca.routine != cb.routine) {
      return "call " + std::to_string(k + 1) + ": A calls " + ca.title() + " (line " + std::to_string(ca.line) +
             "), B calls " + cb.title() + " (line " + std::to_string(cb.line) + ")";
    }
    const std::string where = "call " + std::to_string(k + 1) + " (" + ca.title() + "; A line " +
                              std::to_string(ca.line) + ", B line " + std::to_string(cb.line) + "): ";
    const std::size_t n = std::min(ca.entries.size(), cb.entries.size());
    for (std::size_t i = 0; i < n; ++i) {
      const Entry& ea = ca.entries[i];
      const Entry& eb = cb.entries[i];
      if (ea.name != eb.name || ea.index != eb.index) return where + "A has " + record(ea) + ", B " + record(eb);
      const bool starred_a = ea.text.starts_with('*'), starred_b = eb.text.starts_with('*');
      if (starred_a != starred_b || !numbers_agree(ea.value, eb.value, rel)) {
        std::string text = where + ea.label() + ": A " + ea.text + " (line " + std::to_string(ea.line) + "), B " +
                           eb.text + " (line " + std::to_string(eb.line) + ")";
        if (std::isfinite(ea.value) && std::isfinite(eb.value)) {
          char figure[64];
          std::snprintf(figure, sizeof figure, "; relative difference %.3g, above the tolerance %.3g",
                        std::fabs(ea.value - eb.value) / std::max(std::fabs(ea.value), std::fabs(eb.value)), rel);
          text += figure;
        }
        return text;
      }
    }
    if (ca.entries.size() != cb.entries.size()) {
      const bool a_longer = ca.entries.size() > cb.entries.size();
      const Entry& extra = (a_longer ? ca : cb).entries[n];
      return where + (a_longer ? "B" : "A") + " ends after " + std::to_string(n) + " records, " +
             (a_longer ? "A" : "B") + " goes on with " + record(extra);
    }
  }
  if (a.calls.size() != b.calls.size()) {
    const bool a_longer = a.calls.size() > b.calls.size();
    return std::string(a_longer ? "A" : "B") + " has " + std::to_string(std::max(a.calls.size(), b.calls.size())) +
           " calls, " + (a_longer ? "B " : "A ") + std::to_string(common) + ": the first without a counterpart is " +
           at((a_longer ? a : b).calls[common], common);
  }
  return std::nullopt;
}

}  // namespace kvt::trace_tool
