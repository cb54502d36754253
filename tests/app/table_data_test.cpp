// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/table_data.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shell/csv.h"

using namespace kambrix;

TEST(TableData, ScreenAndExportTexts) {
    const TableCell n = TableCell::ofNumber(-0.004, 2);
    EXPECT_EQ(n.displayText(','), "0,00");  // no "-0,00"
    EXPECT_EQ(n.exportText(), "0.00");
    EXPECT_EQ(n.align, CellAlign::Right);
    EXPECT_EQ(TableCell::ofNumber(1234.5, 1).displayText(','), "1234,5");
    EXPECT_EQ(TableCell::ofNumber(std::nan(""), 2).displayText(','), "N/A");
    const TableCell t = TableCell::ofText("1.5 m");
    EXPECT_EQ(t.displayText(','), "1.5 m");  // a text is never changed
    EXPECT_EQ(t.align, CellAlign::Left);

    TableData table;
    table.columns = {"a", "b"};
    table.rows.push_back({{TableCell::ofText("x")}, CellFlag::None, ""});  // a short row
    EXPECT_EQ(table.cell(0, 1), nullptr);
    EXPECT_EQ(table.cell(1, 0), nullptr);
    EXPECT_EQ(table.columnOf("b"), 1);
    EXPECT_EQ(table.columnOf("c"), -1);
    EXPECT_EQ(table.columnTexts("b", '.'), (std::vector<std::string>{""}));
    EXPECT_TRUE(table.columnTexts("c", '.').empty());
}

TEST(TableData, CsvHasTheMarkTheHeadingAndPoints) {
    TableData table;
    table.columns = {"distance", "name", "note"};
    table.rows.push_back(
        {{TableCell::ofNumber(2.5, 2), TableCell::ofText("Tower 1"), TableCell::ofText("a,b")},
         CellFlag::Error,
         "flags never reach the file"});
    const std::string csv = tableCsv(table, {"Distance (m)", ""}, ',');
    EXPECT_EQ(csv, std::string(kUtf8Bom) + "Distance (m),name,note\r\n2.50,Tower 1,\"a,b\"\r\n");
    // The file reads back as written.
    const auto records = parseCsv(csv);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].fields, (std::vector<std::string>{"2.50", "Tower 1", "a,b"}));
    EXPECT_EQ(tableCsv(table, {"d", "n", "x"}, ';').substr(kUtf8Bom.size()),
              "d;n;x\r\n2.50;Tower 1;a,b\r\n");
}

TEST(TableData, SelectionTextKeepsRowsAndColumnsAligned) {
    EXPECT_EQ(selectionText({}), "");
    // Given out of order, as a view hands out its selection.
    EXPECT_EQ(selectionText({{1, 1, "d"}, {0, 0, "a"}, {1, 0, "c"}, {0, 1, "b"}}), "a\tb\nc\td\n");
    // Cells not selected inside the rectangle stay empty; rows without any are left out.
    EXPECT_EQ(selectionText({{0, 2, "x"}, {3, 4, "y"}}), "x\t\t\n\t\ty\n");
    EXPECT_EQ(selectionText({{0, 0, "two\tparts\nand lines"}}), "two parts and lines\n");
}
