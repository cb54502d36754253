// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/system_selection.h"

#include <utility>

#include "shell/projectos.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

SelectionOutcome refused(std::string message) {
    return SelectionOutcome{SelectionStatus::Refused, std::move(message), 0};
}

std::string noSystemNamed(const std::string& name) {
    return "There is no system named '" + name + "'";
}

}  // namespace

SystemSelection::SystemSelection(std::string projectsConnection, Projectos store)
    : cs_(std::move(projectsConnection)), store_(std::move(store)) {}

std::vector<std::string> SystemSelection::names() const {
    return readFrom(cs_, [](quarvex::Connection& con) { return Projectos().projectNames(con); });
}

std::map<std::string, std::string> SystemSelection::savedBy() const {
    std::map<std::string, std::string> texts;
    for (const auto& [name, stamp] :
         readFrom(cs_, [](quarvex::Connection& con) { return Projectos().stampsByName(con); })) {
        texts[name] = savedByText(stamp);
    }
    return texts;
}

std::string SystemSelection::replaceQuestion(const std::string& name) {
    return "There is already a project named '" + name +
           "' Do you want to replace it with a new empty one";
}

void SystemSelection::remove(const std::string& name) const {
    readFrom(cs_, [&](quarvex::Connection& con) {
        const Projectos& store = store_;
        if (auto project = store.loadProject(con, store.nameCondition(name))) {
            store.deleteProject(con, *project);
        }
    });
}

SelectionOutcome SystemSelection::accept(
    SelectionMode mode, const std::string& existingText, const std::string& freshText,
    SystemDocument& document, const std::function<bool(const std::string&)>& confirmReplace) const {
    const std::string existing = trim(existingText);
    const std::string fresh = trim(freshText);
    const Projectos& store = store_;
    auto count = [&](const std::string& name) {
        return readFrom(cs_, [&](quarvex::Connection& con) {
            return store.countProjects(con, store.nameCondition(name));
        });
    };
    // A system of the new name goes only with the user's consent.
    auto clearName = [&](const std::string& name) {
        if (count(name) == 0) {
            return true;
        }
        if (!confirmReplace(replaceQuestion(name))) {
            return false;
        }
        remove(name);
        return true;
    };
    const SelectionOutcome declined{SelectionStatus::Declined, {}, 0};
    switch (mode) {
        case SelectionMode::Open: {
            if (existing.empty()) {
                return refused(requirementMessage({"the name of the system to open"}));
            }
            const auto project = readFrom(cs_, [&](quarvex::Connection& con) {
                return store.loadProject(con, store.nameCondition(existing), "tramos");
            });
            if (!project) {
                return refused(noSystemNamed(existing));
            }
            document.setProject(*project, true);
            return SelectionOutcome{SelectionStatus::Chosen, {}, 0};
        }
        case SelectionMode::New: {
            if (fresh.empty()) {
                return refused(requirementMessage({"the name of the new system"}));
            }
            if (!clearName(fresh)) {
                return declined;
            }
            Projecto project = store.newProject(fresh);
            writeTo(cs_, [&](quarvex::Connection& con) { store.saveProject(con, project); });
            document.setProject(project, false);
            return SelectionOutcome{SelectionStatus::Chosen, {}, project.id};
        }
        case SelectionMode::Copy:
            break;
    }
    if (existing.empty() && fresh.empty()) {
        return refused(
            requirementMessage({"the name of the base system", "the name of the new system"}));
    }
    if (fresh.empty()) {
        return refused(requirementMessage({"the name of the new system"}));
    }
    if (existing.empty()) {
        return refused(requirementMessage({"the name of the base system"}));
    }
    if (count(existing) == 0) {
        return refused(noSystemNamed(existing));
    }
    if (existing == fresh) {
        return refused("The new system needs a name other than its base system's");
    }
    if (!clearName(fresh)) {
        return declined;
    }
    Projecto copy;
    writeTo(cs_, [&](quarvex::Connection& con) {
        copy = store.copyProject(con, store.nameCondition(existing), fresh);
    });
    document.setProject(copy, true);
    return SelectionOutcome{SelectionStatus::Chosen, {}, 0};
}

}  // namespace kambrix
