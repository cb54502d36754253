// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/evaluation_diagnosis_presenter.h"

#include "shell/errors.h"

namespace kambrix {

EvaluationDiagnosisPresenter::EvaluationDiagnosisPresenter(WorkbenchDatabases databases,
                                                           WorkbenchPrompts& prompts)
    : db_(std::move(databases)), prompts_(prompts) {}

const std::vector<ChartChoice>& EvaluationDiagnosisPresenter::choices() {
    if (!choices_) {
        choices_ = chartChoices(db_);
    }
    return *choices_;
}

void EvaluationDiagnosisPresenter::reloadChoices() {
    choices_.reset();
    chart_.reset();
}

const EvaluationDiagnosisPresenter::ChartPart& EvaluationDiagnosisPresenter::chartPart(
    const EvaluationConditions& c) {
    if (chart_ && chart_->systemId == c.systemId && chart_->chartId == c.chartId &&
        chart_->timer == c.timer_percent) {
        return *chart_;
    }
    ChartPart part;
    part.systemId = c.systemId;
    part.chartId = c.chartId;
    part.timer = c.timer_percent;
    if (c.linked()) {
        try {
            part.linked = addLinkedChart(db_, c, prompts_, part.input, part.problem);
        } catch (...) {
            const ErrorReport r = describeCurrentError();
            part.problem = userMessage(r, "The linked sprinkler chart could not be read");
            part.input = DiagnosisInput{};
            part.linked.reset();
        }
    }
    chart_ = std::move(part);
    return *chart_;
}

DiagnosisView EvaluationDiagnosisPresenter::view(const quarvex::PivotEvaluation& usable,
                                                 const EvaluationConditions& c, bool withoutEndGun,
                                                 bool smooth, char sep) {
    DiagnosisView v;
    const ChartPart& part = chartPart(c);
    DiagnosisInput in = part.input;
    const DiagnosisInput own = diagnosisInputOf(usable, c);
    in.cans = own.cans;
    in.measuredPressure = own.measuredPressure;
    in.measuredDischarge = own.measuredDischarge;
    in.windSpeed = own.windSpeed;
    in.decimalSeparator = sep;
    in.units = shownUnits();
    v.diagnosis = diagnose(in);
    v.linked = part.linked;
    v.linkProblem = part.problem;
    v.designedProfile = in.designedProfile;
    for (const auto* zones : {&v.diagnosis.lowZones, &v.diagnosis.highZones}) {
        for (const auto& z : *zones) {
            for (const auto& o : z.suspects) {
                v.suspects.push_back({o.distance, o.designedDepth});
            }
        }
    }
    v.report.conditions = conditionLines(c, part.linked ? part.linked->chart.label() : "", sep);
    if (part.linked) {
        v.report.systemName = part.linked->chart.systemName;
        v.report.owner = part.linked->owner;
    }
    v.report.testDate = c.date;
    if (!part.problem.empty()) {
        v.report.findings.push_back(part.problem);
    }
    if (part.linked) {
        for (const auto& note : part.linked->notes) {
            v.report.findings.push_back(note);
        }
    }
    for (const auto& f : v.diagnosis.findings) {
        v.report.findings.push_back(f);
    }
    v.report.beforeAfter =
        beforeAfterTable(v.diagnosis, in.designedUD, in.designedCU, withoutEndGun, smooth, sep);
    return v;
}

}  // namespace kambrix
