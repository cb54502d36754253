// SPDX-License-Identifier: GPL-3.0-or-later
// What the indicator tab computes when a chart opens, for laterals of 2,000 to 20,000
// outlets: the depths of every outlet, UD, CU, both profiles and the departing outlets.
#include <benchmark/benchmark.h>

#include "evaluation/indicator_tab_presenter.h"
#include "long_lateral.h"

namespace {

void BM_IndicatorTabView(benchmark::State& state) {
    const int outlets = static_cast<int>(state.range(0));
    const auto wrapper = kambrix::bench::longLateral(outlets);
    kambrix::IndicatorInputs in;
    in.hours = 20;
    std::size_t marks = 0;
    for (auto _ : state) {
        const auto view = kambrix::indicatorTabView(*wrapper, in, '.');
        marks = view.departing.size();
        benchmark::DoNotOptimize(view.actual.points.data());
    }
    state.counters["outlets"] = wrapper->numeroTotalDeSaidas();
    state.counters["marks"] = static_cast<double>(marks);
    state.SetComplexityN(outlets);
}
BENCHMARK(BM_IndicatorTabView)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
