// KVT_HXPTHC: thermal conductivity of one phase.
#include "kvt/kvt.h"
#include "properties/transport.h"

extern "C" KVT_EXPORT void KVT_HXPTHC(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t*, double* thc, int64_t* ierr) {
  static constexpr kvt::props::TransportProperty kConductivity{GOSA_TCONL, GOSA_TCONV, kvt::trace::kHxpthc};
  kvt::props::transport_property(kConductivity, strm, nstrm, iside, iphs, thc, ierr);
}
