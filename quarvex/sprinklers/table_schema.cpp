// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {
namespace {

std::string joined(const std::vector<std::string>& parts, const char* sep = ",") {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            out += sep;
        }
        out += parts[i];
    }
    return out;
}

}  // namespace

TableSchema::TableSchema(std::string nome, std::vector<std::string> campos, std::string field_id) {
    init(std::move(nome), std::move(campos), std::move(field_id));
}

void TableSchema::init(std::string lnome, std::vector<std::string> lcampos, std::string lfield_id) {
    nome_ = std::move(lnome);
    campos_ = std::move(lcampos);
    field_id_ = std::move(lfield_id);
}

std::string TableSchema::where(const std::optional<std::string>& id,
                               const std::optional<std::string>& condition) const {
    std::vector<std::string> parts;
    if (id) {
        parts.push_back(field_id_ + " = " + *id);
    }
    if (condition) {
        parts.push_back(*condition);
    }
    return parts.empty() ? std::string() : " WHERE " + joined(parts, " AND ");
}

void TableSchema::copyData(Connection& con, std::int64_t from_id, std::int64_t to_id) const {
    const std::string columns = joined(campos_);
    con.Execute("INSERT INTO " + nome_ + "(" + columns + "," + field_id_ + ") " + "SELECT " +
                columns + "," + std::to_string(to_id) + " FROM  " + nome_ + " WHERE " + field_id_ +
                "=" + std::to_string(from_id) + ";");
}

std::string TableSchema::updateSQL(const std::vector<std::string>& values,
                                   const std::string& id) const {
    std::vector<std::string> pairs;
    for (std::size_t i = 0; i < campos_.size(); ++i) {
        if (i >= values.size()) {
            raiseSubscriptOutOfRange(static_cast<int>(i), static_cast<int>(values.size()));
        }
        pairs.push_back(campos_[i] + " = " + values[i]);
    }
    return "UPDATE " + nome_ + " SET " + joined(pairs) + " WHERE " + field_id_ + " = " + id;
}

std::string TableSchema::countSQL(const std::optional<std::string>& condition) const {
    return "SELECT Count(" + field_id_ + ") as result FROM " + nome_ +
           where(std::nullopt, condition);
}

std::string TableSchema::selectSQL(const std::optional<std::string>& id,
                                   const std::optional<std::vector<std::string>>& selection,
                                   const std::optional<std::string>& condition,
                                   const std::optional<std::string>& order) const {
    const std::string columns = selection ? field_id_ + "," + joined(*selection) : "*";
    const std::string orderBy = order ? " ORDER BY " + *order : std::string();
    return "SELECT " + columns + " FROM " + nome_ + where(id, condition) + orderBy + ";";
}

std::string TableSchema::insertSQL(const std::vector<std::string>& values,
                                   const std::optional<std::vector<std::string>>& fields) const {
    return "INSERT INTO " + nome_ + " (" + joined(fields ? *fields : campos_) + ") VALUES (" +
           joined(values) + " );";
}

std::string TableSchema::deleteSQL(const std::optional<std::string>& id,
                                   const std::optional<std::string>& condition) const {
    return "DELETE FROM " + nome_ + where(id, condition);
}

}  // namespace quarvex
