// SPDX-License-Identifier: GPL-3.0-or-later
//
// Hydraulic computation of pivots of 4 and 11 spans (about 100 and 250 outlets): the ideal
// pass, the real computation with a fixed chart, and the automatic chart against catalogues
// of 100, 2,000 and 10,000 nozzles with random coefficients.
#include <benchmark/benchmark.h>
#include <quarvex/quarvex.h>

#include <random>

#include "design/optimizer_strategy.h"

namespace {

using namespace quarvex;

pivot benchPivot(int spans) {
    auto& st = statics();
    pivot p = st.newPivot();
    p.caudal = 60;
    p.presion = 350;
    p.rugosidad = 140;
    p.cota = 100;
    Array<tramo> list;
    Array<double> heights;
    for (int i = 1; i <= spans; ++i) {
        const double h = 100 + (i % 3 == 0 ? -1.0 : 1.0) * i * 0.3;
        list.Push(st.Tramos().newTramo(i, "S", 54.8, 162, 250, h));
        heights.Push(h);
    }
    st.Pivots().setFixedSpans(p, list, heights);
    st.Pivots().setEndGun(p, st.Gun().newGun(20));
    return p;
}

// Random coefficients; exponents from the few values nozzle families use.
AspersorList randomCatalogue(int n) {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> a(0.002, 0.2);
    const double exponents[] = {0.46, 0.48, 0.5, 0.5, 0.5, 0.52, 0.55};
    modelo m;
    m.nome = "Bench";
    m.marca.nome = "Bench";
    AspersorList all;
    for (int i = 0; i < n; ++i) {
        all.Add(statics().Aspersores().newAspersor("n" + std::to_string(i), a(rng),
                                                   exponents[rng() % 7], 40, 500, 0.01, 10, m));
    }
    return all;
}

class Fixed : public CalculosStrategy {
  public:
    std::shared_ptr<Aspersor> aspersorFor(const saida& o) override {
        return o.distanciaAoPivot > 0 ? a : nullptr;
    }
    std::shared_ptr<CartaAspersores> carta() override { return chart; }
    std::shared_ptr<Aspersor> a =
        statics().Aspersores().newAspersor("fixed", 0.015, 0.5, 40, 500, 0.01, 10, modelo{});
    std::shared_ptr<CartaAspersores> chart = statics().newCartaAspersores();
};

void BM_IdealComputation(benchmark::State& state) {
    auto w = statics().newPivotWrapper(benchPivot(static_cast<int>(state.range(0))),
                                       std::make_shared<CalculosStrategy>());
    for (auto _ : state) {
        w->computeIdealOperationMode();
        benchmark::DoNotOptimize(w->pivot().Tramos(1).perdaDeCargaIdeal);
    }
    state.counters["outlets"] = w->numeroTotalDeSaidas();
}
BENCHMARK(BM_IdealComputation)->Arg(4)->Arg(11)->Unit(benchmark::kMicrosecond);

void BM_RealComputationFixedChart(benchmark::State& state) {
    auto s = std::make_shared<Fixed>();
    auto w = statics().newPivotWrapper(benchPivot(static_cast<int>(state.range(0))), s);
    const Drop none = statics().Drops().createNull();
    for (auto _ : state) {
        w->compute(none);
        benchmark::DoNotOptimize(w->totalComputedDischarge());
    }
    state.counters["passes"] = w->lastIterations();
}
BENCHMARK(BM_RealComputationFixedChart)->Arg(4)->Arg(11)->Unit(benchmark::kMicrosecond);

void BM_AutomaticChart(benchmark::State& state) {
    auto s = std::make_shared<kambrix::OptimzerStrategy>();
    auto w = statics().newPivotWrapper(benchPivot(static_cast<int>(state.range(0))), s);
    w->setAvaillableAspersores(randomCatalogue(static_cast<int>(state.range(1))));
    for (auto _ : state) {
        w->calculate();
        benchmark::DoNotOptimize(w->totalComputedDischarge());
    }
    state.counters["passes"] = w->lastIterations();
}
BENCHMARK(BM_AutomaticChart)
    ->ArgsProduct({{4, 11}, {100, 2000, 10000}})
    ->Unit(benchmark::kMillisecond);

// The plain rule, for comparison with the index.
void BM_PlainBestMatchChart(benchmark::State& state) {
    class Plain : public CalculosStrategy {
      public:
        std::shared_ptr<Aspersor> aspersorFor(const saida& o) override {
            return statics().Aspersores().getBestMatch(all, o.pressao_actuante, o.caudal, 0.1);
        }
        std::shared_ptr<CartaAspersores> carta() override { return chart; }
        AspersorList all;
        std::shared_ptr<CartaAspersores> chart = statics().newCartaAspersores();
    };
    auto s = std::make_shared<Plain>();
    s->all = randomCatalogue(static_cast<int>(state.range(1)));
    auto w = statics().newPivotWrapper(benchPivot(static_cast<int>(state.range(0))), s);
    for (auto _ : state) {
        w->calculate();
        benchmark::DoNotOptimize(w->totalComputedDischarge());
    }
}
BENCHMARK(BM_PlainBestMatchChart)->Args({11, 2000})->Unit(benchmark::kMillisecond);

}  // namespace
