// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/surface_storage_form.h"

#include "shell/services.h"

namespace kambrix {

std::vector<std::string> storageKItems(char decimalSeparator) {
    return {std::string("0") + decimalSeparator + "5", "1"};
}

std::vector<std::string> storageSlopeItems() {
    std::vector<std::string> items;
    for (int s = 0; s <= 6; ++s) {
        items.push_back(std::to_string(s) + " %");
    }
    return items;
}

SurfaceStorageResult surfaceStorageFromTexts(const SurfaceStorageTexts& t, char sep) {
    const auto read = [&](const std::string& text) -> std::optional<double> {
        if (isBlank(text)) {
            return std::nullopt;
        }
        return parseNumber(text, sep);
    };
    return computeSurfaceStorage(read(t.Sm), read(t.k), read(t.Sf), read(t.s));
}

std::string storageText(double As_mm, char decimalSeparator) {
    return formatDecimals(As_mm, 2, decimalSeparator);
}

}  // namespace kambrix
