// How the phase-property routines answer for a phase code: a single phase is evaluated once, the
// total liquid and the whole stream weight their phases' values by the phases' fractions. Each
// phase is evaluated at most once.
#pragma once

#include <cstdint>

#include "blocks/blocks.h"
#include "host/store.h"
#include "phase/request.h"

namespace kvt::props {

using phase::Entry;

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
void combine(const phase::Request& r, Mixing mixing, double* result, int64_t* ierr, Eval&& eval) {
  const double fv = r.f.fv, fl1 = r.f.fl1, fl2 = r.f.fl2;
  const auto value = [&](const Entry& e, double* dest) {
    eval(e, dest);
    if (r.basis == KVT_BASIS_MASS) *dest = *dest / host::phase_value(host::PhaseItem::MolWt, e.slot);
  };
  const Entry* asked = &r.phase;
  if (mixing != Mixing::AllPhases) {
    if (asked == &phase::kWhole) asked = &phase::kLiquid;
    if (asked == &phase::kVapour) {
      *result = missing();
      *ierr = KVT_ERR_ABSENT;
      return;
    }
  }
  if (phase::absent(*asked, r.f)) {
    *result = missing();
    *ierr = KVT_ERR_ABSENT;
    return;
  }
  if (asked->option_copy >= 0) return value(*asked, result);

  double w1 = 0.0, w2 = 0.0;
  if (asked == &phase::kLiquid && mixing == Mixing::LiquidMean) {
    if (fl1 > 0.0) value(phase::kLiquid1, &w1);
    if (fl2 > 0.0) value(phase::kLiquid2, &w2);
    const double liquid = fl1 + fl2;
    *result = liquid == 0.0 ? 0.0 : (w1 * fl1 + w2 * fl2) / liquid;
    return;
  }
  // The total liquid divides each liquid's share by the liquid fraction; the whole stream weights
  // every phase by its fraction of the stream.
  const bool whole = asked == &phase::kWhole;
  *result = 0.0;
  if (fl1 > 0.0) {
    value(phase::kLiquid1, &w1);
    *result += whole ? w1 * fl1 : (w1 * fl1) / (fl1 + fl2);
  }
  if (fl2 > 0.0) {
    value(phase::kLiquid2, &w2);
    *result += whole ? w2 * fl2 : (w2 * fl2) / (fl1 + fl2);
  }
  if (whole && fv > 0.0) {
    double wv = 0.0;
    value(phase::kVapour, &wv);
    *result += wv * fv;
  }
}

}  // namespace kvt::props
