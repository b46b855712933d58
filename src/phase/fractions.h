// Phase fractions of a stream: what KVT_HXPFRC answers, and the three fractions FV, FL1, FL2 that
// every phase-resolved routine starts from.
#pragma once

#include <cstdint>

#include "phase/phase.h"

namespace kvt::phase {

// Fraction of the clamped phase code `code` on the basis *ibas, stored into *frc and traced exactly as
// KVT_HXPFRC does. The basis matters only to a fraction that is not final (neither 0 nor 1 exactly),
// so *ibas is read only then. Only mass basis differs from the rest, so IBAS needs no clamping: it
// is mass basis exactly when it is 1.
void phase_fraction(double* strm, const int64_t* nstrm, int64_t code, const int64_t* ibas, double* frc);

// FV, FL1 and FL2: the fractions of the vapour, first and second liquid, asked for in that order.
Fractions phase_fractions(double* strm, const int64_t* nstrm, int64_t basis);

}  // namespace kvt::phase
