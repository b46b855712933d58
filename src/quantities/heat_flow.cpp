// KVT_HXPQFL: heat (enthalpy) flow of one phase, on mole basis: the host's total enthalpy flow for
// the whole stream, else fraction x molar enthalpy of the last flash x total mole flow.
#include "flash/request.h"
#include "frame/blocks.h"
#include "frame/stream.h"
#include "frame/trace.h"
#include "kvt/kvt.h"

extern "C" KVT_EXPORT void KVT_HXPQFL(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t*, double* qfl, int64_t* ierr) {
  using namespace kvt;
  using host::Phase;
  const PhaseRequest r = begin_request(strm, nstrm, iphs, nullptr, ierr);
  double flow = slot(strm, Slot::TotalFlow);
  if (flow >= missing()) flow = 0.0;
  const auto h = [](Phase ph) { return host::phase_value(host::PhaseItem::Enthalpy, ph); };
  switch (r.phase) {
    case kVapour: *qfl = r.f.fv * h(Phase::Vapour) * flow; break;
    case kLiquid: *qfl = (1.0 - r.f.fv) * h(Phase::Liquid) * flow; break;
    case kLiquid1: *qfl = r.f.fl1 * h(Phase::Liquid1) * flow; break;
    case kLiquid2: *qfl = r.f.fl2 * h(Phase::Liquid2) * flow; break;
    default: TEBU_TOTENT(strm, nsubs(), host::descriptor1_ptr(), host::descriptor2_ptr(*nsubs()), qfl); break;
  }
  if (trace::enabled(trace::kHxpqfl)) {
    trace::write(trace::kHxpqfl, {.strm = strm, .nstrm = *nstrm, .phase = r.phase, .result = *qfl});
  }
}
