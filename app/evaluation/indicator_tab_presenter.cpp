// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/indicator_tab_presenter.h"

#include <cmath>

#include "evaluation/indicators.h"
#include "shell/services.h"

namespace kambrix {
namespace {

PlotLine profileOf(const WaterDepthSerie& serie) {
    PlotLine line{serie.name(), {}};
    for (const quarvex::WaterDepthSample& s : serie.samples()) {
        line.points.push_back({s.distanceFromCenter, s.depth});
    }
    return line;
}

TableCell valueCell(double value, int decimals) {
    if (value == kMissing) {
        return TableCell::ofText("", CellAlign::Right);
    }
    // A variation against an ideal consumption of 0 is no number either, whatever its sign.
    return TableCell::ofNumber(std::isfinite(value) ? value : std::nan(""), decimals);
}

}  // namespace

quarvex::indicadores indicatorRecordOf(const IndicatorInputs& in) {
    return quarvex::statics().newIndicadores(in.hours.value_or(0), in.plugged);
}

IndicatorInputs readIndicatorInputs(const std::string& hoursText, const std::string& pluggedText,
                                    char decimalSeparator) {
    IndicatorInputs in;
    if (!isBlank(hoursText)) {
        in.hours = parseNumber(hoursText, decimalSeparator);
    }
    const double plugged = parseNumber(pluggedText, decimalSeparator);
    // A count beyond any pivot stays beyond the total after the conversion.
    in.plugged = std::isfinite(plugged) && std::fabs(plugged) < 1e9 ? static_cast<int>(plugged)
                 : plugged < 0                                      ? -1
                                                                    : 1000000000;
    return in;
}

IndicatorProblem indicatorProblemKind(const IndicatorInputs& in, int totalOutlets) {
    if (!in.hours) {
        return IndicatorProblem::NoHours;
    }
    return validateIndicatorInputs(in.hours, in.plugged, totalOutlets) ? IndicatorProblem::Plugged
                                                                       : IndicatorProblem::None;
}

std::optional<std::string> indicatorInputsProblem(const IndicatorInputs& in, int totalOutlets) {
    return validateIndicatorInputs(in.hours, in.plugged, totalOutlets);
}

int outletsWithoutSprinkler(const quarvex::pivot& p) {
    int bare = 0;
    auto span = [&](const quarvex::tramo& t) {
        for (int k = 1; k <= t.Saidas.Length(); ++k) {
            bare += t.Saidas(k).obj_aspersor ? 0 : 1;
        }
    };
    for (int i = 1; i <= p.Tramos.Length(); ++i) {
        span(p.Tramos(i));
    }
    if (p.p_has_overhang) {
        span(p.tramoVOladizo);
    }
    if (p.p_has_end_gun && !p.endGun.saida.obj_aspersor) {
        ++bare;
    }
    return bare;
}

std::string bareOutletsText(int bare, int plugged) {
    if (bare <= 0) {
        return "Every outlet has a sprinkler";
    }
    return std::to_string(bare) + (bare == 1 ? " outlet has" : " outlets have") +
           " no sprinkler; " + std::to_string(plugged) + (plugged == 1 ? " is" : " are") +
           " counted as plugged";
}

TableData spanDischargeTableData(const quarvex::pivot& p) {
    TableData t{{"span", "idealConsumed", "consumed", "variation"}, {}};
    for (const SpanDischargeRow& r : spanDischargeTable(p)) {
        t.rows.push_back({{TableCell::ofText(r.name), valueCell(r.idealConsumed, 3),
                           valueCell(r.consumed, 3), valueCell(r.variationPercent, 2)},
                          CellFlag::None,
                          {}});
    }
    return t;
}

IndicatorTabView indicatorTabView(quarvex::PivotWrapper& wrapper, const IndicatorInputs& in,
                                  char decimalSeparator) {
    IndicatorTabView v;
    v.spans = spanDischargeTableData(wrapper.pivot());
    IndicatorResults r;
    try {
        r = computeIndicators(wrapper, in.hours.value_or(0), in.plugged);
    } catch (const quarvex::Error& e) {
        if (e.number() != quarvex::errc::EmptyWaterDepthSerie) {
            throw;
        }
        // Accepted, but no outlet is left to judge.
        v.problems.push_back("Every outlet is plugged: no outlet is left for the indicators");
        return v;
    }
    const auto text = [&](double x) { return formatDecimals(x, 2, decimalSeparator); };
    if (r.UD) {
        v.UD = text(fractionToPercent(*r.UD));
    }
    if (r.CU) {
        const double cu = fractionToPercent(*r.CU);
        v.CU = text(cu);
        v.band = uniformityBand(cu);
    }
    v.expectedDepth = text(r.expectedDepth);
    v.averageDepth = text(r.averageDepth);
    v.ideal = profileOf(*r.ideal);
    v.actual = profileOf(*r.actual);
    if (r.averageDepth > 0) {
        for (const XYPoint& pt : v.actual.points) {
            if (std::fabs(pt.y - r.averageDepth) > kDepartureFraction * r.averageDepth) {
                v.departing.push_back(pt);
            }
        }
    }
    if (!r.UD && !r.CU && r.averageDepth == 0) {
        // Every outlet left applies nothing (a chart without sprinklers): one reason in the
        // designer's terms instead of the two failed divisions.
        v.problems.push_back(
            "No outlet applies water yet: UD and CU need a chart with "
            "sprinklers");
        return v;
    }
    v.problems = r.problems;
    return v;
}

}  // namespace kambrix
