// SPDX-License-Identifier: GPL-3.0-or-later
//
// Puts a report document on pages: a header with the document's title on every page, page
// numbers ("Page n of m") in the footer, section titles kept with what follows them,
// key/value blocks, paragraphs, and tables that break across pages with their heading
// repeated. Column widths follow the content; a table too wide for the page wraps the cells
// of its columns of sentences, and one still too wide is set in a smaller type (down to 6 pt)
// before any cell is shortened (a table of one-line rows takes the smaller type before any
// cell wraps). A table that fits a page is not split, and a long one carries at least two rows
// and its caption onto its last page. A figure with a plot is drawn from it by the windows'
// chart builder, as vectors; any other by the caller's FigurePainter into the box the layout
// keeps for it (an empty frame when there is no painter), with its caption. A section title
// stays with a figure that follows it.
#pragma once

#include <QRectF>
#include <QString>
#include <functional>

#include "shell/report_document.h"

class QPagedPaintDevice;
class QPainter;
class QPrinter;

namespace kambrix::report {

// Draws the figure into `box` (device units of the painter's device) with the painter.
using FigurePainter =
    std::function<void(const Figure& figure, QPainter& painter, const QRectF& box)>;

// Lays the document out on the device and paints it with the painter, which must be active
// on that device. Returns the number of pages.
int paint(const Document& document, QPagedPaintDevice& device, QPainter& painter,
          const FigurePainter& figures = {});

// Writes the document as an A4 PDF file. Works without a running application (the command
// line): a temporary one (a QApplication, which the figures' charts need) on the "offscreen"
// platform is made for the time of the call. A file
// that cannot be written raises AppError errc::FileNotWritable naming it.
void writePdf(const Document& document, const QString& path, const FigurePainter& figures = {});

// Prints the document on the printer (the window's print preview hands its printer here).
void print(const Document& document, QPrinter& printer, const FigurePainter& figures = {});

}  // namespace kambrix::report
