// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli charts DBFOLDER SYSTEM: the stored sprinkler charts of a system, as a JSON
// array of {"name", "id", "sprinklers"} in the order the store lists them.
#include <quarvex/quarvex.h>
#include <nlohmann/json.hpp>

#include <ostream>

#include "commands.h"
#include "shell/errors.h"
#include "stored_system.h"

namespace kambrix::cli {

int runCharts(const std::string& dbFolder, const std::string& system, std::ostream& out,
              std::ostream& err) {
    try {
        const StoredSystem stored = openStoredSystem(dbFolder, system);
        for (const auto& note : stored.notes) {
            err << "charts: " << note << '\n';
        }
        auto& store = quarvex::statics().CartaAspersor();
        const auto& cs = stored.config.projectsConnectionString;
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        store.enumerateAll(cs, stored.project.id).ForEach([&](const quarvex::CartaInfo& info) {
            const auto chart = store.find(cs, stored.config.asperPath.string(), info.id);
            int sprinklers = 0;
            chart->mountedAspersores().ForEach(
                [&](const std::shared_ptr<quarvex::MountedAspersor>& m) {
                    sprinklers += m->deleted() ? 0 : 1;
                });
            list.push_back({{"name", info.nome}, {"id", info.id}, {"sprinklers", sprinklers}});
        });
        out << list.dump(2) << '\n';
        return kExitOk;
    } catch (const CommandError& e) {
        err << "charts: " << e.what() << '\n';
    } catch (...) {
        const ErrorReport r = describeCurrentError();
        err << "charts: " << userMessage(r, "the charts could not be read")
            << (r.detail.empty() ? "" : " (" + r.detail + ")") << '\n';
    }
    return kExitBadInput;
}

}  // namespace kambrix::cli
