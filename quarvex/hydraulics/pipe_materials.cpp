// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

namespace quarvex {
namespace {

PipeMaterial fromRow(const RecordSet& rs) {
    PipeMaterial m;
    m.id = static_cast<int>(nullToZero(rs.Field("id")));
    m.name = nullToText(rs.Field("name"));
    m.rugosidade = static_cast<int>(nullToZero(rs.Field("rugosidade")));
    return m;
}

const TableSchema& materialsTable() {
    static const TableSchema t("pipe_materials", {"name", "rugosidade"}, "id");
    return t;
}

}  // namespace

Collection<PipeMaterial> PipeMaterials::All(Connection& con) const {
    RecordSet rs = con.Execute(materialsTable().selectSQL(
        std::nullopt, std::vector<std::string>{"name", "rugosidade"}, std::nullopt, "id asc"));
    Collection<PipeMaterial> out;
    while (!rs.IsEOF()) {
        out.Add(fromRow(rs));
        rs.MoveNext();
    }
    return out;
}

PipeMaterial PipeMaterials::NullPipeMaterial() const {
    return PipeMaterial{};
}

bool PipeMaterials::Equals(const PipeMaterial& self, const PipeMaterial& other) const {
    return self.id == other.id;
}

PipeMaterial PipeMaterials::find(Connection& con, int id) const {
    RecordSet rs = con.Execute(materialsTable().selectSQL(
        std::to_string(id), std::vector<std::string>{"name", "rugosidade"}));
    return rs.IsEOF() ? NullPipeMaterial() : fromRow(rs);
}

}  // namespace quarvex
