// KVT_HXPPRC: critical pressure of one phase's composition.
#include "critical/critical_point.h"
#include "kvt/kvt.h"

extern "C" KVT_EXPORT void KVT_HXPPRC(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t*, double* prc, int64_t* ierr) {
  using namespace kvt::critical;
  critical_point(Output::Pressure, kvt::trace::kHxpprc, strm, nstrm, iphs, prc, ierr);
}
