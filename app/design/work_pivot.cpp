// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/work_pivot.h"

namespace kambrix {

void WorkPivot::init(CartaAspersorPresenter* presenter,
                     std::shared_ptr<quarvex::PivotWrapper> wrapper) {
    presenter_ = presenter;
    wrapper_ = std::move(wrapper);
}

void WorkPivot::calculate() {
    wrapper_->calculate();
}

quarvex::ParPressaoCaudal WorkPivot::getPressaoCaudalAt(
    const quarvex::CoordenadasSaida& coordenadas) {
    return wrapper_->getPressaoCaudalAt(coordenadas);
}

std::optional<quarvex::CoordenadasSaida> WorkPivot::translateRowToCoordenadasSaida(int row) const {
    return presenter_ ? presenter_->translateRowToCoordenadas(row) : std::nullopt;
}

void WorkPivot::show() {
    wrapper_->apply(*this);
}

void WorkPivot::apply(quarvex::pivot& p) {
    if (!presenter_) {
        return;
    }
    presenter_->mostraPivotIdeal(p);
    presenter_->mostraPivotDimesionado(p);
    presenter_->buildMapper(p);
}

}  // namespace kambrix
