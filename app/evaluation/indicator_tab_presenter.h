// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the performance-indicator tab of the sprinkler-chart workbench shows, without its
// window: the reading of its two boxes, the texts of UD, CU and the two depths, the band of
// the CU, both depth profiles with the outlets that depart from the average depth, and the
// per-span discharge table.
//
// Use: `auto in = readIndicatorInputs(hoursText, pluggedText, ',');
//       if (auto why = indicatorInputsProblem(in, wrapper.numeroTotalDeSaidas())) show(*why);
//       else view = indicatorTabView(wrapper, in, ',');`
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

#include "evaluation/catch_can_session.h"
#include "shell/number_input.h"
#include "shell/plot_data.h"
#include "shell/table_data.h"

namespace kambrix {

// The boxes' ranges: a revolution takes more than 0 h (up to 1000 h); plugged outlets are a
// whole number.
inline constexpr NumberRange kRevolutionHoursRange{0, 1000, true, false, false};
inline constexpr NumberRange kPluggedOutletsRange{0, 100000, false, true, false};

struct IndicatorInputs {
    std::optional<double> hours;  // h; none when the box is blank
    int plugged = 0;              // outlets from the pivot point that give no water
};

// The two boxes' texts read by the leading-number rule (a blank plugged box reads as 0).
IndicatorInputs readIndicatorInputs(const std::string& hoursText, const std::string& pluggedText,
                                    char decimalSeparator);

// The chart's indicator record of accepted inputs (hours given).
quarvex::indicadores indicatorRecordOf(const IndicatorInputs& in);

enum class IndicatorProblem { None, NoHours, Plugged };
// Which box the refusal concerns (Plugged: its text is selected for typing over it).
IndicatorProblem indicatorProblemKind(const IndicatorInputs& in, int totalOutlets);
// The message refusing the inputs, or none: the requirement message for the hours, the
// message of too many (or negative) plugged outlets.
std::optional<std::string> indicatorInputsProblem(const IndicatorInputs& in, int totalOutlets);

// The outlets of the pivot without a sprinkler (the overhang's and the end gun's included):
// they give no water, and unless they are counted as plugged they lower UD and CU.
int outletsWithoutSprinkler(const quarvex::pivot& p);
// The line beside the plugged-outlets box: "Every outlet has a sprinkler", or "14 outlets
// have no sprinkler; 0 are counted as plugged" ("1 outlet has no sprinkler; ...").
std::string bareOutletsText(int bare, int plugged);

// The per-span table: span, ideal and actual consumed discharge (L/s, 3 decimals) and the
// variation (%, 2 decimals); "Over hang" as the last row when the pivot has one. Values that
// are not numbers read "N/A", the missing marker -99 an empty cell.
TableData spanDischargeTableData(const quarvex::pivot& p);

struct IndicatorTabView {
    // Texts with 2 decimals and the given separator ("" when it could not be computed).
    std::string UD;             // %
    std::string CU;             // %
    std::string expectedDepth;  // mm
    std::string averageDepth;   // mm
    // The band of the CU (uniformityBand: 85 % good, 80 % to 85 % a closer look, below 80 %
    // change the package); None when the CU is missing.
    UniformityBand band = UniformityBand::None;
    // The depth along the radius (x in m, y in mm), outlets after the plugged ones.
    PlotLine ideal;   // "ideal"
    PlotLine actual;  // "actual"
    // The outlets of the actual profile more than kDepartureFraction from the average depth.
    std::vector<XYPoint> departing;
    TableData spans;
    // Why a result is missing, in the user's terms.
    std::vector<std::string> problems;
};

// Computes the indicators (computeIndicators: it gives the hours to the wrapper) for inputs
// that indicatorInputsProblem accepts; refused inputs raise quarvex::Error.
IndicatorTabView indicatorTabView(quarvex::PivotWrapper& wrapper, const IndicatorInputs& in,
                                  char decimalSeparator);

}  // namespace kambrix
