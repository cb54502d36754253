// SPDX-License-Identifier: GPL-3.0-or-later
//
// The grid of every window: shows a TableData (a presenter's rows, built without Qt) with the
// column captions of its "ColumnCaptions" property, which the language file may replace;
// copies the selection as tab-separated text (Ctrl+A selects all, Ctrl+C copies every
// selected cell); exports the table as CSV; and tells the window when a row is activated
// (Enter or a double click). An editable grid (readings the user types or pastes) leaves
// those commands to the window: see setEditable().
//
// Use: `auto* g = new GridView("grdSalidas", "Tramo;Salida;...", parent);
//       g->setMessages(&services.messages); g->setTable(presenterTable);`
// and connect `rowActivated` where a row opens something.
#pragma once

#include <QStringList>
#include <QTableWidget>
#include <functional>
#include <optional>

#include "shell/table_data.h"
#include "shell/unit_captions.h"

class QAction;

namespace kambrix {

class MessageService;

class GridView : public QTableWidget {
    Q_OBJECT

  public:
    // `captions`: the ";"-separated Spanish design captions of the columns, in the order of
    // the tables this grid shows.
    GridView(const char* objectName, const QString& captions, QWidget* parent = nullptr);

    // What the window does in an editable grid on Ctrl+V, Ctrl+C and Ctrl+Z.
    struct EditCommands {
        std::function<void()> paste;
        std::function<void()> copy;
        std::function<void()> undo;
    };
    // Makes the cells editable as a spreadsheet's are (a double click, F2 or typing opens
    // a cell): the keys run the window's commands (inside an open cell editor they edit the
    // text), Enter no longer activates a row, and the grid's own copy and export commands
    // leave its menu. What a command throws is shown in the error box.
    void setEditable(EditCommands commands);
    bool isEditable() const noexcept { return editable_; }

    // The service that asks for the export file and reports a failed export.
    void setMessages(MessageService* messages) { messages_ = messages; }

    // Shows the table (the previous selection and scroll position are dropped). Columns
    // whose caption names a unit show their numbers in the shown units (shownUnits()); the
    // table kept (table()) stays in stored units.
    void setTable(TableData table);
    // New texts for the cells of one row (a presenter's row that changed), kept and shown
    // in the shown units.
    void setRowTexts(int row, const std::vector<std::string>& texts);
    // Shows the kept table again in the shown units (after they changed).
    void redrawInUnits();
    // The quantity the column's caption names, none for a column without a unit: the text
    // a user types in such a cell is in the shown units.
    std::optional<Quantity> columnQuantity(int column) const;
    // Long headings ("Ideal consumed discharge (L/s)") shown on two lines, and every column
    // as wide as its heading and texts: a narrow table that still shows them whole.
    void setCompactColumns(bool compact);
    const TableData& table() const noexcept { return table_; }
    // The captions shown, in the shown units: the property's texts, and the column key where
    // it has none.
    QStringList captions() const;

    // The selected cells as tab-separated text, as shown on screen.
    QString selectionText() const;
    // Puts selectionText() on the clipboard.
    void copySelection();
    // Writes the table as CSV (points as decimal separators, a heading line, UTF-8); a file
    // that cannot be written raises errc::FileNotWritable.
    void exportCsv(const QString& path) const;
    // The export command: asks for the file and writes it; a failure is shown in a box.
    void exportCsvCommand();

    // The row under a keyboard or mouse activation, -1 when none is current.
    int currentDataRow() const { return currentRow(); }

  signals:
    void rowActivated(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void retranslateCommands();
    // The property's captions as the language file gives them (stored units).
    QStringList storedCaptions() const;
    // The table as shown: in the shown units, with its captions.
    ShownTable shownTable() const;

    TableData table_;
    MessageService* messages_ = nullptr;
    bool compact_ = false;
    bool editable_ = false;
    EditCommands commands_;
    QAction* copyAction_ = nullptr;
    QAction* exportAction_ = nullptr;
};

}  // namespace kambrix
