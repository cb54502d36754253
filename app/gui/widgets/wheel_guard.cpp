// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/wheel_guard.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace kambrix {

namespace {

class WheelGuard : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) {
            return false;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        const bool choice = qobject_cast<QComboBox*>(watched) != nullptr ||
                            qobject_cast<QAbstractSpinBox*>(watched) != nullptr;
        if (!choice || widget->hasFocus()) {
            return false;
        }
        // The nearest scroll area around the control scrolls instead.
        for (QWidget* w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
            if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
                QCoreApplication::sendEvent(area->verticalScrollBar(), event);
                return true;
            }
        }
        return true;  // nothing to scroll: the value stays as it is
    }
};

}  // namespace

void guardWheelOnUnfocusedChoices(QApplication& app) {
    app.installEventFilter(new WheelGuard(&app));
}

}  // namespace kambrix
