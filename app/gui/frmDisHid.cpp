// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmDisHid.h"

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
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/hand_over.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "shell/discharge_balance.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

constexpr NumberRange kDischarge{0, 1000, true, false};      // L/s
constexpr NumberRange kPressure{0, 2000, true, false};       // kPa
constexpr NumberRange kElevation{-500, 9000, false, false};  // m
constexpr NumberRange kArea{0, 100000, false, false};        // ha
constexpr NumberRange kHours{0, 24, true, false};            // h per day
constexpr NumberRange kSpanCount{0, kMaxSpans, false, true};
constexpr NumberRange kGunRadius{0, 200, true, false};  // m

const char* const kSavingDiffers =
    "WARNING!!! You are saving a set of spans that might differ from those with wich the "
    "sprinkler charts were created. As such they might became invalid Are you sure you want "
    "to proceed";
const char* const kNotSaved =
    "WARNING!!! not all the spans are saved. Unless they are saved any new created sprinkler "
    "charts might became invalid. Do you want to proceed?";
const char* const kDiffersFromCharts =
    "WARNING!!! The selected spans differ from those with wich the associated sprinkler charts "
    "were created. as such they might became invalid. Do you want to proceed?";
const char* const kFieldSmaller = "WARNING!!! The field area is smaller than the irrigated area";

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
    : QWidget(parent), services_(services), project_(services.document.project()) {
    setObjectName("frmDisHid");
    setWindowTitle(QStringLiteral("Diseño hidráulico"));
    storedTramos_ = project_.Tramos;

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
    auto* tabSalidas = new TabSalidas(results_, services_.messages);
    auto* tabTramos = new TabTramos(results_, services_.messages);
    auto* tabPerfil = new TabPerfil(results_);
    auto* tabVelocidades = new TabVelocidades(results_, services_.messages);
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
    auto* lblSistema = namedLabel(this, "lblSistema", QString::fromStdString(project_.nome));
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
    connect(cmdCalcular, &QPushButton::clicked, this,
            guarded(m, this, [this] { cmdCalcular_Click(); }));
    connect(cmdGuardar, &QPushButton::clicked, this, guarded(m, this, [this] { save(); }));
    connect(cmdCartaAspersores, &QPushButton::clicked, this,
            guarded(m, this, [this] { openWorkbench(); }));
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    addStatusLine(this, layout);

    std::vector<QWidget*> order = {txtPropietario_, caudal_->box(),      presion_->box(),
                                   cota_->box(),    cboMaterial_,        area_->box(),
                                   horas_->box(),   numeroTramos_->box()};
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

    translateForm(this, services_.config.languageFile);
    loadCatalogues();
    try {
        agronomics_ = loadSystemAgronomics(services_.config.projectsConnectionString, project_.id);
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
            if (fieldSmallerThanIrrigated(project_.areaParcela, buildPivot(project_))) {
                services_.messages.showMessage(this, QString::fromLatin1(kFieldSmaller));
            }
        });
    horas_ = numberBox(txtHoras, kHours, QStringLiteral("the daily operating hours"));
    numeroTramos_ = numberBox(txtNumeroTramos, kSpanCount, QStringLiteral("the number of spans"));
    numeroTramos_->extraCheck = [](double n) -> std::optional<std::string> {
        if (n > kMaxSpans && std::floor(n) == n) {
            return std::string(kSpanLimitMessage);
        }
        return std::nullopt;
    };
    connect(txtPropietario_, &QLineEdit::textEdited, this, [this] { changed(); });

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
        tramos->addWidget(spanLabels_[i], i + 1, 0);
        tramos->addWidget(spanCombos_[i], i + 1, 1);
        tramos->addWidget(cotaEdit, i + 1, 2);
        connect(spanCombos_[i], &QComboBox::currentIndexChanged, this, [this] { changed(); });
    }
    chkVoladizo_ = new QCheckBox(QStringLiteral("Voladizo"), fraTramos);
    chkVoladizo_->setObjectName("chkVoladizo");
    dtcombVoladizo_ = new QComboBox(fraTramos);
    dtcombVoladizo_->setObjectName("dtcombVoladizo");
    chkGun_ = new QCheckBox(QStringLiteral("Cañón final"), fraTramos);
    chkGun_->setObjectName("chk_gun_active");
    auto* txtGunRs = namedEdit(fraTramos, "txt_gun_rs");
    gunRs_ = numberBox(txtGunRs, kGunRadius, QStringLiteral("the wetted radius of the end gun"));
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
    connect(cmdBDtramos, &QPushButton::clicked, this,
            guarded(services_.messages, this, [this] { openSpanCatalogue(); }));
    tramos->setColumnStretch(1, 1);
    column->addWidget(fraTramos);
    column->addStretch();
    connect(chkVoladizo_, &QCheckBox::toggled, this, [this] {
        dtcombVoladizo_->setEnabled(chkVoladizo_->isChecked());
        changed();
    });
    connect(dtcombVoladizo_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    connect(chkGun_, &QCheckBox::toggled, this, [this] {
        gunRs_->box()->setEnabled(chkGun_->isChecked());
        changed();
    });
    connect(cboMaterial_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
}

void frmDisHid::loadCatalogues() {
    try {
        readFrom(services_.config.projectsConnectionString, [&](quarvex::Connection& con) {
            auto& pipeMaterials = quarvex::statics().PipeMaterials();
            materials_.push_back(pipeMaterials.NullPipeMaterial());
            pipeMaterials.All(con).ForEach(
                [&](const quarvex::PipeMaterial& m) { materials_.push_back(m); });
        });
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The catalogues could not be read");
    }
    filling_ = true;
    for (const auto& mat : materials_) {
        cboMaterial_->addItem(mat.id == 0 ? QString()
                                          : QStringLiteral("%1 (C = %2)")
                                                .arg(QString::fromStdString(mat.name))
                                                .arg(mat.rugosidade));
    }
    filling_ = false;
    loadSpanCatalogue();
}

void frmDisHid::loadSpanCatalogue() {
    valley_.clear();
    try {
        readFrom(services_.config.tramosConnectionString, [&](quarvex::Connection& con) {
            ReferenceTramos().allReferenceTramos(con).ForEach(
                [&](const ReferenceTramo& t) { valley_[t.denominacion] = t; });
        });
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The catalogues could not be read");
    }
    // A span of the system whose reference span is no longer in the catalogue (removed or
    // renamed since) stays choosable with the data the system holds.
    for (const auto& t : project_.Tramos) {
        if (!isBlank(t.denominacion) && valley_.find(t.denominacion) == valley_.end()) {
            ReferenceTramo kept;
            kept.id = t.id;
            kept.denominacion = t.denominacion;
            kept.longitud = t.longitude;
            kept.diametro = t.diametro;
            kept.separacion_saidas = t.separationSaidas_cm;
            valley_[t.denominacion] = kept;
        }
    }
    QStringList names{QString()};
    for (const auto& [name, t] : valley_) {
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
    connect(catalogue, &QObject::destroyed, this, [this] { loadSpanCatalogue(); });
    catalogue->show();
}

void frmDisHid::fillControls() {
    filling_ = true;
    const Projecto& p = project_;
    txtPropietario_->setText(QString::fromStdString(p.propietario));
    caudal_->setValue(p.q, 2, p.q == 0);
    presion_->setValue(p.p, 1, p.p == 0);
    // A stored elevation of 0 reads back as 0; a new system without spans has none yet.
    cota_->setValue(p.cotaCentral, 2, p.cotaCentral == 0 && p.Tramos.IsEmpty());
    area_->setValue(p.areaParcela, 2, p.areaParcela == 0);
    horas_->setValue(p.horas_de_operacao_diaria, 1, p.horas_de_operacao_diaria == 0);
    gunRs_->setValue(p.endGun.rs, 1, p.endGun.rs == 0);
    int material = 0;
    for (std::size_t i = 0; i < materials_.size(); ++i) {
        if (materials_[i].id == p.p_pipe_material_id) {
            material = static_cast<int>(i);
        }
    }
    cboMaterial_->setCurrentIndex(material);
    const int n = fixedSpanCount(p);
    numeroTramos_->setValue(n, 0, n == 0);
    for (int i = 0; i < kMaxSpans; ++i) {
        const bool used = i < n;
        spanCombos_[i]->setCurrentIndex(
            used ? spanCombos_[i]->findText(QString::fromStdString(p.Tramos(i + 1).denominacion))
                 : 0);
        if (spanCombos_[i]->currentIndex() < 0) {
            spanCombos_[i]->setCurrentIndex(0);
        }
        cotas_[i]->setValue(used ? p.Tramos(i + 1).cota : 0, 2, !used);
    }
    chkVoladizo_->setChecked(p.hasVoladizo);
    dtcombVoladizo_->setEnabled(p.hasVoladizo);
    dtcombVoladizo_->setCurrentIndex(
        p.hasVoladizo && p.Tramos.Length() > n
            ? std::max(0, dtcombVoladizo_->findText(
                              QString::fromStdString(p.Tramos(n + 1).denominacion)))
            : 0);
    chkGun_->setChecked(p.hasGun);
    gunRs_->box()->setEnabled(p.hasGun);
    filling_ = false;
    enableSpanRows();
    refreshResults();
}

PivotInputs frmDisHid::inputs() const {
    PivotInputs in;
    in.discharge = caudal_->given();
    in.pressure = presion_->given();
    in.elevation = cota_->given();
    const int material = cboMaterial_->currentIndex();
    in.pipeMaterial = material >= 0 && material < static_cast<int>(materials_.size()) &&
                      materials_[material].rugosidade > 0;
    in.spanCount = std::clamp(static_cast<int>(numeroTramos_->value(0)), 0, kMaxSpans);
    for (int i = 0; i < kMaxSpans; ++i) {
        SpanInput s;
        const auto found = valley_.find(spanCombos_[i]->currentText().toStdString());
        s.chosen = found != valley_.end();
        s.length = s.chosen ? found->second.longitud : 0;
        s.endElevation = cotas_[i]->given();
        in.spans.push_back(s);
    }
    in.overhang = chkVoladizo_->isChecked();
    in.overhangChosen = valley_.count(dtcombVoladizo_->currentText().toStdString()) > 0;
    in.endGun = chkGun_->isChecked();
    in.gunRadius = gunRs_->given();
    return in;
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
    readIntoProject();
    dirty_ = true;
    enableSpanRows();
    refreshResults();
}

void frmDisHid::readIntoProject() {
    Projecto& p = project_;
    p.propietario = trim(txtPropietario_->text().toStdString());
    p.q = caudal_->value();
    p.p = presion_->value();
    p.cotaCentral = cota_->value();
    p.areaParcela = area_->value();
    p.horas_de_operacao_diaria = horas_->value();
    const int material = std::max(0, cboMaterial_->currentIndex());
    if (material < static_cast<int>(materials_.size())) {
        p.pipe_material = materials_[material];
        p.p_pipe_material_id = p.pipe_material.id;
    }
    auto spanFrom = [&](const QString& name, double cota) {
        const auto found = valley_.find(name.toStdString());
        if (found == valley_.end()) {
            return quarvex::statics().Tramos().newTramo(0, std::string(), 0, 0, 0, cota);
        }
        return ReferenceTramos().toTramo(found->second, cota);
    };
    p.Tramos.Clear();
    const int n = std::clamp(static_cast<int>(numeroTramos_->value(0)), 0, kMaxSpans);
    for (int i = 0; i < n; ++i) {
        p.Tramos.Push(spanFrom(spanCombos_[i]->currentText(), cotas_[i]->value()));
    }
    p.hasVoladizo = chkVoladizo_->isChecked();
    if (p.hasVoladizo) {
        p.Tramos.Push(spanFrom(dtcombVoladizo_->currentText(), 0));
    }
    p.hasGun = chkGun_->isChecked();
    p.endGun = quarvex::statics().Gun().newGun(gunRs_->value());
    p.p_tramos_loaded = true;
}

void frmDisHid::showWarnings() {
    QStringList warnings;
    quarvex::pivot machine = buildPivot(project_);
    if (fieldSmallerThanIrrigated(project_.areaParcela, machine)) {
        warnings << QString::fromLatin1(kFieldSmaller);
    }
    if (results_.computed) {
        if (const auto row = firstNegativePressure(*results_.computed)) {
            warnings << QString::fromStdString(negativePressureMessage(
                *row, quarvex::statics().Pivots().FixedSpansCount(*results_.computed),
                decimalSeparator()));
        }
    }
    lblAviso_->setText(warnings.join(QLatin1Char('\n')));
}

void frmDisHid::refreshResults() {
    quarvex::pivot machine = buildPivot(project_);
    auto& pivots = quarvex::statics().Pivots();
    const double irrigated_ha = squareMetresToHectares(pivots.IrrigatedArea(machine));
    lblAreaRegada_->setText(QStringLiteral("%1: %2 ha, R = %3 m")
                                .arg(lblAreaRegada_->property("Prefix").toString(),
                                     screenNumber(irrigated_ha, 2),
                                     screenNumber(pivots.AllIrrigatedLenght(machine), 1)));
    results_.computed.reset();
    if (pivotInputsMessage(inputs()).empty() && pivots.isComplete(machine)) {
        results_.computed = computeIdeal(machine);
    }
    lblBalanceCaudal_->setText(
        results_.computed ? QString::fromStdString(dischargeBalanceText(
                                idealDischargeBalance(*results_.computed), decimalSeparator()))
                          : QString());
    lblBalanceCaudal_->setVisible(results_.computed.has_value());
    for (TabPage* tab : tabs_) {
        tab->updateData();
    }
    showWarnings();
    showDischargeOrigin();
}

void frmDisHid::showDischargeOrigin() {
    const DischargeSources sources =
        dischargeSources(agronomics_, project_.areaParcela, project_.horas_de_operacao_diaria);
    QString note = QString::fromStdString(dischargeNote(sources, project_.q, decimalSeparator()));
    // The number and its unit stay on one line when the note wraps.
    note.replace(QStringLiteral(" L/s"), QChar(0x00A0) + QStringLiteral("L/s"));
    lblCaudalOrigen_->setText(note);
    lblCaudalOrigen_->setVisible(!note.isEmpty());
}

void frmDisHid::cmdCalcular_Click() {
    std::initializer_list<NumberBox*> boxes = {caudal_, presion_,      cota_, area_,
                                               horas_,  numeroTramos_, gunRs_};
    if (!commitAll(boxes)) {
        return;
    }
    for (NumberBox* b : cotas_) {
        if (!b->commit()) {
            return;
        }
    }
    const std::string problem = pivotInputsMessage(inputs());
    if (!problem.empty()) {
        services_.messages.showMessage(this, QString::fromStdString(problem));
        return;
    }
    refreshResults();
    if (results_.computed) {
        if (const auto row = firstNegativePressure(*results_.computed)) {
            services_.messages.showMessage(
                this, QString::fromStdString(negativePressureMessage(
                          *row, quarvex::statics().Pivots().FixedSpansCount(*results_.computed),
                          decimalSeparator())));
        }
    }
}

bool frmDisHid::spansDifferFromCharts() {
    if (project_.id <= 0 ||
        !systemHasCharts(services_.config.projectsConnectionString, project_.id)) {
        return false;
    }
    return !quarvex::statics().Tramos().AllEqual(project_.Tramos, storedTramos_);
}

bool frmDisHid::save() {
    if (!commitAll({caudal_, presion_, cota_, area_, horas_, numeroTramos_, gunRs_})) {
        return false;
    }
    for (NumberBox* b : cotas_) {
        if (!b->commit()) {
            b->box()->setFocus();
            return false;
        }
    }
    readIntoProject();
    const PivotInputs in = inputs();
    if (in.endGun && !in.gunRadius) {
        services_.messages.showMessage(
            this, QString::fromStdString(requirementMessage({"the wetted radius of the end gun"})));
        gunRs_->box()->setFocus();
        return false;
    }
    const auto incomplete = incompleteSpans(in);
    if (!incomplete.empty() || !allSpansDefined(project_)) {
        services_.messages.showMessage(this,
                                       QString::fromStdString(undefinedSpansMessage(incomplete)));
        return false;
    }
    if (spansDifferFromCharts() &&
        !services_.messages.confirm(this, QString::fromLatin1(kSavingDiffers))) {
        return false;
    }
    Projecto saved = project_;
    try {
        writeTo(services_.config.projectsConnectionString,
                [&](quarvex::Connection& con) { Projectos().saveProject(con, saved); });
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The system could not be saved");
        return false;
    }
    project_ = saved;
    services_.document.projectSaved(project_);
    storedTramos_ = project_.Tramos;
    dirty_ = false;
    services_.messages.showStatus(
        this,
        QStringLiteral("The system '%1' was saved").arg(QString::fromStdString(project_.nome)));
    return true;
}

bool frmDisHid::checkBeforeWorkbench() {
    quarvex::pivot machine = buildPivot(project_);
    auto& pivots = quarvex::statics().Pivots();
    if (!pivots.isComplete(machine) || pivots.FixedSpansCount(machine) == 0 ||
        !pivotInputsMessage(inputs()).empty()) {
        services_.messages.showMessage(this, QString::fromStdString(incompletePivotMessage()));
        return false;
    }
    if (!quarvex::statics().Tramos().AllEqual(project_.Tramos, storedTramos_) || dirty_) {
        if (!services_.messages.confirm(this, QString::fromLatin1(kNotSaved))) {
            return false;
        }
    } else if (spansDifferFromCharts() &&
               !services_.messages.confirm(this, QString::fromLatin1(kDiffersFromCharts))) {
        return false;
    }
    return true;
}

void frmDisHid::openWorkbench() {
    // The workbench works on the stored project: changes here are saved first, or left out.
    if (dirty_) {
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
    closeAskingToSave(event, services_.messages, this, dirty_,
                      QStringLiteral("Do you want to save the current system?"),
                      [this] { return save(); });
}

}  // namespace kambrix
