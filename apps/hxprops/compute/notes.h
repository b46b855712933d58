// The host's notes on a side (a correlation used outside its range, a component above its critical
// temperature in a liquid, an iteration stopped at its cap, ...), each kept once with how often it
// was raised and over which states, under a short code ("N1") that the rows it applies to carry.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "case/units.h"

namespace hxprops {

// One note as the host gives it: what kind, which routine, the phase and component it concerns
// (empty when none), its state (NaN when it has none) and its text.
struct HostNote {
  std::string kind;       // "correlation-range", "iteration-cap", ..., "other"
  std::string routine;
  std::string phase;      // "vapour", "liquid1", ...
  std::string component;
  double t = std::numeric_limits<double>::quiet_NaN();  // K
  double p = std::numeric_limits<double>::quiet_NaN();  // Pa
  std::string text;
};

// A note of one side, once however often it was raised.
struct SideNote {
  std::string code;  // "N1", "N2", ... in the order first raised
  std::string kind, routine, phase, component;
  std::string text;  // as first raised
  int count = 0;     // at how many rows it was raised
  double t_min = 0.0, t_max = 0.0;  // K, the states it was raised at
  double p_min = 0.0, p_max = 0.0;  // Pa
};

// Collects a side's notes.
class NoteBook {
 public:
  // Files the notes raised at one state of the result (a row), which stands in for a note's own
  // state when it has none, each note once however often the state raised it; returns the indices of
  // their entries.
  std::vector<int> file(const std::vector<HostNote>& raised, double t, double p);
  const std::vector<SideNote>& notes() const { return notes_; }

 private:
  std::vector<SideNote> notes_;
};

// "N1;N3": the codes of the entries `indices` points at.
std::string note_codes(const std::vector<int>& indices, const std::vector<SideNote>& notes);
// "N1  at 12 rows, 36.85 to 95.42 degC, 2.5 bar: <text>".
std::string note_line(const SideNote& n, UnitSystem u);

}  // namespace hxprops
