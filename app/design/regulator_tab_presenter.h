// SPDX-License-Identifier: GPL-3.0-or-later
//
// The regulators tab of the sprinkler-chart workbench without its window: the rows held, the
// comparison of the boxes with the rows they were filled with, and what the state line says.
#pragma once

#include <vector>

#include "design/chart_workbench.h"

namespace kambrix {

// The same regulators: a row neither fitted nor with a pressure counts as empty whatever its
// discharge range holds.
bool sameRegulatorInputs(const std::vector<RegulatorInput>& a,
                         const std::vector<RegulatorInput>& b);

struct RegulatorState {
    int fitted = 0;          // regulators applied on the current chart
    bool unapplied = false;  // the boxes differ from the rows they were filled with
};

class RegulatorTabPresenter {
  public:
    explicit RegulatorTabPresenter(ChartWorkbench& workbench) : workbench_(workbench) {}

    std::vector<RegulatorRow> rows() const { return workbench_.regulatorRows(); }
    // The boxes keep edits not applied while the regulators held are those they were filled
    // with; another chart's regulators replace them.
    bool keepsEdits(const std::vector<RegulatorInput>& boxes) const;
    void filled(const std::vector<RegulatorInput>& boxes) { filled_ = boxes; }
    bool hasUnappliedEdits(const std::vector<RegulatorInput>& boxes) const {
        return !sameRegulatorInputs(boxes, filled_);
    }
    // Applies the rows; false when the workbench refused one (it said why).
    bool apply(const std::vector<RegulatorInput>& boxes) {
        return workbench_.applyRegulators(boxes);
    }
    RegulatorState state(const std::vector<RegulatorInput>& boxes) const;

  private:
    ChartWorkbench& workbench_;
    std::vector<RegulatorInput> filled_;
};

}  // namespace kambrix
