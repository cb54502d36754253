// SPDX-License-Identifier: GPL-3.0-or-later
//
// Checks of the numbers a user types into a box: the text must be a number in the user's
// notation (nothing trailing), finite, and inside the box's range.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kambrix {

// Range of a numeric input box: min..max, each end included unless marked exclusive.
struct NumberRange {
    double min = 0;
    double max = 0;
    bool minExclusive = false;
    bool integer = false;
    bool maxExclusive = false;
    // The unit a message states after the ends ("psi"); none when empty. A view of a text
    // that outlives the range (a literal, a unit of the unit layer's table), so that ranges
    // stay constant expressions.
    std::string_view unit = {};

    bool contains(double x) const;
};

// The message for a box text that is not a number or out of its range (`what` names the
// box), or none when the text is acceptable. A blank text is acceptable when allowBlank,
// else it is refused with the requirement message. Text that is not entirely a number in
// the user's notation ("300,5" where the separator is "."; "12 m"), and numbers that are
// not finite ("1e999"), are refused.
std::optional<std::string> checkNumberText(const std::string& text, char decimalSeparator,
                                           const NumberRange& range, const std::string& what,
                                           bool allowBlank = true);

// Under a decimal comma a point is read as the decimal mark too, so "1.500" is 1.5, not
// fifteen hundred. For a text whose points look like thousands grouping ("1.500",
// "-12.345.678", "1.500,25") the note that says how it was read: "\"1.500\" was read as
// 1,5: a point is a decimal mark" when it is a number, else that it is not a number because
// points do not group digits. None for any other text, and always under a decimal point.
std::optional<std::string> pointGroupingNote(const std::string& text, char decimalSeparator);

// The text an accepted box shows once left: under a decimal comma a number written with a
// point comes back in the locale's form of the value read ("1.500" and "1.5" become "1,5");
// any other text stays as typed.
std::string shownNumberText(const std::string& text, char decimalSeparator);

}  // namespace kambrix
