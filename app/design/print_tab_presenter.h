// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed chart's own boxes without their window: the three names of the title block
// (the print tab of the workbench) and the model of the chart's regulators (the regulators
// tab). What the boxes hold goes into the workbench's chart at once, is stored with the next
// save and printed by the next print.
#pragma once

#include <string>

#include "design/chart_workbench.h"

namespace kambrix {

struct SignoffNames {
    std::string designedBy;
    std::string checkedBy;
    std::string approvedBy;
    friend bool operator==(const SignoffNames&, const SignoffNames&) = default;
};

class PrintTabPresenter {
  public:
    explicit PrintTabPresenter(ChartWorkbench& workbench) : workbench_(workbench) {}

    // What the boxes show: the chart's names, "Designed by" the default designer while the
    // chart has none.
    SignoffNames names() const;
    // Takes the boxes' names (blanks around them dropped). A "Designed by" equal to the
    // default designer is kept as the chart's own. True when the chart changed (it is then
    // marked changed, so that closing the window asks to save it).
    bool setNames(const SignoffNames& names);

    std::string regulatorModel() const { return workbench_.chartSignoff().regulatorModel; }
    // The regulator model of the chart (blanks around it dropped); true when it changed.
    bool setRegulatorModel(const std::string& model);

  private:
    ChartWorkbench& workbench_;
};

}  // namespace kambrix
