// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the hydraulic design screen's result tabs show of a pivot's ideal operation: the
// outlet, span and speed-box tables, the radius profile, and the warning when an ideal
// pressure falls below 0 kPa. Built without any window; the tabs only draw it.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

#include "design/pivot_design.h"
#include "shell/plot_data.h"
#include "shell/table_data.h"

namespace kambrix {

// What the design screen's result tabs share: the pivot after its ideal operation, while the
// inputs are complete enough to compute it.
struct IdealResults {
    std::optional<quarvex::pivot> computed;
};

// The overhang's one name, in every table, grid and printout.
inline constexpr const char* kOverhangLabel = "Over hang";

// The label of a span in the result tables: its number, "Over hang" for the overhang (a
// span beyond the fixed ones) and "Gun" for the end gun (span -1).
std::string spanLabel(int span, int fixedCount);

// One row per outlet, the end gun last. Columns "span", "outlet", "distance" (m),
// "elevation" (m), "discharge" (L/s), "pressure" (kPa). Outlets whose ideal pressure is
// below 0 are marked as errors.
TableData idealOutletsTable(const quarvex::pivot& computed);
// One row per span, the overhang last. Columns "span", "model", "inletPressure",
// "inletDischarge", "endPressure", "endDischarge", "frictionLoss".
TableData idealSpansTable(const quarvex::pivot& computed);
// The ten settings of a speed box. Columns "speed" (%), "hours", "lastTowerSpeed"
// (m/min), "grossDepth" (mm). No rows for a revolution time of 0 or less.
TableData speedBoxTable(const quarvex::caixaVelocidades& box);

// The radius profile as two lines: the ideal pressure (kPa) and the ground elevation (m)
// against the distance from the pivot point (m).
struct ProfileLines {
    PlotLine pressure;
    PlotLine ground;
    // The distances (m) of the tower at the end of each fixed span.
    std::vector<double> towers;
    // The outlets whose ideal pressure is below 0 kPa.
    std::vector<XYPoint> belowZero;
};
ProfileLines idealProfile(const quarvex::pivot& computed);

// The first outlet (from the pivot point outwards) whose ideal pressure is below 0 kPa.
std::optional<IdealOutletRow> firstNegativePressure(const quarvex::pivot& computed);
// "WARNING!!! The ideal pressure falls below 0 kPa at 412,5 m from the pivot (span 7,
// outlet 3): raise the nominal pressure or choose wider pipes", the distance with the given
// decimal separator.
std::string negativePressureMessage(const IdealOutletRow& row, int fixedCount,
                                    char decimalSeparator);

}  // namespace kambrix
