// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the "Supply" tab of the sprinkler-chart workbench shows, without its window: the
// reading of its boxes and pump rows, the table of the cases, the figure's lines and the
// words for the measured supply.
//
// Use: `auto read = readSupplyBoxes(boxes, ',');
//       if (!read.supply) show(read.problem);
//       else view = supplyTabView(analyseSupply(setup, *read.supply, kSupplyFigurePoints), ',');`
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "design/supply.h"
#include "shell/plot_data.h"
#include "shell/table_data.h"

namespace kambrix {

class ChartWorkbench;

// Pressures each chart curve of the figure is computed at.
inline constexpr int kSupplyFigurePoints = 16;

// The tab's boxes as typed. Pump rows whose two cells are blank are skipped; the wear box
// is in percent.
struct SupplyBoxes {
    std::vector<std::pair<std::string, std::string>> pump;  // discharge L/s, pressure kPa
    std::string lift, length, diameter, roughness;
    std::string measuredPressure, measuredDischarge;
    std::string wearPercent;
    friend bool operator==(const SupplyBoxes&, const SupplyBoxes&) = default;
};

struct SupplyReading {
    std::optional<Supply> supply;  // none when refused
    std::string problem;           // why, in the user's words, naming the box or the row
};

// The supply the boxes give: blank boxes read as not given (no line, no measured supply,
// no wear), a measured supply needs both boxes, every number in the user's notation.
SupplyReading readSupplyBoxes(const SupplyBoxes& boxes, char decimalSeparator);
// The boxes showing a stored supply.
SupplyBoxes supplyBoxes(const Supply& supply, char decimalSeparator);

struct SupplyTabView {
    // One row per case: "Case", "Discharge" (L/s), "Pressure" (kPa), "UD", "CU" (%),
    // "Depth" (mm), "Lowest pressure" (kPa), "Starved regulators"; a case without a point
    // shows why in its tooltip and is marked.
    TableData cases;
    // The figure: "Supply at the pivot", then the chart's curve of each case (named as
    // the case: "gun and booster on", ...), pressure (kPa) against discharge (L/s).
    std::vector<PlotLine> lines;
    // The operating points, one per case that has one, in the order of the lines.
    PlotLine points;
    // The line under the table: the first case's operating point, or why there is none.
    std::string summary;
    // The measured supply against the chart; empty without one.
    std::string measured;
};

SupplyTabView supplyTabView(const SupplyAnalysis& analysis, char decimalSeparator);

// The package the workbench shows now, ready to be computed at any pressure: its pivot,
// its chart and its settings (regulators, drop, booster, indicator inputs).
ChartSetup chartSetupOf(const ChartWorkbench& workbench);

}  // namespace kambrix
