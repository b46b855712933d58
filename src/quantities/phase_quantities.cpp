// The stream quantities of one phase: molecular weight, mass or mole flow, heat flow. Each reads the
// phase's share and table slot from its phase entry; the whole stream takes the host's own figure.
#include "blocks/blocks.h"
#include "kvt/kvt.h"
#include "phase/request.h"
#include "stream/slots.h"
#include "trace/trace.h"

using kvt::phase::Request;

// KVT_HXPMWT: molecular weight of one phase, from the phase property table of the last flash.
extern "C" KVT_EXPORT void KVT_HXPMWT(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* mwt, int64_t* ierr) {
  using namespace kvt;
  const Request r = phase::begin_request(strm, nstrm, iphs, ibas, ierr);
  if (phase::is_whole(r.phase)) {
    *mwt = slot(strm, Slot::MolWt);
  } else if (r.absent()) {
    *mwt = missing();
    *ierr = KVT_ERR_ABSENT;
  } else {
    *mwt = host::phase_value(host::PhaseItem::MolWt, r.phase.slot);
  }
  trace::write(trace::kHxpmwt, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .result = *mwt};
  });
}

// KVT_HXPMFL: mass (IBAS 1) or mole flow of one phase: the host's total flow on that basis times the
// phase fraction on the same basis; an absent phase has flow 0.0.
extern "C" KVT_EXPORT void KVT_HXPMFL(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* mfl, int64_t* ierr) {
  using namespace kvt;
  const Request r = phase::begin_request(strm, nstrm, iphs, ibas, ierr);
  const auto total = r.basis == KVT_BASIS_MASS ? TEBU_TOTMAS : TEBU_TOTFLO;
  total(strm, nsubs(), host::descriptor1_ptr(), host::descriptor2_ptr(*nsubs()), mfl);
  if (*mfl >= missing()) *mfl = 0.0;
  if (!phase::is_whole(r.phase)) *mfl = *mfl * r.share();
  trace::write(trace::kHxpmfl, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .result = *mfl};
  });
}

// KVT_HXPQFL: heat (enthalpy) flow of one phase, on mole basis: the host's total enthalpy flow for
// the whole stream, else fraction x molar enthalpy of the last flash x total mole flow.
extern "C" KVT_EXPORT void KVT_HXPQFL(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t*, double* qfl, int64_t* ierr) {
  using namespace kvt;
  const Request r = phase::begin_request(strm, nstrm, iphs, nullptr, ierr);
  double flow = slot(strm, Slot::TotalFlow);
  if (flow >= missing()) flow = 0.0;
  if (phase::is_whole(r.phase)) {
    TEBU_TOTENT(strm, nsubs(), host::descriptor1_ptr(), host::descriptor2_ptr(*nsubs()), qfl);
  } else {
    *qfl = r.share() * host::phase_value(host::PhaseItem::Enthalpy, r.phase.slot) * flow;
  }
  trace::write(trace::kHxpqfl, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .result = *qfl};
  });
}
