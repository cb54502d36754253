// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/nozzle_fit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <unordered_set>

#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/services.h"
#include "shell/stored_names.h"
#include "shell/text.h"
#include "shell/units.h"

namespace kambrix {

namespace {

bool readField(std::string text, double& value, char separator) {
    if (separator != ',' && text.find('.') == std::string::npos) {
        const auto comma = text.find(',');
        if (comma != std::string::npos && text.find(',', comma + 1) == std::string::npos) {
            text[comma] = '.';
        }
    }
    const auto number = csvNumber(text);
    value = number.value_or(0);
    return number.has_value();
}

[[noreturn]] void badLine(std::size_t line, const std::string& what) {
    raiseError(errc::CsvFormat, "Line " + std::to_string(line) + " of the table: " + what);
}

// The first line holding more than blanks and a byte-order mark; empty when none does.
std::string_view firstFilledLine(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        if (line.find_first_not_of(" \t\r\xEF\xBB\xBF") != std::string_view::npos) {
            return line;
        }
        start = end + 1;
    }
    return {};
}

}  // namespace

char guessSeparator(std::string_view text) {
    const std::string_view line = firstFilledLine(text);
    if (line.find(';') != std::string_view::npos) {
        return ';';
    }
    return line.find('\t') != std::string_view::npos ? '\t' : ',';
}

std::optional<bool> headingUsUnits(std::string_view text) {
    std::string lower(firstFilledLine(text));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto has = [&](const char* word) { return lower.find(word) != std::string::npos; };
    if (has("psi") || has("gpm")) {
        return true;
    }
    if (has("kpa") || has("l/s")) {
        return false;
    }
    return std::nullopt;
}

std::vector<MakerRow> readMakerTable(std::string_view text, const MakerTableOptions& options) {
    std::vector<MakerRow> rows;
    std::unordered_set<std::string> nozzles;
    bool heading = true;
    forEachCsvRecord(text, options.separator, [&](const CsvRecord& r) {
        if (r.blank() ||
            (r.fields.size() == 1 && r.fields[0].find_first_not_of(" \t") == std::string::npos)) {
            return;
        }
        if (heading) {
            heading = false;
            return;
        }
        if (rows.size() == kMaxTableRows) {
            raiseError(errc::InputTooLarge, "Line " + std::to_string(r.line) +
                                                " of the table: more than " +
                                                std::to_string(kMaxTableRows) +
                                                " rows, more than a maker's table holds");
        }
        if (r.fields.size() != 3) {
            badLine(r.line, "a row needs three fields: nozzle, pressure and discharge");
        }
        MakerRow row;
        row.nozzle = trim(r.fields[0]);
        row.point.line = r.line;
        if (row.nozzle.empty()) {
            badLine(r.line, "the nozzle has no name");
        }
        if (!validUtf8(row.nozzle)) {
            badLine(r.line, "the nozzle name \"" + shortPrintable(row.nozzle) +
                                "\" is not UTF-8 text (save the table as UTF-8)");
        }
        if (const auto refused = storedNameProblem(StoredNameKind::Nozzle, row.nozzle)) {
            badLine(r.line, *refused);
        }
        if (nozzles.size() == kMaxTableNozzles && !nozzles.count(row.nozzle)) {
            raiseError(errc::InputTooLarge,
                       "Line " + std::to_string(r.line) + " of the table: more than " +
                           std::to_string(kMaxTableNozzles) + " nozzles in one table");
        }
        nozzles.insert(row.nozzle);
        if (!readField(r.fields[1], row.point.pressure, options.separator)) {
            badLine(r.line, "the pressure \"" + shortPrintable(trim(r.fields[1]), 30) +
                                "\" is not a number");
        }
        if (!readField(r.fields[2], row.point.discharge, options.separator)) {
            badLine(r.line, "the discharge \"" + shortPrintable(trim(r.fields[2]), 30) +
                                "\" is not a number");
        }
        if (row.point.pressure <= 0) {
            badLine(r.line, "the pressure must be greater than 0");
        }
        if (row.point.discharge <= 0) {
            badLine(r.line, "the discharge must be greater than 0");
        }
        if (options.usUnits) {
            row.point.pressure *= kKiloPascalPerPsi;
            row.point.discharge *= kLitresPerSecondPerGpm;
        }
        rows.push_back(std::move(row));
    });
    return rows;
}

NozzleFit fitPowerLaw(const std::string& nozzle, const std::vector<MakerPoint>& points) {
    const std::string name = shortPrintable(nozzle);
    if (points.size() < 2) {
        const std::string where =
            points.empty() ? std::string() : " (line " + std::to_string(points[0].line) + ")";
        raiseError(errc::CsvFormat, "The nozzle " + name + " has fewer than two points" + where +
                                        ": a and b cannot be fitted");
    }
    // Two passes (means, then centred sums) keep the exact-points case exact to rounding.
    const double n = static_cast<double>(points.size());
    double mx = 0;
    double my = 0;
    for (const auto& p : points) {
        mx += std::log(p.pressure);
        my += std::log(p.discharge);
    }
    mx /= n;
    my /= n;
    double sxx = 0;
    double sxy = 0;
    for (const auto& p : points) {
        const double dx = std::log(p.pressure) - mx;
        sxx += dx * dx;
        sxy += dx * (std::log(p.discharge) - my);
    }
    // The slope rests on the spread of the pressures: when they are all equal, or nearly so,
    // the normal equations are singular or so ill-conditioned that a and b mean nothing.
    // Their condition is measured by the ratio of the uncentred to the centred second moment
    // of log p.
    double sxx0 = 0;
    for (const auto& p : points) {
        sxx0 += std::log(p.pressure) * std::log(p.pressure);
    }
    if (!(sxx > 0) || !(sxx0 / sxx < kMaxFitCondition)) {
        raiseError(errc::CsvFormat, "The points of the nozzle " + name +
                                        " all have one pressure, or nearly so: they do not "
                                        "determine a and b");
    }
    NozzleFit fit;
    fit.nozzle = nozzle;
    fit.b = sxy / sxx;
    fit.a = std::exp(my - fit.b * mx);
    fit.points = points;
    fit.pmin = fit.pmax = points.front().pressure;
    fit.qmin = fit.qmax = points.front().discharge;
    for (const auto& p : points) {
        fit.pmin = std::min(fit.pmin, p.pressure);
        fit.pmax = std::max(fit.pmax, p.pressure);
        fit.qmin = std::min(fit.qmin, p.discharge);
        fit.qmax = std::max(fit.qmax, p.discharge);
        const double q = fit.a * std::pow(p.pressure, fit.b);
        const double error = std::abs(q - p.discharge) / p.discharge;
        // NaN must not vanish in max(): it marks a fit that failed.
        fit.maxRelativeError = std::isnan(error) ? error : std::max(fit.maxRelativeError, error);
        if (std::isnan(error)) {
            break;
        }
    }
    if (!(fit.a > 0 && fit.a <= kNozzleCoefficientMax) ||
        !(fit.b > 0 && fit.b <= kNozzleExponentMax) || !std::isfinite(fit.maxRelativeError)) {
        raiseError(errc::CsvFormat,
                   "The fit of the nozzle " + name + " gives a = " + quarvex::numberText(fit.a) +
                       " and b = " + quarvex::numberText(fit.b) +
                       ", outside what the catalogue takes (a above 0 and at most 100, b above "
                       "0 and at most 2): check its points");
    }
    return fit;
}

std::vector<NozzleFit> fitNozzles(const std::vector<MakerRow>& rows) {
    std::vector<std::string> order;
    std::map<std::string, std::vector<MakerPoint>> byNozzle;
    for (const auto& r : rows) {
        auto& points = byNozzle[r.nozzle];
        if (points.empty()) {
            order.push_back(r.nozzle);
        }
        points.push_back(r.point);
    }
    std::vector<NozzleFit> fits;
    fits.reserve(order.size());
    for (const auto& name : order) {
        fits.push_back(fitPowerLaw(name, byNozzle[name]));
    }
    return fits;
}

TableData nozzleFitTable(const std::vector<NozzleFit>& fits) {
    TableData t;
    t.columns = {"nozzle", "a", "b", "pmin", "pmax", "qmin", "qmax", "points", "error"};
    for (const auto& f : fits) {
        TableRow row;
        row.cells.push_back(TableCell::ofText(f.nozzle));
        row.cells.push_back(TableCell::ofNumber(f.a, 6));
        row.cells.push_back(TableCell::ofNumber(f.b, 4));
        row.cells.push_back(TableCell::ofNumber(f.pmin, 1));
        row.cells.push_back(TableCell::ofNumber(f.pmax, 1));
        row.cells.push_back(TableCell::ofNumber(f.qmin, 4));
        row.cells.push_back(TableCell::ofNumber(f.qmax, 4));
        row.cells.push_back(TableCell::ofNumber(static_cast<double>(f.points.size()), 0));
        TableCell error = TableCell::ofNumber(100 * f.maxRelativeError, 2);
        if (f.maxRelativeError > kFitErrorToCheck) {
            error.flag = CellFlag::Warning;
            error.tooltip =
                "A point of the table lies more than 5 % off the fitted curve: check the table";
        }
        row.cells.push_back(std::move(error));
        t.rows.push_back(std::move(row));
    }
    return t;
}

NozzleData nozzleData(const NozzleFit& fit) {
    return {fit.nozzle, fit.a, fit.b, fit.pmin, fit.pmax, fit.qmin, fit.qmax};
}

}  // namespace kambrix
