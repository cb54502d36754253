// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "evaluation/indicators.h"
#include "evaluation/runoff.h"
#include "shell/number_text.h"

using namespace quarvex;

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

// Sets the sprinkler discharge of outlet i (1-based, at 25·i m) so that it applies depth_mm
// in a revolution of T hours: q = D × 2π r s / (3600 T).
void setActualDepth(PivotWrapper& w, int i, double depth_mm, double T) {
    const double r = 25.0 * i;
    w.saidaAt(i).caudal_do_aspersor = depth_mm * kTwoPi * r * 25.0 / (3600.0 * T);
}

// Mounts the same nozzle on every outlet.
class EveryOutlet : public CalculosStrategy {
  public:
    explicit EveryOutlet(std::shared_ptr<Aspersor> a) : a_(std::move(a)) {}
    std::shared_ptr<Aspersor> aspersorFor(const saida&) override { return a_; }

  private:
    std::shared_ptr<Aspersor> a_;
};

}  // namespace

TEST(Indicators, PluggedOutletsLeftOutOfActualAndIdeal) {
    auto w = statics().newPivotWrapper(oneSpanPivot(), std::make_shared<CalculosStrategy>());
    ASSERT_EQ(w->numeroTotalDeSaidas(), 4);
    const double T = 20;
    const double depth[] = {10, 20, 30, 40};
    for (int i = 1; i <= 4; ++i) {
        setActualDepth(*w, i, depth[i - 1], T);
    }
    // The ideal depth is the same at every outlet: Q·3600·T / (π R²) = 720000 / (π·10⁴).
    const double ideal = 10 * 3600 * T / (3.14159265358979 * 100 * 100);

    auto all = kambrix::computeIndicators(*w, T, 0);
    // Average (25·10 + 50·20 + 75·30 + 100·40) / 250 = 30; low quarter: 25 ≤ 62.5, 75 > 62.5.
    EXPECT_NEAR(all.averageDepth, 30, 1e-9);  // the depths were set through q to 1e-12
    EXPECT_NEAR(*all.UD, 10.0 / 30.0, 1e-9);
    EXPECT_NEAR(*all.CU, 1 - (25 * 20 + 50 * 10 + 0 + 100 * 10) / 7500.0, 1e-9);
    EXPECT_NEAR(all.expectedDepth, ideal, 1e-6);  // ideal discharges from the library's pass
    EXPECT_EQ(all.actual->numberOfPoints(), 4);

    auto one = kambrix::computeIndicators(*w, T, 1);
    // Outlets at 50, 75, 100 m: average 7250 / 225; low quarter is the first (50 ≤ 56.25).
    const double avg = 7250.0 / 225.0;
    EXPECT_NEAR(one.averageDepth, avg, 1e-9);
    EXPECT_NEAR(*one.UD, 20 / avg, 1e-9);
    EXPECT_NEAR(
        *one.CU,
        1 - (50 * std::fabs(20 - avg) + 75 * std::fabs(30 - avg) + 100 * std::fabs(40 - avg)) /
                7250.0,
        1e-9);
    EXPECT_EQ(one.actual->numberOfPoints(), 3);
    EXPECT_EQ(one.ideal->numberOfPoints(), 3);
    EXPECT_EQ(one.ideal->getMinX(), 50);
    EXPECT_NEAR(one.expectedDepth, ideal, 1e-6);

    // Three plugged: one outlet left, whose weight is more than a quarter: UD cannot be had.
    auto three = kambrix::computeIndicators(*w, T, 3);
    EXPECT_FALSE(three.UD);
    ASSERT_TRUE(three.CU);
    EXPECT_DOUBLE_EQ(*three.CU, 1);
    EXPECT_EQ(three.problems.size(), 1u);

    // All plugged is accepted by the check but leaves no outlet to judge.
    try {
        kambrix::computeIndicators(*w, T, 4);
        FAIL() << "indicators over no outlet";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::EmptyWaterDepthSerie);
    }
    try {
        kambrix::computeIndicators(*w, T, 5);
        FAIL() << "more plugged outlets than outlets accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::InvalidArgument);
    }
}

TEST(Indicators, InputChecksSpanTableAndSurfaceStorage) {
    EXPECT_EQ(*kambrix::validateIndicatorInputs(std::nullopt, 0, 4),
              "It must be given the number of hours for a complete revolution");
    EXPECT_FALSE(kambrix::validateIndicatorInputs(20.0, 4, 4));
    EXPECT_EQ(*kambrix::validateIndicatorInputs(20.0, 5, 4),
              "The number of plugged outlets can not exceed the number of total outlets");
    EXPECT_TRUE(kambrix::validateIndicatorInputs(20.0, -1, 4));

    auto p = oneSpanPivot();
    auto rows = kambrix::spanDischargeTable(p);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "1");
    statics().Pivots().setOverhangSpan(p, statics().Tramos().newTramo(2, "OH", 20, 100, 500));
    rows = kambrix::spanDischargeTable(p);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].name, "Over hang");

    EXPECT_EQ(kambrix::showValueText(std::nan(""), -99, 2, '.'), "N/A");
    EXPECT_EQ(kambrix::showValueText(-99, -99, 2, '.'), "");
    EXPECT_EQ(kambrix::showValueText(1.23456, -99, 3, ','), "1,235");

    EXPECT_NEAR(kambrix::surfaceStorage(5, 1, 1, 0), 6.5, 1e-12);  // 5 + 1 + 72/144
    EXPECT_NEAR(kambrix::surfaceStorage(5, 1, 1, 6), 6.0, 1e-12);  // slope term 0
    auto s = kambrix::computeSurfaceStorage(std::nullopt, std::nullopt, std::nullopt, 3.0);
    EXPECT_FALSE(s.As);
    EXPECT_EQ(*s.message, "It must be given the storage capacity of the micro depressions (Sm)");
    s = kambrix::computeSurfaceStorage(5.0, std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(*s.message, "It must be given the k parameter");
    s = kambrix::computeSurfaceStorage(5.0, 0.5, std::nullopt, 0.0);
    EXPECT_EQ(*s.message, "It must be given storage on plant foliage (Sf)");
    s = kambrix::computeSurfaceStorage(5.0, 0.5, 1.0, std::nullopt);
    EXPECT_EQ(*s.message, "It must be given the system average slope");
    s = kambrix::computeSurfaceStorage(5.0, 0.5, 1.0, 3.0);
    EXPECT_NEAR(*s.As, 6 + 0.5 * 3 * 3 / 144.0, 1e-12);
}

TEST(Runoff, EllipsesInfiltrationAndAreas) {
    auto nozzle = statics().Aspersores().newAspersor("N", 0.03, 0.5, 50, 500, 0.2, 0.7, modelo{});
    auto w = statics().newPivotWrapper(oneSpanPivot(), std::make_shared<EveryOutlet>(nozzle));
    w->calculate();
    ASSERT_GT(w->totalComputedDischarge(), 0);

    // 300 m at 20 h: 6.28318530717958 × 300 / 20 ≈ 94.25 m/h.
    EXPECT_NEAR(kambrix::linearSpeed(300, 20), 94.2477796076937, 1e-9);
    PluviometryCheck check;
    check.firstSample = {80, 30, "whatever"};
    check.kostiakov = {0.5, -0.5};
    const double T = 20;
    auto r = kambrix::computeRunoff(*w, check, T);
    ASSERT_FALSE(r.failure);
    EXPECT_TRUE(r.curves.Contains("ellipse1"));
    EXPECT_FALSE(r.curves.Contains("ellipse2"));
    ASSERT_TRUE(r.curves.Contains("infiltracion"));
    auto ellipse = std::dynamic_pointer_cast<zarede::ZaredeFunction>(r.curves.Item("ellipse1"));
    ASSERT_TRUE(ellipse);
    EXPECT_EQ(ellipse->name(), "ellipse1");
    const double cx = 30 / (kTwoPi * 80 / T) / 2;
    EXPECT_NEAR(ellipse->centro_X(), cx, 1e-12);
    const double Q = w->totalComputedDischarge();
    const double peak = Q / (100.0 * 100.0) * (4 / 3.14159265358979) * 3600 * (80 / 15.0);
    EXPECT_NEAR(ellipse->centro_Y(), peak, 1e-9);
    auto soil = r.curves.Item("infiltracion");
    EXPECT_EQ(soil->getMinX(), 0.01);
    EXPECT_EQ(soil->getMaxX(), 2 * cx);
    ASSERT_TRUE(r.area1);
    EXPECT_FALSE(r.area2);

    // Independent check: the excess of the ellipse over k·t^a on a fine grid.
    double excess = 0;
    const int n = 200000;
    const double h = 2 * cx / n;
    for (int i = 0; i < n; ++i) {
        const double t = (i + 0.5) * h;
        const double e = peak * std::sqrt(std::max(0.0, 1 - (t - cx) * (t - cx) / (cx * cx)));
        excess += std::max(0.0, e - 0.5 * std::pow(t, -0.5)) * h;
    }
    ASSERT_GT(excess, 0.01) << "peak " << peak << " mm/h";
    // The library integrates with 0.001 h strips between crossings found to 1e-6 mm/h.
    EXPECT_NEAR(*r.area1, excess, 1e-3 * excess);
}

TEST(Runoff, FailuresAndMissingCurves) {
    auto w = statics().newPivotWrapper(oneSpanPivot(), std::make_shared<CalculosStrategy>());
    PluviometryCheck none;
    none.firstSample = {0, 30, ""};
    none.secondSample = {50, 0, ""};
    auto r = kambrix::computeRunoff(*w, none, 20);
    EXPECT_EQ(*r.failure, "It must be given data for at least one position");
    PluviometryCheck two;
    two.firstSample = {50, 20, ""};
    two.secondSample = {90, 25, ""};
    r = kambrix::computeRunoff(*w, two, 0);
    EXPECT_EQ(*r.failure, "Please enter the number of hours for a complete pivot revolution");

    // k = 0: no infiltration curve, no areas, but both ellipses exist.
    r = kambrix::computeRunoff(*w, two, 20);
    ASSERT_FALSE(r.failure);
    EXPECT_EQ(r.curves.Count(), 2);
    EXPECT_FALSE(r.area1);
    EXPECT_FALSE(r.area2);
    // No sprinkler discharge: the ellipses are flat, wholly below the soil curve: area 0.
    two.kostiakov = {20, -0.5};
    r = kambrix::computeRunoff(*w, two, 20);
    ASSERT_EQ(r.curves.Count(), 3);
    EXPECT_EQ(r.curves.KeyAt(3), "infiltracion");
    ASSERT_TRUE(r.area1);
    EXPECT_EQ(*r.area1, 0);
    EXPECT_EQ(*r.area2, 0);
}

TEST(Runoff, PointsWetLongerThanARevolutionOrTooLongToIntegrateAreRefused) {
    auto nozzle = statics().Aspersores().newAspersor("N", 0.03, 0.5, 50, 500, 0.2, 0.7, modelo{});
    auto w = statics().newPivotWrapper(oneSpanPivot(), std::make_shared<EveryOutlet>(nozzle));
    w->calculate();
    // 1 m from the pivot point under a 100 m wetted diameter: the point would be wet for
    // 100 / (2π × 1 / T) ≈ 15.9 T, longer than the revolution itself.
    PluviometryCheck check;
    check.firstSample = {80, 30, ""};
    check.secondSample = {1, 100, ""};
    check.kostiakov = {0.001, -0.5};
    auto r = kambrix::computeRunoff(*w, check, 6000);
    ASSERT_TRUE(r.failure);
    EXPECT_NE(r.failure->find("longer than one revolution"), std::string::npos) << *r.failure;
    EXPECT_NE(r.failure->find("The point at 1.00 m"), std::string::npos) << *r.failure;
    EXPECT_EQ(r.curves.Count(), 0);
    EXPECT_FALSE(r.area1);
    // Wet for just under one revolution (w slightly below 2πr) is still a point of the field.
    check.secondSample = {10, kTwoPi * 10 * 0.999, ""};
    r = kambrix::computeRunoff(*w, check, 20);
    EXPECT_FALSE(r.failure) << *r.failure;
    // Within a revolution but 12,000 h wet: 1.2e7 steps of 0.001 h.
    check.secondSample = {10, kTwoPi * 10 / 2, ""};  // wet for half a revolution
    r = kambrix::computeRunoff(*w, check, 24000);
    ASSERT_TRUE(r.failure);
    EXPECT_NE(r.failure->find("integration steps"), std::string::npos) << *r.failure;
}
