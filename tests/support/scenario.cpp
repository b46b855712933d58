#include "support/scenario.h"

#include <cstring>

namespace kvt::test {

void clear_library_blocks() {
  std::memset(KVT_IHXPP, 0, sizeof KVT_IHXPP), std::memset(KVT_RHXPP, 0, sizeof KVT_RHXPP);
  std::memset(KVT_HXPKV, 0, sizeof KVT_HXPKV), std::memset(KVT_HXRMSS, 0, sizeof KVT_HXRMSS);
  std::memset(KVT_HXRMIN, 0, sizeof KVT_HXRMIN), std::memset(KVT_HXSBD, 0, sizeof KVT_HXSBD);
  std::memset(KVT_HXSTRB, 0, sizeof KVT_HXSTRB), std::memset(KVT_HXIMSS, 0, sizeof KVT_HXIMSS);
  std::memset(KVT_HXPDBG, 0, sizeof KVT_HXPDBG), std::memset(KVT_HXOUTP, 0, sizeof KVT_HXOUTP);
}

void Scenario::SetUp() {
  rec::reset();
  clear_library_blocks();
  layout = rec::lay_out(8);
  rec::bind_layout(layout);
  rec::set_ncomp(kNcomp);
  rec::set_host_missing(kHostMissing);
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = kMissing;
  KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = kUnit;
  for (int64_t side : {0, 1}) {
    for (int w = 1; w <= 10; ++w) side_word(w, side) = option_word(w, side);
    side_word(KVT_IHXPP_PHASE_KIND, side) = 5 + side, side_word(KVT_IHXPP_WATER, side) = side;
    side_real(KVT_RHXPP_FLASH_REAL, side) = 0.5 + 4.0 * side;
  }
  for (int w : {KVT_IHXPP_MONITOR, KVT_IHXPP_FLASH, KVT_IHXPP_COMMON}) KVT_WORD(KVT_IHXPP, w) = 100 + w;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = 1;
  KVT_WORD(KVT_HXSBD, KVT_HXSBD_SIDE_0) = 31, KVT_WORD(KVT_HXSBD, KVT_HXSBD_SIDE_1) = 32;
  TEBU_STWORK[0] = 6, TEBU_STWORK[1] = 4;  // retention record lengths below the layout's room, unlike each other
  TEBU_STWORK[13] = TEBU_STWORK[14] + 1;   // word 14 is no composition: unlike Z's, word 15

  rec::set_flash_count(3);
  rec::set_components({2, 5, 7});
  rec::set_composition(rec::Comp::Y, {0.5, 0.25, 0.25, 0.9});  // a word past N: never a component
  rec::set_composition(rec::Comp::X, {0.5625, 0.3125, 0.125});
  rec::set_composition(rec::Comp::X1, {0.75, 0.25, 0.0});
  rec::set_composition(rec::Comp::X2, {0.0, 0.5, 0.5});
  rec::set_composition(rec::Comp::Z, {0.5, 0.3, 0.2});
  const double state[] = {350.0, 2.0e5, 0.25, -1500.0, 0.75};  // VOKA_STWKWK 19-23
  for (int w = 0; w < 5; ++w) rec::set_stwkwk_real(19 + w, state[w]);
  const double table[] = {-100, -275, -250, -350, 1, 2, 3, 4, 16, 0.109375, 0.125, 0.0625, 32, 27, 20, 48};
  for (int w = 0; w < 16; ++w) rec::set_stwork_real(47 + w, table[w]);
  for (int64_t j = 0; j <= 9; ++j) rec::set_molwt(j, j == 2 ? 16.0 : j == 5 ? 32.0 : j == 7 ? 64.0 : 1000.0);
  strm[0] = 1.0, strm[1] = 2.0, strm[2] = 1.0;
  slot(1) = 4.0, slot(2) = 300.0, slot(3) = 1.0e5, slot(4) = -5.0e4, slot(5) = 0.25, slot(9) = 28.25;
  flash(KVT_SIDE_0, 0, KVT_SPEC_TP);
  host().calls.clear();
}

void Scenario::split(double vf, double beta) { slot(5) = vf, rec::set_stwkwk_real(23, beta); }

Answer Scenario::ask(Routine r, int64_t iphs, int64_t ibas, int64_t iside) {
  Answer a{-7.0, -7};
  r(strm.data(), &nstrm, &iside, &iphs, &ibas, &a.value, &a.ierr);
  return a;
}

int64_t Scenario::flash(int64_t iside, int64_t islot, int64_t kspec, int64_t kphs, int64_t kpeq) {
  int64_t ierr = -99;
  KVT_HXFLSH(strm.data(), &nstrm, &iside, &islot, &kspec, &kphs, &kpeq, &ierr);
  return ierr;
}

const rec::Call& Scenario::last(std::string_view name) { return *host().calls_to(name).at(host().count(name) - 1); }

}  // namespace kvt::test
