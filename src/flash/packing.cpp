#include "flash/packing.h"

#include "phase/phase.h"

namespace kvt {

namespace {

constexpr double kPresent = 1e-10;

// One group's walk: its composition's run, the flash components' number list, and where its packed
// numbers, fractions and count go.
[[gnu::always_inline]] inline void pack(int64_t n, host::Pos list, const phase::Entry& e) {
  const int64_t kept = host::walk_runs(
      n,
      [n](auto comp, auto numbers_in, auto numbers, auto fractions) {
        int64_t k = 0;
        if (n <= 0) return k;
        // The index runs from -n up to 0 over runs shifted by n: the loop's step is then also its test.
        const auto ce = comp.shifted(n), le = numbers_in.shifted(n);
        for (int64_t i = -n; i != 0; ++i) {
          const double x = ce.real(i);
          if (!(x > kPresent)) continue;
          numbers.set_word(k, le.word(i));
          fractions.set_real(k, x);
          ++k;
        }
        return k;
      },
      host::comp_pos(e.comp.word), list, packed_numbers_pos(e.group), packed_fractions_pos(e.group));
  host::set_plex_int(packed_count_pos(e.group), kept);
}

}  // namespace

// The walks write packed words only, never the words that say where the runs are, so the flash
// components' count and number list are read once for all four.
void pack_compositions() {
  const int64_t n = host::flash_count();
  const host::Pos list = host::complist_pos();
  pack(n, list, phase::kLiquid);
  pack(n, list, phase::kLiquid1);
  pack(n, list, phase::kLiquid2);
  pack(n, list, phase::kVapour);
}

}  // namespace kvt
