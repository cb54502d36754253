// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/reference_tramos.h"

#include "shell/services.h"

namespace kambrix {

using quarvex::Connection;
using quarvex::RecordSet;

namespace {

const quarvex::TableSchema& schemaOf(const char* name) {
    static const auto definitions = tableDefinitions();
    return definitions.Item(name);
}

ReferenceTramo fromRow(const RecordSet& rs) {
    ReferenceTramo t;
    t.id = static_cast<int>(rs.Field("id").AsLong());
    t.denominacion = quarvex::nullToText(rs.Field("denominacion"));
    t.longitud = quarvex::nullToZero(rs.Field("longitud"));
    t.diametro = quarvex::nullToZero(rs.Field("diametro"));
    t.separacion_saidas = quarvex::nullToZero(rs.Field("separacion_saidas"));
    t.id_marca = static_cast<int>(quarvex::nullToZero(rs.Field("id_marca")));
    t.marca.id = t.id_marca;
    return t;
}

}  // namespace

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
    const auto& schema = schemaOf("tb_marcas");
    con.Execute(schema.insertSQL({quarvex::sqlQuote(marca.name)}));
    marca.id = quarvex::lastIdentity(con);
}

void ReferenceTramos::saveReferenceTramo(Connection& con, ReferenceTramo& tramo) const {
    if (isBlank(tramo.denominacion) || tramo.longitud == 0 || tramo.diametro == 0 ||
        tramo.separacion_saidas == 0) {
        raiseError(errc::ReferenceTramoIncomplete);
    }
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
    };
    if (con.InTransaction()) {
        store();
    } else {
        quarvex::inTransaction(con, store);
    }
    tramo = work;
}

quarvex::tramo ReferenceTramos::toTramo(const ReferenceTramo& ref, double cota) const {
    return quarvex::statics().Tramos().newTramo(ref.id, ref.denominacion, ref.longitud,
                                                ref.diametro, ref.separacion_saidas, cota);
}

}  // namespace kambrix
