// SPDX-License-Identifier: GPL-3.0-or-later
// What the catch-can window recomputes after every edit: the results of both radii and of
// both together, the two grids and the plot, for a short and a long test.
#include <benchmark/benchmark.h>

#include <string>

#include "evaluation/catch_can_session.h"

namespace {

kambrix::CatchCanSession sessionWith(int cansPerRadius) {
    kambrix::CatchCanSession s(quarvex::statics().PivotEvaluations().newEvaluation("bench"));
    s.setCanDiameterText("10", '.');
    std::string block;
    for (int i = 1; i <= cansPerRadius; ++i) {
        // Volumes that wander around 80 ml, cans every 3 m.
        block += std::to_string(60 + (i * 37) % 41) + "\t" + std::to_string(3 * i) + "\n";
    }
    s.paste(kambrix::Radius::First, 0, block, '.');
    s.paste(kambrix::Radius::Second, 0, block, '.');
    return s;
}

void BM_CatchCanRefreshAfterAnEdit(benchmark::State& state) {
    auto s = sessionWith(static_cast<int>(state.range(0)));
    int k = 0;
    for (auto _ : state) {
        s.setCell(kambrix::Radius::First, 0, kambrix::SampleColumn::Volume,
                  std::to_string(50 + (k++ % 20)), '.');
        benchmark::DoNotOptimize(s.results());
        benchmark::DoNotOptimize(s.gridRows(kambrix::Radius::First, '.'));
        benchmark::DoNotOptimize(s.gridRows(kambrix::Radius::Second, '.'));
        benchmark::DoNotOptimize(s.plot());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CatchCanRefreshAfterAnEdit)
    ->Arg(30)
    ->Arg(250)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
