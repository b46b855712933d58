#include "support/fixture.h"

#include <cstring>

namespace kvt::test {

void reset_library_blocks() {
  std::memset(KVT_IHXPP, 0, sizeof KVT_IHXPP);
  std::memset(KVT_RHXPP, 0, sizeof KVT_RHXPP);
  std::memset(KVT_HXPKV, 0, sizeof KVT_HXPKV);
  std::memset(KVT_HXRMSS, 0, sizeof KVT_HXRMSS);
  std::memset(KVT_HXRMIN, 0, sizeof KVT_HXRMIN);
  std::memset(KVT_HXSBD, 0, sizeof KVT_HXSBD);
  std::memset(KVT_HXSTRB, 0, sizeof KVT_HXSTRB);
  std::memset(KVT_HXIMSS, 0, sizeof KVT_HXIMSS);
  std::memset(KVT_HXPDBG, 0, sizeof KVT_HXPDBG);
  std::memset(KVT_HXOUTP, 0, sizeof KVT_HXOUTP);
}

double& Stream::slot(int64_t k) { return v.at(static_cast<std::size_t>((v.size() - 10) + k - 1)); }

void script_flash(const FlashResult& r) {
  const auto n = static_cast<int64_t>(r.components.size());
  rec::set_flash_count(n);
  rec::set_components(r.components);
  rec::set_composition(rec::Comp::X, r.x);
  rec::set_composition(rec::Comp::X1, r.x1);
  rec::set_composition(rec::Comp::X2, r.x2);
  rec::set_composition(rec::Comp::Y, r.y);
  rec::set_composition(rec::Comp::Z, r.z);
  rec::set_stwkwk_real(19, r.t);
  rec::set_stwkwk_real(20, r.p);
  rec::set_stwkwk_real(21, r.vf);
  rec::set_stwkwk_real(22, r.duty);
  rec::set_stwkwk_real(23, r.split);
  for (int ph = 0; ph < 4; ++ph) {
    rec::set_stwork_real(47 + ph, r.enthalpy[ph]);
    rec::set_stwork_real(51 + ph, r.further[ph]);
    rec::set_stwork_real(55 + ph, r.volume[ph]);
    rec::set_stwork_real(59 + ph, r.molwt[ph]);
  }
}

FlashResult pure_liquids_flash() {
  FlashResult r;
  r.components = {2, 5, 7};
  r.y = {0.5, 0.5, 0.0};
  r.x = {0.2, 0.8, 0.0};
  r.x1 = {1.0, 0.0, 0.0};
  r.x2 = {0.0, 0.0, 1.0};
  r.z = {0.3, 0.3, 0.4};
  return r;
}

void script_pure_liquids(const FlashResult& r, Stream& s) {
  script_flash(r);
  for (int64_t j = 0; j <= 9; ++j) rec::set_molwt(j, 1000.0);
  rec::set_molwt(2, 10.0);
  rec::set_molwt(5, 30.0);
  rec::set_molwt(7, 18.0);
  s.slot(2) = 300.0;
  s.slot(3) = 1.0e5;
  s.slot(9) = 40.0;
}

FlashResult mixed_liquids_flash() {
  FlashResult r;
  r.components = {2, 5, 7};
  r.y = {0.5, 0.25, 0.25};
  r.x = {0.5625, 0.3125, 0.125};
  r.x1 = {0.75, 0.25, 0.0};
  r.x2 = {0.0, 0.5, 0.5};
  r.z = {0.5, 0.3, 0.2};
  r.split = 0.75;
  return r;
}

KvtTest::KvtTest(int64_t ncomp, int64_t capacity) : ncomp_(ncomp), capacity_(capacity) {}

void KvtTest::SetUp() {
  rec::reset();
  reset_library_blocks();
  layout_ = rec::lay_out(capacity_);
  rec::bind_layout(layout_);
  rec::set_ncomp(ncomp_);
  rec::set_host_missing(kHostMissing);
  KVT_HXRMSS[0] = kMissing;
  KVT_HXOUTP[0] = kUnit;
  stream_.v.assign(static_cast<std::size_t>(ncomp_ + 10), 0.0);
  stream_.nstrm = ncomp_ + 10;
}

Answer ask(PropertyRoutine routine, Stream& s, int64_t iphs, int64_t ibas, int64_t iside) {
  Answer a{-7.0, -7};
  routine(s.data(), &s.nstrm, &iside, &iphs, &ibas, &a.value, &a.ierr);
  return a;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += "[" + l + "]\n";
  return out;
}

}  // namespace kvt::test
