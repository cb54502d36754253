// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/comparison_table.h"

#include "shell/number_text.h"

namespace kambrix {
namespace {

constexpr const char* kMissing = "–";

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += (out.empty() ? "" : "\n") + l;
    }
    return out;
}

TableCell count(int n, bool blocking) {
    TableCell c = TableCell::ofNumber(n, 0);
    if (blocking && n > 0) {
        c.flag = CellFlag::Error;
    }
    return c;
}

TableCell optionalNumber(const std::optional<double>& v, int decimals, const std::string& why) {
    if (v) {
        return TableCell::ofNumber(*v, decimals);
    }
    TableCell c = TableCell::ofText(kMissing, CellAlign::Right);
    c.tooltip = why;
    return c;
}

}  // namespace

const std::vector<std::string>& comparisonColumns() {
    using namespace compared;
    static const std::vector<std::string> columns = {Brand,
                                                     Model,
                                                     GunModel,
                                                     RegulatorPressure,
                                                     Boost,
                                                     Feasible,
                                                     Settled,
                                                     NoSprinkler,
                                                     OutOfRange,
                                                     StarvedRegulators,
                                                     DischargePercent,
                                                     UD,
                                                     CU,
                                                     ExpectedDepth,
                                                     AverageDepth,
                                                     Excess1,
                                                     Runoff1,
                                                     Excess2,
                                                     Runoff2,
                                                     NozzleSizes};
    return columns;
}

std::string regulatorText(const std::optional<double>& pressure) {
    return pressure ? fixedText(*pressure, 0) + " kPa" : std::string("none");
}

std::string boostText(double kPa) {
    return kPa > 0 ? fixedText(kPa, 0) + " kPa" : std::string("none");
}

TableData comparisonTable(const std::vector<ComparedPackage>& packages) {
    TableData t;
    t.columns = comparisonColumns();
    for (const auto& p : packages) {
        const CandidateResults& r = p.results;
        const std::string why = joined(r.problems);
        TableRow row;
        row.cells = {
            TableCell::ofText(p.candidate.model.brand),
            TableCell::ofText(p.candidate.model.model),
            TableCell::ofText(p.candidate.gunModel
                                  ? p.candidate.gunModel->brand + " " + p.candidate.gunModel->model
                                  : std::string()),
            TableCell::ofText(regulatorText(p.candidate.regulatorPressure), CellAlign::Right),
            TableCell::ofText(boostText(p.candidate.boost), CellAlign::Right),
            TableCell::ofText(r.feasible ? "yes" : "no", CellAlign::Center),
            TableCell::ofText(r.settled ? "yes" : "no", CellAlign::Center),
            count(r.noSprinkler, true),
            count(r.outOfRange, true),
            count(r.starvedRegulators, true),
            TableCell::ofNumber(r.dischargePercent, 2),
            optionalNumber(r.UD, 2, why),
            optionalNumber(r.CU, 2, why),
            optionalNumber(r.expectedDepth, 2, why),
            optionalNumber(r.averageDepth, 2, why),
            optionalNumber(r.excess1, 2, why),
            optionalNumber(r.runoff1, 2, why),
            optionalNumber(r.excess2, 2, why),
            optionalNumber(r.runoff2, 2, why),
            count(r.nozzleSizes, false),
        };
        if (!r.settled) {
            row.cells[6].flag = CellFlag::Error;
        }
        if (!r.feasible) {
            row.flag = CellFlag::Warning;
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

}  // namespace kambrix
