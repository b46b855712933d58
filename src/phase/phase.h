// Everything the library looks up by phase code (the clamped IPHS, KVT_PHASE_*): the phase's share
// of the stream and when it is absent, its composition of the last flash, its slot in the phase
// property table, its packed composition, its option copy and the compositions its trace lists.
// Routines read this table instead of switching on the code.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "host/store.h"
#include "kvt/kvt.h"

namespace kvt::phase {

// FV, FL1, FL2: the stream's vapour, first-liquid and second-liquid fractions on one basis.
struct Fractions {
  double fv;
  double fl1;
  double fl2;
};

// A composition of the last flash: the TEBU_STWORK word of its offset, and its name in the trace.
struct Composition {
  host::CompWord word;
  std::string_view label;
};
inline constexpr Composition kZ{KVT_STWORK_Z, "Z"};
inline constexpr Composition kX{KVT_STWORK_X, "X"};
inline constexpr Composition kX1{KVT_STWORK_X1, "X1"};
inline constexpr Composition kX2{KVT_STWORK_X2, "X2"};
inline constexpr Composition kY{KVT_STWORK_Y, "Y"};

// A phase's mole fraction of the stream, as KVT_HXPFRC answers it. A bound (0 or 1 exactly) is final:
// it is the answer on mass basis too.
struct MoleFraction {
  double value;
  bool final;
};

// Compositions a trace lists for a phase, always in this order.
enum : unsigned { kListX = 1, kListY = 2, kListX1 = 4, kListX2 = 8 };

struct Entry {
  Composition comp;                // the whole stream: Z
  host::TableSlot slot;            // slot in the phase property table; the whole stream has none (-1)
  int64_t group;                   // KVT_GROUP_* of the packed composition; 0: none
  int option_copy;                 // which of the three option copies; -1: none
  double Fractions::*fraction;     // the stream fraction behind its share; the whole stream: none
  bool complement;                 // share = 1 - that fraction (the total liquid)
  double absent_at;                // the phase is absent when that fraction equals this
  unsigned listed;                 // compositions its trace lists: kListX | kListY | kListX1 | kListX2
};

inline constexpr Entry kEntries[] = {
    {},  // codes start at 1
    {kZ, -1, 0, -1, nullptr, false, 0.0, kListX | kListY},                   // whole stream
    {kY, KVT_TABLE_VAPOUR, KVT_GROUP_VAPOUR, 0, &Fractions::fv, false, 0.0, kListY},        // vapour
    {kX, KVT_TABLE_LIQUID, KVT_GROUP_LIQUID, -1, &Fractions::fv, true, 1.0, kListX},        // total liquid
    {kX1, KVT_TABLE_LIQUID1, KVT_GROUP_LIQUID1, 1, &Fractions::fl1, false, 0.0, kListX1},    // first liquid
    {kX2, KVT_TABLE_LIQUID2, KVT_GROUP_LIQUID2, 2, &Fractions::fl2, false, 0.0, kListX2},    // second liquid
};

// The entry of a clamped phase code.
constexpr const Entry& entry(int64_t code) { return kEntries[code]; }

inline constexpr const Entry& kWhole = kEntries[KVT_PHASE_STREAM];
inline constexpr const Entry& kVapour = kEntries[KVT_PHASE_VAPOUR];
inline constexpr const Entry& kLiquid = kEntries[KVT_PHASE_LIQUID];
inline constexpr const Entry& kLiquid1 = kEntries[KVT_PHASE_LIQUID1];
inline constexpr const Entry& kLiquid2 = kEntries[KVT_PHASE_LIQUID2];

constexpr bool is_whole(const Entry& e) { return e.fraction == nullptr; }
// The phase's share of the stream; not for the whole stream.
constexpr double share(const Entry& e, const Fractions& f) {
  return e.complement ? 1.0 - f.*e.fraction : f.*e.fraction;
}
// Whether the phase is absent from the stream; the whole stream never is.
constexpr bool absent(const Entry& e, const Fractions& f) { return !is_whole(e) && f.*e.fraction == e.absent_at; }

// A vapour fraction or liquid split within 1e-10 of a bound is that bound exactly, so that an absent
// phase is found by equality. Away from the bounds the snapped value is the value itself.
constexpr bool snaps_to_zero(double v) { return v <= 1e-10; }
constexpr bool snaps_to_one(double v) { return v >= 0.9999999999; }
constexpr double snap(double v) { return snaps_to_zero(v) ? 0.0 : snaps_to_one(v) ? 1.0 : v; }

// A NaN that meets arithmetic comes out quiet: its quiet bit set, its sign and payload kept.
inline double quiet(double nan) { return std::bit_cast<double>(std::bit_cast<uint64_t>(nan) | uint64_t{1} << 51); }

// Which NaN a liquid's share carries where the vapour fraction and the liquid split are both NaN.
// The second liquid's share carries the liquid split's when asked for alone (KVT_HXPFRC, and the
// fractions with their trace on) and the vapour fraction's when asked for with the other two.
enum class NanFirst { VapourFraction, LiquidSplit };

// A liquid's share formed from the snapped vapour fraction and liquid split. Where it is NaN it
// carries the NaN that `first` names when both are NaN, else the one NaN (quiet, as arithmetic leaves
// it), whatever order the compiler gives the product's operands.
inline MoleFraction liquid_share(double share, double vf, double beta, NanFirst first) {
  if (!std::isnan(share)) return {share, false};
  if (first == NanFirst::VapourFraction) return {quiet(std::isnan(vf) ? vf : beta), false};
  return {quiet(std::isnan(beta) ? beta : vf), false};
}

// The mole fraction of phase `code` from the stream's vapour fraction vf; the liquid split is read
// only for the two liquids that need it. The bounds are tested on the values as read, which is the
// same as testing the snapped values for equality with them (away from the bounds the snapped value
// is the value itself). A code outside 1-5 is the whole stream. (A switch rather than a field of the
// table: it compiles to a jump, with no call on the way.)
inline MoleFraction mole_fraction(int64_t code, double vf, NanFirst second_liquid_nan) {
  switch (code) {
    case KVT_PHASE_VAPOUR:
      if (snaps_to_zero(vf)) return {0.0, true};
      if (snaps_to_one(vf)) return {1.0, true};
      return {vf, false};
    case KVT_PHASE_LIQUID:
      if (snaps_to_one(vf)) return {0.0, true};
      if (snaps_to_zero(vf)) return {1.0, true};
      return {1.0 - vf, false};
    case KVT_PHASE_LIQUID1: {
      const double beta = host::liquid_split();
      if (snaps_to_zero(beta)) return {0.0, true};
      return liquid_share(snap(beta) * (1.0 - snap(vf)), vf, beta, NanFirst::VapourFraction);
    }
    case KVT_PHASE_LIQUID2: {
      const double beta = host::liquid_split();
      if (snaps_to_one(vf) || snaps_to_one(beta)) return {0.0, true};
      if (snaps_to_zero(vf) && snaps_to_zero(beta)) return {1.0, true};
      return liquid_share((1.0 - snap(beta)) * (1.0 - snap(vf)), vf, beta, second_liquid_nan);
    }
    default:
      return {1.0, true};
  }
}

}  // namespace kvt::phase
