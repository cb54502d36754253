// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/chart_print_store.h"

#include <cmath>
#include <ctime>

#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/store_support.h"

namespace kambrix {

using quarvex::Connection;
using quarvex::RecordSet;

namespace {

std::string id(int key) {
    return std::to_string(key);
}

}  // namespace

ChartSignoff loadChartSignoff(Connection& con, int chartId) {
    ChartSignoff s;
    if (!hasTable(con, "tb_chart_print")) {
        return s;
    }
    RecordSet row = con.Execute(quarvex::bindParameters(
        "SELECT designed_by, checked_by, approved_by, regulator_model, saved_at FROM "
        "tb_chart_print WHERE id_carta=?",
        {id(chartId)}));
    if (!row.IsEOF()) {
        s.designedBy = quarvex::nullToText(row["designed_by"]);
        s.checkedBy = quarvex::nullToText(row["checked_by"]);
        s.approvedBy = quarvex::nullToText(row["approved_by"]);
        s.regulatorModel = quarvex::nullToText(row["regulator_model"]);
        s.savedAt = quarvex::nullToText(row["saved_at"]);
    }
    return s;
}

void deleteChartSignoff(Connection& con, int chartId) {
    con.Execute(
        quarvex::bindParameters("DELETE FROM tb_chart_print WHERE id_carta=?", {id(chartId)}));
}

void saveChartSignoff(Connection& con, int chartId, int systemId, const ChartSignoff& s) {
    inOneTransaction(con, [&] {
        deleteChartSignoff(con, chartId);
        con.Execute(
            "INSERT INTO tb_chart_print (id_carta, id_sistema, designed_by, checked_by, "
            "approved_by, regulator_model, saved_at) VALUES (" +
            id(chartId) + ", " + id(systemId) + ", " + quarvex::sqlQuote(s.designedBy) + ", " +
            quarvex::sqlQuote(s.checkedBy) + ", " + quarvex::sqlQuote(s.approvedBy) + ", " +
            quarvex::sqlQuote(s.regulatorModel) + ", " + quarvex::sqlQuote(s.savedAt) + ")");
    });
}

SystemPrintFields loadSystemPrintFields(Connection& con, int systemId) {
    SystemPrintFields f;
    if (!hasTable(con, "tb_system_print")) {
        return f;
    }
    RecordSet row = con.Execute(quarvex::bindParameters(
        "SELECT pipe_height FROM tb_system_print WHERE id_sistema=?", {id(systemId)}));
    if (!row.IsEOF() && !row["pipe_height"].IsNull()) {
        f.pipeHeight = row["pipe_height"].AsDouble();
    }
    return f;
}

void saveSystemPrintFields(Connection& con, int systemId, const SystemPrintFields& f) {
    if (f.pipeHeight && !(std::isfinite(*f.pipeHeight) && *f.pipeHeight >= 0)) {
        raiseError(errc::ValueOutOfRange, "The pipe height must be a number of 0 m or more");
    }
    inOneTransaction(con, [&] {
        con.Execute(quarvex::bindParameters("DELETE FROM tb_system_print WHERE id_sistema=?",
                                            {id(systemId)}));
        if (f.pipeHeight) {
            con.Execute(quarvex::bindParameters(
                "INSERT INTO tb_system_print (id_sistema, pipe_height) VALUES (?, ?)",
                {id(systemId), roundTripText(*f.pipeHeight)}));
        }
    });
}

SystemRowsParticipant printRowsParticipant() {
    const auto copy = [](Connection& con, int sourceId, int targetId) {
        if (!hasTable(con, "tb_system_print")) {
            return;
        }
        con.Execute(quarvex::bindParameters("DELETE FROM tb_system_print WHERE id_sistema=?",
                                            {id(targetId)}));
        con.Execute(quarvex::bindParameters(
            "INSERT INTO tb_system_print (id_sistema, pipe_height) SELECT ?, pipe_height FROM "
            "tb_system_print WHERE id_sistema=?",
            {id(targetId), id(sourceId)}));
    };
    const auto remove = [](Connection& con, int systemId) {
        if (hasTable(con, "tb_system_print")) {
            con.Execute(quarvex::bindParameters("DELETE FROM tb_system_print WHERE id_sistema=?",
                                                {id(systemId)}));
        }
        if (hasTable(con, "tb_chart_print")) {
            con.Execute(quarvex::bindParameters("DELETE FROM tb_chart_print WHERE id_sistema=?",
                                                {id(systemId)}));
        }
    };
    return {copy, remove};
}

std::string saveTimeText(std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &utc);
    return text;
}

}  // namespace kambrix
