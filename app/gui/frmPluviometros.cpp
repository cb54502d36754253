// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmPluviometros.h"

#include "gui/widgets/units_view.h"
#include "shell/unit_captions.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QFormLayout>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <algorithm>
#include <functional>
#include <set>

#include "design/workbench_prompts.h"
#include "evaluation/evaluation_list.h"
#include "evaluation/evaluation_report.h"
#include "evaluation/evaluation_store.h"
#include "gui/widgets/chart_builder.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_box.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/report_output.h"
#include "gui/widgets/translation.h"
#include "report/report_renderer.h"
#include "shell/errors.h"
#include "shell/text.h"

namespace kambrix {

namespace {

constexpr QSize kPreferredSize(1340, 740);
// The plot as the report draws it: laid out at this size (screen pixels), then scaled into
// the report's box; drawn at three times the pixels so the print stays sharp.
constexpr double kPlotLayoutWidth = 760;
constexpr double kPlotPixelRatio = 3;
constexpr double kLargestCanDiameter_cm = 100;

const QColor kLeftOutColour(0xf8, 0xd0, 0xd0);
const QColor kDepartsColour(0xff, 0xe0, 0x8a);
const QColor kRadiusColours[2] = {QColor(0x1f, 0x5f, 0xa8), QColor(0x2e, 0x7d, 0x32)};
const QColor kDepartingColour(0xc6, 0x28, 0x28);
const QColor kDesignedColour(0x6a, 0x1b, 0x9a);
const QColor kLowZoneColour(0xe5, 0x39, 0x35, 50);
const QColor kHighZoneColour(0x1e, 0x88, 0xe5, 50);
const QColor kSuspectColour(0x00, 0x00, 0x00);
// A zone of one can is drawn this wide on each side of it, m.
constexpr double kZonePad_m = 2.0;

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QTableWidgetItem* itemAt(QTableWidget* grid, int row, int column) {
    QTableWidgetItem* item = grid->item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    return item;
}

// Draws the chart, laid out at `size`, into the box of the painter's device.
void renderChart(QChart* chart, QPainter& painter, const QRectF& box) {
    const QSizeF size(kPlotLayoutWidth, kPlotLayoutWidth * box.height() / box.width());
    QGraphicsScene scene;
    scene.addItem(chart);  // the scene deletes it
    chart->setBackgroundRoundness(0);
    chart->resize(size);
    chart->layout()->activate();
    QImage image((size * kPlotPixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPlotPixelRatio);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        scene.render(&p, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
    }
    painter.drawImage(box, image);
}

}  // namespace

// Opening the linked chart may say things (a chart that did not settle); the panel shows
// what matters, so nothing here interrupts the user.
class frmPluviometros::QuietPrompts : public WorkbenchPrompts {
  public:
    void message(const std::string&) override {}
    bool confirm(const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

frmPluviometros::frmPluviometros(const AppServices& services,
                                 const quarvex::PivotEvaluation& evaluation, QWidget* parent)
    : QWidget(parent),
      services_(services),
      session_(evaluation),
      prompts_(std::make_unique<QuietPrompts>()),
      presenter_(std::make_unique<EvaluationDiagnosisPresenter>(
          WorkbenchDatabases::from(services.config), *prompts_)) {
    setObjectName("frmPluviometros");
    try {
        session_.loadStoredConditions(services_.config.projectsConnectionString);
    } catch (...) {
        handleDatabaseError(services_.messages, this,
                            "The test conditions of " + session_.name() + " could not be read");
    }
    setWindowTitle(QStringLiteral("Evaluación con pluviómetros"));
    auto& m = services_.messages;

    // The evaluation and its can.
    auto* head = new QHBoxLayout;
    auto* lblNombre = namedLabel(this, "lblNombre", qs(session_.name()));
    QFont bold = lblNombre->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lblNombre->setFont(bold);
    lblNombre->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* lblDiametro =
        namedLabel(this, "lblDiametro", QStringLiteral("Diámetro de la boca del pluviómetro"));
    auto* txtDiametro = namedEdit(this, "txtDiametro");
    lblDiametro->setBuddy(txtDiametro);
    auto* lblDiametroU = namedLabel(this, "lblDiametro_u", QStringLiteral("cm"));
    unitLabel(lblDiametroU, Quantity::CanDiameter);
    head->addWidget(lblNombre);
    head->addStretch();
    head->addWidget(lblDiametro);
    head->addWidget(txtDiametro);
    head->addWidget(lblDiametroU);
    diameter_ = new NumberBox(txtDiametro, NumberRange{0, kLargestCanDiameter_cm, true},
                              QStringLiteral("the can diameter"), /*allowBlank=*/true, m,
                              [this] { diameterAccepted(); });
    diameter_->setQuantity(Quantity::CanDiameter);
    if (const auto d = session_.canDiameter_cm()) {
        diameter_->setExactValue(*d);
    }

    // The two radii, side by side, each with its row commands.
    auto* radii = new QHBoxLayout;
    const char* frames[] = {"fraRadio1", "fraRadio2"};
    const QString titles[] = {QStringLiteral("1er radio"), QStringLiteral("2º radio")};
    const char* gridNames[] = {"grdRadio1", "grdRadio2"};
    const char* countNames[] = {"lblCuenta1", "lblCuenta2"};
    const char* commandNames[][5] = {
        {"cmdAgregar1", "cmdInsertar1", "cmdEliminar1", "cmdLimpiar1", "cmdOrdenar1"},
        {"cmdAgregar2", "cmdInsertar2", "cmdEliminar2", "cmdLimpiar2", "cmdOrdenar2"}};
    const QString commandCaptions[] = {QStringLiteral("Añadir fila"),
                                       QStringLiteral("Insertar fila"),
                                       QStringLiteral("Eliminar filas"), QStringLiteral("Vaciar"),
                                       QStringLiteral("Ordenar por distancia")};
    for (Radius radius : {Radius::First, Radius::Second}) {
        const std::size_t i = index(radius);
        auto* frame = new QGroupBox(titles[i], this);
        frame->setObjectName(frames[i]);
        auto* box = new QVBoxLayout(frame);
        // The readings: Ctrl+V pastes spreadsheet cells, Ctrl+C copies the selected cells and
        // Ctrl+Z takes back the last edit.
        auto* grid = new GridView(gridNames[i],
                                  QStringLiteral("Position;V(j) (ml);S(j) (m);D(j) (mm)"), frame);
        grid->setMessages(&m);
        grid->setColumnCount(4);
        grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        grid->setMinimumWidth(300);
        grid->setEditable({[this, radius] { pasteText(radius, QApplication::clipboard()->text()); },
                           [this, radius] {
                               const QString text = selectionText(radius);
                               if (!text.isEmpty()) {
                                   QApplication::clipboard()->setText(text);
                               }
                           },
                           [this] { undo(); }});
        onSignal(grid, &QTableWidget::itemChanged, this, m, [this, radius](QTableWidgetItem* item) {
            cellEdited(radius, item->row(), item->column());
        });
        grids_[i] = grid;
        box->addWidget(grid, 1);
        counts_[i] = namedLabel(frame, countNames[i], QString());
        counts_[i]->setWordWrap(true);
        box->addWidget(counts_[i]);

        auto* commands = new QGridLayout;
        const std::function<void()> actions[] = {
            [this, radius] { addRow(radius); }, [this, radius] { insertRow(radius); },
            [this, radius] { deleteRows(radius); }, [this, radius] { clearRows(radius); },
            [this, radius] { sortRows(radius); }};
        for (int c = 0; c < 5; ++c) {
            auto* b = namedButton(frame, commandNames[i][c], commandCaptions[c]);
            onSignal(b, &QPushButton::clicked, this, m, actions[c]);
            commands->addWidget(b, c / 3, c % 3, 1, c == 4 ? 2 : 1);
        }
        box->addLayout(commands);
        radii->addWidget(frame, 1);
    }

    // The results, the band of the CU, and the plot.
    auto* right = new QVBoxLayout;
    auto* fraResultados = new QGroupBox(QStringLiteral("Resultados"), this);
    fraResultados->setObjectName("fraResultados");
    auto* resultsBox = new QVBoxLayout(fraResultados);
    results_ =
        new GridView("grdResultados", QStringLiteral("Resultado;1er radio;2º radio;Ambos radios"),
                     fraResultados);
    results_->setMessages(&m);
    results_->setWordWrap(true);
    results_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    resultsBox->addWidget(results_, 1);
    lblBanda_ = namedLabel(fraResultados, "lblBanda", QString());
    lblBanda_->setWordWrap(true);
    lblBanda_->setMargin(4);
    resultsBox->addWidget(lblBanda_);

    // The test's conditions and the chart it tests.
    auto* fraCondiciones = new QWidget(this);
    fraCondiciones->setObjectName("fraCondiciones");
    auto* form = new QFormLayout(fraCondiciones);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    cmbCarta_ = new QComboBox(fraCondiciones);
    cmbCarta_->setObjectName("cmbCarta");
    cmbCarta_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbCarta_->setMinimumContentsLength(24);
    form->addRow(namedLabel(fraCondiciones, "lblCarta", QStringLiteral("Carta de aspersores")),
                 cmbCarta_);
    auto textRow = [&](const char* label, const char* name, const QString& caption) {
        auto* box = namedEdit(fraCondiciones, name, false);
        form->addRow(namedLabel(fraCondiciones, label, caption), box);
        onSignal(box, &QLineEdit::editingFinished, this, m, [this] { conditionsEdited(); });
        return box;
    };
    auto numberRow = [&](const char* label, const char* name, const QString& caption,
                         const NumberRange& range, const QString& what) {
        auto* box = namedEdit(fraCondiciones, name);
        form->addRow(namedLabel(fraCondiciones, label, caption), box);
        return new NumberBox(box, range, what, /*allowBlank=*/true, m,
                             [this] { conditionsEdited(); });
    };
    namespace cr = condition_ranges;
    txtFecha_ = textRow("lblFecha", "txtFecha", QStringLiteral("Fecha"));
    txtHora_ = textRow("lblHora", "txtHora", QStringLiteral("Hora de inicio"));
    duracion_ = numberRow("lblDuracion", "txtDuracion", QStringLiteral("Duración (h)"),
                          cr::kDuration, QStringLiteral("the duration of the test (h)"));
    temporizador_ =
        numberRow("lblTemporizador", "txtTemporizador", QStringLiteral("Temporizador (%)"),
                  cr::kTimer, QStringLiteral("the timer setting (%)"));
    viento_ = numberRow("lblViento", "txtViento", QStringLiteral("Viento (m/s)"), cr::kWindSpeed,
                        QStringLiteral("the wind speed (m/s)"));
    txtDireccion_ = textRow("lblDireccion", "txtDireccion", QStringLiteral("Dirección del viento"));
    temperatura_ =
        numberRow("lblTemperatura", "txtTemperatura", QStringLiteral("Temperatura del aire (°C)"),
                  cr::kAirTemperature, QStringLiteral("the air temperature (°C)"));
    presion_ = numberRow("lblPresionMedida", "txtPresionMedida",
                         QStringLiteral("Presión medida en el pivote (kPa)"), cr::kPivotPressure,
                         QStringLiteral("the pressure measured at the pivot"));
    caudal_ = numberRow("lblCaudalMedido", "txtCaudalMedido",
                        QStringLiteral("Caudal medido en el pivote (L/s)"), cr::kPivotDischarge,
                        QStringLiteral("the discharge measured at the pivot"));
    espaciado_ = numberRow("lblEspaciado", "txtEspaciado",
                           QStringLiteral("Separación de los pluviómetros (m)"), cr::kCanSpacing,
                           QStringLiteral("the can spacing"));
    txtNotas_ = textRow("lblNotas", "txtNotas", QStringLiteral("Notas"));
    presion_->setQuantity(Quantity::Pressure);
    caudal_->setQuantity(Quantity::Discharge);
    espaciado_->setQuantity(Quantity::Length);
    onSignal(cmbCarta_, &QComboBox::activated, this, m, [this](int) { conditionsEdited(); });

    // The diagnosis.
    auto* fraDiagnostico = new QWidget(this);
    fraDiagnostico->setObjectName("fraDiagnostico");
    auto* diagBox = new QVBoxLayout(fraDiagnostico);
    auto* options = new QHBoxLayout;
    chkSinCanon_ = new QCheckBox(QStringLiteral("Sin cañón final"), fraDiagnostico);
    chkSinCanon_->setObjectName("chkSinCanon");
    chkSuavizado_ =
        new QCheckBox(QStringLiteral("Media móvil de tres pluviómetros"), fraDiagnostico);
    chkSuavizado_->setObjectName("chkSuavizado");
    options->addWidget(chkSinCanon_);
    options->addWidget(chkSuavizado_);
    options->addStretch();
    diagBox->addLayout(options);
    lblDiagnostico_ = namedLabel(fraDiagnostico, "lblDiagnostico", QString());
    lblDiagnostico_->setWordWrap(true);
    lblDiagnostico_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblDiagnostico_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* scroll = new QScrollArea(fraDiagnostico);
    scroll->setWidgetResizable(true);
    scroll->setWidget(lblDiagnostico_);
    diagBox->addWidget(scroll, 3);
    antesDespues_ = new GridView("grdAntesDespues", QStringLiteral("Pluviómetros;UD (%);CU (%)"),
                                 fraDiagnostico);
    antesDespues_->setMessages(&m);
    antesDespues_->setWordWrap(true);
    diagBox->addWidget(antesDespues_, 2);
    for (auto* chk : {chkSinCanon_, chkSuavizado_}) {
        onSignal(chk, &QCheckBox::toggled, this, m, [this](bool) {
            refreshDiagnosis();
            refreshPlot();
        });
    }

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("tabEvaluacion");
    tabs->addTab(fraResultados, fraResultados->title());
    tabs->addTab(fraCondiciones, QStringLiteral("Condiciones del ensayo"));
    tabs->addTab(fraDiagnostico, QStringLiteral("Diagnóstico"));
    right->addWidget(tabs, 4);
    chart_ = new QChartView(this);
    chart_->setObjectName("chtProfundidades");
    onUnitsChanged(this, [this] { refresh(); });
    chart_->setProperty(
        "SeriesCaptions",
        QStringLiteral("Distancia al punto pivote (m);Lámina (mm);1er radio;2º radio;Lámina media;"
                       "Banda ± 20 %;A más del 20 %;"
                       "Introduzca el diámetro del pluviómetro y las lecturas para ver el "
                       "gráfico;Lámina de la carta;Zona baja;Zona alta;Salidas sospechosas"));
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumHeight(260);
    right->addWidget(chart_, 5);

    auto* columns = new QHBoxLayout;
    columns->addLayout(radii, 6);
    columns->addLayout(right, 5);

    auto* buttons = new QHBoxLayout;
    cmdDeshacer_ = namedButton(this, "cmdDeshacer", QStringLiteral("&Deshacer"));
    auto* cmdImportar = namedButton(this, "cmdImportar", QStringLiteral("&Importar CSV…"));
    auto* cmdExportar = namedButton(this, "cmdExportar", QStringLiteral("E&xportar CSV…"));
    auto* cmdVistaPrevia =
        namedButton(this, "cmdVistaPrevia", QStringLiteral("&Vista previa del informe…"));
    auto* cmdPDF = namedButton(this, "cmdPDF", QStringLiteral("Guardar como &PDF…"));
    cmdGuardar_ = namedButton(this, "cmdGuardar", QStringLiteral("&Guardar"));
    auto* cmdSalir = namedButton(this, "cmdSalir", QStringLiteral("&Salir"));
    for (auto* b : {cmdDeshacer_, cmdImportar, cmdExportar}) {
        buttons->addWidget(b);
    }
    buttons->addSpacing(16);
    buttons->addWidget(cmdVistaPrevia);
    buttons->addWidget(cmdPDF);
    buttons->addStretch();
    buttons->addWidget(cmdGuardar_);
    buttons->addWidget(cmdSalir);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    addStatusLine(this, layout);

    onSignal(cmdDeshacer_, &QPushButton::clicked, this, m, [this] { undo(); });
    onSignal(cmdImportar, &QPushButton::clicked, this, m, [this] { cmdImportar_Click(); });
    onSignal(cmdExportar, &QPushButton::clicked, this, m, [this] { cmdExportar_Click(); });
    onSignal(cmdVistaPrevia, &QPushButton::clicked, this, m, [this] { cmdVistaPrevia_Click(); });
    onSignal(cmdPDF, &QPushButton::clicked, this, m, [this] { cmdPDF_Click(); });
    onSignal(cmdGuardar_, &QPushButton::clicked, this, m, [this] { save(); });
    connect(cmdSalir, &QPushButton::clicked, this, &QWidget::close);
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    onSignal(undoKey, &QShortcut::activated, this, m, [this] { undo(); });
    auto* saveKey = new QShortcut(QKeySequence::Save, this);
    onSignal(saveKey, &QShortcut::activated, this, m, [this] { save(); });
    setTabOrderChain({txtDiametro, grids_[0], grids_[1], cmdDeshacer_, cmdImportar, cmdExportar,
                      cmdVistaPrevia, cmdPDF, cmdGuardar_, cmdSalir});

    captionsFollowUnits(this);
    translateForm(this, services_.config.languageFile);
    // The results' frame is the first page: its caption names the tab.
    tabs->setTabText(0, fraResultados->title());
    fraResultados->setTitle(QString());
    setWindowTitle(windowTitle() + QStringLiteral(" - ") + qs(session_.name()));
    showConditions();
    refresh();
    fitToScreen(this, kPreferredSize);
}

frmPluviometros::~frmPluviometros() = default;

void frmPluviometros::told(const std::string& message) {
    services_.messages.showMessage(this, qs(message));
}

// --- editing ---

void frmPluviometros::diameterAccepted() {
    if (auto problem = session_.setCanDiameterText(diameter_->storedText(), decimalSeparator())) {
        told(*problem);
    }
    refresh();
}

void frmPluviometros::cellEdited(Radius radius, int row, int column) {
    if (refreshing_) {
        return;
    }
    const QTableWidgetItem* item = grid(radius)->item(row, column);
    std::string text = item != nullptr ? item->text().toStdString() : std::string();
    const auto* view = qobject_cast<const GridView*>(grid(radius));
    if (const auto quantity = view != nullptr ? view->columnQuantity(column) : std::nullopt) {
        // Typed in the units the grid shows.
        text = storedNumberText(text, *quantity, shownUnits(), decimalSeparator());
    }
    if (auto problem = session_.setCell(radius, row, static_cast<SampleColumn>(column), text,
                                        decimalSeparator())) {
        told(*problem);
    }
    refresh();
}

std::vector<int> frmPluviometros::selectedRows(Radius radius) const {
    std::set<int> rows;
    for (const QModelIndex& i : grid(radius)->selectionModel()->selectedIndexes()) {
        rows.insert(i.row());
    }
    if (rows.empty() && grid(radius)->currentRow() >= 0) {
        rows.insert(grid(radius)->currentRow());
    }
    std::vector<int> out;
    for (int r : rows) {
        if (r < session_.rowCount(radius)) {
            out.push_back(r);
        }
    }
    return out;
}

int frmPluviometros::targetRow(Radius radius) const {
    int row = session_.rowCount(radius);
    for (const QModelIndex& i : grid(radius)->selectionModel()->selectedIndexes()) {
        row = std::min(row, i.row());
    }
    if (grid(radius)->selectionModel()->selectedIndexes().isEmpty() &&
        grid(radius)->currentRow() >= 0) {
        row = std::min(row, grid(radius)->currentRow());
    }
    return row;
}

void frmPluviometros::addRow(Radius radius) {
    session_.addRow(radius);
    refresh();
    grid(radius)->setCurrentCell(session_.rowCount(radius) - 1,
                                 static_cast<int>(SampleColumn::Volume));
}

void frmPluviometros::insertRow(Radius radius) {
    const int at = std::min(targetRow(radius), session_.rowCount(radius));
    session_.insertRow(radius, at);
    refresh();
    grid(radius)->setCurrentCell(at, static_cast<int>(SampleColumn::Volume));
}

void frmPluviometros::deleteRows(Radius radius) {
    const auto rows = selectedRows(radius);
    if (rows.empty()) {
        told("Choose the rows of the " + radiusTitle(radius) + " to delete");
        return;
    }
    session_.deleteRows(radius, rows);
    grid(radius)->clearSelection();
    refresh();
}

void frmPluviometros::clearRows(Radius radius) {
    if (session_.rowCount(radius) == 0) {
        return;
    }
    session_.clearRows(radius);
    refresh();
    services_.messages.showStatus(this, qs("The readings of the " + radiusTitle(radius) +
                                           " were cleared; Undo brings them back"));
}

void frmPluviometros::sortRows(Radius radius) {
    session_.sortByDistance(radius);
    refresh();
}

void frmPluviometros::undo() {
    if (session_.undo()) {
        if (const auto d = session_.canDiameter_cm()) {
            diameter_->setExactValue(*d);
        } else {
            diameter_->setBlank();
        }
        refresh();
    }
}

// --- spreadsheets and files ---

void frmPluviometros::pasteText(Radius radius, const QString& text) {
    int pasted = 0;
    const int at = targetRow(radius);
    if (auto problem = session_.paste(radius, at, text.toStdString(), decimalSeparator(), &pasted,
                                      shownUnits())) {
        told(*problem);
        return;
    }
    refresh();
    services_.messages.showStatus(
        this,
        QStringLiteral("%1 rows were pasted into the %2").arg(pasted).arg(qs(radiusTitle(radius))));
}

QString frmPluviometros::selectionText(Radius radius) const {
    const auto indexes = grid(radius)->selectionModel()->selectedIndexes();
    if (indexes.isEmpty()) {
        return {};
    }
    int r0 = indexes.front().row(), r1 = r0, c0 = indexes.front().column(), c1 = c0;
    for (const QModelIndex& i : indexes) {
        r0 = std::min(r0, i.row());
        r1 = std::max(r1, i.row());
        c0 = std::min(c0, i.column());
        c1 = std::max(c1, i.column());
    }
    const char sep = decimalSeparator();
    const std::string stored = session_.copyCells(radius, r0, r1, static_cast<SampleColumn>(c0),
                                                  static_cast<SampleColumn>(c1), sep);
    // The cells as the grid shows them: distances and depths in the shown units, so that a
    // paste (read in the shown units) takes back what was copied.
    const auto* view = qobject_cast<const GridView*>(grid(radius));
    if (view == nullptr || shownUnits() == UnitSystem::SI) {
        return qs(stored);
    }
    std::string shown;
    int column = c0;
    std::string field;
    const auto flush = [&] {
        const auto q = view->columnQuantity(column);
        shown += q ? numbersInUnits(field, *q, shownUnits(), sep) : field;
        field.clear();
    };
    for (char ch : stored) {
        if (ch == '\t' || ch == '\n') {
            flush();
            shown += ch;
            column = ch == '\t' ? column + 1 : c0;
        } else {
            field += ch;
        }
    }
    flush();
    return qs(shown);
}

void frmPluviometros::cmdImportar_Click() {
    const QString path = services_.messages.openFileName(
        this, QStringLiteral("Import the catch-can readings"), QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) {
        importFile(path);
    }
}

bool frmPluviometros::importFile(const QString& path) {
    if (const auto question = session_.importReplacesQuestion();
        question && !services_.messages.confirm(this, qs(*question), MessageService::Default::No)) {
        return false;
    }
    try {
        session_.importCsv(path.toStdString(), shownUnits());
    } catch (const AppError&) {
        const ErrorReport r = describeCurrentError();
        services_.messages.showMessage(this, qs(r.message), qs(r.detail));
        return false;
    }
    if (const auto d = session_.canDiameter_cm()) {
        diameter_->setExactValue(*d);
    }
    refresh();
    services_.messages.showStatus(this, QStringLiteral("The readings of %1 were read").arg(path));
    return true;
}

void frmPluviometros::cmdExportar_Click() {
    const QString path = services_.messages.saveFileName(
        this, QStringLiteral("Export the catch-can readings"),
        qs(safeFileName(session_.name(), ".csv")), QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) {
        exportFile(path);
    }
}

bool frmPluviometros::exportFile(const QString& path) {
    try {
        session_.exportCsv(path.toStdString(), shownUnits());
    } catch (const AppError&) {
        const ErrorReport r = describeCurrentError();
        services_.messages.showMessage(this, qs(r.message), qs(r.detail));
        return false;
    }
    services_.messages.showStatus(this,
                                  QStringLiteral("The readings were written to %1").arg(path));
    return true;
}

// --- the report ---

report::Document frmPluviometros::reportDocument() const {
    return evaluationReport(session_, todayText(), decimalSeparator(), &diagnosisView_.report);
}

void frmPluviometros::paintPlot(QPainter& painter, const QRectF& box) const {
    renderChart(buildPlot(), painter, box);
}

report::FigurePainter frmPluviometros::figurePainter() const {
    return [this](const report::Figure& f, QPainter& p, const QRectF& box) {
        if (f.key == kEvaluationPlotFigure) {
            paintPlot(p, box);
        }
    };
}

void frmPluviometros::cmdVistaPrevia_Click() {
    previewReport(services_.messages, this, reportDocument(), figurePainter());
}

void frmPluviometros::cmdPDF_Click() {
    const QString path = services_.messages.saveFileName(
        this, QStringLiteral("Save the report as PDF"), qs(safeFileName(session_.name(), ".pdf")),
        QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty()) {
        savePdf(path);
    }
}

bool frmPluviometros::savePdf(const QString& path) {
    return writeReportPdf(services_.messages, this, reportDocument(), path, std::string(),
                          QStringLiteral("The report was written to %1"), figurePainter());
}

// --- saving and closing ---

bool frmPluviometros::save() {
    if (!diameter_->commit()) {
        return false;
    }
    try {
        session_.save(services_.config.projectsConnectionString);
    } catch (const AppError& e) {
        if (e.number() == errc::RecordChangedSinceOpened) {
            return resolveConflict(e.what());
        }
        if (e.number() != errc::EvaluationRowsIncomplete && e.number() != errc::EvaluationExists) {
            throw;
        }
        told(e.what());
        return false;
    } catch (...) {
        handleDatabaseError(services_.messages, this,
                            "The evaluation " + session_.name() + " could not be saved");
        return false;
    }
    savedOnce_ = true;
    refresh();
    services_.messages.showStatus(this, qs("The evaluation " + session_.name() + " was saved"));
    return true;
}

bool frmPluviometros::resolveConflict(const std::string& message) {
    const auto chosen = services_.messages.chooseAction(
        this, qs(message), {QString::fromUtf8("Save as…"), QStringLiteral("Reload")});
    const std::string& cs = services_.config.projectsConnectionString;
    if (chosen == 0) {
        const auto answer = services_.messages.askText(
            this, QStringLiteral("Name of the new evaluation:"), qs(session_.name()));
        if (!answer) {
            return false;
        }
        const std::string name = answer->trimmed().toStdString();
        if (const auto problem = checkEvaluationName(name, "the name of the evaluation")) {
            told(*problem);
            return false;
        }
        try {
            session_.saveAs(cs, name);
        } catch (const AppError& e) {
            if (e.number() != errc::EvaluationExists &&
                e.number() != errc::EvaluationRowsIncomplete) {
                throw;
            }
            told(e.what());
            return false;
        } catch (...) {
            handleDatabaseError(services_.messages, this,
                                "The evaluation " + name + " could not be saved");
            return false;
        }
        if (auto* label = findChild<QLabel*>(QStringLiteral("lblNombre"))) {
            label->setText(qs(session_.name()));
        }
        savedOnce_ = true;
        refresh();
        services_.messages.showStatus(this, qs("The evaluation " + name + " was saved"));
        return true;
    }
    if (chosen == 1) {
        try {
            session_.reload(cs);
        } catch (const AppError& e) {
            if (e.number() != errc::RecordNotFound) {
                throw;
            }
            told(e.what());
            return false;
        } catch (...) {
            handleDatabaseError(services_.messages, this,
                                "The evaluation " + session_.name() + " could not be read");
            return false;
        }
        if (const auto d = session_.canDiameter_cm()) {
            diameter_->setExactValue(*d);
        } else {
            diameter_->setBlank();
        }
        refresh();
    }
    return false;
}

void frmPluviometros::closeEvent(QCloseEvent* event) {
    // A refused save keeps the window open; a new evaluation left unsaved is not kept.
    closeAskingToSave(
        event, services_.messages, this, session_.isModified(),
        qs(session_.unsavedChangesQuestion()), [this] { return save(); },
        [this] {
            if (!discardUnsaved_ || savedOnce_) {
                return;
            }
            try {
                discardEmptyEvaluation(services_.config.projectsConnectionString, session_.id(),
                                       session_.name());
            } catch (...) {
                handleDatabaseError(services_.messages, this,
                                    "The new evaluation that was not saved could "
                                    "not be removed");
            }
        });
}

// --- showing the session ---

void frmPluviometros::refresh() {
    refreshing_ = true;
    refreshGrid(Radius::First);
    refreshGrid(Radius::Second);
    refreshing_ = false;
    refreshResults();
    refreshDiagnosis();
    refreshPlot();
    cmdDeshacer_->setEnabled(session_.canUndo());
}

void frmPluviometros::showConditions() {
    const EvaluationConditions& c = session_.conditions();
    const QSignalBlocker block(cmbCarta_);
    cmbCarta_->clear();
    cmbCarta_->addItem(QStringLiteral("—"), QVariant());
    int current = 0;
    try {
        for (const ChartChoice& choice : presenter_->choices()) {
            cmbCarta_->addItem(qs(choice.label()),
                               QVariant(QList<QVariant>{choice.systemId, choice.chartId}));
            if (c.systemId == choice.systemId && c.chartId == choice.chartId) {
                current = cmbCarta_->count() - 1;
            }
        }
    } catch (...) {
        handleDatabaseError(services_.messages, this, "The sprinkler charts could not be listed");
    }
    if (c.linked() && current == 0) {
        // A link to a chart that has gone stays until the user chooses another.
        cmbCarta_->addItem(QStringLiteral("(no longer stored)"),
                           QVariant(QList<QVariant>{*c.systemId, *c.chartId}));
        current = cmbCarta_->count() - 1;
    }
    cmbCarta_->setCurrentIndex(current);
    txtFecha_->setText(qs(c.date));
    txtHora_->setText(qs(c.startTime));
    txtDireccion_->setText(qs(c.windDirection));
    txtNotas_->setText(qs(c.notes));
    const std::pair<NumberBox*, std::optional<double>> boxes[] = {
        {duracion_, c.duration_h},       {temporizador_, c.timer_percent},
        {viento_, c.windSpeed_ms},       {temperatura_, c.airTemperature_C},
        {presion_, c.pivotPressure_kPa}, {caudal_, c.pivotDischarge_Ls},
        {espaciado_, c.canSpacing_m}};
    for (const auto& [box, value] : boxes) {
        if (value) {
            box->setExactValue(*value);
        } else {
            box->setBlank();
        }
    }
}

void frmPluviometros::conditionsEdited() {
    EvaluationConditions c;
    const QList<QVariant> link = cmbCarta_->currentData().toList();
    if (link.size() == 2) {
        c.systemId = link[0].toInt();
        c.chartId = link[1].toInt();
    }
    c.date = txtFecha_->text().trimmed().toStdString();
    c.startTime = txtHora_->text().trimmed().toStdString();
    c.windDirection = txtDireccion_->text().trimmed().toStdString();
    c.notes = txtNotas_->text().toStdString();
    c.duration_h = duracion_->given();
    c.timer_percent = temporizador_->given();
    c.windSpeed_ms = viento_->given();
    c.airTemperature_C = temperatura_->given();
    c.pivotPressure_kPa = presion_->given();
    c.pivotDischarge_Ls = caudal_->given();
    c.canSpacing_m = espaciado_->given();
    if (auto problem = session_.setConditions(c)) {
        told(*problem);
        showConditions();
    }
    refresh();
}

void frmPluviometros::refreshDiagnosis() {
    try {
        diagnosisView_ = presenter_->view(session_.usableEvaluation(), session_.conditions(),
                                          chkSinCanon_->isChecked(), chkSuavizado_->isChecked(),
                                          decimalSeparator());
    } catch (...) {
        diagnosisView_ = DiagnosisView{};
        diagnosisView_.report.findings.push_back(
            userMessage(describeCurrentError(), "The diagnosis could not be computed"));
    }
    QString html;
    for (const auto& line : diagnosisView_.report.findings) {
        html += QStringLiteral("<p>• ") + qs(line).toHtmlEscaped() + QStringLiteral("</p>");
    }
    lblDiagnostico_->setText(html);
    const auto& t = diagnosisView_.report.beforeAfter;
    TableData data;
    data.columns = {"cans", "UD", "CU"};
    for (const auto& r : t.rows) {
        TableRow row;
        for (std::size_t c = 0; c < r.size(); ++c) {
            row.cells.push_back(
                TableCell::ofText(r[c], c == 0 ? CellAlign::Left : CellAlign::Right));
        }
        data.rows.push_back(std::move(row));
    }
    antesDespues_->setTable(std::move(data));
    antesDespues_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    antesDespues_->resizeRowsToContents();
}

void frmPluviometros::refreshGrid(Radius radius) {
    QTableWidget* g = grid(radius);
    const auto* view = qobject_cast<const GridView*>(g);
    QStringList heads;
    for (const QString& caption : captionList(g, "ColumnCaptions")) {
        heads << qs(captionInUnits(caption.toStdString(), shownUnits()).text);
    }
    g->setHorizontalHeaderLabels(heads);
    const auto rows = session_.gridRows(radius, decimalSeparator());
    const int n = static_cast<int>(rows.size());
    g->setRowCount(n + 1);  // the last line takes a new can
    const QColor none;
    for (int r = 0; r <= n; ++r) {
        const SampleGridRow blank;
        const SampleGridRow& row = r < n ? rows[static_cast<std::size_t>(r)] : blank;
        const bool leftOut = row.state == RowState::Invalid || row.state == RowState::Incomplete;
        const std::string* texts[] = {&row.position, &row.volume, &row.distance, &row.depth};
        for (int c = 0; c < 4; ++c) {
            QTableWidgetItem* item = itemAt(g, r, c);
            const bool typed = c == 1 || c == 2;
            QString text = qs(*texts[c]);
            if (const auto q = view != nullptr ? view->columnQuantity(c) : std::nullopt) {
                // Distances and depths in the shown units (typed cells are read in them).
                text = qs(numbersInUnits(*texts[c], *q, shownUnits(), decimalSeparator()));
            }
            if (r == n && c == 0) {
                text = QStringLiteral("*");
            }
            item->setText(text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (typed) {
                flags |= Qt::ItemIsEditable;
            }
            item->setFlags(flags);
            QFont f = g->font();
            f.setStrikeOut(leftOut && c != 0);
            f.setBold(row.departs && c == 3);
            item->setFont(f);
            QColor background = none;
            if (leftOut) {
                background = kLeftOutColour;
            } else if (row.departs && c == 3) {
                background = kDepartsColour;
            }
            item->setBackground(background.isValid() ? QBrush(background) : QBrush());
            if (background.isValid()) {
                item->setForeground(QColor(Qt::black));
            } else {
                item->setForeground(QBrush());
            }
            QString tip = qs(row.note);
            if (r == n) {
                tip = QStringLiteral("Type a volume and a distance here to add a can");
            }
            item->setToolTip(tip);
        }
    }
    const auto results = session_.results();
    const RadiusResults& mine = radius == Radius::First ? results.first : results.second;
    int struck = 0;
    for (const auto& row : rows) {
        struck += row.state == RowState::Invalid || row.state == RowState::Incomplete ? 1 : 0;
    }
    QString count = QStringLiteral("Cans used: %1   Left out: %2").arg(mine.used).arg(mine.leftOut);
    if (struck > 0) {
        count += QStringLiteral(" (struck out; the tooltip of a row tells why)");
    }
    counts_[index(radius)]->setText(count);
}

void frmPluviometros::refreshResults() {
    const auto results = session_.results();
    const auto table = resultsTable(results, decimalSeparator());
    TableData data;
    data.columns = {"result", "first", "second", "both"};
    const RadiusResults* all[] = {&results.first, &results.second, &results.both};
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        TableRow row;
        const bool bandRow = r + 1 == table.rows.size();
        for (std::size_t c = 0; c < table.rows[r].size(); ++c) {
            auto cell =
                TableCell::ofText(table.rows[r][c], c == 0 ? CellAlign::Left : CellAlign::Right);
            if (c > 0 && bandRow) {
                switch (all[c - 1]->band) {
                    case UniformityBand::Good:
                        cell.flag = CellFlag::Highlight;
                        break;
                    case UniformityBand::CloserLook:
                        cell.flag = CellFlag::Warning;
                        break;
                    case UniformityBand::ChangePackage:
                        cell.flag = CellFlag::Error;
                        break;
                    case UniformityBand::None:
                        break;
                }
                cell.align = CellAlign::Left;
            }
            cell.tooltip = c > 0 && bandRow ? all[c - 1]->bandText : table.rows[r][c];
            row.cells.push_back(std::move(cell));
        }
        data.rows.push_back(std::move(row));
    }
    results_->setTable(std::move(data));
    results_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    results_->resizeRowsToContents();

    const RadiusResults& both = results.both;
    const char sep = decimalSeparator();
    QString band;
    QString style;
    if (both.CU_percent.value) {
        band =
            QStringLiteral("CU of both radii %1 %: %2")
                .arg(qs(resultText(both.CU_percent, kShownResultDecimals, sep)), qs(both.bandText));
        switch (both.band) {
            case UniformityBand::Good:
                style = QStringLiteral("background:#d7ecd9;");
                break;
            case UniformityBand::CloserLook:
                style = QStringLiteral("background:#fff1c2;");
                break;
            case UniformityBand::ChangePackage:
                style = QStringLiteral("background:#f8d0d0;");
                break;
            case UniformityBand::None:
                break;
        }
    } else {
        band = QStringLiteral("No CU: %1").arg(qs(both.CU_percent.reason));
    }
    lblBanda_->setText(band);
    lblBanda_->setStyleSheet(style);
}

QChart* frmPluviometros::buildPlot() const {
    const QStringList names = captionList(chart_, "SeriesCaptions");
    const auto plot = session_.plot();
    if (plot.radii[0].empty() && plot.radii[1].empty()) {
        return ChartBuilder().title(names.value(7)).build();
    }
    ChartBuilder b;
    b.xAxis(names.value(0), QStringLiteral("0")).yAxis(names.value(1), QStringLiteral("0.0"));
    if (plot.average_mm) {
        b.area(names.value(5), {{plot.minX, plot.lowerBand_mm}, {plot.maxX, plot.lowerBand_mm}},
               {{plot.minX, plot.upperBand_mm}, {plot.maxX, plot.upperBand_mm}});
        b.horizontalLine(*plot.average_mm, names.value(4));
    }
    for (int i = 0; i < 2; ++i) {
        std::vector<XYPoint> pts;
        for (const auto& p : plot.radii[static_cast<std::size_t>(i)]) {
            pts.push_back({p.distance_m, p.depth_mm});
        }
        if (!pts.empty()) {
            b.line(names.value(2 + i), pts);
        }
    }
    std::vector<XYPoint> departing;
    for (const auto& p : plot.departing) {
        departing.push_back({p.distance_m, p.depth_mm});
    }
    b.points(names.value(6), departing, AxisSide::Left, kDepartingColour, 11);
    // The chart's own depths, the zones of low and high cans, and the outlets over them.
    const DiagnosisView& dv = diagnosisView_;
    if (!dv.designedProfile.empty()) {
        b.line(names.value(8), dv.designedProfile);
    }
    double top = plot.maxY;
    for (const auto& p : dv.designedProfile) {
        top = std::max(top, p.y);
    }
    auto zoneComb = [&](const std::vector<CanZone>& zones, std::vector<XYPoint>& lower,
                        std::vector<XYPoint>& upper) {
        for (const auto& z : zones) {
            const double from = z.from - kZonePad_m;
            const double to = z.to + kZonePad_m;
            for (const XYPoint& p :
                 {XYPoint{from, 0}, XYPoint{from, top}, XYPoint{to, top}, XYPoint{to, 0}}) {
                upper.push_back(p);
                lower.push_back({p.x, 0});
            }
        }
    };
    std::vector<XYPoint> lowLower, lowUpper, highLower, highUpper;
    zoneComb(dv.diagnosis.lowZones, lowLower, lowUpper);
    zoneComb(dv.diagnosis.highZones, highLower, highUpper);
    if (!lowUpper.empty()) {
        b.area(names.value(9), lowLower, lowUpper);
    }
    if (!highUpper.empty()) {
        b.area(names.value(10), highLower, highUpper);
    }
    if (!dv.suspects.empty()) {
        b.points(names.value(11), dv.suspects, AxisSide::Left, kSuspectColour, 7);
    }
    QChart* chart = b.build();
    // Eight entries do not fit under the plot: they stand beside it.
    QFont legendFont = chart->legend()->font();
    legendFont.setPointSizeF(legendFont.pointSizeF() * 0.85);
    chart->legend()->setFont(legendFont);
    chart->legend()->setAlignment(Qt::AlignRight);
    // The radii in their own colours with every can shown; the band in a light tint.
    for (QAbstractSeries* s : chart->series()) {
        for (int i = 0; i < 2; ++i) {
            if (s->name() == names.value(2 + i)) {
                if (auto* line = qobject_cast<QLineSeries*>(s)) {
                    QPen pen(kRadiusColours[i]);
                    pen.setWidthF(1.6);
                    line->setPen(pen);
                    line->setPointsVisible(true);
                }
            }
        }
        if (auto* area = qobject_cast<QAreaSeries*>(s)) {
            const bool low = s->name() == names.value(9);
            const bool high = s->name() == names.value(10);
            const QColor fill =
                low ? kLowZoneColour : (high ? kHighZoneColour : QColor(0x90, 0xa4, 0xae, 60));
            area->setColor(fill);
            area->setBorderColor(low || high ? Qt::transparent : QColor(0x90, 0xa4, 0xae));
        }
        if (s->name() == names.value(8)) {
            if (auto* line = qobject_cast<QLineSeries*>(s)) {
                QPen pen(kDesignedColour);
                pen.setWidthF(1.4);
                pen.setStyle(Qt::DashLine);
                line->setPen(pen);
            }
        }
    }
    return chart;
}

void frmPluviometros::refreshPlot() {
    QChart* old = chart_->chart();
    chart_->setChart(buildPlot());
    delete old;  // the view lets go of the chart it replaces
}

}  // namespace kambrix
