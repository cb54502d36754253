// SPDX-License-Identifier: GPL-3.0-or-later
#include <limits>

#include "errors.h"

namespace zarede {

void SerieBuilder::init(std::shared_ptr<IFunction> zarede, int32_t numberOfPoints) {
    if (!zarede) {
        detail::raise(ErrorNumber::InvalidArgument, "series of a missing function");
    }
    if (numberOfPoints > std::numeric_limits<int16_t>::max() ||
        numberOfPoints < std::numeric_limits<int16_t>::min()) {
        detail::raise(ErrorNumber::Overflow, "number of points does not fit in 16 bits");
    }
    function_ = std::move(zarede);
    points_ = static_cast<int16_t>(numberOfPoints);
}

void SerieBuilder::prepare() {
    const int32_t strips = int32_t{points_} - 1;
    if (strips == 0) {
        detail::raise(ErrorNumber::DivisionByZero, "series of one point");
    }
    step_ = (function_->getMaxX() - function_->getMinX()) / strips;
}

double SerieBuilder::getValueForX(int16_t i) const {
    return function_->getMinX() + (int32_t{i} - 1) * step_;
}

double SerieBuilder::getValueForY(int16_t i) const {
    return function_->calculate(getValueForX(i));
}

double SerieBuilder::getMaxY() const {
    return function_->getMaxY();
}
double SerieBuilder::getMaxX() const {
    return function_->getMaxX();
}
double SerieBuilder::getMinY() const {
    return function_->getMinY();
}
double SerieBuilder::getMinX() const {
    return function_->getMinX();
}
std::string SerieBuilder::name() const {
    return function_->name();
}
int32_t SerieBuilder::numberOfPoints() const {
    return points_;
}

}  // namespace zarede
