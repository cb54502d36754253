// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <limits>

#include "zarede_test_support.h"

namespace zarede {
namespace {

using test::errorNumberOf;
using test::number;

TEST(ZaredeFunction, EllipseOfCentre10And20) {
    ZaredeFunction ellipse;
    ellipse.init(10, 20, "aspersor");
    EXPECT_EQ(ellipse.name(), "aspersor");
    EXPECT_EQ(ellipse.centro_X(), 10);
    EXPECT_EQ(ellipse.centro_Y(), 20);
    EXPECT_EQ(ellipse.getMinX(), 0);
    EXPECT_EQ(ellipse.getMinY(), 0);
    EXPECT_EQ(ellipse.getMaxX(), 20);
    EXPECT_EQ(ellipse.getMaxY(), 20);

    EXPECT_EQ(ellipse.calculate(10), 20);  // the peak: -400*4 + 2*10*400/10 = 400, exact
    EXPECT_EQ(ellipse.calculate(0), 0);
    EXPECT_EQ(ellipse.calculate(20), 0);  // the right end, evaluated at 0
    // (x - 10)²/10² + y²/20² = 1 at x = 4: y = 20·sqrt(1 - 0.36) = 16. Rounding only.
    EXPECT_NEAR(ellipse.calculate(4), 16, 1e-12);
    EXPECT_NEAR(ellipse.calculate(16), 16, 1e-12);
}

TEST(ZaredeFunction, RightEndRuleAppliesWithin1e15Only) {
    // With cx = 2.5e-16 the span ends at 5e-16: a point 0.9e-15 beyond it is read as x = 0,
    // one 2e-15 beyond it is outside the ellipse.
    ZaredeFunction tiny;
    tiny.init(2.5e-16, 1);
    EXPECT_EQ(tiny.calculate(5e-16 + 0.9e-15), 0);
    EXPECT_EQ(errorNumberOf([&] { tiny.calculate(5e-16 + 2e-15); }),
              number(ErrorNumber::InvalidArgument));
    ZaredeFunction unnamed;
    unnamed.init(1, 1);
    EXPECT_EQ(unnamed.name(), "");
}

TEST(ZaredeFunction, NumberedErrors) {
    ZaredeFunction ellipse;
    ellipse.init(10, 20);
    // Outside [0, 2cx] the radicand is negative.
    EXPECT_EQ(errorNumberOf([&] { ellipse.calculate(-0.5); }),
              number(ErrorNumber::InvalidArgument));
    EXPECT_EQ(errorNumberOf([&] { ellipse.calculate(20.5); }),
              number(ErrorNumber::InvalidArgument));
    EXPECT_EQ(errorNumberOf([&] { ellipse.calculate(std::nan("")); }),
              number(ErrorNumber::InvalidArgument));

    ZaredeFunction flat;
    flat.init(0, 20);
    EXPECT_EQ(errorNumberOf([&] { flat.calculate(1); }), number(ErrorNumber::DivisionByZero));

    ZaredeFunction huge;
    huge.init(1, 1e200);  // cy² overflows
    EXPECT_EQ(errorNumberOf([&] { huge.calculate(1); }), number(ErrorNumber::Overflow));
}

TEST(KostiakovFunction, InfiltrationCurveLimits) {
    const KostiakovFunction soil(0.01, 4, 100, -0.5, "suelo");
    EXPECT_EQ(soil.name(), "suelo");
    EXPECT_EQ(soil.getMinX(), 0.01);
    EXPECT_EQ(soil.getMaxX(), 4);
    // 100 · 0.01^-0.5 = 1000 and 100 · 4^-0.5 = 50; pow may be off by an ulp.
    EXPECT_NEAR(soil.getMaxY(), 1000, 1e-9);
    EXPECT_NEAR(soil.getMinY(), 50, 1e-12);
    EXPECT_NEAR(soil.calculate(1), 100, 1e-12);
    EXPECT_NEAR(soil.calculate(0.25), 200, 1e-12);

    const KostiakovFunction unnamed(0.01, 4, 100, -0.5);
    EXPECT_EQ(unnamed.name(), "");
}

TEST(KostiakovFunction, NumberedErrors) {
    const KostiakovFunction soil(0.01, 4, 100, -0.5);
    EXPECT_EQ(errorNumberOf([&] { soil.calculate(0); }), number(ErrorNumber::DivisionByZero));
    EXPECT_EQ(errorNumberOf([&] { soil.calculate(-1); }), number(ErrorNumber::InvalidArgument));
    const KostiakovFunction steep(0.01, 4, 100, -2);
    EXPECT_EQ(errorNumberOf([&] { steep.calculate(1e-200); }), number(ErrorNumber::Overflow));
    // A positive exponent is defined at 0.
    const KostiakovFunction rising(0, 4, 3, 2);
    EXPECT_EQ(rising.calculate(0), 0);
    EXPECT_EQ(rising.calculate(2), 12);
}

TEST(Interfaces, DefaultObjectsReturnZeroAndEmptyName) {
    const IFunction function;
    EXPECT_EQ(function.name(), "");
    EXPECT_EQ(function.calculate(3), 0);
    EXPECT_EQ(function.getMaxX() + function.getMaxY() + function.getMinX() + function.getMinY(), 0);
    Serie serie;
    serie.prepare();
    EXPECT_EQ(serie.name(), "");
    EXPECT_EQ(serie.numberOfPoints(), 0);
    EXPECT_EQ(serie.getValueForX(1), 0);
    EXPECT_EQ(serie.getValueForY(1), 0);
    EXPECT_EQ(serie.getMaxX() + serie.getMaxY() + serie.getMinX() + serie.getMinY(), 0);
}

TEST(Errors, NumbersAndMessagesOfTheTable) {
    EXPECT_EQ(number(ErrorNumber::InvalidArgument), 5);
    EXPECT_EQ(number(ErrorNumber::Overflow), 6);
    EXPECT_EQ(number(ErrorNumber::SubscriptOutOfRange), 9);
    EXPECT_EQ(number(ErrorNumber::DivisionByZero), 11);
    EXPECT_EQ(static_cast<uint32_t>(number(ErrorNumber::InvalidIntegrationRange)),
              0x80040000u + 1300u);
    EXPECT_EQ(static_cast<uint32_t>(number(ErrorNumber::CurvesDoNotCross)), 0x80040000u + 1301u);
    for (ErrorNumber n : {ErrorNumber::InvalidArgument, ErrorNumber::Overflow,
                          ErrorNumber::SubscriptOutOfRange, ErrorNumber::DivisionByZero,
                          ErrorNumber::InvalidIntegrationRange, ErrorNumber::CurvesDoNotCross}) {
        EXPECT_FALSE(errorMessage(n).empty()) << number(n);
    }
    EXPECT_TRUE(errorMessage(static_cast<ErrorNumber>(12345)).empty());

    ZaredeFunction flat;
    flat.init(0, 1);
    try {
        flat.calculate(1);
        FAIL() << "no error raised";
    } catch (const std::runtime_error& error) {
        // The message starts with the one of the table, whatever the detail.
        const std::string what = error.what();
        EXPECT_EQ(what.rfind(std::string(errorMessage(ErrorNumber::DivisionByZero)), 0), 0u)
            << what;
        const auto* numbered = dynamic_cast<const Error*>(&error);
        ASSERT_NE(numbered, nullptr);
        EXPECT_EQ(numbered->code(), ErrorNumber::DivisionByZero);
    }
}

}  // namespace
}  // namespace zarede
