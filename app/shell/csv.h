// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program's one reader and writer of comma-separated text (exports, imports and the
// command line): fields may be quoted ("a, b", with "" for a quote inside), lines may end in
// LF, CR LF or CR, and a UTF-8 byte-order mark at the start is skipped. Spreadsheets in
// comma-decimal locales write ";" between fields, so the separator is a parameter.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kambrix {

struct CsvRecord {
    std::size_t line = 0;  // 1-based line of the file where the record starts
    std::vector<std::string> fields;
    // The line was empty (no characters at all); `fields` is then empty.
    bool blank() const { return fields.empty(); }
};

// Every record of the text in order, empty lines included as blank records; the end of the
// text after a last line end adds no record. An unterminated quoted field raises
// AppError errc::CsvFormat naming its line.
std::vector<CsvRecord> parseCsv(std::string_view text, char separator = ',');
// The same records handed one at a time to `visit` (the record is reused between calls), so
// that a reader keeps only what it needs of a large file.
void forEachCsvRecord(std::string_view text, char separator,
                      const std::function<void(const CsvRecord&)>& visit);
// The same until `visit` returns false: the rest of the text is not read.
void forEachCsvRecordWhile(std::string_view text, char separator,
                           const std::function<bool(const CsvRecord&)>& visit);

// A whole field read as a number with "." as decimal point, whatever the locale: blanks
// around it are allowed, anything else after the number is not, and so are NaN and
// numbers beyond the double range. Empty when the field is not such a number.
std::optional<double> csvNumber(std::string_view field);

// The largest file any reader of the program takes: a design, a table or a set of catch-can
// readings is some kilobytes, so anything larger is refused before a byte is read.
inline constexpr std::size_t kMaxInputFileBytes = 16u * 1024u * 1024u;

// The whole file as text, the one door every file the program reads goes through. A path that
// does not exist raises errc::FileMissing, a folder errc::FileIsDirectory, anything but a
// regular file (a pipe, a device, a socket) errc::FileNotRegular, a file that cannot be
// opened or read, or larger than `maxBytes`, errc::FileUnreadable, text saved as UTF-16 or
// UTF-32 errc::FileNotUtf8, and an empty file (nothing but blanks and a byte-order mark)
// errc::FileEmpty unless allowEmpty; each message names the file.
std::string readTextFile(const std::filesystem::path& path, bool allowEmpty = false,
                         std::size_t maxBytes = kMaxInputFileBytes);

// Writes the text (or any bytes) to the file, created or replaced: written beside it under a
// temporary name and renamed over it when complete, so a failure leaves no half file and the
// earlier file as it was. A device or pipe named as the file is written directly. Failure
// raises errc::FileNotWritable naming the file and the reason ("the disk is full").
void writeTextFile(const std::filesystem::path& path, std::string_view text);

// The field as it must be written: quoted when it holds the separator, a quote, CR or LF, or
// leading or trailing blanks; quotes inside doubled.
std::string csvField(std::string_view field, char separator = ',');
// The fields joined with the separator, followed by lineEnd.
std::string csvLine(const std::vector<std::string>& fields, char separator = ',',
                    std::string_view lineEnd = "\r\n");

// The UTF-8 byte-order mark, which spreadsheets look for to read an export as UTF-8.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace kambrix
