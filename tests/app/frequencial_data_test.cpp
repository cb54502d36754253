// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/frequencial_data.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app_test_support.h"
#include "design/tovren_presenter.h"

using namespace kambrix;
using kambrix::test::numberOf;

namespace {

std::filesystem::path writeFile(const test::TempFolder& dir, const std::string& name,
                                const std::string& text) {
    const auto path = dir.path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace

TEST(FrequencialData, ReadsYearQfcFrequencyUpToTheFirstEmptyLine) {
    const auto records =
        parseFrequencialData("Year;Qfc;Frequency\n2001;0.65;20\n2002;0.71;40\n\n2003;9;9\n", '.');
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].ano, 2001);
    EXPECT_EQ(records[0].Qfc, 0.65);
    EXPECT_EQ(records[0].frequencia, 20);
    EXPECT_EQ(records[1].ano, 2002);
    EXPECT_EQ(records[1].frequencia, 40);

    // CR LF endings, a byte-order mark, a trailing empty line, blanks around the numbers and
    // the user's decimal comma.
    const auto windows = parseFrequencialData(
        "\xEF\xBB\xBFYear;Qfc;Frequency\r\n2001; 0,65 ;20\r\n2002;0.71;40\r\n\r\n", ',');
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].Qfc, 0.65);
    EXPECT_EQ(windows[1].Qfc, 0.71);
    EXPECT_EQ(windows[1].frequencia, 40);

    // The end of the file ends the list as well; a heading alone gives an empty list.
    EXPECT_EQ(parseFrequencialData("h\n2001;1;2", '.').size(), 1u);
    EXPECT_TRUE(parseFrequencialData("h\r\n", '.').empty());
}

TEST(FrequencialData, ALineThatCannotBeReadIsAFormatError) {
    const char* bad[] = {
        "h\n2001;0.65\n",       // two fields
        "h\n2001;0.65;20;7\n",  // four
        "h\n2001;abc;20\n",     // not a number
        "h\n2001;0.65;20 %\n",  // trailing text
        "h\n2001,0.65;20\n",    // "," and ";" mixed: two fields
        "h\n2001;0,65;20\n",    // a comma where the user's separator is "."
        "h\n2001;1e999;20\n",   // beyond the double range
        "h\n2001;;20\n",        // an empty field
        "h\n2001;\"0.65;20\n",  // an unterminated quote
        "",                     // no heading
    };
    for (const char* text : bad) {
        EXPECT_EQ(numberOf([&] { parseFrequencialData(text, '.'); }), errc::SchedulingFileFormat)
            << text;
    }
    try {
        parseFrequencialData("h\n2001;1;2\n2002;x;3\n", '.');
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "The input file as an format error, it must be a CSV file");
        EXPECT_NE(e.detail().find("line 3"), std::string::npos) << e.detail();
    }
}

// With a decimal point the fields may be separated by ","; with a decimal comma they may not.
// Years that are no years and frequencies outside 0..100 % are refused naming the line.
TEST(FrequencialData, CommaSeparatedFilesAndImplausibleRows) {
    const auto comma =
        parseFrequencialData("Year,Qfc,Frequency\r\n2001,0.65,20\r\n2002,0.7,100\r\n", '.');
    ASSERT_EQ(comma.size(), 2u);
    EXPECT_EQ(comma[0].ano, 2001);
    EXPECT_EQ(comma[0].Qfc, 0.65);
    EXPECT_EQ(comma[1].frequencia, 100);
    // A heading written with ";" does not decide: the year lines do.
    EXPECT_EQ(parseFrequencialData("Year;Qfc;Frequency\n2001,0.65,0\n", '.').size(), 1u);
    EXPECT_EQ(numberOf([] { parseFrequencialData("h\n2001,0,65,20\n", ','); }),
              errc::SchedulingFileFormat);

    const std::pair<const char*, const char*> refused[] = {
        {"h\n2001;0.65;20\n2002;0.6;100.5\n",
         "Line 3 of the file: the frequency 100.5 is outside 0 to 100 %"},
        {"h\n2001;0.65;-1\n", "Line 2 of the file: the frequency -1 is outside 0 to 100 %"},
        {"h\n2001;0.65;20\n0.65;2001;20\n",
         "Line 3 of the file: 0.65 is not a year (a whole number from 1850 to 2150)"},
        {"h\n20011;0.65;20\n",
         "Line 2 of the file: 20011 is not a year (a whole number from 1850 to 2150)"},
        {"h\n2001.5;0.65;20\n",
         "Line 2 of the file: 2001.5 is not a year (a whole number from 1850 to 2150)"},
    };
    for (const auto& [text, message] : refused) {
        try {
            parseFrequencialData(text, '.');
            ADD_FAILURE() << "accepted: " << text;
        } catch (const AppError& e) {
            EXPECT_EQ(e.number(), errc::SchedulingFileFormat);
            EXPECT_STREQ(e.what(), message);
        }
    }
    // The ends of both ranges are accepted; the message follows the user's notation.
    EXPECT_EQ(parseFrequencialData("h\n1850;1;0\n2150;1;100\n", '.').size(), 2u);
    try {
        parseFrequencialData("h\n2001;0,6;150,5\n", ',');
        ADD_FAILURE() << "accepted";
    } catch (const AppError& e) {
        EXPECT_STREQ(e.what(), "Line 2 of the file: the frequency 150,5 is outside 0 to 100 %");
    }

    // What the window says of the file, in each notation.
    const std::string point = frequencialFileFormat('.');
    EXPECT_NE(point.find("year;Qfc;frequency"), std::string::npos) << point;
    EXPECT_NE(point.find("2001;0.65;20"), std::string::npos) << point;
    EXPECT_NE(point.find("(or by \",\""), std::string::npos) << point;
    const std::string commaText = frequencialFileFormat(',');
    EXPECT_NE(commaText.find("2001;0,65;20"), std::string::npos) << commaText;
    EXPECT_EQ(commaText.find("(or by"), std::string::npos) << commaText;
    EXPECT_NE(commaText.find("the decimal mark is \",\""), std::string::npos) << commaText;
}

TEST(FrequencialData, FileImportKeepsTheGridWhenItFails) {
    test::TempFolder dir("frequencial");
    const auto good = writeFile(dir, "good.csv",
                                "Year;Qfc(L/s/ha);Frequency\r\n1998;0.80;10\r\n1999;0.55;90\r\n"
                                "2000;0.62;50\r\n");
    const auto badLine = writeFile(dir, "bad.csv", "Year;Qfc;Frequency\n2001;0.1;1\n2002;0.2\n");
    const auto empty = writeFile(dir, "empty.csv", "");

    EXPECT_EQ(readFrequencialFile(good, '.').size(), 3u);
    EXPECT_EQ(numberOf([&] { readFrequencialFile(empty, '.'); }), errc::SchedulingFileFormat);
    EXPECT_EQ(numberOf([&] { readFrequencialFile(dir.path() / "none.csv", '.'); }),
              errc::FileMissing);

    TovrenPresenter presenter(',');
    EXPECT_EQ(TovrenPresenter::gridHeadings()[0], "Frequency");
    EXPECT_EQ(TovrenPresenter::gridHeadings()[1], "Qfc(L/s/ha)");
    EXPECT_EQ(TovrenPresenter::gridHeadings()[2], "Year");
    ASSERT_TRUE(presenter.importFile(good).imported);
    auto grid = presenter.gridRows();
    ASSERT_EQ(grid.size(), 3u);
    EXPECT_EQ(grid[0][0], "10");
    EXPECT_EQ(grid[0][1], "0,8");
    EXPECT_EQ(grid[0][2], "1998");
    EXPECT_EQ(presenter.qfcOfRow(1).value_or(""), "0,55");
    EXPECT_FALSE(presenter.qfcOfRow(3).has_value());

    // The curve: Qfc against frequency, ordered by frequency.
    const auto curve = presenter.curve();
    ASSERT_EQ(curve.size(), 3u);
    EXPECT_EQ(curve[0].frequencia, 10);
    EXPECT_EQ(curve[1].frequencia, 50);
    EXPECT_EQ(curve[1].Qfc, 0.62);
    EXPECT_EQ(curve[2].frequencia, 90);

    for (const auto& path : {badLine, empty}) {
        const ImportOutcome failed = presenter.importFile(path);
        EXPECT_FALSE(failed.imported);
        EXPECT_EQ(failed.message.value_or(""),
                  "The input file as an format error, it must be a CSV file");
        EXPECT_EQ(presenter.gridRows(), grid) << "the grid is kept";
    }
    const ImportOutcome missing = presenter.importFile(dir.path() / "none.csv");
    EXPECT_FALSE(missing.imported);
    EXPECT_NE(missing.message.value_or("").find("does not exist"), std::string::npos);
    EXPECT_EQ(presenter.records().size(), 3u);
}
