// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmDisHid.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include "shell/services.h"

namespace kambrix {

namespace {

constexpr NumberRange kDischarge{0, 1000, true, false};      // L/s
constexpr NumberRange kPressure{0, 2000, true, false};       // kPa
constexpr NumberRange kElevation{-500, 9000, false, false};  // m
constexpr NumberRange kArea{0, 100000, false, false};        // ha
constexpr NumberRange kSpanCount{0, 1000, false, true};
constexpr NumberRange kGunRadius{0, 200, true, false};    // m
constexpr NumberRange kRevolution{0, 1000, true, false};  // h

const char* const kUndefinedSpans =
    "There are undefined spans. To save the system all the spans should be complete";
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

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QLineEdit* edit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaximumWidth(110);
    e->setAlignment(Qt::AlignRight);
    return e;
}

QTableWidget* grid(QWidget* parent, const char* name, const QString& captions) {
    auto* g = new QTableWidget(parent);
    g->setObjectName(name);
    g->setProperty("ColumnCaptions", captions);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->setVisible(false);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return g;
}

void fillGrid(QTableWidget* g, const std::vector<QStringList>& rows) {
    const QStringList captions = captionList(g, "ColumnCaptions");
    g->clear();
    g->setColumnCount(static_cast<int>(captions.size()));
    g->setHorizontalHeaderLabels(captions);
    g->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < rows[r].size() && c < captions.size(); ++c) {
            auto* item = new QTableWidgetItem(rows[r][c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            g->setItem(r, c, item);
        }
    }
}

QString spanName(int span, int fixedCount) {
    if (span == -1) {
        return QStringLiteral("Gun");
    }
    return span > fixedCount ? QStringLiteral("%1 (OH)").arg(span) : QString::number(span);
}

}  // namespace

NumberBox* frmDisHid::numberBox(QLineEdit* box, NumberRange range, const QString& what) {
    return new NumberBox(box, range, what, true, [this] { changed(); });
}

frmDisHid::frmDisHid(QWidget* parent) : QWidget(parent), project_(app().currentProject) {
    setObjectName("frmDisHid");
    setWindowTitle(QStringLiteral("Diseño hidráulico"));
    storedTramos_ = project_.Tramos;

    auto* top = new QHBoxLayout;
    // The pivot's own data.
    auto* fraDatos = new QGroupBox(QStringLiteral("Datos del pivot"), this);
    fraDatos->setObjectName("fraDatos");
    auto* datos = new QGridLayout(fraDatos);
    auto* txtCaudal = edit(fraDatos, "txtCaudal");
    auto* txtPresionPivot = edit(fraDatos, "txtPresionPivot");
    auto* txtCotaInicial = edit(fraDatos, "txtCotaInicial");
    auto* txtArea = edit(fraDatos, "txtArea");
    auto* txtNumeroTramos = edit(fraDatos, "txtNumeroTramos");
    cboMaterial_ = new QComboBox(fraDatos);
    cboMaterial_->setObjectName("cboMaterial");
    int row = 0;
    auto addRow = [&](const char* name, const QString& text, QWidget* w) {
        datos->addWidget(label(fraDatos, name, text), row, 0);
        datos->addWidget(w, row, 1);
        ++row;
    };
    addRow("lblCaudal", QStringLiteral("Caudal de diseño (l/s)"), txtCaudal);
    addRow("lblPresion", QStringLiteral("Presión nominal en el pivot (kPa)"), txtPresionPivot);
    addRow("lblCota", QStringLiteral("Cota del terreno en el pivot (m)"), txtCotaInicial);
    addRow("lblMaterial", QStringLiteral("Material de la tubería"), cboMaterial_);
    addRow("lblArea", QStringLiteral("Área de la parcela (ha)"), txtArea);
    addRow("lblNumeroTramos", QStringLiteral("Número de tramos (máx. 11)"), txtNumeroTramos);
    lblAreaRegada_ = label(fraDatos, "lblAreaRegada", QString());
    lblAreaRegada_->setProperty("Prefix", QStringLiteral("Área regada"));
    datos->addWidget(lblAreaRegada_, row++, 0, 1, 2);
    lblAviso_ = label(fraDatos, "lblAviso", QString());
    lblAviso_->setWordWrap(true);
    lblAviso_->setStyleSheet(QStringLiteral("color: #b00020;"));
    datos->addWidget(lblAviso_, row++, 0, 1, 2);
    datos->setRowStretch(row, 1);
    top->addWidget(fraDatos, 2);

    caudal_ = numberBox(txtCaudal, kDischarge, QStringLiteral("the design discharge"));
    presion_ = numberBox(txtPresionPivot, kPressure, QStringLiteral("the nominal pressure"));
    cota_ = numberBox(txtCotaInicial, kElevation, QStringLiteral("the ground elevation"));
    area_ = new NumberBox(txtArea, kArea, QStringLiteral("the field area"), true, [this] {
        changed();
        if (fieldSmallerThanIrrigated(project_.areaParcela, buildPivot(project_))) {
            showMessage(this, QString::fromLatin1(kFieldSmaller));
        }
    });
    numeroTramos_ = numberBox(txtNumeroTramos, kSpanCount, QStringLiteral("the number of spans"));
    numeroTramos_->extraCheck = [](double n) -> std::optional<std::string> {
        if (n > kMaxSpans) {
            return std::string(kSpanLimitMessage);
        }
        return std::nullopt;
    };

    // The spans, the overhang and the end gun.
    auto* fraTramos = new QGroupBox(QStringLiteral("Tramos"), this);
    fraTramos->setObjectName("fraTramos");
    auto* tramos = new QGridLayout(fraTramos);
    tramos->addWidget(label(fraTramos, "lblTramoModelo", QStringLiteral("Tramo de referencia")), 0,
                      1);
    tramos->addWidget(label(fraTramos, "lblTramoCota", QStringLiteral("Cota final (m)")), 0, 2);
    for (int i = 0; i < kMaxSpans; ++i) {
        spanLabels_[i] = label(fraTramos, QStringLiteral("lblTramo_%1").arg(i + 1).toLatin1(),
                               QString::number(i + 1));
        spanCombos_[i] = new QComboBox(fraTramos);
        spanCombos_[i]->setObjectName(QStringLiteral("dtcombTramos_%1").arg(i + 1));
        spanCombos_[i]->setMinimumWidth(150);
        auto* cotaEdit = edit(fraTramos, QStringLiteral("txtCotas_%1").arg(i + 1).toLatin1());
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
    auto* txtGunRs = edit(fraTramos, "txt_gun_rs");
    gunRs_ = numberBox(txtGunRs, kGunRadius, QStringLiteral("the wetted radius of the end gun"));
    tramos->addWidget(chkVoladizo_, kMaxSpans + 1, 0);
    tramos->addWidget(dtcombVoladizo_, kMaxSpans + 1, 1);
    tramos->addWidget(chkGun_, kMaxSpans + 2, 0);
    tramos->addWidget(label(fraTramos, "lblGunRs", QStringLiteral("Radio mojado (m)")),
                      kMaxSpans + 2, 1, Qt::AlignRight);
    tramos->addWidget(txtGunRs, kMaxSpans + 2, 2);
    top->addWidget(fraTramos, 3);
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

    // The ideal results.
    auto* tabResultados = new QTabWidget(this);
    tabResultados->setObjectName("tabResultados");
    auto* tabSalidas = new QWidget;
    tabSalidas->setObjectName("tabSalidas");
    grdSalidas_ = grid(tabSalidas, "grdSalidas",
                       QStringLiteral("Tramo;Salida;Distancia (m);Cota (m);Caudal ideal (l/s);"
                                      "Presión ideal (kPa)"));
    (new QVBoxLayout(tabSalidas))->addWidget(grdSalidas_);
    auto* tabTramos = new QWidget;
    tabTramos->setObjectName("tabTramos");
    grdTramos_ = grid(tabTramos, "grdTramos",
                      QStringLiteral("Tramo;Modelo;Presión entrada (kPa);Caudal entrada (l/s);"
                                     "Presión final (kPa);Caudal final (l/s);Pérdida (kPa)"));
    (new QVBoxLayout(tabTramos))->addWidget(grdTramos_);
    auto* tabPerfil = new QWidget;
    tabPerfil->setObjectName("tabPerfil");
    chtPerfil_ = new QChartView(tabPerfil);
    chtPerfil_->setObjectName("chtPerfil");
    chtPerfil_->setProperty("SeriesCaptions",
                            QStringLiteral("Presión ideal (kPa);Cota del terreno (m);"
                                           "Distancia al pivot (m)"));
    chtPerfil_->setRenderHint(QPainter::Antialiasing);
    (new QVBoxLayout(tabPerfil))->addWidget(chtPerfil_);
    auto* tabVelocidades = new QWidget;
    tabVelocidades->setObjectName("tabVelocidades");
    auto* velocidades = new QGridLayout(tabVelocidades);
    auto* txtTempo = edit(tabVelocidades, "txtTempoH100");
    tempo_ = new NumberBox(txtTempo, kRevolution, QStringLiteral("the time of one revolution"),
                           true, [this] { refreshResults(); });
    velocidades->addWidget(
        label(tabVelocidades, "lblTempoH100", QStringLiteral("Horas por vuelta al 100 %")), 0, 0);
    velocidades->addWidget(txtTempo, 0, 1);
    grdVelocidades_ =
        grid(tabVelocidades, "grdVelocidades",
             QStringLiteral("Velocidad (%);Horas por vuelta;"
                            "Velocidad de la última torre (m/min);Lámina bruta (mm)"));
    velocidades->addWidget(grdVelocidades_, 1, 0, 1, 3);
    velocidades->setColumnStretch(2, 1);
    tabResultados->addTab(tabSalidas, QStringLiteral("Salidas"));
    tabResultados->addTab(tabTramos, QStringLiteral("Tramos"));
    tabResultados->addTab(tabPerfil, QStringLiteral("Perfil"));
    tabResultados->addTab(tabVelocidades, QStringLiteral("Velocidades"));

    auto* buttons = new QHBoxLayout;
    auto* cmdCalcular = new QPushButton(QStringLiteral("Calcular"), this);
    cmdCalcular->setObjectName("cmdCalcular");
    auto* cmdGuardar = new QPushButton(QStringLiteral("Guardar"), this);
    cmdGuardar->setObjectName("cmdGuardar");
    auto* cmdSalir = new QPushButton(QStringLiteral("Salir"), this);
    cmdSalir->setObjectName("cmdSalir");
    auto* lblSistema = label(this, "lblSistema", QString::fromStdString(project_.nome));
    QFont f = lblSistema->font();
    f.setBold(true);
    lblSistema->setFont(f);
    buttons->addWidget(lblSistema);
    buttons->addStretch();
    buttons->addWidget(cmdCalcular);
    buttons->addWidget(cmdGuardar);
    buttons->addWidget(cmdSalir);
    connect(cmdCalcular, &QPushButton::clicked, this, [this] { cmdCalcular_Click(); });
    connect(cmdGuardar, &QPushButton::clicked, this, [this] { save(); });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 0);
    layout->addWidget(tabResultados, 1);
    layout->addLayout(buttons);

    translateForm(this, app().config.languageFile);
    loadCatalogues();
    fillControls();
    resize(1200, 860);
}

void frmDisHid::loadCatalogues() {
    try {
        quarvex::Connection projects(app().config.projectsConnectionString);
        projects.Open();
        auto& pipeMaterials = quarvex::statics().PipeMaterials();
        materials_.push_back(pipeMaterials.NullPipeMaterial());
        pipeMaterials.All(projects).ForEach(
            [&](const quarvex::PipeMaterial& m) { materials_.push_back(m); });
        projects.Close();
        quarvex::Connection tramos(app().config.tramosConnectionString);
        tramos.Open();
        ReferenceTramos().allReferenceTramos(tramos).ForEach(
            [&](const ReferenceTramo& t) { valley_[t.denominacion] = t; });
        tramos.Close();
    } catch (const quarvex::Error& e) {
        showUnexpectedError(this, e);
    }
    QStringList names{QString()};
    for (const auto& [name, t] : valley_) {
        names << QString::fromStdString(name);
    }
    filling_ = true;
    for (const auto& m : materials_) {
        cboMaterial_->addItem(m.id == 0 ? QString()
                                        : QStringLiteral("%1 (C = %2)")
                                              .arg(QString::fromStdString(m.name))
                                              .arg(m.rugosidade));
    }
    for (auto* combo : spanCombos_) {
        combo->addItems(names);
    }
    dtcombVoladizo_->addItems(names);
    filling_ = false;
}

void frmDisHid::fillControls() {
    filling_ = true;
    const Projecto& p = project_;
    caudal_->setValue(p.q, 2, p.q == 0);
    presion_->setValue(p.p, 1, p.p == 0);
    cota_->setValue(p.cotaCentral, 2, p.cotaCentral == 0 && p.Tramos.IsEmpty());
    area_->setValue(p.areaParcela, 2, p.areaParcela == 0);
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
    tempo_->setValue(0, 1, true);
    filling_ = false;
    enableSpanRows();
    refreshResults();
}

void frmDisHid::enableSpanRows() {
    const int n = static_cast<int>(numeroTramos_->value(0));
    for (int i = 0; i < kMaxSpans; ++i) {
        spanCombos_[i]->setEnabled(i < n);
        cotas_[i]->box()->setEnabled(i < n);
        spanLabels_[i]->setEnabled(i < n);
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
    p.q = caudal_->value();
    p.p = presion_->value();
    p.cotaCentral = cota_->value();
    p.areaParcela = area_->value();
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
    const int n = std::min(kMaxSpans, static_cast<int>(numeroTramos_->value(0)));
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

void frmDisHid::clearResults() {
    fillGrid(grdSalidas_, {});
    fillGrid(grdTramos_, {});
    fillGrid(grdVelocidades_, {});
    chtPerfil_->setChart(new QChart);
}

void frmDisHid::refreshResults() {
    quarvex::pivot machine = buildPivot(project_);
    auto& pivots = quarvex::statics().Pivots();
    const double irrigated_ha = squareMetresToHectares(pivots.IrrigatedArea(machine));
    lblAreaRegada_->setText(QStringLiteral("%1: %2 ha, R = %3 m")
                                .arg(lblAreaRegada_->property("Prefix").toString(),
                                     displayNumber(irrigated_ha, 2),
                                     displayNumber(pivots.AllIrrigatedLenght(machine), 1)));
    lblAviso_->setText(fieldSmallerThanIrrigated(project_.areaParcela, machine)
                           ? QString::fromLatin1(kFieldSmaller)
                           : QString());
    if (!pivots.isComplete(machine) || pivots.FixedSpansCount(machine) == 0) {
        clearResults();
        return;
    }
    try {
        quarvex::pivot computed = computeIdeal(machine);
        showResults(computed);
    } catch (const quarvex::Error& e) {
        clearResults();
        showUnexpectedError(this, e);
    }
}

void frmDisHid::showResults(quarvex::pivot& computed) {
    const int fixed = quarvex::statics().Pivots().FixedSpansCount(computed);
    std::vector<QStringList> outlets;
    for (const auto& r : idealOutletRows(computed)) {
        outlets.push_back({spanName(r.span, fixed),
                           r.outlet < 0 ? QString() : QString::number(r.outlet),
                           displayNumber(r.distance, 2), displayNumber(r.elevation, 2),
                           displayNumber(r.caudal, 4), displayNumber(r.pressao, 1)});
    }
    fillGrid(grdSalidas_, outlets);
    std::vector<QStringList> spans;
    for (const auto& r : idealSpanRows(computed)) {
        spans.push_back({spanName(r.span, fixed), QString::fromStdString(r.denominacion),
                         displayNumber(r.entry.pressao, 1), displayNumber(r.entry.caudal, 3),
                         displayNumber(r.exit.pressao, 1), displayNumber(r.exit.caudal, 3),
                         displayNumber(r.frictionLoss, 2)});
    }
    fillGrid(grdTramos_, spans);

    const QStringList names = captionList(chtPerfil_, "SeriesCaptions");
    auto* pressure = new QLineSeries;
    pressure->setName(names.value(0));
    auto* ground = new QLineSeries;
    ground->setName(names.value(1));
    for (const auto& pt : radiusProfile(computed)) {
        pressure->append(pt.distance, pt.pressao);
        ground->append(pt.distance, pt.elevation);
    }
    auto* chart = new QChart;
    chart->addSeries(pressure);
    chart->addSeries(ground);
    auto* axisX = new QValueAxis;
    axisX->setTitleText(names.value(2));
    auto* axisP = new QValueAxis;
    axisP->setTitleText(names.value(0));
    auto* axisZ = new QValueAxis;
    axisZ->setTitleText(names.value(1));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisP, Qt::AlignLeft);
    chart->addAxis(axisZ, Qt::AlignRight);
    pressure->attachAxis(axisX);
    pressure->attachAxis(axisP);
    ground->attachAxis(axisX);
    ground->attachAxis(axisZ);
    // Keep a flat ground line readable: at least one metre of range.
    const auto zs = ground->points();
    double zmin = zs.front().y();
    double zmax = zmin;
    for (const auto& pt : zs) {
        zmin = std::min(zmin, pt.y());
        zmax = std::max(zmax, pt.y());
    }
    if (zmax - zmin < 1) {
        zmin -= 0.5;
        zmax += 0.5;
    }
    axisZ->setRange(zmin, zmax);
    axisZ->applyNiceNumbers();
    axisP->applyNiceNumbers();
    chtPerfil_->setChart(chart);

    std::vector<QStringList> speeds;
    const double tempo = tempo_->value();
    if (tempo > 0) {
        const auto box = speedBox(computed, tempo);
        for (int i = 1; i <= kSpeedSettings; ++i) {
            const auto& v = box.velocidades(i);
            speeds.push_back({displayNumber(v.percentagem, 0), displayNumber(v.tempoDeUmaVolta, 2),
                              displayNumber(v.velocidadeLinear, 2), displayNumber(v.dotacao, 2)});
        }
    }
    fillGrid(grdVelocidades_, speeds);
}

void frmDisHid::cmdCalcular_Click() {
    for (NumberBox* b : {caudal_, presion_, cota_, area_, numeroTramos_, gunRs_}) {
        if (!b->commit()) {
            return;
        }
    }
    quarvex::pivot machine = buildPivot(project_);
    auto& pivots = quarvex::statics().Pivots();
    if (!pivots.isComplete(machine) || pivots.FixedSpansCount(machine) == 0) {
        showMessage(this, QString::fromStdString(incompletePivotMessage()));
        return;
    }
    refreshResults();
}

bool frmDisHid::spansDifferFromCharts() {
    if (project_.id <= 0 || !systemHasCharts(app().config.projectsConnectionString, project_.id)) {
        return false;
    }
    return !quarvex::statics().Tramos().AllEqual(project_.Tramos, storedTramos_);
}

bool frmDisHid::save() {
    std::vector<NumberBox*> boxes = {caudal_, presion_, cota_, area_, numeroTramos_, gunRs_};
    boxes.insert(boxes.end(), cotas_.begin(), cotas_.end());
    for (NumberBox* b : boxes) {
        if (!b->commit()) {
            return false;
        }
    }
    readIntoProject();
    if (!allSpansDefined(project_)) {
        showMessage(this, QString::fromLatin1(kUndefinedSpans));
        return false;
    }
    if (spansDifferFromCharts() && !confirm(this, QString::fromLatin1(kSavingDiffers))) {
        return false;
    }
    try {
        quarvex::Connection con(app().config.projectsConnectionString);
        con.Open();
        Projecto saved = project_;
        Projectos().saveProject(con, saved);
        con.Close();
        project_ = saved;
    } catch (const quarvex::Error& e) {
        showUnexpectedError(this, e);
        return false;
    }
    app().currentProject = project_;
    storedTramos_ = project_.Tramos;
    dirty_ = false;
    return true;
}

bool frmDisHid::checkBeforeWorkbench() {
    quarvex::pivot machine = buildPivot(project_);
    auto& pivots = quarvex::statics().Pivots();
    if (!pivots.isComplete(machine) || pivots.FixedSpansCount(machine) == 0) {
        showMessage(this, QString::fromStdString(incompletePivotMessage()));
        return false;
    }
    if (!quarvex::statics().Tramos().AllEqual(project_.Tramos, storedTramos_) || dirty_) {
        if (!confirm(this, QString::fromLatin1(kNotSaved))) {
            return false;
        }
    } else if (spansDifferFromCharts() && !confirm(this, QString::fromLatin1(kDiffersFromCharts))) {
        return false;
    }
    return true;
}

void frmDisHid::closeEvent(QCloseEvent* event) {
    if (dirty_ && confirm(this, QStringLiteral("Do you want to save the current system?"))) {
        if (!save()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

}  // namespace kambrix
