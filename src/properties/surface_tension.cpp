// KVT_HXPSFT: surface tension of the liquid; the vapour has none and the whole stream is its liquid.
#include "kvt/kvt.h"
#include "properties/transport.h"

extern "C" KVT_EXPORT void KVT_HXPSFT(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t*, double* sft, int64_t* ierr) {
  static constexpr kvt::props::TransportProperty kSurfaceTension{GOSA_SRFTEN, nullptr, kvt::trace::kHxpsft};
  kvt::props::transport_property(kSurfaceTension, strm, nstrm, iside, iphs, sft, ierr);
}
