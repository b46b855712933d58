// Transport properties (conductivity, viscosity, surface tension): one host mixture routine per
// phase kind, evaluated on the packed compositions of the last flash, on a molar footing, with the
// caller's IERR as the host's error flag. The fifth argument is not read.
#include <initializer_list>

#include "flash/packing.h"
#include "kvt/kvt.h"
#include "phase/option_copies.h"
#include "properties/mixing.h"
#include "stream/slots.h"
#include "trace/trace.h"

namespace kvt::props {

namespace {

// T, P, fractions, count, component numbers, options, word 23, out: value, in/out: error flag.
using MixtureRoutine = void (*)(double*, double*, double*, int64_t*, int64_t*, int64_t*, int64_t*, double*, int64_t*);

struct TransportProperty {
  MixtureRoutine liquid;
  MixtureRoutine vapour;  // nullptr: a property of liquids only
  const trace::Routine& trace;
};

void transport_property(const TransportProperty& p, double* strm, const int64_t* nstrm, const int64_t* iside,
                        const int64_t* iphs, double* result, int64_t* ierr) {
  const phase::Request r = phase::begin_request(strm, nstrm, iphs, nullptr, ierr);
  // The host receives the routine's own copies of the packed counts, one per option copy.
  int64_t counts[3] = {};
  for (const Entry* e : {&phase::kLiquid1, &phase::kLiquid2, &phase::kVapour}) {
    if (e != &phase::kVapour || p.vapour != nullptr) counts[e->option_copy] = packed_count(e->group);
  }
  phase::OptionCopies options(clamp_side(*iside));
  const Mixing mixing = p.vapour != nullptr ? Mixing::AllPhases : Mixing::Liquids;
  combine(r, mixing, result, ierr, [&](const Entry& e, double* dest) {
    const MixtureRoutine routine = &e == &phase::kVapour ? p.vapour : p.liquid;
    routine(&slot(strm, Slot::Temperature), &slot(strm, Slot::Pressure), packed_fractions(e.group),
            &counts[e.option_copy], packed_numbers(e.group), options.of(e), option23(), dest, ierr);
  });
  trace::write(p.trace, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .result = *result};
  });
}

}  // namespace

}  // namespace kvt::props

using kvt::props::TransportProperty;

// KVT_HXPTHC: thermal conductivity of one phase.
extern "C" KVT_EXPORT void KVT_HXPTHC(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t*, double* thc, int64_t* ierr) {
  static constexpr TransportProperty kConductivity{GOSA_TCONL, GOSA_TCONV, kvt::trace::kHxpthc};
  kvt::props::transport_property(kConductivity, strm, nstrm, iside, iphs, thc, ierr);
}

// KVT_HXPVIS: viscosity of one phase, mixed linearly by mole fractions like every other property.
extern "C" KVT_EXPORT void KVT_HXPVIS(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t*, double* vis, int64_t* ierr) {
  static constexpr TransportProperty kViscosity{GOSA_VISCL, GOSA_VISCV, kvt::trace::kHxpvis};
  kvt::props::transport_property(kViscosity, strm, nstrm, iside, iphs, vis, ierr);
}

// KVT_HXPSFT: surface tension of the liquid; the vapour has none and the whole stream is its liquid.
extern "C" KVT_EXPORT void KVT_HXPSFT(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t*, double* sft, int64_t* ierr) {
  static constexpr TransportProperty kSurfaceTension{GOSA_SRFTEN, nullptr, kvt::trace::kHxpsft};
  kvt::props::transport_property(kSurfaceTension, strm, nstrm, iside, iphs, sft, ierr);
}
