// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/number_input.h"

#include <cctype>
#include <cmath>

#include "shell/number_text.h"
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
        auto end = [&](double v) { return formatLong(v, decimalSeparator); };
        const std::string bounds =
            (range.minExclusive ? "greater than " : "from ") + end(range.min) +
            (range.maxExclusive   ? " and less than "
             : range.minExclusive ? " and up to "
                                  : " to ") +
            end(range.max) + (range.unit.empty() ? "" : " " + std::string(range.unit));
        return "The value for " + what + " must be " + (range.integer ? "a whole number " : "") +
               bounds;
    }
    return std::nullopt;
}

namespace {

// Digits in groups of three after a first group of one to three, joined by points, with an
// optional sign and, under a decimal comma, an optional decimal part: "1.500", "12.345.678",
// "-1.500,25".
bool groupedWithPoints(const std::string& text, char decimalSeparator) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    auto digits = [&](std::size_t from) {
        std::size_t n = 0;
        while (from + n < text.size() && std::isdigit(static_cast<unsigned char>(text[from + n]))) {
            ++n;
        }
        return n;
    };
    const std::size_t lead = digits(i);
    if (lead < 1 || lead > 3) {
        return false;
    }
    i += lead;
    int groups = 0;
    while (i < text.size() && text[i] == '.') {
        if (digits(i + 1) != 3) {
            return false;
        }
        i += 4;
        ++groups;
    }
    if (groups == 0) {
        return false;
    }
    if (i < text.size() && text[i] == decimalSeparator) {
        i += 1 + digits(i + 1);
    }
    return i == text.size();
}

}  // namespace

std::optional<std::string> pointGroupingNote(const std::string& text, char decimalSeparator) {
    const std::string t = trim(text);
    if (decimalSeparator != ',' || !groupedWithPoints(t, decimalSeparator)) {
        return std::nullopt;
    }
    const double x = parseNumber(t, decimalSeparator);
    if (isNumberText(t, decimalSeparator) && std::isfinite(x)) {
        return "\"" + t + "\" was read as " + toLocaleText(roundTripText(x), decimalSeparator) +
               ": a point is a decimal mark";
    }
    return "\"" + t + "\" is not a number: a point is a decimal mark, and digits are not grouped";
}

std::string shownNumberText(const std::string& text, char decimalSeparator) {
    const std::string t = trim(text);
    if (decimalSeparator == '.' || t.find('.') == std::string::npos ||
        !isNumberText(t, decimalSeparator)) {
        return text;
    }
    const double x = parseNumber(t, decimalSeparator);
    if (!std::isfinite(x)) {
        return text;
    }
    return toLocaleText(roundTripText(x), decimalSeparator);
}

}  // namespace kambrix
