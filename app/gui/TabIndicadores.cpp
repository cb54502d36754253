// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabIndicadores.h"

#include "gui/widgets/units_view.h"
#include "shell/unit_captions.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <algorithm>

#include "design/chart_workbench.h"
#include "evaluation/indicator_tab_presenter.h"
#include "gui/widgets/chart_builder.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "shell/errors.h"

namespace kambrix {

namespace {

const char* const kHoursCaption = "Horas empleadas en realizar una rotación";
const char* const kPluggedCaption = "Número de salidas obturados";

// The band's colours: green, amber, red on a light background.
QString bandStyle(UniformityBand band) {
    switch (band) {
        case UniformityBand::Good:
            return QStringLiteral("QLabel { background: #e6f4ea; color: #1e6b34; padding: 4px; }");
        case UniformityBand::CloserLook:
            return QStringLiteral("QLabel { background: #fff4d6; color: #7a5200; padding: 4px; }");
        case UniformityBand::ChangePackage:
            return QStringLiteral("QLabel { background: #fce8e6; color: #a50e0e; padding: 4px; }");
        case UniformityBand::None:
            break;
    }
    return {};
}

QLabel* valueLabel(QWidget* parent, const char* name) {
    auto* l = namedLabel(parent, name, QString());
    l->setMinimumWidth(80);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setFrameShape(QFrame::StyledPanel);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

}  // namespace

TabIndicadores::TabIndicadores(const AppServices& services, ChartWorkbench& workbench,
                               QWidget* parent)
    : TabPage("tabIndicadores", parent), services_(services), workbench_(workbench) {
    auto* inputs = new QGroupBox(QStringLiteral("Datos de funcionamiento"), this);
    inputs->setObjectName("fraDatosIndicadores");
    lblHorasRevolucion_ =
        namedLabel(inputs, "lblHorasRevolucion", QString::fromUtf8(kHoursCaption));
    lblObturadas_ = namedLabel(inputs, "lblObturadas", QString::fromUtf8(kPluggedCaption));
    txtHorasRevolucao_ = namedEdit(inputs, "txtHorasRevolucao");
    txtAObturados_ = namedEdit(inputs, "txtAObturados");
    const auto onChange = [this] {
        inputsChanged();
        refresh(true);
        emit changed();
    };
    hours_ = new NumberBox(txtHorasRevolucao_, kRevolutionHoursRange,
                           QStringLiteral("the number of hours for a complete revolution"), true,
                           services_.messages, onChange);
    plugged_ = new NumberBox(txtAObturados_, kPluggedOutletsRange,
                             QStringLiteral("the number of plugged outlets"), true,
                             services_.messages, onChange);
    auto* inputGrid = new QGridLayout(inputs);
    inputGrid->addWidget(lblHorasRevolucion_, 0, 0);
    inputGrid->addWidget(txtHorasRevolucao_, 0, 1);
    inputGrid->addWidget(lblObturadas_, 1, 0);
    inputGrid->addWidget(txtAObturados_, 1, 1);
    lblSinAspersor_v_ = namedLabel(inputs, "lblSinAspersor_v", QString());
    lblSinAspersor_v_->setWordWrap(true);
    inputGrid->addWidget(lblSinAspersor_v_, 2, 0, 1, 2);

    auto* results = new QGroupBox(QStringLiteral("Indicadores de funcionamiento"), this);
    results->setObjectName("fraIndicadores");
    lblUD_v_ = valueLabel(results, "lblUD_v");
    lblCU_v_ = valueLabel(results, "lblCU_v");
    lblLaminaEsperada_v_ = valueLabel(results, "lblLaminaEsperada_v");
    lblLaminaMedia_v_ = valueLabel(results, "lblLaminaMedia_v");
    auto* resultGrid = new QGridLayout(results);
    resultGrid->addWidget(namedLabel(results, "lblUD", QStringLiteral("UD (%)")), 0, 0);
    resultGrid->addWidget(lblUD_v_, 0, 1);
    resultGrid->addWidget(namedLabel(results, "lblCU", QStringLiteral("CU (%)")), 0, 2);
    resultGrid->addWidget(lblCU_v_, 0, 3);
    resultGrid->addWidget(
        namedLabel(results, "lblLaminaEsperada", QStringLiteral("Lámina esperada (mm)")), 1, 0);
    resultGrid->addWidget(lblLaminaEsperada_v_, 1, 1);
    resultGrid->addWidget(
        namedLabel(results, "lblLaminaMedia", QStringLiteral("Lámina media (mm)")), 1, 2);
    resultGrid->addWidget(lblLaminaMedia_v_, 1, 3);

    lblBandaCU_ = namedLabel(this, "lblBandaCU", QString());
    lblBandaCU_->setWordWrap(true);
    lblMensaje_ = namedLabel(this, "lblMensajeIndicadores", QString());
    lblMensaje_->setWordWrap(true);
    lblMensaje_->setStyleSheet(QStringLiteral("QLabel { color: #a50e0e; }"));

    chart_ = new QChartView(this);
    chart_->setObjectName("chtLaminas");
    // The depths and the profile are drawn again in the units chosen.
    onUnitsChanged(this, [this] {
        if (attached_) {
            refresh(false);
        }
    });
    chart_->setProperty("SeriesCaptions",
                        QStringLiteral("Lámina ideal (mm);Lámina real (mm);"
                                       "Distancia al pivot (m);Lámina (mm);"
                                       "Salidas a más del 20 % de la lámina media;"
                                       "Introduzca las horas de una vuelta para ver los "
                                       "perfiles de lámina"));
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumSize(360, 240);
    grid_ = new GridView("grdCaudalTramos",
                         QStringLiteral("Tramo;Caudal consumido ideal (l/s);"
                                        "Caudal consumido real (l/s);Variación del caudal (%)"),
                         this);
    grid_->setMessages(&services_.messages);
    grid_->setCompactColumns(true);

    auto* top = new QHBoxLayout;
    // The boxes keep their height when a long note beside them wraps.
    top->addWidget(inputs, 0, Qt::AlignTop);
    top->addWidget(results, 0, Qt::AlignTop);
    auto* notes = new QVBoxLayout;
    notes->addWidget(lblBandaCU_);
    notes->addWidget(lblMensaje_);
    notes->addStretch();
    top->addLayout(notes, 1);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(chart_);
    split->addWidget(grid_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);
    setTabOrderChain({txtHorasRevolucao_, txtAObturados_, grid_});

    captionsFollowUnits(this);
    translateForm(this, services_.config.languageFile);
    try {
        for (auto& e : readLanguageSection(services_.config.languageFile, "tabIndicadores")) {
            if (e.target == "lblHorasRevolucion" || e.target == "lblObturadas") {
                captions_.push_back(std::move(e));
            }
        }
    } catch (const LanguageFileError&) {
        // The Spanish captions stay.
    }
    collector_ = workbench_.addCollector([this] { inputsChanged(); });
    clear();
}

TabIndicadores::~TabIndicadores() {
    workbench_.removeCollector(collector_);
}

void TabIndicadores::attach(const std::shared_ptr<quarvex::PivotWrapper>& wrapper) {
    wrapper_ = wrapper;
    attached_ = wrapper_ != nullptr;
    lblHorasRevolucion_->setText(QString::fromUtf8(kHoursCaption));
    lblObturadas_->setText(QString::fromUtf8(kPluggedCaption));
    // The captions are design-time texts: the user's language replaces them here as well.
    applyTranslations(this, captions_);
    if (validate(false)) {
        fillInputs();
    }
    drawSpanTable();
}

bool TabIndicadores::validate(bool showMessages) {
    if (!attached_) {
        return false;
    }
    const IndicatorInputs in =
        readIndicatorInputs(txtHorasRevolucao_->text().toStdString(),
                            txtAObturados_->text().toStdString(), decimalSeparator());
    const auto problem = indicatorInputsProblem(in, wrapper_->numeroTotalDeSaidas());
    if (!problem) {
        return true;
    }
    if (showMessages) {
        services_.messages.showMessage(this, QString::fromStdString(*problem));
        if (indicatorProblemKind(in, wrapper_->numeroTotalDeSaidas()) ==
            IndicatorProblem::Plugged) {
            txtAObturados_->setFocus();
            selectAllText(txtAObturados_);
            // Leaving the box clears a selection after this check has run: select again once
            // the focus change is over.
            QTimer::singleShot(0, txtAObturados_, [box = txtAObturados_] {
                box->setFocus();
                selectAllText(box);
            });
        }
    }
    return false;
}

void TabIndicadores::inputsChanged() {
    if (!attached_ || hours_->isBlank() || !validate(false)) {
        // A refused count is not kept: the chart keeps the last accepted values.
        return;
    }
    const IndicatorInputs in =
        readIndicatorInputs(txtHorasRevolucao_->text().toStdString(),
                            txtAObturados_->text().toStdString(), decimalSeparator());
    workbench_.setIndicadores(indicatorRecordOf(in));
}

void TabIndicadores::refresh(bool showMessages) {
    showBareOutlets();
    if (!validate(showMessages)) {
        clear();
        drawSpanTable();
        if (attached_ && hours_->isBlank()) {
            showProblems(
                {QStringLiteral("Enter the hours for a complete revolution to see the "
                                "indicators")});
        }
        return;
    }
    const IndicatorInputs in =
        readIndicatorInputs(txtHorasRevolucao_->text().toStdString(),
                            txtAObturados_->text().toStdString(), decimalSeparator());
    try {
        show(indicatorTabView(*wrapper_, in, decimalSeparator()));
    } catch (...) {
        clear();
        drawSpanTable();
        showProblems({QString::fromStdString(
            userMessage(describeError(std::current_exception()),
                        "The performance indicators could not be computed"))});
    }
}

void TabIndicadores::fillInputs() {
    const quarvex::indicadores ind = workbench_.indicadores();
    // A revolution of 0 h is none: the box stays blank until the user gives one.
    if (ind.horasRevolucao > 0) {
        hours_->setExactValue(ind.horasRevolucao);
    } else {
        hours_->setBlank();
    }
    plugged_->setValue(ind.numeroSaidasObturadas, 0);
}

void TabIndicadores::showBareOutlets() {
    // Outlets without a sprinkler give no water: a plugged count that leaves some of them
    // out is shown in red.
    if (attached_) {
        const int bare = outletsWithoutSprinkler(wrapper_->pivot());
        const int plugged = static_cast<int>(plugged_->value(0));
        lblSinAspersor_v_->setText(QString::fromStdString(bareOutletsText(bare, plugged)));
        lblSinAspersor_v_->setStyleSheet(bare > plugged ? QStringLiteral("color: #a50e0e;")
                                                        : QString());
    } else {
        lblSinAspersor_v_->clear();
    }
}

void TabIndicadores::drawSpanTable() {
    showBareOutlets();
    if (!attached_) {
        grid_->setTable(TableData{{"span", "idealConsumed", "consumed", "variation"}, {}});
        return;
    }
    grid_->setTable(spanDischargeTableData(wrapper_->pivot()));
}

void TabIndicadores::show(const IndicatorTabView& v) {
    lblUD_v_->setText(QString::fromStdString(v.UD));
    lblCU_v_->setText(QString::fromStdString(v.CU));
    const char sep = decimalSeparator();
    lblLaminaEsperada_v_->setText(QString::fromStdString(
        numbersInUnits(v.expectedDepth, Quantity::Depth, shownUnits(), sep)));
    lblLaminaMedia_v_->setText(
        QString::fromStdString(numbersInUnits(v.averageDepth, Quantity::Depth, shownUnits(), sep)));
    if (v.band != UniformityBand::None) {
        lblBandaCU_->setText(QString::fromStdString(uniformityBandText(v.band)));
        lblBandaCU_->setStyleSheet(bandStyle(v.band));
    } else {
        lblBandaCU_->clear();
        lblBandaCU_->setStyleSheet(QString());
    }
    QStringList problems;
    for (const auto& p : v.problems) {
        problems << QString::fromStdString(p);
    }
    showProblems(problems);
    grid_->setTable(v.spans);

    replaceChart(chart_, depthProfileChart(v, captionList(chart_, "SeriesCaptions")));
}

QChart* depthProfileChart(const IndicatorTabView& v, const QStringList& names) {
    if (v.actual.points.empty()) {
        return ChartBuilder().title(names.value(5)).build();
    }
    ChartBuilder chart;
    chart.xAxis(names.value(2), QStringLiteral("0.00"))
        .yAxis(names.value(3), QStringLiteral("0.00"))
        .line(names.value(0), v.ideal.points)
        .line(names.value(1), v.actual.points);
    const QString marks = names.value(4);
    for (std::size_t from = 0; from < v.departing.size(); from += kMarksPerSeries) {
        const auto first = v.departing.begin() + static_cast<std::ptrdiff_t>(from);
        const auto last = v.departing.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                    v.departing.size(), from + kMarksPerSeries));
        chart.points(marks, std::vector<XYPoint>(first, last), AxisSide::Left,
                     QColor(0xc6, 0x28, 0x28), 6);
    }
    QChart* built = chart.build();
    // One legend entry for the marks, however many series hold them.
    bool first = true;
    for (QAbstractSeries* s : built->series()) {
        if (s->name() != marks || s->type() != QAbstractSeries::SeriesTypeScatter) {
            continue;
        }
        if (!first) {
            for (QLegendMarker* m : built->legend()->markers(s)) {
                m->setVisible(false);
            }
        }
        first = false;
    }
    return built;
}

void TabIndicadores::showProblems(const QStringList& problems) {
    lblMensaje_->setText(problems.join(QLatin1Char('\n')));
}

void TabIndicadores::updateData() {
    const auto wrapper = workbench_.currentWrapper();
    if (!wrapper) {
        attached_ = false;
        clear();
        return;
    }
    if (wrapper != wrapper_ || !attached_) {
        attach(wrapper);
    }
    fillInputs();
    refresh(false);
}

void TabIndicadores::clear() {
    clearControls(
        {lblUD_v_, lblCU_v_, lblLaminaEsperada_v_, lblLaminaMedia_v_, lblBandaCU_, lblMensaje_});
    lblBandaCU_->setStyleSheet(QString());
    replaceChart(chart_, ChartBuilder().title(captionList(chart_, "SeriesCaptions").value(5)));
    drawSpanTable();
}

}  // namespace kambrix
