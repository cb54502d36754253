// SPDX-License-Identifier: GPL-3.0-or-later
//
// Reading the input of the commands: the whole file as text, each kind of failure with its
// own message, and the physical range every number of the input must lie in.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kambrix::cli {

// A problem with the input, named by the field it concerns; reported as one line.
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Larger files are refused unread: a design or evaluation file is some kilobytes.
inline constexpr std::size_t kMaxInputBytes = 16u * 1024u * 1024u;

// The whole file as text. A path that does not exist, a folder, a file that cannot be read,
// an empty file (nothing but blanks) and a file larger than kMaxInputBytes each raise
// InputError with their own message naming the path.
std::string readInputFile(const std::string& path);

// The message as one line: line breaks and other control characters are shown escaped
// ("\n", "\x1b"), bytes that are not UTF-8 as "\xNN".
std::string oneLine(const std::string& message);

// Nesting deeper than this is refused: no input of the program nests more than a few levels.
inline constexpr std::size_t kMaxJsonDepth = 64;

// The JSON document of a file, read through the one guarded reader: nesting deeper than
// kMaxJsonDepth, a key given twice in one object, a number beyond the double range, NaN or
// Infinity, text that is not UTF-8 and every syntax error raise InputError in plain words
// "<source> ...: at line L, column C" (never the JSON library's own text); the reading
// stops at the first fault, so memory follows the useful part of the text.
nlohmann::json parseJsonDocument(std::string_view text, const std::string& source);

// The plain message for a value of the document read as a kind it is not (the readers
// check kinds before reading, so this is a safety net, never the library's own words).
std::string jsonText(const nlohmann::json::exception& e);

// A closed or half-open interval of physical values, with the unit it is stated in.
struct Range {
    double min;
    double max;
    bool minIncluded = true;  // false: the value must lie above min
    const char* unit = "";
};

// "above 0 and at most 2000 kPa" / "from -1000 to 10000 m".
std::string describe(const Range& r);
// The value when it lies in the range; otherwise InputError "<path>: must be <range>, not
// <value>" (NaN and infinities never lie in a range).
double inRange(double value, const Range& r, const std::string& path);

// Physical ranges of the inputs (the README's "Input ranges" table states the same).
namespace ranges {
inline constexpr Range kDischarge{0, 1000, false, "L/s"};  // pivot.caudal
inline constexpr Range kPressure{0, 2000, false, "kPa"};   // pivot.presion, pressures
inline constexpr Range kRoughness{0, 200, false, "(Hazen-Williams C)"};
inline constexpr Range kElevation{-1000, 10000, true, "m"};  // pivot.cota, endCota
inline constexpr Range kSpanLength{0, 200, false, "m"};
inline constexpr Range kPipeDiameter{0, 1000, false, "mm"};
inline constexpr Range kOutletSpacing{0, 10000, false, "cm"};
inline constexpr Range kGunRadius{0, 200, false, "m"};
inline constexpr Range kNozzleCoefficient{0, 100, false, "(L/s per kPa^b)"};
inline constexpr Range kNozzleExponent{0, 2, false, ""};
inline constexpr Range kNozzleDischarge{0, 100, false, "L/s"};
inline constexpr Range kBoost{0, 1000, true, "kPa"};
inline constexpr Range kRegulatorDischarge{0, 100, true, "L/s"};
inline constexpr Range kDropLength{0, 100, false, "m"};
inline constexpr Range kDropDiameter{0, 500, false, "mm"};
inline constexpr Range kDropRoughness{1, 200, true, "(Hazen-Williams C, a whole number)"};
inline constexpr Range kRevolutionHours{0, 1000, true, "h"};
inline constexpr Range kPointDistance{0, 10000, true, "m"};
inline constexpr Range kWetDiameter{0, 500, true, "m"};
inline constexpr Range kKostiakovK{0, 1000, true, "mm/h"};
inline constexpr Range kKostiakovA{-1, 0, true, ""};
inline constexpr Range kCanDiameter{1, 100, true, "cm"};
// A volume below 0 or a distance not above 0 is an invalid reading (the evaluation window
// exports them so), counted as such; only magnitudes beyond any catch can are refused.
// The supply of `design`: pump rows, the line to the pivot, the measured supply, wear.
inline constexpr Range kPumpDischarge{0, 10000, true, "L/s"};
inline constexpr Range kPumpPressure{0, 10000, true, "kPa"};
inline constexpr Range kLift{-1000, 1000, true, "m"};
inline constexpr Range kLineLength{0, 100000, true, "m"};
inline constexpr Range kLineDiameter{0, 5000, false, "mm"};
inline constexpr Range kMeasuredDischarge{0, 10000, false, "L/s"};
inline constexpr Range kMeasuredPressure{0, 10000, false, "kPa"};
inline constexpr Range kNozzleWear{0, 1, true, "(a fraction: 0.1 for 10 %)"};
inline constexpr Range kCanVolume{-100000, 100000, true, "ml"};
inline constexpr Range kCanDistance{-10000, 10000, true, "m"};
}  // namespace ranges

}  // namespace kambrix::cli
