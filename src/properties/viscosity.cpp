// KVT_HXPVIS: viscosity of one phase, mixed linearly by mole fractions like every other property.
#include "kvt/kvt.h"
#include "properties/transport.h"

extern "C" KVT_EXPORT void KVT_HXPVIS(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t*, double* vis, int64_t* ierr) {
  static constexpr kvt::props::TransportProperty kViscosity{GOSA_VISCL, GOSA_VISCV, kvt::trace::kHxpvis};
  kvt::props::transport_property(kViscosity, strm, nstrm, iside, iphs, vis, ierr);
}
