// SPDX-License-Identifier: GPL-3.0-or-later
// Chart storage, the catalogue read and the indicator recomputation at the sizes of a long
// pivot (250 outlets). The databases are copies of the build's template databases in a
// folder under /tmp.
#include <benchmark/benchmark.h>
#include <quarvex/quarvex.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "evaluation/indicators.h"

namespace fs = std::filesystem;
using namespace quarvex;

namespace {

constexpr int kOutlets = 250;
constexpr int kSistema = 1;

struct Databases {
    fs::path dir;
    std::string projects;
    std::string catalogue;
};

// Fresh copies of the template databases, next to which the benchmark was built.
Databases freshDatabases(const std::string& tag) {
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    const fs::path templates = exe.parent_path().parent_path() / "db-template";
    Databases d;
    d.dir = fs::temp_directory_path() / ("kambrix-bench-" + std::to_string(getpid()) + "-" + tag);
    fs::remove_all(d.dir);
    fs::create_directories(d.dir);
    for (const char* name : {"proyectos.mdb", "asper.mdb"}) {
        fs::copy_file(templates / name, d.dir / name);
    }
    d.projects = (d.dir / "proyectos.mdb").string();
    d.catalogue = (d.dir / "asper.mdb").string();
    return d;
}

std::shared_ptr<CartaAspersores> bigChart(const Databases& d) {
    auto& st = statics();
    const auto nozzles = st.Aspersores().find(makeConnectionString(d.catalogue));
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
    const auto d = freshDatabases("save");
    auto chart = bigChart(d);
    const auto cs = makeConnectionString(d.projects);
    for (auto _ : state) {
        statics().CartaAspersor().save(cs, kSistema, *chart);
    }
    fs::remove_all(d.dir);
}
BENCHMARK(BM_SaveChart250)->Unit(benchmark::kMillisecond);

void BM_FindChart250(benchmark::State& state) {
    const auto d = freshDatabases("find");
    auto chart = bigChart(d);
    const auto cs = makeConnectionString(d.projects);
    statics().CartaAspersor().save(cs, kSistema, *chart);
    for (auto _ : state) {
        auto back = statics().CartaAspersor().find(cs, d.catalogue, chart->id());
        benchmark::DoNotOptimize(back);
        if (back->mountedAspersores().Count() != kOutlets) {
            state.SkipWithError("the chart did not read back whole");
        }
    }
    fs::remove_all(d.dir);
}
BENCHMARK(BM_FindChart250)->Unit(benchmark::kMillisecond);

void BM_CatalogueRead2000(benchmark::State& state) {
    const auto d = freshDatabases("catalogue");
    const auto cs = makeConnectionString(d.catalogue);
    {
        Connection con(cs);
        con.Open();
        RecordSet have = con.Execute("SELECT count(*) AS n FROM Boquillas;");
        const int n = have.Field("n").AsInt();
        con.BeginTrans();
        for (int i = n; i < 2000; ++i) {
            const double a = 0.004 + 0.00003 * i;
            con.Execute(
                "INSERT INTO Boquillas (denominacion, a, b, pmin, pmax, qmin, qmax, "
                "id_modelo) VALUES ('B" +
                std::to_string(i) + "', " + sqlNumber(a) + ", 0.5, 40, 400, " +
                sqlNumber(a * 6.32455532) + ", " + sqlNumber(a * 20) + ", 1);");
        }
        con.CommitTrans();
    }
    for (auto _ : state) {
        auto all = statics().Aspersores().find(cs);
        benchmark::DoNotOptimize(all);
        if (all.Count() != 2000) {
            state.SkipWithError("the catalogue does not hold 2000 nozzles");
        }
    }
    fs::remove_all(d.dir);
}
BENCHMARK(BM_CatalogueRead2000)->Unit(benchmark::kMillisecond);

void BM_Indicators250Outlets(benchmark::State& state) {
    auto& st = statics();
    pivot p = st.newPivot();
    Array<tramo> spans;
    Array<double> heights;
    for (int t = 1; t <= 10; ++t) {
        spans.Push(st.Tramos().newTramo(t, "T", 50, 150, 200));  // 25 outlets each
        heights.Push(0);
    }
    p.caudal = 50;
    p.presion = 300;
    p.rugosidad = 130;
    st.Pivots().setFixedSpans(p, spans, heights);
    auto w = st.newPivotWrapper(p, std::make_shared<CalculosStrategy>());
    for (int i = 1; i <= w->numeroTotalDeSaidas(); ++i) {
        w->saidaAt(i).caudal_do_aspersor = w->saidaAt(i).caudal * (1 + 0.1 * ((i % 7) - 3) / 3);
    }
    for (auto _ : state) {
        auto r = kambrix::computeIndicators(*w, 20, 2);
        benchmark::DoNotOptimize(r);
    }
    state.counters["outlets"] = w->numeroTotalDeSaidas();
}
BENCHMARK(BM_Indicators250Outlets)->Unit(benchmark::kMicrosecond);

}  // namespace
