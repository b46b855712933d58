// Calls one routine K times against the recording host answering at once, for instruction counts
// under callgrind (scripts/perf-figures.sh), on the instant host of the benchmarks (instant_host.h).
//
//   perf-driver ROUTINE[:IBAS[:IPHS]] K N TRACE      e.g. perf-driver KVT_HXPCPP 1000 10 0
// IBAS and IPHS, when given, replace the basis and phase of the routine's call (KVT_HXPFRC:0 asks on
// mole basis, KVT_HXPFRC:1:4 for the first liquid on mass basis).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "instant_host.h"
#include "kvt/kvt.h"

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
    {"KVT_HXPFRC", KVT_HXPFRC, nullptr, KVT_PHASE_VAPOUR, KVT_BASIS_MASS},
    {"KVT_HXPMWT", KVT_HXPMWT, nullptr, KVT_PHASE_LIQUID, KVT_BASIS_MOLE},
    {"KVT_HXPMFL", KVT_HXPMFL, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MASS},
    {"KVT_HXPQFL", KVT_HXPQFL, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MOLE},
    {"KVT_HXPCPP", KVT_HXPCPP, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MASS},
    {"KVT_HXPTHC", KVT_HXPTHC, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MOLE},
    {"KVT_HXPVIS", KVT_HXPVIS, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MOLE},
    {"KVT_HXPSFT", KVT_HXPSFT, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MOLE},
    {"KVT_HXPDNS", KVT_HXPDNS, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MASS},
    {"KVT_HXPTHV", KVT_HXPTHV, nullptr, KVT_PHASE_LIQUID, KVT_BASIS_MASS},
    {"KVT_HXPTMC", KVT_HXPTMC, nullptr, KVT_PHASE_VAPOUR, KVT_BASIS_MOLE},
    {"KVT_HXPPRC", KVT_HXPPRC, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MOLE},
    {"KVT_HXPTMP", KVT_HXPTMP, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MOLE},
    {"KVT_HXPPRS", KVT_HXPPRS, nullptr, KVT_PHASE_STREAM, KVT_BASIS_MOLE},
    {"KVT_HXUTMP", nullptr, KVT_HXUTMP, 0, 0},
    {"KVT_HXUPRS", nullptr, KVT_HXUPRS, 0, 0},
    {"KVT_HXUNTH", nullptr, KVT_HXUNTH, 0, 0},
    {"KVT_HXUVFR", nullptr, KVT_HXUVFR, 0, 0},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s ROUTINE K N TRACE\n", argv[0]);
    return 2;
  }
  std::string_view name = argv[1];
  int64_t basis = -1;
  int64_t phase = -1;
  if (const auto colon = name.find(':'); colon != std::string_view::npos) {
    const char* codes = argv[1] + colon + 1;
    basis = std::atol(codes);
    if (const char* second = std::strchr(codes, ':'); second != nullptr) phase = std::atol(second + 1);
    name = name.substr(0, colon);
  }
  const long k = std::atol(argv[2]);
  const int64_t n = std::atol(argv[3]);
  const bool traced = std::atoi(argv[4]) != 0;
  int64_t nstrm = 0;
  std::vector<double> strm = kvt::bench::set_up_instant_host(n, traced, nstrm);

  if (name == "KVT_HXFLSH") {
    const int64_t iside = KVT_SIDE_1, islot = 0, kspec = KVT_SPEC_TP, kphs = KVT_PHASES_VAPOUR_LIQUID;
    const int64_t kpeq = KVT_PEQ_OFF;
    int64_t ierr = 0;
    for (long i = 0; i < k; ++i) KVT_HXFLSH(strm.data(), &nstrm, &iside, &islot, &kspec, &kphs, &kpeq, &ierr);
    return 0;
  }
  for (const Entry& e : kEntries) {
    if (e.name != name) continue;
    const int64_t iside = KVT_SIDE_0;
    const int64_t ibas = basis >= 0 ? basis : e.ibas;
    const int64_t iphs = phase >= 0 ? phase : e.iphs;
    double result = 0.0;
    int64_t ierr = 0;
    const double value = 300.0;
    for (long i = 0; i < k; ++i) {
      if (e.setter != nullptr) {
        e.setter(strm.data(), nullptr, nullptr, &value);
      } else {
        e.property(strm.data(), &nstrm, &iside, &iphs, &ibas, &result, &ierr);
      }
    }
    return 0;
  }
  std::fprintf(stderr, "unknown routine %s\n", argv[1]);
  return 2;
}
