// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/plot_figure.h"

#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <QtCharts/QAbstractAxis>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>

#include "report/chart_builder.h"

namespace kambrix::report {
namespace {

// The width the chart is laid out at, in the chart's own units; the figure's box scales it,
// so its type keeps the same size against the page whatever the device's resolution.
constexpr double kLayoutWidth = 720;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

QChart* plotChart(const FigurePlot& plot) {
    ChartBuilder b;
    b.xAxis(qs(plot.xTitle), qs(plot.xPattern)).yAxis(qs(plot.yTitle), qs(plot.yPattern));
    for (const auto& band : plot.bands) {
        b.area(qs(band.name), band.lower, band.upper);
    }
    for (const auto& line : plot.lines) {
        b.line(qs(line.name), line.points);
    }
    if (!plot.marks.empty()) {
        b.verticalMarks(plot.marks, qs(plot.marksName));
    }
    QChart* chart = b.build();
    // No ligatures in the figures' texts either (see the report's type).
    const auto unshaped = [](QFont f) {
        f.setStyleStrategy(QFont::PreferNoShaping);
        return f;
    };
    chart->legend()->setFont(unshaped(chart->legend()->font()));
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setTitleFont(unshaped(axis->titleFont()));
        axis->setLabelsFont(unshaped(axis->labelsFont()));
    }
    return chart;
}

void paintPlot(const FigurePlot& plot, QPainter& painter, const QRectF& box) {
    if (box.width() <= 0 || box.height() <= 0) {
        return;
    }
    const QSizeF size(kLayoutWidth, kLayoutWidth * box.height() / box.width());
    QGraphicsScene scene;
    QChart* chart = plotChart(plot);
    scene.addItem(chart);  // the scene deletes it
    chart->setBackgroundRoundness(0);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->resize(size);
    chart->layout()->activate();
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, box, QRectF(QPointF(0, 0), size), Qt::KeepAspectRatio);
    painter.restore();
}

}  // namespace kambrix::report
