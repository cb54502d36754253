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

#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/units.h"

namespace kambrix {

// The in-memory "missing" marker of a number: a NULL numeric column reads as -99 and -99 is
// written back as SQL null.
inline constexpr double kMissing = -99.0;

// The text without leading and trailing blanks (spaces and tabs).
std::string trim(const std::string& text);
// True when the text, trimmed of blanks, is empty.
bool isBlank(const std::string& text);

// The number in the text by the leading-number rule: the locale's decimal separator is
// replaced by "." first, blanks are ignored, reading stops at the first character that
// cannot continue the number (sign, digits, one ".", an exponent), no number at all gives 0.
// With decimalSeparator ',' both "2,5" and "2.5" read as 2.5. A number beyond the double
// range reads as an infinity of its sign; one too small to represent ("1e-400") as 0.
double parseNumber(const std::string& text, char decimalSeparator);
// True when the whole text (trimmed) is a number in either notation, for the boxes that
// reject what is not a number.
bool isNumberText(const std::string& text, char decimalSeparator);
// Every "." replaced by the locale's separator (showing stored numbers).
std::string toLocaleText(const std::string& text, char decimalSeparator);
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

// The table definitions of the program's databases, keyed by table name; key column "id".
quarvex::Collection<quarvex::TableSchema> tableDefinitions();

}  // namespace kambrix
