// KVT_HXPDNS: density of one phase: the reciprocal of the fraction-weighted molar (or, on mass basis,
// specific) volumes of the last flash. No host property call, so no option set.
#include "kvt/kvt.h"
#include "properties/mixing.h"
#include "trace/trace.h"

extern "C" KVT_EXPORT void KVT_HXPDNS(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* dns, int64_t* ierr) {
  using namespace kvt;
  using namespace kvt::props;
  const phase::Request r = phase::begin_request(strm, nstrm, iphs, ibas, ierr);
  double volume = 0.0;
  combine(r, Mixing::AllPhases, &volume, ierr,
          [](const Entry& e, double* dest) { *dest = host::phase_value(host::PhaseItem::Volume, e.slot); });
  if (volume >= missing() || volume <= min_volume()) {
    *dns = missing();
  } else {
    *dns = 1.0 / volume;
  }
  trace::write(trace::kHxpdns, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .volume = volume, .result = *dns};
  });
}
