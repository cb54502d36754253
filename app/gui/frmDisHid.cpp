// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmDisHid.h"

#include "gui/widgets/units_view.h"
#include "shell/unit_captions.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/TabPerfil.h"
#include "gui/TabSalidas.h"
#include "gui/TabTramos.h"
#include "gui/TabVelocidades.h"
#include "gui/frmBDtramos.h"
#include "gui/frmCaspersores.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "shell/services.h"

namespace kambrix {

namespace {

constexpr NumberRange kDischarge{0, 1000, true, false};      // L/s
constexpr NumberRange kPressure{0, 2000, true, false};       // kPa
constexpr NumberRange kElevation{-500, 9000, false, false};  // m
constexpr NumberRange kArea{0, 100000, false, false};        // ha
constexpr NumberRange kHours{0, 24, true, false};            // h per day
constexpr NumberRange kSpanCount{0, kMaxSpans, false, true};
constexpr NumberRange kGunRadius{0, 200, true, false};   // m
constexpr NumberRange kPipeHeight{0, 20, false, false};  // m above the ground

// The design screen on a 1366 × 768 laptop; smaller screens get scroll bars on the inputs.
constexpr QSize kPreferredSize(1340, 740);

}  // namespace

bool openWorkbenchWindow(const AppServices& services, QWidget* opener) {
    frmCaspersores* workbench = nullptr;
    try {
        workbench = new frmCaspersores(services);
    } catch (...) {
        services.messages.showError(opener, describeCurrentError(),
                                    "The sprinkler chart workbench could not be opened");
        return false;
    }
    openNext(opener, workbench);
    return true;
}

NumberBox* frmDisHid::numberBox(QLineEdit* box, NumberRange range, const QString& what) {
    return new NumberBox(box, range, what, true, services_.messages, [this] { changed(); });
}

frmDisHid::frmDisHid(const AppServices& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      presenter_(services.document.project(), services.config.projectsConnectionString,
                 decimalSeparator()) {
    setObjectName("frmDisHid");
    setWindowTitle(QStringLiteral("Diseño hidráulico"));

    // The inputs scroll on their own when the screen is short; the results take the rest.
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName("splDisHid");
    splitter->setChildrenCollapsible(false);
    auto* scroll = new QScrollArea(splitter);
    scroll->setObjectName("scrDatos");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* inputs = new QWidget(scroll);
    inputs->setObjectName("pnlDatos");
    buildInputs(inputs);
    scroll->setWidget(inputs);

    tabResultados_ = new QTabWidget(splitter);
    tabResultados_->setObjectName("tabResultados");
    IdealResults& results = presenter_.results();
    auto* tabSalidas = new TabSalidas(results, services_.messages);
    auto* tabTramos = new TabTramos(results, services_.messages);
    auto* tabPerfil = new TabPerfil(results);
    auto* tabVelocidades = new TabVelocidades(results, services_.messages);
    tabs_ = {tabSalidas, tabTramos, tabPerfil, tabVelocidades};
    tabResultados_->addTab(tabSalidas, QStringLiteral("Salidas"));
    tabResultados_->addTab(tabTramos, QStringLiteral("Tramos"));
    tabResultados_->addTab(tabPerfil, QStringLiteral("Perfil"));
    tabResultados_->addTab(tabVelocidades, QStringLiteral("Velocidades"));
    splitter->addWidget(scroll);
    splitter->addWidget(tabResultados_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    auto* buttons = new QHBoxLayout;
    auto* lblSistema = namedLabel(this, "lblSistema", QString::fromStdString(project().nome));
    QFont f = lblSistema->font();
    f.setBold(true);
    lblSistema->setFont(f);
    auto* cmdCalcular = namedButton(this, "cmdCalcular", QStringLiteral("Calcular"));
    auto* cmdGuardar = namedButton(this, "cmdGuardar", QStringLiteral("Guardar"));
    auto* cmdCartaAspersores =
        namedButton(this, "cmdCartaAspersores", QStringLiteral("Carta de aspersores"));
    auto* cmdSalir = namedButton(this, "cmdSalir", QStringLiteral("Salir"));
    buttons->addWidget(lblSistema);
    buttons->addStretch();
    for (auto* b : {cmdCalcular, cmdGuardar, cmdCartaAspersores, cmdSalir}) {
        buttons->addWidget(b);
    }
    auto& m = services_.messages;
    onSignal(cmdCalcular, &QPushButton::clicked, this, m, [this] { cmdCalcular_Click(); });
    onSignal(cmdGuardar, &QPushButton::clicked, this, m, [this] { save(); });
    onSignal(cmdCartaAspersores, &QPushButton::clicked, this, m, [this] { openWorkbench(); });
    onSignal(cmdSalir, &QPushButton::clicked, this, services_.messages, [this] { close(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    addStatusLine(this, layout);

    std::vector<QWidget*> order = {txtPropietario_, caudal_->box(),     presion_->box(),
                                   cota_->box(),    cboMaterial_,       area_->box(),
                                   horas_->box(),   alturaTubo_->box(), numeroTramos_->box()};
    for (int i = 0; i < kMaxSpans; ++i) {
        order.push_back(spanCombos_[i]);
        order.push_back(cotas_[i]->box());
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{chkVoladizo_, dtcombVoladizo_, chkGun_, gunRs_->box(),
                                         tabResultados_, tabVelocidades->revolutionTime()->box(),
                                         cmdCalcular, cmdGuardar, cmdCartaAspersores, cmdSalir}) {
        order.push_back(w);
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    captionsFollowUnits(this);
    translateForm(this, services_.config.languageFile);
    onUnitsChanged(this, [this] { showResults(); });
    loadCatalogues();
    try {
        presenter_.setAgronomics(
            loadSystemAgronomics(services_.config.projectsConnectionString, project().id));
    } catch (...) {
        handleDatabaseError(services_.messages, this,
                            "The agronomic data of the system could not be read");
    }
    fillControls();
    // Wide enough for the translated labels and the longest material and span names, and
    // for the vertical scroll bar when a short screen needs it.
    scroll->setMinimumWidth(inputs->sizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width() + 4);
    fitToScreen(this, kPreferredSize);
}

void frmDisHid::buildInputs(QWidget* area) {
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);

    // The pivot's own data.
    auto* fraDatos = new QGroupBox(QStringLiteral("Datos del pivot"), area);
    fraDatos->setObjectName("fraDatos");
    auto* datos = new QGridLayout(fraDatos);
    txtPropietario_ = namedEdit(fraDatos, "txtPropietario", false);
    auto* txtCaudal = namedEdit(fraDatos, "txtCaudal");
    auto* txtPresionPivot = namedEdit(fraDatos, "txtPresionPivot");
    auto* txtCotaInicial = namedEdit(fraDatos, "txtCotaInicial");
    auto* txtArea = namedEdit(fraDatos, "txtArea");
    auto* txtHoras = namedEdit(fraDatos, "txtHorasOperacion");
    auto* txtNumeroTramos = namedEdit(fraDatos, "txtNumeroTramos");
    auto* txtAlturaTubo = namedEdit(fraDatos, "txtAlturaTubo");
    cboMaterial_ = new QComboBox(fraDatos);
    cboMaterial_->setObjectName("cboMaterial");
    cboMaterial_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    int row = 0;
    auto addRow = [&](const char* name, const QString& text, QWidget* w) {
        datos->addWidget(namedLabel(fraDatos, name, text), row, 0);
        datos->addWidget(w, row, 1);
        ++row;
    };
    addRow("lblPropietario", QStringLiteral("Propietario"), txtPropietario_);
    addRow("lblCaudal", QStringLiteral("Caudal de diseño (l/s)"), txtCaudal);
    lblCaudalOrigen_ = namedLabel(fraDatos, "lblCaudalOrigen", QString());
    lblCaudalOrigen_->setWordWrap(true);
    lblCaudalOrigen_->setStyleSheet(QStringLiteral("color: #505050; font-style: italic;"));
    datos->addWidget(lblCaudalOrigen_, row++, 1);
    addRow("lblPresion", QStringLiteral("Presión nominal en el pivot (kPa)"), txtPresionPivot);
    addRow("lblCota", QStringLiteral("Cota del terreno en el pivot (m)"), txtCotaInicial);
    addRow("lblMaterial", QStringLiteral("Material de la tubería"), cboMaterial_);
    addRow("lblArea", QStringLiteral("Área de la parcela (ha)"), txtArea);
    addRow("lblHorasOperacion", QStringLiteral("Horas de funcionamiento diarias (h)"), txtHoras);
    addRow("lblAlturaTubo", QStringLiteral("Altura de la tubería sobre el suelo (m)"),
           txtAlturaTubo);
    addRow("lblNumeroTramos", QStringLiteral("Número de tramos (0 a 11)"), txtNumeroTramos);
    lblAreaRegada_ = namedLabel(fraDatos, "lblAreaRegada", QString());
    lblAreaRegada_->setProperty("Prefix", QStringLiteral("Área regada"));
    datos->addWidget(lblAreaRegada_, row++, 0, 1, 2);
    lblBalanceCaudal_ = namedLabel(fraDatos, "lblBalanceCaudal_v", QString());
    lblBalanceCaudal_->setWordWrap(true);
    datos->addWidget(lblBalanceCaudal_, row++, 0, 1, 2);
    lblAviso_ = namedLabel(fraDatos, "lblAviso", QString());
    lblAviso_->setWordWrap(true);
    lblAviso_->setStyleSheet(QStringLiteral("color: #b00020;"));
    datos->addWidget(lblAviso_, row++, 0, 1, 2);
    datos->setColumnStretch(1, 1);
    column->addWidget(fraDatos);

    caudal_ = numberBox(txtCaudal, kDischarge, QStringLiteral("the design discharge"));
    presion_ = numberBox(txtPresionPivot, kPressure, QStringLiteral("the nominal pressure"));
    cota_ =
        numberBox(txtCotaInicial, kElevation, QStringLiteral("the ground elevation at the pivot"));
    area_ = new NumberBox(
        txtArea, kArea, QStringLiteral("the field area"), true, services_.messages, [this] {
            changed();
            if (presenter_.fieldSmallerThanIrrigated()) {
                services_.messages.showMessage(this, QString::fromLatin1(kFieldSmallerWarning));
            }
        });
    horas_ = numberBox(txtHoras, kHours, QStringLiteral("the daily operating hours"));
    alturaTubo_ = numberBox(txtAlturaTubo, kPipeHeight,
                            QStringLiteral("the height of the pipe above the ground"));
    numeroTramos_ = numberBox(txtNumeroTramos, kSpanCount, QStringLiteral("the number of spans"));
    caudal_->setQuantity(Quantity::Discharge);
    presion_->setQuantity(Quantity::Pressure);
    cota_->setQuantity(Quantity::Length);
    area_->setQuantity(Quantity::Area);
    alturaTubo_->setQuantity(Quantity::Length);
    numeroTramos_->extraCheck = [](double n) -> std::optional<std::string> {
        if (n > kMaxSpans && std::floor(n) == n) {
            return std::string(kSpanLimitMessage);
        }
        return std::nullopt;
    };
    onSignal(txtPropietario_, &QLineEdit::textEdited, this, services_.messages,
             [this] { changed(); });

    // The spans, the overhang and the end gun.
    auto* fraTramos = new QGroupBox(QStringLiteral("Tramos"), area);
    fraTramos->setObjectName("fraTramos");
    auto* tramos = new QGridLayout(fraTramos);
    tramos->addWidget(
        namedLabel(fraTramos, "lblTramoModelo", QStringLiteral("Tramo de referencia")), 0, 1);
    tramos->addWidget(namedLabel(fraTramos, "lblTramoCota", QStringLiteral("Cota final (m)")), 0,
                      2);
    for (int i = 0; i < kMaxSpans; ++i) {
        spanLabels_[i] = namedLabel(fraTramos, QStringLiteral("lblTramo_%1").arg(i + 1).toLatin1(),
                                    QString::number(i + 1));
        spanCombos_[i] = new QComboBox(fraTramos);
        spanCombos_[i]->setObjectName(QStringLiteral("dtcombTramos_%1").arg(i + 1));
        spanCombos_[i]->setMinimumWidth(150);
        auto* cotaEdit = namedEdit(fraTramos, QStringLiteral("txtCotas_%1").arg(i + 1).toLatin1());
        cotas_[i] = numberBox(cotaEdit, kElevation,
                              QStringLiteral("the end elevation of span %1").arg(i + 1));
        cotas_[i]->setQuantity(Quantity::Length);
        tramos->addWidget(spanLabels_[i], i + 1, 0);
        tramos->addWidget(spanCombos_[i], i + 1, 1);
        tramos->addWidget(cotaEdit, i + 1, 2);
        onSignal(spanCombos_[i], &QComboBox::currentIndexChanged, this, services_.messages,
                 [this] { changed(); });
    }
    chkVoladizo_ = new QCheckBox(QStringLiteral("Voladizo"), fraTramos);
    chkVoladizo_->setObjectName("chkVoladizo");
    dtcombVoladizo_ = new QComboBox(fraTramos);
    dtcombVoladizo_->setObjectName("dtcombVoladizo");
    chkGun_ = new QCheckBox(QStringLiteral("Cañón final"), fraTramos);
    chkGun_->setObjectName("chk_gun_active");
    auto* txtGunRs = namedEdit(fraTramos, "txt_gun_rs");
    gunRs_ = numberBox(txtGunRs, kGunRadius, QStringLiteral("the wetted radius of the end gun"));
    gunRs_->setQuantity(Quantity::Length);
    tramos->addWidget(chkVoladizo_, kMaxSpans + 1, 0);
    tramos->addWidget(dtcombVoladizo_, kMaxSpans + 1, 1);
    tramos->addWidget(chkGun_, kMaxSpans + 2, 0);
    tramos->addWidget(namedLabel(fraTramos, "lblGunRs", QStringLiteral("Radio mojado (m)")),
                      kMaxSpans + 2, 1, Qt::AlignRight);
    tramos->addWidget(txtGunRs, kMaxSpans + 2, 2);
    // A span missing from the lists is added in the catalogue without leaving this screen.
    auto* cmdBDtramos =
        namedButton(fraTramos, "cmdBDtramos", QStringLiteral("Catálogo de tramos…"));
    cmdBDtramos->setToolTip(QStringLiteral(
        "Opens the reference-span catalogue; the span lists are read again when it closes"));
    tramos->addWidget(cmdBDtramos, kMaxSpans + 3, 1, 1, 2, Qt::AlignLeft);
    onSignal(cmdBDtramos, &QPushButton::clicked, this, services_.messages,
             [this] { openSpanCatalogue(); });
    tramos->setColumnStretch(1, 1);
    column->addWidget(fraTramos);
    column->addStretch();
    auto& m = services_.messages;
    onSignal(chkVoladizo_, &QCheckBox::toggled, this, m, [this] {
        dtcombVoladizo_->setEnabled(chkVoladizo_->isChecked());
        changed();
    });
    onSignal(dtcombVoladizo_, &QComboBox::currentIndexChanged, this, m, [this] { changed(); });
    onSignal(chkGun_, &QCheckBox::toggled, this, m, [this] {
        gunRs_->box()->setEnabled(chkGun_->isChecked());
        changed();
    });
    onSignal(cboMaterial_, &QComboBox::currentIndexChanged, this, m, [this] { changed(); });
}

void frmDisHid::loadCatalogues() {
    try {
        presenter_.loadMaterials(services_.config.projectsConnectionString);
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The catalogues could not be read");
    }
    filling_ = true;
    for (const auto& mat : presenter_.materials()) {
        cboMaterial_->addItem(mat.id == 0 ? QString()
                                          : QStringLiteral("%1 (C = %2)")
                                                .arg(QString::fromStdString(mat.name))
                                                .arg(mat.rugosidade));
    }
    filling_ = false;
    loadSpanCatalogue();
}

void frmDisHid::loadSpanCatalogue() {
    try {
        presenter_.loadReferenceSpans(services_.config.tramosConnectionString);
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The catalogues could not be read");
    }
    QStringList names;
    for (const auto& name : presenter_.spanNames()) {
        names << QString::fromStdString(name);
    }
    filling_ = true;
    std::vector<QComboBox*> lists(spanCombos_.begin(), spanCombos_.end());
    lists.push_back(dtcombVoladizo_);
    for (auto* combo : lists) {
        const QString chosen = combo->currentText();
        combo->clear();
        combo->addItems(names);
        combo->setCurrentIndex(std::max(0, combo->findText(chosen)));
    }
    filling_ = false;
}

frmDisHid::~frmDisHid() {
    // The editor goes with this window; its end must not refill lists that are gone.
    if (spanCatalogue_) {
        spanCatalogue_->disconnect(this);
    }
}

void frmDisHid::openSpanCatalogue() {
    if (spanCatalogue_) {
        spanCatalogue_->raise();
        spanCatalogue_->activateWindow();
        return;
    }
    auto* catalogue = new frmBDtramos(services_, this);
    spanCatalogue_ = catalogue;
    catalogue->setWindowFlag(Qt::Window);
    catalogue->setWindowModality(Qt::WindowModal);
    catalogue->setAttribute(Qt::WA_DeleteOnClose);
    onSignal(catalogue, &QObject::destroyed, this, services_.messages,
             [this] { loadSpanCatalogue(); });
    catalogue->show();
}

void frmDisHid::fillControls() {
    filling_ = true;
    const PivotForm f = presenter_.form();
    auto show = [](NumberBox* box, const std::optional<double>& value, int decimals) {
        box->setValue(value.value_or(0), decimals, !value);
    };
    txtPropietario_->setText(QString::fromStdString(f.owner));
    show(caudal_, f.discharge, 2);
    show(presion_, f.pressure, 1);
    show(cota_, f.elevation, 2);
    show(area_, f.area, 2);
    show(horas_, f.hours, 1);
    show(alturaTubo_, f.pipeHeight, 2);
    show(gunRs_, f.gunRadius, 1);
    cboMaterial_->setCurrentIndex(f.material);
    numeroTramos_->setValue(f.spanCount, 0, f.spanCount == 0);
    auto choose = [](QComboBox* combo, const std::string& name) {
        combo->setCurrentIndex(std::max(0, combo->findText(QString::fromStdString(name))));
    };
    for (int i = 0; i < kMaxSpans; ++i) {
        choose(spanCombos_[i], f.spans[i]);
        show(cotas_[i], f.endElevations[i], 2);
    }
    chkVoladizo_->setChecked(f.overhang);
    dtcombVoladizo_->setEnabled(f.overhang);
    choose(dtcombVoladizo_, f.overhangSpan);
    chkGun_->setChecked(f.endGun);
    gunRs_->box()->setEnabled(f.endGun);
    filling_ = false;
    enableSpanRows();
    presenter_.refreshResults();
    showResults();
}

PivotForm frmDisHid::form() const {
    PivotForm f;
    f.owner = txtPropietario_->text().toStdString();
    f.discharge = caudal_->given();
    f.pressure = presion_->given();
    f.elevation = cota_->given();
    f.area = area_->given();
    f.hours = horas_->given();
    f.pipeHeight = alturaTubo_->given();
    f.material = cboMaterial_->currentIndex();
    f.spanCount = static_cast<int>(numeroTramos_->value(0));
    for (int i = 0; i < kMaxSpans; ++i) {
        f.spans[i] = spanCombos_[i]->currentText().toStdString();
        f.endElevations[i] = cotas_[i]->given();
    }
    f.overhang = chkVoladizo_->isChecked();
    f.overhangSpan = dtcombVoladizo_->currentText().toStdString();
    f.endGun = chkGun_->isChecked();
    f.gunRadius = gunRs_->given();
    return f;
}

void frmDisHid::enableSpanRows() {
    // Only the spans asked for are shown, so the inputs of a usual pivot fit on a laptop
    // screen without scrolling.
    const int n = static_cast<int>(numeroTramos_->value(0));
    for (int i = 0; i < kMaxSpans; ++i) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{spanCombos_[i], cotas_[i]->box(), spanLabels_[i]}) {
            w->setEnabled(i < n);
            w->setVisible(i < n);
        }
    }
}

void frmDisHid::changed() {
    if (filling_) {
        return;
    }
    presenter_.change(form());
    enableSpanRows();
    showResults();
}

void frmDisHid::showResults() {
    const DesignView& view = presenter_.view();
    // The sentences quote stored units; they read in the shown ones.
    const auto shown = [](const std::string& text) {
        return QString::fromStdString(quantitiesInUnits(text, shownUnits(), decimalSeparator()));
    };
    lblAreaRegada_->setText(lblAreaRegada_->property("Prefix").toString() + QStringLiteral(": ") +
                            shown(QStringLiteral("%1 ha, R = %2 m")
                                      .arg(screenNumber(view.irrigatedArea_ha, 2),
                                           screenNumber(view.irrigatedRadius_m, 1))
                                      .toStdString()));
    lblBalanceCaudal_->setText(shown(view.dischargeBalance));
    lblBalanceCaudal_->setVisible(presenter_.results().computed.has_value());
    for (TabPage* tab : tabs_) {
        tab->updateData();
    }
    QStringList warnings;
    for (const auto& w : view.warnings) {
        warnings << shown(w);
    }
    lblAviso_->setText(warnings.join(QLatin1Char('\n')));
    QString note = shown(view.dischargeNote);
    // The number and its unit stay on one line when the note wraps.
    const QString unit = QString::fromStdString(unitOf(Quantity::Discharge, shownUnits()).symbol);
    note.replace(QLatin1Char(' ') + unit, QChar(0x00A0) + unit);
    lblCaudalOrigen_->setText(note);
    lblCaudalOrigen_->setVisible(!note.isEmpty());
}

bool frmDisHid::commitBoxes() {
    if (!commitAll({caudal_, presion_, cota_, area_, horas_, alturaTubo_, numeroTramos_, gunRs_})) {
        return false;
    }
    for (NumberBox* b : cotas_) {
        if (!b->commit()) {
            b->box()->setFocus();
            return false;
        }
    }
    return true;
}

void frmDisHid::cmdCalcular_Click() {
    if (!commitBoxes()) {
        return;
    }
    const auto message = presenter_.calculate(form());
    showResults();
    if (message) {
        services_.messages.showMessage(this, QString::fromStdString(*message));
    }
}

bool frmDisHid::save() {
    if (!commitBoxes()) {
        return false;
    }
    auto confirm = [this](const std::string& question) {
        return services_.messages.confirm(this, QString::fromStdString(question));
    };
    DesignStep step;
    try {
        step = presenter_.save(form(), services_.document, confirm);
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The system could not be saved");
        return false;
    }
    if (!step.message.empty()) {
        services_.messages.showMessage(this, QString::fromStdString(step.message));
    }
    if (step.gunRadiusMissing) {
        gunRs_->box()->setFocus();
    }
    if (!step.done) {
        return false;
    }
    services_.messages.showStatus(
        this,
        QStringLiteral("The system '%1' was saved").arg(QString::fromStdString(project().nome)));
    return true;
}

namespace {

bool runWorkbenchChecks(HydraulicDesignPresenter& presenter, MessageService& messages,
                        QWidget* parent) {
    const DesignStep step = presenter.checkBeforeWorkbench([&](const std::string& question) {
        return messages.confirm(parent, QString::fromStdString(question));
    });
    if (!step.message.empty()) {
        messages.showMessage(parent, QString::fromStdString(step.message));
    }
    return step.done;
}

}  // namespace

bool designReadyForWorkbench(const AppServices& services, QWidget* parent) {
    HydraulicDesignPresenter presenter(
        services.document.project(), services.config.projectsConnectionString, decimalSeparator());
    try {
        presenter.loadMaterials(services.config.projectsConnectionString);
    } catch (...) {
        handleDatabaseError(services.messages, parent, "The catalogues could not be read");
    }
    try {
        presenter.loadReferenceSpans(services.config.tramosConnectionString);
    } catch (...) {
        handleDatabaseError(services.messages, parent, "The catalogues could not be read");
    }
    return runWorkbenchChecks(presenter, services.messages, parent);
}

bool frmDisHid::checkBeforeWorkbench() {
    return runWorkbenchChecks(presenter_, services_.messages, this);
}

void frmDisHid::openWorkbench() {
    // The workbench works on the stored project: changes here are saved first, or left out.
    if (hasChanges()) {
        switch (services_.messages.askYesNoCancel(
            this, QStringLiteral("Do you want to save the current system?"))) {
            case MessageService::Answer::Yes:
                if (!save()) {
                    return;
                }
                break;
            case MessageService::Answer::No:
                break;
            case MessageService::Answer::Cancel:
                return;
        }
    }
    if (!checkBeforeWorkbench()) {
        return;
    }
    openWorkbenchWindow(services_, this);
}

void frmDisHid::closeEvent(QCloseEvent* event) {
    closeAskingToSave(event, services_.messages, this, hasChanges(),
                      QStringLiteral("Do you want to save the current system?"),
                      [this] { return save(); });
}

}  // namespace kambrix
