// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed form of a window's document (a chart, an evaluation): its print preview and
// its PDF file, both drawn by the report renderer with the figures the window draws itself.
#pragma once

#include <QString>
#include <string>

#include "report/report_renderer.h"

class QWidget;

namespace kambrix {

class MessageService;

// Shows the document in the print preview, from where it is printed.
void previewReport(MessageService& messages, QWidget* window, const report::Document& document,
                   const report::FigurePainter& figures = {});

// Writes the document to `path` as a PDF file and confirms it in the window's status line
// with `written` (its %1 is the path). A file that cannot be written is told in a box as
// `failure` and its reason (an empty `failure`: the reason alone); false then.
bool writeReportPdf(MessageService& messages, QWidget* window, const report::Document& document,
                    const QString& path, const std::string& failure, const QString& written,
                    const report::FigurePainter& figures = {});

}  // namespace kambrix
