// SPDX-License-Identifier: GPL-3.0-or-later
//
// The water a pivot must deliver: application efficiency of the sprinklers (EpaFunction),
// gross irrigation requirement and continuous discharge of the crop (Agronomics), and the
// system discharge for a field worked a number of hours a day.
//
// A number that is not given holds kMissing (-99). The check operations raise the
// program's "not given" numbers (errc::PaNotGiven ... errc::PeNotGiven) for the first input
// missing; the validity operations tell whether the inputs lie in their ranges. A formula
// whose result is not a finite number raises errc::ComputationOverflow,
// errc::ComputationDivisionByZero or errc::ComputationInvalid: an infinity or NaN never
// leaves these operations.
//
//     Agronomics a;
//     a.kf = 1; a.Etc = 6; a.Pe = 0;
//     a.epa.Pa = 50; a.epa.CU = 80; a.epa.Eto = 5; a.epa.U = 2; a.epa.CI = 10; a.epa.Oe = 1;
//     a.checkAgronomicGiven();                   // raises nothing: every input is given
//     double q = systemDischarge(50, a.continuousDischarge(), 20);  // L/s
#pragma once

#include <bit>
#include <cstdint>
#include <exception>
#include <limits>
#include <optional>
#include <string>

#include "shell/services.h"

namespace kambrix {

// The inputs of the agronomic screens, in the order the checks look at them.
enum class AgronomicInput { Pa, CU, Eto, U, CI, Oe, kf, Etc, Pe, FieldArea, HoursPerDay, Qfc };

// A closed, open or half-open interval of accepted values. x lies in it when
// lower < x < upper, or x = lower and includeLower, or x = upper and includeUpper; NaN never
// does.
struct ValueRange {
    double upper = 0;
    double lower = 0;
    bool includeLower = false;
    bool includeUpper = false;

    constexpr bool contains(double x) const {
        return (lower < x && x < upper) || (x == lower && includeLower) ||
               (x == upper && includeUpper);
    }
};

namespace agronomic_range {
inline constexpr double kMax = std::numeric_limits<double>::max();
// Just below the largest double: the upper end of Eto and U.
inline constexpr double kJustBelowMax = std::bit_cast<double>(std::uint64_t{0x7FEFFFFFFFFFFFE2});

inline constexpr ValueRange kf{kMax, 0, false, false};
inline constexpr ValueRange Etc{kMax, 0, false, false};
inline constexpr ValueRange Pe{kMax, 0, true, false};
inline constexpr ValueRange Pa{100, 0, false, true};
inline constexpr ValueRange CU{100, 0, false, true};
inline constexpr ValueRange Eto{kJustBelowMax, 0, false, false};
inline constexpr ValueRange U{kJustBelowMax, 0, false, false};
inline constexpr ValueRange CI{17, 7, true, true};
inline constexpr ValueRange Oe{1, 0, true, true};
// Field area, ha.
inline constexpr ValueRange FieldArea{kMax, 0, false, false};
// Daily functioning hours: 0 excluded, 24 included.
inline constexpr ValueRange HoursPerDay{24, 0, false, true};
// Continuous discharge of the scheduling model, L/s per hectare.
inline constexpr ValueRange Qfc{kMax, 0, true, false};
}  // namespace agronomic_range

// The range of an input.
const ValueRange& rangeOf(AgronomicInput input);

// How the messages name an input: "Kf", "Etc", "the precipitation", "Pa", ..., "the field
// area", "the functioning hours per day", "the continuous discharge".
std::string inputName(AgronomicInput input);

// "The value for <name> must be ..." for a value outside the input's range ("greater than 0
// and up to 100", "from 7 to 17", "0 or greater"); the upper end of the unbounded ranges is
// not named.
std::string rangeMessage(AgronomicInput input, char decimalSeparator = '.');

// The program number raised when the input is not given (errc::PaNotGiven ...), 0 for the
// inputs that have none (field area, hours, Qfc).
std::int32_t notGivenNumber(AgronomicInput input);
// The input a "not given" number names, none for other numbers.
std::optional<AgronomicInput> inputNotGiven(std::int32_t number);
// How the two screens name a field area that is not given: the agronomic design screen and
// the scheduling-model screen.
inline constexpr const char* kFieldAreaText = "the value of the field area";
inline constexpr const char* kSchedulingFieldAreaText = "the field area";

// The screens' message for an input not given: requirementMessage of "the value for Kf",
// "the value for Etc", "the value for the precipitation", "the Pa value" ... "the Oe value",
// "the continuos discharge value", "the functioning hours per day", or of `fieldAreaText`.
std::string notGivenMessage(AgronomicInput input,
                            const std::string& fieldAreaText = kFieldAreaText);

// Application-efficiency data of a system (a row of "epa_datas").
struct EpaFunction {
    int id = -99;           // row key; less than 1 while not stored
    double Pa = kMissing;   // area adequately irrigated, %
    double CU = kMissing;   // coefficient of uniformity, %
    double Eto = kMissing;  // reference evapotranspiration, mm/day
    double U = kMissing;    // wind speed, as the user's data has it
    double CI = kMissing;   // coarseness index of the spray, 7 to 17
    double Oe = kMissing;   // further efficiency factor, a fraction 0 to 1
    int id_sistema = -99;   // owning system

    bool stored() const noexcept { return id >= 1; }
    double value(AgronomicInput input) const;

    // Raises errc::PaNotGiven, CuNotGiven, EtoNotGiven, UNotGiven, CiNotGiven or OeNotGiven
    // for the first of Pa, CU, Eto, U, CI, Oe that is not given.
    void checkEpaGiven() const;
    // checkEpaGiven raises nothing.
    bool epaIsComplete() const;
    // Pa and CU in their ranges.
    bool epaInputsValid() const;
    // CI, U and Eto in their ranges.
    bool reInputsValid() const;
    // Oe in its range.
    bool oeValid() const;
    // Every one of the six inputs in its range.
    bool allInputsValid() const { return epaInputsValid() && reInputsValid() && oeValid(); }

    // Distribution efficiency of the adequately irrigated fraction, %:
    // 100 + (606 − 24.9·Pa + 0.349·Pa² − 0.00186·Pa³)·(1 − CU/100).
    // Pa = 50, CU = 80 give 100.2. Raises the "not given" number of Pa or CU when missing.
    double epaValue() const;
    // Fraction of the sprayed water that reaches the soil:
    // 0.976 + 0.005·Eto − 0.00017·Eto² + 0.0012·U − CI·(0.00043·Eto + 0.00018·U +
    // 0.000016·Eto·U). Eto = 5, U = 2, CI = 10 give 0.97245. Raises the "not given" number
    // of Eto, U or CI when missing.
    double reValue() const;
    // Epa·Oe·Re, %. Raises the "not given" number of the first input missing.
    double applicationEfficiency() const;
};

// Crop data of a system (a row of "tb_agronomico") with its application-efficiency data.
struct Agronomics {
    double kf = kMissing;   // factor multiplying the net need Etc − Pe
    double Etc = kMissing;  // crop evapotranspiration, mm/day
    double Pe = kMissing;   // effective precipitation, mm/day
    int id_sistema = -99;   // owning system
    int id = -99;           // row key; less than 1 while not stored
    EpaFunction epa;

    bool stored() const noexcept { return id >= 1; }
    // The value of any of the nine inputs (the efficiency ones from `epa`).
    double value(AgronomicInput input) const;

    // epa.checkEpaGiven(), then errc::KfNotGiven, EtcNotGiven or PeNotGiven for the first of
    // kf, Etc, Pe that is not given.
    void checkAgronomicGiven() const;
    // kf, Etc and Pe in their ranges and epa.epaIsComplete().
    bool agronomicInputsValid() const;
    // Gross irrigation requirement kf·(Etc − Pe)/(E/100), mm/day, E the application
    // efficiency in %. An efficiency of 0 raises errc::ComputationDivisionByZero; a missing
    // input its "not given" number.
    double grossIrrigationRequirement() const;
    // Continuous discharge GIR·10000/86400, L/s per hectare (GIR 6 mm/day gives 0.6944...).
    double continuousDischarge() const;
};

// The discharge the system must supply, L/s: area·Qc·24/hours, for a field of `area_ha`
// hectares (greater than 0), a continuous discharge `qc` in L/s per hectare and `hours` of
// work a day (greater than 0, at most 24). 50 ha, 0.6944... L/s/ha and 20 h give 41.67 L/s.
// An area or hours outside their ranges raise errc::ValueOutOfRange with the range message.
double systemDischarge(double area_ha, double qc, double hours);

// Why a result cannot be given.
struct Unavailable {
    enum class Kind { NotGiven, OutOfRange, Fault };
    Kind kind = Kind::NotGiven;
    AgronomicInput input = AgronomicInput::Pa;  // NotGiven and OutOfRange: which input
    std::string message;                        // in the user's terms
    std::exception_ptr fault;                   // Fault: the numbered error raised
};

// One result: a finite value, or why there is none.
struct AgronomicResult {
    std::optional<double> value;
    std::optional<Unavailable> unavailable;
    bool available() const noexcept { return value.has_value(); }
};

// Every result the agronomic data allow, each with its own reason when it cannot be given.
// Reasons come in the checks' order: the first input not given (with the screens' message),
// else the first input out of range (rangeMessage), else the fault of the formula.
struct AgronomicEvaluation {
    AgronomicResult epa;              // Epa, %: needs Pa and CU
    AgronomicResult re;               // Re, fraction: needs Eto, U and CI
    AgronomicResult efficiency;       // application efficiency, %: the six efficiency inputs
    AgronomicResult gir;              // GIR, mm/day: the efficiency inputs and kf, Etc, Pe
    AgronomicResult qc;               // continuous discharge, L/s per hectare
    AgronomicResult systemDischarge;  // L/s: also the field area and the hours
};

// Evaluates the record for a field of `area_ha` (kMissing or 0 when not given) worked
// `hours` a day (kMissing or 0 when not given). `fieldAreaText` is how the message of a
// missing area names it. Never throws for the data: faults are results.
AgronomicEvaluation evaluateAgronomics(const Agronomics& record, double area_ha, double hours,
                                       const std::string& fieldAreaText,
                                       char decimalSeparator = '.');

// The system discharge from a continuous discharge `qfc` (L/s per hectare) given by the
// scheduling model, with the same reasons (Qfc, then the field area, then the hours).
AgronomicResult evaluateDischargeFromQfc(double qfc, double area_ha, double hours,
                                         const std::string& fieldAreaText,
                                         char decimalSeparator = '.');

}  // namespace kambrix
