// SPDX-License-Identifier: GPL-3.0-or-later
//
// The surface-storage calculator without its window: the items of its two lists, the range
// of its two depth boxes and the computation from the texts of its four controls.
//
// Use: `auto r = surfaceStorageFromTexts({sm, k, sf, s}, ',');
//       r.message ? show(*r.message) : label.setText(storageText(*r.As, ','));`
#pragma once

#include <string>
#include <vector>

#include "evaluation/indicators.h"
#include "shell/number_input.h"

namespace kambrix {

// Sm and Sf: 0 to 100 mm.
inline constexpr NumberRange kStorageDepthRange{0, 100, false, false, false};

// The k parameter's items: 0.5 written with the separator, and "1".
std::vector<std::string> storageKItems(char decimalSeparator);
// The slope's items: "0 %" to "6 %".
std::vector<std::string> storageSlopeItems();

// The texts of txtSm, cmbk, txtSf and cmbs.
struct SurfaceStorageTexts {
    std::string Sm, k, Sf, s;
};

// Checks the texts in the order Sm, k, Sf, s (the first blank one gives its requirement
// message) and reads them by the leading-number rule ("3 %" reads as 3).
SurfaceStorageResult surfaceStorageFromTexts(const SurfaceStorageTexts& texts,
                                             char decimalSeparator);

// As with 2 decimals.
std::string storageText(double As_mm, char decimalSeparator);

}  // namespace kambrix
