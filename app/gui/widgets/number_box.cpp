// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/number_box.h"

#include <QEvent>
#include <QLineEdit>
#include <cmath>

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
    QObject::connect(box_, &QLineEdit::returnPressed, this, [this] { commit(); });
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
    const auto message = problem();
    if (message) {
        box_->setText(lastAccepted_);
        messages_.showMessage(box_, QString::fromStdString(*message));
        checking_ = false;
        return false;
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
}

void NumberBox::setExactValue(double value) {
    box_->setText(QString::fromStdString(toLocaleText(roundTripText(value), decimalSeparator())));
    lastAccepted_ = box_->text();
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
