// SPDX-License-Identifier: GPL-3.0-or-later
//
// A command's JSON output in the units of a unit system: every number whose key names a
// quantity with a unit (discharges, pressures, distances, depths, ...) is converted; counts,
// fractions, percentages, exponents and identifiers pass unchanged. The document gains
// "units" at the top level. Without --units the output is written as it always was.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

#include "shell/unit_system.h"

namespace kambrix::cli {

// The JSON text `json` (an object, or an array of objects) with its numbers in `system`
// and, for an object, "units": "<key>" first. Text that is not JSON passes unchanged.
std::string outputInUnits(const std::string& json, UnitSystem system);

// An input document written in `system` ("units" at its top level) in the stored units:
// every number whose key names a quantity, and a nozzle's coefficient a beside its b.
void inputToStoredUnits(nlohmann::json& doc, UnitSystem system);

// The quantity of a number under that key, or none when it has no unit.
std::optional<Quantity> quantityOfKey(std::string_view key);

}  // namespace kambrix::cli
