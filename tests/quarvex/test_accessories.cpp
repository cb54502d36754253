// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "hydraulics_test_support.h"

namespace quarvex {
namespace {

using testing::makePivot;

TEST(Reguladores, LaterWinsAndOverhangNumber) {
    pivot p = makePivot(3, 10, 250, 100, 10, 100);
    statics().Pivots().setOverhangSpan(p, statics().Tramos().newTramo(9, "OH", 5, 80, 250));
    auto w = statics().newPivotWrapper(p, std::make_shared<testing::FixedStrategy>(nullptr));
    auto regs = std::make_shared<Reguladores>();
    regs->Add(statics().newReguladorPression(3, 140, 1, 0.1, true));
    regs->Add(statics().newReguladorPression(3, 100, 1, 0.1, true));
    regs->Add(statics().newReguladorPression(4, 120, 1, 0.1, true));
    regs->Add(statics().newReguladorPression(1, 90, 1, 0.1, false));
    w->aplicaReguladores(regs);
    EXPECT_TRUE(w->pivot().Tramos(3).temRegulador);
    EXPECT_EQ(w->pivot().Tramos(3).regulador.Preg, 100);
    EXPECT_EQ(w->pivot().Tramos(3).regulador.qmax, 0);
    EXPECT_TRUE(w->pivot().tramoVOladizo.temRegulador);
    EXPECT_EQ(w->pivot().tramoVOladizo.regulador.Preg, 120);
    EXPECT_FALSE(w->pivot().Tramos(1).temRegulador);
    EXPECT_EQ(w->getReguladores(), regs);
    EXPECT_EQ(w->carta()->getReguladores(), regs);
    // Applying an empty collection clears them all.
    w->aplicaReguladores(std::make_shared<Reguladores>());
    EXPECT_FALSE(w->pivot().Tramos(3).temRegulador);
    EXPECT_FALSE(w->pivot().tramoVOladizo.temRegulador);
}

TEST(Drops, NullEmptyValidAndInstall) {
    const Drops& d = statics().Drops();
    const Drop none = d.createNull();
    EXPECT_TRUE(d.IsEmpty(none));
    EXPECT_FALSE(d.isValid(none));
    EXPECT_EQ(d.PressureLoss(none, 5), 0);
    const Drop zero = d.newDrop(0, 0, statics().PipeMaterials().NullPipeMaterial());
    EXPECT_FALSE(zero.p_is_null);
    EXPECT_TRUE(d.IsEmpty(zero));
    Drop bad = d.newDrop(20, 0, PipeMaterial{1, "steel", 120});
    try {
        d.Install(bad);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::DropIncompleteException);
    }
    EXPECT_FALSE(d.IsInstalled(bad));
    Drop good = d.newDrop(20, 2, PipeMaterial{1, "steel", 120});
    Drop installed = good;
    d.Install(installed);
    EXPECT_TRUE(d.IsInstalled(installed));
    EXPECT_TRUE(d.Equals(good, installed));
    EXPECT_TRUE(d.Differs(good, d.newDrop(25, 2, PipeMaterial{1, "steel", 120})));
    // 10 × J × 2 m, J = 1.21e10 × (0.5/120)^1.852 × 20^−4.87 = 0.2180811 m/m (hand value,
    // 7 digits): 4.361622 kPa.
    EXPECT_NEAR(d.PressureLoss(good, 0.5), 4.361622, 2e-6);
}

TEST(Drops, InstalledDropLowersIdealAndRealPressures) {
    const pivot p = makePivot(1, 10, 250, 100, 10, 100);
    auto s = std::make_shared<testing::FixedStrategy>(testing::nozzle(0.02));
    auto w = statics().newPivotWrapper(p, s);
    const double before = w->saidaAt(1).pressao_ideal;
    Drop drop = statics().Drops().newDrop(20, 2, PipeMaterial{1, "steel", 120});
    w->setDrop(drop);
    w->calculate();  // not installed: no loss
    EXPECT_DOUBLE_EQ(w->saidaAt(1).pressao_ideal, before);
    w->installDrop();
    w->calculate();
    const double loss = statics().Drops().PressureLoss(drop, w->saidaAt(1).caudal);
    EXPECT_GT(loss, 0);
    EXPECT_DOUBLE_EQ(w->saidaAt(1).pressao_ideal, before - loss);
}

class ProjectsStore : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::path(KAMBRIX_TEST_TMP) / "projects-drops";
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::copy_file(std::filesystem::path(KAMBRIX_DB_TEMPLATE) / "proyectos.mdb",
                                   dir_ / "proyectos.mdb");
        con_.Open(makeConnectionString((dir_ / "proyectos.mdb").string()));
    }
    void TearDown() override {
        con_.Close();
        std::filesystem::remove_all(dir_);
    }
    std::filesystem::path dir_;
    Connection con_;
};

TEST_F(ProjectsStore, PipeMaterialsAndDropStorage) {
    const auto all = statics().PipeMaterials().All(con_);
    ASSERT_GE(all.Count(), 2);
    EXPECT_EQ(all.Item(1).id, 1);
    EXPECT_EQ(all.Item(2).name, "Polyethylene");
    EXPECT_EQ(all.Item(2).rugosidade, 150);
    EXPECT_EQ(statics().PipeMaterials().find(con_, 99).id, 0);

    const Drops& d = statics().Drops();
    Drop drop = d.newDrop(20.5, 2.25, all.Item(2));
    d.Install(drop);
    d.saveDrop(con_, drop, 7);
    d.saveDrop(con_, drop, 7);  // replaces, never duplicates
    EXPECT_EQ(con_.Execute("SELECT count(*) AS n FROM tb_drop").Field("n").AsInt(), 1);
    const Drop back = d.loadDrop(con_, 7);
    EXPECT_DOUBLE_EQ(back.diametro, 20.5);
    EXPECT_DOUBLE_EQ(back.longitud, 2.25);
    EXPECT_TRUE(back.p_installed);
    EXPECT_EQ(back.pipe_material.name, "Polyethylene");

    d.saveDrop(con_, d.createNull(), 7);
    EXPECT_EQ(con_.Execute("SELECT count(*) AS n FROM tb_drop").Field("n").AsInt(), 0);
    EXPECT_TRUE(d.loadDrop(con_, 7).p_is_null);
}

}  // namespace
}  // namespace quarvex
