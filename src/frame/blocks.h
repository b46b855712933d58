// The library's exported blocks, as the library's own code reads them: 1-based word numbers, the
// side-dependent words of an option set, and the trace switches.
#pragma once

#include <cstdint>

#include "kvt/kvt.h"

namespace kvt {

inline int64_t& ihxpp(int w) { return KVT_IHXPP[w - 1]; }
inline double& rhxpp(int w) { return KVT_RHXPP[w - 1]; }
inline int64_t hxpkv(int w) { return KVT_HXPKV[w - 1]; }

// The library's missing value: a result or a host value at or above it counts as missing.
inline double missing() { return KVT_HXRMSS[0]; }
// Lower bound on a molar volume that still yields a density.
inline double min_volume() { return KVT_HXRMIN[0]; }

// Option set of one side (0 or 1): word w of side 0 is word w + 10 of side 1.
inline int64_t* option_list(int64_t side) { return &KVT_IHXPP[10 * side]; }  // words 1-6 / 11-16
inline int64_t phase_count_option(int64_t side) { return KVT_IHXPP[10 * side + 6]; }
inline int64_t phase_kind_option(int64_t side) { return KVT_IHXPP[10 * side + 7]; }
inline int64_t flash_option(int64_t side) { return KVT_IHXPP[10 * side + 8]; }
inline int64_t water_switch(int64_t side) { return KVT_IHXPP[10 * side + 9]; }
inline double flash_real_option(int64_t side) { return KVT_RHXPP[3 * side]; }
inline double& estimate_marker(int64_t side) { return KVT_RHXPP[3 * side + 1]; }

// Common words 21-27.
inline int64_t* option21() { return &KVT_IHXPP[20]; }
inline int64_t* option22() { return &KVT_IHXPP[21]; }
inline int64_t* option23() { return &KVT_IHXPP[22]; }
inline int64_t first_int_record() { return KVT_IHXPP[23]; }
inline int64_t first_real_record() { return KVT_IHXPP[24]; }
inline int64_t* nsubs() { return &KVT_IHXPP[25]; }
inline int64_t& retention_mode() { return KVT_IHXPP[26]; }

}  // namespace kvt
