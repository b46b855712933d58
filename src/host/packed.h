// Packed compositions: for one phase group, the flash components present in it above 1e-10, kept
// at the VOKA_PLEX positions named by KVT_HXPKV. The flash writes them; the transport-property
// routines read them.
#pragma once

#include <cstdint>

#include "frame/blocks.h"
#include "host/store.h"

namespace kvt::host {

// Phase groups of KVT_HXPKV.
enum class Group : int { Liquid = 1, Liquid1 = 2, Liquid2 = 3, Vapour = 4 };

inline Pos packed_count_pos(Group g) { return hxpkv(static_cast<int>(g)); }
inline Pos packed_numbers_pos(Group g) { return hxpkv(static_cast<int>(g) + 5); }
inline Pos packed_fractions_pos(Group g) { return hxpkv(static_cast<int>(g) + 10); }

inline int64_t packed_count(Group g) { return plex_int(packed_count_pos(g)); }
inline int64_t* packed_numbers(Group g) { return plex_int_ptr(packed_numbers_pos(g)); }
inline double* packed_fractions(Group g) { return plex_real_ptr(packed_fractions_pos(g)); }

}  // namespace kvt::host
