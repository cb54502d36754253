// SPDX-License-Identifier: GPL-3.0-or-later
//
// The agronomic windows, headless: the design from the user's data (AgronomicDesign), the
// discharge from the scheduling model's results (frmDatosTOVREN), their hand-over from the
// start window, and the design discharge the hydraulic design screen then proposes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <utility>

#include "design/agronomic_store.h"
#include "design/tovren_presenter.h"
#include "gui/AgronomicDesign.h"
#include "gui/frmDatosTOVREN.h"
#include "gui/frmDisHid.h"
#include "gui/frmIniAgronom.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/units_view.h"
#include "shell/language_file.h"
#include "windows_test_support.h"

using namespace kambrix;
using test::child;
using test::type;

namespace {

using Pair = std::pair<const char*, const char*>;

class AgronomicWindowsTest : public test::WindowFixture {
  protected:
    QString text(QWidget* w, const char* name) {
        if (auto* edit = w->findChild<QLineEdit*>(QString::fromLatin1(name))) {
            return edit->text();
        }
        if (auto* combo = w->findChild<QComboBox*>(QString::fromLatin1(name))) {
            return combo->currentText();
        }
        return child<QLabel>(w, name)->text();
    }
    void click(QWidget* w, const char* name) { child<QPushButton>(w, name)->click(); }
    void choose(QWidget* w, const char* combo, const QString& item) {
        auto* c = child<QComboBox>(w, combo);
        c->setCurrentIndex(c->findText(item));
    }
    // Types the text, or chooses it in cmbCI.
    void enter(QWidget* w, const char* name, const QString& value) {
        if (QLatin1String(name) == QLatin1String("cmbCI")) {
            choose(w, name, value);
        } else {
            type(child<QLineEdit>(w, name), value);
        }
    }
    std::filesystem::path writeFile(const char* name, const std::string& content) {
        const auto path = tmp.path() / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    QChart* chart(QWidget* w) { return child<QChartView>(w, "chtFrecuencia")->chart(); }
    QXYSeries* seriesNamed(QWidget* w, const QString& name) {
        for (auto* s : chart(w)->series()) {
            if (s->name() == name) {
                return qobject_cast<QXYSeries*>(s);
            }
        }
        return nullptr;
    }

    // Efficiency and crop data of the hand-worked case: Epa 100.2 %, Re 0.97245,
    // E = 97.43949 %, GIR = 6/0.9743949 = 6.1577 mm/day, Qc = 0.712693 L/s/ha.
    static constexpr const char* kFills[][2] = {
        {"txtPa", "50"}, {"txtCU", "80"}, {"txtEto", "5"}, {"txtU", "2"},  {"cmbCI", "10"},
        {"txtOe", "1"},  {"txtKf", "1"},  {"txtEtc", "6"}, {"txtPe", "0"},
    };

    // A scheduling-model file of four years ("year;Qfc;frequency"), with CR LF endings.
    std::filesystem::path goodFile() {
        return writeFile("tovren.csv",
                         "Year;Qfc(L/s/ha);Frequency\r\n1998;0.80;90\r\n1999;0.55;10\r\n"
                         "2000;0.62;50\r\n2001;0.6944444444444444;70\r\n");
    }
};

}  // namespace

TEST_F(AgronomicWindowsTest, DesignNamesTheMissingInputsInOrderAndShowsOnlyValidResults) {
    openDemoProject();  // 65 ha, 20 h a day, 60 L/s
    AgronomicDesign w(services);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Agronomic design from the user's own data");
    auto* ci = child<QComboBox>(&w, "cmbCI");
    ASSERT_EQ(ci->count(), 11);
    EXPECT_EQ(ci->itemText(0), "7");
    EXPECT_EQ(ci->itemText(10), "17");
    EXPECT_EQ(ci->currentIndex(), -1);
    const Pair units[] = {{"lblEtc_u", "mm/day"}, {"lblPe_u", "mm/day"},  {"lblPa_u", "%"},
                          {"lblCU_u", "%"},       {"lblEto_u", "mm/day"}, {"lblU_u", "km/h"},
                          {"lblOe_u", "0 to 1"},  {"lblArea_u", "ha"},    {"lblHoras_u", "h/day"},
                          {"lblCaudal_u", "L/s"}, {"lblGIR_u", "mm/day"}, {"lblDEpa_u", "%"}};
    for (auto [label, unit] : units) {
        EXPECT_EQ(text(&w, label), unit) << label;
    }
    // The project's field, hours and discharge; no agronomic data stored yet.
    EXPECT_EQ(text(&w, "txtArea"), "65");
    EXPECT_EQ(text(&w, "txt_horas"), "20");
    EXPECT_EQ(text(&w, "lblCaudal_v"), "60.00");
    for (const char* l : {"lblDEpa_v", "lblRe_v", "lblEpa_v", "lblGIR_v"}) {
        EXPECT_EQ(text(&w, l), "") << l;
    }

    // cmdCalc names the first input missing, efficiency inputs first; each result appears
    // as soon as its own inputs are given.
    const char* expected[] = {"It must be given the Pa value",
                              "It must be given the CU value",
                              "It must be given the Eto value",
                              "It must be given the U value",
                              "It must be given the CI value",
                              "It must be given the Oe value",
                              "It must be given the value for Kf",
                              "It must be given the value for Etc",
                              "It must be given the value for the precipitation"};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        click(&w, "cmdCalc");
        ASSERT_EQ(messages.messages.size(), i + 1);
        EXPECT_EQ(messages.messages.back(), expected[i]);
        EXPECT_EQ(text(&w, "lblGIR_v"), "") << "GIR before " << kFills[i][0];
        enter(&w, kFills[i][0], kFills[i][1]);
        if (i == 1) {
            EXPECT_EQ(text(&w, "lblDEpa_v"), "100.20");
            EXPECT_EQ(text(&w, "lblRe_v"), "");
        }
        if (i == 4) {
            EXPECT_EQ(text(&w, "lblRe_v"), "0.972");
            EXPECT_EQ(text(&w, "lblEpa_v"), "") << "Oe not given yet";
        }
        if (i == 5) {
            EXPECT_EQ(text(&w, "lblEpa_v"), "97.44");
        }
    }
    EXPECT_EQ(text(&w, "lblGIR_v"), "6.16");
    EXPECT_EQ(text(&w, "lblCaudal_v"), "55.59");  // 0.712693 · 65 · 24 / 20
    click(&w, "cmdCalc");
    EXPECT_EQ(messages.messages.size(), std::size(expected)) << "nothing missing";

    // A value out of its range is refused when the box is left: the last accepted comes back.
    type(child<QLineEdit>(&w, "txtPa"), "0");
    EXPECT_EQ(messages.messages.back(), "The value for Pa must be greater than 0 and up to 100");
    EXPECT_EQ(text(&w, "txtPa"), "50");
    type(child<QLineEdit>(&w, "txtKf"), "0");
    EXPECT_EQ(messages.messages.back(), "The value for Kf must be greater than 0");
    type(child<QLineEdit>(&w, "txtOe"), "1.5");
    EXPECT_EQ(messages.messages.back(), "The value for Oe must be from 0 to 1");
    type(child<QLineEdit>(&w, "txt_horas"), "24.5");
    EXPECT_EQ(messages.messages.back(),
              "The value for the functioning hours per day must be greater than 0 and up to 24");
    type(child<QLineEdit>(&w, "txtEtc"), "abc");
    EXPECT_EQ(messages.messages.back(), "\"abc\" is not a number: please enter a number for Etc");
    type(child<QLineEdit>(&w, "txt_horas"), "24");  // a whole day is accepted
    EXPECT_EQ(text(&w, "lblCaudal_v"), "46.33");
    EXPECT_EQ(text(&w, "lblGIR_v"), "6.16");

    // Eto blanked: Re, the efficiency and what follows from them go; Epa stays.
    messages.clear();
    type(child<QLineEdit>(&w, "txtEto"), "");
    EXPECT_TRUE(messages.messages.isEmpty()) << "a blank box is not given, not refused";
    EXPECT_EQ(text(&w, "lblDEpa_v"), "100.20");
    for (const char* l : {"lblRe_v", "lblEpa_v", "lblGIR_v", "lblCaudal_v"}) {
        EXPECT_EQ(text(&w, l), "") << l;
    }
    click(&w, "cmdCalc");
    EXPECT_EQ(messages.messages.value(0), "It must be given the Eto value");

    // The discharge command names what it misses.
    type(child<QLineEdit>(&w, "txtEto"), "5");
    type(child<QLineEdit>(&w, "txtArea"), "");
    click(&w, "cmd_compute_caudal");
    EXPECT_EQ(messages.messages.value(1), "It must be given the value of the field area");
    type(child<QLineEdit>(&w, "txtArea"), "50");
    type(child<QLineEdit>(&w, "txt_horas"), "");
    click(&w, "cmd_compute_caudal");
    EXPECT_EQ(messages.messages.value(2), "It must be given the functioning hours per day");
    type(child<QLineEdit>(&w, "txt_horas"), "20");
    click(&w, "cmd_compute_caudal");
    EXPECT_EQ(messages.messages.size(), 3);
    EXPECT_EQ(text(&w, "lblCaudal_v"), "42.76");  // 0.712693 · 50 · 24 / 20
    messages.answer(false);
    w.close();
}

TEST_F(AgronomicWindowsTest, DesignReportsAZeroEfficiencyAsAnErrorAndKeepsTheOtherResults) {
    openDemoProject();
    AgronomicDesign w(services);
    w.show();
    for (const auto& [box, value] : kFills) {
        enter(&w, box, value);
    }
    type(child<QLineEdit>(&w, "txtOe"), "0");  // in its range, but GIR divides by 0
    // The fault reaches the box of unexpected errors, once computing and once saving.
    messages.expectErrorBoxes(2);
    EXPECT_TRUE(messages.messages.isEmpty()) << "the results follow quietly";
    EXPECT_EQ(text(&w, "lblEpa_v"), "0.00");
    EXPECT_EQ(text(&w, "lblGIR_v"), "");
    click(&w, "cmdCalc");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith(
        "The gross irrigation requirement cannot be computed: the application efficiency is 0"))
        << messages.messages[0].toStdString();
    EXPECT_EQ(text(&w, "lblDEpa_v"), "100.20");
    EXPECT_EQ(text(&w, "lblRe_v"), "0.972");
    EXPECT_EQ(text(&w, "lblGIR_v"), "");
    // Saving meets the same fault: nothing is stored.
    click(&w, "cmdGuardar");
    EXPECT_EQ(messages.messages.size(), 2);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tb_agronomico"), 0);
    messages.answer(false);
    w.close();
}

TEST_F(AgronomicWindowsTest, DesignSavesUnderACommaLocaleAndReopensWithTheSameValues) {
    test::CommaLocale comma;
    const Projecto demo = openDemoProject();
    {
        AgronomicDesign w(services);
        w.show();
        for (const auto& [box, value] : kFills) {
            enter(&w, box, value);
        }
        type(child<QLineEdit>(&w, "txtKf"), "0,85");
        type(child<QLineEdit>(&w, "txtArea"), "50");
        EXPECT_TRUE(w.hasChanges());
        // Leaving with changes asks, with Cancel: Cancel stays.
        messages.answer(MessageService::Answer::Cancel);
        w.close();
        EXPECT_EQ(messages.choices.value(0),
                  "Do you want to save the agronomic data of the current system?");
        EXPECT_TRUE(w.isVisible());
        click(&w, "cmdGuardar");
        EXPECT_FALSE(w.hasChanges());
        EXPECT_EQ(messages.statuses.value(0),
                  "The agronomic data of the system 'Demo pivot (7 spans)' were saved");
        // 0.85 · 6 / 0.9743949 = 5.234 mm/day; · 10000 / 86400 · 50 · 24 / 20 = 36.35 L/s
        EXPECT_EQ(text(&w, "lblCaudal_v"), "36,35");
        w.close();
        EXPECT_EQ(messages.choices.size(), 1) << "nothing unsaved: no question";
    }
    // The store, and the document the other screens read.
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tb_agronomico"), 1);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM epa_datas"), 1);
    const Agronomics stored = loadAgronomic(con, demo.id);
    EXPECT_EQ(stored.kf, 0.85);
    EXPECT_EQ(stored.epa.CI, 10);
    EXPECT_NEAR(document.project().q, 36.347344, 1e-6);
    EXPECT_DOUBLE_EQ(document.project().areaParcela, 50);
    EXPECT_TRUE(document.projectStored());
    const auto project =
        Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName), "tramos");
    EXPECT_DOUBLE_EQ(project->q, document.project().q);
    EXPECT_EQ(project->Tramos.Length(), demo.Tramos.Length()) << "the spans are kept";

    AgronomicDesign again(services);
    const Pair reopened[] = {
        {"txtKf", "0,85"},       {"txtEtc", "6"},       {"txtPe", "0"},
        {"txtPa", "50"},         {"txtCU", "80"},       {"txtEto", "5"},
        {"txtU", "2"},           {"cmbCI", "10"},       {"txtOe", "1"},
        {"txtArea", "50"},       {"txt_horas", "20"},   {"lblDEpa_v", "100,20"},
        {"lblRe_v", "0,972"},    {"lblEpa_v", "97,44"}, {"lblGIR_v", "5,23"},
        {"lblCaudal_v", "36,35"}};
    for (auto [box, value] : reopened) {
        EXPECT_EQ(text(&again, box), value) << box;
    }
    EXPECT_FALSE(again.hasChanges());
    // A change not wanted: No leaves without saving it.
    type(child<QLineEdit>(&again, "txtEtc"), "7");
    messages.answer(MessageService::Answer::No);
    again.show();
    again.close();
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(loadAgronomic(con, demo.id).Etc, 6);
}

TEST_F(AgronomicWindowsTest, SchedulingModelImportFillsTheGridAndTheCurve) {
    openDemoProject();
    frmDatosTOVREN w(services);
    w.show();
    EXPECT_EQ(w.windowTitle(), "System discharge from the TOVREN results");
    auto* grid = child<QTableWidget>(&w, "msfDTOVREN");
    ASSERT_EQ(grid->columnCount(), 3);
    const auto& headings = TovrenPresenter::gridHeadings();
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(grid->horizontalHeaderItem(c)->text().toStdString(), headings[c]);
    }
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_TRUE(chart(&w)->series().isEmpty());
    EXPECT_EQ(chart(&w)->title(), "Import the TOVREN results file to see their frequency curve");

    // Cancelled dialog: nothing happens.
    click(&w, "cmdImportar");
    EXPECT_EQ(messages.fileFilters.value(0), "Csv (*.csv)");
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_TRUE(messages.messages.isEmpty());

    messages.answerFile(QString::fromStdString(goodFile().string()));
    click(&w, "cmdImportar");
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("|").toStdString();
    ASSERT_EQ(grid->rowCount(), 4);
    // Frequency, Qfc and year of each line, in the file's order.
    EXPECT_EQ(grid->item(0, 0)->text(), "90");
    EXPECT_EQ(grid->item(0, 1)->text(), "0.8");
    EXPECT_EQ(grid->item(0, 2)->text(), "1998");
    EXPECT_EQ(grid->item(3, 1)->text(), "0.6944");
    EXPECT_EQ(text(&w, "lblFichero"), "tovren.csv");
    EXPECT_EQ(messages.statuses.value(0), "4 years were read from 'tovren.csv'");
    auto* curve = seriesNamed(&w, "Qfc (L/s/ha)");
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->count(), 4);
    EXPECT_EQ(curve->at(0), QPointF(10, 0.55));  // ordered by frequency
    EXPECT_EQ(curve->at(3), QPointF(90, 0.8));
    EXPECT_EQ(seriesNamed(&w, "Chosen year"), nullptr) << "no Qfc chosen yet";

    // Choosing a year puts its Qfc into txtQfc and marks it on the curve.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualItemRect(grid->item(2, 0)).center());
    EXPECT_EQ(text(&w, "txtQfc"), "0.62");
    auto* chosen = seriesNamed(&w, "Chosen year");
    ASSERT_NE(chosen, nullptr);
    ASSERT_EQ(chosen->count(), 1);
    EXPECT_EQ(chosen->at(0), QPointF(50, 0.62));
    EXPECT_NE(seriesNamed(&w, "Chosen Qfc"), nullptr);
    grid->setCurrentCell(0, 1);  // the keyboard moves the choice as well
    EXPECT_EQ(text(&w, "txtQfc"), "0.8");
    EXPECT_TRUE(w.hasChanges());

    // A file with a line that cannot be read: the message, and the grid as it was.
    messages.answerFile(QString::fromStdString(
        writeFile("bad.csv", "Year;Qfc;Frequency\n2001;0.1;1\n2002;0.2\n").string()));
    click(&w, "cmdImportar");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0], "The input file as an format error, it must be a CSV file");
    EXPECT_TRUE(messages.details.value(0).contains("line 3"))
        << messages.details.value(0).toStdString();
    EXPECT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->item(0, 1)->text(), "0.8");
    EXPECT_EQ(seriesNamed(&w, "Qfc (L/s/ha)")->count(), 4);
    EXPECT_EQ(text(&w, "lblFichero"), "tovren.csv");
    // A file that is gone says so.
    messages.answerFile(QString::fromStdString((tmp.path() / "gone.csv").string()));
    click(&w, "cmdImportar");
    EXPECT_EQ(messages.messages.size(), 2);
    EXPECT_EQ(grid->rowCount(), 4);

    // The window says what it reads and how Qfc is used.
    EXPECT_TRUE(text(&w, "lblFormato_v").contains("year;Qfc;frequency"));
    EXPECT_TRUE(text(&w, "lblFormato_v").contains("2001;0.65;20"));
    EXPECT_TRUE(text(&w, "lblQfcBruto").startsWith("Qfc is taken as the gross"));
    // A year line out of range is refused naming the line; the grid stays.
    messages.answerFile(QString::fromStdString(
        writeFile("range.csv", "Year;Qfc;Frequency\n2001;0.1;1\n2002;0.2;140\n").string()));
    click(&w, "cmdImportar");
    ASSERT_EQ(messages.messages.size(), 3);
    EXPECT_EQ(messages.messages[2], "Line 3 of the file: the frequency 140 is outside 0 to 100 %");
    EXPECT_EQ(grid->rowCount(), 4);
    // Fields separated by "," where the decimal mark is a point.
    messages.answerFile(QString::fromStdString(
        writeFile("comma.csv", "Year,Qfc,Frequency\n2001,0.1,1\n2002,0.2,40\n").string()));
    click(&w, "cmdImportar");
    EXPECT_EQ(messages.messages.size(), 3);
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(1, 0)->text(), "40");
    EXPECT_EQ(grid->item(1, 1)->text(), "0.2");
    messages.answer(false);
    w.close();
}

TEST_F(AgronomicWindowsTest, SchedulingModelDischargeSaveAndTheDesignScreenProposingIt) {
    Projecto p = Projectos().newProject("Campo");
    p.q = 30;
    Projectos().saveProject(con, p);
    document.setProject(p, false);  // a new empty system
    {
        frmDatosTOVREN w(services);
        w.show();
        EXPECT_EQ(text(&w, "lblCaudal_v"), "30.00");
        // The discharge command names the first input missing.
        click(&w, "cmd_compute_caudal");
        EXPECT_EQ(messages.messages.value(0), "It must be given the continuos discharge value");
        messages.answerFile(QString::fromStdString(goodFile().string()));
        click(&w, "cmdImportar");
        child<QTableWidget>(&w, "msfDTOVREN")->setCurrentCell(3, 0);
        EXPECT_EQ(text(&w, "txtQfc"), "0.6944444444444444");
        click(&w, "cmd_compute_caudal");
        EXPECT_EQ(messages.messages.value(1), "It must be given the field area");
        type(child<QLineEdit>(&w, "txtArea"), "50");
        click(&w, "cmd_compute_caudal");
        EXPECT_EQ(messages.messages.value(2), "It must be given the functioning hours per day");
        type(child<QLineEdit>(&w, "txt_horas"), "0");
        EXPECT_EQ(messages.messages.value(3),
                  "The value for the functioning hours per day must be greater than 0 and up to "
                  "24");
        type(child<QLineEdit>(&w, "txt_horas"), "20");
        click(&w, "cmd_compute_caudal");
        EXPECT_EQ(messages.messages.size(), 4);
        EXPECT_EQ(text(&w, "lblCaudal_v"), "41.67");  // 0.6944... · 50 · 24 / 20

        // The efficiency inputs of this window: their results and messages.
        click(&w, "cmdCalc");
        EXPECT_EQ(messages.messages.value(4), "It must be given the Pa value");
        for (int i = 0; i < 6; ++i) {
            enter(&w, kFills[i][0], kFills[i][1]);
        }
        EXPECT_EQ(text(&w, "lblDEpa_v"), "100.20");
        EXPECT_EQ(text(&w, "lblRe_v"), "0.972");
        EXPECT_EQ(text(&w, "lblEpa_v"), "97.44");
        click(&w, "cmdCalc");
        EXPECT_EQ(messages.messages.size(), 5);

        click(&w, "cmdGuardar");
        EXPECT_EQ(messages.statuses.value(1),
                  "The scheduling-model data of the system 'Campo' were saved");
        EXPECT_FALSE(w.hasChanges());
        w.close();
    }
    EXPECT_TRUE(document.projectStored());
    EXPECT_NEAR(document.project().q, 41.6666667, 1e-6);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tovren_agronomics"), 1);
    const TovrenAgronomics row = loadTovrenAgronomics(con, p.id);
    EXPECT_NEAR(row.Qfc, 25.0 / 36.0, 1e-15);
    EXPECT_EQ(row.hours_per_day, 20);
    EXPECT_EQ(row.epa.Pa, 50);
    EXPECT_EQ(row.epa.Oe, 1);

    // Reopened: the chosen Qfc, the field and the efficiency come back (the grid is the
    // file's, not stored).
    {
        frmDatosTOVREN again(services);
        // The store keeps 15 significant digits.
        const Pair reopened[] = {{"txtQfc", "0.694444444444444"},
                                 {"txtArea", "50"},
                                 {"txt_horas", "20"},
                                 {"txtPa", "50"},
                                 {"cmbCI", "10"},
                                 {"lblEpa_v", "97.44"},
                                 {"lblCaudal_v", "41.67"}};
        for (auto [box, value] : reopened) {
            EXPECT_EQ(text(&again, box), value) << box;
        }
    }

    // The hydraulic design screen proposes the discharge and says where it came from.
    frmDisHid design(services);
    design.show();
    EXPECT_EQ(text(&design, "txtCaudal"), "41.67");
    auto* origin = child<QLabel>(&design, "lblCaudalOrigen");
    EXPECT_EQ(origin->text(), QString::fromUtf8("from the scheduling model, 41.67\u00a0L/s"));
    EXPECT_TRUE(origin->isVisible());
    type(child<QLineEdit>(&design, "txtCaudal"), "45");
    EXPECT_EQ(origin->text(), QString::fromUtf8("the scheduling model gives 41.67\u00a0L/s"));
    type(child<QLineEdit>(&design, "txtHorasOperacion"), "24");
    EXPECT_EQ(origin->text(), QString::fromUtf8("the scheduling model gives 34.72\u00a0L/s"));
    messages.answer(false);
    design.close();

    // A system without agronomic data: no note.
    Projecto other = Projectos().newProject("Otro");
    other.q = 20;
    Projectos().saveProject(con, other);
    document.setProject(other, true);
    frmDisHid plain(services);
    plain.show();
    EXPECT_FALSE(child<QLabel>(&plain, "lblCaudalOrigen")->isVisible());
}

// In US units the boxes with a unit show and take inches a day, acres and gpm per acre, their
// unit labels and the results follow, and what is typed is stored as the exact SI product;
// back in SI the stored values read as they were.
TEST_F(AgronomicWindowsTest, DesignShowsAndTakesTheUnitsChosen) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    const Projecto demo = openDemoProject();  // 65 ha, 20 h a day, 60 L/s
    AgronomicDesign w(services);
    w.show();
    for (const auto& [box, value] : kFills) {
        enter(&w, box, value);
    }
    EXPECT_EQ(text(&w, "lblGIR_v"), "6.16");
    const double siCaudal = text(&w, "lblCaudal_v").toDouble();
    ASSERT_GT(siCaudal, 0);

    showUnits(UnitSystem::US);
    const Pair units[] = {{"lblEtc_u", "in/day"}, {"lblPe_u", "in/day"},   {"lblEto_u", "in/day"},
                          {"lblGIR_u", "in/day"}, {"lblArea_u", "acre"},   {"lblCaudal_u", "gpm"},
                          {"lblU_u", "km/h"},     {"lblHoras_u", "h/day"}, {"lblPa_u", "%"},
                          {"txtEtc", "0.236"},    {"txtEto", "0.197"},     {"txtPe", "0"},
                          {"txtArea", "160.6"},   {"txtKf", "1"},          {"txt_horas", "20"},
                          {"lblGIR_v", "0.242"},  {"lblEpa_v", "97.44"}};
    for (auto [name, shown] : units) {
        EXPECT_EQ(text(&w, name), shown) << name;
    }
    // The discharge in gpm with one decimal (0.06: the SI text is rounded to 0.01 L/s).
    EXPECT_NEAR(text(&w, "lblCaudal_v").toDouble(), siCaudal * 60 / kLitresPerUsGallon, 0.06);
    EXPECT_EQ(text(&w, "lblCaudal_v").section('.', 1).size(), 1);
    // Switching units is no change of the data.
    EXPECT_EQ(w.boxes().Etc, "6");
    EXPECT_EQ(w.boxes().area, "65");

    type(child<QLineEdit>(&w, "txtEtc"), "1");   // in/day
    type(child<QLineEdit>(&w, "txtArea"), "1");  // acre
    EXPECT_EQ(text(&w, "lblGIR_v"), "1.026");    // 1 / 0.9743949
    type(child<QLineEdit>(&w, "txtPe"), "-1");
    EXPECT_EQ(messages.messages.value(0), "The value for the precipitation must be 0 or greater");
    ASSERT_TRUE(w.save());
    const Agronomics stored = loadAgronomic(con, demo.id);
    EXPECT_EQ(stored.Etc, 25.4);
    EXPECT_EQ(stored.epa.Eto, 5) << "not edited: as stored";
    EXPECT_EQ(document.project().areaParcela, kHectaresPerAcre);
    // 0.40468564224 ha · 25.4 mm/day / 0.9743949 · 10000 / 86400 · 24 / 20, in gpm
    const double q = document.project().q;
    EXPECT_NEAR(q, kHectaresPerAcre * 25.4 / 0.9743949 * 10000 / 86400 * 1.2, 1e-6);
    EXPECT_EQ(text(&w, "lblCaudal_v"),
              QString::fromStdString(shownNumber(Quantity::Discharge, UnitSystem::US, q, '.')));

    showUnits(UnitSystem::SI);
    const Pair si[] = {{"lblEtc_u", "mm/day"}, {"lblArea_u", "ha"},   {"lblCaudal_u", "L/s"},
                       {"txtEtc", "25.4"},     {"txtEto", "5"},       {"txtArea", "0.40468564224"},
                       {"lblGIR_v", "26.07"},  {"lblGIR_u", "mm/day"}};
    for (auto [name, shown] : si) {
        EXPECT_EQ(text(&w, name), shown) << name;
    }
    EXPECT_FALSE(w.hasChanges());
}

// The scheduling model's window in US units: Qfc in gpm per acre in its box, grid and unit
// label, the field in acres, the discharge in gpm; a Qfc typed in gpm/acre is stored in
// L/s/ha as the exact product.
TEST_F(AgronomicWindowsTest, SchedulingModelShowsAndTakesTheUnitsChosen) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    Projecto p = Projectos().newProject("Campo");
    p.q = 30;
    Projectos().saveProject(con, p);
    document.setProject(p, false);
    frmDatosTOVREN w(services);
    w.show();
    messages.answerFile(QString::fromStdString(goodFile().string()));
    click(&w, "cmdImportar");
    auto* grid = child<QTableWidget>(&w, "msfDTOVREN");
    grid->setCurrentCell(3, 0);
    EXPECT_EQ(text(&w, "txtQfc"), "0.6944444444444444");

    showUnits(UnitSystem::US);
    constexpr double kGpmPerAcre = kLitresPerUsGallon / 60 / kHectaresPerAcre;  // in L/s/ha
    EXPECT_EQ(text(&w, "lblQfc_u"), "gpm/acre");
    EXPECT_EQ(text(&w, "lblArea_u"), "acre");
    EXPECT_EQ(text(&w, "lblCaudal_u"), "gpm");
    EXPECT_EQ(text(&w, "lblEto_u"), "in/day");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Qfc(gpm/acre)");
    EXPECT_EQ(text(&w, "txtQfc"), "4.45");  // 0.6944 L/s/ha
    EXPECT_EQ(w.boxes().Qfc, "0.6944444444444444") << "shown, not changed";

    type(child<QLineEdit>(&w, "txtQfc"), "1");
    type(child<QLineEdit>(&w, "txtArea"), "1");
    type(child<QLineEdit>(&w, "txt_horas"), "20");
    click(&w, "cmd_compute_caudal");
    EXPECT_EQ(text(&w, "lblCaudal_v"), "1.2");  // 1 gpm/acre · 1 acre · 24 / 20
    ASSERT_TRUE(w.save());
    EXPECT_EQ(text(&w, "lblCaudal_v"), "1.2") << "the stored discharge, not its rounded text";
    const TovrenAgronomics row = loadTovrenAgronomics(con, p.id);
    EXPECT_NEAR(row.Qfc, kGpmPerAcre, 1e-14 * kGpmPerAcre);  // the store keeps 15 digits
    EXPECT_EQ(document.project().areaParcela, kHectaresPerAcre);

    // A year chosen in US units puts the file's Qfc, exactly, into the box.
    grid->setCurrentCell(0, 0);
    EXPECT_EQ(text(&w, "txtQfc"), "5.13");  // 0.80 L/s/ha
    EXPECT_EQ(w.boxes().Qfc, "0.8");

    showUnits(UnitSystem::SI);
    EXPECT_EQ(text(&w, "txtQfc"), "0.8");
    EXPECT_EQ(text(&w, "txtArea"), "0.40468564224");
    EXPECT_EQ(text(&w, "lblQfc_u"), "L/s/ha");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Qfc(L/s/ha)");
}

TEST_F(AgronomicWindowsTest, StartWindowOpensBothAgronomicWindows) {
    openDemoProject();
    frmIniAgronom start(services);
    start.show();
    for (const char* name : {"cmdManual", "cmdOKTOVREN"}) {
        auto* b = child<QPushButton>(&start, name);
        EXPECT_TRUE(b->isEnabled()) << name;
        EXPECT_TRUE(b->toolTip().isEmpty()) << name << ": no 'later version' left";
    }
    const Pair windows[] = {{"cmdManual", "AgronomicDesign"}, {"cmdOKTOVREN", "frmDatosTOVREN"}};
    for (auto [command, window] : windows) {
        click(&start, command);
        EXPECT_FALSE(start.isVisible()) << command;
        QWidget* opened = test::topLevel(window);
        ASSERT_NE(opened, nullptr) << window;
        EXPECT_EQ(child<QLabel>(opened, "lblSistema")->text(), kDemoProjectName);
        test::closeTopLevels(window);
        EXPECT_EQ(test::topLevel(window), nullptr);
        EXPECT_TRUE(start.isVisible()) << window;
    }
}

// Every caption the two windows are built with has its English text in the language file.
TEST_F(AgronomicWindowsTest, EveryCaptionOfBothWindowsIsTranslated) {
    openDemoProject();
    AgronomicDesign design(services);
    frmDatosTOVREN model(services);
    for (QWidget* w : {static_cast<QWidget*>(&design), static_cast<QWidget*>(&model)}) {
        const auto entries =
            readLanguageSection(config.languageFile, w->objectName().toStdString());
        auto translated = [&](const QString& name) {
            return std::any_of(entries.begin(), entries.end(), [&](const TranslationEntry& e) {
                return e.target == name.toStdString() && e.property != "ToolTipText";
            });
        };
        EXPECT_TRUE(translated(w->objectName()));
        for (auto* l : w->findChildren<QLabel*>()) {
            // The result labels and the file name are filled at run time.
            if (!l->objectName().isEmpty() && !l->objectName().endsWith("_v") &&
                l->objectName() != "lblSistema" && l->objectName() != "lblFichero") {
                EXPECT_TRUE(translated(l->objectName())) << l->objectName().toStdString();
            }
        }
        for (auto* b : w->findChildren<QPushButton*>()) {
            EXPECT_TRUE(translated(b->objectName())) << b->objectName().toStdString();
        }
        for (auto* g : w->findChildren<QGroupBox*>()) {
            EXPECT_TRUE(translated(g->objectName())) << g->objectName().toStdString();
        }
    }
    EXPECT_EQ(child<QLabel>(&model, "lblQfc_u")->text(), "L/s/ha");
    EXPECT_EQ(child<QGroupBox>(&design, "fraEficiencia")->title(), "Application efficiency");
}

// Pictures of both windows filled in, for a person to look at: runs only when
// KAMBRIX_SHOT_DIR names a folder, and asserts only that each picture was written.
TEST_F(AgronomicWindowsTest, Screenshots) {
    const char* dir = std::getenv("KAMBRIX_SHOT_DIR");
    if (dir == nullptr) {
        GTEST_SKIP() << "KAMBRIX_SHOT_DIR not set";
    }
    QLocale::setDefault(QLocale::system());
    openDemoProject();
    auto shoot = [&](QWidget* w, const char* name) {
        w->show();
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
        EXPECT_TRUE(w->grab().save(QString::fromLatin1(dir) + "/" + name + ".png")) << name;
    };
    AgronomicDesign design(services);
    for (const auto& [box, value] : kFills) {
        enter(&design, box, QString::fromLatin1(value));
    }
    shoot(&design, "AgronomicDesign");
    frmDatosTOVREN model(services);
    messages.answerFile(QString::fromStdString(goodFile().string()));
    click(&model, "cmdImportar");
    child<QTableWidget>(&model, "msfDTOVREN")->setCurrentCell(3, 0);
    shoot(&model, "frmDatosTOVREN");
}
