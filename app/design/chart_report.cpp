// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/chart_report.h"

#include "design/ideal_results.h"
#include "design/supply_store.h"
#include "design/supply_tab_presenter.h"
#include "evaluation/indicators.h"
#include "evaluation/runoff.h"
#include "shell/number_text.h"
#include "shell/unit_of_work.h"
#include "shell/units.h"

namespace kambrix {
namespace {

using report::Align;

struct Numbers {
    char sep;
    std::string operator()(double v, int decimals) const {
        return formatDecimals(v, decimals, sep);
    }
    std::string unit(double v, int decimals, const char* u) const {
        return formatDecimals(v, decimals, sep) + " " + u;
    }
};

report::Section projectSection(const Projecto& project, const std::string& date, const Numbers& n) {
    report::KeyValues kv;
    kv.pairs = {{"Name", project.nome},
                {"Owner", project.propietario.empty() ? std::string("-") : project.propietario},
                {"Date", date}};
    if (project.areaParcela > 0) {
        kv.pairs.emplace_back("Field area", n.unit(project.areaParcela, 2, "ha"));
    }
    return {chart_report::Project, {kv}};
}

report::Section pivotSection(const Projecto& project, const quarvex::pivot& p, const Numbers& n) {
    auto& pivots = quarvex::statics().Pivots();
    report::KeyValues kv;
    kv.pairs = {
        {"Design discharge", n.unit(p.caudal, 2, "L/s")},
        {"Nominal pressure", n.unit(p.presion, 1, "kPa")},
        {"Pipe roughness (Hazen-Williams C)", n(p.rugosidad, 0)},
        {"Pipe material", project.pipe_material.name.empty() ? "-" : project.pipe_material.name},
        {"Elevation at the pivot point", n.unit(p.cota, 2, "m")},
        {"Pipe length", n.unit(pivots.AllSpanLenght(p), 2, "m")},
        {"Irrigated radius", n.unit(pivots.AllIrrigatedLenght(p), 2, "m")},
        {"Irrigated area", n.unit(squareMetresToHectares(pivots.IrrigatedArea(p)), 2, "ha")},
    };
    return {chart_report::Pivot, {kv}};
}

report::Section spansSection(const quarvex::pivot& p, const Numbers& n) {
    report::Table t;
    t.headings = {"Span",          "Reference span",     "Length (m)",
                  "Diameter (mm)", "Outlet spacing (m)", "End elevation (m)",
                  "Outlets"};
    t.align = {Align::Left,  Align::Left,  Align::Right, Align::Right,
               Align::Right, Align::Right, Align::Right};
    auto row = [&](const std::string& name, const quarvex::tramo& s) {
        t.rows.push_back({name, s.denominacion, n(s.longitude, 2), n(s.diametro, 1),
                          n(s.separacionSaidas, 2), n(s.site.end_cota, 2),
                          std::to_string(s.Saidas.Length())});
    };
    for (int i = 1; i <= p.Tramos.Length(); ++i) {
        row("Tower " + std::to_string(i), p.Tramos(i));
    }
    if (p.p_has_overhang) {
        row(kOverhangLabel, p.tramoVOladizo);
    }
    return {chart_report::Spans, {t}};
}

report::Section endGunSection(const quarvex::pivot& p, double boost, const Numbers& n) {
    if (!p.p_has_end_gun) {
        return {chart_report::EndGun, {report::Paragraph{"The pivot has no end gun."}}};
    }
    report::KeyValues kv;
    kv.pairs = {{"Wetted radius beyond the pipe", n.unit(p.endGun.rs, 2, "m")},
                {"Booster", boost > 0 ? n.unit(boost, 0, "kPa") : std::string("none")}};
    return {chart_report::EndGun, {kv}};
}

report::Section dropSection(const quarvex::Drop& d, const Numbers& n) {
    auto& drops = quarvex::statics().Drops();
    if (drops.IsEmpty(d)) {
        return {chart_report::Drop, {report::Paragraph{"No drop."}}};
    }
    report::KeyValues kv;
    kv.pairs = {{"Material", d.pipe_material.name.empty() ? "-" : d.pipe_material.name},
                {"Hazen-Williams C", std::to_string(d.pipe_material.rugosidade)},
                {"Length", n.unit(d.longitud, 2, "m")},
                {"Inside diameter", n.unit(d.diametro, 1, "mm")},
                {"Installed", drops.IsInstalled(d) ? "yes" : "no"}};
    return {chart_report::Drop, {kv}};
}

report::Section regulatorsSection(const std::vector<RegulatorRow>& rows, const Numbers& n) {
    report::Table t;
    t.headings = {"Span", "Set pressure (kPa)", "Discharge range (L/s)", "Installed"};
    t.align = {Align::Left, Align::Right, Align::Right, Align::Left};
    for (const auto& r : rows) {
        if (!r.input.fitted && r.input.pressure <= 0) {
            continue;
        }
        std::string range = "-";
        if (r.input.minimumDischarge || r.input.maximumDischarge) {
            range = n(r.input.minimumDischarge.value_or(0), 3) + " to " +
                    n(r.input.maximumDischarge.value_or(0), 3);
        }
        t.rows.push_back({r.label, n(r.input.pressure, 1), range, r.input.fitted ? "yes" : "no"});
    }
    if (t.rows.empty()) {
        return {chart_report::Regulators, {report::Paragraph{"No regulators."}}};
    }
    return {chart_report::Regulators, {t}};
}

report::Section sprinklersSection(const quarvex::pivot& p, const Numbers& n) {
    report::Table t;
    t.headings = {"Span",  "Outlet",         "Distance (m)",    "Nozzle",         "Model",
                  "Brand", "Required (L/s)", "Delivered (L/s)", "Pressure (kPa)", "Warning"};
    t.align = {Align::Left, Align::Right, Align::Right, Align::Left,  Align::Left,
               Align::Left, Align::Right, Align::Right, Align::Right, Align::Left};
    for (const auto& ref : outletsInOrder(p)) {
        const quarvex::saida& o = *ref.outlet;
        const bool gun = ref.at.numeroTramo == -1;
        const auto& a = o.obj_aspersor;
        t.rows.push_back({outletSpanLabel(p, ref.at.numeroTramo),
                          gun ? std::string() : std::to_string(ref.at.saida),
                          n(o.distanciaAoPivot, 2), a ? a->nome() : std::string(),
                          a ? a->modelo().nome : std::string(), a ? a->marca().nome : std::string(),
                          n(o.caudal, 3), n(o.caudal_do_aspersor, 3), n(o.pressao_actuante, 1),
                          warningText(outletWarnings(o, ref.span, a.get()))});
    }
    t.caption =
        "Pressure: the pressure the sprinkler works at (the regulated pressure on a "
        "regulated span). Warnings: " +
        warningLegendText();
    for (char& c : t.caption) {
        if (c == '\n') {
            c = ';';
        }
    }
    return {chart_report::Sprinklers, {t}};
}

report::Section totalsSection(const ComputationSummary& s, const Numbers& n) {
    report::KeyValues kv;
    kv.pairs.emplace_back("Sprinklers", std::to_string(s.sprinklers) + " on " +
                                            std::to_string(s.outlets) + " outlets (" +
                                            std::to_string(s.distinctNozzles) + " nozzle sizes)");
    kv.pairs.emplace_back("Discharge of the chart", n.unit(s.chartDischarge, 3, "L/s"));
    kv.pairs.emplace_back("Design discharge", n.unit(s.designDischarge, 3, "L/s"));
    if (s.designDischarge > 0) {
        kv.pairs.emplace_back(
            "Difference",
            n.unit(fractionToPercent(s.chartDischarge / s.designDischarge - 1.0), 2, "%"));
    }
    kv.pairs.emplace_back("Pressure at the last outlet", n.unit(s.lastOutletPressure, 1, "kPa"));
    if (s.hasEndGun) {
        kv.pairs.emplace_back("Pressure at the end gun", n.unit(s.endGunPressure, 1, "kPa"));
    }
    kv.pairs.emplace_back("Outlets with warnings", std::to_string(s.withWarnings));
    std::string how;
    switch (s.settlement) {
        case Settlement::Plain:
            how = "settled";
            break;
        case Settlement::Safeguarded:
            how = "settled by a search on the inlet discharge";
            break;
        case Settlement::NotSettled:
            how = "NOT SETTLED: results of the last pass";
            break;
        case Settlement::NotComputed:
            how = "not computed";
            break;
    }
    kv.pairs.emplace_back("Computation", std::to_string(s.passes) + " passes, " + how);
    return {chart_report::Totals, {kv}};
}

std::optional<report::Section> indicatorsSection(ChartWorkbench& w, const Numbers& n) {
    const auto ind = w.indicadores();
    if (ind.horasRevolucao <= 0) {
        return std::nullopt;
    }
    auto& wrapper = *w.currentWrapper();
    report::Section s{chart_report::Indicators, {}};
    report::KeyValues kv;
    kv.pairs.emplace_back("Hours for a complete revolution", n.unit(ind.horasRevolucao, 2, "h"));
    kv.pairs.emplace_back("Plugged outlets", std::to_string(ind.numeroSaidasObturadas));
    std::vector<std::string> problems;
    try {
        const auto r = computeIndicators(wrapper, ind.horasRevolucao, ind.numeroSaidasObturadas);
        const auto pct = [&](const std::optional<double>& v) {
            return v ? n.unit(fractionToPercent(*v), 2, "%") : std::string("N/A");
        };
        kv.pairs.emplace_back("UD", pct(r.UD));
        kv.pairs.emplace_back("CU", pct(r.CU));
        kv.pairs.emplace_back("Expected depth", n.unit(r.expectedDepth, 2, "mm"));
        kv.pairs.emplace_back("Average depth", n.unit(r.averageDepth, 2, "mm"));
        problems = r.problems;
    } catch (const quarvex::Error& e) {
        problems.push_back(std::string("The indicators cannot be computed: ") +
                           quarvex::errorMessage(e.number()));
    }
    const auto check = w.pluviometryCheck();
    const auto hasData = [](const quarvex::PivotSample& p) {
        return p.distanceToCenter > 0 && p.wetDiameter > 0;
    };
    if (hasData(check.firstSample) || hasData(check.secondSample)) {
        try {
            const auto r = computeRunoff(wrapper, check, ind.horasRevolucao);
            if (r.failure) {
                problems.push_back(*r.failure);
            }
            const auto point = [&](int i, const quarvex::PivotSample& p,
                                   const std::optional<double>& area) {
                if (!hasData(p)) {
                    return;
                }
                kv.pairs.emplace_back("Excess depth at " + n.unit(p.distanceToCenter, 1, "m") +
                                          " (point " + std::to_string(i) + ")",
                                      area ? n.unit(*area, 2, "mm") : std::string("N/A"));
            };
            point(1, check.firstSample, r.area1);
            point(2, check.secondSample, r.area2);
            problems.insert(problems.end(), r.problems.begin(), r.problems.end());
        } catch (const std::exception& e) {
            problems.push_back(std::string("The runoff check cannot be computed: ") + e.what());
        }
    }
    s.blocks.emplace_back(kv);
    for (const auto& p : problems) {
        s.blocks.emplace_back(report::Paragraph{p});
    }
    return s;
}

// The system's supply against the chart; none when the system has no pump curve and no
// measured supply.
std::optional<report::Section> supplySection(ChartWorkbench& w, const Numbers& n) {
    if (w.project().id <= 0) {
        return std::nullopt;
    }
    report::Section s{chart_report::Supply, {}};
    Supply supply;
    try {
        supply = readFrom(w.databases().projects, [&](quarvex::Connection& con) {
            return loadSupply(con, w.project().id);
        });
    } catch (const std::exception&) {
        s.blocks.emplace_back(report::Paragraph{"The supply of the system could not be read"});
        return s;
    }
    if (supply.pump.empty() && !supply.measured) {
        return std::nullopt;
    }
    report::KeyValues kv;
    if (!supply.pump.empty()) {
        std::string rows;
        for (const PumpRow& r : supply.pump) {
            rows += (rows.empty() ? "" : "; ") + n.unit(r.caudal, 2, "L/s") + " at " +
                    n.unit(r.presion, 1, "kPa");
        }
        kv.pairs.emplace_back("Pump curve", rows);
        kv.pairs.emplace_back("Static lift", n.unit(supply.line.lift, 2, "m"));
        if (supply.line.length > 0) {
            kv.pairs.emplace_back("Line to the pivot point",
                                  n.unit(supply.line.length, 1, "m") + ", " +
                                      n.unit(supply.line.diametro, 1, "mm") + ", C " +
                                      n(supply.line.rugosidad, 0));
        }
    }
    if (supply.nozzleWear > 0) {
        kv.pairs.emplace_back("Nozzle wear", n.unit(100 * supply.nozzleWear, 1, "%"));
    }
    if (const auto problem = supplyProblem(supply)) {
        s.blocks.emplace_back(kv);
        s.blocks.emplace_back(report::Paragraph{"The supply cannot be used: " + *problem});
        return s;
    }
    try {
        const SupplyAnalysis a = analyseSupply(chartSetupOf(w), supply);
        for (const SupplyCase& c : a.cases) {
            if (c.name == kCaseGunOff && c.point.found && c.wrapper) {
                kv.pairs.emplace_back("Capacity without end gun", n.unit(c.point.caudal, 2, "L/s"));
            }
        }
        s.blocks.emplace_back(kv);
        const SupplyTabView v = supplyTabView(a, n.sep);
        report::Table t;
        t.headings = {
            "Case",   "Discharge (L/s)", "Pressure at the pivot (kPa)",     "UD (%)",
            "CU (%)", "Depth (mm)",      "Lowest sprinkler pressure (kPa)", "Starved regulators"};
        t.align = {report::Align::Left};
        t.align.resize(t.headings.size(), report::Align::Right);
        t.align[0] = report::Align::Left;
        for (const TableRow& row : v.cases.rows) {
            std::vector<std::string> cells;
            for (const TableCell& c : row.cells) {
                cells.push_back(c.displayText(n.sep));
            }
            t.rows.push_back(std::move(cells));
        }
        t.caption = v.summary;
        s.blocks.emplace_back(t);
        if (!v.measured.empty()) {
            s.blocks.emplace_back(report::Paragraph{v.measured});
        }
    } catch (const std::exception& e) {
        s.blocks.emplace_back(kv);
        s.blocks.emplace_back(
            report::Paragraph{std::string("The operating point cannot be computed: ") + e.what()});
    }
    return s;
}

}  // namespace

report::Document buildChartReport(ChartWorkbench& w, const std::string& date) {
    const Numbers n{w.decimalSeparator()};
    const auto chart = w.currentChart();
    const quarvex::pivot& p = w.currentWrapper()->pivot();
    report::Document doc;
    doc.title = chart && !chart->getNome().empty() ? chart->getNome()
                                                   : std::string("Unsaved sprinkler chart");
    doc.subtitle = "Sprinkler chart of " + w.project().nome + ", " + date;
    doc.sections.push_back(projectSection(w.project(), date, n));
    doc.sections.push_back(pivotSection(w.project(), p, n));
    doc.sections.push_back(spansSection(p, n));
    doc.sections.push_back(endGunSection(p, w.endGunBoost(), n));
    doc.sections.push_back(dropSection(w.drop(), n));
    doc.sections.push_back(regulatorsSection(w.regulatorRows(), n));
    doc.sections.push_back(sprinklersSection(p, n));
    doc.sections.push_back(totalsSection(w.summary(), n));
    if (auto s = indicatorsSection(w, n)) {
        doc.sections.push_back(std::move(*s));
    }
    if (auto s = supplySection(w, n)) {
        doc.sections.push_back(std::move(*s));
    }
    return doc;
}

}  // namespace kambrix
