// Density: the reciprocal of the fraction-weighted phase volumes of the last flash, with the volume
// bound of KVT_HXRMIN and the missing value as an upper bound.
#include <cmath>
#include <limits>
#include <string>

#include "properties/family.h"

namespace kvt::test {
namespace {

using DensityTest = FamilyTest;

// Molar volumes vapour 16, first liquid 0.125, second liquid 0.0625; mole fractions FV 0.25,
// FL1 0.5625, FL2 0.1875; mass fractions FV 0.25, FL1 0.3515625, FL2 0.28125; molecular weights
// vapour 32, first liquid 20, second liquid 48.
TEST_F(DensityTest, ReciprocalOfTheMixtureVolume) {
  const struct {
    int64_t code, basis;
    double expected;
  } cases[] = {
      // 0.125 * 0.5625 + 0.0625 * 0.1875 + 16 * 0.25 = 0.0703125 + 0.01171875 + 4
      {1, 0, 1.0 / 4.08203125},
      // (0.0703125 + 0.01171875) / 0.75 = 0.109375
      {3, 0, 1.0 / 0.109375},
      {2, 0, 1.0 / 16.0},
      {4, 0, 8.0},
      {5, 0, 16.0},
      {7, 2, 1.0 / 4.08203125},
      // 0.125/20 * 0.3515625 + 0.0625/48 * 0.28125 + 16/32 * 0.25
      //   = 0.002197265625 + 0.0003662109375 + 0.125
      {1, 1, 1.0 / 0.1275634765625},
      // (0.002197265625 + 0.0003662109375) / (0.3515625 + 0.28125) = 0.0025634765625 / 0.6328125
      {3, 1, 0.6328125 / 0.0025634765625},
      {2, 1, 2.0},
      {4, 1, 160.0},
      {5, 1, 768.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("IPHS " + std::to_string(c.code) + " IBAS " + std::to_string(c.basis));
    const Answer a = ask(KVT_HXPDNS, stream(), c.code, c.basis);
    EXPECT_DOUBLE_EQ(a.value, c.expected);
    EXPECT_EQ(a.ierr, 0);
  }
  EXPECT_TRUE(host().calls.empty()) << "density asks the host nothing";
}

// ISIDE selects nothing for density.
TEST_F(DensityTest, SideHasNoEffect) {
  for (int64_t side : {0, 1, 5}) EXPECT_DOUBLE_EQ(ask(KVT_HXPDNS, stream(), 1, 0, side).value, 1.0 / 4.08203125);
}

// The bound: a volume equal to word 1 of KVT_HXRMIN gives the missing value with IERR 0; the next
// double above it gives its reciprocal. The first liquid's molar volume is 0.125.
TEST_F(DensityTest, VolumeBound) {
  const double v = 0.125;
  const double above = std::nextafter(v, 1.0);
  const struct {
    double bound;
    double expected;
  } cases[] = {{v, kMissing}, {above, kMissing}, {std::nextafter(v, 0.0), 8.0}, {0.0, 8.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bound);
    KVT_HXRMIN[0] = c.bound;
    const Answer a = ask(KVT_HXPDNS, stream(), 4);
    EXPECT_EQ(a.value, c.expected);
    EXPECT_EQ(a.ierr, 0);
  }
  KVT_HXRMIN[0] = v;
  rec::set_stwork_real(57, above);
  EXPECT_EQ(ask(KVT_HXPDNS, stream(), 4).value, 1.0 / above);
}

// A volume at or above the missing value has no density; just below it, it has.
TEST_F(DensityTest, VolumeAtTheMissingValue) {
  const struct {
    double volume;
    bool missing;
  } cases[] = {{kMissing, true},
               {std::numeric_limits<double>::infinity(), true},
               {2.0 * kMissing, true},
               {std::nextafter(kMissing, 0.0), false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.volume);
    rec::set_stwork_real(55, c.volume);
    const Answer a = ask(KVT_HXPDNS, stream(), 2);
    EXPECT_EQ(a.ierr, 0);
    if (c.missing) {
      EXPECT_EQ(a.value, kMissing);
    } else {
      EXPECT_EQ(a.value, 1.0 / c.volume);
    }
  }
}

// The whole stream of a stream without fractions has the volume 0, which a bound of 0 refuses.
TEST_F(DensityTest, StreamWithoutFractions) {
  stream().slot(5) = kHostMissing;
  for (int64_t code : {1, 3}) {
    const Answer a = ask(KVT_HXPDNS, stream(), code);
    EXPECT_EQ(a.value, kMissing);
    EXPECT_EQ(a.ierr, 0);
  }
}

}  // namespace
}  // namespace kvt::test
