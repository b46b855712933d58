// Phase, basis and side codes, and their clamping. The tests are unsigned, so negative values clamp
// too; the caller's arguments are never written, each routine works on clamped copies.
#pragma once

#include <cstdint>

namespace kvt {

enum PhaseCode : int64_t { kWhole = 1, kVapour = 2, kLiquid = 3, kLiquid1 = 4, kLiquid2 = 5 };
enum BasisCode : int64_t { kMole = 0, kMass = 1 };

constexpr int64_t clamp_side(int64_t v) { return static_cast<uint64_t>(v) > 1u ? 0 : v; }
constexpr int64_t clamp_phase(int64_t v) { return static_cast<uint64_t>(v) - 1u > 4u ? kWhole : v; }
constexpr int64_t clamp_basis(int64_t v) { return static_cast<uint64_t>(v) > 1u ? kMole : v; }

}  // namespace kvt
