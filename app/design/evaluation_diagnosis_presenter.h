// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the evaluation window's Diagnosis panel, its plot and its report show, without the
// window: the diagnosis of the valid cans read against the linked chart, in sentences, the
// before/after table and the marks for the plot. The linked chart is computed once per link
// and timer setting; the cans are diagnosed again after every edit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "design/evaluation_link.h"
#include "evaluation/evaluation_report.h"
#include "shell/plot_data.h"

namespace kambrix {

struct DiagnosisView {
    Diagnosis diagnosis;
    std::optional<LinkedChart> linked;
    std::string linkProblem;               // the link could not be followed (told in the panel)
    std::vector<XYPoint> designedProfile;  // the chart's depths along the radius
    std::vector<XYPoint> suspects;         // the suspect outlets at the depth they should give
    // The panel's and the report's texts.
    EvaluationDiagnosisReport report;
};

class EvaluationDiagnosisPresenter {
  public:
    EvaluationDiagnosisPresenter(WorkbenchDatabases databases, WorkbenchPrompts& prompts);

    // Every stored chart (read on first use; reloadChoices reads them again).
    const std::vector<ChartChoice>& choices();
    void reloadChoices();

    // The diagnosis of the evaluation's valid readings under the conditions. A chart that
    // cannot be opened or computed leaves its part out and says why in linkProblem.
    DiagnosisView view(const quarvex::PivotEvaluation& usable, const EvaluationConditions& c,
                       bool withoutEndGun, bool smooth, char decimalSeparator);

  private:
    struct ChartPart {
        std::optional<int> systemId, chartId;
        std::optional<double> timer;
        DiagnosisInput input;  // the chart's part only
        std::optional<LinkedChart> linked;
        std::string problem;
    };
    const ChartPart& chartPart(const EvaluationConditions& c);

    WorkbenchDatabases db_;
    WorkbenchPrompts& prompts_;
    std::optional<std::vector<ChartChoice>> choices_;
    std::optional<ChartPart> chart_;
};

}  // namespace kambrix
