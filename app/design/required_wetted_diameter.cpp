// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/required_wetted_diameter.h"

#include <cmath>

#include "evaluation/runoff.h"
#include "shell/units.h"

namespace kambrix {
namespace {

constexpr double kExcessTolerance_mm = 1e-9;
constexpr double kBracketTolerance_m = 1e-12;
constexpr int kMostHalvings = 200;

}  // namespace

std::optional<double> pointExcess(const quarvex::PivotWrapper& wrapper, double distance,
                                  double wetDiameter, const quarvex::KostiakovParameters& soil,
                                  double revolutionHours) {
    quarvex::PluviometryCheck check;
    check.firstSample = quarvex::statics().newPivotSample(distance, wetDiameter, kFirstEllipse);
    check.kostiakov = soil;
    const RunoffResult r = computeRunoff(wrapper, check, revolutionHours);
    if (r.failure) {
        return std::nullopt;
    }
    return r.area1;
}

RequiredWettedDiameter requiredWettedDiameter(const quarvex::PivotWrapper& wrapper, double distance,
                                              const quarvex::KostiakovParameters& soil,
                                              double revolutionHours, double storage_mm) {
    RequiredWettedDiameter out;
    if (!(distance > 0) || !(revolutionHours > 0) || soil.k == 0 || soil.a == 0) {
        out.why = "it needs a distance, a revolution time and the infiltration curve";
        return out;
    }
    const auto excess = [&](double d) {
        return pointExcess(wrapper, distance, d, soil, revolutionHours);
    };
    double lo = kSmallestWettedDiameter_m;
    // A wetted diameter longer than the circle the point travels would keep it wet for more
    // than a revolution: the check refuses it.
    double hi = kTwoPi * distance * (1 - 1e-9);
    const auto atLo = excess(lo);
    const auto atHi = excess(hi);
    if (!atLo || !atHi) {
        out.why = "the runoff check cannot be computed at this point";
        return out;
    }
    if (*atLo <= storage_mm) {
        out.kind = RequiredWettedDiameter::Kind::NotNeeded;
        return out;
    }
    if (*atHi > storage_mm) {
        out.kind = RequiredWettedDiameter::Kind::NotReached;
        return out;
    }
    double best = hi;
    double bestExcess = *atHi;
    for (int i = 0; i < kMostHalvings && hi - lo > kBracketTolerance_m; ++i) {
        const double mid = 0.5 * (lo + hi);
        const auto e = excess(mid);
        if (!e) {
            break;
        }
        if (std::abs(*e - storage_mm) < std::abs(bestExcess - storage_mm)) {
            best = mid;
            bestExcess = *e;
        }
        if (std::abs(*e - storage_mm) <= kExcessTolerance_mm) {
            break;
        }
        (*e > storage_mm ? lo : hi) = mid;
    }
    out.kind = RequiredWettedDiameter::Kind::Found;
    out.diameter = best;
    out.excess = bestExcess;
    return out;
}

}  // namespace kambrix
