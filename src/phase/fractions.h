// Phase fractions of a stream: what KVT_HXPFRC answers, and the three fractions FV, FL1, FL2 that
// every phase-resolved routine starts from.
#pragma once

#include <cstdint>

#include "phase/phase.h"

namespace kvt::phase {

// Fraction of the clamped phase code `code` on the clamped basis, stored into *frc and traced exactly
// as KVT_HXPFRC does.
void phase_fraction(double* strm, const int64_t* nstrm, int64_t code, int64_t basis, double* frc);

// FV, FL1 and FL2: the fractions of the vapour, first and second liquid, asked for in that order.
Fractions phase_fractions(double* strm, const int64_t* nstrm, int64_t basis);

}  // namespace kvt::phase
