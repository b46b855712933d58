// Slots of the host's stream vector. STRM(1..NCOMP) are component flows; the slots below follow
// them. NCOMP is read from the host on every access.
#pragma once

#include "host/store.h"

namespace kvt {

enum class Slot : int64_t {
  TotalFlow = KVT_SLOT_TOTAL_FLOW,
  Temperature = KVT_SLOT_TEMPERATURE,
  Pressure = KVT_SLOT_PRESSURE,
  Enthalpy = KVT_SLOT_ENTHALPY,
  VapourFraction = KVT_SLOT_VAPOUR_FRACTION,
  MolWt = KVT_SLOT_MOLWT
};

// D is double, or const double for a vector that is only read.
template <class D>
D& slot(D* strm, Slot s) {
  return strm[host::add(host::ncomp(), static_cast<int64_t>(s) - 1)];
}

}  // namespace kvt
