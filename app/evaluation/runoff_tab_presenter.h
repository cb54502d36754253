// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the runoff tab of the sprinkler-chart workbench shows, without its window: the check
// made from its six boxes, the three curves sampled through a series source, the shaded
// area where application exceeds infiltration, each point's excess depth and, once the
// field's surface storage is known, each point's verdict.
//
// Use: `auto check = runoffCheckFrom(boxes);
//       RunoffTabView v = runoffTabView(wrapper, check, hours, workbench.surfaceStorage(), sep);`
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/number_input.h"
#include "shell/plot_data.h"

namespace kambrix {

// The boxes' ranges. A blank box reads as 0 (no data for that point, no infiltration curve).
inline constexpr NumberRange kPointDistanceRange{0, 10000, false, false, false};  // m
inline constexpr NumberRange kWetDiameterRange{0, 500, false, false, false};      // m
inline constexpr NumberRange kKostiakovKRange{0, 1000, false, false, false};      // mm/h
inline constexpr NumberRange kKostiakovARange{-1, 0, false, false, false};

// Points of each curve on the plot.
inline constexpr int kCurvePoints = 201;

// The boxes' values (none when blank).
struct RunoffBoxes {
    std::optional<double> distance1, wetDiameter1, distance2, wetDiameter2, k, a;
};
// The check of the boxes: blanks read as 0, the points coded "ellipse1" and "ellipse2".
quarvex::PluviometryCheck runoffCheckFrom(const RunoffBoxes& boxes);

struct RunoffPointView {
    bool hasData = false;             // distance and wetted diameter above 0
    std::optional<double> excess_mm;  // the area above the infiltration curve
    std::string excess;               // its text with 2 decimals ("" when none)
    std::string verdict;              // against the surface storage ("" until it is known)
    bool runsOff = false;             // the excess is larger than the storage
};

struct RunoffTabView {
    // The check's message when it cannot run (no point, no revolution time, a point that
    // never leaves the wetted diameter...); then nothing else is filled.
    std::optional<std::string> failure;
    // "ellipse1", "ellipse2", "infiltracion" (those that exist), time (h) against rate
    // (mm/h), sampled through a SerieSource.
    std::vector<PlotLine> curves;
    // Per point with an area: the rate where the ellipse exceeds the infiltration curve,
    // between the lower line (the smaller of the two curves) and the upper (the ellipse),
    // over the same times.
    struct Shade {
        int point = 0;  // 1 or 2
        std::vector<XYPoint> lower;
        std::vector<XYPoint> upper;
    };
    std::vector<Shade> shaded;
    RunoffPointView points[2];
    std::vector<std::string> problems;
};

// The verdict of one point: the surface holds the excess when it is at most As, else the
// difference runs off. Depths in mm.
std::string runoffVerdict(double excess_mm, double storage_mm, char decimalSeparator);

// Runs the check (computeRunoff) for a revolution of `revolutionHours` h.
RunoffTabView runoffTabView(const quarvex::PivotWrapper& wrapper,
                            const quarvex::PluviometryCheck& check, double revolutionHours,
                            std::optional<double> storage_mm, char decimalSeparator);

}  // namespace kambrix
