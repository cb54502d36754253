// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/number_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace kambrix {

namespace {

std::string withSeparator(std::string text, char decimalSeparator) {
    for (char& c : text) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    return text;
}

}  // namespace

std::string roundTripText(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string fixedText(double value, int decimals) {
    if (std::isnan(value)) {
        return "N/A";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    const int n = decimals < 0 ? 0 : decimals;
    // 1e308 written in full needs 309 digits before the point.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, n);
    std::string out = r.ec == std::errc() ? std::string(buf, r.ptr) : roundTripText(value);
    if (!out.empty() && out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) {
        out.erase(0, 1);
    }
    return out;
}

std::string formatDecimals(double value, int n, char decimalSeparator) {
    return withSeparator(fixedText(value, n), decimalSeparator);
}

std::string formatShort(double value, char decimalSeparator) {
    return formatDecimals(value, 3, decimalSeparator);
}

std::string formatLong(double value, char decimalSeparator) {
    std::string out = fixedText(value, 4);
    if (out == "N/A" || out.find('.') == std::string::npos) {
        return withSeparator(out, decimalSeparator);
    }
    while (out.back() == '0') {
        out.pop_back();
    }
    if (out.back() == '.') {
        out.pop_back();
    }
    if (out == "-0" || out.empty()) {
        out = "0";
    }
    return withSeparator(out, decimalSeparator);
}

std::string showValueText(double value, double missing, int decimals, char decimalSeparator) {
    if (std::isnan(value)) {
        return "N/A";
    }
    if (value == missing) {
        return "";
    }
    return formatDecimals(value, decimals, decimalSeparator);
}

}  // namespace kambrix
