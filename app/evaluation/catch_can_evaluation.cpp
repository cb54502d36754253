// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/catch_can_evaluation.h"

#include "evaluation/water_depth_serie.h"

namespace kambrix {
namespace {

// Runs one indicator; a numbered failure leaves it empty and records why.
template <class F>
std::optional<double> indicator(const char* what, const std::string& name,
                                std::vector<std::string>& problems, F&& compute) {
    try {
        return compute();
    } catch (const quarvex::Error& e) {
        problems.push_back(name + ": " + what + " cannot be computed: " + e.what());
        return std::nullopt;
    }
}

}  // namespace

std::optional<CatchCanResult> evaluateReadings(const quarvex::Array<quarvex::FieldSample>& samples,
                                               quarvex::Pluviometro& can, const std::string& name) {
    if (samples.IsEmpty()) {
        return std::nullopt;
    }
    auto& fieldSamples = quarvex::statics().FieldSamples();
    const auto valid = fieldSamples.FilterValid(samples);
    CatchCanResult r;
    r.invalid = samples.Length() - valid.Length();
    if (valid.IsEmpty()) {
        r.problems.push_back(name + ": no valid reading, no indicator can be computed");
        return r;
    }
    WaterDepthSerie serie;
    serie.init(fieldSamples.CollectionToWaterDepth(valid, can), name);
    r.depths = serie.samples();
    r.average =
        indicator("the average depth", name, r.problems, [&] { return serie.WaterAverage(); });
    r.lowQuarterAverage = indicator("the low-quarter average", name, r.problems,
                                    [&] { return serie.LowQuarterWaterAverage(); });
    if (r.lowQuarterAverage) {
        r.UD = indicator("UD", name, r.problems, [&] { return serie.UniformityOfDestribuition(); });
    }
    r.CU = indicator("CU", name, r.problems, [&] { return serie.CoeficientOfUniformity(); });
    return r;
}

CatchCanEvaluation evaluateCatchCans(quarvex::PivotEvaluation& evaluation) {
    CatchCanEvaluation out;
    out.first = evaluateReadings(evaluation.firstSample, evaluation.pluviometer, "first");
    out.second = evaluateReadings(evaluation.secondSample, evaluation.pluviometer, "second");
    quarvex::Array<quarvex::FieldSample> all = evaluation.firstSample;
    for (const auto& s : evaluation.secondSample) {
        all.Push(s);
    }
    out.both = evaluateReadings(all, evaluation.pluviometer, "both");
    return out;
}

}  // namespace kambrix
