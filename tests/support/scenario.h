// The scenario every library suite starts from: the recording host laid out for a few flash
// components, the library's blocks filled as a host fills them, and one stream with vapour and two
// liquids, flashed once, whose every figure is written out below so that a table row can be checked
// by hand.
//
//   flash components 1..3 = host components 2, 5, 7 with molecular weights 16, 32, 64 (every other
//   host component weighs 1000, so that a wrong index shows);
//   Y 0.5/0.25/0.25 (weighs 32), X 0.5625/0.3125/0.125 (27), X1 0.75/0.25/0 (20), X2 0/0.5/0.5 (48),
//   Z 0.5/0.3/0.2; vapour fraction 0.25, liquid split 0.75: FV 0.25, FL1 0.5625, FL2 0.1875;
//   the stream weighs 28.25 (the mole mean of its phases), so mass fractions add up as well;
//   phase table (vapour, liquid, first, second liquid): enthalpy -100, -275, -250, -350;
//   molar volume 16, 0.109375, 0.125, 0.0625; molecular weight 32, 27, 20, 48;
//   stream flows 1, 2, 1, total 4; T 350 and P 2e5 (what the flash leaves); H -5e4.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "kvt/kvt.h"
#include "library_binding.h"
#include "recording_host.h"

namespace kvt::test {

inline constexpr double kMissing = 1.0e35;      // the library's missing value
inline constexpr double kHostMissing = 1.0e30;  // the host's
inline constexpr int32_t kUnit = 7;             // trace unit
inline constexpr int64_t kNcomp = 3;

using Routine = void (*)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);
using Setter = void (*)(double*, const void*, const void*, const double*);

// Word w of a side's option set, numbered as for side 0.
inline int64_t& side_word(int w, int64_t side) { return KVT_WORD(KVT_IHXPP, w + KVT_SIDE_STRIDE_I * side); }
inline double& side_real(int w, int64_t side) { return KVT_WORD(KVT_RHXPP, w + KVT_SIDE_STRIDE_R * side); }

// The option set of each side: words 1-10 are 100 * (side + 1) + w but for the phase kind code
// (5, 6) and the water switch (0, 1); flash real option 0.5 / 4.5.
inline int64_t option_word(int w, int64_t side) { return 100 * (side + 1) + w; }

struct Answer {
  double value;
  int64_t ierr;
  bool operator==(const Answer&) const = default;
};
inline void PrintTo(const Answer& a, std::ostream* os) { *os << "{" << a.value << ", IERR " << a.ierr << "}"; }

// n words of the work array from position pos, as integers or reals.
template <class T = int64_t>
std::vector<T> plex_words(int64_t pos, int64_t n) {
  std::vector<T> v;
  for (int64_t i = 0; i < n; ++i) v.push_back(std::bit_cast<T>(rec::plex_int(pos + i)));
  return v;
}

// Zero every block of the library.
void clear_library_blocks();

class Scenario : public ::testing::Test {
 protected:
  void SetUp() override;
  // No write strayed below word 1 of the work array.
  void TearDown() override { EXPECT_TRUE(rec::store_guard_intact()) << "a word just before the work array was written"; }

  double& slot(int k) { return strm[static_cast<std::size_t>(kNcomp + k - 1)]; }
  // The stream's vapour fraction and the last flash's liquid split.
  void split(double vf, double beta);
  Answer ask(Routine r, int64_t iphs, int64_t ibas = KVT_BASIS_MOLE, int64_t iside = KVT_SIDE_0);
  int64_t flash(int64_t iside, int64_t islot, int64_t kspec, int64_t kphs = KVT_PHASES_OPTION_SET,
                int64_t kpeq = KVT_PEQ_OFF);
  // The last call of a host routine.
  const rec::Call& last(std::string_view name);
  static rec::Host& host() { return rec::host(); }
  static const std::vector<std::string>& trace() { return rec::host().trace(kUnit); }

  rec::Layout layout;
  std::vector<double> strm = std::vector<double>(120, 0.0);
  int64_t nstrm = kNcomp + 10;
};

}  // namespace kvt::test
