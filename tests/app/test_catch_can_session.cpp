// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/catch_can_session.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "app_test_support.h"
#include "evaluation/catch_can_evaluation.h"
#include "evaluation/evaluation_list.h"
#include "evaluation/evaluation_report.h"
#include "evaluation/evaluation_store.h"
#include "scripted_questions.h"
#include "shell/csv.h"
#include "shell/number_text.h"
#include "shell/unit_of_work.h"

using namespace kambrix;
using quarvex::statics;

namespace {

constexpr Radius R1 = Radius::First;
constexpr Radius R2 = Radius::Second;

// Volume (ml) that a 10 cm can collects for a depth (mm): depth × area × 1000.
double volumeFor(double depth_mm) {
    return depth_mm * (0.05 * 0.05 * 3.14159265358979) * 1000.0;
}

CatchCanSession emptySession(const std::string& diameter_cm = "10") {
    CatchCanSession s(statics().PivotEvaluations().newEvaluation("test"));
    EXPECT_EQ(s.setCanDiameterText(diameter_cm, '.'), std::nullopt);
    return s;
}

void type(CatchCanSession& s, Radius radius, int row, double volume, double distance) {
    ASSERT_EQ(s.setCell(radius, row, SampleColumn::Volume, roundTripText(volume), '.'),
              std::nullopt);
    ASSERT_EQ(s.setCell(radius, row, SampleColumn::Distance, roundTripText(distance), '.'),
              std::nullopt);
}

}  // namespace

// 100 ml in a 10 cm can is 12.732 mm; typed numbers follow the user's separator.
TEST(CatchCanSession, TypedSamplesGiveTheLibrarysDepthsAndResults) {
    CatchCanSession s(statics().PivotEvaluations().newEvaluation("typed"));
    EXPECT_EQ(s.setCanDiameterText("10", ','), std::nullopt);
    EXPECT_EQ(s.setCell(R1, 0, SampleColumn::Volume, "100", ','), std::nullopt);
    EXPECT_EQ(s.setCell(R1, 0, SampleColumn::Distance, "12,5", ','), std::nullopt);
    auto rows = s.gridRows(R1, ',');
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].position, "1");
    EXPECT_EQ(rows[0].volume, "100");
    EXPECT_EQ(rows[0].distance, "12,5");
    EXPECT_EQ(rows[0].depth, "12,732");
    EXPECT_EQ(rows[0].state, RowState::Valid);
    EXPECT_EQ(s.gridRows(R1, '.')[0].depth, "12.732");

    // Two cans of the hand-worked case: 10 mm at 100 m and 20 mm at 300 m give an average of
    // 17.5 mm, a low quarter of 10 mm (100 is a quarter of 400), UD 4/7 and CU 11/14.
    CatchCanSession two = emptySession();
    type(two, R1, 0, volumeFor(20), 300);
    type(two, R1, 1, volumeFor(10), 100);
    const auto r = two.results().first;
    // Tolerances: rounding of the volume through the can's area.
    EXPECT_NEAR(*r.average_mm.value, 17.5, 1e-9);
    EXPECT_NEAR(*r.lowQuarterAverage_mm.value, 10, 1e-9);
    EXPECT_NEAR(*r.UD_percent.value, 400.0 / 7.0, 1e-9);
    EXPECT_NEAR(*r.CU_percent.value, 1100.0 / 14.0, 1e-9);
    EXPECT_EQ(r.used, 2);
    EXPECT_EQ(r.leftOut, 0);
    EXPECT_EQ(r.band, UniformityBand::ChangePackage);
    EXPECT_NE(r.bandText.find("should be changed"), std::string::npos);

    // The same numbers as the library's evaluation of the stored record.
    auto stored = two.evaluation();
    const auto library = evaluateCatchCans(stored);
    EXPECT_EQ(*r.average_mm.value, *library.first->average);
    EXPECT_EQ(*r.CU_percent.value, *library.first->CU * 100.0);
    EXPECT_EQ(*two.results().both.average_mm.value, *library.both->average);
    // The second radius is empty: its results say why instead of giving numbers.
    EXPECT_FALSE(two.results().second.CU_percent.value);
    EXPECT_EQ(two.results().second.CU_percent.reason, "no can readings are entered");

    const auto table = resultsTable(two.results(), ',');
    ASSERT_EQ(table.headings.size(), 4u);
    EXPECT_EQ(table.headings[1], "1st radius");
    EXPECT_EQ(table.rows[0][0], "Average depth (mm)");
    EXPECT_EQ(table.rows[0][1], "17,50");
    EXPECT_EQ(table.rows[3][1], "78,57");  // CU
    EXPECT_EQ(table.rows[3][2], "no can readings are entered");
}

TEST(CatchCanSession, InvalidAndIncompleteRowsAreKeptMarkedCountedAndLeftOut) {
    CatchCanSession s = emptySession();
    type(s, R1, 0, volumeFor(20), 300);
    type(s, R1, 1, -3, 50);  // a volume below 0
    type(s, R1, 2, volumeFor(10), 100);
    type(s, R1, 3, 40, 0);  // no distance from the pivot point
    ASSERT_EQ(s.setCell(R1, 4, SampleColumn::Volume, "12", '.'), std::nullopt);  // no distance
    s.addRow(R1);                                                                // blank
    type(s, R2, 0, 0, 10);  // an empty can is a valid reading
    const auto rows = s.gridRows(R1, '.');
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1].state, RowState::Invalid);
    EXPECT_EQ(rows[1].note, "Left out: the volume is below 0");
    EXPECT_EQ(rows[1].depth, "");
    EXPECT_EQ(rows[3].state, RowState::Invalid);
    EXPECT_NE(rows[3].note.find("greater than 0"), std::string::npos);
    EXPECT_EQ(rows[4].state, RowState::Incomplete);
    EXPECT_EQ(rows[4].note, "Left out: the distance is missing");
    EXPECT_EQ(rows[5].state, RowState::Blank);
    EXPECT_EQ(s.gridRows(R2, '.')[0].state, RowState::Valid);

    const auto r = s.results();
    EXPECT_EQ(r.first.used, 2);
    EXPECT_EQ(r.first.leftOut, 3);
    EXPECT_NEAR(*r.first.average_mm.value, 17.5, 1e-9);  // as without the rows left out
    EXPECT_EQ(r.second.used, 1);
    EXPECT_EQ(r.both.used, 3);
    EXPECT_EQ(r.both.leftOut, 3);

    // The invalid rows are stored as they are; the incomplete one has no stored form.
    EXPECT_EQ(test::numberOf([&] { s.evaluation(); }), errc::EvaluationRowsIncomplete);
    s.deleteRows(R1, {4});
    const auto stored = s.evaluation();
    EXPECT_EQ(stored.firstSample.Length(), 4);  // the blank row is not a reading
    EXPECT_EQ(stored.firstSample(2).collectedAmount, -3);
    EXPECT_EQ(stored.pluviometer.diameter, 0.1);
    // The library agrees on what is left out.
    auto copy = stored;
    EXPECT_EQ(evaluateCatchCans(copy).first->invalid, 2);
}

TEST(CatchCanSession, ResultsThatCannotBeComputedGiveTheirReason) {
    CatchCanSession noCan = emptySession("");
    type(noCan, R1, 0, 100, 5);
    EXPECT_TRUE(noCan.needsDiameter());
    EXPECT_EQ(noCan.results().first.average_mm.reason, "the can diameter is not given");
    EXPECT_EQ(noCan.gridRows(R1, '.')[0].depth, "");
    EXPECT_EQ(noCan.gridRows(R1, '.')[0].state, RowState::Valid);

    // Three cans of equal weight: the driest alone weighs a third, more than a quarter.
    CatchCanSession three = emptySession();
    for (int i = 0; i < 3; ++i) {
        type(three, R1, i, 50.0 + i, 10);
    }
    const auto t = three.results().first;
    EXPECT_TRUE(t.average_mm.value);
    EXPECT_FALSE(t.lowQuarterAverage_mm.value);
    EXPECT_NE(t.lowQuarterAverage_mm.reason.find("low quarter"), std::string::npos);
    EXPECT_EQ(t.UD_percent.reason, t.lowQuarterAverage_mm.reason);
    EXPECT_TRUE(t.CU_percent.value);
    EXPECT_EQ(resultText(t.UD_percent, 2, '.'), t.UD_percent.reason);

    CatchCanSession dry = emptySession();
    for (int i = 0; i < 4; ++i) {
        type(dry, R1, i, 0, 10.0 + i);
    }
    const auto d = dry.results().first;
    EXPECT_EQ(*d.average_mm.value, 0);
    EXPECT_EQ(*d.lowQuarterAverage_mm.value, 0);
    EXPECT_EQ(d.UD_percent.reason, "every can is empty (all depths are 0)");
    EXPECT_EQ(d.CU_percent.reason, "every can is empty (all depths are 0)");
    EXPECT_EQ(d.band, UniformityBand::None);
    EXPECT_EQ(d.bandText, "");

    CatchCanSession invalid = emptySession();
    type(invalid, R1, 0, 10, -1);
    EXPECT_EQ(invalid.results().first.CU_percent.reason, "no can has a valid reading");
    EXPECT_EQ(invalid.results().first.leftOut, 1);
}

// The published equal-weight example: 15 cans at one distance. With every weight equal the
// radius-weighted CU is Christiansen's, 1 − Σ|x − x̄| / Σx over the volumes themselves (the
// can's area is a common factor): 1 − 142.2667 / 461 = 69.14 %.
TEST(CatchCanSession, PublishedEqualWeightExampleGivesCu6914) {
    const double volumes[] = {47, 42, 45, 24, 13, 26, 33, 34, 27, 30, 40, 44, 32, 12, 12};
    CatchCanSession s = emptySession();
    double sum = 0;
    int row = 0;
    for (double v : volumes) {
        type(s, R1, row++, v, 25);
        sum += v;
    }
    const double mean = sum / 15;
    double deviations = 0;
    for (double v : volumes) {
        deviations += std::fabs(v - mean);
    }
    const auto r = s.results().first;
    EXPECT_NEAR(*r.CU_percent.value, 100.0 * (1 - deviations / sum), 1e-9);  // rounding only
    EXPECT_EQ(resultText(r.CU_percent, 2, '.'), "69.14");
    EXPECT_EQ(r.band, UniformityBand::ChangePackage);
    // The low quarter of 15 equal weights holds the 3 driest cans (3 ≤ 15/4 < 4).
    EXPECT_NEAR(*r.UD_percent.value, 100.0 * ((12 + 12 + 13) / 3.0) / mean, 1e-9);
}

TEST(CatchCanSession, UniformityBandsFollowTheShownValue) {
    EXPECT_EQ(uniformityBand(92), UniformityBand::Good);
    EXPECT_EQ(uniformityBand(85), UniformityBand::Good);
    EXPECT_EQ(uniformityBand(84.996), UniformityBand::Good);  // shown as 85.00
    EXPECT_EQ(uniformityBand(84.994), UniformityBand::CloserLook);
    EXPECT_EQ(uniformityBand(80), UniformityBand::CloserLook);
    EXPECT_EQ(uniformityBand(79.994), UniformityBand::ChangePackage);
    EXPECT_EQ(uniformityBand(std::nan("")), UniformityBand::None);
    EXPECT_NE(uniformityBandText(UniformityBand::CloserLook).find("closer look"),
              std::string::npos);
}

TEST(CatchCanSession, CellsDiameterAndRefusedTexts) {
    CatchCanSession s = emptySession();
    EXPECT_EQ(s.setCell(R1, 0, SampleColumn::Volume, "abc", '.'),
              "\"abc\" is not a number: please enter a number for the volume (ml)");
    EXPECT_EQ(s.setCell(R1, 0, SampleColumn::Volume, "1e999", '.').has_value(), true);
    EXPECT_TRUE(s.setCell(R1, 0, SampleColumn::Depth, "5", '.').has_value());
    EXPECT_TRUE(s.setCell(R1, 0, SampleColumn::Position, "5", '.').has_value());
    EXPECT_TRUE(s.setCell(R1, 3, SampleColumn::Volume, "5", '.').has_value());  // beyond the end
    EXPECT_EQ(s.rowCount(R1), 0);
    // A blank typed into the new-row line adds nothing; a number adds the row.
    EXPECT_EQ(s.setCell(R1, 0, SampleColumn::Volume, " ", '.'), std::nullopt);
    EXPECT_EQ(s.rowCount(R1), 0);
    EXPECT_EQ(s.setCell(R1, 0, SampleColumn::Distance, "7.5", '.'), std::nullopt);
    EXPECT_EQ(s.rowCount(R1), 1);
    EXPECT_EQ(s.readings(R1)[0].distance_m, 7.5);
    EXPECT_FALSE(s.readings(R1)[0].volume_ml);
    // Blanking a cell removes the value.
    EXPECT_EQ(s.setCell(R1, 0, SampleColumn::Distance, "", '.'), std::nullopt);
    EXPECT_TRUE(s.readings(R1)[0].blank());

    EXPECT_EQ(s.setCanDiameterText("0", '.'),
              "The value for the can diameter (cm) must be greater "
              "than 0 and up to 100");
    EXPECT_TRUE(s.setCanDiameterText("150", '.').has_value());
    EXPECT_EQ(s.canDiameter_cm(), 10);  // unchanged by refused texts
    EXPECT_EQ(s.setCanDiameterText("15,5", ','), std::nullopt);
    EXPECT_EQ(s.canDiameterText(','), "15,5");
    EXPECT_EQ(s.setCanDiameterText("", ','), std::nullopt);
    EXPECT_FALSE(s.canDiameter_cm());
}

TEST(CatchCanSession, RowCommandsAndUndo) {
    CatchCanSession s = emptySession();
    EXPECT_TRUE(s.isModified());  // the diameter was typed into a fresh evaluation
    type(s, R1, 0, 10, 30);
    type(s, R1, 1, 20, 10);
    type(s, R1, 2, 30, 20);
    ASSERT_EQ(s.setCell(R1, 3, SampleColumn::Volume, "40", '.'), std::nullopt);  // no distance
    s.sortByDistance(R1);
    auto volumes = [&] {
        std::vector<double> out;
        for (const auto& r : s.readings(R1)) {
            out.push_back(r.volume_ml.value_or(-1));
        }
        return out;
    };
    EXPECT_EQ(volumes(), (std::vector<double>{20, 30, 10, 40}));  // no distance stays last
    s.insertRow(R1, 1);
    EXPECT_EQ(volumes(), (std::vector<double>{20, -1, 30, 10, 40}));
    s.insertRow(R1, 9);  // outside: ignored
    s.deleteRows(R1, {3, 1, 3, 17});
    EXPECT_EQ(volumes(), (std::vector<double>{20, 30, 40}));
    s.addRow(R1);
    EXPECT_EQ(s.rowCount(R1), 4);

    // Undo takes the commands back one by one.
    ASSERT_TRUE(s.undo());  // add
    ASSERT_TRUE(s.undo());  // delete
    EXPECT_EQ(volumes(), (std::vector<double>{20, -1, 30, 10, 40}));
    ASSERT_TRUE(s.undo());  // insert
    ASSERT_TRUE(s.undo());  // sort
    EXPECT_EQ(volumes(), (std::vector<double>{10, 20, 30, 40}));
    s.clearRows(R1);
    EXPECT_EQ(s.rowCount(R1), 0);
    ASSERT_TRUE(s.undo());
    EXPECT_EQ(s.rowCount(R1), 4);
    // A cell set to the value it holds is no edit.
    ASSERT_EQ(s.setCell(R1, 0, SampleColumn::Volume, "10", '.'), std::nullopt);
    ASSERT_EQ(s.setCell(R1, 0, SampleColumn::Volume, "15", '.'), std::nullopt);
    ASSERT_TRUE(s.undo());
    EXPECT_EQ(s.readings(R1)[0].volume_ml, 10);
    // Undoing everything returns to the state the session started from: nothing to save.
    while (s.undo()) {
    }
    EXPECT_EQ(s.rowCount(R1), 0);
    EXPECT_FALSE(s.canDiameter_cm());
    EXPECT_FALSE(s.isModified());
    EXPECT_FALSE(s.canUndo());
}

TEST(CatchCanSession, PasteOfABlockWithAHeadingAndCopyOfCells) {
    CatchCanSession s = emptySession();
    int pasted = -1;
    // As a spreadsheet of a decimal-comma locale puts three lines on the clipboard.
    EXPECT_EQ(s.paste(R1, 0, "Position\tV(j) (ml)\tS(j) (m)\r\n1\t100\t5\r\n2\t120,5\t10\r\n", ',',
                      &pasted),
              std::nullopt);
    EXPECT_EQ(pasted, 2);
    ASSERT_EQ(s.rowCount(R1), 2);
    EXPECT_EQ(s.readings(R1)[1], (CanReading{120.5, 10}));
    EXPECT_EQ(s.gridRows(R1, ',')[0].depth, "12,732");

    // From row 1 on: overwrites row 2 and adds one; two columns this time; one undo step.
    EXPECT_EQ(s.paste(R1, 1, "80\t15\n90\t20\n", '.'), std::nullopt);
    ASSERT_EQ(s.rowCount(R1), 3);
    EXPECT_EQ(s.readings(R1)[1], (CanReading{80, 15}));
    EXPECT_EQ(s.readings(R1)[2], (CanReading{90, 20}));
    ASSERT_TRUE(s.undo());
    EXPECT_EQ(s.rowCount(R1), 2);
    EXPECT_EQ(s.readings(R1)[1], (CanReading{120.5, 10}));

    // A line that cannot be read: nothing is pasted and the line is named.
    const auto refused = s.paste(R1, 0, "100\t5\n12.5\t7\nabc\n", ',');
    ASSERT_TRUE(refused.has_value());
    EXPECT_NE(refused->find("Nothing was pasted: 2 lines cannot be read."), std::string::npos);
    EXPECT_NE(refused->find("Line 2: \"12.5\" is not a number"), std::string::npos);
    EXPECT_NE(refused->find("Line 3: \"abc\" is not a number"), std::string::npos);
    EXPECT_EQ(s.rowCount(R1), 2);
    EXPECT_EQ(s.readings(R1)[0], (CanReading{100, 5}));
    EXPECT_TRUE(s.paste(R1, 0, "Volume\tDistance\n", '.').has_value());  // heading only

    // Copy: the cells as shown, tab-separated, clipped to the grid.
    EXPECT_EQ(s.copyCells(R1, 0, 5, SampleColumn::Volume, SampleColumn::Depth, ','),
              "100\t5\t12,732\n120,5\t10\t15,343\n");
    EXPECT_EQ(s.copyCells(R1, 1, 1, SampleColumn::Position, SampleColumn::Position, '.'), "2\n");
    // What is copied pastes back to the same readings.
    CatchCanSession other = emptySession();
    EXPECT_EQ(
        other.paste(
            R2, 0, s.copyCells(R1, 0, 1, SampleColumn::Position, SampleColumn::Distance, ','), ','),
        std::nullopt);
    EXPECT_EQ(other.readings(R2), s.readings(R1));
}

TEST(CatchCanSession, PlotMarksTheCansDepartingMoreThan20PercentFromTheAverage) {
    CatchCanSession s = emptySession();
    // Both radii at 10, 20 and 30 m; Σ r·D = 1200 over Σ r = 120: an average of 10 mm.
    type(s, R1, 0, volumeFor(10), 30);
    type(s, R1, 1, volumeFor(12.5), 10);  // +25 %: marked
    type(s, R1, 2, volumeFor(11.9), 20);  // +19 %: not
    type(s, R2, 0, volumeFor(7.5), 10);   // −25 %: marked
    type(s, R2, 1, volumeFor(8.1), 20);   // −19 %
    type(s, R2, 2, volumeFor(10), 30);
    type(s, R2, 3, -1, 40);  // left out: not drawn
    const auto p = s.plot();
    ASSERT_TRUE(p.average_mm);
    const double average = *s.results().both.average_mm.value;
    EXPECT_NEAR(average, 10, 1e-9);  // rounding through the can's area
    EXPECT_EQ(*p.average_mm, average);
    EXPECT_NEAR(p.lowerBand_mm, 0.8 * average, 1e-12);
    EXPECT_NEAR(p.upperBand_mm, 1.2 * average, 1e-12);
    ASSERT_EQ(p.radii[0].size(), 3u);
    ASSERT_EQ(p.radii[1].size(), 3u);
    EXPECT_EQ(p.radii[0][0].distance_m, 10);  // ascending distance
    EXPECT_EQ(p.radii[0][0].position, 2);     // its row in the grid
    EXPECT_EQ(p.minX, 10);
    EXPECT_EQ(p.maxX, 30);
    EXPECT_GE(p.maxY, p.upperBand_mm);
    ASSERT_EQ(p.departing.size(), 2u);
    EXPECT_EQ(p.departing[0].distance_m, 10);
    EXPECT_EQ(p.departing[0].radius, R1);
    EXPECT_EQ(p.departing[1].distance_m, 10);
    EXPECT_EQ(p.departing[1].radius, R2);
    EXPECT_EQ(p.departing[1].position, 1);
    // The grids mark the same cans.
    EXPECT_TRUE(s.gridRows(R1, '.')[1].departs);
    EXPECT_FALSE(s.gridRows(R1, '.')[2].departs);
    EXPECT_NE(s.gridRows(R2, '.')[0].note.find("from the average depth"), std::string::npos);

    // Without a can diameter there is nothing to draw.
    CatchCanSession none = emptySession("");
    type(none, R1, 0, 10, 5);
    EXPECT_TRUE(none.plot().radii[0].empty());
    EXPECT_FALSE(none.plot().average_mm);
}

TEST(CatchCanSession, CsvExportImportAndTheirRefusals) {
    CatchCanSession s = emptySession("12.5");
    type(s, R1, 0, 0.1 + 0.2, 5);  // 17 significant digits survive the file
    type(s, R2, 0, 77, 9.75);
    const std::string text = s.csvText();
    EXPECT_EQ(text,
              "radius,volume_ml,distance_m,canDiameter_cm\r\n"
              "1,0.30000000000000004,5,12.5\r\n"
              "2,77,9.75,12.5\r\n");
    test::TempFolder dir("csv-session");
    const auto file = dir.path() / "cans.csv";
    s.exportCsv(file);
    CatchCanSession back = emptySession("");
    back.importCsv(file);
    EXPECT_EQ(back.readings(R1), s.readings(R1));
    EXPECT_EQ(back.readings(R2), s.readings(R2));
    EXPECT_EQ(back.canDiameter_cm(), 12.5);
    ASSERT_TRUE(back.undo());  // the import is one step
    EXPECT_EQ(back.rowCount(R1), 0);
    // The exported heading names its units: a US user reads it back in metres all the same;
    // a heading without unit names is read in the user's units.
    back.importCsv(file, UnitSystem::US);
    EXPECT_EQ(back.readings(R2), s.readings(R2));
    writeTextFile(dir.path() / "plain.csv", "radius,volume,distance,canDiameter\n1,50,100,5\n");
    back.importCsv(dir.path() / "plain.csv", UnitSystem::US);
    ASSERT_EQ(back.rowCount(R1), 1);
    EXPECT_NEAR(back.readings(R1)[0].distance_m.value_or(0), 30.48, 1e-12);
    EXPECT_NEAR(*back.canDiameter_cm(), 12.7, 1e-12);

    // A file that cannot be read changes nothing.
    writeTextFile(dir.path() / "bad.csv", "radius,volume_ml,distance_m\n3,1,2,10\n");
    EXPECT_EQ(test::numberOf([&] { s.importCsv(dir.path() / "bad.csv"); }), errc::CsvFormat);
    EXPECT_EQ(test::numberOf([&] { s.importCsv(dir.path() / "missing.csv"); }), errc::FileMissing);
    EXPECT_EQ(s.rowCount(R1), 1);

    CatchCanSession noDiameter = emptySession("");
    type(noDiameter, R1, 0, 1, 2);
    EXPECT_EQ(test::numberOf([&] { noDiameter.csvText(); }), errc::ValueOutOfRange);
    EXPECT_EQ(test::numberOf([&] { emptySession().csvText(); }), errc::ValueOutOfRange);
    ASSERT_EQ(s.setCell(R2, 1, SampleColumn::Volume, "3", '.'), std::nullopt);
    EXPECT_EQ(test::numberOf([&] { s.csvText(); }), errc::EvaluationRowsIncomplete);
}

TEST(CatchCanSession, SavedAndReopenedKeepsItsSamplesInOrderExactly) {
    test::TempFolder root("session-save");
    const AppConfig config = test::freshDatabases(root);
    const std::string& cs = config.projectsConnectionString;
    test::ScriptedQuestions questions;
    EvaluationList list(cs, questions);
    auto created = list.createNamed("North field");
    ASSERT_TRUE(created);
    CatchCanSession s(*created);
    ASSERT_EQ(s.setCanDiameterText("15", '.'), std::nullopt);
    // 17 significant digits typed; the store keeps 15.
    const double volumes[] = {123.45678901234567, 0.1 + 0.2, 98.7, 1e-7, 250};
    const double distances[] = {400.5, 12.25, 3, 700.00000000000011, 5};
    for (int i = 0; i < 5; ++i) {
        type(s, R1, i, volumes[i], distances[i]);
        type(s, R2, i, volumes[4 - i], distances[4 - i]);
    }
    s.addRow(R1);  // a blank row is not stored
    ASSERT_TRUE(s.isModified());
    s.save(cs);
    EXPECT_FALSE(s.isModified());
    EXPECT_EQ(s.id(), created->id);

    const auto reopened =
        readFrom(cs, [](quarvex::Connection& con) { return findEvaluation(con, "North field"); });
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->id, created->id);
    EXPECT_EQ(reopened->pluviometer.diameter, 0.15);
    ASSERT_EQ(reopened->firstSample.Length(), 5);
    ASSERT_EQ(reopened->secondSample.Length(), 5);
    for (int i = 0; i < 5; ++i) {
        // Stored in the shortest text that reads back exactly: the very same numbers.
        EXPECT_EQ(reopened->firstSample(i + 1).collectedAmount, volumes[i]);
        EXPECT_EQ(reopened->firstSample(i + 1).distanceFromCenter, distances[i]);
        EXPECT_EQ(reopened->secondSample(i + 1).collectedAmount,
                  reopened->firstSample(5 - i).collectedAmount);
    }
    // The session now shows what a reopening shows (the window reads the stored conditions
    // and who saved the evaluation last with it).
    CatchCanSession again(*reopened);
    again.loadStoredConditions(cs);
    EXPECT_EQ(again.readings(R1),
              std::vector<CanReading>(s.readings(R1).begin(), s.readings(R1).begin() + 5));
    EXPECT_EQ(again.canDiameter_cm(), 15);
    EXPECT_FALSE(again.isModified());

    // Saving again updates the same row.
    type(again, R1, 0, 1, 1);
    again.save(cs);
    EXPECT_EQ(readFrom(cs,
                       [](quarvex::Connection& con) {
                           return test::count(con, "SELECT count(*) AS n FROM pivot_evaluations");
                       }),
              1);
    // An incomplete row refuses the save and stores nothing.
    ASSERT_EQ(again.setCell(R2, 0, SampleColumn::Distance, "", '.'), std::nullopt);
    EXPECT_EQ(test::numberOf([&] { again.save(cs); }), errc::EvaluationRowsIncomplete);
    EXPECT_TRUE(again.isModified());
    const auto still =
        readFrom(cs, [](quarvex::Connection& con) { return findEvaluation(con, "North field"); });
    EXPECT_EQ(still->secondSample.Length(), 5);
    EXPECT_EQ(still->firstSample(1).collectedAmount, 1);
}

TEST(CatchCanSession, ClosingWithUnsavedChangesAsksWhetherToSave) {
    test::TempFolder root("session-close");
    const AppConfig config = test::freshDatabases(root);
    const std::string& cs = config.projectsConnectionString;
    test::ScriptedQuestions questions;
    EvaluationList list(cs, questions);
    CatchCanSession s(*list.createNamed("East"));
    EXPECT_TRUE(s.closeRequest(questions, cs));  // nothing changed: no question
    EXPECT_TRUE(questions.questions.empty());

    type(s, R1, 0, 50, 10);
    questions.answers = {false};
    EXPECT_TRUE(s.closeRequest(questions, cs));
    ASSERT_EQ(questions.questions.size(), 1u);
    EXPECT_EQ(questions.questions[0],
              "The evaluation East has changes that are not saved. Do you want to save them?");
    auto stored = [&] {
        return readFrom(cs, [](quarvex::Connection& con) { return findEvaluation(con, "East"); });
    };
    EXPECT_TRUE(stored()->firstSample.IsEmpty());

    questions.answers = {true};
    EXPECT_TRUE(s.closeRequest(questions, cs));
    EXPECT_EQ(stored()->firstSample.Length(), 1);
    EXPECT_FALSE(s.isModified());

    ASSERT_EQ(s.setCell(R1, 1, SampleColumn::Volume, "3", '.'), std::nullopt);
    questions.answers = {true};
    EXPECT_FALSE(s.closeRequest(questions, cs));  // the incomplete row keeps the window open
    ASSERT_EQ(questions.messages.size(), 1u);
    EXPECT_EQ(questions.messages[0],
              "Row 2 of the 1st radius has no distance: enter it or "
              "delete the row");
}

TEST(CatchCanSession, ReportHasTheSameSectionsForEveryEvaluation) {
    CatchCanSession s = emptySession();
    type(s, R1, 0, volumeFor(10), 30);
    type(s, R1, 1, volumeFor(14), 10);
    type(s, R1, 2, -1, 20);
    const auto doc = evaluationReport(s, "2024-05-01", ',');
    EXPECT_EQ(doc.title, "Catch-can evaluation test");
    ASSERT_EQ(doc.sections.size(), 6u);
    const char* titles[] = {"Title block", "Evaluation", "Results", "Depth against distance",
                            "1st radius",  "2nd radius"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(doc.sections[i].title, titles[i]);
    }
    const auto& block = std::get<report::KeyValues>(doc.sections[0].blocks[0]);
    EXPECT_EQ(block.pairs[0].second, "not linked to a system");
    EXPECT_EQ(block.pairs[1].second, "test");
    EXPECT_EQ(block.pairs[2].second, "not recorded");
    const auto& head = std::get<report::KeyValues>(doc.sections[1].blocks[0]);
    EXPECT_EQ(head.pairs[1], (std::pair<std::string, std::string>{"Date", "2024-05-01"}));
    EXPECT_EQ(head.pairs[2].second, "10 cm");
    const auto& results = std::get<report::Table>(doc.sections[2].blocks[0]);
    EXPECT_EQ(results.rows, resultsTable(s.results(), ',').rows);
    EXPECT_EQ(std::get<report::Figure>(doc.sections[3].blocks[0]).key, kEvaluationPlotFigure);
    // One can departs (14 mm against 11 mm): listed with its departure.
    const auto& departing = std::get<report::Table>(doc.sections[3].blocks[2]);
    ASSERT_EQ(departing.rows.size(), 1u);
    EXPECT_EQ(departing.rows[0][1], "2");
    EXPECT_EQ(departing.rows[0][4], "27");  // (14 − 11) / 11
    const auto& first = std::get<report::Table>(doc.sections[4].blocks[0]);
    ASSERT_EQ(first.headings.size(), 5u);
    EXPECT_EQ(first.headings[1], "V(j) (ml)");
    ASSERT_EQ(first.rows.size(), 3u);
    EXPECT_EQ(first.rows[2][4], "Left out: the volume is below 0");
    // An empty radius still has its section, saying so, and its (empty) table.
    EXPECT_EQ(std::get<report::Paragraph>(doc.sections[5].blocks[0]).text,
              "No readings were entered for this radius.");
    EXPECT_TRUE(std::get<report::Table>(doc.sections[5].blocks[1]).rows.empty());
    EXPECT_EQ(todayText().size(), 10u);
}

// Qt sets the C library's locale from the system: a decimal comma there must not reach the
// file, the store or the screen texts, which follow the separator given.
TEST(CatchCanSession, NumbersDoNotFollowTheCLibrarysLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "scripts/install-deps.sh generates de_DE.UTF-8";
    CatchCanSession s = emptySession("12.5");
    type(s, R1, 0, 100.25, 7.5);
    const std::string csv = s.csvText();
    const auto grid = s.gridRows(R1, '.');
    const auto pasted = s.paste(R2, 0, "1.5\t2.5\n", '.');
    const auto stored = s.evaluation();
    test::TempFolder root("session-locale");
    const AppConfig config = test::freshDatabases(root);
    s.save(config.projectsConnectionString);
    const auto back = readFrom(config.projectsConnectionString, [](quarvex::Connection& con) {
        return findEvaluation(con, "test");
    });
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(csv,
              "radius,volume_ml,distance_m,canDiameter_cm\r\n"
              "1,100.25,7.5,12.5\r\n");
    EXPECT_EQ(grid[0].volume, "100.25");
    EXPECT_EQ(pasted, std::nullopt);
    EXPECT_EQ(stored.pluviometer.diameter, 0.125);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->firstSample(1).collectedAmount, 100.25);
    EXPECT_EQ(back->secondSample(1).distanceFromCenter, 2.5);
    EXPECT_EQ(back->pluviometer.diameter, 0.125);
}
