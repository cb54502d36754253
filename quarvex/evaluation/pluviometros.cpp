// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <cmath>
#include <limits>

#include "core/units.h"

namespace quarvex {

using units::kPi;

Pluviometro Pluviometros::newPluviometro(double diameter) const {
    Pluviometro p;
    p.diameter = diameter;
    p.p_area = std::numeric_limits<double>::quiet_NaN();
    return p;
}

double Pluviometros::Area(Pluviometro& self) const {
    if (!Valid(self)) {
        Exceptions::Throw(errc::PluviometroIncompleteException);
    }
    // A record built field by field starts with an area of 0, which no real can has: it is
    // taken as not computed, like NaN.
    if (std::isnan(self.p_area) || self.p_area <= 0.0) {
        const double r = self.diameter / 2.0;
        self.p_area = r * r * kPi;
    }
    return self.p_area;
}

bool Pluviometros::Valid(const Pluviometro& self) const {
    return self.diameter > 0.0;
}

}  // namespace quarvex
