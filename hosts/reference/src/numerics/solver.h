// What every iterative solver of the host takes and gives back: a stopping rule (the tolerance its
// measure of change must reach, and the most iterations it may take) and how it ended. A solver that
// stops at its cap still returns its last iterate, so the caller can use it and must say so.
#pragma once

namespace kvt::reference {

struct Stopping {
  const char* solver = "";  // what iterates, for the message of a result that stopped at the cap
  double tolerance = 0.0;   // converged once the solver's measure of change is at or below this
  int cap = 0;              // iterations before it gives up
};

enum class SolveStatus { kConverged, kStoppedAtCap };

// The worse of two outcomes: a result built from several solves is converged only if all of them are.
inline SolveStatus worse(SolveStatus a, SolveStatus b) {
  return a == SolveStatus::kStoppedAtCap ? a : b;
}

// Where a result built from several solves keeps the first that stopped at its cap (null: none did).
inline void note_status(const Stopping*& capped, const Stopping& stop, SolveStatus status) {
  if (capped == nullptr && status == SolveStatus::kStoppedAtCap) capped = &stop;
}

}  // namespace kvt::reference
