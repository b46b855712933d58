// The checks and their findings, and the report written from them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "kvt/hostcheck.h"

namespace kvt::hostcheck {

enum class Check : int {
  Positions,
  HostAreas,
  PackedLists,
  Retention,
  FlashStatus,
  FlashConditions,
  ComponentList,
  Compositions,
  PhaseSplit,
  PhaseTable,
  StreamTotals,
  HeatCapacity,
  PropertyValues,
  ErrorFlags,
};
inline constexpr int kChecks = 14;

// Short name (the report's second column) and what the check verifies.
const char* check_name(Check c);
const char* check_title(Check c);

class Report {
 public:
  // One finding: "<word or call>, <position>: expected <...>; found <...>".
  void fail(Check c, std::string finding);
  // Something a check looked at, counted for its PASS line ("15 flashes").
  void exercised(Check c, int64_t count = 1) { exercised_[index(c)] += count; }
  // A remark printed under the check's line whatever its outcome.
  void remark(Check c, std::string text) { remarks_[index(c)].push_back(std::move(text)); }
  bool failed(Check c) const { return !findings_[index(c)].empty(); }

  // Writes the heading, a line per check with its findings, and the summary; returns the failures.
  int64_t write(const std::string& heading, kvt_hostcheck_writer out, void* context) const;

 private:
  static std::size_t index(Check c) { return static_cast<std::size_t>(c); }
  std::array<std::vector<std::string>, kChecks> findings_;
  std::array<std::vector<std::string>, kChecks> remarks_;
  std::array<int64_t, kChecks> exercised_{};
};

// Numbers in findings: integers as they are, reals with enough digits to tell them apart.
std::string num(double v);
std::string num(int64_t v);
inline std::string num(int v) { return num(static_cast<int64_t>(v)); }

}  // namespace kvt::hostcheck
