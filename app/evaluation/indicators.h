// SPDX-License-Identifier: GPL-3.0-or-later
//
// The performance indicators of a sprinkler chart (UD, CU, expected and average depth from
// the revolution time and the plugged outlets), the per-span discharge table and the
// surface storage capacity of a field.
#pragma once

#include <quarvex/quarvex.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/water_depth_serie.h"

namespace kambrix {

inline constexpr const char* kMustBeGiven = "It must be given ";
inline constexpr const char* kRevolutionHoursItem = "the number of hours for a complete revolution";
inline constexpr const char* kTooManyPlugged =
    "The number of plugged outlets can not exceed the number of total outlets";
inline constexpr const char* kNegativePlugged = "The number of plugged outlets can not be negative";

// The message that refuses the inputs, or nothing when they are usable. `hours` is empty
// when the box is blank; `plugged` ≤ `totalOutlets` is required (equal is accepted).
std::optional<std::string> validateIndicatorInputs(std::optional<double> hours, int plugged,
                                                   int totalOutlets);

struct IndicatorResults {
    std::optional<double> UD;  // fraction (the tab shows 100 × UD)
    std::optional<double> CU;  // fraction
    double expectedDepth = 0;  // average depth of the ideal series, mm
    double averageDepth = 0;   // average depth of the actual series, mm
    std::shared_ptr<WaterDepthSerie> actual;
    std::shared_ptr<WaterDepthSerie> ideal;
    std::vector<std::string> problems;  // why UD or CU is missing
};

// Gives the revolution time (h) to the wrapper and computes the indicators over the outlets
// after the first `plugged` ones (from the pivot point), in the actual and in the ideal
// samples. Inputs refused by validateIndicatorInputs raise quarvex::Error
// errc::InvalidArgument; no outlet left (all plugged) raises errc::EmptyWaterDepthSerie.
IndicatorResults computeIndicators(quarvex::PivotWrapper& wrapper, double hours, int plugged);

// One row of the per-span table: discharges in L/s, variation in percent.
struct SpanDischargeRow {
    std::string name;  // the span number, or "Over hang"
    double idealConsumed = 0;
    double consumed = 0;
    double variationPercent = 0;
};

std::vector<SpanDischargeRow> spanDischargeTable(const quarvex::pivot& p);

struct SurfaceStorageResult {
    std::optional<double> As;            // mm
    std::optional<std::string> message;  // the requirement message when an input is missing
};

// As = Sm + Sf + k × (12 − s²) × (6 − s) / 144 (Sm, Sf and As in mm, s the slope in %).
double surfaceStorage(double Sm, double Sf, double k, double s);
// The same from the calculator's inputs (empty when blank), checked in the order Sm, k, Sf, s.
SurfaceStorageResult computeSurfaceStorage(std::optional<double> Sm, std::optional<double> k,
                                           std::optional<double> Sf, std::optional<double> s);

}  // namespace kambrix
