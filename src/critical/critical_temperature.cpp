// KVT_HXPTMC: critical temperature of one phase's composition.
#include "critical/critical_point.h"
#include "kvt/kvt.h"

extern "C" KVT_EXPORT void KVT_HXPTMC(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t*, double* tmc, int64_t* ierr) {
  using namespace kvt::critical;
  critical_point(Output::Temperature, kvt::trace::kHxptmc, strm, nstrm, iphs, tmc, ierr);
}
