// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/indicators.h"

#include <charconv>
#include <cmath>

namespace kambrix {
namespace {

constexpr double kPercent = 100;

template <class F>
std::optional<double> indicator(const char* what, std::vector<std::string>& problems, F&& compute) {
    try {
        return compute();
    } catch (const quarvex::Error& e) {
        problems.push_back(std::string(what) + " cannot be computed: " + e.what());
        return std::nullopt;
    }
}

// The outlets after the first `plugged` ones.
quarvex::Array<quarvex::WaterDepthSample> withoutPlugged(
    const quarvex::Array<quarvex::WaterDepthSample>& samples, int plugged) {
    return samples.Slice(plugged + 1, samples.Length());
}

}  // namespace

std::optional<std::string> validateIndicatorInputs(std::optional<double> hours, int plugged,
                                                   int totalOutlets) {
    if (!hours) {
        return std::string(kMustBeGiven) + kRevolutionHoursItem;
    }
    if (plugged < 0) {
        return std::string(kNegativePlugged);
    }
    if (plugged > totalOutlets) {
        return std::string(kTooManyPlugged);
    }
    return std::nullopt;
}

IndicatorResults computeIndicators(quarvex::PivotWrapper& wrapper, double hours, int plugged) {
    if (auto refused = validateIndicatorInputs(hours, plugged, wrapper.numeroTotalDeSaidas())) {
        quarvex::Exceptions::Throw(quarvex::errc::InvalidArgument, *refused);
    }
    wrapper.setTimeForCompleteRevolution(hours);
    IndicatorResults r;
    r.actual = std::make_shared<WaterDepthSerie>();
    r.actual->init(withoutPlugged(wrapper.WaterDepthsSamples(false), plugged), "actual");
    r.ideal = std::make_shared<WaterDepthSerie>();
    r.ideal->init(withoutPlugged(wrapper.WaterDepthsSamples(true), plugged), "ideal");
    r.UD = indicator("UD", r.problems, [&] { return r.actual->UniformityOfDestribuition(); });
    r.CU = indicator("CU", r.problems, [&] { return r.actual->CoeficientOfUniformity(); });
    r.expectedDepth = r.ideal->WaterAverage();
    r.averageDepth = r.actual->WaterAverage();
    return r;
}

std::vector<SpanDischargeRow> spanDischargeTable(const quarvex::pivot& p) {
    auto& pivots = quarvex::statics().Pivots();
    auto& tramos = quarvex::statics().Tramos();
    const auto row = [&](std::string name, const quarvex::tramo& span) {
        return SpanDischargeRow{std::move(name), tramos.IdealConsumedDischarge(span),
                                tramos.ConsumedDischarge(span),
                                kPercent * tramos.DischargeVariation(span)};
    };
    std::vector<SpanDischargeRow> rows;
    for (int i = 1; i <= pivots.FixedSpansCount(p); ++i) {
        rows.push_back(row(std::to_string(i), p.Tramos(i)));
    }
    if (pivots.hasOverHang(p)) {
        rows.push_back(row("Over hang", p.tramoVOladizo));
    }
    return rows;
}

double surfaceStorage(double Sm, double Sf, double k, double s) {
    return Sm + Sf + k * (12.0 - s * s) * (6.0 - s) / 144.0;
}

SurfaceStorageResult computeSurfaceStorage(std::optional<double> Sm, std::optional<double> k,
                                           std::optional<double> Sf, std::optional<double> s) {
    const std::pair<const std::optional<double>*, const char*> required[] = {
        {&Sm, "the storage capacity of the micro depressions (Sm)"},
        {&k, "the k parameter"},
        {&Sf, "storage on plant foliage (Sf)"},
        {&s, "the system average slope"},
    };
    for (const auto& [value, item] : required) {
        if (!*value) {
            return {std::nullopt, std::string(kMustBeGiven) + item};
        }
    }
    return {surfaceStorage(*Sm, *Sf, *k, *s), std::nullopt};
}

}  // namespace kambrix
