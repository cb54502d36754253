// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/frequencial_data.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/services.h"

namespace kambrix {

namespace {

constexpr char kSeparator = ';';

[[noreturn]] void formatError(const std::string& detail) {
    raiseError(errc::SchedulingFileFormat, {}, detail);
}

double numberField(const CsvRecord& record, std::size_t i, char decimalSeparator) {
    const std::string& text = record.fields[i];
    const double x = parseNumber(text, decimalSeparator);
    if (!isNumberText(text, decimalSeparator) || !std::isfinite(x)) {
        formatError("line " + std::to_string(record.line) + ", field " + std::to_string(i + 1) +
                    " is not a number: \"" + text + "\"");
    }
    return x;
}

bool blankLine(const CsvRecord& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& f) { return isBlank(f); }) &&
           record.fields.size() <= 1;
}

}  // namespace

std::vector<FrequencialData> parseFrequencialData(std::string_view text, char decimalSeparator) {
    std::vector<CsvRecord> records;
    try {
        records = parseCsv(text, kSeparator);
    } catch (const AppError& e) {
        formatError(e.what());
    }
    if (records.empty()) {
        formatError("the file has no heading line");
    }
    std::vector<FrequencialData> out;
    for (std::size_t r = 1; r < records.size() && !blankLine(records[r]); ++r) {
        const CsvRecord& record = records[r];
        if (record.fields.size() != 3) {
            formatError("line " + std::to_string(record.line) + " has " +
                        std::to_string(record.fields.size()) + " fields instead of 3");
        }
        FrequencialData d;
        d.ano = numberField(record, 0, decimalSeparator);
        d.Qfc = numberField(record, 1, decimalSeparator);
        d.frequencia = numberField(record, 2, decimalSeparator);
        out.push_back(d);
    }
    return out;
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
