// KVT_HXPDNS: density of one phase: the reciprocal of the fraction-weighted molar (or, on mass basis,
// specific) volumes of the last flash. No host property call, so no option set.
#include "frame/stream.h"
#include "frame/trace.h"
#include "kvt/kvt.h"
#include "properties/skeleton.h"

extern "C" KVT_EXPORT void KVT_HXPDNS(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* dns, int64_t* ierr) {
  using namespace kvt;
  using namespace kvt::props;
  const PhaseRequest r = begin_request(strm, nstrm, iphs, ibas, ierr);
  double volume = 0.0;
  combine(r, Mixing::AllPhases, &volume, ierr,
          [](Phase ph, double* dest) { *dest = host::phase_value(host::PhaseItem::Volume, ph); });
  if (volume >= missing() || volume <= min_volume()) {
    *dns = missing();
  } else {
    *dns = 1.0 / volume;
  }
  if (trace::enabled(trace::kHxpdns)) {
    trace::write(trace::kHxpdns, {.strm = strm, .nstrm = *nstrm, .phase = r.phase, .volume = volume, .result = *dns});
  }
}
