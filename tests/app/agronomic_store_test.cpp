// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/agronomic_store.h"

#include <gtest/gtest.h>

#include <limits>

#include "app_test_support.h"
#include "design/agronomic_design_presenter.h"
#include "design/tovren_presenter.h"

using namespace kambrix;
using kambrix::test::count;

namespace {

class AgronomicStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        config = test::freshDatabases(tmp);
        con.Open(config.projectsConnectionString);
    }

    Projecto storedProject(const std::string& name) {
        Projecto p = projects.newProject(name);
        p.areaParcela = 50;
        p.horas_de_operacao_diaria = 20;
        p.q = 30;
        projects.saveProject(con, p);
        return p;
    }

    int rows(const std::string& table, const std::string& where = "1=1") {
        return count(con, "SELECT count(*) AS n FROM " + table + " WHERE " + where);
    }

    static Agronomics partlyGiven() {
        Agronomics a;
        a.kf = 0.85;
        a.Etc = 6.5;  // Pe not given
        a.epa.Pa = 75;
        a.epa.CU = 85.5;
        a.epa.Eto = 5.25;
        a.epa.CI = 10;  // U and Oe not given
        return a;
    }

    test::TempFolder tmp{"agronomic"};
    AppConfig config;
    quarvex::Connection con;
    Projectos projects = projectsWithAgronomics();
};

}  // namespace

TEST_F(AgronomicStoreTest, RoundTripWithNulls) {
    const Projecto p = storedProject("Norte");
    const Agronomics none = loadAgronomic(con, p.id);
    EXPECT_FALSE(none.stored());
    EXPECT_FALSE(none.epa.stored());
    EXPECT_EQ(none.kf, kMissing);
    EXPECT_EQ(none.epa.Oe, kMissing);

    Agronomics a = partlyGiven();
    saveAgronomic(con, a, p.id);
    EXPECT_FALSE(con.InTransaction());
    ASSERT_TRUE(a.stored());
    ASSERT_TRUE(a.epa.stored());
    EXPECT_EQ(a.id_sistema, p.id);
    EXPECT_EQ(a.epa.id_sistema, p.id);
    const std::string ofP = "id_sistema=" + std::to_string(p.id);
    EXPECT_EQ(rows("tb_agronomico", ofP + " AND Pe IS NULL AND kf = 0.85"), 1);
    EXPECT_EQ(rows("epa_datas", ofP + " AND U IS NULL AND Oe IS NULL AND CU = 85.5"), 1);

    Agronomics back = loadAgronomic(con, p.id);
    EXPECT_EQ(back.id, a.id);
    EXPECT_EQ(back.epa.id, a.epa.id);
    EXPECT_EQ(back.kf, 0.85);
    EXPECT_EQ(back.Etc, 6.5);
    EXPECT_EQ(back.Pe, kMissing);
    EXPECT_EQ(back.epa.Pa, 75);
    EXPECT_EQ(back.epa.CU, 85.5);
    EXPECT_EQ(back.epa.Eto, 5.25);
    EXPECT_EQ(back.epa.U, kMissing);
    EXPECT_EQ(back.epa.CI, 10);
    EXPECT_EQ(back.epa.Oe, kMissing);

    // A second save updates the same rows; a value given then taken away becomes null.
    back.Pe = 1.5;
    back.kf = kMissing;
    back.epa.Oe = 0.9;
    saveAgronomic(con, back, p.id);
    EXPECT_EQ(back.id, a.id);
    EXPECT_EQ(rows("tb_agronomico"), 1);
    EXPECT_EQ(rows("epa_datas"), 1);
    const Agronomics again = loadAgronomic(con, p.id);
    EXPECT_EQ(again.kf, kMissing);
    EXPECT_EQ(again.Pe, 1.5);
    EXPECT_EQ(again.epa.Oe, 0.9);

    // A record that was never loaded, saved for a system that has rows, does not give the
    // system a second row that loading would never show.
    Agronomics fresh;
    fresh.kf = 2;
    saveAgronomic(con, fresh, p.id);
    EXPECT_EQ(fresh.id, a.id);
    EXPECT_EQ(rows("tb_agronomico"), 1);
    EXPECT_EQ(rows("epa_datas"), 1);
    EXPECT_EQ(loadAgronomic(con, p.id).kf, 2);
    EXPECT_EQ(loadAgronomic(con, p.id).epa.Pa, kMissing) << "the record's values, nulls too";

    // A value that is not a number never reaches the store, and nothing is half-written.
    Agronomics bad = loadAgronomic(con, p.id);
    bad.epa.Pa = 60;
    bad.Pe = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(test::numberOf([&] { saveAgronomic(con, bad, p.id); }),
              quarvex::errc::NumberNotFinite);
    EXPECT_FALSE(con.InTransaction());
    EXPECT_EQ(loadAgronomic(con, p.id).epa.Pa, kMissing);
}

TEST_F(AgronomicStoreTest, SchedulingRecordSharesTheEfficiencyRow) {
    const Projecto p = storedProject("Sur");
    TovrenAgronomics t;
    t.Qfc = 0.72;
    t.epa.Pa = 80;  // the rest not given
    saveTovrenAgronomics(con, t, p.id);
    ASSERT_TRUE(t.stored());
    EXPECT_EQ(rows("tovren_agronomics", "hours_per_day IS NULL AND Qfc = 0.72"), 1);

    const TovrenAgronomics back = loadTovrenAgronomics(con, p.id);
    EXPECT_EQ(back.id, t.id);
    EXPECT_EQ(back.Qfc, 0.72);
    EXPECT_EQ(back.hours_per_day, kMissing);
    EXPECT_EQ(back.epa.Pa, 80);

    // The agronomic screen finds the efficiency row alone and saves over it.
    Agronomics a = loadAgronomic(con, p.id);
    EXPECT_FALSE(a.stored());
    ASSERT_TRUE(a.epa.stored());
    EXPECT_EQ(a.epa.id, t.epa.id);
    a.kf = 1;
    a.epa.CU = 90;
    saveAgronomic(con, a, p.id);
    EXPECT_EQ(rows("epa_datas"), 1);
    EXPECT_EQ(loadTovrenAgronomics(con, p.id).epa.CU, 90);
}

TEST_F(AgronomicStoreTest, CopiedSystemGetsNewRowsAndTheSourceIsUntouched) {
    const Projecto base = storedProject("Base");
    Agronomics a = partlyGiven();
    saveAgronomic(con, a, base.id);
    TovrenAgronomics t = loadTovrenAgronomics(con, base.id);
    t.Qfc = 0.66;
    t.hours_per_day = 22;
    saveTovrenAgronomics(con, t, base.id);
    a = loadAgronomic(con, base.id);

    const Projecto copy = projects.copyProject(con, projects.nameCondition("Base"), "Copia");
    const Agronomics copied = loadAgronomic(con, copy.id);
    const TovrenAgronomics copiedT = loadTovrenAgronomics(con, copy.id);
    ASSERT_TRUE(copied.stored());
    ASSERT_TRUE(copiedT.stored());
    EXPECT_NE(copied.id, a.id);
    EXPECT_NE(copied.epa.id, a.epa.id);
    EXPECT_NE(copiedT.id, t.id);
    EXPECT_EQ(copiedT.epa.id, copied.epa.id) << "one efficiency row per system";
    EXPECT_EQ(copied.kf, 0.85);
    EXPECT_EQ(copied.Pe, kMissing);
    EXPECT_EQ(copied.epa.CU, 85.5);
    EXPECT_EQ(copied.epa.U, kMissing);
    EXPECT_EQ(copiedT.Qfc, 0.66);
    EXPECT_EQ(copiedT.hours_per_day, 22);
    EXPECT_EQ(rows("epa_datas"), 2);
    EXPECT_EQ(rows("tb_agronomico"), 2);
    EXPECT_EQ(rows("tovren_agronomics"), 2);

    // The source keeps its rows, ids and values.
    const Agronomics source = loadAgronomic(con, base.id);
    EXPECT_EQ(source.id, a.id);
    EXPECT_EQ(source.epa.id, a.epa.id);
    EXPECT_EQ(source.kf, 0.85);
    EXPECT_EQ(source.epa.Pa, 75);
    EXPECT_EQ(loadTovrenAgronomics(con, base.id).id, t.id);

    // Editing the copy leaves the source alone.
    Agronomics edit = copied;
    edit.kf = 1.1;
    edit.epa.Pa = 99;
    saveAgronomic(con, edit, copy.id);
    EXPECT_EQ(loadAgronomic(con, base.id).kf, 0.85);
    EXPECT_EQ(loadAgronomic(con, base.id).epa.Pa, 75);

    // A target that already has a crop row is not copied over.
    copyAgronomic(con, base.id, copy.id);
    EXPECT_EQ(loadAgronomic(con, copy.id).kf, 1.1);
    EXPECT_EQ(rows("tb_agronomico"), 2);

    // A source without crop row gives nothing; one with only an efficiency row passes it on.
    const Projecto lone = storedProject("Lone");
    EpaFunction onlyEfficiency;
    onlyEfficiency.Oe = 0.95;
    TovrenAgronomics carrier;
    carrier.epa = onlyEfficiency;
    saveTovrenAgronomics(con, carrier, lone.id);
    con.Execute("DELETE FROM tovren_agronomics WHERE id_sistema=" + std::to_string(lone.id));
    const Projecto loneCopy = projects.copyProject(con, projects.nameCondition("Lone"), "Lone 2");
    EXPECT_FALSE(loadAgronomic(con, loneCopy.id).stored());
    EXPECT_FALSE(loadTovrenAgronomics(con, loneCopy.id).stored());
    EXPECT_EQ(loadAgronomic(con, loneCopy.id).epa.Oe, 0.95);
}

TEST_F(AgronomicStoreTest, DeleteTakesOnlyTheSystemsRows) {
    const Projecto keep = storedProject("Keep");
    Projecto gone = storedProject("Gone");
    for (int id : {keep.id, gone.id}) {
        Agronomics a = partlyGiven();
        saveAgronomic(con, a, id);
        TovrenAgronomics t;
        t.Qfc = 1;
        saveTovrenAgronomics(con, t, id);
    }
    deleteAgronomic(con, gone.id);
    EXPECT_FALSE(loadAgronomic(con, gone.id).stored());
    EXPECT_FALSE(loadAgronomic(con, gone.id).epa.stored());
    EXPECT_TRUE(loadTovrenAgronomics(con, gone.id).stored());
    deleteTovrenAgronomics(con, gone.id);
    EXPECT_FALSE(loadTovrenAgronomics(con, gone.id).stored());
    EXPECT_TRUE(loadAgronomic(con, keep.id).stored());
    EXPECT_TRUE(loadTovrenAgronomics(con, keep.id).stored());

    Agronomics again = partlyGiven();
    saveAgronomic(con, again, gone.id);
    projects.deleteProject(con, gone);
    const std::string ofGone = "id_sistema=" + std::to_string(gone.id);
    for (const char* table : {"tb_agronomico", "epa_datas", "tovren_agronomics"}) {
        EXPECT_EQ(rows(table, ofGone), 0) << table;
        EXPECT_EQ(rows(table), 1) << table;
    }
}

TEST_F(AgronomicStoreTest, FailedSaveLeavesProjectAndRecordAsTheyWere) {
    Projecto p = storedProject("Uno");
    Agronomics stored = partlyGiven();
    saveAgronomic(con, stored, p.id);

    // The crop row cannot be written: the project's update, already made in the same
    // transaction, must go with it.
    con.Execute(
        "CREATE TRIGGER refuse_crop BEFORE UPDATE ON tb_agronomico "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    Projecto changed = p;
    changed.q = 99;
    changed.areaParcela = 80;
    Agronomics record = loadAgronomic(con, p.id);
    record.kf = 3;
    record.epa.Pa = 60;
    const Projecto before = changed;
    const Agronomics recordBefore = record;
    EXPECT_EQ(test::numberOf([&] {
                  saveProjectWithAgronomic(config.projectsConnectionString, changed, record);
              }),
              quarvex::errc::DatabaseStatementFailed);
    EXPECT_EQ(changed.q, before.q);
    EXPECT_EQ(record.id, recordBefore.id);
    const auto reloaded = projects.loadProject(con, projects.nameCondition("Uno"));
    ASSERT_TRUE(reloaded.has_value());
    EXPECT_EQ(reloaded->q, 30);
    EXPECT_EQ(reloaded->areaParcela, 50);
    EXPECT_EQ(loadAgronomic(con, p.id).kf, 0.85);
    EXPECT_EQ(loadAgronomic(con, p.id).epa.Pa, 75) << "the efficiency row was written first";

    // A new project whose record cannot be stored is not stored either, and keeps id 0.
    Projecto fresh = projects.newProject("Nuevo");
    Agronomics bad;
    bad.kf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(test::numberOf(
                  [&] { saveProjectWithAgronomic(config.projectsConnectionString, fresh, bad); }),
              quarvex::errc::NumberNotFinite);
    EXPECT_EQ(fresh.id, 0);
    EXPECT_EQ(projects.countProjects(con, projects.nameCondition("Nuevo")), 0);
    EXPECT_EQ(rows("epa_datas"), 1);

    // Without the fault both are stored together.
    con.Execute("DROP TRIGGER refuse_crop;");
    saveProjectWithAgronomic(config.projectsConnectionString, changed, record);
    EXPECT_EQ(projects.loadProject(con, projects.nameCondition("Uno"))->q, 99);
    EXPECT_EQ(loadAgronomic(con, p.id).kf, 3);
}

TEST_F(AgronomicStoreTest, ScreenSavesThroughTheDocumentInOneTransaction) {
    Projecto p = storedProject("Dos");
    SystemDocument document;
    document.setProject(p, false);

    AgronomicDesignPresenter presenter('.');
    AgronomicScreen screen = presenter.open(config.projectsConnectionString, document.project());
    EXPECT_EQ(screen.boxes.kf, "");
    EXPECT_EQ(screen.boxes.area, "50");
    EXPECT_EQ(screen.boxes.hours, "20");
    EXPECT_EQ(screen.discharge, "30.00");

    AgronomicBoxes boxes = screen.boxes;
    boxes.kf = "1";
    boxes.Etc = "6";
    boxes.Pe = "0";
    boxes.epa = {"100", "100", "5", "2", "10", "1"};

    // Another program holds the database: nothing changes, in the store or the document.
    {
        quarvex::Connection other(config.projectsConnectionString);
        other.Open();
        other.Execute("BEGIN IMMEDIATE;");
        EXPECT_NE(test::numberOf(
                      [&] { presenter.save(config.projectsConnectionString, document, boxes); }),
                  0);
        other.Execute("ROLLBACK;");
    }
    EXPECT_FALSE(document.projectStored());
    EXPECT_EQ(document.project().q, 30);
    EXPECT_FALSE(presenter.record().stored());
    EXPECT_EQ(rows("tb_agronomico"), 0);

    // Then the save goes through: the discharge from the data, the flag set.
    const SaveOutcome saved = presenter.save(config.projectsConnectionString, document, boxes);
    ASSERT_TRUE(saved.saved) << saved.message.value_or("");
    EXPECT_TRUE(document.projectStored());
    const double e = 100 * 1 * (0.97245) / 100;
    const double q = 6 / e * 10000 / 86400 * 50 * 24 / 20;
    EXPECT_NEAR(document.project().q, q, 1e-9);
    EXPECT_EQ(saved.discharge, formatDecimals(q, 2, '.'));
    EXPECT_NEAR(projects.loadProject(con, projects.nameCondition("Dos"))->q, q, 1e-9);

    // Reopened, the screen shows what was saved.
    AgronomicDesignPresenter reopened('.');
    screen = reopened.open(config.projectsConnectionString, document.project());
    EXPECT_EQ(screen.boxes.kf, "1");
    EXPECT_EQ(screen.boxes.Pe, "0");
    EXPECT_EQ(screen.boxes.epa.CI, "10");
    EXPECT_EQ(screen.discharge, saved.discharge);

    // A box out of its range stops the save with its message.
    boxes.epa.CI = "6,9";
    const SaveOutcome refused = reopened.save(config.projectsConnectionString, document, boxes);
    EXPECT_FALSE(refused.saved);
    EXPECT_EQ(refused.message.value_or(""),
              "\"6,9\" is not a number: please enter a number for CI");

    // The scheduling-model screen stores its record and the project the same way.
    TovrenPresenter tovren('.');
    TovrenScreen ts = tovren.open(config.projectsConnectionString, document.project());
    EXPECT_EQ(ts.boxes.epa.Pa, "100") << "the system's efficiency row";
    EXPECT_EQ(ts.boxes.Qfc, "");
    TovrenBoxes tb = ts.boxes;
    tb.Qfc = "0.5";
    tb.hours = "24";
    const SaveOutcome tsaved = tovren.save(config.projectsConnectionString, document, tb);
    ASSERT_TRUE(tsaved.saved);
    EXPECT_EQ(tsaved.discharge, "25.00");
    EXPECT_EQ(document.project().q, 25);
    EXPECT_EQ(document.project().horas_de_operacao_diaria, 24);
    const TovrenAgronomics t = loadTovrenAgronomics(con, p.id);
    EXPECT_EQ(t.Qfc, 0.5);
    EXPECT_EQ(t.hours_per_day, 24);
    EXPECT_EQ(rows("epa_datas"), 1);
    EXPECT_EQ(tovren.open(config.projectsConnectionString, document.project()).boxes.Qfc, "0.5");
}
