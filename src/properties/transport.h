// Transport properties (conductivity, viscosity, surface tension): one host mixture routine per
// phase kind, evaluated on the packed compositions of the last flash, on a molar footing, with the
// caller's IERR as the host's error flag.
#pragma once

#include <cstdint>

#include "frame/trace_table.h"

namespace kvt::props {

// T, P, fractions, count, component numbers, options, word 23, out: value, in/out: error flag.
using MixtureRoutine = void (*)(double*, double*, double*, int64_t*, int64_t*, int64_t*, int64_t*, double*, int64_t*);

struct TransportProperty {
  MixtureRoutine liquid;
  MixtureRoutine vapour;  // nullptr: a property of liquids only
  const trace::Routine& trace;
};

void transport_property(const TransportProperty& p, double* strm, const int64_t* nstrm, const int64_t* iside,
                        const int64_t* iphs, double* result, int64_t* ierr);

}  // namespace kvt::props
