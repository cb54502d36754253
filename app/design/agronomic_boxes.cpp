// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/agronomic_boxes.h"

#include <cmath>
#include <limits>

#include "shell/number_input.h"

namespace kambrix {

namespace {

using In = AgronomicInput;

constexpr In kEfficiencyInputs[] = {In::Pa, In::CU, In::Eto, In::U, In::CI, In::Oe};

}  // namespace

void setResultText(ResultTexts& r, ResultLabel label, std::string text) {
    switch (label) {
        case ResultLabel::DEpa:
            r.DEpa = std::move(text);
            break;
        case ResultLabel::Re:
            r.Re = std::move(text);
            break;
        case ResultLabel::Epa:
            r.Epa = std::move(text);
            break;
        case ResultLabel::GIR:
            r.GIR = std::move(text);
            break;
        case ResultLabel::Caudal:
            r.Caudal = std::move(text);
            break;
    }
}

double boxValue(const std::string& text, char decimalSeparator) {
    if (isBlank(text)) {
        return kMissing;
    }
    const double x = parseNumber(text, decimalSeparator);
    if (!isNumberText(text, decimalSeparator) || !std::isfinite(x)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return x;
}

std::string boxText(double value, char decimalSeparator, double missing) {
    if (value == missing) {
        return {};
    }
    return toLocaleText(roundTripText(value), decimalSeparator);
}

std::optional<std::string> checkBox(AgronomicInput input, const std::string& text,
                                    char decimalSeparator) {
    constexpr double kMax = std::numeric_limits<double>::max();
    // Any finite number passes this first check: it only refuses what is not a number.
    if (auto notANumber =
            checkNumberText(text, decimalSeparator, NumberRange{-kMax, kMax}, inputName(input))) {
        return notANumber;
    }
    if (isBlank(text) || rangeOf(input).contains(parseNumber(text, decimalSeparator))) {
        return std::nullopt;
    }
    return rangeMessage(input, decimalSeparator);
}

std::vector<std::string> ciChoices() {
    std::vector<std::string> items;
    for (int ci = static_cast<int>(agronomic_range::CI.lower);
         ci <= static_cast<int>(agronomic_range::CI.upper); ++ci) {
        items.push_back(std::to_string(ci));
    }
    return items;
}

EpaFunction readEfficiencyBoxes(const EfficiencyBoxes& boxes, char decimalSeparator,
                                const EpaFunction& base) {
    EpaFunction e = base;
    e.Pa = boxValue(boxes.Pa, decimalSeparator);
    e.CU = boxValue(boxes.CU, decimalSeparator);
    e.Eto = boxValue(boxes.Eto, decimalSeparator);
    e.U = boxValue(boxes.U, decimalSeparator);
    e.CI = boxValue(boxes.CI, decimalSeparator);
    e.Oe = boxValue(boxes.Oe, decimalSeparator);
    return e;
}

EfficiencyBoxes efficiencyBoxes(const EpaFunction& epa, char decimalSeparator) {
    return {boxText(epa.Pa, decimalSeparator),  boxText(epa.CU, decimalSeparator),
            boxText(epa.Eto, decimalSeparator), boxText(epa.U, decimalSeparator),
            boxText(epa.CI, decimalSeparator),  boxText(epa.Oe, decimalSeparator)};
}

std::optional<std::string> checkEfficiencyBoxes(const EfficiencyBoxes& boxes,
                                                char decimalSeparator) {
    for (In input : kEfficiencyInputs) {
        if (auto m = checkBox(input, efficiencyBoxOf(boxes, input), decimalSeparator)) {
            return m;
        }
    }
    return std::nullopt;
}

const char* labelName(ResultLabel label) {
    switch (label) {
        case ResultLabel::DEpa:
            return "lblDEpa_v";
        case ResultLabel::Re:
            return "lblRe_v";
        case ResultLabel::Epa:
            return "lblEpa_v";
        case ResultLabel::GIR:
            return "lblGIR_v";
        case ResultLabel::Caudal:
            return "lblCaudal_v";
    }
    return "";
}

std::optional<Quantity> inputQuantity(AgronomicInput input) {
    switch (input) {
        case In::Etc:
        case In::Pe:
        case In::Eto:
            return Quantity::DailyDepth;
        case In::FieldArea:
            return Quantity::Area;
        case In::Qfc:
            return Quantity::DischargePerArea;
        default:
            return std::nullopt;
    }
}

std::optional<Quantity> resultQuantity(ResultLabel label) {
    switch (label) {
        case ResultLabel::GIR:
            return Quantity::DailyDepth;
        case ResultLabel::Caudal:
            return Quantity::Discharge;
        default:
            return std::nullopt;
    }
}

std::vector<ResultLabel> labelsClearedBy(AgronomicInput notGiven) {
    switch (notGiven) {
        case In::Pa:
        case In::CU:
            return {ResultLabel::DEpa, ResultLabel::Epa};
        case In::Eto:
        case In::U:
        case In::CI:
            return {ResultLabel::Re, ResultLabel::Epa};
        case In::Oe:
            return {ResultLabel::Epa};
        default:
            return {};
    }
}

std::optional<std::string> ResultTexts::text(ResultLabel label) const {
    switch (label) {
        case ResultLabel::DEpa:
            return DEpa;
        case ResultLabel::Re:
            return Re;
        case ResultLabel::Epa:
            return Epa;
        case ResultLabel::GIR:
            return GIR;
        case ResultLabel::Caudal:
            return Caudal;
    }
    return std::nullopt;
}

std::string resultText(double value, int decimals, char decimalSeparator) {
    return formatDecimals(value, decimals, decimalSeparator);
}

void showResult(ResultTexts& r, ResultLabel label, const AgronomicResult& result, int decimals,
                char decimalSeparator) {
    if (result.available()) {
        setResultText(r, label, resultText(*result.value, decimals, decimalSeparator));
        r.values[static_cast<std::size_t>(label)] = *result.value;
        return;
    }
    setResultText(r, label, std::string());
    if (!r.fault && result.unavailable && result.unavailable->kind == Unavailable::Kind::Fault) {
        r.fault = result.unavailable->fault;
    }
}

void reportNotGiven(ResultTexts& r, AgronomicInput input, const std::string& fieldAreaText) {
    r.message = notGivenMessage(input, fieldAreaText);
    r.cleared = labelsClearedBy(input);
    for (ResultLabel label : r.cleared) {
        setResultText(r, label, std::string());
    }
}

ResultTexts efficiencyResults(const EpaFunction& epa, char decimalSeparator) {
    Agronomics record;
    record.epa = epa;
    const AgronomicEvaluation ev =
        evaluateAgronomics(record, kMissing, kMissing, kFieldAreaText, decimalSeparator);
    ResultTexts r;
    showResult(r, ResultLabel::DEpa, ev.epa, kEfficiencyDecimals, decimalSeparator);
    showResult(r, ResultLabel::Re, ev.re, kReDecimals, decimalSeparator);
    showResult(r, ResultLabel::Epa, ev.efficiency, kEfficiencyDecimals, decimalSeparator);
    try {
        epa.checkEpaGiven();
    } catch (const AppError& e) {
        const auto input = inputNotGiven(e.number());
        if (!input) {
            throw;
        }
        reportNotGiven(r, *input, kFieldAreaText);
    }
    return r;
}

std::string efficiencyBoxOf(const EfficiencyBoxes& b, AgronomicInput input) {
    switch (input) {
        case AgronomicInput::Pa:
            return b.Pa;
        case AgronomicInput::CU:
            return b.CU;
        case AgronomicInput::Eto:
            return b.Eto;
        case AgronomicInput::U:
            return b.U;
        case AgronomicInput::CI:
            return b.CI;
        case AgronomicInput::Oe:
            return b.Oe;
        default:
            return {};
    }
}

}  // namespace kambrix
