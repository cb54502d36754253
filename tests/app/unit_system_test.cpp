// SPDX-License-Identifier: GPL-3.0-or-later
//
// The unit systems: the defining constants, values typed in a unit coming back as typed,
// the nozzle coefficient of q = a·pᵇ in both units, and the units a column heading names.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/unit_captions.h"
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
    // 2000 kPa is 290.0755 psi: stated inwards at five digits, inside the stored range.
    EXPECT_DOUBLE_EQ(psi.max, 290.07);
    EXPECT_LE(toStored(Quantity::Pressure, UnitSystem::US, psi.max), 2000.0);
    EXPECT_TRUE(psi.minExclusive);
    EXPECT_EQ(checkNumberText("300", '.', psi, "the pressure"),
              "The value for the pressure must be greater than 0 and up to 290.07 psi");
    EXPECT_EQ(checkNumberText("290", '.', psi, "the pressure"), std::nullopt);
    const NumberRange low = shownRange(Quantity::Discharge, UnitSystem::US, {0.012, 5});
    EXPECT_GE(toStored(Quantity::Discharge, UnitSystem::US, low.min), 0.012);
    EXPECT_EQ(shownRange(Quantity::Pressure, UnitSystem::SI, kPa).max, 2000.0);
    EXPECT_EQ(shownRange(Quantity::Pressure, UnitSystem::SI, kPa).unit, "kPa");
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

TEST(UnitCaptions, CaptionsNameTheUnitsOfTheSystem) {
    EXPECT_EQ(captionInUnits("Design discharge (L/s)", UnitSystem::US).text,
              "Design discharge (gpm)");
    EXPECT_EQ(captionInUnits("qj (L s-1)", UnitSystem::MetricBar).text, "qj (m\u00b3/h)");
    EXPECT_EQ(captionInUnits("Last tower speed (m/min)", UnitSystem::US).text,
              "Last tower speed (ft/min)");
    EXPECT_EQ(captionInUnits("Regulator (kPa; none for no regulators)", UnitSystem::US).text,
              "Regulator (psi; none for no regulators)");
    // "mm" is a diameter or a depth, "cm" a can's diameter or an outlet spacing.
    EXPECT_EQ(captionInUnits("Diameter (mm)", UnitSystem::US).quantity, Quantity::PipeDiameter);
    EXPECT_EQ(captionInUnits("Gross depth (mm)", UnitSystem::US).quantity, Quantity::Depth);
    EXPECT_EQ(captionInUnits("Can diameter (cm)", UnitSystem::US).quantity, Quantity::CanDiameter);
    // Words in parentheses, percentages and unknown units stay as they are.
    for (const char* plain : {"UD (%)", "Speed (order of the table)", "Wind (m/s)", "Span"}) {
        const ShownCaption c = captionInUnits(plain, UnitSystem::US);
        EXPECT_EQ(c.text, plain);
        EXPECT_FALSE(c.quantity);
    }
    EXPECT_EQ(captionInUnits("Pressure (kPa)", UnitSystem::SI).text, "Pressure (kPa)");
}

TEST(UnitCaptions, GridsConvertTheColumnsWhoseCaptionNamesAUnit) {
    TableData t;
    t.columns = {"name", "p", "q", "a", "b", "share"};
    TableRow row;
    row.cells = {TableCell::ofText("4 mm"),   TableCell::ofNumber(344.7378646584, 1),
                 TableCell::ofNumber(0.5, 3), TableCell::ofNumber(0.016883, 6),
                 TableCell::ofNumber(0.5, 2), TableCell::ofNumber(55, 0)};
    t.rows.push_back(row);
    const std::vector<std::string> captions = {"Nozzle", "p (kPa)", "q (L/s)", "a", "b", "UD (%)"};

    const ShownTable si = tableInUnits(t, captions, UnitSystem::SI);
    EXPECT_EQ(si.captions, captions);
    EXPECT_EQ(si.table.rows[0].cells[1].displayText('.'), "344.7");

    const ShownTable us = tableInUnits(t, captions, UnitSystem::US);
    EXPECT_EQ(us.captions[1], "p (psi)");
    EXPECT_EQ(us.captions[2], "q (gpm)");
    EXPECT_EQ(us.table.rows[0].cells[1].displayText(','), "50,0");
    // 0.500 L/s = 7.925 gpm: a value shown finer in the stored unit keeps its precision.
    EXPECT_EQ(us.table.rows[0].cells[2].displayText('.'), "7.93");
    EXPECT_EQ(us.table.rows[0].cells[0].displayText('.'), "4 mm");
    EXPECT_EQ(us.table.rows[0].cells[5].displayText('.'), "55");
    // The coefficient gives the same discharge in the shown units: q(50 psi) in gpm.
    const double aUs = *us.table.rows[0].cells[3].number;
    EXPECT_NEAR(aUs * std::pow(50.0, 0.5),
                toShown(Quantity::Discharge, UnitSystem::US, 0.016883 * std::sqrt(344.7378646584)),
                1e-9);
    EXPECT_GE(us.table.rows[0].cells[3].decimals, 4);  // as many significant digits as stored

    // A cell typed in the shown unit goes back to the stored value.
    EXPECT_EQ(storedNumberText("10", Quantity::Length, UnitSystem::US, '.'), "3.048");
    EXPECT_EQ(storedNumberText("1,5", Quantity::Pressure, UnitSystem::MetricBar, ','), "150");
    EXPECT_EQ(storedNumberText("abc", Quantity::Length, UnitSystem::US, '.'), "abc");
    EXPECT_EQ(storedNumberText("12,5", Quantity::Length, UnitSystem::SI, ','), "12,5");
}

// The catalogue's coefficient a names its units in words ("q in L/s, p in kPa"), as does its
// grid column "a (L/s, kPa)"; the numbers of the column are the a of the shown units, and a
// name that happens to hold a unit ("4 mm") stays a name.
TEST(UnitCaptions, TheCoefficientCaptionsNameTheShownUnits) {
    EXPECT_EQ(unitSymbolsInUnits("Coefficient a (q in L/s, p in kPa)", UnitSystem::US),
              "Coefficient a (q in gpm, p in psi)");
    EXPECT_EQ(unitSymbolsInUnits("Coefficient a (q in L/s, p in kPa)", UnitSystem::MetricBar),
              "Coefficient a (q in m³/h, p in bar)");
    EXPECT_EQ(unitSymbolsInUnits("Coefficient a (q in L/s, p in kPa)", UnitSystem::SI),
              "Coefficient a (q in L/s, p in kPa)");
    // Only whole words: "mm" in "mmHg" or "m" in "max" is no unit.
    EXPECT_EQ(unitSymbolsInUnits("max (mmHg) m", UnitSystem::US), "max (mmHg) ft");

    TableData t;
    t.columns = {"nozzle", "a", "b"};
    TableRow row;
    row.cells = {TableCell::ofText("4 mm"), TableCell::ofNumber(0.016883, 6),
                 TableCell::ofNumber(0.5, 3)};
    t.rows.push_back(row);
    const ShownTable us = tableInUnits(t, {"Nozzle", "a (L/s, kPa)", "b"}, UnitSystem::US);
    EXPECT_EQ(us.captions[1], "a (gpm, psi)");
    EXPECT_EQ(us.table.rows[0].cells[0].text, "4 mm");
    EXPECT_NEAR(*us.table.rows[0].cells[1].number,
                nozzleCoefficientToShown(UnitSystem::US, 0.016883, 0.5), 1e-15);
}

// A range converted by a rule of its own (the coefficient's) is stated inwards too.
TEST(UnitSystem, ARangeOfAConvertedCoefficientIsRoundedInwards) {
    const NumberRange stored{0, 100, true, false, false};
    const double top = nozzleCoefficientToShown(UnitSystem::US, 100, 0.5);
    const NumberRange shown = shownRange(stored, 0, top, "");
    EXPECT_EQ(shown.min, 0.0);
    EXPECT_LE(shown.max, top);
    EXPECT_GT(shown.max, top * (1 - 1e-4));
    EXPECT_TRUE(shown.minExclusive);
    EXPECT_TRUE(shown.unit.empty());
    EXPECT_LE(nozzleCoefficientToStored(UnitSystem::US, shown.max, 0.5), 100.0);
}

TEST(UnitCaptions, ReportsReadInTheSystemThroughout) {
    report::Document d;
    report::Section s;
    s.title = "Machine";
    s.blocks.push_back(report::KeyValues{{{"Units", "SI units: m, mm, L/s, kPa, h; areas in ha"},
                                          {"Design discharge", "50,00 L/s"},
                                          {"Pipe length (m)", "304,80"},
                                          {"Balance", "0,50 L/s at 344,7378646584 kPa"},
                                          {"Wind", "3,5 m/s"},
                                          {"Spans", "7 (5 months)"}}});
    report::Table t;
    t.headings = {"Span", "Flow range (L/s)", "Note"};
    t.rows = {{"1", "0,10\u20130,50", "inlet 35 kPa above"}};
    s.blocks.push_back(t);
    report::Figure f;
    f.plot = report::FigurePlot{};
    f.plot->xTitle = "Distance (m)";
    f.plot->yTitle = "Pressure (kPa)";
    f.plot->lines.push_back({"p", {{30.48, 100}}});
    f.plot->marks = {3.048};
    s.blocks.push_back(f);
    d.sections.push_back(s);

    const report::Document us = reportInUnits(d, UnitSystem::US, ',');
    const auto& kv = std::get<report::KeyValues>(us.sections[0].blocks[0]).pairs;
    EXPECT_EQ(kv[0].second, "US customary: ft, in, gpm, psi, h; areas in acre");
    EXPECT_EQ(kv[1].second, "792,5 gpm");
    EXPECT_EQ(kv[2].first, "Pipe length (ft)");
    EXPECT_EQ(kv[2].second, "1000,0");
    EXPECT_EQ(kv[3].second, "7,9 gpm at 50,0 psi");
    EXPECT_EQ(kv[4].second, "3,5 m/s");
    EXPECT_EQ(kv[5].second, "7 (5 months)");
    const auto& table = std::get<report::Table>(us.sections[0].blocks[1]);
    EXPECT_EQ(table.headings[1], "Flow range (gpm)");
    EXPECT_EQ(table.rows[0][0], "1");
    EXPECT_EQ(table.rows[0][1], "1,6\u20137,9");
    EXPECT_EQ(table.rows[0][2], "inlet 5,1 psi above");
    const auto& plot = *std::get<report::Figure>(us.sections[0].blocks[2]).plot;
    EXPECT_EQ(plot.xTitle, "Distance (ft)");
    EXPECT_NEAR(plot.lines[0].points[0].x, 100, 1e-9);
    EXPECT_NEAR(plot.lines[0].points[0].y, 14.503773773, 1e-8);
    EXPECT_NEAR(plot.marks[0], 10, 1e-9);

    // In SI the report is the one given.
    EXPECT_EQ(reportInUnits(d, UnitSystem::SI, ',').plainText(), d.plainText());
}

}  // namespace
}  // namespace kambrix
