// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/evaluation_store.h"

#include <algorithm>

#include "evaluation/evaluation_conditions.h"
#include "shell/errors.h"
#include "shell/row_versions.h"
#include "shell/services.h"
#include "shell/store_support.h"
#include "shell/stored_names.h"

namespace kambrix {
namespace {

std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return s;
}

}  // namespace

std::string evaluationNameCondition(const std::string& name) {
    return "name=" + quarvex::sqlQuote(name);
}

std::optional<std::string> checkEvaluationName(const std::string& name, const std::string& what) {
    if (isBlank(name)) {
        return requirementMessage({what});
    }
    return storedNameProblem(StoredNameKind::Evaluation, name);
}

std::vector<std::string> evaluationNames(quarvex::Connection& con) {
    const auto stored = quarvex::statics().PivotEvaluations().Enumerate(con);
    std::vector<std::string> names(stored.begin(), stored.end());
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lowerAscii(a) < lowerAscii(b);
    });
    return names;
}

bool evaluationExists(quarvex::Connection& con, const std::string& name) {
    return quarvex::statics().PivotEvaluations().exists(con, evaluationNameCondition(name));
}

std::optional<quarvex::PivotEvaluation> findEvaluation(quarvex::Connection& con,
                                                       const std::string& name) {
    auto& store = quarvex::statics().PivotEvaluations();
    const std::string condition = evaluationNameCondition(name);
    if (!store.exists(con, condition)) {
        return std::nullopt;
    }
    try {
        return store.find(con, condition);
    } catch (const quarvex::Error& e) {
        if (e.number() != quarvex::errc::StoredNumberOutOfRange) {
            throw;
        }
        raiseError(errc::DatabaseForeignTable,
                   "The evaluation " + escapeControlCharacters(name) +
                       " in the table \"pivot_evaluations\" holds a reading beyond the range of "
                       "numbers: the file was made by another program or another version of "
                       "Kambrix.",
                   e.what());
    }
}

void storeEvaluation(quarvex::Connection& con, quarvex::PivotEvaluation& evaluation, bool replace) {
    requireStorableName(StoredNameKind::Evaluation, evaluation.name);
    auto& store = quarvex::statics().PivotEvaluations();
    if (evaluation.id > 0 && !store.exists(con, "id=" + std::to_string(evaluation.id))) {
        evaluation.id = 0;
    }
    if (evaluation.id <= 0 && evaluationExists(con, evaluation.name)) {
        if (!replace) {
            raiseError(errc::EvaluationExists,
                       "There is already an evaluation named " + evaluation.name);
        }
        deleteEvaluation(con, evaluation.name);
    }
    store.save(con, evaluation);
}

int deleteEvaluation(quarvex::Connection& con, const std::string& name) {
    auto& store = quarvex::statics().PivotEvaluations();
    const std::string condition = evaluationNameCondition(name);
    int deleted = 0;
    int lastId = 0;
    // find() reads the first row of the name; each pass removes that one. A row that comes
    // back after its delete would repeat for ever: stop there.
    while (store.exists(con, condition)) {
        const auto row = store.find(con, condition);
        if (deleted > 0 && row.id == lastId) {
            break;
        }
        store.destroy(con, row);
        lastId = row.id;
        ++deleted;
    }
    if (deleted > 0) {
        inOneTransaction(con, [&] { retireRow(con, row_kind::Evaluation, name); });
    }
    deleteConditions(con, name);
    return deleted;
}

}  // namespace kambrix
