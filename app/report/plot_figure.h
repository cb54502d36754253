// SPDX-License-Identifier: GPL-3.0-or-later
//
// A report figure given as data (report::FigurePlot) drawn with the windows' chart builder,
// as vectors on the painter's device (a PDF stays sharp at any zoom).
#pragma once

#include <QRectF>

#include "shell/report_document.h"

class QChart;
class QPainter;

namespace kambrix::report {

// The chart of the plot, as a window would show it; the caller takes it.
QChart* plotChart(const FigurePlot& plot);

// Draws the plot into `box` (device units of the painter). Needs a running QApplication.
void paintPlot(const FigurePlot& plot, QPainter& painter, const QRectF& box);

}  // namespace kambrix::report
