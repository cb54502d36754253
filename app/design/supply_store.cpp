// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/supply_store.h"

#include <optional>
#include <string>

#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/store_support.h"

namespace kambrix {

using quarvex::Connection;
using quarvex::RecordSet;

namespace {

std::string id(int systemId) {
    return std::to_string(systemId);
}

// Stored to the last bit: the supply is read back as it was typed. (Every value has passed
// supplyProblem, so it is finite.)
std::string exact(double v) {
    return roundTripText(v);
}

}  // namespace

Supply loadSupply(Connection& con, int systemId) {
    Supply s;
    RecordSet row = con.Execute(quarvex::bindParameters(
        "SELECT lift, line_length, line_diametro, line_rugosidad, measured_presion, "
        "measured_caudal, nozzle_wear FROM tb_supply WHERE id_sistema=?",
        {id(systemId)}));
    if (!row.IsEOF()) {
        s.line.lift = quarvex::nullToZero(row["lift"]);
        s.line.length = quarvex::nullToZero(row["line_length"]);
        s.line.diametro = quarvex::nullToZero(row["line_diametro"]);
        s.line.rugosidad = quarvex::nullToZero(row["line_rugosidad"]);
        const auto p = optionalNumber(row["measured_presion"]);
        const auto q = optionalNumber(row["measured_caudal"]);
        if (p && q) {
            s.measured = MeasuredSupply{*p, *q};
        }
        s.nozzleWear = quarvex::nullToZero(row["nozzle_wear"]);
    }
    RecordSet pump = con.Execute(
        quarvex::bindParameters("SELECT caudal, presion FROM tb_supply_pump WHERE id_sistema=? "
                                "ORDER BY orden, id",
                                {id(systemId)}));
    for (; !pump.IsEOF(); pump.MoveNext()) {
        s.pump.push_back({pump["caudal"].AsDouble(), pump["presion"].AsDouble()});
    }
    return s;
}

void deleteSupply(Connection& con, int systemId) {
    inOneTransaction(con, [&] {
        con.Execute(quarvex::bindParameters("DELETE FROM tb_supply_pump WHERE id_sistema=?",
                                            {id(systemId)}));
        con.Execute(
            quarvex::bindParameters("DELETE FROM tb_supply WHERE id_sistema=?", {id(systemId)}));
    });
}

void saveSupply(Connection& con, int systemId, const Supply& s) {
    if (const auto problem = supplyProblem(s)) {
        raiseError(errc::ValueOutOfRange, *problem);
    }
    inOneTransaction(con, [&] {
        deleteSupply(con, systemId);
        if (s.empty() && s.line == SupplyLine{}) {
            return;
        }
        std::optional<double> p, q;
        if (s.measured) {
            p = s.measured->presion;
            q = s.measured->caudal;
        }
        con.Execute(quarvex::bindParameters(
            "INSERT INTO tb_supply (id_sistema, lift, line_length, line_diametro, "
            "line_rugosidad, measured_presion, measured_caudal, nozzle_wear) VALUES "
            "(?, ?, ?, ?, ?, ?, ?, ?)",
            {id(systemId), exact(s.line.lift), exact(s.line.length), exact(s.line.diametro),
             exact(s.line.rugosidad), numberOrNull(p), numberOrNull(q), exact(s.nozzleWear)}));
        for (std::size_t i = 0; i < s.pump.size(); ++i) {
            con.Execute(quarvex::bindParameters(
                "INSERT INTO tb_supply_pump (id_sistema, orden, caudal, presion) VALUES "
                "(?, ?, ?, ?)",
                {id(systemId), std::to_string(i + 1), exact(s.pump[i].caudal),
                 exact(s.pump[i].presion)}));
        }
    });
}

void copySupply(Connection& con, int sourceSystemId, int targetSystemId) {
    inOneTransaction(con, [&] {
        deleteSupply(con, targetSystemId);
        // Copied as stored, even rows that would not pass today's checks.
        con.Execute(quarvex::bindParameters(
            "INSERT INTO tb_supply (id_sistema, lift, line_length, line_diametro, "
            "line_rugosidad, measured_presion, measured_caudal, nozzle_wear) SELECT ?, lift, "
            "line_length, line_diametro, line_rugosidad, measured_presion, measured_caudal, "
            "nozzle_wear FROM tb_supply WHERE id_sistema=?",
            {id(targetSystemId), id(sourceSystemId)}));
        con.Execute(quarvex::bindParameters(
            "INSERT INTO tb_supply_pump (id_sistema, orden, caudal, presion) SELECT ?, orden, "
            "caudal, presion FROM tb_supply_pump WHERE id_sistema=? ORDER BY orden, id",
            {id(targetSystemId), id(sourceSystemId)}));
    });
}

SystemRowsParticipant supplyRowsParticipant() {
    return {copySupply, deleteSupply};
}

}  // namespace kambrix
