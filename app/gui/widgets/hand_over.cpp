// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/hand_over.h"

#include <QPointer>
#include <QWidget>

namespace kambrix {

void openNext(QWidget* from, QWidget* next) {
    next->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> opener(from);
    QObject::connect(next, &QObject::destroyed, from, [opener] {
        if (opener) {
            opener->show();
        }
    });
    next->show();
    from->hide();
}

}  // namespace kambrix
