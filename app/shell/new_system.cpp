// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/new_system.h"

#include "shell/unit_of_work.h"

namespace kambrix {

bool discardNewSystemLeftUnsaved(const std::string& projectsConnectionString,
                                 const SystemDocument& document, int projectId,
                                 const Projectos& store) {
    if (projectId <= 0 || !document.hasProject() || document.projectStored() ||
        document.project().id != projectId) {
        return false;
    }
    bool removed = false;
    writeTo(projectsConnectionString, [&](quarvex::Connection& con) {
        auto project = store.loadProject(con, "id=" + std::to_string(projectId), "tramos");
        if (project && project->Tramos.Length() == 0) {
            store.deleteProject(con, *project);
            removed = true;
        }
    });
    return removed;
}

}  // namespace kambrix
