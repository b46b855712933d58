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
  const int64_t iside = KVT_SIDE_0;
  double result = 0.0;
  int64_t ierr = 0;
  for (auto _ : state) {
    routine(c.strm.data(), &c.nstrm, &iside, &iphs, &ibas, &result, &ierr);
    benchmark::DoNotOptimize(result);
  }
}

void BM_Flash(benchmark::State& state) {
  Case c(state.range(0), state.range(1) != 0);
  const int64_t iside = KVT_SIDE_1, islot = 0, kspec = KVT_SPEC_TP, kphs = KVT_PHASES_VAPOUR_LIQUID, kpeq = KVT_PEQ_OFF;
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

KVT_BENCH(BM_FractionMole, KVT_HXPFRC, KVT_PHASE_VAPOUR, KVT_BASIS_MOLE);
KVT_BENCH(BM_FractionMass, KVT_HXPFRC, KVT_PHASE_VAPOUR, KVT_BASIS_MASS);
KVT_BENCH(BM_MolecularWeight, KVT_HXPMWT, KVT_PHASE_LIQUID, KVT_BASIS_MOLE);
KVT_BENCH(BM_MassFlow, KVT_HXPMFL, KVT_PHASE_STREAM, KVT_BASIS_MASS);
KVT_BENCH(BM_HeatFlow, KVT_HXPQFL, KVT_PHASE_STREAM, KVT_BASIS_MOLE);
KVT_BENCH(BM_HeatCapacity, KVT_HXPCPP, KVT_PHASE_STREAM, KVT_BASIS_MASS);
KVT_BENCH(BM_Conductivity, KVT_HXPTHC, KVT_PHASE_STREAM, KVT_BASIS_MOLE);
KVT_BENCH(BM_Viscosity, KVT_HXPVIS, KVT_PHASE_STREAM, KVT_BASIS_MOLE);
KVT_BENCH(BM_SurfaceTension, KVT_HXPSFT, KVT_PHASE_STREAM, KVT_BASIS_MOLE);
KVT_BENCH(BM_Density, KVT_HXPDNS, KVT_PHASE_STREAM, KVT_BASIS_MASS);
KVT_BENCH(BM_HeatOfVaporisation, KVT_HXPTHV, KVT_PHASE_LIQUID, KVT_BASIS_MASS);
KVT_BENCH(BM_CriticalTemperature, KVT_HXPTMC, KVT_PHASE_VAPOUR, KVT_BASIS_MOLE);
KVT_BENCH(BM_CriticalPressure, KVT_HXPPRC, KVT_PHASE_STREAM, KVT_BASIS_MOLE);
KVT_BENCH(BM_Temperature, KVT_HXPTMP, KVT_PHASE_STREAM, KVT_BASIS_MOLE);
KVT_BENCH(BM_Pressure, KVT_HXPPRS, KVT_PHASE_STREAM, KVT_BASIS_MOLE);

}  // namespace

BENCHMARK_MAIN();
