// SPDX-License-Identifier: GPL-3.0-or-later
//
// A catch-can evaluation read against the stored chart it tests: the chart's outlets with
// their nozzles and designed depths, its actual depth profile at the test's revolution time,
// the UD and CU it predicts, the pipe's end and the supply it assumes at the pivot.
//
// The test's revolution time is the pivot's hours per revolution at 100 % ÷ the timer
// fraction of the test; without a timer setting (or without the pivot's 100 % time) the
// chart's own revolution time, when it has one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "design/chart_workbench.h"
#include "design/workbench_prompts.h"
#include "evaluation/diagnosis.h"
#include "evaluation/evaluation_conditions.h"

namespace kambrix {

// A stored chart an evaluation can be linked to.
struct ChartChoice {
    int systemId = 0;
    std::string systemName;
    int chartId = 0;
    std::string chartName;
    // "North field — Package 2024"
    std::string label() const;
};

// Every chart of every stored system, systems in alphabetical order, charts in the order
// the workbench lists them. Database faults pass on.
std::vector<ChartChoice> chartChoices(const WorkbenchDatabases& databases);
// The choice of that system and chart, or none when either is gone.
std::optional<ChartChoice> findChartChoice(const WorkbenchDatabases& databases, int systemId,
                                           int chartId);

// What the link gave the diagnosis.
struct LinkedChart {
    ChartChoice chart;
    std::string owner;                      // the system's owner or location
    std::optional<double> revolutionHours;  // the test's revolution time, h
    // Why part of the chart's side is missing ("the chart's profile needs the revolution
    // time: give the timer setting of the test"); empty when all of it is there.
    std::vector<std::string> notes;
};

// Opens the linked chart (computing it as the workbench does) and fills the chart's part of
// `input`: the outlets, the designed profile, the designed UD and CU, the pipe's end and the
// pressure and discharge the chart gives at the pivot. A link to a system or chart that is
// gone, or a chart that cannot be opened, gives none with the reason in `problem`; the input
// is then left without the chart's part.
std::optional<LinkedChart> addLinkedChart(const WorkbenchDatabases& databases,
                                          const EvaluationConditions& conditions,
                                          WorkbenchPrompts& prompts, DiagnosisInput& input,
                                          std::string& problem);

// The same from a workbench with the chart already open (used by the command line, which
// finds the chart by name).
LinkedChart addOpenChart(ChartWorkbench& workbench, const EvaluationConditions& conditions,
                         DiagnosisInput& input);

}  // namespace kambrix
