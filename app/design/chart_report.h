// SPDX-License-Identifier: GPL-3.0-or-later
//
// The printed sprinkler chart as a report document, as a reviewer checks a sprinkler package:
// the title block, the machine, the field's elevation along the lateral, the capacity with
// and without the end gun, every outlet with its pipe and sprinkler pressure, the
// regulators, the drop, the percent-timer settings, the uniformity, the runoff check with the
// wetted diameter the outermost sprinkler needs, the figures (pressure and depth along the
// lateral, one runoff plot per point), the supply when the system has one and how the
// computation settled. Everything comes from the stored chart and its system; numbers are in
// SI units (m, mm, L/s, kPa, h).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "design/chart_workbench.h"
#include "shell/language_file.h"
#include "shell/report_document.h"

namespace kambrix {

// Section titles of the printed chart, in order (the English captions).
namespace chart_report {
inline constexpr const char* TitleBlock = "Sprinkler chart";
inline constexpr const char* Machine = "Machine";
inline constexpr const char* Elevation = "Elevation";
inline constexpr const char* Capacity = "Capacity";
inline constexpr const char* Outlets = "Outlets";
inline constexpr const char* Figures = "Figures";
inline constexpr const char* Regulators = "Regulators";
inline constexpr const char* Drop = "Drop";
inline constexpr const char* PercentTimer = "Percent timer";
inline constexpr const char* Uniformity = "Uniformity";
inline constexpr const char* Runoff = "Runoff";
inline constexpr const char* Supply = "Supply";
inline constexpr const char* Computation = "Computation";
}  // namespace chart_report

// The keys of the figures (report::Figure::key); each carries its plot.
inline constexpr const char* kPressureFigure = "pressure";
inline constexpr const char* kDepthFigure = "depth";
// "runoff1", "runoff2": the runoff plot of each point with data.
std::string runoffFigureKey(int point);

// The fraction of the average depth beyond which an outlet is listed as off the average.
inline constexpr double kDepthOffAverage = 0.20;

// The section of the language file that holds the printed chart's captions.
inline constexpr const char* kChartReportSection = "rptCarta";

// The captions of the printed chart in the reader's language: entries
// "<English caption>|Caption|<text>" of the language file's section; a caption without an
// entry prints in English.
class ChartCaptions {
  public:
    ChartCaptions() = default;
    explicit ChartCaptions(const std::vector<TranslationEntry>& entries);
    // From the language file; a file that cannot be read, or has no such section, gives the
    // English captions.
    static ChartCaptions fromFile(const std::filesystem::path& languageFile);
    std::string operator()(const std::string& english) const;

  private:
    std::map<std::string, std::string> texts_;
};

// The report of the workbench's current pivot and chart. `date` is today's date ("2024-05-17"),
// printed as the date of the chart's last save when the chart has never been saved. Numbers
// use the workbench's decimal separator. The title is the chart's name ("Unsaved sprinkler
// chart" for a chart without one). The runoff verdicts and the wetted diameter the
// outermost sprinkler needs use the workbench's surface storage (told as not given when
// there is none).
report::Document buildChartReport(ChartWorkbench& workbench, const std::string& date,
                                  const ChartCaptions& captions = {});

// The outermost sprinkler on the pipe (the end gun aside): its distance from the pivot
// point, m; 0 when the pivot has no outlet.
double outermostSprinklerDistance(const quarvex::pivot& p);

}  // namespace kambrix
