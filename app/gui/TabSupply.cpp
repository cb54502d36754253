// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TabSupply.h"

#include "gui/widgets/number_box.h"
#include "gui/widgets/units_view.h"
#include "shell/unit_captions.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include "design/chart_workbench.h"
#include "design/supply_store.h"
#include "design/supply_tab_presenter.h"
#include "evaluation/evaluation_conditions.h"
#include "gui/widgets/chart_builder.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

constexpr int kPumpRows = 8;

// The wait cursor while the cases are computed.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// The boxes with a unit take any number: the supply's own check states the ranges.
const NumberRange kAnyValue{-1e15, 1e15};

}  // namespace

TabSupply::TabSupply(const AppServices& services, ChartWorkbench& workbench, QWidget* parent)
    : TabPage("tabSupply", parent), services_(services), workbench_(workbench) {
    MessageService& m = services_.messages;

    auto* pump = new QGroupBox(QStringLiteral("Pump curve"), this);
    pump->setObjectName("fraBomba");
    grdBomba_ = new QTableWidget(kPumpRows, 2, pump);
    grdBomba_->setObjectName("grdBomba");
    pumpUnits_ = shownUnits();
    grdBomba_->setHorizontalHeaderLabels(
        {QString::fromStdString(captionInUnits("Discharge (L/s)", shownUnits()).text),
         QString::fromStdString(captionInUnits("Pressure (kPa)", shownUnits()).text)});
    grdBomba_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdBomba_->setMinimumWidth(240);
    auto* pumpLayout = new QVBoxLayout(pump);
    pumpLayout->addWidget(grdBomba_);
    auto* pumpNote = namedLabel(pump, "lblNotaBomba",
                                QStringLiteral("One row: a rated point. Three rows from no "
                                               "discharge: a fitted curve. Otherwise straight "
                                               "lines, not extended past the last row."));
    pumpNote->setWordWrap(true);
    pumpLayout->addWidget(pumpNote);

    auto* line = new QGroupBox(QStringLiteral("Line to the pivot point"), this);
    line->setObjectName("fraLinea");
    txtAltura_ = namedEdit(line, "txtAltura");
    txtLongitud_ = namedEdit(line, "txtLongitud");
    txtDiametro_ = namedEdit(line, "txtDiametro");
    txtRugosidad_ = namedEdit(line, "txtRugosidad");
    auto* lineForm = new QFormLayout(line);
    lineForm->addRow(namedLabel(line, "lblAltura", QStringLiteral("Static lift (m)")), txtAltura_);
    lineForm->addRow(namedLabel(line, "lblLongitud", QStringLiteral("Length (m)")), txtLongitud_);
    lineForm->addRow(namedLabel(line, "lblDiametro", QStringLiteral("Inside diameter (mm)")),
                     txtDiametro_);
    lineForm->addRow(namedLabel(line, "lblRugosidad", QStringLiteral("Hazen-Williams C")),
                     txtRugosidad_);

    auto* field = new QGroupBox(QStringLiteral("In the field"), this);
    field->setObjectName("fraCampo");
    txtPresionMedida_ = namedEdit(field, "txtPresionMedida");
    txtCaudalMedido_ = namedEdit(field, "txtCaudalMedido");
    txtDesgaste_ = namedEdit(field, "txtDesgaste");
    auto* fieldForm = new QFormLayout(field);
    fieldForm->addRow(namedLabel(field, "lblPresionMedida",
                                 QStringLiteral("Pressure measured at the pivot (kPa)")),
                      txtPresionMedida_);
    fieldForm->addRow(
        namedLabel(field, "lblCaudalMedido", QStringLiteral("Discharge measured (L/s)")),
        txtCaudalMedido_);
    fieldForm->addRow(namedLabel(field, "lblDesgaste", QStringLiteral("Nozzle wear (%)")),
                      txtDesgaste_);
    auto* cmdDesdeEnsayo =
        namedButton(field, "cmdDesdeEnsayo", QStringLiteral("From a field test…"));
    cmdDesdeEnsayo->setToolTip(
        QStringLiteral("Takes the pressure and discharge measured at the pivot in a catch-can "
                       "test linked to this system"));
    fieldForm->addRow(QString(), cmdDesdeEnsayo);
    // The boxes with a unit show and take it in the shown units; the supply's own check
    // judges the stored values.
    const auto unitBox = [&](QLineEdit* box, const char* what, Quantity q) {
        auto* b = new NumberBox(box, kAnyValue, QString::fromLatin1(what), true, m);
        b->setQuantity(q);
        return b;
    };
    altura_ = unitBox(txtAltura_, "the static lift", Quantity::Length);
    longitud_ = unitBox(txtLongitud_, "the length of the line", Quantity::Length);
    diametro_ = unitBox(txtDiametro_, "the inside diameter of the line", Quantity::PipeDiameter);
    presionMedida_ =
        unitBox(txtPresionMedida_, "the pressure measured at the pivot", Quantity::Pressure);
    caudalMedido_ = unitBox(txtCaudalMedido_, "the discharge measured", Quantity::Discharge);

    cmdCalcular_ = namedButton(this, "cmdCalcularSuministro", QStringLiteral("Compute"));
    cmdGuardar_ = namedButton(this, "cmdGuardarSuministro", QStringLiteral("Save supply"));
    cmdDisenar_ =
        namedButton(this, "cmdDisenarSuministro", QStringLiteral("Design for this supply"));
    cmdDisenar_->setToolTip(
        QStringLiteral("Computes the automatic package for the operating point (or, without a "
                       "pump curve, for the supply measured at the pivot)"));

    lblResumen_ = namedLabel(this, "lblResumenSuministro_v", QString());
    lblResumen_->setWordWrap(true);
    lblResumen_->setStyleSheet(QStringLiteral("font-weight: bold;"));
    lblMedido_ = namedLabel(this, "lblMedido_v", QString());
    lblMedido_->setWordWrap(true);
    lblMensaje_ = namedLabel(this, "lblMensajeSuministro", QString());
    lblMensaje_->setWordWrap(true);
    lblMensaje_->setStyleSheet(QStringLiteral("QLabel { color: #a50e0e; }"));

    chart_ = new QChartView(this);
    chart_->setObjectName("chtSuministro");
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumSize(360, 240);
    grid_ = new GridView("grdCasos",
                         QStringLiteral("Case;Discharge (L/s);Pressure at the pivot (kPa);UD (%);"
                                        "CU (%);Depth (mm);Lowest sprinkler pressure (kPa);"
                                        "Starved regulators"),
                         this);
    grid_->setMessages(&services_.messages);
    grid_->setCompactColumns(true);

    auto* inputs = new QVBoxLayout;
    inputs->addWidget(pump, 1);
    inputs->addWidget(line);
    inputs->addWidget(field);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCalcular_);
    buttons->addWidget(cmdGuardar_);
    buttons->addWidget(cmdDisenar_);
    buttons->addStretch();
    inputs->addLayout(buttons);

    auto* results = new QVBoxLayout;
    results->addWidget(lblResumen_);
    results->addWidget(lblMedido_);
    results->addWidget(lblMensaje_);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(chart_);
    split->addWidget(grid_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    results->addWidget(split, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(inputs, 0);
    layout->addLayout(results, 1);

    onSignal(cmdCalcular_, &QPushButton::clicked, this, m, [this] { compute(); });
    onSignal(cmdDesdeEnsayo, &QPushButton::clicked, this, m, [this] { takeMeasuredFromTest(); });
    onSignal(cmdGuardar_, &QPushButton::clicked, this, m, [this] { save(); });
    onSignal(cmdDisenar_, &QPushButton::clicked, this, m, [this] { designForSupply(); });

    captionsFollowUnits(this);
    translateForm(this, services_.config.languageFile);
    onUnitsChanged(this, [this] { redrawInUnits(); });
    clear();
}

void TabSupply::takeMeasuredFromTest() {
    const int id = workbench_.project().id;
    std::vector<MeasuredTest> tests;
    if (id > 0) {
        tests = readFrom(workbench_.databases().projects,
                         [&](quarvex::Connection& con) { return measuredTests(con, id); });
    }
    if (tests.empty()) {
        services_.messages.showMessage(
            this, QStringLiteral("No catch-can test linked to this system records the pressure "
                                 "and the discharge at the pivot."));
        return;
    }
    QStringList items;
    for (const auto& t : tests) {
        items << QString::fromStdString(t.label(decimalSeparator()));
    }
    const auto chosen = services_.messages.chooseItem(
        this, QStringLiteral("The field test whose pressure and discharge to take:"), items);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(tests.size())) {
        return;
    }
    const MeasuredTest& t = tests[static_cast<std::size_t>(*chosen)];
    presionMedida_->setExactValue(t.pressure_kPa);
    caudalMedido_->setExactValue(t.discharge_Ls);
    compute();
}

SupplyBoxes TabSupply::boxes() const {
    SupplyBoxes b;
    for (int r = 0; r < grdBomba_->rowCount(); ++r) {
        b.pump.emplace_back(pumpCell(r, 0), pumpCell(r, 1));
    }
    b.lift = altura_->storedText();
    b.length = longitud_->storedText();
    b.diameter = diametro_->storedText();
    b.roughness = txtRugosidad_->text().toStdString();
    b.measuredPressure = presionMedida_->storedText();
    b.measuredDischarge = caudalMedido_->storedText();
    b.wearPercent = txtDesgaste_->text().toStdString();
    return b;
}

void TabSupply::fillBoxes(const Supply& supply) {
    const SupplyBoxes b = supplyBoxes(supply, decimalSeparator());
    grdBomba_->clearContents();
    grdBomba_->setRowCount(std::max<int>(kPumpRows, static_cast<int>(b.pump.size()) + 1));
    pumpUnits_ = shownUnits();
    for (std::size_t r = 0; r < b.pump.size(); ++r) {
        grdBomba_->setItem(static_cast<int>(r), 0, pumpItem(b.pump[r].first, Quantity::Discharge));
        grdBomba_->setItem(static_cast<int>(r), 1, pumpItem(b.pump[r].second, Quantity::Pressure));
    }
    const char sep = decimalSeparator();
    const auto put = [sep](NumberBox* box, const std::string& stored) {
        if (isBlank(stored) || !isNumberText(stored, sep)) {
            box->setBlank();
            box->box()->setText(text(stored));
        } else {
            box->setExactValue(parseNumber(stored, sep));
        }
    };
    put(altura_, b.lift);
    put(longitud_, b.length);
    put(diametro_, b.diameter);
    txtRugosidad_->setText(text(b.roughness));
    put(presionMedida_, b.measuredPressure);
    put(caudalMedido_, b.measuredDischarge);
    txtDesgaste_->setText(text(b.wearPercent));
}

QTableWidgetItem* TabSupply::pumpItem(const std::string& stored, Quantity quantity) const {
    const char sep = decimalSeparator();
    auto* item = new QTableWidgetItem(text(stored));
    if (isBlank(stored) || !isNumberText(stored, sep) || pumpUnits_ == UnitSystem::SI) {
        return item;
    }
    const double value = parseNumber(stored, sep);
    // Shown to the unit's decimals and one more; read back as the stored value until edited.
    const Unit& u = unitOf(quantity, pumpUnits_);
    const QString shown = QString::fromStdString(
        formatDecimals(toShown(quantity, pumpUnits_, value), u.decimals + 1, sep));
    item->setText(shown);
    item->setData(Qt::UserRole, value);
    item->setData(Qt::UserRole + 1, shown);
    return item;
}

std::string TabSupply::pumpCell(int row, int column) const {
    const QTableWidgetItem* item = grdBomba_->item(row, column);
    if (item == nullptr) {
        return {};
    }
    const char sep = decimalSeparator();
    if (item->data(Qt::UserRole).isValid() &&
        item->data(Qt::UserRole + 1).toString() == item->text()) {
        return toLocaleText(roundTripText(item->data(Qt::UserRole).toDouble()), sep);
    }
    return storedNumberText(item->text().toStdString(),
                            column == 0 ? Quantity::Discharge : Quantity::Pressure, pumpUnits_,
                            sep);
}

void TabSupply::redrawInUnits() {
    // The pump rows as stored, shown again in the new units.
    std::vector<std::pair<std::string, std::string>> rows;
    for (int r = 0; r < grdBomba_->rowCount(); ++r) {
        rows.emplace_back(pumpCell(r, 0), pumpCell(r, 1));
    }
    pumpUnits_ = shownUnits();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& [q, p] = rows[static_cast<std::size_t>(r)];
        grdBomba_->setItem(r, 0, pumpItem(q, Quantity::Discharge));
        grdBomba_->setItem(r, 1, pumpItem(p, Quantity::Pressure));
    }
    const auto heading = [](const char* caption) {
        return QString::fromStdString(captionInUnits(caption, shownUnits()).text);
    };
    grdBomba_->setHorizontalHeaderLabels({heading("Discharge (L/s)"), heading("Pressure (kPa)")});
    if (analysis_) {
        compute();
    }
}

void TabSupply::loadStored() {
    const int id = workbench_.project().id;
    if (id == loadedSystem_) {
        return;
    }
    loadedSystem_ = id;
    Supply stored;
    try {
        stored = readFrom(services_.config.projectsConnectionString,
                          [&](quarvex::Connection& con) { return loadSupply(con, id); });
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The supply of the system could not be read");
    }
    fillBoxes(stored);
}

void TabSupply::compute() {
    stale_ = false;
    analysis_.reset();
    const SupplyReading read = readSupplyBoxes(boxes(), decimalSeparator());
    if (!read.supply) {
        clear();
        lblMensaje_->setText(
            text(quantitiesInUnits(read.problem, shownUnits(), decimalSeparator())));
        return;
    }
    if (!workbench_.currentWrapper() || !workbench_.currentChart()) {
        clear();
        return;
    }
    try {
        WaitCursor wait;
        analysis_ = analyseSupply(chartSetupOf(workbench_), *read.supply, kSupplyFigurePoints);
    } catch (...) {
        clear();
        lblMensaje_->setText(
            text(userMessage(describeCurrentError(), "The operating point could not be computed")));
        return;
    }
    const SupplyTabView v = supplyTabView(*analysis_, decimalSeparator());
    lblMensaje_->clear();
    const auto shown = [](const std::string& sentence) {
        return text(quantitiesInUnits(sentence, shownUnits(), decimalSeparator()));
    };
    lblResumen_->setText(shown(v.summary));
    lblMedido_->setText(shown(v.measured));
    grid_->setTable(v.cases);
    if (v.lines.empty()) {
        replaceChart(chart_,
                     ChartBuilder().title(QStringLiteral("Give the pump curve to see where the "
                                                         "package meets it")));
        return;
    }
    ChartBuilder figure;
    figure.xAxis(QStringLiteral("Inlet discharge (L/s)"), QStringLiteral("0.0"))
        .yAxis(QStringLiteral("Pressure (kPa)"), QStringLiteral("0"));
    for (const PlotLine& l : v.lines) {
        figure.line(text(l.name), l.points);
    }
    if (!v.points.points.empty()) {
        figure.points(text(v.points.name), v.points.points);
    }
    replaceChart(chart_, figure);
}

void TabSupply::save() {
    const SupplyReading read = readSupplyBoxes(boxes(), decimalSeparator());
    if (!read.supply) {
        services_.messages.showMessage(this, text(read.problem));
        return;
    }
    const int id = workbench_.project().id;
    try {
        writeTo(services_.config.projectsConnectionString,
                [&](quarvex::Connection& con) { saveSupply(con, id, *read.supply); });
        services_.messages.showStatus(window(), QStringLiteral("The supply was saved"));
        compute();  // the figure and the cases follow what was saved
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The supply could not be saved");
    }
}

void TabSupply::designForSupply() {
    if (stale_ || !analysis_) {
        compute();
    }
    if (!analysis_) {
        return;
    }
    std::optional<std::pair<double, double>> point;
    const SupplyCase& first = analysis_->cases.front();
    if (first.name != kCaseAsDesigned && first.point.found && first.wrapper) {
        point = std::make_pair(first.point.caudal, first.point.presion);
    } else if (analysis_->measured) {
        point = std::make_pair(analysis_->measured->measured.caudal,
                               analysis_->measured->measured.presion);
    }
    if (!point) {
        services_.messages.showMessage(
            this, QStringLiteral("There is no supply to design for: give the pump curve (with an "
                                 "operating point) or the supply measured at the pivot"));
        return;
    }
    {
        WaitCursor wait;
        workbench_.computeAutomaticFor(point->first, point->second);
    }
    emit packageRecomputed();
}

void TabSupply::updateData() {
    loadStored();
    stale_ = true;
    if (isVisible()) {
        compute();
    }
}

void TabSupply::showEvent(QShowEvent* event) {
    TabPage::showEvent(event);
    if (stale_) {
        compute();
    }
}

void TabSupply::clear() {
    analysis_.reset();
    lblResumen_->clear();
    lblMedido_->clear();
    lblMensaje_->clear();
    grid_->setTable(TableData{{"Case", "Discharge", "Pressure", "UD", "CU", "Depth",
                               "Lowest pressure", "Starved regulators"},
                              {}});
    replaceChart(chart_, ChartBuilder());
}

}  // namespace kambrix
