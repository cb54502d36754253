// SPDX-License-Identifier: GPL-3.0-or-later
//
// The sprinkler-chart workbench without its window, on copies of the template databases with
// the demo system stored: computations, outlet edits, the brand/model filter, accessories,
// chart storage with its messages, the printed chart's model and the demo chart.
#include <gtest/gtest.h>

#include <deque>
#include <fstream>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "design/chart_report.h"
#include "design/chart_workbench.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace {

using namespace quarvex;

class ScriptedPrompts : public WorkbenchPrompts {
  public:
    void message(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) {
            return false;
        }
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> askText(const std::string& prompt,
                                       const std::string& title) override {
        prompts.push_back(title + ": " + prompt);
        if (names.empty()) {
            return std::nullopt;
        }
        auto n = names.front();
        names.pop_front();
        return n;
    }
    std::vector<std::string> messages, questions, prompts;
    std::deque<bool> answers;
    std::deque<std::optional<std::string>> names;
};

class Recorder : public OutletGridSink {
  public:
    void tableReset(const std::vector<GridColumn>&, const std::vector<OutletRow>& r) override {
        ++resets;
        rows = r;
    }
    void rowChanged(int row, const OutletRow& cells) override {
        changed.push_back(row);
        rows.at(static_cast<std::size_t>(row)) = cells;
    }
    int resets = 0;
    std::vector<OutletRow> rows;
    std::vector<int> changed;
};

class Workbench : public ::testing::Test {
  protected:
    void SetUp() override {
        config = test::freshDatabases(root);
        Connection tramos(config.tramosConnectionString);
        Connection projects(config.projectsConnectionString);
        tramos.Open();
        projects.Open();
        project = makeDemoProject(tramos, projects);
        Projectos().saveProject(projects, project);
    }
    std::unique_ptr<ChartWorkbench> open() {
        return std::make_unique<ChartWorkbench>(project, WorkbenchDatabases::from(config), prompts);
    }
    int storedCharts() {
        Connection con(config.projectsConnectionString);
        con.Open();
        return test::count(con, "SELECT count(*) as n FROM tb_cartas");
    }

    test::TempFolder root{"workbench"};
    AppConfig config;
    Projecto project;
    ScriptedPrompts prompts;
};

// Every computed value of two pivots, bit for bit, and the same sprinkler objects.
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
        EXPECT_EQ(x.obj_aspersor, y.obj_aspersor) << "outlet " << i;
    }
    EXPECT_EQ(a.caudaDaCartaAssociada, b.caudaDaCartaAssociada);
}

TEST_F(Workbench, LoadsTheProjectAndShowsTheManualPivotComputed) {
    auto w = open();
    Recorder grid;
    w->setGridSink(&grid);
    EXPECT_EQ(grid.resets, 1);
    // 3 × 22 + 4 × 27 outlets, 23 on the overhang, and the end gun.
    EXPECT_EQ(grid.rows.size(), 198u);
    EXPECT_EQ(w->current(), WorkingPivot::Manual);
    EXPECT_TRUE(w->canEditSprinklers());
    EXPECT_EQ(w->summary().settlement, Settlement::Plain);
    EXPECT_EQ(w->summary().noSprinkler, 198);
    EXPECT_EQ(w->catalogue().Count(), 89);
    EXPECT_EQ(w->availableNozzles().Count(), 89);
    EXPECT_EQ(w->pipeMaterials().size(), 4u);
    EXPECT_TRUE(w->charts().empty());
    EXPECT_EQ(w->document().wrapper(), w->currentWrapper());
    EXPECT_TRUE(prompts.messages.empty());

    Projecto incomplete = project;
    incomplete.q = 0;
    EXPECT_EQ(test::numberOf(
                  [&] { ChartWorkbench(incomplete, WorkbenchDatabases::from(config), prompts); }),
              errc::ValueOutOfRange);
}

TEST_F(Workbench, AutomaticLeavesOutletsWithoutANearNozzleFlagged) {
    auto w = open();
    Recorder grid;
    w->setGridSink(&grid);
    ASSERT_TRUE(w->computeAutomatic());
    EXPECT_EQ(w->current(), WorkingPivot::Automatic);
    EXPECT_FALSE(w->canEditSprinklers());
    const auto& s = w->summary();
    EXPECT_NE(s.settlement, Settlement::NotSettled);
    int empty = 0;
    const auto refs = outletsInOrder(w->currentWrapper()->pivot());
    ASSERT_EQ(refs.size(), grid.rows.size());
    for (std::size_t i = 0; i < refs.size(); ++i) {
        const saida& o = *refs[i].outlet;
        if (!o.obj_aspersor) {
            ++empty;
            // No catalogue nozzle lies within 10 % of the outlet's discharge at its pressure.
            EXPECT_EQ(statics().Aspersores().getBestMatch(w->catalogue(), o.pressao_actuante,
                                                          o.caudal, 0.1),
                      nullptr)
                << "row " << i;
            EXPECT_TRUE(grid.rows[i].warnings & warning::NoSprinkler) << "row " << i;
            EXPECT_EQ(grid.rows[i].cells[column::Nozzle], "");
        } else {
            EXPECT_FALSE(grid.rows[i].warnings & warning::NoSprinkler) << "row " << i;
        }
    }
    // The first outlets need 0.004 L/s, less than any nozzle of the catalogue gives.
    EXPECT_EQ(refs[0].outlet->obj_aspersor, nullptr);
    EXPECT_GT(empty, 0);
    EXPECT_EQ(s.noSprinkler, empty);
    EXPECT_EQ(s.sprinklers, 198 - empty);
    EXPECT_EQ(w->currentChart()->mountedAspersores().Count(), s.sprinklers);
    EXPECT_NE(w->summaryText().find("outlets with warnings"), std::string::npos);
}

TEST_F(Workbench, TheSharedAutomaticComputationGivesTheWorkbenchResults) {
    auto w = open();
    ASSERT_TRUE(w->setNozzleFilter({NozzleFilter::Kind::Brand, "Aquilon", ""}));
    auto rows = w->regulatorRows();
    rows[5].input.fitted = true;
    rows[5].input.pressure = 100;
    ASSERT_TRUE(w->applyRegulators({rows[5].input}));
    ASSERT_TRUE(w->installDrop({2, 1.8, 25}));
    ASSERT_TRUE(w->setEndGunBoost(150));
    ASSERT_TRUE(w->computeAutomatic());

    const PackageResult r = computeAutomaticPackage(w->projectPivot(), w->packageSettings());
    ASSERT_TRUE(r.settled);
    EXPECT_NE(r.wrapper, w->currentWrapper());
    expectSamePivot(r.wrapper->pivot(), w->currentWrapper()->pivot());
    EXPECT_EQ(r.summary.chartDischarge, w->summary().chartDischarge);
    EXPECT_EQ(r.summary.passes, w->summary().passes);
    ASSERT_EQ(r.warnings.size(), w->presenter().rows().size());
    for (std::size_t i = 0; i < r.warnings.size(); ++i) {
        EXPECT_EQ(r.warnings[i], w->presenter().rows()[i].warnings) << "row " << i;
    }
    EXPECT_EQ(r.chart->getEndGunBoost(), 150);
    EXPECT_TRUE(statics().Drops().IsInstalled(r.chart->getDrop()));
    EXPECT_EQ(r.chart->getReguladores()->Count(), 1);
}

TEST_F(Workbench, ChoosingASprinklerChangesThatRowOnly) {
    auto w = open();
    Recorder grid;
    w->setGridSink(&grid);
    const auto before = grid.rows;
    const int row = 40;
    const auto at = *w->presenter().translateRowToCoordenadas(row);
    const auto par = w->workPivot(WorkingPivot::Manual).getPressaoCaudalAt(at);
    const auto list = w->possibleAspersoresFor(row);
    ASSERT_GT(list.Count(), 0);
    list.ForEach([&](const std::shared_ptr<Aspersor>& a) {
        EXPECT_TRUE(a->flowWithin(par.pressao, par.caudal, 0.1)) << a->nome();
    });
    w->setAllowedVariation(3);
    EXPECT_DOUBLE_EQ(w->allowedVariation(), 0.5);
    const auto wide = w->possibleAspersoresFor(row);
    EXPECT_GT(wide.Count(), list.Count());

    EXPECT_EQ(w->addAspersorAt(row + 1, 0), -1);  // the list was offered for another row
    EXPECT_EQ(w->addAspersorAt(row, wide.Count()), -1);
    ASSERT_EQ(w->addAspersorAt(row, 1), row);
    EXPECT_EQ(grid.resets, 1);
    EXPECT_EQ(grid.changed, std::vector<int>{row});
    EXPECT_EQ(grid.rows[row].cells[column::Nozzle], wide.Item(2)->nome());
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (static_cast<int>(i) != row) {
            EXPECT_EQ(grid.rows[i].cells, before[i].cells) << "row " << i;
        }
    }
    EXPECT_EQ(w->manualChart()->mountedAspersorAt(at)->Aspersor(), wide.Item(2));
    EXPECT_TRUE(w->needsComputation());
    ASSERT_TRUE(w->computeManual());
    EXPECT_FALSE(w->needsComputation());
    EXPECT_EQ(grid.rows[row].cells[column::Nozzle], wide.Item(2)->nome());
    EXPECT_EQ(w->summary().sprinklers, 1);

    EXPECT_EQ(w->removeAspersorAt(row), row);
    EXPECT_EQ(grid.rows[row].cells[column::Nozzle], "");
    EXPECT_EQ(w->removeAspersorAt(row), -1);  // nothing left there
    EXPECT_FALSE(w->manualChart()->hasMountedAspersorAt(at));

    // While the automatic package is shown the manual chart is not edited.
    ASSERT_TRUE(w->computeAutomatic());
    EXPECT_EQ(w->possibleAspersoresFor(row).Count(), 0);
    EXPECT_EQ(w->addAspersorAt(row, wide.Item(1)), -1);
}

TEST_F(Workbench, OpeningWithoutASelectionChangesNothing) {
    auto w = open();
    Recorder grid;
    w->setGridSink(&grid);
    const auto chart = w->currentChart();
    const auto wrapper = w->currentWrapper();
    EXPECT_FALSE(w->openChart());
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Must select a sprinkler chart to open"});
    EXPECT_EQ(w->currentChart(), chart);
    EXPECT_EQ(w->currentWrapper(), wrapper);
    EXPECT_EQ(grid.resets, 1);
    w->selectChart(12345);  // not in the list
    EXPECT_FALSE(w->selectedChart());
}

TEST_F(Workbench, ACancelledNamePromptStoresNothing) {
    auto w = open();
    prompts.names = {std::nullopt, std::string(), std::string("   ")};
    EXPECT_FALSE(w->saveChartAs());
    EXPECT_FALSE(w->saveChartAs());
    EXPECT_FALSE(w->saveChart());  // never stored: saving asks for a name
    ASSERT_EQ(prompts.prompts.size(), 3u);
    EXPECT_EQ(prompts.prompts[0], "Kambrix: Please enter the name for the chart");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(storedCharts(), 0);
    EXPECT_TRUE(w->charts().empty());
    EXPECT_EQ(w->currentChart()->id(), 0);
}

TEST_F(Workbench, ANameCollisionKeepsTheChartAsItWas) {
    auto w = open();
    prompts.names = {std::string("Package A"), std::string("Package A"), std::string("Package B"),
                     std::string("Package A")};
    ASSERT_TRUE(w->saveChartAs());
    const int a = w->currentChart()->id();
    EXPECT_GT(a, 0);
    ASSERT_EQ(w->charts().size(), 1u);
    EXPECT_EQ(w->selectedChart()->id, a);

    ASSERT_TRUE(w->newChart());
    EXPECT_FALSE(w->saveChartAs());
    EXPECT_EQ(prompts.messages.back(),
              "There is already a sprinkler chart named Package A. Please select a diferent name");
    EXPECT_EQ(w->currentChart()->id(), 0);
    EXPECT_EQ(w->currentChart()->getNome(), "");

    // A stored chart saved again under a taken name keeps its identifier and its name.
    ASSERT_TRUE(w->saveChartAs());
    const int b = w->currentChart()->id();
    EXPECT_NE(b, a);
    EXPECT_FALSE(w->saveChartAs());
    EXPECT_EQ(w->currentChart()->id(), b);
    EXPECT_EQ(w->currentChart()->getNome(), "Package B");
    EXPECT_EQ(storedCharts(), 2);
    // Save of a stored chart writes it in place.
    ASSERT_TRUE(w->saveChart());
    EXPECT_EQ(storedCharts(), 2);
    EXPECT_EQ(prompts.prompts.size(), 4u);
}

TEST_F(Workbench, RemovalAnsweredNoThenYes) {
    auto w = open();
    EXPECT_FALSE(w->removeChart());
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Please select the chart to remove"});
    EXPECT_TRUE(prompts.questions.empty());

    prompts.names = {std::string("To remove")};
    ASSERT_TRUE(w->saveChartAs());
    const int id = w->currentChart()->id();
    w->selectChart(id);
    prompts.answers = {false, true};
    EXPECT_FALSE(w->removeChart());
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0],
              "Please confirm that you want to remove the chart To remove ? ");
    EXPECT_EQ(storedCharts(), 1);
    EXPECT_EQ(w->charts().size(), 1u);

    EXPECT_TRUE(w->removeChart());
    EXPECT_EQ(storedCharts(), 0);
    EXPECT_TRUE(w->charts().empty());
    EXPECT_FALSE(w->selectedChart());
    // The chart on screen is no longer stored: the next save asks for a name.
    EXPECT_EQ(w->currentChart()->id(), 0);
}

TEST_F(Workbench, RegulatorsAndDropChangeTheNextComputation) {
    auto w = open();
    ASSERT_TRUE(w->computeAutomatic());
    const pivot plain = w->currentWrapper()->pivot();
    const int seventh = 7;

    auto rows = w->regulatorRows();
    ASSERT_EQ(rows.size(), 8u);  // seven spans and the overhang
    EXPECT_EQ(rows[6].label, "Tower 7");
    EXPECT_EQ(rows[7].label, "Over hang");
    rows[6].input.fitted = true;
    rows[6].input.pressure = 0;
    EXPECT_FALSE(w->applyRegulators({rows[6].input}));
    EXPECT_NE(prompts.messages.back().find("Tower 7"), std::string::npos);
    EXPECT_EQ(w->regulators()->Count(), 0);
    rows[6].input.pressure = 70;
    rows[6].input.minimumDischarge = 1.0;
    rows[6].input.maximumDischarge = 0.5;
    EXPECT_FALSE(w->applyRegulators({rows[6].input}));
    rows[6].input.minimumDischarge = 0.1;
    ASSERT_TRUE(w->applyRegulators({rows[6].input, rows[7].input}));
    ASSERT_EQ(w->regulators()->Count(), 1);
    EXPECT_EQ(w->regulators()->Item(1)->maximum_caudal(), 0.5);
    // Applied, not yet computed.
    EXPECT_TRUE(w->needsComputation());
    EXPECT_EQ(w->currentWrapper()->pivot().Tramos(seventh).Saidas(1).pressao_actuante,
              plain.Tramos(seventh).Saidas(1).pressao_actuante);

    ASSERT_TRUE(w->computeAutomatic());
    const pivot regulated = w->currentWrapper()->pivot();
    for (const auto& o : regulated.Tramos(seventh).Saidas) {
        EXPECT_EQ(o.pressao_actuante, 70);
    }
    EXPECT_EQ(regulated.Tramos(6).Saidas(1).pressao_actuante,
              regulated.Tramos(6).Saidas(1).pressao_real);
    EXPECT_NE(plain.Tramos(seventh).Saidas(1).pressao_actuante, 70);

    // An incomplete drop is refused and stays uninstalled.
    EXPECT_FALSE(w->installDrop({0, 1.8, 0}));
    EXPECT_EQ(prompts.messages.back(),
              "The drop is incomplete and cannot be installed: it needs a pipe material and an "
              "inside diameter greater than 0 mm");
    EXPECT_FALSE(statics().Drops().IsInstalled(w->drop()));
    EXPECT_FALSE(statics().Drops().IsInstalled(w->currentChart()->getDrop()));

    ASSERT_TRUE(w->installDrop({2, 1.8, 25}));
    EXPECT_EQ(w->drop().pipe_material.name, "Polyethylene");
    ASSERT_TRUE(w->computeAutomatic());
    const pivot dropped = w->currentWrapper()->pivot();
    // The ideal pressure at an outlet loses exactly the drop's loss at its ideal discharge.
    const saida& a = regulated.Tramos(2).Saidas(4);
    const saida& b = dropped.Tramos(2).Saidas(4);
    EXPECT_NEAR(a.pressao_ideal - b.pressao_ideal,
                statics().Drops().PressureLoss(w->drop(), b.caudal), 1e-9);
    EXPECT_GT(statics().Drops().PressureLoss(w->drop(), b.caudal), 0);

    w->uninstallDrop();
    ASSERT_TRUE(w->computeAutomatic());
    EXPECT_EQ(w->currentWrapper()->pivot().Tramos(2).Saidas(4).pressao_ideal, a.pressao_ideal);
}

TEST(WorkbenchBoxes, ChecksWhenABoxIsLeft) {
    EXPECT_FALSE(ChartWorkbench::checkRegulatorPressureText("", ',', "Tower 2"));
    EXPECT_FALSE(ChartWorkbench::checkRegulatorPressureText("140,5", ',', "Tower 2"));
    EXPECT_EQ(ChartWorkbench::checkRegulatorPressureText("0", ',', "Tower 2"),
              "The value for the regulator pressure of Tower 2 (kPa) must be greater than 0 and "
              "up to 1000");
    EXPECT_TRUE(ChartWorkbench::checkRegulatorPressureText("140 kPa", ',', "Tower 2"));
    EXPECT_TRUE(ChartWorkbench::checkRegulatorDischargeText("-1", '.', "Over hang"));
    EXPECT_FALSE(ChartWorkbench::checkRegulatorDischargeText("0.5", '.', "Over hang"));
    EXPECT_FALSE(ChartWorkbench::checkDropLengthText("1.8", '.'));
    EXPECT_TRUE(ChartWorkbench::checkDropLengthText("0", '.'));
    EXPECT_TRUE(ChartWorkbench::checkDropDiameterText("abc", '.'));
    EXPECT_EQ(ChartWorkbench::variationChoices(),
              (std::vector<std::string>{"10%", "20%", "30%", "50%"}));
}

TEST_F(Workbench, CopiesTheAutomaticPackageIntoTheManualChart) {
    auto w = open();
    EXPECT_FALSE(w->copyAutomaticToManual());
    EXPECT_EQ(prompts.messages.size(), 1u);
    prompts.names = {std::string("Kept")};
    ASSERT_TRUE(w->saveChartAs());
    const int id = w->manualChart()->id();

    auto rows = w->regulatorRows();
    rows[7].input.fitted = true;
    rows[7].input.pressure = 70;
    ASSERT_TRUE(w->applyRegulators({rows[7].input}));
    ASSERT_TRUE(w->computeAutomatic());
    const auto automatic = w->currentWrapper();
    ASSERT_TRUE(w->copyAutomaticToManual());
    EXPECT_EQ(w->current(), WorkingPivot::Manual);
    EXPECT_EQ(w->manualChart()->id(), id);
    EXPECT_EQ(w->manualChart()->getNome(), "Kept");
    EXPECT_EQ(w->manualChart()->mountedAspersores().Count(),
              automatic->carta()->mountedAspersores().Count());
    const auto ra = outletsInOrder(automatic->pivot());
    const auto rm = outletsInOrder(w->currentWrapper()->pivot());
    ASSERT_EQ(ra.size(), rm.size());
    for (std::size_t i = 0; i < ra.size(); ++i) {
        EXPECT_EQ(rm[i].outlet->obj_aspersor, ra[i].outlet->obj_aspersor) << "outlet " << i;
    }
    EXPECT_EQ(w->currentWrapper()->pivot().tramoVOladizo.Saidas(1).pressao_actuante, 70);
    // With the same sprinklers fixed, the manual computation settles where the automatic did.
    EXPECT_NEAR(w->summary().chartDischarge, automatic->totalComputedDischarge(), 1e-4);
}

TEST_F(Workbench, ASavedChartReopensWithItsAccessories) {
    int id = 0;
    std::vector<RegulatorRow> regulators;
    {
        auto w = open();
        ASSERT_TRUE(w->computeAutomatic());
        ASSERT_TRUE(w->copyAutomaticToManual());
        auto rows = w->regulatorRows();
        rows[1].input.fitted = true;
        rows[1].input.pressure = 140;
        rows[1].input.minimumDischarge = 0.1;
        rows[1].input.maximumDischarge = 1.0;
        rows[7].input.fitted = false;  // kept with its pressure, not installed
        rows[7].input.pressure = 100;
        ASSERT_TRUE(w->applyRegulators({rows[1].input, rows[7].input}));
        ASSERT_TRUE(w->installDrop({3, 2.5, 19}));
        ASSERT_TRUE(w->setEndGunBoost(150));
        EXPECT_EQ(w->boostChoice(), 3);
        PluviometryCheck check;
        check.firstSample = statics().newPivotSample(300, 30, "first_sample");
        check.secondSample = statics().newPivotSample(410, 35, "second_sample");
        check.kostiakov = statics().newKostiakovParameters(8, -0.5);
        w->setPluviometryCheck(check);
        // The indicator tab hands its boxes over only when the chart is saved.
        int collected = 0;
        const int hook = w->addCollector([&] {
            ++collected;
            w->setIndicadores(statics().newIndicadores(21.5, 3));
        });
        ASSERT_TRUE(w->computeManual());
        prompts.names = {std::string("With accessories")};
        ASSERT_TRUE(w->saveChartAs());
        EXPECT_EQ(collected, 1);
        w->removeCollector(hook);
        id = w->manualChart()->id();
        regulators = w->regulatorRows();
    }
    auto w = open();
    ASSERT_EQ(w->charts().size(), 1u);
    EXPECT_EQ(w->charts()[0].nome, "With accessories");
    w->selectChart(id);
    ASSERT_TRUE(w->openChart());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(w->current(), WorkingPivot::Manual);
    EXPECT_EQ(w->manualChart()->id(), id);
    const auto rows = w->regulatorRows();
    ASSERT_EQ(rows.size(), regulators.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].input.fitted, regulators[i].input.fitted) << rows[i].label;
        EXPECT_EQ(rows[i].input.pressure, regulators[i].input.pressure) << rows[i].label;
        EXPECT_EQ(rows[i].input.minimumDischarge, regulators[i].input.minimumDischarge);
        EXPECT_EQ(rows[i].input.maximumDischarge, regulators[i].input.maximumDischarge);
    }
    EXPECT_TRUE(rows[1].input.fitted);
    EXPECT_FALSE(rows[7].input.fitted);
    EXPECT_EQ(rows[7].input.pressure, 100);
    EXPECT_TRUE(statics().Drops().IsInstalled(w->drop()));
    EXPECT_EQ(w->drop().pipe_material.name, "PVC");
    EXPECT_EQ(w->drop().longitud, 2.5);
    EXPECT_EQ(w->drop().diametro, 19);
    EXPECT_EQ(w->endGunBoost(), 150);
    EXPECT_EQ(w->indicadores().horasRevolucao, 21.5);
    EXPECT_EQ(w->indicadores().numeroSaidasObturadas, 3);
    EXPECT_EQ(w->pluviometryCheck().secondSample.distanceToCenter, 410);
    EXPECT_EQ(w->pluviometryCheck().kostiakov.a, -0.5);
    // Opened means computed with its sprinklers and accessories.
    EXPECT_GT(w->summary().sprinklers, 150);
    EXPECT_EQ(w->currentWrapper()->pivot().Tramos(2).Saidas(1).pressao_actuante, 140);
    EXPECT_EQ(w->currentWrapper()->pivot().endGun.saida.pressao_actuante,
              w->currentWrapper()->pivot().endGun.saida.pressao_real + 150);
}

TEST_F(Workbench, FiltersByBrandAndByTheModelOfABrand) {
    auto w = open();
    EXPECT_EQ(w->brandNames(), (std::vector<std::string>{"Aquilon", "Rotagua", "Lluvia Norte"}));
    EXPECT_EQ(w->modelNames("Aquilon"),
              (std::vector<std::string>{"Fixed spray plate", "Rotating spray plate"}));
    // Names reach the statement quoted: a quote is a character of the name, not SQL.
    EXPECT_TRUE(w->modelNames("Aquilon' OR '1'='1").empty());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(modelsOfBrandSQL("O'Neil"),
              "SELECT mo.modelo FROM modelos AS mo INNER JOIN marca AS ma ON "
              "mo.id_marca=ma.id_marca WHERE ma.nome='O''Neil'");

    ASSERT_TRUE(w->setNozzleFilter({NozzleFilter::Kind::Brand, "Rotagua", ""}));
    ASSERT_GT(w->availableNozzles().Count(), 0);
    w->availableNozzles().ForEach(
        [](const std::shared_ptr<Aspersor>& a) { EXPECT_EQ(a->marca().nome, "Rotagua"); });
    ASSERT_TRUE(w->computeAutomatic());
    for (const auto& ref : outletsInOrder(w->currentWrapper()->pivot())) {
        if (ref.outlet->obj_aspersor) {
            EXPECT_EQ(ref.outlet->obj_aspersor->marca().nome, "Rotagua");
        }
    }

    // "Rotating spray plate" is a model of two brands: the filter keeps the chosen one's.
    ASSERT_TRUE(w->setNozzleFilter({NozzleFilter::Kind::Model, "Aquilon", "Rotating spray plate"}));
    ASSERT_GT(w->availableNozzles().Count(), 0);
    w->availableNozzles().ForEach([](const std::shared_ptr<Aspersor>& a) {
        EXPECT_EQ(a->marca().nome, "Aquilon");
        EXPECT_EQ(a->modelo().nome, "Rotating spray plate");
    });
    const int aquilon = w->availableNozzles().Count();
    EXPECT_GT(NozzleCatalogue(config.asperConnectionString)
                  .nozzles({NozzleFilter::Kind::Model, "", "Rotating spray plate"})
                  .Count(),
              aquilon);
    ASSERT_TRUE(w->setNozzleFilter({}));
    EXPECT_EQ(w->availableNozzles().Count(), 89);
}

TEST_F(Workbench, TheBoosterNeedsAnEndGun) {
    auto w = open();
    const auto& choices = ChartWorkbench::boostChoices();
    ASSERT_EQ(choices.size(), 9u);
    EXPECT_EQ(choices[0].text, "none");
    EXPECT_EQ(choices[0].kPa, 0);
    EXPECT_EQ(choices[1].kPa, 50);
    EXPECT_EQ(choices[8].kPa, 400);
    EXPECT_TRUE(w->boostAvailable());
    EXPECT_FALSE(w->setEndGunBoost(-50));
    EXPECT_TRUE(w->setEndGunBoost(100));
    EXPECT_EQ(w->boostChoice(), 2);

    Projecto noGun = project;
    noGun.hasGun = false;
    ChartWorkbench without(noGun, WorkbenchDatabases::from(config), prompts);
    EXPECT_FALSE(without.boostAvailable());
    EXPECT_FALSE(without.setEndGunBoost(100));
    EXPECT_EQ(without.endGunBoost(), 0);
    EXPECT_EQ(without.presenter().rows().size(), 197u);
}

TEST_F(Workbench, OpeningLeavesOutWhatThePivotOrTheCatalogueNoLongerHas) {
    int id = 0;
    {
        auto w = open();
        ASSERT_TRUE(w->computeAutomatic());
        ASSERT_TRUE(w->copyAutomaticToManual());
        prompts.names = {std::string("Old")};
        ASSERT_TRUE(w->saveChartAs());
        id = w->manualChart()->id();
    }
    writeTo(config.projectsConnectionString, [&](Connection& con) {
        con.Execute(
            "UPDATE tb_aspersores SET tramo=20 WHERE id_aspersores=(SELECT "
            "max(id_aspersores) FROM tb_aspersores WHERE tramo=3)");
        con.Execute(
            "INSERT INTO tb_aspersores (tramo,saida,id_aspersor,id_carta) VALUES (1,1,9999," +
            std::to_string(id) + ")");
        con.Execute(
            "INSERT INTO tb_reguladores (id_carta,tramo,pression,caudal_max,caudal_min,"
            "installed) VALUES (" +
            std::to_string(id) + ",12,100,0,0,true)");
    });
    auto w = open();
    w->selectChart(id);
    const bool opened = w->openChart();
    ASSERT_TRUE(opened) << prompts.messages.size()
                        << (prompts.messages.empty() ? "" : prompts.messages[0]);
    ASSERT_EQ(prompts.messages.size(), 1u);
    const std::string& m = prompts.messages[0];
    EXPECT_NE(m.find("1 sprinkler is no longer in the sprinkler catalogue"), std::string::npos)
        << m;
    EXPECT_NE(m.find("1 sprinkler is on outlets this pivot does not have"), std::string::npos) << m;
    EXPECT_NE(m.find("1 regulator is on spans this pivot does not have"), std::string::npos) << m;
    EXPECT_NE(w->summary().settlement, Settlement::NotSettled);
    EXPECT_EQ(w->regulators()->Count(), 0);
    EXPECT_EQ(w->summary().sprinklers, w->manualChart()->mountedAspersores().Count());
}

TEST_F(Workbench, ExportsTheOutletTable) {
    auto w = open();
    ASSERT_TRUE(w->computeAutomatic());
    const auto file = root.path() / "outlets.csv";
    ASSERT_TRUE(w->exportOutletTable(file));
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, w->outletTableCsv());
    EXPECT_FALSE(w->exportOutletTable(root.path() / "no-such-folder" / "x.csv"));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].rfind("The outlet table could not be exported: ", 0), 0u)
        << prompts.messages[0];
}

TEST_F(Workbench, ThePrintedChartHoldsEverySection) {
    auto w = open();
    ASSERT_TRUE(w->computeAutomatic());
    w->setIndicadores(statics().newIndicadores(20, 0));
    auto doc = buildChartReport(*w, "2024-05-17");
    EXPECT_EQ(doc.title, "Unsaved sprinkler chart");
    const std::vector<std::string> titles = {
        chart_report::TitleBlock, chart_report::Machine, chart_report::Elevation,
        chart_report::Capacity,   chart_report::Outlets, chart_report::Figures,
        chart_report::Regulators, chart_report::Drop,    chart_report::PercentTimer,
        chart_report::Uniformity, chart_report::Runoff,  chart_report::Computation};
    ASSERT_EQ(doc.sections.size(), titles.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(doc.sections[i].title, titles[i]);
    }
    const auto& table = std::get<report::Table>(doc.find(chart_report::Outlets)->blocks[0]);
    ASSERT_EQ(table.rows.size(), 198u);
    EXPECT_EQ(table.headings.size(), 13u);
    for (const auto& r : table.rows) {
        EXPECT_EQ(r.size(), table.headings.size());
    }
    const std::string text = doc.plainText();
    for (const auto& ref : outletsInOrder(w->currentWrapper()->pivot())) {
        if (ref.outlet->obj_aspersor) {
            EXPECT_NE(text.find(ref.outlet->obj_aspersor->nome()), std::string::npos);
        }
    }
    EXPECT_NE(text.find("System: Demo pivot (7 spans)"), std::string::npos);
    EXPECT_NE(text.find("Owner / location: Demo farm"), std::string::npos);
    EXPECT_NE(text.find("Last saved: not saved (printed 2024-05-17)"), std::string::npos);
    EXPECT_NE(text.find("Over hang\tRS 101.6x35"), std::string::npos);
    EXPECT_NE(text.find("Booster: none"), std::string::npos);
    EXPECT_NE(text.find("No drop."), std::string::npos);
    EXPECT_NE(text.find("No regulators."), std::string::npos);
    EXPECT_NE(text.find("UD: "), std::string::npos);
    EXPECT_NE(text.find("End Gun\t\t420.20"), std::string::npos);
    // The overhang is never a numbered tower.
    EXPECT_EQ(text.find("Tower 8"), std::string::npos);

    prompts.names = {std::string("Printed")};
    ASSERT_TRUE(w->saveChartAs());
    EXPECT_EQ(buildChartReport(*w, "2024-05-17").title, "Printed");
}

TEST_F(Workbench, TheDemoDatabaseHoldsTheDemoChart) {
    const auto folder = root.path() / "demo";
    ASSERT_TRUE(makeDemoDatabaseFolder(test::templateFolder(), folder));
    AppConfig demo;
    setDatabaseFolder(demo, folder);
    const auto stored = readFrom(demo.projectsConnectionString, [](Connection& con) {
        return Projectos().loadProject(con, Projectos().nameCondition(kDemoProjectName), "tramos");
    });
    ASSERT_TRUE(stored);
    ChartWorkbench w(*stored, WorkbenchDatabases::from(demo), prompts);
    ASSERT_EQ(w.charts().size(), 1u);
    EXPECT_EQ(w.charts()[0].nome, kDemoChartName);
    w.selectChart(w.charts()[0].id);
    ASSERT_TRUE(w.openChart());
    EXPECT_TRUE(prompts.messages.empty());
    const auto rows = w.regulatorRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].input.fitted, i + 2 >= rows.size()) << rows[i].label;
    }
    EXPECT_TRUE(statics().Drops().IsInstalled(w.drop()));
    EXPECT_GT(w.endGunBoost(), 0);
    EXPECT_EQ(w.indicadores().horasRevolucao, 20);
    EXPECT_EQ(w.indicadores().numeroSaidasObturadas, 0);
    EXPECT_GT(w.pluviometryCheck().firstSample.distanceToCenter, 0);
    EXPECT_GT(w.pluviometryCheck().secondSample.distanceToCenter, 0);
    EXPECT_NE(w.pluviometryCheck().kostiakov.k, 0);
    EXPECT_GT(w.summary().sprinklers, 150);
    // The demo's regulators can regulate: none is starved.
    EXPECT_EQ(w.summary().starvedRegulator, 0);
}

}  // namespace
}  // namespace kambrix
