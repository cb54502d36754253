// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/supply_tab_presenter.h"

#include <cmath>

#include "design/chart_workbench.h"
#include "shell/number_input.h"
#include "shell/number_text.h"
#include "shell/services.h"

namespace kambrix {

namespace {

// A box's number: none for a blank box; a text that is not a number in the user's notation
// leaves `problem` set.
std::optional<double> boxNumber(const std::string& text, char sep, const std::string& what,
                                std::string& problem) {
    if (!problem.empty() || isBlank(text)) {
        return std::nullopt;
    }
    const double x = parseNumber(text, sep);
    if (!isNumberText(text, sep) || !std::isfinite(x)) {
        problem = what + ": \"" + text + "\" is not a number";
        return std::nullopt;
    }
    return x;
}

std::string shown(double v, char sep) {
    return toLocaleText(roundTripText(v), sep);
}

TableCell numberCell(std::optional<double> v, int decimals) {
    return v ? TableCell::ofNumber(*v, decimals) : TableCell::ofText("", CellAlign::Right);
}

}  // namespace

SupplyReading readSupplyBoxes(const SupplyBoxes& b, char sep) {
    SupplyReading r;
    std::string& problem = r.problem;
    Supply s;
    int row = 0;
    for (const auto& [q, p] : b.pump) {
        ++row;
        if (isBlank(q) && isBlank(p)) {
            continue;
        }
        const std::string where = "Pump curve, row " + std::to_string(row);
        const auto Q = boxNumber(q, sep, where + ", discharge", problem);
        const auto P = boxNumber(p, sep, where + ", pressure", problem);
        if (!problem.empty()) {
            return r;
        }
        if (!Q || !P) {
            problem = where + ": give both the discharge and the pressure";
            return r;
        }
        s.pump.push_back({*Q, *P});
    }
    s.line.lift = boxNumber(b.lift, sep, "Lift", problem).value_or(0);
    s.line.length = boxNumber(b.length, sep, "Line length", problem).value_or(0);
    s.line.diametro = boxNumber(b.diameter, sep, "Inside diameter", problem).value_or(0);
    s.line.rugosidad = boxNumber(b.roughness, sep, "Hazen-Williams C", problem).value_or(0);
    const auto mp = boxNumber(b.measuredPressure, sep, "Measured pressure", problem);
    const auto mq = boxNumber(b.measuredDischarge, sep, "Measured discharge", problem);
    const auto wear = boxNumber(b.wearPercent, sep, "Nozzle wear", problem);
    if (!problem.empty()) {
        return r;
    }
    if (mp.has_value() != mq.has_value()) {
        problem =
            "Measured supply: give both the pressure and the discharge measured at the "
            "pivot";
        return r;
    }
    if (mp) {
        s.measured = MeasuredSupply{*mp, *mq};
    }
    s.nozzleWear = wear.value_or(0) / kPercent;
    if (const auto why = supplyProblem(s)) {
        problem = *why;
        return r;
    }
    r.supply = std::move(s);
    return r;
}

SupplyBoxes supplyBoxes(const Supply& s, char sep) {
    SupplyBoxes b;
    for (const PumpRow& row : s.pump) {
        b.pump.emplace_back(shown(row.caudal, sep), shown(row.presion, sep));
    }
    const bool line = s.line.length > 0;
    b.lift = s.line.lift != 0 || line ? shown(s.line.lift, sep) : std::string();
    if (line) {
        b.length = shown(s.line.length, sep);
        b.diameter = shown(s.line.diametro, sep);
        b.roughness = shown(s.line.rugosidad, sep);
    }
    if (s.measured) {
        b.measuredPressure = shown(s.measured->presion, sep);
        b.measuredDischarge = shown(s.measured->caudal, sep);
    }
    if (s.nozzleWear != 0) {
        b.wearPercent = shown(s.nozzleWear * kPercent, sep);
    }
    return b;
}

SupplyTabView supplyTabView(const SupplyAnalysis& a, char sep) {
    SupplyTabView v;
    v.cases.columns = {"Case", "Discharge", "Pressure",        "UD",
                       "CU",   "Depth",     "Lowest pressure", "Starved regulators"};
    for (const SupplyCase& c : a.cases) {
        TableRow row;
        row.cells.push_back(TableCell::ofText(c.name));
        const bool point = c.point.found && c.wrapper;
        row.cells.push_back(numberCell(point ? std::optional(c.point.caudal) : std::nullopt, 2));
        row.cells.push_back(numberCell(point ? std::optional(c.point.presion) : std::nullopt, 1));
        row.cells.push_back(numberCell(c.UD, 2));
        row.cells.push_back(numberCell(c.CU, 2));
        row.cells.push_back(numberCell(c.depth, 2));
        row.cells.push_back(numberCell(c.lowestSprinklerPressure, 1));
        row.cells.push_back(point ? TableCell::ofNumber(c.starvedRegulators, 0)
                                  : TableCell::ofText("", CellAlign::Right));
        if (!point) {
            row.flag = CellFlag::Warning;
        }
        for (const auto& p : c.problems) {
            row.tooltip += (row.tooltip.empty() ? "" : "\n") + p;
        }
        v.cases.rows.push_back(std::move(row));
    }

    if (!a.supplyCurve.empty()) {
        PlotLine supplyLine{"Supply at the pivot", {}};
        for (const auto& p : a.supplyCurve) {
            if (p.presion >= 0) {
                supplyLine.points.push_back({p.caudal, p.presion});
            }
        }
        v.lines.push_back(std::move(supplyLine));
        for (std::size_t i = 0; i < a.chartCurves.size() && i < a.cases.size(); ++i) {
            PlotLine curve{a.cases[i].name, {}};
            for (const auto& p : a.chartCurves[i]) {
                curve.points.push_back({p.caudal, p.presion});
            }
            v.lines.push_back(std::move(curve));
        }
    }
    v.points.name = "Operating points";
    for (const SupplyCase& c : a.cases) {
        if (c.name != kCaseAsDesigned && c.point.found && c.wrapper) {
            v.points.points.push_back({c.point.caudal, c.point.presion});
        }
    }

    if (!a.cases.empty() && a.cases.front().name != kCaseAsDesigned) {
        const SupplyCase& first = a.cases.front();
        if (first.point.found && first.wrapper) {
            v.summary = "Operating point (" + first.name +
                        "): " + formatDecimals(first.point.caudal, 2, sep) + " L/s at " +
                        formatDecimals(first.point.presion, 1, sep) + " kPa at the pivot";
        } else {
            v.summary = "No operating point (" + first.name + "): " +
                        (first.problems.empty() ? first.point.reason : first.problems.front());
        }
    } else {
        v.summary = "Give the pump curve to find the operating point";
    }
    if (a.measured) {
        const MeasuredCheck& m = *a.measured;
        v.measured = "At " + formatDecimals(m.measured.presion, 1, sep) + " kPa the chart draws " +
                     formatDecimals(m.chartDischarge, 2, sep) + " L/s; measured " +
                     formatDecimals(m.measured.caudal, 2, sep) + " L/s";
        if (std::isfinite(m.differencePercent)) {
            v.measured += " (" + std::string(m.differencePercent >= 0 ? "+" : "") +
                          formatDecimals(m.differencePercent, 1, sep) + " %)";
        }
        v.measured += ". " + m.meaning + ".";
    }
    return v;
}

ChartSetup chartSetupOf(const ChartWorkbench& workbench) {
    ChartSetup setup;
    setup.pivot = workbench.projectPivot();
    setup.settings = workbench.packageSettings();
    setup.chart = workbench.currentChart();
    return setup;
}

}  // namespace kambrix
