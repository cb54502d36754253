// SPDX-License-Identifier: GPL-3.0-or-later
//
// Numbers on screen: the digits of the locale-free formatter with the user's decimal
// separator, and the numbers read back from the boxes.
#pragma once

#include <QString>
#include <optional>

class QLineEdit;

namespace kambrix {

// The user's decimal separator: the second character of the locale's text of 1.5.
char decimalSeparator();
// A number as the screens show it: formatDecimals with the user's separator ("N/A" for a
// value that is not a number). No group separators, so a shown number reads back the same.
QString screenNumber(double value, int decimals);
// The number in a box: `fallback` when blank, else parseNumber of the text.
double controlNumber(const QLineEdit* box, double fallback);
// The number in a box, none when the box is blank ("not given").
std::optional<double> givenNumber(const QLineEdit* box);

}  // namespace kambrix
