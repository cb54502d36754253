// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/number_box.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <cmath>

#include "gui/widgets/connections.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_display.h"
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

std::optional<double> NumberBox::given() const {
    return givenNumber(box_);
}

std::optional<std::string> NumberBox::problem() const {
    const std::string text = box_->text().toStdString();
    const char sep = decimalSeparator();
    if (extraCheck && !kambrix::isBlank(text) && isNumberText(text, sep)) {
        const double x = parseNumber(text, sep);
        if (std::isfinite(x)) {
            if (auto message = extraCheck(x)) {
                return message;
            }
        }
    }
    return checkNumberText(text, sep, range_, what_.toStdString(), allowBlank_);
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
    box_->setText(blank ? QString() : screenNumber(value, decimals));
    lastAccepted_ = box_->text();
    showNote(QString());
}

void NumberBox::setExactValue(double value) {
    box_->setText(QString::fromStdString(toLocaleText(roundTripText(value), decimalSeparator())));
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
