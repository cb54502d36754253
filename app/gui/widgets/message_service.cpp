// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/message_service.h"

#include "shell/errors.h"

namespace kambrix {

void MessageService::showError(QWidget* parent, const ErrorReport& report,
                               const std::string& action) {
    showMessage(parent, QString::fromStdString(userMessage(report, action)),
                QString::fromStdString(report.detail));
}

bool mayLeave(MessageService& messages, QWidget* window, bool unsaved, const QString& question,
              const std::function<bool()>& save) {
    if (!unsaved) {
        return true;
    }
    switch (messages.askYesNoCancel(window, question)) {
        case MessageService::Answer::Yes:
            return save();
        case MessageService::Answer::No:
            return true;
        case MessageService::Answer::Cancel:
            break;
    }
    return false;
}

}  // namespace kambrix
