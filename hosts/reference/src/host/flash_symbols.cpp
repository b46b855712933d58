// The flash entry points of kvt/host.h: WEND_FLASH (with WEND_FLSTAT, its status) and TEBU_SETH, the
// stream utility that finds T from P and H.
#include <cmath>
#include <utility>

#include "host/flash_call.h"
#include "flash/flash_kind.h"
#include "host/host_state.h"
#include "kvt/host.h"
#include "kvt_reference/reference_host.h"

using namespace kvt::reference;

namespace {

// The phases a WEND_FLASH phase kind code (10 * w + k) and phase count ask for.
struct PhaseSetting {
  bool free_water = false;
  PhaseModel model = PhaseModel::kEquilibrium;
};

PhaseSetting phase_setting(std::int64_t kind, std::int64_t nphase) {
  const std::int64_t k = kind % 10, w = (kind / 10) % 10;
  PhaseSetting s;
  s.free_water = w == 1 || nphase == 3;
  if (k == 2) {
    s.model = PhaseModel::kLiquidOnly;
  } else if (k == 3 || nphase == 1) {
    s.model = PhaseModel::kVapourOnly;
  }
  return s;
}

// The retention record of a flash slot: real words T, P, vapour fraction, liquid split, enthalpy,
// KSPEC; integer words marker, NCOMP, phases present.
bool record_valid(std::int64_t retention_mode, const std::int64_t* int_record, std::int64_t n) {
  return retention_mode != 0 && int_record[0] == kRecordMarker && int_record[1] == n;
}

void keep_record(const FlashResult& res, std::int64_t kspec, std::int64_t n, double* real_record,
                 std::int64_t* int_record) {
  store(real_record, 0, res.t);
  store(real_record, 1, res.p);
  store(real_record, 2, res.vapour_fraction);
  store(real_record, 3, res.liquid_split);
  store(real_record, 4, res.enthalpy);
  store(real_record, 5, static_cast<double>(kspec));
  int_record[0] = kRecordMarker;
  int_record[1] = n;
  int_record[2] = (res.phase_amount[kV] > 0) + (res.phase_amount[kL1] > 0) + (res.phase_amount[kL2] > 0);
}

// The kind of note a failed flash leaves.
NoteKind failure_kind(const FlashResult& res) {
  return res.bad_input ? NoteKind::bad_argument : res.stopped_at_cap ? NoteKind::iteration_cap : NoteKind::flash_failed;
}

// The T and P a flash request fixes (NaN for what it searches).
std::pair<double, double> fixed_state(const FlashRequest& req) {
  const SpecKind* kind = spec_kind(req.kspec);
  if (kind == nullptr) return {kNoState, kNoState};
  const double t = kind->first == Quantity::kTemperature ? req.spec1 : kNoState;
  const double p = kind->first == Quantity::kPressure ? req.spec1 : kind->second == Quantity::kPressure ? req.spec2 : kNoState;
  return {t, p};
}

}  // namespace

extern "C" {

void TEBU_SETH(double* strm, int64_t*, int64_t*, int64_t*, int64_t*) {
  HostState& h = host();
  const std::int64_t n = h.ncomp();
  if (n <= 0) return;
  const Feed feed = feed_of(strm);
  if (!feed.problem.empty()) return;
  const FlashRequest req = flash_request(feed, kPH, load(strm, slot_index(n, KVT_SLOT_PRESSURE)),
                                         load(strm, slot_index(n, KVT_SLOT_ENTHALPY)),
                                         load(strm, slot_index(n, KVT_SLOT_TEMPERATURE)),
                                         h.last_free_water, h.last_model);
  const FlashResult res = flash(h.system, feed.z, req);
  if (res.converged) {
    store(strm, slot_index(n, KVT_SLOT_TEMPERATURE), res.t);
  } else {
    h.note(failure_kind(res), "TEBU_SETH", res.message, NotePhase::stream, "", kNoState, req.spec1);
  }
}

void WEND_FLASH(double* strm, int64_t*, int64_t*, int64_t*, int64_t*, int64_t* kspec, int64_t* kind, int64_t* nphase,
                int64_t*, double*, double* spec1, double* spec2, double* estimate, int64_t*, int64_t*,
                int64_t* retention_mode, int64_t*, double* real_record, int64_t* int_record, int64_t* status) {
  HostState& h = host();
  const std::int64_t n = h.ncomp();
  auto reject = [&](NoteKind kind, std::int64_t code, const std::string& why, std::pair<double, double> state) {
    h.note(kind, "WEND_FLASH", why, NotePhase::stream, "", state.first, state.second);
    *status = code;
    KVT_WORD(VOKA_FLSCOM, KVT_FLSCOM_CODE) = 0;
    KVT_WORD(VOKA_FLSCM2, KVT_FLSCM2_FAILED) = 1;
    int_record[0] = 0;
    if (n > 0) publish_failure(strm);
  };
  if (n <= 0) {
    reject(NoteKind::bad_argument, kStatusBadInput, "no component set is selected", {kNoState, kNoState});
    return;
  }
  const Feed feed = feed_of(strm);
  if (!feed.problem.empty()) {
    reject(NoteKind::bad_argument, kStatusBadInput, feed.problem, {kNoState, kNoState});
    return;
  }
  double start = *estimate < kHostMissing ? *estimate : std::nan("");
  const SpecKind* spec = spec_kind(*kspec);
  if (!std::isfinite(start) && spec != nullptr && spec->estimate_word >= 0 &&
      record_valid(*retention_mode, int_record, n))
    start = load(real_record, spec->estimate_word);
  const PhaseSetting phases = phase_setting(*kind, *nphase);
  const FlashRequest req = flash_request(feed, *kspec, *spec1, *spec2, start, phases.free_water, phases.model);
  h.last_free_water = req.free_water;
  h.last_model = req.model;

  const FlashResult res = flash(h.system, feed.z, req);
  if (!res.converged) {
    reject(failure_kind(res), res.bad_input ? kStatusBadInput : kStatusFailed, res.message, fixed_state(req));
    return;
  }
  const double h_before = load(strm, slot_index(n, KVT_SLOT_ENTHALPY));
  publish_flash(res, feed.z, strm, feed.flow, h_before);
  for (const Note& note : res.notes) h.note("WEND_FLASH", note, " (value extrapolated)");
  for (const Note& limit : res.limits) h.note("WEND_FLASH", limit);
  h.last_p = res.p;
  KVT_WORD(VOKA_FLSCOM, KVT_FLSCOM_CODE) = res.notes.empty() ? kFlashOk : kFlashExtrapolated;
  *status = kStatusConverged;
  keep_record(res, req.kspec, n, real_record, int_record);  // a warm start for the next flash of this slot
}

int64_t WEND_FLSTAT(int64_t*, int64_t* status) { return *status; }

}  // extern "C"
