// SPDX-License-Identifier: GPL-3.0-or-later
//
// The catch-can evaluation windows, headless: the list of evaluations (create, replace,
// open, delete with their questions), the evaluation window's grids, results, plot, paste and
// copy, the file kambrix-cli evaluate reads, saving and reopening, and the report as PDF.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QAbstractItemModel>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "demo_workbench_support.h"
#include "evaluation/catch_can_evaluation.h"
#include "evaluation/evaluation_conditions.h"
#include "evaluation/evaluation_list.h"
#include "evaluation/evaluation_report.h"
#include "evaluation/evaluation_store.h"
#include "gui/frmPivotEvaluations.h"
#include "gui/frmPluviometros.h"
#include "gui/frmPrincipal.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/units_view.h"
#include "shell/number_text.h"
#include "shell/report_title_block.h"
#include "windows_test_support.h"

using namespace kambrix;
using test::child;
using test::type;

namespace {

constexpr int kVolume = 1;
constexpr int kDistance = 2;
constexpr int kDepth = 3;

// The rows of the results grid, in order.
enum ResultRow { Average, LowQuarter, UD, CU, Used, LeftOut, Band };

// The standard output of the command (with its standard error when `withErrors`).
std::string run(const std::string& command, int* status = nullptr, bool withErrors = true) {
    FILE* p = popen((command + (withErrors ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
    std::string out;
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p)) {
        out.append(buf.data(), n);
    }
    const int rc = pclose(p);
    if (status != nullptr) {
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    return out;
}

std::string pdfText(const std::filesystem::path& pdf, int first = 0, int last = 0) {
    std::string cmd = "pdftotext -layout";
    if (first > 0) {
        cmd += " -f " + std::to_string(first) + " -l " + std::to_string(last);
    }
    int status = -1;
    std::string out = run(cmd + " '" + pdf.string() + "' -", &status);
    EXPECT_EQ(status, 0) << "pdftotext (poppler-utils) failed: " << out;
    // The type sets "fi" and "ffi" as one glyph, which the text keeps.
    for (const auto& [ligature, letters] :
         {std::pair<std::string, std::string>{"\xEF\xAC\x81", "fi"}, {"\xEF\xAC\x83", "ffi"}}) {
        for (auto at = out.find(ligature); at != std::string::npos; at = out.find(ligature)) {
            out.replace(at, ligature.size(), letters);
        }
    }
    return out;
}

int pdfPages(const std::filesystem::path& pdf) {
    const std::string info = run("pdfinfo '" + pdf.string() + "'");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

class EvaluationWindowsTest : public test::WindowFixture {
  protected:
    void TearDown() override {
        for (const char* w : {"frmPluviometros", "frmPivotEvaluations", "frmPrincipal"}) {
            messages.defaultChoice = MessageService::Answer::No;
            test::closeTopLevels(w);
        }
        test::WindowFixture::TearDown();
    }

    void click(QWidget* w, const char* name) { child<QPushButton>(w, name)->click(); }

    std::optional<quarvex::PivotEvaluation> stored(const std::string& name) {
        return findEvaluation(con, name);
    }
    int evaluationRows() { return test::count(con, "SELECT count(*) AS n FROM pivot_evaluations"); }

    // A stored evaluation with a few readings.
    quarvex::PivotEvaluation storeWithReadings(const std::string& name) {
        auto e = quarvex::statics().PivotEvaluations().newEvaluation(name);
        e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(0.1);
        e.firstSample.Push(quarvex::statics().FieldSamples().newFieldSample(100, 5));
        e.firstSample.Push(quarvex::statics().FieldSamples().newFieldSample(90, 10));
        storeEvaluation(con, e, false);
        return e;
    }

    // Types a text into a cell of a grid as the cell editor commits it.
    static void cell(QTableWidget* g, int row, int column, const QString& text) {
        ASSERT_LT(row, g->rowCount());
        g->model()->setData(g->model()->index(row, column), text, Qt::EditRole);
    }
    static void reading(frmPluviometros& w, Radius r, int row, const QString& volume,
                        const QString& distance) {
        cell(w.grid(r), row, kVolume, volume);
        cell(w.grid(r), row, kDistance, distance);
    }
    static QString at(QTableWidget* g, int row, int column) {
        const auto* item = g->item(row, column);
        return item != nullptr ? item->text() : QString();
    }
    // A cell of the results grid: column 1 first radius, 2 second, 3 both.
    static QString result(frmPluviometros& w, ResultRow row, int column) {
        return at(child<QTableWidget>(&w, "grdResultados"), row, column);
    }
    QChart* chart(QWidget* w) { return child<QChartView>(w, "chtProfundidades")->chart(); }
    template <class S>
    S* seriesNamed(QWidget* w, const QString& name) {
        for (auto* s : chart(w)->series()) {
            if (s->name() == name) {
                return qobject_cast<S*>(s);
            }
        }
        return nullptr;
    }
};

}  // namespace

TEST_F(EvaluationWindowsTest, ListCreatesReplacesOpensAndDeletesWithItsQuestions) {
    frmPrincipal main(services);
    main.show();
    click(&main, "cmdEvalSist");
    EXPECT_FALSE(main.isVisible());
    auto* list = static_cast<frmPivotEvaluations*>(test::topLevel("frmPivotEvaluations"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->windowTitle(), "Evaluation of a system in operation");
    auto* names = child<QListWidget>(list, "lstEvaluaciones");
    EXPECT_EQ(names->count(), 0);

    // Create: the prompt, then the evaluation window with the new, stored evaluation.
    messages.answerText(QStringLiteral("  O'Brien's field  "));
    click(list, "cmdNueva");
    ASSERT_EQ(messages.prompts.size(), 1);
    EXPECT_EQ(messages.prompts[0], kNewEvaluationPrompt);
    auto* opened = static_cast<frmPluviometros*>(test::topLevel("frmPluviometros"));
    ASSERT_NE(opened, nullptr);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(opened->windowTitle(), "Catch-can evaluation - O'Brien's field");
    EXPECT_EQ(child<QLabel>(opened, "lblNombre")->text(), "O'Brien's field");
    const auto created = stored("O'Brien's field");
    ASSERT_TRUE(created);
    EXPECT_EQ(opened->session().id(), created->id);
    opened->close();  // nothing changed: no question
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_TRUE(list->isVisible());
    ASSERT_EQ(names->count(), 1);
    EXPECT_EQ(names->item(0)->text(), "O'Brien's field");

    // Replace answered No: the stored readings stay, nothing opens.
    const auto kept = storeWithReadings("Field 7");
    messages.answerText(QStringLiteral("Field 7"));
    messages.answer(false);
    click(list, "cmdNueva");
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_EQ(messages.questions[0],
              "There is already an Evaluation named Field 7 do you want to replace it with a new "
              "one");
    EXPECT_EQ(messages.defaults.back(), MessageService::Default::No);
    EXPECT_EQ(test::topLevel("frmPluviometros"), nullptr);
    ASSERT_TRUE(stored("Field 7"));
    EXPECT_EQ(stored("Field 7")->firstSample.Length(), 2);
    EXPECT_EQ(stored("Field 7")->id, kept.id);

    // Replace answered Yes: one row of that name, empty, and the window opens on it.
    messages.answerText(QStringLiteral("Field 7"));
    messages.answer(true);
    click(list, "cmdNueva");
    opened = static_cast<frmPluviometros*>(test::topLevel("frmPluviometros"));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->session().rowCount(Radius::First), 0);
    EXPECT_EQ(
        test::count(con, "SELECT count(*) AS n FROM pivot_evaluations WHERE name = 'Field 7'"), 1);
    EXPECT_EQ(stored("Field 7")->firstSample.Length(), 0);
    EXPECT_EQ(evaluationRows(), 2);
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Open: the prompt offers the name chosen in the list.
    storeWithReadings("Dry corner");
    list->refreshList();
    ASSERT_EQ(names->count(), 3);
    EXPECT_EQ(names->item(0)->text(), "Dry corner");  // alphabetical
    names->setCurrentRow(0);
    messages.answerText(QStringLiteral("Dry corner"));
    click(list, "cmdAbrir");
    EXPECT_EQ(messages.prompts.back(), kOpenEvaluationPrompt);
    EXPECT_EQ(messages.initials.back(), "Dry corner");
    opened = static_cast<frmPluviometros*>(test::topLevel("frmPluviometros"));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->session().name(), "Dry corner");
    EXPECT_EQ(at(opened->grid(Radius::First), 1, kVolume), "90");
    EXPECT_EQ(child<QLineEdit>(opened, "txtDiametro")->text(), "10");
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A double click opens at once; a name not stored is told.
    emit names->itemActivated(names->item(1));
    opened = static_cast<frmPluviometros*>(test::topLevel("frmPluviometros"));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->session().name(), "Field 7");
    opened->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    messages.answerText(QStringLiteral("Nowhere"));
    click(list, "cmdAbrir");
    ASSERT_FALSE(messages.messages.isEmpty());
    EXPECT_EQ(messages.messages.back(), "There is no Evaluation named Nowhere");
    EXPECT_EQ(test::topLevel("frmPluviometros"), nullptr);

    // Delete answered No keeps it; Yes deletes it and the list follows.
    names->setCurrentRow(0);
    messages.answerText(QStringLiteral("Dry corner"));
    messages.answer(false);
    click(list, "cmdBorrar");
    EXPECT_EQ(messages.prompts.back(), kDeleteEvaluationPrompt);
    EXPECT_EQ(messages.initials.back(), "Dry corner");
    EXPECT_EQ(messages.questions.back(),
              "Please confirm that Evaluation Dry corner should be deleted");
    EXPECT_EQ(messages.defaults.back(), MessageService::Default::No);
    EXPECT_TRUE(stored("Dry corner"));
    EXPECT_EQ(names->count(), 3);
    messages.answerText(QStringLiteral("Dry corner"));
    messages.answer(true);
    click(list, "cmdBorrar");
    EXPECT_FALSE(stored("Dry corner"));
    EXPECT_EQ(evaluationRows(), 2);
    ASSERT_EQ(names->count(), 2);
    EXPECT_EQ(messages.statuses.back(), "The evaluation Dry corner was deleted");

    // A cancelled prompt does nothing.
    messages.answerText(std::nullopt);
    click(list, "cmdNueva");
    EXPECT_EQ(test::topLevel("frmPluviometros"), nullptr);
    EXPECT_EQ(evaluationRows(), 2);

    list->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.isVisible());
}

// Depths, marks and results as the library computes them, and left-out rows shown and
// counted, never dropped.
TEST_F(EvaluationWindowsTest, TypedReadingsGiveTheLibrarysDepthsAndResults) {
    frmPluviometros w(services, quarvex::statics().PivotEvaluations().newEvaluation("typed"));
    w.show();
    auto* g = w.grid(Radius::First);
    const QStringList heads = {"Position", "V(j) (ml)", "S(j) (m)", "D(j) (mm)"};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(g->horizontalHeaderItem(c)->text(), heads[c]);
    }
    EXPECT_EQ(child<QGroupBox>(&w, "fraRadio1")->title(), "1st radius");
    EXPECT_EQ(child<QGroupBox>(&w, "fraRadio2")->title(), "2nd radius");
    EXPECT_EQ(g->rowCount(), 1);  // the line a new can is typed in

    // Without a diameter no depth: the results say why.
    reading(w, Radius::First, 0, "100", "5");
    EXPECT_EQ(at(g, 0, kDepth), "");
    EXPECT_EQ(result(w, Average, 1), "the can diameter is not given");

    type(child<QLineEdit>(&w, "txtDiametro"), "10");
    EXPECT_EQ(w.session().canDiameter_cm(), 10.0);
    EXPECT_EQ(at(g, 0, kDepth), "12.732");  // 100 ml in a 0.10 m can
    EXPECT_EQ(g->rowCount(), 2);
    // Position and depth are not typed.
    EXPECT_FALSE(g->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(g->item(0, kDepth)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(g->item(0, kVolume)->flags() & Qt::ItemIsEditable);

    reading(w, Radius::First, 1, "80", "15");
    reading(w, Radius::First, 2, "-3", "25");  // rejected by FieldSamples::Valid
    reading(w, Radius::First, 3, "110", "35");
    reading(w, Radius::First, 4, "95", "45");
    reading(w, Radius::Second, 0, "70", "11");
    reading(w, Radius::Second, 1, "150", "30");
    cell(w.grid(Radius::Second), 2, kVolume, "60");  // no distance yet
    ASSERT_EQ(g->rowCount(), 6);

    // The invalid row stays, struck out and coloured, with its reason.
    EXPECT_EQ(at(g, 2, kVolume), "-3");
    EXPECT_TRUE(g->item(2, kVolume)->font().strikeOut());
    EXPECT_TRUE(g->item(2, kDistance)->font().strikeOut());
    EXPECT_FALSE(g->item(1, kVolume)->font().strikeOut());
    EXPECT_NE(g->item(2, kVolume)->background().color(), g->item(1, kVolume)->background().color());
    EXPECT_EQ(g->item(2, 0)->toolTip(), "Left out: the volume is below 0");
    EXPECT_EQ(at(g, 2, kDepth), "");
    EXPECT_TRUE(child<QLabel>(&w, "lblCuenta1")->text().startsWith("Cans used: 4   Left out: 1"));
    EXPECT_TRUE(w.grid(Radius::Second)->item(2, kVolume)->font().strikeOut());
    EXPECT_EQ(w.grid(Radius::Second)->item(2, 0)->toolTip(), "Left out: the distance is missing");

    // The results are the library's over the valid readings.
    auto e = quarvex::statics().PivotEvaluations().newEvaluation("typed");
    e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(0.1);
    auto& fs = quarvex::statics().FieldSamples();
    for (auto [v, d] :
         {std::pair{100.0, 5.0}, {80.0, 15.0}, {-3.0, 25.0}, {110.0, 35.0}, {95.0, 45.0}}) {
        e.firstSample.Push(fs.newFieldSample(v, d));
    }
    e.secondSample.Push(fs.newFieldSample(70, 11));
    e.secondSample.Push(fs.newFieldSample(150, 30));
    const auto lib = evaluateCatchCans(e);
    ASSERT_TRUE(lib.first && lib.second && lib.both);
    const std::pair<int, const CatchCanResult*> columns[] = {
        {1, &*lib.first}, {2, &*lib.second}, {3, &*lib.both}};
    for (const auto& [c, r] : columns) {
        EXPECT_EQ(result(w, Average, c).toStdString(), formatDecimals(*r->average, 2, '.')) << c;
        EXPECT_EQ(result(w, CU, c).toStdString(), formatDecimals(*r->CU * 100, 2, '.')) << c;
        if (r->UD) {
            EXPECT_EQ(result(w, UD, c).toStdString(), formatDecimals(*r->UD * 100, 2, '.')) << c;
        }
    }
    EXPECT_EQ(result(w, Used, 1), "4");
    EXPECT_EQ(result(w, LeftOut, 1), "1");
    EXPECT_EQ(result(w, LeftOut, 3), "2");
    // Two cans in the second radius: no low quarter, and the reason instead of a number.
    EXPECT_FALSE(lib.second->UD);
    EXPECT_TRUE(result(w, UD, 2).startsWith("too few cans for a low quarter"));

    // The plot: both radii in ascending distance, the average line, the departing cans.
    const auto plot = w.session().plot();
    auto* first = seriesNamed<QLineSeries>(&w, "1st radius");
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->count(), 4);
    EXPECT_DOUBLE_EQ(first->at(0).x(), 5);
    EXPECT_DOUBLE_EQ(first->at(3).x(), 45);
    ASSERT_NE(seriesNamed<QLineSeries>(&w, "2nd radius"), nullptr);
    auto* average = seriesNamed<QLineSeries>(&w, "Average depth");
    ASSERT_NE(average, nullptr);
    EXPECT_DOUBLE_EQ(average->at(0).y(), *lib.both->average);
    auto* departing = seriesNamed<QScatterSeries>(&w, "Cans > 20 % off");
    ASSERT_NE(departing, nullptr);
    ASSERT_FALSE(plot.departing.empty());
    EXPECT_EQ(departing->count(), static_cast<int>(plot.departing.size()));
    // The 150 ml can (second radius, row 2) departs and is marked in its grid too.
    EXPECT_TRUE(w.grid(Radius::Second)->item(1, kDepth)->font().bold());
    EXPECT_TRUE(w.grid(Radius::Second)->item(1, 0)->toolTip().startsWith("The depth departs"));

    // A refused text is told and the cell shows the reading as it was.
    cell(g, 0, kVolume, "abc");
    ASSERT_FALSE(messages.messages.isEmpty());
    EXPECT_EQ(at(g, 0, kVolume), "100");
    EXPECT_EQ(w.session().readings(Radius::First)[0].volume_ml, 100.0);
    // A diameter out of range is refused in the box.
    const int before = static_cast<int>(messages.messages.size());
    type(child<QLineEdit>(&w, "txtDiametro"), "0");
    EXPECT_EQ(static_cast<int>(messages.messages.size()), before + 1);
    EXPECT_EQ(w.session().canDiameter_cm(), 10.0);
}

// The published equal-weight example (all cans at one distance).
TEST_F(EvaluationWindowsTest, EqualWeightExampleGivesCu6914) {
    frmPluviometros w(services, quarvex::statics().PivotEvaluations().newEvaluation("equal"));
    w.show();
    type(child<QLineEdit>(&w, "txtDiametro"), "10");
    const int volumes[] = {47, 42, 45, 24, 13, 26, 33, 34, 27, 30, 40, 44, 32, 12, 12};
    int row = 0;
    for (int v : volumes) {
        reading(w, Radius::First, row++, QString::number(v), "100");
    }
    EXPECT_EQ(result(w, CU, 1), "69.14");
    EXPECT_EQ(result(w, CU, 3), "69.14");  // the second radius is empty
    EXPECT_EQ(result(w, CU, 2), "no can readings are entered");
    EXPECT_EQ(result(w, Used, 1), "15");
    EXPECT_EQ(child<QLabel>(&w, "lblBanda")->text(),
              "CU of both radii 69.14 %: Poor uniformity: with a CU below 80 % the sprinkler "
              "package should be changed");
}

TEST_F(EvaluationWindowsTest, RowCommandsAndUndo) {
    frmPluviometros w(services, quarvex::statics().PivotEvaluations().newEvaluation("rows"));
    w.show();
    type(child<QLineEdit>(&w, "txtDiametro"), "10");
    reading(w, Radius::First, 0, "10", "30");
    reading(w, Radius::First, 1, "20", "10");
    reading(w, Radius::First, 2, "30", "20");
    auto* g = w.grid(Radius::First);
    auto volumes = [&] {
        QStringList out;
        for (const auto& r : w.session().readings(Radius::First)) {
            out << (r.volume_ml ? QString::number(*r.volume_ml) : QStringLiteral("-"));
        }
        return out;
    };
    click(&w, "cmdOrdenar1");
    EXPECT_EQ(volumes(), (QStringList{"20", "30", "10"}));
    EXPECT_EQ(at(g, 0, 0), "1");
    EXPECT_EQ(at(g, 0, kDistance), "10");
    g->setCurrentCell(1, kVolume);
    click(&w, "cmdInsertar1");
    EXPECT_EQ(volumes(), (QStringList{"20", "-", "30", "10"}));
    EXPECT_EQ(at(g, 3, 0), "4");  // positions follow
    click(&w, "cmdAgregar1");
    EXPECT_EQ(volumes(), (QStringList{"20", "-", "30", "10", "-"}));
    g->clearSelection();
    g->setRangeSelected(QTableWidgetSelectionRange(0, 1, 1, 2), true);
    g->setRangeSelected(QTableWidgetSelectionRange(4, 1, 4, 1), true);
    click(&w, "cmdEliminar1");
    EXPECT_EQ(volumes(), (QStringList{"30", "10"}));
    // Each command is one step back.
    auto* undo = child<QPushButton>(&w, "cmdDeshacer");
    EXPECT_TRUE(undo->isEnabled());
    undo->click();
    EXPECT_EQ(volumes(), (QStringList{"20", "-", "30", "10", "-"}));
    click(&w, "cmdLimpiar1");
    EXPECT_TRUE(volumes().isEmpty());
    EXPECT_EQ(g->rowCount(), 1);
    QTest::keyClick(g, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(volumes().size(), 5);
    // Undo reaches the diameter too, and the box shows it.
    type(child<QLineEdit>(&w, "txtDiametro"), "12");
    undo->click();
    EXPECT_EQ(child<QLineEdit>(&w, "txtDiametro")->text(), "10");
    EXPECT_EQ(w.session().canDiameter_cm(), 10.0);
    // Nothing chosen to delete is told.
    g->clearSelection();
    g->setCurrentItem(nullptr);
    click(&w, "cmdEliminar1");
    EXPECT_EQ(messages.messages.back(), "Choose the rows of the 1st radius to delete");
}

// Cells as a spreadsheet of a decimal-comma locale puts them on the clipboard.
TEST_F(EvaluationWindowsTest, PasteAndCopyFollowTheSpreadsheetAndTheLocale) {
    test::CommaLocale comma;
    frmPluviometros w(services, quarvex::statics().PivotEvaluations().newEvaluation("paste"));
    w.show();
    type(child<QLineEdit>(&w, "txtDiametro"), "10");
    auto* g = w.grid(Radius::Second);
    g->setFocus();
    g->setCurrentCell(0, kVolume);
    QApplication::clipboard()->setText(
        QStringLiteral("Volumen (ml)\tDistancia (m)\r\n100,5\t5\r\n98\t10,25\r\n"));
    QTest::keyClick(g, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(w.session().rowCount(Radius::Second), 2);  // the heading is skipped
    EXPECT_EQ(w.session().readings(Radius::Second)[0].volume_ml, 100.5);
    EXPECT_EQ(w.session().readings(Radius::Second)[1].distance_m, 10.25);
    EXPECT_EQ(at(g, 0, kVolume), "100,5");
    EXPECT_EQ(at(g, 1, kDistance), "10,25");
    EXPECT_EQ(at(g, 0, kDepth), "12,796");  // 100.5 / (π · 0.05² · 1000)
    EXPECT_EQ(messages.statuses.back(), "2 rows were pasted into the 2nd radius");

    // Copy of the selected cells: tab-separated, the screen's numbers.
    g->clearSelection();
    g->setRangeSelected(QTableWidgetSelectionRange(0, 1, 1, 3), true);
    QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "100,5\t5\t12,796\n98\t10,25\t12,478\n");

    // A block with an unreadable line pastes nothing and says which line.
    g->setCurrentCell(0, kVolume);
    QApplication::clipboard()->setText(QStringLiteral("1\t2\nx7\t3\n"));
    QTest::keyClick(g, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(messages.messages.back().startsWith("Nothing was pasted: 1 line cannot be read."));
    EXPECT_EQ(w.session().readings(Radius::Second)[0].volume_ml, 100.5);
    // The paste is one step of undo.
    click(&w, "cmdDeshacer");
    EXPECT_EQ(w.session().rowCount(Radius::Second), 0);
}

// In US units the grid shows and takes feet and inches: a typed distance is stored in
// metres, the copy is what the screen shows, and pasting it back stores the same readings.
TEST_F(EvaluationWindowsTest, TheGridsTypeCopyAndPasteInTheUnitsChosen) {
    struct BackToSi {
        ~BackToSi() { showUnits(UnitSystem::SI); }
    } backToSi;
    showUnits(UnitSystem::US);
    frmPluviometros w(services, quarvex::statics().PivotEvaluations().newEvaluation("feet"));
    w.show();
    type(child<QLineEdit>(&w, "txtDiametro"), "4");  // inches
    ASSERT_TRUE(w.session().canDiameter_cm());
    EXPECT_NEAR(*w.session().canDiameter_cm(), 10.16, 1e-12);
    auto* g = w.grid(Radius::First);
    g->setFocus();
    g->setCurrentCell(0, kVolume);
    QApplication::clipboard()->setText(QStringLiteral("100\t50\n98\t100\n"));
    QTest::keyClick(g, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(w.session().rowCount(Radius::First), 2);
    EXPECT_NEAR(w.session().readings(Radius::First)[1].distance_m.value_or(0), 30.48, 1e-12);
    EXPECT_EQ(at(g, 1, kDistance), "100.0");
    EXPECT_EQ(g->horizontalHeaderItem(kDistance)->text(), "S(j) (ft)");

    g->clearSelection();
    g->setRangeSelected(QTableWidgetSelectionRange(0, kVolume, 1, kDistance), true);
    QTest::keyClick(g, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, "100\t50.0\n98\t100.0\n");
    auto* second = w.grid(Radius::Second);
    second->setFocus();
    second->setCurrentCell(0, kVolume);
    QTest::keyClick(second, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.session().readings(Radius::Second), w.session().readings(Radius::First));

    // A distance typed into a cell is in feet too.
    g->item(0, kDistance)->setText("200");
    EXPECT_NEAR(w.session().readings(Radius::First)[0].distance_m.value_or(0), 60.96, 1e-12);
    EXPECT_EQ(at(g, 0, kDistance), "200.0");
}

// The file exported here gives the same results through kambrix-cli evaluate.
TEST_F(EvaluationWindowsTest, ExportedCsvGivesTheSameResultsInTheCommandLine) {
    frmPluviometros w(services, quarvex::statics().PivotEvaluations().newEvaluation("csv"));
    w.show();
    type(child<QLineEdit>(&w, "txtDiametro"), "12.3");
    const char* first[][2] = {{"101.7", "12.5"},  {"88.123456789012345", "37.5"},
                              {"95", "62.5"},     {"-4", "75"},
                              {"120.25", "87.5"}, {"77", "100"}};
    const char* second[][2] = {{"99", "10"}, {"105.5", "30"}, {"60", "50"}, {"110", "90"}};
    for (int i = 0; i < 6; ++i) {
        reading(w, Radius::First, i, first[i][0], first[i][1]);
    }
    for (int i = 0; i < 4; ++i) {
        reading(w, Radius::Second, i, second[i][0], second[i][1]);
    }
    const auto file = tmp.path() / "exported.csv";
    messages.answerFile(QString::fromStdString(file.string()));
    click(&w, "cmdExportar");
    ASSERT_TRUE(std::filesystem::exists(file)) << messages.messages.join("\n").toStdString();
    EXPECT_EQ(messages.fileFilters.back(), "CSV (*.csv)");

    int status = -1;
    const std::string out =
        run(std::string(KAMBRIX_CLI) + " evaluate '" + file.string() + "'", &status, false);
    ASSERT_EQ(status, 0) << out;
    ASSERT_TRUE(nlohmann::json::accept(out)) << out;
    const auto doc = nlohmann::json::parse(out);
    const auto results = w.session().results();
    const std::pair<const char*, const RadiusResults*> radii[] = {
        {"first", &results.first}, {"second", &results.second}, {"both", &results.both}};
    int column = 1;
    for (const auto& [key, r] : radii) {
        const auto& j = doc[key];
        ASSERT_TRUE(j.is_object()) << key;
        // A null there is a result that cannot be computed here either.
        const auto same = [&](const nlohmann::json& v, const ResultValue& shown, double scale) {
            if (v.is_null()) {
                EXPECT_FALSE(shown.value) << key;
            } else {
                ASSERT_TRUE(shown.value) << key;
                EXPECT_EQ(v.get<double>() * scale, *shown.value) << key;
            }
        };
        same(j["average"], r->average_mm, 1);
        same(j["lowQuarterAverage"], r->lowQuarterAverage_mm, 1);
        same(j["UD"], r->UD_percent, 100);
        same(j["CU"], r->CU_percent, 100);
        EXPECT_EQ(j["invalid"].get<int>(), r->leftOut) << key;
        // And the window shows them.
        EXPECT_EQ(result(w, CU, column).toStdString(),
                  formatDecimals(j["CU"].get<double>() * 100, 2, '.'))
            << key;
        ++column;
    }
    EXPECT_EQ(doc["first"]["invalid"].get<int>(), 1);
    EXPECT_TRUE(doc["both"]["UD"].is_number());  // numbers were compared, not only nulls
    EXPECT_TRUE(doc["second"]["UD"].is_null());  // and a reason shown for a null
    EXPECT_TRUE(result(w, UD, 2).startsWith("too few cans for a low quarter"));

    // Read back into another window, the readings are the same.
    frmPluviometros back(services, quarvex::statics().PivotEvaluations().newEvaluation("back"));
    messages.answerFile(QString::fromStdString(file.string()));
    click(&back, "cmdImportar");
    EXPECT_EQ(back.session().readings(Radius::First), w.session().readings(Radius::First));
    EXPECT_EQ(back.session().readings(Radius::Second), w.session().readings(Radius::Second));
    EXPECT_EQ(child<QLineEdit>(&back, "txtDiametro")->text(), "12.3");
    // A file that cannot be read is told and changes nothing.
    const auto bad = tmp.path() / "bad.csv";
    std::ofstream(bad) << "radius,volume_ml,distance_m,canDiameter_cm\n3,1,2,10\n";
    messages.answer(true);  // replace the readings held
    EXPECT_FALSE(back.importFile(QString::fromStdString(bad.string())));
    EXPECT_EQ(back.session().readings(Radius::First), w.session().readings(Radius::First));
}

// An import into grids that hold readings asks first (default No); No keeps them, Yes
// replaces them. Grids with only blank rows are replaced without a question.
TEST_F(EvaluationWindowsTest, ImportAsksBeforeReplacingReadings) {
    const auto file = tmp.path() / "two.csv";
    std::ofstream(file) << "radius,volume_ml,distance_m,canDiameter_cm\n1,50,5,10\n1,60,10,10\n";
    frmPluviometros w(services, quarvex::statics().PivotEvaluations().newEvaluation("import"));
    w.show();
    w.addRow(Radius::Second);  // a blank row is no reading
    ASSERT_TRUE(w.importFile(QString::fromStdString(file.string())));
    EXPECT_TRUE(messages.questions.isEmpty());
    ASSERT_EQ(w.session().readings(Radius::First).size(), 2u);
    reading(w, Radius::Second, 0, "70", "15");
    const auto before = w.session().readings(Radius::Second);
    messages.answer(false);
    EXPECT_FALSE(w.importFile(QString::fromStdString(file.string())));
    ASSERT_EQ(messages.questions.size(), 1);
    EXPECT_EQ(messages.questions[0],
              "The grids hold 3 readings. Do you want to replace them with the readings of the "
              "file?");
    EXPECT_EQ(messages.defaults[0], MessageService::Default::No);
    EXPECT_EQ(w.session().readings(Radius::Second), before);
    messages.answer(true);
    EXPECT_TRUE(w.importFile(QString::fromStdString(file.string())));
    EXPECT_TRUE(w.session().readings(Radius::Second).empty());
    EXPECT_EQ(w.session().readings(Radius::First).size(), 2u);
}

// A new evaluation whose save the user declines on closing leaves no row behind; one saved
// once stays, whatever is declined later.
TEST_F(EvaluationWindowsTest, ADeclinedNewEvaluationLeavesNoRecord) {
    frmPivotEvaluations list(services);
    list.show();
    auto* names = child<QListWidget>(&list, "lstEvaluaciones");
    messages.answerText(QStringLiteral("Declined"));
    click(&list, "cmdNueva");
    auto* opened = static_cast<frmPluviometros*>(test::topLevel("frmPluviometros"));
    ASSERT_NE(opened, nullptr);
    ASSERT_TRUE(stored("Declined"));
    reading(*opened, Radius::First, 0, "50", "5");
    messages.answer(MessageService::Answer::Cancel);
    EXPECT_FALSE(opened->close());
    EXPECT_TRUE(stored("Declined"));
    messages.answer(MessageService::Answer::No);
    EXPECT_TRUE(opened->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(stored("Declined"));
    EXPECT_EQ(evaluationRows(), 0);
    EXPECT_EQ(names->count(), 0);

    messages.answerText(QStringLiteral("Saved once"));
    click(&list, "cmdNueva");
    opened = static_cast<frmPluviometros*>(test::topLevel("frmPluviometros"));
    ASSERT_NE(opened, nullptr);
    type(child<QLineEdit>(opened, "txtDiametro"), "10");
    reading(*opened, Radius::First, 0, "50", "5");
    ASSERT_TRUE(opened->save());
    reading(*opened, Radius::First, 1, "60", "10");
    messages.answer(MessageService::Answer::No);
    EXPECT_TRUE(opened->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(stored("Saved once"));
    EXPECT_EQ(stored("Saved once")->firstSample.Length(), 1);
    ASSERT_EQ(names->count(), 1);
}

TEST_F(EvaluationWindowsTest, TwoWindowsOnOneEvaluationTheLaterSaveOffersSaveAsAndReload) {
    auto created = quarvex::statics().PivotEvaluations().newEvaluation("shared");
    created.pluviometer = quarvex::statics().Pluviometros().newPluviometro(0.15);
    created.firstSample.Push(quarvex::statics().FieldSamples().newFieldSample(100, 10));
    storeEvaluation(con, created, false);
    const auto e = stored("shared");
    ASSERT_TRUE(e);
    // Two designers open it; Ana saves first.
    frmPluviometros ana(services, *e), bruno(services, *e), carla(services, *e);
    for (frmPluviometros* w : {&ana, &bruno, &carla}) {
        w->show();
    }
    ::setenv("KAMBRIX_USER", "ana", 1);
    cell(ana.grid(Radius::First), 0, kVolume, "110");
    click(&ana, "cmdGuardar");
    EXPECT_EQ(stored("shared")->firstSample(1).collectedAmount, 110);

    // Bruno's save is refused; he keeps his readings under another name.
    ::setenv("KAMBRIX_USER", "bruno", 1);
    cell(bruno.grid(Radius::First), 0, kVolume, "120");
    messages.answerItem(0);  // "Save as…"
    messages.answerText(QStringLiteral("shared (Bruno)"));
    click(&bruno, "cmdGuardar");
    ASSERT_EQ(messages.actionTexts.size(), 1);
    EXPECT_TRUE(
        messages.actionTexts[0].startsWith("The evaluation \"shared\" was changed by ana at "))
        << messages.actionTexts[0].toStdString();
    EXPECT_EQ(messages.actionLists[0], (QStringList{QString::fromUtf8("Save as…"), "Reload"}));
    EXPECT_EQ(stored("shared")->firstSample(1).collectedAmount, 110);
    ASSERT_TRUE(stored("shared (Bruno)"));
    EXPECT_EQ(stored("shared (Bruno)")->firstSample(1).collectedAmount, 120);
    EXPECT_EQ(child<QLabel>(&bruno, "lblNombre")->text(), "shared (Bruno)");
    EXPECT_FALSE(bruno.session().isModified());

    // Carla's save is refused too; she reads Ana's readings again.
    ::setenv("KAMBRIX_USER", "carla", 1);
    cell(carla.grid(Radius::First), 0, kVolume, "130");
    messages.answerItem(1);  // "Reload"
    click(&carla, "cmdGuardar");
    EXPECT_EQ(messages.actionTexts.size(), 2);
    EXPECT_EQ(at(carla.grid(Radius::First), 0, kVolume), "110");
    EXPECT_FALSE(carla.session().isModified());
    EXPECT_EQ(stored("shared")->firstSample(1).collectedAmount, 110);
    EXPECT_EQ(evaluationRows(), 2);
}

TEST_F(EvaluationWindowsTest, SavedAndReopenedKeepsReadingsInOrderAndAskingBeforeLosingThem) {
    auto created = quarvex::statics().PivotEvaluations().newEvaluation("kept");
    storeEvaluation(con, created, false);
    const char* volumes[] = {"88.123456789012345", "0.1", "1e-7", "123456.789012345678", "7"};
    const char* distances[] = {"300.5", "10", "20.000000000000004", "5", "150"};
    {
        auto* w = new frmPluviometros(services, created);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        type(child<QLineEdit>(w, "txtDiametro"), "15.2");
        for (int i = 0; i < 5; ++i) {
            reading(*w, Radius::First, i, volumes[i], distances[i]);
        }
        reading(*w, Radius::Second, 0, "50", "40");
        // Closing asks; Cancel keeps the window open and the changes.
        messages.answer(MessageService::Answer::Cancel);
        EXPECT_FALSE(w->close());
        EXPECT_EQ(messages.choices.back(),
                  "The evaluation kept has changes that are not saved. Do you want to save them?");
        click(w, "cmdGuardar");
        EXPECT_EQ(messages.statuses.back(), "The evaluation kept was saved");
        EXPECT_TRUE(w->close());  // nothing left to ask
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const auto e = stored("kept");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->id, created.id);
    EXPECT_EQ(evaluationRows(), 1);
    ASSERT_EQ(e->firstSample.Length(), 5);
    for (int i = 0; i < 5; ++i) {
        // Stored exactly: the value typed is the value read back.
        EXPECT_EQ(e->firstSample(i + 1).collectedAmount, std::stod(volumes[i])) << i;
        EXPECT_EQ(e->firstSample(i + 1).distanceFromCenter, std::stod(distances[i])) << i;
    }
    EXPECT_EQ(e->secondSample.Length(), 1);
    EXPECT_DOUBLE_EQ(e->pluviometer.diameter, 0.152);

    frmPluviometros again(services, *e);
    again.show();
    auto* g = again.grid(Radius::First);
    // The shortest text that reads back as the stored double.
    EXPECT_EQ(at(g, 0, kVolume), "88.12345678901235");
    EXPECT_EQ(at(g, 2, kVolume), "1e-07");
    EXPECT_EQ(at(g, 3, kVolume), "123456.78901234567");
    EXPECT_EQ(at(g, 2, kDistance), "20.000000000000004");
    EXPECT_EQ(at(g, 4, kDistance), "150");
    EXPECT_EQ(child<QLineEdit>(&again, "txtDiametro")->text(), "15.2");
    EXPECT_FALSE(again.session().isModified());

    // No leaves without saving; Yes saves; an incomplete row keeps the window open.
    cell(g, 5, kVolume, "44");
    messages.answer(MessageService::Answer::Yes);
    EXPECT_FALSE(again.close());
    EXPECT_EQ(messages.messages.back(),
              "Row 6 of the 1st radius has no distance: enter it or delete the row");
    cell(g, 5, kDistance, "400");
    messages.answer(MessageService::Answer::No);
    EXPECT_TRUE(again.close());
    EXPECT_EQ(stored("kept")->firstSample.Length(), 5);
}

TEST_F(EvaluationWindowsTest, ReportAsPdfHoldsTheEvaluationAndBreaksItsTables) {
    frmPluviometros w(services, quarvex::statics().PivotEvaluations().newEvaluation("North field"));
    w.show();
    type(child<QLineEdit>(&w, "txtDiametro"), "10");
    const int volumes[] = {47, 42, 45, 24, 13, 26, 33, 34, 27, 30, 40, 44, 32, 12, 12};
    // Enough cans for the first radius' table to run over a page.
    QString block;
    for (int i = 0; i < 90; ++i) {
        block += QStringLiteral("%1\t100\n").arg(volumes[i % 15]);
    }
    w.grid(Radius::First)->setCurrentCell(0, kVolume);
    w.pasteText(Radius::First, block);
    reading(w, Radius::Second, 0, "30", "50");
    ASSERT_EQ(w.session().rowCount(Radius::First), 90);
    EXPECT_EQ(result(w, CU, 1), "69.14");  // six times the example: the same CU

    const auto pdf = tmp.path() / "report.pdf";
    messages.answerFile(QString::fromStdString(pdf.string()));
    click(&w, "cmdPDF");
    ASSERT_TRUE(std::filesystem::exists(pdf)) << messages.messages.join("\n").toStdString();
    EXPECT_EQ(messages.fileFilters.back(), "PDF (*.pdf)");
    const std::string text = pdfText(pdf);
    for (const char* expected :
         {"Catch-can evaluation North field", "Name", "North field", "Date", "Can diameter",
          "10 cm", "Results", "CU (%)", "69.14", "UD (%)", "Uniformity",
          "CU of both radii 69.29 %: Poor uniformity", "Depth against distance", "1st radius",
          "2nd radius", "Page 1 of"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
    EXPECT_NE(text.find(todayText()), std::string::npos);
    // The print preview shows the same report.
    const auto preview = tmp.path() / "preview.pdf";
    messages.previewFile = QString::fromStdString(preview.string());
    click(&w, "cmdVistaPrevia");
    EXPECT_EQ(messages.previews, QStringList({"Catch-can evaluation North field"}));
    ASSERT_TRUE(std::filesystem::exists(preview));
    EXPECT_NE(pdfText(preview).find("CU of both radii 69.29 %: Poor uniformity"),
              std::string::npos);
    // The plot is drawn into the report.
    const std::string images = run("pdfimages -list '" + pdf.string() + "'");
    EXPECT_NE(images.find("image"), std::string::npos) << images;
    // The 90 readings run over a page, and the table's heading comes again there.
    const int pages = pdfPages(pdf);
    ASSERT_GE(pages, 3);
    // The page of a sample-table row, 0 when none holds it.
    const auto pageOf = [&](const std::regex& row) {
        for (int p = 1; p <= pages; ++p) {
            std::istringstream lines(pdfText(pdf, p, p));
            for (std::string line; std::getline(lines, line);) {
                if (std::regex_search(line, row)) {
                    return p;
                }
            }
        }
        return 0;
    };
    const int firstRow = pageOf(std::regex(R"(^\s*1\s+47\s+100\s+5\.984)"));
    const int laterRow = pageOf(std::regex(R"(^\s*88\s+32\s+100\s+4\.074)"));
    ASSERT_GT(firstRow, 0);
    ASSERT_GT(laterRow, firstRow);  // the table runs over a page...
    // ...and its heading ("Note" heads only the sample tables) comes again there.
    EXPECT_NE(pdfText(pdf, laterRow, laterRow).find("Note"), std::string::npos);
    const std::string last = pdfText(pdf, pages, pages);
    EXPECT_NE(last.find("Page " + std::to_string(pages) + " of " + std::to_string(pages)),
              std::string::npos);
    // An unwritable file is told.
    EXPECT_FALSE(
        w.savePdf(QString::fromStdString((tmp.path() / "no" / "such" / "r.pdf").string())));
    EXPECT_FALSE(messages.messages.isEmpty());
}

// Filled with two radii, both windows fit the screen and no command's caption is cut; with
// KAMBRIX_SHOT_DIR set the windows are saved there as pictures to look at.
TEST_F(EvaluationWindowsTest, WindowsWithDataFitTheScreenAndShowWholeCaptions) {
    auto stored = storeWithReadings("North field");
    frmPivotEvaluations list(services);
    list.show();
    frmPluviometros w(services, stored);
    w.show();
    const int volumes[] = {47, 42, 45, 24, 13, 26, 33, 34, 27, 30, 40, 44, 32, 12, 12};
    QString first, second;
    for (int i = 0; i < 15; ++i) {
        first += QStringLiteral("%1\t%2\n").arg(volumes[i]).arg(20 * (i + 1));
        second += QStringLiteral("%1\t%2\n").arg(volumes[(i + 4) % 15] + 5).arg(20 * (i + 1) + 10);
    }
    w.grid(Radius::First)->setCurrentCell(0, kVolume);
    w.pasteText(Radius::First, first);
    w.grid(Radius::Second)->setCurrentCell(0, kVolume);
    w.pasteText(Radius::Second, second);
    cell(w.grid(Radius::First), 15, kVolume, "-2");
    cell(w.grid(Radius::First), 15, kDistance, "320");
    QApplication::processEvents();
    for (QWidget* window : std::initializer_list<QWidget*>{&list, &w}) {
        const QRect area = window->screen()->availableGeometry();
        EXPECT_LE(window->width(), area.width()) << window->objectName().toStdString();
        EXPECT_LE(window->height(), area.height()) << window->objectName().toStdString();
        for (auto* b : window->findChildren<QPushButton*>()) {
            if (b->isVisible()) {
                EXPECT_GE(b->width(), b->sizeHint().width()) << b->objectName().toStdString();
            }
        }
        for (auto* l : window->findChildren<QLabel*>()) {
            if (l->isVisible() && !l->wordWrap() && !l->text().isEmpty()) {
                EXPECT_GE(l->width(), l->sizeHint().width()) << l->objectName().toStdString();
            }
        }
        if (const char* dir = std::getenv("KAMBRIX_SHOT_DIR")) {
            window->grab().save(QString::fromLocal8Bit(dir) + "/" + window->objectName() + ".png");
        }
    }
    if (const char* dir = std::getenv("KAMBRIX_SHOT_DIR")) {
        EXPECT_TRUE(w.savePdf(QString::fromLocal8Bit(dir) + "/report.pdf"));
    }
    messages.defaultChoice = MessageService::Answer::No;
}

// The test's conditions and the chart it tests: chosen in the window, saved with the
// evaluation, shown again on reopening, and read by the diagnosis, the plot and the report.
TEST_F(EvaluationWindowsTest, ConditionsAndTheLinkedChartAreSavedAndDiagnosed) {
    Projecto project = test::storeDemoProject(services.config);
    const int chartId = makeDemoChart(services.config, project);
    auto e = quarvex::statics().PivotEvaluations().newEvaluation("linked");
    e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(0.1);
    for (int i = 8; i <= 80; ++i) {
        // About 7 mm everywhere, 3.5 mm from 245 m to 255 m.
        const double depth = (i >= 49 && i <= 51) ? 3.5 : 7.0;
        e.firstSample.Push(
            quarvex::statics().FieldSamples().newFieldSample(depth * 7.853981633974483, 5.0 * i));
    }
    storeEvaluation(con, e, false);
    {
        auto* w = new frmPluviometros(services, e);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        EXPECT_TRUE(w->diagnosis().designedProfile.empty());
        auto* cmb = child<QComboBox>(w, "cmbCarta");
        const int at = cmb->findText(QString::fromStdString(project.nome) + " \u2014 " +
                                     QString::fromStdString(kDemoChartName));
        ASSERT_GT(at, 0);
        cmb->setCurrentIndex(at);
        emit cmb->activated(at);
        type(child<QLineEdit>(w, "txtTemporizador"), "50");
        type(child<QLineEdit>(w, "txtFecha"), "2026-07-14");
        type(child<QLineEdit>(w, "txtViento"), "150");  // refused: beyond the range
        EXPECT_FALSE(w->session().conditions().windSpeed_ms);
        child<QLineEdit>(w, "txtViento")->clear();
        type(child<QLineEdit>(w, "txtViento"), "");
        EXPECT_TRUE(w->session().isModified());
        ASSERT_TRUE(w->diagnosis().linked);
        EXPECT_FALSE(w->diagnosis().designedProfile.empty());
        EXPECT_NE(seriesNamed<QLineSeries>(w, "Designed by the chart"), nullptr);
        const auto& low = w->diagnosis().diagnosis.lowZones;
        EXPECT_TRUE(std::any_of(low.begin(), low.end(), [](const CanZone& z) {
            return z.from <= 250 && 250 <= z.to && !z.suspects.empty();
        }));
        click(w, "cmdGuardar");
        EXPECT_TRUE(w->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const auto c = loadConditions(con, "linked");
    EXPECT_EQ(c.systemId, project.id);
    EXPECT_EQ(c.chartId, chartId);
    EXPECT_EQ(c.timer_percent, 50.0);
    EXPECT_EQ(c.date, "2026-07-14");

    frmPluviometros again(services, *stored("linked"));
    again.show();
    EXPECT_FALSE(again.session().isModified());
    EXPECT_EQ(child<QComboBox>(&again, "cmbCarta")->currentText().toStdString(),
              project.nome + " \u2014 " + kDemoChartName);
    EXPECT_EQ(child<QLineEdit>(&again, "txtTemporizador")->text(), "50");
    const auto doc = again.reportDocument();
    ASSERT_NE(doc.find("Test conditions"), nullptr);
    ASSERT_NE(doc.find("Diagnosis"), nullptr);
    // The title block the printed chart has: the linked system, the test's date, lines to sign.
    const auto* title = doc.find("Title block");
    ASSERT_NE(title, nullptr);
    const std::string text = doc.plainText();
    EXPECT_NE(text.find(project.nome), std::string::npos);
    EXPECT_NE(text.find("2026-07-14"), std::string::npos);
    EXPECT_NE(text.find(report::kSignatureLine), std::string::npos);
}
