// hxprops end to end on its default case: the case read, the session set up, both curves with their
// phase boundaries, the exchanger's figures and the printed report. The databank is read once per
// process, as the program does; the first iteration pays for it.
#include <benchmark/benchmark.h>

#include <sstream>

#include "compute/curve.h"
#include "case/default_case.h"
#include "compute/exchanger.h"
#include "kvt_reference/reference_host.h"
#include "compute/library_session.h"
#include "output/report.h"

namespace {

void DefaultCaseEndToEnd(benchmark::State& state) {
  for (auto _ : state) {
    const hxprops::Case c = hxprops::default_case();
    hxprops::Session session(c);
    const auto curves = hxprops::compute_curves(session);
    const std::optional<hxprops::ExchangerFigures> x = hxprops::exchanger_figures(curves, c);
    std::ostringstream out;
    hxprops::print_report(out, c, curves, x, {hxprops::UnitSystem::Engineering, false, session.components()});
    benchmark::DoNotOptimize(out.str().size());
  }
}
BENCHMARK(DefaultCaseEndToEnd)->Unit(benchmark::kMillisecond);

// What a fresh process pays once on top: reading the databank's index and the blocks of the default
// case's components (the others are not parsed).
void DatabankRead(benchmark::State& state) {
  const hxprops::Case c = hxprops::default_case();
  const std::vector<std::string> names = hxprops::all_components(c);
  for (auto _ : state) {
    kvt::reference::load_databank();
    kvt::reference::select_components(std::span<const std::string>(names));
  }
}
BENCHMARK(DatabankRead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
