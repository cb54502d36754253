// SPDX-License-Identifier: GPL-3.0-or-later
//
// Builds the charts of every window with Qt Charts: lines from plain points or from the curve
// library's series, marked points (outlets or cans to look at), vertical marks (the towers),
// horizontal lines (a minimum), a shaded area between two lines (where application exceeds
// infiltration), with nice tick values, label formats in the user's notation and a legend;
// or stacked bars over categories (the packages of a comparison).
//
// Use: `view->setChart(ChartBuilder().xAxis("Distance (m)", "0")
//                           .yAxis("Pressure (kPa)", "0.0").line("Pressure", points)
//                           .verticalMarks(towers, "Towers").build());`
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "shell/plot_data.h"
#include "shell/unit_system.h"

class QAbstractSeries;
class QChart;
class QChartView;
class QValueAxis;

namespace zarede {
class Serie;
class SerieSource;
}  // namespace zarede

namespace kambrix {

enum class AxisSide { Left, Right };

// The axis label format of a pattern as the screens write it: "0.00" gives "%.2f", "0"
// gives "%.0f" (the chart puts in the user's decimal separator).
QString labelFormatOf(const QString& pattern);

// One set of stacked bars: a value per category, drawn in its colour.
struct BarSet {
    QString name;
    std::vector<double> values;
    QColor colour;
};

// Shows the chart in the view; the chart shown before is deleted.
void replaceChart(QChartView* view, QChart* chart);
class ChartBuilder;
// Shows the builder's chart in the view and keeps the builder with the view, so that the
// chart is drawn again when the shown units change (redrawKeptChart).
void replaceChart(QChartView* view, const ChartBuilder& builder);
// Draws the view's kept chart again in the shown units; false when the view keeps none.
bool redrawKeptChart(QChartView* view);

class ChartBuilder {
  public:
    ChartBuilder& title(const QString& text);
    ChartBuilder& xAxis(const QString& title, const QString& pattern = QStringLiteral("0.00"));
    // The left axis, or a second axis on the right for lines in another unit.
    ChartBuilder& yAxis(const QString& title, const QString& pattern = QStringLiteral("0.00"),
                        AxisSide side = AxisSide::Left);
    // An axis range of at least `span` around its data, so a flat line stays readable.
    ChartBuilder& minimumSpan(AxisSide side, double span);
    // Fixed ends of the x axis (the curve's own range, without rounding to nice values).
    ChartBuilder& xRange(double min, double max);

    // A line in the theme's next colour, or in `colour` when it is valid.
    ChartBuilder& line(const QString& name, const std::vector<XYPoint>& points,
                       AxisSide side = AxisSide::Left, QColor colour = QColor());
    ChartBuilder& line(const PlotLine& line, AxisSide side = AxisSide::Left);
    // Every point of the series (prepared here), named as the series is.
    ChartBuilder& serie(zarede::Serie& serie, AxisSide side = AxisSide::Left);
    // Every series of the source, in order.
    ChartBuilder& series(zarede::SerieSource& source, AxisSide side = AxisSide::Left);
    // Points drawn as marks, not joined (`size` in pixels: smaller for dense rows of
    // outlets, larger for a few cans).
    ChartBuilder& points(const QString& name, const std::vector<XYPoint>& points,
                         AxisSide side = AxisSide::Left, QColor colour = QColor(0xc6, 0x28, 0x28),
                         double size = 9);
    // Dashed vertical lines across the whole height at each x (towers); one legend entry.
    ChartBuilder& verticalMarks(const std::vector<double>& xs, const QString& name);
    // A dashed horizontal line across the whole width at y (a minimum).
    ChartBuilder& horizontalLine(double y, const QString& name, AxisSide side = AxisSide::Left);
    // The area between two lines shaded (lower and upper drawn over the same x values).
    ChartBuilder& area(const QString& name, const std::vector<XYPoint>& lower,
                       const std::vector<XYPoint>& upper, AxisSide side = AxisSide::Left,
                       QColor colour = QColor(0x42, 0x85, 0xf4, 110));
    // Bars stacked per category over a category x axis (titled by xAxis; the category
    // labels hidden when `labels` is false), measured on the left axis. A chart of bars holds
    // no lines; without categories there is nothing to draw.
    ChartBuilder& stackedBars(const QStringList& categories, std::vector<BarSet> sets,
                              bool labels = true);
    // Fixed ends of the left axis.
    ChartBuilder& yRange(double min, double max);
    ChartBuilder& legend(bool visible);

    // A new chart; the caller (QChartView::setChart) takes it. Without anything to draw it
    // has no axes either. An axis whose title names a stored unit ("Distance (m)") is drawn
    // in the shown units (shownUnits()), its title naming them.
    QChart* build() const;

  private:
    // The same chart with the axes whose titles name a unit in the system's units.
    ChartBuilder inUnits(UnitSystem system) const;
    QChart* buildAsGiven() const;
    QChart* buildBars(QChart* chart) const;

    struct Axis {
        QString title;
        QString pattern = QStringLiteral("0.00");
        bool used = false;
        double minimumSpan = 0;
    };
    struct Item {
        enum Kind { Line, Points, Area, Horizontal } kind;
        QString name;
        std::vector<XYPoint> points;
        std::vector<XYPoint> upper;
        AxisSide side;
        QColor colour;
        double size = 0;
    };

    QString title_;
    Axis x_;
    Axis left_;
    Axis right_;
    std::optional<std::pair<double, double>> xRange_;
    std::optional<std::pair<double, double>> yRange_;
    QStringList categories_;
    std::vector<BarSet> bars_;
    bool categoryLabels_ = true;
    std::vector<Item> items_;
    std::vector<double> marks_;
    QString marksName_;
    bool legend_ = true;
};

}  // namespace kambrix
