// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "quarvex_test_support.h"

#include "evaluation/catch_can_evaluation.h"
#include "evaluation/water_depth_serie.h"

using namespace quarvex;
using kambrix::WaterDepthSerie;

namespace {

Array<WaterDepthSample> depths(std::initializer_list<std::pair<double, double>> items) {
    Array<WaterDepthSample> out;
    for (const auto& [d, r] : items) {
        out.Push(statics().WaterDepths().newWaterDepthSample(d, r));
    }
    return out;
}

}  // namespace

TEST(WaterDepthSerie, HandWorkedTwoSamples) {
    WaterDepthSerie s;
    s.init(depths({{20, 300}, {10, 100}}), "two");
    // Drawn in ascending distance whatever the input order.
    EXPECT_EQ(s.getValueForX(1), 100);
    EXPECT_EQ(s.getValueForY(1), 10);
    EXPECT_EQ(s.getValueForX(2), 300);
    EXPECT_EQ(s.getMinX(), 100);
    EXPECT_EQ(s.getMaxX(), 300);
    EXPECT_EQ(s.getMinY(), 10);
    EXPECT_EQ(s.getMaxY(), 20);
    EXPECT_EQ(s.numberOfPoints(), 2);
    EXPECT_EQ(s.name(), "two");
    // (100·10 + 300·20) / 400 = 17.5; CU = 1 − (750 + 750) / 7000; the low quarter is the
    // first sample (100 = 400 / 4), so UD = 10 / 17.5. Tolerances: rounding of the sums.
    EXPECT_NEAR(s.WaterAverage(), 17.5, 1e-12);
    EXPECT_NEAR(s.CoeficientOfUniformity(), 0.785714285714286, 1e-12);
    EXPECT_NEAR(s.LowQuarterWaterAverage(), 10, 1e-12);
    EXPECT_NEAR(s.UniformityOfDestribuition(), 0.571428571428571, 1e-12);
    EXPECT_EQ(errorOf([&] { s.getValueForX(3); }), errc::SubscriptOutOfRange);

    WaterDepthSerie empty;
    EXPECT_EQ(errorOf([&] { empty.init(Array<WaterDepthSample>{}, "none"); }),
              errc::EmptyWaterDepthSerie);
}

TEST(WaterDepthSerie, EmptyLowQuarterEqualAndZeroDepths) {
    WaterDepthSerie skew;
    skew.init(depths({{10, 101}, {20, 299}}), "skew");
    EXPECT_EQ(errorOf([&] { skew.UniformityOfDestribuition(); }),
              errc::NotEnoughSamplesToComputeLowQuarter);
    EXPECT_NEAR(skew.CoeficientOfUniformity(), 1 - (101 * 7.475 + 299 * 2.525) / (1010 + 5980.0),
                1e-12);  // rounding of the sums

    WaterDepthSerie flat;
    flat.init(depths({{7, 1}, {7, 2}, {7, 3}, {7, 4}, {7, 5}}), "flat");
    EXPECT_DOUBLE_EQ(flat.UniformityOfDestribuition(), 1);
    EXPECT_DOUBLE_EQ(flat.CoeficientOfUniformity(), 1);

    WaterDepthSerie dry;
    dry.init(depths({{0, 1}, {0, 2}, {0, 3}, {0, 4}}), "dry");
    EXPECT_EQ(dry.WaterAverage(), 0);
    EXPECT_EQ(errorOf([&] { dry.UniformityOfDestribuition(); }), errc::DivisionByZero);
    EXPECT_EQ(errorOf([&] { dry.CoeficientOfUniformity(); }), errc::DivisionByZero);
}

TEST(WaterDepthSerie, DrawnThroughASerieSource) {
    auto s = std::make_shared<WaterDepthSerie>();
    s->init(depths({{5, 30}, {8, 10}, {6, 20}}), "measured");
    zarede::SerieSource source;
    source.addSerie(s);
    const auto grid = source.getSerieArray();
    ASSERT_EQ(grid.rows(), 3);
    ASSERT_EQ(grid.cols(), 2);
    EXPECT_EQ(grid(1, 1), 10);
    EXPECT_EQ(grid(1, 2), 8);
    EXPECT_EQ(grid(3, 1), 30);
    EXPECT_EQ(source.getMaxY(), 8);
    EXPECT_EQ(source.getMaxX(), 30);
}

TEST(CatchCanEvaluation, RadiiBothAndInvalidReadings) {
    auto& fs = statics().FieldSamples();
    auto e = statics().PivotEvaluations().newEvaluation("test");
    e.pluviometer = statics().Pluviometros().newPluviometro(0.1);
    // One can of 0.1 m: 1 mm = 7.85398163 ml.
    const double ml_per_mm = 7.85398163397448;
    e.firstSample.Push(fs.newFieldSample(20 * ml_per_mm, 300));
    e.firstSample.Push(fs.newFieldSample(10 * ml_per_mm, 100));
    e.firstSample.Push(fs.newFieldSample(5, 0));   // no distance: invalid
    e.firstSample.Push(fs.newFieldSample(-1, 5));  // negative volume: invalid
    const auto r = kambrix::evaluateCatchCans(e);
    ASSERT_TRUE(r.first);
    EXPECT_FALSE(r.second);  // a radius without readings has no result
    ASSERT_TRUE(r.both);
    EXPECT_EQ(r.first->invalid, 2);
    ASSERT_EQ(r.first->depths.Length(), 2);
    EXPECT_EQ(r.first->depths(1).distanceFromCenter, 100);
    EXPECT_NEAR(r.first->depths(1).depth, 10, 1e-9);  // the can's area to 15 digits
    EXPECT_NEAR(*r.first->average, 17.5, 1e-9);
    EXPECT_NEAR(*r.first->lowQuarterAverage, 10, 1e-9);
    EXPECT_NEAR(*r.first->UD, 0.571428571428571, 1e-9);
    EXPECT_NEAR(*r.first->CU, 0.785714285714286, 1e-9);
    EXPECT_TRUE(r.first->problems.empty());

    e.secondSample.Push(fs.newFieldSample(10 * ml_per_mm, 101));
    e.secondSample.Push(fs.newFieldSample(20 * ml_per_mm, 299));
    const auto r2 = kambrix::evaluateCatchCans(e);
    ASSERT_TRUE(r2.second);
    EXPECT_FALSE(r2.second->lowQuarterAverage);  // 101 > 400 / 4
    EXPECT_FALSE(r2.second->UD);
    EXPECT_TRUE(r2.second->CU);
    ASSERT_EQ(r2.second->problems.size(), 1u);
    EXPECT_NE(r2.second->problems[0].find("low-quarter"), std::string::npos);
    ASSERT_TRUE(r2.both);
    EXPECT_EQ(r2.both->depths.Length(), 4);
    EXPECT_EQ(r2.both->invalid, 2);
    EXPECT_TRUE(r2.both->UD);  // 100 + 101 ≤ 800 / 4

    auto onlyBad = statics().PivotEvaluations().newEvaluation("bad");
    onlyBad.firstSample.Push(fs.newFieldSample(3, 0));
    const auto r3 = kambrix::evaluateCatchCans(onlyBad);
    ASSERT_TRUE(r3.first);
    EXPECT_EQ(r3.first->invalid, 1);
    EXPECT_FALSE(r3.first->average);
    EXPECT_FALSE(r3.first->problems.empty());
    // A valid reading in a can without diameter cannot become a depth.
    onlyBad.firstSample.Push(fs.newFieldSample(3, 4));
    EXPECT_EQ(errorOf([&] { kambrix::evaluateCatchCans(onlyBad); }),
              errc::PluviometroIncompleteException);
}

TEST(CatchCanEvaluation, BothRadiiComputedInPlaceGiveWhatTheJoinedListGives) {
    // A long test on two radii (cans every 3 m, the second radius 1.5 m further out so that no
    // two cans tie on distance), with invalid readings in both: "both" is computed from the
    // two lists where they lie, and must be the result of the joined list to the last bit.
    auto& fs = statics().FieldSamples();
    auto e = statics().PivotEvaluations().newEvaluation("long");
    e.pluviometer = statics().Pluviometros().newPluviometro(0.1);
    for (int i = 1; i <= 1500; ++i) {
        const double volume = 60 + (i * 37) % 41 + 0.25 * (i % 4);
        e.firstSample.Push(fs.newFieldSample(i % 97 == 0 ? -1 : volume, 3.0 * i));
        e.secondSample.Push(fs.newFieldSample(volume * 1.1, i % 89 == 0 ? 0 : 3.0 * i + 1.5));
    }
    Array<FieldSample> joined = e.firstSample;
    for (const auto& s : e.secondSample) {
        joined.Push(s);
    }
    const auto r = kambrix::evaluateCatchCans(e);
    const auto expected = kambrix::evaluateReadings(joined, e.pluviometer, "both");
    ASSERT_TRUE(r.both && expected);
    EXPECT_EQ(r.both->invalid, 1500 / 97 + 1500 / 89);
    EXPECT_EQ(r.both->invalid, expected->invalid);
    ASSERT_EQ(r.both->depths.Length(), 3000 - r.both->invalid);
    EXPECT_EQ(r.both->depths.items(), expected->depths.items());
    EXPECT_EQ(r.both->average, expected->average);
    EXPECT_EQ(r.both->lowQuarterAverage, expected->lowQuarterAverage);
    EXPECT_EQ(r.both->UD, expected->UD);
    EXPECT_EQ(r.both->CU, expected->CU);
    for (int i = 2; i <= r.both->depths.Length(); ++i) {
        ASSERT_LT(r.both->depths(i - 1).distanceFromCenter, r.both->depths(i).distanceFromCenter);
    }
    // Each radius alone: its own valid cans in ascending distance.
    ASSERT_TRUE(r.first && r.second);
    EXPECT_EQ(r.first->depths.Length() + r.second->depths.Length(), r.both->depths.Length());
    EXPECT_EQ(r.first->invalid, 1500 / 97);
    EXPECT_EQ(r.second->invalid, 1500 / 89);

    // The serie's depth range is that of its samples, whichever way it takes them.
    WaterDepthSerie copied;
    copied.init(r.both->depths, "copied");
    auto list = r.both->depths;
    WaterDepthSerie moved;
    moved.init(std::move(list), "moved");
    double lowest = r.both->depths(1).depth;
    double deepest = lowest;
    for (const auto& s : r.both->depths) {
        lowest = std::min(lowest, s.depth);
        deepest = std::max(deepest, s.depth);
    }
    EXPECT_EQ(moved.getMinY(), lowest);
    EXPECT_EQ(moved.getMaxY(), deepest);
    EXPECT_EQ(copied.getMinY(), lowest);
    EXPECT_EQ(copied.samples().items(), moved.samples().items());
    EXPECT_EQ(copied.LowQuarterWaterAverage(), *r.both->lowQuarterAverage);
}
