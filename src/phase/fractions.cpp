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
// component number. Out of line, so that a mole-basis fraction does not pay for the walk's registers.
[[gnu::noinline]] double composition_molwt(host::CompWord c) {
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

// A mole fraction on mass basis: value times the phase's summed weights over the stream's molecular
// weight. Out of line, so that the product always takes its operands in this order: where both are
// NaN, the result is the mole fraction's NaN, whichever routine asks.
[[gnu::noinline]] double mass_fraction(double value, double weights, const double* strm) {
  return (value * weights) / slot(strm, Slot::MolWt);
}

}  // namespace

void phase_fraction(double* strm, const int64_t* nstrm, int64_t code, int64_t basis, double* frc) {
  const double vf = slot(strm, Slot::VapourFraction);
  if (vf >= host::host_missing()) {
    *frc = 0.0;
    return;
  }
  const MoleFraction f = mole_fraction(code, snap(vf), snap(host::liquid_split()));
  double value = f.value;
  if (basis == KVT_BASIS_MASS && !f.final) {
    value = mass_fraction(value, composition_molwt(entry(code).comp.word), strm);
  }
  *frc = value;
  trace::write(trace::kHxpfrc, [&] {
    return trace::Values{.strm = strm, .nstrm = *nstrm, .phase = code, .result = *frc};
  });
}

Fractions phase_fractions(double* strm, const int64_t* nstrm, int64_t basis) {
  Fractions f{};
  // With the phase-fraction trace on, each fraction is asked for and traced in turn, as KVT_HXPFRC.
  if (trace::enabled(trace::kHxpfrc)) {
    phase_fraction(strm, nstrm, KVT_PHASE_VAPOUR, basis, &f.fv);
    phase_fraction(strm, nstrm, KVT_PHASE_LIQUID1, basis, &f.fl1);
    phase_fraction(strm, nstrm, KVT_PHASE_LIQUID2, basis, &f.fl2);
    return f;
  }
  // Without it nothing happens between the three, so they share the vapour fraction, the liquid split
  // and, on mass basis, one walk over the component weights. Each fraction is formed exactly as above.
  const double vf = slot(strm, Slot::VapourFraction);
  if (vf >= host::host_missing()) return f;
  const double v = snap(vf), beta = snap(host::liquid_split());
  const MoleFraction mv = mole_fraction(KVT_PHASE_VAPOUR, v, beta);
  const MoleFraction m1 = mole_fraction(KVT_PHASE_LIQUID1, v, beta);
  const MoleFraction m2 = mole_fraction(KVT_PHASE_LIQUID2, v, beta);
  f = {mv.value, m1.value, m2.value};
  if (basis != KVT_BASIS_MASS || (mv.final && m1.final && m2.final)) return f;
  double sv = 0.0, s1 = 0.0, s2 = 0.0;
  if (!mv.final && !m1.final && !m2.final) {
    const int64_t n = host::flash_count();
    host::walk_runs(
        n,
        [&](auto y, auto x1, auto x2, auto list) {
          for (int64_t i = 0; i < n; ++i) {
            const double w = host::component_molwt(list.word(i));
            sv += y.real(i) * w;
            s1 += x1.real(i) * w;
            s2 += x2.real(i) * w;
          }
        },
        host::comp_pos(kVapour.comp.word), host::comp_pos(kLiquid1.comp.word), host::comp_pos(kLiquid2.comp.word),
        host::complist_pos());
  } else {
    if (!mv.final) sv = composition_molwt(kVapour.comp.word);
    if (!m1.final) s1 = composition_molwt(kLiquid1.comp.word);
    if (!m2.final) s2 = composition_molwt(kLiquid2.comp.word);
  }
  if (!mv.final) f.fv = mass_fraction(f.fv, sv, strm);
  if (!m1.final) f.fl1 = mass_fraction(f.fl1, s1, strm);
  if (!m2.final) f.fl2 = mass_fraction(f.fl2, s2, strm);
  return f;
}

}  // namespace kvt::phase

extern "C" KVT_EXPORT void KVT_HXPFRC(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* frc, int64_t* ierr) {
  *ierr = 0;
  kvt::phase::phase_fraction(strm, nstrm, kvt::clamp_phase(*iphs), kvt::clamp_basis(*ibas), frc);
}
