// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/model_choice.h"

#include <algorithm>

#include "design/outlet_warnings.h"
#include "shell/errors.h"

namespace kambrix {

namespace {

const CandidateModel* findModel(const std::vector<CandidateModel>& models, const ModelChoice& m) {
    const auto it = std::find_if(models.begin(), models.end(),
                                 [&](const CandidateModel& c) { return c.name == m; });
    return it == models.end() ? nullptr : &*it;
}

}  // namespace

PackageSettings settingsForModel(const quarvex::pivot& projectPivot,
                                 const PackageSettings& settings, const ModelChoice& model) {
    const auto models = catalogueModels(settings.nozzles);
    const CandidateModel* chosen = findModel(models, model);
    if (!chosen) {
        raiseError(errc::RecordNotFound,
                   "The sprinklers of the choice have no nozzles of the model " + model.model +
                       " of " + model.brand);
    }
    PackageSettings s = settings;
    s.nozzles = chosen->nozzles;
    if (projectPivot.p_has_end_gun) {
        // The gun's nozzle comes from the gun models on its own: the chosen model's nozzles
        // when one of them is rated for the gun, else the first model that has one.
        const auto ownGun = gunModelFor(projectPivot, {*chosen});
        if (!ownGun) {
            if (const auto gun = gunModelFor(projectPivot, models)) {
                gun->nozzles.ForEach(
                    [&](const std::shared_ptr<quarvex::Aspersor>& a) { s.nozzles.Add(a); });
            }
        }
    }
    return s;
}

std::vector<ModelFit> rankModelsByFittedOutlets(const quarvex::pivot& projectPivot,
                                                const PackageSettings& settings) {
    std::vector<ModelFit> out;
    for (const auto& m : catalogueModels(settings.nozzles)) {
        const PackageResult r =
            computeAutomaticPackage(projectPivot, settingsForModel(projectPivot, settings, m.name));
        ModelFit fit{m.name, 0, 0};
        for (const auto& ref : outletsInOrder(r.wrapper->pivot())) {
            if (ref.span) {
                ++fit.outlets;
                fit.fittedOutlets += ref.outlet->obj_aspersor ? 1 : 0;
            }
        }
        out.push_back(fit);
    }
    std::stable_sort(out.begin(), out.end(), [](const ModelFit& a, const ModelFit& b) {
        return a.fittedOutlets > b.fittedOutlets;
    });
    return out;
}

}  // namespace kambrix
