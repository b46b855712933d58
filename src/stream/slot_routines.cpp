// The setters and getters of single stream-vector slots. The setters store any value unchecked and
// read neither of their two middle arguments; the getters read none of ISIDE, IPHS and IBAS.
#include "kvt/kvt.h"
#include "stream/slots.h"
#include "trace/trace.h"

namespace {

using kvt::Slot;

void get(double* strm, const int64_t* nstrm, double* result, int64_t* ierr, Slot s,
         const kvt::trace::Routine& routine) {
  *ierr = 0;
  *result = kvt::slot(strm, s);
  kvt::trace::write(routine, [&] { return kvt::trace::Values{.strm = strm, .nstrm = *nstrm, .result = *result}; });
}

}  // namespace

extern "C" {

KVT_EXPORT void KVT_HXUTMP(double* strm, const void*, const void*, const double* value) {
  kvt::slot(strm, Slot::Temperature) = *value;
}
KVT_EXPORT void KVT_HXUPRS(double* strm, const void*, const void*, const double* value) {
  kvt::slot(strm, Slot::Pressure) = *value;
}
KVT_EXPORT void KVT_HXUNTH(double* strm, const void*, const void*, const double* value) {
  kvt::slot(strm, Slot::Enthalpy) = *value;
}
KVT_EXPORT void KVT_HXUVFR(double* strm, const void*, const void*, const double* value) {
  kvt::slot(strm, Slot::VapourFraction) = *value;
}

KVT_EXPORT void KVT_HXPTMP(double* strm, const int64_t* nstrm, const int64_t*, const int64_t*, const int64_t*,
                           double* result, int64_t* ierr) {
  get(strm, nstrm, result, ierr, Slot::Temperature, kvt::trace::kHxptmp);
}
KVT_EXPORT void KVT_HXPPRS(double* strm, const int64_t* nstrm, const int64_t*, const int64_t*, const int64_t*,
                           double* result, int64_t* ierr) {
  get(strm, nstrm, result, ierr, Slot::Pressure, kvt::trace::kHxpprs);
}

}  // extern "C"
