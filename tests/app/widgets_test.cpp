// SPDX-License-Identifier: GPL-3.0-or-later
//
// Tests of the window foundation: the chart builder, the real message boxes (answered by a
// timer, never by a person), the numeric input box, the close that asks to save, the
// editable grid, the check of required fields and the scripted service's own bookkeeping.
#include <gtest/gtest.h>
#include <zarede/zarede.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <cmath>
#include <filesystem>
#include <functional>

#include "gui/widgets/chart_builder.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/qt_message_service.h"
#include "gui/widgets/required_fields.h"
#include "shell/errors.h"
#include "windows_test_support.h"

using namespace kambrix;

namespace {

class WidgetsTest : public test::WindowFixture {};

QValueAxis* axis(QChart* chart, Qt::Alignment side) {
    const auto axes = chart->axes(side == Qt::AlignBottom ? Qt::Horizontal : Qt::Vertical);
    for (QAbstractAxis* a : axes) {
        if (a->alignment() == side) {
            return qobject_cast<QValueAxis*>(a);
        }
    }
    return nullptr;
}

// Runs `inspect` on the modal box the next statement opens, then lets it close.
void whenModalOpens(std::function<void(QWidget*)> inspect) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            inspect(w);
        }
    });
    timer->start(10);
}

}  // namespace

TEST_F(WidgetsTest, ChartBuilderDrawsSeriesMarksAndAreas) {
    test::CommaLocale comma;
    // q = 2 x^-0.5 over [1, 4] and the ellipse of 2 h with a peak of 3 mm/h, 5 points each.
    zarede::Factory factory;
    auto source = factory.newSerieSource();
    source->addFunction(factory.newKostiakovFunction(1, 4, 2, -0.5, std::string("infiltration")),
                        5);
    source->addFunction(factory.newEclipseFunction(1, 3, std::string("application")), 5);
    QChart* chart = ChartBuilder()
                        .title("Runoff")
                        .xAxis("Time (h)", "0.00")
                        .yAxis("Rate (mm/h)", "0.0")
                        .series(*source)
                        .area("Stored", {{0, 0}, {1, 1}}, {{0, 1}, {1, 2}})
                        .points("Cans", {{0.5, 2.7}})
                        .verticalMarks({1.5, 3}, "Towers")
                        .horizontalLine(0.25, "Minimum")
                        .build();
    QChartView view(chart);  // the legend shows its entries once the chart is on screen
    view.resize(600, 400);
    view.show();
    QApplication::processEvents();
    EXPECT_TRUE(chart->localizeNumbers());
    EXPECT_EQ(chart->locale().decimalPoint(), ",");
    QValueAxis* x = axis(chart, Qt::AlignBottom);
    QValueAxis* y = axis(chart, Qt::AlignLeft);
    ASSERT_NE(x, nullptr);
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(x->labelFormat(), "%.2f");
    EXPECT_EQ(y->labelFormat(), "%.1f");
    EXPECT_EQ(x->titleText(), "Time (h)");
    // Nice ticks cover the data: x from 0 to 4, y from 0 to the curve's 2 at x = 1 and the
    // ellipse's peak 3.
    EXPECT_LE(x->min(), 0);
    EXPECT_GE(x->max(), 4);
    EXPECT_LE(y->min(), 0);
    EXPECT_GE(y->max(), 3);
    const double step = (x->max() - x->min()) / (x->tickCount() - 1);
    EXPECT_NEAR(std::remainder(x->min(), step), 0, 1e-9);  // ticks on round values

    QLineSeries* infiltration = nullptr;
    int towers = 0;
    int visibleTowerMarkers = 0;
    for (QAbstractSeries* s : chart->series()) {
        if (s->name() == "infiltration") {
            infiltration = qobject_cast<QLineSeries*>(s);
        }
        if (s->name() == "Towers") {
            ++towers;
            auto* line = qobject_cast<QLineSeries*>(s);
            EXPECT_DOUBLE_EQ(line->at(0).x(), line->at(1).x());  // vertical
            EXPECT_DOUBLE_EQ(line->at(0).y(), y->min());         // across the whole height
            EXPECT_DOUBLE_EQ(line->at(1).y(), y->max());
            for (QLegendMarker* m : chart->legend()->markers(s)) {
                visibleTowerMarkers += m->isVisible() ? 1 : 0;
            }
        }
        if (s->name() == "Minimum") {
            auto* line = qobject_cast<QLineSeries*>(s);
            EXPECT_DOUBLE_EQ(line->at(0).x(), x->min());
            EXPECT_DOUBLE_EQ(line->at(1).x(), x->max());
            EXPECT_DOUBLE_EQ(line->at(0).y(), 0.25);
        }
    }
    ASSERT_NE(infiltration, nullptr);
    ASSERT_EQ(infiltration->count(), 5);
    EXPECT_DOUBLE_EQ(infiltration->at(0).y(), 2);    // 2 · 1^-0.5
    EXPECT_DOUBLE_EQ(infiltration->at(4).y(), 1);    // 2 · 4^-0.5
    EXPECT_DOUBLE_EQ(infiltration->at(2).x(), 2.5);  // evenly spaced
    EXPECT_EQ(towers, 2);
    EXPECT_EQ(visibleTowerMarkers, 1);  // one legend entry for all towers
    int areas = 0;
    int scatters = 0;
    for (QAbstractSeries* s : chart->series()) {
        areas += s->type() == QAbstractSeries::SeriesTypeArea ? 1 : 0;
        scatters += s->type() == QAbstractSeries::SeriesTypeScatter ? 1 : 0;
    }
    EXPECT_EQ(areas, 1);
    EXPECT_EQ(scatters, 1);
    EXPECT_EQ(labelFormatOf("0"), "%.0f");
    EXPECT_EQ(labelFormatOf("0.000"), "%.3f");
}

TEST_F(WidgetsTest, ChartBuilderKeepsAFlatLineReadableAndARightAxis) {
    std::unique_ptr<QChart> chart(ChartBuilder()
                                      .xAxis("x", "0")
                                      .yAxis("p", "0")
                                      .yAxis("z", "0.0", AxisSide::Right)
                                      .minimumSpan(AxisSide::Right, 1)
                                      .line("p", {{0, 300}, {100, 250}})
                                      .line("z", {{0, 100}, {100, 100}}, AxisSide::Right)
                                      .build());
    QValueAxis* right = axis(chart.get(), Qt::AlignRight);
    ASSERT_NE(right, nullptr);
    EXPECT_LE(right->min(), 99.5);
    EXPECT_GE(right->max(), 100.5);
    EXPECT_LT(right->max() - right->min(), 10);  // not stretched far beyond the metre asked
    // Nothing to draw: no axes with a made-up range either.
    std::unique_ptr<QChart> empty(ChartBuilder().xAxis("x").yAxis("y").build());
    EXPECT_EQ(empty->series().size(), 0);
    EXPECT_TRUE(empty->axes().isEmpty());
}

TEST_F(WidgetsTest, RealBoxesDefaultToNoForDestructiveQuestionsAndHoldDetails) {
    QtMessageService real;
    bool defaultIsNo = false;
    whenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Kambrix");
        defaultIsNo =
            box->defaultButton() == static_cast<QPushButton*>(box->button(QMessageBox::No));
        box->defaultButton()->click();  // Enter
    });
    EXPECT_FALSE(real.confirm(nullptr, "Remove it?", MessageService::Default::No));
    EXPECT_TRUE(defaultIsNo);

    whenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->defaultButton(), static_cast<QPushButton*>(box->button(QMessageBox::Yes)));
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(real.askYesNoCancel(nullptr, "Save?"), MessageService::Answer::Cancel);

    QString details;
    whenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        details = box->detailedText();
        box->button(QMessageBox::Ok)->click();
    });
    real.showMessage(nullptr, "The system could not be saved", "attempt to write");
    EXPECT_EQ(details, "attempt to write");

    whenModalOpens([&](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->textValue(), "Carta 1");
        dialog->setTextValue("   ");
        dialog->accept();
    });
    // A blank answer is a cancelled prompt.
    EXPECT_FALSE(real.askText(nullptr, "Please enter the name for the chart", "Carta 1"));
}

// Under a decimal comma a point still reads as the decimal mark, but the box shows back the
// value read, and a text that looks like digits grouped with points gets a note beside it.
TEST_F(WidgetsTest, NumberBoxShowsHowAPointWasReadUnderACommaLocale) {
    test::CommaLocale comma;
    QWidget form;
    auto* grid = new QGridLayout(&form);
    auto* label = new QLabel(QStringLiteral("Design discharge (L/s)"), &form);
    auto* edit = new QLineEdit(&form);
    edit->setObjectName("txtCaudal");
    auto* next = new QLineEdit(&form);
    grid->addWidget(label, 0, 0);
    grid->addWidget(edit, 0, 1);
    grid->addWidget(next, 1, 1);
    NumberBox box(edit, NumberRange{0, 1e9, true, false}, "the design discharge", true, messages);
    form.resize(600, 100);
    form.show();
    EXPECT_EQ(box.note(), nullptr);  // none until a text needs one

    test::type(edit, "1.500");
    EXPECT_EQ(edit->text(), "1,5");
    EXPECT_DOUBLE_EQ(*box.given(), 1.5);
    ASSERT_NE(box.note(), nullptr);
    EXPECT_EQ(box.note()->objectName(), "lblNota_txtCaudal");
    EXPECT_TRUE(box.note()->isVisible());
    EXPECT_EQ(box.note()->text(), "\"1.500\" was read as 1,5: a point is a decimal mark");
    // Beside the box, in its row, and the box keeps its parent.
    QCoreApplication::processEvents();
    form.layout()->activate();
    EXPECT_EQ(edit->parentWidget(), &form);
    EXPECT_GE(box.note()->geometry().left(), edit->geometry().right());
    EXPECT_LT(box.note()->geometry().top(), next->geometry().top());
    EXPECT_TRUE(messages.messages.isEmpty());

    test::type(edit, "2,25");  // the locale's own form: as typed, no note
    EXPECT_EQ(edit->text(), "2,25");
    EXPECT_FALSE(box.note()->isVisible());
    test::type(edit, " 0.75");  // a point that groups nothing: shown back, no note
    EXPECT_EQ(edit->text(), "0,75");
    EXPECT_FALSE(box.note()->isVisible());
    test::type(edit, "-1.500,25");
    EXPECT_EQ(edit->text(), "0,75");  // refused: not a number, nor below 0
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(box.note()->isVisible());
    test::type(edit, "12.345.678");
    EXPECT_EQ(edit->text(), "0,75");
    EXPECT_EQ(messages.messages.size(), 2);
    EXPECT_EQ(box.note()->text(),
              "\"12.345.678\" is not a number: a point is a decimal mark, and digits are not "
              "grouped");
    box.setExactValue(1500);  // a value put by the program clears the note
    EXPECT_EQ(edit->text(), "1500");
    EXPECT_FALSE(box.note()->isVisible());
    // Only under a decimal comma.
    EXPECT_FALSE(pointGroupingNote("1.500", '.'));
    EXPECT_EQ(shownNumberText("1.500", '.'), "1.500");
    EXPECT_FALSE(pointGroupingNote("1500", ','));
    EXPECT_FALSE(pointGroupingNote("1.50", ','));
    EXPECT_FALSE(pointGroupingNote("1234.567", ','));
}

TEST_F(WidgetsTest, NumberBoxChecksOnLeavingAndTellsOnlyChanges) {
    QLineEdit edit;
    int accepted = 0;
    NumberBox box(&edit, NumberRange{0, 11, false, true}, "the number of spans", false, messages,
                  [&] { ++accepted; });
    box.extraCheck = [](double n) -> std::optional<std::string> {
        return n > 11 && std::floor(n) == n ? std::optional<std::string>("limited to 11")
                                            : std::nullopt;
    };
    EXPECT_FALSE(box.commit());  // blank, and a blank is not allowed here
    EXPECT_EQ(messages.messages.value(0), "It must be given the number of spans");
    test::type(&edit, "4");
    EXPECT_EQ(accepted, 1);
    test::type(&edit, "4");
    EXPECT_EQ(accepted, 1);  // unchanged: not told again
    test::type(&edit, "12");
    EXPECT_EQ(messages.messages.value(1), "limited to 11");  // its own message first
    test::type(&edit, "2.5");
    EXPECT_EQ(messages.messages.value(2),
              "The value for the number of spans must be a whole number from 0 to 11");
    test::type(&edit, "3 spans");
    EXPECT_EQ(messages.messages.value(3),
              "\"3 spans\" is not a number: please enter a number for the number of spans");
    EXPECT_EQ(edit.text(), "4");
    EXPECT_DOUBLE_EQ(*box.given(), 4);
    box.setExactValue(0.00422074);
    EXPECT_EQ(edit.text(), "0.00422074");
    EXPECT_EQ(accepted, 1);
}

TEST_F(WidgetsTest, TheWheelScrollsTheFormNotTheChoiceUnderThePointer) {
    QScrollArea area;
    auto* form = new QWidget;
    auto* layout = new QVBoxLayout(form);
    auto* owner = new QLineEdit;  // where the user typed last
    layout->addWidget(owner);
    auto* span = new QComboBox;
    span->addItems({"RS 162x56.4", "RS 141.3x54", "RS 162x59.5"});
    layout->addWidget(span);
    layout->addSpacing(3000);  // a form much taller than its window
    area.setWidget(form);
    area.resize(400, 300);
    area.show();
    area.activateWindow();
    owner->setFocus();
    QApplication::processEvents();
    const auto turn = [&] {
        const QPointF at(10, 10);
        QWheelEvent wheel(at, span->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(span, &wheel);
    };
    ASSERT_FALSE(span->hasFocus());
    turn();
    EXPECT_EQ(span->currentIndex(), 0) << "the span under the pointer stays as chosen";
    EXPECT_GT(area.verticalScrollBar()->value(), 0) << "the form scrolls instead";
    // A list the user is working in (it has the focus) still takes the wheel.
    span->setFocus();
    QApplication::processEvents();
    if (span->hasFocus()) {
        turn();
        EXPECT_EQ(span->currentIndex(), 1);
    }
}

// Stacked bars: one set per kind, a value per category (a short set counts 0), the category
// axis below with its title and the fixed left axis; nothing drawn without categories; and
// a chart replaced in its view is deleted.
TEST_F(WidgetsTest, StackedBarsAndReplacedCharts) {
    QChart* chart = ChartBuilder()
                        .xAxis("Package")
                        .yAxis("CU (%)", "0")
                        .yRange(80, 100)
                        .stackedBars({"1", "2", "3"},
                                     {{"Meets", {90, 0, 95}, QColor(0x2e, 0x7d, 0x32)},
                                      {"Fails", {0, 85}, QColor()}},
                                     false)
                        .build();
    ASSERT_EQ(chart->series().size(), 1);
    auto* bars = qobject_cast<QStackedBarSeries*>(chart->series().front());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->barSets().size(), 2);
    QBarSet* meets = bars->barSets()[0];
    QBarSet* fails = bars->barSets()[1];
    EXPECT_EQ(meets->label(), "Meets");
    EXPECT_EQ(meets->color(), QColor(0x2e, 0x7d, 0x32));
    ASSERT_EQ(fails->count(), 3);
    EXPECT_EQ(fails->at(1), 85);
    EXPECT_EQ(fails->at(2), 0);
    const auto horizontal = chart->axes(Qt::Horizontal);
    ASSERT_EQ(horizontal.size(), 1);
    auto* categories = qobject_cast<QBarCategoryAxis*>(horizontal.front());
    ASSERT_NE(categories, nullptr);
    EXPECT_EQ(categories->categories(), QStringList({"1", "2", "3"}));
    EXPECT_EQ(categories->titleText(), "Package");
    EXPECT_FALSE(categories->labelsVisible());
    QValueAxis* left = axis(chart, Qt::AlignLeft);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->min(), 80);
    EXPECT_EQ(left->max(), 100);
    EXPECT_EQ(left->titleText(), "CU (%)");

    // Without a fixed range the axis holds zero and the highest bar.
    QChart* free = ChartBuilder().stackedBars({"1", "2"}, {{"A", {40, 70}, QColor()}}).build();
    QValueAxis* y = axis(free, Qt::AlignLeft);
    ASSERT_NE(y, nullptr);
    EXPECT_LE(y->min(), 0);
    EXPECT_GE(y->max(), 70);
    QChart* empty = ChartBuilder().stackedBars({}, {{"A", {}, QColor()}}).build();
    EXPECT_TRUE(empty->series().isEmpty());
    delete empty;
    delete free;

    QChartView view;
    replaceChart(&view, chart);
    QPointer<QChart> first(chart);
    replaceChart(&view, ChartBuilder().build());
    EXPECT_TRUE(first.isNull());
    EXPECT_NE(view.chart(), nullptr);
}

// A window with changes asks before it closes: Cancel and a save that fails or throws keep
// it open (the throw in the error box), No closes after the window's own step for a refusal,
// Yes closes once saved, and a window without changes closes without a question.
TEST_F(WidgetsTest, ClosingAsksToSaveAndStaysOpenOnCancelOrAFailedSave) {
    class Editor : public QWidget {
      public:
        explicit Editor(MessageService& m) : messages_(m) {}
        bool unsaved = true;
        std::function<bool()> save;
        int saves = 0;
        int declined = 0;

      protected:
        void closeEvent(QCloseEvent* event) override {
            closeAskingToSave(
                event, messages_, this, unsaved, QStringLiteral("Save the changes?"),
                [this] {
                    ++saves;
                    return save();
                },
                [this] { ++declined; });
        }

      private:
        MessageService& messages_;
    };
    Editor w(messages);
    w.show();
    w.save = [] { return false; };

    messages.answer(MessageService::Answer::Cancel);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(messages.choices, QStringList({"Save the changes?"}));
    EXPECT_EQ(w.saves, 0);

    messages.answer(MessageService::Answer::Yes);
    EXPECT_FALSE(w.close());
    EXPECT_EQ(w.saves, 1);

    w.save = []() -> bool { raiseError(errc::RecordNotFound); };
    messages.expectErrorBoxes(1);
    messages.answer(MessageService::Answer::Yes);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(messages.errorBoxes.size(), 1);
    EXPECT_TRUE(messages.errorBoxes[0].startsWith("There is no record of that name"));
    EXPECT_EQ(w.declined, 0);

    messages.answer(MessageService::Answer::No);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(w.declined, 1);
    EXPECT_EQ(w.saves, 2);

    w.show();
    w.save = [] { return true; };
    messages.answer(MessageService::Answer::Yes);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(w.saves, 3);

    w.show();
    w.unsaved = false;
    const auto asked = messages.choices.size();
    EXPECT_TRUE(w.close());
    EXPECT_EQ(messages.choices.size(), asked);
    EXPECT_EQ(w.saves, 3);
}

// An editable grid opens its cells to typing and leaves Ctrl+V, Ctrl+C and Ctrl+Z to the
// window (a throw ends in the error box); Enter does not activate a row, and the grid's own
// copy and export commands are not in its menu.
TEST_F(WidgetsTest, AnEditableGridLeavesItsKeysToTheWindow) {
    GridView grid("grdEjemplo", QStringLiteral("A;B"));
    grid.setMessages(&messages);
    grid.setColumnCount(2);
    grid.setRowCount(3);
    int pasted = 0;
    int copied = 0;
    grid.setEditable(
        {[&] { ++pasted; }, [&] { ++copied; }, [] { raiseError(errc::RecordNotFound); }});
    std::vector<int> activated;
    QObject::connect(&grid, &GridView::rowActivated, [&](int r) { activated.push_back(r); });
    grid.show();
    grid.setCurrentCell(1, 0);
    EXPECT_TRUE(grid.isEditable());
    EXPECT_TRUE(grid.editTriggers().testFlag(QAbstractItemView::AnyKeyPressed));
    EXPECT_TRUE(grid.actions().isEmpty());

    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(pasted, 1);
    EXPECT_EQ(copied, 1);
    messages.expectErrorBoxes(1);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(messages.errorBoxes.size(), 1);
    EXPECT_TRUE(messages.errorBoxes[0].startsWith("There is no record of that name"));
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_TRUE(activated.empty());

    // A grid that only shows keeps Enter for the row and its own commands.
    GridView shown("grdMuestra", QStringLiteral("A"));
    shown.setColumnCount(1);
    shown.setRowCount(2);
    QObject::connect(&shown, &GridView::rowActivated, [&](int r) { activated.push_back(r); });
    shown.show();
    shown.setCurrentCell(1, 0);
    QTest::keyClick(&shown, Qt::Key_Return);
    EXPECT_EQ(activated, std::vector<int>{1});
    EXPECT_EQ(shown.actions().size(), 2);
}

// Every blank required field is named in one box, the focus goes to the first of them, and a
// complete form passes without a box.
TEST_F(WidgetsTest, RequiredFieldsNameEveryBlankFieldAndFocusTheFirst) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* brand = new QLineEdit;
    auto* name = new QLineEdit;
    auto* a = new QLineEdit;
    for (QLineEdit* e : {brand, name, a}) {
        layout->addWidget(e);
    }
    auto* coefficient =
        new NumberBox(a, NumberRange{0, 10}, QStringLiteral("the coefficient a"), true, messages);
    form.show();
    brand->setText("Maker");
    name->setText("   ");
    brand->setFocus();

    RequiredFields missing;
    missing.need(brand, "the brand").need(name, "the designation").need(coefficient);
    EXPECT_EQ(missing.missing(),
              (std::vector<std::string>{"the designation", "the coefficient a"}));
    EXPECT_FALSE(missing.check(messages, &form, "the nozzle"));
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_EQ(messages.messages[0],
              "The information for the nozzle is incomplete. It must be "
              "given the designation and the coefficient a");
    EXPECT_EQ(form.focusWidget(), name);
    EXPECT_EQ(missing.message(""), "It must be given the designation and the coefficient a");

    name->setText("A1");
    test::type(a, "2");
    RequiredFields complete;
    complete.need(brand, "the brand").need(name, "the designation").need(coefficient);
    complete.need(!brand->text().isEmpty(), "the model", brand);
    EXPECT_TRUE(complete.check(messages, &form, "the nozzle"));
    EXPECT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(complete.message("the nozzle").empty());
}

// The scripted print preview draws the document on a PDF printer named as the document; a
// failure while drawing is a box of an unexpected error, which stays counted until the test
// says it expected it, whatever clear() forgets.
TEST_F(WidgetsTest, ScriptedPreviewDrawsAndCountsUnexpectedErrorBoxes) {
    ScriptedMessageService s;
    QWidget w;
    const auto pdf = tmp.path() / "preview.pdf";
    s.previewFile = QString::fromStdString(pdf.string());
    QString printed;
    s.printPreview(&w, "North field", [&](QPrinter& printer) {
        printed = printer.docName();
        QPainter painter(&printer);
        painter.drawText(QPointF(100, 100), QStringLiteral("North field"));
    });
    EXPECT_EQ(s.previews, QStringList({"North field"}));
    EXPECT_EQ(printed, "North field");
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 0u);
    EXPECT_TRUE(s.unexpectedErrorBoxes().isEmpty());

    s.printPreview(&w, "Broken", [](QPrinter&) { raiseError(errc::RecordNotFound); });
    ASSERT_EQ(s.unexpectedErrorBoxes().size(), 1);
    EXPECT_TRUE(s.unexpectedErrorBoxes()[0].startsWith("There is no record of that name"));
    EXPECT_EQ(s.messages.back(), s.errorBoxes.back());
    s.clear();
    EXPECT_TRUE(s.previews.isEmpty());
    EXPECT_EQ(s.unexpectedErrorBoxes().size(), 1);
    s.expectErrorBoxes();
    EXPECT_TRUE(s.unexpectedErrorBoxes().isEmpty());
    // A box the window words itself is not an unexpected one.
    s.showMessage(&w, QStringLiteral("The brand needs a name"), QString());
    EXPECT_TRUE(s.errorBoxes.size() == 1 && s.unexpectedErrorBoxes().isEmpty());
}
