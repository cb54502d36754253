// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <cmath>

#include "core/units.h"

namespace quarvex {
namespace {

using units::kSecondsPerHour;
using units::kTwoPi;

WaterDepthSample depthSample(double q, const saida& outlet, double coroaLength,
                             double revolutionTime) {
    const double ring = kTwoPi * outlet.distanciaAoPivot * coroaLength;
    if (ring == 0.0) {
        Exceptions::Throw(errc::DivisionByZero,
                          "water depth of an outlet at the pivot point or with a ring of width 0");
    }
    const double depth =
        checkedFinite(q * kSecondsPerHour * revolutionTime / ring, "water depth of an outlet");
    WaterDepthSample s;
    s.depth = depth;
    s.distanceFromCenter = outlet.distanciaAoPivot;
    s.p_null = false;
    return s;
}

}  // namespace

Gun Types::newGun(double rs) const {
    Gun g;
    g.rs = rs;
    return g;
}

bool Types::isComplete(const Gun& self) const {
    return self.rs > 0;
}

Placement Types::newPlacement(double start_cota, double end_cota, double Length) const {
    Placement p;
    p.start_cota = start_cota;
    p.end_cota = end_cota;
    p.Length = Length;
    return p;
}

Placement Types::newVirtualPlacement(double start_cota, double angle, double Length) const {
    return newPlacement(start_cota, start_cota + std::sin(angle) * Length, Length);
}

double Types::SlopeAngle(Placement& self) const {
    if (std::isnan(self.p_angle) || !isValid(self)) {
        self.p_angle = std::nan("");
    } else if (self.p_angle == 0.0) {
        const double x = (self.end_cota - self.start_cota) / self.Length;
        self.p_angle = std::atan(x / std::sqrt(1.0 - x * x));
    }
    return self.p_angle;
}

double Types::Slope(Placement& self) const {
    if (std::isnan(self.p_angle) || std::isnan(self.p_slope)) {
        self.p_slope = std::nan("");
    } else if (self.p_slope == 0.0) {
        self.p_slope = std::tan(SlopeAngle(self));
    }
    return self.p_slope;
}

bool Types::isValid(const Placement& self) const {
    const double d = self.end_cota - self.start_cota;
    if (std::isnan(d)) {
        return false;
    }
    return std::fabs(d) < self.Length;
}

WaterDepthSample Types::ActualWaterDepthSample(const saida& self, double coroaLength,
                                               double revolutionTime) const {
    return depthSample(self.caudal_do_aspersor, self, coroaLength, revolutionTime);
}

WaterDepthSample Types::IdealWaterDepthSample(const saida& self, double coroaLength,
                                              double revolutionTime) const {
    return depthSample(self.caudal, self, coroaLength, revolutionTime);
}

}  // namespace quarvex
