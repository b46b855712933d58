// Critical temperature and pressure of one phase's composition, from the host flash library's
// critical-point routine. The two routines differ only in which output they return.
#include "blocks/blocks.h"
#include "host/store.h"
#include "kvt/kvt.h"
#include "phase/request.h"
#include "trace/trace.h"

namespace kvt::critical {

namespace {

enum class Output { Temperature, Pressure };

// For the whole stream the stream vector is packed first (TEBU_CPACK writes the component-number
// list and Z of the data store); for a single phase its composition of the last flash is used.
void critical_point(Output which, const trace::Routine& routine, double* strm, const int64_t* nstrm,
                    const int64_t* iphs, double* result, int64_t* ierr) {
  const phase::Request r = phase::begin_request(strm, nstrm, iphs, nullptr, ierr);
  if (r.absent()) {
    *result = missing();
    *ierr = KVT_ERR_ABSENT;
  } else {
    int64_t npack = 0;
    double pack_out = 0.0;
    int64_t* count = host::flash_count_ptr();
    if (phase::is_whole(r.phase)) {
      TEBU_CPACK(strm, &npack, host::complist_ptr(), host::comp_ptr(r.phase.comp.word), &pack_out);
      count = &npack;
    }
    double other = 0.0, o7 = 0.0, o8 = 0.0;
    int64_t host_err = 0;
    double* tc = which == Output::Temperature ? result : &other;
    double* pc = which == Output::Pressure ? result : &other;
    WEND_CRTCAL(count, host::comp_ptr(r.phase.comp.word), host::complist_ptr(), host::critical_work(), tc, pc, &o7,
                &o8, &host_err);
  }
  trace::write(routine, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = r.code, .result = *result};
  });
}

}  // namespace

}  // namespace kvt::critical

extern "C" KVT_EXPORT void KVT_HXPTMC(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t*, double* tmc, int64_t* ierr) {
  using namespace kvt::critical;
  critical_point(Output::Temperature, kvt::trace::kHxptmc, strm, nstrm, iphs, tmc, ierr);
}

extern "C" KVT_EXPORT void KVT_HXPPRC(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t*, double* prc, int64_t* ierr) {
  using namespace kvt::critical;
  critical_point(Output::Pressure, kvt::trace::kHxpprc, strm, nstrm, iphs, prc, ierr);
}
