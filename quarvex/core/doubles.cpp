// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <cmath>
#include <limits>

namespace quarvex {

double Doubles::NaN() const {
    return std::numeric_limits<double>::quiet_NaN();
}

double Doubles::PositiveInfinity() const {
    return std::numeric_limits<double>::infinity();
}

double Doubles::NegativeInfinity() const {
    return -PositiveInfinity();
}

// Slightly below the largest double, as the stored value 1.79769313486231E+308 reads back.
double Doubles::MaxValue() const {
    return 1.79769313486231E+308;
}

double Doubles::MinValue() const {
    return -1.79769313486231E+308;
}

bool Doubles::isNaN(double value) const {
    return std::isnan(value);
}

bool Doubles::isPositiveInfinity(double value) const {
    return value == PositiveInfinity();
}

bool Doubles::isNegativeInfinity(double value) const {
    return value == NegativeInfinity();
}

double Doubles::Max(double First, double Last) const {
    if (std::isnan(First) || std::isnan(Last)) {
        return NaN();
    }
    return First > Last ? First : Last;
}

double Doubles::Min(double First, double Last) const {
    if (std::isnan(First) || std::isnan(Last)) {
        return NaN();
    }
    return First < Last ? First : Last;
}

}  // namespace quarvex
