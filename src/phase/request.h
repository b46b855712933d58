// The start that every phase-resolved routine shares: IERR 0, the clamped phase code and basis, the
// phase's entry and the three fractions FV, FL1, FL2 of the stream on that basis.
#pragma once

#include <cstdint>

#include "blocks/codes.h"
#include "phase/fractions.h"
#include "phase/phase.h"

namespace kvt::phase {

struct Request {
  double* strm;
  const int64_t* nstrm;
  int64_t code;    // clamped IPHS
  int64_t basis;   // clamped IBAS, or mole basis for a routine that does not read it
  const Entry& phase;
  Fractions f;

  bool absent() const { return phase::absent(phase, f); }
  double share() const { return phase::share(phase, f); }
};

// ibas is nullptr for a routine that works on mole basis and never reads its IBAS.
inline Request begin_request(double* strm, const int64_t* nstrm, const int64_t* iphs, const int64_t* ibas,
                             int64_t* ierr) {
  *ierr = 0;
  const int64_t code = clamp_phase(*iphs);
  const int64_t basis = ibas != nullptr ? clamp_basis(*ibas) : int64_t{KVT_BASIS_MOLE};
  return {strm, nstrm, code, basis, entry(code), phase_fractions(strm, nstrm, basis)};
}

}  // namespace kvt::phase
