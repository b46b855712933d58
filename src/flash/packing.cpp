#include "flash/packing.h"

#include "phase/phase.h"

namespace kvt {

namespace {

constexpr double kPresent = 1e-10;

// Kept out of line: the walk then has the registers to itself.
[[gnu::noinline]] void pack(const phase::Entry& e) {
  const int64_t n = host::flash_count();
  const int64_t kept = host::walk_runs(
      n,
      [n](auto comp, auto list, auto numbers, auto fractions) {
        int64_t k = 0;
        for (int64_t i = 0; i < n; ++i) {
          const double x = comp.real(i);
          if (!(x > kPresent)) continue;
          numbers.set_word(k, list.word(i));
          fractions.set_real(k, x);
          ++k;
        }
        return k;
      },
      host::comp_pos(e.comp.word), host::complist_pos(), packed_numbers_pos(e.group), packed_fractions_pos(e.group));
  host::set_plex_int(packed_count_pos(e.group), kept);
}

}  // namespace

void pack_compositions() {
  for (const phase::Entry* e : {&phase::kLiquid, &phase::kLiquid1, &phase::kLiquid2, &phase::kVapour}) pack(*e);
}

}  // namespace kvt
