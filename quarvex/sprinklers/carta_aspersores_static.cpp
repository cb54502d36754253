// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {

std::shared_ptr<MountedAspersor> CartaAspersoresStatic::newMountedAspersor(
    const CoordenadasSaida& coordenadas, std::shared_ptr<Aspersor> umAspersor) const {
    auto m = std::make_shared<MountedAspersor>();
    m->init(coordenadas, std::move(umAspersor));
    return m;
}

}  // namespace quarvex
