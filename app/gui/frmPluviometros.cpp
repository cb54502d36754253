// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmPluviometros.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColor>
#include <QFont>
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
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <algorithm>
#include <functional>
#include <set>

#include "evaluation/evaluation_list.h"
#include "evaluation/evaluation_report.h"
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

frmPluviometros::frmPluviometros(const AppServices& services,
                                 const quarvex::PivotEvaluation& evaluation, QWidget* parent)
    : QWidget(parent), services_(services), session_(evaluation) {
    setObjectName("frmPluviometros");
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
    head->addWidget(lblNombre);
    head->addStretch();
    head->addWidget(lblDiametro);
    head->addWidget(txtDiametro);
    head->addWidget(lblDiametroU);
    diameter_ = new NumberBox(txtDiametro, NumberRange{0, kLargestCanDiameter_cm, true},
                              QStringLiteral("the can diameter (cm)"), /*allowBlank=*/true, m,
                              [this] { diameterAccepted(); });
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
    right->addWidget(fraResultados, 4);
    chart_ = new QChartView(this);
    chart_->setObjectName("chtProfundidades");
    chart_->setProperty(
        "SeriesCaptions",
        QStringLiteral("Distancia al punto pivote (m);Lámina (mm);1er radio;2º radio;Lámina media;"
                       "Banda ± 20 %;A más del 20 %;"
                       "Introduzca el diámetro del pluviómetro y las lecturas para ver el "
                       "gráfico"));
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

    translateForm(this, services_.config.languageFile);
    setWindowTitle(windowTitle() + QStringLiteral(" - ") + qs(session_.name()));
    refresh();
    fitToScreen(this, kPreferredSize);
}

void frmPluviometros::told(const std::string& message) {
    services_.messages.showMessage(this, qs(message));
}

// --- editing ---

void frmPluviometros::diameterAccepted() {
    if (auto problem = session_.setCanDiameterText(diameter_->box()->text().toStdString(),
                                                   decimalSeparator())) {
        told(*problem);
    }
    refresh();
}

void frmPluviometros::cellEdited(Radius radius, int row, int column) {
    if (refreshing_) {
        return;
    }
    const QTableWidgetItem* item = grid(radius)->item(row, column);
    const std::string text = item != nullptr ? item->text().toStdString() : std::string();
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
    if (auto problem =
            session_.paste(radius, at, text.toStdString(), decimalSeparator(), &pasted)) {
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
    return qs(session_.copyCells(radius, r0, r1, static_cast<SampleColumn>(c0),
                                 static_cast<SampleColumn>(c1), decimalSeparator()));
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
        session_.importCsv(path.toStdString());
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
        session_.exportCsv(path.toStdString());
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
    return evaluationReport(session_, todayText(), decimalSeparator());
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
    refreshPlot();
    cmdDeshacer_->setEnabled(session_.canUndo());
}

void frmPluviometros::refreshGrid(Radius radius) {
    QTableWidget* g = grid(radius);
    const QStringList heads = captionList(g, "ColumnCaptions");
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
    QChart* chart = b.build();
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
            area->setColor(QColor(0x90, 0xa4, 0xae, 60));
            area->setBorderColor(QColor(0x90, 0xa4, 0xae));
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
