// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <limits>
#include <numbers>

#include "zarede_test_support.h"

namespace zarede {
namespace {

using test::errorNumberOf;
using test::LambdaFunction;
using test::number;

const LambdaFunction kOne([](double) { return 1.0; });
const LambdaFunction kTen([](double) { return 10.0; });

TEST(Integrador, KostiakovIntegralsByHand) {
    const Integrador integrador;
    // 2x from 0 to 3 is 3² = 9 (k x^(a+1)/(a+1) with k = 2, a = 1); trapezoids are exact on a
    // line, so only rounding remains.
    const KostiakovFunction line(0, 3, 2, 1);
    EXPECT_NEAR(integrador.calcula(line, 0, 3, 0.5), 9, 1e-12);
    // 100 x^-0.5 from 1 to 4 is 200 (√4 - √1) = 200. The trapezoid error is about
    // delta²/12 · (f'(4) - f'(1)) = 1e-6/12 · 43.75 ≈ 3.6e-6 for delta = 0.001.
    const KostiakovFunction soil(0.01, 4, 100, -0.5);
    EXPECT_NEAR(integrador.calcula(soil, 1, 4, 0.001), 200, 1e-5);
}

TEST(Integrador, CalculaStrips) {
    const Integrador integrador;
    // Three strips of 0.3 and a last one of 0.1; rounding of the sum only.
    EXPECT_DOUBLE_EQ(integrador.calcula(kOne, 0, 1, 0.3), 1);

    // The strips of x on [0, 1] with delta 0.3: 0.3·(0+0.3)/2 + 0.3·(0.3+0.6)/2 +
    // 0.3·(0.6+0.9)/2 + 0.1·(0.9+1)/2 = 0.5 (trapezoids are exact on a line).
    LambdaFunction identity([](double x) { return x; });
    EXPECT_NEAR(integrador.calcula(identity, 0, 1, 0.3), 0.5, 1e-12);
    EXPECT_EQ(identity.calls, 5);  // f(0), three full strips, f(1)

    // x² on [0, 1] with delta 0.5: two full strips land on X2, the last strip has width 0.
    LambdaFunction square([](double x) { return x * x; });
    EXPECT_EQ(integrador.calcula(square, 0, 1, 0.5), 0.5 * (0 + 0.25) / 2 + 0.5 * (0.25 + 1) / 2);

    // X1 = X2: f(X1) and f(X2) are evaluated and the result is 0.
    LambdaFunction counted([](double x) { return x + 7; });
    EXPECT_EQ(integrador.calcula(counted, 2, 2, 0.1), 0);
    EXPECT_EQ(counted.calls, 2);

    // A step larger than the interval is one partial strip.
    EXPECT_EQ(integrador.calcula(kOne, 0, 0.25, 1), 0.25);
}

TEST(Integrador, CalculaRefusesRangesItCannotWalk) {
    const Integrador integrador;
    const int32_t invalid = number(ErrorNumber::InvalidIntegrationRange);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 1, 0, 0.1); }), invalid);
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 0, 1, 0); }), invalid);
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 0, 1, -0.1); }), invalid);
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 0, inf, 0.1); }), invalid);
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, nan, 1, 0.1); }), invalid);
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 0, 1, nan); }), invalid);
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 0, 1, inf); }), invalid);
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 0, 1e9, 1); }), invalid);  // 1e9 strips
    // More than 1e7 strips are refused before the first evaluation.
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 0, 1.0000001e4, 0.001); }), invalid);
    // 1e5 strips of 1 on top of 1e20: adding 1 no longer moves x.
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(kOne, 1e20, 1e20 + 1e5, 1); }), invalid);
    // The same range through IntegraDuasFuncoes.
    EXPECT_EQ(errorNumberOf([&] { integrador.IntegraDuasFuncoes(kOne, kTen, 1, 0, 0.1); }),
              invalid);

    // A sum that overflows.
    const LambdaFunction huge([](double) { return 1e308; });
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(huge, 0, 10, 1); }),
              number(ErrorNumber::Overflow));
    // Errors of the curve pass unchanged: the ellipse of span 20 integrated up to 21.
    ZaredeFunction ellipse;
    ellipse.init(10, 20);
    EXPECT_EQ(errorNumberOf([&] { integrador.calcula(ellipse, 0, 21, 0.5); }),
              number(ErrorNumber::InvalidArgument));
}

TEST(Integrador, FuncoesCruzamIsStrict) {
    const Integrador integrador;
    EXPECT_FALSE(integrador.funcoesCruzam(kTen, kTen, 3));  // equal values do not cross
    EXPECT_TRUE(integrador.funcoesCruzam(kTen, kOne, 3));   // porCima below porBaixo
    EXPECT_FALSE(integrador.funcoesCruzam(kOne, kTen, 3));
    EXPECT_EQ(integrador.IntegraDuasFuncoes(kOne, kTen, 0, 2, 0.5), 18);
}

// The ellipse of centre (10, 20) over a constant 10: they meet where 4x² - 80x + 100 = 0, at
// x = 10 ∓ √75.
TEST(Integrador, EllipseOverAConstant) {
    const Integrador integrador;
    ZaredeFunction ellipse;
    ellipse.init(10, 20);
    const double left = 10 - std::sqrt(75.0);
    const double right = 10 + std::sqrt(75.0);

    const CrossingPoints points = integrador.Encontra2PontosDeCruzamento(ellipse, kTen, 10, 0, 20);
    // The search stops when the values agree within 1e-6; the ellipse's slope there is
    // 2√75/5 ≈ 3.46, so x is within 1e-6 / 3.46 of the crossing.
    EXPECT_NEAR(ellipse.calculate(points(1)), 10, 1e-6);
    EXPECT_NEAR(ellipse.calculate(points(2)), 10, 1e-6);
    EXPECT_NEAR(points(1), left, 1e-6 / 3.4);
    EXPECT_NEAR(points(2), right, 1e-6 / 3.4);
    EXPECT_NEAR(points(1), 1.34, 0.005);
    EXPECT_NEAR(points(2), 18.66, 0.005);
    EXPECT_EQ(errorNumberOf([&] { (void)points(3); }), number(ErrorNumber::SubscriptOutOfRange));

    // Closed form: ∫ 2√(100 - u²) du over [-√75, √75] minus 10 · 2√75 = 200π/3 - 10√75.
    // The trapezoid error with delta 0.001 is below 1e-6 · 17.3 · 1.6 / 12 ≈ 2.3e-6 (|f''| <=
    // 1.6 between the crossings) and the crossing points add a second-order amount, so 1e-5.
    const double exact = 200 * std::numbers::pi / 3 - 10 * std::sqrt(75.0);
    EXPECT_NEAR(integrador.AreaIntersecao(kTen, ellipse, 10, 0, 20, 0.001), exact, 1e-5);
    // The coarser step of the same curves; the error grows as delta².
    EXPECT_NEAR(integrador.AreaIntersecao(kTen, ellipse, 10, 0, 20, 0.1), exact, 0.03);
}

TEST(Integrador, CurvesThatDoNotCrossAtTheTestPoint) {
    const Integrador integrador;
    ZaredeFunction ellipse;
    ellipse.init(10, 20);
    const LambdaFunction thirty([](double) { return 30.0; });
    // The ellipse never reaches 30: nothing above, nothing searched.
    const CrossingPoints none = integrador.Encontra2PontosDeCruzamento(ellipse, thirty, 10, 0, 20);
    EXPECT_EQ(none(1), 0);
    EXPECT_EQ(none(2), 0);
    EXPECT_EQ(integrador.AreaIntersecao(thirty, ellipse, 10, 0, 20, 0.001), 0);
    // Equal at the test point is not above.
    EXPECT_EQ(integrador.AreaIntersecao(kTen, kTen, 10, 0, 20, 0.001), 0);
}

TEST(Integrador, CrossingSearchThatCannotConvergeRaises) {
    const Integrador integrador;
    const int32_t noCross = number(ErrorNumber::CurvesDoNotCross);
    // porCima lies below porBaixo everywhere: there is no crossing in [1, 5], and the search
    // runs into X1 until mid stops moving.
    EXPECT_EQ(errorNumberOf([&] { integrador.Encontra2PontosDeCruzamento(kTen, kOne, 5, 1, 9); }),
              noCross);
    // The same towards X1 = 0: mid halves towards 0 through the subnormals, so the cap on the
    // halvings ends it.
    EXPECT_EQ(errorNumberOf([&] { integrador.Encontra2PontosDeCruzamento(kTen, kOne, 5, 0, 9); }),
              noCross);
    // A jump from above to below: the curves cross at x = 3 but never within 1e-6 in value.
    const LambdaFunction step([](double x) { return x < 3 ? 11.0 : 9.0; });
    EXPECT_EQ(errorNumberOf([&] { integrador.AreaIntersecao(step, kTen, 5, 0, 9, 0.001); }),
              noCross);
    // The ellipse's right crossing (18.66) lies beyond X2 = 15: on [10, 15] the ellipse stays
    // above 10, so the search closes in on the test point until mid stops moving.
    ZaredeFunction ellipse;
    ellipse.init(10, 20);
    EXPECT_EQ(errorNumberOf([&] { integrador.AreaIntersecao(kTen, ellipse, 10, 0, 15, 0.001); }),
              noCross);
}

}  // namespace
}  // namespace zarede
