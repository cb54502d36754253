// SPDX-License-Identifier: GPL-3.0-or-later
// The printed chart of a pivot of 2,000 outlets (20 spans of 50 m with an outlet every
// 0.5 m, an end gun): the report document alone, and the document written as PDF with its
// figures, as `kambrix-cli chart --pdf` and the workbench's Save as PDF write it. The
// databases are copies of the build's template databases in a folder under /tmp.
#include <benchmark/benchmark.h>
#include <quarvex/quarvex.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "design/chart_report.h"
#include "design/chart_workbench.h"
#include "report/report_renderer.h"
#include "shell/projectos.h"
#include "shell/unit_of_work.h"

namespace fs = std::filesystem;
using namespace kambrix;

namespace {

constexpr int kSpans = 20;
constexpr double kSpanLength_m = 50;
constexpr double kSpacing_cm = 50;

class Quiet : public WorkbenchPrompts {
  public:
    void message(const std::string&) override {}
    bool confirm(const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

struct Fixture {
    fs::path dir;
    AppConfig config;
    Projecto project;
    Quiet prompts;
    std::unique_ptr<ChartWorkbench> workbench;

    Fixture() {
        auto& st = quarvex::statics();
        const fs::path exe = fs::read_symlink("/proc/self/exe");
        const fs::path templates = exe.parent_path().parent_path() / "db-template";
        dir = fs::temp_directory_path() / ("kambrix-bench-print-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (const char* name : {"proyectos.mdb", "asper.mdb", "tramos.mdb"}) {
            fs::copy_file(templates / name, dir / name);
        }
        setDatabaseFolder(config, dir);
        writeTo(config.projectsConnectionString, [&](quarvex::Connection& con) {
            project = Projectos().newProject("Bench pivot (2,000 outlets)");
            project.q = 70;
            project.p = 400;
            project.cotaCentral = 100;
            project.pipe_material = st.PipeMaterials().find(con, 1);
            project.p_pipe_material_id = project.pipe_material.id;
            for (int i = 1; i <= kSpans; ++i) {
                project.Tramos.Push(st.Tramos().newTramo(i, "P" + std::to_string(i), kSpanLength_m,
                                                         203.2, kSpacing_cm,
                                                         100.0 + 0.1 * (i % 3)));
            }
            project.hasGun = true;
            project.endGun = st.Gun().newGun(25);
            project.p_tramos_loaded = true;
            Projectos().saveProject(con, project);
        });
        workbench =
            std::make_unique<ChartWorkbench>(project, WorkbenchDatabases::from(config), prompts);
        workbench->computeAutomatic();
        workbench->setIndicadores(st.newIndicadores(20, 0));
        quarvex::PluviometryCheck runoff;
        runoff.firstSample = st.newPivotSample(600, 30, "first");
        runoff.secondSample = st.newPivotSample(900, 35, "second");
        runoff.kostiakov = st.newKostiakovParameters(8, -0.5);
        workbench->setPluviometryCheck(runoff);
        workbench->setSurfaceStorage(1.0);
    }
    ~Fixture() { fs::remove_all(dir); }
};

void BM_ChartReport2000(benchmark::State& state) {
    Fixture f;
    std::size_t outlets = 0;
    for (auto _ : state) {
        const report::Document doc = buildChartReport(*f.workbench, "2026-12-09");
        outlets = std::get<report::Table>(doc.find(chart_report::Outlets)->blocks[0]).rows.size();
        benchmark::DoNotOptimize(doc.sections.data());
    }
    state.counters["outlets"] = static_cast<double>(outlets);
}

void BM_ChartPdf2000(benchmark::State& state) {
    Fixture f;
    const QString pdf = QString::fromStdString((f.dir / "chart.pdf").string());
    for (auto _ : state) {
        report::writePdf(buildChartReport(*f.workbench, "2026-12-09"), pdf);
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(f.dir / "chart.pdf"));
}

}  // namespace

BENCHMARK(BM_ChartReport2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartPdf2000)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
