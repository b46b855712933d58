// The start that every phase-resolved routine shares: IERR 0, the clamped phase code and basis, and
// the three fractions FV, FL1, FL2 of the stream on that basis.
#pragma once

#include <cstdint>

#include "flash/fractions.h"
#include "frame/codes.h"

namespace kvt {

struct PhaseRequest {
  double* strm;
  const int64_t* nstrm;
  int64_t phase;  // clamped IPHS
  int64_t basis;  // clamped IBAS, or kMole for a routine that does not read it
  Fractions f;
};

// ibas is nullptr for a routine that works on mole basis and never reads its IBAS.
inline PhaseRequest begin_request(double* strm, const int64_t* nstrm, const int64_t* iphs, const int64_t* ibas,
                                  int64_t* ierr) {
  *ierr = 0;
  const int64_t phase = clamp_phase(*iphs);
  const int64_t basis = ibas != nullptr ? clamp_basis(*ibas) : kMole;
  return {strm, nstrm, phase, basis, phase_fractions(strm, nstrm, basis)};
}

}  // namespace kvt
