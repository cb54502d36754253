// SPDX-License-Identifier: GPL-3.0-or-later
//
// One model for the automatic package of a whole catalogue. Chosen outlet by outlet among
// every maker, a package alternates makers and sizes along the lateral; a designer orders
// one model, so the automatic package is offered the models ranked by how many outlets
// each one's own package fits, and the end gun takes its nozzle from the gun models apart.
#pragma once

#include <quarvex/quarvex.h>

#include <vector>

#include "design/automatic_package.h"
#include "design/package_comparison.h"

namespace kambrix {

struct ModelFit {
    ModelChoice model;
    int fittedOutlets = 0;  // outlets of the spans and overhang with a sprinkler
    int outlets = 0;        // outlets of the spans and overhang
};

// The settings limited to one model of their nozzles; when the pivot has an end gun and the
// model has no nozzle rated for it, the first model of the nozzles that has one is offered
// to the gun as well.
PackageSettings settingsForModel(const quarvex::pivot& projectPivot,
                                 const PackageSettings& settings, const ModelChoice& model);

// Every model of the settings' nozzles with the outlets its own automatic package fits, the
// most first (catalogue order among equals). Computes one package per model.
std::vector<ModelFit> rankModelsByFittedOutlets(const quarvex::pivot& projectPivot,
                                                const PackageSettings& settings);

}  // namespace kambrix
