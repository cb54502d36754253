// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/discharge_origin.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app_test_support.h"
#include "design/tovren_presenter.h"

using namespace kambrix;

namespace {

// The hand-worked crop: Epa 100.2, Re 0.97245, E = 97.4395 %, GIR = 6/0.974395 mm/day.
Agronomics workedCrop() {
    Agronomics a;
    a.kf = 1;
    a.Etc = 6;
    a.Pe = 0;
    a.epa.Pa = 50;
    a.epa.CU = 80;
    a.epa.Eto = 5;
    a.epa.U = 2;
    a.epa.CI = 10;
    a.epa.Oe = 1;
    return a;
}

}  // namespace

TEST(DischargeOrigin, NoteNamesTheSourceThatGivesTheDischarge) {
    DischargeSources s;
    EXPECT_EQ(dischargeNote(s, 41.67, '.'), "") << "no stored agronomic data: no note";

    s.scheduling = 41.666666;
    EXPECT_EQ(dischargeNote(s, 41.666666, '.'), "from the scheduling model, 41.67 L/s");
    // The value the box shows (rounded to the hundredth) still comes from the model.
    EXPECT_EQ(dischargeNote(s, 41.67, ','), "from the scheduling model, 41,67 L/s");
    EXPECT_EQ(dischargeNote(s, 41.68, '.'), "the scheduling model gives 41.67 L/s");
    EXPECT_EQ(dischargeNote(s, 0, '.'), "the scheduling model gives 41.67 L/s")
        << "a blank box: what the model would give";

    s.agronomic = 38.2;
    EXPECT_EQ(dischargeNote(s, 38.2, '.'), "from the agronomic design, 38.20 L/s");
    EXPECT_EQ(dischargeNote(s, 60, '.'),
              "the agronomic design gives 38.20 L/s; the scheduling model gives 41.67 L/s");
    s.agronomic = 41.666666;
    EXPECT_EQ(dischargeNote(s, 41.67, '.'),
              "from the agronomic design and the scheduling model, 41.67 L/s");
}

TEST(DischargeOrigin, SourcesFollowTheStoredRowsAndTheFieldOfTheScreen) {
    test::TempFolder tmp("discharge-origin");
    const AppConfig config = test::freshDatabases(tmp);
    quarvex::Connection con;
    con.Open(config.projectsConnectionString);
    Projecto p = Projectos().newProject("Origen");
    Projectos().saveProject(con, p);

    // Nothing stored yet, and a system not stored at all: no source.
    auto none =
        dischargeSources(loadSystemAgronomics(config.projectsConnectionString, p.id), 50, 20);
    EXPECT_FALSE(none.agronomic);
    EXPECT_FALSE(none.scheduling);
    EXPECT_FALSE(loadSystemAgronomics(config.projectsConnectionString, 0).crop.stored());

    Agronomics crop = workedCrop();
    saveAgronomic(con, crop, p.id);
    TovrenAgronomics model;
    model.Qfc = 25.0 / 36.0;  // 0.6944... L/s/ha
    model.hours_per_day = 20;
    model.epa = crop.epa;  // the system has one efficiency row, which both records share
    saveTovrenAgronomics(con, model, p.id);
    con.Close();

    const SystemAgronomics stored = loadSystemAgronomics(config.projectsConnectionString, p.id);
    const DischargeSources s = dischargeSources(stored, 50, 20);
    ASSERT_TRUE(s.scheduling);
    EXPECT_NEAR(*s.scheduling, 41.6666667, 1e-6);  // 0.6944... · 50 · 24 / 20
    ASSERT_TRUE(s.agronomic);
    const double gir = 6 / (100.2 * 0.97245 / 100);
    EXPECT_NEAR(*s.agronomic, gir * 10000 / 86400 * 50 * 24 / 20, 1e-9);

    // The screen's own area and hours count: other hours, another discharge.
    EXPECT_NEAR(*dischargeSources(stored, 50, 24).scheduling, 34.7222222, 1e-6);
    // Without hours neither source can give one.
    const DischargeSources noHours = dischargeSources(stored, 50, 0);
    EXPECT_FALSE(noHours.agronomic);
    EXPECT_FALSE(noHours.scheduling);

    // A stored crop record with an input missing gives none; the model still does.
    SystemAgronomics partial = stored;
    partial.crop.epa.U = kMissing;
    const DischargeSources p2 = dischargeSources(partial, 50, 20);
    EXPECT_FALSE(p2.agronomic);
    EXPECT_TRUE(p2.scheduling);
    // An efficiency of 0 (Oe = 0) is a fault of the formulas: no source, no exception.
    partial.crop.epa.U = 2;
    partial.crop.epa.Oe = 0;
    EXPECT_NO_THROW(EXPECT_FALSE(dischargeSources(partial, 50, 20).agronomic));
}

TEST(TovrenPresenter, GridTableAndFrequencyPlot) {
    test::TempFolder dir("tovren-plot");
    const auto path = dir.path() / "model.csv";
    std::ofstream(path, std::ios::binary) << "Year;Qfc;Frequency\n1998;0.8;90\n1999;0.5525;10\n"
                                             "2000;0.62;50\n2001;0.8;95.5\n";
    TovrenPresenter presenter(',');
    ASSERT_TRUE(presenter.importFile(path).imported);

    const TableData t = presenter.gridTable();
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.columns, (std::vector<std::string>{"frequency", "Qfc", "year"}));
    // The file's order, each value with the decimals it has, the user's separator.
    EXPECT_EQ(t.columnTexts("frequency", ','),
              (std::vector<std::string>{"90", "10", "50", "95,5"}));
    EXPECT_EQ(t.columnTexts("Qfc", ','),
              (std::vector<std::string>{"0,8", "0,5525", "0,62", "0,8"}));
    EXPECT_EQ(t.columnTexts("year", ','),
              (std::vector<std::string>{"1998", "1999", "2000", "2001"}));
    EXPECT_EQ(t.cell(1, 1)->exportText(), "0.5525");

    // The curve by frequency; the chosen Qfc marks every year that has it.
    FrequencyPlot plot = presenter.frequencyPlot("0,8");
    EXPECT_EQ(plot.curve, (std::vector<XYPoint>{{10, 0.5525}, {50, 0.62}, {90, 0.8}, {95.5, 0.8}}));
    EXPECT_EQ(plot.chosen, (std::vector<XYPoint>{{90, 0.8}, {95.5, 0.8}}));
    EXPECT_EQ(plot.qfc, 0.8);
    // A Qfc typed by hand that no year has: the level only.
    plot = presenter.frequencyPlot("0,7");
    EXPECT_TRUE(plot.chosen.empty());
    EXPECT_EQ(plot.qfc, 0.7);
    // A blank box or a text that is not a number: nothing chosen.
    EXPECT_FALSE(presenter.frequencyPlot("").qfc);
    EXPECT_FALSE(presenter.frequencyPlot("abc").qfc);
    EXPECT_EQ(presenter.frequencyPlot("").curve.size(), 4u);
}
