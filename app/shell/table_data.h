// SPDX-License-Identifier: GPL-3.0-or-later
//
// A grid's content without any window: columns named by keys and rows of cells. The
// presenters of the screens produce it and the tests read it; the grid view shows it with
// the column captions of the language file, copies it and exports it. Numeric cells keep
// their value and decimals, so the screen shows them with the user's decimal separator while
// an export writes them with a point.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kambrix {

enum class CellAlign { Left, Right, Center };

// A mark the grid shows in colour: a value to look at, or one that is wrong.
enum class CellFlag { None, Highlight, Warning, Error };

struct TableCell {
    std::string text;              // the text of a text cell
    std::optional<double> number;  // the value of a numeric cell
    int decimals = 0;
    CellAlign align = CellAlign::Left;
    CellFlag flag = CellFlag::None;
    std::string tooltip;

    // A text cell (left aligned unless told otherwise).
    static TableCell ofText(std::string text, CellAlign align = CellAlign::Left);
    // A numeric cell shown with `decimals` decimals, right aligned.
    static TableCell ofNumber(double value, int decimals);

    // The text on screen: numbers with formatDecimals and the given separator ("N/A" for
    // a value that is not a number).
    std::string displayText(char decimalSeparator) const;
    // The text in an export: numbers with the same decimals and a point.
    std::string exportText() const;
};

struct TableRow {
    std::vector<TableCell> cells;
    CellFlag flag = CellFlag::None;  // a mark of the whole row
    std::string tooltip;             // the tooltip of every cell that has none of its own
};

struct TableData {
    // Column keys, in order; the captions come from the grid's "ColumnCaptions".
    std::vector<std::string> columns;
    std::vector<TableRow> rows;

    // The cell at (row, column), 0-based; nullptr where the row has no such cell.
    const TableCell* cell(std::size_t row, std::size_t column) const;
    // Index of the column key, or -1.
    int columnOf(const std::string& key) const;
    // The display texts of one column, for tests and lists.
    std::vector<std::string> columnTexts(const std::string& key, char decimalSeparator) const;
};

// The table as comma-separated text for a spreadsheet: the UTF-8 byte-order mark, a heading
// line of the captions (a column without caption is headed by its key), then one line per
// row with the export texts; lines end in CR LF.
std::string tableCsv(const TableData& table, const std::vector<std::string>& captions,
                     char separator = ',');

// One selected cell of a grid with the text it shows.
struct SelectedCell {
    int row = 0;
    int column = 0;
    std::string text;
};

// The selection as tab-separated text, as spreadsheets paste it: the rows that hold a
// selected cell, top to bottom, each with the columns from the leftmost to the rightmost
// selected column (cells not selected stay empty, so columns stay aligned), joined by tabs;
// rows end in a line feed. Tabs and line ends inside a cell become blanks.
std::string selectionText(std::vector<SelectedCell> cells);

}  // namespace kambrix
