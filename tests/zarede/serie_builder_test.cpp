// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "zarede_test_support.h"

namespace zarede {
namespace {

using test::errorNumberOf;
using test::number;

TEST(SerieBuilder, TwentyOnePointsOverAnEllipseOfSpan20) {
    auto ellipse = std::make_shared<ZaredeFunction>();
    ellipse->init(10, 20, "aspersor");
    SerieBuilder serie;
    serie.init(ellipse, 21);
    serie.prepare();
    EXPECT_EQ(serie.numberOfPoints(), 21);
    for (int16_t i = 1; i <= 21; ++i) {
        EXPECT_EQ(serie.getValueForX(i), i - 1) << "point " << i;  // step 1, exact
        EXPECT_EQ(serie.getValueForY(i), ellipse->calculate(i - 1)) << "point " << i;
    }
    EXPECT_EQ(serie.getValueForY(11), 20);
    EXPECT_EQ(serie.getValueForY(21), 0);
    // Limits and name come from the function.
    EXPECT_EQ(serie.name(), "aspersor");
    EXPECT_EQ(serie.getMaxX(), 20);
    EXPECT_EQ(serie.getMaxY(), 20);
    EXPECT_EQ(serie.getMinX(), 0);
    EXPECT_EQ(serie.getMinY(), 0);
}

TEST(SerieBuilder, StartsAtTheFunctionsMinX) {
    auto soil = std::make_shared<KostiakovFunction>(1, 3, 100, -0.5);
    SerieBuilder serie;
    serie.init(soil, 5);
    serie.prepare();
    EXPECT_EQ(serie.getValueForX(1), 1);
    EXPECT_EQ(serie.getValueForX(3), 2);
    EXPECT_EQ(serie.getValueForX(5), 3);
    EXPECT_NEAR(serie.getValueForY(1), 100, 1e-12);  // 100 · 1^-0.5, rounding only
    EXPECT_EQ(serie.numberOfPoints(), 5);
}

TEST(SerieBuilder, NumberedErrors) {
    auto ellipse = std::make_shared<ZaredeFunction>();
    ellipse->init(10, 20);
    SerieBuilder one;
    one.init(ellipse, 1);
    EXPECT_EQ(errorNumberOf([&] { one.prepare(); }), number(ErrorNumber::DivisionByZero));

    SerieBuilder serie;
    EXPECT_EQ(errorNumberOf([&] { serie.init(ellipse, 32767); }), 0);
    EXPECT_EQ(errorNumberOf([&] { serie.init(ellipse, 32768); }), number(ErrorNumber::Overflow));
    EXPECT_EQ(errorNumberOf([&] { serie.init(ellipse, -32769); }), number(ErrorNumber::Overflow));
    EXPECT_EQ(errorNumberOf([&] { serie.init(nullptr, 10); }),
              number(ErrorNumber::InvalidArgument));
    EXPECT_EQ(serie.numberOfPoints(), 32767);  // a refused init leaves the series as it was

    // Errors of the function pass unchanged: 3 points over a function that fails at x = 0.
    SerieBuilder failing;
    failing.init(std::make_shared<KostiakovFunction>(0, 4, 100, -0.5), 3);
    failing.prepare();
    EXPECT_EQ(errorNumberOf([&] { failing.getValueForY(1); }), number(ErrorNumber::DivisionByZero));
    EXPECT_NEAR(failing.getValueForY(3), 50, 1e-12);
}

}  // namespace
}  // namespace zarede
