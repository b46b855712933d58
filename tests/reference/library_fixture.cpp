#include "library_fixture.h"

#include <algorithm>

namespace kvt::reference::test {

void set_up(const std::vector<std::string>& names, bool free_water, Method method) {
  select_components(names, method);
  std::fill(std::begin(KVT_IHXPP), std::end(KVT_IHXPP), 0);
  std::fill(std::begin(KVT_RHXPP), std::end(KVT_RHXPP), 0.0);
  std::fill(std::begin(KVT_HXPDBG), std::end(KVT_HXPDBG), 0);
  // the library passes phase kind codes 1 and 11 through unchanged
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_PHASE_COUNT) = 2;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_PHASE_KIND) = free_water ? kFreeWater + kVapourLiquid : kVapourLiquid;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_WATER) = free_water ? 1 : 0;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_PHASE_COUNT + KVT_SIDE_STRIDE_I) = 2;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_PHASE_KIND + KVT_SIDE_STRIDE_I) = kVapourLiquid;
  const auto pkv = allocate_packed_lists();
  std::copy(pkv.begin(), pkv.end(), KVT_HXPKV);
  const auto rec = allocate_retention_records(10);
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_INT_RECORDS) = rec.integer_records;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_REAL_RECORDS) = rec.real_records;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = kNsubs;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION) = KVT_RETENTION_OFF;
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = 1.0e30;
}

LibStream flashed(std::vector<double> flows, double t, double p, int64_t kspec, double third, int64_t kphs,
                  int64_t retention_slot) {
  LibStream s;
  s.v.assign(static_cast<std::size_t>(ncomp() + kStreamExtraSlots), 0.0);
  std::copy(flows.begin(), flows.end(), s.v.begin());
  s.nstrm = static_cast<int64_t>(s.v.size());
  KVT_HXUTMP(s.v.data(), nullptr, nullptr, &t);
  KVT_HXUPRS(s.v.data(), nullptr, nullptr, &p);
  if (kspec == KVT_SPEC_PH || kspec == KVT_SPEC_TH) KVT_HXUNTH(s.v.data(), nullptr, nullptr, &third);
  if (kspec == KVT_SPEC_PV || kspec == KVT_SPEC_TV) KVT_HXUVFR(s.v.data(), nullptr, nullptr, &third);
  const int64_t side = 0, kpeq = 0;
  KVT_HXFLSH(s.v.data(), &s.nstrm, &side, &retention_slot, &kspec, &kphs, &kpeq, &s.flash_ierr);
  return s;
}

Answer LibStream::ask(Routine r, int64_t iphs, int64_t ibas) {
  const int64_t side = 0;
  Answer a{0.0, 0};
  r(v.data(), &nstrm, &side, &iphs, &ibas, &a.value, &a.ierr);
  return a;
}

}  // namespace kvt::reference::test
