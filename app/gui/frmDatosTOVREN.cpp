// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmDatosTOVREN.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>

#include "design/frequencial_data.h"
#include "gui/agronomic_inputs.h"
#include "gui/widgets/chart_builder.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "gui/widgets/units_view.h"

namespace kambrix {

namespace {

constexpr QSize kPreferredSize(1180, 700);

const char* const kSaveQuestion =
    "Do you want to save the scheduling-model data of the current system?";

}  // namespace

frmDatosTOVREN::frmDatosTOVREN(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services), presenter_(decimalSeparator()) {
    setObjectName("frmDatosTOVREN");
    setWindowTitle(QStringLiteral("Caudal del sistema en base a los resultados del TOVREN"));
    auto& m = services_.messages;
    auto onChange = [this] { changed(); };

    // The scheduling model's years: the grid and their frequency curve.
    auto* fraTOVREN = new QGroupBox(QStringLiteral("Resultados del TOVREN"), this);
    fraTOVREN->setObjectName("fraTOVREN");
    auto* tovren = new QVBoxLayout(fraTOVREN);
    auto* fileRow = new QHBoxLayout;
    auto* cmdImportar = namedButton(fraTOVREN, "cmdImportar", QStringLiteral("Importar fichero…"));
    lblFichero_ = namedLabel(fraTOVREN, "lblFichero", QString());
    lblFichero_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fileRow->addWidget(cmdImportar);
    fileRow->addWidget(lblFichero_, 1);
    tovren->addLayout(fileRow);
    // The file the import reads, in the user's notation.
    auto* lblFormato =
        namedLabel(fraTOVREN, "lblFormato_v",
                   QString::fromStdString(frequencialFileFormat(decimalSeparator())));
    lblFormato->setWordWrap(true);
    lblFormato->setStyleSheet(QStringLiteral("color: #555555;"));
    tovren->addWidget(lblFormato);
    grid_ = new GridView("msfDTOVREN", QStringLiteral("Frecuencia;Qfc(l/s/ha);Año"), fraTOVREN);
    grid_->setMessages(&m);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setMinimumHeight(150);
    tovren->addWidget(grid_, 2);
    chart_ = new QChartView(fraTOVREN);
    chart_->setObjectName("chtFrecuencia");
    chart_->setProperty("SeriesCaptions",
                        QStringLiteral("Frecuencia;Qfc (L/s/ha);Qfc elegido;Año elegido;"
                                       "Importe el fichero de resultados del TOVREN para ver su "
                                       "curva de frecuencias"));
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumHeight(240);
    tovren->addWidget(chart_, 3);

    efficiency_ = new EfficiencyFrame(m, onChange, this);
    auto* cmdCalc = namedButton(this, "cmdCalc", QStringLiteral("Calcular la eficiencia"));

    using In = AgronomicInput;
    auto* fraCaudal = new QGroupBox(QStringLiteral("Caudal del sistema"), this);
    fraCaudal->setObjectName("fraCaudal");
    auto* caudal = new QGridLayout(fraCaudal);
    qfc_ = agronomicBox(fraCaudal, caudal, 0, "txtQfc", "lblQfc",
                        QStringLiteral("Caudal continuo elegido, Qfc"), QStringLiteral("L/s/ha"),
                        In::Qfc, m, onChange);
    area_ = agronomicBox(fraCaudal, caudal, 1, "txtArea", "lblArea",
                         QStringLiteral("Área de la parcela"), QStringLiteral("ha"), In::FieldArea,
                         m, onChange);
    horas_ = agronomicBox(fraCaudal, caudal, 2, "txt_horas", "lblHoras",
                          QStringLiteral("Horas de funcionamiento diarias"),
                          QStringLiteral("h/día"), In::HoursPerDay, m, onChange);
    resultRow(fraCaudal, caudal, 3, "lblCaudal_v", "lblCaudal",
              QStringLiteral("Caudal a suministrar"), QStringLiteral("L/s"),
              resultQuantity(ResultLabel::Caudal));
    auto* cmdCompute =
        namedButton(fraCaudal, "cmd_compute_caudal", QStringLiteral("Calcular el caudal"));
    caudal->addWidget(cmdCompute, 4, 1, 1, 2);
    // The discharge is area · Qfc · 24 / hours: Qfc is the gross continuous discharge.
    auto* lblQfcBruto = namedLabel(
        fraCaudal, "lblQfcBruto",
        QStringLiteral("Qfc se toma como caudal continuo bruto: el caudal a suministrar es "
                       "área · Qfc · 24 / horas, sin aplicarle la eficiencia de aplicación"));
    lblQfcBruto->setWordWrap(true);
    caudal->addWidget(lblQfcBruto, 5, 0, 1, 3);
    caudal->setColumnStretch(0, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(efficiency_);
    auto* calcRow = new QHBoxLayout;
    calcRow->addStretch();
    calcRow->addWidget(cmdCalc);
    right->addLayout(calcRow);
    right->addWidget(fraCaudal);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addWidget(fraTOVREN, 3);
    columns->addLayout(right, 2);

    auto* buttons = new QHBoxLayout;
    auto* lblSistema =
        namedLabel(this, "lblSistema", QString::fromStdString(services_.document.project().nome));
    QFont f = lblSistema->font();
    f.setBold(true);
    lblSistema->setFont(f);
    auto* cmdGuardar = namedButton(this, "cmdGuardar", QStringLiteral("Guardar"));
    auto* command1 = namedButton(this, "Command1", QStringLiteral("Salir"));
    buttons->addWidget(lblSistema);
    buttons->addStretch();
    buttons->addWidget(cmdGuardar);
    buttons->addWidget(command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    addStatusLine(this, layout);

    onSignal(cmdImportar, &QPushButton::clicked, this, m, [this] { cmdImportar_Click(); });
    // A click or the arrow keys choose a year; so does Enter or a double click.
    onSignal(grid_, &QTableWidget::cellClicked, this, m, [this](int row) { chooseRow(row); });
    onSignal(grid_, &QTableWidget::currentCellChanged, this, m, [this](int row, int, int previous) {
        if (row != previous) {
            chooseRow(row);
        }
    });
    onSignal(grid_, &GridView::rowActivated, this, m, [this](int row) { chooseRow(row); });
    onSignal(cmdCalc, &QPushButton::clicked, this, m, [this] { cmdCalc_Click(); });
    onSignal(cmdCompute, &QPushButton::clicked, this, m, [this] { cmd_compute_caudal_Click(); });
    onSignal(cmdGuardar, &QPushButton::clicked, this, m, [this] { save(); });
    onSignal(command1, &QPushButton::clicked, this, services_.messages, [this] { close(); });

    std::vector<QWidget*> order = {cmdImportar, grid_};
    for (QWidget* w : efficiency_->tabOrder()) {
        order.push_back(w);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             cmdCalc, qfc_->box(), area_->box(), horas_->box(), cmdCompute, cmdGuardar, command1}) {
        order.push_back(w);
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }

    // Every box, unit label, result, the grid and the curve show the units chosen.
    captionsFollowUnits(this);
    onUnitsChanged(this, [this] { redrawResultsInUnits(this); });
    translateForm(this, services_.config.languageFile);
    grid_->setTable(presenter_.gridTable());  // with the translated column captions

    TovrenScreen screen;
    try {
        screen = presenter_.open(services_.config.projectsConnectionString,
                                 services_.document.project());
    } catch (...) {
        handleDatabaseError(m, this, "The scheduling-model data of the system could not be read");
        screen = presenter_.open(services_.document.project(), TovrenAgronomics{});
    }
    efficiency_->fill(screen.boxes.epa);
    setBoxText(qfc_, screen.boxes.Qfc);
    setBoxText(area_, screen.boxes.area);
    setBoxText(horas_, screen.boxes.hours);
    ResultTexts shown = presenter_.calculateEfficiency(efficiency_->boxes());
    shown.Caudal = screen.discharge;
    shown.values[static_cast<std::size_t>(ResultLabel::Caudal)].reset();  // the project's
    showResultTexts(this, shown);
    showCurve();
    fitToScreen(this, kPreferredSize);
}

TovrenBoxes frmDatosTOVREN::boxes() const {
    // The presenter reads the stored units.
    TovrenBoxes b;
    b.epa = efficiency_->boxes();
    b.Qfc = qfc_->storedText();
    b.area = area_->storedText();
    b.hours = horas_->storedText();
    return b;
}

bool frmDatosTOVREN::commitBoxes() {
    return efficiency_->commit() && commitAll({qfc_, area_, horas_});
}

void frmDatosTOVREN::changed() {
    dirty_ = true;
    // The results follow the data; the commands name what is missing.
    ResultTexts shown = presenter_.calculateEfficiency(efficiency_->boxes());
    const ResultTexts discharge = presenter_.computeDischarge(boxes());
    shown.Caudal = discharge.Caudal;
    shown.values[static_cast<std::size_t>(ResultLabel::Caudal)] =
        discharge.value(ResultLabel::Caudal);
    showResultTexts(this, shown);
    showCurve();
}

void frmDatosTOVREN::showCurve() {
    const FrequencyPlot plot = presenter_.frequencyPlot(qfc_->storedText());
    const QStringList names = captionList(chart_, "SeriesCaptions");
    if (plot.curve.empty()) {
        // Until a file is read the chart says what fills it.
        replaceChart(chart_, ChartBuilder().title(names.value(4)));
        return;
    }
    ChartBuilder chart;
    chart.xAxis(names.value(0), QStringLiteral("0"))
        .yAxis(names.value(1), QStringLiteral("0.00"))
        .line(names.value(1), plot.curve);
    if (plot.qfc) {
        chart.horizontalLine(*plot.qfc, names.value(2));
    }
    if (!plot.chosen.empty()) {
        chart.points(names.value(3), plot.chosen);
    }
    replaceChart(chart_, chart);
}

void frmDatosTOVREN::cmdImportar_Click() {
    const QString path = services_.messages.openFileName(
        this, QStringLiteral("Open the results of the scheduling model"),
        QString::fromLatin1(TovrenPresenter::kFileFilter));
    if (!path.isEmpty()) {
        importFile(path);
    }
}

void frmDatosTOVREN::importFile(const QString& path) {
    const ImportOutcome out = presenter_.importFile(std::filesystem::path(path.toStdString()));
    if (!out.imported) {
        services_.messages.showMessage(this, QString::fromStdString(out.message.value_or("")),
                                       QString::fromStdString(out.detail));
        return;
    }
    {
        const QSignalBlocker quiet(grid_);
        grid_->setTable(presenter_.gridTable());
    }
    const QString name = QFileInfo(path).fileName();
    lblFichero_->setText(name);
    lblFichero_->setToolTip(path);
    showCurve();
    services_.messages.showStatus(
        this,
        QStringLiteral("%1 years were read from '%2'").arg(presenter_.records().size()).arg(name));
}

void frmDatosTOVREN::chooseRow(int row) {
    if (row < 0) {
        return;
    }
    const auto text = presenter_.qfcOfRow(static_cast<std::size_t>(row));
    if (!text || qfc_->storedText() == *text) {
        return;
    }
    setBoxText(qfc_, *text);
    changed();
}

void frmDatosTOVREN::cmdCalc_Click() {
    if (!efficiency_->commit()) {
        return;
    }
    const ResultTexts r = presenter_.calculateEfficiency(efficiency_->boxes());
    showCommandResult(this, services_.messages, r);
}

void frmDatosTOVREN::cmd_compute_caudal_Click() {
    if (!commitBoxes()) {
        return;
    }
    const ResultTexts r = presenter_.computeDischarge(boxes());
    showCommandResult(this, services_.messages, r);
}

bool frmDatosTOVREN::save() {
    if (!commitBoxes()) {
        return false;
    }
    const bool saved = saveAgronomicScreen(
        this, services_.messages,
        [this] {
            return presenter_.save(services_.config.projectsConnectionString, services_.document,
                                   boxes());
        },
        "The scheduling-model data could not be saved",
        QStringLiteral("The scheduling-model data of the system '%1' were saved")
            .arg(QString::fromStdString(services_.document.project().nome)));
    if (saved) {
        dirty_ = false;
    }
    return saved;
}

void frmDatosTOVREN::closeEvent(QCloseEvent* event) {
    closeAskingToSave(event, services_.messages, this, dirty_, QString::fromLatin1(kSaveQuestion),
                      [this] { return save(); });
}

}  // namespace kambrix
