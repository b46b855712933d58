#include "support/snapshot.h"

#include <cstring>

namespace kvt::test {

namespace {

std::vector<int64_t> words(const void* p, std::size_t n) {
  std::vector<int64_t> w(n);
  std::memcpy(w.data(), p, n * sizeof(int64_t));
  return w;
}

}  // namespace

Snapshot take_snapshot(Stream& s, int64_t plex_end) {
  Snapshot snap;
  snap.areas.emplace_back("PLEX", words(rec::plex_addr(1), static_cast<std::size_t>(plex_end - 1)));
  snap.areas.emplace_back("STRM", words(s.data(), s.v.size()));
  for (const rec::Blocks& b : rec::host_blocks()) snap.areas.emplace_back(b.name, words(b.data, b.words));
  snap.areas.emplace_back("KVT_IHXPP", words(KVT_IHXPP, 28));
  snap.areas.emplace_back("KVT_RHXPP", words(KVT_RHXPP, 8));
  snap.areas.emplace_back("KVT_HXPKV", words(KVT_HXPKV, 16));
  snap.areas.emplace_back("KVT_HXRMSS", words(KVT_HXRMSS, 4));
  snap.areas.emplace_back("KVT_HXRMIN", words(KVT_HXRMIN, 4));
  snap.areas.emplace_back("KVT_HXSBD", words(KVT_HXSBD, 4));
  snap.areas.emplace_back("KVT_HXSTRB", words(KVT_HXSTRB, 4));
  snap.areas.emplace_back("KVT_HXIMSS", words(KVT_HXIMSS, 4));
  snap.areas.emplace_back("KVT_HXPDBG", words(KVT_HXPDBG, 28));
  snap.areas.emplace_back("KVT_HXOUTP", words(KVT_HXOUTP, 4));
  return snap;
}

std::set<Word> diff(const Snapshot& before, const Snapshot& after) {
  std::set<Word> changed;
  for (std::size_t a = 0; a < before.areas.size(); ++a) {
    const auto& [name, w0] = before.areas[a];
    const auto& w1 = after.areas[a].second;
    for (std::size_t i = 0; i < w0.size(); ++i) {
      if (w0[i] != w1[i]) changed.insert({name, static_cast<int64_t>(i + 1)});
    }
  }
  return changed;
}

std::string outside(const std::set<Word>& changed, const std::set<Word>& allowed) {
  std::string out;
  for (const Word& w : changed) {
    if (!allowed.contains(w)) out += w.area + "(" + std::to_string(w.word) + ") ";
  }
  return out;
}

}  // namespace kvt::test
