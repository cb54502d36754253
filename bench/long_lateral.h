// SPDX-License-Identifier: GPL-3.0-or-later
//
// A lateral of many outlets for the benchmarks of the indicator tab: 20 spans of 50 m with
// the outlets spaced so that the pivot has `outlets` of them, one nozzle size on every
// outlet (the depth then falls with the distance, so many outlets depart from the average:
// the heaviest case for the marks), computed as the manual chart is.
#pragma once

#include <quarvex/quarvex.h>

#include <cmath>
#include <memory>
#include <string>

#include "design/manual_strategy.h"
#include "design/outlet_warnings.h"

namespace kambrix::bench {

inline std::shared_ptr<quarvex::PivotWrapper> longLateral(int outlets) {
    auto& st = quarvex::statics();
    constexpr int kSpans = 20;
    constexpr double kSpanLength = 50;  // m
    quarvex::pivot p = st.newPivot();
    p.caudal = 70;
    p.presion = 400;
    p.rugosidad = 140;
    p.cota = 100;
    quarvex::Array<quarvex::tramo> spans;
    quarvex::Array<double> heights;
    const double spacing_cm = 100.0 * kSpanLength / (static_cast<double>(outlets) / kSpans);
    for (int i = 1; i <= kSpans; ++i) {
        spans.Push(st.Tramos().newTramo(i, "S" + std::to_string(i), kSpanLength, 203.2,
                                        spacing_cm * 0.9999999, 100.0));
        heights.Push(100.0);
    }
    st.Pivots().setFixedSpans(p, spans, heights);
    quarvex::modelo m;
    m.nome = "Spray";
    m.marca.nome = "Bench";
    // Together the nozzles draw about the design discharge near 300 kPa.
    const double a = p.caudal / (static_cast<double>(outlets) * std::sqrt(300.0));
    const auto nozzle = st.Aspersores().newAspersor("One size", a, 0.5, 1, 2000, a, 100 * a, m);
    auto strategy = std::make_shared<ManualStrategy>();
    for (const auto& ref : outletsInOrder(p)) {
        strategy->addAspersorAt(ref.at, nozzle);
    }
    auto wrapper = st.newPivotWrapper(p, strategy);
    wrapper->calculate();
    return wrapper;
}

}  // namespace kambrix::bench
