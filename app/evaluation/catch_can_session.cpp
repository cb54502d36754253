// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/catch_can_session.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "evaluation/evaluation_list.h"
#include "evaluation/evaluation_store.h"
#include "evaluation/water_depth_serie.h"
#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/number_input.h"
#include "shell/number_text.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"
#include "shell/units.h"

namespace kambrix {
namespace {

constexpr double kLargestCanDiameter_cm = 100.0;
constexpr int kShownDepthDecimals = 3;
constexpr std::size_t kMostProblemsShown = 10;

const char* const kNoDiameter = "the can diameter is not given";
const char* const kNoReadings = "no can readings are entered";
const char* const kNoValidReading = "no can has a valid reading";
const char* const kEmptyLowQuarter =
    "too few cans for a low quarter: the driest can alone stands for more than a quarter of the "
    "wetted area";
const char* const kAllDry = "every can is empty (all depths are 0)";

// A number read back as the store writes it (the shortest text that reads back exactly).
double asStored(double x) {
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, x);
    const std::string text(buf, written.ec == std::errc() ? written.ptr : buf);
    double back = x;
    std::from_chars(text.data(), text.data() + text.size(), back);
    return back;
}

std::optional<double> asStored(const std::optional<double>& x) {
    return x ? std::optional(asStored(*x)) : std::nullopt;
}

std::string cellText(const std::optional<double>& v, char decimalSeparator) {
    return v ? toLocaleText(roundTripText(*v), decimalSeparator) : std::string();
}

quarvex::FieldSample sampleOf(const CanReading& r) {
    return quarvex::statics().FieldSamples().newFieldSample(*r.volume_ml, *r.distance_m);
}

RowState stateOf(const CanReading& r) {
    if (r.blank()) {
        return RowState::Blank;
    }
    if (!r.complete()) {
        return RowState::Incomplete;
    }
    return quarvex::statics().FieldSamples().Valid(sampleOf(r)) ? RowState::Valid
                                                                : RowState::Invalid;
}

// Why a row is left out, in the user's words.
std::string leftOutNote(const CanReading& r) {
    if (!r.volume_ml) {
        return "Left out: the volume is missing";
    }
    if (!r.distance_m) {
        return "Left out: the distance is missing";
    }
    if (*r.volume_ml < 0) {
        return "Left out: the volume is below 0";
    }
    return "Left out: the distance from the pivot point must be greater than 0";
}

bool departsFrom(double depth, double average) {
    return average > 0 && std::fabs(depth - average) > kDepartureFraction * average;
}

struct Computed {
    RadiusResults results;
    std::optional<double> average;
};

ResultValue missing(const std::string& reason) {
    return ResultValue{std::nullopt, reason};
}

void allMissing(RadiusResults& r, const std::string& reason) {
    r.average_mm = r.lowQuarterAverage_mm = r.UD_percent = r.CU_percent = missing(reason);
}

// The results over the rows of one or both radii.
RadiusResults compute(const std::string& title,
                      const std::vector<const std::vector<CanReading>*>& lists,
                      const std::optional<double>& diameter_cm) {
    RadiusResults r;
    r.title = title;
    quarvex::Array<quarvex::FieldSample> used;
    bool anyEntered = false;
    for (const auto* rows : lists) {
        for (const auto& row : *rows) {
            switch (stateOf(row)) {
                case RowState::Blank:
                    break;
                case RowState::Incomplete:
                case RowState::Invalid:
                    ++r.leftOut;
                    anyEntered = true;
                    break;
                case RowState::Valid:
                    used.Push(sampleOf(row));
                    anyEntered = true;
                    break;
            }
        }
    }
    r.used = used.Length();
    if (!anyEntered) {
        allMissing(r, kNoReadings);
        return r;
    }
    if (used.IsEmpty()) {
        allMissing(r, kNoValidReading);
        return r;
    }
    if (!diameter_cm) {
        allMissing(r, kNoDiameter);
        return r;
    }
    auto can = quarvex::statics().Pluviometros().newPluviometro(centimetresToMetres(*diameter_cm));
    WaterDepthSerie serie;
    serie.init(quarvex::statics().FieldSamples().CollectionToWaterDepth(used, can), title);
    const double average = serie.WaterAverage();
    r.average_mm.value = average;
    try {
        r.lowQuarterAverage_mm.value = serie.LowQuarterWaterAverage();
    } catch (const quarvex::Error& e) {
        if (e.number() != quarvex::errc::NotEnoughSamplesToComputeLowQuarter) {
            throw;
        }
        r.lowQuarterAverage_mm = missing(kEmptyLowQuarter);
    }
    if (average == 0.0) {
        r.CU_percent = missing(kAllDry);
        r.UD_percent = r.lowQuarterAverage_mm.value ? missing(kAllDry) : r.lowQuarterAverage_mm;
        return r;
    }
    if (r.lowQuarterAverage_mm.value) {
        r.UD_percent.value = serie.UniformityOfDestribuition() * kPercent;
    } else {
        r.UD_percent = r.lowQuarterAverage_mm;
    }
    r.CU_percent.value = serie.CoeficientOfUniformity() * kPercent;
    r.band = uniformityBand(*r.CU_percent.value);
    r.bandText = uniformityBandText(r.band);
    return r;
}

}  // namespace

std::string radiusTitle(Radius radius) {
    return radius == Radius::First ? "1st radius" : "2nd radius";
}

const std::array<std::string, 4>& sampleColumnHeadings() {
    static const std::array<std::string, 4> headings{"Position", "V(j) (ml)", "S(j) (m)",
                                                     "D(j) (mm)"};
    return headings;
}

UniformityBand uniformityBand(double CU_percent) {
    if (!std::isfinite(CU_percent)) {
        return UniformityBand::None;
    }
    const double shown = std::round(CU_percent * 100.0) / 100.0;  // two decimals, as shown
    if (shown >= 85.0) {
        return UniformityBand::Good;
    }
    if (shown >= 80.0) {
        return UniformityBand::CloserLook;
    }
    return UniformityBand::ChangePackage;
}

std::string uniformityBandText(UniformityBand band) {
    switch (band) {
        case UniformityBand::Good:
            return "Good uniformity: the CU is 85 % or more";
        case UniformityBand::CloserLook:
            return "The uniformity needs a closer look: the CU lies between 80 and 85 %";
        case UniformityBand::ChangePackage:
            return "Poor uniformity: with a CU below 80 % the sprinkler package should be "
                   "changed";
        case UniformityBand::None:
            break;
    }
    return {};
}

std::string uniformityBandName(UniformityBand band) {
    switch (band) {
        case UniformityBand::Good:
            return "Good";
        case UniformityBand::CloserLook:
            return "Look closer";
        case UniformityBand::ChangePackage:
            return "Change package";
        case UniformityBand::None:
            break;
    }
    return {};
}

std::string resultText(const ResultValue& v, int decimals, char decimalSeparator) {
    return v.value ? formatDecimals(*v.value, decimals, decimalSeparator) : v.reason;
}

ResultsTable resultsTable(const EvaluationResults& results, char decimalSeparator) {
    ResultsTable t;
    const std::array<const RadiusResults*, 3> all{&results.first, &results.second, &results.both};
    t.headings = {"Result"};
    for (const auto* r : all) {
        t.headings.push_back(r->title);
    }
    const auto row = [&](const std::string& label, auto cell) {
        std::vector<std::string> line{label};
        for (const auto* r : all) {
            line.push_back(cell(*r));
        }
        t.rows.push_back(std::move(line));
    };
    row("Average depth (mm)", [&](const RadiusResults& r) {
        return resultText(r.average_mm, kShownResultDecimals, decimalSeparator);
    });
    row("Low-quarter average depth (mm)", [&](const RadiusResults& r) {
        return resultText(r.lowQuarterAverage_mm, kShownResultDecimals, decimalSeparator);
    });
    row("UD (%)", [&](const RadiusResults& r) {
        return resultText(r.UD_percent, kShownResultDecimals, decimalSeparator);
    });
    row("CU (%)", [&](const RadiusResults& r) {
        return resultText(r.CU_percent, kShownResultDecimals, decimalSeparator);
    });
    row("Cans used", [](const RadiusResults& r) { return std::to_string(r.used); });
    row("Cans left out", [](const RadiusResults& r) { return std::to_string(r.leftOut); });
    row("Uniformity", [](const RadiusResults& r) { return uniformityBandName(r.band); });
    return t;
}

CatchCanSession::CatchCanSession(const quarvex::PivotEvaluation& evaluation)
    : evaluation_(evaluation) {
    evaluation_.firstSample.Clear();
    evaluation_.secondSample.Clear();
    if (evaluation.pluviometer.diameter > 0) {
        state_.diameter_cm = asStored(evaluation.pluviometer.diameter * kCentimetresPerMetre);
    }
    for (Radius radius : {Radius::First, Radius::Second}) {
        const auto& samples =
            radius == Radius::First ? evaluation.firstSample : evaluation.secondSample;
        for (const auto& s : samples) {
            rowsOf(radius).push_back(CanReading{s.collectedAmount, s.distanceFromCenter});
        }
    }
    saved_ = state_;
}

template <class F>
bool CatchCanSession::change(F&& edit) {
    State before = state_;
    std::forward<F>(edit)();
    if (state_ == before) {
        return false;
    }
    undo_.push_back(std::move(before));
    if (undo_.size() > kUndoDepth) {
        undo_.erase(undo_.begin());
    }
    return true;
}

bool CatchCanSession::undo() {
    if (undo_.empty()) {
        return false;
    }
    state_ = std::move(undo_.back());
    undo_.pop_back();
    return true;
}

std::optional<std::string> CatchCanSession::setCanDiameterText(const std::string& text,
                                                               char decimalSeparator) {
    const NumberRange range{0.0, kLargestCanDiameter_cm, /*minExclusive=*/true};
    if (auto problem = checkNumberText(text, decimalSeparator, range, "the can diameter (cm)")) {
        return problem;
    }
    const std::optional<double> diameter =
        isBlank(text) ? std::nullopt : std::optional(parseNumber(text, decimalSeparator));
    change([&] { state_.diameter_cm = diameter; });
    return std::nullopt;
}

std::string CatchCanSession::canDiameterText(char decimalSeparator) const {
    return cellText(state_.diameter_cm, decimalSeparator);
}

int CatchCanSession::rowCount(Radius radius) const {
    return static_cast<int>(rowsOf(radius).size());
}

const std::vector<CanReading>& CatchCanSession::readings(Radius radius) const {
    return rowsOf(radius);
}

bool CatchCanSession::needsDiameter() const {
    if (state_.diameter_cm) {
        return false;
    }
    for (const auto& rows : state_.rows) {
        for (const auto& r : rows) {
            if (stateOf(r) == RowState::Valid) {
                return true;
            }
        }
    }
    return false;
}

std::vector<SampleGridRow> CatchCanSession::gridRows(Radius radius, char decimalSeparator) const {
    const auto average = results().both.average_mm.value;
    std::optional<quarvex::Pluviometro> can;
    if (state_.diameter_cm) {
        can = quarvex::statics().Pluviometros().newPluviometro(
            centimetresToMetres(*state_.diameter_cm));
    }
    std::vector<SampleGridRow> out;
    const auto& rows = rowsOf(radius);
    out.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CanReading& r = rows[i];
        SampleGridRow g;
        g.position = std::to_string(i + 1);
        g.volume = cellText(r.volume_ml, decimalSeparator);
        g.distance = cellText(r.distance_m, decimalSeparator);
        g.state = stateOf(r);
        if (g.state == RowState::Incomplete || g.state == RowState::Invalid) {
            g.note = leftOutNote(r);
        } else if (g.state == RowState::Valid && can) {
            const double depth =
                quarvex::statics().FieldSamples().ToWaterDepth(sampleOf(r), *can).depth;
            g.depth = formatDecimals(depth, kShownDepthDecimals, decimalSeparator);
            if (average && departsFrom(depth, *average)) {
                g.departs = true;
                g.note = "The depth departs " +
                         formatDecimals(std::fabs(depth - *average) / *average * kPercent, 0,
                                        decimalSeparator) +
                         " % from the average depth";
            }
        }
        out.push_back(std::move(g));
    }
    return out;
}

std::optional<std::string> CatchCanSession::setCell(Radius radius, int row, SampleColumn column,
                                                    const std::string& text,
                                                    char decimalSeparator) {
    if (column != SampleColumn::Volume && column != SampleColumn::Distance) {
        return "Only the volume and the distance are typed: the position is the row's place "
               "and the depth is computed";
    }
    if (row < 0 || row > rowCount(radius)) {
        return "There is no row " + std::to_string(row + 1) + " in the " + radiusTitle(radius);
    }
    const bool volume = column == SampleColumn::Volume;
    const NumberRange anyNumber{std::numeric_limits<double>::lowest(),
                                std::numeric_limits<double>::max()};
    if (auto problem = checkNumberText(text, decimalSeparator, anyNumber,
                                       volume ? "the volume (ml)" : "the distance (m)")) {
        return problem;
    }
    const std::optional<double> value =
        isBlank(text) ? std::nullopt : std::optional(parseNumber(text, decimalSeparator));
    change([&] {
        auto& rows = rowsOf(radius);
        if (row == static_cast<int>(rows.size())) {
            if (!value) {
                return;
            }
            rows.emplace_back();
        }
        (volume ? rows[row].volume_ml : rows[row].distance_m) = value;
    });
    return std::nullopt;
}

void CatchCanSession::addRow(Radius radius) {
    change([&] { rowsOf(radius).emplace_back(); });
}

void CatchCanSession::insertRow(Radius radius, int before) {
    if (before < 0 || before > rowCount(radius)) {
        return;
    }
    change([&] {
        auto& rows = rowsOf(radius);
        rows.insert(rows.begin() + before, CanReading{});
    });
}

void CatchCanSession::deleteRows(Radius radius, std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    change([&] {
        auto& list = rowsOf(radius);
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
            if (*it >= 0 && *it < static_cast<int>(list.size())) {
                list.erase(list.begin() + *it);
            }
        }
    });
}

void CatchCanSession::clearRows(Radius radius) {
    change([&] { rowsOf(radius).clear(); });
}

void CatchCanSession::sortByDistance(Radius radius) {
    change([&] {
        auto& rows = rowsOf(radius);
        std::stable_sort(rows.begin(), rows.end(), [](const CanReading& a, const CanReading& b) {
            if (!a.distance_m || !b.distance_m) {
                return a.distance_m.has_value() && !b.distance_m.has_value();
            }
            return *a.distance_m < *b.distance_m;
        });
    });
}

EvaluationResults CatchCanSession::results() const {
    const auto& first = rowsOf(Radius::First);
    const auto& second = rowsOf(Radius::Second);
    EvaluationResults r;
    r.first = compute(radiusTitle(Radius::First), {&first}, state_.diameter_cm);
    r.second = compute(radiusTitle(Radius::Second), {&second}, state_.diameter_cm);
    r.both = compute("Both radii", {&first, &second}, state_.diameter_cm);
    return r;
}

EvaluationPlot CatchCanSession::plot() const {
    EvaluationPlot p;
    p.xTitle = "Distance from the pivot point (m)";
    p.yTitle = "Depth (mm)";
    if (!state_.diameter_cm) {
        return p;
    }
    p.average_mm = results().both.average_mm.value;
    auto can =
        quarvex::statics().Pluviometros().newPluviometro(centimetresToMetres(*state_.diameter_cm));
    bool any = false;
    for (Radius radius : {Radius::First, Radius::Second}) {
        auto& points = p.radii[index(radius)];
        const auto& rows = rowsOf(radius);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (stateOf(rows[i]) != RowState::Valid) {
                continue;
            }
            PlotPoint pt;
            pt.distance_m = *rows[i].distance_m;
            pt.depth_mm =
                quarvex::statics().FieldSamples().ToWaterDepth(sampleOf(rows[i]), can).depth;
            pt.radius = radius;
            pt.position = static_cast<int>(i) + 1;
            pt.departs = p.average_mm && departsFrom(pt.depth_mm, *p.average_mm);
            points.push_back(pt);
            p.minX = any ? std::min(p.minX, pt.distance_m) : pt.distance_m;
            p.maxX = any ? std::max(p.maxX, pt.distance_m) : pt.distance_m;
            p.maxY = std::max(p.maxY, pt.depth_mm);
            any = true;
            if (pt.departs) {
                p.departing.push_back(pt);
            }
        }
        std::stable_sort(points.begin(), points.end(), [](const PlotPoint& a, const PlotPoint& b) {
            return a.distance_m < b.distance_m;
        });
    }
    std::stable_sort(
        p.departing.begin(), p.departing.end(),
        [](const PlotPoint& a, const PlotPoint& b) { return a.distance_m < b.distance_m; });
    if (p.average_mm) {
        p.lowerBand_mm = *p.average_mm * (1.0 - kDepartureFraction);
        p.upperBand_mm = *p.average_mm * (1.0 + kDepartureFraction);
        p.maxY = std::max(p.maxY, p.upperBand_mm);
    }
    return p;
}

std::optional<std::string> CatchCanSession::paste(Radius radius, int at, const std::string& text,
                                                  char decimalSeparator, int* pasted,
                                                  UnitSystem distanceUnits) {
    if (pasted != nullptr) {
        *pasted = 0;
    }
    const auto block = parsePastedReadings(text, decimalSeparator, distanceUnits);
    if (!block.problems.empty()) {
        const std::size_t n = block.problems.size();
        std::string message = "Nothing was pasted: " + std::to_string(n) +
                              (n == 1 ? " line cannot" : " lines cannot") + " be read.";
        for (std::size_t k = 0; k < n && k < kMostProblemsShown; ++k) {
            message += "\n" + block.problems[k];
        }
        if (n > kMostProblemsShown) {
            message += "\n(and " + std::to_string(n - kMostProblemsShown) + " more)";
        }
        return message;
    }
    if (block.rows.empty()) {
        return std::string("The pasted text holds no volumes and distances");
    }
    const int from = std::clamp(at, 0, rowCount(radius));
    change([&] {
        auto& rows = rowsOf(radius);
        for (std::size_t k = 0; k < block.rows.size(); ++k) {
            const std::size_t i = static_cast<std::size_t>(from) + k;
            if (i < rows.size()) {
                rows[i] = block.rows[k];
            } else {
                rows.push_back(block.rows[k]);
            }
        }
    });
    if (pasted != nullptr) {
        *pasted = static_cast<int>(block.rows.size());
    }
    return std::nullopt;
}

std::string CatchCanSession::copyCells(Radius radius, int firstRow, int lastRow,
                                       SampleColumn firstColumn, SampleColumn lastColumn,
                                       char decimalSeparator) const {
    const auto rows = gridRows(radius, decimalSeparator);
    const int c0 = std::min(static_cast<int>(firstColumn), static_cast<int>(lastColumn));
    const int c1 = std::max(static_cast<int>(firstColumn), static_cast<int>(lastColumn));
    const int r0 = std::max(0, std::min(firstRow, lastRow));
    const int r1 = std::min(static_cast<int>(rows.size()) - 1, std::max(firstRow, lastRow));
    std::vector<std::vector<std::string>> cells;
    for (int r = r0; r <= r1; ++r) {
        const auto& g = rows[static_cast<std::size_t>(r)];
        const std::array<const std::string*, 4> all{&g.position, &g.volume, &g.distance, &g.depth};
        std::vector<std::string> line;
        for (int c = std::max(0, c0); c <= std::min(3, c1); ++c) {
            line.push_back(*all[static_cast<std::size_t>(c)]);
        }
        cells.push_back(std::move(line));
    }
    return tabSeparatedText(cells);
}

void CatchCanSession::importCsv(const std::filesystem::path& path, UnitSystem userUnits) {
    const auto file = readCatchCanCsv(readTextFile(path), userUnits);
    change([&] {
        state_.diameter_cm = file.canDiameter_cm;
        for (Radius radius : {Radius::First, Radius::Second}) {
            auto& rows = rowsOf(radius);
            rows.clear();
            for (const auto& s : radius == Radius::First ? file.first : file.second) {
                rows.push_back(CanReading{s.collectedAmount, s.distanceFromCenter});
            }
        }
    });
}

quarvex::Array<quarvex::FieldSample> CatchCanSession::storedSamples(Radius radius) const {
    quarvex::Array<quarvex::FieldSample> out;
    const auto& rows = rowsOf(radius);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CanReading& r = rows[i];
        if (r.blank()) {
            continue;
        }
        if (!r.complete()) {
            const std::string missingPart = r.volume_ml ? "distance" : "volume";
            raiseError(errc::EvaluationRowsIncomplete,
                       "Row " + std::to_string(i + 1) + " of the " + radiusTitle(radius) +
                           " has no " + missingPart + ": enter it or delete the row");
        }
        out.Push(sampleOf(r));
    }
    return out;
}

std::string CatchCanSession::csvText(UnitSystem units) const {
    CatchCanFile file;
    file.first = storedSamples(Radius::First);
    file.second = storedSamples(Radius::Second);
    if (!state_.diameter_cm) {
        raiseError(errc::ValueOutOfRange, "Enter the can diameter before exporting the readings");
    }
    if (file.first.IsEmpty() && file.second.IsEmpty()) {
        raiseError(errc::ValueOutOfRange, "There are no readings to export");
    }
    file.canDiameter_cm = *state_.diameter_cm;
    return catchCanCsvText(file, units);
}

void CatchCanSession::exportCsv(const std::filesystem::path& path, UnitSystem units) const {
    writeTextFile(path, csvText(units));
}

quarvex::PivotEvaluation CatchCanSession::evaluation() const {
    quarvex::PivotEvaluation e = evaluation_;
    e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(
        state_.diameter_cm ? centimetresToMetres(*state_.diameter_cm) : 0.0);
    e.firstSample = storedSamples(Radius::First);
    e.secondSample = storedSamples(Radius::Second);
    return e;
}

std::optional<std::string> CatchCanSession::setConditions(const EvaluationConditions& conditions) {
    if (auto problem = conditionsProblem(conditions)) {
        return problem;
    }
    change([&] { state_.conditions = conditions; });
    return std::nullopt;
}

void CatchCanSession::loadStoredConditions(const std::string& projectsConnectionString) {
    const bool wasModified = isModified();
    state_.conditions = readFrom(projectsConnectionString, [&](quarvex::Connection& con) {
        stamp_ = readRowStamp(con, row_kind::Evaluation, evaluation_.name);
        return loadConditions(con, evaluation_.name);
    });
    if (!wasModified) {
        saved_ = state_;
    } else {
        saved_.conditions = state_.conditions;
    }
}

quarvex::PivotEvaluation CatchCanSession::usableEvaluation() const {
    quarvex::PivotEvaluation e = evaluation_;
    e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(
        state_.diameter_cm ? centimetresToMetres(*state_.diameter_cm) : 0.0);
    for (Radius radius : {Radius::First, Radius::Second}) {
        auto& out = radius == Radius::First ? e.firstSample : e.secondSample;
        for (const CanReading& r : rowsOf(radius)) {
            if (stateOf(r) == RowState::Valid) {
                out.Push(sampleOf(r));
            }
        }
    }
    return e;
}

void CatchCanSession::save(const std::string& projectsConnectionString) {
    auto e = evaluation();
    RowStamp stamp;
    writeTo(projectsConnectionString, [&](quarvex::Connection& con) {
        // Claimed before anything is written: a refused save leaves the other user's.
        stamp = e.id > 0 ? claimRow(con, row_kind::Evaluation, e.name, stamp_,
                                    "The evaluation \"" + e.name + "\"")
                         : claimNewRow(con, row_kind::Evaluation, e.name);
        storeEvaluation(con, e, /*replace=*/false);
        saveConditions(con, e.name, state_.conditions);
    });
    evaluation_.id = e.id;
    stamp_ = stamp;
    // What is on the screen is now what a reopening shows.
    if (state_.diameter_cm) {
        state_.diameter_cm =
            asStored(asStored(centimetresToMetres(*state_.diameter_cm)) * kCentimetresPerMetre);
    }
    for (auto& rows : state_.rows) {
        for (auto& r : rows) {
            r.volume_ml = asStored(r.volume_ml);
            r.distance_m = asStored(r.distance_m);
        }
    }
    saved_ = state_;
}

void CatchCanSession::saveAs(const std::string& projectsConnectionString,
                             const std::string& newName) {
    const quarvex::PivotEvaluation before = evaluation_;
    const RowStamp stampBefore = stamp_;
    evaluation_.name = newName;
    evaluation_.id = 0;
    stamp_ = RowStamp{};
    try {
        save(projectsConnectionString);
    } catch (...) {
        evaluation_ = before;
        stamp_ = stampBefore;
        throw;
    }
}

void CatchCanSession::reload(const std::string& projectsConnectionString) {
    RowStamp stamp;
    const auto stored = readFrom(projectsConnectionString, [&](quarvex::Connection& con) {
        // The stamp before the readings (see loadProject).
        stamp = readRowStamp(con, row_kind::Evaluation, evaluation_.name);
        return findEvaluation(con, evaluation_.name);
    });
    if (!stored) {
        raiseError(errc::RecordNotFound,
                   "The evaluation \"" + evaluation_.name + "\" is no longer stored");
    }
    *this = CatchCanSession(*stored);
    loadStoredConditions(projectsConnectionString);
    stamp_ = stamp;
}

std::optional<std::string> CatchCanSession::importReplacesQuestion() const {
    std::size_t held = 0;
    for (const auto& rows : state_.rows) {
        for (const CanReading& r : rows) {
            held += r.blank() ? 0 : 1;
        }
    }
    if (held == 0) {
        return std::nullopt;
    }
    return "The grids hold " + std::to_string(held) + (held == 1 ? " reading" : " readings") +
           ". Do you want to replace " + (held == 1 ? "it" : "them") +
           " with the readings of the file?";
}

std::string CatchCanSession::unsavedChangesQuestion() const {
    return "The evaluation " + evaluation_.name +
           " has changes that are not saved. Do you want to save them?";
}

bool CatchCanSession::closeRequest(EvaluationQuestions& questions,
                                   const std::string& projectsConnectionString) {
    if (!isModified() || !questions.confirm(unsavedChangesQuestion())) {
        return true;
    }
    try {
        save(projectsConnectionString);
    } catch (const AppError& e) {
        if (e.number() != errc::EvaluationRowsIncomplete && e.number() != errc::EvaluationExists) {
            throw;
        }
        questions.inform(e.what());
        return false;
    }
    return true;
}

}  // namespace kambrix
