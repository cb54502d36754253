// SPDX-License-Identifier: GPL-3.0-or-later
//
// The subcommands of kambrix-cli. Each returns the process exit status:
// 0 success, 2 bad input or a failed computation, 3 a computation that did not converge,
// 4 the database holds no evaluation of the name given, or already holds one.
#pragma once

#include <quarvex/quarvex.h>

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "shell/unit_system.h"

namespace kambrix {
struct CatchCanEvaluation;
}  // namespace kambrix

namespace kambrix::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitNotConverged = 3;
inline constexpr int kExitEvaluationName = 4;

// Computes the design in the JSON file and prints the result as JSON (or the outlet table
// as CSV) on `out`. A refused input or a failed computation prints nothing on `out` and one
// line on `err` (whatever the reading or the computation raises); notes about indicators
// that cannot be computed go to `err` after a result.
int runDesign(const std::string& file, bool csv, std::ostream& out, std::ostream& err);
// The same on the text of a design; `source` names it in messages.
int runDesignText(const std::string& text, const std::string& source, bool csv, std::ostream& out,
                  std::ostream& err);

// Computes a catch-can evaluation from a JSON or CSV file and prints the result as JSON;
// failures as for runDesign.
int runEvaluate(const std::string& file, std::ostream& out, std::ostream& err);
int runEvaluateText(const std::string& text, const std::string& source, std::ostream& out,
                    std::ostream& err);

// The evaluation in a JSON or CSV file, read as `evaluate` reads it; a fault of the file is
// written on `err` as one line and gives none.
std::optional<quarvex::PivotEvaluation> readEvaluationFile(const std::string& file,
                                                           std::ostream& err);
// Prints the results as `evaluate` does: JSON on `out`, each result that cannot be computed
// as a line "<command>: ..." on `err`. A failed computation raises quarvex::Error.
void printEvaluationResults(quarvex::PivotEvaluation& evaluation, std::ostream& out,
                            std::ostream& err, const std::string& command);
// The same for results already computed; the JSON is written as it is formatted.
void printEvaluationResults(const CatchCanEvaluation& results, std::ostream& out, std::ostream& err,
                            const std::string& command);

// store copy FROM TO [--replace]: copies the three databases of FROM (a database folder or a
// PostgreSQL URI) to TO, one transaction per database with its row counts checked; a target
// that holds data is refused unless `replace`. A folder target is made when missing, from
// the template folder. Prints one line per database copied.
int runStoreCopy(const std::string& from, const std::string& to, bool replace,
                 const std::filesystem::path& templateFolder, std::ostream& out, std::ostream& err);
// store check TARGET: the schema version and the row count of every table of each database.
int runStoreCheck(const std::string& target, std::ostream& out, std::ostream& err);

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
// Lists the stored sprinkler charts of a system (name, identifier, number of sprinklers) as
// JSON. `dbFolder` is a database folder as the program uses it; it is only read. The system
// and the chart are named by their name (or, when no name matches, by their identifier).
int runCharts(const std::string& dbFolder, const std::string& system, std::ostream& out,
              std::ostream& err);

struct ChartOptions {
    std::string dbFolder;
    std::string system;
    std::string chart;
    bool designJson = false;  // print the design input instead of computing
    bool csv = false;         // the outlet table as CSV, as `design --csv`
    std::string pdf;          // write the printed chart to this file instead
    // The field's surface storage (mm) for the printed chart's runoff verdicts and the wetted
    // diameter the outermost sprinkler needs; -1 when not given.
    double surfaceStorage = -1;
    std::string designedBy;  // the printed chart's "Designed by" when the chart has none
};

// Opens a stored chart, computes it as the workbench does and prints it as `design` prints
// its result; or prints the design input that gives that result; or writes the printed chart
// as PDF (only in a build with Qt).
int runChart(const ChartOptions& options, std::ostream& out, std::ostream& err);

// Computes the crop water requirement and system discharge of a JSON file and prints them as
// JSON; what cannot be computed is null, with its reason on `err`.
int runAgronomic(const std::string& file, std::ostream& out, std::ostream& err);
int runAgronomicText(const std::string& text, const std::string& source, std::ostream& out,
                     std::ostream& err);

// compare FILE: the design input of `design` plus an optional "compare" object (models,
// regulatorPressures, boosts, variation, rankBy, surfaceStorage); prints the compared
// packages in rank order as a JSON array. A candidate whose computation did not settle is
// marked "settled": false in its entry (and is not feasible); the command still succeeds and
// writes one summary line on `err`.
int runCompare(const std::string& file, std::ostream& out, std::ostream& err);
int runCompareText(const std::string& text, const std::string& source, std::ostream& out,
                   std::ostream& err);

struct DiagnoseOptions {
    std::string file;  // a test file (JSON or CSV); empty for a stored evaluation
    // --chart DBFOLDER SYSTEM CHART (with a file)
    std::string chartFolder, chartSystem, chartName;
    // --db DBFOLDER --evaluation NAME
    std::string dbFolder, evaluation;
    bool withoutEndGun = false;         // print the indicators without the cans beyond the pipe
    bool smooth = false;                // print the indicators of the three-can moving average
    UnitSystem units = UnitSystem::SI;  // of the numbers in the findings' sentences
};

// diagnose: the evaluate results of the test and its diagnosis (scheduling coefficient,
// low and high zones with the chart's outlets over them, trend, end gun, measured supply,
// the chart's designed depths, the uniformity after repair) as JSON. Databases are only read.
int runDiagnose(const DiagnoseOptions& options, std::ostream& out, std::ostream& err);

struct FitNozzlesOptions {
    std::string file;
    bool usUnits = false;  // pressures in psi, discharges in US gpm
    std::string brand;     // written into every nozzle when given
    std::string model;
};

// fit-nozzles FILE: the nozzles of a maker's table (nozzle, pressure, discharge after a
// heading line) fitted to q = a·p^b, as JSON; a refused row or nozzle gives kExitBadInput
// and one line naming it.
int runFitNozzles(const FitNozzlesOptions& options, std::ostream& out, std::ostream& err);
// The same on the text of a table (options.file names it in messages).
int runFitNozzlesText(const std::string& text, const FitNozzlesOptions& options, std::ostream& out,
                      std::ostream& err);

}  // namespace kambrix::cli
