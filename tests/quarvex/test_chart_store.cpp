// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include "evaluation_db_fixture.h"

using namespace quarvex;

namespace {

constexpr int kSistema = 7;
const char* const kChartTables[] = {"tb_cartas",      "tb_aspersores",   "tb_reguladores",
                                    "tb_indicadores", "tb_pluviometria", "tb_drop"};

class ChartStore : public TemplateDbTest {
  protected:
    void SetUp() override {
        TemplateDbTest::SetUp();
        nozzles_ = statics().Aspersores().find(makeConnectionString(catalogue()));
        ASSERT_GE(nozzles_.Count(), 3);
    }

    // Three sprinklers on span 1, two regulators, a drop, indicators and a pluviometry check.
    std::shared_ptr<CartaAspersores> sampleChart(const std::string& name) {
        auto& st = statics();
        auto c = st.newCartaAspersores();
        c->setNome(name);
        c->setEndGunBoost(12.5);
        for (int i = 1; i <= 3; ++i) {
            c->addMountedAspersor(st.CartaAspersor().newMountedAspersor(
                st.CoordenadasSaidas().newTramoCoordenadas(1, i), nozzles_.Item(i)));
        }
        c->getReguladores()->Add(st.newReguladorPression(1, 140, 0.9, 0.1, true));
        c->getReguladores()->Add(st.newReguladorPression(2, 103.5, 1.2, 0.05, false));
        c->setIndicadores(st.newIndicadores(22.75, 2));
        PluviometryCheck check;
        check.firstSample = st.newPivotSample(120, 14.5, "first_sample");
        check.secondSample = st.newPivotSample(350, 18, "second_sample");
        check.kostiakov = st.newKostiakovParameters(30.5, -0.45);
        c->setPluviometriaCheck(check);
        PipeMaterial pe;
        pe.id = 2;
        c->setDrop(st.Drops().newDrop(25, 1.8, pe));
        return c;
    }

    CartaAspersoresStatic& store() { return statics().CartaAspersor(); }
    int errorOf(auto&& f) {
        try {
            f();
        } catch (const Error& e) {
            return e.number();
        }
        return 0;
    }

    AspersorList nozzles_;
};

}  // namespace

TEST_F(ChartStore, SaveFindRemoveAndDestroy) {
    const auto cs = projectsCs();
    EXPECT_FALSE(store().AnyFor(cs, kSistema));
    EXPECT_EQ(store().enumerateAll(cs, kSistema).Count(), 0);

    auto chart = sampleChart("Package 'A' for the \"north\" pivot?");
    store().save(cs, kSistema, *chart);
    ASSERT_GT(chart->id(), 0);
    EXPECT_TRUE(store().AnyFor(cs, kSistema));
    EXPECT_EQ(count("tb_aspersores"), 3);
    EXPECT_EQ(count("tb_indicadores"), 1);
    EXPECT_EQ(count("tb_pluviometria"), 1);
    EXPECT_EQ(count("tb_reguladores"), 2);
    EXPECT_EQ(count("tb_drop"), 1);

    auto back = store().find(cs, catalogue(), chart->id());
    EXPECT_EQ(back->id(), chart->id());
    EXPECT_EQ(back->getNome(), "Package 'A' for the \"north\" pivot?");  // stored exactly
    EXPECT_EQ(back->getEndGunBoost(), 12.5);
    ASSERT_EQ(back->mountedAspersores().Count(), 3);
    for (int i = 1; i <= 3; ++i) {
        const auto m = back->mountedAspersorAt(CoordenadasSaida{1, i});
        ASSERT_TRUE(m);
        EXPECT_GT(m->id(), 0);
        EXPECT_EQ(m->Aspersor()->id(), nozzles_.Item(i)->id());
        EXPECT_EQ(m->Aspersor()->nome(), nozzles_.Item(i)->nome());
        EXPECT_EQ(m->Aspersor()->aValue(), nozzles_.Item(i)->aValue());
    }
    EXPECT_EQ(back->getIndicadores().horasRevolucao, 22.75);
    EXPECT_EQ(back->getIndicadores().numeroSaidasObturadas, 2);
    EXPECT_GT(back->getIndicadores().id, 0);
    const auto check = back->getPluviometriaCheck();
    EXPECT_EQ(check.firstSample.distanceToCenter, 120);
    EXPECT_EQ(check.firstSample.wetDiameter, 14.5);
    EXPECT_EQ(check.firstSample.code, "first_sample");
    EXPECT_EQ(check.secondSample.distanceToCenter, 350);
    EXPECT_EQ(check.secondSample.code, "second_sample");
    EXPECT_EQ(check.kostiakov.k, 30.5);
    EXPECT_EQ(check.kostiakov.a, -0.45);
    auto regs = back->getReguladores();
    ASSERT_EQ(regs->Count(), 2);
    EXPECT_EQ(regs->Item(1)->tramo(), 1);
    EXPECT_EQ(regs->Item(1)->pression(), 140);
    EXPECT_TRUE(regs->Item(1)->installed());
    EXPECT_EQ(regs->Item(2)->pression(), 103.5);
    EXPECT_EQ(regs->Item(2)->minimum_caudal(), 0.05);
    EXPECT_FALSE(regs->Item(2)->installed());
    EXPECT_EQ(back->getDrop().diametro, 25);
    EXPECT_EQ(back->getDrop().p_pipe_material_id, 2);

    // Saved again after a removal: one row fewer, still one chart.
    back->removeAspersorAt(CoordenadasSaida{1, 2});
    store().save(cs, kSistema, *back);
    EXPECT_EQ(back->id(), chart->id());
    EXPECT_EQ(count("tb_cartas"), 1);
    EXPECT_EQ(count("tb_aspersores"), 2);
    EXPECT_EQ(count("tb_indicadores"), 1);
    auto again = store().find(cs, catalogue(), chart->id());
    EXPECT_FALSE(again->hasMountedAspersorAt(CoordenadasSaida{1, 2}));
    EXPECT_TRUE(again->hasMountedAspersorAt(CoordenadasSaida{1, 3}));

    const auto list = store().enumerateAll(cs, kSistema);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(chart->getNome()).id, chart->id());
    EXPECT_EQ(store().enumerateAll(cs, kSistema + 1).Count(), 0);

    store().destroy(cs, chart->id());
    for (const char* table : kChartTables) {
        EXPECT_EQ(count(table), 0) << table;
    }
    EXPECT_FALSE(store().AnyFor(cs, kSistema));
    EXPECT_EQ(store().find(cs, catalogue(), chart->id())->id(), 0);  // gone: empty chart
}

TEST_F(ChartStore, SaveAsNewUnderTakenAndFreeNames) {
    const auto cs = projectsCs();
    auto first = sampleChart("O'Neil");
    store().save(cs, kSistema, *first);
    auto second = sampleChart("Other");
    store().save(cs, kSistema, *second);
    const int secondId = second->id();

    second->setNome("O'Neil");
    EXPECT_EQ(errorOf([&] { store().saveAsNew(cs, kSistema, *second); }),
              errc::NomeDaCartaJaExistente);
    EXPECT_EQ(second->id(), secondId);  // identifier restored, nothing written
    EXPECT_EQ(count("tb_cartas"), 2);
    EXPECT_EQ(count("tb_aspersores"), 6);

    // The same name in another system is free; an update may take a used name.
    store().saveAsNew(cs, kSistema + 1, *second);
    EXPECT_NE(second->id(), secondId);
    EXPECT_EQ(count("tb_cartas"), 3);
    auto renamed = store().find(cs, catalogue(), secondId);
    renamed->setNome("O'Neil");
    store().save(cs, kSistema, *renamed);
    EXPECT_EQ(renamed->id(), secondId);
    EXPECT_EQ(count("tb_cartas", "nome = 'O''Neil'"), 3);

    // A chart with no children at all still gets its indicator and pluviometry rows.
    auto bare = statics().newCartaAspersores();
    bare->setNome("bare");
    store().save(cs, kSistema, *bare);
    EXPECT_EQ(count("tb_indicadores", "id_carta = " + std::to_string(bare->id())), 1);
    EXPECT_EQ(count("tb_pluviometria", "id_carta = " + std::to_string(bare->id())), 1);
    EXPECT_EQ(store().find(cs, catalogue(), bare->id())->mountedAspersores().Count(), 0);
}

TEST_F(ChartStore, FailureRollsBackAndClosesTheConnection) {
    const auto cs = projectsCs();
    auto chart = sampleChart("kept");
    store().save(cs, kSistema, *chart);
    // A mounted entry without sprinkler fails half-way through the children.
    chart->addMountedAspersor(
        store().newMountedAspersor(CoordenadasSaida{2, 1}, std::shared_ptr<Aspersor>()));
    chart->setNome("changed");
    EXPECT_EQ(errorOf([&] { store().save(cs, kSistema, *chart); }), errc::InvalidArgument);
    EXPECT_EQ(count("tb_cartas", "nome = 'kept'"), 1);
    EXPECT_EQ(count("tb_aspersores"), 3);
    EXPECT_EQ(count("tb_indicadores"), 1);
    // The file is not left locked: a later save and destroy go through.
    chart->removeAspersorAt(CoordenadasSaida{2, 1});
    store().save(cs, kSistema, *chart);
    EXPECT_EQ(count("tb_cartas", "nome = 'changed'"), 1);
    // A missing catalogue file is the database's error, not a half-read chart.
    EXPECT_NE(errorOf([&] { store().find(cs, dir_.string() + "/none.mdb", chart->id()); }), 0);
    store().destroy(cs, chart->id());
    EXPECT_EQ(count("tb_cartas"), 0);
}

TEST_F(ChartStore, FailedCommitGivesNoIdentifierSoNoChartIsOverwritten) {
    const auto cs = projectsCs();
    auto first = sampleChart("first");
    // A second connection holding a read transaction: the save runs to its COMMIT, which is
    // refused ("database is locked") and rolled back, and SQLite hands the key out again.
    {
        Connection reader(cs);
        reader.Open();
        reader.BeginTrans();
        reader.Execute("SELECT count(*) AS n FROM tb_cartas;");
        EXPECT_EQ(errorOf([&] { store().save(cs, kSistema, *first); }),
                  errc::DatabaseStatementFailed);
        reader.RollbackTrans();
    }
    EXPECT_EQ(first->id(), 0) << "a chart that was not committed has no identifier";
    EXPECT_EQ(count("tb_cartas"), 0);

    // Another chart is saved, with other sprinklers: it may take the key the failed save saw.
    auto& st = statics();
    auto second = st.newCartaAspersores();
    second->setNome("second");
    second->addMountedAspersor(st.CartaAspersor().newMountedAspersor(
        st.CoordenadasSaidas().newTramoCoordenadas(4, 7), nozzles_.Item(2)));
    store().save(cs, kSistema, *second);
    ASSERT_GT(second->id(), 0);

    // Retrying the first inserts it: both charts exist, each with its own sprinklers.
    store().save(cs, kSistema, *first);
    ASSERT_GT(first->id(), 0);
    EXPECT_NE(first->id(), second->id());
    EXPECT_EQ(count("tb_cartas"), 2);
    const auto a = store().find(cs, catalogue(), first->id());
    const auto b = store().find(cs, catalogue(), second->id());
    EXPECT_EQ(a->getNome(), "first");
    EXPECT_EQ(b->getNome(), "second");
    EXPECT_EQ(a->mountedAspersores().Count(), 3);
    EXPECT_TRUE(a->hasMountedAspersorAt(CoordenadasSaida{1, 3}));
    ASSERT_EQ(b->mountedAspersores().Count(), 1);
    EXPECT_TRUE(b->hasMountedAspersorAt(CoordenadasSaida{4, 7}));
    EXPECT_EQ(b->mountedAspersorAt(CoordenadasSaida{4, 7})->Aspersor()->id(),
              nozzles_.Item(2)->id());
    EXPECT_EQ(count("tb_indicadores"), 2);
    EXPECT_EQ(count("tb_pluviometria"), 2);

    // A save-as-new refused the same way keeps the identifier the chart had.
    const int firstId = first->id();
    first->setNome("copy of first");
    {
        Connection reader(cs);
        reader.Open();
        reader.BeginTrans();
        reader.Execute("SELECT count(*) AS n FROM tb_cartas;");
        EXPECT_EQ(errorOf([&] { store().saveAsNew(cs, kSistema, *first); }),
                  errc::DatabaseStatementFailed);
    }
    EXPECT_EQ(first->id(), firstId);
    EXPECT_EQ(count("tb_cartas"), 2);
    store().saveAsNew(cs, kSistema, *first);
    EXPECT_NE(first->id(), firstId);
    EXPECT_EQ(count("tb_cartas"), 3);
    EXPECT_EQ(store().find(cs, catalogue(), firstId)->getNome(), "first");
}

TEST_F(ChartStore, DestroyOnAnOpenConnectionJoinsTheCallersTransaction) {
    const auto cs = projectsCs();
    auto one = sampleChart("one");
    store().save(cs, kSistema, *one);
    auto two = sampleChart("two");
    store().save(cs, kSistema, *two);

    Connection con(cs);
    con.Open();
    con.BeginTrans();
    store().destroy(con, one->id());
    EXPECT_TRUE(con.InTransaction()) << "the caller's transaction stays the caller's";
    EXPECT_EQ(store().enumerateAll(con, kSistema).Count(), 1);  // seen inside the transaction
    con.RollbackTrans();
    EXPECT_EQ(count("tb_cartas"), 2);
    EXPECT_EQ(count("tb_aspersores"), 6);

    // Without a transaction of the caller's it runs in one of its own and commits.
    store().destroy(con, one->id());
    EXPECT_FALSE(con.InTransaction());
    EXPECT_TRUE(con.IsOpen());
    EXPECT_EQ(count("tb_cartas"), 1);
    EXPECT_EQ(count("tb_aspersores"), 3);
    EXPECT_EQ(count("tb_drop"), 1);
    const auto left = store().enumerateAll(con, kSistema);
    ASSERT_EQ(left.Count(), 1);
    EXPECT_EQ(left.Item(1).id, two->id());
}
