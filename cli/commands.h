// SPDX-License-Identifier: GPL-3.0-or-later
//
// The subcommands of kambrix-cli. Each returns the process exit status:
// 0 success, 2 bad input or a failed computation, 3 a computation that did not converge,
// 4 the database holds no evaluation of the name given, or already holds one.
#pragma once

#include <quarvex/quarvex.h>

#include <iosfwd>
#include <optional>
#include <string>

namespace kambrix::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitNotConverged = 3;
inline constexpr int kExitEvaluationName = 4;

// Computes the design in the JSON file and prints the result as JSON (or the outlet table
// as CSV) on `out`; problems go to `err` as one line.
int runDesign(const std::string& file, bool csv, std::ostream& out, std::ostream& err);

// Computes a catch-can evaluation from a JSON or CSV file and prints the result as JSON.
int runEvaluate(const std::string& file, std::ostream& out, std::ostream& err);

// The evaluation in a JSON or CSV file, read as `evaluate` reads it; a fault of the file is
// written on `err` as one line and gives none.
std::optional<quarvex::PivotEvaluation> readEvaluationFile(const std::string& file,
                                                           std::ostream& err);
// Prints the results as `evaluate` does: JSON on `out`, each result that cannot be computed
// as a line "<command>: ..." on `err`. A failed computation raises quarvex::Error.
void printEvaluationResults(quarvex::PivotEvaluation& evaluation, std::ostream& out,
                            std::ostream& err, const std::string& command);

// evaluate FILE --save NAME --db DBFOLDER [--replace]: as runEvaluate, and stores the
// evaluation under NAME in the projects database of DBFOLDER. A name already stored is
// refused (kExitEvaluationName) unless `replace`; the replace is one transaction. Nothing is
// printed on `out` unless the evaluation was stored.
int runEvaluateAndSave(const std::string& file, const std::string& name,
                       const std::string& databaseFolder, bool replace, std::ostream& out,
                       std::ostream& err);
// evaluation DBFOLDER NAME: the results of the stored evaluation in the output of `evaluate`;
// a name not stored gives kExitEvaluationName.
int runEvaluation(const std::string& databaseFolder, const std::string& name, std::ostream& out,
                  std::ostream& err);
// evaluations DBFOLDER: the stored names, one a line, in alphabetical order.
int runEvaluations(const std::string& databaseFolder, std::ostream& out, std::ostream& err);

}  // namespace kambrix::cli
