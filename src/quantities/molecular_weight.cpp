// KVT_HXPMWT: molecular weight of one phase, from the phase property table of the last flash.
#include "flash/request.h"
#include "frame/blocks.h"
#include "frame/stream.h"
#include "frame/trace.h"
#include "kvt/kvt.h"

extern "C" KVT_EXPORT void KVT_HXPMWT(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* mwt, int64_t* ierr) {
  using namespace kvt;
  using host::Phase;
  const PhaseRequest r = begin_request(strm, nstrm, iphs, ibas, ierr);
  const auto table = [](Phase ph) { return host::phase_value(host::PhaseItem::MolWt, ph); };
  bool absent = false;
  switch (r.phase) {
    case kVapour: absent = r.f.fv == 0.0; if (!absent) *mwt = table(Phase::Vapour); break;
    case kLiquid: absent = r.f.fv == 1.0; if (!absent) *mwt = table(Phase::Liquid); break;
    case kLiquid1: absent = r.f.fl1 == 0.0; if (!absent) *mwt = table(Phase::Liquid1); break;
    case kLiquid2: absent = r.f.fl2 == 0.0; if (!absent) *mwt = table(Phase::Liquid2); break;
    default: *mwt = slot(strm, Slot::MolWt); break;
  }
  if (absent) {
    *mwt = missing();
    *ierr = -1;
  }
  if (trace::enabled(trace::kHxpmwt)) {
    trace::write(trace::kHxpmwt, {.strm = strm, .nstrm = *nstrm, .phase = r.phase, .result = *mwt});
  }
}
