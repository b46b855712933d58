// The skeleton that the phase-property routines share: per-phase option copies with the water rule,
// and the dispatch on the phase code that evaluates each phase at most once and weights the phase
// values by their fractions.
#pragma once

#include <cstdint>

#include "flash/request.h"
#include "frame/blocks.h"
#include "host/store.h"

namespace kvt::props {

using host::Phase;

// The side's option list, one copy per phase. With the side's water switch at 1, a liquid that is
// pure water (mole fraction exactly 1.0 at water's position) is evaluated with option word 5 in
// place of word 1. The vapour copy and KVT_IHXPP itself are never changed.
class OptionCopies {
 public:
  explicit OptionCopies(int64_t side);
  int64_t* of(Phase ph) { return copies_[ph == Phase::Vapour ? 0 : ph == Phase::Liquid1 ? 1 : 2]; }

 private:
  int64_t copies_[3][6];  // vapour, first liquid, second liquid
};

// The full composition of the last flash that belongs to a phase.
constexpr host::Comp composition(Phase ph) {
  return ph == Phase::Vapour ? host::Comp::Y : ph == Phase::Liquid1 ? host::Comp::X1 : host::Comp::X2;
}

// How a routine combines the phases.
enum class Mixing {
  AllPhases,   // vapour, liquids and the whole stream; total liquid = sum over liquids / (FL1 + FL2)
  Liquids,     // a liquid-only property: vapour missing, whole stream = total liquid
  LiquidMean,  // as Liquids, total liquid = (s1 FL1 + s2 FL2) / (FL1 + FL2), 0.0 without liquid fractions
};

// Evaluate the request into *result. eval(phase, dest) stores that phase's value into *dest (the host
// may write it there directly); on mass basis it is then divided by the phase's molecular weight.
// An absent phase gives the missing value and IERR -1, with no evaluation.
template <class Eval>
void combine(const PhaseRequest& r, Mixing mixing, double* result, int64_t* ierr, Eval&& eval) {
  const double fv = r.f.fv, fl1 = r.f.fl1, fl2 = r.f.fl2;
  const auto value = [&](Phase ph, double* dest) {
    eval(ph, dest);
    if (r.basis == kMass) *dest = *dest / host::phase_value(host::PhaseItem::MolWt, ph);
  };
  const auto absent = [&] {
    *result = missing();
    *ierr = -1;
  };
  int64_t code = r.phase;
  if (mixing != Mixing::AllPhases && code == kWhole) code = kLiquid;

  switch (code) {
    case kVapour:
      if (mixing != Mixing::AllPhases || fv == 0.0) return absent();
      return value(Phase::Vapour, result);
    case kLiquid1:
      if (fl1 == 0.0) return absent();
      return value(Phase::Liquid1, result);
    case kLiquid2:
      if (fl2 == 0.0) return absent();
      return value(Phase::Liquid2, result);
    case kLiquid: {
      if (fv == 1.0) return absent();
      double w1 = 0.0, w2 = 0.0;
      if (mixing == Mixing::LiquidMean) {
        if (fl1 > 0.0) value(Phase::Liquid1, &w1);
        if (fl2 > 0.0) value(Phase::Liquid2, &w2);
        const double liquid = fl1 + fl2;
        *result = liquid == 0.0 ? 0.0 : (w1 * fl1 + w2 * fl2) / liquid;
        return;
      }
      *result = 0.0;
      if (fl1 > 0.0) {
        value(Phase::Liquid1, &w1);
        *result += (w1 * fl1) / (fl1 + fl2);
      }
      if (fl2 > 0.0) {
        value(Phase::Liquid2, &w2);
        *result += (w2 * fl2) / (fl1 + fl2);
      }
      return;
    }
    default: {
      double w1 = 0.0, w2 = 0.0, wv = 0.0;
      *result = 0.0;
      if (fl1 > 0.0) {
        value(Phase::Liquid1, &w1);
        *result += w1 * fl1;
      }
      if (fl2 > 0.0) {
        value(Phase::Liquid2, &w2);
        *result += w2 * fl2;
      }
      if (fv > 0.0) {
        value(Phase::Vapour, &wv);
        *result += wv * fv;
      }
      return;
    }
  }
}

}  // namespace kvt::props
