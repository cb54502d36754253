// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmBDtramos.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "gui/app_context.h"
#include "shell/services.h"

namespace kambrix {

namespace {

QString catalogueMessage(std::int32_t number) {
    if (number == errc::ReferenceTramoIncomplete) {
        return QStringLiteral(
            "The reference span is incomplete: it needs a name, a length, a pipe diameter and "
            "an outlet spacing other than 0");
    }
    if (number == errc::ReferenceTramoExists) {
        return QStringLiteral("There is already a reference span with that name");
    }
    if (number == errc::TramoMarcaMissingName) {
        return QStringLiteral("The brand needs a name");
    }
    return {};
}

}  // namespace

frmBDtramos::frmBDtramos(QWidget* parent) : QWidget(parent) {
    setObjectName("frmBDtramos");
    setWindowTitle(QStringLiteral("Catálogo de tramos"));
    auto* layout = new QGridLayout(this);

    grdTramos_ = new QTableWidget(this);
    grdTramos_->setObjectName("grdTramos");
    grdTramos_->setProperty("ColumnCaptions",
                            QStringLiteral("Denominación;Marca;Longitud (m);Diámetro (mm);"
                                           "Separación de salidas (cm)"));
    grdTramos_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdTramos_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdTramos_->verticalHeader()->setVisible(false);
    grdTramos_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    layout->addWidget(grdTramos_, 0, 0, 2, 1);

    auto* fraTramo = new QGroupBox(QStringLiteral("Nuevo tramo"), this);
    fraTramo->setObjectName("fraTramo");
    auto* form = new QGridLayout(fraTramo);
    cboMarca_ = new QComboBox(fraTramo);
    cboMarca_->setObjectName("cboMarca");
    cboMarca_->setEditable(true);
    cboMarca_->setInsertPolicy(QComboBox::NoInsert);
    txtDenominacion_ = new QLineEdit(fraTramo);
    txtDenominacion_->setObjectName("txtDenominacion");
    txtLongitud_ = new QLineEdit(fraTramo);
    txtLongitud_->setObjectName("txtLongitud");
    txtDiametro_ = new QLineEdit(fraTramo);
    txtDiametro_->setObjectName("txtDiametro");
    txtSeparacion_ = new QLineEdit(fraTramo);
    txtSeparacion_->setObjectName("txtSeparacion");
    const std::vector<std::pair<const char*, QString>> labels = {
        {"lblMarca", QStringLiteral("Marca")},
        {"lblDenominacion", QStringLiteral("Denominación")},
        {"lblLongitud", QStringLiteral("Longitud (m)")},
        {"lblDiametro", QStringLiteral("Diámetro interior (mm)")},
        {"lblSeparacion", QStringLiteral("Separación de salidas (cm)")}};
    const std::vector<QWidget*> boxes = {cboMarca_, txtDenominacion_, txtLongitud_, txtDiametro_,
                                         txtSeparacion_};
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        auto* l = new QLabel(labels[i].second, fraTramo);
        l->setObjectName(labels[i].first);
        form->addWidget(l, i, 0);
        form->addWidget(boxes[i], i, 1);
    }
    auto* cmdGuardarMarca = new QPushButton(QStringLiteral("Guardar marca"), fraTramo);
    cmdGuardarMarca->setObjectName("cmdGuardarMarca");
    auto* cmdGuardar = new QPushButton(QStringLiteral("Guardar tramo"), fraTramo);
    cmdGuardar->setObjectName("cmdGuardar");
    form->addWidget(cmdGuardarMarca, static_cast<int>(boxes.size()), 0);
    form->addWidget(cmdGuardar, static_cast<int>(boxes.size()), 1);
    layout->addWidget(fraTramo, 0, 1);

    auto* cmdSalir = new QPushButton(QStringLiteral("Salir"), this);
    cmdSalir->setObjectName("cmdSalir");
    layout->addWidget(cmdSalir, 1, 1, Qt::AlignRight | Qt::AlignBottom);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);

    connect(cmdGuardar, &QPushButton::clicked, this, [this] { cmdGuardar_Click(); });
    connect(cmdGuardarMarca, &QPushButton::clicked, this, [this] { cmdGuardarMarca_Click(); });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);

    translateForm(this, app().config.languageFile);
    reload();
    resize(1100, 620);
}

bool frmBDtramos::run(const std::function<void(quarvex::Connection&)>& work) {
    try {
        quarvex::Connection con(app().config.tramosConnectionString);
        con.Open();
        work(con);
        con.Close();
        return true;
    } catch (const std::runtime_error&) {
        const ErrorReport r = describeCurrentError();
        if (r.source != ErrorSource::Program && r.source != ErrorSource::Library) {
            throw;
        }
        const QString message = catalogueMessage(r.number);
        showMessage(this, message.isEmpty() ? QString::fromStdString(userMessage(r)) : message);
        return false;
    }
}

void frmBDtramos::reload() {
    quarvex::Collection<ReferenceTramo> all;
    run([&](quarvex::Connection& con) {
        ReferenceTramos store;
        marcas_ = store.allBrands(con);
        all = store.allReferenceTramos(con);
    });
    const QString brand = cboMarca_->currentText();
    cboMarca_->clear();
    marcas_.ForEach(
        [&](const TramoMarca& m) { cboMarca_->addItem(QString::fromStdString(m.name)); });
    cboMarca_->setCurrentText(brand);
    const QStringList captions = captionList(grdTramos_, "ColumnCaptions");
    grdTramos_->clear();
    grdTramos_->setColumnCount(static_cast<int>(captions.size()));
    grdTramos_->setHorizontalHeaderLabels(captions);
    grdTramos_->setRowCount(all.Count());
    for (int r = 1; r <= all.Count(); ++r) {
        const auto& t = all.Item(r);
        const QStringList cells = {QString::fromStdString(t.denominacion),
                                   QString::fromStdString(t.marca.name),
                                   displayNumber(t.longitud, 2), displayNumber(t.diametro, 1),
                                   displayNumber(t.separacion_saidas, 0)};
        for (int c = 0; c < cells.size(); ++c) {
            grdTramos_->setItem(r - 1, c, new QTableWidgetItem(cells[c]));
        }
    }
}

bool frmBDtramos::cmdGuardarMarca_Click() {
    TramoMarca marca{trim(cboMarca_->currentText().toStdString()), 0};
    if (marcas_.Contains(marca.name)) {
        showMessage(this, QStringLiteral("That brand is already in the catalogue"));
        return false;
    }
    const bool ok = run([&](quarvex::Connection& con) { ReferenceTramos().saveBrand(con, marca); });
    reload();
    return ok;
}

bool frmBDtramos::cmdGuardar_Click() {
    ReferenceTramo tramo;
    tramo.denominacion = trim(txtDenominacion_->text().toStdString());
    tramo.longitud = controlNumber(txtLongitud_, 0);
    tramo.diametro = controlNumber(txtDiametro_, 0);
    tramo.separacion_saidas = controlNumber(txtSeparacion_, 0);
    tramo.marca.name = trim(cboMarca_->currentText().toStdString());
    if (const auto* known = marcas_.Find(tramo.marca.name)) {
        tramo.marca = *known;
    }
    const bool ok =
        run([&](quarvex::Connection& con) { ReferenceTramos().saveReferenceTramo(con, tramo); });
    if (ok) {
        for (auto* box : {txtDenominacion_, txtLongitud_, txtDiametro_, txtSeparacion_}) {
            box->clear();
        }
        reload();
    }
    return ok;
}

}  // namespace kambrix
