#include "critical/critical_point.h"

#include "flash/request.h"
#include "frame/blocks.h"
#include "frame/trace.h"
#include "host/store.h"
#include "kvt/kvt.h"

namespace kvt::critical {

namespace {

// Count and mole fractions of the phase handed to WEND_CRTCAL; nullptr fractions: the phase is absent.
struct Composition {
  int64_t* count;
  double* fractions;
};

}  // namespace

void critical_point(Output which, const trace::Routine& routine, double* strm, const int64_t* nstrm,
                    const int64_t* iphs, double* result, int64_t* ierr) {
  const PhaseRequest r = begin_request(strm, nstrm, iphs, nullptr, ierr);
  int64_t npack = 0;
  double pack_out = 0.0;
  const auto flash_phase = [](bool absent, host::Comp c) {
    return absent ? Composition{nullptr, nullptr} : Composition{host::flash_count_ptr(), host::comp_ptr(c)};
  };
  Composition comp{};
  switch (r.phase) {
    case kVapour: comp = flash_phase(r.f.fv == 0.0, host::Comp::Y); break;
    case kLiquid: comp = flash_phase(r.f.fv == 1.0, host::Comp::X); break;
    case kLiquid1: comp = flash_phase(r.f.fl1 == 0.0, host::Comp::X1); break;
    case kLiquid2: comp = flash_phase(r.f.fl2 == 0.0, host::Comp::X2); break;
    default:
      TEBU_CPACK(strm, &npack, host::complist_ptr(), host::comp_ptr(host::Comp::Z), &pack_out);
      comp = {&npack, host::comp_ptr(host::Comp::Z)};
      break;
  }
  if (comp.fractions == nullptr) {
    *result = missing();
    *ierr = -1;
  } else {
    double other = 0.0, o7 = 0.0, o8 = 0.0;
    int64_t host_err = 0;
    double* tc = which == Output::Temperature ? result : &other;
    double* pc = which == Output::Pressure ? result : &other;
    WEND_CRTCAL(comp.count, comp.fractions, host::complist_ptr(), host::critical_work(), tc, pc, &o7, &o8, &host_err);
  }
  if (trace::enabled(routine)) {
    trace::write(routine, {.strm = strm, .nstrm = *nstrm, .phase = r.phase, .result = *result});
  }
}

}  // namespace kvt::critical
