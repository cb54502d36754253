// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {

ReguladorPression::ReguladorPression(int tramo, double pression, double caudal_max,
                                     double caudal_min, bool installed)
    : tramo_(tramo),
      pression_(pression),
      maximum_caudal_(caudal_max),
      minimum_caudal_(caudal_min),
      installed_(installed) {}

void ReguladorPression::apply_to(PivotWrapper& pivot_wrapper) {
    pivot_wrapper.apply(*this);
}

void ReguladorPression::apply(::quarvex::pivot& apivot) {
    const Pivots pivots;
    ::quarvex::tramo& target =
        (pivots.hasOverHang(apivot) && tramo_ == pivots.allSpansCount(apivot))
            ? apivot.tramoVOladizo
            : apivot.Tramos(tramo_);
    if (installed_) {
        target.temRegulador = true;
        target.regulador = regulador{};
        target.regulador.Preg = pression_;
    } else {
        target.temRegulador = false;
    }
}

}  // namespace quarvex
