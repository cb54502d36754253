// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/checked_box.h"

#include <QEvent>
#include <QLineEdit>

#include "gui/widgets/connections.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_display.h"

namespace kambrix {

CheckedBox::CheckedBox(QLineEdit* box, Rule rule, MessageService& messages)
    : QObject(box),
      box_(box),
      rule_(std::move(rule)),
      messages_(messages),
      lastAccepted_(box->text()) {
    box_->installEventFilter(this);
    // The box is the connection's context: this object is its child and ends with it.
    onSignal(box_, &QLineEdit::returnPressed, box_, messages_, [this] { commit(); });
}

bool CheckedBox::commit() {
    if (checking_) {
        return false;
    }
    if (box_->text() == lastAccepted_) {
        return true;
    }
    checking_ = true;
    const auto message = rule_(box_->text().toStdString(), decimalSeparator());
    if (message) {
        box_->setText(lastAccepted_);
        messages_.showMessage(box_, QString::fromStdString(*message));
        checking_ = false;
        return false;
    }
    lastAccepted_ = box_->text();
    checking_ = false;
    return true;
}

void CheckedBox::setAccepted(const QString& text) {
    box_->setText(text);
    lastAccepted_ = text;
}

std::optional<double> CheckedBox::given() const {
    return givenNumber(box_);
}

bool CheckedBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::FocusOut) {
        commit();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kambrix
