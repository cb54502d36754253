// SPDX-License-Identifier: GPL-3.0-or-later
//
// Window tests: controls found by object name, typed into and clicked headless; message
// boxes answered by the scripted message service.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "design/ideal_results.h"
#include "design/outlet_warnings.h"
#include "design/pivot_design.h"
#include "gui/frmAbout.h"
#include "gui/frmBDasp.h"
#include "gui/frmBDtramos.h"
#include "gui/frmDisHid.h"
#include "gui/frmImportarTabla.h"
#include "gui/frmIniAgronom.h"
#include "gui/frmNuevSist.h"
#include "gui/frmPrincipal.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/scripted_message_service.h"
#include "gui/widgets/tab_page.h"
#include "gui/widgets/translation.h"
#include "gui/widgets/units_view.h"
#include "shell/catalogue_editors.h"
#include "shell/csv.h"
#include "shell/discharge_balance.h"
#include "shell/row_versions.h"
#include "shell/services.h"
#include "windows_test_support.h"

using namespace kambrix;
using test::child;
using test::type;

namespace {

class WindowsTest : public test::WindowFixture {};

// The line series of a chart with that name.
QLineSeries* lineNamed(QChart* chart, const QString& name) {
    for (auto* s : chart->series()) {
        auto* line = qobject_cast<QLineSeries*>(s);
        if (line != nullptr && s->type() == QAbstractSeries::SeriesTypeLine && s->name() == name) {
            return line;
        }
    }
    return nullptr;
}

int seriesNamed(QChart* chart, const QString& name) {
    int n = 0;
    for (auto* s : chart->series()) {
        n += s->name() == name ? 1 : 0;
    }
    return n;
}

// The named controls in the order Tab walks through them, starting at `first`.
QStringList tabWalk(QWidget* first, int steps) {
    QStringList names;
    QWidget* w = first;
    for (int i = 0; i < steps && w != nullptr; ++i) {
        if (!w->objectName().isEmpty() && (w->focusPolicy() & Qt::TabFocus)) {
            names << w->objectName();
        }
        w = w->nextInFocusChain();
        if (w == first) {
            break;
        }
    }
    return names;
}

// True when `names` holds `expected` in this order (others may lie between).
bool inOrder(const QStringList& names, const QStringList& expected) {
    qsizetype at = 0;
    for (const QString& e : expected) {
        const qsizetype found = names.indexOf(e, at);
        if (found < 0) {
            return false;
        }
        at = found + 1;
    }
    return true;
}

// The window lies on the screen's available area and the widget is shown inside it.
void expectFitsOnScreen(QWidget* window, const char* visible) {
    const QRect area = window->screen()->availableGeometry();
    EXPECT_LE(window->width(), area.width()) << window->objectName().toStdString();
    EXPECT_LE(window->height(), area.height()) << window->objectName().toStdString();
    EXPECT_TRUE(area.contains(window->geometry())) << window->objectName().toStdString();
    EXPECT_LE(window->minimumSizeHint().height(), area.height());
    auto* w = child<QWidget>(window, visible);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
    EXPECT_TRUE(window->rect().contains(inWindow)) << visible;
}

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
    // As the program runs under a comma locale: Qt's default locale and the C library's.
    test::CommaLocale comma;
    EXPECT_EQ(decimalSeparator(), ',');
    EXPECT_EQ(screenNumber(2.5, 2), "2,50");
    EXPECT_EQ(screenNumber(-0.001, 2), "0,00");      // no "-0,00"
    EXPECT_EQ(screenNumber(12345.5, 1), "12345,5");  // no group separator to misread
    QLineEdit box;
    box.setText("2,5");
    EXPECT_DOUBLE_EQ(controlNumber(&box, 0), 2.5);
    box.setText("2.5");
    EXPECT_DOUBLE_EQ(controlNumber(&box, 0), 2.5);
    box.setText(" ");
    EXPECT_DOUBLE_EQ(controlNumber(&box, -99), -99);
    EXPECT_FALSE(givenNumber(&box).has_value());
    EXPECT_EQ(quarvex::sqlNumber(2.5), "2.5");  // stored numbers keep the point
}

TEST_F(WindowsTest, MainWindowShowsEnglishCaptionsAndHandsOver) {
    frmPrincipal main(services);
    main.show();
    QApplication::processEvents();
    EXPECT_EQ(child<QPushButton>(&main, "cmdDisNuevSist")->text(), "&Design a new system");
    EXPECT_EQ(child<QLabel>(&main, "Label1")->text(), "Pivot Design and Evaluation (Kambrix)");
    EXPECT_FALSE(child<QLabel>(&main, "Picture1")->pixmap().isNull());
    EXPECT_TRUE(child<QPushButton>(&main, "cmdEvalSist")->isEnabled());
    // The picture follows the window: no scroll bar at the size the window opens with.
    EXPECT_FALSE(child<QScrollBar>(&main, "scrl_v")->isVisible());
    EXPECT_FALSE(child<QScrollBar>(&main, "scrl_h")->isVisible());
    expectFitsOnScreen(&main, "cmdSalir");
    EXPECT_TRUE(inOrder(tabWalk(child<QWidget>(&main, "cmdDisNuevSist"), 40),
                        {"cmdDisNuevSist", "cmdBDasp", "cmdBDtramos", "cmdAbout", "cmdSalir"}));

    child<QPushButton>(&main, "cmdDisNuevSist")->click();
    EXPECT_FALSE(main.isVisible());
    QWidget* opened = test::topLevel("frmNuevSist");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->windowTitle(), "Design of a new system");
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.isVisible());
}

TEST_F(WindowsTest, ClosingTheMainWindowClosesTheOthersUnlessOneRefuses) {
    openDemoProject();
    frmPrincipal main(services);
    main.show();
    QPointer<frmDisHid> design = new frmDisHid(services);
    design->setAttribute(Qt::WA_DeleteOnClose);
    design->show();
    type(child<QLineEdit>(design, "txtCaudal"), "58");
    messages.answer(MessageService::Answer::Cancel);
    main.close();
    EXPECT_EQ(messages.choices.value(0), "Do you want to save the current system?");
    EXPECT_TRUE(main.isVisible());  // the design screen refused: nothing closed
    EXPECT_TRUE(design->isVisible());
    messages.answer(MessageService::Answer::No);
    main.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(design.isNull());
    EXPECT_FALSE(main.isVisible());
    const auto stored =
        Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName), "tramos");
    EXPECT_DOUBLE_EQ(stored->q, 60);  // No: not saved
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
    auto* w = new frmNuevSist(services);
    openNext(&opener, w);
    EXPECT_EQ(child<QListWidget>(w, "dtalproyecto")->count(), 1);
    child<QRadioButton>(w, "optNuevo")->setChecked(true);
    EXPECT_FALSE(child<QLineEdit>(w, "txtSistemExistente")->isVisibleTo(w));
    EXPECT_EQ(child<QLabel>(w, "lblNuevo")->text(), "Enter the new system name:");

    // Blank name: the requirement message and nothing else.
    child<QPushButton>(w, "cmdAceptar")->click();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0], "It must be given the name of the new system");

    child<QLineEdit>(w, "txtDenNuevSist")->setText("Norte");
    messages.answer(false);
    child<QPushButton>(w, "cmdAceptar")->click();
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_EQ(messages.questions[0],
              "There is already a project named 'Norte' Do you want to replace it with a new "
              "empty one");
    EXPECT_EQ(messages.defaults[0], MessageService::Default::No);  // replacing is destructive
    EXPECT_TRUE(w->isVisible());  // No: the window stays, the store is unchanged
    EXPECT_EQ(child<QLineEdit>(w, "txtDenNuevSist")->text(), "Norte");
    auto kept = store.loadProject(con, store.nameCondition("Norte"), "tramos");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->id, old.id);
    EXPECT_EQ(kept->Tramos.Length(), 1);
    EXPECT_FALSE(document.hasProject());

    messages.answer(true);
    child<QPushButton>(w, "cmdAceptar")->click();
    EXPECT_EQ(messages.questions.size(), 2);
    auto fresh = store.loadProject(con, store.nameCondition("Norte"), "tramos");
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh->id, old.id);
    EXPECT_DOUBLE_EQ(fresh->q, 0);
    EXPECT_EQ(fresh->Tramos.Length(), 0);
    EXPECT_EQ(projectCount(), 1);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tramos"), 0);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tb_agronomico"), 0);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tb_cartas"), 0);
    EXPECT_EQ(document.project().id, fresh->id);
    EXPECT_FALSE(document.projectStored());
    // Handed over to the start window.
    EXPECT_FALSE(w->isVisible());
    QWidget* start = test::topLevel("frmIniAgronom");
    ASSERT_NE(start, nullptr);
    // The workbench opens from the start window.
    EXPECT_TRUE(child<QPushButton>(start, "cmdCartaAspersores")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(start, "cmdCartaAspersores")->toolTip().isEmpty());
    EXPECT_EQ(child<QLabel>(start, "lblSistema")->text(), "Norte");
    start->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w->isVisible());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(opener.isVisible());
}

// A new empty system is stored when it is made; left without being saved, it goes again when
// its start window closes. One saved by a design screen stays.
TEST_F(WindowsTest, ANewSystemNeverSavedLeavesNoRecord) {
    QWidget opener;
    opener.show();
    auto* w = new frmNuevSist(services);
    openNext(&opener, w);
    auto* list = child<QListWidget>(w, "dtalproyecto");
    child<QRadioButton>(w, "optNuevo")->setChecked(true);
    child<QLineEdit>(w, "txtDenNuevSist")->setText("Left unsaved");
    child<QPushButton>(w, "cmdAceptar")->click();
    ASSERT_EQ(projectCount(), 1);
    QWidget* start = test::topLevel("frmIniAgronom");
    ASSERT_NE(start, nullptr);
    start->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(projectCount(), 0);
    EXPECT_EQ(list->count(), 0);

    child<QRadioButton>(w, "optNuevo")->setChecked(true);
    child<QLineEdit>(w, "txtDenNuevSist")->setText("Kept");
    child<QPushButton>(w, "cmdAceptar")->click();
    start = test::topLevel("frmIniAgronom");
    ASSERT_NE(start, nullptr);
    Projecto kept = document.project();
    kept.q = 41;
    Projectos().saveProject(con, kept);
    document.projectSaved(kept);  // as the design screens tell a save
    start->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(projectCount(), 1);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "Kept");
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(WindowsTest, OpenCopyAndDeleteFromTheSelection) {
    Projectos store;
    Projecto base = store.newProject("Base");
    base.Tramos.Push(quarvex::statics().Tramos().newTramo(1, "A", 50, 150, 250, 1));
    base.p_tramos_loaded = true;
    store.saveProject(con, base);
    frmNuevSist w(services);
    w.show();
    child<QPushButton>(&w, "cmdAceptar")->click();
    EXPECT_EQ(messages.messages.value(0), "It must be given the name of the system to open");
    child<QRadioButton>(&w, "optNuevJaExist")->setChecked(true);
    child<QPushButton>(&w, "cmdAceptar")->click();
    EXPECT_EQ(messages.messages.value(1),
              "It must be given the name of the base system and the name of the new system");
    child<QListWidget>(&w, "dtalproyecto")->setCurrentRow(0);
    EXPECT_EQ(child<QLineEdit>(&w, "txtSistemExistente")->text(), "Base");
    child<QLineEdit>(&w, "txtDenNuevSist")->setText("Copia");
    child<QPushButton>(&w, "cmdAceptar")->click();
    EXPECT_EQ(document.project().nome, "Copia");
    EXPECT_EQ(document.project().Tramos.Length(), 1);
    EXPECT_TRUE(document.projectStored());
    EXPECT_EQ(projectCount(), 2);
    test::closeTopLevels("frmIniAgronom");

    child<QRadioButton>(&w, "optConsultar")->setChecked(true);
    child<QLineEdit>(&w, "txtSistemExistente")->setText("Copia");
    messages.answer(false);
    child<QPushButton>(&w, "cmdBorrar")->click();
    EXPECT_EQ(messages.questions.value(0),
              "Please confirm that you want to remove the project 'Copia' ?");
    EXPECT_EQ(messages.defaults.at(0), MessageService::Default::No);
    EXPECT_EQ(projectCount(), 2);
    child<QLineEdit>(&w, "txtSistemExistente")->setText("Copia");
    messages.answer(true);
    child<QPushButton>(&w, "cmdBorrar")->click();
    EXPECT_EQ(projectCount(), 1);
    EXPECT_EQ(child<QListWidget>(&w, "dtalproyecto")->count(), 1);
    EXPECT_EQ(messages.statuses.value(0), "The system 'Copia' was removed");
}

TEST_F(WindowsTest, DoubleClickInTheSelectionOpensTheSystem) {
    Projectos store;
    for (const char* name : {"Alfa", "Beta"}) {
        Projecto p = store.newProject(name);
        store.saveProject(con, p);
    }
    frmNuevSist w(services);
    w.show();
    auto* list = child<QListWidget>(&w, "dtalproyecto");
    ASSERT_EQ(list->count(), 2);
    QListWidgetItem* beta = list->item(1);
    const QPoint at = list->visualItemRect(beta).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("|").toStdString();
    EXPECT_EQ(document.project().nome, "Beta");
    EXPECT_FALSE(w.isVisible());
    EXPECT_NE(test::topLevel("frmIniAgronom"), nullptr);
    test::closeTopLevels("frmIniAgronom");
    EXPECT_TRUE(w.isVisible());

    // Choosing the base of a copy: a double click fills the base name and opens nothing.
    child<QRadioButton>(&w, "optNuevJaExist")->setChecked(true);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(child<QLineEdit>(&w, "txtSistemExistente")->text(), "Alfa");
    EXPECT_EQ(document.project().nome, "Beta");
    EXPECT_EQ(test::topLevel("frmIniAgronom"), nullptr);
}

TEST_F(WindowsTest, DesignScreenRefusesIncompletePivotAndTwelfthSpan) {
    Projecto stored = Projectos().newProject("Nuevo");
    Projectos().saveProject(con, stored);
    document.setProject(stored, false);
    frmDisHid w(services);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Hydraulic design");
    child<QPushButton>(&w, "cmdCalcular")->click();
    ASSERT_EQ(messages.messages.size(), 1);
    // The inputs actually missing, not a fixed list.
    EXPECT_EQ(messages.messages[0],
              "The information for the pivot is incomplete. It must be given the design "
              "discharge, the nominal pressure, the ground elevation at the pivot, the pipe "
              "material and the number of spans");

    auto* count = child<QLineEdit>(&w, "txtNumeroTramos");
    type(count, "3");
    EXPECT_TRUE(child<QComboBox>(&w, "dtcombTramos_3")->isEnabled());
    EXPECT_FALSE(child<QComboBox>(&w, "dtcombTramos_4")->isEnabled());
    type(count, "12");
    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_EQ(messages.messages[1], "The pivot is limited to 11 spans");
    EXPECT_EQ(count->text(), "3");  // the last accepted value comes back
    type(count, "-1");
    EXPECT_EQ(messages.messages.value(2),
              "The value for the number of spans must be a whole number from 0 to 11");
    type(child<QLineEdit>(&w, "txtCaudal"), "abc");
    EXPECT_EQ(messages.messages.size(), 4);
    EXPECT_TRUE(child<QLineEdit>(&w, "txtCaudal")->text().isEmpty());
    type(child<QLineEdit>(&w, "txtCaudal"), "1e999");
    EXPECT_EQ(messages.messages.value(4),
              "\"1e999\" is not a number: please enter a number for the design discharge");

    // Spans not chosen: saving is refused, naming them, and nothing is written.
    messages.clear();
    child<QPushButton>(&w, "cmdGuardar")->click();
    EXPECT_EQ(messages.messages.value(0),
              "There are undefined spans. To save the system all the spans should be complete. "
              "Incomplete: span 1 (no reference span and no end elevation), span 2 (no "
              "reference span and no end elevation), span 3 (no reference span and no end "
              "elevation)");
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tramos"), 0);
    // Leaving with changes asks with Cancel as well: Cancel stays, No leaves without saving.
    messages.answer(MessageService::Answer::Cancel);
    w.close();
    EXPECT_EQ(messages.choices.value(0), "Do you want to save the current system?");
    EXPECT_TRUE(w.isVisible());
    messages.answer(false);
    w.close();
    EXPECT_EQ(messages.choices.size(), 2);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM tramos"), 0);
}

// A span missing from the lists is added in the catalogue opened from the design screen;
// when the catalogue closes the lists offer it and what was typed on the screen stays.
TEST_F(WindowsTest, DesignScreenReachesTheSpanCatalogueAndKeepsWhatWasTyped) {
    openDemoProject();
    frmDisHid w(services);
    w.show();
    auto* first = child<QComboBox>(&w, "dtcombTramos_1");
    auto* overhang = child<QComboBox>(&w, "dtcombVoladizo");
    const QString firstSpan = first->currentText();
    const QString overhangSpan = overhang->currentText();
    const int offered = first->count();
    ASSERT_FALSE(firstSpan.isEmpty());
    child<QLineEdit>(&w, "txtPropietario")->setText("Typed owner");
    emit child<QLineEdit>(&w, "txtPropietario")->textEdited("Typed owner");
    type(child<QLineEdit>(&w, "txtCaudal"), "61.5");
    ASSERT_TRUE(w.hasChanges());

    auto* open = child<QPushButton>(&w, "cmdBDtramos");
    EXPECT_EQ(open->text(), "Span catalogue…");
    open->click();
    open->click();  // the open editor comes forward, no second one
    const auto editors = w.findChildren<QWidget*>("frmBDtramos");
    ASSERT_EQ(editors.size(), 1);
    auto* spans = static_cast<frmBDtramos*>(editors[0]);
    EXPECT_TRUE(spans->isVisible());
    child<QComboBox>(spans, "cboMarca")->setEditText("Ruedasol");
    child<QLineEdit>(spans, "txtDenominacion")->setText("RS 2025");
    child<QLineEdit>(spans, "txtLongitud")->setText("48.5");
    child<QLineEdit>(spans, "txtDiametro")->setText("162");
    child<QLineEdit>(spans, "txtSeparacion")->setText("250");
    ASSERT_TRUE(spans->cmdGuardar_Click());
    spans->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.findChildren<QWidget*>("frmBDtramos").isEmpty());

    EXPECT_EQ(first->count(), offered + 1);
    EXPECT_GE(first->findText("RS 2025"), 0);
    EXPECT_GE(child<QComboBox>(&w, "dtcombTramos_7")->findText("RS 2025"), 0);
    EXPECT_GE(overhang->findText("RS 2025"), 0);
    EXPECT_EQ(first->currentText(), firstSpan);
    EXPECT_EQ(overhang->currentText(), overhangSpan);
    EXPECT_EQ(child<QLineEdit>(&w, "txtPropietario")->text(), "Typed owner");
    EXPECT_EQ(child<QLineEdit>(&w, "txtCaudal")->text(), "61.5");
    EXPECT_TRUE(w.hasChanges());
    // The new span is used as any other.
    first->setCurrentIndex(first->findText("RS 2025"));
    ASSERT_GT(w.project().Tramos.Length(), 0);
    EXPECT_EQ(w.project().Tramos(1).denominacion, "RS 2025");
    EXPECT_DOUBLE_EQ(w.project().Tramos(1).longitude, 48.5);
    messages.answer(MessageService::Answer::No);
    w.close();
}

// The ideal discharges of the outlets and the gun against the design discharge: the parts
// of the difference add up to it, on the demo pivot as on a span the spacing does not cover.
TEST_F(WindowsTest, DesignScreenShowsTheDischargeBalance) {
    openDemoProject();
    frmDisHid w(services);
    w.show();
    const quarvex::pivot computed = computeIdeal(buildPivot(document.project()));
    const DischargeBalance b = idealDischargeBalance(computed);
    double sum = 0;
    for (const auto& ref : outletsInOrder(computed)) {
        sum += ref.outlet->caudal;
    }
    EXPECT_NEAR(b.total(), sum, 1e-9);
    EXPECT_DOUBLE_EQ(b.design, document.project().q);
    EXPECT_GT(b.endGun, 0);
    EXPECT_GT(b.gunRing, 0);
    EXPECT_NEAR(b.difference(), b.outerEdge - b.uncovered - b.gunRing, 1e-9);
    const QString shown = child<QLabel>(&w, "lblBalanceCaudal_v")->text();
    EXPECT_EQ(shown.toStdString(), dischargeBalanceText(b, '.'));
    EXPECT_TRUE(shown.startsWith("Outlets ")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("2·L·rs/R²")) << shown.toStdString();

    // One span of 50 m with outlets every 3 m: 16 outlets cover 48 m, 2 m are left.
    Projecto one = Projectos().newProject("One span");
    one.q = 30;
    one.p = 250;
    one.cotaCentral = 0;
    one.pipe_material = quarvex::statics().PipeMaterials().All(con).Item(1);
    one.p_pipe_material_id = one.pipe_material.id;
    one.Tramos.Push(quarvex::statics().Tramos().newTramo(1, "A", 50, 150, 300, 0));
    one.p_tramos_loaded = true;
    const DischargeBalance short2 = idealDischargeBalance(computeIdeal(buildPivot(one)));
    ASSERT_EQ(short2.stretches.size(), 1u);
    EXPECT_EQ(short2.stretches[0].span, "span 1");
    EXPECT_NEAR(short2.stretches[0].length, 2, 1e-9);
    // 30 L/s over 50²: 16 outlets at 3 m add 16·9 m², the 48..50 m ring (196 m²) is nobody's.
    EXPECT_NEAR(short2.outerEdge, 30.0 * 16 * 9 / 2500, 1e-9);
    EXPECT_NEAR(short2.uncovered, 30.0 * (2500 - 2304) / 2500, 1e-9);
    EXPECT_NEAR(short2.difference(), short2.outerEdge - short2.uncovered, 1e-9);
    EXPECT_EQ(short2.gunRing, 0);
    const std::string text = dischargeBalanceText(short2, ',');
    EXPECT_NE(text.find("(span 1 2,00 m)"), std::string::npos) << text;
    EXPECT_EQ(text.find("end gun"), std::string::npos) << text;
}

TEST_F(WindowsTest, DesignScreenComputesAndSavesTheDemoPivot) {
    openDemoProject();
    frmDisHid w(services);
    w.show();
    EXPECT_EQ(child<QLineEdit>(&w, "txtNumeroTramos")->text(), "7");
    EXPECT_TRUE(child<QCheckBox>(&w, "chkVoladizo")->isChecked());
    EXPECT_EQ(child<QComboBox>(&w, "cboMaterial")->itemText(0), "");  // the null material
    EXPECT_TRUE(child<QPushButton>(&w, "cmdCartaAspersores")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(&w, "cmdCartaAspersores")->toolTip().isEmpty());
    auto* outlets = child<QTableWidget>(&w, "grdSalidas");
    quarvex::pivot computed = computeIdeal(buildPivot(document.project()));
    const auto rows = idealOutletRows(computed);
    ASSERT_EQ(outlets->rowCount(), static_cast<int>(rows.size()));
    EXPECT_EQ(outlets->item(outlets->rowCount() - 1, 0)->text(), "Gun");
    EXPECT_EQ(outlets->item(0, 5)->text(), screenNumber(rows.front().pressao, 1));
    EXPECT_EQ(outlets->horizontalHeaderItem(4)->text(), "Ideal discharge (L/s)");
    EXPECT_EQ(child<QTableWidget>(&w, "grdTramos")->rowCount(), 8);
    auto* chart = child<QChartView>(&w, "chtPerfil")->chart();
    auto* pressure = lineNamed(chart, "Ideal pressure (kPa)");
    ASSERT_NE(pressure, nullptr);
    EXPECT_EQ(pressure->count(), static_cast<int>(radiusProfile(computed).size()));
    ASSERT_NE(lineNamed(chart, "Ground elevation (m)"), nullptr);
    EXPECT_EQ(seriesNamed(chart, "Towers"), 7);  // one mark per fixed span
    EXPECT_EQ(seriesNamed(chart, "Pressure below 0 kPa"), 0);
    EXPECT_TRUE(child<QLabel>(&w, "lblAviso")->text().isEmpty());

    type(child<QLineEdit>(&w, "txtTempoH100"), "20");
    auto* speeds = child<QTableWidget>(&w, "grdVelocidades");
    ASSERT_EQ(speeds->rowCount(), 10);
    EXPECT_EQ(speeds->item(9, 1)->text(), screenNumber(20, 2));
    EXPECT_EQ(speeds->item(0, 1)->text(), screenNumber(200, 2));

    // A smaller field than the irrigated circle warns.
    type(child<QLineEdit>(&w, "txtArea"), "10");
    EXPECT_EQ(messages.messages.value(0),
              "WARNING!!! The field area is smaller than the irrigated area");
    type(child<QLineEdit>(&w, "txtCaudal"), "55.5");
    child<QLineEdit>(&w, "txtPropietario")->setText("Finca El Olmo");
    type(child<QLineEdit>(&w, "txtHorasOperacion"), "20");
    type(child<QLineEdit>(&w, "txtHorasOperacion"), "25");  // more than a day
    EXPECT_EQ(messages.messages.value(1),
              "The value for the daily operating hours must be greater than 0 and up to 24");
    child<QPushButton>(&w, "cmdGuardar")->click();
    EXPECT_FALSE(w.hasChanges());
    EXPECT_EQ(messages.statuses.value(0), "The system 'Demo pivot (7 spans)' was saved");
    const auto saved =
        Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName), "tramos");
    EXPECT_DOUBLE_EQ(saved->q, 55.5);
    EXPECT_DOUBLE_EQ(saved->areaParcela, 10);
    EXPECT_EQ(saved->propietario, "Finca El Olmo");
    EXPECT_DOUBLE_EQ(saved->horas_de_operacao_diaria, 20);
    EXPECT_EQ(saved->Tramos.Length(), 8);
    EXPECT_EQ(document.project().propietario, "Finca El Olmo");  // the document is told
    EXPECT_TRUE(w.checkBeforeWorkbench());

    // Opened again, the screen shows what was saved.
    frmDisHid again(services);
    EXPECT_EQ(child<QLineEdit>(&again, "txtPropietario")->text(), "Finca El Olmo");
    EXPECT_EQ(child<QLineEdit>(&again, "txtHorasOperacion")->text(), screenNumber(20, 1));
}

TEST_F(WindowsTest, DesignScreenSwitchesUnitsWithoutChangingTheDesign) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    openDemoProject();
    frmDisHid w(services);
    w.show();
    auto* caudal = child<QLineEdit>(&w, "txtCaudal");
    auto* outlets = child<QTableWidget>(&w, "grdSalidas");
    const QString siCaudal = caudal->text();
    const QString siDistance = outlets->item(3, 2)->text();
    EXPECT_EQ(child<QLabel>(&w, "lblCaudal")->text(), "Design discharge (L/s)");
    const auto xTitle = [&] {
        return child<QChartView>(&w, "chtPerfil")
            ->chart()
            ->axes(Qt::Horizontal)
            .value(0)
            ->titleText();
    };
    EXPECT_EQ(xTitle(), "Distance from the pivot (m)");
    const double q = document.project().q;

    // The open window redraws in US units: boxes, captions, grid headings and cells, axes.
    showUnits(UnitSystem::US);
    EXPECT_EQ(caudal->text(), screenNumber(toShown(Quantity::Discharge, UnitSystem::US, q), 1));
    EXPECT_EQ(child<QLabel>(&w, "lblCaudal")->text(), "Design discharge (gpm)");
    EXPECT_EQ(child<QLabel>(&w, "lblPresion")->text(), "Nominal pressure at the pivot (psi)");
    EXPECT_EQ(outlets->horizontalHeaderItem(2)->text(), "Distance (ft)");
    EXPECT_EQ(outlets->horizontalHeaderItem(5)->text(), "Ideal pressure (psi)");
    EXPECT_NEAR(outlets->item(3, 2)->text().toDouble(), siDistance.toDouble() / 0.3048, 0.06);
    EXPECT_EQ(xTitle(), "Distance from the pivot (ft)");
    EXPECT_TRUE(child<QLabel>(&w, "lblAreaRegada")->text().contains(" acre, R = "));

    // Saving what is only shown in other units changes nothing.
    child<QPushButton>(&w, "cmdGuardar")->click();
    auto stored = [&] {
        return *Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName), "tramos");
    };
    EXPECT_EQ(stored().q, q);

    // Typed in gpm and psi, stored as the exact product by the definitions.
    type(caudal, "1000");
    type(child<QLineEdit>(&w, "txtPresionPivot"), "50");
    type(child<QLineEdit>(&w, "txtPresionPivot"), "300");  // beyond 2000 kPa
    EXPECT_EQ(messages.messages.value(0),
              "The value for the nominal pressure must be greater than 0 and up to 290.07 psi");
    child<QPushButton>(&w, "cmdGuardar")->click();
    const auto us = stored();
    EXPECT_NEAR(us.q, 1000 * 3.785411784 / 60, 1e-12 * us.q);
    EXPECT_NEAR(us.p, 50 * 6.894757293168, 1e-12 * us.p);
    const QStringList usResults = [&] {
        QStringList out;
        auto* spans = child<QTableWidget>(&w, "grdTramos");
        for (int r = 0; r < spans->rowCount(); ++r) {
            out << spans->item(r, 2)->text();
        }
        return out;
    }();

    // Back in SI the same pivot reads in metres and L/s.
    showUnits(UnitSystem::SI);
    EXPECT_EQ(caudal->text(), "63.0901964");
    EXPECT_EQ(child<QLabel>(&w, "lblCaudal")->text(), "Design discharge (L/s)");
    EXPECT_EQ(outlets->horizontalHeaderItem(2)->text(), "Distance (m)");
    EXPECT_EQ(xTitle(), "Distance from the pivot (m)");
    // The same design typed in SI gives the same records.
    type(caudal, "63.0901964");
    type(child<QLineEdit>(&w, "txtPresionPivot"), "344.7378646584");
    child<QPushButton>(&w, "cmdGuardar")->click();
    EXPECT_NEAR(stored().q, us.q, 1e-9 * us.q);
    EXPECT_NEAR(stored().p, us.p, 1e-9 * us.p);
    auto* spans = child<QTableWidget>(&w, "grdTramos");
    showUnits(UnitSystem::US);
    for (int r = 0; r < spans->rowCount(); ++r) {
        EXPECT_EQ(spans->item(r, 2)->text(), usResults.value(r)) << "span row " << r;
    }
}

TEST_F(WindowsTest, DesignScreenTakesABlankBoxAsNotGiven) {
    openDemoProject();
    frmDisHid w(services);
    w.show();
    ASSERT_GT(child<QTableWidget>(&w, "grdSalidas")->rowCount(), 0);
    // A blank end elevation leaves span 3 incomplete: no results, and it is named.
    type(child<QLineEdit>(&w, "txtCotas_3"), "");
    EXPECT_EQ(child<QTableWidget>(&w, "grdSalidas")->rowCount(), 0);
    child<QPushButton>(&w, "cmdCalcular")->click();
    EXPECT_EQ(messages.messages.value(0),
              "The information for the pivot is incomplete. It must be given the end elevation "
              "of span 3");
    child<QPushButton>(&w, "cmdGuardar")->click();
    EXPECT_EQ(messages.messages.value(1),
              "There are undefined spans. To save the system all the spans should be complete. "
              "Incomplete: span 3 (no end elevation)");
    // 0 is a value: the span is complete again (it cannot be placed, which is named).
    type(child<QLineEdit>(&w, "txtCotas_3"), "0");
    child<QPushButton>(&w, "cmdCalcular")->click();
    // Span 4 climbs back from 0 m: it cannot be placed either.
    EXPECT_EQ(messages.messages.value(2),
              "The end elevation of span 3 differs from the elevation before it by more than "
              "the span's length. The end elevation of span 4 differs from the elevation before "
              "it by more than the span's length");
    type(child<QLineEdit>(&w, "txtCotas_3"), "101,3");
    EXPECT_EQ(messages.messages.value(3),
              "\"101,3\" is not a number: please enter a number for the end elevation of span 3");
    type(child<QLineEdit>(&w, "txtCotas_3"), "101.3");
    EXPECT_GT(child<QTableWidget>(&w, "grdSalidas")->rowCount(), 0);

    // An end gun without its wetted radius is refused on save, pointing at the box.
    type(child<QLineEdit>(&w, "txt_gun_rs"), "");
    messages.clear();
    child<QPushButton>(&w, "cmdGuardar")->click();
    EXPECT_EQ(messages.messages.value(0), "It must be given the wetted radius of the end gun");
    EXPECT_EQ(w.focusWidget(), child<QLineEdit>(&w, "txt_gun_rs"));
    const auto stored =
        Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName), "tramos");
    EXPECT_DOUBLE_EQ(stored->endGun.rs, document.project().endGun.rs);  // nothing saved
    EXPECT_GT(stored->endGun.rs, 0);
    // Without the end gun the same project saves.
    child<QCheckBox>(&w, "chk_gun_active")->setChecked(false);
    EXPECT_TRUE(w.save());
}

TEST_F(WindowsTest, DesignScreenWarnsWhenThePressureFallsBelowZero) {
    Projecto p = openDemoProject();
    p.p = 40;  // far too little for 440 m of pipe at 60 L/s
    ASSERT_TRUE(firstNegativePressure(computeIdeal(buildPivot(p))).has_value());
    document.setProject(p, true);
    frmDisHid w(services);
    w.show();
    const QString warning = child<QLabel>(&w, "lblAviso")->text();
    EXPECT_TRUE(warning.startsWith("WARNING!!! The ideal pressure falls below 0 kPa at "))
        << warning.toStdString();
    child<QPushButton>(&w, "cmdCalcular")->click();
    EXPECT_EQ(messages.messages.value(0), warning);
    auto* chart = child<QChartView>(&w, "chtPerfil")->chart();
    QScatterSeries* marked = nullptr;
    for (auto* s : chart->series()) {
        if (s->name() == "Pressure below 0 kPa") {
            marked = qobject_cast<QScatterSeries*>(s);
        }
    }
    ASSERT_NE(marked, nullptr);
    EXPECT_GT(marked->count(), 0);
    for (const QPointF& pt : marked->points()) {
        EXPECT_LT(pt.y(), 0);
    }
    EXPECT_EQ(seriesNamed(chart, "0 kPa"), 1);
    // The grid marks the same outlets.
    auto* grid = child<GridView>(&w, "grdSalidas");
    const int last = grid->rowCount() - 1;
    EXPECT_EQ(grid->table().rows[static_cast<std::size_t>(last)].flag, CellFlag::Error);
    EXPECT_FALSE(grid->item(last, 0)->toolTip().isEmpty());
}

TEST_F(WindowsTest, DesignScreenFitsTheScreenWithItsButtonsAndTabsInOrder) {
    openDemoProject();
    frmDisHid w(services);
    w.show();
    QApplication::processEvents();
    for (const char* button : {"cmdCalcular", "cmdGuardar", "cmdSalir"}) {
        expectFitsOnScreen(&w, button);
    }
    EXPECT_TRUE(inOrder(tabWalk(child<QWidget>(&w, "txtPropietario"), 200),
                        {"txtPropietario", "txtCaudal",   "txtPresionPivot",   "txtCotaInicial",
                         "cboMaterial",    "txtArea",     "txtHorasOperacion", "txtNumeroTramos",
                         "dtcombTramos_1", "txtCotas_1",  "dtcombTramos_2",    "txtCotas_2",
                         "txtCotas_7",     "chkVoladizo", "dtcombVoladizo",    "chk_gun_active",
                         "txt_gun_rs",     "cmdCalcular", "cmdGuardar",        "cmdSalir"}));
    frmBDasp sprinklers(services);
    sprinklers.show();
    expectFitsOnScreen(&sprinklers, "cmdGuardar");
    frmBDtramos spans(services);
    spans.show();
    expectFitsOnScreen(&spans, "cmdGuardar");
    frmNuevSist selection(services);
    selection.show();
    expectFitsOnScreen(&selection, "cmdAceptar");
    frmIniAgronom start(services);
    start.show();
    expectFitsOnScreen(&start, "Command1");
}

TEST_F(WindowsTest, ReadOnlyDatabaseFolderSaysSoWithoutSql) {
    openDemoProject();
    frmDisHid w(services);
    frmBDasp sprinklers(services);
    w.show();
    test::ReadOnlyFolder readOnly(config.databaseFolder);
    if (!readOnly.active()) {
        GTEST_SKIP() << "this file system cannot be made read-only here";
    }
    type(child<QLineEdit>(&w, "txtCaudal"), "50");
    EXPECT_FALSE(w.save());
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0],
              "The system could not be saved: the database folder is read-only");
    EXPECT_FALSE(messages.details[0].isEmpty());  // the database's words, behind Show details
    EXPECT_TRUE(w.hasChanges());

    child<QLineEdit>(&sprinklers, "txtBoquilla")->setText("AQ-F 2.00 mm (b)");
    EXPECT_FALSE(sprinklers.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(1),
              "The sprinkler catalogue could not be saved: the database folder is read-only");
    for (const QString& m : messages.messages) {
        for (const char* word : {"SQL", "UPDATE", "INSERT", "sqlite", "readonly"}) {
            EXPECT_FALSE(m.contains(word, Qt::CaseInsensitive)) << m.toStdString();
        }
    }
}

TEST_F(WindowsTest, SprinklerCatalogueEditor) {
    frmBDasp w(services);
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
    EXPECT_DOUBLE_EQ(a, 0.00422074);                          // the form holds every digit stored

    child<QComboBox>(&w, "cboMarca")->setEditText("  ");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(0), "The brand needs a name");
    // A new brand typed letter by letter is taken as typed and clears the nozzle form.
    auto* brand = child<QComboBox>(&w, "cboMarca");
    brand->setEditText(QString());
    QTest::keyClicks(brand->lineEdit(), "Aq");
    EXPECT_EQ(brand->currentText(), "Aq");
    EXPECT_EQ(grid->rowCount(), 0);
    for (const char* box :
         {"txtBoquilla", "txtA", "txtB", "txtPmin", "txtPmax", "txtQmin", "txtQmax"}) {
        EXPECT_TRUE(child<QLineEdit>(&w, box)->text().isEmpty()) << box;
    }
    EXPECT_EQ(w.selectedNozzle(), 0);
    brand->setEditText("Marca Nueva");
    child<QComboBox>(&w, "cboModelo")->setEditText("Modelo X");
    child<QLineEdit>(&w, "txtBoquilla")->setText("MX 1");
    const std::pair<const char*, const char*> values[] = {{"txtA", "0.01"},
                                                          {"txtB", "0.5"},
                                                          {"txtPmin", "100"},
                                                          {"txtPmax", "300"},
                                                          {"txtQmin", "0.1"}};
    for (const auto& [box, value] : values) {
        child<QLineEdit>(&w, box)->setText(value);
    }
    EXPECT_FALSE(w.cmdGuardar_Click());  // the maximum discharge was not given
    EXPECT_EQ(messages.messages.value(1),
              "The information for the nozzle is incomplete. It must be given the maximum "
              "discharge");
    child<QLineEdit>(&w, "txtQmax")->setText("0");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(2),
              "The value for the maximum discharge must be greater than 0 and up to 100 L/s");
    child<QLineEdit>(&w, "txtQmax")->setText("0.05");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(3),
              "The maximum discharge must be greater than the minimum discharge");
    EXPECT_EQ(w.focusWidget(), child<QLineEdit>(&w, "txtQmax"));
    child<QLineEdit>(&w, "txtQmax")->setText("2");
    child<QLineEdit>(&w, "txtPmax")->setText("1e999");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(4),
              "\"1e999\" is not a number: please enter a number for the maximum pressure");
    child<QLineEdit>(&w, "txtPmax")->setText("300,5");  // a comma in a point locale
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(5),
              "\"300,5\" is not a number: please enter a number for the maximum pressure");
    child<QLineEdit>(&w, "txtPmax")->setText("90");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(6),
              "The maximum pressure must be greater than the minimum pressure");
    child<QLineEdit>(&w, "txtPmax")->setText("300");
    EXPECT_TRUE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.statuses.value(0), "The nozzle 'MX 1' was saved");
    quarvex::Connection asper(config.asperConnectionString);
    asper.Open();
    const std::string newNozzle =
        "SELECT count(*) AS n FROM Boquillas b JOIN Modelos m ON b.id_modelo=m.id_modelo JOIN "
        "marca k ON m.id_marca=k.id_marca WHERE k.nome='Marca Nueva' AND m.modelo='Modelo X'";
    EXPECT_EQ(test::count(asper, newNozzle), 1);
    EXPECT_GT(w.selectedNozzle(), 0);  // the new nozzle is the one in the form

    // Corrected in place: no second nozzle.
    child<QLineEdit>(&w, "txtPmax")->setText("350");
    EXPECT_TRUE(w.cmdGuardar_Click());
    EXPECT_EQ(test::count(asper, newNozzle), 1);
    EXPECT_EQ(test::count(asper, newNozzle + " AND b.pmax=350"), 1);
    EXPECT_TRUE(messages.questions.isEmpty());  // no chart uses it
}

// The coefficient a in US units: q in gpm and p in psi, so it depends on b. A stored a shown
// in other units reads back exactly, also when b changes; an a typed in gpm and psi is
// stored as the a in L/s and kPa that gives the same discharge at the same pressure.
TEST_F(WindowsTest, SprinklerCatalogueShowsTheCoefficientInTheUnitsChosen) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    messages.defaultAnswer = true;  // a change of a nozzle charts mount is confirmed
    frmBDasp w(services);
    w.show();
    auto* a = child<QLineEdit>(&w, "txtA");
    auto* b = child<QLineEdit>(&w, "txtB");
    auto* lblA = child<QLabel>(&w, "lblA");
    auto* grid = child<QTableWidget>(&w, "grdBoquillas");
    const double aSi = controlNumber(a, 0);
    const double bSi = controlNumber(b, 0);
    ASSERT_GT(aSi, 0);
    EXPECT_EQ(lblA->text(), "Coefficient a (q in L/s, p in kPa)");
    const auto storedA = [&] {
        double out = 0;
        readSprinklerCatalogue(config.asperConnectionString)
            .nozzles.ForEach([&](const std::shared_ptr<quarvex::Aspersor>& n) {
                if (n->id() == w.selectedNozzle()) {
                    out = n->aValue();
                }
            });
        return out;
    };

    showUnits(UnitSystem::US);
    EXPECT_EQ(lblA->text(), "Coefficient a (q in gpm, p in psi)");
    EXPECT_EQ(child<QLabel>(&w, "lblPmin")->text(), "Minimum pressure (psi)");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "a (gpm, psi)");
    // Six significant digits of the a of q in gpm, p in psi.
    const double aUs = nozzleCoefficientToShown(UnitSystem::US, aSi, bSi);
    EXPECT_NEAR(a->text().toDouble(), aUs, 5e-6 * aUs);
    EXPECT_NEAR(grid->item(0, 1)->text().toDouble(), aUs, 1e-3 * aUs);
    EXPECT_FALSE(w.hasUnsavedNozzle()) << "showing other units changes no nozzle";

    // Another b: a is shown again from the stored a, which is saved unchanged.
    type(b, "0.6");
    const double aUs06 = nozzleCoefficientToShown(UnitSystem::US, aSi, 0.6);
    EXPECT_NEAR(a->text().toDouble(), aUs06, 5e-6 * aUs06);
    ASSERT_TRUE(w.cmdGuardar_Click()) << messages.messages.join("|").toStdString();
    EXPECT_EQ(storedA(), aSi);

    // A typed in US units: the stored a gives the same discharge at the same pressure.
    type(a, "0.5");
    ASSERT_TRUE(w.cmdGuardar_Click()) << messages.messages.join("|").toStdString();
    const double aTyped = storedA();
    const double p_kPa = 300;
    const double q_gpm = 0.5 * std::pow(p_kPa / kKiloPascalPerPsiExact, 0.6);
    const double q_Ls = q_gpm * kLitresPerUsGallon / 60;
    EXPECT_NEAR(aTyped * std::pow(p_kPa, 0.6), q_Ls, 1e-12 * q_Ls);
    EXPECT_EQ(a->text(), "0.5") << "the saved nozzle is shown back as typed";
    // Out of its range in the shown units: the message states the range in them.
    type(a, "1e6");
    const double top = nozzleCoefficientToShown(UnitSystem::US, 100, 0.6);
    EXPECT_TRUE(messages.messages.back().startsWith(
        "The value for the coefficient a must be greater than 0 and up to "))
        << messages.messages.back().toStdString();
    EXPECT_NEAR(messages.messages.back().section(' ', -1).toDouble(), top, 1e-4 * top);

    showUnits(UnitSystem::SI);
    EXPECT_EQ(lblA->text(), "Coefficient a (q in L/s, p in kPa)");
    EXPECT_EQ(b->text(), "0.6");
    // Twelve significant digits on screen; the form keeps every one for the save.
    EXPECT_NEAR(controlNumber(a, 0), aTyped, 1e-11 * aTyped);
    EXPECT_FALSE(w.hasUnsavedNozzle());
    ASSERT_TRUE(w.cmdGuardar_Click());
    EXPECT_EQ(storedA(), aTyped) << "saved again in SI: the same a";
}

TEST_F(WindowsTest, MakersTableIsFittedAndAddedToTheCatalogue) {
    // A table as a spreadsheet of a comma locale saves it. #10 and #12 follow q = a·p^0.5
    // exactly; #14 has a misprint at 200 kPa.
    const auto file = tmp.path() / "maker.csv";
    std::ofstream(file) << "Boquilla;Presión (kPa);Caudal (l/s)\r\n"
                           "#10;100;0,20\r\n#10;400;0,40\r\n"
                           "#12;100;0,30\r\n#12;400;0,60\r\n"
                           "#14;100;0,40\r\n#14;200;0,70\r\n#14;400;0,80\r\n";
    const auto bad = tmp.path() / "bad.csv";
    std::ofstream(bad) << "n;p;q\r\n#10;100;abc\r\n";

    frmBDasp catalogue(services);
    catalogue.show();
    catalogue.cmdImportarTabla_Click();
    auto* w = catalogue.findChild<frmImportarTabla*>();
    ASSERT_NE(w, nullptr);
    catalogue.cmdImportarTabla_Click();  // the open one comes forward, no second one
    EXPECT_EQ(catalogue.findChildren<frmImportarTabla*>().size(), 1);
    EXPECT_EQ(w->windowTitle(), "Import a maker's nozzle table");
    auto* grid = child<QTableWidget>(w, "grdAjustes");
    auto* chart = child<QChartView>(w, "chtAjuste");
    EXPECT_EQ(chart->chart()->title(), "Open a table to see its nozzles");
    EXPECT_FALSE(w->cmdImportar_Click());
    EXPECT_EQ(messages.messages.value(0), "Please open a maker's table first");

    EXPECT_FALSE(w->loadFile(QString::fromStdString(bad.string())));
    EXPECT_EQ(messages.messages.value(1),
              "Line 2 of the table: the discharge \"abc\" is not a number");
    EXPECT_FALSE(w->loadFile(QString::fromStdString((tmp.path() / "none.csv").string())));
    EXPECT_TRUE(messages.messages.value(2).startsWith("The file "))
        << messages.messages.value(2).toStdString();

    messages.answerFile(QString::fromStdString(file.string()));
    w->cmdArchivo_Click();
    ASSERT_EQ(w->fits().size(), 3u);
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->horizontalHeaderItem(8)->text().simplified(), "Largest error (%)");
    EXPECT_NEAR(w->fits()[0].b, 0.5, 1e-12);
    EXPECT_NEAR(w->fits()[1].a, 0.03, 1e-12);
    // The misprinted nozzle is left out until the user ticks it.
    ASSERT_EQ(w->chosen().size(), 2u);
    EXPECT_EQ(w->chosen()[1].nozzle, "#12");
    EXPECT_EQ(grid->item(2, 0)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(child<QLabel>(w, "lblResumen")->text().contains("1 nozzles miss a point"));
    // The nozzle under the cursor is drawn: its three points and the fitted curve.
    grid->setCurrentCell(2, 0);
    ASSERT_EQ(chart->chart()->series().size(), 2);
    EXPECT_EQ(chart->chart()->title(), "#14");
    auto* points = qobject_cast<QScatterSeries*>(chart->chart()->series().at(1));
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points->count(), 3);
    EXPECT_DOUBLE_EQ(points->at(1).y(), 0.7);
    auto* curve = lineNamed(chart->chart(), "Curve q = a·p^b");
    ASSERT_NE(curve, nullptr);
    const auto& f = w->fits()[2];
    EXPECT_NEAR(curve->points().back().y(), f.a * std::pow(400.0, f.b), 1e-12);

    // The same table in psi and gpm: every pressure and discharge converted.
    child<QCheckBox>(w, "chkUnidadesUS")->setChecked(true);
    EXPECT_NEAR(w->fits()[0].pmin, 689.4757, 1e-4);
    EXPECT_NEAR(w->fits()[0].qmax, 0.4 * 0.0630901964, 1e-12);
    child<QCheckBox>(w, "chkUnidadesUS")->setChecked(false);

    child<QComboBox>(w, "cboMarca")->setEditText("Nueva Marca");
    EXPECT_FALSE(w->cmdImportar_Click());
    EXPECT_EQ(messages.messages.last(), "The model needs a name");
    child<QComboBox>(w, "cboModelo")->setEditText("Modelo T");
    messages.answer(false);  // not yet
    EXPECT_FALSE(w->cmdImportar_Click());
    EXPECT_EQ(messages.questions.last(),
              "Please confirm that you want to add 2 nozzles to the model 'Modelo T' of the "
              "brand 'Nueva Marca' ? The brand and the model are new.");
    quarvex::Connection asper(config.asperConnectionString);
    asper.Open();
    const std::string added =
        "SELECT count(*) AS n FROM Boquillas b JOIN Modelos m ON b.id_modelo=m.id_modelo JOIN "
        "marca k ON m.id_marca=k.id_marca WHERE k.nome='Nueva Marca' AND m.modelo='Modelo T'";
    EXPECT_EQ(test::count(asper, added), 0);
    messages.answer(true);
    EXPECT_TRUE(w->cmdImportar_Click());
    EXPECT_EQ(test::count(asper, added), 2);
    // The editor shows what was added.
    EXPECT_EQ(child<QComboBox>(&catalogue, "cboMarca")->currentText(), "Nueva Marca");
    EXPECT_EQ(child<QComboBox>(&catalogue, "cboModelo")->currentText(), "Modelo T");
    EXPECT_EQ(child<QTableWidget>(&catalogue, "grdBoquillas")->rowCount(), 2);

    // Again with the misprinted one ticked: #10 is already in the model, so nothing is added.
    w->setChosen(2, true);
    messages.answer(true);
    EXPECT_FALSE(w->cmdImportar_Click());
    EXPECT_EQ(messages.questions.last(),
              "Please confirm that you want to add 3 nozzles to the model 'Modelo T' of the "
              "brand 'Nueva Marca' ?");
    EXPECT_EQ(messages.messages.last(), "The model 'Modelo T' already has a nozzle named '#10'");
    EXPECT_EQ(test::count(asper, added), 2);

    // A heading that names psi and gpm ticks the units box by itself.
    const auto us = tmp.path() / "maker-us.csv";
    std::ofstream(us) << "Nozzle,Pressure (psi),Flow (gpm)\n#4,10,0.5\n#4,40,1.0\n";
    ASSERT_TRUE(w->loadFile(QString::fromStdString(us.string())));
    EXPECT_TRUE(child<QCheckBox>(w, "chkUnidadesUS")->isChecked());
    EXPECT_NEAR(w->fits()[0].pmax, 40 * 6.894757293168361, 1e-9);
}

TEST_F(WindowsTest, TwoCatalogueEditorsOnOneNozzleTheLaterSaveIsRefusedAndReloads) {
    // Two designers' editors (two programs on one folder) show the same nozzle.
    frmBDasp first(services), second(services);
    for (frmBDasp* w : {&first, &second}) {
        w->show();
        ASSERT_GT(w->selectedNozzle(), 0);
    }
    ASSERT_EQ(first.selectedNozzle(), second.selectedNozzle());
    const int id = first.selectedNozzle();
    ::setenv("KAMBRIX_USER", "ana", 1);
    child<QLineEdit>(&first, "txtPmax")->setText("420");
    ASSERT_TRUE(first.cmdGuardar_Click());
    EXPECT_TRUE(child<QLabel>(&first, "lblGuardadoPor")->text().startsWith("Saved by ana on "))
        << child<QLabel>(&first, "lblGuardadoPor")->text().toStdString();

    ::setenv("KAMBRIX_USER", "bruno", 1);
    child<QLineEdit>(&second, "txtPmax")->setText("480");
    messages.answerItem(0);  // "Reload"
    EXPECT_FALSE(second.cmdGuardar_Click());
    ASSERT_EQ(messages.actionTexts.size(), 1);
    EXPECT_TRUE(messages.actionTexts[0].startsWith("The nozzle \""));
    EXPECT_TRUE(messages.actionTexts[0].contains("\" was changed by ana at "))
        << messages.actionTexts[0].toStdString();
    EXPECT_EQ(messages.actionLists[0], QStringList{"Reload"});
    quarvex::Connection asper(config.asperConnectionString);
    asper.Open();
    EXPECT_EQ(test::count(asper,
                          "SELECT count(*) AS n FROM Boquillas WHERE pmax=420 AND "
                          "ID_Boquillas=" +
                              std::to_string(id)),
              1);
    // Reloaded, the second editor shows Ana's nozzle and may then save over it.
    EXPECT_EQ(second.selectedNozzle(), id);
    EXPECT_EQ(controlNumber(child<QLineEdit>(&second, "txtPmax"), 0), 420);
    child<QLineEdit>(&second, "txtPmax")->setText("480");
    EXPECT_TRUE(second.cmdGuardar_Click());
    EXPECT_EQ(test::count(asper,
                          "SELECT count(*) AS n FROM Boquillas WHERE pmax=480 AND "
                          "ID_Boquillas=" +
                              std::to_string(id)),
              1);
    EXPECT_EQ(readRowStamp(asper, row_kind::Nozzle, std::to_string(id)).version, 2);
}

TEST_F(WindowsTest, SprinklerCatalogueAsksBeforeChangingANozzleOfAStoredChart) {
    Projecto p = Projectos().newProject("Sur");
    Projectos().saveProject(con, p);
    con.Execute("INSERT INTO tb_cartas (nome, boost, id_sistema) VALUES ('Carta A', 0, " +
                std::to_string(p.id) + ")");
    const int chart = quarvex::lastIdentity(con);
    frmBDasp w(services);
    w.show();
    const int nozzle = w.selectedNozzle();
    ASSERT_GT(nozzle, 0);
    con.Execute("INSERT INTO tb_aspersores (tramo, saida, id_aspersor, id_carta) VALUES (1, 1, " +
                std::to_string(nozzle) + ", " + std::to_string(chart) + ")");
    const QString name = child<QLineEdit>(&w, "txtBoquilla")->text();
    quarvex::Connection asper(config.asperConnectionString);
    asper.Open();
    const std::string stillThere =
        "SELECT count(*) AS n FROM Boquillas WHERE ID_Boquillas=" + std::to_string(nozzle);

    child<QLineEdit>(&w, "txtPmin")->setText("45");
    messages.answer(false);
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.questions.value(0),
              "Please confirm that you want to change the nozzle '" + name +
                  "' ? It is mounted in the sprinkler charts 'Carta A' (system 'Sur'); a change "
                  "changes those charts.");
    EXPECT_EQ(messages.defaults.at(0), MessageService::Default::No);
    EXPECT_EQ(test::count(asper, stillThere + " AND pmin=40"), 1);

    messages.answer(false);
    EXPECT_FALSE(w.cmdBorrarBoquilla_Click());
    EXPECT_TRUE(messages.questions.value(1).contains("'Carta A' (system 'Sur')"));
    EXPECT_EQ(test::count(asper, stillThere), 1);
    messages.answer(true);
    EXPECT_TRUE(w.cmdBorrarBoquilla_Click());
    EXPECT_EQ(test::count(asper, stillThere), 0);

    // Renaming and removing a model and a brand.
    messages.answerText(QStringLiteral("Fixed plate"));
    EXPECT_TRUE(w.cmdRenombrarModelo_Click());
    EXPECT_EQ(messages.prompts.value(0),
              "Please enter the new name for the model 'Fixed spray plate'");
    EXPECT_EQ(messages.initials.value(0), "Fixed spray plate");
    EXPECT_EQ(child<QComboBox>(&w, "cboModelo")->currentText(), "Fixed plate");
    messages.answerText(QStringLiteral("Rotating spray plate"));  // the brand has that model
    EXPECT_FALSE(w.cmdRenombrarModelo_Click());
    EXPECT_EQ(messages.messages.last(),
              "There is already an entry of the catalogue with that name");
    messages.answerText(std::nullopt);  // cancelled
    EXPECT_FALSE(w.cmdRenombrarMarca_Click());
    messages.answer(false);
    EXPECT_FALSE(w.cmdBorrarMarca_Click());
    EXPECT_EQ(messages.questions.last(),
              "Please confirm that you want to remove the brand 'Aquilon' with its 2 models and "
              "49 nozzles ?");
    messages.answer(true);
    EXPECT_TRUE(w.cmdBorrarMarca_Click());
    EXPECT_EQ(test::count(asper, "SELECT count(*) AS n FROM marca WHERE nome='Aquilon'"), 0);
    EXPECT_EQ(test::count(asper, "SELECT count(*) AS n FROM Modelos WHERE id_marca=1"), 0);
    EXPECT_EQ(child<QComboBox>(&w, "cboMarca")->currentText(), "Rotagua");
}

TEST_F(WindowsTest, SpanCatalogueEditor) {
    frmBDtramos w(services);
    w.show();
    auto* grid = child<QTableWidget>(&w, "grdTramos");
    const int before = grid->rowCount();
    EXPECT_GT(before, 0);
    child<QComboBox>(&w, "cboMarca")->setEditText("Ruedasol");
    child<QLineEdit>(&w, "txtDenominacion")->setText("RS 999");
    child<QLineEdit>(&w, "txtLongitud")->setText("50");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(0),
              "The information for the reference span is incomplete. It must be given the "
              "inside diameter and the outlet spacing");
    child<QLineEdit>(&w, "txtDiametro")->setText("162");
    child<QLineEdit>(&w, "txtSeparacion")->setText("-250");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(1),
              "The value for the outlet spacing must be greater than 0 and up to 10000 cm");
    child<QLineEdit>(&w, "txtSeparacion")->setText("6000");  // 60 m of spacing on 50 m
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(2), "The outlet spacing must be shorter than the span");
    child<QLineEdit>(&w, "txtSeparacion")->setText("250");
    EXPECT_TRUE(w.cmdGuardar_Click());
    EXPECT_EQ(grid->rowCount(), before + 1);
    EXPECT_EQ(w.selectedSpan(), 0);  // ready for the next new span
    child<QLineEdit>(&w, "txtDenominacion")->setText("RS 999");
    child<QLineEdit>(&w, "txtLongitud")->setText("50");
    child<QLineEdit>(&w, "txtDiametro")->setText("162");
    child<QLineEdit>(&w, "txtSeparacion")->setText("250");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(3), "There is already a reference span with that name");
    child<QComboBox>(&w, "cboMarca")->setEditText("");
    EXPECT_FALSE(w.cmdGuardarMarca_Click());
    EXPECT_EQ(messages.messages.value(4), "The brand needs a name");

    // Correcting a span chosen in the grid, then removing it.
    auto* g = child<GridView>(&w, "grdTramos");
    const auto names = g->table().columnTexts("name", '.');
    const int row =
        static_cast<int>(std::find(names.begin(), names.end(), "RS 999") - names.begin());
    ASSERT_LT(row, g->rowCount());
    g->setCurrentCell(row, 0);
    EXPECT_GT(w.selectedSpan(), 0);
    EXPECT_EQ(child<QLineEdit>(&w, "txtDenominacion")->text(), "RS 999");
    child<QLineEdit>(&w, "txtLongitud")->setText("51.5");
    // The outside diameter is optional; narrower than the inside one it is refused.
    EXPECT_TRUE(child<QLineEdit>(&w, "txtDiametroExterior")->text().isEmpty());
    child<QLineEdit>(&w, "txtDiametroExterior")->setText("150");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.back(),
              "The outside diameter must be a number greater than the inside diameter");
    child<QLineEdit>(&w, "txtDiametroExterior")->setText("168.3");
    EXPECT_TRUE(w.cmdGuardar_Click());
    EXPECT_EQ(grid->rowCount(), before + 1);
    quarvex::Connection tramos(config.tramosConnectionString);
    tramos.Open();
    EXPECT_DOUBLE_EQ(ReferenceTramos().findByName(tramos, "RS 999").longitud, 51.5);
    EXPECT_EQ(ReferenceTramos().findByName(tramos, "RS 999").diametroExterior, 168.3);
    messages.answer(false);
    EXPECT_FALSE(w.cmdBorrar_Click());
    EXPECT_EQ(messages.defaults.back(), MessageService::Default::No);
    messages.answer(true);
    EXPECT_TRUE(w.cmdBorrar_Click());
    EXPECT_EQ(grid->rowCount(), before);
    EXPECT_EQ(ReferenceTramos().findByName(tramos, "RS 999").id, 0);

    // A brand renamed, then removed with its spans.
    child<QComboBox>(&w, "cboMarca")->setEditText("Tierra Ancha");
    messages.answerText(QStringLiteral("Arcoverde"));
    EXPECT_FALSE(w.cmdRenombrarMarca_Click());
    EXPECT_EQ(messages.messages.last(), "There is already a brand with that name");
    messages.answerText(QStringLiteral("Tierra Larga"));
    EXPECT_TRUE(w.cmdRenombrarMarca_Click());
    EXPECT_EQ(child<QComboBox>(&w, "cboMarca")->currentText(), "Tierra Larga");
    const int larga = ReferenceTramos().spanCount(tramos, 3);
    ASSERT_GT(larga, 0);
    messages.answer(true);
    EXPECT_TRUE(w.cmdBorrarMarca_Click());
    EXPECT_EQ(messages.questions.last(),
              QStringLiteral("Please confirm that you want to remove the brand 'Tierra Larga' with "
                             "its %1 reference spans ?")
                  .arg(larga));
    EXPECT_EQ(grid->rowCount(), before - larga);
}

// Both catalogue editors keep an edited form from being lost on closing, and the sprinkler
// editor refuses a nozzle name its model already has, for a new nozzle as for a renamed one.
TEST_F(WindowsTest, CatalogueEditorsAskBeforeLosingEditsAndRefuseATakenNozzleName) {
    frmBDasp w(services);
    w.show();
    EXPECT_TRUE(w.close());  // nothing edited: no question
    EXPECT_TRUE(messages.choices.isEmpty());
    w.show();
    auto* g = child<GridView>(&w, "grdBoquillas");
    ASSERT_GE(g->rowCount(), 2);
    const QString model = child<QComboBox>(&w, "cboModelo")->currentText();
    const QString first = child<QLineEdit>(&w, "txtBoquilla")->text();
    g->setCurrentCell(1, 0);
    const int second = w.selectedNozzle();
    ASSERT_GT(second, 0);
    quarvex::Connection asper(config.asperConnectionString);
    asper.Open();
    const std::string named = "SELECT count(*) AS n FROM Boquillas WHERE denominacion=" +
                              quarvex::sqlQuote(first.toStdString());
    const int before = test::count(asper, named);
    const QString taken = "The model '" + model + "' already has a nozzle named '" + first + "'";
    child<QLineEdit>(&w, "txtBoquilla")->setText("  " + first + " ");
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(0), taken);
    EXPECT_EQ(w.focusWidget(), child<QLineEdit>(&w, "txtBoquilla"));
    w.cmdNuevaBoquilla_Click();
    child<QLineEdit>(&w, "txtBoquilla")->setText(first);
    for (const auto& [box, value] : {std::pair{"txtA", "0.01"},
                                     {"txtB", "0.5"},
                                     {"txtPmin", "100"},
                                     {"txtPmax", "300"},
                                     {"txtQmin", "0.1"},
                                     {"txtQmax", "2"}}) {
        child<QLineEdit>(&w, box)->setText(value);
    }
    EXPECT_FALSE(w.cmdGuardar_Click());
    EXPECT_EQ(messages.messages.value(1), taken);
    EXPECT_EQ(test::count(asper, named), before);

    // The new nozzle typed in the form: Cancel keeps the window, No leaves it unsaved.
    EXPECT_TRUE(w.hasUnsavedNozzle());
    messages.answer(MessageService::Answer::Cancel);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(messages.choices.size(), 1);
    EXPECT_EQ(messages.choices[0], "The nozzle '" + first +
                                       "' has changes that are not saved. Do you want to save "
                                       "them?");
    // Yes saves first: the taken name is refused again and the window stays.
    messages.answer(MessageService::Answer::Yes);
    EXPECT_FALSE(w.close());
    EXPECT_EQ(messages.messages.value(2), taken);
    child<QLineEdit>(&w, "txtBoquilla")->setText(first + " bis");
    messages.answer(MessageService::Answer::Yes);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(test::count(asper, "SELECT count(*) AS n FROM Boquillas WHERE denominacion=" +
                                     quarvex::sqlQuote(first.toStdString() + " bis")),
              1);
    w.show();
    EXPECT_FALSE(w.hasUnsavedNozzle());  // the stored nozzle is the form now
    child<QLineEdit>(&w, "txtPmin")->setText("120");
    messages.answer(MessageService::Answer::No);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(messages.choices.size(), 4);

    frmBDtramos spans(services);
    spans.show();
    // A brand typed to be stored is no span edited.
    child<QComboBox>(&spans, "cboMarca")->setEditText("Brand to store");
    EXPECT_TRUE(spans.close());
    EXPECT_EQ(messages.choices.size(), 4);
    spans.show();
    child<GridView>(&spans, "grdTramos")->setCurrentCell(1, 0);
    ASSERT_GT(spans.selectedSpan(), 0);
    const QString span = child<QLineEdit>(&spans, "txtDenominacion")->text();
    child<QLineEdit>(&spans, "txtLongitud")->setText("not a length");
    messages.answer(MessageService::Answer::Yes);  // the save refuses the text
    EXPECT_FALSE(spans.close());
    EXPECT_EQ(messages.choices.value(4), "The reference span '" + span +
                                             "' has changes that are not saved. Do you want to "
                                             "save them?");
    messages.answer(MessageService::Answer::No);
    EXPECT_TRUE(spans.close());
}

TEST_F(WindowsTest, GridCopiesExportsAndActivatesRows) {
    test::CommaLocale comma;
    GridView grid("grdPrueba", QStringLiteral("Uno;Dos"));
    grid.setMessages(&messages);
    applyTranslations(&grid, {{"grdPrueba", "ColumnCaptions", "Distance (m);Note"}});
    TableData t;
    t.columns = {"distance", "note", "extra"};
    for (int i = 0; i < 3; ++i) {
        TableRow r;
        r.cells = {TableCell::ofNumber(2.5 * i, 2), TableCell::ofText("n" + std::to_string(i)),
                   TableCell::ofText("x, \"y\"")};
        t.rows.push_back(r);
    }
    grid.setTable(t);
    grid.show();
    EXPECT_EQ(grid.horizontalHeaderItem(0)->text(), "Distance (m)");
    EXPECT_EQ(grid.horizontalHeaderItem(2)->text(), "extra");  // no caption: the key
    EXPECT_EQ(grid.item(1, 0)->text(), "2,50");

    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              "0,00\tn0\tx, \"y\"\n2,50\tn1\tx, \"y\"\n5,00\tn2\tx, \"y\"\n");

    const test::TempFolder out("grid");
    const QString path = QString::fromStdString((out.path() / "grid.csv").string());
    messages.answerFile(path);
    grid.exportCsvCommand();
    EXPECT_EQ(readTextFile(path.toStdString()),
              std::string(kUtf8Bom) +
                  "Distance (m),Note,extra\r\n0.00,n0,\"x, \"\"y\"\"\"\r\n2.50,n1,\"x, "
                  "\"\"y\"\"\"\r\n5.00,n2,\"x, \"\"y\"\"\"\r\n");
    EXPECT_EQ(messages.statuses.value(0), "The table was written to " + path);
    const QString nowhere = QString::fromStdString((out.path() / "no-such" / "g.csv").string());
    messages.answerFile(nowhere);
    grid.exportCsvCommand();
    EXPECT_EQ(messages.messages.value(0),
              "The file " + nowhere + " cannot be written: the folder does not exist");

    std::vector<int> activated;
    QObject::connect(&grid, &GridView::rowActivated, [&](int r) { activated.push_back(r); });
    grid.setCurrentCell(2, 1);
    QTest::keyClick(&grid, Qt::Key_Return);
    const QPoint second = grid.visualItemRect(grid.item(1, 0)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(activated, (std::vector<int>{2, 1}));
}

TEST_F(WindowsTest, ErrorsTheWindowsDoNotExpectReachTheTopLevelHandler) {
    auto* app = dynamic_cast<KambrixApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    app->setMessageService(&messages);
    messages.expectErrorBoxes(2);
    // A slot connected through guarded(): a library error with its statement.
    QPushButton button;
    QObject::connect(&button, &QPushButton::clicked, &button, guarded(messages, &button, [&] {
        con.Execute("SELECT x FROM no_such_table");
    }));
    button.click();
    ASSERT_EQ(messages.messages.size(), 1);
    const QString number =
        QString::number(static_cast<quint32>(quarvex::errc::DatabaseStatementFailed), 16).toUpper();
    EXPECT_EQ(
        messages.messages[0],
        "The database does not hold the tables this program expects\n\nError number 0x" + number);
    EXPECT_TRUE(messages.details[0].contains("no_such_table"));  // behind Show details

    // An event handler: the application's notify() is the backstop.
    class Thrower : public QWidget {
      protected:
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) {
                raiseError(errc::RecordNotFound);
            }
            return QWidget::event(e);
        }
    } thrower;
    QEvent user(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&thrower, &user));
    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_TRUE(
        messages.messages[1].startsWith("There is no record of that name\n\nError number 0x"));
    app->setMessageService(nullptr);
}

TEST_F(WindowsTest, TabsOfTheDesignScreenAreTabPages) {
    openDemoProject();
    frmDisHid w(services);
    auto* tabs = child<QTabWidget>(&w, "tabResultados");
    ASSERT_EQ(tabs->count(), 4);
    const QStringList captions = {"Outlets", "Spans", "Profile", "Speed box"};
    for (int i = 0; i < tabs->count(); ++i) {
        auto* page = qobject_cast<TabPage*>(tabs->widget(i));
        ASSERT_NE(page, nullptr) << i;
        EXPECT_EQ(tabs->tabText(i), captions[i]);
    }
    auto* outlets = qobject_cast<TabPage*>(tabs->widget(0));
    outlets->clear();
    EXPECT_EQ(child<QTableWidget>(&w, "grdSalidas")->rowCount(), 0);
    outlets->updateData();
    EXPECT_GT(child<QTableWidget>(&w, "grdSalidas")->rowCount(), 0);
}

// Pictures of every window for a person to look at: runs only when KAMBRIX_SHOT_DIR names a
// folder (for instance under Xvfb), and asserts only that each picture was written.
TEST_F(WindowsTest, Screenshots) {
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
    frmPrincipal principal(services);
    shoot(&principal, "frmPrincipal");
    frmAbout about(services);
    shoot(&about, "frmAbout");
    frmNuevSist selection(services);
    shoot(&selection, "frmNuevSist");
    child<QRadioButton>(&selection, "optNuevJaExist")->setChecked(true);
    shoot(&selection, "frmNuevSist-copy");
    frmIniAgronom start(services);
    shoot(&start, "frmIniAgronom");
    frmDisHid design(services);
    type(child<QLineEdit>(&design, "txtTempoH100"), "20");
    shoot(&design, "frmDisHid");
    auto* tabs = child<QTabWidget>(&design, "tabResultados");
    for (int i = 1; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        shoot(&design, ("frmDisHid-tab" + std::to_string(i)).c_str());
    }
    // The warning of a pressure below 0 kPa, on the profile.
    type(child<QLineEdit>(&design, "txtPresionPivot"), "40");
    tabs->setCurrentIndex(2);
    shoot(&design, "frmDisHid-below-zero");
    frmBDasp sprinklers(services);
    shoot(&sprinklers, "frmBDasp");
    child<QComboBox>(&sprinklers, "cboMarca")->setEditText("Marca nueva");
    shoot(&sprinklers, "frmBDasp-new-brand");
    {
        const auto table = tmp.path() / "maker-shot.csv";
        std::ofstream(table) << "nozzle,psi,gpm\n#8,10,1.02\n#8,20,1.45\n#8,30,1.77\n"
                                "#10,10,1.60\n#10,20,2.26\n#10,30,2.80\n"
                                "#12,10,2.30\n#12,20,3.40\n#12,30,3.96\n";
        frmImportarTabla import(services, nullptr);
        child<QCheckBox>(&import, "chkUnidadesUS")->setChecked(true);
        import.loadFile(QString::fromStdString(table.string()));
        child<QComboBox>(&import, "cboMarca")->setEditText("Rotagua");
        shoot(&import, "frmImportarTabla");
    }
    frmBDtramos spans(services);
    shoot(&spans, "frmBDtramos");
    messages.answer(false);
    design.close();
}
