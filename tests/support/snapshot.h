// Snapshots of everything a routine could write: the host's work array (the laid-out part) and
// blocks, the stream vector and the library's blocks. diff() names each word that changed, so that a
// test can compare it with the words the routine may write.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/fixture.h"

namespace kvt::test {

// A changed word: its area ("PLEX", "STRM", a block name) and its 1-based word number.
struct Word {
  std::string area;
  int64_t word;
  auto operator<=>(const Word&) const = default;
};

struct Snapshot {
  std::vector<std::pair<std::string, std::vector<int64_t>>> areas;
};

// plex_end: first PLEX position not captured (e.g. a layout's end).
Snapshot take_snapshot(Stream& s, int64_t plex_end);
std::set<Word> diff(const Snapshot& before, const Snapshot& after);

// The words of `changed` that are not in `allowed`, as text for a failure message ("" when none).
std::string outside(const std::set<Word>& changed, const std::set<Word>& allowed);

}  // namespace kvt::test
