// The reference host's flash per method on the same streams: a T-P flash in the two-phase region, a
// bubble point (KSPEC 3) and a P-H flash back to the two-phase state (KSPEC 1, the enthalpy the
// method gives there), both searches over T-P flashes, under Peng-Robinson and NRTL. Arguments: the
// stream (0 methanol/water, 1 methanol/water/benzene/toluene/n-hexane), the method (1 Peng-Robinson,
// 2 NRTL). The NRTL flash should cost no more than the Peng-Robinson one of the same components.
#include <benchmark/benchmark.h>

#include <cmath>

#include "data/databank.h"
#include "flash/flash.h"

namespace {

using namespace kvt::reference;

struct Stream {
  std::vector<const char*> names;
  std::vector<double> z;
  double t, p;  // a two-phase state
};
const Stream kStreams[] = {{{"methanol", "water"}, {0.6, 0.4}, 345.0, 101325.0},
                           {{"methanol", "water", "benzene", "toluene", "n-hexane"}, {0.3, 0.3, 0.1, 0.1, 0.2}, 340.0, 101325.0}};

FlashSystem system_for(const Stream& s, Method m) {
  static const Databank db = read_databank(KVT_REFERENCE_DATABANK);
  std::vector<const Component*> cs;
  for (const char* n : s.names) cs.push_back(db.find(n));
  return flash_system(db, cs, m);
}

Method method_of(std::int64_t arg) { return arg == 1 ? Method::peng_robinson : Method::nrtl; }

void TpFlash(benchmark::State& state) {
  const Stream& s = kStreams[state.range(0)];
  const FlashSystem sys = system_for(s, method_of(state.range(1)));
  const FlashRequest q{2, s.t, s.p, std::nan(""), false, PhaseModel::kEquilibrium, 200.0, 1000.0, 1e2, 5e7};
  for (auto _ : state) benchmark::DoNotOptimize(flash(sys, s.z, q).vapour_fraction);
}
BENCHMARK(TpFlash)->ArgsProduct({{0, 1}, {1, 2}})->Unit(benchmark::kMicrosecond);

void BubblePoint(benchmark::State& state) {
  const Stream& s = kStreams[state.range(0)];
  const FlashSystem sys = system_for(s, method_of(state.range(1)));
  const FlashRequest q{3, s.p, 0.0, std::nan(""), false, PhaseModel::kEquilibrium, 273.16, 1000.0, 1e2, 5e7};
  for (auto _ : state) benchmark::DoNotOptimize(flash(sys, s.z, q).t);
}
BENCHMARK(BubblePoint)->ArgsProduct({{0, 1}, {1, 2}})->Unit(benchmark::kMicrosecond);

void PhFlash(benchmark::State& state) {
  const Stream& s = kStreams[state.range(0)];
  const FlashSystem sys = system_for(s, method_of(state.range(1)));
  const FlashRequest tp{2, s.t, s.p, std::nan(""), false, PhaseModel::kEquilibrium, 200.0, 1000.0, 1e2, 5e7};
  const FlashRequest q{1, s.p, flash(sys, s.z, tp).enthalpy, std::nan(""), false, PhaseModel::kEquilibrium, 273.16, 1000.0, 1e2, 5e7};
  for (auto _ : state) benchmark::DoNotOptimize(flash(sys, s.z, q).t);
}
BENCHMARK(PhFlash)->ArgsProduct({{0, 1}, {1, 2}})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
