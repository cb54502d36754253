// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmBDtramos.h"

#include "gui/widgets/units_view.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/translation.h"
#include "shell/catalogue_editors.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

constexpr NumberRange kLength{0, 200, true, false};     // m
constexpr NumberRange kDiameter{0, 1000, true, false};  // mm
constexpr NumberRange kSpacing{0, 10000, true, false};  // cm

QString inQuotes(const std::string& name) {
    return "'" + QString::fromStdString(name) + "'";
}

}  // namespace

frmBDtramos::frmBDtramos(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName("frmBDtramos");
    setWindowTitle(QStringLiteral("Catálogo de tramos"));
    auto* outer = new QVBoxLayout(this);
    auto* layout = new QHBoxLayout;
    outer->addLayout(layout, 1);
    auto& m = services_.messages;

    grdTramos_ = new GridView("grdTramos",
                              QStringLiteral("Denominación;Marca;Longitud (m);Diámetro (mm);"
                                             "Separación de salidas (cm)"),
                              this);
    grdTramos_->setMessages(&m);
    grdTramos_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(grdTramos_, 3);

    auto* right = new QVBoxLayout;
    auto* fraTramo = new QGroupBox(QStringLiteral("Tramo"), this);
    fraTramo->setObjectName("fraTramo");
    auto* form = new QGridLayout(fraTramo);
    cboMarca_ = new QComboBox(fraTramo);
    cboMarca_->setObjectName("cboMarca");
    cboMarca_->setEditable(true);
    cboMarca_->setInsertPolicy(QComboBox::NoInsert);
    cboMarca_->completer()->setCompletionMode(QCompleter::PopupCompletion);
    txtDenominacion_ = namedEdit(fraTramo, "txtDenominacion", false);
    auto* txtLongitud = namedEdit(fraTramo, "txtLongitud");
    auto* txtDiametro = namedEdit(fraTramo, "txtDiametro");
    auto* txtSeparacion = namedEdit(fraTramo, "txtSeparacion");
    auto* txtDiametroExterior = namedEdit(fraTramo, "txtDiametroExterior");
    longitud_ = new NumberBox(txtLongitud, kLength, QStringLiteral("the length"), true, m);
    diametro_ =
        new NumberBox(txtDiametro, kDiameter, QStringLiteral("the inside diameter"), true, m);
    separacion_ =
        new NumberBox(txtSeparacion, kSpacing, QStringLiteral("the outlet spacing"), true, m);
    exterior_ = new NumberBox(txtDiametroExterior, kDiameter,
                              QStringLiteral("the outside diameter"), true, m);
    longitud_->setQuantity(Quantity::Length);
    diametro_->setQuantity(Quantity::PipeDiameter);
    separacion_->setQuantity(Quantity::OutletSpacing);
    exterior_->setQuantity(Quantity::PipeDiameter);
    auto* cmdGuardarMarca =
        namedButton(fraTramo, "cmdGuardarMarca", QStringLiteral("Guardar marca"));
    auto* cmdRenombrarMarca =
        namedButton(fraTramo, "cmdRenombrarMarca", QStringLiteral("Renombrar marca…"));
    auto* cmdBorrarMarca = namedButton(fraTramo, "cmdBorrarMarca", QStringLiteral("Borrar marca"));
    form->addWidget(namedLabel(fraTramo, "lblMarca", QStringLiteral("Marca")), 0, 0);
    form->addWidget(cboMarca_, 0, 1);
    auto* brandButtons = new QHBoxLayout;
    brandButtons->addWidget(cmdGuardarMarca);
    brandButtons->addWidget(cmdRenombrarMarca);
    brandButtons->addWidget(cmdBorrarMarca);
    form->addLayout(brandButtons, 1, 1);
    const std::vector<std::pair<const char*, QString>> labels = {
        {"lblDenominacion", QStringLiteral("Denominación")},
        {"lblLongitud", QStringLiteral("Longitud (m)")},
        {"lblDiametro", QStringLiteral("Diámetro interior (mm)")},
        {"lblSeparacion", QStringLiteral("Separación de salidas (cm)")},
        {"lblDiametroExterior", QStringLiteral("Diámetro exterior (mm)")}};
    const std::vector<QWidget*> boxes = {txtDenominacion_, txtLongitud, txtDiametro, txtSeparacion,
                                         txtDiametroExterior};
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        form->addWidget(namedLabel(fraTramo, labels[i].first, labels[i].second), i + 2, 0);
        form->addWidget(boxes[i], i + 2, 1);
    }
    auto* cmdNuevo = namedButton(fraTramo, "cmdNuevo", QStringLiteral("Nuevo tramo"));
    auto* cmdGuardar = namedButton(fraTramo, "cmdGuardar", QStringLiteral("Guardar tramo"));
    auto* cmdBorrar = namedButton(fraTramo, "cmdBorrar", QStringLiteral("Borrar tramo"));
    auto* spanButtons = new QHBoxLayout;
    spanButtons->addWidget(cmdNuevo);
    spanButtons->addWidget(cmdGuardar);
    spanButtons->addWidget(cmdBorrar);
    form->addLayout(spanButtons, static_cast<int>(boxes.size()) + 2, 0, 1, 2);
    lblGuardadoPor_ = new QLabel(fraTramo);
    lblGuardadoPor_->setObjectName("lblGuardadoPor");
    form->addWidget(lblGuardadoPor_, static_cast<int>(boxes.size()) + 3, 0, 1, 2);
    form->setColumnStretch(1, 1);
    right->addWidget(fraTramo);
    right->addStretch();
    layout->addLayout(right, 2);

    auto* bottom = new QHBoxLayout;
    auto* cmdSalir = namedButton(this, "cmdSalir", QStringLiteral("Salir"));
    bottom->addStretch();
    bottom->addWidget(cmdSalir);
    outer->addLayout(bottom);
    addStatusLine(this, outer);

    onSignal(grdTramos_, &QTableWidget::currentCellChanged, this, services_.messages,
             [this](int row) { spanChosen(row); });
    onSignal(grdTramos_, &GridView::rowActivated, this, services_.messages, [this](int row) {
        spanChosen(row);
        txtDenominacion_->setFocus();
    });
    onSignal(cmdNuevo, &QPushButton::clicked, this, services_.messages,
             [this] { cmdNuevo_Click(); });
    onSignal(cmdGuardar, &QPushButton::clicked, this, m, [this] { cmdGuardar_Click(); });
    onSignal(cmdBorrar, &QPushButton::clicked, this, m, [this] { cmdBorrar_Click(); });
    onSignal(cmdGuardarMarca, &QPushButton::clicked, this, m, [this] { cmdGuardarMarca_Click(); });
    onSignal(cmdRenombrarMarca, &QPushButton::clicked, this, m,
             [this] { cmdRenombrarMarca_Click(); });
    onSignal(cmdBorrarMarca, &QPushButton::clicked, this, m, [this] { cmdBorrarMarca_Click(); });
    onSignal(cmdSalir, &QPushButton::clicked, this, services_.messages, [this] { close(); });
    setTabOrderChain({grdTramos_, cboMarca_, cmdGuardarMarca, cmdRenombrarMarca, cmdBorrarMarca,
                      txtDenominacion_, txtLongitud, txtDiametro, txtSeparacion,
                      txtDiametroExterior, cmdNuevo, cmdGuardar, cmdBorrar, cmdSalir});

    captionsFollowUnits(this);
    translateForm(this, services_.config.languageFile);
    reload(0);
    markFormShown();
    fitToScreen(this, QSize(1160, 620));
}

bool frmBDtramos::run(const std::string& action,
                      const std::function<void(quarvex::Connection&)>& work) {
    try {
        readFrom(services_.config.tramosConnectionString, work);
        return true;
    } catch (...) {
        const ErrorReport report = describeCurrentError();
        if (report.number == errc::RecordChangedSinceOpened &&
            report.source == ErrorSource::Program) {
            // Another user's save is kept; the span is shown as stored when asked.
            if (services_.messages.chooseAction(this, QString::fromStdString(report.message),
                                                {QStringLiteral("Reload")}) == 0) {
                reload(selectedId_);
            }
            return false;
        }
        if (const auto message = spanCatalogueMessage(report)) {
            services_.messages.showMessage(this, QString::fromStdString(*message));
        } else {
            handleDatabaseError(services_.messages, this, action);
        }
        return false;
    }
}

void frmBDtramos::reload(int selectId) {
    quarvex::Collection<ReferenceTramo> all;
    run("The span catalogue could not be read", [&](quarvex::Connection& con) {
        ReferenceTramos store;
        // The stamps before the spans (a save in between refuses the next save).
        stamps_ = readRowStamps(con, row_kind::Span);
        marcas_ = store.allBrands(con);
        all = store.allReferenceTramos(con);
    });
    const QString brand = cboMarca_->currentText();
    cboMarca_->clear();
    marcas_.ForEach(
        [&](const TramoMarca& b) { cboMarca_->addItem(QString::fromStdString(b.name)); });
    cboMarca_->setCurrentText(brand);
    spans_.clear();
    TableData table;
    table.columns = {"name", "brand", "length", "diameter", "spacing"};
    int select = -1;
    for (int r = 1; r <= all.Count(); ++r) {
        const auto& t = all.Item(r);
        spans_.push_back(t);
        TableRow row;
        row.cells = {TableCell::ofText(t.denominacion), TableCell::ofText(t.marca.name),
                     TableCell::ofNumber(t.longitud, 2), TableCell::ofNumber(t.diametro, 1),
                     TableCell::ofNumber(t.separacion_saidas, 0)};
        table.rows.push_back(std::move(row));
        if (selectId != 0 && t.id == selectId) {
            select = r - 1;
        }
    }
    grdTramos_->blockSignals(true);
    grdTramos_->setTable(std::move(table));
    if (select >= 0) {
        grdTramos_->setCurrentCell(select, 0);
    }
    grdTramos_->blockSignals(false);
    if (select >= 0) {
        spanChosen(select);
    } else {
        selectedId_ = 0;
    }
}

void frmBDtramos::spanChosen(int row) {
    if (row < 0 || row >= static_cast<int>(spans_.size())) {
        return;
    }
    const ReferenceTramo& t = spans_[static_cast<std::size_t>(row)];
    selectedId_ = t.id;
    const auto stamp = stamps_.find(std::to_string(t.id));
    selectedStamp_ = stamp == stamps_.end() ? RowStamp{} : stamp->second;
    lblGuardadoPor_->setText(QString::fromStdString(savedByText(selectedStamp_)));
    cboMarca_->setCurrentText(QString::fromStdString(t.marca.name));
    txtDenominacion_->setText(QString::fromStdString(t.denominacion));
    longitud_->setExactValue(t.longitud);
    diametro_->setExactValue(t.diametro);
    separacion_->setExactValue(t.separacion_saidas);
    if (t.diametroExterior) {
        exterior_->setExactValue(*t.diametroExterior);
    } else {
        exterior_->setBlank();
    }
    markFormShown();
}

void frmBDtramos::clearForm() {
    selectedId_ = 0;
    selectedStamp_ = RowStamp{};
    lblGuardadoPor_->clear();
    txtDenominacion_->clear();
    for (NumberBox* b : {longitud_, diametro_, separacion_, exterior_}) {
        b->setBlank();
    }
    grdTramos_->clearSelection();
    markFormShown();
}

QStringList frmBDtramos::formTexts() const {
    QStringList texts{cboMarca_->currentText().trimmed(), txtDenominacion_->text().trimmed()};
    for (const NumberBox* b : {longitud_, diametro_, separacion_, exterior_}) {
        // The stored value: showing other units is no change of the span.
        texts << QString::fromStdString(b->storedText()).trimmed();
    }
    return texts;
}

bool frmBDtramos::hasUnsavedSpan() const {
    const QStringList now = formTexts();
    if (now.size() != shownTexts_.size()) {
        return true;
    }
    // The brand box also names brands to store or rename: it counts only for a stored span.
    for (qsizetype i = selectedId_ > 0 ? 0 : 1; i < now.size(); ++i) {
        if (now[i] != shownTexts_[i]) {
            return true;
        }
    }
    return false;
}

void frmBDtramos::closeEvent(QCloseEvent* event) {
    closeIfAllowed(event, services_.messages, this, [&] {
        const std::string name = trim(txtDenominacion_->text().toStdString());
        return mayLeave(services_.messages, this, hasUnsavedSpan(),
                        (name.empty() ? QStringLiteral("The reference span of the form")
                                      : "The reference span " + inQuotes(name)) +
                            QStringLiteral(" has changes that are not saved. Do you want to "
                                           "save them?"),
                        [this] { return cmdGuardar_Click(); });
    });
}

void frmBDtramos::cmdNuevo_Click() {
    clearForm();
    txtDenominacion_->setFocus();
}

const TramoMarca* frmBDtramos::storedBrand() const {
    return marcas_.Find(trim(cboMarca_->currentText().toStdString()));
}

bool frmBDtramos::cmdGuardarMarca_Click() {
    TramoMarca marca{trim(cboMarca_->currentText().toStdString()), 0};
    if (marcas_.Contains(marca.name)) {
        services_.messages.showMessage(this,
                                       QStringLiteral("That brand is already in the catalogue"));
        return false;
    }
    const bool ok = run("The brand could not be saved",
                        [&](quarvex::Connection& con) { ReferenceTramos().saveBrand(con, marca); });
    reload(selectedId_);
    if (ok) {
        services_.messages.showStatus(this, "The brand " + inQuotes(marca.name) + " was saved");
    }
    return ok;
}

bool frmBDtramos::cmdGuardar_Click() {
    auto& m = services_.messages;
    if (!commitAll({longitud_, diametro_, separacion_, exterior_})) {
        return false;
    }
    SpanForm form;
    form.brand = cboMarca_->currentText().toStdString();
    form.name = txtDenominacion_->text().toStdString();
    form.length = longitud_->given();
    form.diameter = diametro_->given();
    form.spacing = separacion_->given();
    form.outsideDiameter = exterior_->given();
    if (const auto problem = checkSpanForm(form)) {
        m.showMessage(this, QString::fromStdString(problem->message));
        const std::vector<QWidget*> fields = {cboMarca_,          txtDenominacion_,
                                              longitud_->box(),   diametro_->box(),
                                              separacion_->box(), exterior_->box()};
        fields.at(static_cast<std::size_t>(problem->field))->setFocus();
        return false;
    }
    ReferenceTramo tramo = spanOfForm(form, selectedId_);
    if (const TramoMarca* known = storedBrand()) {
        tramo.marca = *known;
    }
    const bool update = selectedId_ > 0;
    const bool ok = run("The span catalogue could not be saved", [&](quarvex::Connection& con) {
        if (update) {
            selectedStamp_ = ReferenceTramos().updateReferenceTramo(con, tramo, &selectedStamp_);
        } else {
            ReferenceTramos().saveReferenceTramo(con, tramo);
        }
    });
    if (!ok) {
        return false;
    }
    if (update) {
        reload(tramo.id);
    } else {
        // Ready for the next new span of the same brand.
        clearForm();
        reload(0);
    }
    m.showStatus(this, "The reference span " + inQuotes(tramo.denominacion) + " was saved");
    return true;
}

bool frmBDtramos::cmdBorrar_Click() {
    auto& m = services_.messages;
    if (selectedId_ <= 0) {
        m.showMessage(this, QStringLiteral("Please select the reference span to remove"));
        return false;
    }
    const std::string name = trim(txtDenominacion_->text().toStdString());
    if (!m.confirm(this, "Please confirm that you want to remove the reference span " +
                             inQuotes(name) +
                             " ? The systems designed with it keep their own copy.")) {
        return false;
    }
    const int id = selectedId_;
    const bool ok = run("The reference span could not be removed", [&](quarvex::Connection& con) {
        ReferenceTramos().deleteReferenceTramo(con, id);
    });
    clearForm();
    reload(0);
    if (ok) {
        m.showStatus(this, "The reference span " + inQuotes(name) + " was removed");
    }
    return ok;
}

bool frmBDtramos::cmdRenombrarMarca_Click() {
    auto& m = services_.messages;
    const TramoMarca* brand = storedBrand();
    if (brand == nullptr) {
        m.showMessage(this, QStringLiteral("Please select the brand to rename"));
        return false;
    }
    const TramoMarca old = *brand;
    const auto name =
        m.askText(this, "Please enter the new name for the brand " + inQuotes(old.name),
                  QString::fromStdString(old.name));
    if (!name || name->toStdString() == old.name) {
        return false;
    }
    const bool ok = run("The brand could not be renamed", [&](quarvex::Connection& con) {
        ReferenceTramos().renameBrand(con, old.id, name->toStdString());
    });
    if (ok) {
        cboMarca_->setCurrentText(*name);
    }
    reload(selectedId_);
    if (ok) {
        m.showStatus(this, "The brand " + inQuotes(old.name) + " is now called " +
                               inQuotes(name->toStdString()));
    }
    return ok;
}

bool frmBDtramos::cmdBorrarMarca_Click() {
    auto& m = services_.messages;
    const TramoMarca* brand = storedBrand();
    if (brand == nullptr) {
        m.showMessage(this, QStringLiteral("Please select the brand to remove"));
        return false;
    }
    const TramoMarca old = *brand;
    int spans = 0;
    if (!run("The span catalogue could not be read",
             [&](quarvex::Connection& con) { spans = ReferenceTramos().spanCount(con, old.id); })) {
        return false;
    }
    if (!m.confirm(this, QStringLiteral("Please confirm that you want to remove the brand %1 "
                                        "with its %2 reference spans ?")
                             .arg(inQuotes(old.name))
                             .arg(spans))) {
        return false;
    }
    const bool ok = run("The brand could not be removed", [&](quarvex::Connection& con) {
        ReferenceTramos().deleteBrand(con, old.id);
    });
    cboMarca_->setCurrentText(QString());
    clearForm();
    reload(0);
    if (ok) {
        m.showStatus(this, "The brand " + inQuotes(old.name) + " was removed");
    }
    return ok;
}

}  // namespace kambrix
