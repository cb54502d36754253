// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "errors.h"

namespace zarede {

KostiakovFunction::KostiakovFunction(double Min, double Max, double k, double a,
                                     std::optional<std::string> name)
    : min_(Min), max_(Max), k_(k), a_(a), name_(name.value_or(std::string{})) {}

std::string KostiakovFunction::name() const {
    return name_;
}
double KostiakovFunction::getMaxY() const {
    return calculate(min_);
}
double KostiakovFunction::getMaxX() const {
    return max_;
}
double KostiakovFunction::getMinY() const {
    return calculate(max_);
}
double KostiakovFunction::getMinX() const {
    return min_;
}

double KostiakovFunction::calculate(double x) const {
    if (std::isnan(x) || std::isnan(k_) || std::isnan(a_)) {
        detail::raise(ErrorNumber::InvalidArgument, "Kostiakov curve with NaN");
    }
    if (x == 0 && a_ < 0) {
        detail::raise(ErrorNumber::DivisionByZero, "Kostiakov curve at 0 with a negative exponent");
    }
    const double power = std::pow(x, a_);
    if (std::isnan(power)) {
        detail::raise(ErrorNumber::InvalidArgument, "Kostiakov power has no real value");
    }
    const double value = k_ * power;
    if (std::isinf(power) || !std::isfinite(value)) {
        detail::raise(ErrorNumber::Overflow, "Kostiakov value out of range");
    }
    return value;
}

}  // namespace zarede
