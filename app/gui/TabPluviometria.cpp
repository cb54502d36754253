// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabPluviometria.h"

#include "gui/widgets/units_view.h"
#include "shell/unit_captions.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include "design/chart_workbench.h"
#include "evaluation/runoff.h"
#include "evaluation/runoff_tab_presenter.h"
#include "gui/frmSuperficialStorage.h"
#include "gui/widgets/chart_builder.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "shell/errors.h"
#include "shell/number_text.h"

namespace kambrix {

namespace {

QLabel* valueLabel(QWidget* parent, const char* name) {
    auto* l = namedLabel(parent, name, QString());
    l->setMinimumWidth(80);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setFrameShape(QFrame::StyledPanel);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLabel* verdictLabel(QWidget* parent, const char* name) {
    auto* l = namedLabel(parent, name, QString());
    l->setWordWrap(true);
    return l;
}

void showVerdict(QLabel* label, const RunoffPointView& p) {
    label->setText(QString::fromStdString(p.verdict));
    if (p.verdict.empty()) {
        label->setStyleSheet(QString());
    } else {
        label->setStyleSheet(p.runsOff ? QStringLiteral("QLabel { color: #a50e0e; }")
                                       : QStringLiteral("QLabel { color: #1e6b34; }"));
    }
}

}  // namespace

TabPluviometria::TabPluviometria(const AppServices& services, ChartWorkbench& workbench,
                                 QWidget* parent)
    : TabPage("tabPluviometria", parent), services_(services), workbench_(workbench) {
    auto* lblInstruccion =
        namedLabel(this, "lblInstruccion",
                   QStringLiteral("Introduzca la distancia desde el punto donde quiere evaluar la "
                                  "pluviometría al centro del sistema y el diámetro mojado por el "
                                  "aspersor en ese punto"));
    lblInstruccion->setWordWrap(true);

    const auto onChange = [this] {
        inputsChanged();
        compute(false);
    };
    const auto box = [&](QWidget* parent, const char* name, NumberRange range, const char* what,
                         NumberBox*& numberBox) {
        QLineEdit* e = namedEdit(parent, name);
        numberBox =
            new NumberBox(e, range, QString::fromUtf8(what), true, services_.messages, onChange);
        return e;
    };

    QGroupBox* frames[2] = {nullptr, nullptr};
    QLabel* excess[2] = {nullptr, nullptr};
    QLabel* verdicts[2] = {nullptr, nullptr};
    for (int i = 0; i < 2; ++i) {
        const bool first = i == 0;
        auto* f =
            new QGroupBox(first ? QStringLiteral("Punto 1") : QStringLiteral("Punto 2"), this);
        f->setObjectName(first ? "fraPunto1" : "fraPunto2");
        frames[i] = f;
        QLineEdit* radio = box(f, first ? "txtRadio1" : "txtRadio2", kPointDistanceRange,
                               first ? "the distance of the first point from the pivot point"
                                     : "the distance of the second point from the pivot point",
                               first ? radio1_ : radio2_);
        QLineEdit* dmoj = box(f, first ? "txtDmoj1" : "txtDmoj2", kWetDiameterRange,
                              first ? "the wetted diameter at the first point"
                                    : "the wetted diameter at the second point",
                              first ? dmoj1_ : dmoj2_);
        (first ? radio1_ : radio2_)->setQuantity(Quantity::Length);
        (first ? dmoj1_ : dmoj2_)->setQuantity(Quantity::Length);
        (first ? txtRadio1_ : txtRadio2_) = radio;
        (first ? txtDmoj1_ : txtDmoj2_) = dmoj;
        excess[i] = valueLabel(f, first ? "lblExceso1_v" : "lblExceso2_v");
        verdicts[i] = verdictLabel(f, first ? "lblVeredicto1" : "lblVeredicto2");
        auto* g = new QGridLayout(f);
        g->addWidget(namedLabel(f, first ? "lblRadio1" : "lblRadio2",
                                QStringLiteral("Distancia al centro (m)")),
                     0, 0);
        g->addWidget(radio, 0, 1);
        g->addWidget(
            namedLabel(f, first ? "lblDmoj1" : "lblDmoj2", QStringLiteral("Diámetro mojado (m)")),
            1, 0);
        g->addWidget(dmoj, 1, 1);
        g->addWidget(namedLabel(f, first ? "lblExceso1" : "lblExceso2",
                                QStringLiteral("Lámina en exceso (mm)")),
                     2, 0);
        g->addWidget(excess[i], 2, 1);
        g->addWidget(verdicts[i], 3, 0, 1, 2);
    }
    lblExceso1_v_ = excess[0];
    lblExceso2_v_ = excess[1];
    lblVeredicto1_ = verdicts[0];
    lblVeredicto2_ = verdicts[1];

    auto* soil = new QGroupBox(QStringLiteral("Infiltración (Kostiakov: k·t^a)"), this);
    soil->setObjectName("fraKostiakov");
    txtk_ = box(soil, "txtk", kKostiakovKRange, "the Kostiakov parameter k", k_);
    txta_ = box(soil, "txta", kKostiakovARange, "the Kostiakov parameter a", a_);
    k_->setQuantity(Quantity::Rate);
    auto* sg = new QGridLayout(soil);
    sg->addWidget(namedLabel(soil, "lblk", QStringLiteral("k (mm/h)")), 0, 0);
    sg->addWidget(txtk_, 0, 1);
    sg->addWidget(namedLabel(soil, "lbla", QStringLiteral("a")), 1, 0);
    sg->addWidget(txta_, 1, 1);

    auto* storage = new QGroupBox(QStringLiteral("Almacenamiento superficial"), this);
    storage->setObjectName("fraAlmacenamiento");
    lblAlmacenamiento_v_ = valueLabel(storage, "lblAlmacenamiento_v");
    cmdAlmacenamiento_ =
        namedButton(storage, "cmdAlmacenamiento", QStringLiteral("Calcular &almacenamiento..."));
    auto* stg = new QGridLayout(storage);
    stg->addWidget(namedLabel(storage, "lblAlmacenamiento", QStringLiteral("As (mm)")), 0, 0);
    stg->addWidget(lblAlmacenamiento_v_, 0, 1);
    stg->addWidget(cmdAlmacenamiento_, 1, 0, 1, 2);
    onSignal(cmdAlmacenamiento_, &QPushButton::clicked, this, services_.messages,
             [this] { openStorageCalculator(); });

    cmdCalcular_ = namedButton(this, "cmdCalcularPluviometria", QStringLiteral("&Comprobar"));
    onSignal(cmdCalcular_, &QPushButton::clicked, this, services_.messages, [this] {
        if (commitAll({radio1_, dmoj1_, radio2_, dmoj2_, k_, a_})) {
            inputsChanged();
            compute(true);
        }
    });
    lblMensaje_ = namedLabel(this, "lblMensajePluviometria", QString());
    lblMensaje_->setWordWrap(true);
    lblMensaje_->setStyleSheet(QStringLiteral("QLabel { color: #a50e0e; }"));

    auto* panel = new QWidget;
    auto* left = new QVBoxLayout(panel);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(lblInstruccion);
    left->addWidget(frames[0]);
    left->addWidget(frames[1]);
    left->addWidget(soil);
    left->addWidget(storage);
    left->addWidget(cmdCalcular_);
    left->addWidget(lblMensaje_);
    left->addStretch();
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(panel);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(330);
    scroll->setMaximumWidth(400);

    chart_ = new QChartView(this);
    chart_->setObjectName("chtPluviometria");
    chart_->setProperty("SeriesCaptions",
                        QStringLiteral("Elipse del punto 1;Elipse del punto 2;Infiltración;"
                                       "Tiempo (h);Intensidad (mm/h);Exceso del punto 1;"
                                       "Exceso del punto 2;Introduzca al menos un punto y la "
                                       "curva de infiltración para ver las intensidades"));
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumSize(360, 240);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(chart_, 1);
    setTabOrderChain({txtRadio1_, txtDmoj1_, txtRadio2_, txtDmoj2_, txtk_, txta_,
                      cmdAlmacenamiento_, cmdCalcular_});

    captionsFollowUnits(this);
    translateForm(this, services_.config.languageFile);
    onUnitsChanged(this, [this] { compute(false); });
    collector_ = workbench_.addCollector([this] { inputsChanged(); });
    clear();
}

TabPluviometria::~TabPluviometria() {
    workbench_.removeCollector(collector_);
}

void TabPluviometria::inputsChanged() {
    workbench_.setPluviometryCheck(
        runoffCheckFrom({radio1_->given(), dmoj1_->given(), radio2_->given(), dmoj2_->given(),
                         k_->given(), a_->given()}));
}

void TabPluviometria::fillInputs() {
    const quarvex::PluviometryCheck c = workbench_.pluviometryCheck();
    // 0 is "no data" for every box of the check: shown blank.
    const auto put = [](NumberBox* b, double v) {
        if (v != 0) {
            b->setExactValue(v);
        } else {
            b->setBlank();
        }
    };
    put(radio1_, c.firstSample.distanceToCenter);
    put(dmoj1_, c.firstSample.wetDiameter);
    put(radio2_, c.secondSample.distanceToCenter);
    put(dmoj2_, c.secondSample.wetDiameter);
    put(k_, c.kostiakov.k);
    put(a_, c.kostiakov.a);
}

void TabPluviometria::setPointDistance(int point, double distance_m) {
    if (point != 1 && point != 2) {
        return;
    }
    (point == 1 ? radio1_ : radio2_)->setValue(distance_m, 2);
    inputsChanged();
    compute(false);
}

void TabPluviometria::compute(bool showMessages) {
    const auto wrapper = workbench_.currentWrapper();
    if (!wrapper) {
        clear();
        return;
    }
    try {
        const RunoffTabView v = runoffTabView(*wrapper, workbench_.pluviometryCheck(),
                                              workbench_.indicadores().horasRevolucao,
                                              workbench_.surfaceStorage(), decimalSeparator());
        show(v);
        if (showMessages && v.failure) {
            services_.messages.showMessage(this, QString::fromStdString(*v.failure));
        }
    } catch (...) {
        clear();
        const std::string text = userMessage(describeError(std::current_exception()),
                                             "The runoff check could not be computed");
        lblMensaje_->setText(QString::fromStdString(text));
        if (showMessages) {
            services_.messages.showMessage(this, QString::fromStdString(text));
        }
    }
}

void TabPluviometria::show(const RunoffTabView& v) {
    const auto As = workbench_.surfaceStorage();
    const char sep = decimalSeparator();
    lblAlmacenamiento_v_->setText(
        As ? QString::fromStdString(shownNumber(Quantity::Depth, shownUnits(), *As, sep))
           : QString());
    QLabel* excess[2] = {lblExceso1_v_, lblExceso2_v_};
    QLabel* verdicts[2] = {lblVeredicto1_, lblVeredicto2_};
    for (int i = 0; i < 2; ++i) {
        const RunoffPointView& p = v.points[i];
        excess[i]->setText(
            QString::fromStdString(numbersInUnits(p.excess, Quantity::Depth, shownUnits(), sep)));
        RunoffPointView shown = p;
        shown.verdict = quantitiesInUnits(p.verdict, shownUnits(), sep);
        showVerdict(verdicts[i], shown);
    }
    QStringList notes;
    if (v.failure) {
        notes << QString::fromStdString(*v.failure);
    }
    for (const auto& p : v.problems) {
        notes << QString::fromStdString(quantitiesInUnits(p, shownUnits(), sep));
    }
    const bool anyPoint = v.points[0].hasData || v.points[1].hasData;
    if (!v.failure && anyPoint && !v.points[0].excess_mm && !v.points[1].excess_mm &&
        v.problems.empty()) {
        notes << QStringLiteral(
            "Give the Kostiakov parameters k and a to compute the excess "
            "depths");
    }
    if (!v.failure && !As && (v.points[0].excess_mm || v.points[1].excess_mm)) {
        notes << QStringLiteral("Compute the surface storage to see whether the excess runs off");
    }
    lblMensaje_->setText(notes.join(QLatin1Char('\n')));

    const QStringList names = captionList(chart_, "SeriesCaptions");
    if (v.curves.empty()) {
        replaceChart(chart_, ChartBuilder().title(names.value(7)));
        return;
    }
    const auto caption = [&](const std::string& key) {
        if (key == kFirstEllipse) {
            return names.value(0);
        }
        if (key == kSecondEllipse) {
            return names.value(1);
        }
        return names.value(2);
    };
    ChartBuilder chart;
    chart.xAxis(names.value(3), QStringLiteral("0.00"))
        .yAxis(names.value(4), QStringLiteral("0.00"));
    // Each point's excess is shaded in the colour of its ellipse.
    const auto colour = [](const std::string& key) {
        if (key == kFirstEllipse) {
            return QColor(0x1f, 0x5f, 0xa8);
        }
        if (key == kSecondEllipse) {
            return QColor(0xe0, 0x8a, 0x00);
        }
        return QColor(0x6d, 0x4c, 0x41);
    };
    for (const auto& s : v.shaded) {
        QColor fill = colour(s.point == 1 ? kFirstEllipse : kSecondEllipse);
        fill.setAlpha(90);
        chart.area(names.value(4 + s.point), s.lower, s.upper, AxisSide::Left, fill);
    }
    for (const PlotLine& line : v.curves) {
        chart.line(caption(line.name), line.points, AxisSide::Left, colour(line.name));
    }
    replaceChart(chart_, chart);
}

void TabPluviometria::openStorageCalculator() {
    if (storage_) {
        storage_->raise();
        storage_->activateWindow();
        return;
    }
    storage_ = new frmSuperficialStorage(services_, this);
    storage_->setAttribute(Qt::WA_DeleteOnClose);
    onSignal(storage_.data(), &frmSuperficialStorage::computed, this, services_.messages,
             [this](double As) {
                 workbench_.setSurfaceStorage(As);
                 compute(false);
             });
    storage_->show();
}

void TabPluviometria::updateData() {
    fillInputs();
    compute(false);
}

void TabPluviometria::clear() {
    clearControls({lblExceso1_v_, lblExceso2_v_, lblVeredicto1_, lblVeredicto2_, lblMensaje_});
    replaceChart(chart_, ChartBuilder().title(captionList(chart_, "SeriesCaptions").value(7)));
}

}  // namespace kambrix
