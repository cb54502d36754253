// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/ideal_results.h"

#include <gtest/gtest.h>

#include "shell/services.h"

using namespace kambrix;

namespace {

// One 100 m span (outlets every 2.5 m) with an end gun of 15 m; Q = 50 L/s.
Projecto project(double pressure, double endElevation) {
    Projecto p;
    p.q = 50;
    p.p = pressure;
    p.cotaCentral = 10;
    p.pipe_material = {1, "steel", 120};
    p.Tramos.Push(quarvex::statics().Tramos().newTramo(1, "S", 100, 150, 250, endElevation));
    p.hasGun = true;
    p.endGun.rs = 15;
    return p;
}

}  // namespace

TEST(IdealResults, TablesOfTheTabs) {
    const quarvex::pivot m = computeIdeal(buildPivot(project(300, 10)));
    const TableData outlets = idealOutletsTable(m);
    ASSERT_EQ(outlets.rows.size(), 41u);  // 40 outlets and the gun
    EXPECT_EQ(outlets.columnTexts("span", '.').back(), "Gun");
    EXPECT_EQ(outlets.columnTexts("outlet", '.').back(), "");
    EXPECT_EQ(outlets.columnTexts("distance", ',')[0], "2,50");
    // q = 2 r s Q / R² with R = 115 m: 2 × 2.5 × 2.5 × 50 / 13225 = 0.0473 L/s at outlet 1.
    EXPECT_EQ(outlets.columnTexts("discharge", '.')[0], "0.0473");
    EXPECT_EQ(outlets.rows[0].flag, CellFlag::None);
    EXPECT_FALSE(firstNegativePressure(m).has_value());

    const TableData spans = idealSpansTable(m);
    ASSERT_EQ(spans.rows.size(), 1u);
    EXPECT_EQ(spans.columnTexts("inletPressure", '.')[0], "300.0");
    EXPECT_EQ(spans.columnTexts("model", '.')[0], "S");

    quarvex::pivot speed = m;
    const TableData box = speedBoxTable(speedBox(speed, 20));
    ASSERT_EQ(box.rows.size(), 10u);
    EXPECT_EQ(box.columnTexts("hours", '.')[0], "200.00");  // 10 % of full speed
    EXPECT_TRUE(speedBoxTable(speedBox(speed, 0)).rows.empty());

    const ProfileLines profile = idealProfile(m);
    EXPECT_EQ(profile.pressure.points.size(), 41u);  // the pivot point and 40 outlets
    EXPECT_EQ(profile.pressure.points.front(), (XYPoint{0, 300}));
    EXPECT_EQ(profile.towers, (std::vector<double>{100}));
    EXPECT_TRUE(profile.belowZero.empty());
    EXPECT_EQ(spanLabel(2, 1), "Over hang");
    EXPECT_EQ(spanLabel(1, 1), "1");
}

TEST(IdealResults, PressureBelowZeroIsMarkedAndNamed) {
    // 30 kPa at the pivot against a rise of 8 m (80 kPa of head) over the span.
    const quarvex::pivot m = computeIdeal(buildPivot(project(30, 18)));
    const auto first = firstNegativePressure(m);
    ASSERT_TRUE(first.has_value());
    EXPECT_LT(first->pressao, 0);
    const TableData outlets = idealOutletsTable(m);
    int marked = 0;
    for (std::size_t r = 0; r < outlets.rows.size(); ++r) {
        const bool below = outlets.cell(r, 5)->number.value() < 0;
        EXPECT_EQ(outlets.rows[r].flag == CellFlag::Error, below) << r;
        const bool gun = outlets.rows[r].cells[0].text == "Gun";
        marked += below && !gun ? 1 : 0;  // the profile ends at the last outlet of the pipe
    }
    EXPECT_GT(marked, 0);
    EXPECT_EQ(static_cast<std::size_t>(marked), idealProfile(m).belowZero.size());
    const std::string message = negativePressureMessage(*first, 1, ',');
    EXPECT_EQ(message.rfind("WARNING!!! The ideal pressure falls below 0 kPa at " +
                                formatDecimals(first->distance, 1, ',') +
                                " m from the pivot (span 1, outlet " +
                                std::to_string(first->outlet) + ")",
                            0),
              0u);
    IdealOutletRow gun = *first;
    gun.span = -1;
    EXPECT_NE(negativePressureMessage(gun, 1, '.').find("(the end gun)"), std::string::npos);
}
