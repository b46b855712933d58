// What a host program does with a stand-in host's layout: hand its positions to the library's blocks.
// Header-only, so that the stand-in host itself never refers to the library.
#pragma once

#include <algorithm>
#include <array>

#include "kvt/kvt.h"
#include "recording_host.h"

namespace kvt::rec {

// KVT_HXPKV words 1-4, 6-9, 11-14 and KVT_IHXPP words 24, 25 from the layout.
inline void bind_layout(const Layout& l) {
  const std::array<int64_t, 16> w = l.hxpkv();
  std::copy(w.begin(), w.end(), KVT_HXPKV);
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_INT_RECORDS) = l.int_records;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_REAL_RECORDS) = l.real_records;
}

}  // namespace kvt::rec
