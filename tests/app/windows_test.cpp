// SPDX-License-Identifier: GPL-3.0-or-later
//
// Window tests: controls found by object name, typed into and clicked headless; message
// boxes answered by the scripted message service.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <cstdlib>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "gui/app_context.h"
#include "gui/frmAbout.h"
#include "gui/frmBDasp.h"
#include "gui/frmBDtramos.h"
#include "gui/frmDisHid.h"
#include "gui/frmIniAgronom.h"
#include "gui/frmNuevSist.h"
#include "gui/frmPrincipal.h"
#include "shell/services.h"

using namespace kambrix;

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "kambrix-windows-test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

template <class T>
T* child(QWidget* w, const char* name) {
    auto* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void type(QLineEdit* box, const QString& text) {
    box->setText(text);
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(box, &out);
}

class WindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        application();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        app().config = test::freshDatabases(tmp);
        app().config.languageFile =
            std::filesystem::path(KAMBRIX_SOURCE_DIR) / "resources" / "m17n" / "EN_en.txt";
        app().config.imagesFolder =
            std::filesystem::path(KAMBRIX_SOURCE_DIR) / "resources" / "imagens";
        app().messages = messages;
        app().currentProject = Projecto{};
        con.Open(app().config.projectsConnectionString);
    }
    void TearDown() override {
        con.Close();
        QLocale::setDefault(QLocale::c());
    }

    int projectCount() { return test::count(con, "SELECT count(*) AS n FROM projectos"); }

    test::TempFolder tmp{"windows"};
    std::shared_ptr<ScriptedMessageService> messages = std::make_shared<ScriptedMessageService>();
    quarvex::Connection con;
};

}  // namespace

TEST_F(WindowsTest, TranslationAppliesKnownTargetsAndSkipsTheRest) {
    QWidget w;
    w.setObjectName("frmX");
    auto* button = new QPushButton("Salir", &w);
    button->setObjectName("cmdSalir");
    auto* label = new QLabel("Hola", &w);
    label->setObjectName("lbl");
    auto* frame = new QGroupBox("Marco", &w);
    frame->setObjectName("fra");
    auto* edit = new QLineEdit(&w);
    edit->setObjectName("txt");
    auto* tabs = new QTabWidget(&w);
    auto* page = new QWidget;
    page->setObjectName("tabUno");
    tabs->addTab(page, "Uno");
    auto* grid = new QTableWidget(&w);
    grid->setObjectName("grd");
    grid->setProperty("ColumnCaptions", "a;b");
    applyTranslations(&w, {{"frmX", "Caption", "Window"},
                           {"cmdNoSuch", "Caption", "skipped"},
                           {"cmdSalir", "Caption", "Exit"},
                           {"lbl", "NoSuchProperty", "skipped"},
                           {"lbl", "Caption", "Hello"},
                           {"fra", "Caption", "Frame"},
                           {"txt", "Text", "typed"},
                           {"txt", "Caption", "skipped: a text box has no caption"},
                           {"tabUno", "Caption", "One"},
                           {"grd", "ColumnCaptions", "A;B"}});
    EXPECT_EQ(w.windowTitle(), "Window");
    EXPECT_EQ(button->text(), "Exit");
    EXPECT_EQ(label->text(), "Hello");
    EXPECT_EQ(frame->title(), "Frame");
    EXPECT_EQ(edit->text(), "typed");
    EXPECT_EQ(tabs->tabText(0), "One");
    EXPECT_EQ(captionList(grid, "ColumnCaptions"), QStringList({"A", "B"}));
    EXPECT_FALSE(label->property("NoSuchProperty").isValid());
}

TEST_F(WindowsTest, CommaLocaleDisplayAndInput) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(decimalSeparator(), ',');
    EXPECT_EQ(displayNumber(2.5, 2), "2,50");
    EXPECT_EQ(displayNumber(12345.5, 1), "12345,5");  // no group separator to misread
    QLineEdit box;
    box.setText("2,5");
    EXPECT_DOUBLE_EQ(controlNumber(&box, 0), 2.5);
    box.setText("2.5");
    EXPECT_DOUBLE_EQ(controlNumber(&box, 0), 2.5);
    box.setText(" ");
    EXPECT_DOUBLE_EQ(controlNumber(&box, -99), -99);
    EXPECT_EQ(quarvex::sqlNumber(2.5), "2.5");  // stored numbers keep the point
}

TEST_F(WindowsTest, MainWindowShowsEnglishCaptionsAndHandsOver) {
    frmPrincipal main;
    main.show();
    EXPECT_EQ(child<QPushButton>(&main, "cmdDisNuevSist")->text(), "&Design a new system");
    EXPECT_EQ(child<QLabel>(&main, "Label1")->text(), "Pivot Design and Evaluation (Kambrix)");
    EXPECT_FALSE(child<QLabel>(&main, "Picture1")->pixmap().isNull());
    EXPECT_FALSE(child<QPushButton>(&main, "cmdEvalSist")->isEnabled());
    child<QPushButton>(&main, "cmdDisNuevSist")->click();
    EXPECT_FALSE(main.isVisible());
    QWidget* opened = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "frmNuevSist" && w->isVisible()) {
            opened = w;
        }
    }
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->windowTitle(), "Design of a new system");
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.isVisible());
}

TEST_F(WindowsTest, NewSystemReplacementAnsweredNoThenYes) {
    Projectos store;
    Projecto old = store.newProject("Norte");
    old.q = 33;
    old.Tramos.Push(quarvex::statics().Tramos().newTramo(1, "A", 50, 150, 250, 1));
    old.p_tramos_loaded = true;
    store.saveProject(con, old);
    con.Execute("INSERT INTO tb_agronomico (kf, id_sistema) VALUES (1, " + std::to_string(old.id) +
                ")");

    QWidget opener;
    opener.show();
    auto* w = new frmNuevSist;
    openNext(&opener, w);
    EXPECT_EQ(child<QListWidget>(w, "dtalproyecto")->count(), 1);
    child<QRadioButton>(w, "optNuevo")->setChecked(true);
    EXPECT_FALSE(child<QLineEdit>(w, "txtSistemExistente")->isVisibleTo(w));
    EXPECT_EQ(child<QLabel>(w, "lblNuevo")->text(), "Enter the new system name:");

    // Blank name: the requirement message and nothing else.
    child<QPushButton>(w, "cmdAceptar")->click();
    ASSERT_EQ(messages->messages.size(), 1);
    EXPECT_EQ(messages->messages[0], "It must be given the name of the new system");

    child<QLineEdit>(w, "txtDenNuevSist")->setText("Norte");
    messages->answer(false);
    child<QPushButton>(w, "cmdAceptar")->click();
    ASSERT_EQ(messages->questions.size(), 1);
    EXPECT_EQ(messages->questions[0],
              "There is already a project named 'Norte' Do you want to replace it with a new "
              "empty one");
    EXPECT_TRUE(w->isVisible());  // No: the window stays, the store is unchanged
    EXPECT_EQ(child<QLineEdit>(w, "txtDenNuevSist")->text(), "Norte");
    auto kept = store.loadProject(con, store.nameCondition("Norte"), "tramos");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->id, old.id);
    EXPECT_EQ(kept->Tramos.Length(), 1);

    messages->answer(true);
    child<QPushButton>(w, "cmdAceptar")->click();
    EXPECT_EQ(messages->questions.size(), 2);
    auto fresh = store.loadProject(con, store.nameCondition("Norte"), "tramos");
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh->id, old.id);
    EXPECT_DOUBLE_EQ(fresh->q, 0);
    EXPECT_EQ(fresh->Tramos.Length(), 0);
    EXPECT_EQ(projectCount(), 1);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tramos"), 0);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tb_agronomico"), 0);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tb_cartas"), 0);
    EXPECT_EQ(app().currentProject.id, fresh->id);
    EXPECT_EQ(app().currentProjectStored, 0);
    // Handed over to the start window.
    EXPECT_FALSE(w->isVisible());
    QWidget* start = nullptr;
    for (QWidget* t : QApplication::topLevelWidgets()) {
        if (t->objectName() == "frmIniAgronom" && t->isVisible()) {
            start = t;
        }
    }
    ASSERT_NE(start, nullptr);
    EXPECT_FALSE(child<QPushButton>(start, "cmdManual")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(start, "cmdManual")->toolTip().isEmpty());
    EXPECT_EQ(child<QLabel>(start, "lblSistema")->text(), "Norte");
    start->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w->isVisible());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(opener.isVisible());
}

TEST_F(WindowsTest, OpenCopyAndDeleteFromTheSelection) {
    Projectos store;
    Projecto base = store.newProject("Base");
    base.Tramos.Push(quarvex::statics().Tramos().newTramo(1, "A", 50, 150, 250, 1));
    base.p_tramos_loaded = true;
    store.saveProject(con, base);
    frmNuevSist w;
    w.show();
    child<QPushButton>(&w, "cmdAceptar")->click();
    EXPECT_EQ(messages->messages.value(0), "It must be given the name of the system to open");
    child<QRadioButton>(&w, "optNuevJaExist")->setChecked(true);
    child<QPushButton>(&w, "cmdAceptar")->click();
    EXPECT_EQ(messages->messages.value(1),
              "It must be given the name of the base system and the name of the new system");
    child<QListWidget>(&w, "dtalproyecto")->setCurrentRow(0);
    EXPECT_EQ(child<QLineEdit>(&w, "txtSistemExistente")->text(), "Base");
    child<QLineEdit>(&w, "txtDenNuevSist")->setText("Copia");
    child<QPushButton>(&w, "cmdAceptar")->click();
    EXPECT_EQ(app().currentProject.nome, "Copia");
    EXPECT_EQ(app().currentProject.Tramos.Length(), 1);
    EXPECT_EQ(app().currentProjectStored, 1);
    EXPECT_EQ(projectCount(), 2);
    for (QWidget* t : QApplication::topLevelWidgets()) {
        if (t->objectName() == "frmIniAgronom") {
            t->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    child<QRadioButton>(&w, "optConsultar")->setChecked(true);
    child<QLineEdit>(&w, "txtSistemExistente")->setText("Copia");
    messages->answer(false);
    child<QPushButton>(&w, "cmdBorrar")->click();
    EXPECT_EQ(messages->questions.value(0),
              "Please confirm that you want to remove the project 'Copia' ?");
    EXPECT_EQ(projectCount(), 2);
    child<QLineEdit>(&w, "txtSistemExistente")->setText("Copia");
    messages->answer(true);
    child<QPushButton>(&w, "cmdBorrar")->click();
    EXPECT_EQ(projectCount(), 1);
    EXPECT_EQ(child<QListWidget>(&w, "dtalproyecto")->count(), 1);
}

TEST_F(WindowsTest, DesignScreenRefusesIncompletePivotAndTwelfthSpan) {
    app().currentProject = Projectos().newProject("Nuevo");
    Projecto stored = app().currentProject;
    Projectos().saveProject(con, stored);
    app().currentProject = stored;
    frmDisHid w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "Hydraulic design");
    child<QPushButton>(&w, "cmdCalcular")->click();
    ASSERT_EQ(messages->messages.size(), 1);
    EXPECT_EQ(messages->messages[0].toStdString(), incompletePivotMessage());

    auto* count = child<QLineEdit>(&w, "txtNumeroTramos");
    type(count, "3");
    EXPECT_TRUE(child<QComboBox>(&w, "dtcombTramos_3")->isEnabled());
    EXPECT_FALSE(child<QComboBox>(&w, "dtcombTramos_4")->isEnabled());
    type(count, "12");
    ASSERT_EQ(messages->messages.size(), 2);
    EXPECT_EQ(messages->messages[1], "The pivot is limited to 11 spans");
    EXPECT_EQ(count->text(), "3");  // the last accepted value comes back
    type(child<QLineEdit>(&w, "txtCaudal"), "abc");
    EXPECT_EQ(messages->messages.size(), 3);
    EXPECT_TRUE(child<QLineEdit>(&w, "txtCaudal")->text().isEmpty());

    // Spans not chosen: saving is refused and nothing is written.
    messages->clear();
    child<QPushButton>(&w, "cmdGuardar")->click();
    EXPECT_EQ(messages->messages.value(0),
              "There are undefined spans. To save the system all the spans should be complete");
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tramos"), 0);
    // Leaving with changes asks; No closes without saving.
    messages->answer(false);
    w.close();
    EXPECT_EQ(messages->questions.value(0), "Do you want to save the current system?");
    EXPECT_FALSE(w.isVisible());
}

TEST_F(WindowsTest, DesignScreenComputesAndSavesTheDemoPivot) {
    quarvex::Connection tramos(app().config.tramosConnectionString);
    tramos.Open();
    Projecto demo = makeDemoProject(tramos, con);
    Projectos().saveProject(con, demo);
    app().currentProject =
        *Projectos().loadProject(con, Projectos().nameCondition(demo.nome), "tramos");
    frmDisHid w;
    w.show();
    EXPECT_EQ(child<QLineEdit>(&w, "txtNumeroTramos")->text(), "7");
    EXPECT_TRUE(child<QCheckBox>(&w, "chkVoladizo")->isChecked());
    EXPECT_EQ(child<QComboBox>(&w, "cboMaterial")->itemText(0), "");  // the null material
    auto* outlets = child<QTableWidget>(&w, "grdSalidas");
    quarvex::pivot computed = computeIdeal(buildPivot(app().currentProject));
    const auto rows = idealOutletRows(computed);
    ASSERT_EQ(outlets->rowCount(), static_cast<int>(rows.size()));
    EXPECT_EQ(outlets->item(outlets->rowCount() - 1, 0)->text(), "Gun");
    EXPECT_EQ(outlets->item(0, 5)->text(), displayNumber(rows.front().pressao, 1));
    EXPECT_EQ(outlets->horizontalHeaderItem(4)->text(), "Ideal discharge (L/s)");
    EXPECT_EQ(child<QTableWidget>(&w, "grdTramos")->rowCount(), 8);
    auto* chart = child<QChartView>(&w, "chtPerfil")->chart();
    ASSERT_EQ(chart->series().size(), 2);
    auto* pressure = qobject_cast<QLineSeries*>(chart->series()[0]);
    EXPECT_EQ(pressure->name(), "Ideal pressure (kPa)");
    EXPECT_EQ(pressure->count(), static_cast<int>(radiusProfile(computed).size()));

    type(child<QLineEdit>(&w, "txtTempoH100"), "20");
    auto* speeds = child<QTableWidget>(&w, "grdVelocidades");
    ASSERT_EQ(speeds->rowCount(), 10);
    EXPECT_EQ(speeds->item(9, 1)->text(), displayNumber(20, 2));
    EXPECT_EQ(speeds->item(0, 1)->text(), displayNumber(200, 2));

    // A smaller field than the irrigated circle warns.
    type(child<QLineEdit>(&w, "txtArea"), "10");
    EXPECT_EQ(messages->messages.value(0),
              "WARNING!!! The field area is smaller than the irrigated area");
    type(child<QLineEdit>(&w, "txtCaudal"), "55.5");
    child<QPushButton>(&w, "cmdGuardar")->click();
    EXPECT_FALSE(w.hasChanges());
    const auto saved = Projectos().loadProject(con, Projectos().nameCondition(demo.nome), "tramos");
    EXPECT_DOUBLE_EQ(saved->q, 55.5);
    EXPECT_DOUBLE_EQ(saved->areaParcela, 10);
    EXPECT_EQ(saved->Tramos.Length(), 8);
    EXPECT_TRUE(w.checkBeforeWorkbench());
}

TEST_F(WindowsTest, SprinklerCatalogueEditor) {
    frmBDasp w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "Sprinkler catalogue");
    auto* grid = child<QTableWidget>(&w, "grdBoquillas");
    EXPECT_GT(grid->rowCount(), 0);
    auto* chart = child<QChartView>(&w, "chtCurva")->chart();
    ASSERT_EQ(chart->series().size(), 1);
    auto* curve = qobject_cast<QLineSeries*>(chart->series()[0]);
    const double a = controlNumber(child<QLineEdit>(&w, "txtA"), 0);
    const double b = controlNumber(child<QLineEdit>(&w, "txtB"), 0);
    const auto last = curve->points().back();
    EXPECT_DOUBLE_EQ(last.x(), controlNumber(child<QLineEdit>(&w, "txtPmax"), 0));
    EXPECT_NEAR(last.y(), a * std::pow(last.x(), b), 1e-12);  // the law itself

    child<QComboBox>(&w, "cboMarca")->setEditText("  ");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages->messages.value(0), "The brand needs a name");
    child<QComboBox>(&w, "cboMarca")->setEditText("Marca Nueva");
    child<QComboBox>(&w, "cboModelo")->setEditText("Modelo X");
    child<QLineEdit>(&w, "txtBoquilla")->setText("MX 1");
    child<QLineEdit>(&w, "txtQmax")->setText("0");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_NE(messages->messages.value(1).indexOf("incomplete"), -1);
    child<QLineEdit>(&w, "txtQmax")->setText("2");
    EXPECT_TRUE(w.cmdGuardar_Click());
    quarvex::Connection asper(app().config.asperConnectionString);
    asper.Open();
    EXPECT_EQ(test::count(asper,
                          "SELECT count(*) AS n FROM Boquillas b JOIN Modelos m ON "
                          "b.id_modelo=m.id_modelo JOIN marca k ON m.id_marca=k.id_marca "
                          "WHERE k.nome='Marca Nueva' AND m.modelo='Modelo X'"),
              1);
}

TEST_F(WindowsTest, SpanCatalogueEditor) {
    frmBDtramos w;
    w.show();
    auto* grid = child<QTableWidget>(&w, "grdTramos");
    const int before = grid->rowCount();
    EXPECT_GT(before, 0);
    child<QComboBox>(&w, "cboMarca")->setEditText("Ruedasol");
    child<QLineEdit>(&w, "txtDenominacion")->setText("RS 999");
    child<QLineEdit>(&w, "txtLongitud")->setText("50");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_NE(messages->messages.value(0).indexOf("incomplete"), -1);
    child<QLineEdit>(&w, "txtDiametro")->setText("162");
    child<QLineEdit>(&w, "txtSeparacion")->setText("250");
    EXPECT_TRUE(w.cmdGuardar_Click());
    EXPECT_EQ(grid->rowCount(), before + 1);
    child<QLineEdit>(&w, "txtDenominacion")->setText("RS 999");
    child<QLineEdit>(&w, "txtLongitud")->setText("50");
    child<QLineEdit>(&w, "txtDiametro")->setText("162");
    child<QLineEdit>(&w, "txtSeparacion")->setText("250");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages->messages.value(1), "There is already a reference span with that name");
    child<QComboBox>(&w, "cboMarca")->setEditText("");
    EXPECT_FALSE(w.cmdGuardarMarca_Click());
    EXPECT_EQ(messages->messages.value(2), "The brand needs a name");
}

// Pictures of every window for a person to look at: runs only when KAMBRIX_SHOT_DIR names a
// folder (for instance under Xvfb), and asserts only that each picture was written.
TEST_F(WindowsTest, Screenshots) {
    const char* dir = std::getenv("KAMBRIX_SHOT_DIR");
    if (dir == nullptr) {
        GTEST_SKIP() << "KAMBRIX_SHOT_DIR not set";
    }
    quarvex::Connection tramos(app().config.tramosConnectionString);
    tramos.Open();
    Projecto demo = makeDemoProject(tramos, con);
    Projectos().saveProject(con, demo);
    app().currentProject = demo;
    auto shoot = [&](QWidget* w, const char* name) {
        w->show();
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
        EXPECT_TRUE(w->grab().save(QString::fromLatin1(dir) + "/" + name + ".png")) << name;
    };
    frmPrincipal principal;
    shoot(&principal, "frmPrincipal");
    frmAbout about;
    shoot(&about, "frmAbout");
    frmNuevSist selection;
    shoot(&selection, "frmNuevSist");
    child<QRadioButton>(&selection, "optNuevJaExist")->setChecked(true);
    shoot(&selection, "frmNuevSist-copy");
    frmIniAgronom start;
    shoot(&start, "frmIniAgronom");
    frmDisHid design;
    type(child<QLineEdit>(&design, "txtTempoH100"), "20");
    shoot(&design, "frmDisHid");
    auto* tabs = child<QTabWidget>(&design, "tabResultados");
    for (int i = 1; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        shoot(&design, ("frmDisHid-tab" + std::to_string(i)).c_str());
    }
    frmBDasp sprinklers;
    shoot(&sprinklers, "frmBDasp");
    frmBDtramos spans;
    shoot(&spans, "frmBDtramos");
    design.close();
}
