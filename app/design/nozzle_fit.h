// SPDX-License-Identifier: GPL-3.0-or-later
//
// Nozzles from a maker's table. Makers publish, for each nozzle size, the discharge at a few
// pressures; the catalogue holds q = a·p^b with the pressure and discharge range of the
// table. a and b come from a least-squares line through the points in logarithms,
// log q = log a + b·log p, and each fit is judged by its largest relative error at the
// table's own points.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/catalogue_store.h"
#include "shell/table_data.h"

namespace kambrix {

struct MakerTableOptions {
    // Pressures in psi and discharges in US gallons per minute instead of kPa and L/s.
    bool usUnits = false;
    // With any separator but the comma, a number may also have a decimal comma ("0,25"),
    // as spreadsheets of comma locales write it.
    char separator = ',';
};

// The separator of a table as spreadsheets save it: the semicolon or the tab when the first
// line that is not blank holds one (the semicolon first), otherwise the comma.
char guessSeparator(std::string_view text);

// The units the heading line names: US units when it mentions "psi" or "gpm", the program's
// when it mentions "kPa", "L/s" or "l/s"; none when it names neither (letter case ignored).
std::optional<bool> headingUsUnits(std::string_view text);

// One row of a maker's table, in the program's units.
struct MakerPoint {
    std::size_t line = 0;  // line of the file
    double pressure = 0;   // kPa
    double discharge = 0;  // L/s
};

struct MakerRow {
    std::string nozzle;
    MakerPoint point;
};

// The most a maker's table may hold: rows, and distinct nozzles.
inline constexpr std::size_t kMaxTableRows = 200'000;
inline constexpr std::size_t kMaxTableNozzles = 10'000;
// The catalogue's ranges of q = a·p^b (L/s, kPa): a in (0, 100], b in (0, 2].
inline constexpr double kNozzleCoefficientMax = 100;
inline constexpr double kNozzleExponentMax = 2;
// Pressures whose log-moments ratio passes this do not determine a fit.
inline constexpr double kMaxFitCondition = 1e8;

// Reads the rows "nozzle, pressure, discharge" after the heading line; blank lines are
// skipped. A row without three fields, with a pressure or discharge that is not a number or
// not greater than 0, or with a nozzle name that is not UTF-8, holds control characters or
// is too long raises AppError errc::CsvFormat naming the line; more than kMaxTableRows rows
// or kMaxTableNozzles nozzles raise errc::InputTooLarge.
std::vector<MakerRow> readMakerTable(std::string_view text, const MakerTableOptions& options = {});

struct NozzleFit {
    std::string nozzle;
    double a = 0;               // L/s at 1 kPa
    double b = 0;               // exponent
    double pmin = 0, pmax = 0;  // kPa, from the table
    double qmin = 0, qmax = 0;  // L/s, from the table
    // max |a·p^b − q| / q over the table's points.
    double maxRelativeError = 0;
    std::vector<MakerPoint> points;
};

// The fit of one nozzle's points. Fewer than two points, points whose pressures are all equal
// or nearly so (they do not determine the fit), or a fitted a or b outside the catalogue's
// ranges raise errc::CsvFormat naming the nozzle and the reason.
NozzleFit fitPowerLaw(const std::string& nozzle, const std::vector<MakerPoint>& points);

// One fit per nozzle, in the order the nozzles first appear in the table.
std::vector<NozzleFit> fitNozzles(const std::vector<MakerRow>& rows);

// A fit whose table points lie further than this (relative) from its curve deserves a look
// before it enters the catalogue: a misprint in the table, or a nozzle that does not follow
// the law over the whole range.
inline constexpr double kFitErrorToCheck = 0.05;

// The fits as the import window lists them: columns "nozzle", "a", "b", "pmin", "pmax",
// "qmin", "qmax", "points", "error" (largest relative error in %, flagged Warning above
// kFitErrorToCheck).
TableData nozzleFitTable(const std::vector<NozzleFit>& fits);

// The catalogue entry of a fit.
NozzleData nozzleData(const NozzleFit& fit);

}  // namespace kambrix
