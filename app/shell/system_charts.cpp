// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include "shell/projectos.h"

namespace kambrix {

void destroySystemCharts(const std::string& connectionString, int systemId) {
    auto& charts = quarvex::statics().CartaAspersor();
    const auto all = charts.enumerateAll(connectionString, systemId);
    all.ForEach([&](const quarvex::CartaInfo& info) { charts.destroy(connectionString, info.id); });
}

bool systemHasCharts(const std::string& connectionString, int systemId) {
    return quarvex::statics().CartaAspersor().AnyFor(connectionString, systemId);
}

}  // namespace kambrix
