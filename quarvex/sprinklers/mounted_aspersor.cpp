// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {

void MountedAspersor::init(const CoordenadasSaida& coordenadas,
                           std::shared_ptr<::quarvex::Aspersor> umAspersor) {
    saida_ = coordenadas;
    aspersor_ = std::move(umAspersor);
}

::quarvex::saida& MountedAspersor::outletOf(::quarvex::pivot& apivot) const {
    const Pivots pivots;
    if (CoordenadasSaidas().isAtEndGun(saida_) && pivots.hasEndGun(apivot)) {
        return apivot.endGun.saida;
    }
    if (saida_.numeroTramo == pivots.FixedSpansCount(apivot) + 1 && pivots.hasOverHang(apivot)) {
        return apivot.tramoVOladizo.Saidas(saida_.saida);
    }
    return apivot.Tramos(saida_.numeroTramo).Saidas(saida_.saida);
}

void MountedAspersor::mount_on(::quarvex::pivot& apivot) const {
    outletOf(apivot).obj_aspersor = aspersor_;
}

void MountedAspersor::unMount_on(::quarvex::pivot& apivot) const {
    outletOf(apivot).obj_aspersor = nullptr;
}

void MountedAspersor::apply(::quarvex::pivot& apivot) {
    if (deleted_) {
        unMount_on(apivot);
    } else {
        mount_on(apivot);
    }
}

}  // namespace quarvex
