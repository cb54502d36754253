// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/optimizer_strategy.h"

namespace kambrix {

OptimzerStrategy::OptimzerStrategy() : carta_(quarvex::statics().newCartaAspersores()) {}

void OptimzerStrategy::setAvaillableAspersores(const quarvex::AspersorList& all) {
    all_ = all;
    index_ = quarvex::AspersorIndex(all_);
}

void OptimzerStrategy::beforeCompute(quarvex::PivotWrapper&) {}

std::shared_ptr<quarvex::Aspersor> OptimzerStrategy::aspersorFor(const quarvex::saida& aSaida) {
    // The index answers exactly what AspersoresStatic::getBestMatch answers, without
    // scanning the whole catalogue for every outlet and pass.
    return index_.bestMatch(aSaida.pressao_actuante, aSaida.caudal, variation_);
}

void OptimzerStrategy::afterCompute(quarvex::PivotWrapper& wrapper) {
    auto previous = carta_;
    carta_ = wrapper.extractCarta();
    carta_->transferAcessoriesFrom(*previous);
}

}  // namespace kambrix
