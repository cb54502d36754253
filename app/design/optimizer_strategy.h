// SPDX-License-Identifier: GPL-3.0-or-later
//
// The automatic sprinkler choice: for every outlet the catalogue nozzle whose discharge at
// the outlet's acting pressure deviates least from the outlet's required discharge, within
// ±10 %.
#pragma once

#include <quarvex/quarvex.h>

#include <memory>

namespace kambrix {

class OptimzerStrategy : public quarvex::CalculosStrategy {
  public:
    // Largest relative deviation of a chosen nozzle's discharge (a fraction).
    static constexpr double kMaximumVariation = 0.1;

    OptimzerStrategy();

    // The largest deviation accepted from now on (a fraction; kMaximumVariation by default).
    void setMaximumVariation(double v) { variation_ = v; }
    double maximumVariation() const { return variation_; }

    // Keeps the nozzles and indexes them for the choice.
    void setAvaillableAspersores(const quarvex::AspersorList& all) override;
    void beforeCompute(quarvex::PivotWrapper& wrapper) override;
    // The best match of the available nozzles at the outlet's pressao_actuante (kPa) for its
    // ideal caudal (L/s); nullptr when none lies within the maximum variation (10 %).
    std::shared_ptr<quarvex::Aspersor> aspersorFor(const quarvex::saida& aSaida) override;
    // The chart becomes the one extracted from the computed pivot, with the accessories of
    // the previous chart.
    void afterCompute(quarvex::PivotWrapper& wrapper) override;
    std::shared_ptr<quarvex::CartaAspersores> carta() override { return carta_; }

    const quarvex::AspersorList& availlableAspersores() const { return all_; }

  private:
    quarvex::AspersorList all_;
    quarvex::AspersorIndex index_;
    std::shared_ptr<quarvex::CartaAspersores> carta_;
    double variation_ = kMaximumVariation;
};

}  // namespace kambrix
