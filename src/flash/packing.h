// Packed compositions of the last flash: for one phase group (KVT_GROUP_*), the flash components
// present in it above 1e-10, kept at the VOKA_PLEX positions that KVT_HXPKV names: word k the count,
// word k+5 the first component number, word k+10 the first mole fraction. The flash writes them;
// the transport-property routines read them.
#pragma once

#include <cstdint>

#include "blocks/blocks.h"
#include "host/store.h"

namespace kvt {

// Word `base` of group 1 is word base + group - 1 of another group.
inline host::Pos packed_pos(int base, int64_t group) { return hxpkv(base + static_cast<int>(group) - 1); }
inline host::Pos packed_count_pos(int64_t group) { return packed_pos(KVT_HXPKV_COUNT, group); }
inline host::Pos packed_numbers_pos(int64_t group) { return packed_pos(KVT_HXPKV_NUMBERS, group); }
inline host::Pos packed_fractions_pos(int64_t group) { return packed_pos(KVT_HXPKV_FRACTIONS, group); }

inline int64_t packed_count(int64_t group) { return host::plex_int(packed_count_pos(group)); }
inline int64_t* packed_numbers(int64_t group) { return host::plex_int_ptr(packed_numbers_pos(group)); }
inline double* packed_fractions(int64_t group) { return host::plex_real_ptr(packed_fractions_pos(group)); }

// For the liquid, first liquid, second liquid and vapour in that order: keep the flash components
// whose mole fraction is above 1e-10, in flash-component order, with their component numbers.
void pack_compositions();

}  // namespace kvt
