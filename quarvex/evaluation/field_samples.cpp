// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include "core/units.h"
#include "db/text_util.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

namespace quarvex {
namespace {

using units::kMillilitresPerSquareMetrePerMillimetre;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the decimal number text (sign, digits, ".", exponent; already scanned) has a
// magnitude below 1: its value then lies under the smallest double rather than beyond the
// largest.
bool underflows(const std::string& number) {
    std::size_t i = (number[0] == '+' || number[0] == '-') ? 1 : 0;
    long position = 0;  // decimal exponent of the first significant digit, plus one
    bool significant = false;
    bool fraction = false;
    for (; i < number.size() && (isDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            fraction = true;
        } else if (!significant && number[i] == '0') {
            position -= fraction ? 1 : 0;
        } else {
            significant = true;
            position += fraction ? 0 : 1;
        }
    }
    long exponent = 0;
    if (i < number.size()) {  // "e" and its digits; a huge exponent only saturates
        bool negative = false;
        for (++i; i < number.size(); ++i) {
            if (number[i] == '-') {
                negative = true;
            } else if (isDigit(number[i]) && exponent < 100000) {
                exponent = exponent * 10 + (number[i] - '0');
            }
        }
        exponent = negative ? -exponent : exponent;
    }
    return !significant || position + exponent <= 0;
}

// The value of the number the text starts with: optional sign, digits, "." and an optional
// exponent, up to the first character that cannot continue it; 0 when it starts with none,
// and 0 for a magnitude too small for a double. Nothing for a magnitude beyond the double
// range. Independent of the locale (std::from_chars never looks at it).
std::optional<double> leadingNumber(const std::string& text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    std::size_t signEnd = 0;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        ++i;
        signEnd = i;
    }
    bool digits = false;
    while (i < n && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    std::size_t end = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j])) {
                ++j;
            }
            end = j;
        }
    }
    // from_chars takes no leading "+".
    const char* first = text.data() + (text[0] == '+' ? signEnd : 0);
    double value = 0.0;
    const auto result = std::from_chars(first, text.data() + end, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Tell an underflow from an overflow by the text itself: the number is
        // 0.d1d2... × 10^e with e = exponent + integer digits (or − leading zeros after ".").
        return underflows(std::string(first, text.data() + end)) ? std::optional<double>(0.0)
                                                                 : std::nullopt;
    }
    return value;
}

}  // namespace

FieldSample FieldSamples::newFieldSample(double depth, double distance) const {
    FieldSample s;
    s.collectedAmount = depth;
    s.distanceFromCenter = distance;
    return s;
}

bool FieldSamples::Valid(const FieldSample& self) const {
    return self.collectedAmount >= 0.0 && self.distanceFromCenter > 0.0;
}

FieldSample FieldSamples::ParseStored(const std::string& stringRepresentation) const {
    // Parse gives {0, 0} for a number beyond the range as for a piece without numbers; a
    // stored reading must not vanish that way.
    const std::string text = db::trim(stringRepresentation);
    const std::size_t blank = text.find(' ');
    const std::string volume = text.substr(0, blank);
    const std::string distance =
        blank == std::string::npos ? std::string()
                                   : text.substr(blank + 1, text.find(' ', blank + 1) - blank - 1);
    if (!leadingNumber(volume) || !leadingNumber(distance)) {
        Exceptions::Throw(errc::StoredNumberOutOfRange, text);
    }
    return Parse(stringRepresentation);
}

FieldSample FieldSamples::Parse(const std::string& stringRepresentation) const {
    const std::string text = db::trim(stringRepresentation);
    // Split at single spaces into at most three pieces; the third keeps the rest.
    std::vector<std::string> pieces;
    std::size_t from = 0;
    while (pieces.size() < 2) {
        const std::size_t at = text.find(' ', from);
        if (at == std::string::npos) {
            break;
        }
        pieces.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    pieces.push_back(text.substr(from));
    if (pieces.size() < 2) {
        return newFieldSample(0.0, 0.0);
    }
    const auto volume = leadingNumber(pieces[0]);
    const auto distance = leadingNumber(pieces[1]);
    if (!volume || !distance) {
        // A number beyond the double range is no reading: the sample is the unreadable
        // {0, 0}, which Valid refuses (an overflowing volume must not read as an empty can).
        return newFieldSample(0.0, 0.0);
    }
    return newFieldSample(*volume, *distance);
}

std::string FieldSamples::serialize(const FieldSample& self) const {
    // The shortest text that reads back as the same double: a stored evaluation gives the
    // same depths to the last digit as the one computed before it was stored.
    const auto exact = [](double x) {
        if (!std::isfinite(x)) {
            Exceptions::Throw(errc::NumberNotFinite, std::isnan(x) ? "NaN" : "infinity");
        }
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, x);
        return std::string(buf, r.ptr);
    };
    return exact(self.collectedAmount) + " " + exact(self.distanceFromCenter);
}

Array<FieldSample> FieldSamples::FilterValid(const Array<FieldSample>& collection) const {
    Array<FieldSample> out;
    for (const auto& s : collection) {
        if (Valid(s)) {
            out.Push(s);
        }
    }
    return out;
}

Array<WaterDepthSample> FieldSamples::CollectionToWaterDepth(const Array<FieldSample>& collection,
                                                             Pluviometro& usedPluviometro) const {
    Array<WaterDepthSample> out;
    for (const auto& s : collection) {
        out.Push(ToWaterDepth(s, usedPluviometro));
    }
    return out;
}

WaterDepthSample FieldSamples::ToWaterDepth(const FieldSample& self,
                                            Pluviometro& usedPluviometro) const {
    const WaterDepths depths;
    if (!Valid(self)) {
        return depths.NullWaterDepth();
    }
    const double area_m2 = Pluviometros().Area(usedPluviometro);
    const double depth_mm =
        self.collectedAmount / (area_m2 * kMillilitresPerSquareMetrePerMillimetre);
    return depths.newWaterDepthSample(depth_mm, self.distanceFromCenter);
}

}  // namespace quarvex
