// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/water_depth_serie.h"

namespace kambrix {

using quarvex::errc::DivisionByZero;

void WaterDepthSerie::init(const quarvex::Array<quarvex::WaterDepthSample>& samples,
                           const std::string& name) {
    name_ = name;
    if (samples.IsEmpty()) {
        quarvex::Exceptions::Throw(quarvex::errc::EmptyWaterDepthSerie, name);
    }
    auto& depths = quarvex::statics().WaterDepths();
    samples_ = depths.Sort(samples, quarvex::compareWhat::distance);
    // The depth range is read often by the charts: sorted once here.
    const auto byDepth = depths.Sort(samples, quarvex::compareWhat::depth);
    minDepth_ = byDepth.First()->depth;
    maxDepth_ = byDepth.Last()->depth;
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
