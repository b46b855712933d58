// The common test fixture: a recording host laid out for a few flash components, the library's
// blocks reset and filled as a host fills them, and helpers to script a flash's results.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kvt/kvt.h"
#include "library_binding.h"
#include "recording_host.h"

namespace kvt::test {

inline constexpr double kMissing = 1.0e35;      // KVT_HXRMSS word 1
inline constexpr double kHostMissing = 1.0e30;  // VOKA_RGLOB word 1
inline constexpr int32_t kUnit = 7;             // trace unit

// Zero every library block (the flash keeps its own working copy; tests that depend on it say so).
void reset_library_blocks();

// One stream of `ncomp` components, its vector NCOMP + 10 long.
struct Stream {
  std::vector<double> v;
  int64_t nstrm;
  double* data() { return v.data(); }
  double& slot(int64_t k);  // STRM(NCOMP + k)
};

// A three-phase flash result over the given flash components, scripted into the host's store.
struct FlashResult {
  std::vector<int64_t> components;  // host component numbers
  std::vector<double> x, x1, x2, y, z;
  double t = 350.0, p = 2.0e5, vf = 0.25, duty = 0.0, split = 0.6;
  double enthalpy[4] = {-1.0e7, -3.0e7, -2.9e7, -3.1e7};  // vapour, liquid, first, second liquid
  double further[4] = {1.0, 2.0, 3.0, 4.0};
  double volume[4] = {10.0, 0.1, 0.09, 0.02};
  double molwt[4] = {30.0, 50.0, 60.0, 18.0};
};
void script_flash(const FlashResult& r);

// Two flash results over flash components 2, 5, 7 that the suites share.
// Pure liquids: Y 0.5/0.5/0, X 0.2/0.8/0, X1 pure component 2, X2 pure component 7, Z 0.3/0.3/0.4.
FlashResult pure_liquids_flash();
// Mixed liquids: Y 0.5/0.25/0.25, X 0.5625/0.3125/0.125, X1 0.75/0.25/0, X2 0/0.5/0.5,
// Z 0.5/0.3/0.2, liquid split 0.75.
FlashResult mixed_liquids_flash();

// Script a pure-liquids flash r and the stream around it: component molecular weights 10, 30, 18 for
// numbers 2, 5, 7 and 1000 for every other number up to 9 (so that a wrong index shows), T 300,
// P 1e5, stream molecular weight 40.
void script_pure_liquids(const FlashResult& r, Stream& s);

class KvtTest : public ::testing::Test {
 protected:
  // ncomp components in the stream vector, room for `capacity` flash components.
  explicit KvtTest(int64_t ncomp = 3, int64_t capacity = 16);
  void SetUp() override;

  rec::Host& host() { return rec::host(); }
  const std::vector<std::string>& trace() { return rec::host().trace(kUnit); }
  Stream& stream() { return stream_; }

  int64_t ncomp_;
  int64_t capacity_;
  rec::Layout layout_;
  Stream stream_;
};

// Calls a property routine with the common argument list and returns {result, IERR}.
using PropertyRoutine = void (*)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*,
                                 int64_t*);
struct Answer {
  double value;
  int64_t ierr;
};
Answer ask(PropertyRoutine routine, Stream& s, int64_t iphs, int64_t ibas = 0, int64_t iside = 0);

// The trace, joined with newlines, for readable failure messages.
std::string joined(const std::vector<std::string>& lines);

}  // namespace kvt::test
