// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/pivot_design.h"

#include <cmath>
#include <memory>

#include "shell/services.h"

namespace kambrix {

int fixedSpanCount(const Projecto& project) {
    const int n = project.Tramos.Length();
    return project.hasVoladizo && n > 0 ? n - 1 : n;
}

bool allSpansDefined(const Projecto& project) {
    for (const auto& t : project.Tramos) {
        if (!t.p_complete || t.longitude <= 0) {
            return false;
        }
    }
    return true;
}

quarvex::pivot buildPivot(const Projecto& project) {
    auto& s = quarvex::statics();
    quarvex::pivot machine = s.newPivot();
    machine.caudal = project.q;
    machine.presion = project.p;
    machine.cota = project.cotaCentral;
    machine.rugosidad = project.pipe_material.rugosidade;
    const int n = fixedSpanCount(project);
    quarvex::Array<quarvex::tramo> spans;
    quarvex::Array<double> cotas;
    for (int i = 1; i <= n; ++i) {
        spans.Push(project.Tramos(i));
        cotas.Push(project.Tramos(i).cota);
    }
    s.Pivots().setFixedSpans(machine, spans, cotas);
    if (project.hasVoladizo && project.Tramos.Length() > n) {
        s.Pivots().setOverhangSpan(machine, project.Tramos(n + 1));
    }
    if (project.hasGun) {
        s.Pivots().setEndGun(machine, s.Gun().newGun(project.endGun.rs));
    }
    return machine;
}

quarvex::pivot computeIdeal(const quarvex::pivot& machine) {
    auto wrapper =
        quarvex::statics().newPivotWrapper(machine, std::make_shared<quarvex::CalculosStrategy>());
    wrapper->computeIdealOperationMode();
    quarvex::pivot out;
    wrapper->update(out);
    return out;
}

namespace {

template <class F>
void forEachSpan(const quarvex::pivot& computed, F&& f) {
    for (int i = 1; i <= computed.Tramos.Length(); ++i) {
        f(i, computed.Tramos(i));
    }
    if (computed.p_has_overhang) {
        f(computed.Tramos.Length() + 1, computed.tramoVOladizo);
    }
}

}  // namespace

std::vector<IdealOutletRow> idealOutletRows(const quarvex::pivot& computed) {
    std::vector<IdealOutletRow> rows;
    forEachSpan(computed, [&](int span, const quarvex::tramo& t) {
        for (int k = 1; k <= t.Saidas.Length(); ++k) {
            const auto& o = t.Saidas(k);
            rows.push_back({span, k, o.distanciaAoPivot, o.cota, o.caudal, o.pressao_ideal});
        }
    });
    if (computed.p_has_end_gun) {
        const auto& o = computed.endGun.saida;
        double elevation = computed.cota;
        if (!rows.empty()) {
            elevation = rows.back().elevation;
        }
        rows.push_back({-1, -1, o.distanciaAoPivot, elevation, o.caudal, o.pressao_ideal});
    }
    return rows;
}

std::vector<IdealSpanRow> idealSpanRows(const quarvex::pivot& computed) {
    std::vector<IdealSpanRow> rows;
    forEachSpan(computed, [&](int span, const quarvex::tramo& t) {
        rows.push_back({span, t.denominacion, t.ideal_entry_conditions, t.ideal_exit_conditions,
                        t.perdaDeCargaIdeal});
    });
    return rows;
}

std::vector<ProfilePoint> radiusProfile(const quarvex::pivot& computed) {
    std::vector<ProfilePoint> points;
    points.push_back({0, computed.cota, computed.presion});
    for (const auto& row : idealOutletRows(computed)) {
        if (row.span == -1) {
            continue;  // the gun throws beyond the pipe; the profile ends at the last outlet
        }
        points.push_back({row.distance, row.elevation, row.pressao});
    }
    return points;
}

quarvex::caixaVelocidades speedBox(quarvex::pivot& machine, double tempoH100) {
    auto& pivots = quarvex::statics().Pivots();
    quarvex::caixaVelocidades box;
    box.tempoH100 = tempoH100;
    const double lastTower = pivots.tramoAte(machine, pivots.FixedSpansCount(machine));
    const double R = pivots.AllIrrigatedLenght(machine);
    for (int i = 1; i <= kSpeedSettings; ++i) {
        auto& v = box.velocidades(i);
        v.percentagem = 10.0 * i;
        if (tempoH100 <= 0) {
            continue;
        }
        v.tempoDeUmaVolta = tempoH100 * kPercent / v.percentagem;
        v.velocidadeLinear = 2 * kPi * lastTower / (v.tempoDeUmaVolta * kMinutesPerHour);
        v.dotacao =
            R > 0 ? machine.caudal * kSecondsPerHour * v.tempoDeUmaVolta / (kPi * R * R) : 0.0;
    }
    machine.caixa = box;
    return box;
}

bool fieldSmallerThanIrrigated(double areaHa, const quarvex::pivot& machine) {
    const double irrigated = quarvex::statics().Pivots().IrrigatedArea(machine);
    return areaHa > 0 && hectaresToSquareMetres(areaHa) < irrigated;
}

std::vector<std::string> missingPivotInputs(const PivotInputs& in) {
    std::vector<std::string> missing;
    if (!in.discharge) {
        missing.push_back("the design discharge");
    }
    if (!in.pressure) {
        missing.push_back("the nominal pressure");
    }
    if (!in.elevation) {
        missing.push_back("the ground elevation at the pivot");
    }
    if (!in.pipeMaterial) {
        missing.push_back("the pipe material");
    }
    if (in.spanCount <= 0) {
        missing.push_back("the number of spans");
    }
    for (int i = 0; i < in.spanCount && i < static_cast<int>(in.spans.size()); ++i) {
        const std::string n = std::to_string(i + 1);
        if (!in.spans[i].chosen) {
            missing.push_back("the reference span of span " + n);
        }
        if (!in.spans[i].endElevation) {
            missing.push_back("the end elevation of span " + n);
        }
    }
    if (in.overhang && !in.overhangChosen) {
        missing.push_back("the reference span of the overhang");
    }
    if (in.endGun && !in.gunRadius) {
        missing.push_back("the wetted radius of the end gun");
    }
    return missing;
}

std::vector<int> unplaceableSpans(const PivotInputs& in) {
    std::vector<int> out;
    if (!in.elevation) {
        return out;
    }
    double start = *in.elevation;
    for (int i = 0; i < in.spanCount && i < static_cast<int>(in.spans.size()); ++i) {
        const SpanInput& s = in.spans[i];
        if (!s.endElevation) {
            return out;  // the spans after it have no start yet
        }
        if (s.chosen && !(std::abs(*s.endElevation - start) < s.length)) {
            out.push_back(i + 1);
        }
        start = *s.endElevation;
    }
    return out;
}

std::string pivotInputsMessage(const PivotInputs& in) {
    std::string message;
    const auto missing = missingPivotInputs(in);
    if (!missing.empty()) {
        std::string list;
        for (std::size_t i = 0; i < missing.size(); ++i) {
            list += (i == 0 ? "" : (i + 1 == missing.size() ? " and " : ", ")) + missing[i];
        }
        message = incompleteMessage("the pivot") + ". It must be given " + list;
    }
    for (int span : unplaceableSpans(in)) {
        if (!message.empty()) {
            message += ". ";
        }
        message += "The end elevation of span " + std::to_string(span) +
                   " differs from the elevation before it by more than the span's length";
    }
    return message;
}

std::vector<std::string> incompleteSpans(const PivotInputs& in) {
    std::vector<std::string> out;
    for (int i = 0; i < in.spanCount && i < static_cast<int>(in.spans.size()); ++i) {
        const std::string n = "span " + std::to_string(i + 1);
        if (!in.spans[i].chosen && !in.spans[i].endElevation) {
            out.push_back(n + " (no reference span and no end elevation)");
        } else if (!in.spans[i].chosen) {
            out.push_back(n + " (no reference span)");
        } else if (!in.spans[i].endElevation) {
            out.push_back(n + " (no end elevation)");
        }
    }
    if (in.overhang && !in.overhangChosen) {
        out.push_back("the overhang (no reference span)");
    }
    return out;
}

std::string undefinedSpansMessage(const std::vector<std::string>& spans) {
    std::string message = kUndefinedSpansMessage;
    if (spans.empty()) {
        return message;
    }
    message += ". Incomplete: ";
    for (std::size_t i = 0; i < spans.size(); ++i) {
        message += (i == 0 ? "" : ", ") + spans[i];
    }
    return message;
}

std::string incompletePivotMessage() {
    return incompleteMessage("the pivot") +
           ". Please check the data for Discharge, Nomimal Pressure and Ground Elevation";
}

}  // namespace kambrix
