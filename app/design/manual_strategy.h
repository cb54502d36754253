// SPDX-License-Identifier: GPL-3.0-or-later
//
// The sprinkler chart edited outlet by outlet: each outlet keeps the nozzle the user put
// there.
#pragma once

#include <quarvex/quarvex.h>

#include <memory>

namespace kambrix {

class ManualStrategy : public quarvex::CalculosStrategy {
  public:
    static constexpr double kDefaultVariation = 0.1;

    // Starts editing a new empty chart.
    ManualStrategy();

    // Keeps the chart and sets the allowed variation to 0.1.
    void init(std::shared_ptr<quarvex::CartaAspersores> carta);
    void setAvaillableAspersores(const quarvex::AspersorList& all) override;
    // The allowed discharge variation offered when choosing a nozzle (a fraction).
    void setAllowableFlowVariation(double v) { variation_ = v; }
    double allowableFlowVariation() const { return variation_; }
    // The available nozzles within the allowed variation of par.caudal (L/s) at
    // par.pressao (kPa), in catalogue order.
    quarvex::AspersorList selectPossibleAspersoresFor(const quarvex::ParPressaoCaudal& par) const;
    // Puts the nozzle on the outlet of the chart (replacing what was there).
    void addAspersorAt(const quarvex::CoordenadasSaida& coordenadas,
                       std::shared_ptr<quarvex::Aspersor> aspersor);
    void removeAspersorAt(const quarvex::CoordenadasSaida& coordenadas);

    // Applies the chart's regulators and mounts its sprinklers on the wrapper's pivot.
    void beforeCompute(quarvex::PivotWrapper& wrapper) override;
    // The nozzle already on the outlet, possibly none.
    std::shared_ptr<quarvex::Aspersor> aspersorFor(const quarvex::saida& aSaida) override;
    void afterCompute(quarvex::PivotWrapper& wrapper) override;
    std::shared_ptr<quarvex::CartaAspersores> carta() override { return carta_; }

  private:
    std::shared_ptr<quarvex::CartaAspersores> carta_;
    quarvex::AspersorList all_;
    double variation_ = kDefaultVariation;
};

}  // namespace kambrix
