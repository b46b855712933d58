// The checks and their findings, and the report written from them, check by check.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kvt/hostcheck.h"

namespace kvt::hostcheck {

enum class Check : int {
  Setup,
  Positions,
  HostAreas,
  PackedLists,
  Retention,
  FlashStatus,
  FlashConditions,
  FlashWrites,
  ComponentList,
  PhaseSplit,
  Compositions,
  PhaseTable,
  FlashSpecs,
  StreamTotals,
  HeatCapacity,
  PropertyValues,
  ErrorFlags,
  AfterFailure,
  CompositionUse,
  Units,
  Sweep,
  Coverage,
  Trace,
};
inline constexpr int kChecks = 23;

// Short name (the report's second column) and what the check verifies.
const char* check_name(Check c);
const char* check_title(Check c);
// The checks whose findings make this check's input wrong: it is skipped when one of them failed.
std::vector<Check> depends_on(Check c);
// The checks whose failure explains this check's (a flash writing over an area it shares): when one of
// them failed first, this check's findings are folded under it, so that one mistake is one finding.
std::vector<Check> follows_from(Check c);

class Report {
 public:
  // One finding: "<word or call>, <position>: expected <...>; found <...>", or "<A> and <B> disagree"
  // where neither side is authoritative.
  void fail(Check c, std::string finding);
  // Something a check looked at, counted for its PASS line ("15 flashes").
  void exercised(Check c, int64_t count = 1) { exercised_[index(c)] += count; }
  // A remark printed under the check's line whatever its outcome.
  void remark(Check c, std::string text) {
    auto& kept = remarks_[index(c)];
    if (std::find(kept.begin(), kept.end(), text) == kept.end()) kept.push_back(std::move(text));
  }
  // The check did not run; why ("depends on compositions").
  void skip(Check c, std::string why) { skipped_[index(c)] = std::move(why); }
  // The check's findings follow from those of `under`, which failed first.
  void fold(Check c, Check under) { folded_under_[index(c)] = static_cast<int>(under); }
  bool failed(Check c) const { return !findings_[index(c)].empty() && !folded(c); }
  bool folded(Check c) const { return folded_under_[index(c)] >= 0; }
  bool skipped(Check c) const { return !skipped_[index(c)].empty(); }
  // The report for a host's CI (the schema is in docs/hostcheck.md); false when the file cannot be written.
  bool write_json(const std::string& path, const kvt_hostcheck_input& in) const;

  // One check's part of the report as text, and back: how a check's own process hands it over.
  std::string serialise(Check c) const;
  void merge(Check c, const std::string& text);

  // The report's lines: the heading, one check (its line, remarks and findings), the summary, which
  // returns the number of failed checks.
  static void write_line(const std::string& line, kvt_hostcheck_writer out, void* context);
  void write_check(Check c, kvt_hostcheck_writer out, void* context) const;
  int64_t write_summary(kvt_hostcheck_writer out, void* context) const;

 private:
  static std::size_t index(Check c) { return static_cast<std::size_t>(c); }
  std::array<std::vector<std::string>, kChecks> findings_;
  std::array<std::vector<std::string>, kChecks> remarks_;
  std::array<std::string, kChecks> skipped_;
  std::array<int64_t, kChecks> exercised_{};
  std::array<int, kChecks> folded_under_ = filled(-1);
  static std::array<int, kChecks> filled(int v) {
    std::array<int, kChecks> a;
    a.fill(v);
    return a;
  }
};

// Numbers in findings: integers as they are, reals with enough digits to tell them apart.
std::string num(double v);
std::string num(int64_t v);
inline std::string num(int v) { return num(static_cast<int64_t>(v)); }

}  // namespace kvt::hostcheck
