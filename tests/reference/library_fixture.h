// The library with the reference host behind it, set up as a host program sets it up: blocks
// filled, a component set selected, streams flashed through KVT_HXFLSH and asked through the
// exported property routines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kvt/kvt.h"
#include "kvt_reference/reference_host.h"

namespace kvt::reference::test {

// Selects the components under a method and fills the library's blocks (side 0: free water allowed
// when asked).
void set_up(const std::vector<std::string>& names, bool free_water, Method method = Method::ideal);

// Index of stream slot NCOMP + k (the slots of kvt/host_layout.h, and the host's own 6, split, and 10,
// mass flow) in a stream vector of the selected set.
inline std::size_t slot_of(int k) { return static_cast<std::size_t>(ncomp() + k - 1); }

struct Answer { double value; int64_t ierr; };
using Routine = void (*)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);

// A stream flashed through the library (KSPEC given; T, P and the third specification in the stream) on
// side 0, in a retention slot (0: none).
struct LibStream {
  std::vector<double> v;
  int64_t nstrm = 0;
  int64_t flash_ierr = 0;
  Answer ask(Routine r, int64_t iphs, int64_t ibas = 0);
};
LibStream flashed(std::vector<double> flows, double t, double p, int64_t kspec = KVT_SPEC_TP, double third = 0.0,
                  int64_t kphs = KVT_PHASES_VAPOUR_LIQUID, int64_t retention_slot = 0);

}  // namespace kvt::reference::test
