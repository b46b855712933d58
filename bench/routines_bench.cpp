// The library's own cost per call: every routine against the recording host with recording off, so
// that the host answers at once. Arguments: N, the number of flash components; trace 0 or 1.
#include <benchmark/benchmark.h>

#include <vector>

#include "instant_host.h"
#include "kvt/kvt.h"

namespace {

using Routine = void (*)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);

// A stream of N components flashed into vapour and two liquids, laid out for the routines.
struct Case {
  int64_t nstrm = 0;
  std::vector<double> strm;
  Case(int64_t n, bool traced) : strm(kvt::bench::set_up_instant_host(n, traced, nstrm)) {}
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
