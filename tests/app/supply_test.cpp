// SPDX-License-Identifier: GPL-3.0-or-later
//
// The supply of a pivot: pump curves against values worked by hand, the operating point of
// a package whose curve is known in closed form, and the demo chart against pumps: the
// point found is one where the supply and the package agree, and it moves the way the
// machine does when the gun switches off or the nozzles wear.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "demo_workbench_support.h"
#include "design/chart_report.h"
#include "design/chart_workbench.h"
#include "design/package_comparison.h"
#include "design/supply.h"
#include "design/supply_store.h"
#include "design/supply_tab_presenter.h"
#include "design/system_store.h"
#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace {

using namespace quarvex;

std::string refusal(const std::vector<PumpRow>& rows) {
    try {
        PumpCurve curve(rows);
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), errc::PumpCurveRefused);
        return e.what();
    }
    return "accepted";
}

TEST(PumpCurve, EachRuleAgainstValuesWorkedByHand) {
    // One row (10 L/s, 300 kPa): P = 400 - Q^2, shut-off at 4/3 of 300, nothing past 20 L/s.
    const PumpCurve one({{10, 300}});
    EXPECT_EQ(one.kind(), PumpCurveKind::OnePoint);
    EXPECT_DOUBLE_EQ(*one.pressure(0), 400.0);
    EXPECT_DOUBLE_EQ(*one.pressure(10), 300.0);
    EXPECT_DOUBLE_EQ(*one.pressure(15), 175.0);
    EXPECT_NEAR(*one.pressure(20), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(one.lastDischarge(), 20.0);
    EXPECT_FALSE(one.pressure(20.001));
    EXPECT_FALSE(one.pressure(-1));

    // Three rows from no discharge: (0, 500), (10, 400), (20, 100) give C = ln 4 / ln 2 = 2,
    // B = 1: P = 500 - Q^2, through its three rows.
    const PumpCurve power({{0, 500}, {10, 400}, {20, 100}});
    EXPECT_EQ(power.kind(), PumpCurveKind::PowerFunction);
    EXPECT_NEAR(power.C(), 2.0, 1e-12);
    EXPECT_NEAR(power.B(), 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(power.A(), 500.0);
    for (const PumpRow& r : power.rows()) {
        EXPECT_NEAR(*power.pressure(r.caudal), r.presion, 1e-9) << r.caudal;
    }
    EXPECT_NEAR(*power.pressure(15), 275.0, 1e-9);
    EXPECT_NEAR(power.lastDischarge(), std::sqrt(500.0), 1e-9);

    // Three rows not starting at zero, and two rows: straight lines, the first segment
    // followed back to no discharge, nothing past the last row.
    const PumpCurve lines({{5, 400}, {10, 350}, {20, 200}});
    EXPECT_EQ(lines.kind(), PumpCurveKind::Linear);
    EXPECT_DOUBLE_EQ(*lines.pressure(0), 450.0);
    EXPECT_DOUBLE_EQ(*lines.pressure(7.5), 375.0);
    EXPECT_DOUBLE_EQ(*lines.pressure(15), 275.0);
    EXPECT_DOUBLE_EQ(*lines.pressure(20), 200.0);
    EXPECT_FALSE(lines.pressure(20.0001));
    const PumpCurve two({{0, 300}, {30, 300}});
    EXPECT_EQ(two.kind(), PumpCurveKind::Linear);
    EXPECT_DOUBLE_EQ(*two.pressure(12), 300.0);
    // Four rows from zero are straight lines too.
    EXPECT_EQ(PumpCurve({{0, 500}, {10, 450}, {20, 350}, {30, 200}}).kind(), PumpCurveKind::Linear);
}

TEST(PumpCurve, RefusesBrokenRulesNamingTheRow) {
    EXPECT_NE(refusal({}).find("no rows"), std::string::npos);
    EXPECT_NE(refusal({{0, 400}, {10, 350}, {10, 300}}).find("row 3"), std::string::npos);
    EXPECT_NE(refusal({{0, 400}, {10, 350}, {20, 360}}).find("row 3"), std::string::npos);
    EXPECT_NE(refusal({{0, 400}, {5, 350}, {20, 300}, {15, 200}}).find("row 4"), std::string::npos);
    EXPECT_NE(refusal({{10, std::nan("")}}).find("row 1"), std::string::npos);
    EXPECT_NE(refusal({{-1, 300}, {10, 200}}).find("row 1"), std::string::npos);
    EXPECT_NE(refusal({{0, 300}}).find("row 1"), std::string::npos);
    // A power curve needs a falling pressure; a flat start is not one.
    EXPECT_NE(refusal({{0, 400}, {10, 400}, {20, 300}}).find("row 2"), std::string::npos);
    EXPECT_NE(refusal({{0, 0}, {10, 0}}).find("row 1"), std::string::npos);
    std::vector<PumpRow> many;
    for (int i = 0; i <= static_cast<int>(kMaxPumpRows); ++i) {
        many.push_back({static_cast<double>(i), 1000.0 - i});
    }
    EXPECT_NE(refusal(many).find("at most"), std::string::npos);
}

TEST(SupplyLine, LossIsHazenWilliamsAtTenKPaPerMetre) {
    const SupplyLine line{3.0, 500.0, 200.0, 140.0};
    // 1.21e10 (Q/C)^1.852 D^-4.87 m per m, 10 kPa per m of head.
    const double byHand =
        1.21e10 * std::pow(30.0 / 140.0, 1.852) * std::pow(200.0, -4.87) * 500.0 * 10.0;
    EXPECT_NEAR(supplyLineLoss(line, 30.0), byHand, 1e-9 * byHand);
    EXPECT_DOUBLE_EQ(supplyLineLoss(SupplyLine{}, 30.0), 0.0);
    const PumpCurve pump({{30, 600}});
    EXPECT_NEAR(*supplyPressureAtPivot(pump, line, 30.0), 600.0 - 30.0 - byHand, 1e-9);

    Supply s;
    s.line = {0, 100, 0, 140};
    EXPECT_NE(supplyProblem(s)->find("diameter"), std::string::npos);
    s.line = {0, 100, 150, 0};
    EXPECT_NE(supplyProblem(s)->find("Hazen-Williams"), std::string::npos);
    s.line = {std::nan(""), 0, 0, 0};
    EXPECT_NE(supplyProblem(s)->find("lift"), std::string::npos);
    s.line = {};
    s.nozzleWear = 1.5;
    EXPECT_NE(supplyProblem(s)->find("wear"), std::string::npos);
    s.nozzleWear = 0.1;
    s.measured = MeasuredSupply{0, 40};
    EXPECT_NE(supplyProblem(s)->find("pressure"), std::string::npos);
    s.measured = MeasuredSupply{300, 40};
    s.pump = {{10, 300}, {5, 200}};
    EXPECT_NE(supplyProblem(s)->find("row 2"), std::string::npos);
    s.pump = {{10, 300}};
    EXPECT_FALSE(supplyProblem(s));
}

TEST(OperatingPoint, MeetsAPackageKnownInClosedForm) {
    // The package draws p/20 L/s; the pump gives 400 - Q^2: Q^2 + 20 Q - 400 = 0.
    const auto package = [](double p) { return p / 20.0; };
    const PumpCurve pump({{10, 300}});
    const OperatingPoint op = findOperatingPoint(package, pump, SupplyLine{});
    ASSERT_TRUE(op.found) << op.reason;
    EXPECT_NEAR(op.caudal, -10 + std::sqrt(500.0), 1e-6);
    EXPECT_NEAR(op.presion, 400 - op.caudal * op.caudal, 1e-5);
    EXPECT_DOUBLE_EQ(op.caudal, package(op.presion));
    EXPECT_LT(op.evaluations, 120);

    // 5 m of lift take 50 kPa: Q^2 + 20 Q - 350 = 0.
    const OperatingPoint lifted = findOperatingPoint(package, pump, SupplyLine{5, 0, 0, 0});
    ASSERT_TRUE(lifted.found);
    EXPECT_NEAR(lifted.caudal, -10 + std::sqrt(450.0), 1e-6);

    // A package that draws more than the curve's last row can give: no point, never a guess.
    const PumpCurve shortCurve({{0, 300}, {10, 250}});
    const OperatingPoint beyond =
        findOperatingPoint([](double p) { return p / 10.0; }, shortCurve, SupplyLine{});
    EXPECT_FALSE(beyond.found);
    EXPECT_NE(beyond.reason.find("beyond the curve"), std::string::npos);

    // A pump that cannot lift the water to the pivot point.
    const OperatingPoint dry = findOperatingPoint(package, pump, SupplyLine{45, 0, 0, 0});
    EXPECT_FALSE(dry.found);
    EXPECT_NE(dry.reason.find("cannot bring water"), std::string::npos);

    // A package that draws nothing sits at the pump's shut-off pressure.
    const OperatingPoint shut = findOperatingPoint([](double) { return 0.0; }, pump, {});
    ASSERT_TRUE(shut.found);
    EXPECT_DOUBLE_EQ(shut.caudal, 0.0);
    EXPECT_DOUBLE_EQ(shut.presion, 400.0);

    // A steep package curve on a flat pump, and a curve with a kink, still settle.
    const OperatingPoint steep =
        findOperatingPoint([](double p) { return 1e-3 * std::pow(p, 3.0); },
                           PumpCurve({{0, 400}, {100, 399}, {10000, 0}}), {});
    ASSERT_TRUE(steep.found);
    EXPECT_NEAR(steep.caudal, 1e-3 * std::pow(steep.presion, 3.0), 1e-9);
    EXPECT_NEAR(
        *supplyPressureAtPivot(PumpCurve({{0, 400}, {100, 399}, {10000, 0}}), {}, steep.caudal),
        steep.presion, 1e-3);
}

class DemoSupply : public ::testing::Test {
  protected:
    void SetUp() override {
        config = test::freshDatabases(root);
        project = test::storeDemoProject(config);
        workbench =
            std::make_unique<ChartWorkbench>(project, WorkbenchDatabases::from(config), prompts);
        workbench->setIndicadores(statics().newIndicadores(20, 0));
        ASSERT_TRUE(workbench->setEndGunBoost(150));
        const ComparisonBase base = comparisonBaseOf(*workbench);
        PackageSettings settings = base.settings;
        settings.nozzles = workbench->availableNozzles();
        settings.endGunBoost = 150;
        const PackageResult r = computeAutomaticPackage(base.pivot, settings);
        ASSERT_TRUE(r.settled);
        setup = ChartSetup{base.pivot, r.chart, settings};
        designed = computeChartAt(setup, setup.pivot.presion, MachineState{});
    }

    double drawAt(double p, const MachineState& s = {}) {
        return computeChartAt(setup, p, s)->pivot().caudaDaCartaAssociada;
    }

    test::TempFolder root{"supply"};
    AppConfig config;
    Projecto project;
    test::SilentPrompts prompts;
    std::unique_ptr<ChartWorkbench> workbench;
    ChartSetup setup;
    std::shared_ptr<PivotWrapper> designed;
};

TEST_F(DemoSupply, ThePackagesCurveRisesWithPressure) {
    ASSERT_TRUE(setup.pivot.p_has_end_gun);
    for (const MachineState s : {MachineState{}, MachineState{false, false, 0}}) {
        double previous = 0;
        for (double p = 150; p <= 600; p += 25) {
            const double q = drawAt(p, s);
            EXPECT_GT(q, previous) << p;
            previous = q;
        }
    }
}

TEST_F(DemoSupply, APumpThroughTheDesignPointGivesTheDesignPointBack) {
    const double pd = setup.pivot.presion;
    const double qd = designed->pivot().caudaDaCartaAssociada;
    Supply supply;
    supply.pump = {{qd, pd}};
    const SupplyAnalysis a = analyseSupply(setup, supply, 6);
    ASSERT_EQ(a.cases.size(), 4u);
    EXPECT_EQ(a.cases[0].name, kCaseGunAndBooster);
    EXPECT_EQ(a.cases[1].name, kCaseBoosterOff);
    EXPECT_EQ(a.cases[2].name, kCaseGunOff);
    EXPECT_EQ(a.cases[3].name, kCaseAsDesigned);
    const SupplyCase& on = a.cases[0];
    ASSERT_TRUE(on.point.found) << on.point.reason;
    EXPECT_NEAR(on.point.presion, pd, 1e-3);
    EXPECT_NEAR(on.point.caudal, qd, 1e-5);
    // At the point the supply and the chart's computation agree.
    EXPECT_NEAR(drawAt(on.point.presion), on.point.caudal, kOperatingPointTolerance);
    EXPECT_NEAR(*supplyPressureAtPivot(PumpCurve(supply.pump), supply.line, on.point.caudal),
                on.point.presion, 1e-3);
    ASSERT_TRUE(on.UD && on.CU && on.depth && on.lowestSprinklerPressure);
    EXPECT_DOUBLE_EQ(a.cases[3].point.presion, pd);
    EXPECT_NEAR(*a.cases[3].CU, *on.CU, 1e-3);

    // The gun off raises the pressure and lowers the discharge; the booster off lies between.
    const SupplyCase& off = a.cases[2];
    const SupplyCase& noBoost = a.cases[1];
    ASSERT_TRUE(off.point.found && noBoost.point.found);
    EXPECT_GT(off.point.presion, on.point.presion);
    EXPECT_LT(off.point.caudal, on.point.caudal);
    EXPECT_GE(noBoost.point.presion, on.point.presion);
    EXPECT_LE(noBoost.point.presion, off.point.presion);
    EXPECT_NEAR(drawAt(off.point.presion, off.state), off.point.caudal, kOperatingPointTolerance);
    EXPECT_FALSE(off.wrapper->pivot().p_has_end_gun);

    // The figure: the supply's curve over the pump's range, a chart curve per operating case.
    EXPECT_EQ(a.supplyCurve.size(), 6u);
    ASSERT_EQ(a.chartCurves.size(), 3u);
    EXPECT_FALSE(a.chartCurves[0].empty());
}

TEST_F(DemoSupply, WearAndASteeperPumpMoveThePointTheExpectedWay) {
    const double pd = setup.pivot.presion;
    const double qd = designed->pivot().caudaDaCartaAssociada;
    Supply flat;
    flat.pump = {{0, pd + 40}, {qd, pd}, {3 * qd, pd - 80}};
    Supply steep = flat;
    steep.pump = {{0, pd + 400}, {qd, pd}, {1.5 * qd, 0}};
    const OperatingPoint base = operatingPointOf(setup, flat);
    ASSERT_TRUE(base.found) << base.reason;
    EXPECT_NEAR(base.caudal, qd, 1e-4);

    // 10 % wear: more water at a lower pressure.
    Supply worn = flat;
    worn.nozzleWear = 0.10;
    const OperatingPoint w = operatingPointOf(setup, worn);
    ASSERT_TRUE(w.found);
    EXPECT_GT(w.caudal, base.caudal);
    EXPECT_LT(w.presion, base.presion);

    // Switching the gun off moves a steep pump's discharge less and its pressure more.
    const auto off = [&](const Supply& s) { return analyseSupply(setup, s).cases[2].point; };
    const OperatingPoint flatOff = off(flat);
    const OperatingPoint steepOff = off(steep);
    ASSERT_TRUE(flatOff.found && steepOff.found);
    EXPECT_LT(qd - steepOff.caudal, qd - flatOff.caudal);
    EXPECT_GT(steepOff.presion - pd, flatOff.presion - pd);
}

TEST_F(DemoSupply, MeasuredSupplyIsReadAgainstTheChart) {
    const double pd = setup.pivot.presion;
    const double qd = designed->pivot().caudaDaCartaAssociada;
    Supply s;
    s.measured = MeasuredSupply{pd, qd * 1.12};
    SupplyAnalysis a = analyseSupply(setup, s);
    ASSERT_EQ(a.cases.size(), 1u);  // no pump: as designed only
    ASSERT_TRUE(a.measured);
    EXPECT_NEAR(a.measured->chartDischarge, qd, 1e-9);
    EXPECT_NEAR(a.measured->differencePercent, 12.0, 1e-6);
    EXPECT_NE(a.measured->meaning.find("worn nozzles"), std::string::npos);
    s.measured = MeasuredSupply{pd, qd * 0.9};
    a = analyseSupply(setup, s);
    EXPECT_NE(a.measured->meaning.find("less"), std::string::npos);
    s.measured = MeasuredSupply{pd, qd * 1.01};
    a = analyseSupply(setup, s);
    EXPECT_NE(a.measured->meaning.find("within 5 %"), std::string::npos);

    s.pump = {{10, 300}, {5, 200}};
    try {
        analyseSupply(setup, s);
        ADD_FAILURE() << "a broken pump curve was taken";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), errc::PumpCurveRefused);
    }
}

TEST_F(DemoSupply, TheStoreKeepsTheSupplyExactly) {
    const auto load = [&](int id) {
        return readFrom(config.projectsConnectionString,
                        [&](Connection& con) { return loadSupply(con, id); });
    };
    const auto save = [&](int id, const Supply& s) {
        writeTo(config.projectsConnectionString, [&](Connection& con) { saveSupply(con, id, s); });
    };
    EXPECT_EQ(load(project.id), Supply{});

    Supply s;
    s.pump = {{0, 100.0 / 3.0 + 500}, {10.1, 412.7}, {20, 0.1 + 0.2}};
    s.line = {-2.5, 820, 203.2, 140};
    s.measured = MeasuredSupply{287.3, 48.91};
    s.nozzleWear = 0.07;
    save(project.id, s);
    EXPECT_EQ(load(project.id), s);  // bit for bit

    // Saving again replaces; an empty supply removes the rows.
    s.pump = {{30, 350}};
    s.measured.reset();
    save(project.id, s);
    EXPECT_EQ(load(project.id), s);
    save(project.id, Supply{});
    EXPECT_EQ(load(project.id), Supply{});

    // A refused supply writes nothing, and the one stored stays.
    save(project.id, s);
    Supply broken = s;
    broken.pump = {{10, 300}, {5, 200}};
    EXPECT_EQ(test::numberOf([&] { save(project.id, broken); }), errc::ValueOutOfRange);
    EXPECT_EQ(load(project.id), s);

    // Copied to another system as stored; deleted with its owner only.
    writeTo(config.projectsConnectionString,
            [&](Connection& con) { copySupply(con, project.id, project.id + 100); });
    EXPECT_EQ(load(project.id + 100), s);
    writeTo(config.projectsConnectionString,
            [&](Connection& con) { deleteSupply(con, project.id + 100); });
    EXPECT_EQ(load(project.id + 100), Supply{});
    EXPECT_EQ(load(project.id), s);

    // The program's store copies a system with its supply and deletes it with it.
    const Projectos store = systemStore();
    Projecto copy;
    writeTo(config.projectsConnectionString, [&](Connection& con) {
        copy = store.copyProject(con, store.nameCondition(project.nome), "Copy of the demo");
    });
    EXPECT_NE(copy.id, project.id);
    EXPECT_EQ(load(copy.id), s);
    writeTo(config.projectsConnectionString,
            [&](Connection& con) { store.deleteProject(con, copy); });
    EXPECT_EQ(load(copy.id), Supply{});
    EXPECT_EQ(load(project.id), s);
}

TEST(SupplyTab, BoxesAreReadInTheUsersNotationAndShownBack) {
    SupplyBoxes b;
    b.pump = {{"0", "520,5"}, {"", ""}, {"30,25", "410"}, {"60", "150"}};
    b.lift = "-2,5";
    b.length = "820";
    b.diameter = "203,2";
    b.roughness = "140";
    b.measuredPressure = "287,3";
    b.measuredDischarge = "48.91";  // a point is a decimal mark under a comma too
    b.wearPercent = "7";
    const SupplyReading r = readSupplyBoxes(b, ',');
    ASSERT_TRUE(r.supply) << r.problem;
    const Supply& s = *r.supply;
    ASSERT_EQ(s.pump.size(), 3u);  // the blank row is skipped
    EXPECT_EQ(s.pump[0], (PumpRow{0, 520.5}));
    EXPECT_EQ(s.pump[1], (PumpRow{30.25, 410}));
    EXPECT_EQ(s.line, (SupplyLine{-2.5, 820, 203.2, 140}));
    EXPECT_EQ(s.measured, (MeasuredSupply{287.3, 48.91}));
    EXPECT_DOUBLE_EQ(s.nozzleWear, 0.07);
    // Shown back and read again: the same supply.
    const SupplyBoxes shown = supplyBoxes(s, ',');
    EXPECT_EQ(shown.pump[0].second, "520,5");
    EXPECT_EQ(shown.measuredDischarge, "48,91");
    EXPECT_EQ(readSupplyBoxes(shown, ',').supply, s);
    // Nothing typed: an empty supply, and empty boxes for it.
    EXPECT_EQ(readSupplyBoxes(SupplyBoxes{}, '.').supply, Supply{});
    EXPECT_EQ(supplyBoxes(Supply{}, '.'), SupplyBoxes{});

    const auto problem = [](SupplyBoxes x) { return readSupplyBoxes(x, ',').problem; };
    SupplyBoxes bad = b;
    bad.pump[2].second = "410 kPa";
    EXPECT_EQ(problem(bad), "Pump curve, row 3, pressure: \"410 kPa\" is not a number");
    bad = b;
    bad.pump[3].first = "";
    EXPECT_EQ(problem(bad), "Pump curve, row 4: give both the discharge and the pressure");
    bad = b;
    bad.pump[3].first = "20";  // below row 3's discharge
    EXPECT_NE(problem(bad).find("row 3"), std::string::npos);
    bad = b;
    bad.measuredDischarge = "";
    EXPECT_NE(problem(bad).find("give both the pressure and the discharge"), std::string::npos);
    bad = b;
    bad.wearPercent = "150";
    EXPECT_NE(problem(bad).find("Nozzle wear"), std::string::npos);
    bad = b;
    bad.diameter = "";
    EXPECT_NE(problem(bad).find("inside diameter"), std::string::npos);
}

TEST_F(DemoSupply, TheTabShowsTheCasesTheFigureAndTheMeasuredSupply) {
    const ChartSetup fromWorkbench = chartSetupOf(*workbench);
    EXPECT_EQ(fromWorkbench.pivot.presion, setup.pivot.presion);
    const double qd = designed->pivot().caudaDaCartaAssociada;
    Supply s;
    s.pump = {{qd, setup.pivot.presion}};
    s.measured = MeasuredSupply{setup.pivot.presion, qd * 1.2};
    const SupplyAnalysis a = analyseSupply(setup, s, kSupplyFigurePoints);
    const SupplyTabView v = supplyTabView(a, ',');
    ASSERT_EQ(v.cases.rows.size(), 4u);
    EXPECT_EQ(v.cases.rows[0].cells[0].text, kCaseGunAndBooster);
    EXPECT_NEAR(*v.cases.rows[0].cells[1].number, a.cases[0].point.caudal, 0);
    EXPECT_NEAR(*v.cases.rows[2].cells[2].number, a.cases[2].point.presion, 0);
    EXPECT_EQ(v.cases.rows[0].flag, CellFlag::None);
    ASSERT_EQ(v.lines.size(), 4u);  // the supply and three chart curves
    EXPECT_EQ(v.lines[0].name, "Supply at the pivot");
    EXPECT_EQ(v.lines[3].name, "gun off");
    EXPECT_EQ(v.points.points.size(), 3u);
    EXPECT_EQ(v.points.points[0], (XYPoint{a.cases[0].point.caudal, a.cases[0].point.presion}));
    EXPECT_EQ(v.summary.rfind("Operating point (gun and booster on): ", 0), 0u) << v.summary;
    EXPECT_NE(v.measured.find("(+20,0 %)"), std::string::npos) << v.measured;
    EXPECT_NE(v.measured.find("worn nozzles"), std::string::npos);

    // Design for this supply: the automatic package for the point the supply gives.
    Supply low;
    low.pump = {{qd * 0.8, setup.pivot.presion * 0.8}};
    const OperatingPoint op = operatingPointOf(setup, low);
    ASSERT_TRUE(op.found);
    ASSERT_TRUE(workbench->computeAutomaticFor(op.caudal, op.presion));
    EXPECT_EQ(workbench->summary().designDischarge, op.caudal);
    EXPECT_EQ(workbench->currentWrapper()->pivot().presion, op.presion);
    EXPECT_EQ(workbench->projectPivot().presion, setup.pivot.presion);  // the system's own

    // A pump that cannot reach the pivot: the cases are marked and say why.
    Supply weak;
    weak.pump = {{qd, 30}};
    weak.line.lift = 10;
    const SupplyTabView w = supplyTabView(analyseSupply(setup, weak), ',');
    EXPECT_EQ(w.cases.rows[0].flag, CellFlag::Warning);
    EXPECT_NE(w.cases.rows[0].tooltip.find("cannot bring water"), std::string::npos);
    EXPECT_EQ(w.summary.rfind("No operating point", 0), 0u);
    EXPECT_TRUE(w.points.points.empty());
}

TEST_F(DemoSupply, TheComparisonJudgesEachPackageAtItsOperatingPoint) {
    ComparisonBase base = comparisonBaseOf(*workbench);
    const auto models =
        selectCandidateModels(workbench->catalogue(), {{"Aquilon", "Rotating spray plate"}});
    ComparisonOptions options;
    options.regulatorPressures = {std::nullopt, 100.0};
    options.boosts = {150.0};
    options.rankBy = {RankKey::CU};
    options.gunModel = gunModelFor(base.pivot, catalogueModels(workbench->catalogue()));
    options.atOperatingPoint = true;
    EXPECT_EQ(test::numberOf([&] { comparePackages(base, models, options); }),
              errc::ValueOutOfRange);  // no supply

    const double qd = designed->pivot().caudaDaCartaAssociada;
    base.supply = Supply{};
    base.supply->pump = {{qd, setup.pivot.presion - 20}};
    const ComparisonOutcome at = comparePackages(base, models, options);
    options.atOperatingPoint = false;
    const ComparisonOutcome plain = comparePackages(base, models, options);
    ASSERT_EQ(at.packages.size(), 2u);
    for (const ComparedPackage& p : at.packages) {
        ASSERT_TRUE(p.results.operatingDischarge && p.results.operatingPressure)
            << (p.results.problems.empty() ? "" : p.results.problems.front());
        // Judged where the pump meets it: below the typed pressure, as the pump gives less.
        EXPECT_LT(*p.results.operatingPressure, setup.pivot.presion);
        const ChartSetup s{base.pivot, p.package.chart,
                           candidateSettings(base, p.candidate, options.variation)};
        EXPECT_NEAR(computeChartAt(s, *p.results.operatingPressure, MachineState{})
                        ->pivot()
                        .caudaDaCartaAssociada,
                    *p.results.operatingDischarge, kOperatingPointTolerance);
    }
    for (const ComparedPackage& p : plain.packages) {
        EXPECT_FALSE(p.results.operatingDischarge);
    }
}

TEST_F(DemoSupply, ThePrintedChartCarriesTheSupplyWhenTheSystemHasOne) {
    ASSERT_TRUE(workbench->computeAutomatic());
    EXPECT_EQ(buildChartReport(*workbench, "2026-12-09").find(chart_report::Supply), nullptr);

    Supply s;
    s.pump = {{60, 380}};
    s.line = {3, 400, 203.2, 140};
    writeTo(config.projectsConnectionString,
            [&](Connection& con) { saveSupply(con, project.id, s); });
    const report::Document doc = buildChartReport(*workbench, "2026-12-09");
    const report::Section* section = doc.find(chart_report::Supply);
    ASSERT_NE(section, nullptr);
    const SupplyAnalysis a = analyseSupply(chartSetupOf(*workbench), s);
    // The gun-off case's discharge, as the tab shows it (the chart's own capacity without the
    // gun, at the design pressure, is in the capacity section).
    const auto* kv = std::get_if<report::KeyValues>(&section->blocks.at(0));
    ASSERT_NE(kv, nullptr);
    const auto gunOff = std::find_if(kv->pairs.begin(), kv->pairs.end(), [](const auto& p) {
        return p.first == "Operating point without end gun";
    });
    ASSERT_NE(gunOff, kv->pairs.end());
    EXPECT_EQ(gunOff->second, formatDecimals(a.cases[2].point.caudal, 2, '.') + " L/s");
    const auto* table = std::get_if<report::Table>(&section->blocks.at(1));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rows.size(), 4u);
    EXPECT_EQ(table->rows[0][0], kCaseGunAndBooster);
    EXPECT_EQ(table->rows[0][2], formatDecimals(a.cases[0].point.presion, 1, '.'));
}

}  // namespace
}  // namespace kambrix
