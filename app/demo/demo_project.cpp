// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/demo_project.h"

#include <array>
#include <system_error>

#include "design/chart_workbench.h"
#include "design/supply_store.h"
#include "shell/reference_tramos.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace {

// The demo chart's accessories and tab values.
constexpr double kDemoRegulatorPressure_kPa = 70;
constexpr int kDemoDropMaterial = 2;      // "Polyethylene" of the template's pipe materials
constexpr double kDemoDropLength = 1.8;   // m
constexpr double kDemoDropDiameter = 25;  // mm
constexpr double kDemoRevolutionHours = 20;
constexpr double kDemoBoost_kPa = 100;  // brings the end gun into its pressure range
// A slowly infiltrating soil, so that both points show some runoff: k in mm/h after one hour.
constexpr double kDemoKostiakovK = 8;
constexpr double kDemoKostiakovA = -0.5;

}  // namespace

Projecto makeDemoProject(quarvex::Connection& tramosCon, quarvex::Connection& projectsCon) {
    struct SpanChoice {
        const char* name;
        double endElevation;  // m
    };
    // Wider pipe near the pivot point, where the whole discharge flows; a gentle rise and fall.
    const std::array<SpanChoice, 7> fixed = {{{"RS 162x56.4", 100.6},
                                              {"RS 162x56.4", 101.1},
                                              {"RS 162x56.4", 101.3},
                                              {"RS 141.3x54", 100.9},
                                              {"RS 141.3x54", 100.2},
                                              {"RS 141.3x54", 99.6},
                                              {"RS 141.3x54", 99.1}}};
    ReferenceTramos catalogue;
    Projectos projectos;
    Projecto demo = projectos.newProject(kDemoProjectName);
    demo.propietario = "Demo farm";
    demo.q = 60;             // L/s
    demo.p = 300;            // kPa
    demo.cotaCentral = 100;  // m
    demo.areaParcela = 65;   // ha
    demo.horas_de_operacao_diaria = 20;
    demo.pipe_material = quarvex::statics().PipeMaterials().find(projectsCon, 1);
    demo.p_pipe_material_id = demo.pipe_material.id;
    for (const auto& choice : fixed) {
        demo.Tramos.Push(
            catalogue.toTramo(catalogue.findByName(tramosCon, choice.name), choice.endElevation));
    }
    demo.hasVoladizo = true;
    demo.Tramos.Push(catalogue.toTramo(catalogue.findByName(tramosCon, "RS 101.6x35"), 0));
    demo.hasGun = true;
    demo.endGun = quarvex::statics().Gun().newGun(20);
    demo.p_tramos_loaded = true;
    return demo;
}

namespace {

// Answers the chart name prompt; any message stops the demo (it would mean the demo data no
// longer fit the catalogue or the pivot).
class DemoPrompts : public WorkbenchPrompts {
  public:
    void message(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        return std::string(kDemoChartName);
    }
    std::vector<std::string> messages;
};

}  // namespace

int makeDemoChart(const AppConfig& config, const Projecto& storedDemo) {
    auto& st = quarvex::statics();
    DemoPrompts prompts;
    ChartWorkbench bench(storedDemo, WorkbenchDatabases::from(config), prompts);
    const auto rows = bench.regulatorRows();
    std::vector<RegulatorInput> regulators;
    for (std::size_t i = rows.size() - 2; i < rows.size(); ++i) {
        RegulatorInput r = rows[i].input;
        r.fitted = true;
        r.pressure = kDemoRegulatorPressure_kPa;
        regulators.push_back(r);
    }
    quarvex::PluviometryCheck runoff;
    runoff.firstSample = st.newPivotSample(300, 30, "first_sample");
    runoff.secondSample = st.newPivotSample(400, 35, "second_sample");
    runoff.kostiakov = st.newKostiakovParameters(kDemoKostiakovK, kDemoKostiakovA);
    bench.setIndicadores(st.newIndicadores(kDemoRevolutionHours, 0));
    bench.setPluviometryCheck(runoff);
    const bool done = bench.applyRegulators(regulators) &&
                      bench.installDrop({kDemoDropMaterial, kDemoDropLength, kDemoDropDiameter}) &&
                      bench.setEndGunBoost(kDemoBoost_kPa) && bench.computeAutomatic() &&
                      bench.saveChartAs();
    if (!done || !prompts.messages.empty()) {
        raiseError(errc::CommandStopped, "The demo sprinkler chart could not be made",
                   prompts.messages.empty() ? std::string() : prompts.messages.front());
    }
    return bench.currentChart()->id();
}

bool makeDemoDatabaseFolder(const std::filesystem::path& templateFolder,
                            const std::filesystem::path& target) {
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) {
        return false;
    }
    // Built beside the target and renamed at the end, so an interrupted run leaves no
    // half-made demo folder that a later run would take as finished.
    std::filesystem::path partial = target;
    partial += ".making";
    std::filesystem::remove_all(partial, ec);
    const auto choice = locateDatabaseFolder(partial.string(), {}, {}, templateFolder);
    {
        AppConfig config;
        setDatabaseFolder(config, choice.folder);
        quarvex::Connection tramosCon(config.tramosConnectionString);
        quarvex::Connection projectsCon(config.projectsConnectionString);
        tramosCon.Open();
        projectsCon.Open();
        Projecto demo = makeDemoProject(tramosCon, projectsCon);
        Projectos().saveProject(projectsCon, demo);
        projectsCon.Close();
        tramosCon.Close();
        makeDemoChart(config, demo);
        // Its supply: a pump rated 60 L/s at 380 kPa, 3 m below the pivot point, 400 m of
        // 8" line; the supply tab finds where the package meets it.
        Supply supply;
        supply.pump = {{60, 380}};
        supply.line = {3, 400, 203.2, 140};
        writeTo(config.projectsConnectionString,
                [&](quarvex::Connection& con) { saveSupply(con, demo.id, supply); });
    }
    std::filesystem::rename(partial, target);
    return true;
}

}  // namespace kambrix
