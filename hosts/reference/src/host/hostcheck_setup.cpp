// The reference host as a host module for kvt-hostcheck: kvt_hostcheck_setup selects the components of
// the overhead condenser (hexane, heptane, water, nitrogen), lays out the library's packed lists and
// retention records, and supplies four streams: an all-liquid and an all-vapour one of hexane and
// heptane, a vapour-liquid one without water (these three flashed on side 1, vapour-liquid) and one
// with vapour, a hydrocarbon liquid and free water (side 0, vapour-liquid-free-water).
#include <algorithm>
#include <array>
#include <vector>

#include "kvt/hostcheck.h"
#include "kvt/kvt.h"
#include "kvt_reference/reference_host.h"

namespace {

namespace reference = kvt::reference;

std::array<std::vector<double>, 4> streams;
std::array<kvt_hostcheck_stream, 4> described;

}  // namespace

extern "C" KVT_HOSTCHECK_SETUP_EXPORT int kvt_hostcheck_setup(kvt_hostcheck_input* input) {
  try {
    reference::select_components({"n-hexane", "n-heptane", "water", "nitrogen"}, reference::Method::ideal);
    const std::vector<double> hydrocarbons{0.012, 0.006, 0.0, 0.0}, dry{0.012, 0.006, 0.0, 0.002};
    const std::vector<double> overhead{0.012, 0.006, 0.010, 0.002};
    streams[0] = reference::make_stream(hydrocarbons, 300.0, 2.5e5);
    streams[1] = reference::make_stream(hydrocarbons, 420.0, 2.5e5);
    streams[2] = reference::make_stream(dry, 340.0, 2.5e5);
    streams[3] = reference::make_stream(overhead, 340.0, 2.5e5, true);
    const char* const names[4] = {"liquid", "vapour", "vapour and liquid", "vapour, liquid and free water"};
    const std::int64_t sides[4] = {1, 1, 1, 0};
    for (std::size_t k = 0; k < streams.size(); ++k) {
      described[k] = {names[k], streams[k].data(), static_cast<std::int64_t>(streams[k].size()), sides[k]};
    }

    *input = kvt_hostcheck_input{};
    input->plex_words = reference::plex_size();
    // Option sets: side 0 vapour-liquid-free-water, side 1 vapour-liquid.
    const auto word = [&](int w, int side = 0) -> std::int64_t& {
      return input->ihxpp[w - 1 + side * KVT_SIDE_STRIDE_I];
    };
    word(KVT_IHXPP_PHASE_COUNT) = 3;
    word(KVT_IHXPP_PHASE_KIND) = reference::kFreeWater + reference::kVapourLiquid;
    word(KVT_IHXPP_WATER) = 1;
    word(KVT_IHXPP_PHASE_COUNT, 1) = 2;
    word(KVT_IHXPP_PHASE_KIND, 1) = reference::kVapourLiquid;
    const reference::RetentionPositions records = reference::allocate_retention_records(10);
    word(KVT_IHXPP_INT_RECORDS) = records.integer_records;
    word(KVT_IHXPP_REAL_RECORDS) = records.real_records;
    word(KVT_IHXPP_NSUBS) = reference::kNsubs;
    word(KVT_IHXPP_RETENTION) = KVT_RETENTION_ON;
    const std::array<std::int64_t, 16> packed = reference::allocate_packed_lists();
    std::copy(packed.begin(), packed.end(), input->hxpkv);
    input->missing = 1.0e30;
    input->hxoutp[KVT_HXOUTP_UNIT - 1] = 6;  // the trace unit (not connected here: its lines are discarded)
    input->nstreams = static_cast<std::int64_t>(described.size());
    input->streams = described.data();
  } catch (...) {  // a bad databank or layout: nothing to check
    return 1;
  }
  return 0;
}
