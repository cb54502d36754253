// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed sprinkler chart as a report document: the project, the pivot, its spans, the
// end gun and booster, the drop, the regulators, the sprinkler of every outlet, the chart's
// totals and, when the chart carries a revolution time, its performance indicators and
// runoff check.
#pragma once

#include <string>

#include "design/chart_workbench.h"
#include "shell/report_document.h"

namespace kambrix {

// Section titles of the printed chart, in order.
namespace chart_report {
inline constexpr const char* Project = "Project";
inline constexpr const char* Pivot = "Pivot";
inline constexpr const char* Spans = "Spans";
inline constexpr const char* EndGun = "End gun and booster";
inline constexpr const char* Drop = "Drop";
inline constexpr const char* Regulators = "Regulators";
inline constexpr const char* Sprinklers = "Sprinklers";
inline constexpr const char* Totals = "Totals";
inline constexpr const char* Indicators = "Performance indicators";
inline constexpr const char* Supply = "Supply";
}  // namespace chart_report

// The report of the workbench's current pivot and chart. `date` is the date printed with the
// project (the caller's today, "2024-05-17"). Numbers use the workbench's decimal separator.
// The title is the chart's name ("Unsaved sprinkler chart" for a chart without one).
// A system with a stored supply gets the "Supply" section: the pump and line, the cases
// of the operating point, the capacity without end gun and the measured supply.
report::Document buildChartReport(ChartWorkbench& workbench, const std::string& date);

}  // namespace kambrix
