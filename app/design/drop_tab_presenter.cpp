// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/drop_tab_presenter.h"

#include <algorithm>

#include "design/outlet_warnings.h"

namespace kambrix {

bool sameDrop(const DropInput& a, const DropInput& b) {
    return a.materialId == b.materialId && a.length == b.length && a.diameter == b.diameter;
}

bool dropInstalled(const quarvex::Drop& drop) {
    return quarvex::statics().Drops().IsInstalled(drop);
}

std::optional<LossRange> dropLossRange(const quarvex::Drop& drop, const quarvex::pivot& p) {
    std::optional<double> qmin;
    std::optional<double> qmax;
    for (const auto& ref : outletsInOrder(p)) {
        if (ref.span == nullptr || !(ref.outlet->caudal > 0)) {
            continue;
        }
        qmin = std::min(qmin.value_or(ref.outlet->caudal), ref.outlet->caudal);
        qmax = std::max(qmax.value_or(ref.outlet->caudal), ref.outlet->caudal);
    }
    if (!qmin) {
        return std::nullopt;
    }
    auto& drops = quarvex::statics().Drops();
    return LossRange{drops.PressureLoss(drop, *qmin), drops.PressureLoss(drop, *qmax)};
}

DropInput DropTabPresenter::held() const {
    const quarvex::Drop& d = workbench_.drop();
    return DropInput{d.pipe_material.id, d.longitud, d.diametro};
}

bool DropTabPresenter::installed() const {
    return dropInstalled(workbench_.drop());
}

bool DropTabPresenter::keepsEdits(const DropInput& boxes) const {
    return !sameDrop(boxes, filled_) && sameDrop(held(), filled_) &&
           installed() == filledInstalled_;
}

void DropTabPresenter::filled(const DropInput& boxes, bool installed) {
    filled_ = boxes;
    filledInstalled_ = installed;
}

bool DropTabPresenter::install(const DropInput& boxes) {
    const bool done = workbench_.installDrop(boxes);
    filled(boxes, installed());
    return done;
}

DropState DropTabPresenter::state(const DropInput& boxes) const {
    const quarvex::Drop& d = workbench_.drop();
    DropState s;
    s.installed = installed();
    s.unapplied = !sameDrop(boxes, filled_);
    if (s.installed) {
        s.material = d.pipe_material.name;
        s.length = d.longitud;
        s.diameter = d.diametro;
        if (const auto wrapper = workbench_.currentWrapper()) {
            s.loss = dropLossRange(d, wrapper->pivot());
        }
    }
    return s;
}

}  // namespace kambrix
