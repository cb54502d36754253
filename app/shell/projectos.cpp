// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/projectos.h"

#include <algorithm>
#include <utility>

#include "shell/services.h"
#include "shell/stored_names.h"

namespace kambrix {

using quarvex::Connection;
using quarvex::RecordSet;

namespace {

const quarvex::TableSchema& schema(const char* name) {
    static const auto definitions = tableDefinitions();
    return definitions.Item(name);
}

std::string idText(int id) {
    return std::to_string(id);
}

}  // namespace

Projectos::Projectos(std::vector<SystemRowsParticipant> participants)
    : participants_(std::move(participants)) {}

std::string Projectos::nameCondition(const std::string& name) const {
    return quarvex::bindParameters("designacao=?", {quarvex::sqlQuote(name)});
}

int Projectos::countProjects(Connection& con, const std::string& condition) const {
    RecordSet rs = con.Execute(schema("projectos").countSQL(condition));
    return rs.IsEOF() ? 0 : static_cast<int>(quarvex::nullToZero(rs.Field("result")));
}

std::vector<std::string> Projectos::projectNames(Connection& con) const {
    RecordSet rs = con.Execute(schema("projectos")
                                   .selectSQL(std::nullopt, std::vector<std::string>{"designacao"},
                                              std::nullopt, std::string("designacao")));
    std::vector<std::string> names;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        names.push_back(quarvex::nullToText(rs.Field("designacao")));
    }
    return names;
}

std::map<std::string, RowStamp> Projectos::stampsByName(Connection& con) const {
    const auto stamps = readRowStamps(con, row_kind::System);
    std::map<std::string, RowStamp> byName;
    RecordSet rs =
        con.Execute(schema("projectos")
                        .selectSQL(std::nullopt, std::vector<std::string>{"id", "designacao"},
                                   std::nullopt, std::string("designacao")));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const auto it = stamps.find(idText(static_cast<int>(rs.Field("id").AsLong())));
        if (it != stamps.end()) {
            byName[quarvex::nullToText(rs.Field("designacao"))] = it->second;
        }
    }
    return byName;
}

std::optional<Projecto> Projectos::loadProject(Connection& con, const std::string& condition,
                                               const std::string& tableWord) const {
    // The stamps before the row: a save in between makes the stamp older than the values
    // read, which refuses the next save rather than letting it overwrite unseen.
    const auto stamps = readRowStamps(con, row_kind::System);
    RecordSet rs = con.Execute(
        schema("projectos").selectSQL(std::nullopt, std::nullopt, condition, std::string("id")));
    if (rs.IsEOF()) {
        return std::nullopt;
    }
    Projecto p;
    p.id = static_cast<int>(rs.Field("id").AsLong());
    p.nome = quarvex::nullToText(rs.Field("designacao"));
    p.propietario = quarvex::nullToText(rs.Field("propietario"));
    p.areaParcela = quarvex::nullToZero(rs.Field("areaParcela"));
    p.p = quarvex::nullToZero(rs.Field("P"));
    p.q = quarvex::nullToZero(rs.Field("Q"));
    p.cotaCentral = quarvex::nullToZero(rs.Field("cotaCentro"));
    p.p_pipe_material_id = static_cast<int>(quarvex::nullToZero(rs.Field("pipe_material_id")));
    p.hasVoladizo = quarvex::nullToFalse(rs.Field("voladizo"));
    p.hasGun = quarvex::nullToFalse(rs.Field("gun"));
    p.endGun = quarvex::statics().Gun().newGun(quarvex::nullToZero(rs.Field("gun_rs")));
    p.horas_de_operacao_diaria = quarvex::nullToZero(rs.Field("horas_de_operacao_diaria"));
    p.pipe_material = quarvex::statics().PipeMaterials().find(con, p.p_pipe_material_id);
    if (const auto it = stamps.find(idText(p.id)); it != stamps.end()) {
        p.stamp = it->second;
    }
    if (tableWord == "tramos") {
        p.Tramos = loadTramos(con, p.id);
        p.p_tramos_loaded = true;
    }
    return p;
}

quarvex::Array<quarvex::tramo> Projectos::loadTramos(Connection& con, int projectId) const {
    quarvex::Array<quarvex::tramo> spans;
    RecordSet rs = con.Execute(schema("tramos").selectSQL(
        std::nullopt, std::nullopt, "projecto_id=" + idText(projectId), std::string("ordem ASC")));
    auto& tramos = quarvex::statics().Tramos();
    for (; !rs.IsEOF(); rs.MoveNext()) {
        spans.Push(tramos.newTramo(static_cast<int>(quarvex::nullToZero(rs.Field("tramo_id"))),
                                   quarvex::nullToText(rs.Field("denominacion")),
                                   quarvex::nullToZero(rs.Field("longitud")),
                                   quarvex::nullToZero(rs.Field("diametro")),
                                   quarvex::nullToZero(rs.Field("separacion_saidas")),
                                   quarvex::nullToZero(rs.Field("cota"))));
    }
    return spans;
}

std::string systemRecordName(const std::string& name) {
    return "The system \"" + name + "\"";
}

Projecto Projectos::newProject(const std::string& name) const {
    Projecto p;
    p.nome = name;
    return p;
}

void Projectos::writeProject(Connection& con, Projecto& project) const {
    requireStorableName(StoredNameKind::System, project.nome);
    const auto& projectos = schema("projectos");
    const std::vector<std::string> values = {
        quarvex::sqlQuote(project.nome),
        quarvex::sqlTextOrNull(quarvex::sqlQuote(project.propietario)),
        sqlNumberOrNull(project.areaParcela),
        sqlNumberOrNull(project.p),
        sqlNumberOrNull(project.q),
        sqlNumberOrNull(project.cotaCentral),
        sqlNumberOrNull(project.pipe_material.id > 0 ? project.pipe_material.id
                                                     : project.p_pipe_material_id),
        sqlNumberOrNull(project.cotaCentral),
        quarvex::sqlBool(project.hasVoladizo),
        quarvex::sqlBool(project.hasGun),
        sqlNumberOrNull(project.endGun.rs),
        sqlNumberOrNull(project.horas_de_operacao_diaria),
    };
    if (project.id <= 0) {
        con.Execute(projectos.insertSQL(values));
        project.id = quarvex::lastIdentity(con);
        project.stamp = claimNewRow(con, row_kind::System, idText(project.id));
    } else {
        project.stamp = claimRow(con, row_kind::System, idText(project.id), project.stamp,
                                 systemRecordName(project.nome));
        con.Execute(projectos.updateSQL(values, idText(project.id)));
    }
    project.p_pipe_material_id =
        project.pipe_material.id > 0 ? project.pipe_material.id : project.p_pipe_material_id;
    if (!project.p_tramos_loaded) {
        return;
    }
    const auto& tramos = schema("tramos");
    con.Execute(tramos.deleteSQL(std::nullopt, "projecto_id=" + idText(project.id)));
    for (int i = 1; i <= project.Tramos.Length(); ++i) {
        const quarvex::tramo& t = project.Tramos(i);
        con.Execute(tramos.insertSQL({
            idText(project.id),
            idText(t.id),
            idText(i),
            quarvex::sqlQuote(t.denominacion),
            quarvex::sqlNumber(t.longitude),
            quarvex::sqlNumber(t.diametro),
            quarvex::sqlNumber(t.separationSaidas_cm),
            sqlNumberOrNull(t.cota),
        }));
    }
}

void Projectos::saveProject(Connection& con, Projecto& project) const {
    if (con.InTransaction()) {
        writeProject(con, project);
        return;
    }
    Projecto work = project;
    quarvex::inTransaction(con, [&] { writeProject(con, work); });
    project = work;
}

Projecto Projectos::copyProject(Connection& con, const std::string& baseCondition,
                                const std::string& newName) const {
    auto base = loadProject(con, baseCondition, "tramos");
    if (!base) {
        quarvex::Exceptions::Throw(quarvex::errc::InvalidArgument,
                                   "there is no base system for " + baseCondition);
    }
    Projecto copy = *base;
    copy.nome = newName;
    copy.id = 0;
    auto work = [&] {
        writeProject(con, copy);
        for (const auto& participant : participants_) {
            if (participant.copy) {
                participant.copy(con, base->id, copy.id);
            }
        }
    };
    if (con.InTransaction()) {
        work();
    } else {
        quarvex::inTransaction(con, work);
    }
    return copy;
}

void Projectos::deleteProject(Connection& con, Projecto& project) const {
    if (project.id <= 0) {
        return;
    }
    // Everything of the system goes in one transaction on this one connection, the charts
    // included: a failure anywhere leaves the system whole.
    auto work = [&] {
        destroySystemCharts(con, project.id);
        for (const auto& participant : participants_) {
            if (participant.remove) {
                participant.remove(con, project.id);
            }
        }
        con.Execute(schema("tramos").deleteSQL(
            std::nullopt, quarvex::bindParameters("projecto_id=?", {idText(project.id)})));
        con.Execute(schema("projectos").deleteSQL(idText(project.id)));
        retireRow(con, row_kind::System, idText(project.id));
    };
    if (con.InTransaction()) {
        work();
    } else {
        quarvex::inTransaction(con, work);
    }
    project.p_destroyed = true;
}

}  // namespace kambrix
