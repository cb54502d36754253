// SPDX-License-Identifier: GPL-3.0-or-later
//
// Number texts. Two kinds only:
// - locale-free texts for what is stored, exported or printed for other programs (always
//   "." as decimal separator, never a group separator);
// - the screen's texts, the same digits with the user's decimal separator put in.
// Neither depends on the C library's locale (Qt sets it from the system, so printf-style
// formatting would write "2,50" under a comma locale).
#pragma once

#include <string>

namespace kambrix {

// The shortest text that reads back to the same double ("0.1", "2.5", "1e-07"), with ".".
// NaN gives "nan" and the infinities "inf"/"-inf" (callers that store refuse those first).
std::string roundTripText(double value);

// The value rounded to `decimals` decimals (0 or fewer: a whole number) with "." as
// separator. A value that rounds to zero has no sign ("-0.001" with 2 decimals is "0.00").
// NaN gives "N/A".
std::string fixedText(double value, int decimals);

// fixedText with the given decimal separator (the screen's pattern "0.00" for n = 2):
// formatDecimals(3, 0, ',') is "3"; formatDecimals(3, 2, ',') is "3,00".
std::string formatDecimals(double value, int n, char decimalSeparator);
// Pattern "0.##0": three decimals.
std::string formatShort(double value, char decimalSeparator);
// Pattern "0.####": up to four decimals, trailing zeros dropped (and the separator with them).
std::string formatLong(double value, char decimalSeparator);

// A value as the screens show it in a box, label or cell: "N/A" when it is not a number, an
// empty text when it equals `missing` (the program's -99), else formatDecimals.
std::string showValueText(double value, double missing, int decimals, char decimalSeparator);

}  // namespace kambrix
