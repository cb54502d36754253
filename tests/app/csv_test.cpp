// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/csv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app_test_support.h"
#include "shell/errors.h"

using namespace kambrix;
using test::numberOf;

namespace {

std::vector<std::vector<std::string>> fieldsOf(const std::vector<CsvRecord>& records) {
    std::vector<std::vector<std::string>> out;
    for (const auto& r : records) {
        out.push_back(r.fields);
    }
    return out;
}

}  // namespace

TEST(Csv, QuotesLineEndsAndByteOrderMark) {
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(fieldsOf(parseCsv("a,b\r\n1,2\r\n")), (Rows{{"a", "b"}, {"1", "2"}}));
    EXPECT_EQ(fieldsOf(parseCsv("a,b\n1,2")), (Rows{{"a", "b"}, {"1", "2"}}));
    EXPECT_EQ(fieldsOf(parseCsv("a\rb\r")), (Rows{{"a"}, {"b"}}));
    EXPECT_EQ(fieldsOf(parseCsv("\xEF\xBB\xBFx;y\n", ';')), (Rows{{"x", "y"}}));
    // Quoted fields: separators, quotes and line ends inside.
    const auto quoted = parseCsv("\"a, b\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nnext,1\r\n");
    ASSERT_EQ(quoted.size(), 2u);
    EXPECT_EQ(quoted[0].fields, (std::vector<std::string>{"a, b", "say \"hi\"", "two\r\nlines"}));
    EXPECT_EQ(quoted[1].line, 3u) << "the record after a two-line field starts on line 3";
    // Empty fields and empty lines are kept; the end after the last line end adds nothing.
    const auto blanks = parseCsv("1,,3\n\n,\n");
    ASSERT_EQ(blanks.size(), 3u);
    EXPECT_EQ(blanks[0].fields, (std::vector<std::string>{"1", "", "3"}));
    EXPECT_TRUE(blanks[1].blank());
    EXPECT_EQ(blanks[2].fields, (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(parseCsv("").empty());
    EXPECT_EQ(numberOf([] { parseCsv("a,\"open\nstill open"); }), errc::CsvFormat);
}

TEST(Csv, WrittenLinesReadBack) {
    const std::vector<std::string> fields = {"plain",   "with,comma", "with \"quote\"",
                                             " padded", "two\nlines", ""};
    const std::string line = csvLine(fields);
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    const auto back = parseCsv(line);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].fields, fields);
    EXPECT_EQ(csvField("1.5;2", ';'), "\"1.5;2\"");
    EXPECT_EQ(csvField("1,5", ';'), "1,5");
}

TEST(Csv, FileProblemsHaveTheirOwnNumbers) {
    test::TempFolder dir("csv-files");
    const auto file = dir.path() / "samples.csv";
    EXPECT_EQ(numberOf([&] { readTextFile(file); }), errc::FileMissing);
    EXPECT_EQ(numberOf([&] { readTextFile(dir.path()); }), errc::FileIsDirectory);
    writeTextFile(file, "");
    EXPECT_EQ(numberOf([&] { readTextFile(file); }), errc::FileEmpty);
    EXPECT_EQ(readTextFile(file, true), "");
    writeTextFile(file, "\xEF\xBB\xBF \r\n\t");
    EXPECT_EQ(numberOf([&] { readTextFile(file); }), errc::FileEmpty) << "blanks alone";
    // A file that opens but whose reading fails: the process's own memory at offset 0.
    if (std::filesystem::exists("/proc/self/mem")) {
        EXPECT_EQ(numberOf([] { readTextFile("/proc/self/mem"); }), errc::FileUnreadable);
    }
    writeTextFile(file, "r,v\n1,2\n");
    EXPECT_EQ(readTextFile(file), "r,v\n1,2\n");
    EXPECT_EQ(numberOf([&] { readTextFile(file, false, 4); }), errc::FileUnreadable);
    EXPECT_EQ(numberOf([&] { writeTextFile(dir.path() / "no" / "such.csv", "x"); }),
              errc::FileNotWritable);
    try {
        readTextFile(dir.path());
    } catch (const AppError& e) {
        EXPECT_NE(std::string(e.what()).find(dir.path().string()), std::string::npos)
            << "the message names the path";
    }
}

TEST(Csv, WholeFieldNumbers) {
    EXPECT_EQ(csvNumber(" 2.5 "), 2.5);
    EXPECT_EQ(csvNumber("+3"), 3.0);
    EXPECT_EQ(csvNumber("-1e-3"), -0.001);
    EXPECT_FALSE(csvNumber("2,5")) << "the point is the only decimal separator in files";
    EXPECT_FALSE(csvNumber("12 ml"));
    EXPECT_FALSE(csvNumber(""));
    EXPECT_FALSE(csvNumber("1e400"));
    EXPECT_FALSE(csvNumber("inf"));
    EXPECT_FALSE(csvNumber("nan"));
}
