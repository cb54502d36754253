// SPDX-License-Identifier: GPL-3.0-or-later
//
// The unit systems: the defining constants, values typed in a unit coming back as typed,
// the nozzle coefficient of q = a·pᵇ in both units, and the units a column heading names.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/unit_system.h"

namespace kambrix {
namespace {

constexpr Quantity kAll[] = {
    Quantity::Length,     Quantity::PipeDiameter, Quantity::OutletSpacing,
    Quantity::Discharge,  Quantity::Pressure,     Quantity::Depth,
    Quantity::Rate,       Quantity::Area,         Quantity::DischargePerArea,
    Quantity::DailyDepth, Quantity::CanVolume,    Quantity::CanDiameter};

TEST(UnitSystem, OneOfEachUnitIsItsDefinition) {
    const auto us = UnitSystem::US;
    EXPECT_EQ(toShown(Quantity::Pressure, us, 6.894757293168), 1.0);
    EXPECT_EQ(toShown(Quantity::Discharge, us, 3.785411784 / 60), 1.0);
    EXPECT_EQ(toShown(Quantity::Area, us, 0.40468564224), 1.0);
    EXPECT_EQ(toShown(Quantity::Length, us, 0.3048), 1.0);
    EXPECT_EQ(toShown(Quantity::PipeDiameter, us, 25.4), 1.0);
    EXPECT_EQ(toShown(Quantity::OutletSpacing, us, 2.54), 1.0);
    EXPECT_EQ(toShown(Quantity::Depth, us, 25.4), 1.0);
    EXPECT_EQ(toShown(Quantity::CanDiameter, us, 2.54), 1.0);
    EXPECT_EQ(toShown(Quantity::CanVolume, us, 250), 250.0);  // cans are read in ml
    // Typed in a unit, stored as the exact product by the definition.
    EXPECT_EQ(toStored(Quantity::Pressure, us, 1), 6.894757293168);
    EXPECT_EQ(toStored(Quantity::Length, us, 1), 0.3048);
    EXPECT_EQ(toStored(Quantity::Pressure, UnitSystem::MetricBar, 3), 300.0);
    EXPECT_EQ(toStored(Quantity::Discharge, UnitSystem::MetricBar, 36), 10.0);
    // 1 gpm per acre in L/s per ha.
    EXPECT_NEAR(toStored(Quantity::DischargePerArea, us, 1), 0.0630901964 / 0.40468564224, 1e-15);

    const auto bar = UnitSystem::MetricBar;
    EXPECT_EQ(toShown(Quantity::Pressure, bar, 300), 3.0);
    EXPECT_EQ(toShown(Quantity::Discharge, bar, 10), 36.0);
    EXPECT_EQ(toShown(Quantity::Length, bar, 123.456), 123.456);
    for (Quantity q : kAll) {
        EXPECT_EQ(toShown(q, UnitSystem::SI, 0.1 + 0.2), 0.1 + 0.2);  // SI is the stored form
        EXPECT_TRUE(std::isnan(toShown(q, us, std::nan(""))));
    }
}

TEST(UnitSystem, AValueTypedInAUnitComesBackAsTyped) {
    const double typed[] = {0.001, 0.1,   0.3,    1,       2.5,       12.34, 50,
                            99.9,  290.1, 1234.5, 98765.4, 0.0000123, 1e6,   7.77777777777};
    for (UnitSystem s : unitSystems()) {
        for (Quantity q : kAll) {
            for (double v : typed) {
                EXPECT_EQ(toShown(q, s, toStored(q, s, v)), v)
                    << unitSystemKey(s) << " " << unitOf(q, s).symbol << " " << v;
                EXPECT_EQ(toShown(q, s, toStored(q, s, -v)), -v);
            }
        }
    }
}

TEST(UnitSystem, TextsRangesAndKeys) {
    EXPECT_EQ(shownWithUnit(Quantity::Pressure, UnitSystem::US, 344.7378646584, '.'), "50.0 psi");
    EXPECT_EQ(shownWithUnit(Quantity::Pressure, UnitSystem::MetricBar, 300, ','), "3,00 bar");
    EXPECT_EQ(shownWithUnit(Quantity::Discharge, UnitSystem::MetricBar, 10, '.'), "36.0 m\u00b3/h");
    EXPECT_EQ(shownNumber(Quantity::Depth, UnitSystem::US, 25.4, '.'), "1.00");

    const NumberRange kPa{0, 2000, true, false, false};
    const NumberRange psi = shownRange(Quantity::Pressure, UnitSystem::US, kPa);
    EXPECT_EQ(psi.min, 0.0);
    EXPECT_NEAR(psi.max, 290.075475, 1e-6);
    EXPECT_TRUE(psi.minExclusive);
    const NumberRange whole{1, 11, false, true, false};
    EXPECT_FALSE(shownRange(Quantity::Length, UnitSystem::US, whole).integer);
    EXPECT_TRUE(shownRange(Quantity::Length, UnitSystem::MetricBar, whole).integer);

    for (UnitSystem s : unitSystems()) {
        EXPECT_EQ(parseUnitSystem(unitSystemKey(s)), s);
    }
    EXPECT_EQ(parseUnitSystem("US"), UnitSystem::US);
    EXPECT_FALSE(parseUnitSystem("imperial"));
    EXPECT_FALSE(parseUnitSystem(""));
    EXPECT_EQ(unitSystemName(UnitSystem::SI), "SI (as stored)");
}

// q = a·pᵇ gives the same water whichever units a and p are read in.
TEST(UnitSystem, NozzleCoefficientConvertsWithBothUnits) {
    const double aSI = 0.0213, b = 0.52;
    for (UnitSystem s : unitSystems()) {
        const double aShown = nozzleCoefficientToShown(s, aSI, b);
        for (double p_kPa : {70.0, 138.0, 350.0}) {
            const double qShown = aShown * std::pow(toShown(Quantity::Pressure, s, p_kPa), b);
            EXPECT_NEAR(qShown, toShown(Quantity::Discharge, s, aSI * std::pow(p_kPa, b)),
                        1e-11 * qShown)  // shown values carry 12 digits
                << unitSystemKey(s);
        }
        EXPECT_NEAR(nozzleCoefficientToStored(s, aShown, b), aSI, 1e-15);
    }
}

TEST(UnitSystem, HeadingsNameTheirUnits) {
    EXPECT_EQ(headingSystem("pressure_psi", Quantity::Pressure), UnitSystem::US);
    EXPECT_EQ(headingSystem("Q (gpm)", Quantity::Discharge), UnitSystem::US);
    EXPECT_EQ(headingSystem("distance_ft", Quantity::Length), UnitSystem::US);
    EXPECT_EQ(headingSystem("Depth (in)", Quantity::Depth), UnitSystem::US);
    EXPECT_EQ(headingSystem("distance_m", Quantity::Length), UnitSystem::SI);
    EXPECT_EQ(headingSystem("P [kPa]", Quantity::Pressure), UnitSystem::SI);
    EXPECT_EQ(headingSystem("pressure bar", Quantity::Pressure), UnitSystem::MetricBar);
    EXPECT_EQ(headingSystem("flow (m3/h)", Quantity::Discharge), UnitSystem::MetricBar);
    EXPECT_EQ(headingSystem("flow (m\u00b3/h)", Quantity::Discharge), UnitSystem::MetricBar);
    EXPECT_EQ(headingSystem("Q L/s", Quantity::Discharge), UnitSystem::SI);
    EXPECT_FALSE(headingSystem("pressure", Quantity::Pressure));
    EXPECT_FALSE(headingSystem("pressure_in", Quantity::Pressure));  // not a pressure unit
    EXPECT_FALSE(headingSystem("", Quantity::Length));
}

}  // namespace
}  // namespace kambrix
