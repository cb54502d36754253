// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "hydraulics_test_support.h"

namespace quarvex {
namespace {

using testing::makePivot;
using testing::nozzle;

std::shared_ptr<MountedAspersor> entry(int t, int s, std::shared_ptr<Aspersor> a) {
    return statics().CartaAspersor().newMountedAspersor({t, s}, std::move(a));
}

TEST(Carta, InitialStateAndSharedRegulators) {
    auto c = statics().newCartaAspersores();
    EXPECT_EQ(c->id(), 0);
    EXPECT_EQ(c->getNome(), "");
    EXPECT_EQ(c->getEndGunBoost(), 0);
    EXPECT_TRUE(c->getDrop().p_is_null);
    auto regs = c->getReguladores();
    EXPECT_TRUE(regs->IsEmpty());
    EXPECT_EQ(c->getReguladores(), regs);
}

TEST(Carta, KeyedCollectionReplaceDeleteReAdd) {
    auto c = statics().newCartaAspersores();
    auto a = nozzle(0.1);
    auto b = nozzle(0.2);
    c->addMountedAspersor(entry(2, 5, a));
    c->addMountedAspersor(entry(1, 1, a));
    c->addMountedAspersor(entry(2, 5, b));  // replaces, moves to the end
    const auto& all = c->mountedAspersores();
    ASSERT_EQ(all.Count(), 2);
    EXPECT_EQ(all.KeyAt(1), "1-1");
    EXPECT_EQ(all.KeyAt(2), "2-5");
    EXPECT_EQ(c->mountedAspersorAt({2, 5})->Aspersor(), b);

    c->removeAspersorAt({2, 5});
    EXPECT_FALSE(c->hasMountedAspersorAt({2, 5}));
    EXPECT_EQ(c->mountedAspersorAt({2, 5}), nullptr);
    EXPECT_EQ(all.Count(), 2);  // kept, marked deleted
    EXPECT_TRUE(all.Item(2)->deleted());
    c->removeAspersorAt({7, 7});  // nothing there: nothing happens
    EXPECT_EQ(all.Count(), 2);

    c->addMountedAspersor(entry(2, 5, a));
    EXPECT_TRUE(c->hasMountedAspersorAt({2, 5}));
    EXPECT_EQ(all.Count(), 2);
    c->addMountedAspersor(entry(-1, -1, a));
    EXPECT_EQ(all.KeyAt(3), "-1--1");
}

TEST(Carta, MountAndUnmountOnAPivot) {
    pivot p = makePivot(2, 10, 250, 100, 10, 100);
    statics().Pivots().setOverhangSpan(p, statics().Tramos().newTramo(9, "OH", 5, 80, 250));
    statics().Pivots().setEndGun(p, statics().Gun().newGun(10));
    auto w = statics().newPivotWrapper(p, std::make_shared<CalculosStrategy>());
    auto c = statics().newCartaAspersores();
    auto a = nozzle(0.1);
    c->addMountedAspersor(entry(1, 2, a));
    c->addMountedAspersor(entry(3, 1, a));
    c->addMountedAspersor(entry(-1, -1, a));
    c->addMountedAspersor(entry(2, 4, a));
    c->mountAsperoresOn(*w);
    EXPECT_EQ(w->pivot().Tramos(1).Saidas(2).obj_aspersor, a);
    EXPECT_EQ(w->pivot().tramoVOladizo.Saidas(1).obj_aspersor, a);
    EXPECT_EQ(w->pivot().endGun.saida.obj_aspersor, a);

    c->removeAndUmountAt({2, 4}, *w);
    EXPECT_EQ(w->pivot().Tramos(2).Saidas(4).obj_aspersor, nullptr);
    c->mountAsperoresOn(*w);  // one deleted entry clears its outlet again
    EXPECT_EQ(w->pivot().Tramos(2).Saidas(4).obj_aspersor, nullptr);
    EXPECT_EQ(w->pivot().Tramos(1).Saidas(2).obj_aspersor, a);

    c->addAndMountAspersor(entry(2, 3, a), *w);
    EXPECT_EQ(w->pivot().Tramos(2).Saidas(3).obj_aspersor, a);

    // An outlet outside the pivot is the subscript error.
    try {
        c->addAndMountAspersor(entry(2, 99, a), *w);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::SubscriptOutOfRange);
    }
}

TEST(Carta, TransferAccessoriesKeepsNameBoostAndSprinklers) {
    auto src = statics().newCartaAspersores();
    src->setIndicadores(statics().newIndicadores(20, 3));
    src->getReguladores()->Add(statics().newReguladorPression(1, 140, 1, 0.1, true));
    PluviometryCheck pc;
    pc.kostiakov.k = 30;
    src->setPluviometriaCheck(pc);
    PipeMaterial pe{2, "PE", 150};
    src->setDrop(statics().Drops().newDrop(20, 2, pe));
    auto dst = statics().newCartaAspersores();
    dst->setNome("mine");
    dst->setEndGunBoost(50);
    dst->addMountedAspersor(entry(1, 1, nozzle(0.1)));
    dst->transferAcessoriesFrom(*src);
    EXPECT_EQ(dst->getNome(), "mine");
    EXPECT_EQ(dst->getEndGunBoost(), 50);
    EXPECT_EQ(dst->mountedAspersores().Count(), 1);
    EXPECT_EQ(dst->getIndicadores().numeroSaidasObturadas, 3);
    EXPECT_EQ(dst->getReguladores(), src->getReguladores());
    EXPECT_EQ(dst->getPluviometriaCheck().kostiakov.k, 30);
    EXPECT_EQ(dst->getDrop().p_pipe_material_id, 2);
}

}  // namespace
}  // namespace quarvex
