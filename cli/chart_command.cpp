// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli chart DBFOLDER SYSTEM CHART [--design-json | --pdf FILE [--surface-storage MM]
// [--designed-by NAME]] [--csv]: opens a
// stored sprinkler chart as the workbench opens it (its sprinklers on the system's pivot, its
// regulators, drop, booster, indicators and runoff check), computes it and prints the result
// as `kambrix-cli design` prints its own; or prints the design input that `design` turns into
// the same result; or writes the printed chart.
#include <quarvex/quarvex.h>
#include <nlohmann/json.hpp>

#include <ctime>
#include <ostream>
#include <vector>

#include "commands.h"
#include "design/chart_report.h"
#include "design/chart_workbench.h"
#include "design/pivot_design.h"
#include "design_output.h"
#include "input.h"
#include "shell/errors.h"
#include "stored_system.h"

#ifdef KAMBRIX_HAVE_REPORT
#include "report/report_renderer.h"
#endif

namespace kambrix::cli {
namespace {

using ojson = nlohmann::ordered_json;

bool hasPoint(const quarvex::PivotSample& s) {
    return s.distanceToCenter > 0 && s.wetDiameter > 0;
}

// The runoff check goes into the output when it can run: a point with data and a revolution
// time. `note` tells why it is left out otherwise.
std::optional<quarvex::PluviometryCheck> runnableCheck(const ChartWorkbench& w, std::ostream& err) {
    const auto& check = w.pluviometryCheck();
    if (!hasPoint(check.firstSample) && !hasPoint(check.secondSample)) {
        return std::nullopt;
    }
    if (w.indicadores().horasRevolucao <= 0) {
        err << "chart: the runoff check is left out: the chart has no revolution time\n";
        return std::nullopt;
    }
    return check;
}

ojson spanJson(const quarvex::tramo& t, bool withEnd) {
    ojson j{{"id", t.id},
            {"denominacion", t.denominacion},
            {"longitude", t.longitude},
            {"diametro", t.diametro},
            {"separationSaidas_cm", t.separationSaidas_cm}};
    if (withEnd) {
        j["endCota"] = t.cota;
    }
    return j;
}

// The design input of the opened chart, in the format `design` reads.
ojson designInput(ChartWorkbench& w, std::ostream& err) {
    const Projecto& project = w.project();
    const quarvex::pivot& p = w.projectPivot();
    ojson pivot{
        {"caudal", p.caudal}, {"presion", p.presion}, {"rugosidad", p.rugosidad}, {"cota", p.cota}};
    ojson spans = ojson::array();
    const int n = fixedSpanCount(project);
    for (int i = 1; i <= n; ++i) {
        spans.push_back(spanJson(project.Tramos(i), true));
    }
    pivot["spans"] = std::move(spans);
    if (p.p_has_overhang) {
        pivot["overhang"] = spanJson(project.Tramos(n + 1), false);
    }
    if (p.p_has_end_gun) {
        pivot["endGun"] = {{"rs", p.endGun.rs}};
    }

    ojson catalogue = ojson::array();
    w.catalogue().ForEach([&](const std::shared_ptr<quarvex::Aspersor>& a) {
        catalogue.push_back({{"id", a->id()},
                             {"nome", a->nome()},
                             {"marca", a->marca().nome},
                             {"modelo", a->modelo().nome},
                             {"a", a->aValue()},
                             {"b", a->bValue()},
                             {"pmin", a->pmin()},
                             {"pmax", a->pmax()},
                             {"qmin", a->qmin()},
                             {"qmax", a->qmax()}});
    });

    const auto chartObj = w.manualChart();
    ojson chart{{"name", chartObj->getNome()}};
    ojson nozzles = ojson::array();
    chartObj->mountedAspersores().ForEach([&](const std::shared_ptr<quarvex::MountedAspersor>& m) {
        if (!m->deleted() && m->Aspersor()) {
            nozzles.push_back({{"tramo", m->saida().numeroTramo},
                               {"saida", m->saida().saida},
                               {"id", m->Aspersor()->id()}});
        }
    });
    chart["nozzles"] = std::move(nozzles);
    chart["endGunBoost"] = w.endGunBoost();
    ojson regulators = ojson::array();
    w.regulators()->ForEach([&](const std::shared_ptr<quarvex::ReguladorPression>& r) {
        regulators.push_back({{"tramo", r->tramo()},
                              {"pression", r->pression()},
                              {"caudal_max", r->maximum_caudal()},
                              {"caudal_min", r->minimum_caudal()},
                              {"installed", r->installed()}});
    });
    chart["regulators"] = std::move(regulators);
    const quarvex::Drop& d = w.drop();
    if (!quarvex::statics().Drops().IsEmpty(d)) {
        chart["drop"] = {{"longitud", d.longitud},
                         {"diametro", d.diametro},
                         {"rugosidade", d.pipe_material.rugosidade},
                         {"installed", quarvex::statics().Drops().IsInstalled(d)}};
    }
    const auto& ind = w.indicadores();
    chart["indicadores"] = {{"horasRevolucao", ind.horasRevolucao},
                            {"numeroSaidasObturadas", ind.numeroSaidasObturadas}};
    if (const auto check = runnableCheck(w, err)) {
        const auto sample = [](const quarvex::PivotSample& s) {
            return ojson{{"distanceToCenter", s.distanceToCenter}, {"wetDiameter", s.wetDiameter}};
        };
        chart["pluviometria"] = {{"first", sample(check->firstSample)},
                                 {"second", sample(check->secondSample)},
                                 {"k", check->kostiakov.k},
                                 {"a", check->kostiakov.a}};
    }
    return ojson{{"pivot", std::move(pivot)},
                 {"catalogue", std::move(catalogue)},
                 {"mode", "manual"},
                 {"chart", std::move(chart)}};
}

#ifdef KAMBRIX_HAVE_REPORT
std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}
#endif

}  // namespace

int runChart(const ChartOptions& options, std::ostream& out, std::ostream& err) {
#ifndef KAMBRIX_HAVE_REPORT
    if (!options.pdf.empty()) {
        err << "chart: --pdf is not available: this kambrix-cli was built without Qt\n";
        return kExitBadInput;
    }
#endif
    try {
        const StoredSystem stored = openStoredSystem(options.dbFolder, options.system);
        for (const auto& note : stored.notes) {
            err << "chart: " << note << '\n';
        }
        const quarvex::CartaInfo info = findStoredChart(stored, options.chart);
        CommandPrompts prompts(err, "chart");
        ChartWorkbench w(stored.project, WorkbenchDatabases::from(stored.config), prompts);
        w.selectChart(info.id);
        if (!w.openChart()) {
            return kExitBadInput;  // the reason is on the error stream
        }
        if (options.designJson) {
            out << designInput(w, err).dump(2) << '\n';
            return kExitOk;
        }
        const bool settled = w.summary().settlement != Settlement::NotSettled;
#ifdef KAMBRIX_HAVE_REPORT
        if (!options.pdf.empty()) {
            if (options.surfaceStorage >= 0) {
                w.setSurfaceStorage(options.surfaceStorage);
            }
            w.setDefaultDesigner(options.designedBy);
            report::writePdf(
                buildChartReport(w, today(), ChartCaptions::fromFile(stored.config.languageFile)),
                QString::fromStdString(options.pdf));
            if (!settled) {
                err << "chart: " << kNotSettledMessage << '\n';
                return kExitNotConverged;
            }
            return kExitOk;
        }
#endif
        ComputedDesign computed;
        computed.wrapper = w.currentWrapper().get();
        computed.indicadores = w.indicadores();
        computed.pluviometria = runnableCheck(w, err);
        if (!settled) {
            computed.notSettled = kNotSettledMessage;
        }
        return writeDesignOutput(computed, options.csv, "chart", out, err);
    } catch (const CommandError& e) {
        err << "chart: " << oneLine(e.what()) << '\n';
    } catch (const AppError& e) {
        // A file that cannot be written, a limit: the message names it as it stands.
        err << "chart: " << oneLine(e.what()) << '\n';
    } catch (...) {
        // The database's own words stay out of the line: they name tables and statements.
        const ErrorReport r = describeCurrentError();
        err << "chart: " << oneLine(userMessage(r, "the chart could not be computed")) << '\n';
    }
    return kExitBadInput;
}

}  // namespace kambrix::cli
