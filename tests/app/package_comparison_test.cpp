// SPDX-License-Identifier: GPL-3.0-or-later
//
// The comparison of sprinkler packages on the demo system with the template catalogue: a
// candidate is the workbench's automatic package to the last bit, the results and the
// feasibility follow from the computed pivot, the ranking, progress and cancel.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <thread>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "demo_workbench_support.h"
#include "design/chart_workbench.h"
#include "design/comparison_table.h"
#include "design/model_choice.h"
#include "design/package_comparison.h"
#include "evaluation/indicators.h"
#include "evaluation/runoff.h"

namespace kambrix {
namespace {

using namespace quarvex;

using test::SilentPrompts;

const ModelChoice kRotagua{"Rotagua", "Rotating spray plate"};
const ModelChoice kFixed{"Aquilon", "Fixed spray plate"};
const ModelChoice kGun{"Lluvia Norte", "End gun"};

class Comparison : public ::testing::Test {
  protected:
    void SetUp() override {
        config = test::freshDatabases(root);
        project = test::storeDemoProject(config);
        workbench =
            std::make_unique<ChartWorkbench>(project, WorkbenchDatabases::from(config), prompts);
        check.firstSample = statics().newPivotSample(300, 30, "first_sample");
        check.secondSample = statics().newPivotSample(410, 35, "second_sample");
        check.kostiakov = statics().newKostiakovParameters(8, -0.5);
        workbench->setIndicadores(statics().newIndicadores(20, 2));
        workbench->setPluviometryCheck(check);
        workbench->setSurfaceStorage(4.0);
    }
    // Every span regulated at `pressure` (none for no regulators) and the booster, through
    // the workbench's own tabs.
    void setAccessories(std::optional<double> pressure, double boost) {
        std::vector<RegulatorInput> rows;
        if (pressure) {
            for (auto& r : workbench->regulatorRows()) {
                r.input.fitted = true;
                r.input.pressure = *pressure;
                rows.push_back(r.input);
            }
        }
        ASSERT_TRUE(workbench->applyRegulators(rows));
        ASSERT_TRUE(workbench->setEndGunBoost(boost));
    }

    test::TempFolder root{"comparison"};
    AppConfig config;
    Projecto project;
    SilentPrompts prompts;
    PluviometryCheck check;
    std::unique_ptr<ChartWorkbench> workbench;
};

// Every computed value of two pivots bit for bit, and the same catalogue nozzle (by id: the
// two computations read their own nozzle objects from the catalogue).
void expectSamePivot(const pivot& a, const pivot& b) {
    const auto ra = outletsInOrder(a);
    const auto rb = outletsInOrder(b);
    ASSERT_EQ(ra.size(), rb.size());
    for (std::size_t i = 0; i < ra.size(); ++i) {
        const saida& x = *ra[i].outlet;
        const saida& y = *rb[i].outlet;
        EXPECT_EQ(x.pressao_real, y.pressao_real) << "outlet " << i;
        EXPECT_EQ(x.pressao_actuante, y.pressao_actuante) << "outlet " << i;
        EXPECT_EQ(x.caudal_do_aspersor, y.caudal_do_aspersor) << "outlet " << i;
        EXPECT_EQ(x.pressao_ideal, y.pressao_ideal) << "outlet " << i;
        ASSERT_EQ(x.obj_aspersor == nullptr, y.obj_aspersor == nullptr) << "outlet " << i;
        if (x.obj_aspersor) {
            EXPECT_EQ(x.obj_aspersor->id(), y.obj_aspersor->id()) << "outlet " << i;
        }
    }
    EXPECT_EQ(a.caudaDaCartaAssociada, b.caudaDaCartaAssociada);
}

// Outlets without sprinkler after the first `plugged` ones.
int expectedBare(const pivot& p, int plugged) {
    int bare = 0;
    int position = 0;
    for (const auto& ref : outletsInOrder(p)) {
        bare += ++position > plugged && !ref.outlet->obj_aspersor ? 1 : 0;
    }
    return bare;
}

TEST_F(Comparison, ACandidateIsTheWorkbenchsAutomaticPackageToTheLastBit) {
    struct Case {
        ModelChoice model;
        std::optional<double> pressure;
        double boost;
    };
    for (const Case& c : {Case{kRotagua, 140.0, 100.0}, Case{kFixed, std::nullopt, 0.0},
                          Case{kRotagua, 70.0, 200.0}}) {
        SCOPED_TRACE(c.model.model + " " + regulatorText(c.pressure) + " " + boostText(c.boost));
        NozzleFilter filter;
        filter.kind = NozzleFilter::Kind::Model;
        filter.brand = c.model.brand;
        filter.model = c.model.model;
        ASSERT_TRUE(workbench->setNozzleFilter(filter));
        setAccessories(c.pressure, c.boost);
        ASSERT_TRUE(workbench->computeAutomatic());
        auto& wrapper = *workbench->currentWrapper();

        ComparisonOptions options;
        options.regulatorPressures = {c.pressure};
        options.boosts = {c.boost};
        const auto outcome =
            comparePackages(comparisonBaseOf(*workbench),
                            readCandidateModels(config.asperConnectionString, {c.model}), options);
        ASSERT_EQ(outcome.packages.size(), 1u);
        const ComparedPackage& p = outcome.packages[0];
        EXPECT_EQ(p.candidate.model, c.model);
        expectSamePivot(wrapper.pivot(), p.package.wrapper->pivot());
        EXPECT_EQ(p.package.summary.passes, workbench->summary().passes);
        EXPECT_EQ(p.package.chart->getEndGunBoost(), c.boost);
        EXPECT_EQ(p.package.chart->getReguladores()->Count(), c.pressure ? 8 : 0);

        // The indicator and runoff tabs' figures on the workbench's own pivot.
        const auto ind = computeIndicators(wrapper, 20, 2);
        ASSERT_TRUE(ind.CU && p.results.CU);
        EXPECT_EQ(*p.results.CU, 100 * *ind.CU);
        EXPECT_EQ(*p.results.UD, 100 * *ind.UD);
        EXPECT_EQ(*p.results.averageDepth, ind.averageDepth);
        EXPECT_EQ(*p.results.expectedDepth, ind.expectedDepth);
        const auto runoff = computeRunoff(wrapper, check, 20);
        ASSERT_TRUE(runoff.area1 && p.results.excess1);
        EXPECT_EQ(*p.results.excess1, *runoff.area1);
        EXPECT_EQ(*p.results.runoff1, std::max(0.0, *runoff.area1 - 4.0));
        EXPECT_EQ(p.results.noSprinkler, expectedBare(wrapper.pivot(), 2));
        EXPECT_EQ(p.results.starvedRegulators, workbench->summary().starvedRegulator);
        EXPECT_EQ(p.results.nozzleSizes, workbench->summary().distinctNozzles);
        EXPECT_EQ(p.results.dischargePercent,
                  100 * workbench->summary().chartDischarge / project.q);
    }
    // The comparison computed on wrappers of its own: the workbench shows what it showed.
    EXPECT_EQ(workbench->current(), WorkingPivot::Automatic);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Comparison, EveryModelAndSettingIsJudgedAndRankedFeasibleFirst) {
    // The outlets nearest the pivot point need less water than the smallest nozzle gives:
    // plugged, as a designer plugs them.
    workbench->setIndicadores(statics().newIndicadores(20, 12));
    ComparisonOptions options;  // 70 to 170 kPa and none, boosts none, 100 and 200 kPa
    options.rankBy = {RankKey::CU};
    const auto models = readCandidateModels(config.asperConnectionString, {});
    options.gunModel = gunModelFor(workbench->projectPivot(), models);
    ASSERT_TRUE(options.gunModel);
    EXPECT_EQ(options.gunModel->name, kGun) << "the spray plates have nothing for a gun";
    std::vector<std::pair<int, int>> told;
    const auto outcome =
        comparePackages(comparisonBaseOf(*workbench), models, options, [&](int done, int total) {
            told.emplace_back(done, total);
            return true;
        });
    // Four models of the template catalogue × 5 regulator settings × 3 boosts.
    ASSERT_EQ(outcome.total, 60);
    ASSERT_EQ(outcome.packages.size(), 60u);
    EXPECT_FALSE(outcome.cancelled);
    ASSERT_EQ(told.size(), 61u);
    EXPECT_EQ(told.front(), std::make_pair(0, 60));
    EXPECT_EQ(told.back(), std::make_pair(60, 60));

    int feasible = 0;
    bool seenInfeasible = false;
    const CandidateResults* previous = nullptr;
    for (const auto& p : outcome.packages) {
        const auto& r = p.results;
        SCOPED_TRACE(p.candidate.model.model + " " + regulatorText(p.candidate.regulatorPressure));
        EXPECT_EQ(r.feasible,
                  r.settled && r.noSprinkler == 0 && r.outOfRange == 0 && r.starvedRegulators == 0);
        // The counts are those of the computed pivot's outlets.
        int starved = 0;
        for (const auto& ref : outletsInOrder(p.package.wrapper->pivot())) {
            const unsigned f =
                outletWarnings(*ref.outlet, ref.span, ref.outlet->obj_aspersor.get());
            starved += (f & warning::StarvedRegulator) ? 1 : 0;
        }
        EXPECT_EQ(r.noSprinkler, expectedBare(p.package.wrapper->pivot(), 12));
        if (!(p.candidate.model == kGun)) {
            EXPECT_EQ(p.candidate.gunModel, kGun);
        }
        EXPECT_EQ(r.starvedRegulators, starved);
        if (p.candidate.model == kGun) {
            EXPECT_FALSE(r.feasible) << "an end-gun model alone leaves the spans bare";
        }
        EXPECT_FALSE(seenInfeasible && r.feasible) << "a feasible package after an infeasible one";
        seenInfeasible = seenInfeasible || !r.feasible;
        feasible += r.feasible ? 1 : 0;
        if (previous && previous->feasible == r.feasible && previous->CU && r.CU) {
            EXPECT_GE(*previous->CU, *r.CU);
        }
        previous = &r;
        // 200 kPa of booster on a regulated gun shows in its acting pressure.
        if (p.candidate.boost > 0) {
            const auto& gun = p.package.wrapper->pivot().endGun.saida;
            EXPECT_EQ(gun.pressao_actuante, gun.pressao_real + p.candidate.boost);
        }
    }
    EXPECT_GT(feasible, 0);
    EXPECT_LT(feasible, 60);

    // The grid has a row per package in rank order.
    const TableData table = comparisonTable(outcome.packages);
    ASSERT_EQ(table.rows.size(), 60u);
    EXPECT_EQ(table.columns, comparisonColumns());
    ASSERT_EQ(table.rows[0].cells.size(), table.columns.size());
    const auto* cuCell = table.cell(0, static_cast<std::size_t>(table.columnOf(compared::CU)));
    ASSERT_TRUE(cuCell && cuCell->number);
    EXPECT_EQ(*cuCell->number, *outcome.packages[0].results.CU);
    EXPECT_EQ(table.rows[0].cells[2].text, "Lluvia Norte End gun");
    EXPECT_EQ(table.rows[0].cells[5].text, "yes");
    EXPECT_EQ(table.rows.back().cells[5].text, "no");
    EXPECT_EQ(table.rows.back().flag, CellFlag::Warning);
}

TEST_F(Comparison, CancelStopsBeforeTheNextCandidate) {
    int asked = 0;
    const auto outcome = comparePackages(
        comparisonBaseOf(*workbench), readCandidateModels(config.asperConnectionString, {kFixed}),
        ComparisonOptions{}, [&](int done, int) {
            ++asked;
            return done < 2;
        });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.total, 15);
    EXPECT_EQ(outcome.packages.size(), 2u);
    EXPECT_EQ(asked, 3);
    // What was computed is ranked and complete.
    for (const auto& p : outcome.packages) {
        EXPECT_TRUE(p.package.wrapper && p.package.chart);
        EXPECT_LT(p.candidate.order, 2);
    }
    // Cancelled at once: nothing computed.
    const auto none = comparePackages(comparisonBaseOf(*workbench),
                                      readCandidateModels(config.asperConnectionString, {kFixed}),
                                      ComparisonOptions{}, [](int, int) { return false; });
    EXPECT_TRUE(none.cancelled);
    EXPECT_TRUE(none.packages.empty());
}

// Every figure of two compared packages bit for bit, and the same nozzle on every outlet.
void expectSamePackage(const ComparedPackage& a, const ComparedPackage& b) {
    EXPECT_EQ(a.candidate.order, b.candidate.order);
    EXPECT_EQ(a.candidate.model, b.candidate.model);
    EXPECT_EQ(a.candidate.regulatorPressure, b.candidate.regulatorPressure);
    EXPECT_EQ(a.candidate.boost, b.candidate.boost);
    const CandidateResults& x = a.results;
    const CandidateResults& y = b.results;
    EXPECT_EQ(x.settled, y.settled);
    EXPECT_EQ(x.feasible, y.feasible);
    EXPECT_EQ(x.noSprinkler, y.noSprinkler);
    EXPECT_EQ(x.outOfRange, y.outOfRange);
    EXPECT_EQ(x.starvedRegulators, y.starvedRegulators);
    EXPECT_EQ(x.dischargePercent, y.dischargePercent);
    EXPECT_EQ(x.UD, y.UD);
    EXPECT_EQ(x.CU, y.CU);
    EXPECT_EQ(x.expectedDepth, y.expectedDepth);
    EXPECT_EQ(x.averageDepth, y.averageDepth);
    EXPECT_EQ(x.excess1, y.excess1);
    EXPECT_EQ(x.excess2, y.excess2);
    EXPECT_EQ(x.runoff1, y.runoff1);
    EXPECT_EQ(x.runoff2, y.runoff2);
    EXPECT_EQ(x.nozzleSizes, y.nozzleSizes);
    EXPECT_EQ(x.problems, y.problems);
    EXPECT_EQ(a.package.summary.passes, b.package.summary.passes);
    EXPECT_EQ(a.package.held, b.package.held);
    EXPECT_EQ(a.package.warnings, b.package.warnings);
    ASSERT_EQ(a.nozzles.size(), b.nozzles.size());
    for (std::size_t i = 0; i < a.nozzles.size(); ++i) {
        EXPECT_EQ(a.nozzles[i].at, b.nozzles[i].at);
        EXPECT_EQ(a.nozzles[i].nozzle, b.nozzles[i].nozzle) << "outlet " << i;
    }
    ASSERT_EQ(a.package.wrapper != nullptr, b.package.wrapper != nullptr);
    if (a.package.wrapper) {
        expectSamePivot(a.package.wrapper->pivot(), b.package.wrapper->pivot());
    }
}

TEST_F(Comparison, ThreadsSideBySideGiveTheOneThreadResultsInTheSameOrder) {
    // Plugged outlets, indicators and a two-point runoff check: every candidate computes
    // depths, sorts them and integrates the runoff curves on its own thread.
    workbench->setIndicadores(statics().newIndicadores(20, 12));
    const auto models = readCandidateModels(config.asperConnectionString, {});
    const ComparisonBase base = comparisonBaseOf(*workbench);
    ComparisonOptions options;  // 4 models x 5 regulator settings x 3 boosts
    options.rankBy = {RankKey::Runoff, RankKey::CU};
    options.gunModel = gunModelFor(base.pivot, models);
    EXPECT_EQ(comparisonThreads(options, 60),
              std::min(60u, std::max(1u, std::thread::hardware_concurrency())));
    EXPECT_EQ(comparisonThreads(options, 0), 1u);
    options.threads = 1;
    const auto alone = comparePackages(base, models, options);
    ASSERT_EQ(alone.packages.size(), 60u);
    for (unsigned threads : {2u, 5u}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        options.threads = threads;
        EXPECT_EQ(comparisonThreads(options, 60), threads);
        const auto caller = std::this_thread::get_id();
        std::vector<int> told;
        bool otherThread = false;
        const auto outcome = comparePackages(base, models, options, [&](int done, int total) {
            EXPECT_EQ(total, 60);
            otherThread = otherThread || std::this_thread::get_id() != caller;
            told.push_back(done);
            return true;
        });
        EXPECT_FALSE(outcome.cancelled);
        EXPECT_FALSE(otherThread) << "the progress must be told on the calling thread";
        std::vector<int> everyCount(61);
        std::iota(everyCount.begin(), everyCount.end(), 0);
        EXPECT_EQ(told, everyCount);
        ASSERT_EQ(outcome.packages.size(), alone.packages.size());
        for (std::size_t i = 0; i < outcome.packages.size(); ++i) {
            SCOPED_TRACE("rank " + std::to_string(i));
            expectSamePackage(outcome.packages[i], alone.packages[i]);
        }
    }
    // Without computed pivots the threads release them as one thread does.
    options.keepComputedPivots = false;
    options.threads = 3;
    const auto light = comparePackages(base, models, options);
    ASSERT_EQ(light.packages.size(), 60u);
    for (std::size_t i = 0; i < light.packages.size(); ++i) {
        EXPECT_FALSE(light.packages[i].package.wrapper || light.packages[i].package.strategy);
        EXPECT_TRUE(light.packages[i].package.chart);
        EXPECT_EQ(light.packages[i].candidate.order, alone.packages[i].candidate.order);
        EXPECT_EQ(light.packages[i].results.CU, alone.packages[i].results.CU);
    }
}

TEST_F(Comparison, CancelStopsTheThreadsAndKeepsWhatOneThreadWouldHaveKept) {
    const auto models = readCandidateModels(config.asperConnectionString, {});
    const ComparisonBase base = comparisonBaseOf(*workbench);
    ComparisonOptions options;
    options.threads = 1;
    const auto stopAt = [](int count) { return [count](int done, int) { return done < count; }; };
    const auto alone = comparePackages(base, models, options, stopAt(7));
    ASSERT_TRUE(alone.cancelled);
    ASSERT_EQ(alone.packages.size(), 7u);
    options.threads = 4;
    int asked = 0;
    const auto outcome = comparePackages(base, models, options, [&](int done, int total) {
        ++asked;
        EXPECT_EQ(total, 60);
        return done < 7;
    });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.total, 60);
    EXPECT_EQ(asked, 8) << "told 0 to 7, and nothing after the stop";
    ASSERT_EQ(outcome.packages.size(), 7u) << "candidates computed beyond the stop are dropped";
    for (std::size_t i = 0; i < outcome.packages.size(); ++i) {
        EXPECT_LT(outcome.packages[i].candidate.order, 7);
        expectSamePackage(outcome.packages[i], alone.packages[i]);
    }
    // Stopped before the first: the threads never start, nothing is computed.
    const auto none = comparePackages(base, models, options, [](int, int) { return false; });
    EXPECT_TRUE(none.cancelled);
    EXPECT_TRUE(none.packages.empty());
}

TEST_F(Comparison, CandidatesModelsAndOptions) {
    const auto models = readCandidateModels(config.asperConnectionString, {});
    ASSERT_EQ(models.size(), 4u);
    EXPECT_EQ(models[1].name, (ModelChoice{"Aquilon", "Rotating spray plate"}));
    EXPECT_EQ(models[2].name, kRotagua) << "a model name shared by two brands is two models";
    EXPECT_EQ(models[2].nozzles.Count(), 23);
    // The catalogue in memory gives the same models and nozzles.
    const auto inMemory = selectCandidateModels(workbench->catalogue(), {kRotagua, kGun});
    ASSERT_EQ(inMemory.size(), 2u);
    EXPECT_EQ(inMemory[0].nozzles.Count(), 23);
    EXPECT_EQ(inMemory[1].nozzles.Count(), 16);
    EXPECT_EQ(test::numberOf([&] {
                  readCandidateModels(config.asperConnectionString, {{"Rotagua", "End gun"}});
              }),
              errc::RecordNotFound);
    EXPECT_EQ(test::numberOf([&] {
                  selectCandidateModels(workbench->catalogue(), {{"X", "Y"}});
              }),
              errc::RecordNotFound);

    // Repeated settings count once; without an end gun the boosts do not multiply.
    ComparisonOptions o;
    o.regulatorPressures = {std::nullopt, 100.0, 100.0};
    o.boosts = {0, 150, 150};
    const pivot& withGun = workbench->projectPivot();
    EXPECT_EQ(makeCandidates(withGun, models, o).size(), 4u * 2 * 2);
    pivot noGun = withGun;
    noGun.p_has_end_gun = false;
    const auto plain = makeCandidates(noGun, models, o);
    ASSERT_EQ(plain.size(), 4u * 2);
    EXPECT_EQ(plain[1].regulatorPressure, 100.0);
    EXPECT_EQ(plain[1].boost, 0);
    EXPECT_EQ(plain[7].order, 7);
    // Regulators on every span, the overhang (span 8) included; no boost without a gun.
    const auto s = candidateSettings(ComparisonBase{noGun, {}, {}, {}}, plain[1], 0.2);
    ASSERT_EQ(s.regulators->Count(), 8);
    EXPECT_EQ(s.regulators->Item(8)->tramo(), 8);
    EXPECT_TRUE(s.regulators->Item(8)->installed());
    EXPECT_EQ(s.variation, 0.2);

    ComparisonOptions bad;
    EXPECT_FALSE(checkComparisonOptions(bad));
    bad.regulatorPressures = {0.0};
    EXPECT_TRUE(checkComparisonOptions(bad));
    bad.regulatorPressures = {std::nullopt};
    bad.boosts = {-50};
    EXPECT_TRUE(checkComparisonOptions(bad));
    bad.boosts = {0};
    bad.variation = 0;
    EXPECT_TRUE(checkComparisonOptions(bad));
    bad.variation = std::nan("");
    EXPECT_EQ(test::numberOf([&] { comparePackages(comparisonBaseOf(*workbench), models, bad); }),
              errc::ValueOutOfRange);
    EXPECT_EQ(rankKeyOf("nozzleSizes"), RankKey::NozzleSizes);
    EXPECT_FALSE(rankKeyOf("cu"));
}

TEST_F(Comparison, WithoutRevolutionTimeTheIndicatorsAreMissingAndSaidWhy) {
    workbench->setIndicadores(statics().newIndicadores(0, 0));
    ComparisonOptions o;
    o.regulatorPressures = {std::nullopt};
    o.boosts = {0};
    const auto outcome =
        comparePackages(comparisonBaseOf(*workbench),
                        readCandidateModels(config.asperConnectionString, {kFixed}), o);
    ASSERT_EQ(outcome.packages.size(), 1u);
    const auto& r = outcome.packages[0].results;
    EXPECT_FALSE(r.CU || r.UD || r.averageDepth || r.excess1 || r.runoff1);
    ASSERT_FALSE(r.problems.empty());
    EXPECT_NE(r.problems[0].find("hours for a complete revolution"), std::string::npos);
    const TableData table = comparisonTable(outcome.packages);
    EXPECT_EQ(table.rows[0].cells[12].text, "–");
    EXPECT_NE(table.rows[0].cells[12].tooltip.find("revolution"), std::string::npos);
}

// A package of given results only, for the ranking.
ComparedPackage judged(int order, bool feasible, std::optional<double> cu, int sizes,
                       double percent = 100, std::optional<double> runoff = std::nullopt) {
    ComparedPackage p;
    p.candidate.order = order;
    p.results.feasible = feasible;
    p.results.CU = cu;
    p.results.nozzleSizes = sizes;
    p.results.dischargePercent = percent;
    p.results.runoff1 = runoff;
    return p;
}

std::vector<int> orderOf(const std::vector<ComparedPackage>& list) {
    std::vector<int> out;
    for (const auto& p : list) {
        out.push_back(p.candidate.order);
    }
    return out;
}

TEST(ComparisonRanking, FeasibleFirstThenTheKeysInTheirOrder) {
    const std::vector<ComparedPackage> list = {
        judged(0, true, 90, 5, 101),      judged(1, false, 99, 1, 100),
        judged(2, true, 90, 3, 98),       judged(3, true, std::nullopt, 4, 100),
        judged(4, true, 95, 6, 103, 0.5), judged(5, true, 95, 6, 97, 0.2)};
    auto l = list;
    rankPackages(l, {RankKey::CU});
    // 4 and 5 tie on CU, UD (none) and sizes: the discharge error (3 % both) too; the runoff
    // decides. 0 and 2 tie on CU and UD; fewer sizes wins. No CU ranks after any CU.
    EXPECT_EQ(orderOf(l), (std::vector<int>{5, 4, 2, 0, 3, 1}));
    l = list;
    rankPackages(l, {RankKey::NozzleSizes, RankKey::CU});
    EXPECT_EQ(orderOf(l), (std::vector<int>{2, 3, 0, 5, 4, 1}));
    l = list;
    rankPackages(l, {RankKey::DischargeError});
    // Errors 1, 2, 0, 3, 3 %; the tie of 4 and 5 falls to CU (equal), UD, sizes, runoff.
    EXPECT_EQ(orderOf(l), (std::vector<int>{3, 0, 2, 5, 4, 1}));
    l = list;
    rankPackages(l, {RankKey::Runoff});
    // Without runoff figures the others tie and fall to CU, UD, sizes, discharge error.
    EXPECT_EQ(orderOf(l), (std::vector<int>{5, 4, 2, 0, 3, 1}));
    // Infeasible ones keep their own ranking after the feasible ones.
    l = {judged(0, false, 80, 2), judged(1, false, 85, 2), judged(2, true, 10, 9)};
    rankPackages(l, {RankKey::CU});
    EXPECT_EQ(orderOf(l), (std::vector<int>{2, 1, 0}));
}

// One model for the automatic package of a whole catalogue: the models ranked by the outlets
// their own package fits, the settings of one model, the end gun's nozzle from the gun
// models apart.
TEST_F(Comparison, ModelsRankedByFittedOutletsAndTheGunFromItsOwnModel) {
    const pivot& p = workbench->projectPivot();
    const PackageSettings all = workbench->packageSettings();
    const auto fits = rankModelsByFittedOutlets(p, all);
    const auto models = catalogueModels(all.nozzles);
    ASSERT_EQ(fits.size(), models.size());
    const auto modelsOf = [](const AspersorList& list) {
        std::set<std::string> out;
        list.ForEach([&](const std::shared_ptr<Aspersor>& a) {
            out.insert(a->marca().nome + " / " + a->modelo().nome);
        });
        return out;
    };
    for (std::size_t i = 0; i < fits.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(fits[i - 1].fittedOutlets, fits[i].fittedOutlets);
        }
        // Each count is that model's own package, recomputed here, and the package holds
        // that model alone on the lateral.
        const PackageResult r = computeAutomaticPackage(p, settingsForModel(p, all, fits[i].model));
        int fitted = 0;
        int outlets = 0;
        for (const auto& ref : outletsInOrder(r.wrapper->pivot())) {
            if (ref.span) {
                ++outlets;
                fitted += ref.outlet->obj_aspersor ? 1 : 0;
                if (ref.outlet->obj_aspersor) {
                    EXPECT_EQ(ref.outlet->obj_aspersor->modelo().nome, fits[i].model.model);
                }
            }
        }
        EXPECT_EQ(fits[i].fittedOutlets, fitted);
        EXPECT_EQ(fits[i].outlets, outlets);
    }
    EXPECT_EQ(
        std::find_if(fits.begin(), fits.end(), [](const ModelFit& f) { return f.model == kGun; }) -
            fits.begin(),
        static_cast<long>(fits.size()) - 1)
        << "the gun model fits no outlet of the lateral";
    // A spray model has nothing for the gun: the gun model is added to it, and only it.
    EXPECT_EQ(modelsOf(settingsForModel(p, all, kRotagua).nozzles),
              (std::set<std::string>{"Rotagua / Rotating spray plate", "Lluvia Norte / End gun"}));
    EXPECT_EQ(modelsOf(settingsForModel(p, all, kGun).nozzles),
              (std::set<std::string>{"Lluvia Norte / End gun"}));
    EXPECT_EQ(test::numberOf([&] {
                  settingsForModel(p, all, {"No", "such"});
              }),
              errc::RecordNotFound);
}

}  // namespace
}  // namespace kambrix
