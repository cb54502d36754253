// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/number_input.h"

#include <cmath>

#include "shell/services.h"

namespace kambrix {

bool NumberRange::contains(double x) const {
    if (!std::isfinite(x)) {
        return false;
    }
    const bool aboveMin = minExclusive ? x > min : x >= min;
    const bool belowMax = maxExclusive ? x < max : x <= max;
    return aboveMin && belowMax && (!integer || std::floor(x) == x);
}

std::optional<std::string> checkNumberText(const std::string& text, char decimalSeparator,
                                           const NumberRange& range, const std::string& what,
                                           bool allowBlank) {
    if (isBlank(text)) {
        if (allowBlank) {
            return std::nullopt;
        }
        return requirementMessage({what});
    }
    const double x = parseNumber(text, decimalSeparator);
    if (!isNumberText(text, decimalSeparator) || !std::isfinite(x)) {
        return "\"" + trim(text) + "\" is not a number: please enter a number for " + what;
    }
    if (!range.contains(x)) {
        const std::string bounds = (range.minExclusive ? "greater than " : "from ") +
                                   formatLong(range.min, decimalSeparator) +
                                   (range.maxExclusive   ? " and less than "
                                    : range.minExclusive ? " and up to "
                                                         : " to ") +
                                   formatLong(range.max, decimalSeparator);
        return "The value for " + what + " must be " + (range.integer ? "a whole number " : "") +
               bounds;
    }
    return std::nullopt;
}

}  // namespace kambrix
