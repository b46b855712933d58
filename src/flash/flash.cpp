// KVT_HXFLSH: flash a stream with the host's flash and the option set of one exchanger side, and
// leave the results where the property routines find them.
#include <initializer_list>

#include "flash/packing.h"
#include "frame/blocks.h"
#include "frame/stream.h"
#include "frame/trace.h"
#include "host/store.h"
#include "kvt/kvt.h"

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

// Everything the flash keeps from call to call, or hands to the host by address.
struct FlashState {
  WorkingCopy copy;
  double spec1, spec2;
  double estimate;         // kept from the previous call for KSPEC 2
  int64_t retention_arg;   // retention mode as the host flash receives it
  int64_t one;             // a word holding 1, after the retention mode
  int64_t judge_one;       // the constant 1 handed to WEND_FLSTAT
  int64_t zero;            // the constant 0 handed to TEBU_SETH
  host::Pos status_pos;    // status word of the last retention record used
  int64_t status;          // flash status word, set by the host flash
};

FlashState state;

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

// Narrow the phases the flash may find, unless the option set asks for a fixed kind.
void apply_phase_request(const int64_t* kphs) {
  WorkingCopy& c = state.copy;
  if (c.kind == 1 || c.kind == 11 || c.kind == 3) return;
  const auto code = [&](int64_t k) { return host::add(host::mul(c.water, 10), k); };
  switch (*kphs) {
    case 1: c.nphase = 2; c.kind = code(1); break;
    case 2: c.nphase = 1; c.kind = code(2); break;
    case 3: c.nphase = 1; c.kind = code(1); break;
    default: break;
  }
}

double vapour_fraction_spec(double* strm) {
  const double vf = slot(strm, Slot::VapourFraction);
  return vf == host::host_missing() ? 0.0 : vf;
}

void set_specifications(double* strm, int64_t kspec) {
  switch (kspec) {
    case 1: {
      state.spec2 = slot(strm, Slot::Enthalpy);
      state.zero = 0;
      TEBU_SETH(strm, nsubs(), host::descriptor1_ptr(), host::descriptor2_ptr(*nsubs()), &state.zero);
      state.spec1 = slot(strm, Slot::Pressure);
      state.estimate = *nsubs() <= 1 ? slot(strm, Slot::Temperature) : host::host_missing();
      break;
    }
    case 2:
      state.spec1 = slot(strm, Slot::Temperature);
      state.spec2 = slot(strm, Slot::Pressure);
      break;
    case 3:
      state.spec1 = slot(strm, Slot::Pressure);
      state.spec2 = vapour_fraction_spec(strm);
      state.estimate = slot(strm, Slot::Temperature);
      break;
    case 4:
      state.spec1 = slot(strm, Slot::Temperature);
      state.spec2 = slot(strm, Slot::Enthalpy);
      state.estimate = slot(strm, Slot::Pressure);
      break;
    case 5:
      state.spec1 = slot(strm, Slot::Temperature);
      state.spec2 = vapour_fraction_spec(strm);
      state.estimate = slot(strm, Slot::Pressure);
      break;
    default:
      break;
  }
}

// The estimate of retention slot 2 is dropped once after each time the host lowers the side's marker.
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
  bool retained;  // a retention record, whose status word the judgement writes
};

// A retention record only for ISLOT 1..5 of side 0 or 1 with retention on: the ten records are all
// the host reserves, so any other combination flashes in the scratch records.
Records choose_records(int64_t side, int64_t islot) {
  if (retention_mode() != 0 && islot >= 1 && islot <= 5 && (side == 0 || side == 1)) {
    const host::RetentionRecord r = host::retention_record(first_real_record(), first_int_record(), islot + 5 * side - 1);
    state.status_pos = r.status;
    return {r.real, r.integer, true};
  }
  return {host::scratch_real_record(), host::scratch_int_record(), false};
}

void judge(const Records& rec, int64_t* ierr) {
  state.judge_one = 1;
  int64_t& mode = retention_mode();
  if (WEND_FLSTAT(&state.judge_one, &state.status) == 1) {
    if (mode == 2) mode = 1;
    *ierr = host::flash_error_word();
    if (rec.retained) host::set_plex_int(state.status_pos, host::flash_error_word());
    return;
  }
  if (mode > 0) mode = 2;
  if (rec.retained) host::set_plex_int(state.status_pos, 0);
  int64_t& flag = host::flash_failure_flag();
  *ierr = 0;
  if (flag != 0) {
    *ierr = 1;
    flag = 0;
  }
}

// A flash that found a single liquid leaves the first liquid equal to the liquid.
void copy_single_liquid() {
  if (host::liquid_split() != 1.0) return;
  const host::Pos x = host::comp_pos(host::Comp::X);
  const host::Pos x1 = host::comp_pos(host::Comp::X1);
  const int64_t ncomp = host::ncomp();
  for (int64_t i = 0; i < ncomp; ++i) host::set_plex_int(host::add(x1, i), host::plex_int(host::add(x, i)));
  for (auto item : {host::PhaseItem::Enthalpy, host::PhaseItem::Further, host::PhaseItem::Volume, host::PhaseItem::MolWt}) {
    host::set_phase_value(item, host::Phase::Liquid1, host::phase_value(item, host::Phase::Liquid));
  }
}

}  // namespace

}  // namespace kvt

extern "C" KVT_EXPORT void KVT_HXFLSH(double* strm, const int64_t* nstrm, const int64_t* iside, const int64_t* islot,
                                      const int64_t* kspec, const int64_t* kphs, const int64_t* kpeq, int64_t* ierr) {
  using namespace kvt;
  *ierr = 0;
  if (trace::enabled(trace::kFlashSwitch, trace::Test::EqualsOne)) trace::write_flash_entry(strm, *nstrm);

  const int64_t side = *iside;
  select_option_set(side);
  apply_phase_request(kphs);
  const int64_t spec_kind = *kspec;
  set_specifications(strm, spec_kind);
  if (spec_kind != 2 && spec_kind != 4 && spec_kind != 5) {
    drop_slot2_estimate(side, *islot);
    if (trace::enabled(trace::kFlashSwitch, trace::Test::EqualsOne)) trace::write_flash_nsubs(*nsubs());
  }

  const Records rec = choose_records(side, *islot);
  state.retention_arg = retention_mode() == 2 && *islot < 0 ? 1 : retention_mode();
  state.one = 1;
  WorkingCopy& c = state.copy;
  WEND_FLASH(strm, nsubs(), host::descriptor1_ptr(), host::descriptor2_ptr(*nsubs()), c.options,
             const_cast<int64_t*>(kspec), &c.kind, &c.nphase, &c.flash_option, &c.real_option, &state.spec1,
             &state.spec2, &state.estimate, option22(), option23(), &state.retention_arg, &state.one, rec.real,
             rec.integer, &state.status);
  judge(rec, ierr);

  copy_single_liquid();
  pack_compositions();
  slot(strm, Slot::Temperature) = host::calc_temperature();
  slot(strm, Slot::Pressure) = host::calc_pressure();
  if (*kpeq == 1 && (side == 0 || side == 1)) MUTO_PEQPT1(&KVT_HXSBD[side]);
  if (trace::enabled(trace::kFlashSwitch, trace::Test::EqualsOne)) trace::write_flash_exit();
}
