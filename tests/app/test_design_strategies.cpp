// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "design/manual_strategy.h"
#include "design/optimizer_strategy.h"

namespace kambrix {
namespace {

using namespace quarvex;

pivot smallPivot() {
    auto& st = statics();
    pivot p = st.newPivot();
    p.caudal = 10;
    p.presion = 200;
    p.rugosidad = 140;
    Array<tramo> spans;
    spans.Push(st.Tramos().newTramo(1, "S1", 50, 150, 250, 0.0));
    st.Pivots().setFixedSpans(p, spans, Array<double>{0.0});
    return p;
}

AspersorList catalogue() {
    modelo m;
    m.nome = "Spray";
    m.marca.nome = "Demo";
    AspersorList all;
    for (int i = 1; i <= 40; ++i) {
        all.Add(statics().Aspersores().newAspersor("#" + std::to_string(i), 0.0015 * i, 0.5, 40,
                                                   400, 0.01, 5, m));
    }
    return all;
}

TEST(OptimzerStrategy, ChoosesTheBestMatchAndKeepsAccessories) {
    auto s = std::make_shared<OptimzerStrategy>();
    auto w = statics().newPivotWrapper(smallPivot(), s);
    const auto all = catalogue();
    w->setAvaillableAspersores(all);
    w->setIndicadores(statics().newIndicadores(20, 1));
    auto first = s->carta();
    w->calculate();
    EXPECT_NE(s->carta(), first);
    EXPECT_EQ(s->carta()->getIndicadores().numeroSaidasObturadas, 1);
    int mounted = 0;
    for (int k = 1; k <= w->numeroTotalDeSaidas(); ++k) {
        const saida& o = w->saidaAt(k);
        EXPECT_EQ(o.obj_aspersor,
                  statics().Aspersores().getBestMatch(all, o.pressao_actuante, o.caudal, 0.1))
            << "outlet " << k;
        mounted += o.obj_aspersor ? 1 : 0;
    }
    EXPECT_GT(mounted, 10);
    EXPECT_EQ(s->carta()->mountedAspersores().Count(), mounted);
    // Outlets too small for every nozzle stay empty (the first needs 0.0076 L/s).
    EXPECT_EQ(w->saidaAt(1).obj_aspersor, nullptr);
}

TEST(ManualStrategy, MountsTheEditedChartWithRegulators) {
    auto s = std::make_shared<ManualStrategy>();
    EXPECT_DOUBLE_EQ(s->allowableFlowVariation(), 0.1);
    const auto all = catalogue();
    s->setAvaillableAspersores(all);
    const auto possible = s->selectPossibleAspersoresFor({100, 0.15});
    ASSERT_GT(possible.Count(), 0);
    for (int i = 1; i <= possible.Count(); ++i) {
        EXPECT_TRUE(possible.Item(i)->flowWithin(100, 0.15, 0.1));
    }
    s->setAllowableFlowVariation(0.5);
    EXPECT_GT(s->selectPossibleAspersoresFor({100, 0.15}).Count(), possible.Count());

    auto w = statics().newPivotWrapper(smallPivot(), s);
    s->addAspersorAt({1, 3}, all.Item(5));
    s->addAspersorAt({1, 4}, all.Item(6));
    s->removeAspersorAt({1, 4});
    s->carta()->getReguladores()->Add(statics().newReguladorPression(1, 140, 1, 0.1, true));
    w->calculate();
    EXPECT_EQ(w->saidaAt(3).obj_aspersor, all.Item(5));
    EXPECT_EQ(w->saidaAt(4).obj_aspersor, nullptr);
    EXPECT_DOUBLE_EQ(w->saidaAt(3).pressao_actuante, 140);
    EXPECT_DOUBLE_EQ(w->totalComputedDischarge(), all.Item(5)->calculate(140));
}

}  // namespace
}  // namespace kambrix
