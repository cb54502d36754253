// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/sample_exchange.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/services.h"

namespace kambrix {
namespace {

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";            // U+00A0
constexpr std::string_view kNarrowNoBreakSpace = "\xE2\x80\xAF";  // U+202F, French grouping
constexpr std::size_t kMostProblemsListed = 10;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the blank (space, tab, line end or no-break space) at `at`, 0 when there is none.
std::size_t blankAt(std::string_view s, std::size_t at) {
    if (at >= s.size()) {
        return 0;
    }
    const char c = s[at];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        return 1;
    }
    for (const auto mark : {kNoBreakSpace, kNarrowNoBreakSpace}) {
        if (s.substr(at, mark.size()) == mark) {
            return mark.size();
        }
    }
    return 0;
}

std::string_view trimBlanks(std::string_view s) {
    while (std::size_t n = blankAt(s, 0)) {
        s.remove_prefix(n);
    }
    for (;;) {
        bool cut = false;
        for (std::size_t n = 1; n <= 3 && n <= s.size(); ++n) {
            if (blankAt(s, s.size() - n) == n) {
                s.remove_suffix(n);
                cut = true;
                break;
            }
        }
        if (!cut) {
            return s;
        }
    }
}

std::string separatorName(char decimalSeparator) {
    return std::string("\"") + decimalSeparator + "\"";
}

}  // namespace

std::optional<double> readSpreadsheetNumber(std::string_view text, char decimalSeparator) {
    const std::string_view s = trimBlanks(text);
    const char otherMark = decimalSeparator == ',' ? '.' : ',';
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') {
            number += '-';
        }
        ++i;
    }
    // Whole part, possibly in groups of three.
    std::string groupMark;
    std::vector<std::size_t> groups;
    std::size_t run = 0;
    bool digits = false;
    while (i < s.size()) {
        if (isDigit(s[i])) {
            number += s[i++];
            ++run;
            digits = true;
            continue;
        }
        std::size_t markLength = s[i] == otherMark ? 1 : blankAt(s, i);
        if (markLength == 0 || run == 0 || i + markLength >= s.size() ||
            !isDigit(s[i + markLength])) {
            break;
        }
        const std::string mark(s.substr(i, markLength));
        if (!groupMark.empty() && mark != groupMark) {
            return std::nullopt;
        }
        groupMark = mark;
        groups.push_back(run);
        run = 0;
        i += markLength;
    }
    if (!groups.empty()) {
        groups.push_back(run);
        if (groups.front() > 3) {
            return std::nullopt;
        }
        for (std::size_t g = 1; g < groups.size(); ++g) {
            if (groups[g] != 3) {
                return std::nullopt;
            }
        }
    }
    if (i < s.size() && s[i] == decimalSeparator) {
        number += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        number += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            number += s[i++];
        }
        if (i >= s.size() || !isDigit(s[i])) {
            return std::nullopt;
        }
        while (i < s.size() && isDigit(s[i])) {
            number += s[i++];
        }
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    double v = 0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), v);
    if (res.ec != std::errc() || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

PastedReadings parsePastedReadings(std::string_view text, char decimalSeparator,
                                   UnitSystem distanceUnits) {
    PastedReadings out;
    // The cells of each line up to its last one that is not empty (none for a blank line).
    std::vector<CsvRecord> lines;
    try {
        forEachCsvRecord(text, '\t', [&](const CsvRecord& read) {
            CsvRecord record = read;
            auto& fields = record.fields;
            for (auto& f : fields) {
                f = std::string(trimBlanks(f));
            }
            while (!fields.empty() && fields.back().empty()) {
                fields.pop_back();
            }
            if (fields.empty()) {
                return;
            }
            // A heading line and the readings of one evaluation, no more.
            if (lines.size() > kMaxReadingsPerEvaluation) {
                raiseError(errc::InputTooLarge, "The pasted block holds more than " +
                                                    std::to_string(kMaxReadingsPerEvaluation) +
                                                    " readings, more than one evaluation takes");
            }
            lines.push_back(std::move(record));
        });
    } catch (const AppError& e) {
        out.problems.push_back(e.what());
        return out;
    }
    if (lines.empty()) {
        return out;
    }
    const auto isNumber = [&](const std::string& f) {
        return readSpreadsheetNumber(f, decimalSeparator).has_value();
    };
    const auto& top = lines.front().fields;
    out.headingSkipped = std::none_of(top.begin(), top.end(), isNumber);
    // A block copied from a spreadsheet is rectangular, so its width tells two columns from
    // three even where the last cells of a line are empty. The heading names the columns;
    // without one, the widest line does.
    std::size_t width = 0;
    if (out.headingSkipped) {
        width = top.size();
    } else {
        for (const auto& line : lines) {
            width = std::max(width, line.fields.size());
        }
    }
    if (out.headingSkipped && !top.empty()) {
        if (auto named = headingSystem(top.back(), Quantity::Length)) {
            distanceUnits = *named;
        }
    }
    for (std::size_t k = out.headingSkipped ? 1 : 0; k < lines.size(); ++k) {
        const auto& fields = lines[k].fields;
        const std::string where = "Line " + std::to_string(lines[k].line) + ": ";
        const std::size_t columns = (width == 2 || width == 3) ? width : fields.size();
        if (columns < 2 || columns > 3 || fields.size() > columns) {
            out.problems.push_back(where +
                                   "expected the volume and the distance, or the position, the "
                                   "volume and the distance, separated by tabs");
            continue;
        }
        CanReading reading;
        bool readable = true;
        for (std::size_t c = columns - 2; c < columns && readable; ++c) {
            if (c >= fields.size() || fields[c].empty()) {
                continue;
            }
            const auto value = readSpreadsheetNumber(fields[c], decimalSeparator);
            if (!value) {
                out.problems.push_back(where + "\"" + fields[c] +
                                       "\" is not a number (the decimal separator is " +
                                       separatorName(decimalSeparator) + ")");
                readable = false;
                break;
            }
            if (c == columns - 2) {
                reading.volume_ml = *value;
            } else {
                reading.distance_m = toStored(Quantity::Length, distanceUnits, *value);
            }
        }
        if (readable && !reading.blank()) {
            out.rows.push_back(reading);
        }
    }
    return out;
}

std::string tabSeparatedText(const std::vector<std::vector<std::string>>& cells) {
    std::string out;
    for (const auto& row : cells) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) {
                out += '\t';
            }
            for (char ch : row[c]) {
                out += (ch == '\t' || ch == '\r' || ch == '\n') ? ' ' : ch;
            }
        }
        out += '\n';
    }
    return out;
}

namespace {

// A stored value in the shown unit to the last bit (the display's rounding to 12 digits
// would move it by more than the file's reader can take back).
double fileValue(Quantity q, UnitSystem units, double stored) {
    const Unit& u = unitOf(q, units);
    return u.isStored() ? stored : stored * u.den / u.num;
}

}  // namespace

std::string catchCanCsvText(const CatchCanFile& file, UnitSystem units) {
    std::string out =
        csvLine({"radius", "volume_ml", "distance_" + unitOf(Quantity::Length, units).symbol,
                 "canDiameter_" + unitOf(Quantity::CanDiameter, units).symbol});
    const std::string diameter =
        roundTripText(fileValue(Quantity::CanDiameter, units, file.canDiameter_cm));
    for (int radius = 1; radius <= 2; ++radius) {
        for (const auto& s : radius == 1 ? file.first : file.second) {
            out += csvLine({std::to_string(radius), roundTripText(s.collectedAmount),
                            roundTripText(fileValue(Quantity::Length, units, s.distanceFromCenter)),
                            diameter});
        }
    }
    return out;
}

CatchCanColumnUnits catchCanColumnUnits(const std::vector<std::string>& heading,
                                        UnitSystem userUnits) {
    CatchCanColumnUnits u{userUnits, userUnits};
    if (heading.size() > 2) {
        u.distance = headingSystem(heading[2], Quantity::Length).value_or(userUnits);
    }
    if (heading.size() > 3) {
        u.diameter = headingSystem(heading[3], Quantity::CanDiameter).value_or(userUnits);
    }
    return u;
}

CatchCanFile readCatchCanCsv(std::string_view text, UnitSystem userUnits) {
    CatchCanFile file;
    std::vector<std::string> problems;  // the first kMostProblemsListed
    std::size_t problemCount = 0;
    std::size_t readings = 0;
    const auto problem = [&](std::string what) {
        if (problems.size() < kMostProblemsListed) {
            problems.push_back(std::move(what));
        }
        ++problemCount;
    };
    std::optional<double> diameter_cm;
    bool heading = true;
    bool firstRow = true;
    bool anyRow = false;
    CatchCanColumnUnits units{userUnits, userUnits};
    auto& samples = quarvex::statics().FieldSamples();
    forEachCsvRecord(text, ',', [&](const CsvRecord& record) {
        const auto& f = record.fields;
        if (f.empty() || (f.size() == 1 && trimBlanks(f[0]).empty())) {
            return;
        }
        if (heading) {
            heading = false;
            units = catchCanColumnUnits(f, userUnits);
            return;
        }
        anyRow = true;
        if (++readings > kMaxReadingsPerEvaluation) {
            raiseError(errc::InputTooLarge, "The catch-can file holds more than " +
                                                std::to_string(kMaxReadingsPerEvaluation) +
                                                " readings (line " + std::to_string(record.line) +
                                                "), more than one evaluation takes");
        }
        const bool isFirst = firstRow;
        firstRow = false;
        const std::string where = "Line " + std::to_string(record.line) + ": ";
        if (f.size() < 3 || f.size() > 4) {
            problem(where + "expected radius,volume_ml,distance_m[,canDiameter_cm]");
            return;
        }
        const auto radius = csvNumber(f[0]);
        const auto volume = csvNumber(f[1]);
        auto distance = csvNumber(f[2]);
        if (distance) {
            distance = toStored(Quantity::Length, units.distance, *distance);
        }
        if (!radius || (*radius != 1 && *radius != 2)) {
            problem(where + "the radius must be 1 or 2");
            return;
        }
        if (!volume || !distance) {
            problem(where +
                    "the volume and the distance must be numbers with \".\" as "
                    "decimal point");
            return;
        }
        if (f.size() == 4 && !trimBlanks(f[3]).empty()) {
            auto d = csvNumber(f[3]);
            if (!d) {
                problem(where + "the can diameter (canDiameter_cm) must be a number");
                return;
            }
            d = toStored(Quantity::CanDiameter, units.diameter, *d);
            if (diameter_cm && *d != *diameter_cm) {
                problem(where + "the can diameter differs from the one given before");
                return;
            }
            if (isFirst || diameter_cm) {
                diameter_cm = *d;
            }
        } else if (isFirst) {
            problem(where +
                    "the first reading must give the can diameter (canDiameter_cm) "
                    "in a fourth column");
        }
        (*radius == 1 ? file.first : file.second).Push(samples.newFieldSample(*volume, *distance));
    });
    if (heading) {
        raiseError(errc::CsvFormat, "The catch-can file is empty");
    }
    if (!anyRow) {
        raiseError(errc::CsvFormat, "The catch-can file has no readings below its heading");
    }
    if (diameter_cm && !(*diameter_cm > 0)) {
        problem("The can diameter (canDiameter_cm) must be greater than 0");
    }
    if (problemCount > 0) {
        std::string message = "The catch-can file cannot be read:";
        for (const auto& p : problems) {
            message += "\n" + p;
        }
        if (problemCount > problems.size()) {
            message += "\n(and " + std::to_string(problemCount - problems.size()) + " more lines)";
        }
        raiseError(errc::CsvFormat, message);
    }
    file.canDiameter_cm = *diameter_cm;
    return file;
}

}  // namespace kambrix
