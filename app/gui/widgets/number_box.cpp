// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/number_box.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "gui/widgets/connections.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_display.h"
#include "shell/number_text.h"
#include "shell/services.h"

namespace kambrix {

NumberBox::NumberBox(QLineEdit* box, NumberRange range, QString what, bool allowBlank,
                     MessageService& messages, std::function<void()> accepted)
    : QObject(box),
      box_(box),
      range_(range),
      what_(std::move(what)),
      allowBlank_(allowBlank),
      messages_(messages),
      accepted_(std::move(accepted)),
      lastAccepted_(box->text()) {
    box_->installEventFilter(this);
    // The box is the connection's context: this object is its child and ends with it.
    onSignal(box_, &QLineEdit::returnPressed, box_, messages_, [this] { commit(); });
}

double NumberBox::value(double fallback) const {
    return given().value_or(fallback);
}

std::optional<double> NumberBox::storedOf(const QString& text) const {
    if (!exactText_.isNull() && text == exactText_ && exactStored_) {
        return exactStored_;
    }
    const std::optional<double> shown = givenNumber(box_);
    if (!shown || !converts()) {
        return shown;
    }
    return storedOfShown(*shown);
}

bool NumberBox::isStoredIn(UnitSystem system) const {
    if (quantity_) {
        return unitOf(*quantity_, system).isStored();
    }
    return !conversion_ || system == UnitSystem::SI;
}

double NumberBox::shownOf(double stored) const {
    if (isStoredIn(shownIn_)) {
        return stored;
    }
    return quantity_ ? toShown(*quantity_, shownIn_, stored)
                     : conversion_->toShown(shownIn_, stored);
}

double NumberBox::storedOfShown(double shown) const {
    if (isStoredIn(shownIn_)) {
        return shown;
    }
    return quantity_ ? toStored(*quantity_, shownIn_, shown)
                     : conversion_->toStored(shownIn_, shown);
}

std::optional<double> NumberBox::given() const {
    return storedOf(box_->text());
}

std::string NumberBox::storedText() const {
    const std::string text = box_->text().toStdString();
    if (!converts() || kambrix::isBlank(text) || !isNumberText(text, decimalSeparator())) {
        return text;
    }
    const auto stored = given();
    return stored && std::isfinite(*stored)
               ? toLocaleText(roundTripText(*stored), decimalSeparator())
               : text;
}

void NumberBox::setQuantity(Quantity quantity) {
    const std::optional<double> stored = given();
    quantity_ = quantity;
    shownIn_ = UnitSystem::SI;  // the text shown so far is in stored units
    if (stored) {
        exactStored_ = stored;
        exactText_ = box_->text();
    }
    redrawInUnits();
}

void NumberBox::setConversion(Conversion conversion) {
    const std::optional<double> stored = given();
    conversion_ = std::move(conversion);
    shownIn_ = UnitSystem::SI;
    if (stored) {
        exactStored_ = stored;
        exactText_ = box_->text();
    }
    redrawInUnits();
}

void NumberBox::redrawInUnits() {
    if (!converts() || shownIn_ == shownUnits()) {
        return;
    }
    const std::optional<double> stored = given();
    shownIn_ = shownUnits();
    if (stored && std::isfinite(*stored)) {
        reshow(*stored);
    }
}

void NumberBox::reshow(double stored) {
    const bool accepted = box_->text() == lastAccepted_;
    showStored(stored, std::nullopt);
    if (accepted) {
        lastAccepted_ = box_->text();
    }
}

void NumberBox::conversionChanged() {
    if (!conversion_ || isStoredIn(shownIn_) || exactText_.isNull() || !exactStored_ ||
        box_->text() != exactText_ || !std::isfinite(*exactStored_)) {
        return;
    }
    reshow(*exactStored_);
}

void NumberBox::showStored(double stored, std::optional<int> decimals) {
    const bool inStored = isStoredIn(shownIn_);
    const double shown = shownOf(stored);
    // A number typed in the stored units comes back with its digits; one shown in other
    // units with the unit's decimals, or all of its own where it has fewer.
    QString text;
    if (decimals && inStored) {
        text = screenNumber(shown, *decimals);
    } else if (!inStored && conversion_) {
        // A coefficient in other units: its significant digits, the exact value kept.
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.*g", conversion_->significantDigits, shown);
        text = QString::fromStdString(
            toLocaleText(roundTripText(std::strtod(digits, nullptr)), decimalSeparator()));
    } else if (inStored) {
        // The digits a designer could have typed (twelve significant ones, so a value typed
        // in other units reads 63.0901964, not 63.090196400000004): the box keeps the exact
        // value for the save.
        char twelve[32];
        std::snprintf(twelve, sizeof twelve, "%.12g", shown);
        text = QString::fromStdString(
            toLocaleText(roundTripText(std::strtod(twelve, nullptr)), decimalSeparator()));
    } else {
        const Unit& unit = unitOf(*quantity_, shownIn_);
        const std::string digits = roundTripText(shown);
        const auto point = digits.find('.');
        const int own =
            point == std::string::npos ? 0 : static_cast<int>(digits.size() - point - 1);
        text = own <= unit.decimals
                   ? QString::fromStdString(toLocaleText(digits, decimalSeparator()))
                   : screenNumber(shown, unit.decimals);
    }
    box_->setText(text);
    exactStored_ = stored;
    exactText_ = text;
}

std::optional<std::string> NumberBox::problem() const {
    const std::string text = box_->text().toStdString();
    const char sep = decimalSeparator();
    if (!exactText_.isNull() && box_->text() == exactText_ && exactStored_ &&
        std::isfinite(*exactStored_) && range_.contains(*exactStored_)) {
        // A value the program put there, maybe shown rounded: the check is of the value.
        return extraCheck ? extraCheck(*exactStored_) : std::nullopt;
    }
    if (extraCheck && !kambrix::isBlank(text) && isNumberText(text, sep)) {
        const auto x = given();
        if (x && std::isfinite(*x)) {
            if (auto message = extraCheck(*x)) {
                return message;
            }
        }
    }
    NumberRange range = range_;
    if (quantity_) {
        range = shownRange(*quantity_, shownIn_, range_);
    } else if (conversion_ && !isStoredIn(shownIn_)) {
        range = shownRange(range_, shownOf(range_.min), shownOf(range_.max), conversion_->unit);
    }
    return checkNumberText(text, sep, range, what_.toStdString(), allowBlank_);
}

bool NumberBox::commit() {
    if (checking_) {
        return false;
    }
    if (box_->text() == lastAccepted_ && !(lastAccepted_.trimmed().isEmpty() && !allowBlank_)) {
        return true;
    }
    checking_ = true;
    const char sep = decimalSeparator();
    const auto note = pointGroupingNote(box_->text().toStdString(), sep);
    showNote(note ? QString::fromStdString(*note) : QString());
    const auto message = problem();
    if (message) {
        box_->setText(lastAccepted_);
        messages_.showMessage(box_, QString::fromStdString(*message));
        checking_ = false;
        return false;
    }
    const QString shown = QString::fromStdString(shownNumberText(box_->text().toStdString(), sep));
    if (shown != box_->text()) {
        box_->setText(shown);
    }
    const bool changed = box_->text() != lastAccepted_;
    lastAccepted_ = box_->text();
    checking_ = false;
    if (changed && accepted_) {
        accepted_();
    }
    return true;
}

void NumberBox::setValue(double value, int decimals, bool blank) {
    exactStored_.reset();
    exactText_ = QString();
    if (converts() && !blank && std::isfinite(value)) {
        shownIn_ = shownUnits();
        showStored(value, decimals);
    } else {
        box_->setText(blank ? QString() : screenNumber(value, decimals));
    }
    lastAccepted_ = box_->text();
    showNote(QString());
}

void NumberBox::setExactValue(double value, bool everyDigit) {
    exactStored_.reset();
    exactText_ = QString();
    if (converts() && std::isfinite(value)) {
        shownIn_ = shownUnits();
    }
    if (converts() && std::isfinite(value) && !(everyDigit && isStoredIn(shownIn_))) {
        showStored(value, std::nullopt);
    } else {
        box_->setText(
            QString::fromStdString(toLocaleText(roundTripText(value), decimalSeparator())));
    }
    lastAccepted_ = box_->text();
    showNote(QString());
}

namespace {

// The layout that holds the widget itself, searched from `layout` down.
QLayout* holderOf(QLayout* layout, QWidget* widget) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget) {
            return layout;
        }
        if (QLayout* inner = item->layout()) {
            if (QLayout* found = holderOf(inner, widget)) {
                return found;
            }
        }
    }
    return nullptr;
}

}  // namespace

bool NumberBox::placeNote() {
    // The note goes right of the box in the box's own layout; a box in a grid cell shares
    // the cell with it. The box keeps its parent, so the window's tab order stays.
    QWidget* parent = box_->parentWidget();
    QLayout* top = parent != nullptr ? parent->layout() : nullptr;
    QLayout* layout = top != nullptr ? holderOf(top, box_) : nullptr;
    if (layout == nullptr) {
        return false;
    }
    auto* note = new QLabel(parent);
    note->setObjectName(QStringLiteral("lblNota_") + box_->objectName());
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #8a5a00;"));
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        box->insertWidget(box->indexOf(box_) + 1, note, 1);
    } else if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        const int at = grid->indexOf(box_);
        grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
        delete grid->takeAt(at);
        auto* cell = new QHBoxLayout;
        cell->setSpacing(6);
        grid->addLayout(cell, row, column, rowSpan, columnSpan);
        cell->addWidget(box_, 1);
        cell->addWidget(note, 1);
    } else {
        delete note;
        return false;
    }
    note_ = note;
    return true;
}

void NumberBox::showNote(const QString& text) {
    if (!note_ && (text.isEmpty() || !placeNote())) {
        // Without a place beside the box, the note is its tool tip.
        if (!text.isEmpty()) {
            box_->setToolTip(text);
        }
        return;
    }
    note_->setText(text);
    note_->setVisible(!text.isEmpty());
}

bool NumberBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::FocusOut) {
        commit();
    }
    return QObject::eventFilter(watched, event);
}

bool commitAll(std::initializer_list<NumberBox*> boxes) {
    for (NumberBox* b : boxes) {
        if (!b->commit()) {
            b->box()->setFocus();
            return false;
        }
    }
    return true;
}

}  // namespace kambrix
