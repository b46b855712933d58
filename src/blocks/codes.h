// Clamping of the phase, basis and side codes (KVT_PHASE_*, KVT_BASIS_*, KVT_SIDE_*). The tests are
// unsigned, so negative values clamp too; the caller's arguments are never written, each routine
// works on clamped copies.
#pragma once

#include <cstdint>

#include "kvt/kvt.h"

namespace kvt {

constexpr int64_t clamp_side(int64_t v) { return static_cast<uint64_t>(v) > 1u ? int64_t{KVT_SIDE_0} : v; }
constexpr int64_t clamp_phase(int64_t v) { return static_cast<uint64_t>(v) - 1u > 4u ? int64_t{KVT_PHASE_STREAM} : v; }
constexpr int64_t clamp_basis(int64_t v) { return static_cast<uint64_t>(v) > 1u ? int64_t{KVT_BASIS_MOLE} : v; }

}  // namespace kvt
