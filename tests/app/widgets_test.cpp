// SPDX-License-Identifier: GPL-3.0-or-later
//
// Tests of the window foundation: the chart builder, the real message boxes (answered by a
// timer, never by a person) and the numeric input box.
#include <gtest/gtest.h>
#include <zarede/zarede.h>

#include <QComboBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <cmath>
#include <functional>

#include "gui/widgets/chart_builder.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/qt_message_service.h"
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
