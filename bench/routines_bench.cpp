// The library's own cost per call: every routine against the recording host with recording off, so
// that the host answers at once. Arguments: N, the number of flash components; trace 0 or 1.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "kvt/kvt.h"
#include "library_binding.h"
#include "recording_host.h"

namespace {

using Routine = void (*)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);

constexpr int32_t kUnit = 6;

// A stream of N components flashed into vapour and two liquids, laid out for the routines.
struct Case {
  std::vector<double> strm;
  int64_t nstrm = 0;

  Case(int64_t n, bool traced) {
    kvt::rec::reset();
    kvt::rec::Host& h = kvt::rec::host();
    h.recording = false;
    h.capture_trace = false;
    h.default_output = 1.5;
    std::memset(KVT_HXPDBG, 0, sizeof KVT_HXPDBG);
    const kvt::rec::Layout l = kvt::rec::lay_out(n);
    kvt::rec::bind_layout(l);
    KVT_IHXPP[25] = 1;
    KVT_IHXPP[9] = 1;  // water switch on: the water rule runs
    KVT_HXRMSS[0] = 1.0e35;
    KVT_HXOUTP[0] = kUnit;
    if (traced) {
      for (int64_t& w : KVT_HXPDBG) w = 1;
    }
    kvt::rec::set_ncomp(n);
    kvt::rec::set_host_missing(1.0e30);
    std::vector<int64_t> numbers(n);
    std::vector<double> x(n, 1.0 / static_cast<double>(n));
    for (int64_t i = 0; i < n; ++i) {
      numbers[i] = i + 1;
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
    strm[n + 4] = 0.4;  // vapour fraction
    strm[n + 8] = 40.0; // molecular weight
    // The trace lists STRM: keep it short on traced runs of large N.
    nstrm = traced ? 10 : n + 10;
  }
};

void run(benchmark::State& state, Routine routine, int64_t iphs, int64_t ibas) {
  Case c(state.range(0), state.range(1) != 0);
  const int64_t iside = 0;
  double result = 0.0;
  int64_t ierr = 0;
  for (auto _ : state) {
    routine(c.strm.data(), &c.nstrm, &iside, &iphs, &ibas, &result, &ierr);
    benchmark::DoNotOptimize(result);
  }
}

void BM_Flash(benchmark::State& state) {
  Case c(state.range(0), state.range(1) != 0);
  const int64_t iside = 1, islot = 0, kspec = 2, kphs = 1, kpeq = 0;
  int64_t ierr = 0;
  for (auto _ : state) {
    KVT_HXFLSH(c.strm.data(), &c.nstrm, &iside, &islot, &kspec, &kphs, &kpeq, &ierr);
    benchmark::DoNotOptimize(ierr);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Flash)->ArgsProduct({{10, 1000, 100000}, {0}})->Args({10, 1})->Complexity(benchmark::oN);

void BM_SetTemperature(benchmark::State& state) {
  Case c(state.range(0), false);
  const double t = 300.0;
  for (auto _ : state) {
    KVT_HXUTMP(c.strm.data(), nullptr, nullptr, &t);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SetTemperature)->Args({10, 0});

#define KVT_BENCH(NAME, ROUTINE, IPHS, IBAS)                                     \
  void NAME(benchmark::State& state) { run(state, ROUTINE, IPHS, IBAS); }        \
  BENCHMARK(NAME)->Args({10, 0})->Args({10, 1})

KVT_BENCH(BM_FractionMole, KVT_HXPFRC, 2, 0);
KVT_BENCH(BM_FractionMass, KVT_HXPFRC, 2, 1);
KVT_BENCH(BM_MolecularWeight, KVT_HXPMWT, 3, 0);
KVT_BENCH(BM_MassFlow, KVT_HXPMFL, 1, 1);
KVT_BENCH(BM_HeatFlow, KVT_HXPQFL, 1, 0);
KVT_BENCH(BM_HeatCapacity, KVT_HXPCPP, 1, 1);
KVT_BENCH(BM_Conductivity, KVT_HXPTHC, 1, 0);
KVT_BENCH(BM_Viscosity, KVT_HXPVIS, 1, 0);
KVT_BENCH(BM_SurfaceTension, KVT_HXPSFT, 1, 0);
KVT_BENCH(BM_Density, KVT_HXPDNS, 1, 1);
KVT_BENCH(BM_HeatOfVaporisation, KVT_HXPTHV, 3, 1);
KVT_BENCH(BM_CriticalTemperature, KVT_HXPTMC, 2, 0);
KVT_BENCH(BM_CriticalPressure, KVT_HXPPRC, 1, 0);
KVT_BENCH(BM_Temperature, KVT_HXPTMP, 1, 0);
KVT_BENCH(BM_Pressure, KVT_HXPPRS, 1, 0);

}  // namespace

BENCHMARK_MAIN();
