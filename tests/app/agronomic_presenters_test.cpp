// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "app_test_support.h"
#include "design/agronomic_boxes.h"
#include "design/agronomic_design_presenter.h"
#include "design/tovren_presenter.h"

using namespace kambrix;
using In = AgronomicInput;

namespace {

// The boxes of the hand-worked case, with the user's decimal comma.
AgronomicBoxes filled() {
    AgronomicBoxes b;
    b.kf = "1";
    b.Etc = "6";
    b.Pe = "0";
    b.epa = {"50", "80", "5", "2", "10", "1"};
    b.area = "50";
    b.hours = "20";
    return b;
}

std::vector<std::string> names(const std::vector<ResultLabel>& labels) {
    std::vector<std::string> out;
    for (ResultLabel l : labels) {
        out.emplace_back(labelName(l));
    }
    return out;
}

}  // namespace

TEST(AgronomicBoxes, ReadingAndCheckingBoxes) {
    EXPECT_EQ(boxValue("", ','), kMissing);
    EXPECT_EQ(boxValue("  ", ','), kMissing);
    EXPECT_EQ(boxValue("2,5", ','), 2.5);
    EXPECT_EQ(boxValue("2.5", ','), 2.5);
    EXPECT_TRUE(std::isnan(boxValue("12 m", '.')));
    EXPECT_EQ(boxText(kMissing, ','), "");
    EXPECT_EQ(boxText(0.85, ','), "0,85");
    EXPECT_EQ(boxText(0, ',', 0.0), "");

    // The ranges themselves are tested with the computation; here the box's reading.
    EXPECT_EQ(checkBox(In::Pe, "0", '.'), std::nullopt);
    EXPECT_EQ(checkBox(In::kf, "", '.'), std::nullopt) << "blank: not given";
    EXPECT_EQ(checkBox(In::CI, "6,9", ',').value_or(""), "The value for CI must be from 7 to 17");
    EXPECT_EQ(checkBox(In::HoursPerDay, "24", '.'), std::nullopt);
    EXPECT_EQ(checkBox(In::Eto, "abc", '.').value_or(""),
              "\"abc\" is not a number: please enter a number for Eto");

    const auto ci = ciChoices();
    ASSERT_EQ(ci.size(), 11u);
    EXPECT_EQ(ci.front(), "7");
    EXPECT_EQ(ci.back(), "17");
}

TEST(AgronomicDesignPresenter, CalculateShowsWhatTheInputsAllow) {
    AgronomicDesignPresenter presenter(',');
    ResultTexts r = presenter.calculate(filled());
    EXPECT_EQ(r.DEpa.value_or("?"), "100,20");
    EXPECT_EQ(r.Re.value_or("?"), "0,972");  // 0.97245 to three decimals
    EXPECT_EQ(r.Epa.value_or("?"), formatDecimals(100.2 * 0.97245, 2, ','));
    EXPECT_EQ(r.GIR.value_or("?"), formatDecimals(6 / (100.2 * 0.97245 / 100), 2, ','));
    EXPECT_FALSE(r.message.has_value());
    EXPECT_FALSE(r.fault);
    ASSERT_TRUE(r.Caudal.has_value());
    EXPECT_NEAR(r.systemDischarge, 6 / (100.2 * 0.97245 / 100) / 8.64 * 50 * 24 / 20, 1e-9);

    // U not given: Re and the efficiency cleared, Epa still shown, the message for U.
    AgronomicBoxes b = filled();
    b.epa.U = "";
    r = presenter.calculate(b);
    EXPECT_EQ(r.DEpa.value_or("?"), "100,20");
    EXPECT_EQ(r.Re.value_or("?"), "");
    EXPECT_EQ(r.Epa.value_or("?"), "");
    EXPECT_EQ(r.GIR.value_or("?"), "");
    EXPECT_EQ(r.Caudal.value_or("?"), "");
    EXPECT_EQ(r.message.value_or(""), "It must be given the U value");
    EXPECT_EQ(names(r.cleared), (std::vector<std::string>{"lblRe_v", "lblEpa_v"}));

    // Pa and CU clear Epa and the efficiency; Oe the efficiency only.
    b = filled();
    b.epa.CU = " ";
    r = presenter.calculate(b);
    EXPECT_EQ(r.message.value_or(""), "It must be given the CU value");
    EXPECT_EQ(names(r.cleared), (std::vector<std::string>{"lblDEpa_v", "lblEpa_v"}));
    EXPECT_EQ(r.Re.value_or("?"), "0,972");
    b = filled();
    b.epa.Oe = "";
    r = presenter.calculate(b);
    EXPECT_EQ(r.message.value_or(""), "It must be given the Oe value");
    EXPECT_EQ(names(r.cleared), (std::vector<std::string>{"lblEpa_v"}));

    // The crop's inputs come after the efficiency's: the efficiency is shown.
    b = filled();
    b.Pe = "";
    b.kf = "";
    r = presenter.calculate(b);
    EXPECT_EQ(r.message.value_or(""), "It must be given the value for Kf");
    EXPECT_TRUE(r.cleared.empty());
    EXPECT_NE(r.Epa.value_or(""), "");
    EXPECT_EQ(r.GIR.value_or("?"), "");

    // Out of range: no result and no message (the box said so when it was left).
    b = filled();
    b.epa.CI = "6,9";
    r = presenter.calculate(b);
    EXPECT_EQ(r.Re.value_or("?"), "");
    EXPECT_EQ(r.Epa.value_or("?"), "");
    EXPECT_EQ(r.DEpa.value_or("?"), "100,20");
    EXPECT_FALSE(r.message.has_value());

    // Missing area or hours only leave the discharge empty.
    b = filled();
    b.area = "";
    r = presenter.calculate(b);
    EXPECT_NE(r.GIR.value_or(""), "");
    EXPECT_EQ(r.Caudal.value_or("?"), "");
    EXPECT_FALSE(r.message.has_value());
    EXPECT_EQ(r.systemDischarge, kMissing);

    // An application efficiency of 0: shown, then GIR's fault travels on, never an infinity.
    b = filled();
    b.epa.Oe = "0";
    r = presenter.calculate(b);
    EXPECT_EQ(r.Epa.value_or("?"), "0,00");
    EXPECT_EQ(r.GIR.value_or("?"), "");
    EXPECT_EQ(r.Caudal.value_or("?"), "");
    ASSERT_TRUE(r.fault);
    EXPECT_EQ(test::numberOf([&] { std::rethrow_exception(r.fault); }),
              errc::ComputationDivisionByZero);
}

TEST(AgronomicDesignPresenter, DischargeCommandMessages) {
    AgronomicDesignPresenter presenter('.');
    AgronomicBoxes b = filled();
    ResultTexts r = presenter.computeDischarge(b);
    ASSERT_TRUE(r.Caudal.has_value());
    EXPECT_NE(*r.Caudal, "");
    EXPECT_FALSE(r.DEpa.has_value()) << "only the discharge label changes";
    EXPECT_FALSE(r.GIR.has_value());

    b.area = "";
    EXPECT_EQ(presenter.computeDischarge(b).message.value_or(""),
              "It must be given the value of the field area");
    b.area = "0";
    EXPECT_EQ(presenter.computeDischarge(b).message.value_or(""),
              "It must be given the value of the field area");
    b = filled();
    b.hours = "";
    EXPECT_EQ(presenter.computeDischarge(b).message.value_or(""),
              "It must be given the functioning hours per day");
    b.hours = "24.5";
    r = presenter.computeDischarge(b);
    EXPECT_EQ(r.message.value_or(""),
              "The value for the functioning hours per day must be greater than 0 and up to 24");
    EXPECT_EQ(r.Caudal.value_or("?"), "");
    b.hours = "24";
    EXPECT_FALSE(presenter.computeDischarge(b).message.has_value());

    // The inputs' own reasons first, with the labels they clear.
    b = filled();
    b.epa.Pa = "";
    r = presenter.computeDischarge(b);
    EXPECT_EQ(r.message.value_or(""), "It must be given the Pa value");
    EXPECT_EQ(r.DEpa.value_or("?"), "");
    b = filled();
    b.Etc = "x";
    EXPECT_EQ(presenter.computeDischarge(b).message.value_or(""),
              "\"x\" is not a number: please enter a number for Etc");
}

TEST(TovrenPresenter, EfficiencyAndDischargeMessages) {
    TovrenPresenter presenter('.');
    ResultTexts e = presenter.calculateEfficiency({"50", "80", "5", "2", "10", ""});
    EXPECT_EQ(e.DEpa.value_or("?"), "100.20");
    EXPECT_EQ(e.Re.value_or("?"), "0.972");
    EXPECT_EQ(e.Epa.value_or("?"), "");
    EXPECT_EQ(e.message.value_or(""), "It must be given the Oe value");
    EXPECT_FALSE(e.GIR.has_value());

    TovrenBoxes b;
    b.Qfc = "";
    b.area = "";
    b.hours = "";
    EXPECT_EQ(presenter.computeDischarge(b).message.value_or(""),
              "It must be given the continuos discharge value");
    b.Qfc = "0.6944444444444444";
    EXPECT_EQ(presenter.computeDischarge(b).message.value_or(""),
              "It must be given the field area");
    b.area = "50";
    EXPECT_EQ(presenter.computeDischarge(b).message.value_or(""),
              "It must be given the functioning hours per day");
    b.hours = "20";
    const ResultTexts r = presenter.computeDischarge(b);
    EXPECT_FALSE(r.message.has_value());
    EXPECT_EQ(r.Caudal.value_or(""), "41.67");
    EXPECT_NEAR(r.systemDischarge, 41.6666666667, 1e-9);
    b.Qfc = "-1";
    EXPECT_EQ(presenter.computeDischarge(b).message.value_or(""),
              "The value for the continuous discharge must be 0 or greater");
}
