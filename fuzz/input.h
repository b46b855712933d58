// The fuzzer's bytes as a stream of typed values, taken from the front. Once the bytes run out every
// value is 0, so a short input is still a complete case.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>

namespace kvt::fuzz {

class Input {
 public:
  Input(const uint8_t* data, std::size_t size) : p_(data), n_(size) {}

  uint8_t byte() {
    if (n_ == 0) return 0;
    --n_;
    return *p_++;
  }
  bool flag() { return (byte() & 1u) != 0; }
  uint64_t bits() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = (v << 8) | byte();
    return v;
  }
  // An integer in [lo, hi], lo <= hi.
  int64_t in(int64_t lo, int64_t hi) {
    const uint64_t span = static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo);
    uint64_t v = 0;
    if (span <= 0xffu) {
      v = byte();
    } else if (span <= 0xffffu) {
      v = (uint64_t{byte()} << 8) | byte();
    } else {
      v = bits();
    }
    if (span != std::numeric_limits<uint64_t>::max()) v %= span + 1;
    return static_cast<int64_t>(static_cast<uint64_t>(lo) + v);
  }

  // Any 64-bit integer, mostly the values at the edges of the codes and of the type.
  int64_t code() {
    static constexpr int64_t kEdges[] = {0,  1,  2,  3,   4,   5,    6,    7,    9,
                                         10, 11, 12, 13,  21,  -1,   -2,   -3,   100,
                                         999, 1000, std::numeric_limits<int64_t>::max(),
                                         std::numeric_limits<int64_t>::min(),
                                         std::numeric_limits<int64_t>::min() + 1,
                                         std::numeric_limits<int32_t>::max(),
                                         std::numeric_limits<int32_t>::min(),
                                         int64_t{std::numeric_limits<uint32_t>::max()},
                                         int64_t{1} << 32};
    const uint8_t b = byte();
    if (b % 4 == 0) return static_cast<int64_t>(bits());
    return kEdges[(b / 4) % std::size(kEdges)];
  }

  // Any double: NaN, infinities, huge, negative, denormal, the bounds the library snaps to, the
  // missing values, or raw bits.
  double real() {
    static constexpr double kInf = std::numeric_limits<double>::infinity();
    static constexpr double kEdges[] = {0.0,    -0.0,          1.0,          -1.0,
                                        0.5,    0.25,          0.4,          1e-10,
                                        2e-10,  5e-11,         1.1e-10,      0.9999999999,
                                        0.99999999995, 0.9999999998, 1.7, -0.2,
                                        1e30,   1e35,          -1e30,        1e300,
                                        std::numeric_limits<double>::max(),
                                        -std::numeric_limits<double>::max(),
                                        std::numeric_limits<double>::min(),
                                        std::numeric_limits<double>::denorm_min(),
                                        -std::numeric_limits<double>::denorm_min(),
                                        kInf,   -kInf,         std::numeric_limits<double>::quiet_NaN(),
                                        -std::numeric_limits<double>::quiet_NaN(),
                                        350.0,  2e5,           80.0,         81.0,
                                        -170.0, -171.0,        710.0,        18.0,
                                        1e-300, 9.9999999e99,  1e100};
    const uint8_t b = byte();
    if (b % 4 == 0) return std::bit_cast<double>(bits());
    return kEdges[(b / 4) % std::size(kEdges)];
  }

 private:
  const uint8_t* p_;
  std::size_t n_;
};

}  // namespace kvt::fuzz
