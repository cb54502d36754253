// SPDX-License-Identifier: GPL-3.0-or-later
//
// A list of water depths along the radius (measured in catch cans or computed for a
// sprinkler chart) as a chart series, with the uniformity indicators of that list.
#pragma once

#include <quarvex/quarvex.h>
#include <zarede/zarede.h>

#include <string>
#include <utility>

namespace kambrix {

// Samples held in ascending distance from the pivot point. X is the distance (m), Y the
// depth (mm).
class WaterDepthSerie : public zarede::Serie {
  public:
    // Keeps the samples sorted by distance. An empty list raises quarvex::Error
    // errc::EmptyWaterDepthSerie.
    void init(const quarvex::Array<quarvex::WaterDepthSample>& samples, const std::string& name);
    // The same taking the list itself, sorted where it lies (no copy of a long list).
    void init(quarvex::Array<quarvex::WaterDepthSample>&& samples, const std::string& name);

    void prepare() override {}
    // Point i (1-based): distance (m) and depth (mm). Outside 1..numberOfPoints raises
    // errc::SubscriptOutOfRange.
    double getValueForX(std::int16_t i) const override;
    double getValueForY(std::int16_t i) const override;
    double getMaxY() const override;  // deepest depth, mm
    double getMaxX() const override;  // farthest distance, m
    double getMinY() const override;  // shallowest depth, mm
    double getMinX() const override;  // nearest distance, m
    std::string name() const override { return name_; }
    std::int32_t numberOfPoints() const override { return samples_.Length(); }

    // Walks the samples (a diagnostic hook that changes nothing).
    void show() const;
    // Σ rᵢDᵢ / Σ rᵢ, mm.
    double WaterAverage() const;
    // Average of the low quarter, mm; errc::NotEnoughSamplesToComputeLowQuarter when the low
    // quarter is empty.
    double LowQuarterWaterAverage() const;
    // Low-quarter average / average (a fraction). All depths 0 raises errc::DivisionByZero.
    double UniformityOfDestribuition() const;
    // 1 − Σ rᵢ|Dᵢ − D̄| / Σ rᵢDᵢ (a fraction). All depths 0 raises errc::DivisionByZero.
    double CoeficientOfUniformity() const;

    const quarvex::Array<quarvex::WaterDepthSample>& samples() const noexcept { return samples_; }
    // Hands the sorted samples over; the serie is empty afterwards.
    quarvex::Array<quarvex::WaterDepthSample> releaseSamples() noexcept {
        return std::move(samples_);
    }

  private:
    std::string name_;
    quarvex::Array<quarvex::WaterDepthSample> samples_;
    double minDepth_ = 0;
    double maxDepth_ = 0;
};

}  // namespace kambrix
