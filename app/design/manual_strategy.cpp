// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/manual_strategy.h"

namespace kambrix {

ManualStrategy::ManualStrategy() {
    init(quarvex::statics().newCartaAspersores());
}

void ManualStrategy::init(std::shared_ptr<quarvex::CartaAspersores> carta) {
    carta_ = std::move(carta);
    variation_ = kDefaultVariation;
}

void ManualStrategy::setAvaillableAspersores(const quarvex::AspersorList& all) {
    all_ = all;
}

quarvex::AspersorList ManualStrategy::selectPossibleAspersoresFor(
    const quarvex::ParPressaoCaudal& par) const {
    return quarvex::statics().Aspersores().getPossibleAspersores(all_, par.pressao, par.caudal,
                                                                 variation_);
}

void ManualStrategy::addAspersorAt(const quarvex::CoordenadasSaida& coordenadas,
                                   std::shared_ptr<quarvex::Aspersor> aspersor) {
    carta_->addMountedAspersor(
        quarvex::statics().CartaAspersor().newMountedAspersor(coordenadas, std::move(aspersor)));
}

void ManualStrategy::removeAspersorAt(const quarvex::CoordenadasSaida& coordenadas) {
    carta_->removeAspersorAt(coordenadas);
}

void ManualStrategy::beforeCompute(quarvex::PivotWrapper& wrapper) {
    wrapper.aplicaReguladores(carta_->getReguladores());
    carta_->mountAsperoresOn(wrapper);
}

std::shared_ptr<quarvex::Aspersor> ManualStrategy::aspersorFor(const quarvex::saida& aSaida) {
    return aSaida.obj_aspersor;
}

void ManualStrategy::afterCompute(quarvex::PivotWrapper&) {}

}  // namespace kambrix
