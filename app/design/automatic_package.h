// SPDX-License-Identifier: GPL-3.0-or-later
//
// The automatic sprinkler package of a pivot: the one computation behind the workbench's
// automatic command, so that anything comparing packages (makers, regulator settings,
// boosters) gets exactly the workbench's results.
#pragma once

#include <quarvex/quarvex.h>

#include <memory>
#include <optional>
#include <vector>

#include "design/optimizer_strategy.h"
#include "design/outlet_warnings.h"

namespace kambrix {

// Everything the automatic package depends on besides the pivot.
struct PackageSettings {
    // The nozzles the choice may use: the whole catalogue, or a brand or model of it.
    quarvex::AspersorList nozzles;
    // Largest relative deviation of a chosen nozzle's discharge from the outlet's (fraction).
    double variation = OptimzerStrategy::kMaximumVariation;
    // Regulators (fixed spans 1..n, the overhang n+1); null or empty for none. The
    // collection is shared with the computed chart, so it must not be changed afterwards.
    std::shared_ptr<quarvex::Reguladores> regulators;
    // The drop; used only when installed.
    quarvex::Drop drop = quarvex::statics().Drops().createNull();
    double endGunBoost = 0;  // kPa
    // Carried into the chart (they do not change the hydraulics).
    quarvex::indicadores indicadores;
    quarvex::PluviometryCheck pluviometria;
};

struct PackageResult {
    // The computed wrapper (its own copy of the pivot, its own OptimzerStrategy) and the
    // chart extracted from it, holding the settings' accessories.
    std::shared_ptr<quarvex::PivotWrapper> wrapper;
    std::shared_ptr<OptimzerStrategy> strategy;
    std::shared_ptr<quarvex::CartaAspersores> chart;
    // False when the computation did not settle (errc::ComputationDidNotConverge): the
    // wrapper and the chart then hold the last pass.
    bool settled = true;
    // The automatic choice did not settle by itself (its passes alternate between nozzle
    // sizes); the chart of its last pass was then computed as it stands, and settled.
    bool held = false;
    ComputationSummary summary;
    // The warning flags of every outlet in grid order (outletsInOrder).
    std::vector<unsigned> warnings;
};

// Sets everything of the settings but the choice of nozzles on a new wrapper: the nozzles
// offered, the regulators, the drop (used only when installed), the booster and the tab
// values.
void configurePackageWrapper(quarvex::PivotWrapper& wrapper, const PackageSettings& settings);

// Computes the automatic package on a new wrapper of `projectPivot` (a pivot record as
// buildPivot makes it): the regulators applied, the drop set (and installed when the
// settings' drop is), the booster set, then the full computation with an OptimzerStrategy
// over the settings' nozzles. When the passes of the choice do not settle, the chart of the
// last pass is computed as it stands (`held`). Errors other than a computation that does not
// settle pass to the caller.
PackageResult computeAutomaticPackage(const quarvex::pivot& projectPivot,
                                      const PackageSettings& settings);

}  // namespace kambrix
