// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmBDasp.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <cmath>

#include "gui/app_context.h"
#include "shell/services.h"

namespace kambrix {

namespace {

// Points of the drawn discharge curve.
constexpr int kCurvePoints = 41;

QString catalogueMessage(std::int32_t number) {
    using namespace quarvex::errc;
    if (number == MissingAsperorDataException) {
        return QStringLiteral(
            "The nozzle data are incomplete: it needs a name, and a, b, minimum and maximum "
            "pressure and minimum and maximum discharge greater than 0");
    }
    if (number == ModeloMissingNameException) {
        return QStringLiteral("The model needs a name");
    }
    if (number == MarcaIsNewRecordException) {
        return QStringLiteral("The brand of the model must be saved before the model");
    }
    if (number == MarcaMissingNameException) {
        return QStringLiteral("The brand needs a name");
    }
    return {};
}

QLineEdit* edit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setAlignment(Qt::AlignRight);
    return e;
}

}  // namespace

frmBDasp::frmBDasp(QWidget* parent) : QWidget(parent) {
    setObjectName("frmBDasp");
    setWindowTitle(QStringLiteral("Catálogo de aspersores"));
    auto* layout = new QGridLayout(this);

    auto* fraCatalogo = new QGroupBox(QStringLiteral("Catálogo"), this);
    fraCatalogo->setObjectName("fraCatalogo");
    auto* cat = new QGridLayout(fraCatalogo);
    auto* lblMarca = new QLabel(QStringLiteral("Marca"), fraCatalogo);
    lblMarca->setObjectName("lblMarca");
    cboMarca_ = new QComboBox(fraCatalogo);
    cboMarca_->setObjectName("cboMarca");
    cboMarca_->setEditable(true);
    cboMarca_->setInsertPolicy(QComboBox::NoInsert);
    auto* lblModelo = new QLabel(QStringLiteral("Modelo"), fraCatalogo);
    lblModelo->setObjectName("lblModelo");
    cboModelo_ = new QComboBox(fraCatalogo);
    cboModelo_->setObjectName("cboModelo");
    cboModelo_->setEditable(true);
    cboModelo_->setInsertPolicy(QComboBox::NoInsert);
    cat->addWidget(lblMarca, 0, 0);
    cat->addWidget(cboMarca_, 0, 1);
    cat->addWidget(lblModelo, 1, 0);
    cat->addWidget(cboModelo_, 1, 1);
    grdBoquillas_ = new QTableWidget(fraCatalogo);
    grdBoquillas_->setObjectName("grdBoquillas");
    grdBoquillas_->setProperty("ColumnCaptions",
                               QStringLiteral("Boquilla;a;b;pmin (kPa);pmax (kPa);qmin (l/s);"
                                              "qmax (l/s)"));
    grdBoquillas_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdBoquillas_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdBoquillas_->setSelectionMode(QAbstractItemView::SingleSelection);
    grdBoquillas_->verticalHeader()->setVisible(false);
    grdBoquillas_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdBoquillas_->horizontalHeader()->setStretchLastSection(true);
    cat->addWidget(grdBoquillas_, 2, 0, 1, 2);
    layout->addWidget(fraCatalogo, 0, 0, 2, 1);

    auto* fraBoquilla = new QGroupBox(QStringLiteral("Boquilla"), this);
    fraBoquilla->setObjectName("fraBoquilla");
    auto* form = new QGridLayout(fraBoquilla);
    txtBoquilla_ = new QLineEdit(fraBoquilla);
    txtBoquilla_->setObjectName("txtBoquilla");
    txtA_ = edit(fraBoquilla, "txtA");
    txtB_ = edit(fraBoquilla, "txtB");
    txtPmin_ = edit(fraBoquilla, "txtPmin");
    txtPmax_ = edit(fraBoquilla, "txtPmax");
    txtQmin_ = edit(fraBoquilla, "txtQmin");
    txtQmax_ = edit(fraBoquilla, "txtQmax");
    const std::vector<std::pair<const char*, QString>> labels = {
        {"lblBoquilla", QStringLiteral("Denominación")},
        {"lblA", QStringLiteral("Coeficiente a")},
        {"lblB", QStringLiteral("Exponente b")},
        {"lblPmin", QStringLiteral("Presión mínima (kPa)")},
        {"lblPmax", QStringLiteral("Presión máxima (kPa)")},
        {"lblQmin", QStringLiteral("Caudal mínimo (l/s)")},
        {"lblQmax", QStringLiteral("Caudal máximo (l/s)")}};
    const std::vector<QLineEdit*> boxes = {txtBoquilla_, txtA_,    txtB_,   txtPmin_,
                                           txtPmax_,     txtQmin_, txtQmax_};
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        auto* l = new QLabel(labels[i].second, fraBoquilla);
        l->setObjectName(labels[i].first);
        form->addWidget(l, i, 0);
        form->addWidget(boxes[i], i, 1);
        connect(boxes[i], &QLineEdit::editingFinished, this, [this] { drawCurve(); });
    }
    auto* cmdGuardar = new QPushButton(QStringLiteral("Guardar boquilla"), fraBoquilla);
    cmdGuardar->setObjectName("cmdGuardar");
    form->addWidget(cmdGuardar, static_cast<int>(boxes.size()), 1);
    layout->addWidget(fraBoquilla, 0, 1);

    chtCurva_ = new QChartView(this);
    chtCurva_->setObjectName("chtCurva");
    chtCurva_->setProperty("SeriesCaptions",
                           QStringLiteral("Caudal (l/s);Presión (kPa);Curva q = a·p^b"));
    chtCurva_->setRenderHint(QPainter::Antialiasing);
    chtCurva_->setMinimumSize(420, 300);
    layout->addWidget(chtCurva_, 1, 1);

    auto* cmdSalir = new QPushButton(QStringLiteral("Salir"), this);
    cmdSalir->setObjectName("cmdSalir");
    layout->addWidget(cmdSalir, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);

    connect(cboMarca_, &QComboBox::currentTextChanged, this, [this] { brandChosen(); });
    connect(cboModelo_, &QComboBox::currentTextChanged, this, [this] { showNozzles(); });
    connect(grdBoquillas_, &QTableWidget::currentCellChanged, this,
            [this](int row) { nozzleChosen(row); });
    connect(cmdGuardar, &QPushButton::clicked, this, [this] { cmdGuardar_Click(); });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);

    translateForm(this, app().config.languageFile);
    reload();
    resize(1180, 720);
}

void frmBDasp::reload() {
    const QString brand = cboMarca_->currentText();
    const QString model = cboModelo_->currentText();
    auto& catalogue = quarvex::statics().Aspersores();
    const std::string& cs = app().config.asperConnectionString;
    try {
        marcas_ = catalogue.MarcasAll(cs);
        modelos_ = catalogue.ModelosAll(cs);
        aspersores_ = catalogue.find(cs);
    } catch (const quarvex::Error& e) {
        showUnexpectedError(this, e);
    }
    cboMarca_->blockSignals(true);
    cboMarca_->clear();
    marcas_.ForEach(
        [&](const quarvex::marca& m) { cboMarca_->addItem(QString::fromStdString(m.nome)); });
    cboMarca_->setCurrentIndex(brand.isEmpty() ? 0 : cboMarca_->findText(brand));
    if (cboMarca_->currentIndex() < 0) {
        cboMarca_->setEditText(brand);
    }
    cboMarca_->blockSignals(false);
    brandChosen();
    if (!model.isEmpty()) {
        cboModelo_->setCurrentText(model);
    }
}

void frmBDasp::brandChosen() {
    const std::string brand = cboMarca_->currentText().toStdString();
    cboModelo_->blockSignals(true);
    cboModelo_->clear();
    modelos_.ForEach([&](const quarvex::modelo& m) {
        if (m.marca.nome == brand) {
            cboModelo_->addItem(QString::fromStdString(m.nome));
        }
    });
    cboModelo_->blockSignals(false);
    showNozzles();
}

void frmBDasp::showNozzles() {
    const std::string brand = cboMarca_->currentText().toStdString();
    const std::string model = cboModelo_->currentText().toStdString();
    shown_.clear();
    aspersores_.ForEach([&](const std::shared_ptr<quarvex::Aspersor>& a) {
        if (a->marca().nome == brand && a->modelo().nome == model) {
            shown_.push_back(a);
        }
    });
    const QStringList captions = captionList(grdBoquillas_, "ColumnCaptions");
    grdBoquillas_->clear();
    grdBoquillas_->setColumnCount(static_cast<int>(captions.size()));
    grdBoquillas_->setHorizontalHeaderLabels(captions);
    grdBoquillas_->setRowCount(static_cast<int>(shown_.size()));
    for (int r = 0; r < static_cast<int>(shown_.size()); ++r) {
        const auto& a = *shown_[r];
        const QStringList cells = {QString::fromStdString(a.nome()), displayNumber(a.aValue(), 6),
                                   displayNumber(a.bValue(), 3),     displayNumber(a.pmin(), 0),
                                   displayNumber(a.pmax(), 0),       displayNumber(a.qmin(), 4),
                                   displayNumber(a.qmax(), 4)};
        for (int c = 0; c < cells.size(); ++c) {
            grdBoquillas_->setItem(r, c, new QTableWidgetItem(cells[c]));
        }
    }
    if (!shown_.empty()) {
        grdBoquillas_->setCurrentCell(0, 0);
        nozzleChosen(0);
    }
}

void frmBDasp::nozzleChosen(int row) {
    if (row < 0 || row >= static_cast<int>(shown_.size())) {
        return;
    }
    const auto& a = *shown_[row];
    txtBoquilla_->setText(QString::fromStdString(a.nome()));
    txtA_->setText(displayNumber(a.aValue(), 6));
    txtB_->setText(displayNumber(a.bValue(), 3));
    txtPmin_->setText(displayNumber(a.pmin(), 0));
    txtPmax_->setText(displayNumber(a.pmax(), 0));
    txtQmin_->setText(displayNumber(a.qmin(), 4));
    txtQmax_->setText(displayNumber(a.qmax(), 4));
    drawCurve();
}

void frmBDasp::drawCurve() {
    const QStringList names = captionList(chtCurva_, "SeriesCaptions");
    auto* chart = new QChart;
    chart->legend()->hide();
    const double a = controlNumber(txtA_, 0);
    const double b = controlNumber(txtB_, 0);
    const double pmin = controlNumber(txtPmin_, 0);
    const double pmax = controlNumber(txtPmax_, 0);
    if (a > 0 && b > 0 && pmin > 0 && pmax > pmin) {
        auto* series = new QLineSeries;
        series->setName(names.value(2));
        for (int i = 0; i < kCurvePoints; ++i) {
            const double p = pmin + (pmax - pmin) * i / (kCurvePoints - 1);
            series->append(p, quarvex::dischargeLaw(a, b, p));
        }
        chart->addSeries(series);
        auto* axisX = new QValueAxis;
        axisX->setTitleText(names.value(1));
        auto* axisY = new QValueAxis;
        axisY->setTitleText(names.value(0));
        chart->addAxis(axisX, Qt::AlignBottom);
        chart->addAxis(axisY, Qt::AlignLeft);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
        axisX->setRange(pmin, pmax);
        axisY->applyNiceNumbers();
        chart->setTitle(txtBoquilla_->text());
    }
    chtCurva_->setChart(chart);
}

bool frmBDasp::cmdGuardar_Click() {
    auto& catalogue = quarvex::statics().Aspersores();
    quarvex::modelo model;
    model.nome = trim(cboModelo_->currentText().toStdString());
    model.marca.nome = trim(cboMarca_->currentText().toStdString());
    marcas_.ForEach([&](const quarvex::marca& m) {
        if (m.nome == model.marca.nome) {
            model.marca = m;
        }
    });
    modelos_.ForEach([&](const quarvex::modelo& m) {
        if (m.nome == model.nome && m.marca.nome == model.marca.nome) {
            model.id = m.id;
            model.marca_id = m.marca_id;
        }
    });
    try {
        auto nozzle = catalogue.newAspersor(
            txtBoquilla_->text().toStdString(), controlNumber(txtA_, 0), controlNumber(txtB_, 0),
            controlNumber(txtPmin_, 0), controlNumber(txtPmax_, 0), controlNumber(txtQmin_, 0),
            controlNumber(txtQmax_, 0), model);
        catalogue.save(app().config.asperConnectionString, *nozzle);
    } catch (const quarvex::Error& e) {
        const QString message = catalogueMessage(e.number());
        showMessage(this, message.isEmpty() ? QString::fromStdString(e.what()) : message);
        return false;
    }
    reload();
    return true;
}

}  // namespace kambrix
