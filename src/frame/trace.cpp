#include "frame/trace.h"

#include "frame/trace_line.h"
#include "frame/stream.h"

namespace kvt::trace {

namespace {

using host::Comp;

constexpr std::string_view comp_label(Comp c) {
  switch (c) {
    case Comp::Z: return "Z";
    case Comp::X: return "X";
    case Comp::X1: return "X1";
    case Comp::X2: return "X2";
    case Comp::Y: return "Y";
  }
  return "";
}

// Element lines of one composition of the last flash, i = 1..N.
void composition(Writer& w, Comp c) {
  const int64_t n = host::flash_count();
  for (int64_t i = 1; i <= n; ++i) w.element(comp_label(c), i, host::comp_value(c, i));
}

void stream_elements(Writer& w, const double* strm, int64_t nstrm) {
  for (int64_t i = 1; i <= nstrm; ++i) w.element("STRM", i, strm[i - 1]);
}

void compositions(Writer& w, Comps which, int64_t phase) {
  switch (which) {
    case Comps::None: return;
    case Comps::Overall: composition(w, Comp::Z); return;
    case Comps::ByPhase:
    case Comps::ByPhaseNoVapour:
      if (phase == 1 || phase == 3) composition(w, Comp::X);
      if ((phase == 1 || phase == 2) && which == Comps::ByPhase) composition(w, Comp::Y);
      if (phase == 4) composition(w, Comp::X1);
      if (phase == 5) composition(w, Comp::X2);
      return;
  }
}

}  // namespace

void write(const Routine& r, const Values& v) {
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

void write_flash_entry(const double* strm, int64_t nstrm) {
  Writer w;
  w.blank();
  w.heading(kFlashName);
  w.integer("NSTRM", nstrm, kFlashIntWidth);
  w.integer("NCC", host::ncomp(), kFlashIntWidth);
  stream_elements(w, strm, nstrm);
}

void write_flash_nsubs(int64_t nsubs) { Writer().integer("NSUBS", nsubs, kFlashIntWidth); }

void write_flash_exit() {
  Writer w;
  w.integer("NCPM", host::flash_count(), kFlashIntWidth);
  w.real("TCALC", host::calc_temperature());
  w.real("PCALC", host::calc_pressure());
  w.real("VCALC", host::calc_vapour_fraction());
  w.real("QCALC", host::calc_duty());
  composition(w, Comp::X);
  composition(w, Comp::Y);
  w.real("VL", host::phase_value(host::PhaseItem::Volume, host::Phase::Liquid));
  w.real("VV", host::phase_value(host::PhaseItem::Volume, host::Phase::Vapour));
}

}  // namespace kvt::trace
