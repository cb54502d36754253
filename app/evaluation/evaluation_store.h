// SPDX-License-Identifier: GPL-3.0-or-later
//
// Stored catch-can evaluations by name, over an open connection to the projects database.
// Every condition on a name is built here, with the name quoted, so a name holding a quote
// (or SQL words) is only ever compared as text.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

namespace kambrix {

// "name=" + the quoted name.
std::string evaluationNameCondition(const std::string& name);

// What is wrong with a name for an evaluation, or none when it can be used: a blank name is
// refused with requirementMessage(`what`), a name holding a tab or a line break (which
// would break the name lists) with its own message. Callers trim the name first.
std::optional<std::string> checkEvaluationName(const std::string& name, const std::string& what);

// The names of every stored evaluation, in alphabetical order (case ignored).
std::vector<std::string> evaluationNames(quarvex::Connection& con);
bool evaluationExists(quarvex::Connection& con, const std::string& name);
// The evaluation stored under the name (the first one, should there be several), or none.
std::optional<quarvex::PivotEvaluation> findEvaluation(quarvex::Connection& con,
                                                       const std::string& name);

// Stores the evaluation under its name. A record not yet stored (id ≤ 0) whose name is taken
// by a stored one raises AppError errc::EvaluationExists, unless `replace` is set: every row
// of that name is then deleted before the new row is inserted. A stored record is updated;
// when its row has gone meanwhile it is inserted again, so a save never vanishes. Run it
// inside one transaction (UnitOfWork Write, writeTo) so a replace is all or nothing.
void storeEvaluation(quarvex::Connection& con, quarvex::PivotEvaluation& evaluation, bool replace);

// Deletes every row of that name; returns how many there were.
int deleteEvaluation(quarvex::Connection& con, const std::string& name);

}  // namespace kambrix
