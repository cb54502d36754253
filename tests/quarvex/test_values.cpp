// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include "quarvex_test_support.h"

#include <cmath>

using namespace quarvex;

TEST(Errors, NumbersAreTheApplicationBasePlusTheirCode) {
    EXPECT_EQ(kErrorBase, -2147221504);
    EXPECT_EQ(errc::MissingAsperorDataException, -2147221004);
    EXPECT_EQ(errc::DropIncompleteException, -2147220604);
    EXPECT_EQ(errc::NomeDaCartaJaExistente, static_cast<std::int32_t>(0x800403E8u));
    EXPECT_EQ(errc::PluviometroIncompleteException, -2147220503);
    EXPECT_EQ(errc::NotEnoughSamplesToComputeLowQuarter, -2147220403);

    try {
        Exceptions::Throw(kErrorBase + 1000);
        FAIL() << "Throw returned";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::NomeDaCartaJaExistente);
        EXPECT_EQ(std::string(e.what()), errorMessage(errc::NomeDaCartaJaExistente));
    }
    // A number outside the table still travels with its number.
    EXPECT_EQ(errorOf([] { Exceptions::Throw(kErrorBase + 4242); }), kErrorBase + 4242);
    EXPECT_EQ(errorMessage(kErrorBase + 4242), "Error " + std::to_string(kErrorBase + 4242));
    // The detail is kept after the default message.
    try {
        Exceptions::Throw(errc::DatabaseStatementFailed, "no such table: x");
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("no such table: x"), std::string::npos);
    }
}

TEST(Doubles, SpecialValuesAndNaNPropagation) {
    Doubles d;
    EXPECT_TRUE(d.isNaN(d.NaN()));
    EXPECT_TRUE(d.isPositiveInfinity(d.PositiveInfinity()));
    EXPECT_TRUE(d.isNegativeInfinity(d.NegativeInfinity()));
    EXPECT_FALSE(d.isPositiveInfinity(d.MaxValue()));
    EXPECT_LT(d.MaxValue(), std::numeric_limits<double>::max());
    EXPECT_EQ(d.MinValue(), -d.MaxValue());
    EXPECT_TRUE(d.isNaN(d.Max(d.NaN(), 1)));
    EXPECT_TRUE(d.isNaN(d.Min(1, d.NaN())));
    EXPECT_EQ(d.Max(3, 2), 3);
    EXPECT_EQ(d.Min(3, 2), 2);
    // Equal values: the second argument is returned (visible with signed zeros).
    EXPECT_TRUE(std::signbit(d.Max(0.0, -0.0)));
    EXPECT_FALSE(std::signbit(d.Min(-0.0, 0.0)));
}

TEST(CoordenadasSaidas, TextFormRoundTripAndRefusals) {
    CoordenadasSaidas c;
    const auto at = c.newTramoCoordenadas(12, 3);
    EXPECT_EQ(c.ToString(at), "12-3");
    EXPECT_EQ(c.Parse("12-3"), at);
    EXPECT_EQ(c.ToString(c.newEndGunCoordenadas()), "-1--1");
    EXPECT_TRUE(c.isAtEndGun(c.newEndGunCoordenadas()));
    EXPECT_FALSE(c.isAtEndGun(c.newTramoCoordenadas(-1, 2)));
    EXPECT_TRUE(c.isValid(at));
    EXPECT_FALSE(c.isValid(c.newTramoCoordenadas(0, 3)));
    EXPECT_FALSE(c.isValid(c.newTramoCoordenadas(2, 0)));
    // The end gun's own text splits into an empty first piece: it does not parse.
    EXPECT_EQ(errorOf([&] { c.Parse("-1--1"); }), errc::TypeMismatch);
    EXPECT_EQ(errorOf([&] { c.Parse("a-3"); }), errc::TypeMismatch);
    EXPECT_EQ(errorOf([&] { c.Parse("40000-3"); }), errc::Overflow);
}

TEST(Placements, SlopeAngleSlopeAndTheirCaches) {
    Types t;
    Placement rising = t.newPlacement(100, 103, 50);
    EXPECT_TRUE(t.isValid(rising));
    const double expectedAngle = std::asin(3.0 / 50.0);
    EXPECT_NEAR(t.SlopeAngle(rising), expectedAngle, 1e-15);  // arctan form of the arcsine
    EXPECT_DOUBLE_EQ(rising.p_angle, t.SlopeAngle(rising));
    EXPECT_NEAR(t.Slope(rising), std::tan(expectedAngle), 1e-15);
    // The cache is trusted: a changed elevation without reset keeps the old slope.
    rising.end_cota = 110;
    EXPECT_NEAR(t.Slope(rising), std::tan(expectedAngle), 1e-15);
    rising.p_angle = rising.p_slope = 0;
    EXPECT_NEAR(t.SlopeAngle(rising), std::asin(10.0 / 50.0), 1e-15);

    Placement flat = t.newPlacement(5, 5, 20);
    EXPECT_EQ(t.SlopeAngle(flat), 0.0);
    EXPECT_EQ(t.Slope(flat), 0.0);

    Placement vertical = t.newPlacement(0, 50, 50);  // |d| equal to the length
    EXPECT_FALSE(t.isValid(vertical));
    EXPECT_TRUE(std::isnan(t.SlopeAngle(vertical)));
    EXPECT_TRUE(std::isnan(t.Slope(vertical)));

    const Placement v = t.newVirtualPlacement(10, 0.1, 50);
    EXPECT_DOUBLE_EQ(v.end_cota, 10 + 50 * std::sin(0.1));
    EXPECT_TRUE(std::isnan(t.newVirtualPlacement(10, std::nan(""), 50).end_cota));

    EXPECT_FALSE(t.isComplete(t.newGun(0)));
    EXPECT_TRUE(t.isComplete(t.newGun(20)));
}

TEST(Types, WaterDepthSamplesOfAnOutlet) {
    Types t;
    saida s;
    s.distanciaAoPivot = 100;
    s.caudal = 0.15625;
    s.caudal_do_aspersor = 0.2;
    // 0.15625 L/s × 3600 s/h × 20 h / (2π × 100 m × 2.5 m), in mm.
    const auto ideal = t.IdealWaterDepthSample(s, 2.5, 20);
    EXPECT_NEAR(ideal.depth, 0.15625 * 3600 * 20 / (6.28318530717958 * 100 * 2.5), 1e-12);
    EXPECT_EQ(ideal.distanceFromCenter, 100);
    EXPECT_FALSE(ideal.p_null);
    const auto actual = t.ActualWaterDepthSample(s, 2.5, 20);
    EXPECT_NEAR(actual.depth / ideal.depth, 0.2 / 0.15625, 1e-12);

    saida atPivot;
    EXPECT_EQ(errorOf([&] { t.IdealWaterDepthSample(atPivot, 2.5, 20); }), errc::DivisionByZero);
    EXPECT_EQ(errorOf([&] { t.ActualWaterDepthSample(s, 0, 20); }), errc::DivisionByZero);
}
