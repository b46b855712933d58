#include "phase/fractions.h"

#include <array>
#include <cmath>
#include <type_traits>

#include "blocks/codes.h"
#include "stream/slots.h"
#include "trace/trace.h"

namespace kvt::phase {

namespace {

// The sum of mole fraction times weight over the n components of runs shifted by n (n > 0), added
// in the components' order. The index runs from -n up to 0, so that the loop's step is also its test.
// Where the weights can be read directly, two components a step (an odd count takes its first
// through the checked read), until a pair holds a number that cannot; the rest one by one, checked.
template <class X, class List>
[[gnu::always_inline]] inline double weighted_sum(X xe, List le, int64_t n) {
  double s = 0.0;
  int64_t i = -n;
  const host::Pos table = host::molwt_table();
  if (std::is_same_v<X, host::CheckedRun> && host::DirectMolwts::fits(table)) {
    if (n & 1) s += xe.real(i) * host::component_molwt(le.word(i)), ++i;
    const host::DirectMolwts w(table);
    for (; i != 0; i += 2) {
      const int64_t j0 = le.word(i), j1 = le.word(i + 1);
      if (!w.fits_number(j0) || !w.fits_number(j1)) break;
      s += xe.real(i) * w[j0];
      s += xe.real(i + 1) * w[j1];
    }
  }
  for (; i != 0; ++i) s += xe.real(i) * host::component_molwt(le.word(i));
  return s;
}

// Molecular weight of a phase from its composition and the component molecular weights: the
// composition and the component-number list are walked as runs; each weight is read at its own
// component number. Always inline: the walk then runs in the caller's free registers, with no call.
[[gnu::always_inline]] inline double composition_molwt(host::CompWord c) {
  const int64_t n = host::flash_count();
  return host::walk_runs(
      n,
      [n](auto x, auto list) {
        if (n <= 0) return 0.0;
        return weighted_sum(x.shifted(n), list.shifted(n), n);
      },
      host::comp_pos(c), host::complist_pos());
}

// The same, out of line: for the phase fractions when only some of the three need their weights.
[[gnu::noinline]] double phase_molwt(host::CompWord c) { return composition_molwt(c); }

// A mole fraction on mass basis: value times the phase's summed weights over the stream's molecular
// weight. Where the mole fraction is NaN the answer is that NaN, even where the weights are NaN too:
// the test names the operand whose NaN the product carries, so it does not depend on the order the
// compiler gives the product's operands, whichever routine asks.
double mass_fraction(double value, double weights, double stream_molwt) {
  const double product = std::isnan(value) ? value : value * weights;
  return product / stream_molwt;
}
// The same with the stream's weight read from its slot (the three fractions of phase_fractions).
double mass_fraction(double value, double weights, const double* strm) {
  const double product = std::isnan(value) ? value : value * weights;
  return product / slot(strm, Slot::MolWt);
}

// The phase-fraction trace, out of line so that an untraced fraction needs no stack frame.
[[gnu::noinline]] void trace_fraction(const double* strm, const int64_t* nstrm, int64_t code, double frc) {
  trace::routine_lines(trace::kHxpfrc, {.strm = strm, .nstrm = *nstrm, .phase = code, .result = frc});
}

void store_fraction(double* strm, const int64_t* nstrm, int64_t code, double* frc, double value) {
  *frc = value;
  if (trace::enabled(trace::kHxpfrc)) trace_fraction(strm, nstrm, code, value);
}

// The composition word of each phase code, packed so that one load finds it.
constexpr auto kCompWords = [] {
  std::array<host::CompWord, std::size(kEntries)> words{};
  for (std::size_t code = 0; code < words.size(); ++code) words[code] = kEntries[code].comp.word;
  return words;
}();

// The mass-basis fraction of a mole fraction that is not final (inline, as composition_molwt), with
// the stream's molecular weight read before the walk, which then needs no register for the stream.
[[gnu::always_inline]] inline double mass_basis(int64_t code, double mole, double stream_molwt) {
  return mass_fraction(mole, composition_molwt(kCompWords[static_cast<std::size_t>(code)]), stream_molwt);
}

// The same, stored and traced.
[[gnu::noinline]] void traced_mass_basis(double* strm, const int64_t* nstrm, int64_t code, double* frc, double mole,
                                         double stream_molwt) {
  store_fraction(strm, nstrm, code, frc, mass_basis(code, mole, stream_molwt));
}

}  // namespace

// The mass-basis fraction of a mole fraction that is not final, stored and traced. Out of line, so
// that a mole-basis fraction does not pay for the walk's registers. With the trace off only the walk
// and the two addresses it needs are live, so the walk needs no registers saved.
[[gnu::noinline]] static void phase_fraction_on_mass_basis(double* strm, const int64_t* nstrm, int64_t code,
                                                           double* frc, double mole, double stream_molwt) {
  if (trace::enabled(trace::kHxpfrc)) return traced_mass_basis(strm, nstrm, code, frc, mole, stream_molwt);
  *frc = mass_basis(code, mole, stream_molwt);
}

void phase_fraction(double* strm, const int64_t* nstrm, int64_t code, const int64_t* ibas, double* frc) {
  const double vf = slot(strm, Slot::VapourFraction);
  if (vf >= host::host_missing()) {
    *frc = 0.0;
    return;
  }
  const MoleFraction f = mole_fraction(code, vf, NanFirst::LiquidSplit);
  if (!f.final && *ibas == KVT_BASIS_MASS)
    return phase_fraction_on_mass_basis(strm, nstrm, code, frc, f.value, slot(strm, Slot::MolWt));
  store_fraction(strm, nstrm, code, frc, f.value);
}

Fractions phase_fractions(double* strm, const int64_t* nstrm, int64_t basis) {
  Fractions f{};
  // With the phase-fraction trace on, each fraction is asked for and traced in turn, as KVT_HXPFRC.
  if (trace::enabled(trace::kHxpfrc)) {
    phase_fraction(strm, nstrm, KVT_PHASE_VAPOUR, &basis, &f.fv);
    phase_fraction(strm, nstrm, KVT_PHASE_LIQUID1, &basis, &f.fl1);
    phase_fraction(strm, nstrm, KVT_PHASE_LIQUID2, &basis, &f.fl2);
    return f;
  }
  // Without it nothing happens between the three, so they share the vapour fraction, the liquid split
  // and, on mass basis, one walk over the component weights. Each fraction is formed exactly as above.
  const double vf = slot(strm, Slot::VapourFraction);
  if (vf >= host::host_missing()) return f;
  const MoleFraction mv = mole_fraction(KVT_PHASE_VAPOUR, vf, NanFirst::VapourFraction);
  const MoleFraction m1 = mole_fraction(KVT_PHASE_LIQUID1, vf, NanFirst::VapourFraction);
  const MoleFraction m2 = mole_fraction(KVT_PHASE_LIQUID2, vf, NanFirst::VapourFraction);
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
    if (!mv.final) sv = phase_molwt(kVapour.comp.word);
    if (!m1.final) s1 = phase_molwt(kLiquid1.comp.word);
    if (!m2.final) s2 = phase_molwt(kLiquid2.comp.word);
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
  kvt::phase::phase_fraction(strm, nstrm, kvt::clamp_phase(*iphs), ibas, frc);
}
