#include "trace/trace.h"

#include "host/store.h"
#include "phase/phase.h"
#include "stream/slots.h"
#include "trace/line.h"

namespace kvt::trace {

namespace {

// Element lines of one composition of the last flash, i = 1..N.
void composition(Writer& w, const phase::Composition& c) {
  const int64_t n = host::flash_count();
  for (int64_t i = 1; i <= n; ++i) w.element(c.label, i, host::comp_value(c.word, i));
}

void stream_elements(Writer& w, const double* strm, int64_t nstrm) {
  for (int64_t i = 1; i <= nstrm; ++i) w.element("STRM", i, strm[i - 1]);
}

void compositions(Writer& w, Comps which, int64_t code) {
  if (which == Comps::None) return;
  if (which == Comps::Overall) return composition(w, phase::kZ);
  const unsigned listed = phase::entry(code).listed;
  if (listed & phase::kListX) composition(w, phase::kX);
  if ((listed & phase::kListY) && which == Comps::ByPhase) composition(w, phase::kY);
  if (listed & phase::kListX1) composition(w, phase::kX1);
  if (listed & phase::kListX2) composition(w, phase::kX2);
}

}  // namespace

void routine_lines(const Routine& r, const Values& v) {
  Writer w;
  w.blank();
  w.heading(r.name);
  w.integer("NSTRM", v.nstrm);
  if (r.phase_line) w.integer("IPHS ", v.phase);
  if (r.basis_line) w.integer("IBAS ", v.basis);
  if (!r.count_label.empty()) w.integer(r.count_label, host::flash_count());
  stream_elements(w, v.strm, v.nstrm);
  if (r.conditions) {
    w.real("T", slot(v.strm, Slot::Temperature));
    w.real("P", slot(v.strm, Slot::Pressure));
  }
  compositions(w, r.comps, v.phase);
  if (!r.volume_label.empty()) w.real(r.volume_label, v.volume);
  w.real(r.result_label, v.result);
}

void flash_entry_lines(const double* strm, int64_t nstrm) {
  Writer w;
  w.blank();
  w.heading(kFlashName);
  w.integer("NSTRM", nstrm, kFlashIntWidth);
  w.integer("NCC", host::ncomp(), kFlashIntWidth);
  stream_elements(w, strm, nstrm);
}

void flash_nsubs_line(int64_t nsubs) { Writer().integer("NSUBS", nsubs, kFlashIntWidth); }

void flash_exit_lines() {
  Writer w;
  w.integer("NCPM", host::flash_count(), kFlashIntWidth);
  w.real("TCALC", host::calc_temperature());
  w.real("PCALC", host::calc_pressure());
  w.real("VCALC", host::calc_vapour_fraction());
  w.real("QCALC", host::calc_duty());
  composition(w, phase::kX);
  composition(w, phase::kY);
  w.real("VL", host::phase_value(host::PhaseItem::Volume, phase::kLiquid.slot));
  w.real("VV", host::phase_value(host::PhaseItem::Volume, phase::kVapour.slot));
}

}  // namespace kvt::trace
