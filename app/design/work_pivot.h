// SPDX-License-Identifier: GPL-3.0-or-later
//
// One computed pivot of the workbench: the wrapper that holds the pivot with its sprinkler
// strategy, and the presenter that draws it in the outlet grid.
#pragma once

#include <quarvex/quarvex.h>

#include <memory>
#include <optional>

#include "design/carta_presenter.h"

namespace kambrix {

class WorkPivot : public quarvex::PivotApplier {
  public:
    // The wrapper.
    const std::shared_ptr<quarvex::PivotWrapper>& inner() const noexcept { return wrapper_; }
    void init(CartaAspersorPresenter* presenter, std::shared_ptr<quarvex::PivotWrapper> wrapper);
    // The wrapper's full computation (ideal, then real with the strategy's sprinklers).
    // errc::ComputationDidNotConverge leaves the last pass in the pivot.
    void calculate();
    // Acting pressure (kPa) and ideal discharge (L/s) of the outlet.
    quarvex::ParPressaoCaudal getPressaoCaudalAt(const quarvex::CoordenadasSaida& coordenadas);
    std::optional<quarvex::CoordenadasSaida> translateRowToCoordenadasSaida(int row) const;
    // Draws the pivot: the wrapper applies this work pivot to its own pivot record.
    void show();
    CartaAspersorPresenter* presenter() const noexcept { return presenter_; }
    // Draws the pivot record with the presenter: the ideal values, the computed values, then
    // the row-to-outlet map.
    void apply(quarvex::pivot& p) override;

  private:
    CartaAspersorPresenter* presenter_ = nullptr;
    std::shared_ptr<quarvex::PivotWrapper> wrapper_;
};

}  // namespace kambrix
