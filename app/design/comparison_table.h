// SPDX-License-Identifier: GPL-3.0-or-later
//
// The compared packages as a grid: one row per candidate in rank order, the columns named by
// keys that the command line uses as the names of the results too.
#pragma once

#include <string>
#include <vector>

#include "design/package_comparison.h"
#include "shell/table_data.h"

namespace kambrix {

// Keys of the comparison grid's columns, in order.
namespace compared {
inline constexpr const char* Brand = "brand";
inline constexpr const char* Model = "model";
inline constexpr const char* GunModel = "gunModel";  // the end gun's nozzles, "" for none
inline constexpr const char* RegulatorPressure = "regulatorPressure";  // kPa, none
inline constexpr const char* Boost = "boost";                          // kPa
inline constexpr const char* Feasible = "feasible";
inline constexpr const char* Settled = "settled";
inline constexpr const char* NoSprinkler = "noSprinkler";
inline constexpr const char* OutOfRange = "outOfRange";
inline constexpr const char* StarvedRegulators = "starvedRegulators";
inline constexpr const char* DischargePercent = "dischargePercent";
inline constexpr const char* UD = "UD";                        // %
inline constexpr const char* CU = "CU";                        // %
inline constexpr const char* ExpectedDepth = "expectedDepth";  // mm
inline constexpr const char* AverageDepth = "averageDepth";    // mm
inline constexpr const char* Excess1 = "excess1";              // mm
inline constexpr const char* Runoff1 = "runoff1";              // mm
inline constexpr const char* Excess2 = "excess2";
inline constexpr const char* Runoff2 = "runoff2";
inline constexpr const char* NozzleSizes = "nozzleSizes";
}  // namespace compared

// Every column key, in grid order.
const std::vector<std::string>& comparisonColumns();

// The grid of the packages in the order given. Counts that make a package infeasible are
// marked as errors, a missing value reads "–" with the reason as tooltip, and infeasible rows
// are marked as warnings.
TableData comparisonTable(const std::vector<ComparedPackage>& packages);

// "none" or "140 kPa".
std::string regulatorText(const std::optional<double>& pressure);
std::string boostText(double kPa);

}  // namespace kambrix
