// SPDX-License-Identifier: GPL-3.0-or-later
//
// Shared value services of the screens that need no window: reading and formatting
// numbers, message texts, unit conversions and the SQL value routines of the program.
// Routines that depend on the user's locale take its decimal separator as an argument;
// stored numbers and SQL text always use ".".
#pragma once

#include <quarvex/quarvex.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kambrix {

// The in-memory "missing" marker of a number: a NULL numeric column reads as -99 and -99 is
// written back as SQL null.
inline constexpr double kMissing = -99.0;

// Unit conversions.
inline constexpr double kSquareMetresPerHectare = 10000.0;
inline constexpr double kDegreesPerRadian = 57.29577951308238;
inline constexpr double kPercent = 100.0;
// The program's 2π for ring areas and revolutions.
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kSecondsPerHour = 3600.0;
inline constexpr double kMinutesPerHour = 60.0;

constexpr double hectaresToSquareMetres(double ha) {
    return ha * kSquareMetresPerHectare;
}
constexpr double squareMetresToHectares(double m2) {
    return m2 / kSquareMetresPerHectare;
}
constexpr double radiansToDegrees(double rad) {
    return rad * kDegreesPerRadian;
}
constexpr double percentToFraction(double pct) {
    return pct / kPercent;
}
constexpr double fractionToPercent(double f) {
    return f / 0.01;
}

// The text without leading and trailing blanks (spaces and tabs).
std::string trim(const std::string& text);
// True when the text, trimmed of blanks, is empty.
bool isBlank(const std::string& text);

// The number in the text by the leading-number rule: the locale's decimal separator is
// replaced by "." first, blanks are ignored, reading stops at the first character that
// cannot continue the number (sign, digits, one ".", an exponent), no number at all gives 0.
// With decimalSeparator ',' both "2,5" and "2.5" read as 2.5.
double parseNumber(const std::string& text, char decimalSeparator);
// True when the whole text (trimmed) is a number in either notation, for the boxes that
// reject what is not a number.
bool isNumberText(const std::string& text, char decimalSeparator);
// Every "." replaced by the locale's separator (showing stored numbers).
std::string toLocaleText(const std::string& text, char decimalSeparator);
// Pattern "0" for n <= 0, else "0." and n zeros: fixed n decimals, rounded.
// formatDecimals(3, 0, ',') is "3"; formatDecimals(3, 2, ',') is "3,00".
std::string formatDecimals(double value, int n, char decimalSeparator);
// Pattern "0.##0": three decimals.
std::string formatShort(double value, char decimalSeparator);
// Pattern "0.####": up to four decimals, trailing zeros dropped (and the separator with them).
std::string formatLong(double value, char decimalSeparator);

// "The information for " + item + " is incomplete".
std::string incompleteMessage(const std::string& item);
// "It must be given " + the texts joined with " and ".
std::string requirementMessage(const std::vector<std::string>& texts);

// "#" + value + "#".
std::string sqlDate(const std::string& value);
// "null" when the condition holds, else the value.
std::string sqlNullIf(bool condition, const std::string& value);
// "null" for the missing marker -99, else sqlNumber of the value.
std::string sqlDoubleOrNull(double value);
// "null" for 0, else sqlNumber of the value (the store's "0 is written as null").
std::string sqlNumberOrNull(double value);
// The field's number, or -99 when it is NULL.
double nullToMissing(const quarvex::FieldValue& value);

// For use inside a catch block: true when the exception being handled is a quarvex::Error
// numbered `number` (the error is then consumed). Any other exception is thrown again when
// `rethrow` is set, else false is returned.
bool isException(std::int32_t number, bool rethrow);
// The same test on a caught error.
inline bool isException(const quarvex::Error& error, std::int32_t number) {
    return error.number() == number;
}

// The error numbers of the program's own checks.
namespace errc {
// A validation stop of a command: the message has been shown, the command ends.
inline constexpr std::int32_t CommandStopped = quarvex::kErrorBase + 0x64;
// Reference-span catalogue.
inline constexpr std::int32_t ReferenceTramoIncomplete = quarvex::kErrorBase + 0xBB9;
inline constexpr std::int32_t ReferenceTramoExists = quarvex::kErrorBase + 0xBBA;
inline constexpr std::int32_t TramoMarcaMissingName = quarvex::kErrorBase + 0xBBB;
}  // namespace errc

// The table definitions of the program's databases, keyed by table name; key column "id".
quarvex::Collection<quarvex::TableSchema> tableDefinitions();

}  // namespace kambrix
