// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabPerfil.h"

#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include "gui/widgets/chart_builder.h"
#include "gui/widgets/translation.h"

namespace kambrix {

namespace {

// A flat ground line keeps at least this range of the elevation axis, m.
constexpr double kMinimumElevationSpan = 1.0;

}  // namespace

TabPerfil::TabPerfil(const IdealResults& results, QWidget* parent)
    : TabPage("tabPerfil", parent), results_(results) {
    view_ = new QChartView(this);
    view_->setObjectName("chtPerfil");
    view_->setProperty("SeriesCaptions",
                       QStringLiteral("Presión ideal (kPa);Cota del terreno (m);"
                                      "Distancia al pivot (m);Torres;Presión bajo 0 kPa;0 kPa"));
    view_->setRenderHint(QPainter::Antialiasing);
    (new QVBoxLayout(this))->addWidget(view_);
}

void TabPerfil::updateData() {
    if (!results_.computed) {
        clear();
        return;
    }
    const QStringList names = captionList(view_, "SeriesCaptions");
    const ProfileLines profile = idealProfile(*results_.computed);
    ChartBuilder chart;
    chart.xAxis(names.value(2), QStringLiteral("0"))
        .yAxis(names.value(0), QStringLiteral("0"))
        .yAxis(names.value(1), QStringLiteral("0.0"), AxisSide::Right)
        .minimumSpan(AxisSide::Right, kMinimumElevationSpan)
        .line(names.value(0), profile.pressure.points)
        .line(names.value(1), profile.ground.points, AxisSide::Right)
        .verticalMarks(profile.towers, names.value(3));
    if (!profile.belowZero.empty()) {
        // One mark per outlet: small, so the line stays readable under them.
        chart.points(names.value(4), profile.belowZero, AxisSide::Left, QColor(0xc6, 0x28, 0x28), 5)
            .horizontalLine(0, names.value(5));
    }
    replaceChart(view_, chart);
}

void TabPerfil::clear() {
    replaceChart(view_, ChartBuilder());
}

}  // namespace kambrix
