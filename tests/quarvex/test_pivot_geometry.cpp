// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include "quarvex_test_support.h"

#include <cmath>

using namespace quarvex;

namespace {

constexpr double kPi = 3.14159265358979;

// Two spans of 10 and 12 outlets (25 m at 250 cm, 30 m at 250 cm) from a pivot at 100 m.
struct TwoSpanPivot : ::testing::Test {
    Statics s;
    pivot p = s.newPivot();
    void SetUp() override {
        p.cota = 100;
        Array<tramo> spans;
        spans.Push(s.Tramos().newTramo(1, "S1", 25, 160, 250));
        spans.Push(s.Tramos().newTramo(2, "S2", 30, 140, 250));
        s.Pivots().setFixedSpans(p, spans, Array<double>{101, 99});
    }
};

}  // namespace

TEST(Tramos, OutletArrayCompletenessAndConsumedDischarge) {
    Tramos t;
    tramo span = t.newTramo(7, "Span 54.8", 54.8, 162, 250, 102.0);
    EXPECT_EQ(span.Saidas.Length(), 21);  // floor(54.8 / 2.5)
    EXPECT_DOUBLE_EQ(span.separacionSaidas, 2.5);
    EXPECT_EQ(span.cota, 102.0);
    EXPECT_TRUE(span.p_complete);
    EXPECT_EQ(span.p_outlet_count, 0.0);
    EXPECT_EQ(t.OutletCount(span), 21);
    EXPECT_EQ(span.p_outlet_count, 21);  // cached in the record
    span.Saidas.Push(saida{});
    EXPECT_EQ(t.OutletCount(span), 21) << "the cache answers until it is reset";
    span.p_outlet_count = 0;
    EXPECT_EQ(t.OutletCount(span), 22);

    tramo noSpacing = t.newTramo(8, "bad", 40, 150, 0);
    EXPECT_EQ(noSpacing.Saidas.Length(), 0);
    EXPECT_FALSE(noSpacing.p_complete);
    noSpacing.site = Types().newPlacement(0, 0, 40);
    EXPECT_FALSE(t.isComplete(noSpacing));
    EXPECT_FALSE(t.isComplete(t.newTramo(9, "negative", 40, 150, -10)));

    // Complete needs a valid placement as well as the outlets.
    tramo steep = t.newTramo(10, "steep", 30, 150, 300);
    steep.site = Types().newPlacement(0, 30, 30);
    EXPECT_FALSE(t.isComplete(steep));
    steep.site = Types().newPlacement(0, 29.9, 30);
    EXPECT_TRUE(t.isComplete(steep));

    tramo flows = t.newTramo(11, "flows", 30, 150, 300);
    flows.ideal_entry_conditions = {300, 10};
    flows.ideal_exit_conditions = {280, 6};
    flows.entry_conditions = {300, 10};
    flows.exit_condition = {281, 7};
    EXPECT_DOUBLE_EQ(t.IdealConsumedDischarge(flows), 4);
    EXPECT_DOUBLE_EQ(t.ConsumedDischarge(flows), 3);
    EXPECT_DOUBLE_EQ(t.DischargeVariation(flows), 0.25);

    Array<tramo> a{t.newTramo(1, "a", 10, 1, 100), t.newTramo(2, "b", 10, 1, 100)};
    Array<tramo> b{t.newTramo(1, "x", 99, 9, 300), t.newTramo(2, "y", 5, 1, 100)};
    EXPECT_TRUE(t.AllEqual(a, b));  // only ids count
    b(2).id = 3;
    EXPECT_FALSE(t.AllEqual(a, b));
    EXPECT_FALSE(t.AllEqual(a, Array<tramo>{a(1)}));
    EXPECT_TRUE(t.AllComplete(Array<tramo>{}));
}

TEST_F(TwoSpanPivot, OutletNumberingAcrossSpans) {
    Pivots& pv = s.Pivots();
    EXPECT_EQ(pv.FixedSpanOutletCount(p), 22);
    auto at = [&](int n) {
        const Array<int> r = pv.saida2TramoeSaida(p, n);
        return std::make_pair(r(1), r(2));
    };
    EXPECT_EQ(at(1), std::make_pair(1, 1));
    EXPECT_EQ(at(10), std::make_pair(1, 10));
    EXPECT_EQ(at(11), std::make_pair(2, 1));
    EXPECT_EQ(at(22), std::make_pair(2, 12));
    EXPECT_EQ(errorOf([&] { pv.saida2TramoeSaida(p, 23); }), errc::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { pv.saida2TramoeSaida(p, 0); }), errc::SubscriptOutOfRange);

    pv.saidaAt(p, 11).caudal = 0.5;
    EXPECT_EQ(p.Tramos(2).Saidas(1).caudal, 0.5);
    EXPECT_EQ(errorOf([&] { pv.saidaAt(p, 23); }), errc::SubscriptOutOfRange);
}

TEST_F(TwoSpanPivot, ElevationsLengthsAndArea) {
    Pivots& pv = s.Pivots();
    EXPECT_EQ(p.Tramos(1).site.start_cota, 100);
    EXPECT_EQ(p.Tramos(1).site.end_cota, 101);
    EXPECT_EQ(p.Tramos(2).site.start_cota, 101);
    EXPECT_EQ(p.Tramos(2).site.end_cota, 99);
    EXPECT_EQ(p.Tramos(2).site.Length, 30);

    EXPECT_EQ(pv.tramoAte(p, 0), 0);
    EXPECT_EQ(pv.tramoAte(p, 1), 25);
    EXPECT_EQ(pv.tramoAte(p, pv.FixedSpansCount(p)), pv.AllSpanLenght(p));
    EXPECT_EQ(pv.AllIrrigatedLenght(p), pv.AllSpanLenght(p));
    EXPECT_EQ(pv.AllOutletCount(p), 22);
    EXPECT_EQ(pv.allSpansCount(p), 2);

    pv.setOverhangSpan(p, s.Tramos().newTramo(9, "OH", 10, 100, 200));
    pv.setEndGun(p, s.Gun().newGun(15));
    EXPECT_EQ(pv.AllSpanLenght(p), 65);
    EXPECT_EQ(pv.AllIrrigatedLenght(p), 80);
    EXPECT_DOUBLE_EQ(pv.IrrigatedArea(p), kPi * 80 * 80);
    EXPECT_EQ(pv.AllSpanOutletCount(p), 27);
    EXPECT_EQ(pv.AllOutletCount(p), 28);
    EXPECT_EQ(pv.allSpansCount(p), 3);

    pv.removeEndGun(p);
    pv.removeOverhangSpan(p);
    EXPECT_EQ(pv.AllIrrigatedLenght(p), 55);
    EXPECT_EQ(p.tramoVOladizo.denominacion, "OH") << "removal only clears the flag";
}

TEST_F(TwoSpanPivot, OverhangContinuesTheSlopeOfTheLastSpan) {
    Pivots& pv = s.Pivots();
    pv.setOverhangSpan(p, s.Tramos().newTramo(9, "OH", 12, 100, 200));
    const double angle = std::asin(-2.0 / 30.0);
    EXPECT_EQ(p.tramoVOladizo.site.start_cota, 99);
    EXPECT_NEAR(p.tramoVOladizo.site.end_cota, 99 + 12 * std::sin(angle), 1e-12);
    EXPECT_EQ(p.Tramos(2).site.p_angle, 0.0) << "the last span's cache must not be written";

    pv.removeFixedSpans(p);
    EXPECT_EQ(pv.FixedSpansCount(p), 0);
    EXPECT_EQ(p.tramoVOladizo.site.start_cota, 0);
    EXPECT_EQ(p.tramoVOladizo.site.end_cota, 0);
    EXPECT_EQ(p.tramoVOladizo.site.Length, 1);
}

TEST(Pivots, OverhangSetBeforeTheSpansIsPlacedWithThem) {
    Statics s;
    pivot p = s.newPivot();
    p.cota = 50;
    tramo oh = s.Tramos().newTramo(9, "OH", 10, 100, 200);
    oh.site = Types().newPlacement(7, 7, 10);
    s.Pivots().setOverhangSpan(p, oh);
    EXPECT_EQ(p.tramoVOladizo.site.start_cota, 7) << "no fixed span: placement untouched";
    s.Pivots().setFixedSpans(p, Array<tramo>{s.Tramos().newTramo(1, "S1", 40, 160, 400)},
                             Array<double>{54});
    EXPECT_EQ(p.tramoVOladizo.site.start_cota, 54);
    EXPECT_NEAR(p.tramoVOladizo.site.end_cota, 54 + 10 * (4.0 / 40.0), 1e-12);
}

TEST(Pivots, CompletenessRegulatorsAndIdealReset) {
    Statics s;
    Pivots& pv = s.Pivots();
    pivot p = s.newPivot();
    p.presion = 300;
    p.caudal = 50;
    p.rugosidad = 140;
    pv.setFixedSpans(p,
                     Array<tramo>{s.Tramos().newTramo(1, "S1", 40, 160, 400),
                                  s.Tramos().newTramo(2, "S2", 40, 160, 400)},
                     Array<double>{1, 2});
    EXPECT_TRUE(pv.isComplete(p));
    p.rugosidad = 0;
    EXPECT_FALSE(pv.isComplete(p));
    p.rugosidad = 140;
    pv.setEndGun(p, s.Gun().newGun(0));
    EXPECT_FALSE(pv.isComplete(p)) << "a gun without wetted radius";
    pv.setEndGun(p, s.Gun().newGun(18));
    EXPECT_TRUE(pv.isComplete(p));
    pv.setOverhangSpan(p, s.Tramos().newTramo(9, "OH", 10, 100, 0));
    EXPECT_FALSE(pv.isComplete(p)) << "an overhang without outlets";

    regulador r;
    r.Preg = 140;
    pv.aplicaRegulador(p, Array<std::optional<regulador>>{std::nullopt, r});
    EXPECT_FALSE(p.Tramos(1).temRegulador);
    EXPECT_TRUE(p.Tramos(2).temRegulador);
    EXPECT_EQ(p.Tramos(2).regulador.Preg, 140);
    const auto back = pv.recolheReguladores(p);
    ASSERT_EQ(back.Length(), 2);
    EXPECT_FALSE(back(1).has_value());
    EXPECT_EQ(back(2)->Preg, 140);
    EXPECT_EQ(errorOf([&] { pv.aplicaRegulador(p, Array<std::optional<regulador>>{r}); }),
              errc::SubscriptOutOfRange);

    p.Tramos(1).perdaDeCargaIdeal = 12;
    p.tramoVOladizo.perdaDeCargaIdeal = 3;
    p.endGun.saida.caudal = 1.2;
    p.endGun.saida.pressao_ideal = 90;
    pv.ResetIdealData(p);
    EXPECT_EQ(p.Tramos(1).perdaDeCargaIdeal, 0);
    EXPECT_EQ(p.tramoVOladizo.perdaDeCargaIdeal, 0);
    EXPECT_EQ(p.endGun.saida.caudal, 0);
    EXPECT_EQ(p.endGun.saida.pressao_ideal, 0);
}

TEST(Pivots, MaximumApplicationRate) {
    Statics s;
    pivot p = s.newPivot();
    s.Pivots().setFixedSpans(p, Array<tramo>{s.Tramos().newTramo(1, "S1", 400, 160, 250)},
                             Array<double>{0});
    p.caudaDaCartaAssociada = 50;
    // (Q / R²) × (4 / π) × 3600 × (r / (w / 2)) with Q 50 L/s, R 400 m, r 300 m, w 30 m.
    const double expected = (50.0 / (400.0 * 400.0)) * (4 / kPi) * 3600 * (300.0 / 15.0);
    EXPECT_NEAR(s.Pivots().pluviosidadeMaxima(p, s.newPivotSample(300, 30, "first_sample")),
                expected, 1e-12);
    EXPECT_EQ(errorOf([&] { s.Pivots().pluviosidadeMaxima(p, s.newPivotSample(300, 0, "x")); }),
              errc::DivisionByZero);
    pivot empty = s.newPivot();
    EXPECT_EQ(
        errorOf([&] { s.Pivots().pluviosidadeMaxima(empty, s.newPivotSample(300, 30, "x")); }),
        errc::DivisionByZero)
        << "an irrigated radius of 0";
}

TEST(Pivots, MachinesLargerThanTheLibraryComputesAreRefusedBeforeUse) {
    Statics s;
    const Tramos& tramos = s.Tramos();
    // One span: 20,000 outlets are accepted, one more is refused before the array exists.
    EXPECT_EQ(tramos.newTramo(1, "S", 20000, 160, 100).Saidas.Length(), kMaxOutlets);
    EXPECT_EQ(errorOf([&] { (void)tramos.newTramo(1, "S", 20001, 160, 100); }),
              errc::TooManyOutlets);
    EXPECT_EQ(errorOf([&] { (void)tramos.newTramo(1, "S", 1e308, 160, 1e-300); }),
              errc::TooManyOutlets);  // an infinite count as well
    EXPECT_EQ(errorOf([&] { (void)tramos.newTramo(1, "S", std::nan(""), 160, 100); }),
              errc::TooManyOutlets);

    // Spans: 200 accepted, 201 refused; the pivot is left as it was.
    pivot p = s.newPivot();
    Array<tramo> spans;
    Array<double> heights;
    for (int i = 1; i <= kMaxSpans; ++i) {
        spans.Push(tramos.newTramo(i, "S", 50, 160, 500));  // 10 outlets each
        heights.Push(0);
    }
    s.Pivots().setFixedSpans(p, spans, heights);
    EXPECT_EQ(s.Pivots().FixedSpansCount(p), 200);
    spans.Push(tramos.newTramo(201, "S", 50, 160, 500));
    heights.Push(0);
    EXPECT_EQ(errorOf([&] { s.Pivots().setFixedSpans(p, spans, heights); }), errc::TooManySpans);
    EXPECT_EQ(s.Pivots().FixedSpansCount(p), 200);
    // A missing height is refused before anything changes.
    pivot q = s.newPivot();
    EXPECT_EQ(errorOf([&] {
                  s.Pivots().setFixedSpans(q, Array<tramo>{tramos.newTramo(1, "S", 50, 160, 500)},
                                           Array<double>{});
              }),
              errc::SubscriptOutOfRange);
    EXPECT_EQ(s.Pivots().FixedSpansCount(q), 0);

    // Outlets over all spans: 2 × 10,000 fit, an overhang of one more outlet does not.
    pivot r = s.newPivot();
    const tramo half = tramos.newTramo(1, "S", 10000, 160, 100);
    s.Pivots().setFixedSpans(r, Array<tramo>{half, half}, Array<double>{0, 0});
    EXPECT_EQ(errorOf([&] { s.Pivots().setOverhangSpan(r, tramos.newTramo(9, "O", 1, 100, 100)); }),
              errc::TooManyOutlets);
    EXPECT_FALSE(s.Pivots().hasOverHang(r));
    pivot t = s.newPivot();
    s.Pivots().setOverhangSpan(t, tramos.newTramo(9, "O", 1, 100, 100));
    EXPECT_EQ(errorOf([&] {
                  s.Pivots().setFixedSpans(t, Array<tramo>{half, half}, Array<double>{0, 0});
              }),
              errc::TooManyOutlets);

    // A record assembled by hand is checked by the wrapper.
    pivot big = r;
    big.Tramos.Push(tramos.newTramo(3, "S", 10, 160, 100));
    EXPECT_EQ(errorOf([&] { (void)s.newPivotWrapper(big, std::make_shared<CalculosStrategy>()); }),
              errc::TooManyOutlets);
    EXPECT_EQ(errorOf([&] { s.Pivots().checkSize(big); }), errc::TooManyOutlets);
    EXPECT_EQ(errorOf([&] { s.Pivots().checkSize(r); }), 0);
}
