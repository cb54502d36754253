// SPDX-License-Identifier: GPL-3.0-or-later
//
// The design file of `kambrix-cli design` as read, for the commands that start from the
// same input (`compare`).
#pragma once

#include <quarvex/quarvex.h>
#include <nlohmann/json.hpp>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "design/supply.h"

namespace kambrix::cli {

// A nozzle of the manual chart: the outlet, the catalogue id and where the id was read.
struct NozzleAt {
    quarvex::CoordenadasSaida at;
    int id = 0;
    std::string path;
};

// Everything a design file holds.
struct DesignInput {
    quarvex::pivot pivot;
    quarvex::AspersorList catalogue;
    std::map<int, std::shared_ptr<quarvex::Aspersor>> byId;
    std::map<const quarvex::Aspersor*, int> idOf;
    bool manual = false;
    std::vector<NozzleAt> nozzles;
    std::optional<double> endGunBoost;
    std::shared_ptr<quarvex::Reguladores> regulators;
    std::optional<quarvex::Drop> drop;
    std::optional<quarvex::indicadores> indicadores;
    std::optional<quarvex::PluviometryCheck> pluviometria;
    // The water that feeds the pivot ("supply"), checked as the supply tab checks it.
    std::optional<Supply> supply;
};

// Reads and checks the design document; a refused field raises InputError naming it.
DesignInput readDesign(const nlohmann::json& root);

}  // namespace kambrix::cli
