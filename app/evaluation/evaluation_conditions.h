// SPDX-License-Identifier: GPL-3.0-or-later
//
// The conditions of a catch-can test and the stored chart it tests, kept beside the
// evaluation in the projects store (table "tb_evaluation_conditions", one row per evaluation
// name). Every field is optional: an evaluation without conditions is what older files hold.
//
// The link names a system and one of its charts by their identifiers, so renaming either
// keeps it; a copy of the system leaves the evaluation with the original. Deleting the system
// clears the link (the conditions stay).
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

#include "evaluation/diagnosis.h"
#include "shell/number_input.h"
#include "shell/projectos.h"

namespace kambrix {

struct EvaluationConditions {
    std::optional<int> systemId;  // the tested system
    std::optional<int> chartId;   // one of its stored charts
    std::string date;             // as typed ("2026-07-14")
    std::string startTime;        // as typed ("07:30")
    std::optional<double> duration_h;
    std::optional<double> timer_percent;  // the timer setting of the test, %
    std::optional<double> windSpeed_ms;
    std::string windDirection;
    std::optional<double> airTemperature_C;
    std::optional<double> pivotPressure_kPa;  // measured at the pivot
    std::optional<double> pivotDischarge_Ls;  // measured at the inlet
    std::optional<double> canSpacing_m;
    std::string notes;

    bool linked() const { return systemId.has_value() && chartId.has_value(); }
    bool empty() const;
    friend bool operator==(const EvaluationConditions&, const EvaluationConditions&) = default;
};

// The ranges the boxes and files take.
namespace condition_ranges {
inline constexpr NumberRange kDuration{0, 1000, true, false, false};         // h
inline constexpr NumberRange kTimer{0, 100, true, false, false};             // %
inline constexpr NumberRange kWindSpeed{0, 60, false, false, false};         // m/s
inline constexpr NumberRange kAirTemperature{-40, 60, false, false, false};  // °C
inline constexpr NumberRange kPivotPressure{0, 2000, true, false, false};    // kPa
inline constexpr NumberRange kPivotDischarge{0, 1000, true, false, false};   // L/s
inline constexpr NumberRange kCanSpacing{0, 100, true, false, false};        // m
}  // namespace condition_ranges

// What is wrong with the conditions (a number outside its range, a text with a line break
// where one line is expected, a chart without its system), in the user's words; none when
// they can be stored.
std::optional<std::string> conditionsProblem(const EvaluationConditions& c);

// The conditions stored under the evaluation's name; empty ones when none are stored or the
// file predates them.
EvaluationConditions loadConditions(quarvex::Connection& con, const std::string& evaluationName);
// Replaces the conditions stored under the name (empty conditions remove the row). Conditions
// that conditionsProblem refuses raise AppError errc::ValueOutOfRange and nothing is written.
void saveConditions(quarvex::Connection& con, const std::string& evaluationName,
                    const EvaluationConditions& conditions);
void deleteConditions(quarvex::Connection& con, const std::string& evaluationName);
// The names of the evaluations linked to each system: (evaluation name, system id).
std::vector<std::pair<std::string, int>> linkedEvaluations(quarvex::Connection& con);

// A field test of a system that recorded the pressure and the discharge at the pivot.
struct MeasuredTest {
    std::string evaluation;
    std::string date;  // as typed; may be empty
    double pressure_kPa = 0;
    double discharge_Ls = 0;
    // "North test (2026-07-14): 250.5 kPa, 48.25 L/s" with the given separator.
    std::string label(char decimalSeparator) const;
};
// The tests linked to the system with both measured, by evaluation name.
std::vector<MeasuredTest> measuredTests(quarvex::Connection& con, int systemId);

// The evaluations' part in the copy and the delete of a system: a copy leaves the links with
// the original; a delete clears the links to the system.
SystemRowsParticipant conditionRowsParticipant();

// The conditions as label and value lines for the report and the window, the given ones
// only, numbers with the user's separator: "Timer setting" "50 %", "Wind" "2.4 m/s NW", ...
// `chartLabel` is the linked chart as the user reads it (empty when none).
std::vector<std::pair<std::string, std::string>> conditionLines(const EvaluationConditions& c,
                                                                const std::string& chartLabel,
                                                                char decimalSeparator);

// The valid cans of an evaluation as one profile for the diagnosis: each radius's valid
// readings turned into depths; where both radii hold a can at the same distance (to the
// millimetre) the two depths are averaged into one can. Empty without a usable can diameter.
std::vector<CanDepth> diagnosisCans(const quarvex::PivotEvaluation& evaluation);

// The diagnosis input of the cans with the conditions' measured supply and wind; the chart's
// part (outlets, profile, pipe length, computed supply) is the caller's.
DiagnosisInput diagnosisInputOf(const quarvex::PivotEvaluation& evaluation,
                                const EvaluationConditions& conditions);

}  // namespace kambrix
