// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/water_depth_serie.h"

#include <algorithm>

namespace kambrix {

using quarvex::errc::DivisionByZero;

void WaterDepthSerie::init(const quarvex::Array<quarvex::WaterDepthSample>& samples,
                           const std::string& name) {
    quarvex::Array<quarvex::WaterDepthSample> copy = samples;
    init(std::move(copy), name);
}

void WaterDepthSerie::init(quarvex::Array<quarvex::WaterDepthSample>&& samples,
                           const std::string& name) {
    name_ = name;
    if (samples.IsEmpty()) {
        quarvex::Exceptions::Throw(quarvex::errc::EmptyWaterDepthSerie, name);
    }
    samples_ = std::move(samples);
    quarvex::WaterDepthsComparator byDistance;
    byDistance.init(quarvex::compareWhat::distance);
    quarvex::statics().Arrays().SortInPlace(samples_, byDistance);
    // The depth range is read often by the charts: found once here.
    minDepth_ = samples_(1).depth;
    maxDepth_ = samples_(1).depth;
    for (const auto& s : samples_) {
        minDepth_ = std::min(minDepth_, s.depth);
        maxDepth_ = std::max(maxDepth_, s.depth);
    }
}

double WaterDepthSerie::getValueForX(std::int16_t i) const {
    return samples_(i).distanceFromCenter;
}

double WaterDepthSerie::getValueForY(std::int16_t i) const {
    return samples_(i).depth;
}

double WaterDepthSerie::getMaxY() const {
    return maxDepth_;
}

double WaterDepthSerie::getMaxX() const {
    return samples_.IsEmpty() ? 0.0 : samples_.Last()->distanceFromCenter;
}

double WaterDepthSerie::getMinY() const {
    return minDepth_;
}

double WaterDepthSerie::getMinX() const {
    return samples_.IsEmpty() ? 0.0 : samples_.First()->distanceFromCenter;
}

void WaterDepthSerie::show() const {
    for ([[maybe_unused]] const auto& s : samples_) {
    }
}

double WaterDepthSerie::WaterAverage() const {
    return quarvex::statics().WaterDepths().Average(samples_);
}

double WaterDepthSerie::LowQuarterWaterAverage() const {
    auto& depths = quarvex::statics().WaterDepths();
    return depths.Average(depths.LowQuarter(samples_));
}

double WaterDepthSerie::UniformityOfDestribuition() const {
    const double lowQuarter = LowQuarterWaterAverage();
    const double average = WaterAverage();
    if (average == 0.0) {
        quarvex::Exceptions::Throw(DivisionByZero, "uniformity of depths that are all 0");
    }
    return quarvex::checkedFinite(lowQuarter / average, "distribution uniformity");
}

double WaterDepthSerie::CoeficientOfUniformity() const {
    auto& depths = quarvex::statics().WaterDepths();
    const double average = WaterAverage();
    double deviations = 0.0;
    double weighted = 0.0;
    for (const auto& s : samples_) {
        deviations += depths.PonderatedDeviation(s, average);
        weighted += depths.PonderatedDepths(s);
    }
    if (weighted == 0.0) {
        quarvex::Exceptions::Throw(DivisionByZero, "uniformity of depths that are all 0");
    }
    return quarvex::checkedFinite(1.0 - deviations / weighted, "coefficient of uniformity");
}

}  // namespace kambrix
