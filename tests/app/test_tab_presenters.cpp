// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the indicator and runoff tabs and the surface-storage calculator show, without their
// windows, on a one-span pivot whose depths are set by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/indicator_tab_presenter.h"
#include "evaluation/runoff_tab_presenter.h"
#include "evaluation/surface_storage_form.h"
#include "shell/number_text.h"

using namespace quarvex;

namespace kambrix {
namespace {

constexpr double kTwoPi = 6.28318530717958;

// One span of 100 m with outlets every 25 m (at 25, 50, 75 and 100 m), 10 L/s.
pivot oneSpanPivot() {
    auto& st = statics();
    pivot p = st.newPivot();
    Array<tramo> spans;
    spans.Push(st.Tramos().newTramo(1, "T1", 100, 150, 2500));
    p.caudal = 10;
    p.presion = 300;
    p.rugosidad = 130;
    st.Pivots().setFixedSpans(p, spans, Array<double>{0.0});
    return p;
}

// The sprinkler discharge of outlet i (at 25·i m) that applies depth_mm in T hours.
void setActualDepth(PivotWrapper& w, int i, double depth_mm, double T) {
    const double r = 25.0 * i;
    w.saidaAt(i).caudal_do_aspersor = depth_mm * kTwoPi * r * 25.0 / (3600.0 * T);
}

class EveryOutlet : public CalculosStrategy {
  public:
    explicit EveryOutlet(std::shared_ptr<Aspersor> a) : a_(std::move(a)) {}
    std::shared_ptr<Aspersor> aspersorFor(const saida&) override { return a_; }

  private:
    std::shared_ptr<Aspersor> a_;
};

std::shared_ptr<PivotWrapper> computedPivot() {
    auto nozzle = statics().Aspersores().newAspersor("N", 0.03, 0.5, 50, 500, 0.2, 0.7, modelo{});
    auto w = statics().newPivotWrapper(oneSpanPivot(), std::make_shared<EveryOutlet>(nozzle));
    w->calculate();
    return w;
}

TEST(IndicatorTab, ReadsTheBoxesAndNamesTheBoxAtFault) {
    auto in = readIndicatorInputs("", "", ',');
    EXPECT_FALSE(in.hours);
    EXPECT_EQ(in.plugged, 0);
    EXPECT_EQ(indicatorProblemKind(in, 4), IndicatorProblem::NoHours);
    EXPECT_EQ(*indicatorInputsProblem(in, 4),
              "It must be given the number of hours for a complete revolution");

    in = readIndicatorInputs("20,5", "3 outlets", ',');  // leading-number rule
    EXPECT_DOUBLE_EQ(*in.hours, 20.5);
    EXPECT_EQ(in.plugged, 3);
    EXPECT_EQ(indicatorProblemKind(in, 4), IndicatorProblem::None);
    in = readIndicatorInputs("20", "4", '.');
    EXPECT_EQ(indicatorProblemKind(in, 4), IndicatorProblem::None);  // all plugged is accepted
    in = readIndicatorInputs("20", "5", '.');
    EXPECT_EQ(indicatorProblemKind(in, 4), IndicatorProblem::Plugged);
    EXPECT_EQ(*indicatorInputsProblem(in, 4),
              "The number of plugged outlets can not exceed the number of total outlets");
    // A count far beyond an int stays a refused count, not a wrapped-around small one.
    in = readIndicatorInputs("20", "1e30", '.');
    EXPECT_EQ(indicatorProblemKind(in, 4), IndicatorProblem::Plugged);
    in = readIndicatorInputs("20", "-1e30", '.');
    EXPECT_EQ(indicatorProblemKind(in, 4), IndicatorProblem::Plugged);
}

TEST(IndicatorTab, ResultsProfilesAndDepartingOutlets) {
    auto w = statics().newPivotWrapper(oneSpanPivot(), std::make_shared<CalculosStrategy>());
    const double T = 20;
    const double depth[] = {10, 20, 30, 40};
    for (int i = 1; i <= 4; ++i) {
        setActualDepth(*w, i, depth[i - 1], T);
    }
    auto v = indicatorTabView(*w, {T, 0}, ',');
    // Average 30 mm, low quarter 10 mm: UD 33.33 %; CU 1 − 2000/7500 = 73.33 %.
    EXPECT_EQ(v.UD, "33,33");
    EXPECT_EQ(v.CU, "73,33");
    EXPECT_EQ(v.averageDepth, "30,00");
    EXPECT_EQ(v.band, UniformityBand::ChangePackage);
    ASSERT_EQ(v.actual.points.size(), 4u);
    ASSERT_EQ(v.ideal.points.size(), 4u);
    EXPECT_EQ(v.actual.points[0], (XYPoint{25, v.actual.points[0].y}));
    EXPECT_NEAR(v.actual.points[3].y, 40, 1e-9);
    // 10, 20 and 40 mm depart more than 6 mm (20 % of 30) from the average; 30 does not.
    ASSERT_EQ(v.departing.size(), 3u);
    EXPECT_EQ(v.departing[0].x, 25);
    EXPECT_EQ(v.departing[1].x, 50);
    EXPECT_EQ(v.departing[2].x, 100);
    ASSERT_EQ(v.spans.rows.size(), 1u);
    EXPECT_EQ(v.spans.cell(0, 0)->text, "1");

    // Two plugged: the outlets at 75 and 100 m remain in both profiles.
    v = indicatorTabView(*w, {T, 2}, '.');
    ASSERT_EQ(v.actual.points.size(), 2u);
    ASSERT_EQ(v.ideal.points.size(), 2u);
    EXPECT_EQ(v.actual.points[0].x, 75);
    EXPECT_EQ(v.ideal.points[0].x, 75);

    // Every outlet plugged: accepted, nothing to judge, said so; the span table stays.
    v = indicatorTabView(*w, {T, 4}, '.');
    EXPECT_EQ(v.UD, "");
    EXPECT_EQ(v.band, UniformityBand::None);
    EXPECT_TRUE(v.actual.points.empty());
    ASSERT_EQ(v.problems.size(), 1u);
    EXPECT_NE(v.problems[0].find("Every outlet is plugged"), std::string::npos);
    EXPECT_EQ(v.spans.rows.size(), 1u);

    // Nothing applied anywhere: one reason in plain words, the profiles still drawn.
    for (int i = 1; i <= 4; ++i) {
        setActualDepth(*w, i, 0, T);
    }
    v = indicatorTabView(*w, {T, 0}, '.');
    EXPECT_EQ(v.UD, "");
    EXPECT_EQ(v.CU, "");
    EXPECT_EQ(v.averageDepth, "0.00");
    EXPECT_EQ(v.problems,
              std::vector<std::string>{
                  "No outlet applies water yet: UD and CU need a chart with sprinklers"});
    EXPECT_EQ(v.actual.points.size(), 4u);
}

TEST(IndicatorTab, SpanTableShowsNotANumberAndMissingValues) {
    auto p = computedPivot()->pivot();
    statics().Pivots().setOverhangSpan(p, statics().Tramos().newTramo(2, "OH", 20, 100, 500));
    auto t = spanDischargeTableData(p);
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.cell(1, 0)->text, "Over hang");
    EXPECT_EQ(t.cell(0, 1)->decimals, 3);
    EXPECT_EQ(t.cell(0, 3)->decimals, 2);

    // A span that consumes nothing ideally has no variation: x/0 and 0/0 read "N/A". A
    // missing discharge (-99) gives an empty cell.
    p.Tramos(1).ideal_entry_conditions.caudal = 0;
    p.Tramos(1).ideal_exit_conditions.caudal = 0;
    t = spanDischargeTableData(p);
    EXPECT_EQ(t.cell(0, 3)->displayText('.'), "N/A");
    p.Tramos(1).entry_conditions.caudal = 0;
    p.Tramos(1).exit_condition.caudal = 0;
    t = spanDischargeTableData(p);
    EXPECT_EQ(t.cell(0, 3)->displayText('.'), "N/A");
    EXPECT_EQ(t.cell(0, 2)->displayText('.'), "0.000");
    p.Tramos(1).entry_conditions.caudal = -99;
    p.Tramos(1).exit_condition.caudal = 0;
    t = spanDischargeTableData(p);
    EXPECT_EQ(t.cell(0, 2)->displayText('.'), "") << "consumed " << *t.cell(0, 2)->number;
}

TEST(RunoffTab, CurvesShadingExcessAndVerdict) {
    auto w = computedPivot();
    const double T = 20;
    auto check = runoffCheckFrom({80.0, 30.0, std::nullopt, std::nullopt, 0.5, -0.5});
    EXPECT_EQ(check.firstSample.code, "ellipse1");
    EXPECT_EQ(check.secondSample.code, "ellipse2");
    EXPECT_EQ(check.secondSample.distanceToCenter, 0);

    auto v = runoffTabView(*w, check, T, std::nullopt, ',');
    ASSERT_FALSE(v.failure);
    // Only the first point: its ellipse and the infiltration curve, one area.
    ASSERT_EQ(v.curves.size(), 2u);
    EXPECT_EQ(v.curves[0].name, "ellipse1");
    EXPECT_EQ(v.curves[1].name, "infiltracion");
    ASSERT_EQ(v.curves[0].points.size(), static_cast<std::size_t>(kCurvePoints));
    const double cx = 30 / (kTwoPi * 80 / T) / 2;
    EXPECT_NEAR(v.curves[0].points.back().x, 2 * cx, 1e-12);
    EXPECT_NEAR(v.curves[0].points.back().y, 0, 1e-6);
    EXPECT_EQ(v.curves[1].points.front().x, 0.01);
    EXPECT_TRUE(v.points[0].hasData);
    EXPECT_FALSE(v.points[1].hasData);
    ASSERT_TRUE(v.points[0].excess_mm);
    EXPECT_FALSE(v.points[1].excess_mm);
    EXPECT_EQ(v.points[0].excess, formatDecimals(*v.points[0].excess_mm, 2, ','));
    EXPECT_EQ(v.points[0].verdict, "");  // no storage yet

    // The shading lies between the two curves and holds (nearly) the excess: trapezoids over
    // 200 strips against the library's 0.001 h strips between the crossings.
    ASSERT_EQ(v.shaded.size(), 1u);
    const auto& s = v.shaded[0];
    EXPECT_EQ(s.point, 1);
    ASSERT_EQ(s.lower.size(), s.upper.size());
    double shaded = 0;
    for (std::size_t i = 0; i < s.lower.size(); ++i) {
        EXPECT_LE(s.lower[i].y, s.upper[i].y);
        EXPECT_EQ(s.lower[i].x, s.upper[i].x);
        if (i > 0) {
            const double h = s.upper[i].x - s.upper[i - 1].x;
            shaded +=
                h * ((s.upper[i].y - s.lower[i].y) + (s.upper[i - 1].y - s.lower[i - 1].y)) / 2;
        }
    }
    EXPECT_NEAR(shaded, *v.points[0].excess_mm, 0.03 * *v.points[0].excess_mm);

    // With the storage known: held when the excess fits, runoff of the difference otherwise.
    const double e = *v.points[0].excess_mm;
    v = runoffTabView(*w, check, T, e + 1, '.');
    EXPECT_FALSE(v.points[0].runsOff);
    EXPECT_EQ(v.points[0].verdict.rfind("Held on the surface", 0), 0u) << v.points[0].verdict;
    v = runoffTabView(*w, check, T, e / 2, '.');
    EXPECT_TRUE(v.points[0].runsOff);
    EXPECT_EQ(
        v.points[0].verdict.rfind("Runoff of " + formatDecimals(e - e / 2, 2, '.') + " mm", 0), 0u)
        << v.points[0].verdict;
    EXPECT_EQ(runoffVerdict(3, 3, '.'), "Held on the surface: excess 3.00 mm, storage 3.00 mm");
}

TEST(RunoffTab, NoInfiltrationFlatEllipsesAndFailures) {
    auto w = computedPivot();
    // k = 0: both ellipses drawn, no area, no shading.
    auto check = runoffCheckFrom({50.0, 20.0, 90.0, 25.0, 0.0, -0.5});
    auto v = runoffTabView(*w, check, 20, 5.0, '.');
    ASSERT_FALSE(v.failure);
    ASSERT_EQ(v.curves.size(), 2u);
    EXPECT_EQ(v.curves[1].name, "ellipse2");
    EXPECT_FALSE(v.points[0].excess_mm);
    EXPECT_FALSE(v.points[1].excess_mm);
    EXPECT_TRUE(v.shaded.empty());
    check = runoffCheckFrom({50.0, 20.0, 90.0, 25.0, 8.0, std::nullopt});  // a blank
    v = runoffTabView(*w, check, 20, 5.0, '.');
    EXPECT_EQ(v.curves.size(), 2u);
    EXPECT_FALSE(v.points[0].excess_mm);

    // A soil that takes far more than the sprinklers give: every ellipse below, area 0.
    check = runoffCheckFrom({50.0, 20.0, 90.0, 25.0, 1000.0, -0.1});
    v = runoffTabView(*w, check, 20, 5.0, '.');
    ASSERT_TRUE(v.points[0].excess_mm);
    EXPECT_EQ(*v.points[0].excess_mm, 0);
    EXPECT_EQ(*v.points[1].excess_mm, 0);
    EXPECT_EQ(v.points[0].excess, "0.00");
    EXPECT_TRUE(v.shaded.empty());
    EXPECT_FALSE(v.points[1].runsOff);

    check = runoffCheckFrom({std::nullopt, 20.0, 90.0, std::nullopt, 8.0, -0.5});
    v = runoffTabView(*w, check, 20, std::nullopt, '.');
    EXPECT_EQ(*v.failure, "It must be given data for at least one position");
    EXPECT_TRUE(v.curves.empty());
    check = runoffCheckFrom({50.0, 20.0, std::nullopt, std::nullopt, 8.0, -0.5});
    v = runoffTabView(*w, check, 0, std::nullopt, '.');
    EXPECT_EQ(*v.failure, "Please enter the number of hours for a complete pivot revolution");
    // A point that never leaves the wetted circle is refused with its reason, at once.
    check = runoffCheckFrom({1.0, 100.0, std::nullopt, std::nullopt, 8.0, -0.5});
    v = runoffTabView(*w, check, 20, std::nullopt, '.');
    ASSERT_TRUE(v.failure);
    EXPECT_NE(v.failure->find("longer than one revolution"), std::string::npos);
}

TEST(SurfaceStorageForm, ItemsOrderOfBlanksAndResult) {
    EXPECT_EQ(storageKItems(','), (std::vector<std::string>{"0,5", "1"}));
    EXPECT_EQ(storageKItems('.'), (std::vector<std::string>{"0.5", "1"}));
    const auto slopes = storageSlopeItems();
    ASSERT_EQ(slopes.size(), 7u);
    EXPECT_EQ(slopes.front(), "0 %");
    EXPECT_EQ(slopes.back(), "6 %");

    auto r = surfaceStorageFromTexts({"5", "1", "1", "0 %"}, ',');
    ASSERT_TRUE(r.As);
    EXPECT_EQ(storageText(*r.As, ','), "6,50");  // 5 + 1 + 72/144
    r = surfaceStorageFromTexts({"5", "1", "1", "6 %"}, ',');
    EXPECT_EQ(storageText(*r.As, ','), "6,00");  // no slope term at 6 %
    r = surfaceStorageFromTexts({"5", "0,5", "1", "3 %"}, ',');
    EXPECT_NEAR(*r.As, 6 + 0.5 * 3 * 3 / 144.0, 1e-12);

    // The first blank in the order Sm, k, Sf, s is the one reported.
    r = surfaceStorageFromTexts({" ", "", "", ""}, '.');
    EXPECT_FALSE(r.As);
    EXPECT_EQ(*r.message, "It must be given the storage capacity of the micro depressions (Sm)");
    r = surfaceStorageFromTexts({"5", "", "", ""}, '.');
    EXPECT_EQ(*r.message, "It must be given the k parameter");
    r = surfaceStorageFromTexts({"5", "1", "", ""}, '.');
    EXPECT_EQ(*r.message, "It must be given storage on plant foliage (Sf)");
    r = surfaceStorageFromTexts({"5", "1", "0", ""}, '.');
    EXPECT_EQ(*r.message, "It must be given the system average slope");
}

}  // namespace
}  // namespace kambrix
