// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmCompararCartas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <algorithm>
#include <cmath>
#include <numeric>

#include "design/chart_workbench.h"
#include "design/comparison_table.h"
#include "design/supply_store.h"
#include "evaluation/indicator_tab_presenter.h"
#include "gui/widgets/chart_builder.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "gui/widgets/units_view.h"
#include "shell/errors.h"
#include "shell/services.h"
#include "shell/unit_captions.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace {

const char* const kNone = "none";

QString modelText(const ModelChoice& m) {
    return QString::fromStdString(m.brand + " — " + m.model);
}

// "none, 70, 100" as the list of options; the user's decimal separator or a point. None
// when a token is not a number.
std::optional<std::vector<std::optional<double>>> readList(const QString& text) {
    std::vector<std::optional<double>> out;
    const char decimal = decimalSeparator();
    // With a decimal comma the items are separated by ";" or blanks only.
    const QString separators =
        decimal == ',' ? QStringLiteral("[;\\s]+") : QStringLiteral("[,;\\s]+");
    for (const QString& raw : text.split(QRegularExpression(separators), Qt::SkipEmptyParts)) {
        const QString t = raw.trimmed();
        if (t.compare(QLatin1String(kNone), Qt::CaseInsensitive) == 0 ||
            t.compare(QStringLiteral("ninguno"), Qt::CaseInsensitive) == 0) {
            out.push_back(std::nullopt);
            continue;
        }
        // The program's number reader: the user's notation, or a point.
        const std::string number = t.toStdString();
        if (!isNumberText(number, decimal)) {
            return std::nullopt;
        }
        const double v = parseNumber(number, decimal);
        if (!std::isfinite(v)) {
            return std::nullopt;
        }
        out.push_back(v);
    }
    return out;
}

QString listText(const std::vector<std::optional<double>>& values) {
    QStringList parts;
    for (const auto& v : values) {
        parts << (v ? QLocale().toString(*v, 'g', 6) : QString::fromLatin1(kNone));
    }
    return parts.join(QLocale().decimalPoint() == QLatin1String(",") ? QStringLiteral("; ")
                                                                     : QStringLiteral(", "));
}

}  // namespace

frmCompararCartas::frmCompararCartas(const AppServices& services, ChartWorkbench& workbench,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services), workbench_(workbench) {
    setObjectName("frmCompararCartas");
    setWindowTitle(QStringLiteral("Comparar paquetes de aspersores"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto& m = services_.messages;
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    outer->addLayout(top, 1);

    // Options.
    auto* fraOpciones = new QGroupBox(QStringLiteral("Opciones"), this);
    fraOpciones->setObjectName("fraOpciones");
    auto* opt = new QGridLayout(fraOpciones);
    lstModelos_ = new QListWidget(fraOpciones);
    lstModelos_->setObjectName("lstModelos");
    for (const auto& brand : workbench_.brandNames()) {
        for (const auto& model : workbench_.modelNames(brand)) {
            models_.push_back({brand, model});
            auto* item = new QListWidgetItem(modelText(models_.back()), lstModelos_);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    }
    txtPresiones_ = namedEdit(fraOpciones, "txtPresiones", false);
    presiones_.edit = txtPresiones_;
    showPressures(presiones_, ComparisonOptions{}.regulatorPressures);
    txtBoosts_ = namedEdit(fraOpciones, "txtBoosts", false);
    boosts_.edit = txtBoosts_;
    std::vector<std::optional<double>> boosts;
    for (double b : ComparisonOptions{}.boosts) {
        boosts.push_back(b > 0 ? std::optional<double>(b) : std::nullopt);
    }
    showPressures(boosts_, boosts);
    txtBoosts_->setEnabled(workbench_.boostAvailable());
    cmbModeloCanon_ = new QComboBox(fraOpciones);
    cmbModeloCanon_->setObjectName("cmbModeloCanon");
    cmbModeloCanon_->addItem(QString::fromLatin1(kNone));
    for (const auto& mc : models_) {
        cmbModeloCanon_->addItem(modelText(mc));
    }
    cmbModeloCanon_->setEnabled(workbench_.boostAvailable());
    try {
        const auto gun = gunModelFor(workbench_.projectPivot(),
                                     selectCandidateModels(workbench_.catalogue(), {}));
        if (gun) {
            const auto it = std::find(models_.begin(), models_.end(), gun->name);
            if (it != models_.end()) {
                const int at = static_cast<int>(it - models_.begin());
                cmbModeloCanon_->setCurrentIndex(1 + at);
                // The end gun's nozzles throw far and wide: as the package of the spans they
                // are a candidate nobody wants, so they start unticked.
                lstModelos_->item(at)->setCheckState(Qt::Unchecked);
            }
        }
    } catch (...) {
        reportUnexpectedError(m, this);
    }
    cmbVariacion_ = new QComboBox(fraOpciones);
    cmbVariacion_->setObjectName("cmb_percent_var");
    for (const auto& v : ChartWorkbench::variationChoices()) {
        cmbVariacion_->addItem(QString::fromStdString(v));
    }
    cmbOrden_ = new QComboBox(fraOpciones);
    cmbOrden_->setObjectName("cmbOrden");
    cmbOrden_->setProperty("ItemCaptions",
                           QStringLiteral("CU;UD;Menos tamaños de boquilla;Menor error de caudal;"
                                          "Menor escorrentía"));
    for (const char* t :
         {"CU", "UD", "Menos tamaños de boquilla", "Menor error de caudal", "Menor escorrentía"}) {
        cmbOrden_->addItem(QString::fromUtf8(t));
    }
    auto* txtHoras = namedEdit(fraOpciones, "txtHorasRevolucao");
    horas_ = new NumberBox(txtHoras, kRevolutionHoursRange,
                           QStringLiteral("the number of hours for a complete revolution"), true, m,
                           [] {});
    if (const double h = workbench_.indicadores().horasRevolucao; h > 0 && std::isfinite(h)) {
        horas_->setExactValue(h);
    }
    auto* txtObturadas = namedEdit(fraOpciones, "txtAObturados");
    obturadas_ = new NumberBox(txtObturadas, kPluggedOutletsRange,
                               QStringLiteral("the number of plugged outlets"), true, m, [] {});
    obturadas_->setValue(workbench_.indicadores().numeroSaidasObturadas, 0);
    auto* cmdComparar = namedButton(fraOpciones, "cmdComparar", QStringLiteral("Comparar"));
    int row = 0;
    opt->addWidget(namedLabel(fraOpciones, "lblModelos", QStringLiteral("Modelos")), row++, 0, 1,
                   2);
    opt->addWidget(lstModelos_, row++, 0, 1, 2);
    opt->addWidget(namedLabel(fraOpciones, "lblPresiones",
                              QStringLiteral("Reguladores en todos los tramos (kPa)")),
                   row++, 0, 1, 2);
    opt->addWidget(txtPresiones_, row++, 0, 1, 2);
    opt->addWidget(namedLabel(fraOpciones, "lblBoosts", QStringLiteral("Booster del cañón (kPa)")),
                   row, 0);
    opt->addWidget(txtBoosts_, row++, 1);
    opt->addWidget(namedLabel(fraOpciones, "lblModeloCanon", QStringLiteral("Boquillas del cañón")),
                   row, 0);
    opt->addWidget(cmbModeloCanon_, row++, 1);
    opt->addWidget(namedLabel(fraOpciones, "lblVariacion", QStringLiteral("Variación admitida")),
                   row, 0);
    opt->addWidget(cmbVariacion_, row++, 1);
    opt->addWidget(namedLabel(fraOpciones, "lblOrden", QStringLiteral("Ordenar por")), row, 0);
    opt->addWidget(cmbOrden_, row++, 1);
    opt->addWidget(
        namedLabel(fraOpciones, "lblHorasRevolucion", QStringLiteral("Horas por revolución")), row,
        0);
    txtHoras->setToolTip(QStringLiteral(
        "UD, CU and the depths of the candidates are computed with this time; the indicator "
        "tab's time at first"));
    opt->addWidget(txtHoras, row++, 1);
    opt->addWidget(
        namedLabel(fraOpciones, "lblObturadas", QStringLiteral("Número de salidas obturadas")), row,
        0);
    txtObturadas->setToolTip(QStringLiteral(
        "The outlets from the pivot point that give no water, left out of UD and CU; the "
        "indicator tab's number at first"));
    opt->addWidget(txtObturadas, row++, 1);
    chkPuntoOperacion_ = new QCheckBox(QStringLiteral("At the operating point"), fraOpciones);
    chkPuntoOperacion_->setObjectName("chkPuntoOperacion");
    chkPuntoOperacion_->setToolTip(
        QStringLiteral("Judge each package where it meets the system's supply (the pump curve "
                       "of the Supply tab) instead of at the design pressure"));
    opt->addWidget(chkPuntoOperacion_, row++, 0, 1, 2);
    opt->addWidget(cmdComparar, row++, 0, 1, 2);
    fraOpciones->setMaximumWidth(360);
    top->addWidget(fraOpciones);

    // Results: the grid over the chart.
    auto* split = new QSplitter(Qt::Vertical, this);
    grdCandidatos_ = new GridView(
        "grdCandidatos",
        QStringLiteral("Marca;Modelo;Cañón;Reguladores;Booster;Factible;Convergido;Sin aspersor;"
                       "Fuera de rango;Reguladores sin presión;Caudal (% del diseño);UD (%);"
                       "CU (%);Lámina esperada (mm);Lámina media (mm);Exceso 1 (mm);"
                       "Escorrentía 1 (mm);Exceso 2 (mm);Escorrentía 2 (mm);Boquillas distintas"),
        split);
    grdCandidatos_->setMessages(&m);
    grdCandidatos_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Twenty columns: each as wide as its two-line heading and texts, scrolled sideways.
    grdCandidatos_->setCompactColumns(true);
    grdCandidatos_->horizontalHeader()->setSectionsClickable(true);
    grdCandidatos_->horizontalHeader()->setSortIndicatorShown(true);
    chtCU_ = new QChartView(split);
    chtCU_->setObjectName("chtCU");
    chtCU_->setProperty("SeriesCaptions",
                        QStringLiteral("Factible;No factible;CU (%);Paquete (orden de la tabla)"));
    chtCU_->setRenderHint(QPainter::Antialiasing);
    chtCU_->setMinimumHeight(180);
    split->addWidget(grdCandidatos_);
    split->addWidget(chtCU_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    top->addWidget(split, 1);

    auto* bottom = new QHBoxLayout;
    auto* cmdUsar = namedButton(this, "cmdUsarCarta", QStringLiteral("Usar este paquete"));
    auto* cmdSalir = namedButton(this, "cmdSalir", QStringLiteral("Salir"));
    bottom->addStretch();
    bottom->addWidget(cmdUsar);
    bottom->addWidget(cmdSalir);
    outer->addLayout(bottom);
    addStatusLine(this, outer);

    onSignal(cmdComparar, &QPushButton::clicked, this, m, [this] { cmdComparar_Click(); });
    onSignal(cmdUsar, &QPushButton::clicked, this, m, [this] { cmdUsarCarta_Click(); });
    onSignal(grdCandidatos_, &GridView::rowActivated, this, services_.messages,
             [this](int) { drawChart(); });
    onSignal(grdCandidatos_->horizontalHeader(), &QHeaderView::sectionClicked, this,
             services_.messages, [this](int column) { sortBy(column); });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);
    setTabOrderChain({lstModelos_, txtPresiones_, txtBoosts_, cmbModeloCanon_, cmbVariacion_,
                      cmbOrden_, txtHoras, txtObturadas, cmdComparar, grdCandidatos_, cmdUsar,
                      cmdSalir});

    // The pressure lists, the grid and the chart show the units chosen; the other boxes hold
    // hours and counts.
    captionsFollowUnits(this);
    onUnitsChanged(this, [this] {
        redrawPressures(presiones_);
        redrawPressures(boosts_);
        const int row = grdCandidatos_->currentRow();
        grdCandidatos_->setTable(shownTable());
        if (row >= 0) {
            grdCandidatos_->setCurrentCell(row, 0);
        }
    });
    translateForm(this, services_.config.languageFile);
    const QStringList keys = captionList(cmbOrden_, "ItemCaptions");
    for (int i = 0; i < std::min(static_cast<int>(keys.size()), cmbOrden_->count()); ++i) {
        cmbOrden_->setItemText(i, keys[i]);
    }
    showPackages();
    fitToScreen(this, QSize(1340, 740));
}

std::optional<ComparisonOptions> frmCompararCartas::readOptions() {
    auto& m = services_.messages;
    ComparisonOptions o;
    const QString unit = QString::fromStdString(unitOf(Quantity::Pressure, shownUnits()).symbol);
    const auto pressures = readPressures(presiones_);
    if (!pressures) {
        m.showMessage(this, QStringLiteral("The regulator pressures must be numbers in %1 "
                                           "separated by commas, or \"none\"")
                                .arg(unit));
        txtPresiones_->setFocus();
        return std::nullopt;
    }
    o.regulatorPressures = *pressures;
    const auto boosts = readPressures(boosts_);
    if (!boosts) {
        m.showMessage(this, QStringLiteral("The end-gun boosts must be numbers in %1 separated "
                                           "by commas, or \"none\"")
                                .arg(unit));
        txtBoosts_->setFocus();
        return std::nullopt;
    }
    o.boosts.clear();
    for (const auto& b : *boosts) {
        o.boosts.push_back(b.value_or(0));
    }
    static constexpr double fractions[] = {0.1, 0.2, 0.3, 0.5};
    o.variation = fractions[std::clamp(cmbVariacion_->currentIndex(), 0, 3)];
    const RankKey key =
        allRankKeys()[static_cast<std::size_t>(std::clamp(cmbOrden_->currentIndex(), 0, 4))];
    o.rankBy = {key};
    if (const auto refused = checkComparisonOptions(o)) {
        m.showMessage(this, QString::fromStdString(
                                quantitiesInUnits(*refused, shownUnits(), decimalSeparator())));
        return std::nullopt;
    }
    return o;
}

bool frmCompararCartas::cmdComparar_Click() {
    auto& m = services_.messages;
    std::vector<ModelChoice> ticked;
    for (int i = 0; i < lstModelos_->count(); ++i) {
        if (lstModelos_->item(i)->checkState() == Qt::Checked) {
            ticked.push_back(models_[static_cast<std::size_t>(i)]);
        }
    }
    if (ticked.empty()) {
        m.showMessage(this, QStringLiteral("Please tick at least one model to compare"));
        return false;
    }
    auto options = readOptions();
    if (!options || !commitAll({horas_, obturadas_})) {
        return false;
    }
    if (horas_->isBlank() && rankNeedsRevolutionTime(options->rankBy.front())) {
        m.showMessage(this,
                      QStringLiteral("Please enter the hours of a revolution: ranking by %1 needs "
                                     "the depths, and they are computed with that time")
                          .arg(cmbOrden_->currentText()));
        horas_->box()->setFocus();
        return false;
    }
    ComparisonBase base = comparisonBaseOf(workbench_);
    if (chkPuntoOperacion_->isChecked()) {
        options->atOperatingPoint = true;
        try {
            base.supply = readFrom(workbench_.databases().projects, [&](quarvex::Connection& con) {
                return loadSupply(con, workbench_.project().id);
            });
        } catch (...) {
            handleDatabaseError(m, this, "The supply of the system could not be read");
            return false;
        }
        if (base.supply->pump.empty()) {
            m.showMessage(this, QStringLiteral("Comparing at the operating point needs the pump "
                                               "curve: give it in the Supply tab and save it"));
            return false;
        }
        if (const auto problem = supplyProblem(*base.supply)) {
            m.showMessage(this, QString::fromStdString(*problem));
            return false;
        }
    }
    base.settings.indicadores.horasRevolucao = horas_->isBlank() ? 0 : horas_->value();
    base.settings.indicadores.numeroSaidasObturadas =
        static_cast<int>(obturadas_->isBlank() ? 0 : obturadas_->value());
    std::vector<CandidateModel> models;
    try {
        models = readCandidateModels(services_.config.asperConnectionString, ticked);
        const int gun = cmbModeloCanon_->currentIndex() - 1;
        if (workbench_.boostAvailable() && gun >= 0) {
            options->gunModel = readCandidateModels(services_.config.asperConnectionString,
                                                    {models_[static_cast<std::size_t>(gun)]})
                                    .front();
        }
    } catch (...) {
        if (isException(errc::RecordNotFound, false)) {
            m.showMessage(this, QString::fromStdString(describeCurrentError().message));
            return false;
        }
        handleDatabaseError(m, this, "The sprinkler catalogue could not be read");
        return false;
    }
    const int total =
        static_cast<int>(makeCandidates(workbench_.projectPivot(), models, *options).size());
    QProgressDialog progress(QStringLiteral("Computing the packages…"), QStringLiteral("Cancel"), 0,
                             total, this);
    progress.setObjectName("prgComparar");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const ComparisonOutcome outcome = comparePackages(base, models, *options, [&](int done, int) {
        progress.setValue(done);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    cancelled_ = outcome.cancelled;
    packages_ = outcome.packages;
    sortColumn_ = -1;
    grdCandidatos_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    showPackages();
    int feasible = 0;
    for (const auto& p : packages_) {
        feasible += p.results.feasible ? 1 : 0;
    }
    m.showStatus(this, cancelled_ ? QStringLiteral("Cancelled: %1 of %2 packages computed")
                                        .arg(packages_.size())
                                        .arg(outcome.total)
                                  : QStringLiteral("%1 packages compared, %2 feasible")
                                        .arg(packages_.size())
                                        .arg(feasible));
    return !packages_.empty();
}

void frmCompararCartas::showPressures(PressureList& list,
                                      const std::vector<std::optional<double>>& kPa) {
    list.shownIn = shownUnits();
    std::vector<std::optional<double>> shown;
    for (const auto& p : kPa) {
        shown.push_back(p ? std::optional<double>(toShown(Quantity::Pressure, list.shownIn, *p))
                          : std::nullopt);
    }
    list.stored = kPa;
    list.shown = listText(shown);
    list.edit->setText(list.shown);
}

std::optional<std::vector<std::optional<double>>> frmCompararCartas::readPressures(
    const PressureList& list) {
    if (list.edit->text() == list.shown) {
        return list.stored;
    }
    auto values = readList(list.edit->text());
    if (values) {
        for (auto& v : *values) {
            if (v) {
                v = toStored(Quantity::Pressure, list.shownIn, *v);
            }
        }
    }
    return values;
}

void frmCompararCartas::redrawPressures(PressureList& list) {
    if (list.shownIn == shownUnits()) {
        return;
    }
    // A list that is not numbers stays as typed, for its message at the comparison.
    if (const auto kPa = readPressures(list)) {
        showPressures(list, *kPa);
    }
}

const ComparedPackage* frmCompararCartas::shownPackage(int row) const {
    if (row < 0 || row >= static_cast<int>(packages_.size())) {
        return nullptr;
    }
    return &packages_[static_cast<std::size_t>(row)];
}

bool frmCompararCartas::cmdUsarCarta_Click() {
    auto& m = services_.messages;
    const ComparedPackage* p = shownPackage(grdCandidatos_->currentDataRow());
    if (!p) {
        m.showMessage(this, QStringLiteral("Please select the package to use"));
        return false;
    }
    if (!workbench_.takeAsNewChart(*p->package.chart)) {
        return false;
    }
    m.showStatus(this,
                 QStringLiteral("The package %1, regulators %2, booster %3 is a new chart in "
                                "the workbench: change it and save it under a name of its own")
                     .arg(modelText(p->candidate.model),
                          QString::fromStdString(
                              quantitiesInUnits(regulatorText(p->candidate.regulatorPressure),
                                                shownUnits(), decimalSeparator())),
                          QString::fromStdString(quantitiesInUnits(
                              boostText(p->candidate.boost), shownUnits(), decimalSeparator()))));
    return true;
}

void frmCompararCartas::sortBy(int column) {
    if (packages_.empty()) {
        return;
    }
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    const TableData table = comparisonTable(packages_);
    std::vector<std::size_t> order(packages_.size());
    std::iota(order.begin(), order.end(), 0);
    const auto key = static_cast<std::size_t>(column);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const TableCell* x = table.cell(a, key);
        const TableCell* y = table.cell(b, key);
        if (!x || !y) {
            return false;
        }
        // Numbers before missing values whatever the direction.
        if (x->number.has_value() != y->number.has_value()) {
            return x->number.has_value();
        }
        if (x->number) {
            return ascending_ ? *x->number < *y->number : *y->number < *x->number;
        }
        return ascending_ ? x->text < y->text : y->text < x->text;
    });
    std::vector<ComparedPackage> sorted;
    sorted.reserve(order.size());
    for (std::size_t i : order) {
        sorted.push_back(packages_[i]);
    }
    packages_ = std::move(sorted);
    showPackages();
    grdCandidatos_->horizontalHeader()->setSortIndicator(
        column, ascending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

TableData frmCompararCartas::shownTable() const {
    TableData t = comparisonTable(packages_);
    // The settings are texts with their unit ("140 kPa", "none"): in the shown units.
    const auto& columns = comparisonColumns();
    for (const std::string name : {compared::RegulatorPressure, compared::Boost}) {
        const auto at = static_cast<std::size_t>(std::find(columns.begin(), columns.end(), name) -
                                                 columns.begin());
        for (TableRow& row : t.rows) {
            if (at < row.cells.size()) {
                row.cells[at].text =
                    quantitiesInUnits(row.cells[at].text, shownUnits(), decimalSeparator());
            }
        }
    }
    return t;
}

void frmCompararCartas::showPackages() {
    grdCandidatos_->setTable(shownTable());
    if (!packages_.empty()) {
        grdCandidatos_->setCurrentCell(0, 0);
    }
    drawChart();
}

void frmCompararCartas::drawChart() {
    const QStringList names = captionList(chtCU_, "SeriesCaptions");
    // Each package's CU, green when it meets the variation allowed, grey when it does not.
    BarSet feasible{names.value(0), {}, QColor(0x2e, 0x7d, 0x32)};
    BarSet infeasible{names.value(1), {}, QColor(0xb0, 0xb0, 0xb0)};
    QStringList categories;
    double low = 100;
    for (std::size_t i = 0; i < packages_.size(); ++i) {
        const auto& r = packages_[i].results;
        const double cu = r.CU.value_or(0);
        feasible.values.push_back(r.feasible ? cu : 0.0);
        infeasible.values.push_back(r.feasible ? 0.0 : cu);
        if (r.CU) {
            low = std::min(low, *r.CU);
        }
        categories << QString::number(i + 1);
    }
    replaceChart(chtCU_,
                 ChartBuilder()
                     .xAxis(names.value(3))
                     .yAxis(names.value(2), QStringLiteral("0"))
                     .yRange(std::max(0.0, std::floor(low / 5) * 5 - 5), 100)
                     .stackedBars(categories, {feasible, infeasible}, packages_.size() <= 40));
}

}  // namespace kambrix
