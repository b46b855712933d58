// KVT_HXPMFL: mass (IBAS 1) or mole flow of one phase: the host's total flow on that basis times the
// phase fraction on the same basis.
#include "flash/request.h"
#include "frame/blocks.h"
#include "frame/trace.h"
#include "kvt/kvt.h"

extern "C" KVT_EXPORT void KVT_HXPMFL(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* mfl, int64_t* ierr) {
  using namespace kvt;
  const PhaseRequest r = begin_request(strm, nstrm, iphs, ibas, ierr);
  const auto total = r.basis == kMass ? TEBU_TOTMAS : TEBU_TOTFLO;
  total(strm, nsubs(), host::descriptor1_ptr(), host::descriptor2_ptr(*nsubs()), mfl);
  if (*mfl >= missing()) *mfl = 0.0;
  switch (r.phase) {
    case kVapour: *mfl = *mfl * r.f.fv; break;
    case kLiquid: *mfl = *mfl * (1.0 - r.f.fv); break;
    case kLiquid1: *mfl = *mfl * r.f.fl1; break;
    case kLiquid2: *mfl = *mfl * r.f.fl2; break;
    default: break;
  }
  if (trace::enabled(trace::kHxpmfl)) {
    trace::write(trace::kHxpmfl, {.strm = strm, .nstrm = *nstrm, .phase = r.phase, .result = *mfl});
  }
}
