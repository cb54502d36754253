// SPDX-License-Identifier: GPL-3.0-or-later
//
// The chart store against sudden death: a child process saves, rewrites and deletes sprinkler
// charts without pause; the parent kills it with SIGKILL at a random moment, then checks that
// the projects database is sound (PRAGMA integrity_check) and that every chart present is
// complete: exactly the rows its name says it was saved with, and no rows of a chart that is
// gone. Repeated for the given number of kills; the last line gives the figures.
//   kambrix-crash-test --template <db-template folder> [--kills N] [--seed S] [--work DIR]
#include <quarvex/quarvex.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace quarvex;

namespace {

constexpr int kSystem = 1;

struct Files {
    std::string projects;   // connection string
    std::string catalogue;  // file path
};

// What a chart was saved with, written into its name so the checker knows what to expect.
struct Shape {
    int sprinklers = 0;
    int regulators = 0;
    int drop = 0;
};

std::string nameOf(long serial, const Shape& s) {
    return "chart " + std::to_string(serial) + " k=" + std::to_string(s.sprinklers) +
           " r=" + std::to_string(s.regulators) + " d=" + std::to_string(s.drop);
}

bool shapeOf(const std::string& name, Shape& s) {
    long serial = 0;
    return std::sscanf(name.c_str(), "chart %ld k=%d r=%d d=%d", &serial, &s.sprinklers,
                       &s.regulators, &s.drop) == 4;
}

std::shared_ptr<CartaAspersores> makeChart(std::mt19937& rng, long serial,
                                           const std::vector<std::shared_ptr<Aspersor>>& nozzles) {
    auto& st = statics();
    Shape shape;
    shape.sprinklers = 1 + static_cast<int>(rng() % 40);
    shape.regulators = static_cast<int>(rng() % 4);
    shape.drop = static_cast<int>(rng() % 2);
    auto chart = st.newCartaAspersores();
    chart->setNome(nameOf(serial, shape));
    chart->setEndGunBoost(static_cast<double>(rng() % 100));
    for (int i = 1; i <= shape.sprinklers; ++i) {
        chart->addMountedAspersor(st.CartaAspersor().newMountedAspersor(
            st.CoordenadasSaidas().newTramoCoordenadas(1 + (i - 1) / 20, 1 + (i - 1) % 20),
            nozzles[rng() % nozzles.size()]));
    }
    for (int i = 1; i <= shape.regulators; ++i) {
        chart->getReguladores()->Add(st.newReguladorPression(i, 140, 1.2, 0.1, true));
    }
    chart->setIndicadores(st.newIndicadores(20 + rng() % 10, 0));
    if (shape.drop == 1) {
        PipeMaterial pe;
        pe.id = 1;
        chart->setDrop(st.Drops().newDrop(20, 1.5, pe));
    }
    return chart;
}

// The child: saves, rewrites and deletes charts for ever.
[[noreturn]] void workload(const Files& files, unsigned seed,
                           const std::vector<std::shared_ptr<Aspersor>>& nozzles) {
    std::mt19937 rng(seed);
    auto& store = statics().CartaAspersor();
    long serial = static_cast<long>(seed) * 100000;
    for (;;) {
        try {
            const unsigned op = rng() % 10;
            const auto charts = store.enumerateAll(files.projects, kSystem);
            // Kept to some dozens of charts, so each check stays quick.
            if (charts.Count() < 3 || (op < 5 && charts.Count() < 60)) {
                store.save(files.projects, kSystem, *makeChart(rng, ++serial, nozzles));
            } else if (op < 8) {
                // Rewritten in place: same identifier, other rows, a name that says so.
                const CartaInfo info = charts.Item(1 + static_cast<int>(rng() % charts.Count()));
                auto chart = makeChart(rng, ++serial, nozzles);
                chart->setId(info.id);
                store.save(files.projects, kSystem, *chart);
            } else {
                const CartaInfo info = charts.Item(1 + static_cast<int>(rng() % charts.Count()));
                store.destroy(files.projects, info.id);
            }
        } catch (const Error& e) {
            if (e.number() != errc::NomeDaCartaJaExistente) {
                std::cerr << "workload: " << e.what() << "\n";
                std::_Exit(3);
            }
        }
    }
}

long countRows(Connection& con, const std::string& sql) {
    RecordSet rs = con.Execute(sql);
    return rs.IsEOF() ? 0 : static_cast<long>(nullToZero(rs.Field("n")));
}

struct Verdict {
    bool corrupt = false;
    int charts = 0;
    int incomplete = 0;
    std::string detail;
};

Verdict check(const Files& files) {
    Verdict v;
    try {
        Connection con(files.projects);
        con.Open();
        RecordSet ic = con.Execute("PRAGMA integrity_check;");
        std::string result = ic.IsEOF() ? "no answer" : ic.Field("integrity_check").AsString();
        if (result != "ok") {
            v.corrupt = true;
            v.detail = result;
            return v;
        }
        std::set<int> present;
        const auto charts = statics().CartaAspersor().enumerateAll(con, kSystem);
        charts.ForEach([&](const CartaInfo& info) {
            ++v.charts;
            present.insert(info.id);
            Shape want;
            const std::string id = std::to_string(info.id);
            const bool named = shapeOf(info.nome, want);
            const bool complete =
                named &&
                countRows(con, "SELECT count(*) AS n FROM tb_aspersores WHERE id_carta=" + id) ==
                    want.sprinklers &&
                countRows(con, "SELECT count(*) AS n FROM tb_reguladores WHERE id_carta=" + id) ==
                    want.regulators &&
                countRows(con, "SELECT count(*) AS n FROM tb_drop WHERE carta_id=" + id) ==
                    want.drop &&
                countRows(con, "SELECT count(*) AS n FROM tb_indicadores WHERE id_carta=" + id) ==
                    1 &&
                countRows(con, "SELECT count(*) AS n FROM tb_pluviometria WHERE id_carta=" + id) ==
                    1;
            if (!complete) {
                ++v.incomplete;
                v.detail += " chart " + id + " (" + info.nome + ")";
            }
        });
        // Rows of a chart that is gone are a chart left half-deleted.
        std::set<long> orphans;
        for (const char* table :
             {"tb_aspersores", "tb_reguladores", "tb_indicadores", "tb_pluviometria"}) {
            RecordSet rs = con.Execute(std::string("SELECT DISTINCT id_carta AS c FROM ") + table +
                                       " WHERE id_carta NOT IN (SELECT id_carta FROM tb_cartas);");
            for (; !rs.IsEOF(); rs.MoveNext()) {
                orphans.insert(static_cast<long>(nullToZero(rs.Field("c"))));
            }
        }
        RecordSet drops = con.Execute(
            "SELECT DISTINCT carta_id AS c FROM tb_drop WHERE carta_id NOT IN "
            "(SELECT id_carta FROM tb_cartas);");
        for (; !drops.IsEOF(); drops.MoveNext()) {
            orphans.insert(static_cast<long>(nullToZero(drops.Field("c"))));
        }
        for (long c : orphans) {
            ++v.incomplete;
            v.detail += " rows of the deleted chart " + std::to_string(c);
        }
        con.Close();
        // Every chart present also reads back through the store.
        for (int id : present) {
            try {
                statics().CartaAspersor().find(files.projects, files.catalogue, id);
            } catch (const Error& e) {
                ++v.incomplete;
                v.detail += " chart " + std::to_string(id) + " does not read: " + e.what();
            }
        }
    } catch (const Error& e) {
        v.corrupt = true;
        v.detail = e.what();
    }
    return v;
}

void freshCopy(const fs::path& templates, const fs::path& work) {
    fs::create_directories(work);
    for (const char* name : {"proyectos.mdb", "asper.mdb"}) {
        fs::copy_file(templates / name, work / name, fs::copy_options::overwrite_existing);
        std::error_code ec;
        fs::remove(work / (std::string(name) + "-journal"), ec);
    }
}

}  // namespace

int main(int argc, char** argv) {
    fs::path templates;
    fs::path work;
    int kills = 100;
    unsigned seed = static_cast<unsigned>(std::random_device{}());
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--template") {
            templates = argv[i + 1];
        } else if (option == "--kills") {
            kills = std::atoi(argv[i + 1]);
        } else if (option == "--seed") {
            seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        } else if (option == "--work") {
            work = argv[i + 1];
        }
    }
    if (templates.empty() || kills < 1) {
        std::cerr << "usage: kambrix-crash-test --template <db-template folder> [--kills N] "
                     "[--seed S] [--work DIR]\n";
        return 2;
    }
    const bool ownWork = work.empty();
    if (ownWork) {
        work = fs::temp_directory_path() / ("kambrix-crash-test-" + std::to_string(::getpid()));
    }
    freshCopy(templates, work);
    const Files files{makeConnectionString((work / "proyectos.mdb").string()),
                      (work / "asper.mdb").string()};
    std::vector<std::shared_ptr<Aspersor>> nozzles;
    statics().Aspersores().find(makeConnectionString(files.catalogue)).ForEach([&](const auto& a) {
        nozzles.push_back(a);
    });
    if (nozzles.empty()) {
        std::cerr << "the catalogue " << files.catalogue << " has no nozzles\n";
        return 2;
    }
    std::cout << "seed " << seed << ", " << kills << " kills, database " << work << "\n";

    std::mt19937 rng(seed);
    int corrupt = 0;
    int incomplete = 0;
    int deadEarly = 0;
    int midTransaction = 0;
    long charts = 0;
    for (int k = 1; k <= kills; ++k) {
        std::cout.flush();
        const pid_t child = ::fork();
        if (child < 0) {
            std::perror("fork");
            return 2;
        }
        if (child == 0) {
            workload(files, seed + static_cast<unsigned>(k), nozzles);
        }
        // Mostly inside a save (a few ms each), now and then after a longer run.
        const int delay_us = static_cast<int>(rng() % (k % 10 == 0 ? 200000 : 30000));
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
            ++deadEarly;  // the workload stopped by itself: an error it reported
        }
        // A journal left behind: the kill fell inside a write transaction, which the check
        // (the next connection) rolls back.
        if (fs::exists(work / "proyectos.mdb-journal")) {
            ++midTransaction;
        }
        const Verdict v = check(files);
        charts += v.charts;
        if (v.corrupt) {
            ++corrupt;
            std::cout << "kill " << k << ": corrupt database: " << v.detail << "\n";
            freshCopy(templates, work);
        }
        if (v.incomplete > 0) {
            incomplete += v.incomplete;
            std::cout << "kill " << k << ": incomplete:" << v.detail << "\n";
        }
    }
    if (ownWork) {
        std::error_code ec;
        fs::remove_all(work, ec);
    }
    std::cout << "kills inside a write transaction: " << midTransaction
              << ", charts checked: " << charts
              << ", workloads that stopped by themselves: " << deadEarly << "\n";
    std::cout << "kills: " << kills << ", corrupt files: " << corrupt
              << ", incomplete charts: " << incomplete << "\n";
    return corrupt == 0 && incomplete == 0 && deadEarly == 0 ? 0 : 1;
}
