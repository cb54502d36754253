// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {
namespace {
std::string keyOf(const CoordenadasSaida& c) {
    return CoordenadasSaidas().ToString(c);
}
}  // namespace

void CartaAspersores::init() {
    id_ = 0;
    nome_.clear();
    boost_ = 0;
    indicadores_ = indicadores{};
    pluviometria_ = PluviometryCheck{};
    reguladores_.reset();
    drop_ = Drops().createNull();
    mounted_.Clear();
}

void CartaAspersores::setReguladores(std::shared_ptr<Reguladores> reguladores) {
    reguladores_ = std::move(reguladores);
}

std::shared_ptr<Reguladores> CartaAspersores::getReguladores() {
    if (!reguladores_) {
        reguladores_ = std::make_shared<Reguladores>();
    }
    return reguladores_;
}

bool CartaAspersores::hasMountedAspersorAt(const CoordenadasSaida& coordenadas) const {
    const auto* entry = mounted_.Find(keyOf(coordenadas));
    return entry != nullptr && !(*entry)->deleted();
}

std::shared_ptr<MountedAspersor> CartaAspersores::mountedAspersorAt(
    const CoordenadasSaida& coordenadas) {
    if (!hasMountedAspersorAt(coordenadas)) {
        return nullptr;
    }
    return mounted_.Item(keyOf(coordenadas));
}

void CartaAspersores::removeMountedAspersor(const MountedAspersor& amountedAspersor) {
    removeAspersorAt(amountedAspersor.saida());
}

void CartaAspersores::installDrop() {
    Drops().Install(drop_);
}

void CartaAspersores::uninstalDrop() {
    Drops().Uninstall(drop_);
}

void CartaAspersores::removeAndUmountAt(const CoordenadasSaida& coordenadas, PivotWrapper& apivot) {
    if (!hasMountedAspersorAt(coordenadas)) {
        return;
    }
    removeAspersorAt(coordenadas);
    apivot.apply(*mounted_.Item(keyOf(coordenadas)));
}

void CartaAspersores::addAndMountAspersor(std::shared_ptr<MountedAspersor> amountedAspersor,
                                          PivotWrapper& apivot) {
    addMountedAspersor(amountedAspersor);
    apivot.apply(*amountedAspersor);
}

void CartaAspersores::addMountedAspersor(std::shared_ptr<MountedAspersor> amountedAspersor) {
    const std::string key = keyOf(amountedAspersor->saida());
    mounted_.Remove(key);
    mounted_.Add(std::move(amountedAspersor), key);
}

void CartaAspersores::removeAspersorAt(const CoordenadasSaida& coordenadas) {
    if (hasMountedAspersorAt(coordenadas)) {
        mounted_.Item(keyOf(coordenadas))->setDeleted(true);
    }
}

void CartaAspersores::mountAsperoresOn(PivotWrapper& umPivot) {
    mounted_.ForEach([&](const std::shared_ptr<MountedAspersor>& m) { umPivot.apply(*m); });
}

void CartaAspersores::transferAcessoriesFrom(CartaAspersores& source) {
    indicadores_ = source.getIndicadores();
    reguladores_ = source.getReguladores();
    pluviometria_ = source.getPluviometriaCheck();
    drop_ = source.getDrop();
}

}  // namespace quarvex
