// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frmCaspersores.h"

#include "gui/widgets/units_view.h"
#include "shell/unit_captions.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "design/chart_report.h"
#include "gui/TabDrop.h"
#include "gui/TabImpresion.h"
#include "gui/TabIndicadores.h"
#include "gui/TabPluviometria.h"
#include "gui/TabReguladores.h"
#include "gui/TabSupply.h"
#include "gui/frmCompararCartas.h"
#include "gui/widgets/connections.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/error_handler.h"
#include "gui/widgets/grid_view.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/report_output.h"
#include "gui/widgets/tab_page.h"
#include "gui/widgets/translation.h"
#include "report/report_renderer.h"
#include "shell/errors.h"
#include "shell/text.h"

namespace kambrix {

namespace {

// The workbench on a 1366 × 768 laptop.
constexpr QSize kPreferredSize(1350, 740);

// The colour of each warning flag in the flag column and its legend, in the order the most
// serious one colours a cell that carries several.
struct FlagColour {
    unsigned flag;
    QColor colour;
};
const FlagColour kFlagColours[] = {
    {warning::NoPressure, QColor(0xf4, 0xb4, 0xb4)},
    {warning::StarvedRegulator, QColor(0xe2, 0xcc, 0xf4)},
    {warning::HighPressure, QColor(0xff, 0xcf, 0x9e)},
    {warning::LowPressure, QColor(0xff, 0xee, 0xb0)},
    {warning::DischargeOff, QColor(0xb8, 0xdc, 0xf4)},
    {warning::NoSprinkler, QColor(0xdc, 0xdc, 0xdc)},
};

QColor colourOfFlags(unsigned flags) {
    for (const auto& f : kFlagColours) {
        if (flags & f.flag) {
            return f.colour;
        }
    }
    return {};
}

QString descriptionsOf(unsigned flags) {
    QStringList out;
    for (const auto& e : warningLegend()) {
        if (flags & e.flag) {
            out << QString::fromStdString(e.label + ": " + e.description);
        }
    }
    return out.join(QLatin1Char('\n'));
}

// Shows the busy pointer while a computation runs.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QString today() {
    return QDate::currentDate().toString(Qt::ISODate);
}

}  // namespace

// The workbench's messages, questions and name prompt in the window's boxes.
class frmCaspersores::Prompts : public WorkbenchPrompts {
  public:
    Prompts(MessageService& messages, QWidget* window) : messages_(messages), window_(window) {}
    void message(const std::string& text) override {
        messages_.showMessage(window_, QString::fromStdString(text));
    }
    bool confirm(const std::string& question) override {
        return messages_.confirm(window_, QString::fromStdString(question),
                                 MessageService::Default::No);
    }
    std::optional<std::string> askText(const std::string& prompt, const std::string&) override {
        // Every box of the message service is titled "Kambrix".
        const auto answer = messages_.askText(window_, QString::fromStdString(prompt));
        if (!answer) {
            return std::nullopt;
        }
        return answer->toStdString();
    }
    void failure(const std::string& action, const ErrorReport& report) override {
        messages_.showError(window_, report, action);
    }
    ConflictChoice conflict(const std::string& text, bool canSaveAs) override {
        QStringList actions;
        if (canSaveAs) {
            actions << QString::fromUtf8("Save as…");
        }
        actions << QStringLiteral("Reload");
        const auto chosen = messages_.chooseAction(window_, QString::fromStdString(text), actions);
        if (!chosen) {
            return ConflictChoice::Cancel;
        }
        if (canSaveAs && *chosen == 0) {
            return ConflictChoice::SaveAs;
        }
        return ConflictChoice::Reload;
    }

  private:
    MessageService& messages_;
    QWidget* window_;
};

// Puts the presenter's rows into the grid: widths from twips, numbers right-aligned, the
// flag column coloured, and the selection kept across a redraw of the whole table.
class frmCaspersores::GridSink : public OutletGridSink {
  public:
    explicit GridSink(GridView* grid) : grid_(grid) {}

    void tableReset(const std::vector<GridColumn>& columns,
                    const std::vector<OutletRow>& rows) override {
        const int row = grid_->currentRow();
        const int col = std::max(0, grid_->currentColumn());
        const int scroll = grid_->verticalScrollBar()->value();
        columns_ = columns;
        if (&rows != &rows_) {
            rows_ = rows;
        }
        TableData table;
        for (const auto& c : columns) {
            table.columns.push_back(c.heading);
        }
        for (const auto& r : rows) {
            TableRow tr;
            for (std::size_t c = 0; c < columns.size() && c < r.cells.size(); ++c) {
                tr.cells.push_back(TableCell::ofText(
                    r.cells[c], columns[c].numeric ? CellAlign::Right : CellAlign::Left));
            }
            table.rows.push_back(std::move(tr));
        }
        QSignalBlocker block(grid_);
        grid_->setTable(std::move(table));
        auto* header = grid_->horizontalHeader();
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setStretchLastSection(true);
        // The width in twips is the least a column gets; a column whose heading or texts
        // (a nozzle name, "Tower 10") are wider is widened to show them whole.
        const double dpi = grid_->logicalDpiX();
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            const int twips = twipsToPixels(columns[static_cast<std::size_t>(c)].widthTwips, dpi);
            grid_->resizeColumnToContents(c);
            grid_->setColumnWidth(c, std::max(twips, grid_->columnWidth(c)));
        }
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            colour(r, rows[static_cast<std::size_t>(r)].warnings);
        }
        if (row >= 0 && row < grid_->rowCount()) {
            grid_->setCurrentCell(row, col);
        }
        grid_->verticalScrollBar()->setValue(scroll);
    }

    void rowChanged(int row, const OutletRow& cells) override {
        if (row < 0 || row >= grid_->rowCount()) {
            return;
        }
        grid_->setRowTexts(row, cells.cells);
        colour(row, cells.warnings);
        if (row < static_cast<int>(rows_.size())) {
            rows_[static_cast<std::size_t>(row)] = cells;
        }
    }

    // The rows again, with their colours (the shown units changed).
    void redraw() { tableReset(columns_, rows_); }

  private:
    void colour(int row, unsigned flags) {
        auto* item = grid_->item(row, column::Warnings);
        if (item == nullptr) {
            return;
        }
        if (flags == warning::None) {
            item->setBackground(QBrush());
            item->setToolTip(QString());
            return;
        }
        item->setBackground(colourOfFlags(flags));
        item->setForeground(QColor(Qt::black));
        item->setToolTip(descriptionsOf(flags));
    }

    GridView* grid_;
    std::vector<GridColumn> columns_;
    std::vector<OutletRow> rows_;
};

namespace {

// The user's name in the program's settings ("user/name"), the login name until one is kept.
QString settingsUserName() {
    const QSettings settings(QStringLiteral("Kambrix"), QStringLiteral("Kambrix"));
    const QString kept = settings.value(QStringLiteral("user/name")).toString().trimmed();
    return kept.isEmpty() ? qEnvironmentVariable("USER") : kept;
}

}  // namespace

frmCaspersores::frmCaspersores(const AppServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName("frmCaspersores");
    setWindowTitle(QStringLiteral("Carta de aspersores"));
    prompts_ = std::make_unique<Prompts>(services_.messages, this);
    {
        BusyCursor busy;
        workbench_ = std::make_unique<ChartWorkbench>(services_.document,
                                                      WorkbenchDatabases::from(services_.config),
                                                      *prompts_, decimalSeparator());
    }
    workbench_->setDefaultDesigner(settingsUserName().toStdString());

    auto* top = new QHBoxLayout;
    auto* lblSistema =
        namedLabel(this, "lblSistema", QString::fromStdString(workbench_->project().nome));
    QFont f = lblSistema->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    lblSistema->setFont(f);
    lblActual_ = namedLabel(this, "lblActual", QString());
    top->addWidget(lblSistema);
    top->addSpacing(24);
    top->addWidget(lblActual_, 1);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName("splCarta");
    splitter->setChildrenCollapsible(false);
    auto* scroll = new QScrollArea(splitter);
    scroll->setObjectName("scrComandos");
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QWidget* commands = buildCommands();
    scroll->setWidget(commands);

    tabCarta_ = new QTabWidget(splitter);
    tabCarta_->setObjectName("tabCarta");
    tabCarta_->addTab(buildOutletPage(), QStringLiteral("Salidas"));
    tabReguladores_ = new TabReguladores(*workbench_, services_.messages);
    tabDrop_ = new TabDrop(*workbench_, services_.messages);
    tabs_ = {tabReguladores_, tabDrop_};
    tabCarta_->addTab(tabReguladores_, QStringLiteral("Reguladores"));
    tabCarta_->addTab(tabDrop_, QStringLiteral("Bajante"));
    auto* impresion = new TabImpresion(*workbench_, services_.messages);
    tabs_.push_back(impresion);
    tabCarta_->addTab(impresion, QStringLiteral("Impresión"));
    splitter->addWidget(scroll);
    splitter->addWidget(tabCarta_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    auto* bottom = new QHBoxLayout;
    cmdExportar_ = namedButton(this, "cmdExportar", QStringLiteral("Exportar a CSV…"));
    cmdPrint_ = namedButton(this, "cmd_print", QStringLiteral("Imprimir…"));
    cmdPdf_ = namedButton(this, "cmdGuardarPdf", QStringLiteral("Guardar como PDF…"));
    cmdSalir_ = namedButton(this, "cmdSalir", QStringLiteral("Salir"));
    for (auto* b : {cmdExportar_, cmdPrint_, cmdPdf_}) {
        bottom->addWidget(b);
    }
    bottom->addStretch();
    bottom->addWidget(cmdSalir_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);
    addStatusLine(this, layout);

    sink_ = std::make_unique<GridSink>(grid_);
    connectCommands();
    onUnitsChanged(this, [this] { redrawInUnits(); });
    // The indicator and runoff tabs judge the package the grid shows; a point of the runoff
    // check can be taken from an outlet of the grid.
    addResultTab(new TabIndicadores(services_, *workbench_), QStringLiteral("Indicadores"));
    auto* pluviometria = new TabPluviometria(services_, *workbench_);
    addResultTab(pluviometria, QStringLiteral("Pluviometría"));
    onSignal(this, &frmCaspersores::outletDistanceChosen, pluviometria, services_.messages,
             [pluviometria](int radius, double distance) {
                 pluviometria->setPointDistance(radius, distance);
             });
    // The supply: where the package meets the pump; "Design for this supply" computes a new
    // automatic package, shown as the automatic command shows it.
    auto* supply = new TabSupply(services_, *workbench_);
    addResultTab(supply, QStringLiteral("Supply"));
    onSignal(supply, &TabSupply::packageRecomputed, this, services_.messages,
             [this] { refresh(true); });
    // "Compare packages": a window over the workbench; a package it puts into the manual
    // chart is shown with its summary and tabs when the window closes.
    setCompareHandler([this] {
        auto* compare = new frmCompararCartas(services_, *workbench_, this);
        compare->setWindowFlag(Qt::Window);
        compare->setWindowModality(Qt::WindowModal);
        compare->setAttribute(Qt::WA_DeleteOnClose);
        onSignal(compare, &QObject::destroyed, this, services_.messages, [this] { refresh(true); });
        compare->show();
    });
    translateForm(this, services_.config.languageFile);
    // The runoff commands of the grid's menu take their captions from the language file.
    const QStringList runoff = captionList(grid_, "RunoffCaptions");
    actPonto1_->setText(runoff.value(0));
    actPonto2_->setText(runoff.value(1));

    workbench_->setGridSink(sink_.get());
    refreshCharts();
    refresh(true);
    scroll->setMinimumWidth(commands->sizeHint().width() +
                            scroll->verticalScrollBar()->sizeHint().width() + 4);
    fitToScreen(this, kPreferredSize);
}

frmCaspersores::~frmCaspersores() {
    // The grid goes with the window; the workbench must not draw into it any more.
    if (workbench_) {
        workbench_->setGridSink(nullptr);
    }
    // The tabs hold the workbench (they take their values out of it on the way): they go
    // before it does, not with the window's children after the members.
    tabs_.clear();
    delete tabCarta_;
    tabCarta_ = nullptr;
}

QWidget* frmCaspersores::buildCommands() {
    auto* panel = new QWidget;
    panel->setObjectName("pnlComandos");
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 4, 0);

    // Tight groups: the whole panel fits beside the grid on a 1366 × 768 screen.
    const auto tighten = [](QLayout* l) {
        l->setContentsMargins(6, 4, 6, 6);
        l->setSpacing(4);
    };
    column->setSpacing(6);

    auto* fraCalculo = new QGroupBox(QStringLiteral("Cálculo"), panel);
    fraCalculo->setObjectName("fraCalculo");
    auto* calculo = new QGridLayout(fraCalculo);
    tighten(calculo);
    cmdCartaOp_ = namedButton(fraCalculo, "cmdCartaOp", QStringLiteral("Carta automática"));
    cmdCalcManual_ =
        namedButton(fraCalculo, "cmdCalcManual", QStringLiteral("Calcular carta manual"));
    cmdCopiarManual_ = namedButton(fraCalculo, "cmdCopiarParaManual",
                                   QStringLiteral("Copiar la automática a la manual"));
    int line = 0;
    for (auto* b : {cmdCartaOp_, cmdCalcManual_, cmdCopiarManual_}) {
        calculo->addWidget(b, line++, 0, 1, 2);
    }
    // The end gun's booster belongs to the computation: both packages are computed with it.
    cmbEndGunBoost_ = new QComboBox(fraCalculo);
    cmbEndGunBoost_->setObjectName("cmbEndGunBoost");
    for (const auto& c : ChartWorkbench::boostChoices()) {
        cmbEndGunBoost_->addItem(
            QString::fromStdString(quantitiesInUnits(c.text, shownUnits(), decimalSeparator())),
            c.kPa);
    }
    calculo->addWidget(
        namedLabel(fraCalculo, "lblEndGunBoost", QStringLiteral("Bomba del cañón final")), line, 0);
    calculo->addWidget(cmbEndGunBoost_, line, 1);
    calculo->setColumnStretch(1, 1);
    column->addWidget(fraCalculo);

    auto* fraManual = new QGroupBox(QStringLiteral("Carta manual"), panel);
    fraManual->setObjectName("fraManual");
    auto* manual = new QGridLayout(fraManual);
    tighten(manual);
    cmbPercentVar_ = new QComboBox(fraManual);
    cmbPercentVar_->setObjectName("cmb_percent_var");
    for (const auto& c : ChartWorkbench::variationChoices()) {
        cmbPercentVar_->addItem(QString::fromStdString(c));
    }
    cmbPercentVar_->setCurrentIndex(workbench_->allowedVariationChoice());
    cmbAspersores_ = new QComboBox(fraManual);
    cmbAspersores_->setObjectName("cmbAspersores");
    cmbAspersores_->setMinimumContentsLength(18);
    cmbAspersores_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmdQuitarAspersor_ =
        namedButton(fraManual, "cmdQuitarAspersor", QStringLiteral("Quitar el aspersor"));
    manual->addWidget(namedLabel(fraManual, "lblVariacion", QStringLiteral("Variación admitida")),
                      0, 0);
    manual->addWidget(cmbPercentVar_, 0, 1);
    manual->addWidget(namedLabel(fraManual, "lblAspersores", QStringLiteral("Aspersor")), 1, 0, 1,
                      2);
    manual->addWidget(cmbAspersores_, 2, 0, 1, 2);
    manual->addWidget(cmdQuitarAspersor_, 3, 0, 1, 2);
    column->addWidget(fraManual);

    auto* fraEscoger = new QGroupBox(QStringLiteral("Aspersores disponibles"), panel);
    fraEscoger->setObjectName("fraEscoger");
    auto* escoger = new QGridLayout(fraEscoger);
    tighten(escoger);
    optEscogerTodos_ = new QRadioButton(QStringLiteral("Todo el catálogo"), fraEscoger);
    optEscogerTodos_->setObjectName("optEscogerTodos");
    optEscogerMarca_ = new QRadioButton(QStringLiteral("Marca"), fraEscoger);
    optEscogerMarca_->setObjectName("optEscogerMarca");
    optEscogerModelo_ = new QRadioButton(QStringLiteral("Modelo"), fraEscoger);
    optEscogerModelo_->setObjectName("optEscogerModelo");
    optEscogerTodos_->setChecked(true);
    cmbEscogerMarca_ = new QComboBox(fraEscoger);
    cmbEscogerMarca_->setObjectName("cmbEscogerMarca");
    for (const auto& b : workbench_->brandNames()) {
        cmbEscogerMarca_->addItem(QString::fromStdString(b));
    }
    cmbEscogerModelo_ = new QComboBox(fraEscoger);
    cmbEscogerModelo_->setObjectName("cmbEscogerModelo");
    escoger->addWidget(optEscogerTodos_, 0, 0, 1, 2);
    escoger->addWidget(optEscogerMarca_, 1, 0);
    escoger->addWidget(cmbEscogerMarca_, 1, 1);
    escoger->addWidget(optEscogerModelo_, 2, 0);
    escoger->addWidget(cmbEscogerModelo_, 2, 1);
    escoger->setColumnStretch(1, 1);
    column->addWidget(fraEscoger);

    auto* fraCartas = new QGroupBox(QStringLiteral("Cartas guardadas"), panel);
    fraCartas->setObjectName("fraCartas");
    auto* cartas = new QGridLayout(fraCartas);
    tighten(cartas);
    lstCartas_ = new QListWidget(fraCartas);
    lstCartas_->setObjectName("lstCartas");
    lstCartas_->setMinimumHeight(64);
    cmdAbrir_ = namedButton(fraCartas, "cmdAbrir", QStringLiteral("Abrir"));
    cmdCartaVazia_ = namedButton(fraCartas, "cmdCartaVazia", QStringLiteral("Nueva"));
    cmdAceptarTudo_ = namedButton(fraCartas, "cmdAceptarTudo", QStringLiteral("Guardar"));
    cmdAceptarCon_ = namedButton(fraCartas, "cmdAceptarCon", QStringLiteral("Guardar como…"));
    cmdBorrar_ = namedButton(fraCartas, "cmdBorrar", QStringLiteral("Borrar"));
    cmdCompararCartas_ =
        namedButton(fraCartas, "cmdCompararCartas", QStringLiteral("Comparar cartas"));
    cmdCompararCartas_->setEnabled(false);
    cartas->addWidget(lstCartas_, 0, 0, 1, 2);
    cartas->addWidget(cmdAbrir_, 1, 0);
    cartas->addWidget(cmdCartaVazia_, 1, 1);
    cartas->addWidget(cmdAceptarTudo_, 2, 0);
    cartas->addWidget(cmdAceptarCon_, 2, 1);
    cartas->addWidget(cmdBorrar_, 3, 0);
    cartas->addWidget(cmdCompararCartas_, 3, 1);
    lblGuardadoPor_ = new QLabel(fraCartas);
    lblGuardadoPor_->setObjectName("lblGuardadoPor");
    // One line that never widens nor lengthens the panel (a wrapped label would make the
    // panel scroll); a long name is cut on screen and whole in the tooltip.
    lblGuardadoPor_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    cartas->addWidget(lblGuardadoPor_, 4, 0, 1, 2);
    column->addWidget(fraCartas, 1);
    return panel;
}

QWidget* frmCaspersores::buildOutletPage() {
    auto* page = new QWidget;
    page->setObjectName("tabSaidas");
    auto* layout = new QVBoxLayout(page);
    QStringList headings;
    for (const auto& c : outletGridColumns()) {
        headings << QString::fromStdString(c.heading);
    }
    grid_ = new GridView("grdCarta", headings.join(QLatin1Char(';')), page);
    grid_->setMessages(&services_.messages);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setProperty("RunoffCaptions",
                       QStringLiteral("Usar la distancia de esta salida para el punto 1 de "
                                      "escorrentía;Usar la distancia de esta salida para el "
                                      "punto 2 de escorrentía"));
    auto* separator = new QAction(grid_);
    separator->setSeparator(true);
    actPonto1_ = new QAction(grid_);
    actPonto1_->setObjectName("actPontoEscorrencia1");
    actPonto2_ = new QAction(grid_);
    actPonto2_->setObjectName("actPontoEscorrencia2");
    grid_->addAction(separator);
    grid_->addAction(actPonto1_);
    grid_->addAction(actPonto2_);
    layout->addWidget(grid_, 1);

    lblResumen_ = namedLabel(page, "lblResumen", QString());
    lblResumen_->setWordWrap(true);
    lblResumen_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblResumen_);

    lblLeyenda_ = namedLabel(page, "lblLeyenda", legendText());
    lblLeyenda_->setTextFormat(Qt::RichText);
    lblLeyenda_->setWordWrap(true);
    layout->addWidget(lblLeyenda_);
    return page;
}

void frmCaspersores::connectCommands() {
    auto& m = services_.messages;
    auto on = [&](QPushButton* b, auto f) {
        onSignal(b, &QPushButton::clicked, this, m, std::move(f));
    };
    on(cmdCartaOp_, [this] { computeAutomatic(); });
    on(cmdCalcManual_, [this] { computeManual(); });
    on(cmdCopiarManual_, [this] { copyToManual(); });
    on(cmdQuitarAspersor_, [this] { removeSprinkler(); });
    on(cmdAbrir_, [this] {
        workbench_->openChart();
        refresh(true);
    });
    on(cmdCartaVazia_, [this] {
        workbench_->newChart();
        refresh(true);
    });
    on(cmdAceptarTudo_, [this] {
        if (workbench_->saveChart()) {
            services_.messages.showStatus(
                this, QStringLiteral("The chart '%1' was saved")
                          .arg(QString::fromStdString(workbench_->currentChart()->getNome())));
        }
        refreshCharts();
        refreshState();
    });
    on(cmdAceptarCon_, [this] {
        if (workbench_->saveChartAs()) {
            services_.messages.showStatus(
                this, QStringLiteral("The chart '%1' was saved")
                          .arg(QString::fromStdString(workbench_->currentChart()->getNome())));
        }
        refreshCharts();
        refreshState();
    });
    on(cmdBorrar_, [this] {
        workbench_->removeChart();
        refreshCharts();
        refreshState();
    });
    on(cmdCompararCartas_, [this] {
        if (compare_) {
            compare_();
        }
    });
    on(cmdExportar_, [this] { exportCsv(); });
    on(cmdPrint_, [this] { printChart(); });
    on(cmdPdf_, [this] { savePdfCommand(); });
    connect(cmdSalir_, &QPushButton::clicked, this, &QWidget::close);

    onSignal(lstCartas_, &QListWidget::currentRowChanged, this, services_.messages,
             [this](int row) {
                 if (filling_) {
                     return;
                 }
                 auto* item = lstCartas_->item(row);
                 workbench_->selectChart(item ? std::optional<int>(item->data(Qt::UserRole).toInt())
                                              : std::nullopt);
                 lblGuardadoPor_->setText(item ? item->toolTip() : QString());
                 lblGuardadoPor_->setToolTip(lblGuardadoPor_->text());
             });
    onSignal(lstCartas_, &QListWidget::itemDoubleClicked, this, m, [this] {
        workbench_->openChart();
        refresh(true);
    });

    onSignal(grid_, &QTableWidget::currentCellChanged, this, m,
             [this](int row) { fillSprinklerChoices(row); });
    onSignal(grid_, &GridView::rowActivated, this, m, [this](int row) { openSprinklerList(row); });
    onSignal(cmbAspersores_, &QComboBox::activated, this, m,
             [this](int index) { chooseSprinkler(index); });
    onSignal(cmbPercentVar_, &QComboBox::currentIndexChanged, this, m, [this](int index) {
        workbench_->setAllowedVariation(index);
        refreshState();  // the warnings' count follows the variation
        fillSprinklerChoices(grid_->currentRow());
    });
    for (auto* o : {optEscogerTodos_, optEscogerMarca_, optEscogerModelo_}) {
        onSignal(o, &QRadioButton::toggled, this, m, [this](bool on) {
            if (on) {
                applyFilter();
            }
        });
    }
    onSignal(cmbEscogerMarca_, &QComboBox::currentIndexChanged, this, m, [this] { brandChosen(); });
    onSignal(cmbEscogerModelo_, &QComboBox::currentIndexChanged, this, m, [this] {
        if (!filling_ && optEscogerModelo_->isChecked()) {
            applyFilter();
        }
    });
    onSignal(cmbEndGunBoost_, &QComboBox::activated, this, m, [this](int index) {
        if (workbench_->setEndGunBoost(cmbEndGunBoost_->itemData(index).toDouble())) {
            chartEdited();
        }
        refreshState();
    });
    for (TabPage* t : tabs_) {
        onSignal(t, &TabPage::changed, this, services_.messages, [this] {
            chartEdited();
            refreshState();
        });
    }
    onSignal(actPonto1_, &QAction::triggered, this, m, [this] { chooseOutletDistance(1); });
    onSignal(actPonto2_, &QAction::triggered, this, m, [this] { chooseOutletDistance(2); });
    // The grid's own export writes the cells as shown; the workbench's table writes numbers
    // with a point whatever the user's notation.
    if (auto* exportAction = grid_->findChild<QAction*>(QStringLiteral("actExportarCsv"))) {
        QObject::disconnect(exportAction, &QAction::triggered, grid_, nullptr);
        onSignal(exportAction, &QAction::triggered, this, m, [this] { exportCsv(); });
    }
    brandChosen();
}

void frmCaspersores::addResultTab(TabPage* page, const QString& caption) {
    tabCarta_->addTab(page, caption);
    tabs_.push_back(page);
    onSignal(page, &TabPage::changed, this, services_.messages, [this] { refreshState(); });
    page->updateData();
}

void frmCaspersores::setCompareHandler(std::function<void()> handler) {
    compare_ = std::move(handler);
    cmdCompararCartas_->setEnabled(static_cast<bool>(compare_));
}

void frmCaspersores::computeAutomatic() {
    if (workbench_->nozzleFilter().kind == NozzleFilter::Kind::All) {
        // A whole catalogue: one model for the lateral, the one that fits most outlets
        // offered first, so the package does not alternate makers outlet by outlet.
        std::vector<ModelFit> fits;
        {
            BusyCursor busy;
            fits = workbench_->modelsForAutomatic();
        }
        if (fits.empty()) {
            refresh(true);
            return;
        }
        QStringList items;
        for (const auto& f : fits) {
            items << QStringLiteral("%1 — %2 (fits %3 of %4 outlets)")
                         .arg(QString::fromStdString(f.model.brand),
                              QString::fromStdString(f.model.model))
                         .arg(f.fittedOutlets)
                         .arg(f.outlets);
        }
        const auto chosen = services_.messages.chooseItem(
            this,
            QStringLiteral("The automatic package uses one model of the catalogue (the end gun "
                           "takes its nozzle from the gun models). Model:"),
            items, 0);
        if (!chosen) {
            return;
        }
        {
            BusyCursor busy;
            workbench_->computeAutomatic(fits[static_cast<std::size_t>(*chosen)].model);
        }
        refresh(true);
        return;
    }
    {
        BusyCursor busy;
        workbench_->computeAutomatic();
    }
    refresh(true);
}

void frmCaspersores::computeManual() {
    {
        BusyCursor busy;
        workbench_->computeManual();
    }
    refresh(true);
}

void frmCaspersores::copyToManual() {
    {
        BusyCursor busy;
        workbench_->copyAutomaticToManual();
    }
    refresh(true);
}

void frmCaspersores::chartEdited() {
    workbench_->markChartChanged();
}

QString frmCaspersores::summaryLine() const {
    return lblResumen_->text();
}

void frmCaspersores::refresh(bool tabs) {
    refreshState();
    fillSprinklerChoices(grid_->currentRow());
    if (tabs) {
        for (TabPage* t : tabs_) {
            t->updateData();
        }
    }
}

QString frmCaspersores::legendText() {
    QStringList legend;
    for (const auto& e : warningLegend()) {
        const QColor c = colourOfFlags(e.flag);
        const std::string description =
            quantitiesInUnits(e.description, shownUnits(), decimalSeparator());
        legend << QStringLiteral(
                      "<span style='background-color:%1'>&nbsp;&nbsp;&nbsp;&nbsp;"
                      "</span>&nbsp;<b>%2</b>: %3")
                      .arg(c.name(), QString::fromStdString(e.label).toHtmlEscaped(),
                           QString::fromStdString(description).toHtmlEscaped());
    }
    return legend.join(QStringLiteral("&nbsp;&nbsp; "));
}

void frmCaspersores::redrawInUnits() {
    sink_->redraw();
    lblLeyenda_->setText(legendText());
    for (int i = 0; i < cmbEndGunBoost_->count(); ++i) {
        const auto& choice = ChartWorkbench::boostChoices().at(static_cast<std::size_t>(i));
        cmbEndGunBoost_->setItemText(i, QString::fromStdString(quantitiesInUnits(
                                            choice.text, shownUnits(), decimalSeparator())));
    }
    refreshState();
}

void frmCaspersores::refreshState() {
    QString summary = QString::fromStdString(
        quantitiesInUnits(workbench_->summaryText(), shownUnits(), decimalSeparator()));
    const bool notSettled = workbench_->summary().settlement == Settlement::NotSettled;
    lblResumen_->setText(summary);
    lblResumen_->setStyleSheet(notSettled || workbench_->needsComputation()
                                   ? QStringLiteral("color: #a00000; font-weight: bold;")
                                   : QStringLiteral("font-weight: bold;"));
    const auto chart = workbench_->currentChart();
    const QString name = QString::fromStdString(chart->getNome());
    if (workbench_->current() == WorkingPivot::Automatic) {
        lblActual_->setText(
            QStringLiteral("Shown: the automatic package (copy it to the manual "
                           "chart to change outlets)"));
    } else {
        lblActual_->setText(name.isEmpty()
                                ? QStringLiteral("Shown: the manual chart (not saved yet)")
                                : QStringLiteral("Shown: the manual chart '%1'").arg(name));
    }
    const bool editable = workbench_->canEditSprinklers();
    cmbAspersores_->setEnabled(editable);
    cmdQuitarAspersor_->setEnabled(editable);
    cmbPercentVar_->setEnabled(editable);
    cmdCopiarManual_->setEnabled(workbench_->automaticComputed());
    const bool gun = workbench_->boostAvailable();
    cmbEndGunBoost_->setEnabled(gun);
    cmbEndGunBoost_->setToolTip(gun ? QString()
                                    : QStringLiteral("The pivot of this system has no end gun"));
    cmbEndGunBoost_->setCurrentIndex(std::max(0, workbench_->boostChoice()));
}

void frmCaspersores::refreshCharts() {
    filling_ = true;
    const auto selected = workbench_->selectedChart();
    lstCartas_->clear();
    for (const auto& info : workbench_->charts()) {
        auto* item = new QListWidgetItem(QString::fromStdString(info.nome), lstCartas_);
        item->setData(Qt::UserRole, info.id);
        item->setToolTip(QString::fromStdString(workbench_->chartSavedBy(info.id)));
        if (selected && selected->id == info.id) {
            lstCartas_->setCurrentItem(item);
        }
    }
    if (!selected) {
        lstCartas_->setCurrentRow(-1);
        lstCartas_->clearSelection();
    }
    auto* current = lstCartas_->currentItem();
    lblGuardadoPor_->setText(current && selected ? current->toolTip() : QString());
    lblGuardadoPor_->setToolTip(lblGuardadoPor_->text());
    filling_ = false;
}

void frmCaspersores::fillSprinklerChoices(int row) {
    cmbAspersores_->clear();
    cmbAspersores_->setPlaceholderText(QString());
    if (!workbench_->canEditSprinklers() || row < 0) {
        return;
    }
    const quarvex::saida* outlet = workbench_->outletAtRow(row);
    const auto list = workbench_->possibleAspersoresFor(row);
    const double p = outlet ? outlet->pressao_actuante : 0;
    list.ForEach([&](const std::shared_ptr<quarvex::Aspersor>& a) {
        cmbAspersores_->addItem(
            QStringLiteral("%1 — %2, %3 (%4 L/s)")
                .arg(QString::fromStdString(a->nome()), QString::fromStdString(a->modelo().nome),
                     QString::fromStdString(a->marca().nome), screenNumber(a->calculate(p), 3)));
    });
    cmbAspersores_->setCurrentIndex(-1);
    cmbAspersores_->setPlaceholderText(
        list.Count() == 0 ? QStringLiteral("No sprinkler within the allowed variation")
                          : QStringLiteral("%1 sprinklers: choose one").arg(list.Count()));
}

void frmCaspersores::chooseSprinkler(int index) {
    const int row = grid_->currentRow();
    if (workbench_->addAspersorAt(row, index) >= 0) {
        chartEdited();
    }
    refreshState();
}

void frmCaspersores::removeSprinkler() {
    const int row = grid_->currentRow();
    if (row < 0) {
        services_.messages.showMessage(this, QStringLiteral("Please select an outlet first"));
        return;
    }
    if (workbench_->removeAspersorAt(row) >= 0) {
        chartEdited();
    }
    refreshState();
    fillSprinklerChoices(row);
}

void frmCaspersores::openSprinklerList(int row) {
    if (!workbench_->canEditSprinklers()) {
        services_.messages.showStatus(
            this, QStringLiteral("The automatic package is not edited: copy it to the manual "
                                 "chart first"));
        return;
    }
    fillSprinklerChoices(row);
    cmbAspersores_->setFocus();
    if (cmbAspersores_->count() > 0) {
        cmbAspersores_->showPopup();
    }
}

void frmCaspersores::brandChosen() {
    filling_ = true;
    cmbEscogerModelo_->clear();
    const std::string brand = cmbEscogerMarca_->currentText().toStdString();
    if (!brand.empty()) {
        for (const auto& model : workbench_->modelNames(brand)) {
            cmbEscogerModelo_->addItem(QString::fromStdString(model));
        }
    }
    filling_ = false;
    if (optEscogerMarca_->isChecked() || optEscogerModelo_->isChecked()) {
        applyFilter();
    }
}

void frmCaspersores::applyFilter() {
    NozzleFilter filter;
    if (optEscogerMarca_->isChecked()) {
        filter = {NozzleFilter::Kind::Brand, cmbEscogerMarca_->currentText().toStdString(), ""};
    } else if (optEscogerModelo_->isChecked()) {
        filter = {NozzleFilter::Kind::Model, cmbEscogerMarca_->currentText().toStdString(),
                  cmbEscogerModelo_->currentText().toStdString()};
    }
    if (filter.kind != NozzleFilter::Kind::All &&
        (filter.brand.empty() ||
         (filter.kind == NozzleFilter::Kind::Model && filter.model.empty()))) {
        return;  // the choice is not complete yet
    }
    if (filter == workbench_->nozzleFilter()) {
        return;
    }
    if (workbench_->setNozzleFilter(filter)) {
        services_.messages.showStatus(
            this,
            QStringLiteral("%1 sprinklers available").arg(workbench_->availableNozzles().Count()));
    } else {
        // The previous choice stays in force: the options show it again.
        const QSignalBlocker a(optEscogerTodos_), b(optEscogerMarca_), c(optEscogerModelo_);
        const auto kind = workbench_->nozzleFilter().kind;
        optEscogerTodos_->setChecked(kind == NozzleFilter::Kind::All);
        optEscogerMarca_->setChecked(kind == NozzleFilter::Kind::Brand);
        optEscogerModelo_->setChecked(kind == NozzleFilter::Kind::Model);
    }
    refreshState();
    fillSprinklerChoices(grid_->currentRow());
}

void frmCaspersores::chooseOutletDistance(int point) {
    const quarvex::saida* outlet = workbench_->outletAtRow(grid_->currentRow());
    if (outlet == nullptr) {
        services_.messages.showMessage(this, QStringLiteral("Please select an outlet first"));
        return;
    }
    emit outletDistanceChosen(point, outlet->distanciaAoPivot);
}

void frmCaspersores::exportCsv() {
    const QString path = services_.messages.saveFileName(
        this, QStringLiteral("Export the outlet table"),
        QString::fromStdString(safeFileName(workbench_->project().nome + " outlets", ".csv")),
        QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    if (workbench_->exportOutletTable(path.toStdString())) {
        services_.messages.showStatus(
            this, QStringLiteral("The outlet table was written to %1").arg(path));
    }
}

bool frmCaspersores::ensureComputed() {
    if (!workbench_->needsComputation()) {
        return true;
    }
    // What is printed must be what the chart gives: changes made since the last computation
    // are computed first.
    if (workbench_->current() == WorkingPivot::Automatic) {
        computeAutomatic();
    } else {
        computeManual();
    }
    return !workbench_->needsComputation();
}

void frmCaspersores::printChart() {
    if (!ensureComputed()) {
        return;
    }
    previewReport(services_.messages, this,
                  buildChartReport(*workbench_, today().toStdString(),
                                   ChartCaptions::fromFile(services_.config.languageFile)));
}

bool frmCaspersores::savePdf(const QString& path) {
    if (!ensureComputed()) {
        return false;
    }
    return writeReportPdf(services_.messages, this,
                          buildChartReport(*workbench_, today().toStdString(),
                                           ChartCaptions::fromFile(services_.config.languageFile)),
                          path, "The printed chart could not be written",
                          QStringLiteral("The printed chart was written to %1"));
}

void frmCaspersores::savePdfCommand() {
    std::string name = workbench_->currentChart()->getNome();
    if (name.empty()) {
        name = workbench_->project().nome;
    }
    const QString path = services_.messages.saveFileName(
        this, QStringLiteral("Save as PDF"), QString::fromStdString(safeFileName(name, ".pdf")),
        QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty()) {
        savePdf(path);
    }
}

void frmCaspersores::closeEvent(QCloseEvent* event) {
    closeAskingToSave(event, services_.messages, this, workbench_->chartChanged(),
                      QStringLiteral("The sprinkler chart has changes that are not saved. Do "
                                     "you want to save it?"),
                      [this] {
                          if (!workbench_->saveChart()) {
                              refreshCharts();
                              return false;
                          }
                          return true;
                      });
}

}  // namespace kambrix
