// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/chart_report.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "design/ideal_results.h"
#include "design/pivot_design.h"
#include "design/required_wetted_diameter.h"
#include "design/supply_store.h"
#include "design/supply_tab_presenter.h"
#include "evaluation/indicators.h"
#include "evaluation/runoff.h"
#include "evaluation/runoff_tab_presenter.h"
#include "shell/number_text.h"
#include "shell/reference_tramos.h"
#include "shell/report_title_block.h"
#include "shell/unit_of_work.h"
#include "shell/units.h"

namespace kambrix {

ChartCaptions::ChartCaptions(const std::vector<TranslationEntry>& entries) {
    for (const auto& e : entries) {
        if (e.property == "Caption" && !e.value.empty()) {
            texts_[e.target] = e.value;
        }
    }
}

ChartCaptions ChartCaptions::fromFile(const std::filesystem::path& languageFile) {
    try {
        return ChartCaptions(readLanguageSection(languageFile, kChartReportSection));
    } catch (const LanguageFileError&) {
        return {};
    }
}

std::string ChartCaptions::operator()(const std::string& english) const {
    const auto found = texts_.find(english);
    return found == texts_.end() ? english : found->second;
}

std::string runoffFigureKey(int point) {
    return "runoff" + std::to_string(point);
}

double outermostSprinklerDistance(const quarvex::pivot& p) {
    double d = 0;
    for (const auto& ref : outletsInOrder(p)) {
        if (ref.at.numeroTramo != -1) {
            d = std::max(d, ref.outlet->distanciaAoPivot);
        }
    }
    return d;
}

namespace {

using report::Align;

constexpr double kFigureHeight_mm = 85;
constexpr int kMostListed = 40;  // outlets named in a list before "and n more"

struct Numbers {
    char sep;
    std::string operator()(double v, int decimals) const {
        return formatDecimals(v, decimals, sep);
    }
    std::string unit(double v, int decimals, const char* u) const {
        return formatDecimals(v, decimals, sep) + " " + u;
    }
};

// What every section needs.
struct Context {
    ChartWorkbench& w;
    const quarvex::pivot& p;
    const Numbers& n;
    const ChartCaptions& tr;
    int figures = 0;  // figures numbered so far

    std::string figureCaption(const std::string& text) {
        return tr("Figure") + " " + std::to_string(++figures) + ": " + text;
    }
    double hours() const { return w.indicadores().horasRevolucao; }
};

// The width of the ring an outlet waters, m: its span's outlet spacing; the gun's wetted
// radius.
double ringWidth(const quarvex::pivot& p, const OutletRef& ref) {
    return ref.span ? ref.span->separacionSaidas : p.endGun.rs;
}

// The depth an outlet applies in a revolution of `hours` h with `discharge` L/s, mm: the
// water spread over the ring it waters.
std::optional<double> depthOf(const quarvex::pivot& p, const OutletRef& ref, double discharge,
                              double hours) {
    const double ring = ringWidth(p, ref) * kTwoPi * ref.outlet->distanciaAoPivot;
    if (!(hours > 0) || !(ring > 0)) {
        return std::nullopt;
    }
    return discharge * kSecondsPerHour * hours / ring;
}

// The pressure in the pipe at the outlet, kPa: what reaches the sprinkler plus what the drop
// takes (an installed drop; the gun has none).
double pipePressure(const ChartWorkbench& w, const OutletRef& ref) {
    const quarvex::saida& o = *ref.outlet;
    auto& drops = quarvex::statics().Drops();
    if (ref.at.numeroTramo == -1 || !drops.IsInstalled(w.drop())) {
        return o.pressao_real;
    }
    return o.pressao_real + drops.PressureLoss(w.drop(), o.caudal);
}

std::string spanName(const quarvex::pivot& p, int tramo) {
    return outletSpanLabel(p, tramo);
}

// The outside diameter of each reference span of the pivot (by name), as far as the
// reference catalogue knows it.
std::map<std::string, double> outsideDiameters(const ChartWorkbench& w) {
    std::map<std::string, double> out;
    if (w.databases().tramos.empty()) {
        return out;
    }
    try {
        readFrom(w.databases().tramos, [&](quarvex::Connection& con) {
            ReferenceTramos().allReferenceTramos(con).ForEach([&](const ReferenceTramo& t) {
                if (t.diametroExterior) {
                    out[t.denominacion] = *t.diametroExterior;
                }
            });
        });
    } catch (const std::exception&) {
        // The diameters stay blank: the printout does not depend on the catalogue.
    }
    return out;
}

report::Section titleSection(Context& c, const std::string& date) {
    const auto chart = c.w.currentChart();
    report::TitleBlockTexts t;
    t.system = c.w.project().nome;
    t.document =
        chart && !chart->getNome().empty() ? chart->getNome() : c.tr("Unsaved sprinkler chart");
    t.saved =
        c.w.chartSignoff().savedAt.empty() ? std::string() : c.w.chartSignoff().savedAt + " UTC";
    t.designedBy = c.w.designerName();
    t.checkedBy = c.w.chartSignoff().checkedBy;
    t.approvedBy = c.w.chartSignoff().approvedBy;
    t.owner = c.w.project().propietario;
    t.units = c.tr("SI units: m, mm, L/s, kPa, h; areas in ha");
    report::TitleBlockCaptions k;
    k.title = c.tr(chart_report::TitleBlock);
    k.system = c.tr("System");
    k.document = c.tr("Chart");
    k.saved = c.tr("Last saved");
    k.designedBy = c.tr("Designed by");
    k.checkedBy = c.tr("Checked by");
    k.approvedBy = c.tr("Approved by");
    k.owner = c.tr("Owner / location");
    k.units = c.tr("Units");
    k.notSaved = c.tr("not saved") + " (" + c.tr("printed") + " " + date + ")";
    return report::titleBlock(t, k);
}

report::Section machineSection(Context& c) {
    const auto& p = c.p;
    const auto& n = c.n;
    const auto& tr = c.tr;
    auto& pivots = quarvex::statics().Pivots();
    auto& drops = quarvex::statics().Drops();
    const int fixed = pivots.FixedSpansCount(p);
    report::KeyValues kv;
    kv.pairs.emplace_back(tr("Spans"), std::to_string(fixed) + " (" +
                                           n.unit(pivots.tramoAte(p, fixed), 2, "m") + ")");
    kv.pairs.emplace_back(tr(kOverhangLabel), p.p_has_overhang
                                                  ? n.unit(p.tramoVOladizo.longitude, 2, "m")
                                                  : tr("none"));
    kv.pairs.emplace_back(tr("Pipe length"), n.unit(pivots.AllSpanLenght(p), 2, "m"));
    kv.pairs.emplace_back(tr("End gun"), p.p_has_end_gun ? tr("yes") : tr("none"));
    if (p.p_has_end_gun) {
        kv.pairs.emplace_back(tr("End gun wetted radius"), n.unit(p.endGun.rs, 2, "m"));
        kv.pairs.emplace_back(tr("Booster"), c.w.endGunBoost() > 0
                                                 ? n.unit(c.w.endGunBoost(), 0, "kPa")
                                                 : tr("none"));
    }
    const auto& material = c.w.project().pipe_material.name;
    kv.pairs.emplace_back(tr("Hazen-Williams C") + " (" + tr("pipe") + ")",
                          n(p.rugosidad, 0) + (material.empty() ? "" : ", " + material));
    kv.pairs.emplace_back(
        tr("Hazen-Williams C") + " (" + tr("drop") + ")",
        drops.IsEmpty(c.w.drop()) ? tr("no drop") : n(c.w.drop().pipe_material.rugosidade, 0));
    kv.pairs.emplace_back(tr("Design discharge at the pivot"), n.unit(p.caudal, 2, "L/s"));
    kv.pairs.emplace_back(tr("Design pressure at the pivot"), n.unit(p.presion, 1, "kPa"));
    kv.pairs.emplace_back(tr("Irrigated radius"), n.unit(pivots.AllIrrigatedLenght(p), 2, "m"));
    kv.pairs.emplace_back(tr("Irrigated area"),
                          n.unit(squareMetresToHectares(pivots.IrrigatedArea(p)), 2, "ha"));
    kv.pairs.emplace_back(tr("Conventions"), tr("1 m of head counted as 10 kPa") + "; " +
                                                 tr("friction loss by Hazen-Williams") + "; " +
                                                 tr("distances from the pivot point"));

    report::Table t;
    t.headings = {tr("Span"),
                  tr("Reference span"),
                  tr("Length") + " (m)",
                  tr("Inside diameter") + " (mm)",
                  tr("Outside diameter") + " (mm)",
                  tr("Outlet spacing") + " (m)",
                  tr("End elevation") + " (m)",
                  tr("Outlets")};
    t.align = {Align::Left,  Align::Left,  Align::Right, Align::Right,
               Align::Right, Align::Right, Align::Right, Align::Right};
    const auto outside = outsideDiameters(c.w);
    auto row = [&](const std::string& name, const quarvex::tramo& s) {
        const auto od = outside.find(s.denominacion);
        t.rows.push_back({name, s.denominacion, n(s.longitude, 2), n(s.diametro, 1),
                          od == outside.end() ? std::string() : n(od->second, 1),
                          n(s.separacionSaidas, 2), n(s.site.end_cota, 2),
                          std::to_string(s.Saidas.Length())});
    };
    for (int i = 1; i <= p.Tramos.Length(); ++i) {
        row(spanName(p, i), p.Tramos(i));
    }
    if (p.p_has_overhang) {
        row(tr(kOverhangLabel), p.tramoVOladizo);
    }
    t.caption = tr("Outside diameter: blank where the reference span does not give it.");
    return {tr(chart_report::Machine), {kv, t}};
}

report::Section elevationSection(Context& c) {
    const auto& p = c.p;
    const auto& n = c.n;
    auto& pivots = quarvex::statics().Pivots();
    // The ground along the lateral: the pivot point and the end of every span (the ground
    // is taken straight between towers).
    std::vector<XYPoint> ground{{0, p.cota}};
    for (int i = 1; i <= p.Tramos.Length(); ++i) {
        ground.push_back({pivots.tramoAte(p, i), p.Tramos(i).site.end_cota});
    }
    if (p.p_has_overhang) {
        ground.push_back({pivots.AllSpanLenght(p), p.tramoVOladizo.site.end_cota});
    }
    XYPoint high = ground.front();
    XYPoint low = ground.front();
    double gain = 0;
    double drop = 0;
    for (std::size_t i = 1; i < ground.size(); ++i) {
        if (ground[i].y > high.y) {
            high = ground[i];
        }
        if (ground[i].y < low.y) {
            low = ground[i];
        }
        const double step = ground[i].y - ground[i - 1].y;
        (step > 0 ? gain : drop) += std::abs(step);
    }
    const auto at = [&](const XYPoint& pt) {
        return n.unit(pt.y, 2, "m") + " " + c.tr("at") + " " + n.unit(pt.x, 1, "m");
    };
    report::KeyValues kv;
    kv.pairs = {{c.tr("At the pivot point"), n.unit(p.cota, 2, "m")},
                {c.tr("Highest along the lateral"), at(high)},
                {c.tr("Lowest along the lateral"), at(low)},
                {c.tr("Total gain"), n.unit(gain, 2, "m")},
                {c.tr("Total drop"), n.unit(drop, 2, "m")}};
    return {c.tr(chart_report::Elevation), {kv}};
}

report::Section capacitySection(Context& c) {
    const auto& p = c.p;
    const auto& n = c.n;
    const auto& tr = c.tr;
    double withGun = 0;
    double withoutGun = 0;
    double ideal = 0;
    for (const auto& ref : outletsInOrder(p)) {
        withGun += ref.outlet->caudal_do_aspersor;
        ideal += ref.outlet->caudal;
        if (ref.at.numeroTramo != -1) {
            withoutGun += ref.outlet->caudal_do_aspersor;
        }
    }
    const double area = squareMetresToHectares(quarvex::statics().Pivots().IrrigatedArea(p));
    report::KeyValues kv;
    kv.pairs.emplace_back(
        p.p_has_end_gun ? tr("Delivered discharge with the end gun") : tr("Delivered discharge"),
        n.unit(withGun, 3, "L/s"));
    kv.pairs.emplace_back(tr("Capacity without end gun"), n.unit(withoutGun, 3, "L/s"));
    if (area > 0) {
        kv.pairs.emplace_back(tr("Discharge per irrigated area"),
                              n.unit(withGun / area, 3, "L/s/ha") + " (" +
                                  n.unit(withGun / area * kSecondsPerDay / 1e4, 2, "mm/d") + ")");
    }
    std::string balance =
        n.unit(ideal, 3, "L/s") + " " + tr("against") + " " + n.unit(p.caudal, 3, "L/s");
    if (p.caudal > 0) {
        balance += " (" + n.unit(fractionToPercent(ideal / p.caudal - 1.0), 2, "%") + ")";
    }
    kv.pairs.emplace_back(tr("Ideal outlet and gun discharges against the design discharge"),
                          balance);
    return {tr(chart_report::Capacity), {kv}};
}

// The mark of each warning in the outlet table: a letter, "A" for the legend's first.
std::string warningMarks(unsigned flags) {
    std::string out;
    const auto& legend = warningLegend();
    for (std::size_t i = 0; i < legend.size(); ++i) {
        if (flags & legend[i].flag) {
            out += (out.empty() ? "" : " ") + std::string(1, static_cast<char>('A' + i));
        }
    }
    return out;
}

report::Section outletsSection(Context& c) {
    const auto& p = c.p;
    const auto& n = c.n;
    const auto& tr = c.tr;
    report::Table t;
    t.headings = {tr("Span"),
                  tr("Outlet"),
                  tr("Distance") + " (m)",
                  tr("Elevation") + " (m)",
                  tr("Pipe pressure") + " (kPa)",
                  tr("Sprinkler pressure") + " (kPa)",
                  tr("Regulator") + " (kPa)",
                  tr("Brand and model"),
                  tr("Nozzle"),
                  tr("Required") + " (L/s)",
                  tr("Delivered") + " (L/s)",
                  tr("Depth at 100 %") + " (mm)",
                  tr("Warning")};
    t.align.assign(t.headings.size(), Align::Right);
    t.wrap.assign(t.headings.size(), false);
    t.oneLineRows = true;
    for (std::size_t i : {0u, 7u, 8u, 12u}) {
        t.align[i] = Align::Left;
    }
    for (std::size_t i : {7u, 8u, 12u}) {
        t.wrap[i] = true;  // names and marks wrap; the numbers keep one line
    }
    for (const auto& ref : outletsInOrder(p)) {
        const quarvex::saida& o = *ref.outlet;
        const bool gun = ref.at.numeroTramo == -1;
        const auto& a = o.obj_aspersor;
        const bool regulated = ref.span && ref.span->temRegulador;
        const auto depth = depthOf(p, ref, o.caudal_do_aspersor, c.hours());
        t.rows.push_back(
            {spanName(p, ref.at.numeroTramo), gun ? std::string() : std::to_string(ref.at.saida),
             n(o.distanciaAoPivot, 2), n(o.cota, 2), n(pipePressure(c.w, ref), 1),
             n(o.pressao_actuante, 1), regulated ? n(ref.span->regulador.Preg, 1) : std::string(),
             a ? a->marca().nome + " " + a->modelo().nome : std::string(),
             a ? a->nome() : std::string(), n(o.caudal, 3), n(o.caudal_do_aspersor, 3),
             depth ? n(*depth, 2) : std::string(),
             warningMarks(outletWarnings(o, ref.span, a.get()))});
    }
    t.caption =
        tr("Pipe pressure: the pressure in the pipe at the outlet. Sprinkler pressure: "
           "what the nozzle works at after the drop and the regulator (at the end gun, with its "
           "booster). Regulator: its "
           "set pressure where one is fitted. Depth at 100 %: the depth the outlet "
           "applies in a revolution at 100 % timer.");
    report::Section s{tr(chart_report::Outlets), {t}};
    s.blocks.emplace_back(report::Paragraph{tr("Warnings") + ":"});
    const auto& legend = warningLegend();
    for (std::size_t i = 0; i < legend.size(); ++i) {
        s.blocks.emplace_back(report::Paragraph{std::string(1, static_cast<char>('A' + i)) + ": " +
                                                tr(legend[i].label) + " - " +
                                                tr(legend[i].description)});
    }
    return s;
}

// The distance of the end of every span (the overhang's included), m.
std::vector<double> spanEnds(const quarvex::pivot& p) {
    auto& pivots = quarvex::statics().Pivots();
    std::vector<double> ends;
    for (int i = 1; i <= p.Tramos.Length(); ++i) {
        ends.push_back(pivots.tramoAte(p, i));
    }
    if (p.p_has_overhang) {
        ends.push_back(pivots.AllSpanLenght(p));
    }
    return ends;
}

report::Section figuresSection(Context& c) {
    const auto& p = c.p;
    const auto& tr = c.tr;
    report::Section s{tr(chart_report::Figures), {}};

    report::FigurePlot pressure;
    pressure.xTitle = tr("Distance") + " (m)";
    pressure.yTitle = tr("Pressure") + " (kPa)";
    PlotLine pipe{tr("Pipe pressure"), {}};
    PlotLine sprinkler{tr("Sprinkler pressure"), {}};
    for (const auto& ref : outletsInOrder(p)) {
        if (ref.at.numeroTramo == -1) {
            continue;  // the gun throws beyond the pipe
        }
        pipe.points.push_back({ref.outlet->distanciaAoPivot, pipePressure(c.w, ref)});
        sprinkler.points.push_back({ref.outlet->distanciaAoPivot, ref.outlet->pressao_actuante});
    }
    pressure.lines = {pipe, sprinkler};
    pressure.marks = spanEnds(p);
    pressure.marksName = tr("Span ends");
    report::Figure f1{kPressureFigure, c.figureCaption(tr("Pressure along the lateral")),
                      kFigureHeight_mm};
    f1.plot = pressure;
    s.blocks.emplace_back(f1);

    report::FigurePlot depth;
    depth.xTitle = tr("Distance") + " (m)";
    depth.yTitle = tr("Depth") + " (mm)";
    depth.yPattern = "0.0";
    PlotLine ideal{tr("Ideal depth"), {}};
    PlotLine actual{tr("Actual depth"), {}};
    report::FigurePlot::Band band{tr("Ideal depth") + " ±20 %", {}, {}};
    for (const auto& ref : outletsInOrder(p)) {
        if (ref.at.numeroTramo == -1) {
            continue;
        }
        const double x = ref.outlet->distanciaAoPivot;
        const auto di = depthOf(p, ref, ref.outlet->caudal, c.hours());
        const auto da = depthOf(p, ref, ref.outlet->caudal_do_aspersor, c.hours());
        if (di && da) {
            ideal.points.push_back({x, *di});
            actual.points.push_back({x, *da});
            band.lower.push_back({x, *di * (1 - kDepthOffAverage)});
            band.upper.push_back({x, *di * (1 + kDepthOffAverage)});
        }
    }
    if (ideal.points.empty()) {
        s.blocks.emplace_back(report::Paragraph{
            tr("The depth needs the revolution time of the chart, which it does not have.")});
        return s;
    }
    depth.bands = {band};
    depth.lines = {ideal, actual};
    depth.marks = spanEnds(p);
    depth.marksName = tr("Span ends");
    report::Figure f2{kDepthFigure, c.figureCaption(tr("Depth applied along the lateral")),
                      kFigureHeight_mm};
    f2.plot = depth;
    s.blocks.emplace_back(f2);
    return s;
}

report::Section regulatorsSection(Context& c) {
    const auto& p = c.p;
    const auto& n = c.n;
    const auto& tr = c.tr;
    report::Section s{tr(chart_report::Regulators), {}};
    report::KeyValues kv;
    const std::string& model = c.w.chartSignoff().regulatorModel;
    kv.pairs.emplace_back(tr("Regulator model"), model.empty() ? std::string("-") : model);
    s.blocks.emplace_back(kv);

    report::Table t;
    t.headings = {
        tr("Span"),      tr("Set pressure") + " (kPa)",          tr("Flow range") + " (L/s)",
        tr("Installed"), tr("Lowest inlet pressure") + " (kPa)", tr("Margin met")};
    t.align = {Align::Left, Align::Right, Align::Right, Align::Left, Align::Right, Align::Left};
    std::vector<std::string> missing;
    const int fixed = p.Tramos.Length();
    for (const auto& r : c.w.regulatorRows()) {
        if (!r.input.fitted && r.input.pressure <= 0) {
            continue;
        }
        std::string range = "-";
        if (r.input.minimumDischarge || r.input.maximumDischarge) {
            range = n(r.input.minimumDischarge.value_or(0), 3) + " - " +
                    n(r.input.maximumDischarge.value_or(0), 3);
        }
        const quarvex::tramo* span = nullptr;
        if (r.input.tramo >= 1 && r.input.tramo <= fixed) {
            span = &p.Tramos(r.input.tramo);
        } else if (r.input.tramo == fixed + 1 && p.p_has_overhang) {
            span = &p.tramoVOladizo;
        }
        std::optional<double> lowest;
        if (span) {
            for (const auto& o : span->Saidas) {
                lowest = std::min(lowest.value_or(o.pressao_real), o.pressao_real);
            }
        }
        std::string met = "-";
        if (r.input.fitted && lowest) {
            const bool ok = *lowest >= r.input.pressure + kRegulatorMargin_kPa;
            met = ok ? tr("yes") : tr("no");
            if (!ok) {
                missing.push_back(r.label == kOverhangLabel ? tr(kOverhangLabel) : r.label);
            }
        }
        t.rows.push_back({r.label == kOverhangLabel ? tr(kOverhangLabel) : r.label,
                          n(r.input.pressure, 1), range, r.input.fitted ? tr("yes") : tr("no"),
                          lowest ? n(*lowest, 1) : std::string("-"), met});
    }
    if (t.rows.empty()) {
        s.blocks.emplace_back(report::Paragraph{tr("No regulators.")});
        return s;
    }
    s.blocks.emplace_back(t);
    s.blocks.emplace_back(report::Paragraph{
        tr("Margin rule: the inlet pressure at least the set pressure + 35 kPa.")});
    std::string list;
    for (const auto& m : missing) {
        list += (list.empty() ? "" : ", ") + m;
    }
    s.blocks.emplace_back(report::Paragraph{missing.empty()
                                                ? tr("Every regulated span meets it.")
                                                : tr("Spans that miss it") + ": " + list});
    return s;
}

report::Section dropSection(Context& c) {
    const auto& n = c.n;
    const auto& tr = c.tr;
    const quarvex::Drop& d = c.w.drop();
    auto& drops = quarvex::statics().Drops();
    report::KeyValues kv;
    const bool none = drops.IsEmpty(d);
    if (!none) {
        kv.pairs = {{tr("Material"), d.pipe_material.name.empty() ? "-" : d.pipe_material.name},
                    {tr("Hazen-Williams C"), n(d.pipe_material.rugosidade, 0)},
                    {tr("Length"), n.unit(d.longitud, 2, "m")},
                    {tr("Inside diameter"), n.unit(d.diametro, 1, "mm")},
                    {tr("Installed"), drops.IsInstalled(d) ? tr("yes") : tr("no")}};
    }
    const auto height = c.w.pipeHeight();
    kv.pairs.emplace_back(tr("Pipe height above ground"),
                          height ? n.unit(*height, 2, "m") : tr("not given"));
    const double length = !none && drops.IsInstalled(d) ? d.longitud : 0.0;
    kv.pairs.emplace_back(tr("Nozzle height above ground"),
                          height ? n.unit(*height - length, 2, "m") : std::string());
    report::Section s{tr(chart_report::Drop), {}};
    if (none) {
        s.blocks.emplace_back(report::Paragraph{tr("No drop.")});
    }
    s.blocks.emplace_back(kv);
    return s;
}

report::Section timerSection(Context& c) {
    const auto& n = c.n;
    const auto& tr = c.tr;
    report::Section s{tr(chart_report::PercentTimer), {}};
    if (!(c.hours() > 0)) {
        s.blocks.emplace_back(
            report::Paragraph{tr("The chart has no revolution time: no timer settings.")});
        return s;
    }
    quarvex::pivot machine = c.p;
    const quarvex::caixaVelocidades box = speedBox(machine, c.hours());
    s.blocks.emplace_back(
        report::Paragraph{tr("Hours per revolution at 100 % timer (the chart's revolution time)") +
                          ": " + n.unit(c.hours(), 2, "h")});
    report::Table t;
    t.headings = {tr("Timer") + " (%)", tr("Hours per revolution"),
                  tr("Speed at the end tower") + " (m/min)", tr("Depth applied") + " (mm)"};
    t.align.assign(4, Align::Right);
    for (int i = 1; i <= box.velocidades.Length(); ++i) {
        const auto& v = box.velocidades(i);
        t.rows.push_back({n(v.percentagem, 0), n(v.tempoDeUmaVolta, 2), n(v.velocidadeLinear, 2),
                          n(v.dotacao, 2)});
    }
    t.caption = tr("Depth applied: the design discharge spread over the irrigated area.");
    s.blocks.emplace_back(t);
    return s;
}

report::Section uniformitySection(Context& c) {
    const auto& n = c.n;
    const auto& tr = c.tr;
    report::Section s{tr(chart_report::Uniformity), {}};
    const auto ind = c.w.indicadores();
    if (!(ind.horasRevolucao > 0)) {
        s.blocks.emplace_back(
            report::Paragraph{tr("The chart has no revolution time: no uniformity.")});
        return s;
    }
    report::KeyValues kv;
    kv.pairs.emplace_back(tr("Revolution time"), n.unit(ind.horasRevolucao, 2, "h"));
    kv.pairs.emplace_back(tr("Plugged outlets"), std::to_string(ind.numeroSaidasObturadas));
    std::vector<std::string> problems;
    try {
        const auto r =
            computeIndicators(*c.w.currentWrapper(), ind.horasRevolucao, ind.numeroSaidasObturadas);
        const auto pct = [&](const std::optional<double>& v) {
            return v ? n.unit(fractionToPercent(*v), 2, "%") : std::string("N/A");
        };
        kv.pairs.emplace_back("UD", pct(r.UD));
        kv.pairs.emplace_back("CU", pct(r.CU));
        kv.pairs.emplace_back(tr("Expected depth"), n.unit(r.expectedDepth, 2, "mm"));
        kv.pairs.emplace_back(tr("Average depth"), n.unit(r.averageDepth, 2, "mm"));
        std::vector<std::string> off;
        int index = 0;
        for (const auto& ref : outletsInOrder(c.p)) {
            if (++index <= ind.numeroSaidasObturadas) {
                continue;  // plugged: left out of the indicators too
            }
            const auto d = depthOf(c.p, ref, ref.outlet->caudal_do_aspersor, ind.horasRevolucao);
            if (d && r.averageDepth > 0 &&
                std::abs(*d - r.averageDepth) > kDepthOffAverage * r.averageDepth) {
                off.push_back(spanName(c.p, ref.at.numeroTramo) +
                              (ref.at.numeroTramo == -1
                                   ? ""
                                   : " " + tr("outlet") + " " + std::to_string(ref.at.saida)));
            }
        }
        std::string list = std::to_string(off.size());
        for (std::size_t i = 0; i < off.size() && i < kMostListed; ++i) {
            list += (i ? ", " : ": ") + off[i];
        }
        if (off.size() > kMostListed) {
            list +=
                " " + tr("and") + " " + std::to_string(off.size() - kMostListed) + " " + tr("more");
        }
        kv.pairs.emplace_back(tr("Outlets more than 20 % off the average"), list);
        problems = r.problems;
    } catch (const quarvex::Error& e) {
        problems.push_back(tr("The indicators cannot be computed") + ": " +
                           quarvex::errorMessage(e.number()));
    }
    s.blocks.emplace_back(kv);
    for (const auto& p : problems) {
        s.blocks.emplace_back(report::Paragraph{p});
    }
    return s;
}

bool hasData(const quarvex::PivotSample& s) {
    return s.distanceToCenter > 0 && s.wetDiameter > 0;
}

report::Section runoffSection(Context& c) {
    const auto& n = c.n;
    const auto& tr = c.tr;
    report::Section s{tr(chart_report::Runoff), {}};
    const auto& check = c.w.pluviometryCheck();
    const auto storage = c.w.surfaceStorage();
    auto& wrapper = *c.w.currentWrapper();
    report::KeyValues kv;
    kv.pairs.emplace_back(tr("Surface storage"),
                          storage ? n.unit(*storage, 2, "mm") : tr("not given"));
    const bool soil = check.kostiakov.k != 0 && check.kostiakov.a != 0;
    kv.pairs.emplace_back(
        tr("Infiltration curve"),
        soil ? "k = " + n(check.kostiakov.k, 3) + " mm/h, a = " + n(check.kostiakov.a, 3)
             : tr("not given"));

    // The wetted diameter the outermost sprinkler needs.
    const double outer = outermostSprinklerDistance(c.p);
    std::string needed;
    if (!storage) {
        needed = tr("needs the surface storage");
    } else if (!soil || !(c.hours() > 0)) {
        needed = tr("needs the infiltration curve and the revolution time");
    } else {
        const auto r = requiredWettedDiameter(wrapper, outer, check.kostiakov, c.hours(), *storage);
        switch (r.kind) {
            case RequiredWettedDiameter::Kind::Found:
                needed = n.unit(r.diameter, 2, "m");
                break;
            case RequiredWettedDiameter::Kind::NotNeeded:
                needed = tr("not needed");
                break;
            case RequiredWettedDiameter::Kind::NotReached:
                needed = tr("none is enough");
                break;
            case RequiredWettedDiameter::Kind::NotComputed:
                needed = tr("cannot be computed") + ": " + r.why;
                break;
        }
    }
    kv.pairs.emplace_back(tr("Wetted diameter") + " " + tr("the outermost sprinkler needs") + " (" +
                              n.unit(outer, 1, "m") + ")",
                          needed);
    s.blocks.emplace_back(kv);

    if (!hasData(check.firstSample) && !hasData(check.secondSample)) {
        s.blocks.emplace_back(report::Paragraph{tr("The chart has no runoff points.")});
        return s;
    }
    const RunoffTabView v = runoffTabView(wrapper, check, c.hours(), storage, n.sep);
    if (v.failure) {
        s.blocks.emplace_back(report::Paragraph{*v.failure});
        return s;
    }
    report::Table t;
    t.headings = {tr("Point"),
                  tr("Distance") + " (m)",
                  tr("Wetted diameter") + " (m)",
                  tr("Peak rate") + " (mm/h)",
                  tr("Excess depth") + " (mm)",
                  tr("Verdict")};
    t.align = {Align::Left, Align::Right, Align::Right, Align::Right, Align::Right, Align::Left};
    t.wrap = {false, false, false, false, false, true};
    const quarvex::PivotSample* samples[2] = {&check.firstSample, &check.secondSample};
    std::vector<report::Figure> figures;
    for (int i = 0; i < 2; ++i) {
        const auto& sample = *samples[i];
        if (!hasData(sample)) {
            continue;
        }
        const RunoffPointView& pv = v.points[i];
        std::string peak;
        try {
            peak = n(wrapper.pluviosidadeMaxima(sample), 2);
        } catch (const std::exception&) {
            peak = "-";
        }
        t.rows.push_back({std::to_string(i + 1), n(sample.distanceToCenter, 1),
                          n(sample.wetDiameter, 2), peak,
                          pv.excess.empty() ? std::string("-") : pv.excess,
                          pv.verdict.empty() ? tr("surface storage not given") : pv.verdict});

        report::FigurePlot plot;
        plot.xTitle = tr("Time") + " (h)";
        plot.yTitle = tr("Rate") + " (mm/h)";
        plot.xPattern = "0.00";
        const std::string own = i == 0 ? kFirstEllipse : kSecondEllipse;
        for (const auto& line : v.curves) {
            if (line.name == own) {
                plot.lines.push_back({tr("Application rate"), line.points});
            } else if (line.name == kInfiltration) {
                plot.lines.push_back({tr("Infiltration"), line.points});
            }
        }
        for (const auto& shade : v.shaded) {
            if (shade.point == i + 1) {
                plot.bands.push_back({tr("Excess"), shade.lower, shade.upper});
            }
        }
        report::Figure f{runoffFigureKey(i + 1),
                         c.figureCaption(tr("Application rate against infiltration at") + " " +
                                         n.unit(sample.distanceToCenter, 1, "m")),
                         kFigureHeight_mm};
        f.plot = plot;
        figures.push_back(std::move(f));
    }
    s.blocks.emplace_back(t);
    for (const auto& p : v.problems) {
        s.blocks.emplace_back(report::Paragraph{p});
    }
    for (auto& f : figures) {
        s.blocks.emplace_back(std::move(f));
    }
    return s;
}

report::Section computationSection(Context& c) {
    const ComputationSummary& s = c.w.summary();
    const auto& n = c.n;
    const auto& tr = c.tr;
    report::KeyValues kv;
    kv.pairs.emplace_back(tr("Sprinklers"), std::to_string(s.sprinklers) + " / " +
                                                std::to_string(s.outlets) + " " + tr("outlets") +
                                                " (" + std::to_string(s.distinctNozzles) + " " +
                                                tr("nozzle sizes") + ")");
    kv.pairs.emplace_back(tr("Pressure at the last outlet"),
                          n.unit(s.lastOutletPressure, 1, "kPa"));
    if (s.hasEndGun) {
        kv.pairs.emplace_back(tr("Pressure at the end gun"), n.unit(s.endGunPressure, 1, "kPa"));
    }
    kv.pairs.emplace_back(tr("Outlets with warnings"), std::to_string(s.withWarnings));
    std::string how;
    switch (s.settlement) {
        case Settlement::Plain:
            how = tr("settled");
            break;
        case Settlement::Safeguarded:
            how = tr("settled by a search on the inlet discharge");
            break;
        case Settlement::NotSettled:
            how = tr("NOT SETTLED: results of the last pass");
            break;
        case Settlement::NotComputed:
            how = tr("not computed");
            break;
    }
    kv.pairs.emplace_back(tr("Computation"),
                          std::to_string(s.passes) + " " + tr("passes") + ", " + how);
    return {tr(chart_report::Computation), {kv}};
}

// The system's supply against the chart; none when the system has no pump curve and no
// measured supply.
std::optional<report::Section> supplySection(ChartWorkbench& w, const Numbers& n,
                                             const ChartCaptions& tr) {
    if (w.project().id <= 0) {
        return std::nullopt;
    }
    report::Section s{tr(chart_report::Supply), {}};
    Supply supply;
    try {
        supply = readFrom(w.databases().projects, [&](quarvex::Connection& con) {
            return loadSupply(con, w.project().id);
        });
    } catch (const std::exception&) {
        s.blocks.emplace_back(report::Paragraph{tr("The supply of the system could not be read")});
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
        kv.pairs.emplace_back(tr("Pump curve"), rows);
        kv.pairs.emplace_back(tr("Static lift"), n.unit(supply.line.lift, 2, "m"));
        if (supply.line.length > 0) {
            kv.pairs.emplace_back(tr("Line to the pivot point"),
                                  n.unit(supply.line.length, 1, "m") + ", " +
                                      n.unit(supply.line.diametro, 1, "mm") + ", C " +
                                      n(supply.line.rugosidad, 0));
        }
    }
    if (supply.nozzleWear > 0) {
        kv.pairs.emplace_back(tr("Nozzle wear"), n.unit(100 * supply.nozzleWear, 1, "%"));
    }
    if (const auto problem = supplyProblem(supply)) {
        s.blocks.emplace_back(kv);
        s.blocks.emplace_back(report::Paragraph{tr("The supply cannot be used") + ": " + *problem});
        return s;
    }
    try {
        const SupplyAnalysis a = analyseSupply(chartSetupOf(w), supply);
        for (const SupplyCase& c : a.cases) {
            if (c.name == kCaseGunOff && c.point.found && c.wrapper) {
                kv.pairs.emplace_back(tr("Operating point without end gun"),
                                      n.unit(c.point.caudal, 2, "L/s"));
            }
        }
        s.blocks.emplace_back(kv);
        const SupplyTabView v = supplyTabView(a, n.sep);
        report::Table t;
        t.headings = {tr("Case"),
                      tr("Discharge") + " (L/s)",
                      tr("Pressure at the pivot") + " (kPa)",
                      "UD (%)",
                      "CU (%)",
                      tr("Depth") + " (mm)",
                      tr("Lowest sprinkler pressure") + " (kPa)",
                      tr("Starved regulators")};
        t.align.assign(t.headings.size(), report::Align::Right);
        t.align[0] = report::Align::Left;
        for (const TableRow& row : v.cases.rows) {
            std::vector<std::string> cells;
            for (const TableCell& cell : row.cells) {
                cells.push_back(cell.displayText(n.sep));
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
            report::Paragraph{tr("The operating point cannot be computed") + ": " + e.what()});
    }
    return s;
}

}  // namespace

report::Document buildChartReport(ChartWorkbench& w, const std::string& date,
                                  const ChartCaptions& captions) {
    const Numbers n{w.decimalSeparator()};
    const auto chart = w.currentChart();
    const quarvex::pivot& p = w.currentWrapper()->pivot();
    Context c{w, p, n, captions};
    report::Document doc;
    doc.decimalSeparator = n.sep;
    doc.title =
        chart && !chart->getNome().empty() ? chart->getNome() : captions("Unsaved sprinkler chart");
    doc.subtitle = captions("Sprinkler chart of") + " " + w.project().nome;
    doc.sections.push_back(titleSection(c, date));
    doc.sections.push_back(machineSection(c));
    doc.sections.push_back(elevationSection(c));
    doc.sections.push_back(capacitySection(c));
    doc.sections.push_back(outletsSection(c));
    doc.sections.push_back(figuresSection(c));
    doc.sections.push_back(regulatorsSection(c));
    doc.sections.push_back(dropSection(c));
    doc.sections.push_back(timerSection(c));
    doc.sections.push_back(uniformitySection(c));
    doc.sections.push_back(runoffSection(c));
    if (auto s = supplySection(w, n, captions)) {
        doc.sections.push_back(std::move(*s));
    }
    doc.sections.push_back(computationSection(c));
    return doc;
}

}  // namespace kambrix
