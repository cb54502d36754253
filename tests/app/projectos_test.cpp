// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/projectos.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "design/agronomic_store.h"
#include "design/pivot_design.h"
#include "shell/reference_tramos.h"

using namespace kambrix;
using kambrix::test::count;

namespace {

class ProjectosTest : public ::testing::Test {
  protected:
    void SetUp() override {
        config = test::freshDatabases(tmp);
        con.Open(config.projectsConnectionString);
    }

    Projecto twoSpanProject(const std::string& name) {
        auto& tramos = quarvex::statics().Tramos();
        Projecto p = store.newProject(name);
        p.propietario = "O'Brien";  // a quote in a text must survive
        p.q = 42.5;
        p.p = 250;
        p.cotaCentral = 101.25;
        p.areaParcela = 0;
        p.pipe_material = quarvex::statics().PipeMaterials().find(con, 2);
        p.hasGun = true;
        p.endGun = quarvex::statics().Gun().newGun(18.5);
        p.horas_de_operacao_diaria = 21;
        p.Tramos.Push(tramos.newTramo(4, "A 50", 50.0, 162.0, 250, 102.0));
        p.Tramos.Push(tramos.newTramo(9, "B 40", 40.5, 141.3, 200, 0.0));
        p.p_tramos_loaded = true;
        return p;
    }

    test::TempFolder tmp{"projectos"};
    AppConfig config;
    quarvex::Connection con;
    Projectos store = projectsWithAgronomics();
};

}  // namespace

TEST_F(ProjectosTest, SaveAndLoadWithSpans) {
    Projecto p = twoSpanProject("Norte");
    store.saveProject(con, p);
    ASSERT_GT(p.id, 0);
    EXPECT_FALSE(con.InTransaction());
    EXPECT_EQ(store.countProjects(con, store.nameCondition("Norte")), 1);
    EXPECT_EQ(store.countProjects(con, store.nameCondition("Sur")), 0);
    // 0 is written as null and read back as 0; the elevation goes to both columns.
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM projectos WHERE areaParcela IS NULL"), 1);
    EXPECT_EQ(count(con,
                    "SELECT count(*) AS n FROM projectos WHERE cota_central = 101.25 AND "
                    "cotaCentro = 101.25"),
              1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tramos WHERE cota IS NULL"), 1);

    const auto loaded = store.loadProject(con, store.nameCondition("Norte"), "tramos");
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->id, p.id);
    EXPECT_EQ(loaded->propietario, "O'Brien");
    EXPECT_DOUBLE_EQ(loaded->q, 42.5);
    EXPECT_DOUBLE_EQ(loaded->p, 250);
    EXPECT_DOUBLE_EQ(loaded->cotaCentral, 101.25);
    EXPECT_DOUBLE_EQ(loaded->areaParcela, 0);
    EXPECT_EQ(loaded->pipe_material.id, 2);
    EXPECT_EQ(loaded->pipe_material.rugosidade, 150);
    EXPECT_TRUE(loaded->hasGun);
    EXPECT_FALSE(loaded->hasVoladizo);
    EXPECT_DOUBLE_EQ(loaded->endGun.rs, 18.5);
    EXPECT_DOUBLE_EQ(loaded->horas_de_operacao_diaria, 21);
    EXPECT_TRUE(loaded->p_tramos_loaded);
    ASSERT_EQ(loaded->Tramos.Length(), 2);
    EXPECT_EQ(loaded->Tramos(1).id, 4);
    EXPECT_EQ(loaded->Tramos(1).denominacion, "A 50");
    EXPECT_DOUBLE_EQ(loaded->Tramos(1).cota, 102.0);
    EXPECT_DOUBLE_EQ(loaded->Tramos(2).longitude, 40.5);
    EXPECT_DOUBLE_EQ(loaded->Tramos(2).separationSaidas_cm, 200);
    EXPECT_EQ(loaded->Tramos(2).Saidas.Length(), 20);  // floor(40.5 / 2)
    EXPECT_DOUBLE_EQ(loaded->Tramos(2).cota, 0);
    EXPECT_FALSE(store.loadProject(con, store.nameCondition("Sur")).has_value());
}

TEST_F(ProjectosTest, SpansKeptWhenNotLoadedAndRenumberedWhenSaved) {
    Projecto p = twoSpanProject("Norte");
    store.saveProject(con, p);
    auto withoutSpans = *store.loadProject(con, store.nameCondition("Norte"));
    EXPECT_FALSE(withoutSpans.p_tramos_loaded);
    EXPECT_EQ(withoutSpans.Tramos.Length(), 0);
    withoutSpans.q = 55;
    store.saveProject(con, withoutSpans);
    EXPECT_EQ(withoutSpans.id, p.id);  // an update, not a new row
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM projectos"), 1);
    EXPECT_EQ(
        count(con, "SELECT count(*) AS n FROM tramos WHERE projecto_id=" + std::to_string(p.id)),
        2);

    auto withSpans = *store.loadProject(con, store.nameCondition("Norte"), "tramos");
    EXPECT_DOUBLE_EQ(withSpans.q, 55);
    quarvex::Array<quarvex::tramo> reversed;
    reversed.Push(withSpans.Tramos(2));
    reversed.Push(withSpans.Tramos(1));
    reversed.Push(withSpans.Tramos(1));
    withSpans.Tramos = reversed;
    store.saveProject(con, withSpans);
    auto again = *store.loadProject(con, store.nameCondition("Norte"), "tramos");
    ASSERT_EQ(again.Tramos.Length(), 3);
    EXPECT_EQ(again.Tramos(1).denominacion, "B 40");
    EXPECT_EQ(again.Tramos(3).denominacion, "A 50");
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tramos WHERE ordem IN (1,2,3)"), 3);
}

TEST_F(ProjectosTest, CopyTakesSpansAndAgronomicRows) {
    Projecto base = twoSpanProject("Base");
    store.saveProject(con, base);
    const std::string id = std::to_string(base.id);
    con.Execute("INSERT INTO tb_agronomico (kf, Etc, Pe, id_sistema) VALUES (0.8, 6.5, 1.5, " + id +
                ")");
    con.Execute(
        "INSERT INTO epa_datas (Pa, CU, Eto, U, CI, Oe, id_sistema) VALUES "
        "(1, 85, 6, 2, 3, 4, " +
        id + ")");
    con.Execute("INSERT INTO tovren_agronomics (Qfc, hours_per_day, id_sistema) VALUES (48, 20, " +
                id + ")");
    con.Execute("INSERT INTO tb_cartas (nome, boost, id_sistema) VALUES ('c1', 0, " + id + ")");

    const Projecto copy = store.copyProject(con, store.nameCondition("Base"), "Copia");
    EXPECT_GT(copy.id, base.id);
    EXPECT_EQ(copy.nome, "Copia");
    EXPECT_EQ(copy.Tramos.Length(), 2);
    const std::string cid = std::to_string(copy.id);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tramos WHERE projecto_id=" + cid), 2);
    EXPECT_EQ(
        count(con, "SELECT count(*) AS n FROM tb_agronomico WHERE kf=0.8 AND id_sistema=" + cid),
        1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM epa_datas WHERE CU=85 AND id_sistema=" + cid),
              1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tovren_agronomics WHERE id_sistema=" + cid), 1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_cartas WHERE id_sistema=" + cid), 0);
    // The base keeps its own rows.
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_agronomico WHERE id_sistema=" + id), 1);
    EXPECT_THROW(store.copyProject(con, store.nameCondition("Nada"), "X"), quarvex::Error);
}

TEST_F(ProjectosTest, ParticipantsShareTheCopysAndTheDeletesTransaction) {
    Projecto base = twoSpanProject("Base");
    store.saveProject(con, base);
    const std::string baseId = std::to_string(base.id);
    con.Execute("INSERT INTO tb_agronomico (kf, id_sistema) VALUES (0.8, " + baseId + ")");
    auto rows = [&](const std::string& table) {
        return count(con, "SELECT count(*) AS n FROM " + table);
    };

    // A participant that writes a row for the new system, and one after it that fails.
    std::vector<std::pair<int, int>> copies;
    std::vector<int> removals;
    const SystemRowsParticipant writes{
        [&](quarvex::Connection& c, int from, int to) {
            copies.emplace_back(from, to);
            c.Execute("INSERT INTO tovren_agronomics (Qfc, id_sistema) VALUES (7, " +
                      std::to_string(to) + ")");
        },
        [&](quarvex::Connection& c, int id) {
            removals.push_back(id);
            c.Execute("DELETE FROM tovren_agronomics WHERE id_sistema=" + std::to_string(id));
        }};
    const SystemRowsParticipant fails{
        [](quarvex::Connection&, int, int) { throw std::runtime_error("refused"); },
        [](quarvex::Connection&, int) { throw std::runtime_error("refused"); }};

    const Projectos failing({agronomicRowsParticipant(), writes, fails});
    EXPECT_THROW(failing.copyProject(con, failing.nameCondition("Base"), "Copia"),
                 std::runtime_error);
    EXPECT_FALSE(con.InTransaction());
    ASSERT_EQ(copies.size(), 1U);
    EXPECT_EQ(copies[0].first, base.id);
    EXPECT_GT(copies[0].second, base.id) << "called with the copy's stored key";
    // Nothing of the copy stays: not its row, its spans, the agronomic rows nor the rows
    // the participant before the failing one wrote.
    EXPECT_FALSE(store.loadProject(con, store.nameCondition("Copia")).has_value());
    EXPECT_EQ(rows("projectos"), 1);
    EXPECT_EQ(rows("tramos"), 2);
    EXPECT_EQ(rows("tb_agronomico"), 1);
    EXPECT_EQ(rows("tovren_agronomics"), 0);

    // Without the failing participant the copy stands, each participant's rows with it.
    const Projectos working({agronomicRowsParticipant(), writes});
    const Projecto copy = working.copyProject(con, working.nameCondition("Base"), "Copia");
    ASSERT_EQ(copies.size(), 2U);
    EXPECT_EQ(copies[1], std::make_pair(base.id, copy.id));
    const std::string copyId = std::to_string(copy.id);
    EXPECT_EQ(
        count(con, "SELECT count(*) AS n FROM tb_agronomico WHERE kf=0.8 AND id_sistema=" + copyId),
        1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tovren_agronomics WHERE id_sistema=" + copyId),
              1);

    // A store without participants copies the system's own rows only.
    const Projecto bare = Projectos().copyProject(con, store.nameCondition("Base"), "Bare");
    EXPECT_EQ(
        count(con, "SELECT count(*) AS n FROM tramos WHERE projecto_id=" + std::to_string(bare.id)),
        2);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_agronomico WHERE id_sistema=" +
                             std::to_string(bare.id)),
              0);

    // A failing participant undoes the delete too, the other participants' removals with it.
    Projecto doomed = copy;
    EXPECT_THROW(failing.deleteProject(con, doomed), std::runtime_error);
    EXPECT_FALSE(doomed.p_destroyed);
    EXPECT_FALSE(con.InTransaction());
    EXPECT_EQ(removals, std::vector<int>{copy.id});
    EXPECT_TRUE(store.loadProject(con, store.nameCondition("Copia")).has_value());
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_agronomico WHERE id_sistema=" + copyId), 1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tovren_agronomics WHERE id_sistema=" + copyId),
              1);
    working.deleteProject(con, doomed);
    EXPECT_TRUE(doomed.p_destroyed);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_agronomico WHERE id_sistema=" + copyId), 0);
    EXPECT_EQ(rows("tovren_agronomics"), 0);
    EXPECT_EQ(rows("projectos"), 2);
}

TEST_F(ProjectosTest, DeleteRemovesEverythingItOwns) {
    Projecto keep = twoSpanProject("Keep");
    store.saveProject(con, keep);
    Projecto gone = twoSpanProject("Gone");
    store.saveProject(con, gone);
    for (const Projecto* p : {&keep, &gone}) {
        const std::string id = std::to_string(p->id);
        con.Execute("INSERT INTO tb_agronomico (kf, id_sistema) VALUES (1, " + id + ")");
        con.Execute("INSERT INTO epa_datas (Pa, id_sistema) VALUES (1, " + id + ")");
        con.Execute("INSERT INTO tovren_agronomics (Qfc, id_sistema) VALUES (1, " + id + ")");
        // One sprinkler chart with its children.
        con.Execute("INSERT INTO tb_cartas (nome, boost, id_sistema) VALUES ('c', 0, " + id + ")");
        const std::string carta = std::to_string(quarvex::lastIdentity(con));
        con.Execute(
            "INSERT INTO tb_aspersores (tramo, saida, id_aspersor, id_carta) VALUES "
            "(1, 1, 1, " +
            carta + ")");
        con.Execute("INSERT INTO tb_indicadores (id_carta, numero_horas) VALUES (" + carta +
                    ", 20)");
    }
    EXPECT_TRUE(systemHasCharts(config.projectsConnectionString, gone.id));
    store.deleteProject(con, gone);
    EXPECT_FALSE(systemHasCharts(config.projectsConnectionString, gone.id));
    EXPECT_TRUE(systemHasCharts(config.projectsConnectionString, keep.id));
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_aspersores"), 1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_indicadores"), 1);
    EXPECT_TRUE(gone.p_destroyed);
    const std::string g = std::to_string(gone.id);
    for (const char* table : {"tb_agronomico", "epa_datas", "tovren_agronomics"}) {
        EXPECT_EQ(count(con, std::string("SELECT count(*) AS n FROM ") + table +
                                 " WHERE id_sistema=" + g),
                  0)
            << table;
        EXPECT_EQ(count(con, std::string("SELECT count(*) AS n FROM ") + table), 1) << table;
    }
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tramos WHERE projecto_id=" + g), 0);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tramos"), 2);
    EXPECT_FALSE(store.loadProject(con, store.nameCondition("Gone")).has_value());
    EXPECT_TRUE(store.loadProject(con, store.nameCondition("Keep")).has_value());
}

TEST_F(ProjectosTest, FailedDeleteLeavesTheSystemWithItsCharts) {
    Projecto p = twoSpanProject("Whole");
    store.saveProject(con, p);
    const std::string id = std::to_string(p.id);
    con.Execute("INSERT INTO tb_agronomico (kf, id_sistema) VALUES (1, " + id + ")");
    con.Execute("INSERT INTO tb_cartas (nome, boost, id_sistema) VALUES ('c', 0, " + id + ")");
    const std::string carta = std::to_string(quarvex::lastIdentity(con));
    con.Execute(
        "INSERT INTO tb_aspersores (tramo, saida, id_aspersor, id_carta) VALUES (1, 1, 1, " +
        carta + ")");
    // The last statement of the delete fails, after the charts and the other rows are gone.
    con.Execute(
        "CREATE TRIGGER refuse_delete BEFORE DELETE ON projectos "
        "BEGIN SELECT RAISE(ABORT, 'the system is in use'); END;");
    EXPECT_THROW(store.deleteProject(con, p), quarvex::Error);
    EXPECT_FALSE(p.p_destroyed);
    EXPECT_FALSE(con.InTransaction());
    EXPECT_TRUE(systemHasCharts(config.projectsConnectionString, p.id));
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_aspersores WHERE id_carta=" + carta), 1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_agronomico WHERE id_sistema=" + id), 1);
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tramos WHERE projecto_id=" + id), 2);

    // Inside a transaction of the caller's the delete takes part in it.
    con.Execute("DROP TRIGGER refuse_delete");
    con.BeginTrans();
    store.deleteProject(con, p);
    EXPECT_TRUE(con.InTransaction());
    con.RollbackTrans();
    EXPECT_TRUE(systemHasCharts(config.projectsConnectionString, p.id));
    EXPECT_TRUE(store.loadProject(con, store.nameCondition("Whole")).has_value());
    p.p_destroyed = false;
    store.deleteProject(con, p);
    EXPECT_FALSE(systemHasCharts(config.projectsConnectionString, p.id));
    EXPECT_EQ(count(con, "SELECT count(*) AS n FROM tb_aspersores"), 0);
}

TEST(DemoProject, SevenSpansOverhangAndGun) {
    test::TempFolder tmp("demo");
    const auto target = tmp.path() / "demo-db";
    ASSERT_TRUE(makeDemoDatabaseFolder(test::templateFolder(), target));
    EXPECT_FALSE(makeDemoDatabaseFolder(test::templateFolder(), target));  // kept
    AppConfig config;
    setDatabaseFolder(config, target);
    quarvex::Connection con(config.projectsConnectionString);
    con.Open();
    Projectos store;
    EXPECT_EQ(store.countProjects(con, "1=1"), 1);
    const auto demo = store.loadProject(con, store.nameCondition(kDemoProjectName), "tramos");
    ASSERT_TRUE(demo.has_value());
    EXPECT_TRUE(demo->hasVoladizo);
    EXPECT_TRUE(demo->hasGun);
    ASSERT_EQ(demo->Tramos.Length(), 8);  // seven spans and the overhang
    EXPECT_TRUE(allSpansDefined(*demo));
    EXPECT_TRUE(quarvex::statics().Pivots().isComplete(buildPivot(*demo)));
    EXPECT_GT(demo->pipe_material.rugosidade, 0);
}
