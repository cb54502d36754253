// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>
#include <zarede/zarede.h>

#include <memory>

namespace {

// The runoff check: the application-rate ellipse of a sprinkler (1 h over the point, peak
// 60 mm/h) over a Kostiakov infiltration curve, integrated with delta 0.001 h.
void BM_AreaIntersecaoEllipseOverKostiakov(benchmark::State& state) {
    const zarede::Factory factory;
    const auto ellipse = factory.newEclipseFunction(0.5, 60, "aspersor");
    const auto soil = factory.newKostiakovFunction(0.01, 1, 20, -0.5, "suelo");
    const zarede::Integrador integrador;
    for (auto _ : state) {
        benchmark::DoNotOptimize(integrador.AreaIntersecao(*soil, *ellipse, ellipse->centro_X(), 0,
                                                           2 * ellipse->centro_X(), 0.001));
    }
}
BENCHMARK(BM_AreaIntersecaoEllipseOverKostiakov);

// The chart of the runoff tab: three curves sampled with 101 points each.
void BM_GetSerieArray3x101(benchmark::State& state) {
    const zarede::Factory factory;
    auto source = factory.newSerieSource();
    source->addFunction(factory.newEclipseFunction(0.5, 60, "aspersor 1"), 101);
    source->addFunction(factory.newEclipseFunction(0.4, 45, "aspersor 2"), 101);
    source->addFunction(factory.newKostiakovFunction(0.01, 1, 20, -0.5, "suelo"), 101);
    for (auto _ : state) {
        zarede::SerieArray array = source->getSerieArray();
        benchmark::DoNotOptimize(array(101, 6));
    }
}
BENCHMARK(BM_GetSerieArray3x101);

}  // namespace
