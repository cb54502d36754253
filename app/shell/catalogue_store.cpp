// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/catalogue_store.h"

#include <quarvex/quarvex.h>

#include <cmath>
#include <set>

#include "shell/errors.h"
#include "shell/services.h"
#include "shell/stored_names.h"
#include "shell/unit_of_work.h"

namespace kambrix {

using quarvex::Connection;
using quarvex::RecordSet;

namespace {

std::string idList(const std::vector<int>& ids) {
    std::string out;
    for (int id : ids) {
        out += (out.empty() ? "" : ",") + std::to_string(id);
    }
    return out;
}

std::vector<int> ids(Connection& con, const std::string& sql, const char* column) {
    std::vector<int> out;
    for (RecordSet rs = con.Execute(sql); !rs.IsEOF(); rs.MoveNext()) {
        out.push_back(static_cast<int>(rs.Field(column).AsLong()));
    }
    return out;
}

int countOf(Connection& con, const std::string& sql) {
    RecordSet rs = con.Execute(sql);
    return rs.IsEOF() ? 0 : static_cast<int>(quarvex::nullToZero(rs.Field("n")));
}

void requireRow(Connection& con, const std::string& table, const std::string& key, int id) {
    if (countOf(con, "SELECT count(*) AS n FROM " + table + " WHERE " + key + "=" +
                         std::to_string(id)) == 0) {
        raiseError(errc::RecordNotFound);
    }
}

}  // namespace

std::optional<NozzleProblem> checkNozzle(const NozzleData& n) {
    if (isBlank(n.nome)) {
        return NozzleProblem{"nome", requirementMessage({"the designation of the nozzle"})};
    }
    if (auto problem = storedNameProblem(StoredNameKind::Nozzle, trim(n.nome))) {
        return NozzleProblem{"nome", std::move(*problem)};
    }
    const std::pair<const char*, double> values[] = {
        {"a", n.a},       {"b", n.b},       {"pmin", n.pmin},
        {"pmax", n.pmax}, {"qmin", n.qmin}, {"qmax", n.qmax},
    };
    const char* names[] = {"the coefficient a",     "the exponent b",
                           "the minimum pressure",  "the maximum pressure",
                           "the minimum discharge", "the maximum discharge"};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        if (!std::isfinite(values[i].second) || values[i].second <= 0) {
            return NozzleProblem{values[i].first, std::string("The value for ") + names[i] +
                                                      " must be a number greater than 0"};
        }
    }
    if (n.pmin >= n.pmax) {
        return NozzleProblem{"pmax",
                             "The maximum pressure must be greater than the minimum pressure"};
    }
    if (n.qmin >= n.qmax) {
        return NozzleProblem{"qmax",
                             "The maximum discharge must be greater than the minimum discharge"};
    }
    return std::nullopt;
}

std::vector<ChartUse> chartsUsingNozzles(const std::string& projectsConnectionString,
                                         const std::vector<int>& nozzleIds) {
    std::vector<ChartUse> uses;
    if (nozzleIds.empty()) {
        return uses;
    }
    return readFrom(projectsConnectionString, [&](Connection& con) {
        RecordSet rs = con.Execute(
            "SELECT DISTINCT c.id_carta AS id, c.nome AS chart, p.designacao AS system FROM "
            "tb_aspersores AS a INNER JOIN tb_cartas AS c ON a.id_carta=c.id_carta LEFT JOIN "
            "projectos AS p ON c.id_sistema=p.id WHERE a.id_aspersor IN (" +
            idList(nozzleIds) + ") ORDER BY p.designacao, c.nome, c.id_carta;");
        for (; !rs.IsEOF(); rs.MoveNext()) {
            uses.push_back({static_cast<int>(rs.Field("id").AsLong()),
                            quarvex::nullToText(rs.Field("chart")),
                            quarvex::nullToText(rs.Field("system"))});
        }
        return uses;
    });
}

std::optional<std::string> nozzleNameTaken(const quarvex::AspersorList& catalogue,
                                           const std::string& brand, const std::string& model,
                                           const std::string& name, int exceptId) {
    const std::string b = trim(brand);
    const std::string m = trim(model);
    const std::string n = trim(name);
    bool taken = false;
    catalogue.ForEach([&](const std::shared_ptr<quarvex::Aspersor>& a) {
        taken = taken || (a->id() != exceptId && trim(a->marca().nome) == b &&
                          trim(a->modelo().nome) == m && trim(a->nome()) == n);
    });
    if (!taken) {
        return std::nullopt;
    }
    return "The model '" + m + "' already has a nozzle named '" + n + "'";
}

std::string chartUseList(const std::vector<ChartUse>& uses) {
    std::string out;
    for (const auto& u : uses) {
        out += (out.empty() ? "'" : ", '") + u.chart + "' (system '" + u.system + "')";
    }
    return out;
}

SprinklerCatalogue::SprinklerCatalogue(std::string asperConnectionString)
    : cs_(std::move(asperConnectionString)) {}

RowStamp SprinklerCatalogue::nozzleStamp(int nozzleId) const {
    return readFrom(cs_, [&](Connection& con) {
        return readRowStamp(con, row_kind::Nozzle, std::to_string(nozzleId));
    });
}

RowStamp SprinklerCatalogue::updateNozzle(int nozzleId, const NozzleData& n,
                                          const RowStamp* seen) const {
    if (const auto problem = checkNozzle(n)) {
        raiseError(errc::ValueOutOfRange, problem->message);
    }
    RowStamp stamp;
    writeTo(cs_, [&](Connection& con) {
        requireRow(con, "Boquillas", "ID_Boquillas", nozzleId);
        const std::string key = std::to_string(nozzleId);
        stamp = seen != nullptr ? claimRow(con, row_kind::Nozzle, key, *seen,
                                           "The nozzle \"" + trim(n.nome) + "\"")
                                : claimNewRow(con, row_kind::Nozzle, key);
        con.Execute(
            "UPDATE Boquillas SET denominacion=" + quarvex::sqlQuote(trim(n.nome)) +
            ", a=" + quarvex::sqlNumber(n.a) + ", b=" + quarvex::sqlNumber(n.b) +
            ", pmin=" + quarvex::sqlNumber(n.pmin) + ", pmax=" + quarvex::sqlNumber(n.pmax) +
            ", qmin=" + quarvex::sqlNumber(n.qmin) + ", qmax=" + quarvex::sqlNumber(n.qmax) +
            " WHERE ID_Boquillas=" + std::to_string(nozzleId) + ";");
    });
    return stamp;
}

void SprinklerCatalogue::deleteNozzle(int nozzleId) const {
    writeTo(cs_, [&](Connection& con) {
        requireRow(con, "Boquillas", "ID_Boquillas", nozzleId);
        con.Execute("DELETE FROM Boquillas WHERE ID_Boquillas=" + std::to_string(nozzleId) + ";");
        retireRow(con, row_kind::Nozzle, std::to_string(nozzleId));
    });
}

CatalogueImport SprinklerCatalogue::importNozzles(const std::string& brand,
                                                  const std::string& model,
                                                  const std::vector<NozzleData>& nozzles) const {
    const std::string brandName = trim(brand);
    const std::string modelName = trim(model);
    if (brandName.empty() || modelName.empty()) {
        raiseError(errc::CatalogueNameMissing);
    }
    requireStorableName(StoredNameKind::SprinklerBrand, brandName);
    requireStorableName(StoredNameKind::SprinklerModel, modelName);
    if (nozzles.empty()) {
        raiseError(errc::ValueOutOfRange, "No nozzle was chosen to add to the catalogue");
    }
    std::set<std::string> names;
    for (const NozzleData& n : nozzles) {
        if (const auto problem = checkNozzle(n)) {
            raiseError(errc::ValueOutOfRange,
                       isBlank(n.nome) ? problem->message
                                       : "Nozzle '" + trim(n.nome) + "': " + problem->message);
        }
        if (!names.insert(trim(n.nome)).second) {
            raiseError(errc::CatalogueNameTaken,
                       "The nozzle '" + trim(n.nome) + "' is given more than once");
        }
    }

    CatalogueImport done;
    writeTo(cs_, [&](Connection& con) {
        const std::vector<int> brands =
            ids(con,
                "SELECT id_marca AS id FROM marca WHERE nome=" + quarvex::sqlQuote(brandName) +
                    " ORDER BY id_marca;",
                "id");
        if (brands.empty()) {
            con.Execute(quarvex::bindParameters("INSERT INTO marca (nome) VALUES (?);",
                                                {quarvex::sqlQuote(brandName)}));
            done.brandId = quarvex::lastIdentity(con);
            done.newBrand = true;
        } else {
            done.brandId = brands.front();
        }
        const std::string brandId = std::to_string(done.brandId);
        const std::vector<int> models =
            ids(con,
                "SELECT id_modelo AS id FROM Modelos WHERE modelo=" + quarvex::sqlQuote(modelName) +
                    " AND id_marca=" + brandId + " ORDER BY id_modelo;",
                "id");
        if (models.empty()) {
            con.Execute(
                quarvex::bindParameters("INSERT INTO Modelos (Modelo,ID_Marca) VALUES (?,?);",
                                        {quarvex::sqlQuote(modelName), brandId}));
            done.modelId = quarvex::lastIdentity(con);
            done.newModel = true;
        } else {
            done.modelId = models.front();
        }
        const std::string modelId = std::to_string(done.modelId);
        for (const NozzleData& n : nozzles) {
            const std::string name = quarvex::sqlQuote(trim(n.nome));
            if (countOf(con, "SELECT count(*) AS n FROM Boquillas WHERE id_modelo=" + modelId +
                                 " AND denominacion=" + name) > 0) {
                raiseError(errc::CatalogueNameTaken, "The model '" + modelName +
                                                         "' already has a nozzle named '" +
                                                         trim(n.nome) + "'");
            }
            con.Execute(quarvex::bindParameters(
                "INSERT INTO Boquillas (denominacion,pmin,pmax,a,b,qmin,qmax,id_modelo)VALUES "
                "(?,?,?,?,?,?,?,?);",
                {name, quarvex::sqlNumber(n.pmin), quarvex::sqlNumber(n.pmax),
                 quarvex::sqlNumber(n.a), quarvex::sqlNumber(n.b), quarvex::sqlNumber(n.qmin),
                 quarvex::sqlNumber(n.qmax), modelId}));
            ++done.nozzles;
        }
    });
    return done;
}

void SprinklerCatalogue::renameBrand(int brandId, const std::string& name) const {
    const std::string clean = trim(name);
    if (clean.empty()) {
        raiseError(errc::CatalogueNameMissing);
    }
    requireStorableName(StoredNameKind::SprinklerBrand, clean);
    writeTo(cs_, [&](Connection& con) {
        requireRow(con, "marca", "id_marca", brandId);
        if (countOf(con, "SELECT count(*) AS n FROM marca WHERE nome=" + quarvex::sqlQuote(clean) +
                             " AND id_marca<>" + std::to_string(brandId)) > 0) {
            raiseError(errc::CatalogueNameTaken);
        }
        con.Execute("UPDATE marca SET nome=" + quarvex::sqlQuote(clean) +
                    " WHERE id_marca=" + std::to_string(brandId) + ";");
    });
}

void SprinklerCatalogue::renameModel(int modelId, const std::string& name) const {
    const std::string clean = trim(name);
    if (clean.empty()) {
        raiseError(errc::CatalogueNameMissing);
    }
    requireStorableName(StoredNameKind::SprinklerModel, clean);
    writeTo(cs_, [&](Connection& con) {
        requireRow(con, "Modelos", "id_modelo", modelId);
        const std::string id = std::to_string(modelId);
        if (countOf(con, "SELECT count(*) AS n FROM Modelos WHERE modelo=" +
                             quarvex::sqlQuote(clean) + " AND id_modelo<>" + id +
                             " AND id_marca=(SELECT id_marca FROM Modelos WHERE id_modelo=" + id +
                             ")") > 0) {
            raiseError(errc::CatalogueNameTaken);
        }
        con.Execute("UPDATE Modelos SET modelo=" + quarvex::sqlQuote(clean) +
                    " WHERE id_modelo=" + id + ";");
    });
}

void SprinklerCatalogue::deleteBrand(int brandId) const {
    writeTo(cs_, [&](Connection& con) {
        requireRow(con, "marca", "id_marca", brandId);
        const std::string id = std::to_string(brandId);
        con.Execute(
            "DELETE FROM Boquillas WHERE id_modelo IN (SELECT id_modelo FROM Modelos WHERE "
            "id_marca=" +
            id + ");");
        con.Execute("DELETE FROM Modelos WHERE id_marca=" + id + ";");
        con.Execute("DELETE FROM marca WHERE id_marca=" + id + ";");
    });
}

void SprinklerCatalogue::deleteModel(int modelId) const {
    writeTo(cs_, [&](Connection& con) {
        requireRow(con, "Modelos", "id_modelo", modelId);
        const std::string id = std::to_string(modelId);
        con.Execute("DELETE FROM Boquillas WHERE id_modelo=" + id + ";");
        con.Execute("DELETE FROM Modelos WHERE id_modelo=" + id + ";");
    });
}

std::vector<int> SprinklerCatalogue::nozzlesOfBrand(int brandId) const {
    return readFrom(cs_, [&](Connection& con) {
        return ids(con,
                   "SELECT b.ID_Boquillas AS id FROM Boquillas AS b INNER JOIN Modelos AS m ON "
                   "b.id_modelo=m.id_modelo WHERE m.id_marca=" +
                       std::to_string(brandId) + " ORDER BY b.ID_Boquillas;",
                   "id");
    });
}

std::vector<int> SprinklerCatalogue::nozzlesOfModel(int modelId) const {
    return readFrom(cs_, [&](Connection& con) {
        return ids(con,
                   "SELECT ID_Boquillas AS id FROM Boquillas WHERE id_modelo=" +
                       std::to_string(modelId) + " ORDER BY ID_Boquillas;",
                   "id");
    });
}

int SprinklerCatalogue::modelCount(int brandId) const {
    return readFrom(cs_, [&](Connection& con) {
        return countOf(
            con, "SELECT count(*) AS n FROM Modelos WHERE id_marca=" + std::to_string(brandId));
    });
}

}  // namespace kambrix
