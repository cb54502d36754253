// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/regulator_tab_presenter.h"

namespace kambrix {

bool sameRegulatorInputs(const std::vector<RegulatorInput>& a,
                         const std::vector<RegulatorInput>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto& x = a[i];
        const auto& y = b[i];
        const bool xEmpty = !x.fitted && !(x.pressure > 0);
        const bool yEmpty = !y.fitted && !(y.pressure > 0);
        if (xEmpty && yEmpty) {
            continue;
        }
        if (x.tramo != y.tramo || x.fitted != y.fitted || x.pressure != y.pressure ||
            x.minimumDischarge != y.minimumDischarge || x.maximumDischarge != y.maximumDischarge) {
            return false;
        }
    }
    return true;
}

bool RegulatorTabPresenter::keepsEdits(const std::vector<RegulatorInput>& boxes) const {
    std::vector<RegulatorInput> held;
    for (const auto& r : workbench_.regulatorRows()) {
        held.push_back(r.input);
    }
    return hasUnappliedEdits(boxes) && sameRegulatorInputs(held, filled_);
}

RegulatorState RegulatorTabPresenter::state(const std::vector<RegulatorInput>& boxes) const {
    RegulatorState s;
    for (const auto& r : workbench_.regulatorRows()) {
        s.fitted += r.input.fitted ? 1 : 0;
    }
    s.unapplied = hasUnappliedEdits(boxes);
    return s;
}

}  // namespace kambrix
