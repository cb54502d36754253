// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/csv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

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

TEST(Csv, TinyNumbersAreZeroAndHugeOnesNoNumber) {
    EXPECT_EQ(csvNumber("1e-400"), 0.0);
    const auto negative = csvNumber("-1e-400");
    ASSERT_TRUE(negative);
    EXPECT_TRUE(*negative == 0 && std::signbit(*negative));
    EXPECT_EQ(csvNumber("0." + std::string(400, '0') + "1"), 0.0) << "underflow without exponent";
    EXPECT_FALSE(csvNumber("1" + std::string(400, '0'))) << "overflow without exponent";
    EXPECT_FALSE(csvNumber("1" + std::string(500, '0') + "e-10")) << "still 1e490";
    EXPECT_FALSE(csvNumber("-1e999999999999999999999"));
    EXPECT_EQ(csvNumber("4.9e-324"), 4.9e-324) << "the smallest subnormal is a number";
}

TEST(Csv, StreamedRecordsAreTheParsedOnes) {
    const std::string text = "\xEF\xBB\xBFh1,h2\r\n\n\"a\nb\",2\n,\nlast";
    std::vector<std::vector<std::string>> streamed;
    std::vector<std::size_t> lines;
    forEachCsvRecord(text, ',', [&](const CsvRecord& r) {
        streamed.push_back(r.fields);
        lines.push_back(r.line);
    });
    const auto parsed = parseCsv(text);
    EXPECT_EQ(streamed, fieldsOf(parsed));
    ASSERT_EQ(lines.size(), parsed.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], parsed[i].line);
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 3, 5, 6}));
}

TEST(Csv, OnlyRegularFilesOfAtMostSixteenMegabytesAreRead) {
    test::TempFolder dir("csv-regular");
    const auto pipe = dir.path() / "pipe.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A pipe with no writer would hold the reader for ever: it is refused unopened.
    EXPECT_EQ(numberOf([&] { readTextFile(pipe); }), errc::FileNotRegular);
    EXPECT_EQ(numberOf([] { readTextFile("/dev/zero"); }), errc::FileNotRegular);
    EXPECT_EQ(numberOf([] { readTextFile("/dev/null"); }), errc::FileNotRegular);

    const auto utf16 = dir.path() / "utf16.csv";
    writeTextFile(utf16, std::string("\xFF\xFE"
                                     "a\0,\0b\0",
                                     8));
    EXPECT_EQ(numberOf([&] { readTextFile(utf16); }), errc::FileNotUtf8);
    writeTextFile(utf16, std::string("\xFE\xFF\0a", 4));
    EXPECT_EQ(numberOf([&] { readTextFile(utf16); }), errc::FileNotUtf8);

    const auto big = dir.path() / "big.csv";
    {
        std::ofstream out(big, std::ios::binary);
        out.seekp(static_cast<std::streamoff>(kMaxInputFileBytes));
        out.put('x');  // a sparse file one byte over the limit
    }
    EXPECT_EQ(numberOf([&] { readTextFile(big); }), errc::FileUnreadable);
    std::filesystem::resize_file(big, kMaxInputFileBytes);
    EXPECT_EQ(readTextFile(big).size(), kMaxInputFileBytes) << "a file at the limit is read";
}

TEST(Csv, WrittenFilesAreWholeOrNotThere) {
    test::TempFolder dir("csv-written");
    const auto file = dir.path() / "export.csv";
    writeTextFile(file, "old");
    writeTextFile(file, "new,text\n");
    EXPECT_EQ(readTextFile(file), "new,text\n");
    const auto entries = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(e.path().filename().string());
        }
        return names;
    };
    EXPECT_EQ(entries(), (std::vector<std::string>{"export.csv"})) << "no temporary left";
    const auto mode = std::filesystem::status(file).permissions();
    EXPECT_NE(mode & std::filesystem::perms::group_read, std::filesystem::perms::none)
        << "an export is an ordinary file, not private to its writer";

    const auto messageOf = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const AppError& e) {
            EXPECT_EQ(e.number(), errc::FileNotWritable);
            return std::string(e.what());
        }
        return std::string("(nothing raised)");
    };
    EXPECT_NE(messageOf([&] {
                  writeTextFile(dir.path() / "no" / "x.csv", "x");
              }).find("the folder does not exist"),
              std::string::npos);
    EXPECT_NE(messageOf([&] { writeTextFile(dir.path(), "x"); }).find("it is a folder"),
              std::string::npos);
    if (std::filesystem::exists("/dev/full")) {
        const std::string full = messageOf([] { writeTextFile("/dev/full", "x"); });
        EXPECT_NE(full.find("the disk is full"), std::string::npos) << full;
        EXPECT_NE(full.find("/dev/full"), std::string::npos) << full;
    }
    EXPECT_EQ(entries(), (std::vector<std::string>{"export.csv"}));
    EXPECT_EQ(readTextFile(file), "new,text\n") << "the earlier file is untouched";
}
