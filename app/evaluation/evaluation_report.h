// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed report of a catch-can evaluation: the same sections for every evaluation.
#pragma once

#include <string>

#include "evaluation/catch_can_session.h"
#include "evaluation/diagnosis.h"
#include "shell/report_document.h"

namespace kambrix {

// The key of the depth plot in the report (a report::Figure); the window draws it from
// CatchCanSession::plot().
inline constexpr const char* kEvaluationPlotFigure = "evaluation-plot";

// The diagnosis as the window shows it and the report prints it.
struct EvaluationDiagnosisReport {
    // The linked system and its owner for the title block ("" when not linked).
    std::string systemName;
    std::string owner;
    std::string testDate;  // as recorded with the conditions
    // The test's conditions (conditionLines), the chart it tests among them.
    std::vector<std::pair<std::string, std::string>> conditions;
    std::vector<std::string> findings;  // in plain sentences
    ResultsTable beforeAfter;           // beforeAfterTable
};

// UD and CU as measured, after repair, and for each option asked for ("Without end gun",
// "Three-can moving average"), with the chart's prediction last when there is one:
// headings "Cans", "UD (%)", "CU (%)"; a value that cannot be computed reads "-".
ResultsTable beforeAfterTable(const Diagnosis& d, std::optional<double> designedUD,
                              std::optional<double> designedCU, bool withoutEndGun, bool smooth,
                              char decimalSeparator);

// Sections, in this order: the title block (the linked system, the evaluation, the test's
// date, lines to sign, the owner, the units), "Evaluation" (name, date, can diameter), "Test
// conditions" (when any is recorded), "Results" (the results table and a note on the indicators),
// "Depth against distance" (the plot and the cans departing more than 20 % from the average),
// "Diagnosis" (the findings and the before/after table, when given), "1st radius" and "2nd
// radius" (the sample tables with a column telling why a row is left out). `date` is the
// text to print as the report's date.
report::Document evaluationReport(const CatchCanSession& session, const std::string& date,
                                  char decimalSeparator,
                                  const EvaluationDiagnosisReport* diagnosis = nullptr);

// Today's local date as "YYYY-MM-DD".
std::string todayText();

}  // namespace kambrix
