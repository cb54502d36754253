// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/automatic_package.h"

#include "design/manual_strategy.h"

namespace kambrix {

void configurePackageWrapper(quarvex::PivotWrapper& wrapper, const PackageSettings& settings) {
    wrapper.setAvaillableAspersores(settings.nozzles);
    wrapper.aplicaReguladores(settings.regulators ? settings.regulators
                                                  : std::make_shared<quarvex::Reguladores>());
    // The chart keeps the drop with its installed flag; the computation uses it only when
    // installed (and only a complete drop can have been installed).
    wrapper.setDrop(settings.drop);
    wrapper.setEndGunBoost(settings.endGunBoost);
    wrapper.setIndicadores(settings.indicadores);
    wrapper.setPluviometriaCheck(settings.pluviometria);
}

namespace {

bool calculateSettles(quarvex::PivotWrapper& wrapper) {
    try {
        wrapper.calculate();
        return true;
    } catch (const quarvex::Error& e) {
        if (e.number() != quarvex::errc::ComputationDidNotConverge) {
            throw;
        }
        return false;
    }
}

}  // namespace

PackageResult computeAutomaticPackage(const quarvex::pivot& projectPivot,
                                      const PackageSettings& settings) {
    auto& st = quarvex::statics();
    PackageResult r;
    r.strategy = std::make_shared<OptimzerStrategy>();
    r.strategy->setMaximumVariation(settings.variation);
    r.wrapper = st.newPivotWrapper(projectPivot, r.strategy);
    configurePackageWrapper(*r.wrapper, settings);
    if (!calculateSettles(*r.wrapper)) {
        // The wrapper holds the last pass; the chart is taken from it as a settled
        // computation would have taken it.
        r.strategy->afterCompute(*r.wrapper);
        // The choice of a nozzle is discrete: near a change of size the nozzles one pass
        // chooses move the draw across the inlet discharge, and the next pass chooses back,
        // so the passes never meet. The chart of the last pass, held as it stands, has a
        // continuous draw, whose bracketing search settles: that is the package.
        auto held = std::make_shared<ManualStrategy>();
        held->init(r.strategy->carta());
        auto wrapper = st.newPivotWrapper(projectPivot, held);
        configurePackageWrapper(*wrapper, settings);
        if (calculateSettles(*wrapper)) {
            r.wrapper = wrapper;
            r.held = true;
        } else {
            r.settled = false;
        }
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
