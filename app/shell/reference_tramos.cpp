// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/reference_tramos.h"

#include <algorithm>
#include <cmath>

#include "shell/services.h"
#include "shell/stored_names.h"

namespace kambrix {

using quarvex::Connection;
using quarvex::RecordSet;

namespace {

const quarvex::TableSchema& schemaOf(const char* name) {
    static const auto definitions = tableDefinitions();
    return definitions.Item(name);
}

constexpr const char* kOutsideDiameter = "diametro_exterior";

ReferenceTramo fromRow(const RecordSet& rs) {
    ReferenceTramo t;
    t.id = static_cast<int>(rs.Field("id").AsLong());
    t.denominacion = quarvex::nullToText(rs.Field("denominacion"));
    t.longitud = quarvex::nullToZero(rs.Field("longitud"));
    t.diametro = quarvex::nullToZero(rs.Field("diametro"));
    t.separacion_saidas = quarvex::nullToZero(rs.Field("separacion_saidas"));
    t.id_marca = static_cast<int>(quarvex::nullToZero(rs.Field("id_marca")));
    t.marca.id = t.id_marca;
    const auto& columns = rs.columns();
    if (std::find(columns.begin(), columns.end(), kOutsideDiameter) != columns.end() &&
        !rs.Field(kOutsideDiameter).IsNull()) {
        t.diametroExterior = rs.Field(kOutsideDiameter).AsDouble();
    }
    return t;
}

// Whether the file keeps the outside diameter (a file of an earlier version read as it
// stands does not).
bool keepsOutsideDiameter(Connection& con) {
    RecordSet rs = con.Execute("SELECT * FROM Valley LIMIT 0");
    const auto& columns = rs.columns();
    return std::find(columns.begin(), columns.end(), kOutsideDiameter) != columns.end();
}

void writeOutsideDiameter(Connection& con, const ReferenceTramo& t) {
    if (!keepsOutsideDiameter(con)) {
        return;
    }
    con.Execute(std::string("UPDATE Valley SET ") + kOutsideDiameter + "=" +
                (t.diametroExterior ? quarvex::sqlNumber(*t.diametroExterior) : "NULL") +
                " WHERE id=" + std::to_string(t.id));
}

int countOf(Connection& con, const std::string& sql) {
    RecordSet rs = con.Execute(sql);
    return rs.IsEOF() ? 0 : static_cast<int>(quarvex::nullToZero(rs.Field("n")));
}

// Runs the work inside a transaction unless the caller already holds one.
template <class F>
void transaction(Connection& con, F&& work) {
    if (con.InTransaction()) {
        work();
    } else {
        quarvex::inTransaction(con, std::forward<F>(work));
    }
}

}  // namespace

std::optional<ReferenceTramoProblem> checkReferenceTramo(const ReferenceTramo& t) {
    if (isBlank(t.denominacion)) {
        return ReferenceTramoProblem{"denominacion",
                                     requirementMessage({"the name of the reference span"})};
    }
    if (auto problem = storedNameProblem(StoredNameKind::ReferenceSpan, trim(t.denominacion))) {
        return ReferenceTramoProblem{"denominacion", std::move(*problem)};
    }
    const struct {
        const char* field;
        double value;
        const char* what;
    } numbers[] = {{"longitud", t.longitud, "the length"},
                   {"diametro", t.diametro, "the inside diameter"},
                   {"separacion_saidas", t.separacion_saidas, "the outlet spacing"}};
    for (const auto& n : numbers) {
        if (!std::isfinite(n.value) || n.value <= 0) {
            return ReferenceTramoProblem{n.field, std::string("The value for ") + n.what +
                                                      " must be a number greater than 0"};
        }
    }
    if (centimetresToMetres(t.separacion_saidas) >= t.longitud) {
        return ReferenceTramoProblem{"separacion_saidas",
                                     "The outlet spacing must be shorter than the span"};
    }
    if (t.diametroExterior &&
        !(std::isfinite(*t.diametroExterior) && *t.diametroExterior > t.diametro)) {
        return ReferenceTramoProblem{
            "diametro_exterior",
            "The outside diameter must be a number greater than the inside diameter"};
    }
    return std::nullopt;
}

quarvex::Collection<TramoMarca> ReferenceTramos::allBrands(Connection& con) const {
    quarvex::Collection<TramoMarca> out;
    RecordSet rs = con.Execute("SELECT marca, id_marca FROM tb_marcas ORDER BY id_marca;");
    for (; !rs.IsEOF(); rs.MoveNext()) {
        TramoMarca m{quarvex::nullToText(rs.Field("marca")),
                     static_cast<int>(rs.Field("id_marca").AsLong())};
        if (out.Contains(m.name)) {
            out.Add(m);  // a repeated name stays listed, without a key
        } else {
            out.Add(m, m.name);
        }
    }
    return out;
}

quarvex::Collection<ReferenceTramo> ReferenceTramos::allReferenceTramos(Connection& con) const {
    quarvex::Collection<ReferenceTramo> out;
    RecordSet rs = con.Execute(
        "SELECT Valley.*, tb_marcas.marca AS marca_nome FROM Valley LEFT JOIN tb_marcas ON "
        "Valley.id_marca=tb_marcas.id_marca ORDER BY Valley.denominacion;");
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ReferenceTramo t = fromRow(rs);
        t.marca.name = quarvex::nullToText(rs.Field("marca_nome"));
        out.Add(t);
    }
    return out;
}

ReferenceTramo ReferenceTramos::findByName(Connection& con, const std::string& name) const {
    RecordSet rs =
        con.Execute("SELECT * FROM Valley WHERE Denominacion='" + quarvex::sqlEscape(name) + "'");
    if (rs.IsEOF()) {
        ReferenceTramo none;
        none.denominacion = name;
        return none;
    }
    return fromRow(rs);
}

void ReferenceTramos::saveBrand(Connection& con, TramoMarca& marca) const {
    if (isBlank(marca.name)) {
        raiseError(errc::TramoMarcaMissingName);
    }
    requireStorableName(StoredNameKind::ReferenceSpanBrand, marca.name);
    const auto& schema = schemaOf("tb_marcas");
    con.Execute(schema.insertSQL({quarvex::sqlQuote(marca.name)}));
    marca.id = quarvex::lastIdentity(con);
}

void ReferenceTramos::saveReferenceTramo(Connection& con, ReferenceTramo& tramo) const {
    if (isBlank(tramo.denominacion) || tramo.longitud == 0 || tramo.diametro == 0 ||
        tramo.separacion_saidas == 0) {
        raiseError(errc::ReferenceTramoIncomplete);
    }
    requireStorableName(StoredNameKind::ReferenceSpan, tramo.denominacion);
    RecordSet same = con.Execute(
        "SELECT count(*) AS result FROM Valley WHERE " +
        quarvex::bindParameters("denominacion='?'", {quarvex::sqlEscape(tramo.denominacion)}));
    if (!same.IsEOF() && quarvex::nullToZero(same.Field("result")) > 0) {
        raiseError(errc::ReferenceTramoExists);
    }
    ReferenceTramo work = tramo;
    auto store = [&] {
        if (work.marca.id <= 0) {
            saveBrand(con, work.marca);
        }
        work.id_marca = work.marca.id;
        const auto& schema = schemaOf("Valley");
        con.Execute(schema.insertSQL({
            quarvex::sqlQuote(work.denominacion),
            sqlNumberOrNull(work.longitud),
            sqlNumberOrNull(work.diametro),
            sqlNumberOrNull(work.separacion_saidas),
            sqlNumberOrNull(work.id_marca),
        }));
        work.id = quarvex::lastIdentity(con);
        writeOutsideDiameter(con, work);
    };
    if (con.InTransaction()) {
        store();
    } else {
        quarvex::inTransaction(con, store);
    }
    tramo = work;
}

RowStamp ReferenceTramos::spanStamp(Connection& con, int id) const {
    return readRowStamp(con, row_kind::Span, std::to_string(id));
}

RowStamp ReferenceTramos::updateReferenceTramo(Connection& con, ReferenceTramo& tramo,
                                               const RowStamp* seen) const {
    if (const auto problem = checkReferenceTramo(tramo)) {
        raiseError(errc::ValueOutOfRange, problem->message);
    }
    const std::string id = std::to_string(tramo.id);
    if (countOf(con, "SELECT count(*) AS n FROM Valley WHERE id=" + id) == 0) {
        raiseError(errc::RecordNotFound);
    }
    if (countOf(con, "SELECT count(*) AS n FROM Valley WHERE denominacion=" +
                         quarvex::sqlQuote(trim(tramo.denominacion)) + " AND id<>" + id) > 0) {
        raiseError(errc::ReferenceTramoExists);
    }
    ReferenceTramo work = tramo;
    work.denominacion = trim(work.denominacion);
    RowStamp stamp;
    transaction(con, [&] {
        stamp = seen != nullptr ? claimRow(con, row_kind::Span, id, *seen,
                                           "The reference span \"" + work.denominacion + "\"")
                                : claimNewRow(con, row_kind::Span, id);
        if (work.marca.id <= 0) {
            saveBrand(con, work.marca);
        }
        work.id_marca = work.marca.id;
        con.Execute(schemaOf("Valley").updateSQL(
            {quarvex::sqlQuote(work.denominacion), quarvex::sqlNumber(work.longitud),
             quarvex::sqlNumber(work.diametro), quarvex::sqlNumber(work.separacion_saidas),
             sqlNumberOrNull(work.id_marca)},
            id));
        writeOutsideDiameter(con, work);
    });
    tramo = work;
    return stamp;
}

void ReferenceTramos::deleteReferenceTramo(Connection& con, int id) const {
    if (countOf(con, "SELECT count(*) AS n FROM Valley WHERE id=" + std::to_string(id)) == 0) {
        raiseError(errc::RecordNotFound);
    }
    transaction(con, [&] {
        con.Execute(schemaOf("Valley").deleteSQL(std::to_string(id)));
        retireRow(con, row_kind::Span, std::to_string(id));
    });
}

void ReferenceTramos::renameBrand(Connection& con, int brandId, const std::string& name) const {
    const std::string clean = trim(name);
    if (clean.empty()) {
        raiseError(errc::TramoMarcaMissingName);
    }
    requireStorableName(StoredNameKind::ReferenceSpanBrand, clean);
    const std::string id = std::to_string(brandId);
    if (countOf(con, "SELECT count(*) AS n FROM tb_marcas WHERE id_marca=" + id) == 0) {
        raiseError(errc::RecordNotFound);
    }
    if (countOf(con, "SELECT count(*) AS n FROM tb_marcas WHERE marca=" + quarvex::sqlQuote(clean) +
                         " AND id_marca<>" + id) > 0) {
        raiseError(errc::CatalogueNameTaken);
    }
    con.Execute("UPDATE tb_marcas SET marca=" + quarvex::sqlQuote(clean) + " WHERE id_marca=" + id +
                ";");
}

void ReferenceTramos::deleteBrand(Connection& con, int brandId) const {
    const std::string id = std::to_string(brandId);
    if (countOf(con, "SELECT count(*) AS n FROM tb_marcas WHERE id_marca=" + id) == 0) {
        raiseError(errc::RecordNotFound);
    }
    transaction(con, [&] {
        con.Execute("DELETE FROM Valley WHERE id_marca=" + id + ";");
        con.Execute("DELETE FROM tb_marcas WHERE id_marca=" + id + ";");
    });
}

int ReferenceTramos::spanCount(Connection& con, int brandId) const {
    return countOf(con,
                   "SELECT count(*) AS n FROM Valley WHERE id_marca=" + std::to_string(brandId));
}

quarvex::tramo ReferenceTramos::toTramo(const ReferenceTramo& ref, double cota) const {
    return quarvex::statics().Tramos().newTramo(ref.id, ref.denominacion, ref.longitud,
                                                ref.diametro, ref.separacion_saidas, cota);
}

}  // namespace kambrix
