// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "hydraulics_test_support.h"

namespace quarvex {
namespace {

using testing::ChoiceStrategy;
using testing::FixedStrategy;
using testing::makePivot;
using testing::nozzle;

std::shared_ptr<PivotWrapper> wrap(const pivot& p, std::shared_ptr<CalculosStrategy> s = nullptr) {
    if (!s) {
        s = std::make_shared<CalculosStrategy>();
    }
    return statics().newPivotWrapper(p, s);
}

TEST(HazenWilliams, UnitLossFollowsTheFormulaAndIgnoresNegativeDischarge) {
    // C = 100, D = 100 mm: J = 1.21e10 × (Q/100)^1.852 × 10^−9.74 = 2.20184 × (Q/100)^1.852.
    // J(10) = 2.20184 × 0.0140605 = 0.030959 m/m (hand value, 5 digits).
    EXPECT_NEAR(hazenWilliamsUnitLoss(10, 100, 100), 0.030959, 5e-6);
    EXPECT_EQ(hazenWilliamsUnitLoss(-3, 100, 100), 0.0);
    EXPECT_EQ(hazenWilliamsUnitLoss(0, 100, 100), 0.0);
    try {
        hazenWilliamsUnitLoss(10, 0, 100);
        FAIL() << "a roughness of 0 must raise";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::DivisionByZero);
    }
}

TEST(IdealPass, SmallFlatPivotWorkedByHand) {
    // One flat span of 10 m, outlets every 2.5 m (4 outlets at 2.5, 5, 7.5, 10 m), D = 100 mm,
    // C = 100, Q = 10 L/s, inlet 100 kPa, R = 10 m.
    // Ideal discharges q = 2·r·s·Q/R² = 0.5·r: 1.25, 2.5, 3.75, 5 L/s.
    // Friction before each outlet, hf = J(q) × 2.5 × 10 on the discharge still flowing:
    //   q = 10    : J = 0.030959, hf = 0.773972 → p1 = 99.226028
    //   q = 8.75  : J = 0.024176, hf = 0.604400 → p2 = 98.621628
    //   q = 6.25  : J = 0.012964, hf = 0.324112 → p3 = 98.297516
    //   q = 2.5   : J = 0.002376, hf = 0.059390 → p4 = 98.238126
    // The last outlet sits at the span end: no friction after it; the discharge left is
    // 10 − 12.5 = −2.5 L/s. The ideal loss is the sum of the four, 1.761874 kPa.
    const pivot p = makePivot(1, 10, 250, 100, 10, 100, 100);
    auto w = wrap(p);
    const tramo& t = w->pivot().Tramos(1);
    const double q[] = {1.25, 2.5, 3.75, 5};
    const double pr[] = {99.226028, 98.621628, 98.297516, 98.238126};
    ASSERT_EQ(t.Saidas.Length(), 4);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_DOUBLE_EQ(t.Saidas(k).distanciaAoPivot, 2.5 * k);
        EXPECT_DOUBLE_EQ(t.Saidas(k).caudal, q[k - 1]);
        // Hand values carry 6 decimals: within 2e-6 kPa.
        EXPECT_NEAR(t.Saidas(k).pressao_ideal, pr[k - 1], 2e-6) << "outlet " << k;
        EXPECT_DOUBLE_EQ(t.Saidas(k).cota, 100);
    }
    EXPECT_NEAR(t.perdaDeCargaIdeal, 1.761874, 3e-6);
    EXPECT_NEAR(w->idealContinuosPressureLossForTramo(1), 1.761874, 3e-6);
    EXPECT_NEAR(t.ideal_exit_conditions.pressao, 98.238126, 2e-6);
    EXPECT_DOUBLE_EQ(t.ideal_exit_conditions.caudal, -2.5);
    EXPECT_DOUBLE_EQ(t.ideal_entry_conditions.pressao, 100);
}

TEST(IdealPass, OutletDischargeShareAndEndGun) {
    // Outlet at 100 m with spacing 2.5 m, Q = 50 L/s, R = 400 m: 2·100·2.5·50/400² = 0.15625.
    pivot p = makePivot(4, 100, 250, 200, 50, 300);
    auto w = wrap(p);
    EXPECT_DOUBLE_EQ(w->saidaAt(40).caudal, 0.15625);
    // With a gun of rs 20 m: R = 420, gun discharge 2·400·20·50/420² = 4.5351 L/s, at 400 m,
    // ideal pressure that of the end of the last span.
    statics().Pivots().setEndGun(p, statics().Gun().newGun(20));
    auto g = wrap(p);
    EXPECT_NEAR(g->idealEndGunDischarge(), 2.0 * 400 * 20 * 50 / (420.0 * 420.0), 1e-12);
    EXPECT_DOUBLE_EQ(g->pivot().endGun.saida.distanciaAoPivot, 400);
    EXPECT_DOUBLE_EQ(g->pivot().endGun.saida.pressao_ideal,
                     g->pivot().Tramos(4).ideal_exit_conditions.pressao);
}

TEST(IdealPass, FloatingPointFaultsRaiseTheNumberedError) {
    // No spans and a gun of radius 0: irrigated radius 0.
    pivot p = statics().newPivot();
    p.caudal = 10;
    p.presion = 100;
    p.rugosidad = 140;
    statics().Pivots().setEndGun(p, statics().Gun().newGun(0));
    try {
        wrap(p);
        FAIL() << "an irrigated radius of 0 must raise";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::DivisionByZero);
    }
    // Pipe roughness 0.
    try {
        wrap(makePivot(1, 10, 250, 100, 10, 100, 0));
        FAIL() << "a roughness of 0 must raise";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::DivisionByZero);
    }
}

TEST(RealPass, UphillAndDownhillWithoutSprinklers) {
    // A 10 m span rising 1 m: slope tan(asin(0.1)) = 0.1005038, dz = 0.2512595 m per
    // outlet, 2.512595 kPa lost per step. Nothing is drawn, so after the second pass
    // (inlet 0) there is no friction left and only elevation counts.
    for (double rise : {1.0, -1.0}) {
        auto w = wrap(makePivot(1, 10, 250, 100, 10, 100, 100, rise));
        w->calculate();
        EXPECT_EQ(w->lastIterations(), 2);
        EXPECT_EQ(w->lastConvergence(), Convergence::Plain);
        EXPECT_EQ(w->totalComputedDischarge(), 0.0);
        const double step = 10 * 0.25 * rise / std::sqrt(1 - 0.01);
        for (int k = 1; k <= 4; ++k) {
            const saida& o = w->saidaAt(k);
            EXPECT_NEAR(o.pressao_real, 100 - step * k, 1e-9) << "rise " << rise << " outlet " << k;
            EXPECT_NEAR(o.cota, 100 + rise * k / 4.0 / std::sqrt(1 - 0.01) * std::sqrt(1 - 0.01),
                        0.01);
            EXPECT_EQ(o.obj_aspersor, nullptr);
        }
        // Rounding over four steps of 0.25 m: within 1e-9 kPa of the 10 kPa per metre rule.
        EXPECT_NEAR(w->pivot().Tramos(1).exit_condition.pressao, 100 - 10 * rise, 1e-9);
    }
}

TEST(RealPass, SprinklersDrawAtTheirPressureAndDownhillDrawsMore) {
    auto a = nozzle(0.02);
    double drawn[2];
    int i = 0;
    for (double rise : {3.0, -3.0}) {
        auto w = wrap(makePivot(2, 50, 250, 150, 10, 200, 140, rise),
                      std::make_shared<FixedStrategy>(a));
        w->calculate();
        EXPECT_EQ(w->lastConvergence(), Convergence::Plain);
        double sum = 0;
        for (int k = 1; k <= w->numeroTotalDeSaidas(); ++k) {
            const saida& o = w->saidaAt(k);
            EXPECT_GE(o.pressao_real, 0);
            EXPECT_DOUBLE_EQ(o.pressao_actuante, o.pressao_real);
            EXPECT_DOUBLE_EQ(o.caudal_do_aspersor, 0.02 * std::sqrt(o.pressao_actuante));
            EXPECT_EQ(o.obj_aspersor, a);
            sum += o.caudal_do_aspersor;
        }
        // The total is the sum of the draws (up to summation order, 1e-12 L/s).
        EXPECT_NEAR(w->totalComputedDischarge(), sum, 1e-12);
        // Converged: the inlet of the last pass agrees with what it drew within 1e-5 L/s.
        EXPECT_LE(std::fabs(w->pivot().Tramos(1).entry_conditions.caudal - sum), 1e-5);
        drawn[i++] = sum;
    }
    EXPECT_LT(drawn[0], drawn[1]);
}

TEST(RealPass, RegulatedSpanWorksAtTheRegulatedPressure) {
    auto w =
        wrap(makePivot(2, 50, 250, 60, 30, 150), std::make_shared<FixedStrategy>(nozzle(0.02)));
    auto regs = std::make_shared<Reguladores>();
    regs->Add(statics().newReguladorPression(2, 140, 1, 0.1, true));
    w->aplicaReguladores(regs);
    w->calculate();
    const tramo& t = w->pivot().Tramos(2);
    bool lower = false;
    for (const auto& o : t.Saidas) {
        EXPECT_DOUBLE_EQ(o.pressao_actuante, 140);
        EXPECT_DOUBLE_EQ(o.caudal_do_aspersor, 0.02 * std::sqrt(140.0));
        lower = lower || o.pressao_real < 140;
    }
    EXPECT_TRUE(lower) << "the design must have outlets below the regulated pressure";
}

TEST(RealPass, EndGunPressureIsClampedBeforeTheBoost) {
    // Only the gun (at 51 m, beyond the last outlet at 50 m) has a nozzle, a = 2. Any
    // discharge near its draw loses thousands of kPa in the 40 mm pipe, so nothing reaches
    // the gun; the booster's 100 kPa alone drive it: 2 × sqrt(100) = 20 L/s.
    pivot p = makePivot(1, 51, 250, 40, 20, 100);
    statics().Pivots().setEndGun(p, statics().Gun().newGun(20));
    auto big = nozzle(2, 0.5, 1000);
    auto s = std::make_shared<ChoiceStrategy>(
        [&](const saida& o) { return o.distanciaAoPivot > 50.5 ? big : nullptr; });
    auto w = wrap(p, s);
    w->setEndGunBoost(100);
    w->compute(statics().Drops().createNull());
    const saida& gun = w->pivot().endGun.saida;
    EXPECT_EQ(w->lastConvergence(), Convergence::Plain);
    EXPECT_LT(w->pivot().Tramos(1).exit_condition.pressao, 0);
    EXPECT_EQ(gun.pressao_real, 0.0);
    EXPECT_EQ(gun.pressao_actuante, 100.0);
    EXPECT_DOUBLE_EQ(gun.caudal_do_aspersor, 20);
    EXPECT_DOUBLE_EQ(w->totalComputedDischarge(), 20);
}

TEST(Convergence, PlainIterationKeepsItsExactResults) {
    // Replays the plain recurrence with single passes: compute must give the same bits.
    const pivot p = makePivot(2, 50, 250, 100, 30, 250);
    auto s = std::make_shared<FixedStrategy>(nozzle(0.03));
    auto w = wrap(p, s);
    const Drop none = statics().Drops().createNull();
    double qk = p.caudal;
    double qn = w->realPass(qk, none);
    int passes = 1;
    while (std::fabs(qn - qk) > 0.00001) {
        qk = qn;
        qn = w->realPass(qk, none);
        ++passes;
    }
    const pivot replay = w->pivot();
    auto w2 = wrap(p, s);
    w2->compute(none);
    EXPECT_EQ(w2->lastConvergence(), Convergence::Plain);
    EXPECT_EQ(w2->lastIterations(), passes);
    EXPECT_EQ(w2->totalComputedDischarge(), qn);
    for (int k = 1; k <= w2->numeroTotalDeSaidas(); ++k) {
        EXPECT_EQ(w2->saidaAt(k).pressao_real,
                  statics().Pivots().saidaAt(const_cast<pivot&>(replay), k).pressao_real);
    }
}

TEST(Convergence, TwoCycleIsSettledByTheSafeguardedSearch) {
    // One 100 m span of 60 mm pipe at 300 kPa with nozzles a = 0.04: the plain passes
    // alternate between about 4.55 and 27.57 L/s for ever; the fixed point is near 18.9.
    const pivot p = makePivot(1, 100, 250, 60, 50, 300);
    auto s = std::make_shared<FixedStrategy>(nozzle(0.04));
    auto probe = wrap(p, s);
    const Drop none = statics().Drops().createNull();
    double q = 50;
    double seq[40];
    for (double& x : seq) {
        q = probe->realPass(q, none);
        x = q;
    }
    EXPECT_GT(std::fabs(seq[39] - seq[38]), 20) << "the plain passes must still alternate";
    EXPECT_NEAR(seq[39], seq[37], 1e-6);

    auto w = wrap(p, s);
    w->compute(none);
    EXPECT_EQ(w->lastConvergence(), Convergence::Safeguarded);
    EXPECT_LE(w->lastIterations(), PivotWrapper::kMaxPlainPasses + 200);
    const double inlet = w->pivot().Tramos(1).entry_conditions.caudal;
    const double drawn = w->totalComputedDischarge();
    EXPECT_LE(std::fabs(inlet - drawn), 1e-5);
    // Between the two values of the cycle (physically: more inlet, less drawn).
    EXPECT_GT(drawn, 10);
    EXPECT_LT(drawn, 25);
    // The settled state is a fixed point: one more plain pass from it moves less than 1e-5.
    EXPECT_LE(std::fabs(w->realPass(drawn, none) - drawn), 2e-5);
}

TEST(Convergence, FlippingChoiceRaisesWithTheLastPassReadable) {
    // One outlet whose nozzle is mounted only while it has at least 250 kPa: at high inlet
    // discharge friction drops it below, it then draws nothing, friction vanishes and it is
    // mounted again. No inlet discharge equals what is drawn.
    const pivot p = makePivot(1, 2.5, 250, 25, 5, 300);
    auto big = nozzle(0.3);
    auto s = std::make_shared<ChoiceStrategy>(
        [&](const saida& o) { return o.pressao_actuante >= 250 ? big : nullptr; });
    auto w = wrap(p, s);
    try {
        w->compute(statics().Drops().createNull());
        FAIL() << "the flipping choice must not converge";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::ComputationDidNotConverge);
    }
    EXPECT_GT(w->lastIterations(), 2);
    EXPECT_EQ(w->lastConvergence(), Convergence::None);
    EXPECT_TRUE(std::isfinite(w->saidaAt(1).pressao_real));
}

TEST(Wrapper, QueriesAndExtractedChart) {
    pivot p = makePivot(2, 10, 250, 100, 10, 100);
    statics().Pivots().setOverhangSpan(p, statics().Tramos().newTramo(9, "OH", 5, 80, 250));
    statics().Pivots().setEndGun(p, statics().Gun().newGun(10));
    auto a = nozzle(0.02);
    auto s = std::make_shared<FixedStrategy>(a);
    auto w = wrap(p, s);
    w->setEndGunBoost(30);
    w->setTimeForCompleteRevolution(20);
    w->calculate();
    EXPECT_EQ(w->numeroTotalDeSaidas(), 8);
    EXPECT_DOUBLE_EQ(w->getLongitudeTotal(), 25);
    EXPECT_TRUE(w->hasEndGun());
    const ParPressaoCaudal gun = w->getPressaoCaudalAt({-1, -1});
    EXPECT_DOUBLE_EQ(gun.pressao, w->pivot().endGun.saida.pressao_actuante);
    const ParPressaoCaudal oh = w->getPressaoCaudalAt({3, 2});
    EXPECT_DOUBLE_EQ(oh.caudal, w->pivot().tramoVOladizo.Saidas(2).caudal);
    EXPECT_EQ(w->getPressaoCaudalAt({4, 1}).caudal, 0.0);
    EXPECT_THROW(w->getPressaoCaudalAt({1, 5}), Error);

    const auto samples = w->WaterDepthsSamples(false);
    EXPECT_EQ(samples.Length(), 8 + 2 + 1);
    EXPECT_DOUBLE_EQ(samples(1).distanceFromCenter, 2.5);

    auto chart = w->extractCarta();
    EXPECT_EQ(chart->mountedAspersores().Count(), 11);
    EXPECT_TRUE(chart->hasMountedAspersorAt({3, 2}));
    EXPECT_TRUE(chart->hasMountedAspersorAt({-1, -1}));
    EXPECT_EQ(chart->getEndGunBoost(), 30);
    EXPECT_EQ(chart->mountedAspersorAt({2, 4})->Aspersor(), a);

    pivot out;
    w->update(out);
    EXPECT_EQ(out.caudaDaCartaAssociada, w->totalComputedDischarge());
}

TEST(Wrapper, GunCoordinatesWithoutGunAreOutOfRange) {
    auto w = wrap(makePivot(1, 10, 250, 100, 10, 100));
    try {
        w->getPressaoCaudalAt({-1, -1});
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::SubscriptOutOfRange);
    }
}

}  // namespace
}  // namespace quarvex
