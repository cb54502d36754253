// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/frequencial_data.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/services.h"
#include "shell/text.h"

namespace kambrix {

namespace {

constexpr char kSeparator = ';';
constexpr char kPointFileSeparator = ',';

[[noreturn]] void formatError(const std::string& detail) {
    raiseError(errc::SchedulingFileFormat, {}, detail);
}

double numberField(const CsvRecord& record, std::size_t i, char decimalSeparator) {
    const std::string& text = record.fields[i];
    const double x = parseNumber(text, decimalSeparator);
    if (!isNumberText(text, decimalSeparator) || !std::isfinite(x)) {
        formatError("line " + std::to_string(record.line) + ", field " + std::to_string(i + 1) +
                    " is not a number: \"" + shortPrintable(text, 30) + "\"");
    }
    return x;
}

// A number as the window shows it in a message, in the user's notation.
std::string shown(double x, char decimalSeparator) {
    return toLocaleText(roundTripText(x), decimalSeparator);
}

[[noreturn]] void lineRefused(const CsvRecord& record, const std::string& why) {
    const std::string where = "Line " + std::to_string(record.line) + " of the file: ";
    raiseError(errc::SchedulingFileFormat, where + why);
}

void checkYearLine(const CsvRecord& record, const FrequencialData& d, char decimalSeparator) {
    if (!(d.ano >= kFirstPlausibleYear && d.ano <= kLastPlausibleYear) ||
        std::floor(d.ano) != d.ano) {
        lineRefused(record, shown(d.ano, decimalSeparator) +
                                " is not a year (a whole number from 1850 to 2150)");
    }
    if (!(d.frequencia >= 0 && d.frequencia <= 100)) {
        lineRefused(record, "the frequency " + shown(d.frequencia, decimalSeparator) +
                                " is outside 0 to 100 %");
    }
}

// ";", or "," for a file written with a decimal point whose first year line has no ";".
char fieldSeparatorOf(std::string_view text, char decimalSeparator) {
    if (decimalSeparator == kPointFileSeparator) {
        return kSeparator;
    }
    const std::size_t heading = text.find('\n');
    if (heading == std::string_view::npos) {
        return kSeparator;
    }
    std::string_view rest = text.substr(heading + 1);
    std::string_view line = rest.substr(0, rest.find('\n'));
    return line.find(kSeparator) == std::string_view::npos &&
                   line.find(kPointFileSeparator) != std::string_view::npos
               ? kPointFileSeparator
               : kSeparator;
}

bool blankLine(const CsvRecord& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& f) { return isBlank(f); }) &&
           record.fields.size() <= 1;
}

}  // namespace

std::vector<FrequencialData> parseFrequencialData(std::string_view text, char decimalSeparator) {
    std::vector<FrequencialData> out;
    bool heading = false;
    try {
        // The list ends at the first empty line: nothing after it is read.
        forEachCsvRecordWhile(
            text, fieldSeparatorOf(text, decimalSeparator), [&](const CsvRecord& record) {
                if (!heading) {
                    heading = true;
                    return true;
                }
                if (blankLine(record)) {
                    return false;
                }
                if (record.fields.size() != 3) {
                    formatError("line " + std::to_string(record.line) + " has " +
                                std::to_string(record.fields.size()) + " fields instead of 3");
                }
                if (out.size() == kMaxSchedulingYears) {
                    raiseError(errc::InputTooLarge, "Line " + std::to_string(record.line) +
                                                        " of the file: more than " +
                                                        std::to_string(kMaxSchedulingYears) +
                                                        " years, more than the model's file holds");
                }
                FrequencialData d;
                d.ano = numberField(record, 0, decimalSeparator);
                d.Qfc = numberField(record, 1, decimalSeparator);
                d.frequencia = numberField(record, 2, decimalSeparator);
                checkYearLine(record, d, decimalSeparator);
                out.push_back(d);
                return true;
            });
    } catch (const AppError& e) {
        if (e.number() != errc::CsvFormat) {
            throw;
        }
        formatError(e.what());
    }
    if (!heading) {
        formatError("the file has no heading line");
    }
    return out;
}

std::string frequencialFileFormat(char decimalSeparator) {
    const std::string example = "2001;" + toLocaleText("0.65", decimalSeparator) + ";20";
    std::string text = "The file: a heading line, then one line per year: year;Qfc;frequency, as " +
                       example + ". The fields are separated by \";\"";
    if (decimalSeparator != kPointFileSeparator) {
        text += " (or by \",\", as 2001,0.65,20)";
    }
    text += std::string(", the decimal mark is \"") + decimalSeparator +
            "\"; Qfc in L/s per hectare, the frequency in % (0 to 100), the year from 1850 to "
            "2150; the list ends at the first empty line.";
    return text;
}

std::vector<FrequencialData> readFrequencialFile(const std::filesystem::path& path,
                                                 char decimalSeparator) {
    std::string text;
    try {
        text = readTextFile(path);
    } catch (const AppError& e) {
        if (e.number() != errc::FileEmpty) {
            throw;
        }
        formatError(e.what());
    }
    return parseFrequencialData(text, decimalSeparator);
}

std::vector<FrequencialData> frequencyCurve(std::vector<FrequencialData> records) {
    std::stable_sort(
        records.begin(), records.end(), [](const FrequencialData& a, const FrequencialData& b) {
            return a.frequencia != b.frequencia ? a.frequencia < b.frequencia : a.Qfc < b.Qfc;
        });
    return records;
}

}  // namespace kambrix
