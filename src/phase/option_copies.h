// The side's option list, one copy per phase the host evaluates (vapour, first liquid, second
// liquid). With the side's water switch at 1, a liquid that is pure water (mole fraction exactly 1.0
// at water's position) is evaluated with option word 5 in place of word 1. The vapour copy and
// KVT_IHXPP itself are never changed.
#pragma once

#include <cstdint>

#include "phase/phase.h"

namespace kvt::phase {

class OptionCopies {
 public:
  explicit OptionCopies(int64_t side);
  int64_t* of(const Entry& e) { return copies_[e.option_copy]; }

 private:
  int64_t copies_[3][6];
};

}  // namespace kvt::phase
