// SPDX-License-Identifier: GPL-3.0-or-later
//
// A catch-can test linked to the stored chart it tests: its conditions kept beside it
// through saves, copies and deletes, and the demo chart's own depths with one place cut by
// half read as a low zone naming the outlets and nozzles there.
#include <gtest/gtest.h>

#include <cmath>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "demo_workbench_support.h"
#include "design/evaluation_link.h"
#include "design/system_store.h"
#include "evaluation/catch_can_session.h"
#include "evaluation/evaluation_conditions.h"
#include "evaluation/evaluation_store.h"
#include "evaluation/indicators.h"
#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace {

using quarvex::Connection;
using quarvex::statics;

constexpr double kCanDiameter_m = 0.1;
const double kCanArea_m2 = M_PI * kCanDiameter_m * kCanDiameter_m / 4;

// The volume (ml) a can of the test's diameter holds at that depth (mm).
double volumeOf(double depth_mm) {
    return depth_mm * kCanArea_m2 * 1000.0;
}

quarvex::PivotEvaluation evaluationOf(const std::string& name,
                                      const std::vector<std::pair<double, double>>& first,
                                      const std::vector<std::pair<double, double>>& second = {}) {
    auto e = statics().PivotEvaluations().newEvaluation(name);
    e.pluviometer = statics().Pluviometros().newPluviometro(kCanDiameter_m);
    for (const auto& [distance, depth] : first) {
        e.firstSample.Push(statics().FieldSamples().newFieldSample(volumeOf(depth), distance));
    }
    for (const auto& [distance, depth] : second) {
        e.secondSample.Push(statics().FieldSamples().newFieldSample(volumeOf(depth), distance));
    }
    return e;
}

EvaluationConditions fullConditions(int systemId, int chartId) {
    EvaluationConditions c;
    c.systemId = systemId;
    c.chartId = chartId;
    c.date = "2026-07-14";
    c.startTime = "07:30";
    c.duration_h = 0.1 + 0.2;  // not a short decimal: stored to the last bit
    c.timer_percent = 50;
    c.windSpeed_ms = 2.4;
    c.windDirection = "NW";
    c.airTemperature_C = -3.5;
    c.pivotPressure_kPa = 301.7;
    c.pivotDischarge_Ls = 48.25;
    c.canSpacing_m = 5;
    c.notes = "Cans levelled;\nsecond line with 'quotes' and \"more\"";
    return c;
}

class LinkedEvaluation : public ::testing::Test {
  protected:
    void SetUp() override {
        config = test::freshDatabases(root);
        project = test::storeDemoProject(config);
        chartId = makeDemoChart(config, project);
    }
    EvaluationConditions load(const std::string& name) {
        return readFrom(config.projectsConnectionString,
                        [&](Connection& con) { return loadConditions(con, name); });
    }
    void store(quarvex::PivotEvaluation e, const EvaluationConditions& c) {
        writeTo(config.projectsConnectionString, [&](Connection& con) {
            storeEvaluation(con, e, false);
            saveConditions(con, e.name, c);
        });
    }

    test::TempFolder root{"linked"};
    AppConfig config;
    Projecto project;
    int chartId = 0;
    test::SilentPrompts prompts;
};

TEST_F(LinkedEvaluation, ConditionsSurviveSaveReopenCopyAndDelete) {
    const auto c = fullConditions(project.id, chartId);
    store(evaluationOf("North test", {{10, 5}, {20, 6}}), c);
    EXPECT_EQ(load("North test"), c);
    EXPECT_EQ(load("Another"), EvaluationConditions{});

    // Refused conditions leave the stored ones as they were.
    for (auto broken : {c, c, c, c}) {
        static int k = 0;
        switch (k++) {
            case 0:
                broken.timer_percent = 150;
                break;
            case 1:
                broken.notes = std::string("bell\x07");
                break;
            case 2:
                broken.systemId.reset();
                break;
            default:
                broken.windDirection = "N\nW";
                break;
        }
        EXPECT_EQ(test::numberOf([&] {
                      writeTo(config.projectsConnectionString,
                              [&](Connection& con) { saveConditions(con, "North test", broken); });
                  }),
                  errc::ValueOutOfRange);
    }
    EXPECT_EQ(load("North test"), c);

    // A copy of the system leaves the test with the original; deleting the copy changes
    // nothing, deleting the original clears the link and keeps the rest.
    const Projectos systems = systemStore();
    Projecto copy;
    writeTo(config.projectsConnectionString, [&](Connection& con) {
        copy = systems.copyProject(con, systems.nameCondition(project.nome), "Copy");
    });
    EXPECT_EQ(load("North test"), c);
    writeTo(config.projectsConnectionString,
            [&](Connection& con) { systems.deleteProject(con, copy); });
    EXPECT_EQ(load("North test"), c);
    writeTo(config.projectsConnectionString,
            [&](Connection& con) { systems.deleteProject(con, project); });
    auto unlinked = c;
    unlinked.systemId.reset();
    unlinked.chartId.reset();
    EXPECT_EQ(load("North test"), unlinked);

    // Empty conditions remove the row; deleting the evaluation removes its conditions.
    writeTo(config.projectsConnectionString, [&](Connection& con) {
        saveConditions(con, "North test", {});
        EXPECT_TRUE(linkedEvaluations(con).empty());
        saveConditions(con, "North test", unlinked);
        EXPECT_EQ(deleteEvaluation(con, "North test"), 1);
    });
    EXPECT_EQ(load("North test"), EvaluationConditions{});
}

TEST_F(LinkedEvaluation, TheSessionEditsUndoesAndSavesConditionsWithTheReadings) {
    CatchCanSession session(evaluationOf("Session", {{10, 5}, {20, 6}}));
    const auto c = fullConditions(project.id, chartId);
    EXPECT_FALSE(session.setConditions(c));
    EXPECT_TRUE(session.isModified());
    auto broken = c;
    broken.timer_percent = -5;
    EXPECT_TRUE(session.setConditions(broken));
    EXPECT_EQ(session.conditions(), c);
    ASSERT_TRUE(session.undo());
    EXPECT_EQ(session.conditions(), EvaluationConditions{});
    EXPECT_FALSE(session.setConditions(c));
    session.save(config.projectsConnectionString);
    EXPECT_FALSE(session.isModified());
    EXPECT_EQ(load("Session"), c);

    // Reopened: the stored conditions, unmodified; the diagnosis reads the valid rows only.
    const auto stored = readFrom(config.projectsConnectionString,
                                 [&](Connection& con) { return *findEvaluation(con, "Session"); });
    CatchCanSession again(stored);
    again.loadStoredConditions(config.projectsConnectionString);
    EXPECT_FALSE(again.isModified());
    EXPECT_EQ(again.conditions(), c);
    EXPECT_FALSE(again.setCell(Radius::First, 2, SampleColumn::Volume, "40", '.'));
    EXPECT_EQ(diagnosisCans(again.usableEvaluation()).size(), 2u);
}

TEST_F(LinkedEvaluation, AFileWithoutTheTableReadsNoConditions) {
    writeTo(config.projectsConnectionString,
            [&](Connection& con) { con.Execute("DROP TABLE tb_evaluation_conditions"); });
    EXPECT_EQ(load("Any"), EvaluationConditions{});
    readFrom(config.projectsConnectionString, [&](Connection& con) {
        EXPECT_TRUE(linkedEvaluations(con).empty());
        return 0;
    });
}

TEST(DiagnosisCans, BothRadiiAtOneDistanceAreAveraged) {
    const auto e =
        evaluationOf("two radii", {{10, 4}, {20, 6}, {30, 8}}, {{20, 10}, {25, 5}, {30.0004, 2}});
    const auto cans = diagnosisCans(e);
    ASSERT_EQ(cans.size(), 4u);
    const double d[] = {10, 20, 25, 30};
    const double depth[] = {4, 8, 5, 5};
    for (std::size_t i = 0; i < cans.size(); ++i) {
        EXPECT_NEAR(cans[i].distance, d[i], 1e-3);
        EXPECT_NEAR(cans[i].depth, depth[i], 1e-9) << i;
    }
    auto noDiameter = e;
    noDiameter.pluviometer = statics().Pluviometros().newPluviometro(0);
    EXPECT_TRUE(diagnosisCans(noDiameter).empty());
}

// The demo chart's own depths, measured every 5 m, with the cans around one outlet near
// 250 m cut by half: one low zone there, naming that outlet and its nozzle; the chart's
// predicted CU is its indicator CU; repairing the cut cans gives the chart's profile back.
TEST_F(LinkedEvaluation, HalvedCansAroundOneOutletNameItsNozzle) {
    EvaluationConditions c;
    c.systemId = project.id;
    c.chartId = chartId;

    // The designed profile at the cans, as the link computes it.
    std::vector<std::pair<double, double>> probe;
    for (int i = 1; i <= 84; ++i) {
        probe.emplace_back(5.0 * i, 1.0);
    }
    DiagnosisInput first = diagnosisInputOf(evaluationOf("probe", probe), c);
    std::string problem;
    const auto linked =
        addLinkedChart(WorkbenchDatabases::from(config), c, prompts, first, problem);
    ASSERT_TRUE(linked) << problem;
    ASSERT_TRUE(linked->revolutionHours);
    ASSERT_FALSE(first.outlets.empty());
    ASSERT_TRUE(first.pipeLength);
    const Diagnosis probed = diagnose(first);
    ASSERT_EQ(probed.designed.size(), probe.size());

    // The outlet nearest 250 m and the cans within 6 m of it.
    const auto target = *std::min_element(
        first.outlets.begin(), first.outlets.end(), [](const ChartOutlet& a, const ChartOutlet& b) {
            return std::abs(a.distance - 250) < std::abs(b.distance - 250);
        });
    ASSERT_FALSE(target.nozzle.empty());
    std::vector<std::pair<double, double>> cans;
    for (const auto& d : probed.designed) {
        const bool cut = std::abs(d.distance - target.distance) <= 6;
        cans.emplace_back(d.distance, cut ? d.designed / 2 : d.designed);
    }

    auto e = evaluationOf("Cut near 250 m", cans);
    store(e, c);
    const auto stored = readFrom(config.projectsConnectionString, [&](Connection& con) {
        return *findEvaluation(con, "Cut near 250 m");
    });
    DiagnosisInput in = diagnosisInputOf(stored, load("Cut near 250 m"));
    ASSERT_TRUE(addLinkedChart(WorkbenchDatabases::from(config), load("Cut near 250 m"), prompts,
                               in, problem))
        << problem;
    in.decimalSeparator = ',';  // the sentences follow the user's notation
    const Diagnosis d = diagnose(in);

    const auto zone = std::find_if(d.lowZones.begin(), d.lowZones.end(), [&](const CanZone& z) {
        return z.from <= target.distance && target.distance <= z.to;
    });
    ASSERT_NE(zone, d.lowZones.end());
    EXPECT_EQ(zone->reading, kLowZoneReading);
    const std::string sentence = "Low catch from " + formatDecimals(zone->from, 1, ',') + " m to " +
                                 formatDecimals(zone->to, 1, ',') + " m";
    EXPECT_TRUE(std::any_of(d.findings.begin(), d.findings.end(), [&](const std::string& f) {
        return f.find(sentence) == 0 && f.find(target.nozzle) != std::string::npos;
    })) << sentence;
    EXPECT_TRUE(
        std::any_of(zone->suspects.begin(), zone->suspects.end(), [&](const ChartOutlet& o) {
            return o.tramo == target.tramo && o.saida == target.saida && o.nozzle == target.nozzle;
        }));
    for (const auto& o : zone->suspects) {
        EXPECT_GE(o.distance, zone->from - 5);
        EXPECT_LE(o.distance, zone->to + 5);
    }
    // Measured against designed: 1/2 in the zone, 1 elsewhere (where the design wets).
    for (const auto& dc : d.designed) {
        if (!dc.ratio) {
            continue;
        }
        const bool cut = std::abs(dc.distance - target.distance) <= 6;
        EXPECT_NEAR(*dc.ratio, cut ? 0.5 : 1.0, 1e-6) << dc.distance;
    }
    // The prediction is the chart's own indicator.
    ASSERT_TRUE(in.designedCU);
    EXPECT_GT(*in.designedCU, *d.measured.CU);
    EXPECT_GT(*d.afterRepair.CU, *d.measured.CU);

    // A link whose chart has gone says so and leaves the chart's part out.
    auto gone = c;
    gone.chartId = chartId + 1000;
    DiagnosisInput none = diagnosisInputOf(stored, gone);
    EXPECT_FALSE(addLinkedChart(WorkbenchDatabases::from(config), gone, prompts, none, problem));
    EXPECT_NE(problem.find("no longer stored"), std::string::npos);
    EXPECT_TRUE(none.outlets.empty());
}

}  // namespace
}  // namespace kambrix
