// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmBDasp.h"

#include "gui/widgets/units_view.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <cmath>

#include "gui/frmImportarTabla.h"
#include "gui/widgets/chart_builder.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "shell/catalogue_editors.h"
#include "shell/services.h"
#include "shell/stored_names.h"
#include "shell/unit_captions.h"

namespace kambrix {

namespace {

// Points of the drawn discharge curve.
constexpr int kCurvePoints = 41;
constexpr NumberRange kCoefficient{0, 100, true, false};  // L/s per kPa^b
constexpr NumberRange kExponent{0, 2, true, false};
constexpr NumberRange kPressure{0, 2000, true, false};  // kPa
constexpr NumberRange kDischarge{0, 100, true, false};  // L/s

QString inQuotes(const QString& name) {
    return "'" + name + "'";
}

}  // namespace

frmBDasp::frmBDasp(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName("frmBDasp");
    setWindowTitle(QStringLiteral("Catálogo de aspersores"));
    auto* outer = new QVBoxLayout(this);
    auto* layout = new QGridLayout;
    outer->addLayout(layout, 1);
    auto& m = services_.messages;

    // Brands, models and the nozzles of the model.
    auto* fraCatalogo = new QGroupBox(QStringLiteral("Catálogo"), this);
    fraCatalogo->setObjectName("fraCatalogo");
    auto* cat = new QGridLayout(fraCatalogo);
    cboMarca_ = namedNameBox(fraCatalogo, "cboMarca", 150);
    cboModelo_ = namedNameBox(fraCatalogo, "cboModelo", 150);
    auto* cmdRenombrarMarca =
        namedButton(fraCatalogo, "cmdRenombrarMarca", QStringLiteral("Renombrar…"));
    auto* cmdBorrarMarca = namedButton(fraCatalogo, "cmdBorrarMarca", QStringLiteral("Borrar"));
    auto* cmdRenombrarModelo =
        namedButton(fraCatalogo, "cmdRenombrarModelo", QStringLiteral("Renombrar…"));
    auto* cmdBorrarModelo = namedButton(fraCatalogo, "cmdBorrarModelo", QStringLiteral("Borrar"));
    cat->addWidget(namedLabel(fraCatalogo, "lblMarca", QStringLiteral("Marca")), 0, 0);
    cat->addWidget(cboMarca_, 0, 1);
    cat->addWidget(cmdRenombrarMarca, 0, 2);
    cat->addWidget(cmdBorrarMarca, 0, 3);
    cat->addWidget(namedLabel(fraCatalogo, "lblModelo", QStringLiteral("Modelo")), 1, 0);
    cat->addWidget(cboModelo_, 1, 1);
    cat->addWidget(cmdRenombrarModelo, 1, 2);
    cat->addWidget(cmdBorrarModelo, 1, 3);
    cat->setColumnStretch(1, 1);
    grdBoquillas_ = new GridView("grdBoquillas",
                                 QStringLiteral("Boquilla;a;b;pmin (kPa);pmax (kPa);qmin (l/s);"
                                                "qmax (l/s)"),
                                 fraCatalogo);
    grdBoquillas_->setMessages(&m);
    grdBoquillas_->setSelectionBehavior(QAbstractItemView::SelectRows);
    cat->addWidget(grdBoquillas_, 2, 0, 1, 4);
    layout->addWidget(fraCatalogo, 0, 0, 2, 1);

    // The nozzle of the form.
    auto* fraBoquilla = new QGroupBox(QStringLiteral("Boquilla"), this);
    fraBoquilla->setObjectName("fraBoquilla");
    auto* form = new QGridLayout(fraBoquilla);
    txtBoquilla_ = namedEdit(fraBoquilla, "txtBoquilla", false);
    struct Field {
        const char* label;
        const char* box;
        QString caption;
        QString what;
        NumberRange range;
        NumberBox** target;
    };
    const Field fields[] = {
        {"lblA", "txtA", QStringLiteral("Coeficiente a"), QStringLiteral("the coefficient a"),
         kCoefficient, &a_},
        {"lblB", "txtB", QStringLiteral("Exponente b"), QStringLiteral("the exponent b"), kExponent,
         &b_},
        {"lblPmin", "txtPmin", QStringLiteral("Presión mínima (kPa)"),
         QStringLiteral("the minimum pressure"), kPressure, &pmin_},
        {"lblPmax", "txtPmax", QStringLiteral("Presión máxima (kPa)"),
         QStringLiteral("the maximum pressure"), kPressure, &pmax_},
        {"lblQmin", "txtQmin", QStringLiteral("Caudal mínimo (l/s)"),
         QStringLiteral("the minimum discharge"), kDischarge, &qmin_},
        {"lblQmax", "txtQmax", QStringLiteral("Caudal máximo (l/s)"),
         QStringLiteral("the maximum discharge"), kDischarge, &qmax_},
    };
    form->addWidget(namedLabel(fraBoquilla, "lblBoquilla", QStringLiteral("Denominación")), 0, 0);
    form->addWidget(txtBoquilla_, 0, 1, 1, 3);
    int row = 1;
    for (const Field& f : fields) {
        auto* edit = namedEdit(fraBoquilla, f.box);
        *f.target = new NumberBox(edit, f.range, f.what, true, m, [this, target = f.target] {
            if (target == &b_) {
                a_->conversionChanged();  // a stored is shown for the new exponent
            }
            drawCurve();
        });
        form->addWidget(namedLabel(fraBoquilla, f.label, f.caption), row, 0);
        form->addWidget(edit, row, 1);
        ++row;
    }
    lblA_ = findChild<QLabel*>(QStringLiteral("lblA"));
    pmin_->setQuantity(Quantity::Pressure);
    pmax_->setQuantity(Quantity::Pressure);
    qmin_->setQuantity(Quantity::Discharge);
    qmax_->setQuantity(Quantity::Discharge);
    // The coefficient a in the shown units of q and p: its value depends on b. The catalogue
    // keeps a in L/s and kPa; a shown from it stays that exact value until the user types one.
    a_->setConversion(
        {[this](UnitSystem u, double a) { return nozzleCoefficientToShown(u, a, exponent()); },
         [this](UnitSystem u, double a) { return nozzleCoefficientToStored(u, a, exponent()); },
         std::string(), 6});
    auto* cmdNueva = namedButton(fraBoquilla, "cmdNuevaBoquilla", QStringLiteral("Nueva boquilla"));
    auto* cmdGuardar = namedButton(fraBoquilla, "cmdGuardar", QStringLiteral("Guardar boquilla"));
    auto* cmdBorrar =
        namedButton(fraBoquilla, "cmdBorrarBoquilla", QStringLiteral("Borrar boquilla"));
    auto* nozzleButtons = new QHBoxLayout;
    nozzleButtons->addWidget(cmdNueva);
    nozzleButtons->addWidget(cmdGuardar);
    nozzleButtons->addWidget(cmdBorrar);
    form->addLayout(nozzleButtons, row, 0, 1, 4);
    lblGuardadoPor_ = new QLabel(fraBoquilla);
    lblGuardadoPor_->setObjectName("lblGuardadoPor");
    form->addWidget(lblGuardadoPor_, row + 1, 0, 1, 4);
    form->setColumnStretch(2, 1);
    layout->addWidget(fraBoquilla, 0, 1);

    chtCurva_ = new QChartView(this);
    chtCurva_->setObjectName("chtCurva");
    chtCurva_->setProperty("SeriesCaptions",
                           QStringLiteral("Caudal (l/s);Presión (kPa);Curva q = a·p^b"));
    chtCurva_->setRenderHint(QPainter::Antialiasing);
    chtCurva_->setMinimumSize(280, 220);
    layout->addWidget(chtCurva_, 1, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    layout->setRowStretch(1, 1);

    auto* bottom = new QHBoxLayout;
    auto* cmdImportarTabla =
        namedButton(this, "cmdImportarTabla", QStringLiteral("Importar tabla del fabricante…"));
    auto* cmdSalir = namedButton(this, "cmdSalir", QStringLiteral("Salir"));
    bottom->addWidget(cmdImportarTabla);
    bottom->addStretch();
    bottom->addWidget(cmdSalir);
    outer->addLayout(bottom);
    addStatusLine(this, outer);

    onSignal(cboMarca_, &QComboBox::currentTextChanged, this, m, [this] { brandChanged(); });
    onSignal(cboModelo_, &QComboBox::currentTextChanged, this, m, [this] { modelChanged(); });
    onSignal(grdBoquillas_, &QTableWidget::currentCellChanged, this, services_.messages,
             [this](int r) { nozzleChosen(r); });
    onSignal(txtBoquilla_, &QLineEdit::editingFinished, this, services_.messages,
             [this] { drawCurve(); });
    onSignal(cmdNueva, &QPushButton::clicked, this, services_.messages,
             [this] { cmdNuevaBoquilla_Click(); });
    onSignal(cmdGuardar, &QPushButton::clicked, this, m, [this] { cmdGuardar_Click(); });
    onSignal(cmdBorrar, &QPushButton::clicked, this, m, [this] { cmdBorrarBoquilla_Click(); });
    onSignal(cmdRenombrarMarca, &QPushButton::clicked, this, m,
             [this] { cmdRenombrarMarca_Click(); });
    onSignal(cmdBorrarMarca, &QPushButton::clicked, this, m, [this] { cmdBorrarMarca_Click(); });
    onSignal(cmdRenombrarModelo, &QPushButton::clicked, this, m,
             [this] { cmdRenombrarModelo_Click(); });
    onSignal(cmdBorrarModelo, &QPushButton::clicked, this, m, [this] { cmdBorrarModelo_Click(); });
    onSignal(cmdImportarTabla, &QPushButton::clicked, this, m,
             [this] { cmdImportarTabla_Click(); });
    onSignal(cmdSalir, &QPushButton::clicked, this, services_.messages, [this] { close(); });
    setTabOrderChain({cboMarca_, cmdRenombrarMarca, cmdBorrarMarca, cboModelo_, cmdRenombrarModelo,
                      cmdBorrarModelo, grdBoquillas_, txtBoquilla_, a_->box(), b_->box(),
                      pmin_->box(), pmax_->box(), qmin_->box(), qmax_->box(), cmdNueva, cmdGuardar,
                      cmdBorrar, cmdImportarTabla, cmdSalir});

    captionsFollowUnits(this);
    translateForm(this, services_.config.languageFile);
    coefficientCaption_ = lblA_->text();
    showCoefficientCaption();
    onUnitsChanged(this, [this] { showCoefficientCaption(); });
    reload(QString(), QString(), 0);
    fitToScreen(this, QSize(1240, 700));
}

void frmBDasp::reload(const QString& brand, const QString& model, int nozzleId,
                      const std::string& nozzleName) {
    try {
        auto lists = readSprinklerCatalogue(services_.config.asperConnectionString);
        marcas_ = std::move(lists.brands);
        modelos_ = std::move(lists.models);
        aspersores_ = std::move(lists.nozzles);
        stamps_ = std::move(lists.stamps);
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The sprinkler catalogue could not be read");
    }
    filling_ = true;
    cboMarca_->blockSignals(true);
    cboMarca_->clear();
    marcas_.ForEach(
        [&](const quarvex::marca& b) { cboMarca_->addItem(QString::fromStdString(b.nome)); });
    const int found = brand.isEmpty() ? 0 : cboMarca_->findText(brand);
    cboMarca_->setCurrentIndex(found);
    if (found < 0) {
        cboMarca_->setEditText(brand);
    }
    cboMarca_->blockSignals(false);
    filling_ = false;
    brandChanged();
    if (!model.isEmpty() && cboModelo_->currentText() != model) {
        cboModelo_->blockSignals(true);
        cboModelo_->setCurrentText(model);
        cboModelo_->blockSignals(false);
    }
    modelChanged(nozzleId, nozzleName);
}

std::optional<quarvex::marca> frmBDasp::storedBrand() const {
    const std::string name = trim(cboMarca_->currentText().toStdString());
    std::optional<quarvex::marca> out;
    marcas_.ForEach([&](const quarvex::marca& b) {
        if (!out && b.nome == name) {
            out = b;
        }
    });
    return out;
}

std::optional<quarvex::modelo> frmBDasp::storedModel() const {
    const std::string brand = trim(cboMarca_->currentText().toStdString());
    const std::string name = trim(cboModelo_->currentText().toStdString());
    std::optional<quarvex::modelo> out;
    modelos_.ForEach([&](const quarvex::modelo& x) {
        if (!out && x.nome == name && x.marca.nome == brand) {
            out = x;
        }
    });
    return out;
}

void frmBDasp::brandChanged() {
    if (filling_) {
        return;
    }
    const std::string brand = trim(cboMarca_->currentText().toStdString());
    cboModelo_->blockSignals(true);
    cboModelo_->clear();
    modelos_.ForEach([&](const quarvex::modelo& x) {
        if (x.marca.nome == brand) {
            cboModelo_->addItem(QString::fromStdString(x.nome));
        }
    });
    cboModelo_->blockSignals(false);
    modelChanged();
}

void frmBDasp::modelChanged(int nozzleId, const std::string& nozzleName) {
    const std::string brand = trim(cboMarca_->currentText().toStdString());
    const std::string model = trim(cboModelo_->currentText().toStdString());
    shown_.clear();
    aspersores_.ForEach([&](const std::shared_ptr<quarvex::Aspersor>& a) {
        if (a->marca().nome == brand && a->modelo().nome == model) {
            shown_.push_back(a);
        }
    });
    TableData table;
    table.columns = {"nozzle", "a", "b", "pmin", "pmax", "qmin", "qmax"};
    int select = shown_.empty() ? -1 : 0;
    for (std::size_t r = 0; r < shown_.size(); ++r) {
        const auto& a = *shown_[r];
        TableRow row;
        row.cells = {TableCell::ofText(a.nome()),        TableCell::ofNumber(a.aValue(), 6),
                     TableCell::ofNumber(a.bValue(), 3), TableCell::ofNumber(a.pmin(), 0),
                     TableCell::ofNumber(a.pmax(), 0),   TableCell::ofNumber(a.qmin(), 4),
                     TableCell::ofNumber(a.qmax(), 4)};
        table.rows.push_back(std::move(row));
        if ((nozzleId != 0 && a.id() == nozzleId) ||
            (nozzleId == 0 && !nozzleName.empty() && a.nome() == nozzleName)) {
            select = static_cast<int>(r);
        }
    }
    grdBoquillas_->blockSignals(true);
    grdBoquillas_->setTable(std::move(table));
    grdBoquillas_->blockSignals(false);
    if (select < 0) {
        // A new brand or model, or one without nozzles: nothing of another entry stays in
        // the form.
        clearForm();
        return;
    }
    grdBoquillas_->blockSignals(true);
    grdBoquillas_->setCurrentCell(select, 0);
    grdBoquillas_->blockSignals(false);
    nozzleChosen(select);
}

void frmBDasp::nozzleChosen(int row) {
    if (row < 0 || row >= static_cast<int>(shown_.size())) {
        return;
    }
    const auto& a = *shown_[static_cast<std::size_t>(row)];
    selectedId_ = a.id();
    const auto stamp = stamps_.find(std::to_string(a.id()));
    selectedStamp_ = stamp == stamps_.end() ? RowStamp{} : stamp->second;
    lblGuardadoPor_->setText(QString::fromStdString(savedByText(selectedStamp_)));
    txtBoquilla_->setText(QString::fromStdString(a.nome()));
    b_->setExactValue(a.bValue());  // before a: a is shown with it
    a_->setExactValue(a.aValue());
    pmin_->setExactValue(a.pmin());
    pmax_->setExactValue(a.pmax());
    qmin_->setExactValue(a.qmin());
    qmax_->setExactValue(a.qmax());
    markFormShown();
    drawCurve();
}

void frmBDasp::clearForm() {
    selectedId_ = 0;
    selectedStamp_ = RowStamp{};
    lblGuardadoPor_->clear();
    txtBoquilla_->clear();
    for (NumberBox* b : {a_, b_, pmin_, pmax_, qmin_, qmax_}) {
        b->setBlank();
    }
    grdBoquillas_->clearSelection();
    markFormShown();
    drawCurve();
}

double frmBDasp::exponent() const {
    // Without an exponent a is shown as for b = 0 (q in the shown units whatever p).
    const auto b = b_ != nullptr ? b_->given() : std::nullopt;
    return b && std::isfinite(*b) ? *b : 0.0;
}

void frmBDasp::showCoefficientCaption() {
    if (lblA_ != nullptr) {
        lblA_->setText(QString::fromStdString(
            unitSymbolsInUnits(coefficientCaption_.toStdString(), shownUnits())));
    }
}

QStringList frmBDasp::formTexts() const {
    QStringList texts{txtBoquilla_->text().trimmed()};
    for (const NumberBox* b : {a_, b_, pmin_, pmax_, qmin_, qmax_}) {
        // The stored value: showing other units is no change of the nozzle.
        texts << QString::fromStdString(b->storedText()).trimmed();
    }
    return texts;
}

bool frmBDasp::hasUnsavedNozzle() const {
    return formTexts() != shownTexts_;
}

void frmBDasp::closeEvent(QCloseEvent* event) {
    closeIfAllowed(event, services_.messages, this, [&] {
        const QString name = txtBoquilla_->text().trimmed();
        return mayLeave(services_.messages, this, hasUnsavedNozzle(),
                        (name.isEmpty() ? QStringLiteral("The nozzle of the form")
                                        : "The nozzle " + inQuotes(name)) +
                            QStringLiteral(" has changes that are not saved. Do you want to "
                                           "save them?"),
                        [this] { return cmdGuardar_Click(); });
    });
}

void frmBDasp::cmdNuevaBoquilla_Click() {
    clearForm();
    txtBoquilla_->setFocus();
}

void frmBDasp::drawCurve() {
    const QStringList names = captionList(chtCurva_, "SeriesCaptions");
    const double a = a_->value();
    const double b = b_->value();
    const double pmin = pmin_->value();
    const double pmax = pmax_->value();
    ChartBuilder chart;
    chart.legend(false)
        .xAxis(names.value(1), QStringLiteral("0"))
        .yAxis(names.value(0), QStringLiteral("0.000"));
    if (a > 0 && b > 0 && pmin > 0 && pmax > pmin && std::isfinite(a) && std::isfinite(b) &&
        std::isfinite(pmax)) {
        std::vector<XYPoint> points;
        for (int i = 0; i < kCurvePoints; ++i) {
            const double p = pmin + (pmax - pmin) * i / (kCurvePoints - 1);
            points.push_back({p, quarvex::dischargeLaw(a, b, p)});
        }
        points.back().x = pmax;
        chart.title(txtBoquilla_->text()).line(names.value(2), points);
    }
    replaceChart(chtCurva_, chart);
}

void frmBDasp::reportFailure(const std::string& action) {
    const ErrorReport r = describeCurrentError();
    if (const auto message = sprinklerCatalogueMessage(r)) {
        services_.messages.showMessage(this, QString::fromStdString(*message));
        return;
    }
    handleDatabaseError(services_.messages, this, action);
}

QString frmBDasp::chartsSentence(const std::vector<int>& nozzles, const char* consequence) {
    const auto uses = chartsUsingNozzles(services_.config.projectsConnectionString, nozzles);
    if (uses.empty()) {
        return {};
    }
    return QStringLiteral(" It is mounted in the sprinkler charts %1; %2.")
        .arg(QString::fromStdString(chartUseList(uses)), QString::fromLatin1(consequence));
}

bool frmBDasp::cmdGuardar_Click() {
    auto& m = services_.messages;
    const std::vector<NumberBox*> numbers = {a_, b_, pmin_, pmax_, qmin_, qmax_};
    NozzleForm form;
    form.brand = cboMarca_->currentText().toStdString();
    form.model = cboModelo_->currentText().toStdString();
    const std::vector<QWidget*> fields = {cboMarca_,    cboModelo_,   txtBoquilla_,
                                          a_->box(),    b_->box(),    pmin_->box(),
                                          pmax_->box(), qmin_->box(), qmax_->box()};
    auto refuse = [&](const FormProblem& problem) {
        m.showMessage(this, QString::fromStdString(problem.message));
        fields.at(static_cast<std::size_t>(problem.field))->setFocus();
        return false;
    };
    if (const auto problem = checkNozzleNames(form)) {
        return refuse(*problem);
    }
    if (!commitAll({a_, b_, pmin_, pmax_, qmin_, qmax_})) {
        return false;
    }
    form.name = txtBoquilla_->text().toStdString();
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        form.values[i] = numbers[i]->given();
    }
    if (const auto problem = checkNozzleForm(form)) {
        return refuse(*problem);
    }
    const std::string brand = trim(form.brand);
    const std::string model = trim(form.model);
    const NozzleData data = nozzleOfForm(form);
    if (const auto taken = nozzleNameTaken(aspersores_, brand, model, data.nome, selectedId_)) {
        m.showMessage(this, QString::fromStdString(*taken));
        txtBoquilla_->setFocus();
        return false;
    }
    int savedId = selectedId_;
    try {
        if (selectedId_ > 0) {
            const QString uses = chartsSentence({selectedId_}, "a change changes those charts");
            if (!uses.isEmpty() &&
                !m.confirm(this, "Please confirm that you want to change the nozzle " +
                                     inQuotes(QString::fromStdString(data.nome)) + " ?" + uses)) {
                return false;
            }
            selectedStamp_ = SprinklerCatalogue(services_.config.asperConnectionString)
                                 .updateNozzle(selectedId_, data, &selectedStamp_);
        } else {
            quarvex::modelo target;
            target.nome = model;
            target.marca.nome = brand;
            if (const auto b = storedBrand()) {
                target.marca = *b;
            }
            if (const auto x = storedModel()) {
                target = *x;
            }
            addNozzle(services_.config.asperConnectionString, target, data);
        }
    } catch (const AppError& e) {
        if (e.number() != errc::RecordChangedSinceOpened) {
            reportFailure("The sprinkler catalogue could not be saved");
            return false;
        }
        // Another user's save is kept; the nozzle is shown as stored when asked.
        if (m.chooseAction(this, QString::fromStdString(e.what()), {QStringLiteral("Reload")}) ==
            0) {
            reload(QString::fromStdString(brand), QString::fromStdString(model), savedId);
        }
        return false;
    } catch (...) {
        reportFailure("The sprinkler catalogue could not be saved");
        return false;
    }
    reload(QString::fromStdString(brand), QString::fromStdString(model), savedId, data.nome);
    m.showStatus(this, "The nozzle " + inQuotes(QString::fromStdString(data.nome)) + " was saved");
    return true;
}

void frmBDasp::cmdImportarTabla_Click() {
    if (auto* open = findChild<frmImportarTabla*>()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* import = new frmImportarTabla(
        services_, this,
        [this](const QString& brand, const QString& model) { reload(brand, model, 0); });
    import->setAttribute(Qt::WA_DeleteOnClose);
    import->show();
}

bool frmBDasp::cmdBorrarBoquilla_Click() {
    auto& m = services_.messages;
    if (selectedId_ <= 0) {
        m.showMessage(this, QStringLiteral("Please select the nozzle to remove"));
        return false;
    }
    const QString name = txtBoquilla_->text();
    const int id = selectedId_;
    try {
        const QString uses = chartsSentence({id}, "those charts will lose it");
        if (!m.confirm(this, "Please confirm that you want to remove the nozzle " + inQuotes(name) +
                                 " ?" + uses)) {
            return false;
        }
        SprinklerCatalogue(services_.config.asperConnectionString).deleteNozzle(id);
    } catch (...) {
        reportFailure("The nozzle could not be removed");
        reload(cboMarca_->currentText(), cboModelo_->currentText(), 0);
        return false;
    }
    reload(cboMarca_->currentText(), cboModelo_->currentText(), 0);
    m.showStatus(this, "The nozzle " + inQuotes(name) + " was removed");
    return true;
}

bool frmBDasp::cmdRenombrarMarca_Click() {
    auto& m = services_.messages;
    const auto brand = storedBrand();
    if (!brand) {
        m.showMessage(this, QStringLiteral("Please select the brand to rename"));
        return false;
    }
    const QString old = QString::fromStdString(brand->nome);
    const auto name =
        m.askText(this, "Please enter the new name for the brand " + inQuotes(old), old);
    if (!name || *name == old) {
        return false;
    }
    try {
        SprinklerCatalogue(services_.config.asperConnectionString)
            .renameBrand(brand->id, name->toStdString());
    } catch (...) {
        reportFailure("The brand could not be renamed");
        return false;
    }
    reload(*name, cboModelo_->currentText(), selectedId_);
    m.showStatus(this, "The brand " + inQuotes(old) + " is now called " + inQuotes(*name));
    return true;
}

bool frmBDasp::cmdBorrarMarca_Click() {
    auto& m = services_.messages;
    const auto brand = storedBrand();
    if (!brand) {
        m.showMessage(this, QStringLiteral("Please select the brand to remove"));
        return false;
    }
    const QString name = QString::fromStdString(brand->nome);
    try {
        SprinklerCatalogue store(services_.config.asperConnectionString);
        const auto nozzles = store.nozzlesOfBrand(brand->id);
        const QString question =
            QStringLiteral(
                "Please confirm that you want to remove the brand %1 with its %2 "
                "models and %3 nozzles ?")
                .arg(inQuotes(name))
                .arg(store.modelCount(brand->id))
                .arg(nozzles.size()) +
            chartsSentence(nozzles, "those charts will lose them");
        if (!m.confirm(this, question)) {
            return false;
        }
        store.deleteBrand(brand->id);
    } catch (...) {
        reportFailure("The brand could not be removed");
        return false;
    }
    reload(QString(), QString(), 0);
    m.showStatus(this, "The brand " + inQuotes(name) + " was removed");
    return true;
}

bool frmBDasp::cmdRenombrarModelo_Click() {
    auto& m = services_.messages;
    const auto model = storedModel();
    if (!model) {
        m.showMessage(this, QStringLiteral("Please select the model to rename"));
        return false;
    }
    const QString old = QString::fromStdString(model->nome);
    const auto name =
        m.askText(this, "Please enter the new name for the model " + inQuotes(old), old);
    if (!name || *name == old) {
        return false;
    }
    try {
        SprinklerCatalogue(services_.config.asperConnectionString)
            .renameModel(model->id, name->toStdString());
    } catch (...) {
        reportFailure("The model could not be renamed");
        return false;
    }
    reload(cboMarca_->currentText(), *name, selectedId_);
    m.showStatus(this, "The model " + inQuotes(old) + " is now called " + inQuotes(*name));
    return true;
}

bool frmBDasp::cmdBorrarModelo_Click() {
    auto& m = services_.messages;
    const auto model = storedModel();
    if (!model) {
        m.showMessage(this, QStringLiteral("Please select the model to remove"));
        return false;
    }
    const QString name = QString::fromStdString(model->nome);
    try {
        SprinklerCatalogue store(services_.config.asperConnectionString);
        const auto nozzles = store.nozzlesOfModel(model->id);
        const QString question =
            QStringLiteral(
                "Please confirm that you want to remove the model %1 with its %2 "
                "nozzles ?")
                .arg(inQuotes(name))
                .arg(nozzles.size()) +
            chartsSentence(nozzles, "those charts will lose them");
        if (!m.confirm(this, question)) {
            return false;
        }
        store.deleteModel(model->id);
    } catch (...) {
        reportFailure("The model could not be removed");
        return false;
    }
    reload(cboMarca_->currentText(), QString(), 0);
    m.showStatus(this, "The model " + inQuotes(name) + " was removed");
    return true;
}

}  // namespace kambrix
