// SPDX-License-Identifier: GPL-3.0-or-later
//
// Sizes that once made the program quadratic: the sort of 200,000 and 10^6 equal or sorted
// water depths, a chart of 20,000 mounted sprinklers added one by one (each add replaces by
// key), and the real computation of pivots of 50 and 200 spans (linear in spans).
#include <benchmark/benchmark.h>
#include <quarvex/quarvex.h>

namespace {

using namespace quarvex;

Array<WaterDepthSample> depths(int n, bool equal) {
    Array<WaterDepthSample> list;
    for (int i = 1; i <= n; ++i) {
        // Equal: every reading the same depth at the same distance (keys equal under either
        // comparator); otherwise already in ascending order.
        list.Push(equal ? WaterDepths().newWaterDepthSample(10.0, 100.0)
                        : WaterDepths().newWaterDepthSample(i * 0.001, 5.0 + i));
    }
    return list;
}

void BM_SortEqualDepths(benchmark::State& state) {
    const auto list = depths(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WaterDepths().Sort(list, compareWhat::depth));
    }
}
BENCHMARK(BM_SortEqualDepths)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_SortSortedDepths(benchmark::State& state) {
    const auto list = depths(static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WaterDepths().Sort(list, compareWhat::depth));
    }
}
BENCHMARK(BM_SortSortedDepths)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_ChartOfManySprinklers(benchmark::State& state) {
    auto& st = statics();
    const auto nozzle = st.Aspersores().newAspersor("n", 0.01, 0.5, 40, 400, 0.01, 2, modelo{});
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto chart = st.newCartaAspersores();
        for (int i = 0; i < n; ++i) {
            chart->addMountedAspersor(st.CartaAspersor().newMountedAspersor(
                st.CoordenadasSaidas().newTramoCoordenadas(1 + i / 100, 1 + i % 100), nozzle));
        }
        // and every one replaced once more
        for (int i = 0; i < n; ++i) {
            chart->addMountedAspersor(st.CartaAspersor().newMountedAspersor(
                st.CoordenadasSaidas().newTramoCoordenadas(1 + i / 100, 1 + i % 100), nozzle));
        }
        benchmark::DoNotOptimize(chart->mountedAspersores().Count());
    }
}
BENCHMARK(BM_ChartOfManySprinklers)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

class EveryOutlet : public CalculosStrategy {
  public:
    std::shared_ptr<Aspersor> aspersorFor(const saida&) override { return a; }
    std::shared_ptr<CartaAspersores> carta() override { return chart; }
    std::shared_ptr<Aspersor> a =
        statics().Aspersores().newAspersor("n", 0.0005, 0.5, 1, 1000, 0.0001, 10, modelo{});
    std::shared_ptr<CartaAspersores> chart = statics().newCartaAspersores();
};

void BM_RealComputationManySpans(benchmark::State& state) {
    auto& st = statics();
    pivot p = st.newPivot();
    p.caudal = 20;
    p.presion = 300;
    p.rugosidad = 140;
    Array<tramo> spans;
    Array<double> heights;
    for (int i = 1; i <= state.range(0); ++i) {
        spans.Push(st.Tramos().newTramo(i, "S", 5, 300, 250));  // 2 outlets each
        heights.Push(0);
    }
    st.Pivots().setFixedSpans(p, spans, heights);
    auto w = st.newPivotWrapper(p, std::make_shared<EveryOutlet>());
    const Drop none = st.Drops().createNull();
    for (auto _ : state) {
        w->compute(none);
        benchmark::DoNotOptimize(w->totalComputedDischarge());
    }
    state.counters["passes"] = w->lastIterations();
    state.counters["spans"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_RealComputationManySpans)->Arg(50)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace
