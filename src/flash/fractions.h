// Phase fractions of a stream: what KVT_HXPFRC answers, and the three fractions FV, FL1, FL2 that
// every phase-resolved routine starts from.
#pragma once

#include <cstdint>

namespace kvt {

// Fraction of the clamped phase code `phase` on the clamped basis (1 mass, 0 mole), stored into
// *frc and traced exactly as KVT_HXPFRC does.
void phase_fraction(double* strm, const int64_t* nstrm, int64_t phase, int64_t basis, double* frc);

struct Fractions {
  double fv;   // vapour
  double fl1;  // first liquid
  double fl2;  // second liquid
};

// FV, FL1 and FL2: the fractions of codes 2, 4 and 5, asked for in that order on `basis`.
Fractions phase_fractions(double* strm, const int64_t* nstrm, int64_t basis);

}  // namespace kvt
