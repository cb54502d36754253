// SPDX-License-Identifier: GPL-3.0-or-later
//
// Where the design discharge of a system comes from. The two agronomic screens store the
// system discharge they compute as the project's discharge; the hydraulic design screen
// proposes it and tells the user, beside the box, which of them gives it, or what they give
// when the box holds another value.
//
//     const DischargeSources s = dischargeSources(loadSystemAgronomics(cs, project.id),
//                                                 project.areaParcela,
//                                                 project.horas_de_operacao_diaria);
//     dischargeNote(s, 41.67, '.');  // "from the agronomic design, 41.67 L/s"
#pragma once

#include <optional>
#include <string>

#include "design/agronomic_store.h"

namespace kambrix {

// The agronomic rows of a system: its crop record (with the efficiency row) and its
// scheduling-model record.
struct SystemAgronomics {
    Agronomics crop;
    TovrenAgronomics scheduling;
};

// Reads both records of the system; new (not stored) records for a system id below 1.
SystemAgronomics loadSystemAgronomics(const std::string& connectionString, int systemId);

// The system discharges, L/s, that the stored records give for a field of `area_ha`
// hectares worked `hours` a day (0 when not given); none where a record is not stored or
// cannot give one (an input not given or out of range, or a fault of the formulas).
struct DischargeSources {
    std::optional<double> agronomic;   // from the crop and efficiency data
    std::optional<double> scheduling;  // from the scheduling model's continuous discharge
};
DischargeSources dischargeSources(const SystemAgronomics& records, double area_ha, double hours);

// Two discharges are the same when they show the same hundredth of a litre per second.
inline constexpr double kSameDischarge_Ls = 0.005;

// The note beside the design discharge `q` (L/s; 0 when not given):
// - "from the agronomic design, 41.67 L/s" or "from the scheduling model, 41.67 L/s" when q
//   is what that source gives ("from the agronomic design and the scheduling model, ..."
//   when both give it);
// - else "the agronomic design gives 41.67 L/s", "the scheduling model gives 38.20 L/s" (both
//   joined with "; ") for the sources that give one;
// - else an empty text.
std::string dischargeNote(const DischargeSources& sources, double q, char decimalSeparator);

}  // namespace kambrix
