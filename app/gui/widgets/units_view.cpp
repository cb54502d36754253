// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/units_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QtCharts/QChartView>

#include "gui/widgets/checked_box.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"
#include "report/chart_builder.h"
#include "shell/unit_captions.h"

namespace kambrix {
namespace {

const char* const kSettingsKey = "display/units";
// The caption a widget had in stored units, and the text it was last given here.
const char* const kStoredCaption = "kambrixStoredCaption";
const char* const kShownCaption = "kambrixShownCaption";

QSettings programSettings() {
    return QSettings(QStringLiteral("Kambrix"), QStringLiteral("Kambrix"));
}

// The caption in the shown units; `current` is what the widget shows now.
template <class Set>
void convertCaption(QObject* w, const QString& current, Set&& set) {
    QString stored = w->property(kStoredCaption).toString();
    if (!w->property(kShownCaption).isValid() || current != w->property(kShownCaption).toString()) {
        stored = current;  // a caption the window or the language file gave since
    }
    const ShownCaption shown = captionInUnits(stored.toStdString(), shownUnits());
    if (!shown.quantity) {
        w->setProperty(kStoredCaption, QVariant());
        w->setProperty(kShownCaption, QVariant());
        return;
    }
    const QString text = QString::fromStdString(shown.text);
    w->setProperty(kStoredCaption, stored);
    w->setProperty(kShownCaption, text);
    if (text != current) {
        set(text);
    }
}

// A window's own redraw, kept as its child.
class UnitsRedraw : public QObject {
    Q_OBJECT

  public:
    UnitsRedraw(QObject* parent, std::function<void()> redraw)
        : QObject(parent), redraw(std::move(redraw)) {}
    std::function<void()> redraw;
};

void redrawEverywhere() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        redrawInUnits(w);
    }
}

}  // namespace

UnitSystem loadUnitsSetting() {
    const QString kept = programSettings().value(QString::fromLatin1(kSettingsKey)).toString();
    const UnitSystem system = parseUnitSystem(kept.toStdString()).value_or(UnitSystem::SI);
    setShownUnits(system);
    return system;
}

void showUnits(UnitSystem system) {
    setShownUnits(system);
    redrawEverywhere();
}

void chooseUnits(UnitSystem system) {
    programSettings().setValue(QString::fromLatin1(kSettingsKey),
                               QString::fromUtf8(unitSystemKey(system).data(),
                                                 static_cast<int>(unitSystemKey(system).size())));
    showUnits(system);
}

namespace {

const char* const kFollowsUnits = "kambrixCaptionsFollowUnits";
const char* const kUnitOf = "kambrixUnitOf";

void showUnitLabel(QLabel* label) {
    const auto q = static_cast<Quantity>(label->property(kUnitOf).toInt());
    const Unit& unit = unitOf(q, shownUnits());
    QString stored = label->property(kStoredCaption).toString();
    if (!label->property(kShownCaption).isValid() ||
        label->text() != label->property(kShownCaption).toString()) {
        stored = label->text();  // a caption the window or the language file gave since
    }
    const QString text = unit.isStored() ? stored : QString::fromStdString(unit.symbol);
    label->setProperty(kStoredCaption, stored);
    label->setProperty(kShownCaption, text);
    if (text != label->text()) {
        label->setText(text);
    }
}

void showUnitLabels(QWidget* window) {
    for (auto* label : window->findChildren<QLabel*>()) {
        if (label->property(kUnitOf).isValid()) {
            showUnitLabel(label);
        }
    }
}

void convertCaptionsOf(QWidget* window) {
    for (auto* label : window->findChildren<QLabel*>()) {
        if (label->property(kUnitOf).isValid()) {
            continue;  // a unit label: showUnitLabels
        }
        convertCaption(label, label->text(), [label](const QString& t) { label->setText(t); });
    }
    for (auto* frame : window->findChildren<QGroupBox*>()) {
        convertCaption(frame, frame->title(), [frame](const QString& t) { frame->setTitle(t); });
    }
    for (auto* button : window->findChildren<QAbstractButton*>()) {
        convertCaption(button, button->text(), [button](const QString& t) { button->setText(t); });
    }
}

}  // namespace

void captionsFollowUnits(QWidget* widget) {
    widget->setProperty(kFollowsUnits, true);
    convertCaptionsOf(widget);
}

void unitLabel(QLabel* label, Quantity q) {
    label->setProperty(kUnitOf, static_cast<int>(q));
    showUnitLabel(label);
}

void applyUnitCaptions(QWidget* window) {
    showUnitLabels(window);
    if (window->property(kFollowsUnits).toBool()) {
        convertCaptionsOf(window);
        return;
    }
    for (auto* part : window->findChildren<QWidget*>()) {
        if (part->property(kFollowsUnits).toBool()) {
            convertCaptionsOf(part);
        }
    }
}

void redrawInUnits(QWidget* window) {
    applyUnitCaptions(window);
    for (auto* box : window->findChildren<NumberBox*>()) {
        box->redrawInUnits();
    }
    for (auto* box : window->findChildren<CheckedBox*>()) {
        box->redrawInUnits();
    }
    for (auto* grid : window->findChildren<GridView*>()) {
        grid->redrawInUnits();
    }
    for (auto* view : window->findChildren<QChartView*>()) {
        redrawKeptChart(view);
    }
    for (UnitsRedraw* r : window->findChildren<UnitsRedraw*>()) {
        if (r->redraw) {
            r->redraw();
        }
    }
}

void onUnitsChanged(QWidget* owner, std::function<void()> redraw) {
    new UnitsRedraw(owner, std::move(redraw));
}

}  // namespace kambrix

#include "units_view.moc"
