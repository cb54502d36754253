// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/chart_builder.h"

#include <zarede/zarede.h>

#include <QLegendMarker>
#include <QLocale>
#include <QPen>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "shell/unit_captions.h"

namespace kambrix {

namespace {

struct Range {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    void add(double v) {
        if (std::isfinite(v)) {
            min = std::min(min, v);
            max = std::max(max, v);
        }
    }
    bool valid() const { return min <= max; }
};

QPen dashed(QColor colour) {
    QPen pen(colour);
    pen.setStyle(Qt::DashLine);
    pen.setWidthF(1.2);
    return pen;
}

void hideFromLegend(QChart* chart, QAbstractSeries* s) {
    for (QLegendMarker* m : chart->legend()->markers(s)) {
        m->setVisible(false);
    }
}

QValueAxis* makeAxis(const QString& title, const QString& pattern) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(labelFormatOf(pattern));
    return axis;
}

// Sets the axis to the range (widened to `minimumSpan`, never empty) with nice ticks.
void applyRange(QValueAxis* axis, Range r, double minimumSpan) {
    if (!r.valid()) {
        r.min = 0;
        r.max = 1;
    }
    const double span = std::max(minimumSpan, 0.0);
    if (r.max - r.min < span) {
        const double mid = (r.min + r.max) / 2;
        r.min = mid - span / 2;
        r.max = mid + span / 2;
    }
    if (r.max - r.min <= 0) {
        const double pad = r.max == 0 ? 1 : std::abs(r.max) * 0.05;
        r.min -= pad;
        r.max += pad;
    }
    axis->setRange(r.min, r.max);
    axis->applyNiceNumbers();
}

}  // namespace

QString labelFormatOf(const QString& pattern) {
    const int point = static_cast<int>(pattern.indexOf(QLatin1Char('.')));
    const int decimals = point < 0 ? 0 : static_cast<int>(pattern.size()) - point - 1;
    return QStringLiteral("%.%1f").arg(decimals);
}

ChartBuilder& ChartBuilder::title(const QString& text) {
    title_ = text;
    return *this;
}

ChartBuilder& ChartBuilder::xAxis(const QString& title, const QString& pattern) {
    x_.title = title;
    x_.pattern = pattern;
    return *this;
}

ChartBuilder& ChartBuilder::yAxis(const QString& title, const QString& pattern, AxisSide side) {
    Axis& a = side == AxisSide::Left ? left_ : right_;
    a.title = title;
    a.pattern = pattern;
    return *this;
}

ChartBuilder& ChartBuilder::minimumSpan(AxisSide side, double span) {
    (side == AxisSide::Left ? left_ : right_).minimumSpan = span;
    return *this;
}

ChartBuilder& ChartBuilder::xRange(double min, double max) {
    xRange_ = std::make_pair(min, max);
    return *this;
}

ChartBuilder& ChartBuilder::line(const QString& name, const std::vector<XYPoint>& points,
                                 AxisSide side, QColor colour) {
    items_.push_back({Item::Line, name, points, {}, side, colour, 0});
    return *this;
}

ChartBuilder& ChartBuilder::line(const PlotLine& l, AxisSide side) {
    return line(QString::fromStdString(l.name), l.points, side);
}

ChartBuilder& ChartBuilder::serie(zarede::Serie& s, AxisSide side) {
    s.prepare();
    std::vector<XYPoint> pts;
    const std::int32_t n = s.numberOfPoints();
    for (std::int32_t i = 1; i <= n && i <= std::numeric_limits<std::int16_t>::max(); ++i) {
        const auto k = static_cast<std::int16_t>(i);
        pts.push_back({s.getValueForX(k), s.getValueForY(k)});
    }
    return line(QString::fromStdString(s.name()), pts, side);
}

ChartBuilder& ChartBuilder::series(zarede::SerieSource& source, AxisSide side) {
    for (const auto& s : source.series()) {
        serie(*s, side);
    }
    return *this;
}

ChartBuilder& ChartBuilder::points(const QString& name, const std::vector<XYPoint>& pts,
                                   AxisSide side, QColor colour, double size) {
    items_.push_back({Item::Points, name, pts, {}, side, colour, size});
    return *this;
}

ChartBuilder& ChartBuilder::verticalMarks(const std::vector<double>& xs, const QString& name) {
    marks_ = xs;
    marksName_ = name;
    return *this;
}

ChartBuilder& ChartBuilder::horizontalLine(double y, const QString& name, AxisSide side) {
    items_.push_back({Item::Horizontal, name, {{0, y}}, {}, side, QColor(0xc6, 0x28, 0x28), 0});
    return *this;
}

ChartBuilder& ChartBuilder::area(const QString& name, const std::vector<XYPoint>& lower,
                                 const std::vector<XYPoint>& upper, AxisSide side, QColor colour) {
    items_.push_back({Item::Area, name, lower, upper, side, colour, 0});
    return *this;
}

ChartBuilder& ChartBuilder::stackedBars(const QStringList& categories, std::vector<BarSet> sets,
                                        bool labels) {
    categories_ = categories;
    bars_ = std::move(sets);
    categoryLabels_ = labels;
    return *this;
}

ChartBuilder& ChartBuilder::yRange(double min, double max) {
    yRange_ = std::make_pair(min, max);
    return *this;
}

ChartBuilder& ChartBuilder::legend(bool visible) {
    legend_ = visible;
    return *this;
}

ChartBuilder ChartBuilder::inUnits(UnitSystem system) const {
    ChartBuilder b = *this;
    auto convertTitle = [system](QString& title) {
        ShownCaption shown = captionInUnits(title.toStdString(), system);
        title = QString::fromStdString(shown.text);
        return shown.quantity;
    };
    const auto xq = convertTitle(b.x_.title);
    const std::optional<Quantity> yq[2] = {convertTitle(b.left_.title),
                                           convertTitle(b.right_.title)};
    auto x = [&](double v) { return xq ? toShown(*xq, system, v) : v; };
    auto y = [&](AxisSide side, double v) {
        const auto& q = yq[side == AxisSide::Left ? 0 : 1];
        return q ? toShown(*q, system, v) : v;
    };
    for (Item& item : b.items_) {
        // A legend entry naming a unit ("Qfc (L/s/ha)") names the axis's.
        item.name = QString::fromStdString(captionInUnits(item.name.toStdString(), system).text);
        for (auto* points : {&item.points, &item.upper}) {
            for (XYPoint& p : *points) {
                p.x = x(p.x);
                p.y = y(item.side, p.y);
            }
        }
    }
    for (double& m : b.marks_) {
        m = x(m);
    }
    if (b.xRange_) {
        b.xRange_ = {x(b.xRange_->first), x(b.xRange_->second)};
    }
    if (b.yRange_) {
        b.yRange_ = {y(AxisSide::Left, b.yRange_->first), y(AxisSide::Left, b.yRange_->second)};
    }
    b.x_.minimumSpan = x(b.x_.minimumSpan);
    b.left_.minimumSpan = y(AxisSide::Left, b.left_.minimumSpan);
    b.right_.minimumSpan = y(AxisSide::Right, b.right_.minimumSpan);
    for (BarSet& set : b.bars_) {
        for (double& v : set.values) {
            v = y(AxisSide::Left, v);
        }
    }
    return b;
}

QChart* ChartBuilder::build() const {
    const UnitSystem system = shownUnits();
    return system == UnitSystem::SI ? buildAsGiven() : inUnits(system).buildAsGiven();
}

QChart* ChartBuilder::buildAsGiven() const {
    auto* chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale());
    if (!title_.isEmpty()) {
        chart->setTitle(title_);
    }
    if (!categories_.isEmpty()) {
        return buildBars(chart);
    }
    if (items_.empty() && marks_.empty()) {
        // Nothing to draw: no axes with made-up ranges to misread.
        chart->legend()->setVisible(false);
        return chart;
    }
    Range xr;
    Range yr[2];
    bool sideUsed[2] = {false, false};
    for (const Item& item : items_) {
        const int s = item.side == AxisSide::Left ? 0 : 1;
        sideUsed[s] = true;
        for (const auto& p : item.points) {
            if (item.kind != Item::Horizontal) {
                xr.add(p.x);
            }
            yr[s].add(p.y);
        }
        for (const auto& p : item.upper) {
            xr.add(p.x);
            yr[s].add(p.y);
        }
    }
    for (double m : marks_) {
        xr.add(m);
    }
    sideUsed[0] = true;  // the left axis always shows, even for an empty chart

    auto* axisX = makeAxis(x_.title, x_.pattern);
    chart->addAxis(axisX, Qt::AlignBottom);
    if (xRange_) {
        axisX->setRange(xRange_->first, xRange_->second);
    } else {
        applyRange(axisX, xr, 0);
    }
    QValueAxis* axisY[2] = {nullptr, nullptr};
    const Axis* y[2] = {&left_, &right_};
    for (int s = 0; s < 2; ++s) {
        if (!sideUsed[s]) {
            continue;
        }
        axisY[s] = makeAxis(y[s]->title, y[s]->pattern);
        chart->addAxis(axisY[s], s == 0 ? Qt::AlignLeft : Qt::AlignRight);
        applyRange(axisY[s], yr[s], y[s]->minimumSpan);
    }

    auto attach = [&](QAbstractSeries* series, int s) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY[s]);
    };
    for (const Item& item : items_) {
        const int s = item.side == AxisSide::Left ? 0 : 1;
        switch (item.kind) {
            case Item::Line: {
                auto* series = new QLineSeries;
                series->setName(item.name);
                for (const auto& p : item.points) {
                    series->append(p.x, p.y);
                }
                attach(series, s);
                if (item.colour.isValid()) {
                    QPen pen = series->pen();
                    pen.setColor(item.colour);
                    series->setPen(pen);
                }
                break;
            }
            case Item::Points: {
                auto* series = new QScatterSeries;
                series->setName(item.name);
                series->setColor(item.colour);
                series->setBorderColor(item.colour);
                series->setMarkerSize(item.size);
                for (const auto& p : item.points) {
                    series->append(p.x, p.y);
                }
                attach(series, s);
                if (item.points.empty()) {
                    hideFromLegend(chart, series);
                }
                break;
            }
            case Item::Horizontal: {
                auto* series = new QLineSeries;
                series->setName(item.name);
                series->setPen(dashed(item.colour));
                const double yv = item.points.front().y;
                series->append(axisX->min(), yv);
                series->append(axisX->max(), yv);
                attach(series, s);
                break;
            }
            case Item::Area: {
                auto* upper = new QLineSeries;
                auto* lower = new QLineSeries;
                for (const auto& p : item.upper) {
                    upper->append(p.x, p.y);
                }
                for (const auto& p : item.points) {
                    lower->append(p.x, p.y);
                }
                auto* series = new QAreaSeries(upper, lower);
                upper->setParent(series);
                lower->setParent(series);
                series->setName(item.name);
                series->setColor(item.colour);
                series->setBorderColor(item.colour.darker());
                attach(series, s);
                break;
            }
        }
    }
    // One series per tower keeps the strokes apart; only the first has a legend entry.
    bool first = true;
    for (double m : marks_) {
        auto* series = new QLineSeries;
        series->setName(marksName_);
        series->setPen(dashed(QColor(0x75, 0x75, 0x75)));
        series->append(m, axisY[0]->min());
        series->append(m, axisY[0]->max());
        attach(series, 0);
        if (!first) {
            hideFromLegend(chart, series);
        }
        first = false;
    }
    chart->legend()->setVisible(legend_);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

void replaceChart(QChartView* view, QChart* chart) {
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

namespace {

// The builder of the chart a view shows, kept as a child of the view.
class KeptChart : public QObject {
  public:
    KeptChart(QObject* parent, ChartBuilder builder)
        : QObject(parent), builder(std::move(builder)) {
        setObjectName(QStringLiteral("keptChart"));
    }
    ChartBuilder builder;
};

KeptChart* keptChartOf(QChartView* view) {
    return view->findChild<KeptChart*>(QStringLiteral("keptChart"), Qt::FindDirectChildrenOnly);
}

}  // namespace

void replaceChart(QChartView* view, const ChartBuilder& builder) {
    if (KeptChart* kept = keptChartOf(view)) {
        kept->builder = builder;
    } else {
        new KeptChart(view, builder);
    }
    replaceChart(view, builder.build());
}

bool redrawKeptChart(QChartView* view) {
    KeptChart* kept = keptChartOf(view);
    if (kept == nullptr) {
        return false;
    }
    replaceChart(view, kept->builder.build());
    return true;
}

QChart* ChartBuilder::buildBars(QChart* chart) const {
    auto* series = new QStackedBarSeries;
    for (const BarSet& b : bars_) {
        auto* set = new QBarSet(b.name);
        if (b.colour.isValid()) {
            set->setColor(b.colour);
        }
        for (int i = 0; i < categories_.size(); ++i) {
            const auto at = static_cast<std::size_t>(i);
            *set << (at < b.values.size() ? b.values[at] : 0.0);
        }
        series->append(set);
    }
    series->setBarWidth(0.9);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(categories_);
    x->setTitleText(x_.title);
    x->setLabelsVisible(categoryLabels_);
    auto* y = makeAxis(left_.title, left_.pattern);
    if (yRange_) {
        y->setRange(yRange_->first, yRange_->second);
    } else {
        Range r;
        r.add(0);
        for (const QBarSet* set : series->barSets()) {
            for (int i = 0; i < set->count(); ++i) {
                r.add(set->at(i));
            }
        }
        applyRange(y, r, left_.minimumSpan);
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart->legend()->setVisible(legend_);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

}  // namespace kambrix
