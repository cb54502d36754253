// SPDX-License-Identifier: GPL-3.0-or-later
//
// The sprinkler-chart workbench window, headless, on the demo system: the outlet grid and
// its flags, choosing and removing sprinklers, the chart commands and their messages, the
// regulator and drop tabs, the copy to the manual chart, the export, the printed chart, the
// hooks for the result tabs, and how the start window and the design screen open it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "design/carta_presenter.h"
#include "gui/TabDrop.h"
#include "gui/TabReguladores.h"
#include "gui/frmCaspersores.h"
#include "gui/frmDisHid.h"
#include "gui/frmIniAgronom.h"
#include "gui/widgets/tab_page.h"
#include "gui/widgets/units_view.h"
#include "shell/language_file.h"
#include "shell/row_versions.h"
#include "windows_test_support.h"

using namespace kambrix;
using test::child;
using test::type;

namespace {

// A result tab that counts how often the window asks it to draw.
class CountingTab : public TabPage {
  public:
    CountingTab() : TabPage("tabContador") {}
    void updateData() override { ++updates; }
    void clear() override {}
    int updates = 0;
};

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string pdfText(const std::filesystem::path& pdf) {
    const std::string cmd = "pdftotext '" + pdf.string() + "' - 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p)) {
        out.append(buf.data(), n);
    }
    EXPECT_EQ(pclose(p), 0) << "pdftotext (poppler-utils) failed: " << out;
    return out;
}

class WorkbenchWindowTest : public test::WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        openDemoProject();
    }
    std::unique_ptr<frmCaspersores> open() {
        auto w = std::make_unique<frmCaspersores>(services);
        w->show();
        return w;
    }
    static QTableWidget* grid(QWidget* w) { return child<QTableWidget>(w, "grdCarta"); }
    static QString cell(QWidget* w, int row, int col) {
        auto* item = grid(w)->item(row, col);
        return item ? item->text() : QStringLiteral("<none>");
    }
    // Every cell of the grid, row by row.
    static std::vector<QStringList> cells(QWidget* w) {
        std::vector<QStringList> out;
        auto* g = grid(w);
        for (int r = 0; r < g->rowCount(); ++r) {
            QStringList row;
            for (int c = 0; c < g->columnCount(); ++c) {
                row << g->item(r, c)->text();
            }
            out.push_back(row);
        }
        return out;
    }
    static QStringList column(QWidget* w, int col) {
        QStringList out;
        for (int r = 0; r < grid(w)->rowCount(); ++r) {
            out << cell(w, r, col);
        }
        return out;
    }
    static void click(QWidget* w, const char* name) { child<QPushButton>(w, name)->click(); }
    int storedCharts() { return test::count(con, "SELECT count(*) AS n FROM tb_cartas"); }
    // The rows of a span ("Tower 7").
    static std::vector<int> rowsOf(QWidget* w, const QString& span) {
        std::vector<int> out;
        for (int r = 0; r < grid(w)->rowCount(); ++r) {
            if (cell(w, r, column::Span) == span) {
                out.push_back(r);
            }
        }
        return out;
    }
};

}  // namespace

TEST_F(WorkbenchWindowTest, AutomaticPackageLeavesOutletsWithoutANearNozzleFlagged) {
    auto w = open();
    auto* g = grid(w.get());
    EXPECT_EQ(w->windowTitle(), "Sprinkler chart workbench");
    ASSERT_EQ(g->rowCount(), 198);  // the manual chart, empty, computed at load
    ASSERT_EQ(g->columnCount(), column::Count);
    const char* headings[] = {"Span",        "Outlet",    "rj (m)",      "qj (L s-1)",
                              "Pj (kPa)",    "Paj (kPa)", "PRgj (kPa)",  "Nozzle",
                              "qaj (L s-1)", "Model",     "Manufacture", "Warnings"};
    for (int c = 0; c < column::Count; ++c) {
        EXPECT_EQ(g->horizontalHeaderItem(c)->text(), headings[c]) << c;
    }
    // Widths in twips on the screen's resolution are the least a column gets (800 twips
    // are 5/9 of an inch); wider headings and texts widen their column.
    const double dpi = g->logicalDpiX();
    EXPECT_GE(g->columnWidth(column::Span), twipsToPixels(800, dpi));
    EXPECT_GE(g->columnWidth(column::Outlet), twipsToPixels(600, dpi));
    EXPECT_GE(g->columnWidth(column::Nozzle), twipsToPixels(800, dpi));
    EXPECT_EQ(cell(w.get(), 0, column::Span), "Tower 1");
    EXPECT_EQ(cell(w.get(), 197, column::Span), "End Gun");
    // The overhang has one name, as in the per-span table; its rows come after span 7.
    const auto overhang = rowsOf(w.get(), "Over hang");
    ASSERT_FALSE(overhang.empty());
    EXPECT_EQ(overhang.front(), rowsOf(w.get(), "Tower 7").back() + 1);
    EXPECT_EQ(overhang.back(), 196);
    EXPECT_TRUE(rowsOf(w.get(), "Tower 8").empty());
    EXPECT_EQ(w->workbench().summary().noSprinkler, 198);
    EXPECT_FALSE(child<QPushButton>(w.get(), "cmdCopiarParaManual")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w.get(), "cmdCompararCartas")->isEnabled());

    auto* percent = child<QComboBox>(w.get(), "cmb_percent_var");
    ASSERT_EQ(percent->count(), 4);
    EXPECT_EQ(percent->itemText(0), "10%");
    EXPECT_EQ(percent->itemText(3), "50%");
    EXPECT_EQ(percent->currentIndex(), 0);
    auto* boost = child<QComboBox>(w.get(), "cmbEndGunBoost");
    ASSERT_EQ(boost->count(), 9);
    EXPECT_EQ(boost->itemText(0), "none");
    EXPECT_EQ(boost->itemText(8), "400 kPa");
    EXPECT_TRUE(boost->isEnabled());  // the demo pivot has an end gun

    click(w.get(), "cmdCartaOp");
    EXPECT_EQ(w->workbench().current(), WorkingPivot::Automatic);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("\n").toStdString();
    const auto& s = w->workbench().summary();
    ASSERT_EQ(g->rowCount(), 198);
    // The first outlets need 0.004 L/s, less than any nozzle of the catalogue gives.
    EXPECT_EQ(cell(w.get(), 0, column::Nozzle), "");
    EXPECT_TRUE(cell(w.get(), 0, column::Warnings).contains("No sprinkler"));
    EXPECT_TRUE(g->item(0, column::Warnings)->background().color().isValid());
    EXPECT_FALSE(g->item(0, column::Warnings)->toolTip().isEmpty());
    int flagged = 0;
    for (int r = 0; r < g->rowCount(); ++r) {
        const bool none = cell(w.get(), r, column::Nozzle).isEmpty();
        EXPECT_EQ(cell(w.get(), r, column::Warnings).contains("No sprinkler"), none) << r;
        flagged += none ? 1 : 0;
    }
    EXPECT_EQ(flagged, s.noSprinkler);
    EXPECT_GT(s.sprinklers, 100);
    EXPECT_EQ(w->summaryLine(), QString::fromStdString(w->workbench().summaryText()));
    EXPECT_TRUE(w->summaryLine().contains("outlets with warnings"));
    EXPECT_TRUE(child<QLabel>(w.get(), "lblActual")->text().contains("automatic"));
    // The automatic package is not edited outlet by outlet.
    EXPECT_FALSE(child<QComboBox>(w.get(), "cmbAspersores")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(w.get(), "cmdCopiarParaManual")->isEnabled());
    // The legend names every flag.
    const QString legend = child<QLabel>(w.get(), "lblLeyenda")->text();
    for (const auto& e : warningLegend()) {
        EXPECT_TRUE(legend.contains(QString::fromStdString(e.label))) << e.label;
    }
}

TEST_F(WorkbenchWindowTest, ChoosingASprinklerRedrawsThatRowOnly) {
    auto w = open();
    auto* g = grid(w.get());
    auto* choices = child<QComboBox>(w.get(), "cmbAspersores");
    const auto before = cells(w.get());
    const int row = 40;
    g->setCurrentCell(row, 0);
    ASSERT_GT(choices->count(), 1);
    EXPECT_EQ(choices->currentIndex(), -1);  // nothing is put on the outlet by filling the list
    const int tenPercent = choices->count();
    // A wider variation offers more sprinklers for the same outlet.
    child<QComboBox>(w.get(), "cmb_percent_var")->setCurrentIndex(3);
    EXPECT_GT(choices->count(), tenPercent);

    emit choices->activated(1);
    const auto at = *w->workbench().presenter().translateRowToCoordenadas(row);
    const auto mounted = w->workbench().manualChart()->mountedAspersorAt(at);
    ASSERT_TRUE(mounted);
    const QString nozzle = QString::fromStdString(mounted->Aspersor()->nome());
    EXPECT_TRUE(choices->itemText(1).startsWith(nozzle + " — "))
        << choices->itemText(1).toStdString();
    EXPECT_EQ(cell(w.get(), row, column::Nozzle), nozzle);
    EXPECT_FALSE(cell(w.get(), row, column::Discharge).isEmpty());
    EXPECT_FALSE(cell(w.get(), row, column::Warnings).contains("No sprinkler"));
    const auto after = cells(w.get());
    for (std::size_t r = 0; r < before.size(); ++r) {
        if (static_cast<int>(r) != row) {
            EXPECT_EQ(after[r], before[r]) << "row " << r;
        }
    }
    EXPECT_TRUE(w->summaryLine().contains("compute again"));
    click(w.get(), "cmdCalcManual");
    EXPECT_FALSE(w->summaryLine().contains("compute again"));
    EXPECT_EQ(w->workbench().summary().sprinklers, 1);
    EXPECT_EQ(g->currentRow(), row);  // the selection stays through the redraw

    click(w.get(), "cmdQuitarAspersor");
    EXPECT_EQ(cell(w.get(), row, column::Nozzle), "");
    EXPECT_TRUE(cell(w.get(), row, column::Warnings).contains("No sprinkler"));
    EXPECT_FALSE(w->workbench().manualChart()->hasMountedAspersorAt(at));

    // Arrows move the selection and the list follows; Enter opens the outlet's list.
    g->setFocus();
    QTest::keyClick(g, Qt::Key_Down);
    EXPECT_EQ(g->currentRow(), row + 1);
    const auto next = w->workbench().possibleAspersoresFor(row + 1);
    EXPECT_EQ(choices->count(), next.Count());
    QTest::keyClick(g, Qt::Key_Return);
    EXPECT_TRUE(choices->view()->isVisible());
    choices->hidePopup();
}

// A delivered discharge further from the ideal one than the allowed variation is flagged,
// above as below, for the end gun as for any outlet; the flag follows the variation chosen.
// The indicator tab says how many outlets have no sprinkler beside the plugged count.
TEST_F(WorkbenchWindowTest, DischargesOffTheIdealAndBareOutletsAreTold) {
    quarvex::saida o;
    o.caudal = 1.0;
    o.pressao_real = o.pressao_actuante = 200;
    const quarvex::Aspersor* none = nullptr;
    auto nozzle = quarvex::statics().Aspersores().newAspersor("N", 0.07, 0.5, 50, 400, 0.1, 5,
                                                              quarvex::modelo{});
    for (const auto& [delivered, off] :
         {std::pair{1.11, true}, {0.89, true}, {1.09, false}, {0.91, false}}) {
        EXPECT_EQ(
            (outletWarnings(o, nullptr, nozzle.get(), 0.1, delivered) & warning::DischargeOff) != 0,
            off)
            << delivered;
        // Without a variation nothing is said of the discharge.
        EXPECT_EQ(outletWarnings(o, nullptr, nozzle.get(), std::nullopt, delivered) &
                      warning::DischargeOff,
                  0u);
    }
    EXPECT_EQ(outletWarnings(o, nullptr, none, 0.1, 2.0) & warning::DischargeOff, 0u);

    auto w = open();
    auto* tabs = child<QTabWidget>(w.get(), "tabCarta");
    QWidget* indicators = w->findChild<QWidget*>("tabIndicadores");
    ASSERT_NE(indicators, nullptr);
    tabs->setCurrentWidget(indicators);
    auto* bare = child<QLabel>(indicators, "lblSinAspersor_v");
    EXPECT_EQ(bare->text(), "198 outlets have no sprinkler; 0 are counted as plugged");
    EXPECT_TRUE(bare->styleSheet().contains("color"));
    type(child<QLineEdit>(indicators, "txtHorasRevolucao"), "20");
    type(child<QLineEdit>(indicators, "txtAObturados"), "3");
    EXPECT_EQ(bare->text(), "198 outlets have no sprinkler; 3 are counted as plugged");

    click(w.get(), "cmdCartaOp");
    click(w.get(), "cmdCopiarParaManual");
    // The widest variation offers nozzles far from the ideal discharge: mount the furthest.
    auto* variation = child<QComboBox>(w.get(), "cmb_percent_var");
    variation->setCurrentIndex(3);
    auto* g = grid(w.get());
    const int row = 60;
    g->setCurrentCell(row, 0);
    const quarvex::saida* outlet = w->workbench().outletAtRow(row);
    ASSERT_NE(outlet, nullptr);
    const auto offered = w->workbench().possibleAspersoresFor(row);
    int furthest = -1;
    double gap = 0;
    for (int i = 1; i <= offered.Count(); ++i) {
        const double q = offered.Item(i)->calculate(outlet->pressao_actuante);
        if (std::fabs(q - outlet->caudal) > gap) {
            gap = std::fabs(q - outlet->caudal);
            furthest = i - 1;
        }
    }
    ASSERT_GE(furthest, 0);
    ASSERT_GT(gap, 0.1 * outlet->caudal) << "no nozzle offered beyond 10 %";
    g->setCurrentCell(row, 0);
    emit child<QComboBox>(w.get(), "cmbAspersores")->activated(furthest);
    click(w.get(), "cmdCalcManual");
    const int withWide = w->workbench().summary().withWarnings;
    const bool offAtWide = cell(w.get(), row, column::Warnings).contains("Discharge off");
    variation->setCurrentIndex(0);    // 10 %
    EXPECT_EQ(g->currentRow(), row);  // the rows are drawn again in place
    EXPECT_TRUE(cell(w.get(), row, column::Warnings).contains("Discharge off"))
        << cell(w.get(), row, column::Warnings).toStdString();
    // Coloured as the legend says, the text readable on it.
    const QColor flag = g->item(row, column::Warnings)->background().color();
    EXPECT_TRUE(flag.isValid());
    EXPECT_GT(flag.lightness(), 128);
    EXPECT_GE(w->workbench().summary().dischargeOff, 1);
    if (!offAtWide) {
        EXPECT_GT(w->workbench().summary().withWarnings, withWide);
    }
    EXPECT_TRUE(w->summaryLine().contains(QString::number(w->workbench().summary().withWarnings) +
                                          " outlet"));
    EXPECT_TRUE(child<QLabel>(w.get(), "lblLeyenda")->text().contains("Discharge off"));
    // Every outlet of the copied package has a sprinkler but the bare ones it left.
    const int left = w->workbench().summary().noSprinkler;
    EXPECT_EQ(bare->text().toStdString(),
              left == 0 ? std::string("Every outlet has a sprinkler")
                        : std::to_string(left) + (left == 1 ? " outlet has" : " outlets have") +
                              " no sprinkler; 3 are counted as plugged");
}

TEST_F(WorkbenchWindowTest, OpeningWithoutASelectionChangesNothing) {
    auto w = open();
    const auto before = cells(w.get());
    const auto chart = w->workbench().currentChart();
    click(w.get(), "cmdAbrir");
    EXPECT_EQ(messages.messages, QStringList{"Must select a sprinkler chart to open"});
    EXPECT_EQ(cells(w.get()), before);
    EXPECT_EQ(w->workbench().currentChart(), chart);
}

TEST_F(WorkbenchWindowTest, ACancelledNamePromptStoresNothing) {
    auto w = open();
    messages.answerText(std::nullopt);
    click(w.get(), "cmdAceptarCon");
    // Never stored: Save asks for a name as well; blanks count as no answer.
    messages.answerText(QStringLiteral("   "));
    click(w.get(), "cmdAceptarTudo");
    EXPECT_EQ(messages.prompts, QStringList({"Please enter the name for the chart",
                                             "Please enter the name for the chart"}));
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_EQ(storedCharts(), 0);
    EXPECT_EQ(child<QListWidget>(w.get(), "lstCartas")->count(), 0);
    EXPECT_EQ(w->workbench().currentChart()->id(), 0);
}

TEST_F(WorkbenchWindowTest, ANameCollisionKeepsThePreviousIdentifier) {
    auto w = open();
    auto* list = child<QListWidget>(w.get(), "lstCartas");
    messages.answerText(QStringLiteral("Package A"));
    click(w.get(), "cmdAceptarCon");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentItem()->text(), "Package A");
    EXPECT_EQ(messages.statuses.back(), "The chart 'Package A' was saved");

    click(w.get(), "cmdCartaVazia");
    messages.answerText(QStringLiteral("Package B"));
    click(w.get(), "cmdAceptarCon");
    const int b = w->workbench().currentChart()->id();
    ASSERT_GT(b, 0);
    messages.answerText(QStringLiteral("Package A"));
    click(w.get(), "cmdAceptarCon");
    EXPECT_EQ(messages.messages, QStringList{"There is already a sprinkler chart named Package A. "
                                             "Please select a diferent name"});
    EXPECT_EQ(w->workbench().currentChart()->id(), b);
    EXPECT_EQ(w->workbench().currentChart()->getNome(), "Package B");
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(storedCharts(), 2);
    EXPECT_TRUE(child<QLabel>(w.get(), "lblActual")->text().contains("Package B"));
    // Who saved each chart of the list: on the item and under the list for the chosen one.
    const QString savedBy = "Saved by " + QString::fromStdString(currentUserName()) + " on ";
    for (int i = 0; i < list->count(); ++i) {
        EXPECT_TRUE(list->item(i)->toolTip().startsWith(savedBy))
            << list->item(i)->toolTip().toStdString();
    }
    list->setCurrentRow(0);
    EXPECT_TRUE(child<QLabel>(w.get(), "lblGuardadoPor")->text().startsWith(savedBy))
        << child<QLabel>(w.get(), "lblGuardadoPor")->text().toStdString();
    // A window opened afresh lists them so too.
    {
        auto again = open();
        auto* fresh = child<QListWidget>(again.get(), "lstCartas");
        ASSERT_EQ(fresh->count(), 2);
        EXPECT_TRUE(fresh->item(0)->toolTip().startsWith(savedBy))
            << fresh->item(0)->toolTip().toStdString();
    }
    // The line stays when the window is drawn in other units.
    showUnits(UnitSystem::US);
    const QString shown = child<QLabel>(w.get(), "lblGuardadoPor")->text();
    showUnits(UnitSystem::SI);
    EXPECT_TRUE(shown.startsWith(savedBy)) << shown.toStdString();
}

TEST_F(WorkbenchWindowTest, RemovalAnsweredNoThenYes) {
    auto w = open();
    auto* list = child<QListWidget>(w.get(), "lstCartas");
    click(w.get(), "cmdBorrar");
    EXPECT_EQ(messages.messages, QStringList{"Please select the chart to remove"});
    EXPECT_TRUE(messages.questions.isEmpty());

    messages.answerText(QStringLiteral("To remove"));
    click(w.get(), "cmdAceptarCon");
    ASSERT_EQ(list->count(), 1);
    list->setCurrentRow(0);
    messages.answer(false);
    click(w.get(), "cmdBorrar");
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_EQ(messages.questions[0],
              "Please confirm that you want to remove the chart To remove ? ");
    EXPECT_EQ(messages.defaults.back(), MessageService::Default::No);
    EXPECT_EQ(storedCharts(), 1);
    EXPECT_EQ(list->count(), 1);

    list->setCurrentRow(0);
    messages.answer(true);
    click(w.get(), "cmdBorrar");
    EXPECT_EQ(storedCharts(), 0);
    EXPECT_EQ(list->count(), 0);
}

TEST_F(WorkbenchWindowTest, OpeningAStoredChartRestoresItsSprinklersAndAccessories) {
    auto w = open();
    click(w.get(), "cmdCartaOp");
    click(w.get(), "cmdCopiarParaManual");
    child<QCheckBox>(w.get(), "Check1_6")->setChecked(true);
    type(child<QLineEdit>(w.get(), "Text1_6"), "90");
    click(w.get(), "cmdAplicaReguladores");
    auto* boost = child<QComboBox>(w.get(), "cmbEndGunBoost");
    boost->setCurrentIndex(2);
    emit boost->activated(2);
    messages.answerText(QStringLiteral("Stored"));
    click(w.get(), "cmdAceptarCon");
    const auto nozzles = column(w.get(), column::Nozzle);

    click(w.get(), "cmdCartaVazia");
    EXPECT_FALSE(child<QCheckBox>(w.get(), "Check1_6")->isChecked());
    EXPECT_EQ(boost->currentIndex(), 0);
    EXPECT_EQ(column(w.get(), column::Nozzle).count(QString()), 198);

    auto* list = child<QListWidget>(w.get(), "lstCartas");
    list->setCurrentRow(0);
    click(w.get(), "cmdAbrir");
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join("\n").toStdString();
    EXPECT_EQ(column(w.get(), column::Nozzle), nozzles);
    EXPECT_TRUE(child<QCheckBox>(w.get(), "Check1_6")->isChecked());
    EXPECT_EQ(child<QLineEdit>(w.get(), "Text1_6")->text(), "90.0");
    EXPECT_EQ(boost->currentText(), "100 kPa");
    EXPECT_TRUE(child<QLabel>(w.get(), "lblActual")->text().contains("Stored"));
}

TEST_F(WorkbenchWindowTest, RegulatorsAndDropChangeTheNextComputation) {
    auto w = open();
    click(w.get(), "cmdCartaOp");
    const auto tower7 = rowsOf(w.get(), "Tower 7");
    ASSERT_FALSE(tower7.empty());
    const QString plainActing = cell(w.get(), tower7[0], column::ActingPressure);
    EXPECT_NE(plainActing, "70.0");

    // One row per span, the overhang included.
    EXPECT_EQ(child<QLabel>(w.get(), "Label2_7")->text(), "Tower 7");
    EXPECT_EQ(child<QLabel>(w.get(), "Label2_8")->text(), "Over hang");
    auto* pressure = child<QLineEdit>(w.get(), "Text1_7");
    child<QCheckBox>(w.get(), "Check1_7")->setChecked(true);
    type(pressure, "0");
    EXPECT_EQ(messages.messages.back(),
              "The value for the regulator pressure of Tower 7 (kPa) must be greater than 0 and "
              "up to 1000");
    EXPECT_EQ(pressure->text(), "");
    type(pressure, "70");
    EXPECT_EQ(pressure->text(), "70");
    EXPECT_TRUE(child<QLabel>(w.get(), "lblEstadoReguladores")->text().contains("not applied"));
    click(w.get(), "cmdAplicaReguladores");
    EXPECT_EQ(w->workbench().regulators()->Count(), 1);
    EXPECT_TRUE(w->summaryLine().contains("compute again"));
    // Applied, not computed: the grid still shows the last computation.
    EXPECT_EQ(cell(w.get(), tower7[0], column::ActingPressure), plainActing);
    click(w.get(), "cmdCartaOp");
    for (int r : tower7) {
        EXPECT_EQ(cell(w.get(), r, column::ActingPressure), "70.0") << r;
    }
    // The tab shows what is in force after the computation.
    EXPECT_TRUE(child<QCheckBox>(w.get(), "Check1_7")->isChecked());
    EXPECT_EQ(pressure->text(), "70.0");

    // An incomplete drop is refused and stays uninstalled.
    // The last outlet of the pipe draws the most: its drop loses most.
    const int outlet = rowsOf(w.get(), "Tower 7").back();
    const QString plainIdeal = cell(w.get(), outlet, column::IdealPressure);
    auto* material = child<QComboBox>(w.get(), "cmbMaterialDrop");
    material->setCurrentIndex(material->findText("Polyethylene", Qt::MatchStartsWith));
    ASSERT_GT(material->currentIndex(), 0);
    type(child<QLineEdit>(w.get(), "txtLongitudDrop"), "1.8");
    click(w.get(), "cmd_install_drop");
    EXPECT_EQ(messages.messages.back(),
              "The drop is incomplete and cannot be installed: it needs an inside diameter "
              "greater than 0 mm");
    EXPECT_FALSE(quarvex::statics().Drops().IsInstalled(w->workbench().drop()));
    type(child<QLineEdit>(w.get(), "txtDiametroDrop"), "25");
    click(w.get(), "cmd_install_drop");
    EXPECT_TRUE(quarvex::statics().Drops().IsInstalled(w->workbench().drop()));
    EXPECT_TRUE(child<QLabel>(w.get(), "lblEstadoDrop")->text().startsWith("Installed"));
    click(w.get(), "cmdCartaOp");
    const double dropped = child<QTableWidget>(w.get(), "grdCarta")
                               ->item(outlet, column::IdealPressure)
                               ->text()
                               .toDouble();
    EXPECT_LT(dropped, plainIdeal.toDouble() - 0.05) << plainIdeal.toStdString();
    click(w.get(), "cmd_uninstall_drop");
    click(w.get(), "cmdCartaOp");
    EXPECT_EQ(cell(w.get(), outlet, column::IdealPressure), plainIdeal);
}

// The regulator and drop boxes in US units: a refused value's message states the range in
// psi, gpm, ft and in, rounded inwards; accepted values are stored as the exact SI product.
TEST_F(WorkbenchWindowTest, RegulatorAndDropBoxesStateTheirRangesInTheUnitsShown) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    auto w = open();
    click(w.get(), "cmdCartaOp");
    showUnits(UnitSystem::US);
    auto* pressure = child<QLineEdit>(w.get(), "Text1_7");
    child<QCheckBox>(w.get(), "Check1_7")->setChecked(true);
    type(pressure, "150");  // 1000 kPa is 145.0377 psi
    EXPECT_EQ(messages.messages.value(0),
              "The value for the regulator pressure of Tower 7 (psi) must be greater than 0 and "
              "up to 145.03");
    EXPECT_EQ(pressure->text(), "");
    type(child<QLineEdit>(w.get(), "txtCaudalMin_7"), "1600");  // 100 L/s is 1585.03 gpm
    EXPECT_EQ(messages.messages.value(1),
              "The value for the regulator discharge of Tower 7 (gpm) must be from 0 to 1585");
    type(pressure, "10");
    EXPECT_EQ(pressure->text(), "10");
    click(w.get(), "cmdAplicaReguladores");
    ASSERT_EQ(w->workbench().regulators()->Count(), 1);

    auto* length = child<QLineEdit>(w.get(), "txtLongitudDrop");
    auto* diameter = child<QLineEdit>(w.get(), "txtDiametroDrop");
    type(length, "70");  // 20 m is 65.617 ft
    EXPECT_EQ(messages.messages.value(2),
              "The value for the drop length (ft) must be greater than 0 and up to 65.616");
    type(diameter, "8");  // 200 mm is 7.874 in
    EXPECT_EQ(messages.messages.value(3),
              "The value for the drop inside diameter (in) must be greater than 0 and up to 7.874");
    auto* material = child<QComboBox>(w.get(), "cmbMaterialDrop");
    material->setCurrentIndex(material->findText("Polyethylene", Qt::MatchStartsWith));
    type(length, "6");
    type(diameter, "1");
    click(w.get(), "cmd_install_drop");
    EXPECT_EQ(messages.messages.size(), 4) << messages.messages.join("|").toStdString();
    EXPECT_EQ(w->workbench().drop().longitud, 6 * kMetresPerFoot);
    EXPECT_EQ(w->workbench().drop().diametro, kMillimetresPerInch);

    showUnits(UnitSystem::SI);
    EXPECT_EQ(length->text(), "1.83");
    EXPECT_EQ(diameter->text(), "25.4");
    type(length, "25");
    EXPECT_EQ(messages.messages.value(4),
              "The value for the drop length (m) must be greater than 0 and up to 20");
}

TEST_F(WorkbenchWindowTest, CopyToManualAndTheHooksOfTheResultTabs) {
    auto w = open();
    auto* tab = new CountingTab;
    w->addResultTab(tab, QStringLiteral("Counting"));
    auto* tabs = child<QTabWidget>(w.get(), "tabCarta");
    EXPECT_EQ(tabs->tabText(tabs->indexOf(tab)), "Counting");
    EXPECT_EQ(tabs->tabText(1), "Regulators");
    EXPECT_EQ(tabs->tabText(2), "Drop");
    int updates = tab->updates;

    click(w.get(), "cmdCartaOp");
    EXPECT_EQ(tab->updates, ++updates);
    const auto automatic = column(w.get(), column::Nozzle);
    const int mounted = w->workbench().summary().sprinklers;
    click(w.get(), "cmdCopiarParaManual");
    EXPECT_EQ(tab->updates, ++updates);
    EXPECT_EQ(w->workbench().current(), WorkingPivot::Manual);
    EXPECT_EQ(column(w.get(), column::Nozzle), automatic);
    EXPECT_EQ(w->workbench().manualChart()->mountedAspersores().Count(), mounted);
    EXPECT_TRUE(child<QComboBox>(w.get(), "cmbAspersores")->isEnabled());
    click(w.get(), "cmdCalcManual");
    EXPECT_EQ(tab->updates, ++updates);
    click(w.get(), "cmdCartaVazia");
    EXPECT_EQ(tab->updates, ++updates);

    int compared = 0;
    auto* compare = child<QPushButton>(w.get(), "cmdCompararCartas");
    EXPECT_EQ(compare->text(), "Compare packages");
    w->setCompareHandler([&] { ++compared; });
    EXPECT_TRUE(compare->isEnabled());
    compare->click();
    EXPECT_EQ(compared, 1);

    // The grid's menu hands the selected outlet's distance to the runoff check.
    QSignalSpy chosen(w.get(), &frmCaspersores::outletDistanceChosen);
    auto* one = child<QAction>(grid(w.get()), "actPontoEscorrencia1");
    auto* two = child<QAction>(grid(w.get()), "actPontoEscorrencia2");
    EXPECT_EQ(one->text(), "Use this outlet's distance for runoff point 1");
    EXPECT_EQ(two->text(), "Use this outlet's distance for runoff point 2");
    EXPECT_TRUE(grid(w.get())->actions().contains(one));
    grid(w.get())->setCurrentCell(-1, -1);
    one->trigger();
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(messages.messages.back(), "Please select an outlet first");
    grid(w.get())->setCurrentCell(120, 2);
    two->trigger();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 2);
    EXPECT_DOUBLE_EQ(chosen[0][1].toDouble(), w->workbench().outletAtRow(120)->distanciaAoPivot);
    EXPECT_GT(chosen[0][1].toDouble(), 0);
}

TEST_F(WorkbenchWindowTest, ExportWritesPointsUnderACommaLocale) {
    test::CommaLocale comma;
    auto w = open();
    click(w.get(), "cmdCartaOp");
    const QString shown = cell(w.get(), 5, column::Distance);
    ASSERT_TRUE(shown.contains(',')) << shown.toStdString();
    const auto path = tmp.path() / "outlets.csv";
    messages.answerFile(QString::fromStdString(path.string()));
    click(w.get(), "cmdExportar");
    const std::string csv = readFile(path);
    ASSERT_FALSE(csv.empty());
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBFSpan,Outlet,rj (m),", 0), 0u);
    EXPECT_NE(csv.find(QString(shown).replace(',', '.').toStdString()), std::string::npos);
    EXPECT_EQ(csv, outletTableCsv(w->workbench().currentWrapper()->pivot()));
    // The grid's own menu command writes the same table.
    std::filesystem::remove(path);
    messages.answerFile(QString::fromStdString(path.string()));
    child<QAction>(grid(w.get()), "actExportarCsv")->trigger();
    EXPECT_EQ(readFile(path), csv);
}

TEST_F(WorkbenchWindowTest, ThePdfHoldsTheChartNameAndEveryNozzle) {
    auto w = open();
    click(w.get(), "cmdCartaOp");
    click(w.get(), "cmdCopiarParaManual");
    messages.answerText(QStringLiteral("Field package"));
    click(w.get(), "cmdAceptarCon");
    // A change not yet computed is computed before printing.
    grid(w.get())->setCurrentCell(60, 0);
    auto* choices = child<QComboBox>(w.get(), "cmbAspersores");
    ASSERT_GT(choices->count(), 0);
    emit choices->activated(choices->count() - 1);
    ASSERT_TRUE(w->workbench().needsComputation());
    const auto pdf = tmp.path() / "chart.pdf";
    messages.answerFile(QString::fromStdString(pdf.string()));
    click(w.get(), "cmdGuardarPdf");
    EXPECT_FALSE(w->workbench().needsComputation());
    ASSERT_TRUE(std::filesystem::exists(pdf)) << messages.messages.join("\n").toStdString();
    const std::string text = pdfText(pdf);
    EXPECT_NE(text.find("Field package"), std::string::npos);
    EXPECT_NE(text.find("Over hang"), std::string::npos);
    EXPECT_EQ(text.find("Tower 8"), std::string::npos);
    std::set<std::string> nozzles;
    for (const auto& ref : outletsInOrder(w->workbench().currentWrapper()->pivot())) {
        if (ref.outlet->obj_aspersor) {
            nozzles.insert(ref.outlet->obj_aspersor->nome());
        }
    }
    ASSERT_GT(nozzles.size(), 10u);
    for (const auto& n : nozzles) {
        EXPECT_NE(text.find(n), std::string::npos) << n;
    }
    EXPECT_FALSE(w->savePdf("/no/such/folder/chart.pdf"));
    EXPECT_TRUE(messages.messages.back().startsWith("The printed chart could not be written"));
    // The print preview shows the same printed chart.
    const auto preview = tmp.path() / "preview.pdf";
    messages.previewFile = QString::fromStdString(preview.string());
    click(w.get(), "cmd_print");
    ASSERT_EQ(messages.previews.size(), 1);
    ASSERT_TRUE(std::filesystem::exists(preview));
    const std::string previewed = pdfText(preview);
    EXPECT_NE(previewed.find("Field package"), std::string::npos);
    for (const auto& n : nozzles) {
        EXPECT_NE(previewed.find(n), std::string::npos) << n;
    }
}

// The print tab's names and the regulators tab's model reach the printed chart, with its
// figures; typing them marks the chart changed.
TEST_F(WorkbenchWindowTest, ThePrintBoxesReachThePrintedChart) {
    auto w = open();
    click(w.get(), "cmdCartaOp");
    click(w.get(), "cmdCopiarParaManual");
    auto* designed = child<QLineEdit>(w.get(), "txtDisenadoPor");
    auto* checked = child<QLineEdit>(w.get(), "txtRevisadoPor");
    auto* model = child<QLineEdit>(w.get(), "txtModeloRegulador");
    ASSERT_NE(child<QLineEdit>(w.get(), "txtAprobadoPor"), nullptr);
    designed->clear();
    QTest::keyClicks(designed, "Ana Designer");
    QTest::keyClicks(checked, "Rui Checker");
    QTest::keyClicks(model, "PR-70 regulator");
    EXPECT_EQ(w->workbench().chartSignoff().designedBy, "Ana Designer");
    EXPECT_EQ(w->workbench().chartSignoff().checkedBy, "Rui Checker");
    EXPECT_EQ(w->workbench().chartSignoff().regulatorModel, "PR-70 regulator");
    EXPECT_TRUE(w->workbench().chartChanged());
    const auto pdf = tmp.path() / "named.pdf";
    ASSERT_TRUE(w->savePdf(QString::fromStdString(pdf.string())));
    const std::string text = pdfText(pdf);
    for (const char* expected :
         {"Ana Designer", "Rui Checker", "PR-70 regulator", "Figure 1: Pressure along the lateral",
          "Capacity without end gun"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
}

TEST_F(WorkbenchWindowTest, ClosingWithUnsavedChangesAsks) {
    auto w = open();
    click(w.get(), "cmdCartaOp");
    click(w.get(), "cmdCopiarParaManual");
    messages.answer(MessageService::Answer::Cancel);
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    // Yes with a cancelled name keeps the window.
    messages.answer(MessageService::Answer::Yes);
    messages.answerText(std::nullopt);
    EXPECT_FALSE(w->close());
    messages.answer(MessageService::Answer::Yes);
    messages.answerText(QStringLiteral("On leaving"));
    EXPECT_TRUE(w->close());
    EXPECT_EQ(storedCharts(), 1);
}

TEST_F(WorkbenchWindowTest, StartWindowAndDesignScreenHandOver) {
    frmIniAgronom start(services);
    start.show();
    auto* fromStart = child<QPushButton>(&start, "cmdCartaAspersores");
    EXPECT_TRUE(fromStart->isEnabled());
    EXPECT_TRUE(fromStart->toolTip().isEmpty());
    fromStart->click();
    EXPECT_FALSE(start.isVisible());
    QWidget* opened = test::topLevel("frmCaspersores");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(child<QLabel>(opened, "lblSistema")->text(), kDemoProjectName);
    test::closeTopLevels("frmCaspersores");
    EXPECT_TRUE(start.isVisible());

    // The design screen with unsaved changes: Cancel stays, Yes saves and opens on the
    // stored project.
    frmDisHid design(services);
    design.show();
    type(child<QLineEdit>(&design, "txtCaudal"), "61");
    ASSERT_TRUE(design.hasChanges());
    messages.answer(MessageService::Answer::Cancel);
    click(&design, "cmdCartaAspersores");
    EXPECT_EQ(messages.choices.back(), "Do you want to save the current system?");
    EXPECT_EQ(test::topLevel("frmCaspersores"), nullptr);
    EXPECT_TRUE(design.isVisible());
    messages.answer(MessageService::Answer::Yes);
    click(&design, "cmdCartaAspersores");
    EXPECT_FALSE(design.hasChanges());
    auto* workbench = dynamic_cast<frmCaspersores*>(test::topLevel("frmCaspersores"));
    ASSERT_NE(workbench, nullptr);
    EXPECT_EQ(workbench->workbench().project().q, 61);
    EXPECT_FALSE(design.isVisible());
    test::closeTopLevels("frmCaspersores");
    EXPECT_TRUE(design.isVisible());

    // An incomplete stored pivot: the message, and nothing opens.
    Projecto incomplete = document.project();
    incomplete.q = 0;
    document.setProject(incomplete, true);
    frmIniAgronom again(services);
    again.show();
    messages.clear();
    click(&again, "cmdCartaAspersores");
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].contains("the pivot")) << messages.messages[0].toStdString();
    EXPECT_EQ(test::topLevel("frmCaspersores"), nullptr);
    EXPECT_TRUE(again.isVisible());
}

TEST_F(WorkbenchWindowTest, DesignScreenStaysOpenWhenItsSaveFailsOnClosing) {
    frmDisHid design(services);
    design.show();
    type(child<QLineEdit>(&design, "txtCaudal"), "62");
    // The projects database is gone and a folder stands in its place: nothing can be read.
    const auto file = config.databaseFolder / "proyectos.mdb";
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    messages.answer(MessageService::Answer::Yes);
    messages.expectErrorBoxes(1);  // the failed save, told by the top-level handler
    EXPECT_FALSE(design.close());
    EXPECT_TRUE(design.isVisible());
    EXPECT_TRUE(design.hasChanges());
    ASSERT_FALSE(messages.messages.isEmpty());
    std::filesystem::remove(file);
    messages.answer(MessageService::Answer::No);
    EXPECT_TRUE(design.close());
}

// Every caption the window and its tabs are built with has its English text.
TEST_F(WorkbenchWindowTest, EveryCaptionIsTranslated) {
    auto w = open();
    auto entries = readLanguageSection(config.languageFile, "frmCaspersores");
    // The indicator, runoff and supply tabs have sections of their own.
    for (const char* tab : {"tabIndicadores", "tabPluviometria", "tabSupply"}) {
        const auto more = readLanguageSection(config.languageFile, tab);
        entries.insert(entries.end(), more.begin(), more.end());
    }
    auto translated = [&](const QString& name) {
        return std::any_of(entries.begin(), entries.end(), [&](const TranslationEntry& e) {
            return e.target == name.toStdString() && e.property != "ToolTipText";
        });
    };
    EXPECT_TRUE(translated("frmCaspersores"));
    for (auto* l : w->findChildren<QLabel*>()) {
        const QString n = l->objectName();
        // Filled at run time: the system, what is shown, the summary, legend, states, spans,
        // who saved the chart.
        if (!n.isEmpty() && n != "lblSistema" && n != "lblActual" && n != "lblResumen" &&
            n != "lblLeyenda" && !n.startsWith("lblEstado") && !n.startsWith("Label2_") &&
            !n.endsWith("_v") && !n.startsWith("lblVeredicto") && !n.startsWith("lblMensaje") &&
            n != "lblBandaCU" && n != "lblGuardadoPor") {
            EXPECT_TRUE(translated(n)) << n.toStdString();
        }
    }
    for (auto* b : w->findChildren<QPushButton*>()) {
        EXPECT_TRUE(translated(b->objectName())) << b->objectName().toStdString();
    }
    for (auto* b : w->findChildren<QRadioButton*>()) {
        EXPECT_TRUE(translated(b->objectName())) << b->objectName().toStdString();
    }
    for (auto* g : w->findChildren<QGroupBox*>()) {
        EXPECT_TRUE(translated(g->objectName())) << g->objectName().toStdString();
    }
}

// Pictures of the workbench and each of its tabs, and the printed chart, for a person to look
// at: runs only when KAMBRIX_SHOT_DIR names a folder, and asserts only that each was written.
// On a 1366 × 768 screen every command is reachable without scrolling, and the grid's
// columns show their headings and texts whole (a nozzle name, "Tower 10").
TEST_F(WorkbenchWindowTest, FitsTheLaptopScreenWithWholeColumns) {
    auto w = open();
    click(w.get(), "cmdCartaOp");
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
    const QRect area = w->screen()->availableGeometry();
    ASSERT_EQ(area.width(), 1366);
    EXPECT_LE(w->frameGeometry().height(), area.height());
    EXPECT_LE(w->frameGeometry().width(), area.width());
    auto* scroll = child<QScrollArea>(w.get(), "scrComandos");
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0)
        << "panel " << scroll->widget()->sizeHint().height() << " in "
        << scroll->viewport()->height();
    for (auto* b : scroll->findChildren<QPushButton*>()) {
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->objectName().toStdString();
    }
    auto* g = grid(w.get());
    ASSERT_GT(g->rowCount(), 10);
    for (int c = 0; c + 1 < g->columnCount(); ++c) {
        int widest = g->horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < g->rowCount(); ++r) {
            if (auto* item = g->item(r, c)) {
                widest = std::max(widest, g->fontMetrics().horizontalAdvance(item->text()));
            }
        }
        EXPECT_GE(g->columnWidth(c), widest) << g->horizontalHeaderItem(c)->text().toStdString();
    }
}

TEST_F(WorkbenchWindowTest, Screenshots) {
    const char* dir = std::getenv("KAMBRIX_SHOT_DIR");
    if (dir == nullptr) {
        GTEST_SKIP() << "KAMBRIX_SHOT_DIR not set";
    }
    QLocale::setDefault(QLocale::system());
    auto w = open();
    auto settle = [] {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    };
    click(w.get(), "cmdCartaOp");
    click(w.get(), "cmdCopiarParaManual");
    child<QCheckBox>(w.get(), "Check1_6")->setChecked(true);
    type(child<QLineEdit>(w.get(), "Text1_6"), "100");
    child<QCheckBox>(w.get(), "Check1_7")->setChecked(true);
    type(child<QLineEdit>(w.get(), "Text1_7"), "90");
    click(w.get(), "cmdAplicaReguladores");
    auto* material = child<QComboBox>(w.get(), "cmbMaterialDrop");
    material->setCurrentIndex(material->findText("Polyethylene", Qt::MatchStartsWith));
    type(child<QLineEdit>(w.get(), "txtLongitudDrop"), "1.8");
    type(child<QLineEdit>(w.get(), "txtDiametroDrop"), "25");
    click(w.get(), "cmd_install_drop");
    click(w.get(), "cmdCalcManual");
    messages.answerText(QStringLiteral("Field package"));
    click(w.get(), "cmdAceptarCon");
    grid(w.get())->setCurrentCell(150, 7);
    auto* tabs = child<QTabWidget>(w.get(), "tabCarta");
    const char* names[] = {"workbench_outlets", "workbench_regulators", "workbench_drop",
                           "workbench_indicators", "workbench_runoff"};
    for (int i = 0; i < 5; ++i) {
        tabs->setCurrentIndex(i);
        if (i == 3) {
            type(child<QLineEdit>(w.get(), "txtHorasRevolucao"), "20");
        }
        if (i == 4) {
            const std::pair<const char*, const char*> inputs[] = {
                {"txtRadio1", "300"}, {"txtDmoj1", "30"}, {"txtRadio2", "400"},
                {"txtDmoj2", "35"},   {"txtk", "8"},      {"txta", "-0.5"}};
            for (const auto& [name, text] : inputs) {
                type(child<QLineEdit>(w.get(), name), text);
            }
            click(w.get(), "cmdCalcularPluviometria");
        }
        settle();
        EXPECT_TRUE(w->grab().save(QString::fromLatin1(dir) + "/" + names[i] + ".png"));
    }
    EXPECT_TRUE(w->savePdf(QString::fromLatin1(dir) + "/workbench_chart.pdf"));
}

TEST_F(WorkbenchWindowTest, AutomaticPackageOfAWholeCatalogueUsesOneModelAndTheGunModel) {
    auto w = open();
    ASSERT_EQ(w->workbench().nozzleFilter().kind, NozzleFilter::Kind::All);
    // Cancelled: nothing is computed.
    messages.answerItem(std::nullopt);
    click(w.get(), "cmdCartaOp");
    ASSERT_EQ(messages.itemPrompts.size(), 1);
    EXPECT_FALSE(w->workbench().automaticComputed());

    // The models are offered with the outlets each fits, the most first.
    const auto fits = w->workbench().modelsForAutomatic();
    ASSERT_GE(fits.size(), 2u);
    for (std::size_t i = 1; i < fits.size(); ++i) {
        EXPECT_GE(fits[i - 1].fittedOutlets, fits[i].fittedOutlets);
    }
    const QStringList offered = messages.itemLists.back();
    ASSERT_EQ(offered.size(), static_cast<int>(fits.size()));
    EXPECT_TRUE(offered[0].contains(QString::fromStdString(fits[0].model.model)));
    EXPECT_TRUE(offered[0].contains(QStringLiteral("fits %1 of").arg(fits[0].fittedOutlets)));

    // The offered default: every outlet of the lateral carries the one model; the gun's
    // nozzle comes from a model of its own.
    click(w.get(), "cmdCartaOp");
    ASSERT_TRUE(w->workbench().automaticComputed());
    const auto& p = w->workbench().currentWrapper()->pivot();
    std::set<std::pair<std::string, std::string>> lateralModels;
    for (const auto& ref : outletsInOrder(p)) {
        if (ref.span && ref.outlet->obj_aspersor) {
            lateralModels.insert(
                {ref.outlet->obj_aspersor->marca().nome, ref.outlet->obj_aspersor->modelo().nome});
        }
    }
    ASSERT_EQ(lateralModels.size(), 1u);
    EXPECT_EQ(lateralModels.begin()->second, fits[0].model.model);
    EXPECT_EQ(w->workbench().summary().sprinklers - (p.endGun.saida.obj_aspersor ? 1 : 0),
              fits[0].fittedOutlets);
    if (p.p_has_end_gun && p.endGun.saida.obj_aspersor) {
        EXPECT_NE(p.endGun.saida.obj_aspersor->modelo().nome, fits[0].model.model)
            << "the demo's spray models have nothing for the gun";
    }

    // Another choice gives that model's package.
    messages.answerItem(static_cast<int>(fits.size()) - 1);
    click(w.get(), "cmdCartaOp");
    for (const auto& ref : outletsInOrder(w->workbench().currentWrapper()->pivot())) {
        if (ref.span && ref.outlet->obj_aspersor) {
            EXPECT_EQ(ref.outlet->obj_aspersor->modelo().nome, fits.back().model.model);
        }
    }
    // Under a brand or model filter nothing is asked.
    const int asked = messages.itemPrompts.size();
    ASSERT_TRUE(w->workbench().setNozzleFilter({NozzleFilter::Kind::Brand, "Aquilon", ""}));
    click(w.get(), "cmdCartaOp");
    EXPECT_EQ(messages.itemPrompts.size(), asked);
}
