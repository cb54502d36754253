// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "errors.h"

namespace zarede {

namespace {
// Within this distance of 2cx the right end is evaluated at x = 0, so it gives exactly 0.
constexpr double kRightEndTolerance = 1e-15;
}  // namespace

void ZaredeFunction::init(double lcentroX, double lcentroy, std::optional<std::string> name) {
    centroX_ = lcentroX;
    centroY_ = lcentroy;
    name_ = name.value_or(std::string{});
}

std::string ZaredeFunction::name() const {
    return name_;
}
double ZaredeFunction::getMaxY() const {
    return centroY_;
}
double ZaredeFunction::getMaxX() const {
    return 2 * centroX_;
}
double ZaredeFunction::getMinY() const {
    return 0;
}
double ZaredeFunction::getMinX() const {
    return 0;
}

double ZaredeFunction::calculate(double x) const {
    if (std::isnan(x)) {
        detail::raise(ErrorNumber::InvalidArgument, "ellipse evaluated at NaN");
    }
    if (std::abs(x - getMaxX()) < kRightEndTolerance) {
        x = 0;
    }
    const double cx = centroX_;
    const double cy = centroY_;
    const double cx2 = cx * cx;
    if (cx2 == 0) {
        detail::raise(ErrorNumber::DivisionByZero, "ellipse with centre X = 0");
    }
    const double cy2 = cy * cy;
    const double minusX2 = -(x * x);
    const double ratio = cy2 / cx2;
    const double linear = 2 * x * cy2 / cx;
    const double radicand = minusX2 * ratio + linear;
    if (!std::isfinite(minusX2) || !std::isfinite(ratio) || !std::isfinite(linear) ||
        std::isinf(radicand)) {
        detail::raise(ErrorNumber::Overflow, "ellipse term out of range");
    }
    if (!(radicand >= 0)) {
        detail::raise(ErrorNumber::InvalidArgument, "ellipse evaluated outside [0, 2 cx]");
    }
    return std::sqrt(radicand);
}

}  // namespace zarede
