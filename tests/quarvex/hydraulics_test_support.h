// SPDX-License-Identifier: GPL-3.0-or-later
//
// Small pivots built in code and fixed-choice strategies for the hydraulics tests.
#pragma once

#include <quarvex/quarvex.h>

#include <functional>
#include <memory>

namespace quarvex::testing {

// Mounts the same nozzle on every outlet (and the gun).
class FixedStrategy : public CalculosStrategy {
  public:
    explicit FixedStrategy(std::shared_ptr<Aspersor> a)
        : aspersor(std::move(a)), chart(statics().newCartaAspersores()) {}
    std::shared_ptr<Aspersor> aspersorFor(const saida&) override { return aspersor; }
    std::shared_ptr<CartaAspersores> carta() override { return chart; }
    std::shared_ptr<Aspersor> aspersor;
    std::shared_ptr<CartaAspersores> chart;
};

// Chooses with a function of the outlet.
class ChoiceStrategy : public CalculosStrategy {
  public:
    explicit ChoiceStrategy(std::function<std::shared_ptr<Aspersor>(const saida&)> f)
        : choose(std::move(f)), chart(statics().newCartaAspersores()) {}
    std::shared_ptr<Aspersor> aspersorFor(const saida& s) override { return choose(s); }
    std::shared_ptr<CartaAspersores> carta() override { return chart; }
    std::function<std::shared_ptr<Aspersor>(const saida&)> choose;
    std::shared_ptr<CartaAspersores> chart;
};

inline modelo demoModelo() {
    modelo m;
    m.nome = "Spray";
    m.marca.nome = "Demo";
    return m;
}

inline std::shared_ptr<Aspersor> nozzle(double a, double b = 0.5, double pmax = 1000,
                                        const std::string& name = "n") {
    return statics().Aspersores().newAspersor(name, a, b, 1, pmax, 0.001, 100, demoModelo());
}

// A pivot of equal flat-or-sloping spans: `count` spans of `length` m, outlets every
// `spacing_cm`, pipe `diametro` mm, each span rising by `rise` m.
inline pivot makePivot(int count, double length, double spacing_cm, double diametro, double caudal,
                       double presion, double rugosidad = 140, double rise = 0) {
    auto& st = statics();
    pivot p = st.newPivot();
    p.caudal = caudal;
    p.presion = presion;
    p.rugosidad = rugosidad;
    p.cota = 100;
    Array<tramo> spans;
    Array<double> heights;
    for (int i = 1; i <= count; ++i) {
        spans.Push(st.Tramos().newTramo(i, "S" + std::to_string(i), length, diametro, spacing_cm,
                                        100 + rise * i));
        heights.Push(100 + rise * i);
    }
    st.Pivots().setFixedSpans(p, spans, heights);
    return p;
}

}  // namespace quarvex::testing
