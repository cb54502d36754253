// SPDX-License-Identifier: GPL-3.0-or-later
//
// Puts a report document on pages: a header with the document's title on every page, page
// numbers ("Page n of m") in the footer, section titles kept with what follows them,
// key/value blocks, paragraphs, and tables that break across pages with their heading
// repeated. Column widths follow the content; a table too wide for the page is set in a
// smaller type (down to 6 pt) before any cell is shortened.
#pragma once

#include <QString>

#include "shell/report_document.h"

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace kambrix::report {

// Lays the document out on the device and paints it with the painter, which must be active
// on that device. Returns the number of pages.
int paint(const Document& document, QPagedPaintDevice& device, QPainter& painter);

// Writes the document as an A4 PDF file. Works without a running application (the command
// line): a temporary one on the "offscreen" platform is made for the time of the call. A file
// that cannot be written raises AppError errc::FileNotWritable naming it.
void writePdf(const Document& document, const QString& path);

// Prints the document on the printer (the window's print preview hands its printer here).
void print(const Document& document, QPrinter& printer);

}  // namespace kambrix::report
