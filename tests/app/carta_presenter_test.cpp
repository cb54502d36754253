// SPDX-License-Identifier: GPL-3.0-or-later
//
// The outlet grid without a window: columns, row texts, the row-to-outlet map, one-row
// redraws, the CSV export, and the warning flags of an outlet.
#include <gtest/gtest.h>

#include "design/carta_presenter.h"
#include "design/manual_strategy.h"
#include "design/outlet_warnings.h"
#include "design/work_pivot.h"
#include "shell/number_text.h"

namespace kambrix {
namespace {

using namespace quarvex;

// Two spans (21 and 20 outlets), optionally an overhang (5 outlets) and an end gun.
pivot handPivot(bool overhang, bool gun) {
    auto& st = statics();
    pivot p = st.newPivot();
    p.caudal = 20;
    p.presion = 250;
    p.rugosidad = 140;
    p.cota = 100;
    Array<tramo> spans;
    spans.Push(st.Tramos().newTramo(1, "S1", 54.8, 162, 250, 101.0));
    spans.Push(st.Tramos().newTramo(2, "S2", 50, 162, 250, 100.0));
    st.Pivots().setFixedSpans(p, spans, Array<double>{101.0, 100.0});
    if (overhang) {
        st.Pivots().setOverhangSpan(p, st.Tramos().newTramo(9, "OH", 10, 100, 200));
    }
    if (gun) {
        st.Pivots().setEndGun(p, st.Gun().newGun(20));
    }
    return p;
}

std::shared_ptr<Aspersor> nozzle(const std::string& name, double a, double pmin = 40,
                                 double pmax = 400) {
    modelo m;
    m.nome = "Spray";
    m.marca.nome = "Demo";
    return statics().Aspersores().newAspersor(name, a, 0.5, pmin, pmax, 0.001, 10, m);
}

class Recorder : public OutletGridSink {
  public:
    void tableReset(const std::vector<GridColumn>& columns,
                    const std::vector<OutletRow>& rows) override {
        ++resets;
        this->columns = columns;
        this->rows = rows;
    }
    void rowChanged(int row, const OutletRow& cells) override {
        changed.push_back(row);
        rows.at(static_cast<std::size_t>(row)) = cells;
    }
    int resets = 0;
    std::vector<GridColumn> columns;
    std::vector<OutletRow> rows;
    std::vector<int> changed;
};

TEST(CartaAspersorPresenter, HeadingsWidthsAndTwips) {
    const auto& c = outletGridColumns();
    ASSERT_EQ(c.size(), static_cast<std::size_t>(column::Count));
    const std::vector<std::pair<std::string, int>> fixed = {
        {"Span", 800},      {"Outlet", 600},     {"rj (m)", 1000},     {"qj (L s-1)", 1000},
        {"Pj (kPa)", 1000}, {"Paj (kPa)", 1000}, {"PRgj (kPa)", 1000}, {"Nozzle", 800}};
    for (std::size_t i = 0; i < fixed.size(); ++i) {
        EXPECT_EQ(c[i].heading, fixed[i].first) << "column " << i;
        EXPECT_EQ(c[i].widthTwips, fixed[i].second) << "column " << i;
    }
    EXPECT_EQ(c[column::Discharge].heading, "qaj (L s-1)");
    EXPECT_EQ(c[column::Model].heading, "Model");
    EXPECT_EQ(c[column::Manufacture].heading, "Manufacture");
    for (const auto& col : c) {
        EXPECT_GT(col.widthTwips, 0) << col.heading;
    }
    // 1440 twips are one inch.
    EXPECT_EQ(twipsToPixels(1440, 96), 96);
    EXPECT_EQ(twipsToPixels(800, 96), 53);  // 53.33
    EXPECT_EQ(twipsToPixels(1000, 144), 100);
    EXPECT_EQ(twipsToPixels(600, 120), 50);
}

TEST(CartaAspersorPresenter, RowsAndMapWithAndWithoutOverhangAndGun) {
    CartaAspersorPresenter presenter;
    presenter.init(nullptr);
    auto draw = [&](const pivot& p) {
        WorkPivot w;
        w.init(&presenter, statics().newPivotWrapper(p, std::make_shared<ManualStrategy>()));
        w.show();
    };

    draw(handPivot(false, false));
    ASSERT_EQ(presenter.rows().size(), 41u);
    EXPECT_EQ(presenter.rows()[0].cells[column::Span], "Tower 1");
    EXPECT_EQ(presenter.rows()[0].cells[column::Outlet], "1");
    EXPECT_EQ(presenter.rows()[21].cells[column::Span], "Tower 2");
    EXPECT_EQ(presenter.rows()[21].cells[column::Outlet], "1");
    EXPECT_EQ(presenter.translateRowToCoordenadas(20), (CoordenadasSaida{1, 21}));
    EXPECT_EQ(presenter.translateRowToCoordenadas(40), (CoordenadasSaida{2, 20}));
    EXPECT_FALSE(presenter.translateRowToCoordenadas(41));
    EXPECT_FALSE(presenter.translateRowToCoordenadas(-1));

    draw(handPivot(true, false));
    ASSERT_EQ(presenter.rows().size(), 46u);
    EXPECT_EQ(presenter.translateRowToCoordenadas(41), (CoordenadasSaida{3, 1}));
    EXPECT_EQ(presenter.translateRowToCoordenadas(45), (CoordenadasSaida{3, 5}));
    // The overhang's rows carry its one name; its outlets stay span 3 in the map.
    EXPECT_EQ(presenter.rows()[41].cells[column::Span], "Over hang");
    EXPECT_EQ(presenter.rows()[45].cells[column::Span], "Over hang");
    EXPECT_EQ(presenter.rows()[40].cells[column::Span], "Tower 2");

    draw(handPivot(false, true));
    ASSERT_EQ(presenter.rows().size(), 42u);
    EXPECT_EQ(presenter.translateRowToCoordenadas(41), (CoordenadasSaida{-1, -1}));
    EXPECT_EQ(presenter.rows()[41].cells[column::Span], "End Gun");
    EXPECT_EQ(presenter.rows()[41].cells[column::Outlet], "");

    draw(handPivot(true, true));
    ASSERT_EQ(presenter.rows().size(), 47u);
    EXPECT_EQ(presenter.translateRowToCoordenadas(45), (CoordenadasSaida{3, 5}));
    EXPECT_EQ(presenter.translateRowToCoordenadas(46), (CoordenadasSaida{-1, -1}));
    EXPECT_EQ(presenter.rowOf({-1, -1}), 46);
    EXPECT_EQ(presenter.rowOf({2, 1}), 21);
    EXPECT_EQ(presenter.rowOf({4, 1}), -1);
}

TEST(CartaAspersorPresenter, CellFormatsFollowTheComputedPivot) {
    auto strategy = std::make_shared<ManualStrategy>();
    auto w = statics().newPivotWrapper(handPivot(true, true), strategy);
    const auto a = nozzle("N-1", 0.01);
    strategy->addAspersorAt({1, 3}, a);
    strategy->carta()->getReguladores()->Add(statics().newReguladorPression(2, 140, 0, 0, true));
    w->calculate();
    const pivot& p = w->pivot();

    const auto rows = buildOutletRows(p, ',');
    ASSERT_EQ(rows.size(), 47u);
    const saida& o = p.Tramos(1).Saidas(3);
    const OutletRow& r = rows[2];
    EXPECT_EQ(r.cells[column::Nozzle], "N-1");
    EXPECT_EQ(r.cells[column::Model], "Spray");
    EXPECT_EQ(r.cells[column::Manufacture], "Demo");
    // Sprinkler discharges "0.000", distances "0.00", pressures "0.0", in the screen's notation.
    EXPECT_EQ(r.cells[column::Discharge], formatDecimals(o.caudal_do_aspersor, 3, ','));
    EXPECT_NE(r.cells[column::Discharge].find(','), std::string::npos);
    EXPECT_EQ(r.cells[column::Distance], "7,50");
    EXPECT_EQ(r.cells[column::IdealDischarge], formatDecimals(o.caudal, 3, ','));
    EXPECT_EQ(r.cells[column::IdealPressure], formatDecimals(o.pressao_ideal, 1, ','));
    EXPECT_EQ(r.cells[column::Pressure], formatDecimals(o.pressao_real, 1, ','));
    EXPECT_EQ(r.warnings & warning::NoSprinkler, 0u);
    // Outlets without sprinkler have empty sprinkler cells and the flag.
    EXPECT_EQ(rows[0].cells[column::Nozzle], "");
    EXPECT_EQ(rows[0].cells[column::Discharge], "");
    EXPECT_TRUE(rows[0].warnings & warning::NoSprinkler);
    EXPECT_EQ(rows[0].cells[column::Warnings], "No sprinkler");
    // On the regulated span the sprinkler works at the regulated pressure.
    EXPECT_EQ(rows[21].cells[column::ActingPressure], "140,0");
}

TEST(CartaAspersorPresenter, RedrawsOneRowOnly) {
    Recorder grid;
    CartaAspersorPresenter presenter;
    presenter.init(&grid, '.');
    auto strategy = std::make_shared<ManualStrategy>();
    WorkPivot wp;
    wp.init(&presenter, statics().newPivotWrapper(handPivot(false, true), strategy));
    wp.calculate();
    wp.show();
    ASSERT_EQ(grid.resets, 1);
    ASSERT_EQ(grid.columns.size(), static_cast<std::size_t>(column::Count));
    const auto before = grid.rows;

    const auto a = nozzle("N-2", 0.02);
    presenter.mostraAspersor(5, wp.inner()->pivot(), a);
    EXPECT_EQ(grid.resets, 1);
    ASSERT_EQ(grid.changed, std::vector<int>{5});
    const saida& o = wp.inner()->pivot().Tramos(1).Saidas(6);
    EXPECT_EQ(grid.rows[5].cells[column::Nozzle], "N-2");
    EXPECT_EQ(grid.rows[5].cells[column::Discharge],
              formatDecimals(a->calculate(o.pressao_actuante), 3, '.'));
    EXPECT_EQ(grid.rows[5].warnings & warning::NoSprinkler, 0u);
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i != 5) {
            EXPECT_EQ(grid.rows[i].cells, before[i].cells) << "row " << i;
        }
    }
    // Unchanged columns of the row itself stay as they were.
    EXPECT_EQ(grid.rows[5].cells[column::Distance], before[5].cells[column::Distance]);

    presenter.limpaLinhaDeAspersor(5, wp.inner()->pivot());
    EXPECT_EQ(grid.changed, (std::vector<int>{5, 5}));
    EXPECT_EQ(grid.rows[5].cells, before[5].cells);
    // A row outside the grid changes nothing.
    presenter.mostraAspersor(99, wp.inner()->pivot(), a);
    EXPECT_EQ(grid.changed.size(), 2u);
}

TEST(CartaAspersorPresenter, CsvExportIsLocaleFree) {
    auto strategy = std::make_shared<ManualStrategy>();
    auto w = statics().newPivotWrapper(handPivot(true, true), strategy);
    strategy->addAspersorAt({1, 1}, nozzle("A, \"quoted\"", 0.01));
    w->calculate();
    const std::string csv = outletTableCsv(w->pivot());
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u) << "UTF-8 byte-order mark first";
    EXPECT_EQ(
        csv.substr(3, csv.find("\r\n") - 3),
        "Span,Outlet,rj (m),qj (L s-1),Pj (kPa),Paj (kPa),PRgj (kPa),Nozzle,qaj (L s-1),Model,"
        "Manufacture,Warnings");
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = csv.find("\r\n", at)) != std::string::npos; at += 2) {
        ++lines;
    }
    EXPECT_EQ(lines, 48u);  // heading + 47 outlets
    EXPECT_NE(csv.find("Tower 1,1,2.50,"), std::string::npos);
    EXPECT_NE(csv.find("\"A, \"\"quoted\"\"\""), std::string::npos);
    EXPECT_NE(csv.find("End Gun,,"), std::string::npos);
}

TEST(OutletWarnings, HandBuiltCases) {
    const auto a = nozzle("W", 0.01, 100, 300);
    tramo regulated;
    regulated.temRegulador = true;
    regulated.regulador.Preg = 140;
    tramo plain;
    saida o;
    o.pressao_actuante = 140;

    // The regulator needs its set pressure plus 35 kPa at its inlet.
    o.pressao_real = 174.9;
    EXPECT_EQ(outletWarnings(o, &regulated, a.get()), warning::StarvedRegulator);
    o.pressao_real = 175;
    EXPECT_EQ(outletWarnings(o, &regulated, a.get()), warning::None);
    EXPECT_EQ(outletWarnings(o, &plain, a.get()), warning::None);

    // Acting pressure against the sprinkler's range; both limits belong to it.
    o.pressao_real = 200;
    o.pressao_actuante = 99.9;
    EXPECT_EQ(outletWarnings(o, &plain, a.get()), warning::LowPressure);
    o.pressao_actuante = 100;
    EXPECT_EQ(outletWarnings(o, &plain, a.get()), warning::None);
    o.pressao_actuante = 300;
    EXPECT_EQ(outletWarnings(o, &plain, a.get()), warning::None);
    o.pressao_actuante = 300.1;
    EXPECT_EQ(outletWarnings(o, &plain, a.get()), warning::HighPressure);

    // Nothing left in the pipe, and no sprinkler: both flagged; the gun has no span.
    o.pressao_real = 0;
    o.pressao_actuante = 0;
    EXPECT_EQ(outletWarnings(o, nullptr, nullptr), warning::NoSprinkler | warning::NoPressure);
    EXPECT_EQ(warningText(warning::NoSprinkler | warning::NoPressure), "No sprinkler, No pressure");
    EXPECT_EQ(warningText(warning::None), "");
    EXPECT_NE(warningLegendText().find("35 kPa"), std::string::npos);
}

TEST(OutletWarnings, StarvedRegulatorAndRangeInAComputedPivot) {
    // A regulator set at 240 kPa on span 2, where the pipe holds about 245 kPa: every outlet
    // there is starved, and a nozzle rated up to 200 kPa works above its range.
    auto strategy = std::make_shared<ManualStrategy>();
    auto w = statics().newPivotWrapper(handPivot(false, false), strategy);
    const auto small = nozzle("S", 0.005, 40, 200);
    for (int k = 1; k <= 20; ++k) {
        strategy->addAspersorAt({2, k}, small);
    }
    strategy->carta()->getReguladores()->Add(statics().newReguladorPression(2, 240, 0, 0, true));
    w->calculate();
    const auto s = summarize(*w, true);
    EXPECT_EQ(s.settlement, Settlement::Plain);
    EXPECT_EQ(s.outlets, 41);
    EXPECT_EQ(s.sprinklers, 20);
    EXPECT_EQ(s.distinctNozzles, 1);
    EXPECT_EQ(s.noSprinkler, 21);
    EXPECT_EQ(s.outOfRange, 20);
    EXPECT_EQ(s.noPressure, 0);
    for (const auto& o : w->pivot().Tramos(2).Saidas) {
        ASSERT_LT(o.pressao_real, 240 + kRegulatorMargin_kPa);
        EXPECT_DOUBLE_EQ(o.pressao_actuante, 240);
    }
    EXPECT_EQ(s.starvedRegulator, 20);
    EXPECT_EQ(s.withWarnings, 41);
    EXPECT_DOUBLE_EQ(s.chartDischarge, 20 * small->calculate(240));
    const std::string text = summaryText(s, '.');
    EXPECT_NE(text.find("settled"), std::string::npos) << text;
    EXPECT_NE(text.find("41 outlets with warnings"), std::string::npos) << text;
    EXPECT_NE(
        summaryText(summarize(w->pivot(), Settlement::NotSettled, 60), '.').find("NOT SETTLED"),
        std::string::npos);
}

}  // namespace
}  // namespace kambrix
