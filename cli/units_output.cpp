// SPDX-License-Identifier: GPL-3.0-or-later
#include "units_output.h"

#include <nlohmann/json.hpp>

#include <map>

namespace kambrix::cli {
namespace {

using ojson = nlohmann::ordered_json;

const std::map<std::string, Quantity, std::less<>>& keys() {
    static const std::map<std::string, Quantity, std::less<>> table = {
        // distances and elevations
        {"distanciaAoPivot", Quantity::Length},
        {"distanceToCenter", Quantity::Length},
        {"distance", Quantity::Length},
        {"from", Quantity::Length},
        {"to", Quantity::Length},
        {"scRun", Quantity::Length},
        {"cota", Quantity::Length},
        {"endCota", Quantity::Length},
        {"length", Quantity::Length},
        {"longitud", Quantity::Length},
        {"longitude", Quantity::Length},
        {"lift", Quantity::Length},
        {"rs", Quantity::Length},
        {"wetDiameter", Quantity::Length},
        // pressures and losses
        {"pressao", Quantity::Pressure},
        {"pressao_ideal", Quantity::Pressure},
        {"pressao_real", Quantity::Pressure},
        {"pressao_actuante", Quantity::Pressure},
        {"perdaDeCargaIdeal", Quantity::Pressure},
        {"presion", Quantity::Pressure},
        {"pression", Quantity::Pressure},
        {"pressure", Quantity::Pressure},
        {"chartPressure", Quantity::Pressure},
        {"regulatorPressure", Quantity::Pressure},
        {"boost", Quantity::Pressure},
        {"endGunBoost", Quantity::Pressure},
        {"lowestSprinklerPressure", Quantity::Pressure},
        {"pmin", Quantity::Pressure},
        {"pmax", Quantity::Pressure},
        // discharges
        {"caudal", Quantity::Discharge},
        {"caudal_do_aspersor", Quantity::Discharge},
        {"caudaDaCartaAssociada", Quantity::Discharge},
        {"caudal_min", Quantity::Discharge},
        {"caudal_max", Quantity::Discharge},
        {"qmin", Quantity::Discharge},
        {"qmax", Quantity::Discharge},
        {"discharge", Quantity::Discharge},
        {"chartDischarge", Quantity::Discharge},
        {"systemDischarge", Quantity::Discharge},
        // depths
        {"depth", Quantity::Depth},
        {"average", Quantity::Depth},
        {"averageDepth", Quantity::Depth},
        {"expectedDepth", Quantity::Depth},
        {"lowQuarterAverage", Quantity::Depth},
        {"measured", Quantity::Depth},
        {"designed", Quantity::Depth},
        {"designedDepth", Quantity::Depth},
        {"ellipse1", Quantity::Depth},
        {"ellipse2", Quantity::Depth},
        {"excess1", Quantity::Depth},
        {"excess2", Quantity::Depth},
        // the rest
        {"diametro", Quantity::PipeDiameter},
        {"separationSaidas_cm", Quantity::OutletSpacing},
        {"GIR", Quantity::DailyDepth},
        {"Qc", Quantity::DischargePerArea},
    };
    return table;
}

void convertNumbers(ojson& value, Quantity q, UnitSystem s) {
    if (value.is_number()) {
        value = toShown(q, s, value.get<double>());
    } else if (value.is_array()) {
        for (auto& item : value) {
            convertNumbers(item, q, s);
        }
    }
}

void convert(ojson& node, UnitSystem s) {
    if (node.is_array()) {
        for (auto& item : node) {
            convert(item, s);
        }
        return;
    }
    if (!node.is_object()) {
        return;
    }
    // A fitted nozzle: q = a·pᵇ with q and p in the system's units.
    if (node.contains("a") && node.contains("b") && node.contains("pmin") &&
        node["a"].is_number() && node["b"].is_number()) {
        node["a"] = nozzleCoefficientToShown(s, node["a"].get<double>(), node["b"].get<double>());
    }
    for (auto& [key, value] : node.items()) {
        if (key == "depths" && value.is_array()) {
            // The cans of an evaluation: [distance, depth] pairs.
            for (auto& pair : value) {
                if (pair.is_array() && pair.size() == 2) {
                    convertNumbers(pair[0], Quantity::Length, s);
                    convertNumbers(pair[1], Quantity::Depth, s);
                }
            }
            continue;
        }
        if (value.is_object() || (value.is_array() && !value.empty() && !value[0].is_number())) {
            convert(value, s);
            continue;
        }
        if (const auto q = quantityOfKey(key)) {
            convertNumbers(value, *q, s);
        }
    }
}

}  // namespace

std::optional<Quantity> quantityOfKey(std::string_view key) {
    const auto& t = keys();
    if (const auto at = t.find(key); at != t.end()) {
        return at->second;
    }
    return std::nullopt;
}

namespace {

// Keys only inputs carry.
std::optional<Quantity> inputQuantityOfKey(std::string_view key) {
    static const std::map<std::string, Quantity, std::less<>> extra = {
        {"area_ha", Quantity::Area},   {"canDiameter_cm", Quantity::CanDiameter},
        {"k", Quantity::Rate},         {"surfaceStorage", Quantity::Depth},
        {"Eto", Quantity::DailyDepth}, {"Etc", Quantity::DailyDepth},
    };
    if (const auto at = extra.find(key); at != extra.end()) {
        return at->second;
    }
    return quantityOfKey(key);
}

void toStored(nlohmann::json& node, UnitSystem system) {
    if (node.is_array()) {
        for (auto& item : node) {
            toStored(item, system);
        }
        return;
    }
    if (!node.is_object()) {
        return;
    }
    const bool nozzle =
        node.contains("a") && node.contains("b") && node["a"].is_number() && node["b"].is_number();
    for (auto& [key, value] : node.items()) {
        if (value.is_number() && !value.is_boolean()) {
            if (nozzle && key == "a") {
                value =
                    nozzleCoefficientToStored(system, value.get<double>(), node["b"].get<double>());
            } else if (const auto q = inputQuantityOfKey(key)) {
                value = kambrix::toStored(*q, system, value.get<double>());
            }
        } else {
            toStored(value, system);
        }
    }
}

}  // namespace

void inputToStoredUnits(nlohmann::json& doc, UnitSystem system) {
    if (system != UnitSystem::SI) {
        toStored(doc, system);
    }
}

std::string outputInUnits(const std::string& json, UnitSystem system) {
    ojson doc = ojson::parse(json, nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded()) {
        return json;
    }
    convert(doc, system);
    if (doc.is_object()) {
        ojson withUnits = ojson::object();
        withUnits["units"] = std::string(unitSystemKey(system));
        for (auto& [key, value] : doc.items()) {
            withUnits[key] = std::move(value);
        }
        doc = std::move(withUnits);
    }
    return doc.dump(2) + "\n";
}

}  // namespace kambrix::cli
