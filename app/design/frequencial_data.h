// SPDX-License-Identifier: GPL-3.0-or-later
//
// The results of the external irrigation-scheduling model, read from the file it exports:
// a heading line, then one line per year "year;Qfc;frequency" (";" between fields, numbers
// in the user's notation or with a point; where the user's decimal mark is a point the
// fields may be separated by "," instead), up to the first empty line or the end of the
// file. Lines may end in LF or CR LF and the file may start with a UTF-8 byte-order mark.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kambrix {

// The most years one file may list.
inline constexpr std::size_t kMaxSchedulingYears = 100'000;

// One year of the model's results.
struct FrequencialData {
    double frequencia = 0;  // frequency of the year's requirement, as the model gives it
    double Qfc = 0;         // continuous discharge, L/s per hectare
    double ano = 0;         // year
};

// The plausible years of a scheduling-model run, and the frequency's range (%).
inline constexpr double kFirstPlausibleYear = 1850;
inline constexpr double kLastPlausibleYear = 2150;

// The records of the text: the first line is skipped; every line after it up to the first
// empty (or blank) line must hold exactly three numbers, read with parseNumber into `ano`,
// `Qfc` and `frequencia` in that order. A line that does not raises
// errc::SchedulingFileFormat ("The input file as an format error, it must be a CSV file",
// the line named in the detail), as does a text without a heading line. The fields are
// separated by ";"; with a decimal point, a file whose first year line has no ";" but a ","
// is read with "," between the fields. A year that is not a whole number from 1850 to 2150,
// or a frequency outside 0 to 100 %, raises errc::SchedulingFileFormat with a message that
// names the line ("Line 3 of the file: the frequency 120 is outside 0 to 100 %").
std::vector<FrequencialData> parseFrequencialData(std::string_view text, char decimalSeparator);

// What the window says of the file it reads: the heading line, the fields of a year line
// in their order, their separator and the decimal mark of this notation, with an example.
std::string frequencialFileFormat(char decimalSeparator);

// The records of the file; besides the format error, the file errors of readTextFile
// (errc::FileMissing, FileUnreadable, ...), and an empty file gives the format error.
std::vector<FrequencialData> readFrequencialFile(const std::filesystem::path& path,
                                                 char decimalSeparator);

// The points of the frequency curve: the records ordered by frequency (then by Qfc), for a
// plot of Qfc against frequency.
std::vector<FrequencialData> frequencyCurve(std::vector<FrequencialData> records);

}  // namespace kambrix
