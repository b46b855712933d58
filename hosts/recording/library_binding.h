// What a host program does with a stand-in host's layout: hand its positions to the library's blocks.
// Header-only, so that the stand-in host itself never refers to the library.
#pragma once

#include "kvt/kvt.h"
#include "recording_host.h"

namespace kvt::rec {

// KVT_HXPKV words 1-4, 6-9, 11-14 and KVT_IHXPP words 24, 25 from the layout.
inline void bind_layout(const Layout& l) {
  for (int g = 0; g < 4; ++g) {
    KVT_HXPKV[g] = l.packed_count[g];
    KVT_HXPKV[g + 5] = l.packed_numbers[g];
    KVT_HXPKV[g + 10] = l.packed_fractions[g];
  }
  KVT_IHXPP[23] = l.int_records;
  KVT_IHXPP[24] = l.real_records;
}

}  // namespace kvt::rec
