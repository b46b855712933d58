// Clamping of the side, phase and basis codes: unsigned tests, so negative values clamp too.
#include "blocks/codes.h"

#include <limits>

#include <gtest/gtest.h>

namespace kvt {
namespace {

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

TEST(Codes, SideKeepsZeroAndOneOnly) {
  for (int64_t v : {0, 1}) EXPECT_EQ(clamp_side(v), v);
  for (int64_t v : {int64_t{2}, int64_t{7}, int64_t{-1}, kMin, kMax}) EXPECT_EQ(clamp_side(v), 0) << v;
}

TEST(Codes, PhaseKeepsOneToFive) {
  for (int64_t v = 1; v <= 5; ++v) EXPECT_EQ(clamp_phase(v), v);
  for (int64_t v : {int64_t{0}, int64_t{6}, int64_t{9}, int64_t{-1}, int64_t{-3}, kMin, kMax}) {
    EXPECT_EQ(clamp_phase(v), 1) << v;
  }
}

TEST(Codes, BasisKeepsZeroAndOneOnly) {
  for (int64_t v : {0, 1}) EXPECT_EQ(clamp_basis(v), v);
  for (int64_t v : {int64_t{2}, int64_t{-1}, kMin, kMax}) EXPECT_EQ(clamp_basis(v), 0) << v;
}

}  // namespace
}  // namespace kvt
