#include "flash/fractions.h"

#include "frame/codes.h"
#include "frame/stream.h"
#include "frame/trace.h"
#include "kvt/kvt.h"

namespace kvt {

namespace {

using host::Comp;

// A vapour fraction or liquid split within 1e-10 of a bound is that bound exactly, so that callers
// can test for an absent phase by equality.
double snap(double v) {
  if (v <= 1e-10) v = 0.0;
  if (v >= 0.9999999999) v = 1.0;
  return v;
}

// Molecular weight of a phase from its composition and the component molecular weights. The
// positions of the composition, the component-number list and the weights are formed once per walk.
double composition_molwt(Comp c) {
  const int64_t n = host::flash_count();
  const host::Pos x = host::comp_pos(c);
  const host::Pos list = host::complist_pos();
  double s = 0.0;
  for (int64_t i = 0; i < n; ++i) {
    s += host::plex_real(host::add(x, i)) * host::component_molwt(host::plex_int(host::add(list, i)));
  }
  return s;
}

struct MoleFraction {
  double value;
  bool final;  // a bound: no mass conversion
  Comp comp;   // composition of the phase, for the mass conversion
};

MoleFraction mole_fraction(int64_t phase, double vf, double beta) {
  switch (phase) {
    case kVapour:
      if (vf == 0.0) return {0.0, true, Comp::Y};
      if (vf == 1.0) return {1.0, true, Comp::Y};
      return {vf, false, Comp::Y};
    case kLiquid:
      if (vf == 1.0) return {0.0, true, Comp::X};
      if (vf == 0.0) return {1.0, true, Comp::X};
      return {1.0 - vf, false, Comp::X};
    case kLiquid1:
      if (beta == 0.0) return {0.0, true, Comp::X1};
      return {beta * (1.0 - vf), false, Comp::X1};
    case kLiquid2:
      if (vf == 1.0 || beta == 1.0) return {0.0, true, Comp::X2};
      if (vf == 0.0 && beta == 0.0) return {1.0, true, Comp::X2};
      return {(1.0 - beta) * (1.0 - vf), false, Comp::X2};
    default:
      return {1.0, true, Comp::Z};
  }
}

}  // namespace

void phase_fraction(double* strm, const int64_t* nstrm, int64_t phase, int64_t basis, double* frc) {
  const double vf = slot(strm, Slot::VapourFraction);
  if (vf >= host::host_missing()) {
    *frc = 0.0;
    return;
  }
  const MoleFraction f = mole_fraction(phase, snap(vf), snap(host::liquid_split()));
  double value = f.value;
  if (basis == kMass && !f.final) value = (value * composition_molwt(f.comp)) / slot(strm, Slot::MolWt);
  *frc = value;
  if (trace::enabled(trace::kHxpfrc)) {
    trace::write(trace::kHxpfrc, {.strm = strm, .nstrm = *nstrm, .phase = phase, .result = *frc});
  }
}

Fractions phase_fractions(double* strm, const int64_t* nstrm, int64_t basis) {
  Fractions f{};
  phase_fraction(strm, nstrm, kVapour, basis, &f.fv);
  phase_fraction(strm, nstrm, kLiquid1, basis, &f.fl1);
  phase_fraction(strm, nstrm, kLiquid2, basis, &f.fl2);
  return f;
}

}  // namespace kvt

extern "C" KVT_EXPORT void KVT_HXPFRC(double* strm, const int64_t* nstrm, const int64_t*, const int64_t* iphs,
                                      const int64_t* ibas, double* frc, int64_t* ierr) {
  *ierr = 0;
  kvt::phase_fraction(strm, nstrm, kvt::clamp_phase(*iphs), kvt::clamp_basis(*ibas), frc);
}
