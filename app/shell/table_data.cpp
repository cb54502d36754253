// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/table_data.h"

#include <algorithm>
#include <map>

#include "shell/csv.h"
#include "shell/number_text.h"

namespace kambrix {

TableCell TableCell::ofText(std::string text, CellAlign align) {
    TableCell c;
    c.text = std::move(text);
    c.align = align;
    return c;
}

TableCell TableCell::ofNumber(double value, int decimals) {
    TableCell c;
    c.number = value;
    c.decimals = decimals;
    c.align = CellAlign::Right;
    return c;
}

std::string TableCell::displayText(char decimalSeparator) const {
    return number ? formatDecimals(*number, decimals, decimalSeparator) : text;
}

std::string TableCell::exportText() const {
    return number ? fixedText(*number, decimals) : text;
}

const TableCell* TableData::cell(std::size_t row, std::size_t column) const {
    if (row >= rows.size() || column >= rows[row].cells.size()) {
        return nullptr;
    }
    return &rows[row].cells[column];
}

int TableData::columnOf(const std::string& key) const {
    const auto found = std::find(columns.begin(), columns.end(), key);
    return found == columns.end() ? -1 : static_cast<int>(found - columns.begin());
}

std::vector<std::string> TableData::columnTexts(const std::string& key,
                                                char decimalSeparator) const {
    std::vector<std::string> out;
    const int c = columnOf(key);
    if (c < 0) {
        return out;
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const TableCell* x = cell(r, static_cast<std::size_t>(c));
        out.push_back(x != nullptr ? x->displayText(decimalSeparator) : std::string());
    }
    return out;
}

std::string tableCsv(const TableData& table, const std::vector<std::string>& captions,
                     char separator) {
    std::string out(kUtf8Bom);
    std::vector<std::string> heading;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        heading.push_back(c < captions.size() && !captions[c].empty() ? captions[c]
                                                                      : table.columns[c]);
    }
    out += csvLine(heading, separator);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        std::vector<std::string> fields;
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const TableCell* x = table.cell(r, c);
            fields.push_back(x != nullptr ? x->exportText() : std::string());
        }
        out += csvLine(fields, separator);
    }
    return out;
}

std::string selectionText(std::vector<SelectedCell> cells) {
    if (cells.empty()) {
        return {};
    }
    int left = cells.front().column;
    int right = left;
    std::map<int, std::map<int, std::string>> rows;
    for (auto& c : cells) {
        left = std::min(left, c.column);
        right = std::max(right, c.column);
        std::replace_if(
            c.text.begin(), c.text.end(),
            [](char ch) { return ch == '\t' || ch == '\n' || ch == '\r'; }, ' ');
        rows[c.row][c.column] = std::move(c.text);
    }
    std::string out;
    for (const auto& [row, columns] : rows) {
        for (int c = left; c <= right; ++c) {
            if (c > left) {
                out += '\t';
            }
            const auto found = columns.find(c);
            if (found != columns.end()) {
                out += found->second;
            }
        }
        out += '\n';
    }
    return out;
}

}  // namespace kambrix
