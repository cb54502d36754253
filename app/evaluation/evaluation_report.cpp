// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/evaluation_report.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "shell/number_text.h"
#include "shell/report_title_block.h"
#include "shell/services.h"

namespace kambrix {
namespace {

constexpr double kPlotHeight_mm = 95;

using report::Align;

report::Section samplesSection(const CatchCanSession& session, Radius radius,
                               char decimalSeparator) {
    report::Section s;
    s.title = radiusTitle(radius);
    report::Table t;
    const auto& headings = sampleColumnHeadings();
    t.headings.assign(headings.begin(), headings.end());
    t.headings.push_back("Note");
    t.align = {Align::Right, Align::Right, Align::Right, Align::Right, Align::Left};
    t.wrap = {false, false, false, false, true};
    for (const auto& g : session.gridRows(radius, decimalSeparator)) {
        if (g.state == RowState::Blank) {
            continue;
        }
        t.rows.push_back({g.position, g.volume, g.distance, g.depth, g.note});
    }
    if (t.rows.empty()) {
        s.blocks.emplace_back(report::Paragraph{"No readings were entered for this radius."});
    }
    s.blocks.emplace_back(std::move(t));
    return s;
}

std::string percentOrDash(const std::optional<double>& v, char sep) {
    return v ? formatDecimals(*v, kShownResultDecimals, sep) : std::string("-");
}

}  // namespace

ResultsTable beforeAfterTable(const Diagnosis& d, std::optional<double> designedUD,
                              std::optional<double> designedCU, bool withoutEndGun, bool smooth,
                              char sep) {
    ResultsTable t;
    t.headings = {"Cans", "UD (%)", "CU (%)"};
    auto row = [&](const char* what, const Uniformity& u) {
        t.rows.push_back({what, percentOrDash(u.UD, sep), percentOrDash(u.CU, sep)});
    };
    row("As measured", d.measured);
    row("After repair", d.afterRepair);
    if (withoutEndGun) {
        row("Without end gun", d.withoutEndGun);
    }
    if (smooth) {
        row("Three-can moving average", d.smoothed);
    }
    if (designedUD || designedCU) {
        t.rows.push_back({"Predicted by the chart", percentOrDash(designedUD, sep),
                          percentOrDash(designedCU, sep)});
    }
    return t;
}

report::Document evaluationReport(const CatchCanSession& session, const std::string& date,
                                  char decimalSeparator,
                                  const EvaluationDiagnosisReport* diagnosis) {
    report::Document doc;
    doc.decimalSeparator = decimalSeparator;
    doc.title = "Catch-can evaluation " + session.name();

    // The title block the printed chart has too.
    report::TitleBlockTexts tb;
    tb.system = diagnosis != nullptr && !diagnosis->systemName.empty() ? diagnosis->systemName
                                                                       : "not linked to a system";
    tb.document = session.name();
    tb.saved = diagnosis != nullptr ? diagnosis->testDate : std::string();
    tb.owner = diagnosis != nullptr ? diagnosis->owner : std::string();
    tb.units = "SI units: m, mm, L/s, kPa, h; can volumes in ml";
    report::TitleBlockCaptions tc;
    tc.document = "Evaluation";
    tc.saved = "Date of the test";
    tc.designedBy = "Evaluated by";
    tc.notSaved = "not recorded";
    doc.sections.push_back(report::titleBlock(tb, tc));

    report::Section head;
    head.title = "Evaluation";
    const auto diameter = session.canDiameterText(decimalSeparator);
    head.blocks.emplace_back(report::KeyValues{{
        {"Name", session.name()},
        {"Date", date},
        {"Can diameter", diameter.empty() ? std::string("not given") : diameter + " cm"},
    }});
    doc.sections.push_back(std::move(head));
    if (diagnosis != nullptr && !diagnosis->conditions.empty()) {
        report::KeyValues kv;
        kv.pairs = diagnosis->conditions;
        doc.sections.push_back(report::Section{"Test conditions", {std::move(kv)}});
    }

    const auto results = session.results();
    report::Section res;
    res.title = "Results";
    const auto table = resultsTable(results, decimalSeparator);
    report::Table shown;
    shown.headings = table.headings;
    shown.rows = table.rows;
    shown.align = {Align::Left, Align::Right, Align::Right, Align::Right};
    // A result that cannot be computed gives its reason, a sentence.
    shown.wrap = {true, true, true, true};
    res.blocks.emplace_back(std::move(shown));
    if (!results.both.bandText.empty()) {
        res.blocks.emplace_back(report::Paragraph{
            "CU of both radii " +
            resultText(results.both.CU_percent, kShownResultDecimals, decimalSeparator) +
            " %: " + results.both.bandText + "."});
    }
    res.blocks.emplace_back(report::Paragraph{
        "Each can is weighted by its distance from the pivot point. UD is the average depth "
        "of the driest quarter over the average depth; CU is the radius-weighted coefficient "
        "of uniformity (Heermann and Hein). A CU of 85 % or more is good, 80 to 85 % needs a "
        "closer look, below 80 % the sprinkler package should be changed."});
    doc.sections.push_back(std::move(res));

    const auto plot = session.plot();
    report::Section fig;
    fig.title = "Depth against distance";
    fig.blocks.emplace_back(report::Figure{
        kEvaluationPlotFigure,
        "Depth of each can against its distance from the pivot point. The line is the average "
        "depth of both radii; marked cans depart more than 20 % from it.",
        kPlotHeight_mm});
    report::Table departing;
    departing.headings = {"Radius", "Position", "S(j) (m)", "D(j) (mm)", "Departure (%)"};
    departing.align = {Align::Left, Align::Right, Align::Right, Align::Right, Align::Right};
    for (const auto& p : plot.departing) {
        departing.rows.push_back(
            {radiusTitle(p.radius), std::to_string(p.position),
             toLocaleText(roundTripText(p.distance_m), decimalSeparator),
             formatDecimals(p.depth_mm, 3, decimalSeparator),
             formatDecimals((p.depth_mm - *plot.average_mm) / *plot.average_mm * 100.0, 0,
                            decimalSeparator)});
    }
    fig.blocks.emplace_back(report::Paragraph{
        departing.rows.empty() ? "No can departs more than 20 % from the average depth."
                               : "Cans departing more than 20 % from the average depth:"});
    if (!departing.rows.empty()) {
        fig.blocks.emplace_back(std::move(departing));
    }
    doc.sections.push_back(std::move(fig));

    if (diagnosis != nullptr) {
        report::Section diag;
        diag.title = "Diagnosis";
        for (const auto& line : diagnosis->findings) {
            diag.blocks.emplace_back(report::Paragraph{line});
        }
        report::Table t;
        t.headings = diagnosis->beforeAfter.headings;
        t.rows = diagnosis->beforeAfter.rows;
        t.align = {Align::Left, Align::Right, Align::Right};
        t.wrap = {true, false, false};
        t.caption =
            "After repair: every low and high can replaced by the mean of its neighbours. "
            "Without end gun: the cans beyond the pipe's end left out. Three-can moving "
            "average: each can the mean of itself and its valid neighbours. Predicted by the "
            "chart: the UD and CU of the linked chart's depths at the test's revolution time.";
        diag.blocks.emplace_back(std::move(t));
        doc.sections.push_back(std::move(diag));
    }

    doc.sections.push_back(samplesSection(session, Radius::First, decimalSeparator));
    doc.sections.push_back(samplesSection(session, Radius::Second, decimalSeparator));
    return doc;
}

std::string todayText() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &local);
    return buf;
}

}  // namespace kambrix
