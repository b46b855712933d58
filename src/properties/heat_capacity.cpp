// KVT_HXPCPP: heat capacity of one phase, the temperature derivative of the host's phase enthalpy on
// the phase's full composition.
#include "kvt/kvt.h"
#include "phase/option_copies.h"
#include "properties/mixing.h"
#include "stream/slots.h"
#include "trace/trace.h"

extern "C" KVT_EXPORT void KVT_HXPCPP(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* iphs,
                                      const int64_t* ibas, double* cpp, int64_t* ierr) {
  using namespace kvt;
  using namespace kvt::props;
  int64_t calc_code = 2;
  const phase::Request r = phase::begin_request(strm, nstrm, iphs, ibas, ierr);
  phase::OptionCopies options(clamp_side(*iside));
  combine(r, Mixing::AllPhases, cpp, ierr, [&](const Entry& e, double* dest) {
    double h = 0.0, dhdt = 0.0;
    int64_t host_err = 0;
    const auto enthalpy = &e == &phase::kVapour ? GOSA_ENTHV : GOSA_ENTHL;
    enthalpy(&slot(strm, Slot::Temperature), &slot(strm, Slot::Pressure), host::comp_ptr(e.comp.word),
             host::flash_count_ptr(), host::complist_ptr(), options.of(e), option23(), option21(), &calc_code, &h,
             &dhdt, &host_err);
    *dest = dhdt;
  });
  trace::write(trace::kHxpcpp, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .basis = r.basis, .result = *cpp};
  });
}
