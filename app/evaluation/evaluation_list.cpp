// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/evaluation_list.h"

#include <map>
#include <utility>

#include "evaluation/evaluation_conditions.h"
#include "evaluation/evaluation_store.h"
#include "shell/services.h"
#include "shell/unit_of_work.h"

namespace kambrix {

std::string replaceEvaluationQuestion(const std::string& name) {
    return "There is already an Evaluation named " + name +
           " do you want to replace it with a new one";
}

std::string deleteEvaluationQuestion(const std::string& name) {
    return "Please confirm that Evaluation " + name + " should be deleted";
}

std::string noEvaluationMessage(const std::string& name) {
    return "There is no Evaluation named " + name;
}

EvaluationList::EvaluationList(std::string projectsConnectionString, EvaluationQuestions& questions)
    : connectionString_(std::move(projectsConnectionString)), questions_(questions) {}

std::vector<std::string> EvaluationList::names() const {
    return readFrom(connectionString_,
                    [](quarvex::Connection& con) { return evaluationNames(con); });
}

std::vector<std::pair<std::string, std::string>> EvaluationList::namesAndSystems() const {
    return readFrom(connectionString_, [](quarvex::Connection& con) {
        std::map<std::string, int> linked;
        for (const auto& [name, systemId] : linkedEvaluations(con)) {
            linked[name] = systemId;
        }
        std::map<int, std::string> systems;
        const Projectos store;
        std::vector<std::pair<std::string, std::string>> out;
        for (const auto& name : evaluationNames(con)) {
            std::string system;
            if (const auto at = linked.find(name); at != linked.end()) {
                auto known = systems.find(at->second);
                if (known == systems.end()) {
                    const auto p = store.loadProject(con, "id=" + std::to_string(at->second));
                    known = systems.emplace(at->second, p ? p->nome : std::string()).first;
                }
                system = known->second;
            }
            out.emplace_back(name, system);
        }
        return out;
    });
}

std::optional<std::string> EvaluationList::usableName(const std::string& name, const char* prompt,
                                                      bool newName) {
    std::string trimmed = trim(name);
    // A stored name is looked up as it stands; only a new one must be fit to be listed.
    const auto problem = newName           ? checkEvaluationName(trimmed, prompt)
                         : trimmed.empty() ? std::optional(requirementMessage({prompt}))
                                           : std::nullopt;
    if (problem) {
        questions_.inform(*problem);
        return std::nullopt;
    }
    return trimmed;
}

std::optional<std::string> EvaluationList::askUsableName(const char* prompt,
                                                         const std::string& suggested,
                                                         bool newName) {
    const auto answer = questions_.askName(prompt, suggested);
    return answer ? usableName(*answer, prompt, newName) : std::nullopt;
}

std::optional<quarvex::PivotEvaluation> EvaluationList::create(const std::string& suggested) {
    const auto name = askUsableName(kNewEvaluationPrompt, suggested, true);
    return name ? createNamed(*name) : std::nullopt;
}

std::optional<quarvex::PivotEvaluation> EvaluationList::createNamed(const std::string& name) {
    const auto usable = usableName(name, kNewEvaluationPrompt, true);
    if (!usable) {
        return std::nullopt;
    }
    const std::string& trimmed = *usable;
    const bool taken = readFrom(connectionString_, [&](quarvex::Connection& con) {
        return evaluationExists(con, trimmed);
    });
    if (taken && !questions_.confirm(replaceEvaluationQuestion(trimmed))) {
        return std::nullopt;
    }
    auto evaluation = quarvex::statics().PivotEvaluations().newEvaluation(trimmed);
    writeTo(connectionString_,
            [&](quarvex::Connection& con) { storeEvaluation(con, evaluation, /*replace=*/taken); });
    return evaluation;
}

std::optional<quarvex::PivotEvaluation> EvaluationList::open(const std::string& selected) {
    const auto name = askUsableName(kOpenEvaluationPrompt, selected, false);
    return name ? openNamed(*name) : std::nullopt;
}

std::optional<quarvex::PivotEvaluation> EvaluationList::openNamed(const std::string& name) {
    const auto usable = usableName(name, kOpenEvaluationPrompt, false);
    if (!usable) {
        return std::nullopt;
    }
    const std::string& trimmed = *usable;
    auto found = readFrom(connectionString_,
                          [&](quarvex::Connection& con) { return findEvaluation(con, trimmed); });
    if (!found) {
        questions_.inform(noEvaluationMessage(trimmed));
    }
    return found;
}

bool EvaluationList::remove(const std::string& selected) {
    const auto name = askUsableName(kDeleteEvaluationPrompt, selected, false);
    if (!name) {
        return false;
    }
    const bool stored = readFrom(
        connectionString_, [&](quarvex::Connection& con) { return evaluationExists(con, *name); });
    if (!stored) {
        questions_.inform(noEvaluationMessage(*name));
        return false;
    }
    if (!questions_.confirm(deleteEvaluationQuestion(*name))) {
        return false;
    }
    int deleted = 0;
    writeTo(connectionString_,
            [&](quarvex::Connection& con) { deleted = deleteEvaluation(con, *name); });
    return deleted > 0;
}

bool discardEmptyEvaluation(const std::string& projectsConnectionString, int id,
                            const std::string& name) {
    if (id <= 0) {
        return false;
    }
    bool removed = false;
    writeTo(projectsConnectionString, [&](quarvex::Connection& con) {
        auto& store = quarvex::statics().PivotEvaluations();
        const std::string condition = evaluationNameCondition(name);
        if (!store.exists(con, condition)) {
            return;
        }
        const auto row = store.find(con, condition);
        if (row.id == id && row.firstSample.Length() == 0 && row.secondSample.Length() == 0) {
            store.destroy(con, row);
            removed = true;
        }
    });
    return removed;
}

}  // namespace kambrix
