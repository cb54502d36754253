// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/discharge_origin.h"

#include <cmath>

#include "design/agronomic_boxes.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

std::string litres(double q, char sep) {
    return resultText(q, kDischargeDecimals, sep) + " L/s";
}

bool same(const std::optional<double>& source, double q) {
    return source && q > 0 && std::abs(*source - q) < kSameDischarge_Ls;
}

}  // namespace

SystemAgronomics loadSystemAgronomics(const std::string& connectionString, int systemId) {
    SystemAgronomics records;
    if (systemId < 1) {
        return records;
    }
    readFrom(connectionString, [&](quarvex::Connection& con) {
        records.crop = loadAgronomic(con, systemId);
        records.scheduling = loadTovrenAgronomics(con, systemId);
    });
    return records;
}

DischargeSources dischargeSources(const SystemAgronomics& records, double area_ha, double hours) {
    DischargeSources s;
    if (records.crop.stored()) {
        s.agronomic =
            evaluateAgronomics(records.crop, area_ha, hours, kFieldAreaText).systemDischarge.value;
    }
    if (records.scheduling.stored()) {
        s.scheduling = evaluateDischargeFromQfc(records.scheduling.Qfc, area_ha, hours,
                                                kSchedulingFieldAreaText)
                           .value;
    }
    return s;
}

std::string dischargeNote(const DischargeSources& sources, double q, char sep) {
    const bool fromCrop = same(sources.agronomic, q);
    const bool fromModel = same(sources.scheduling, q);
    if (fromCrop && fromModel) {
        return "from the agronomic design and the scheduling model, " + litres(q, sep);
    }
    if (fromCrop) {
        return "from the agronomic design, " + litres(*sources.agronomic, sep);
    }
    if (fromModel) {
        return "from the scheduling model, " + litres(*sources.scheduling, sep);
    }
    std::string note;
    if (sources.agronomic) {
        note = "the agronomic design gives " + litres(*sources.agronomic, sep);
    }
    if (sources.scheduling) {
        note += (note.empty() ? "" : "; ") + std::string("the scheduling model gives ") +
                litres(*sources.scheduling, sep);
    }
    return note;
}

}  // namespace kambrix
