// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed report of a catch-can evaluation: the same sections for every evaluation.
#pragma once

#include <string>

#include "evaluation/catch_can_session.h"
#include "shell/report_document.h"

namespace kambrix {

// The key of the depth plot in the report (a report::Figure); the window draws it from
// CatchCanSession::plot().
inline constexpr const char* kEvaluationPlotFigure = "evaluation-plot";

// Sections, in this order: "Evaluation" (name, date, can diameter), "Results" (the results
// table and a note on the indicators), "Depth against distance" (the plot and the cans
// departing more than 20 % from the average), "1st radius" and "2nd radius" (the sample
// tables with a column telling why a row is left out). `date` is the text to print as the
// report's date (the evaluation itself stores none).
report::Document evaluationReport(const CatchCanSession& session, const std::string& date,
                                  char decimalSeparator);

// Today's local date as "YYYY-MM-DD".
std::string todayText();

}  // namespace kambrix
