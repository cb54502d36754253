// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include "shell/projectos.h"
#include "shell/row_versions.h"

namespace kambrix {

void destroySystemCharts(const std::string& connectionString, int systemId) {
    quarvex::Connection con(connectionString);
    con.Open();
    destroySystemCharts(con, systemId);
}

void destroySystemCharts(quarvex::Connection& con, int systemId) {
    auto& charts = quarvex::statics().CartaAspersor();
    auto work = [&] {
        const auto all = charts.enumerateAll(con, systemId);
        all.ForEach([&](const quarvex::CartaInfo& info) {
            charts.destroy(con, info.id);
            retireRow(con, row_kind::Chart, std::to_string(info.id));
        });
    };
    if (con.InTransaction()) {
        work();
    } else {
        quarvex::inTransaction(con, work);
    }
}

bool systemHasCharts(const std::string& connectionString, int systemId) {
    return quarvex::statics().CartaAspersor().AnyFor(connectionString, systemId);
}

}  // namespace kambrix
