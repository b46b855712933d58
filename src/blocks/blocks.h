// The library's exported blocks, as the library's own code reads them: the side-dependent words of
// an option set, the common words, and the single words of the small blocks.
#pragma once

#include <cstdint>

#include "kvt/kvt.h"

namespace kvt {

inline int64_t hxpkv(int w) { return KVT_WORD(KVT_HXPKV, w); }

// The library's missing value: a result or a host value at or above it counts as missing.
inline double missing() { return KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING); }
// Lower bound on a molar volume that still yields a density.
inline double min_volume() { return KVT_WORD(KVT_HXRMIN, KVT_HXRMIN_VOLUME); }

// Word w of the option set of one side (0 or 1).
inline int64_t& side_word(int64_t side, int w) { return KVT_WORD(KVT_IHXPP, w + KVT_SIDE_STRIDE_I * side); }
inline double& side_real(int64_t side, int w) { return KVT_WORD(KVT_RHXPP, w + KVT_SIDE_STRIDE_R * side); }

inline int64_t* option_list(int64_t side) { return &side_word(side, KVT_IHXPP_OPTION_LIST); }  // 6 words
inline int64_t phase_count_option(int64_t side) { return side_word(side, KVT_IHXPP_PHASE_COUNT); }
inline int64_t phase_kind_option(int64_t side) { return side_word(side, KVT_IHXPP_PHASE_KIND); }
inline int64_t flash_option(int64_t side) { return side_word(side, KVT_IHXPP_FLASH_OPTION); }
inline int64_t water_switch(int64_t side) { return side_word(side, KVT_IHXPP_WATER); }
inline double flash_real_option(int64_t side) { return side_real(side, KVT_RHXPP_FLASH_REAL); }
inline double& estimate_marker(int64_t side) { return side_real(side, KVT_RHXPP_ESTIMATE_MARKER); }

// Common words 21-27.
inline int64_t* option21() { return &KVT_WORD(KVT_IHXPP, KVT_IHXPP_MONITOR); }
inline int64_t* option22() { return &KVT_WORD(KVT_IHXPP, KVT_IHXPP_FLASH); }
inline int64_t* option23() { return &KVT_WORD(KVT_IHXPP, KVT_IHXPP_COMMON); }
inline int64_t first_int_record() { return KVT_WORD(KVT_IHXPP, KVT_IHXPP_INT_RECORDS); }
inline int64_t first_real_record() { return KVT_WORD(KVT_IHXPP, KVT_IHXPP_REAL_RECORDS); }
inline int64_t* nsubs() { return &KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS); }
inline int64_t& retention_mode() { return KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION); }

}  // namespace kvt
