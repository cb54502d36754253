// SPDX-License-Identifier: GPL-3.0-or-later
//
// The drop tab of the sprinkler-chart workbench without its window: the drop the chart holds,
// the range of its pressure loss over the outlets, whether the boxes hold changes not yet
// installed, and when a new drop held replaces what the boxes hold.
#pragma once

#include <optional>
#include <string>

#include "design/chart_workbench.h"

namespace kambrix {

bool sameDrop(const DropInput& a, const DropInput& b);
// The drop is installed on the chart (the sprinklers hang from it).
bool dropInstalled(const quarvex::Drop& drop);

// The pressure loss (kPa) of a drop at the smallest and at the largest required discharge
// of the pivot's outlets (the end gun has no drop); none when no outlet has a discharge.
struct LossRange {
    double minimum = 0;  // kPa
    double maximum = 0;  // kPa
};
std::optional<LossRange> dropLossRange(const quarvex::Drop& drop, const quarvex::pivot& p);

// What the tab's state line shows.
struct DropState {
    bool installed = false;
    std::string material;
    double length = 0;    // m
    double diameter = 0;  // mm, inside
    std::optional<LossRange> loss;
    bool unapplied = false;  // the boxes differ from the drop they were filled with
};

class DropTabPresenter {
  public:
    explicit DropTabPresenter(ChartWorkbench& workbench) : workbench_(workbench) {}

    // The drop held, as the boxes show it.
    DropInput held() const;
    bool installed() const;
    // The boxes keep what they hold while it was edited and the drop held is still the one
    // they were filled with; otherwise the window fills them from held().
    bool keepsEdits(const DropInput& boxes) const;
    // The boxes now hold `boxes` (filled, cleared or installed from them).
    void filled(const DropInput& boxes, bool installed);
    // Installs the drop of the boxes; false when the workbench refused it (it said why).
    bool install(const DropInput& boxes);
    void uninstall() { workbench_.uninstallDrop(); }
    DropState state(const DropInput& boxes) const;

  private:
    ChartWorkbench& workbench_;
    DropInput filled_;
    bool filledInstalled_ = false;
};

}  // namespace kambrix
