// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include "db/text_util.h"

#include <charconv>
#include <vector>

namespace quarvex {
namespace {

// ml over m² gives thousandths of a mm.
constexpr double kMillilitresPerSquareMetrePerMillimetre = 1000.0;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of the number the text starts with: optional sign, digits, "." and an optional
// exponent, up to the first character that cannot continue it; 0 when it starts with none.
// Independent of the locale (std::from_chars never looks at it).
double leadingNumber(const std::string& text) {
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
        return 0.0;
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
    return newFieldSample(leadingNumber(pieces[0]), leadingNumber(pieces[1]));
}

std::string FieldSamples::serialize(const FieldSample& self) const {
    return numberText(self.collectedAmount) + " " + numberText(self.distanceFromCenter);
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
