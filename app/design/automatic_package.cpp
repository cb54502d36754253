// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/automatic_package.h"

namespace kambrix {

PackageResult computeAutomaticPackage(const quarvex::pivot& projectPivot,
                                      const PackageSettings& settings) {
    auto& st = quarvex::statics();
    PackageResult r;
    r.strategy = std::make_shared<OptimzerStrategy>();
    r.strategy->setMaximumVariation(settings.variation);
    r.wrapper = st.newPivotWrapper(projectPivot, r.strategy);
    r.wrapper->setAvaillableAspersores(settings.nozzles);
    r.wrapper->aplicaReguladores(settings.regulators ? settings.regulators
                                                     : std::make_shared<quarvex::Reguladores>());
    // The chart keeps the drop with its installed flag; the computation uses it only when
    // installed (and only a complete drop can have been installed).
    r.wrapper->setDrop(settings.drop);
    r.wrapper->setEndGunBoost(settings.endGunBoost);
    r.wrapper->setIndicadores(settings.indicadores);
    r.wrapper->setPluviometriaCheck(settings.pluviometria);
    try {
        r.wrapper->calculate();
    } catch (const quarvex::Error& e) {
        if (e.number() != quarvex::errc::ComputationDidNotConverge) {
            throw;
        }
        // The wrapper holds the last pass; the chart is taken from it as a settled
        // computation would have taken it.
        r.settled = false;
        r.strategy->afterCompute(*r.wrapper);
    }
    r.chart = r.strategy->carta();
    // The chart extracted from the pivot carries the booster only when the gun got a
    // sprinkler; the package keeps it whatever the gun got.
    r.chart->setEndGunBoost(settings.endGunBoost);
    r.summary = summarize(*r.wrapper, r.settled);
    for (const auto& ref : outletsInOrder(r.wrapper->pivot())) {
        r.warnings.push_back(outletWarnings(*ref.outlet, ref.span, ref.outlet->obj_aspersor.get()));
    }
    return r;
}

}  // namespace kambrix
