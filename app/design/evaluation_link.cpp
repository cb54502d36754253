// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/evaluation_link.h"

#include <algorithm>
#include <cmath>

#include "design/outlet_warnings.h"
#include "design/system_store.h"
#include "evaluation/indicators.h"
#include "shell/errors.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace {

constexpr double kPercent = 100.0;

std::optional<Projecto> loadSystem(const WorkbenchDatabases& db, int systemId) {
    const Projectos store = systemStore();
    return readFrom(db.projects, [&](quarvex::Connection& con) {
        return store.loadProject(con, "id=" + std::to_string(systemId), "tramos");
    });
}

std::string nozzleText(const quarvex::Aspersor* a) {
    if (a == nullptr) {
        return {};
    }
    std::string text = a->marca().nome;
    for (const std::string& part : {a->modelo().nome, a->nome()}) {
        if (!part.empty()) {
            text += (text.empty() ? "" : " ") + part;
        }
    }
    return text;
}

// The end of the pipe: the last fixed span's end, or the overhang's.
double pipeEnd(const quarvex::pivot& p) {
    double end = 0;
    for (const auto& t : p.Tramos) {
        end += t.longitude;
    }
    if (p.p_has_overhang) {
        end += p.tramoVOladizo.longitude;
    }
    return end;
}

}  // namespace

std::string ChartChoice::label() const {
    return systemName + " \u2014 " + chartName;
}

std::vector<ChartChoice> chartChoices(const WorkbenchDatabases& db) {
    const Projectos store = systemStore();
    std::vector<std::pair<int, std::string>> systems;
    readFrom(db.projects, [&](quarvex::Connection& con) {
        for (const auto& name : store.projectNames(con)) {
            if (const auto p = store.loadProject(con, store.nameCondition(name))) {
                systems.emplace_back(p->id, p->nome);
            }
        }
        return 0;
    });
    std::vector<ChartChoice> out;
    for (const auto& [id, name] : systems) {
        const auto all = quarvex::statics().CartaAspersor().enumerateAll(db.projects, id);
        for (int i = 1; i <= all.Count(); ++i) {
            const auto& info = all.Item(i);
            out.push_back({id, name, info.id, info.nome});
        }
    }
    return out;
}

std::optional<ChartChoice> findChartChoice(const WorkbenchDatabases& db, int systemId,
                                           int chartId) {
    const auto system = loadSystem(db, systemId);
    if (!system) {
        return std::nullopt;
    }
    const auto all = quarvex::statics().CartaAspersor().enumerateAll(db.projects, systemId);
    for (int i = 1; i <= all.Count(); ++i) {
        if (all.Item(i).id == chartId) {
            return ChartChoice{systemId, system->nome, chartId, all.Item(i).nome};
        }
    }
    return std::nullopt;
}

LinkedChart addOpenChart(ChartWorkbench& w, const EvaluationConditions& c, DiagnosisInput& in) {
    LinkedChart linked;
    linked.chart.systemId = w.project().id;
    linked.chart.systemName = w.project().nome;
    linked.owner = w.project().propietario;
    if (const auto info = w.selectedChart()) {
        linked.chart.chartId = info->id;
        linked.chart.chartName = info->nome;
    }
    const auto wrapper = w.currentWrapper();
    const quarvex::pivot& p = wrapper->pivot();
    in.pipeLength = pipeEnd(p);
    in.chartPressure = w.projectPivot().presion;
    if (w.summary().inletDischarge > 0) {
        in.chartDischarge = w.summary().inletDischarge;
    }

    const double h100 = w.projectPivot().caixa.tempoH100;
    if (c.timer_percent && *c.timer_percent > 0 && h100 > 0) {
        linked.revolutionHours = h100 / (*c.timer_percent / kPercent);
    } else if (w.indicadores().horasRevolucao > 0) {
        linked.revolutionHours = w.indicadores().horasRevolucao;
        linked.notes.push_back(
            "The designed depths are those of the chart's own revolution time: the test's "
            "timer setting or the pivot's time at 100 % is not given");
    } else {
        linked.notes.push_back(
            "The designed depths need the test's revolution time: give the timer setting of the "
            "test (and the pivot's hours per revolution at 100 % in its design)");
    }

    const auto refs = outletsInOrder(p);
    std::vector<double> depths(refs.size(), 0.0);
    if (linked.revolutionHours) {
        try {
            const int plugged =
                std::clamp(w.indicadores().numeroSaidasObturadas, 0, static_cast<int>(refs.size()));
            const IndicatorResults r =
                computeIndicators(*wrapper, *linked.revolutionHours, plugged);
            if (r.UD) {
                in.designedUD = kPercent * *r.UD;
            }
            if (r.CU) {
                in.designedCU = kPercent * *r.CU;
            }
            const auto samples = wrapper->WaterDepthsSamples(false);
            for (int i = 1; i <= samples.Length() && i <= static_cast<int>(depths.size()); ++i) {
                depths[static_cast<std::size_t>(i - 1)] = i <= plugged ? 0.0 : samples[i].depth;
            }
            for (const auto& s : samples) {
                if (!s.p_null && std::isfinite(s.depth)) {
                    in.designedProfile.push_back({s.distanceFromCenter, s.depth});
                }
            }
            std::sort(in.designedProfile.begin(), in.designedProfile.end(),
                      [](const XYPoint& a, const XYPoint& b) { return a.x < b.x; });
        } catch (const std::exception& e) {
            linked.notes.push_back(std::string("The chart's depths could not be computed: ") +
                                   e.what());
            in.designedProfile.clear();
            in.designedUD.reset();
            in.designedCU.reset();
        }
    }
    for (std::size_t i = 0; i < refs.size(); ++i) {
        const quarvex::saida& o = *refs[i].outlet;
        ChartOutlet out;
        out.tramo = refs[i].at.numeroTramo;
        out.saida = refs[i].at.saida;
        out.distance = o.distanciaAoPivot;
        out.nozzle = nozzleText(o.obj_aspersor.get());
        out.designedDepth = depths[i];
        in.outlets.push_back(std::move(out));
    }
    return linked;
}

std::optional<LinkedChart> addLinkedChart(const WorkbenchDatabases& db,
                                          const EvaluationConditions& c, WorkbenchPrompts& prompts,
                                          DiagnosisInput& in, std::string& problem) {
    problem.clear();
    if (!c.linked()) {
        return std::nullopt;
    }
    const auto system = loadSystem(db, *c.systemId);
    if (!system) {
        problem = "The system this evaluation was linked to is no longer stored";
        return std::nullopt;
    }
    ChartWorkbench w(*system, db, prompts);
    const auto& charts = w.charts();
    if (std::none_of(charts.begin(), charts.end(),
                     [&](const quarvex::CartaInfo& i) { return i.id == *c.chartId; })) {
        problem = "The sprinkler chart this evaluation was linked to is no longer stored in " +
                  system->nome;
        return std::nullopt;
    }
    w.selectChart(*c.chartId);
    if (!w.openChart()) {
        problem = "The sprinkler chart this evaluation was linked to could not be opened";
        return std::nullopt;
    }
    return addOpenChart(w, c, in);
}

}  // namespace kambrix
