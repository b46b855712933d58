// The traces that the library's routines write. Callers test the switch first (trace::enabled), so
// that a routine whose switch is off builds no text.
#pragma once

#include <cstdint>

#include "frame/trace_table.h"
#include "host/store.h"

namespace kvt::trace {

// What a routine hands its trace: the stream as given, its normalised codes, and the values stored.
struct Values {
  const double* strm;
  int64_t nstrm;
  int64_t phase = 1;
  int64_t basis = 0;
  double volume = 0.0;
  double result = 0.0;
};

// The heading block of one routine and its lines, as the table says.
void write(const Routine& routine, const Values& values);

// Parts of the flash's trace.
void write_flash_entry(const double* strm, int64_t nstrm);
void write_flash_nsubs(int64_t nsubs);
void write_flash_exit();

}  // namespace kvt::trace
