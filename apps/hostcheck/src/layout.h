// The work-array areas the library forms positions of, and the checks on where they lie.
#pragma once

#include <vector>

#include "store.h"

namespace kvt::hostcheck {

struct Layout {
  std::vector<Area> host;     // named by VOKA_STWKWK, TEBU_STWORK and VOKA_IPOFF1
  std::vector<Area> packed;   // the packed lists of KVT_HXPKV
  std::vector<Area> records;  // the integer and the real retention records; none with retention off
  int64_t real_record_words = 0;  // R, TEBU_STWORK word 1
  int64_t int_record_words = 0;   // I + 1: TEBU_STWORK word 2 and the status word
};

inline constexpr int64_t kRecords = KVT_RECORDS;  // five retention slots per side

Layout lay_out(const Context& cx);
// Positions, host areas, packed lists and the retention records' declared lengths.
void check_layout(Context& cx, const Layout& layout);
// The host's areas and the records all lie inside the work array: the checker may hand their
// addresses to the host.
bool inside_work_array(const Context& cx, const Layout& layout);

}  // namespace kvt::hostcheck
