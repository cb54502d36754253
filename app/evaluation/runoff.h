// SPDX-License-Identifier: GPL-3.0-or-later
//
// The runoff check of a sprinkler chart: the application-rate ellipse of up to two points of
// the field against the soil's Kostiakov infiltration curve, and the depth applied faster
// than the soil takes it (to be held on the surface or run off).
#pragma once

#include <quarvex/quarvex.h>
#include <zarede/zarede.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kambrix {

inline constexpr const char* kFirstEllipse = "ellipse1";
inline constexpr const char* kSecondEllipse = "ellipse2";
inline constexpr const char* kInfiltration = "infiltracion";
inline constexpr const char* kNoPositionMessage = "It must be given data for at least one position";
inline constexpr const char* kNoRevolutionMessage =
    "Please enter the number of hours for a complete pivot revolution";

// Linear speed of the pivot at `distance` m for a revolution of `revolutionHours` h, m/h.
double linearSpeed(double distance, double revolutionHours);

using Curves = quarvex::Collection<std::shared_ptr<zarede::IFunction>>;

struct RunoffResult {
    // The message of the check when it cannot run (no point with data, no revolution time,
    // a point that would stay wet longer than one revolution or need more than 10^7
    // integration steps); then nothing else is filled.
    std::optional<std::string> failure;
    // "ellipse1", "ellipse2" (points with data) and "infiltracion" (when k and a are not 0).
    Curves curves;
    // The excess depth of each point, mm; empty when that point has no ellipse, there is no
    // infiltration curve, or the area could not be computed (see `problems`).
    std::optional<double> area1;
    std::optional<double> area2;
    std::vector<std::string> problems;
};

// The ellipse of one point: centre X = (wetted diameter / linear speed) / 2 (h), centre Y =
// the wrapper's peak application rate at that distance (mm/h), named `code`.
std::shared_ptr<zarede::ZaredeFunction> pointEllipse(const quarvex::PivotWrapper& wrapper,
                                                     const quarvex::PivotSample& sample,
                                                     double revolutionHours,
                                                     const std::string& code);

// Builds the curves of the check and the area of each point. A point has data when both its
// distance and its wetted diameter are above 0; the first point's curve is "ellipse1", the
// second's "ellipse2" whatever codes the samples carry.
RunoffResult computeRunoff(const quarvex::PivotWrapper& wrapper,
                           const quarvex::PluviometryCheck& check, double revolutionHours);

}  // namespace kambrix
