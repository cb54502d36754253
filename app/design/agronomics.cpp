// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/agronomics.h"

#include <cmath>
#include <initializer_list>
#include <span>

namespace kambrix {

namespace {

using In = AgronomicInput;

constexpr In kEpaInputs[] = {In::Pa, In::CU};
// In the order checkEpaGiven looks at them.
constexpr In kReInputs[] = {In::Eto, In::U, In::CI};
constexpr In kEfficiencyInputs[] = {In::Pa, In::CU, In::Eto, In::U, In::CI, In::Oe};
constexpr In kAllInputs[] = {In::Pa, In::CU, In::Eto, In::U, In::CI,
                             In::Oe, In::kf, In::Etc, In::Pe};

// An upper end this large is not worth naming in a message.
constexpr double kUnboundedAbove = 1e300;

bool given(double x) {
    return x != kMissing;
}

void raiseIfNotGiven(double x, In input) {
    if (!given(x)) {
        raiseError(notGivenNumber(input));
    }
}

// The result of a formula, or its fault. Inputs that are not finite make the operation
// invalid; finite inputs with a result that is not finite overflowed on the way (the one
// division of the formulas is checked for a zero divisor before it is made).
double finiteResult(double result, std::initializer_list<double> inputs, const std::string& what) {
    if (std::isfinite(result)) {
        return result;
    }
    for (double x : inputs) {
        if (!std::isfinite(x)) {
            raiseError(errc::ComputationInvalid,
                       "The " + what + " cannot be computed from a value that is not a number");
        }
    }
    raiseError(errc::ComputationOverflow, "The " + what + " is too large to be computed");
}

Unavailable notGiven(In input, const std::string& fieldAreaText) {
    Unavailable u;
    u.kind = Unavailable::Kind::NotGiven;
    u.input = input;
    u.message = notGivenMessage(input, fieldAreaText);
    return u;
}

Unavailable outOfRange(In input, char decimalSeparator) {
    Unavailable u;
    u.kind = Unavailable::Kind::OutOfRange;
    u.input = input;
    u.message = rangeMessage(input, decimalSeparator);
    return u;
}

// The first input not given, else the first out of its range.
std::optional<Unavailable> firstProblem(const Agronomics& a, std::span<const In> inputs,
                                        char decimalSeparator) {
    for (In input : inputs) {
        if (!given(a.value(input))) {
            return notGiven(input, kFieldAreaText);
        }
    }
    for (In input : inputs) {
        if (!rangeOf(input).contains(a.value(input))) {
            return outOfRange(input, decimalSeparator);
        }
    }
    return std::nullopt;
}

// The area (0 counts as not given: the project store keeps it so) and the hours.
std::optional<Unavailable> fieldProblem(double area_ha, double hours,
                                        const std::string& fieldAreaText, char decimalSeparator) {
    if (!given(area_ha) || area_ha == 0) {
        return notGiven(In::FieldArea, fieldAreaText);
    }
    if (!given(hours) || hours == 0) {
        return notGiven(In::HoursPerDay, fieldAreaText);
    }
    if (!agronomic_range::FieldArea.contains(area_ha)) {
        return outOfRange(In::FieldArea, decimalSeparator);
    }
    if (!agronomic_range::HoursPerDay.contains(hours)) {
        return outOfRange(In::HoursPerDay, decimalSeparator);
    }
    return std::nullopt;
}

template <class F>
AgronomicResult resultOf(const std::optional<Unavailable>& problem, F&& formula) {
    AgronomicResult r;
    if (problem) {
        r.unavailable = problem;
        return r;
    }
    try {
        r.value = formula();
    } catch (const AppError& e) {
        Unavailable u;
        u.kind = Unavailable::Kind::Fault;
        u.message = e.what();
        u.fault = std::current_exception();
        r.unavailable = std::move(u);
    }
    return r;
}

}  // namespace

const ValueRange& rangeOf(AgronomicInput input) {
    namespace r = agronomic_range;
    switch (input) {
        case In::Pa:
            return r::Pa;
        case In::CU:
            return r::CU;
        case In::Eto:
            return r::Eto;
        case In::U:
            return r::U;
        case In::CI:
            return r::CI;
        case In::Oe:
            return r::Oe;
        case In::kf:
            return r::kf;
        case In::Etc:
            return r::Etc;
        case In::Pe:
            return r::Pe;
        case In::FieldArea:
            return r::FieldArea;
        case In::HoursPerDay:
            return r::HoursPerDay;
        case In::Qfc:
            return r::Qfc;
    }
    return r::Qfc;
}

std::string inputName(AgronomicInput input) {
    switch (input) {
        case In::Pa:
            return "Pa";
        case In::CU:
            return "CU";
        case In::Eto:
            return "Eto";
        case In::U:
            return "U";
        case In::CI:
            return "CI";
        case In::Oe:
            return "Oe";
        case In::kf:
            return "Kf";
        case In::Etc:
            return "Etc";
        case In::Pe:
            return "the precipitation";
        case In::FieldArea:
            return "the field area";
        case In::HoursPerDay:
            return "the functioning hours per day";
        case In::Qfc:
            return "the continuous discharge";
    }
    return {};
}

std::string rangeMessage(AgronomicInput input, char decimalSeparator) {
    const ValueRange& r = rangeOf(input);
    const bool bounded = r.upper < kUnboundedAbove;
    const std::string lower = formatLong(r.lower, decimalSeparator);
    std::string bounds;
    if (!r.includeLower) {
        bounds = "greater than " + lower;
    } else if (bounded) {
        bounds = "from " + lower;
    } else {
        bounds = lower + " or greater";
    }
    if (bounded) {
        const std::string upper = formatLong(r.upper, decimalSeparator);
        if (!r.includeUpper) {
            bounds += " and less than " + upper;
        } else if (r.includeLower) {
            bounds += " to " + upper;
        } else {
            bounds += " and up to " + upper;
        }
    }
    return "The value for " + inputName(input) + " must be " + bounds;
}

std::int32_t notGivenNumber(AgronomicInput input) {
    switch (input) {
        case In::Pa:
            return errc::PaNotGiven;
        case In::CU:
            return errc::CuNotGiven;
        case In::Eto:
            return errc::EtoNotGiven;
        case In::U:
            return errc::UNotGiven;
        case In::CI:
            return errc::CiNotGiven;
        case In::Oe:
            return errc::OeNotGiven;
        case In::kf:
            return errc::KfNotGiven;
        case In::Etc:
            return errc::EtcNotGiven;
        case In::Pe:
            return errc::PeNotGiven;
        case In::FieldArea:
        case In::HoursPerDay:
        case In::Qfc:
            break;
    }
    return 0;
}

std::optional<AgronomicInput> inputNotGiven(std::int32_t number) {
    for (In input : kAllInputs) {
        if (notGivenNumber(input) == number) {
            return input;
        }
    }
    return std::nullopt;
}

std::string notGivenMessage(AgronomicInput input, const std::string& fieldAreaText) {
    switch (input) {
        case In::kf:
            return requirementMessage({"the value for Kf"});
        case In::Etc:
            return requirementMessage({"the value for Etc"});
        case In::Pe:
            return requirementMessage({"the value for the precipitation"});
        case In::FieldArea:
            return requirementMessage({fieldAreaText});
        case In::HoursPerDay:
            return requirementMessage({"the functioning hours per day"});
        case In::Qfc:
            return requirementMessage({"the continuos discharge value"});
        case In::Pa:
        case In::CU:
        case In::Eto:
        case In::U:
        case In::CI:
        case In::Oe:
            break;
    }
    return requirementMessage({"the " + inputName(input) + " value"});
}

double EpaFunction::value(AgronomicInput input) const {
    switch (input) {
        case In::Pa:
            return Pa;
        case In::CU:
            return CU;
        case In::Eto:
            return Eto;
        case In::U:
            return U;
        case In::CI:
            return CI;
        case In::Oe:
            return Oe;
        default:
            return kMissing;
    }
}

void EpaFunction::checkEpaGiven() const {
    for (In input : kEfficiencyInputs) {
        raiseIfNotGiven(value(input), input);
    }
}

bool EpaFunction::epaIsComplete() const {
    for (In input : kEfficiencyInputs) {
        if (!given(value(input))) {
            return false;
        }
    }
    return true;
}

bool EpaFunction::epaInputsValid() const {
    return agronomic_range::Pa.contains(Pa) && agronomic_range::CU.contains(CU);
}

bool EpaFunction::reInputsValid() const {
    return agronomic_range::CI.contains(CI) && agronomic_range::U.contains(U) &&
           agronomic_range::Eto.contains(Eto);
}

bool EpaFunction::oeValid() const {
    return agronomic_range::Oe.contains(Oe);
}

double EpaFunction::epaValue() const {
    for (In input : kEpaInputs) {
        raiseIfNotGiven(value(input), input);
    }
    const double loss = 606 - 24.9 * Pa + 0.349 * std::pow(Pa, 2.0) - 0.00186 * std::pow(Pa, 3.0);
    return finiteResult(100 + loss * (1 - CU / kPercent), {Pa, CU},
                        "distribution efficiency (Epa)");
}

double EpaFunction::reValue() const {
    for (In input : kReInputs) {
        raiseIfNotGiven(value(input), input);
    }
    const double re = 0.976 + 0.005 * Eto - 0.00017 * std::pow(Eto, 2.0) + 0.0012 * U -
                      CI * (0.00043 * Eto + 0.00018 * U + 0.000016 * Eto * U);
    return finiteResult(re, {Eto, U, CI}, "fraction reaching the soil (Re)");
}

double EpaFunction::applicationEfficiency() const {
    checkEpaGiven();
    const double epa = epaValue();
    const double re = reValue();
    return finiteResult(epa * Oe * re, {Oe}, "application efficiency");
}

double Agronomics::value(AgronomicInput input) const {
    switch (input) {
        case In::kf:
            return kf;
        case In::Etc:
            return Etc;
        case In::Pe:
            return Pe;
        default:
            return epa.value(input);
    }
}

void Agronomics::checkAgronomicGiven() const {
    epa.checkEpaGiven();
    raiseIfNotGiven(kf, In::kf);
    raiseIfNotGiven(Etc, In::Etc);
    raiseIfNotGiven(Pe, In::Pe);
}

bool Agronomics::agronomicInputsValid() const {
    return agronomic_range::kf.contains(kf) && agronomic_range::Etc.contains(Etc) &&
           agronomic_range::Pe.contains(Pe) && epa.epaIsComplete();
}

double Agronomics::grossIrrigationRequirement() const {
    checkAgronomicGiven();
    const double efficiency = epa.applicationEfficiency() / kPercent;
    if (efficiency == 0) {
        raiseError(errc::ComputationDivisionByZero,
                   "The gross irrigation requirement cannot be computed: the application "
                   "efficiency is 0");
    }
    return finiteResult(kf * (Etc - Pe) / efficiency, {kf, Etc, Pe},
                        "gross irrigation requirement");
}

double Agronomics::continuousDischarge() const {
    const double gir = grossIrrigationRequirement();
    return finiteResult(gir * kSquareMetresPerHectare / kSecondsPerDay, {gir},
                        "continuous discharge");
}

double systemDischarge(double area_ha, double qc, double hours) {
    if (!agronomic_range::FieldArea.contains(area_ha)) {
        raiseError(errc::ValueOutOfRange, rangeMessage(In::FieldArea));
    }
    if (!agronomic_range::HoursPerDay.contains(hours)) {
        raiseError(errc::ValueOutOfRange, rangeMessage(In::HoursPerDay));
    }
    return finiteResult(area_ha * qc * kHoursPerDay / hours, {qc}, "system discharge");
}

AgronomicEvaluation evaluateAgronomics(const Agronomics& record, double area_ha, double hours,
                                       const std::string& fieldAreaText, char decimalSeparator) {
    const EpaFunction& epa = record.epa;
    AgronomicEvaluation out;
    out.epa = resultOf(firstProblem(record, kEpaInputs, decimalSeparator),
                       [&] { return epa.epaValue(); });
    out.re =
        resultOf(firstProblem(record, kReInputs, decimalSeparator), [&] { return epa.reValue(); });
    out.efficiency = resultOf(firstProblem(record, kEfficiencyInputs, decimalSeparator),
                              [&] { return epa.applicationEfficiency(); });
    out.gir = resultOf(firstProblem(record, kAllInputs, decimalSeparator),
                       [&] { return record.grossIrrigationRequirement(); });
    out.qc = resultOf(out.gir.unavailable, [&] { return record.continuousDischarge(); });
    std::optional<Unavailable> dischargeProblem = out.qc.unavailable;
    if (!dischargeProblem) {
        dischargeProblem = fieldProblem(area_ha, hours, fieldAreaText, decimalSeparator);
    }
    out.systemDischarge =
        resultOf(dischargeProblem, [&] { return systemDischarge(area_ha, *out.qc.value, hours); });
    return out;
}

AgronomicResult evaluateDischargeFromQfc(double qfc, double area_ha, double hours,
                                         const std::string& fieldAreaText, char decimalSeparator) {
    std::optional<Unavailable> problem;
    if (!given(qfc)) {
        problem = notGiven(In::Qfc, fieldAreaText);
    } else if (auto field = fieldProblem(area_ha, hours, fieldAreaText, decimalSeparator);
               field && field->kind == Unavailable::Kind::NotGiven) {
        problem = field;
    } else if (!agronomic_range::Qfc.contains(qfc)) {
        problem = outOfRange(In::Qfc, decimalSeparator);
    } else {
        problem = field;
    }
    return resultOf(problem, [&] { return systemDischarge(area_ha, qfc, hours); });
}

}  // namespace kambrix
