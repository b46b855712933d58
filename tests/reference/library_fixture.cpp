#include "library_fixture.h"

#include <algorithm>

#include "kvt_reference/reference_host.h"

namespace kvt::reference::test {

void set_up(std::initializer_list<std::string> names, bool free_water) {
  select_components(names);
  std::fill(std::begin(KVT_IHXPP), std::end(KVT_IHXPP), 0);
  std::fill(std::begin(KVT_RHXPP), std::end(KVT_RHXPP), 0.0);
  std::fill(std::begin(KVT_HXPDBG), std::end(KVT_HXPDBG), 0);
  KVT_IHXPP[6] = 2;                                  // phase count
  // phase kind code: the library passes 1 and 11 through unchanged; other codes it rewrites from
  // the flash's phase request and the water switch
  KVT_IHXPP[7] = free_water ? kFreeWater + kVapourLiquid : kVapourLiquid;
  KVT_IHXPP[9] = free_water ? 1 : 0;                 // water switch: free water, water rule
  KVT_IHXPP[16] = 2;
  KVT_IHXPP[17] = kVapourLiquid;
  const auto pkv = allocate_packed_lists();
  std::copy(pkv.begin(), pkv.end(), KVT_HXPKV);
  const auto rec = allocate_retention_records(10);
  KVT_IHXPP[23] = rec.integer_records;
  KVT_IHXPP[24] = rec.real_records;
  KVT_IHXPP[25] = kNsubs;
  KVT_IHXPP[26] = 0;  // retention off
  KVT_HXRMSS[0] = kLibraryMissing;
  KVT_HXRMIN[0] = 0.0;
}

LibStream flashed(std::vector<double> flows, double t, double p, int64_t kspec, double third) {
  LibStream s;
  const int64_t n = ncomp();
  s.v.assign(static_cast<std::size_t>(n + kStreamExtraSlots), 0.0);
  std::copy(flows.begin(), flows.end(), s.v.begin());
  s.nstrm = static_cast<int64_t>(s.v.size());
  KVT_HXUTMP(s.v.data(), nullptr, nullptr, &t);
  KVT_HXUPRS(s.v.data(), nullptr, nullptr, &p);
  if (kspec == 1 || kspec == 4) KVT_HXUNTH(s.v.data(), nullptr, nullptr, &third);
  if (kspec == 3 || kspec == 5) KVT_HXUVFR(s.v.data(), nullptr, nullptr, &third);
  const int64_t side = 0, slot = 0, kphs = 1, kpeq = 0;
  KVT_HXFLSH(s.v.data(), &s.nstrm, &side, &slot, &kspec, &kphs, &kpeq, &s.flash_ierr);
  return s;
}

Answer LibStream::ask(Routine r, int64_t iphs, int64_t ibas) {
  const int64_t side = 0;
  Answer a{0.0, 0};
  r(v.data(), &nstrm, &side, &iphs, &ibas, &a.value, &a.ierr);
  return a;
}

}  // namespace kvt::reference::test
