// KVT_HXFLSH: flash a stream with the host's flash and the option set of one exchanger side, and
// leave the results where the property routines find them.
#include <initializer_list>

#include "blocks/blocks.h"
#include "flash/packing.h"
#include "host/store.h"
#include "kvt/kvt.h"
#include "phase/phase.h"
#include "stream/slots.h"
#include "trace/trace.h"

namespace kvt {

namespace {

// The option set the flash works with. Refreshed from side 0 or 1; any other ISIDE flashes with the
// copy the previous call left (zeros before the first call).
struct WorkingCopy {
  int64_t options[6];  // handed to the host flash as one array
  int64_t kind;        // phase kind code
  int64_t nphase;      // phase count
  int64_t flash_option;
  int64_t water;       // water switch, the tens digit of a requested phase kind code
  double real_option;
};

// What the flash keeps from call to call (zeros before the first call). The host flash receives all
// of it by address.
struct FlashState {
  WorkingCopy copy;     // an ISIDE other than 0 and 1 flashes with the previous call's copy
  double spec1, spec2;  // a KSPEC outside 1..5 sets neither: the previous call's pair is handed on
  double estimate;      // KSPEC 2 (and a KSPEC outside 1..5) leaves the previous call's estimate
  int64_t status;       // flash status word, set by the host flash and read back by its judgement
};

FlashState state;

// Words of one call that the host receives by address.
struct CallWords {
  int64_t retention_arg = 0;  // retention mode as the host flash receives it
  int64_t one = 1;            // a word holding 1, after the retention mode
  int64_t judge_one = 1;      // the constant 1 handed to WEND_FLSTAT
  int64_t zero = 0;           // the constant 0 handed to TEBU_SETH
};

void select_option_set(int64_t side) {
  if (side != 0 && side != 1) return;
  WorkingCopy& c = state.copy;
  const int64_t* list = option_list(side);
  for (int k = 0; k < 6; ++k) c.options[k] = list[k];
  c.nphase = phase_count_option(side);
  c.kind = phase_kind_option(side);
  c.flash_option = flash_option(side);
  c.water = water_switch(side);
  c.real_option = flash_real_option(side);
}

// Narrow the phases the flash may find. Phase kinds 1 and 3, and 11 (kind 1 with the water digit),
// are kinds an option set fixes for the flash, so a request passes them unchanged; every other kind
// (0 and 13 included) is rewritten from KPHS, keeping the working copy's water digit.
void apply_phase_request(const int64_t* kphs) {
  WorkingCopy& c = state.copy;
  if (c.kind == 1 || c.kind == 11 || c.kind == 3) return;
  const auto code = [&](int64_t k) { return host::add(host::mul(c.water, 10), k); };
  switch (*kphs) {
    case KVT_PHASES_VAPOUR_LIQUID: c.nphase = 2; c.kind = code(1); break;
    case KVT_PHASES_LIQUID: c.nphase = 1; c.kind = code(2); break;
    case KVT_PHASES_VAPOUR: c.nphase = 1; c.kind = code(1); break;
    default: break;
  }
}

double vapour_fraction_spec(double* strm) {
  const double vf = slot(strm, Slot::VapourFraction);
  return vf == host::host_missing() ? 0.0 : vf;
}

void set_specifications(double* strm, int64_t kspec, CallWords& words) {
  switch (kspec) {
    case KVT_SPEC_PH: {
      state.spec2 = slot(strm, Slot::Enthalpy);
      TEBU_SETH(strm, nsubs(), host::descriptor1_ptr(), host::descriptor2_ptr(*nsubs()), &words.zero);
      state.spec1 = slot(strm, Slot::Pressure);
      state.estimate = *nsubs() <= 1 ? slot(strm, Slot::Temperature) : host::host_missing();
      break;
    }
    case KVT_SPEC_TP:
      state.spec1 = slot(strm, Slot::Temperature);
      state.spec2 = slot(strm, Slot::Pressure);
      break;
    case KVT_SPEC_PV:
      state.spec1 = slot(strm, Slot::Pressure);
      state.spec2 = vapour_fraction_spec(strm);
      state.estimate = slot(strm, Slot::Temperature);
      break;
    case KVT_SPEC_TH:
      state.spec1 = slot(strm, Slot::Temperature);
      state.spec2 = slot(strm, Slot::Enthalpy);
      state.estimate = slot(strm, Slot::Pressure);
      break;
    case KVT_SPEC_TV:
      state.spec1 = slot(strm, Slot::Temperature);
      state.spec2 = vapour_fraction_spec(strm);
      state.estimate = slot(strm, Slot::Pressure);
      break;
    default:
      break;
  }
}

// Whether a specification kind estimates the temperature the flash finds: P-H, P-vapour fraction,
// and a kind outside 1..5, which keeps the previous call's specifications and estimate. T-P, T-H and
// T-vapour fraction fix the temperature (their estimate, if any, is the pressure), so the slot-2
// estimate is never dropped for them and they write no "NSUBS" trace line.
bool estimates_temperature(int64_t kspec) {
  return kspec != KVT_SPEC_TP && kspec != KVT_SPEC_TH && kspec != KVT_SPEC_TV;
}

// The estimate of retention slot 2 is dropped once after each time the host lowers the side's marker;
// with the retention mode at 2 (the last flash not judged good) it is kept.
void drop_slot2_estimate(int64_t side, int64_t islot) {
  if (retention_mode() > 1 || islot != 2 || (side != 0 && side != 1)) return;
  double& marker = estimate_marker(side);
  if (missing() > marker) {
    marker = missing();
    state.estimate = missing();
  }
}

struct Records {
  double* real;
  int64_t* integer;
  bool retained;        // a retention record, whose status word the judgement writes
  host::Pos status_pos;  // that status word
};

// A retention record only for ISLOT 1..5 of side 0 or 1 with retention on: the ten records are all
// the host reserves, so any other combination flashes in the scratch records.
Records choose_records(int64_t side, int64_t islot) {
  if (retention_mode() != 0 && islot >= 1 && islot <= KVT_RECORDS_PER_SIDE && (side == 0 || side == 1)) {
    const host::RetentionRecord r =
        host::retention_record(first_real_record(), first_int_record(), islot - 1 + KVT_RECORDS_PER_SIDE * side);
    return {r.real, r.integer, true, r.status};
  }
  return {host::scratch_real_record(), host::scratch_int_record(), false, 0};
}

// The retention mode records the judgement: 2 after a flash not judged good, back to 1 after a good
// one. Mode 2 hands the next flash of a negative ISLOT retention argument 1 and keeps the slot-2
// estimate. Modes 0 (retention off) and below are the host's and are never rewritten.
void judge(const Records& rec, CallWords& words, int64_t* ierr) {
  int64_t& mode = retention_mode();
  if (WEND_FLSTAT(&words.judge_one, &state.status) == 1) {
    if (mode == 2) mode = 1;
    *ierr = host::flash_error_word();
    if (rec.retained) host::set_plex_int(rec.status_pos, host::flash_error_word());
    return;
  }
  if (mode > 0) mode = 2;
  if (rec.retained) host::set_plex_int(rec.status_pos, 0);
  int64_t& flag = host::flash_failure_flag();
  *ierr = 0;
  if (flag != 0) {
    *ierr = KVT_ERR_FLASH_FAILED;
    flag = 0;
  }
}

// A flash that found a single liquid leaves the first liquid equal to the liquid.
void copy_single_liquid() {
  if (host::liquid_split() != 1.0) return;
  const int64_t ncomp = host::ncomp();
  host::walk_runs(
      ncomp,
      [ncomp](auto x, auto x1) {
        for (int64_t i = 0; i < ncomp; ++i) x1.set_word(i, x.word(i));
      },
      host::comp_pos(phase::kLiquid.comp.word), host::comp_pos(phase::kLiquid1.comp.word));
  for (auto item : {host::PhaseItem::Enthalpy, host::PhaseItem::Further, host::PhaseItem::Volume, host::PhaseItem::MolWt}) {
    host::set_phase_value(item, phase::kLiquid1.slot, host::phase_value(item, phase::kLiquid.slot));
  }
}

}  // namespace

}  // namespace kvt

extern "C" KVT_EXPORT void KVT_HXFLSH(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* islot,
                                      const int64_t* kspec, const int64_t* kphs, const int64_t* kpeq, int64_t* ierr) {
  using namespace kvt;
  *ierr = 0;
  trace::write_flash_entry(strm, nstrm);

  CallWords words;
  const int64_t side = *iside;
  select_option_set(side);
  apply_phase_request(kphs);
  const int64_t spec_kind = *kspec;
  set_specifications(strm, spec_kind, words);
  if (estimates_temperature(spec_kind)) {
    drop_slot2_estimate(side, *islot);
    trace::write_flash_nsubs(*nsubs());
  }

  const Records rec = choose_records(side, *islot);
  words.retention_arg = retention_mode() == 2 && *islot < 0 ? 1 : retention_mode();
  WorkingCopy& c = state.copy;
  WEND_FLASH(strm, nsubs(), host::descriptor1_ptr(), host::descriptor2_ptr(*nsubs()), c.options,
             const_cast<int64_t*>(kspec), &c.kind, &c.nphase, &c.flash_option, &c.real_option, &state.spec1,
             &state.spec2, &state.estimate, option22(), option23(), &words.retention_arg, &words.one, rec.real,
             rec.integer, &state.status);
  judge(rec, words, ierr);

  copy_single_liquid();
  pack_compositions();
  slot(strm, Slot::Temperature) = host::calc_temperature();
  slot(strm, Slot::Pressure) = host::calc_pressure();
  if (*kpeq == KVT_PEQ_ON && (side == 0 || side == 1)) MUTO_PEQPT1(&KVT_WORD(KVT_HXSBD, KVT_HXSBD_SIDE_0 + side));
  trace::write_flash_exit();
}
