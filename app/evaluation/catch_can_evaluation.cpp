// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/catch_can_evaluation.h"

#include <initializer_list>
#include <utility>

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

// The water depths of the valid readings of the lists, in the order read, in a list of
// exactly that length (a long test is not copied reading by reading). `invalid` receives the
// readings left out.
quarvex::Array<quarvex::WaterDepthSample> validDepths(
    std::initializer_list<const quarvex::Array<quarvex::FieldSample>*> lists,
    quarvex::Pluviometro& can, int& invalid) {
    auto& fieldSamples = quarvex::statics().FieldSamples();
    int valid = 0;
    invalid = 0;
    for (const auto* list : lists) {
        for (const auto& s : *list) {
            (fieldSamples.Valid(s) ? valid : invalid) += 1;
        }
    }
    quarvex::Array<quarvex::WaterDepthSample> depths(valid);
    int i = 0;
    for (const auto* list : lists) {
        for (const auto& s : *list) {
            if (fieldSamples.Valid(s)) {
                depths(++i) = fieldSamples.ToWaterDepth(s, can);
            }
        }
    }
    return depths;
}

std::optional<CatchCanResult> evaluateLists(
    std::initializer_list<const quarvex::Array<quarvex::FieldSample>*> lists,
    quarvex::Pluviometro& can, const std::string& name) {
    bool any = false;
    for (const auto* list : lists) {
        any = any || list->HasAny();
    }
    if (!any) {
        return std::nullopt;
    }
    CatchCanResult r;
    auto depths = validDepths(lists, can, r.invalid);
    if (depths.IsEmpty()) {
        r.problems.push_back(name + ": no valid reading, no indicator can be computed");
        return r;
    }
    WaterDepthSerie serie;
    serie.init(std::move(depths), name);
    r.average =
        indicator("the average depth", name, r.problems, [&] { return serie.WaterAverage(); });
    r.lowQuarterAverage = indicator("the low-quarter average", name, r.problems,
                                    [&] { return serie.LowQuarterWaterAverage(); });
    if (r.lowQuarterAverage) {
        r.UD = indicator("UD", name, r.problems, [&] { return serie.UniformityOfDestribuition(); });
    }
    r.CU = indicator("CU", name, r.problems, [&] { return serie.CoeficientOfUniformity(); });
    r.depths = serie.releaseSamples();
    return r;
}

}  // namespace

std::optional<CatchCanResult> evaluateReadings(const quarvex::Array<quarvex::FieldSample>& samples,
                                               quarvex::Pluviometro& can, const std::string& name) {
    return evaluateLists({&samples}, can, name);
}

CatchCanEvaluation evaluateCatchCans(quarvex::PivotEvaluation& evaluation) {
    CatchCanEvaluation out;
    auto& can = evaluation.pluviometer;
    out.first = evaluateLists({&evaluation.firstSample}, can, "first");
    out.second = evaluateLists({&evaluation.secondSample}, can, "second");
    // Both radii read as one list, the first radius before the second, without a copy.
    out.both = evaluateLists({&evaluation.firstSample, &evaluation.secondSample}, can, "both");
    return out;
}

}  // namespace kambrix
