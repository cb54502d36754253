// SPDX-License-Identifier: GPL-3.0-or-later
#include <zarede/zarede.h>

namespace zarede {

IFunction::~IFunction() = default;
std::string IFunction::name() const {
    return {};
}
double IFunction::getMaxY() const {
    return 0;
}
double IFunction::getMaxX() const {
    return 0;
}
double IFunction::getMinY() const {
    return 0;
}
double IFunction::getMinX() const {
    return 0;
}
double IFunction::calculate(double /*x*/) const {
    return 0;
}

Serie::~Serie() = default;
void Serie::prepare() {}
double Serie::getValueForX(int16_t /*i*/) const {
    return 0;
}
double Serie::getValueForY(int16_t /*i*/) const {
    return 0;
}
double Serie::getMaxY() const {
    return 0;
}
double Serie::getMaxX() const {
    return 0;
}
double Serie::getMinY() const {
    return 0;
}
double Serie::getMinX() const {
    return 0;
}
std::string Serie::name() const {
    return {};
}
int32_t Serie::numberOfPoints() const {
    return 0;
}

}  // namespace zarede
