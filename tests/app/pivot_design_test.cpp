// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/pivot_design.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shell/services.h"

using namespace kambrix;

namespace {

// One flat span of 100 m with outlets every 2.5 m, Q = 50 L/s, no gun: R = 100 m.
Projecto oneSpan() {
    Projecto p;
    p.q = 50;
    p.p = 300;
    p.cotaCentral = 10;
    p.pipe_material = {1, "steel", 120};
    p.Tramos.Push(quarvex::statics().Tramos().newTramo(1, "S", 100, 150, 250, 10));
    return p;
}

}  // namespace

TEST(PivotDesign, BuildsThePivotOfTheProject) {
    Projecto p = oneSpan();
    p.hasVoladizo = true;
    p.Tramos.Push(quarvex::statics().Tramos().newTramo(2, "OH", 20, 100, 250, 0));
    p.hasGun = true;
    p.endGun.rs = 15;
    EXPECT_EQ(fixedSpanCount(p), 1);
    quarvex::pivot m = buildPivot(p);
    auto& pivots = quarvex::statics().Pivots();
    EXPECT_EQ(pivots.FixedSpansCount(m), 1);
    EXPECT_TRUE(pivots.hasOverHang(m));
    EXPECT_TRUE(pivots.hasEndGun(m));
    EXPECT_DOUBLE_EQ(m.rugosidad, 120);
    EXPECT_DOUBLE_EQ(pivots.AllIrrigatedLenght(m), 135);
    EXPECT_TRUE(pivots.isComplete(m));
    p.pipe_material = {};
    EXPECT_FALSE(pivots.isComplete(buildPivot(p)));  // no roughness without a material
}

TEST(PivotDesign, IdealRowsByHand) {
    quarvex::pivot m = computeIdeal(buildPivot(oneSpan()));
    const auto rows = idealOutletRows(m);
    ASSERT_EQ(rows.size(), 40u);
    // Outlet k at r = 2.5 k: q = 2 r s Q / R² = 2 × 2.5k × 2.5 × 50 / 100² = 0.0625 k L/s.
    EXPECT_NEAR(rows[0].caudal, 0.0625, 1e-12);  // rounding of a few products only
    EXPECT_NEAR(rows[39].caudal, 2.5, 1e-12);
    EXPECT_DOUBLE_EQ(rows[39].distance, 100);
    EXPECT_LT(rows[39].pressao, 300);  // friction only on a flat span
    EXPECT_NEAR(rows[39].elevation, 10, 1e-9);
    const auto spans = idealSpanRows(m);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_DOUBLE_EQ(spans[0].entry.pressao, 300);
    // Friction loss equals the pressure drop on a flat span.
    EXPECT_NEAR(spans[0].entry.pressao - spans[0].exit.pressao, spans[0].frictionLoss, 1e-9);
    const auto profile = radiusProfile(m);
    ASSERT_EQ(profile.size(), 41u);
    EXPECT_DOUBLE_EQ(profile.front().distance, 0);
    EXPECT_DOUBLE_EQ(profile.front().pressao, 300);
}

TEST(PivotDesign, SpeedBoxByHand) {
    quarvex::pivot m = buildPivot(oneSpan());
    const auto box = speedBox(m, 10);
    EXPECT_DOUBLE_EQ(m.caixa.tempoH100, 10);
    const auto& full = box.velocidades(10);
    EXPECT_DOUBLE_EQ(full.percentagem, 100);
    EXPECT_DOUBLE_EQ(full.tempoDeUmaVolta, 10);
    // 2π × 100 m in 600 minutes.
    EXPECT_NEAR(full.velocidadeLinear, 2 * kPi * 100 / 600, 1e-12);
    // 50 L/s × 36000 s over π × 100² m²: 57.3 mm.
    EXPECT_NEAR(full.dotacao, 50.0 * 36000 / (kPi * 1e4), 1e-9);
    const auto& slow = box.velocidades(1);
    EXPECT_DOUBLE_EQ(slow.tempoDeUmaVolta, 100);
    EXPECT_NEAR(slow.dotacao, 10 * full.dotacao, 1e-9);
    const auto none = speedBox(m, 0);
    EXPECT_DOUBLE_EQ(none.velocidades(5).tempoDeUmaVolta, 0);
}

TEST(PivotDesign, FieldAreaAndNumberChecks) {
    quarvex::pivot m = buildPivot(oneSpan());  // π × 100² = 3.14 ha
    EXPECT_TRUE(fieldSmallerThanIrrigated(3.0, m));
    EXPECT_FALSE(fieldSmallerThanIrrigated(3.2, m));
    EXPECT_FALSE(fieldSmallerThanIrrigated(0, m));  // no area given

    const NumberRange spans{0, 11, false, true};
    EXPECT_FALSE(checkNumberText("7", ',', spans, "the number of spans"));
    EXPECT_FALSE(checkNumberText("", ',', spans, "x"));
    EXPECT_TRUE(checkNumberText("", ',', spans, "x", false));
    EXPECT_TRUE(checkNumberText("12", ',', spans, "x"));
    EXPECT_TRUE(checkNumberText("2,5", ',', spans, "x"));  // not whole
    const NumberRange pressure{0, 2000, true, false};
    EXPECT_FALSE(checkNumberText("2,5", ',', pressure, "p"));
    EXPECT_FALSE(checkNumberText("2.5", ',', pressure, "p"));
    EXPECT_TRUE(checkNumberText("0", ',', pressure, "p"));
    const auto message = checkNumberText("abc", ',', pressure, "the nominal pressure");
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("the nominal pressure"), std::string::npos);
    EXPECT_EQ(incompletePivotMessage(),
              "The information for the pivot is incomplete. Please check the data for Discharge, "
              "Nomimal Pressure and Ground Elevation");
}

namespace {

// Two chosen spans of 50 m on flat ground at 100 m, everything given.
PivotInputs givenInputs() {
    PivotInputs in;
    in.discharge = 50;
    in.pressure = 300;
    in.elevation = 100;
    in.pipeMaterial = true;
    in.spanCount = 2;
    in.spans = {{true, 50, 100.0}, {true, 50, 100.5}, {false, 0, std::nullopt}};
    return in;
}

}  // namespace

TEST(PivotInputs, BlankIsNotGivenAndZeroIs) {
    PivotInputs in = givenInputs();
    EXPECT_TRUE(missingPivotInputs(in).empty());
    EXPECT_EQ(pivotInputsMessage(in), "");
    EXPECT_TRUE(incompleteSpans(in).empty());

    in.elevation = 0.0;  // a ground at 0 m is given; the spans 100 m above it cannot be placed
    EXPECT_TRUE(missingPivotInputs(in).empty());
    EXPECT_EQ(unplaceableSpans(in), (std::vector<int>{1}));
    in.elevation = std::nullopt;
    EXPECT_EQ(missingPivotInputs(in),
              (std::vector<std::string>{"the ground elevation at the pivot"}));
    EXPECT_TRUE(unplaceableSpans(in).empty());  // nothing to place them from

    in = givenInputs();
    in.spans[1].endElevation = std::nullopt;
    in.spans[0].chosen = false;
    in.endGun = true;
    in.overhang = true;
    EXPECT_EQ(pivotInputsMessage(in),
              "The information for the pivot is incomplete. It must be given the reference span "
              "of span 1, the end elevation of span 2, the reference span of the overhang and "
              "the wetted radius of the end gun");
    EXPECT_EQ(incompleteSpans(in),
              (std::vector<std::string>{"span 1 (no reference span)", "span 2 (no end elevation)",
                                        "the overhang (no reference span)"}));
    EXPECT_EQ(undefinedSpansMessage({"span 2 (no end elevation)"}),
              "There are undefined spans. To save the system all the spans should be complete. "
              "Incomplete: span 2 (no end elevation)");
    EXPECT_EQ(undefinedSpansMessage({}), kUndefinedSpansMessage);
    // A span asked for but beyond the count is not looked at.
    in = givenInputs();
    in.spanCount = 1;
    in.spans[1] = {};
    EXPECT_TRUE(pivotInputsMessage(in).empty());
    // A climb of exactly the span's length cannot be placed; one just below it can.
    in = givenInputs();
    in.spans[0].endElevation = 150.0;
    in.spans[1].endElevation = 150.0;
    EXPECT_EQ(unplaceableSpans(in), (std::vector<int>{1}));
    in.spans[0].endElevation = 149.99;
    EXPECT_TRUE(unplaceableSpans(in).empty());
}
