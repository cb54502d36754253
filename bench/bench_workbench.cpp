// SPDX-License-Identifier: GPL-3.0-or-later
// The sprinkler-chart workbench at the size of a long pivot: eleven spans, an overhang and an
// end gun, 250 outlets. Rows of the outlet grid; the automatic package with the template
// catalogue plus its rows; opening a stored chart of 250 sprinklers (read, mounted, computed,
// drawn). The databases are copies of the build's template databases in a folder under /tmp.
#include <benchmark/benchmark.h>
#include <quarvex/quarvex.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "design/automatic_package.h"
#include "design/chart_workbench.h"
#include "design/package_comparison.h"
#include "design/pivot_design.h"
#include "design/work_pivot.h"
#include "shell/projectos.h"
#include "shell/unit_of_work.h"

namespace fs = std::filesystem;
using namespace quarvex;
using namespace kambrix;

namespace {

// 11 spans of 50 m at 2.2 m (22 outlets each), a 15 m overhang at 2 m (7), an end gun.
Projecto longProject(Connection& projects) {
    auto& st = statics();
    Projecto p = Projectos().newProject("Bench pivot (11 spans)");
    p.q = 70;
    p.p = 400;
    p.cotaCentral = 100;
    p.pipe_material = st.PipeMaterials().find(projects, 1);
    p.p_pipe_material_id = p.pipe_material.id;
    for (int i = 1; i <= 11; ++i) {
        const double d = i <= 4 ? 203.2 : (i <= 8 ? 168.3 : 141.3);
        p.Tramos.Push(
            st.Tramos().newTramo(i, "B" + std::to_string(i), 50, d, 220, 100.0 + 0.2 * i));
    }
    p.hasVoladizo = true;
    p.Tramos.Push(st.Tramos().newTramo(20, "OH", 15, 101.6, 200, 0.0));
    p.hasGun = true;
    p.endGun = st.Gun().newGun(25);
    p.p_tramos_loaded = true;
    return p;
}

struct Fixture {
    fs::path dir;
    AppConfig config;
    Projecto project;
};

Fixture fixture(const std::string& tag) {
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    const fs::path templates = exe.parent_path().parent_path() / "db-template";
    Fixture f;
    f.dir = fs::temp_directory_path() / ("kambrix-bench-" + std::to_string(getpid()) + "-" + tag);
    fs::remove_all(f.dir);
    fs::create_directories(f.dir);
    for (const char* name : {"proyectos.mdb", "asper.mdb", "tramos.mdb"}) {
        fs::copy_file(templates / name, f.dir / name);
    }
    setDatabaseFolder(f.config, f.dir);
    Connection con(f.config.projectsConnectionString);
    con.Open();
    f.project = longProject(con);
    Projectos().saveProject(con, f.project);
    return f;
}

class Quiet : public WorkbenchPrompts {
  public:
    void message(const std::string& text) override { last = text; }
    bool confirm(const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        return name;
    }
    std::string last;
    std::optional<std::string> name;
};

class NullGrid : public OutletGridSink {
  public:
    void tableReset(const std::vector<GridColumn>&, const std::vector<OutletRow>& rows) override {
        count = rows.size();
    }
    void rowChanged(int, const OutletRow&) override {}
    std::size_t count = 0;
};

void BM_PresenterRows250(benchmark::State& state) {
    const auto f = fixture("rows");
    const auto nozzles = statics().Aspersores().find(f.config.asperConnectionString);
    PackageSettings s;
    s.nozzles = nozzles;
    const auto r = computeAutomaticPackage(buildPivot(f.project), s);
    NullGrid grid;
    CartaAspersorPresenter presenter;
    presenter.init(&grid, ',');
    WorkPivot wp;
    wp.init(&presenter, r.wrapper);
    for (auto _ : state) {
        wp.show();
        benchmark::DoNotOptimize(presenter.rows().data());
    }
    state.counters["rows"] = static_cast<double>(grid.count);
    fs::remove_all(f.dir);
}

void BM_AutomaticPackageAndRows(benchmark::State& state) {
    const auto f = fixture("auto");
    const auto nozzles = statics().Aspersores().find(f.config.asperConnectionString);
    const pivot p = buildPivot(f.project);
    PackageSettings s;
    s.nozzles = nozzles;
    CartaAspersorPresenter presenter;
    presenter.init(nullptr, '.');
    int passes = 0;
    for (auto _ : state) {
        const auto r = computeAutomaticPackage(p, s);
        WorkPivot wp;
        wp.init(&presenter, r.wrapper);
        wp.show();
        passes = r.summary.passes;
        if (!r.settled) {
            state.SkipWithError("the automatic package did not settle");
        }
    }
    state.counters["passes"] = passes;
    state.counters["nozzles"] = nozzles.Count();
    fs::remove_all(f.dir);
}

void BM_OpenStoredChart250(benchmark::State& state) {
    auto f = fixture("open");
    Quiet prompts;
    ChartWorkbench w(f.project, WorkbenchDatabases::from(f.config), prompts);
    // A nozzle on every outlet: the catalogue's nearest to the ideal discharge.
    const auto& all = w.catalogue();
    for (const auto& ref : outletsInOrder(w.projectPivot())) {
        const int row = w.presenter().rowOf(ref.at);
        const saida* outlet = w.outletAtRow(row);
        const auto best =
            statics().Aspersores().getBestMatch(all, outlet->pressao_ideal, outlet->caudal, 1000.0);
        w.addAspersorAt(row, best);
    }
    prompts.name = "Bench chart";
    if (!w.computeManual() || !w.saveChartAs()) {
        state.SkipWithError(("the chart could not be stored: " + prompts.last).c_str());
        return;
    }
    const int id = w.manualChart()->id();
    NullGrid grid;
    w.setGridSink(&grid);
    int sprinklers = 0;
    for (auto _ : state) {
        w.selectChart(id);
        if (!w.openChart()) {
            state.SkipWithError("the chart did not open");
            break;
        }
        sprinklers = w.summary().sprinklers;
    }
    state.counters["sprinklers"] = sprinklers;
    state.counters["passes"] = w.summary().passes;
    fs::remove_all(f.dir);
}

// The bench pivot as the comparisons take it: a revolution of 20 h with 12 plugged outlets,
// two runoff points and 5 mm of surface storage.
ComparisonBase comparedPivot(const Projecto& project) {
    ComparisonBase base;
    base.pivot = buildPivot(project);
    base.settings.indicadores = statics().newIndicadores(20, 12);
    base.settings.pluviometria.firstSample = statics().newPivotSample(300, 30, "first_sample");
    base.settings.pluviometria.secondSample = statics().newPivotSample(560, 35, "second_sample");
    base.settings.pluviometria.kostiakov = statics().newKostiakovParameters(8, -0.5);
    base.surfaceStorage = 5;
    return base;
}

// The comparison of 200 packages: the template catalogue's 4 models (the end gun offered its
// gun model) × none and 9 regulator settings × none and 4 boosts, each computed on its own
// wrapper with its indicators and a two-point runoff check, then ranked.
void BM_ComparePackages200(benchmark::State& state) {
    const auto f = fixture("compare");
    const auto catalogue = statics().Aspersores().find(f.config.asperConnectionString);
    const ComparisonBase base = comparedPivot(f.project);
    const auto models = catalogueModels(catalogue);
    ComparisonOptions options;
    options.regulatorPressures = {std::nullopt, 60.0,  70.0,  85.0,  100.0,
                                  115.0,        130.0, 140.0, 155.0, 170.0};
    options.boosts = {0, 50, 100, 150, 200};
    options.gunModel = gunModelFor(base.pivot, models);
    int candidates = 0;
    int feasible = 0;
    for (auto _ : state) {
        const auto outcome = comparePackages(base, models, options);
        candidates = static_cast<int>(outcome.packages.size());
        feasible = 0;
        for (const auto& p : outcome.packages) {
            feasible += p.results.feasible ? 1 : 0;
        }
    }
    if (candidates != 200) {
        state.SkipWithError("the comparison did not make 200 candidates");
    }
    state.counters["candidates"] = candidates;
    state.counters["feasible"] = feasible;
    state.counters["outlets"] = static_cast<double>(outletsInOrder(base.pivot).size());
    fs::remove_all(f.dir);
}

// 1,000 packages on the same pivot: the 4 models × none and 49 regulator settings (60 to
// 156 kPa) × none and 4 boosts, without keeping the computed pivots (as the command line
// compares), on one thread (argument 1) and on one thread per core (argument 0).
void BM_ComparePackages1000(benchmark::State& state) {
    const auto f = fixture("compare1000");
    const auto catalogue = statics().Aspersores().find(f.config.asperConnectionString);
    const ComparisonBase base = comparedPivot(f.project);
    const auto models = catalogueModels(catalogue);
    ComparisonOptions options;
    options.regulatorPressures = {std::nullopt};
    for (int p = 60; p <= 156; p += 2) {
        options.regulatorPressures.push_back(static_cast<double>(p));
    }
    options.boosts = {0, 50, 100, 150, 200};
    options.gunModel = gunModelFor(base.pivot, models);
    options.keepComputedPivots = false;
    options.threads = static_cast<unsigned>(state.range(0));
    int candidates = 0;
    for (auto _ : state) {
        const auto outcome = comparePackages(base, models, options);
        candidates = static_cast<int>(outcome.packages.size());
        benchmark::DoNotOptimize(outcome.packages.data());
    }
    if (candidates != 1000) {
        state.SkipWithError("the comparison did not make 1000 candidates");
    }
    state.counters["candidates"] = candidates;
    state.counters["threads"] = comparisonThreads(options, 1000);
    state.counters["outlets"] = static_cast<double>(outletsInOrder(base.pivot).size());
    fs::remove_all(f.dir);
}

}  // namespace

BENCHMARK(BM_ComparePackages200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComparePackages1000)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresenterRows250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutomaticPackageAndRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenStoredChart250)->Unit(benchmark::kMillisecond);
