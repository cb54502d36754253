// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/checked_box.h"

#include <QEvent>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "gui/widgets/connections.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_display.h"
#include "shell/number_text.h"
#include "shell/services.h"
#include "shell/unit_captions.h"

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
    const auto message = rule_(box_->text().toStdString(), decimalSeparator(),
                               quantity_ ? shownIn_ : UnitSystem::SI);
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
    if (!exactText_.isNull() && box_->text() == exactText_ && exactStored_) {
        return exactStored_;
    }
    const std::optional<double> shown = givenNumber(box_);
    if (!shown || !quantity_) {
        return shown;
    }
    return toStored(*quantity_, shownIn_, *shown);
}

void CheckedBox::showStored(double stored, int decimals) {
    const Unit& unit = unitOf(*quantity_, shownIn_);
    int shownDecimals = decimals;
    if (!unit.isStored()) {
        // The unit's decimals, or more where the stored value was shown finer.
        const double per = unit.perStored();
        shownDecimals =
            per > 1
                ? std::max(unit.decimals, decimals - static_cast<int>(std::lround(std::log10(per))))
                : unit.decimals;
    }
    const QString text = screenNumber(toShown(*quantity_, shownIn_, stored), shownDecimals);
    exactStored_ = stored;
    exactText_ = text;
    setAccepted(text);
}

void CheckedBox::setAcceptedValue(std::optional<double> stored, int decimals) {
    exactStored_.reset();
    exactText_ = QString();
    if (!stored || !std::isfinite(*stored)) {
        setAccepted(QString());
        return;
    }
    if (!quantity_) {
        setAccepted(screenNumber(*stored, decimals));
        return;
    }
    shownIn_ = shownUnits();
    showStored(*stored, decimals);
}

void CheckedBox::setQuantity(Quantity quantity) {
    const std::optional<double> stored = given();
    quantity_ = quantity;
    shownIn_ = UnitSystem::SI;
    if (stored) {
        exactStored_ = stored;
        exactText_ = box_->text();
    }
    redrawInUnits();
}

void CheckedBox::redrawInUnits() {
    if (!quantity_ || shownIn_ == shownUnits()) {
        return;
    }
    const std::optional<double> stored = given();
    const bool accepted = box_->text() == lastAccepted_;
    const QString before = lastAccepted_;
    shownIn_ = shownUnits();
    if (stored && std::isfinite(*stored)) {
        const int decimals = unitOf(*quantity_, shownIn_).decimals;
        showStored(*stored, decimals);
        if (!accepted) {
            lastAccepted_ = before;  // an edit not yet accepted stays one
        }
    }
}

bool CheckedBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::FocusOut) {
        commit();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kambrix
