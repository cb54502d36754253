// SPDX-License-Identifier: GPL-3.0-or-later
//
// The performance-indicator and runoff tabs and the surface-storage calculator, offscreen,
// on a workbench over the demo project: the boxes, messages, plots and tables, and the
// tab values kept with a saved chart.
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <deque>
#include <memory>

#include "design/chart_workbench.h"
#include "design/supply_store.h"
#include "design/supply_tab_presenter.h"
#include "evaluation/evaluation_conditions.h"
#include "evaluation/indicator_tab_presenter.h"
#include "gui/TabIndicadores.h"
#include "gui/TabPluviometria.h"
#include "gui/TabSupply.h"
#include "gui/frmSuperficialStorage.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/units_view.h"
#include "windows_test_support.h"

namespace kambrix {
namespace {

using namespace test;

class Prompts : public WorkbenchPrompts {
  public:
    void message(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        if (names.empty()) {
            return std::nullopt;
        }
        auto n = names.front();
        names.pop_front();
        return n;
    }
    std::vector<std::string> messages;
    std::deque<std::string> names;
};

// The series of a chart view by its name, or null.
template <class S>
S* seriesNamed(QChartView* view, const QString& name) {
    for (auto* s : view->chart()->series()) {
        if (s->name() == name) {
            if (auto* typed = qobject_cast<S*>(s)) {
                return typed;
            }
        }
    }
    return nullptr;
}

int countOf(QChartView* view, QAbstractSeries::SeriesType type) {
    int n = 0;
    for (auto* s : view->chart()->series()) {
        n += s->type() == type ? 1 : 0;
    }
    return n;
}

class WorkbenchTabs : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        demo = openDemoProject();
        bench = std::make_unique<ChartWorkbench>(demo, WorkbenchDatabases::from(config), prompts);
        ASSERT_TRUE(bench->computeAutomatic());
        indicators = std::make_unique<TabIndicadores>(services, *bench);
        runoff = std::make_unique<TabPluviometria>(services, *bench);
        // The window redraws the runoff tab when the revolution time changes.
        QObject::connect(indicators.get(), &TabPage::changed, runoff.get(), &TabPage::updateData);
        indicators->updateData();
        runoff->updateData();
    }
    void TearDown() override {
        closeTopLevels("frmSuperficialStorage");
        runoff.reset();
        indicators.reset();
        bench.reset();
        WindowFixture::TearDown();
    }
    QLineEdit* box(QWidget* w, const char* name) { return child<QLineEdit>(w, name); }
    QString label(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }
    QChartView* depths() { return child<QChartView>(indicators.get(), "chtLaminas"); }
    QChartView* rates() { return child<QChartView>(runoff.get(), "chtPluviometria"); }

    Projecto demo;
    Prompts prompts;
    std::unique_ptr<ChartWorkbench> bench;
    std::unique_ptr<TabIndicadores> indicators;
    std::unique_ptr<TabPluviometria> runoff;
};

TEST_F(WorkbenchTabs, PluggedOutletsLeaveTheFirstOutletsOutAndTooManyAreRefused) {
    // The captions the tab sets when it attaches are the user's language's.
    EXPECT_EQ(label(indicators.get(), "lblHorasRevolucion"), "Hours for a complete revolution");
    EXPECT_EQ(label(indicators.get(), "lblObturadas"), "Number of plugged outlets");
    EXPECT_EQ(label(indicators.get(), "lblUD_v"), "");
    EXPECT_TRUE(messages.messages.isEmpty());

    type(box(indicators.get(), "txtHorasRevolucao"), "20");
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("|").toStdString();
    EXPECT_EQ(bench->indicadores().horasRevolucao, 20);
    // The plugged count is checked against the outlets of the fixed spans; the depth profiles
    // hold every outlet (the overhang's and the end gun as well).
    const int total = bench->currentWrapper()->numeroTotalDeSaidas();
    const int outlets = bench->currentWrapper()->WaterDepthsSamples(false).Length();
    ASSERT_GE(outlets, total);
    auto* actual = seriesNamed<QLineSeries>(depths(), "Actual depth (mm)");
    auto* ideal = seriesNamed<QLineSeries>(depths(), "Ideal depth (mm)");
    ASSERT_TRUE(actual && ideal);
    EXPECT_EQ(actual->count(), outlets);
    EXPECT_EQ(ideal->count(), outlets);
    const double nearest = actual->at(0).x();
    const QString ud = label(indicators.get(), "lblUD_v");
    EXPECT_FALSE(ud.isEmpty());
    EXPECT_EQ(ud.section('.', 1).size(), 2) << ud.toStdString();  // 2 decimals
    EXPECT_FALSE(label(indicators.get(), "lblCU_v").isEmpty());
    EXPECT_FALSE(label(indicators.get(), "lblLaminaMedia_v").isEmpty());
    EXPECT_FALSE(label(indicators.get(), "lblLaminaEsperada_v").isEmpty());
    EXPECT_FALSE(label(indicators.get(), "lblBandaCU").isEmpty());

    type(box(indicators.get(), "txtAObturados"), "5");
    actual = seriesNamed<QLineSeries>(depths(), "Actual depth (mm)");
    ideal = seriesNamed<QLineSeries>(depths(), "Ideal depth (mm)");
    ASSERT_TRUE(actual && ideal);
    EXPECT_EQ(actual->count(), outlets - 5);
    EXPECT_EQ(ideal->count(), outlets - 5);
    EXPECT_GT(actual->at(0).x(), nearest);
    EXPECT_EQ(bench->indicadores().numeroSaidasObturadas, 5);

    // As many as the total is accepted.
    type(box(indicators.get(), "txtAObturados"), QString::number(total));
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("|").toStdString();
    EXPECT_EQ(bench->indicadores().numeroSaidasObturadas, total);
    actual = seriesNamed<QLineSeries>(depths(), "Actual depth (mm)");
    ASSERT_TRUE(actual);
    EXPECT_EQ(actual->count(), outlets - total);

    // One more is refused, its text selected; the chart keeps the last accepted count.
    QLineEdit* plugged = box(indicators.get(), "txtAObturados");
    type(plugged, QString::number(total + 1));
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0],
              "The number of plugged outlets can not exceed the number of total outlets");
    QCoreApplication::processEvents();
    EXPECT_EQ(plugged->selectedText(), QString::number(total + 1));
    EXPECT_EQ(bench->indicadores().numeroSaidasObturadas, total);
    EXPECT_EQ(label(indicators.get(), "lblUD_v"), "");
}

// Every point of the scatter series of that name, in series order, and how many of those
// series have an entry in the legend.
struct Marks {
    std::vector<QPointF> points;
    int series = 0;
    int inLegend = 0;
};
Marks marksNamed(QChart* chart, const QString& name) {
    Marks m;
    for (auto* s : chart->series()) {
        auto* scatter = qobject_cast<QScatterSeries*>(s);
        if (!scatter || s->name() != name) {
            continue;
        }
        ++m.series;
        const auto pts = scatter->points();
        m.points.insert(m.points.end(), pts.begin(), pts.end());
        for (QLegendMarker* marker : chart->legend()->markers(s)) {
            m.inLegend += marker->isVisible() ? 1 : 0;
        }
    }
    return m;
}

TEST_F(WorkbenchTabs, TheDepartingOutletsAreMarkedOnTheActualProfile) {
    type(box(indicators.get(), "txtHorasRevolucao"), "20");
    const QString name = "Outlets > 20 % off the average";
    IndicatorInputs in;
    in.hours = 20;
    const IndicatorTabView view = indicatorTabView(*bench->currentWrapper(), in, '.');
    ASSERT_FALSE(view.departing.empty()) << "the demo chart has outlets far from the average";
    const Marks marks = marksNamed(depths()->chart(), name);
    ASSERT_EQ(marks.points.size(), view.departing.size());
    for (std::size_t i = 0; i < marks.points.size(); ++i) {
        EXPECT_EQ(marks.points[i], QPointF(view.departing[i].x, view.departing[i].y)) << i;
    }
    EXPECT_EQ(marks.inLegend, 1);
    auto* scatter = seriesNamed<QScatterSeries>(depths(), name);
    ASSERT_TRUE(scatter);
    EXPECT_EQ(scatter->color(), QColor(0xc6, 0x28, 0x28));
    EXPECT_EQ(scatter->markerSize(), 6);
}

TEST(DepthProfileChart, ManyMarksAreSplitIntoSeriesOfOneNameWithOneLegendEntry) {
    application();
    const QStringList captions = {"ideal", "actual", "x", "y", "marks", "enter the hours"};
    IndicatorTabView view;
    const std::size_t outlets = 2 * kMarksPerSeries + 88;
    for (std::size_t i = 0; i < outlets; ++i) {
        const double x = 2.0 * static_cast<double>(i + 1);
        view.ideal.points.push_back({x, 10});
        view.actual.points.push_back({x, 5 + static_cast<double>(i % 7)});
        view.departing.push_back({x, 5 + static_cast<double>(i % 7)});
    }
    std::unique_ptr<QChart> chart(depthProfileChart(view, captions));
    {
        // The legend's markers tell whether they are shown once the chart is on screen.
        QChartView shown;
        shown.setChart(chart.get());
        shown.show();
        QCoreApplication::processEvents();
        const Marks onScreen = marksNamed(chart.get(), "marks");
        EXPECT_EQ(onScreen.inLegend, 1);
        shown.hide();
        shown.setChart(new QChart);  // the view gives the profile chart back
    }
    const Marks marks = marksNamed(chart.get(), "marks");
    EXPECT_EQ(marks.series, 3);
    ASSERT_EQ(marks.points.size(), outlets) << "every mark drawn once";
    for (std::size_t i = 0; i < outlets; ++i) {
        ASSERT_EQ(marks.points[i], QPointF(view.departing[i].x, view.departing[i].y)) << i;
    }
    int lines = 0;
    for (auto* s : chart->series()) {
        if (auto* line = qobject_cast<QLineSeries*>(s)) {
            ++lines;
            EXPECT_EQ(line->count(), static_cast<int>(outlets));
        }
    }
    EXPECT_EQ(lines, 2);

    // Exactly one series' worth keeps one series; none, no marks at all.
    view.departing.resize(kMarksPerSeries);
    chart.reset(depthProfileChart(view, captions));
    EXPECT_EQ(marksNamed(chart.get(), "marks").series, 1);
    view.departing.clear();
    chart.reset(depthProfileChart(view, captions));
    EXPECT_EQ(marksNamed(chart.get(), "marks").series, 0);
    // Without a profile, the chart says what is missing and draws nothing.
    view.actual.points.clear();
    chart.reset(depthProfileChart(view, captions));
    EXPECT_TRUE(chart->series().isEmpty());
    EXPECT_EQ(chart->title(), "enter the hours");
}

TEST_F(WorkbenchTabs, TheSpanTableEndsWithTheOverhangWhenThePivotHasOne) {
    auto* grid = child<GridView>(indicators.get(), "grdCaudalTramos");
    const auto spans = grid->table().columnTexts("span", '.');
    ASSERT_EQ(spans.size(), 8u);  // seven fixed spans and the overhang
    EXPECT_EQ(spans.front(), "1");
    EXPECT_EQ(spans[6], "7");
    EXPECT_EQ(spans.back(), "Over hang");
    EXPECT_EQ(grid->captions().value(0), "Span");

    Projecto plain = demo;
    plain.hasVoladizo = false;
    plain.Tramos = demo.Tramos.Slice(1, demo.Tramos.Length() - 1);
    ChartWorkbench other(plain, WorkbenchDatabases::from(config), prompts);
    TabIndicadores tab(services, other);
    tab.updateData();
    const auto fixed = child<GridView>(&tab, "grdCaudalTramos")->table().columnTexts("span", '.');
    ASSERT_EQ(fixed.size(), 7u);
    EXPECT_EQ(fixed.back(), "7");
}

TEST_F(WorkbenchTabs, RunoffEllipsesAreasAndFailures) {
    EXPECT_EQ(label(runoff.get(), "lblInstruccion").left(22), "Enter the distance fro");
    auto* check = child<QPushButton>(runoff.get(), "cmdCalcularPluviometria");
    // Nothing given: the requirement message; then no revolution time.
    check->click();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0], "It must be given data for at least one position");
    type(box(runoff.get(), "txtRadio1"), "300");
    type(box(runoff.get(), "txtDmoj1"), "30");
    check->click();
    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_EQ(messages.messages[1],
              "Please enter the number of hours for a complete pivot revolution");

    // 20 h: at 300 m the pivot moves 94.25 m/h and a 30 m wetted diameter passes in 0.318 h.
    type(box(indicators.get(), "txtHorasRevolucao"), "20");
    auto* first = seriesNamed<QLineSeries>(rates(), "Point 1");
    ASSERT_TRUE(first);
    EXPECT_NEAR(first->at(first->count() - 1).x(), 30 / (6.28318530717958 * 300 / 20),
                1e-9);  // 0.3183 h, the sampled end of the curve
    EXPECT_NEAR(first->at(first->count() - 1).x(), 0.318, 0.0005);
    // No Kostiakov parameters: the ellipse alone, no area.
    EXPECT_EQ(countOf(rates(), QAbstractSeries::SeriesTypeLine), 1);
    EXPECT_EQ(countOf(rates(), QAbstractSeries::SeriesTypeArea), 0);
    EXPECT_EQ(label(runoff.get(), "lblExceso1_v"), "");

    // Only the first point, with the soil: one ellipse, the infiltration, one area.
    type(box(runoff.get(), "txtk"), "8");
    type(box(runoff.get(), "txta"), "-0.5");
    EXPECT_TRUE(seriesNamed<QLineSeries>(rates(), "Infiltration"));
    EXPECT_FALSE(seriesNamed<QLineSeries>(rates(), "Point 2"));
    EXPECT_EQ(countOf(rates(), QAbstractSeries::SeriesTypeLine), 2);
    const QString excess = label(runoff.get(), "lblExceso1_v");
    EXPECT_FALSE(excess.isEmpty());
    EXPECT_EQ(label(runoff.get(), "lblExceso2_v"), "");
    const bool shaded = seriesNamed<QAreaSeries>(rates(), "Excess 1") != nullptr;
    EXPECT_EQ(shaded, excess != "0.00") << excess.toStdString();

    // The second point from the outlet grid; k = 0 draws both ellipses and computes nothing.
    runoff->setPointDistance(2, 412.5);
    EXPECT_EQ(box(runoff.get(), "txtRadio2")->text(), "412.50");
    EXPECT_EQ(bench->pluviometryCheck().secondSample.distanceToCenter, 412.5);
    type(box(runoff.get(), "txtDmoj2"), "35");
    EXPECT_TRUE(seriesNamed<QLineSeries>(rates(), "Point 2"));
    type(box(runoff.get(), "txtk"), "0");
    EXPECT_EQ(countOf(rates(), QAbstractSeries::SeriesTypeLine), 2);
    EXPECT_FALSE(seriesNamed<QLineSeries>(rates(), "Infiltration"));
    EXPECT_EQ(countOf(rates(), QAbstractSeries::SeriesTypeArea), 0);
    EXPECT_EQ(label(runoff.get(), "lblExceso1_v"), "");
    EXPECT_EQ(label(runoff.get(), "lblExceso2_v"), "");

    // A soil that takes far more than the sprinklers give: both ellipses below, 0 mm.
    type(box(runoff.get(), "txtk"), "1000");
    type(box(runoff.get(), "txta"), "-0.1");
    EXPECT_EQ(label(runoff.get(), "lblExceso1_v"), "0.00");
    EXPECT_EQ(label(runoff.get(), "lblExceso2_v"), "0.00");
    EXPECT_EQ(countOf(rates(), QAbstractSeries::SeriesTypeArea), 0);
    EXPECT_EQ(messages.messages.size(), 2);  // box changes report in the tab only
}

TEST_F(WorkbenchTabs, TheSurfaceStorageCalculatorGivesTheRunoffVerdicts) {
    type(box(indicators.get(), "txtHorasRevolucao"), "20");
    type(box(runoff.get(), "txtRadio1"), "300");
    type(box(runoff.get(), "txtDmoj1"), "30");
    type(box(runoff.get(), "txtk"), "8");
    type(box(runoff.get(), "txta"), "-0.5");
    ASSERT_FALSE(label(runoff.get(), "lblExceso1_v").isEmpty());
    EXPECT_EQ(label(runoff.get(), "lblVeredicto1"), "");

    child<QPushButton>(runoff.get(), "cmdAlmacenamiento")->click();
    QWidget* calc = topLevel("frmSuperficialStorage");
    ASSERT_NE(calc, nullptr);
    EXPECT_EQ(calc->windowTitle(), "Surface storage");
    auto* k = child<QComboBox>(calc, "cmbk");
    auto* s = child<QComboBox>(calc, "cmbs");
    ASSERT_EQ(k->count(), 2);
    EXPECT_EQ(k->itemText(0), "0.5");
    ASSERT_EQ(s->count(), 7);
    EXPECT_EQ(s->itemText(6), "6 %");
    auto* compute = child<QPushButton>(calc, "cmdCompute");

    // Everything blank: Sm is reported first.
    compute->click();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0],
              "It must be given the storage capacity of the micro depressions (Sm)");
    // Out of range when leaving the box.
    type(box(calc, "txtSm"), "150");
    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_EQ(box(calc, "txtSm")->text(), "");

    type(box(calc, "txtSm"), "5");
    k->setCurrentIndex(1);
    type(box(calc, "txtSf"), "1");
    s->setCurrentIndex(0);
    compute->click();
    EXPECT_EQ(messages.messages.size(), 2);
    EXPECT_EQ(label(calc, "lblAs_v"), "6.50");
    EXPECT_EQ(label(runoff.get(), "lblAlmacenamiento_v"), "6.50");
    EXPECT_EQ(bench->surfaceStorage(), 6.5);
    const double excess = bench->pluviometryCheck().firstSample.distanceToCenter > 0
                              ? label(runoff.get(), "lblExceso1_v").toDouble()
                              : -1;
    const QString verdict = label(runoff.get(), "lblVeredicto1");
    EXPECT_TRUE(excess <= 6.5 ? verdict.startsWith("Held on the surface")
                              : verdict.startsWith("Runoff of"))
        << verdict.toStdString();
    s->setCurrentIndex(6);
    compute->click();
    EXPECT_EQ(label(calc, "lblAs_v"), "6.00");
    EXPECT_EQ(label(runoff.get(), "lblAlmacenamiento_v"), "6.00");

    // A storage smaller than the excess: the difference runs off.
    type(box(calc, "txtSm"), "0");
    type(box(calc, "txtSf"), "0");
    compute->click();
    EXPECT_EQ(label(calc, "lblAs_v"), "0.00");
    if (excess > 0) {
        EXPECT_TRUE(label(runoff.get(), "lblVeredicto1")
                        .startsWith("Runoff of " + label(runoff.get(), "lblExceso1_v")));
    }
}

TEST_F(WorkbenchTabs, TheTabValuesSurviveSavingAndOpeningTheChart) {
    type(box(indicators.get(), "txtHorasRevolucao"), "18.5");
    type(box(indicators.get(), "txtAObturados"), "3");
    type(box(runoff.get(), "txtRadio1"), "250");
    type(box(runoff.get(), "txtDmoj1"), "28");
    type(box(runoff.get(), "txtRadio2"), "400");
    type(box(runoff.get(), "txtDmoj2"), "35");
    type(box(runoff.get(), "txtk"), "8");
    type(box(runoff.get(), "txta"), "-0.45");
    prompts.names.push_back("Tabs kept");
    ASSERT_TRUE(bench->copyAutomaticToManual());
    ASSERT_TRUE(bench->saveChartAs());
    const int id = bench->currentChart()->id();

    // Other values in every box, then the stored chart opened again.
    type(box(indicators.get(), "txtHorasRevolucao"), "30");
    type(box(indicators.get(), "txtAObturados"), "0");
    type(box(runoff.get(), "txtRadio1"), "100");
    type(box(runoff.get(), "txtk"), "");
    ASSERT_EQ(bench->indicadores().horasRevolucao, 30);
    bench->selectChart(id);
    ASSERT_TRUE(bench->openChart()) << (prompts.messages.empty() ? "" : prompts.messages[0]);
    indicators->updateData();
    runoff->updateData();
    EXPECT_EQ(box(indicators.get(), "txtHorasRevolucao")->text(), "18.5");
    EXPECT_EQ(box(indicators.get(), "txtAObturados")->text(), "3");
    EXPECT_EQ(box(runoff.get(), "txtRadio1")->text(), "250");
    EXPECT_EQ(box(runoff.get(), "txtDmoj1")->text(), "28");
    EXPECT_EQ(box(runoff.get(), "txtRadio2")->text(), "400");
    EXPECT_EQ(box(runoff.get(), "txtDmoj2")->text(), "35");
    EXPECT_EQ(box(runoff.get(), "txtk")->text(), "8");
    EXPECT_EQ(box(runoff.get(), "txta")->text(), "-0.45");
    EXPECT_FALSE(label(indicators.get(), "lblCU_v").isEmpty());
    EXPECT_TRUE(seriesNamed<QLineSeries>(rates(), "Point 2"));
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("|").toStdString();
}

// The tabs in US units: the runoff points typed in feet and in/h are stored in metres and
// mm/h, the stored values come back in feet, and switching back shows them as stored.
TEST_F(WorkbenchTabs, TheTabsReadAndTakeTheUnitsChosen) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    type(box(indicators.get(), "txtHorasRevolucao"), "20");
    type(box(runoff.get(), "txtRadio1"), "250");
    const double expected_mm = label(indicators.get(), "lblLaminaEsperada_v").toDouble();
    ASSERT_GT(expected_mm, 0);
    showUnits(UnitSystem::US);
    redrawInUnits(runoff.get());
    redrawInUnits(indicators.get());
    EXPECT_EQ(box(runoff.get(), "txtRadio1")->text(), "820.2");  // 250 m
    EXPECT_EQ(label(runoff.get(), "lblRadio1"), "Distance from the centre (ft)");
    EXPECT_EQ(label(runoff.get(), "lblk"), "k (in/h)");
    EXPECT_EQ(depths()->chart()->axes(Qt::Horizontal).value(0)->titleText(),
              "Distance from the pivot point (ft)");
    // The expected depth beside its caption, in inches.
    EXPECT_NEAR(label(indicators.get(), "lblLaminaEsperada_v").toDouble(), expected_mm / 25.4,
                0.006);

    type(box(runoff.get(), "txtRadio2"), "1000");
    type(box(runoff.get(), "txtDmoj2"), "100");
    type(box(runoff.get(), "txtk"), "0.5");
    type(box(runoff.get(), "txta"), "-0.45");
    const auto check = bench->pluviometryCheck();
    EXPECT_DOUBLE_EQ(check.firstSample.distanceToCenter, 250);  // not edited: as stored
    EXPECT_NEAR(check.secondSample.distanceToCenter, 304.8, 1e-12);
    EXPECT_NEAR(check.secondSample.wetDiameter, 30.48, 1e-12);
    EXPECT_NEAR(check.kostiakov.k, 12.7, 1e-12);
    EXPECT_DOUBLE_EQ(check.kostiakov.a, -0.45);

    showUnits(UnitSystem::SI);
    redrawInUnits(runoff.get());
    EXPECT_EQ(box(runoff.get(), "txtRadio2")->text(), "304.8");
    EXPECT_EQ(box(runoff.get(), "txtk")->text(), "12.7");
    EXPECT_EQ(label(runoff.get(), "lblRadio1"), "Distance from the centre (m)");
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("|").toStdString();
}

// The surface storage calculator in US units: Sm and Sf typed in inches, As shown in inches
// beside captions that say so, and the storage the runoff check uses kept in mm.
TEST_F(WorkbenchTabs, TheSurfaceStorageCalculatorTakesTheUnitsChosen) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    showUnits(UnitSystem::US);
    child<QPushButton>(runoff.get(), "cmdAlmacenamiento")->click();
    QWidget* calc = topLevel("frmSuperficialStorage");
    ASSERT_NE(calc, nullptr);
    EXPECT_EQ(label(calc, "lblSm"), "Storage capacity of the micro depressions, Sm (in)");
    EXPECT_EQ(label(calc, "lblAs"), "Surface storage, As (in)");
    type(box(calc, "txtSm"), "5");  // 100 mm is 3.937 in
    EXPECT_EQ(messages.messages.value(0),
              "The value for the storage capacity of the micro depressions (Sm) must be from 0 "
              "to 3.937 in");
    type(box(calc, "txtSm"), "0.2");
    type(box(calc, "txtSf"), "0.04");
    child<QComboBox>(calc, "cmbk")->setCurrentIndex(1);
    child<QComboBox>(calc, "cmbs")->setCurrentIndex(0);
    child<QPushButton>(calc, "cmdCompute")->click();
    // 5.08 + 1.016 + 1 · 12 · 6 / 144 = 6.596 mm
    EXPECT_NEAR(bench->surfaceStorage().value_or(-1), 6.596, 1e-12);
    EXPECT_EQ(label(calc, "lblAs_v"), "0.26");

    showUnits(UnitSystem::SI);
    EXPECT_EQ(label(calc, "lblSm"), "Storage capacity of the micro depressions, Sm (mm)");
    EXPECT_EQ(box(calc, "txtSm")->text(), "5.08");
    EXPECT_EQ(box(calc, "txtSf")->text(), "1.016");
    EXPECT_EQ(label(calc, "lblAs_v"), "6.60");
    EXPECT_EQ(messages.messages.size(), 1) << messages.messages.join("|").toStdString();
}

}  // namespace
}  // namespace kambrix

namespace kambrix {
namespace {

// The supply tab over the demo's automatic package: the stored supply comes into the boxes,
// Compute shows the cases and the curves meeting at the operating points, a refused row is
// named in the tab, Save supply stores what the boxes say.
TEST_F(WorkbenchTabs, TheSupplyTabFindsTheOperatingPoint) {
    Supply stored;
    stored.pump = {{60, 380}};
    stored.line = {3, 400, 203.2, 140};
    writeTo(config.projectsConnectionString,
            [&](quarvex::Connection& c) { saveSupply(c, demo.id, stored); });
    TabSupply tab(services, *bench);
    tab.updateData();
    auto* pump = child<QTableWidget>(&tab, "grdBomba");
    ASSERT_TRUE(pump->item(0, 0) && pump->item(0, 1));
    EXPECT_EQ(pump->item(0, 0)->text(), "60");
    EXPECT_EQ(box(&tab, "txtLongitud")->text(), "400");
    EXPECT_EQ(box(&tab, "txtDiametro")->text(), "203.2");

    child<QPushButton>(&tab, "cmdCalcularSuministro")->click();
    EXPECT_TRUE(label(&tab, "lblMensajeSuministro").isEmpty())
        << label(&tab, "lblMensajeSuministro").toStdString();
    const SupplyAnalysis a = analyseSupply(chartSetupOf(*bench), stored);
    EXPECT_EQ(label(&tab, "lblResumenSuministro_v"),
              QString::fromStdString(supplyTabView(a, '.').summary));
    auto* grid = child<GridView>(&tab, "grdCasos");
    ASSERT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->item(2, 0)->text(), "gun off");
    auto* figure = child<QChartView>(&tab, "chtSuministro");
    auto* points = seriesNamed<QScatterSeries>(figure, "Operating points");
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(points->count(), 3);
    EXPECT_NEAR(points->at(0).x(), a.cases[0].point.caudal, 1e-9);
    EXPECT_NEAR(points->at(0).y(), a.cases[0].point.presion, 1e-9);
    EXPECT_NE(seriesNamed<QLineSeries>(figure, "Supply at the pivot"), nullptr);

    // A falling discharge is refused with its row; nothing is computed.
    pump->setItem(1, 0, new QTableWidgetItem("50"));
    pump->setItem(1, 1, new QTableWidgetItem("300"));
    child<QPushButton>(&tab, "cmdCalcularSuministro")->click();
    EXPECT_NE(label(&tab, "lblMensajeSuministro").indexOf("row 2"), -1);
    EXPECT_EQ(grid->rowCount(), 0);

    // Save supply stores the boxes: a two-row curve and a measured supply.
    pump->item(1, 0)->setText("90");
    type(box(&tab, "txtPresionMedida"), "290");
    type(box(&tab, "txtCaudalMedido"), "61");
    child<QPushButton>(&tab, "cmdGuardarSuministro")->click();
    const Supply saved = readFrom(config.projectsConnectionString,
                                  [&](quarvex::Connection& c) { return loadSupply(c, demo.id); });
    EXPECT_EQ(saved.pump, (std::vector<PumpRow>{{60, 380}, {90, 300}}));
    EXPECT_EQ(saved.measured, (MeasuredSupply{290, 61}));
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("|").toStdString();

    // The measured supply of a catch-can test linked to this system fills the boxes; a test
    // without both numbers or of another system is not offered.
    child<QPushButton>(&tab, "cmdDesdeEnsayo")->click();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_NE(messages.messages.back().indexOf("No catch-can test"), -1);
    writeTo(config.projectsConnectionString, [&](quarvex::Connection& c) {
        EvaluationConditions measured;
        measured.systemId = demo.id;
        measured.date = "2026-07-14";
        measured.pivotPressure_kPa = 287.5;
        measured.pivotDischarge_Ls = 58.25;
        saveConditions(c, "North test", measured);
        auto half = measured;
        half.pivotDischarge_Ls.reset();
        saveConditions(c, "Pressure only", half);
        auto other = measured;
        other.systemId = demo.id + 1;
        saveConditions(c, "Other pivot", other);
    });
    messages.answerItem(0);
    child<QPushButton>(&tab, "cmdDesdeEnsayo")->click();
    ASSERT_EQ(messages.itemLists.size(), 1u);
    EXPECT_EQ(messages.itemLists.back(),
              QStringList{"North test (2026-07-14): 287.5 kPa, 58.25 L/s"});
    EXPECT_EQ(box(&tab, "txtPresionMedida")->text(), "287.5");
    EXPECT_EQ(box(&tab, "txtCaudalMedido")->text(), "58.25");
}

// The supply tab in US units: the stored supply read in gpm, psi, ft and in, saved back
// unchanged when not edited, and what is typed stored in SI.
TEST_F(WorkbenchTabs, TheSupplyTabReadsAndTakesUsUnits) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    Supply stored;
    stored.pump = {{60, 380}, {90, 300}};
    stored.line = {3, 400, 203.2, 140};
    writeTo(config.projectsConnectionString,
            [&](quarvex::Connection& c) { saveSupply(c, demo.id, stored); });
    showUnits(UnitSystem::US);
    TabSupply tab(services, *bench);
    tab.updateData();
    auto* pump = child<QTableWidget>(&tab, "grdBomba");
    ASSERT_TRUE(pump->item(0, 0) && pump->item(0, 1));
    EXPECT_EQ(pump->horizontalHeaderItem(0)->text(), "Discharge (gpm)");
    EXPECT_EQ(pump->item(0, 0)->text(), "951.02");          // 60 L/s
    EXPECT_EQ(pump->item(0, 1)->text(), "55.11");           // 380 kPa
    EXPECT_EQ(box(&tab, "txtLongitud")->text(), "1312.3");  // 400 m
    EXPECT_EQ(box(&tab, "txtDiametro")->text(), "8");       // 203.2 mm
    EXPECT_EQ(label(&tab, "lblLongitud"), "Length (ft)");

    // Saved without an edit: exactly what was stored.
    child<QPushButton>(&tab, "cmdGuardarSuministro")->click();
    auto saved = [&] {
        return readFrom(config.projectsConnectionString,
                        [&](quarvex::Connection& c) { return loadSupply(c, demo.id); });
    };
    EXPECT_EQ(saved().pump, stored.pump);
    EXPECT_EQ(saved().line, stored.line);

    // Typed in US units, stored in SI.
    pump->item(1, 0)->setText("1500");
    type(box(&tab, "txtPresionMedida"), "40");
    type(box(&tab, "txtCaudalMedido"), "900");
    child<QPushButton>(&tab, "cmdGuardarSuministro")->click();
    const Supply typed = saved();
    ASSERT_EQ(typed.pump.size(), 2u);
    EXPECT_NEAR(typed.pump[1].caudal, 1500 * 3.785411784 / 60, 1e-9);
    EXPECT_EQ(typed.pump[1].presion, 300);
    ASSERT_TRUE(typed.measured);
    EXPECT_NEAR(typed.measured->presion, 40 * 6.894757293168, 1e-9);
    EXPECT_NEAR(typed.measured->caudal, 900 * 3.785411784 / 60, 1e-9);

    // Back in SI the grid and the boxes show the stored values.
    showUnits(UnitSystem::SI);
    EXPECT_EQ(pump->horizontalHeaderItem(0)->text(), "Discharge (L/s)");
    EXPECT_EQ(pump->item(0, 0)->text(), "60");
    EXPECT_EQ(box(&tab, "txtLongitud")->text(), "400");
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("|").toStdString();
}

}  // namespace
}  // namespace kambrix
