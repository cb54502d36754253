// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/agronomic_store.h"

#include <vector>

#include "shell/store_support.h"
#include "shell/unit_of_work.h"

namespace kambrix {

using quarvex::Connection;
using quarvex::RecordSet;

namespace {

constexpr const char* kCrop = "tb_agronomico";
constexpr const char* kEfficiency = "epa_datas";
constexpr const char* kScheduling = "tovren_agronomics";

const quarvex::TableSchema& schema(const char* name) {
    static const auto definitions = tableDefinitions();
    return definitions.Item(name);
}

std::string idText(int id) {
    return std::to_string(id);
}

std::string ofSystem(int systemId) {
    return quarvex::bindParameters("id_sistema=?", {idText(systemId)});
}

// The system's first row of the table (lowest id), read from its start.
RecordSet firstRowOf(Connection& con, const char* table, int systemId) {
    return con.Execute(
        schema(table).selectSQL(std::nullopt, std::nullopt, ofSystem(systemId), std::string("id")));
}

// The key of the system's first row, 0 when it has none.
int firstIdOf(Connection& con, const char* table, int systemId) {
    RecordSet rs =
        con.Execute(schema(table).selectSQL(std::nullopt, std::vector<std::string>{"id_sistema"},
                                            ofSystem(systemId), std::string("id")));
    return rs.IsEOF() ? 0 : rs.Field("id").AsInt();
}

bool hasRow(Connection& con, const char* table, int systemId) {
    return firstIdOf(con, table, systemId) > 0;
}

// Writes the values as the system's row and returns its key: the record's own row when it
// is still the system's, else the system's row when it has one, else a new row.
int storeRow(Connection& con, const char* table, const std::vector<std::string>& values, int id,
             int systemId) {
    const auto& s = schema(table);
    int key = 0;
    if (id >= 1) {
        RecordSet rs = con.Execute(s.countSQL(
            quarvex::bindParameters("id=? AND id_sistema=?", {idText(id), idText(systemId)})));
        if (!rs.IsEOF() && quarvex::nullToZero(rs.Field("result")) > 0) {
            key = id;
        }
    }
    if (key < 1) {
        key = firstIdOf(con, table, systemId);
    }
    if (key >= 1) {
        con.Execute(s.updateSQL(values, idText(key)));
        return key;
    }
    con.Execute(s.insertSQL(values));
    return quarvex::lastIdentity(con);
}

EpaFunction readEfficiency(Connection& con, int systemId) {
    EpaFunction e;
    RecordSet rs = firstRowOf(con, kEfficiency, systemId);
    if (rs.IsEOF()) {
        return e;
    }
    e.id = rs.Field("id").AsInt();
    e.Pa = nullToMissing(rs.Field("Pa"));
    e.CU = nullToMissing(rs.Field("CU"));
    e.Eto = nullToMissing(rs.Field("Eto"));
    e.U = nullToMissing(rs.Field("U"));
    e.CI = nullToMissing(rs.Field("CI"));
    e.Oe = nullToMissing(rs.Field("Oe"));
    e.id_sistema = systemId;
    return e;
}

void storeEfficiency(Connection& con, EpaFunction& e, int systemId) {
    e.id_sistema = systemId;
    e.id = storeRow(
        con, kEfficiency,
        {sqlDoubleOrNull(e.Pa), sqlDoubleOrNull(e.CU), sqlDoubleOrNull(e.Eto), sqlDoubleOrNull(e.U),
         sqlDoubleOrNull(e.CI), sqlDoubleOrNull(e.Oe), idText(systemId)},
        e.id, systemId);
}

void storeCrop(Connection& con, Agronomics& a, int systemId) {
    a.id_sistema = systemId;
    a.id = storeRow(
        con, kCrop,
        {sqlDoubleOrNull(a.kf), sqlDoubleOrNull(a.Etc), sqlDoubleOrNull(a.Pe), idText(systemId)},
        a.id, systemId);
}

void storeScheduling(Connection& con, TovrenAgronomics& t, int systemId) {
    t.id_sistema = systemId;
    t.id = storeRow(con, kScheduling,
                    {sqlDoubleOrNull(t.Qfc), sqlDoubleOrNull(t.hours_per_day), idText(systemId)},
                    t.id, systemId);
}

void deleteRows(Connection& con, const char* table, int systemId) {
    con.Execute(schema(table).deleteSQL(std::nullopt, ofSystem(systemId)));
}

// The source's efficiency values as a new row of the target (or over the target's row).
void copyEfficiency(Connection& con, EpaFunction e, int targetSystemId) {
    e.id = -99;
    storeEfficiency(con, e, targetSystemId);
}

}  // namespace

Agronomics loadAgronomic(Connection& con, int systemId) {
    Agronomics a;
    a.epa = readEfficiency(con, systemId);
    RecordSet rs = firstRowOf(con, kCrop, systemId);
    if (!rs.IsEOF()) {
        a.id = rs.Field("id").AsInt();
        a.kf = nullToMissing(rs.Field("kf"));
        a.Etc = nullToMissing(rs.Field("Etc"));
        a.Pe = nullToMissing(rs.Field("Pe"));
        a.id_sistema = systemId;
    }
    return a;
}

void saveAgronomic(Connection& con, Agronomics& record, int systemId) {
    Agronomics work = record;
    inOneTransaction(con, [&] {
        storeEfficiency(con, work.epa, systemId);
        storeCrop(con, work, systemId);
    });
    record = work;
}

void deleteAgronomic(Connection& con, int systemId) {
    inOneTransaction(con, [&] {
        deleteRows(con, kEfficiency, systemId);
        deleteRows(con, kCrop, systemId);
    });
}

void copyAgronomic(Connection& con, int sourceSystemId, int targetSystemId) {
    if (!hasRow(con, kCrop, sourceSystemId) || hasRow(con, kCrop, targetSystemId)) {
        return;
    }
    Agronomics copy = loadAgronomic(con, sourceSystemId);
    inOneTransaction(con, [&] {
        if (copy.epa.stored()) {
            copyEfficiency(con, copy.epa, targetSystemId);
        }
        copy.id = -99;
        storeCrop(con, copy, targetSystemId);
    });
}

TovrenAgronomics loadTovrenAgronomics(Connection& con, int systemId) {
    TovrenAgronomics t;
    t.epa = readEfficiency(con, systemId);
    RecordSet rs = firstRowOf(con, kScheduling, systemId);
    if (!rs.IsEOF()) {
        t.id = rs.Field("id").AsInt();
        t.Qfc = nullToMissing(rs.Field("Qfc"));
        t.hours_per_day = nullToMissing(rs.Field("hours_per_day"));
        t.id_sistema = systemId;
    }
    return t;
}

void saveTovrenAgronomics(Connection& con, TovrenAgronomics& record, int systemId) {
    TovrenAgronomics work = record;
    inOneTransaction(con, [&] {
        storeEfficiency(con, work.epa, systemId);
        storeScheduling(con, work, systemId);
    });
    record = work;
}

void deleteTovrenAgronomics(Connection& con, int systemId) {
    inOneTransaction(con, [&] {
        deleteRows(con, kEfficiency, systemId);
        deleteRows(con, kScheduling, systemId);
    });
}

void copyTovrenAgronomics(Connection& con, int sourceSystemId, int targetSystemId) {
    if (!hasRow(con, kScheduling, sourceSystemId) || hasRow(con, kScheduling, targetSystemId)) {
        return;
    }
    TovrenAgronomics copy = loadTovrenAgronomics(con, sourceSystemId);
    inOneTransaction(con, [&] {
        if (copy.epa.stored() && !hasRow(con, kEfficiency, targetSystemId)) {
            copyEfficiency(con, copy.epa, targetSystemId);
        }
        copy.id = -99;
        storeScheduling(con, copy, targetSystemId);
    });
}

void copySystemAgronomics(Connection& con, int sourceSystemId, int targetSystemId) {
    inOneTransaction(con, [&] {
        copyAgronomic(con, sourceSystemId, targetSystemId);
        copyTovrenAgronomics(con, sourceSystemId, targetSystemId);
        // An efficiency row saved on its own still belongs to the system.
        if (hasRow(con, kEfficiency, sourceSystemId) && !hasRow(con, kEfficiency, targetSystemId)) {
            copyEfficiency(con, readEfficiency(con, sourceSystemId), targetSystemId);
        }
    });
}

void deleteSystemAgronomics(Connection& con, int systemId) {
    inOneTransaction(con, [&] {
        deleteAgronomic(con, systemId);
        deleteTovrenAgronomics(con, systemId);
    });
}

SystemRowsParticipant agronomicRowsParticipant() {
    return {copySystemAgronomics, deleteSystemAgronomics};
}

Projectos projectsWithAgronomics() {
    return Projectos({agronomicRowsParticipant()});
}

void saveProjectWithAgronomic(const std::string& connectionString, Projecto& project,
                              Agronomics& record) {
    Projecto p = project;
    Agronomics a = record;
    writeTo(connectionString, [&](Connection& con) {
        Projectos().saveProject(con, p);
        saveAgronomic(con, a, p.id);
    });
    project = std::move(p);
    record = std::move(a);
}

void saveProjectWithTovren(const std::string& connectionString, Projecto& project,
                           TovrenAgronomics& record) {
    Projecto p = project;
    TovrenAgronomics t = record;
    writeTo(connectionString, [&](Connection& con) {
        Projectos().saveProject(con, p);
        saveTovrenAgronomics(con, t, p.id);
    });
    project = std::move(p);
    record = std::move(t);
}

}  // namespace kambrix
