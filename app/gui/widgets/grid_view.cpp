// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/widgets/grid_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <cstdlib>

#include "gui/widgets/error_handler.h"
#include "gui/widgets/message_service.h"
#include "gui/widgets/number_display.h"
#include "gui/widgets/translation.h"
#include "shell/csv.h"
#include "shell/errors.h"

namespace kambrix {

namespace {

Qt::Alignment alignmentOf(CellAlign a) {
    switch (a) {
        case CellAlign::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case CellAlign::Center:
            return Qt::AlignCenter;
        case CellAlign::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Soft backgrounds that keep black text readable.
QColor colourOf(CellFlag f) {
    switch (f) {
        case CellFlag::Highlight:
            return QColor(0xdd, 0xea, 0xf7);
        case CellFlag::Warning:
            return QColor(0xff, 0xf1, 0xc2);
        case CellFlag::Error:
            return QColor(0xf8, 0xd0, 0xd0);
        case CellFlag::None:
            break;
    }
    return {};
}

}  // namespace

GridView::GridView(const char* objectName, const QString& captions, QWidget* parent)
    : QTableWidget(parent) {
    setObjectName(objectName);
    setProperty("ColumnCaptions", captions);
    setProperty("CommandCaptions", QStringLiteral("Copiar;Exportar a CSV…"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

    copyAction_ = new QAction(this);
    copyAction_->setObjectName("actCopiar");
    copyAction_->setShortcut(QKeySequence::Copy);
    copyAction_->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAction_, &QAction::triggered, this, [this] { copySelection(); });
    exportAction_ = new QAction(this);
    exportAction_->setObjectName("actExportarCsv");
    connect(exportAction_, &QAction::triggered, this, [this] { exportCsvCommand(); });
    addAction(copyAction_);
    addAction(exportAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    retranslateCommands();

    connect(this, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { emit rowActivated(row); });
}

void GridView::retranslateCommands() {
    const QStringList texts = captionList(this, "CommandCaptions");
    copyAction_->setText(texts.value(0));
    exportAction_->setText(texts.value(1));
}

QStringList GridView::captions() const {
    QStringList out;
    for (const std::string& c : shownTable().captions) {
        out << QString::fromStdString(c);
    }
    return out;
}

ShownTable GridView::shownTable() const {
    std::vector<std::string> heads;
    for (const QString& c : storedCaptions()) {
        heads.push_back(c.toStdString());
    }
    return tableInUnits(table_, heads, shownUnits(), decimalSeparator());
}

void GridView::setRowTexts(int row, const std::vector<std::string>& texts) {
    if (row < 0 || row >= static_cast<int>(table_.rows.size())) {
        return;
    }
    auto& cells = table_.rows[static_cast<std::size_t>(row)].cells;
    const char sep = decimalSeparator();
    for (std::size_t c = 0; c < texts.size() && c < cells.size(); ++c) {
        cells[c].text = texts[c];
        cells[c].number.reset();
        QTableWidgetItem* shown = item(row, static_cast<int>(c));
        if (shown == nullptr) {
            continue;
        }
        const auto q = columnQuantity(static_cast<int>(c));
        shown->setText(
            QString::fromStdString(q ? numbersInUnits(texts[c], *q, shownUnits(), sep) : texts[c]));
    }
}

std::optional<Quantity> GridView::columnQuantity(int column) const {
    const QStringList heads = storedCaptions();
    if (column < 0 || column >= heads.size()) {
        return std::nullopt;
    }
    return captionInUnits(heads[column].toStdString(), shownUnits()).quantity;
}

void GridView::redrawInUnits() {
    if (table_.columns.empty()) {
        return;  // filled cell by cell by its window, which redraws it itself
    }
    const int row = currentRow();
    const int column = currentColumn();
    setTable(table_);
    if (row >= 0 && column >= 0) {
        setCurrentCell(row, column);
    }
}

QStringList GridView::storedCaptions() const {
    QStringList out = captionList(this, "ColumnCaptions");
    for (int c = 0; c < static_cast<int>(table_.columns.size()); ++c) {
        if (c >= out.size()) {
            out << QString::fromStdString(table_.columns[c]);
        } else if (out[c].isEmpty()) {
            out[c] = QString::fromStdString(table_.columns[c]);
        }
    }
    while (out.size() > static_cast<int>(table_.columns.size()) && !table_.columns.empty()) {
        out.removeLast();
    }
    return out;
}

namespace {

// The text broken at the space nearest its middle; short texts stay on one line.
QString twoLines(const QString& text) {
    constexpr int kShortest = 14;
    if (text.size() < kShortest) {
        return text;
    }
    const int middle = static_cast<int>(text.size() / 2);
    int best = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char(' ') &&
            (best < 0 || std::abs(i - middle) < std::abs(best - middle))) {
            best = i;
        }
    }
    if (best < 0) {
        return text;
    }
    QString out = text;
    out[best] = QLatin1Char('\n');
    return out;
}

}  // namespace

void GridView::setCompactColumns(bool compact) {
    compact_ = compact;
    // Stretched columns would squeeze the texts again; the last one takes what is left.
    horizontalHeader()->setSectionResizeMode(compact ? QHeaderView::ResizeToContents
                                                     : QHeaderView::Stretch);
    horizontalHeader()->setStretchLastSection(compact);
}

void GridView::setTable(TableData table) {
    table_ = std::move(table);
    retranslateCommands();
    const ShownTable shown = shownTable();
    QStringList heads;
    for (const std::string& c : shown.captions) {
        heads << QString::fromStdString(c);
    }
    clear();
    setColumnCount(static_cast<int>(table_.columns.size()));
    if (compact_) {
        QStringList shown;
        for (const QString& h : heads) {
            shown << twoLines(h);
        }
        setHorizontalHeaderLabels(shown);
    } else {
        setHorizontalHeaderLabels(heads);
    }
    setRowCount(static_cast<int>(table_.rows.size()));
    const char sep = decimalSeparator();
    for (int r = 0; r < rowCount(); ++r) {
        const TableRow& row = table_.rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < columnCount(); ++c) {
            const TableCell* cell =
                shown.table.cell(static_cast<std::size_t>(r), static_cast<std::size_t>(c));
            auto* item = new QTableWidgetItem;
            if (cell != nullptr) {
                item->setText(QString::fromStdString(cell->displayText(sep)));
                item->setTextAlignment(alignmentOf(cell->align));
                const CellFlag flag = cell->flag != CellFlag::None ? cell->flag : row.flag;
                if (flag != CellFlag::None) {
                    item->setBackground(colourOf(flag));
                    item->setForeground(QColor(Qt::black));
                }
                const std::string& tip = !cell->tooltip.empty() ? cell->tooltip : row.tooltip;
                if (!tip.empty()) {
                    item->setToolTip(QString::fromStdString(tip));
                }
            }
            setItem(r, c, item);
        }
    }
    if (compact_) {
        resizeColumnsToContents();
    }
}

QString GridView::selectionText() const {
    std::vector<SelectedCell> cells;
    for (const QModelIndex& i : selectedIndexes()) {
        cells.push_back({i.row(), i.column(), i.data().toString().toStdString()});
    }
    return QString::fromStdString(kambrix::selectionText(std::move(cells)));
}

void GridView::copySelection() {
    const QString text = selectionText();
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

void GridView::exportCsv(const QString& path) const {
    const ShownTable shown = shownTable();
    writeTextFile(path.toStdString(), tableCsv(shown.table, shown.captions));
}

void GridView::exportCsvCommand() {
    if (messages_ == nullptr) {
        return;
    }
    retranslateCommands();
    QString caption = exportAction_->text();
    caption.remove(QChar(0x2026));
    const QString path = messages_->saveFileName(this, caption, objectName() + ".csv",
                                                 QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    try {
        exportCsv(path);
    } catch (const AppError&) {
        const ErrorReport r = describeCurrentError();
        messages_->showMessage(this, QString::fromStdString(r.message),
                               QString::fromStdString(r.detail));
        return;
    }
    messages_->showStatus(this, QStringLiteral("The table was written to %1").arg(path));
}

void GridView::setEditable(EditCommands commands) {
    editable_ = true;
    commands_ = std::move(commands);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setAlternatingRowColors(false);
    removeAction(copyAction_);
    removeAction(exportAction_);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (editable_) {
        const std::pair<QKeySequence::StandardKey, const std::function<void()>*> keys[] = {
            {QKeySequence::Paste, &commands_.paste},
            {QKeySequence::Copy, &commands_.copy},
            {QKeySequence::Undo, &commands_.undo}};
        for (const auto& [key, command] : keys) {
            if (event->matches(key) && *command) {
                event->accept();
                if (messages_ != nullptr) {
                    guarded(*messages_, this, *command)();
                } else {
                    (*command)();
                }
                return;
            }
        }
        QTableWidget::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        emit rowActivated(currentRow());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace kambrix
