// Everything the library looks up by phase code (the clamped IPHS, KVT_PHASE_*): the phase's share
// of the stream and when it is absent, its composition of the last flash, its slot in the phase
// property table, its packed composition, its option copy and the compositions its trace lists.
// Routines read this table instead of switching on the code.
#pragma once

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
inline constexpr Composition kZ{15, "Z"};
inline constexpr Composition kX{16, "X"};
inline constexpr Composition kX1{17, "X1"};
inline constexpr Composition kX2{18, "X2"};
inline constexpr Composition kY{19, "Y"};

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
    {kY, 0, KVT_GROUP_VAPOUR, 0, &Fractions::fv, false, 0.0, kListY},        // vapour
    {kX, 1, KVT_GROUP_LIQUID, -1, &Fractions::fv, true, 1.0, kListX},        // total liquid
    {kX1, 2, KVT_GROUP_LIQUID1, 1, &Fractions::fl1, false, 0.0, kListX1},    // first liquid
    {kX2, 3, KVT_GROUP_LIQUID2, 2, &Fractions::fl2, false, 0.0, kListX2},    // second liquid
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

// The mole fraction of phase `code` from the snapped vapour fraction vf and liquid split beta. (A
// switch rather than a field of the table: it compiles to a jump, with no call on the way.)
constexpr MoleFraction mole_fraction(int64_t code, double vf, double beta) {
  switch (code) {
    case KVT_PHASE_VAPOUR:
      if (vf == 0.0) return {0.0, true};
      if (vf == 1.0) return {1.0, true};
      return {vf, false};
    case KVT_PHASE_LIQUID:
      if (vf == 1.0) return {0.0, true};
      if (vf == 0.0) return {1.0, true};
      return {1.0 - vf, false};
    case KVT_PHASE_LIQUID1:
      if (beta == 0.0) return {0.0, true};
      return {beta * (1.0 - vf), false};
    case KVT_PHASE_LIQUID2:
      if (vf == 1.0 || beta == 1.0) return {0.0, true};
      if (vf == 0.0 && beta == 0.0) return {1.0, true};
      return {(1.0 - beta) * (1.0 - vf), false};
    default:
      return {1.0, true};
  }
}

}  // namespace kvt::phase
