// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/message_service.h"

#include "shell/errors.h"

namespace kambrix {

void MessageService::showError(QWidget* parent, const ErrorReport& report,
                               const std::string& action) {
    showMessage(parent, QString::fromStdString(userMessage(report, action)),
                QString::fromStdString(report.detail));
}

}  // namespace kambrix
