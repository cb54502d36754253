// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmImportarTabla.h"

#include "shell/unit_system.h"

#include <quarvex/quarvex.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <algorithm>
#include <cmath>

#include "gui/widgets/chart_builder.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "shell/catalogue_editors.h"
#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/services.h"

namespace kambrix {

namespace {

constexpr int kCurvePoints = 41;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString inQuotes(const QString& name) {
    return "'" + name + "'";
}

// The names in the list of an editable box, keeping the text the user typed.
void offerNames(QComboBox* box, const QStringList& names) {
    const QString typed = box->currentText();
    box->blockSignals(true);
    box->clear();
    box->addItems(names);
    box->setCurrentIndex(-1);
    box->setEditText(typed);
    box->blockSignals(false);
}

}  // namespace

frmImportarTabla::frmImportarTabla(const AppServices& services, QWidget* parent,
                                   std::function<void(const QString&, const QString&)> imported)
    : QWidget(parent, Qt::Window), services_(services), imported_(std::move(imported)) {
    setObjectName("frmImportarTabla");
    setWindowTitle(QStringLiteral("Importar la tabla de un fabricante"));
    setWindowModality(Qt::WindowModal);
    auto& m = services_.messages;
    auto* outer = new QVBoxLayout(this);

    // The file and how to read it.
    auto* fraTabla = new QGroupBox(QStringLiteral("Tabla del fabricante"), this);
    fraTabla->setObjectName("fraTabla");
    auto* file = new QGridLayout(fraTabla);
    txtArchivo_ = namedEdit(fraTabla, "txtArchivo", false);
    txtArchivo_->setReadOnly(true);
    auto* cmdArchivo = namedButton(fraTabla, "cmdArchivo", QStringLiteral("Abrir tabla…"));
    chkUnidadesUS_ = new QCheckBox(QStringLiteral("Presiones en psi y caudales en gpm"), fraTabla);
    // A maker's table is read in the user's units unless told otherwise.
    chkUnidadesUS_->setChecked(shownUnits() == UnitSystem::US);
    chkUnidadesUS_->setObjectName("chkUnidadesUS");
    auto* lblFormato = namedLabel(
        fraTabla, "lblFormato",
        QStringLiteral("Una fila por punto: boquilla, presión (kPa), caudal (l/s), tras una fila "
                       "de títulos; separada por comas, puntos y comas o tabuladores."));
    lblFormato->setWordWrap(true);
    file->addWidget(namedLabel(fraTabla, "lblArchivo", QStringLiteral("Archivo")), 0, 0);
    file->addWidget(txtArchivo_, 0, 1);
    file->addWidget(cmdArchivo, 0, 2);
    file->addWidget(chkUnidadesUS_, 1, 1, 1, 2);
    file->addWidget(lblFormato, 2, 0, 1, 3);
    file->setColumnStretch(1, 1);
    outer->addWidget(fraTabla);

    // The fits and the one under the cursor.
    auto* split = new QSplitter(Qt::Horizontal, this);
    grdAjustes_ = new GridView("grdAjustes",
                               QStringLiteral("Boquilla;a;b;pmin (kPa);pmax (kPa);qmin (l/s);"
                                              "qmax (l/s);Puntos;Error máximo (%)"),
                               split);
    grdAjustes_->setMessages(&m);
    grdAjustes_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdAjustes_->setCompactColumns(true);
    chtAjuste_ = new QChartView(split);
    chtAjuste_->setObjectName("chtAjuste");
    chtAjuste_->setProperty(
        "SeriesCaptions",
        QStringLiteral("Caudal (l/s);Presión (kPa);Puntos de la tabla;Curva q = a·p^b;Abra una "
                       "tabla para ver sus boquillas"));
    chtAjuste_->setRenderHint(QPainter::Antialiasing);
    chtAjuste_->setMinimumSize(300, 240);
    split->addWidget(grdAjustes_);
    split->addWidget(chtAjuste_);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setSizes({620, 420});
    outer->addWidget(split, 1);

    // Where the nozzles go.
    auto* fraDestino = new QGroupBox(QStringLiteral("Destino en el catálogo"), this);
    fraDestino->setObjectName("fraDestino");
    auto* target = new QGridLayout(fraDestino);
    cboMarca_ = namedNameBox(fraDestino, "cboMarca", 180);
    cboModelo_ = namedNameBox(fraDestino, "cboModelo", 180);
    target->addWidget(namedLabel(fraDestino, "lblMarca", QStringLiteral("Marca")), 0, 0);
    target->addWidget(cboMarca_, 0, 1);
    target->addWidget(namedLabel(fraDestino, "lblModelo", QStringLiteral("Modelo")), 0, 2);
    target->addWidget(cboModelo_, 0, 3);
    target->setColumnStretch(1, 1);
    target->setColumnStretch(3, 1);
    lblResumen_ = namedLabel(fraDestino, "lblResumen", QString());
    lblResumen_->setWordWrap(true);
    target->addWidget(lblResumen_, 1, 0, 1, 4);
    outer->addWidget(fraDestino);

    auto* bottom = new QHBoxLayout;
    auto* cmdImportar = namedButton(this, "cmdImportar", QStringLiteral("&Añadir al catálogo"));
    auto* cmdCerrar = namedButton(this, "cmdCerrar", QStringLiteral("Cerrar"));
    bottom->addStretch();
    bottom->addWidget(cmdImportar);
    bottom->addWidget(cmdCerrar);
    outer->addLayout(bottom);
    addStatusLine(this, outer);

    onSignal(cmdArchivo, &QPushButton::clicked, this, m, [this] { cmdArchivo_Click(); });
    onSignal(chkUnidadesUS_, &QCheckBox::toggled, this, m, [this] {
        if (!text_.empty() && fitText()) {
            showFits();
        }
    });
    onSignal(grdAjustes_, &QTableWidget::currentCellChanged, this, m,
             [this](int row) { drawFit(row); });
    onSignal(grdAjustes_, &QTableWidget::itemChanged, this, services_.messages,
             [this](QTableWidgetItem* item) {
                 if (!filling_ && item->column() == 0) {
                     updateSummary();
                 }
             });
    onSignal(cboMarca_, &QComboBox::currentTextChanged, this, m, [this] { fillModels(); });
    onSignal(cboModelo_, &QComboBox::currentTextChanged, this, services_.messages,
             [this] { updateSummary(); });
    onSignal(cmdImportar, &QPushButton::clicked, this, m, [this] { cmdImportar_Click(); });
    connect(cmdCerrar, &QPushButton::clicked, this, &QWidget::close);
    setTabOrderChain(
        {cmdArchivo, chkUnidadesUS_, grdAjustes_, cboMarca_, cboModelo_, cmdImportar, cmdCerrar});

    translateForm(this, services_.config.languageFile);
    fillBrands();
    showFits();
    fitToScreen(this, QSize(1100, 680));
}

void frmImportarTabla::cmdArchivo_Click() {
    const QString path = services_.messages.openFileName(
        this, QStringLiteral("Open a maker's nozzle table"), QStringLiteral("CSV (*.csv *.txt)"));
    if (!path.isEmpty()) {
        loadFile(path);
    }
}

bool frmImportarTabla::loadFile(const QString& path) {
    std::string text;
    try {
        text = readTextFile(path.toStdString());
    } catch (const AppError&) {
        const ErrorReport r = describeCurrentError();
        services_.messages.showMessage(this, qs(r.message), qs(r.detail));
        return false;
    }
    const std::string previous = std::exchange(text_, std::move(text));
    const bool wasUs = chkUnidadesUS_->isChecked();
    // A heading that names its units decides them; the user may still change the box.
    if (const auto us = headingUsUnits(text_)) {
        chkUnidadesUS_->blockSignals(true);
        chkUnidadesUS_->setChecked(*us);
        chkUnidadesUS_->blockSignals(false);
    }
    if (!fitText()) {
        text_ = previous;
        chkUnidadesUS_->blockSignals(true);
        chkUnidadesUS_->setChecked(wasUs);
        chkUnidadesUS_->blockSignals(false);
        return false;
    }
    path_ = path;
    txtArchivo_->setText(path);
    showFits();
    services_.messages.showStatus(
        this, QStringLiteral("%1 nozzles were fitted from %2").arg(fits_.size()).arg(path));
    return true;
}

bool frmImportarTabla::fitText() {
    MakerTableOptions options;
    options.usUnits = chkUnidadesUS_->isChecked();
    options.separator = guessSeparator(text_);
    try {
        auto fits = fitNozzles(readMakerTable(text_, options));
        if (fits.empty()) {
            services_.messages.showMessage(
                this, QStringLiteral("The table has no rows after its heading line"));
            return false;
        }
        fits_ = std::move(fits);
    } catch (const AppError&) {
        const ErrorReport r = describeCurrentError();
        services_.messages.showMessage(this, qs(r.message), qs(r.detail));
        return false;
    }
    return true;
}

void frmImportarTabla::showFits() {
    filling_ = true;
    grdAjustes_->blockSignals(true);
    grdAjustes_->setTable(nozzleFitTable(fits_));
    // A fit that misses a point of its own table by more than the margin is left unticked:
    // the user looks at it first.
    for (int r = 0; r < grdAjustes_->rowCount(); ++r) {
        QTableWidgetItem* item = grdAjustes_->item(r, 0);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(fits_[static_cast<std::size_t>(r)].maxRelativeError <= kFitErrorToCheck
                                ? Qt::Checked
                                : Qt::Unchecked);
    }
    grdAjustes_->blockSignals(false);
    filling_ = false;
    if (!fits_.empty()) {
        grdAjustes_->setCurrentCell(0, 0);
    }
    drawFit(fits_.empty() ? -1 : 0);
    updateSummary();
}

void frmImportarTabla::drawFit(int row) {
    const QStringList names = captionList(chtAjuste_, "SeriesCaptions");
    ChartBuilder chart;
    chart.xAxis(names.value(1), QStringLiteral("0")).yAxis(names.value(0), QStringLiteral("0.000"));
    if (row < 0 || row >= static_cast<int>(fits_.size())) {
        replaceChart(chtAjuste_, chart.title(names.value(4)));
        return;
    }
    const NozzleFit& f = fits_[static_cast<std::size_t>(row)];
    std::vector<XYPoint> points;
    for (const auto& p : f.points) {
        points.push_back({p.pressure, p.discharge});
    }
    std::vector<XYPoint> curve;
    for (int i = 0; i < kCurvePoints; ++i) {
        const double p = f.pmin + (f.pmax - f.pmin) * i / (kCurvePoints - 1);
        curve.push_back({p, quarvex::dischargeLaw(f.a, f.b, p)});
    }
    curve.back().x = f.pmax;
    chart.title(qs(f.nozzle))
        .line(names.value(3), curve)
        .points(names.value(2), points, AxisSide::Left, QColor(0xc6, 0x28, 0x28), 9);
    replaceChart(chtAjuste_, chart);
}

void frmImportarTabla::fillBrands() {
    QStringList brands;
    try {
        for (const auto& name : catalogueBrandNames(services_.config.asperConnectionString)) {
            brands << qs(name);
        }
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The sprinkler catalogue could not be read");
    }
    offerNames(cboMarca_, brands);
    fillModels();
}

void frmImportarTabla::fillModels() {
    const std::string brand = trim(cboMarca_->currentText().toStdString());
    QStringList models;
    try {
        for (const auto& name :
             catalogueModelNames(services_.config.asperConnectionString, brand)) {
            models << qs(name);
        }
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The sprinkler catalogue could not be read");
    }
    offerNames(cboModelo_, models);
    updateSummary();
}

std::vector<NozzleFit> frmImportarTabla::chosen() const {
    std::vector<NozzleFit> out;
    for (int r = 0; r < grdAjustes_->rowCount() && r < static_cast<int>(fits_.size()); ++r) {
        if (grdAjustes_->item(r, 0)->checkState() == Qt::Checked) {
            out.push_back(fits_[static_cast<std::size_t>(r)]);
        }
    }
    return out;
}

void frmImportarTabla::setChosen(int row, bool chosen) {
    if (row >= 0 && row < grdAjustes_->rowCount()) {
        grdAjustes_->item(row, 0)->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
    }
}

void frmImportarTabla::updateSummary() {
    if (fits_.empty()) {
        lblResumen_->setText(QString());
        return;
    }
    const auto ticked = chosen();
    std::size_t points = 0;
    double worst = 0;
    int toCheck = 0;
    for (const auto& f : fits_) {
        points += f.points.size();
        worst = std::max(worst, f.maxRelativeError);
        toCheck += f.maxRelativeError > kFitErrorToCheck ? 1 : 0;
    }
    QString text = QStringLiteral(
                       "%1 nozzles fitted from %2 points, %3 ticked to add; the "
                       "largest error at a point of the table is %4 %.")
                       .arg(fits_.size())
                       .arg(points)
                       .arg(ticked.size())
                       .arg(qs(formatDecimals(100 * worst, 2, decimalSeparator())));
    if (toCheck > 0) {
        text += QStringLiteral(
                    " %1 nozzles miss a point of the table by more than 5 %: look "
                    "at their points before adding them.")
                    .arg(toCheck);
    }
    lblResumen_->setText(text);
}

bool frmImportarTabla::cmdImportar_Click() {
    auto& m = services_.messages;
    const QString brand = cboMarca_->currentText().trimmed();
    const QString model = cboModelo_->currentText().trimmed();
    const auto ticked = chosen();
    if (fits_.empty()) {
        m.showMessage(this, QStringLiteral("Please open a maker's table first"));
        return false;
    }
    if (ticked.empty()) {
        m.showMessage(this, QStringLiteral("Please tick the nozzles to add"));
        grdAjustes_->setFocus();
        return false;
    }
    if (brand.isEmpty()) {
        m.showMessage(this, QStringLiteral("The brand needs a name"));
        cboMarca_->setFocus();
        return false;
    }
    if (model.isEmpty()) {
        m.showMessage(this, QStringLiteral("The model needs a name"));
        cboModelo_->setFocus();
        return false;
    }
    const bool newBrand = cboMarca_->findText(brand) < 0;
    const bool newModel = newBrand || cboModelo_->findText(model) < 0;
    QString question = QStringLiteral(
                           "Please confirm that you want to add %1 nozzles to the "
                           "model %2 of the brand %3 ?")
                           .arg(ticked.size())
                           .arg(inQuotes(model), inQuotes(brand));
    if (newBrand) {
        question += QStringLiteral(" The brand and the model are new.");
    } else if (newModel) {
        question += QStringLiteral(" The model is new.");
    }
    if (!m.confirm(this, question, MessageService::Default::Yes)) {
        return false;
    }
    std::vector<NozzleData> nozzles;
    for (const auto& f : ticked) {
        nozzles.push_back(nozzleData(f));
    }
    CatalogueImport done;
    try {
        done = SprinklerCatalogue(services_.config.asperConnectionString)
                   .importNozzles(brand.toStdString(), model.toStdString(), nozzles);
    } catch (const AppError&) {
        const ErrorReport r = describeCurrentError();
        m.showMessage(this, qs(r.message), qs(r.detail));
        return false;
    } catch (...) {
        handleDatabaseError(m, this, "The nozzles could not be added to the catalogue");
        return false;
    }
    if (imported_) {
        imported_(brand, model);
    }
    m.showStatus(this, QStringLiteral("%1 nozzles were added to the model %2")
                           .arg(done.nozzles)
                           .arg(inQuotes(model)));
    fillBrands();
    return true;
}

}  // namespace kambrix
