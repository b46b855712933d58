// Calls one routine K times against the recording host answering at once, for instruction counts
// under callgrind (scripts/perf-figures.sh). The stream and the store are those of bench/kvt_bench:
// N flash components split over vapour and two liquids, water rule on, every phase present.
//
//   perf-driver ROUTINE[:IBAS] K N TRACE      e.g. perf-driver KVT_HXPCPP 1000 10 0
// IBAS, when given, replaces the basis of the routine's call (KVT_HXPFRC:0 asks on mole basis).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "kvt/kvt.h"
#include "recording_host.h"

namespace {

using Property = void (*)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);
using Setter = void (*)(double*, const void*, const void*, const double*);

struct Entry {
  std::string_view name;
  Property property;
  Setter setter;
  int64_t iphs, ibas;
};

// The phase and basis of each routine's benchmark: the path with the most work.
const Entry kEntries[] = {
    {"KVT_HXPFRC", KVT_HXPFRC, nullptr, 2, 1},  {"KVT_HXPMWT", KVT_HXPMWT, nullptr, 3, 0},
    {"KVT_HXPMFL", KVT_HXPMFL, nullptr, 1, 1},  {"KVT_HXPQFL", KVT_HXPQFL, nullptr, 1, 0},
    {"KVT_HXPCPP", KVT_HXPCPP, nullptr, 1, 1},  {"KVT_HXPTHC", KVT_HXPTHC, nullptr, 1, 0},
    {"KVT_HXPVIS", KVT_HXPVIS, nullptr, 1, 0},  {"KVT_HXPSFT", KVT_HXPSFT, nullptr, 1, 0},
    {"KVT_HXPDNS", KVT_HXPDNS, nullptr, 1, 1},  {"KVT_HXPTHV", KVT_HXPTHV, nullptr, 3, 1},
    {"KVT_HXPTMC", KVT_HXPTMC, nullptr, 2, 0},  {"KVT_HXPPRC", KVT_HXPPRC, nullptr, 1, 0},
    {"KVT_HXPTMP", KVT_HXPTMP, nullptr, 1, 0},  {"KVT_HXPPRS", KVT_HXPPRS, nullptr, 1, 0},
    {"KVT_HXUTMP", nullptr, KVT_HXUTMP, 0, 0},  {"KVT_HXUPRS", nullptr, KVT_HXUPRS, 0, 0},
    {"KVT_HXUNTH", nullptr, KVT_HXUNTH, 0, 0},  {"KVT_HXUVFR", nullptr, KVT_HXUVFR, 0, 0},
};

void set_up(int64_t n, bool traced, std::vector<double>& strm, int64_t& nstrm) {
  kvt::rec::reset();
  kvt::rec::Host& h = kvt::rec::host();
  h.recording = false;
  h.capture_trace = false;
  h.default_output = 1.5;
  const kvt::rec::Layout l = kvt::rec::lay_out(n);
  for (int g = 0; g < 4; ++g) {
    KVT_HXPKV[g] = l.packed_count[g];
    KVT_HXPKV[g + 5] = l.packed_numbers[g];
    KVT_HXPKV[g + 10] = l.packed_fractions[g];
  }
  KVT_IHXPP[23] = l.int_records;
  KVT_IHXPP[24] = l.real_records;
  KVT_IHXPP[25] = 1;
  KVT_IHXPP[9] = 1;
  KVT_HXRMSS[0] = 1.0e35;
  KVT_HXOUTP[0] = 6;
  for (int64_t& w : KVT_HXPDBG) w = traced ? 1 : 0;
  kvt::rec::set_ncomp(n);
  kvt::rec::set_host_missing(1.0e30);
  std::vector<int64_t> numbers(static_cast<std::size_t>(n));
  const std::vector<double> x(static_cast<std::size_t>(n), 1.0 / static_cast<double>(n));
  for (int64_t i = 0; i < n; ++i) {
    numbers[static_cast<std::size_t>(i)] = i + 1;
    kvt::rec::set_molwt(i + 1, 16.0 + static_cast<double>(i % 50));
  }
  kvt::rec::set_flash_count(n);
  kvt::rec::set_components(numbers);
  for (auto c : {kvt::rec::Comp::X, kvt::rec::Comp::X1, kvt::rec::Comp::X2, kvt::rec::Comp::Y, kvt::rec::Comp::Z}) {
    kvt::rec::set_composition(c, x);
  }
  kvt::rec::set_stwkwk_real(19, 350.0);
  kvt::rec::set_stwkwk_real(20, 2.0e5);
  kvt::rec::set_stwkwk_real(23, 0.6);
  for (int w = 47; w <= 62; ++w) kvt::rec::set_stwork_real(w, 10.0 + w);
  h.idxwat = 1;
  strm.assign(static_cast<std::size_t>(n + 10), 1.0);
  strm[static_cast<std::size_t>(n + 4)] = 0.4;
  strm[static_cast<std::size_t>(n + 8)] = 40.0;
  nstrm = traced ? 10 : n + 10;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s ROUTINE K N TRACE\n", argv[0]);
    return 2;
  }
  std::string_view name = argv[1];
  int64_t basis = -1;
  if (const auto colon = name.find(':'); colon != std::string_view::npos) {
    basis = std::atol(argv[1] + colon + 1);
    name = name.substr(0, colon);
  }
  const long k = std::atol(argv[2]);
  const int64_t n = std::atol(argv[3]);
  const bool traced = std::atoi(argv[4]) != 0;
  std::vector<double> strm;
  int64_t nstrm = 0;
  set_up(n, traced, strm, nstrm);

  if (name == "KVT_HXFLSH") {
    const int64_t iside = 1, islot = 0, kspec = 2, kphs = 1, kpeq = 0;
    int64_t ierr = 0;
    for (long i = 0; i < k; ++i) KVT_HXFLSH(strm.data(), &nstrm, &iside, &islot, &kspec, &kphs, &kpeq, &ierr);
    return 0;
  }
  for (const Entry& e : kEntries) {
    if (e.name != name) continue;
    const int64_t iside = 0;
    const int64_t ibas = basis >= 0 ? basis : e.ibas;
    double result = 0.0;
    int64_t ierr = 0;
    const double value = 300.0;
    for (long i = 0; i < k; ++i) {
      if (e.setter != nullptr) {
        e.setter(strm.data(), nullptr, nullptr, &value);
      } else {
        e.property(strm.data(), &nstrm, &iside, &e.iphs, &ibas, &result, &ierr);
      }
    }
    return 0;
  }
  std::fprintf(stderr, "unknown routine %s\n", argv[1]);
  return 2;
}
