// SPDX-License-Identifier: GPL-3.0-or-later
//
// The regulators and drop tabs of the workbench without their windows, on the demo system.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "demo_workbench_support.h"
#include "design/drop_tab_presenter.h"
#include "design/outlet_warnings.h"
#include "design/regulator_tab_presenter.h"

namespace kambrix {
namespace {

using namespace quarvex;

using test::SilentPrompts;

class WorkbenchTabs : public ::testing::Test {
  protected:
    void SetUp() override {
        config = test::freshDatabases(root);
        project = test::storeDemoProject(config);
        workbench =
            std::make_unique<ChartWorkbench>(project, WorkbenchDatabases::from(config), prompts);
        ASSERT_TRUE(workbench->computeAutomatic());
    }
    static std::vector<RegulatorInput> inputsOf(const std::vector<RegulatorRow>& rows) {
        std::vector<RegulatorInput> out;
        for (const auto& r : rows) {
            out.push_back(r.input);
        }
        return out;
    }

    test::TempFolder root{"workbench-tabs"};
    AppConfig config;
    Projecto project;
    SilentPrompts prompts;
    std::unique_ptr<ChartWorkbench> workbench;
};

TEST(RegulatorInputs, EmptyRowsAreAlikeWhateverTheirRange) {
    RegulatorInput empty{3, false, 0, 0.2, 0.9};
    RegulatorInput blank{3, false, 0, std::nullopt, std::nullopt};
    EXPECT_TRUE(sameRegulatorInputs({empty}, {blank}));
    RegulatorInput fitted = blank;
    fitted.fitted = true;
    EXPECT_FALSE(sameRegulatorInputs({fitted}, {blank}));
    // A pressure kept on a row not fitted still counts.
    RegulatorInput kept = blank;
    kept.pressure = 140;
    EXPECT_FALSE(sameRegulatorInputs({kept}, {blank}));
    RegulatorInput ranged = fitted;
    ranged.maximumDischarge = 0.5;
    EXPECT_FALSE(sameRegulatorInputs({ranged}, {fitted}));
    EXPECT_FALSE(sameRegulatorInputs({blank, blank}, {blank}));
}

TEST_F(WorkbenchTabs, RegulatorEditsStayUntilAppliedOrReplaced) {
    RegulatorTabPresenter tab(*workbench);
    const auto rows = tab.rows();
    ASSERT_EQ(rows.size(), 8u);  // seven spans and the overhang
    std::vector<RegulatorInput> boxes = inputsOf(rows);
    tab.filled(boxes);
    EXPECT_FALSE(tab.keepsEdits(boxes));
    EXPECT_EQ(tab.state(boxes).fitted, 0);
    EXPECT_FALSE(tab.state(boxes).unapplied);

    boxes[6].fitted = true;
    boxes[6].pressure = 70;
    EXPECT_TRUE(tab.state(boxes).unapplied);
    EXPECT_TRUE(tab.keepsEdits(boxes));  // the regulators held are still those filled in

    // A refused row changes nothing held.
    std::vector<RegulatorInput> refused = boxes;
    refused[6].pressure = 0;
    EXPECT_FALSE(tab.apply(refused));
    EXPECT_EQ(tab.state(boxes).fitted, 0);

    ASSERT_TRUE(tab.apply(boxes));
    tab.filled(inputsOf(tab.rows()));
    EXPECT_EQ(tab.state(boxes).fitted, 1);
    EXPECT_FALSE(tab.state(boxes).unapplied);

    // Edited again, then the regulators held change under the boxes (another chart): the
    // boxes are filled from what is held.
    std::vector<RegulatorInput> edited = boxes;
    edited[7].fitted = true;
    edited[7].pressure = 100;
    EXPECT_TRUE(tab.keepsEdits(edited));
    std::vector<RegulatorInput> other = inputsOf(tab.rows());
    other[6].pressure = 90;
    ASSERT_TRUE(workbench->applyRegulators(other));
    EXPECT_FALSE(tab.keepsEdits(edited));
}

TEST_F(WorkbenchTabs, DropLossRangeOverTheOutlets) {
    ASSERT_TRUE(workbench->installDrop({2, 1.8, 25}));
    const pivot& p = workbench->currentWrapper()->pivot();
    double qmin = 1e300;
    double qmax = 0;
    for (const auto& ref : outletsInOrder(p)) {
        if (ref.span != nullptr && ref.outlet->caudal > 0) {
            qmin = std::min(qmin, ref.outlet->caudal);
            qmax = std::max(qmax, ref.outlet->caudal);
        }
    }
    ASSERT_GT(qmax, qmin);
    const auto range = dropLossRange(workbench->drop(), p);
    ASSERT_TRUE(range.has_value());
    auto& drops = statics().Drops();
    EXPECT_DOUBLE_EQ(range->minimum, drops.PressureLoss(workbench->drop(), qmin));
    EXPECT_DOUBLE_EQ(range->maximum, drops.PressureLoss(workbench->drop(), qmax));
    EXPECT_LT(range->minimum, range->maximum);
    // The end gun's discharge is far above any outlet's and has no drop.
    ASSERT_TRUE(p.p_has_end_gun);
    EXPECT_LT(range->maximum, drops.PressureLoss(workbench->drop(), p.endGun.saida.caudal));

    // A pivot without outlets has no range.
    EXPECT_FALSE(dropLossRange(workbench->drop(), pivot{}).has_value());
}

TEST_F(WorkbenchTabs, DropStateFollowsInstallAndEdits) {
    DropTabPresenter tab(*workbench);
    DropInput boxes = tab.held();
    tab.filled(boxes, tab.installed());
    DropState s = tab.state(boxes);
    EXPECT_FALSE(s.installed);
    EXPECT_FALSE(s.loss.has_value());
    EXPECT_FALSE(s.unapplied);

    // Without an inside diameter the drop is refused and stays off.
    const DropInput incomplete{2, 1.8, 0};
    EXPECT_FALSE(tab.install(incomplete));
    EXPECT_FALSE(prompts.messages.empty());
    EXPECT_FALSE(tab.state(incomplete).installed);

    const DropInput pe{2, 1.8, 25};
    EXPECT_TRUE(tab.install(pe));
    s = tab.state(pe);
    EXPECT_TRUE(s.installed);
    EXPECT_EQ(s.material, "Polyethylene");
    EXPECT_DOUBLE_EQ(s.length, 1.8);
    EXPECT_DOUBLE_EQ(s.diameter, 25);
    ASSERT_TRUE(s.loss.has_value());
    EXPECT_FALSE(s.unapplied);

    // Boxes edited over the installed drop stay, and say so.
    const DropInput longer{2, 2.4, 25};
    EXPECT_TRUE(tab.state(longer).unapplied);
    EXPECT_TRUE(tab.keepsEdits(longer));
    // Taken off under the boxes: they are filled again from the drop held.
    tab.uninstall();
    EXPECT_FALSE(tab.installed());
    EXPECT_FALSE(tab.keepsEdits(longer));
}

}  // namespace
}  // namespace kambrix
