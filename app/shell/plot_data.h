// SPDX-License-Identifier: GPL-3.0-or-later
//
// Points of a plot without any window, as the presenters of the screens produce them and
// the chart builder draws them.
#pragma once

#include <string>
#include <vector>

namespace kambrix {

struct XYPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const XYPoint&, const XYPoint&) = default;
};

// A named line of points, in drawing order.
struct PlotLine {
    std::string name;
    std::vector<XYPoint> points;
};

}  // namespace kambrix
