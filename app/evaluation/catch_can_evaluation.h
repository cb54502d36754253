// SPDX-License-Identifier: GPL-3.0-or-later
//
// The results of a catch-can evaluation: the depths of each radius and of both together,
// with their average, low-quarter average and the two uniformity indicators.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

namespace kambrix {

// The results over one list of readings. An indicator that cannot be computed is empty and
// the reason is in `problems`.
struct CatchCanResult {
    quarvex::Array<quarvex::WaterDepthSample> depths;  // valid readings, ascending distance
    std::optional<double> average;                     // mm
    std::optional<double> lowQuarterAverage;           // mm
    std::optional<double> UD;                          // fraction
    std::optional<double> CU;                          // fraction
    int invalid = 0;  // readings left out because FieldSamples::Valid rejects them
    std::vector<std::string> problems;
};

struct CatchCanEvaluation {
    std::optional<CatchCanResult> first;   // empty when the radius has no reading
    std::optional<CatchCanResult> second;  // likewise
    std::optional<CatchCanResult> both;    // both radii together; empty when neither has any
};

// The results over `samples` read in `can`; empty when there are no readings. A can without
// diameter raises quarvex::Error errc::PluviometroIncompleteException when any reading is
// valid.
std::optional<CatchCanResult> evaluateReadings(const quarvex::Array<quarvex::FieldSample>& samples,
                                               quarvex::Pluviometro& can, const std::string& name);

// The three results of an evaluation (first radius, second radius, both).
CatchCanEvaluation evaluateCatchCans(quarvex::PivotEvaluation& evaluation);

}  // namespace kambrix
