// The traces that the library's routines write. Each writer tests its routine's switch itself and,
// with the switch off, builds no text; a routine calls it once, naming itself once.
#pragma once

#include <cstdint>

#include "trace/routines.h"

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

// The lines themselves, written without looking at the switches.
void routine_lines(const Routine& routine, const Values& values);
void flash_entry_lines(const double* strm, int64_t nstrm);
void flash_nsubs_line(int64_t nsubs);
void flash_exit_lines();

// The heading block of one routine and its lines, as the table says. make() gives the values; it is
// called only when the switch is on, so a switched-off trace does not even assemble them.
template <class MakeValues>
void write(const Routine& routine, MakeValues&& make) {
  if (enabled(routine)) routine_lines(routine, make());
}

// The three parts of the flash's trace.
inline bool flash_enabled() { return enabled(kFlashSwitch, Test::EqualsOne); }
inline void write_flash_entry(const double* strm, const int64_t* nstrm) {
  if (flash_enabled()) flash_entry_lines(strm, *nstrm);  // NSTRM is read only for the trace
}
inline void write_flash_nsubs(int64_t nsubs) {
  if (flash_enabled()) flash_nsubs_line(nsubs);
}
inline void write_flash_exit() {
  if (flash_enabled()) flash_exit_lines();
}

}  // namespace kvt::trace
