// The five flash specification kinds (KSPEC) in one table: what the two specification values fix,
// what the flash searches, where its estimate comes from, and how a failed search is worded.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "flash/flash_search.h"

namespace kvt::reference {

enum class Quantity { kNone, kTemperature, kPressure, kEnthalpy, kVapourFraction };

// "temperature", "K" and so on, for messages.
const char* quantity_name(Quantity q);
const char* quantity_unit(Quantity q);  // "" for a vapour fraction

struct SpecKind {
  std::int64_t kspec;
  const char* name;   // "P-H", ...
  Quantity first;     // what the first specification value fixes (T or P)
  Quantity second;    // what the second fixes
  Quantity searched;  // the variable the flash searches (T, or P through -ln P), kNone for T-P
  // The real word of the host's retention record that holds the searched variable's last value,
  // the estimate a flash of this slot starts from when none is given (-1: none is needed).
  int estimate_word;
  bool fixes(Quantity q) const { return first == q || second == q; }
};

// The kind of a KSPEC, or nullptr for a number that is not one.
const SpecKind* spec_kind(std::int64_t kspec);

struct FlashRequest;
struct FlashSystem;

// Why no state of the range searched meets a flash's specification, in the terms of its kind.
std::string search_failure(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req,
                           const Miss& miss);

}  // namespace kvt::reference
