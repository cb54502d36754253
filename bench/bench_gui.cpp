// SPDX-License-Identifier: GPL-3.0-or-later
// The indicator tab's depth profiles drawn on the screen (offscreen) for laterals of 2,000
// to 20,000 outlets: the chart built from the tab's view, shown in a chart view and painted.
// The marks of the departing outlets are most of the drawing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include "evaluation/indicator_tab_presenter.h"
#include "gui/TabIndicadores.h"
#include "long_lateral.h"

namespace {

void BM_IndicatorProfileChartShown(benchmark::State& state) {
    const int outlets = static_cast<int>(state.range(0));
    const auto wrapper = kambrix::bench::longLateral(outlets);
    kambrix::IndicatorInputs in;
    in.hours = 20;
    const auto view = kambrix::indicatorTabView(*wrapper, in, '.');
    const QStringList captions = {QStringLiteral("Ideal depth (mm)"),
                                  QStringLiteral("Actual depth (mm)"),
                                  QStringLiteral("Distance from the pivot point (m)"),
                                  QStringLiteral("Depth (mm)"),
                                  QStringLiteral("Outlets > 20 % off the average"),
                                  QString()};
    for (auto _ : state) {
        QChartView chartView;
        chartView.resize(900, 600);
        chartView.setChart(kambrix::depthProfileChart(view, captions));
        chartView.show();
        QCoreApplication::processEvents();
        const QPixmap painted = chartView.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    state.counters["outlets"] = wrapper->numeroTotalDeSaidas();
    state.counters["marks"] = static_cast<double>(view.departing.size());
    state.SetComplexityN(outlets);
}
BENCHMARK(BM_IndicatorProfileChartShown)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
