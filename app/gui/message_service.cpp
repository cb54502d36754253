// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/message_service.h"

#include <QMessageBox>

namespace kambrix {

namespace {
const QString kTitle = QStringLiteral("Kambrix");
}

void QtMessageService::showMessage(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, kTitle, text);
}

bool QtMessageService::confirm(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, kTitle, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void ScriptedMessageService::showMessage(QWidget*, const QString& text) {
    messages << text;
}

bool ScriptedMessageService::confirm(QWidget*, const QString& text) {
    questions << text;
    if (answers_.empty()) {
        return defaultAnswer;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

}  // namespace kambrix
