#include "flash/packing.h"

#include "host/packed.h"
#include "host/store.h"

namespace kvt {

namespace {

constexpr double kPresent = 1e-10;

void pack(host::Group g, host::Comp source) {
  const int64_t n = host::flash_count();
  const host::Pos comp = host::comp_pos(source);
  const host::Pos list = host::complist_pos();
  const host::Pos numbers = host::packed_numbers_pos(g);
  const host::Pos fractions = host::packed_fractions_pos(g);
  int64_t kept = 0;
  for (int64_t i = 0; i < n; ++i) {
    const double x = host::plex_real(host::add(comp, i));
    if (!(x > kPresent)) continue;
    host::set_plex_int(host::add(numbers, kept), host::plex_int(host::add(list, i)));
    host::set_plex_real(host::add(fractions, kept), x);
    ++kept;
  }
  host::set_plex_int(host::packed_count_pos(g), kept);
}

}  // namespace

void pack_compositions() {
  pack(host::Group::Liquid, host::Comp::X);
  pack(host::Group::Liquid1, host::Comp::X1);
  pack(host::Group::Liquid2, host::Comp::X2);
  pack(host::Group::Vapour, host::Comp::Y);
}

}  // namespace kvt
