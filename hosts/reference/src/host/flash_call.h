// What every flash the host runs for a caller shares: the feed read from a stream's component flows
// and the request built on the host's ranges (TEBU_SETH, WEND_FLASH, make_stream).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flash/flash.h"

namespace kvt::reference {

struct Feed {
  std::vector<double> z;  // mole fractions, one per selected component
  double flow = 0.0;      // total, kmol/s
  std::string problem;    // why the flows cannot be flashed (a negative or non-finite flow, no flow), or empty
};

// The feed of NCOMP component flows (read word by word: they may lie in the work array).
Feed feed_of(const double* flows);

// A request for the feed: temperatures within the range of its components present, pressures within
// the host's range.
FlashRequest flash_request(const Feed& feed, std::int64_t kspec, double spec1, double spec2, double estimate,
                           bool free_water, PhaseModel model);

}  // namespace kvt::reference
