// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/ideal_results.h"

#include "shell/number_text.h"

namespace kambrix {

namespace {

constexpr const char* kBelowZeroTip = "The ideal pressure is below 0 kPa here";

}  // namespace

std::string spanLabel(int span, int fixedCount) {
    if (span == -1) {
        return "Gun";
    }
    return span > fixedCount ? std::string(kOverhangLabel) : std::to_string(span);
}

TableData idealOutletsTable(const quarvex::pivot& computed) {
    TableData t;
    t.columns = {"span", "outlet", "distance", "elevation", "discharge", "pressure"};
    const int fixed = quarvex::statics().Pivots().FixedSpansCount(computed);
    for (const auto& r : idealOutletRows(computed)) {
        TableRow row;
        row.cells = {TableCell::ofText(spanLabel(r.span, fixed), CellAlign::Right),
                     TableCell::ofText(r.outlet < 0 ? std::string() : std::to_string(r.outlet),
                                       CellAlign::Right),
                     TableCell::ofNumber(r.distance, 2),
                     TableCell::ofNumber(r.elevation, 2),
                     TableCell::ofNumber(r.caudal, 4),
                     TableCell::ofNumber(r.pressao, 1)};
        if (r.pressao < 0) {
            row.flag = CellFlag::Error;
            row.tooltip = kBelowZeroTip;
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

TableData idealSpansTable(const quarvex::pivot& computed) {
    TableData t;
    t.columns = {"span",        "model",        "inletPressure", "inletDischarge",
                 "endPressure", "endDischarge", "frictionLoss"};
    const int fixed = quarvex::statics().Pivots().FixedSpansCount(computed);
    for (const auto& r : idealSpanRows(computed)) {
        TableRow row;
        row.cells = {TableCell::ofText(spanLabel(r.span, fixed), CellAlign::Right),
                     TableCell::ofText(r.denominacion),
                     TableCell::ofNumber(r.entry.pressao, 1),
                     TableCell::ofNumber(r.entry.caudal, 3),
                     TableCell::ofNumber(r.exit.pressao, 1),
                     TableCell::ofNumber(r.exit.caudal, 3),
                     TableCell::ofNumber(r.frictionLoss, 2)};
        if (r.exit.pressao < 0) {
            row.flag = CellFlag::Error;
            row.tooltip = kBelowZeroTip;
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

TableData speedBoxTable(const quarvex::caixaVelocidades& box) {
    TableData t;
    t.columns = {"speed", "hours", "lastTowerSpeed", "grossDepth"};
    if (box.tempoH100 <= 0) {
        return t;
    }
    for (int i = 1; i <= box.velocidades.Length(); ++i) {
        const auto& v = box.velocidades(i);
        TableRow row;
        row.cells = {TableCell::ofNumber(v.percentagem, 0),
                     TableCell::ofNumber(v.tempoDeUmaVolta, 2),
                     TableCell::ofNumber(v.velocidadeLinear, 2), TableCell::ofNumber(v.dotacao, 2)};
        t.rows.push_back(std::move(row));
    }
    return t;
}

ProfileLines idealProfile(const quarvex::pivot& computed) {
    ProfileLines lines;
    for (const auto& p : radiusProfile(computed)) {
        lines.pressure.points.push_back({p.distance, p.pressao});
        lines.ground.points.push_back({p.distance, p.elevation});
        if (p.pressao < 0) {
            lines.belowZero.push_back({p.distance, p.pressao});
        }
    }
    const auto& pivots = quarvex::statics().Pivots();
    for (int i = 1; i <= pivots.FixedSpansCount(computed); ++i) {
        lines.towers.push_back(pivots.tramoAte(computed, i));
    }
    return lines;
}

std::optional<IdealOutletRow> firstNegativePressure(const quarvex::pivot& computed) {
    for (const auto& r : idealOutletRows(computed)) {
        if (r.pressao < 0) {
            return r;
        }
    }
    return std::nullopt;
}

std::string negativePressureMessage(const IdealOutletRow& row, int fixedCount,
                                    char decimalSeparator) {
    std::string where =
        row.span == -1 ? std::string("the end gun")
        : row.span > fixedCount
            ? "the overhang, outlet " + std::to_string(row.outlet)
            : "span " + spanLabel(row.span, fixedCount) + ", outlet " + std::to_string(row.outlet);
    return "WARNING!!! The ideal pressure falls below 0 kPa at " +
           formatDecimals(row.distance, 1, decimalSeparator) + " m from the pivot (" + where +
           "): raise the nominal pressure or choose wider pipes";
}

}  // namespace kambrix
