#include "phase/fractions.h"

#include "blocks/codes.h"
#include "stream/slots.h"
#include "trace/trace.h"

namespace kvt::phase {

namespace {

// A vapour fraction or liquid split within 1e-10 of a bound is that bound exactly, so that callers
// can test for an absent phase by equality.
double snap(double v) {
  if (v <= 1e-10) v = 0.0;
  if (v >= 0.9999999999) v = 1.0;
  return v;
}

// Molecular weight of a phase from its composition and the component molecular weights: the
// composition and the component-number list are walked as runs; each weight is read at its own
// component number.
double composition_molwt(host::CompWord c) {
  const int64_t n = host::flash_count();
  return host::walk_runs(
      n,
      [n](auto x, auto list) {
        double s = 0.0;
        for (int64_t i = 0; i < n; ++i) s += x.real(i) * host::component_molwt(list.word(i));
        return s;
      },
      host::comp_pos(c), host::complist_pos());
}

}  // namespace

void phase_fraction(double* strm, const int64_t* nstrm, int64_t code, int64_t basis, double* frc) {
  const double vf = slot(strm, Slot::VapourFraction);
  if (vf >= host::host_missing()) {
    *frc = 0.0;
    return;
  }
  const Entry& e = entry(code);
  const MoleFraction f = e.mole_fraction(snap(vf), snap(host::liquid_split()));
  double value = f.value;
  if (basis == KVT_BASIS_MASS && !f.final) value = (value * composition_molwt(e.comp.word)) / slot(strm, Slot::MolWt);
  *frc = value;
  trace::write(trace::kHxpfrc, {.strm = strm, .nstrm = *nstrm, .phase = code, .result = *frc});
}

Fractions phase_fractions(double* strm, const int64_t* nstrm, int64_t basis) {
  Fractions f{};
  phase_fraction(strm, nstrm, KVT_PHASE_VAPOUR, basis, &f.fv);
  phase_fraction(strm, nstrm, KVT_PHASE_LIQUID1, basis, &f.fl1);
  phase_fraction(strm, nstrm, KVT_PHASE_LIQUID2, basis, &f.fl2);
  return f;
}

}  // namespace kvt::phase

extern "C" KVT_EXPORT void KVT_HXPFRC(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* frc, int64_t* ierr) {
  *ierr = 0;
  kvt::phase::phase_fraction(strm, nstrm, kvt::clamp_phase(*iphs), kvt::clamp_basis(*ibas), frc);
}
