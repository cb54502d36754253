// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/evaluation_report.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "shell/number_text.h"
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

}  // namespace

report::Document evaluationReport(const CatchCanSession& session, const std::string& date,
                                  char decimalSeparator) {
    report::Document doc;
    doc.title = "Catch-can evaluation " + session.name();

    report::Section head;
    head.title = "Evaluation";
    const auto diameter = session.canDiameterText(decimalSeparator);
    head.blocks.emplace_back(report::KeyValues{{
        {"Name", session.name()},
        {"Date", date},
        {"Can diameter", diameter.empty() ? std::string("not given") : diameter + " cm"},
    }});
    doc.sections.push_back(std::move(head));

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
