// SPDX-License-Identifier: GPL-3.0-or-later
//
// The wetted diameter a sprinkler must have so that the depth it applies faster than the soil
// takes it (the runoff check's excess) is no more than the field's surface storage: the
// excess falls as the wetted diameter grows (the same depth spread over a longer time at a
// lower rate), so the diameter where it equals the storage is found by bisection on the
// runoff check itself.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>

namespace kambrix {

struct RequiredWettedDiameter {
    enum class Kind {
        Found,       // `diameter` gives an excess equal to the storage
        NotNeeded,   // even the smallest diameter keeps the excess within the storage
        NotReached,  // no diameter up to the circle the point travels is enough
        NotComputed  // the check cannot run (`why`)
    };
    Kind kind = Kind::NotComputed;
    double diameter = 0;  // m (Found)
    double excess = 0;    // mm, at `diameter` (Found)
    std::string why;
};

// The smallest wetted diameter considered, m.
inline constexpr double kSmallestWettedDiameter_m = 0.5;

// At `distance` m from the pivot point on the computed pivot of the wrapper, with the soil's
// Kostiakov curve, a revolution of `revolutionHours` h and a surface storage of `storage_mm`.
// The bisection stops when the excess is within 1e-9 mm of the storage or the bracket is
// narrower than 1e-12 m.
RequiredWettedDiameter requiredWettedDiameter(const quarvex::PivotWrapper& wrapper, double distance,
                                              const quarvex::KostiakovParameters& soil,
                                              double revolutionHours, double storage_mm);

// The runoff check's excess (mm) of one point, or none when it cannot be computed.
std::optional<double> pointExcess(const quarvex::PivotWrapper& wrapper, double distance,
                                  double wetDiameter, const quarvex::KostiakovParameters& soil,
                                  double revolutionHours);

}  // namespace kambrix
