// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/report_output.h"

#include <QPrinter>

#include "gui/widgets/message_service.h"
#include "shell/errors.h"

namespace kambrix {

void previewReport(MessageService& messages, QWidget* window, const report::Document& document,
                   const report::FigurePainter& figures) {
    messages.printPreview(window, QString::fromStdString(document.title),
                          [&](QPrinter& printer) { report::print(document, printer, figures); });
}

bool writeReportPdf(MessageService& messages, QWidget* window, const report::Document& document,
                    const QString& path, const std::string& failure, const QString& written,
                    const report::FigurePainter& figures) {
    try {
        report::writePdf(document, path, figures);
    } catch (const AppError&) {
        messages.showError(window, describeCurrentError(), failure);
        return false;
    }
    messages.showStatus(window, written.arg(path));
    return true;
}

}  // namespace kambrix
