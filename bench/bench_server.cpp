// SPDX-License-Identifier: GPL-3.0-or-later
// The chart store on a PostgreSQL server on this machine, beside the same work on SQLite
// files: saving a chart of 250 sprinklers and opening the demo chart. The server is a
// throwaway cluster of the tests' fixture (initdb and pg_ctl in a temporary folder); where
// the server programs are missing the benchmarks say so and are skipped.
#include <benchmark/benchmark.h>
#include <quarvex/quarvex.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "demo/demo_project.h"
#include "shell/projectos.h"
#include "shell/server_store.h"
#include "shell/startup.h"
#include "support/throwaway_server.h"

namespace fs = std::filesystem;
using namespace quarvex;

namespace {

constexpr int kOutlets = 250;

struct Store {
    kambrix::AppConfig config;
    fs::path folder;  // for SQLite; removed at the end
    std::string skipped;
    ~Store() {
        std::error_code ec;
        if (!folder.empty()) {
            fs::remove_all(folder, ec);
        }
    }
};

fs::path templates() {
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "db-template";
}

// A fresh store of the engine (0 SQLite, 1 PostgreSQL) holding the demo system and chart.
std::unique_ptr<Store> demoStore(int engine) {
    auto s = std::make_unique<Store>();
    if (engine == 0) {
        s->folder =
            fs::temp_directory_path() / ("kambrix-bench-server-" + std::to_string(getpid()));
        fs::remove_all(s->folder);
        kambrix::setDatabaseFolder(
            s->config,
            kambrix::locateDatabaseFolder(s->folder.string(), {}, {}, templates()).folder);
    } else {
        std::string whyNot;
        auto* server = kambrix::test::ThrowawayServer::shared(whyNot);
        if (server == nullptr) {
            s->skipped = "no PostgreSQL server: " + whyNot;
            return s;
        }
        kambrix::setDatabaseServer(s->config, server->freshDatabase());
        kambrix::checkDatabasesAtStart(
            s->config, [](const std::string&) { return false; }, [](const std::string&) {});
    }
    Connection tramos(s->config.tramosConnectionString);
    Connection projects(s->config.projectsConnectionString);
    tramos.Open();
    projects.Open();
    kambrix::Projecto demo = kambrix::makeDemoProject(tramos, projects);
    kambrix::Projectos().saveProject(projects, demo);
    projects.Close();
    tramos.Close();
    kambrix::makeDemoChart(s->config, demo);
    return s;
}

std::shared_ptr<CartaAspersores> bigChart(const kambrix::AppConfig& config) {
    auto& st = statics();
    const auto nozzles = st.Aspersores().find(config.asperConnectionString);
    auto c = st.newCartaAspersores();
    c->setNome("Bench chart");
    for (int i = 1; i <= kOutlets; ++i) {
        c->addMountedAspersor(st.CartaAspersor().newMountedAspersor(
            st.CoordenadasSaidas().newTramoCoordenadas((i - 1) / 25 + 1, (i - 1) % 25 + 1),
            nozzles.Item((i - 1) % nozzles.Count() + 1)));
    }
    for (int t = 1; t <= 10; ++t) {
        c->getReguladores()->Add(st.newReguladorPression(t, 140, 1.0, 0.1, true));
    }
    c->setIndicadores(st.newIndicadores(20, 2));
    PipeMaterial pe;
    pe.id = 2;
    c->setDrop(st.Drops().newDrop(25, 1.8, pe));
    return c;
}

void BM_SaveChart250(benchmark::State& state) {
    const auto s = demoStore(static_cast<int>(state.range(0)));
    if (!s->skipped.empty()) {
        state.SkipWithError(s->skipped.c_str());
        return;
    }
    auto chart = bigChart(s->config);
    for (auto _ : state) {
        statics().CartaAspersor().save(s->config.projectsConnectionString, 1, *chart);
    }
}
BENCHMARK(BM_SaveChart250)->ArgName("postgresql")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OpenDemoChart(benchmark::State& state) {
    const auto s = demoStore(static_cast<int>(state.range(0)));
    if (!s->skipped.empty()) {
        state.SkipWithError(s->skipped.c_str());
        return;
    }
    auto& charts = statics().CartaAspersor();
    const std::string& cs = s->config.projectsConnectionString;
    int sprinklers = 0;
    for (auto _ : state) {
        const auto id = charts.enumerateAll(cs, 1).Item(1).id;
        auto chart = charts.find(cs, s->config.asperPath.string(), id);
        sprinklers = chart->mountedAspersores().Count();
        benchmark::DoNotOptimize(chart);
    }
    state.counters["sprinklers"] = sprinklers;
}
BENCHMARK(BM_OpenDemoChart)->ArgName("postgresql")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
