// The stand-in host answering at once, set up as the benchmarks and the instruction counts use it:
// N flash components split over vapour and two liquids, every phase present, water rule on,
// recording and trace capture off.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "kvt/kvt.h"
#include "library_binding.h"
#include "recording_host.h"

namespace kvt::bench {

inline constexpr int32_t kTraceUnit = 6;

// Lay out the host for n flash components and return the stream vector; with `traced`, every trace
// switch is on and the stream's NSTRM is kept short (10) so that the trace of a large N stays small.
inline std::vector<double> set_up_instant_host(int64_t n, bool traced, int64_t& nstrm) {
  rec::reset();
  rec::Host& h = rec::host();
  h.recording = false;
  h.capture_trace = false;
  h.default_output = 1.5;
  h.idxwat = 1;
  const rec::Layout l = rec::lay_out(n);
  rec::bind_layout(l);
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = 1;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_WATER) = 1;  // side 0: the water rule runs
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = 1.0e35;
  KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = kTraceUnit;
  for (int64_t& w : KVT_HXPDBG) w = traced ? 1 : 0;
  rec::set_ncomp(n);
  rec::set_host_missing(1.0e30);
  std::vector<int64_t> numbers(static_cast<std::size_t>(n));
  const std::vector<double> x(static_cast<std::size_t>(n), 1.0 / static_cast<double>(n));
  for (int64_t i = 0; i < n; ++i) {
    numbers[static_cast<std::size_t>(i)] = i + 1;
    rec::set_molwt(i + 1, 16.0 + static_cast<double>(i % 50));
  }
  rec::set_flash_count(n);
  rec::set_components(numbers);
  for (auto c : {rec::Comp::X, rec::Comp::X1, rec::Comp::X2, rec::Comp::Y, rec::Comp::Z}) rec::set_composition(c, x);
  rec::set_stwkwk_real(19, 350.0);
  rec::set_stwkwk_real(20, 2.0e5);
  rec::set_stwkwk_real(23, 0.6);
  for (int w = 47; w <= 62; ++w) rec::set_stwork_real(w, 10.0 + w);
  std::vector<double> strm(static_cast<std::size_t>(n + 10), 1.0);
  strm[static_cast<std::size_t>(n + 4)] = 0.4;   // vapour fraction
  strm[static_cast<std::size_t>(n + 8)] = 40.0;  // molecular weight
  nstrm = traced ? 10 : n + 10;
  return strm;
}

}  // namespace kvt::bench
