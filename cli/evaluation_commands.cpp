// SPDX-License-Identifier: GPL-3.0-or-later
//
// Stored catch-can evaluations on the command line:
//   kambrix-cli evaluate FILE --save NAME --db DBFOLDER [--replace]
//   kambrix-cli evaluation DBFOLDER NAME
//   kambrix-cli evaluations DBFOLDER
// DBFOLDER is a database folder as the program uses it (asper.mdb, proyectos.mdb,
// tramos.mdb); the evaluations live in proyectos.mdb. Nothing here asks a question.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "commands.h"
#include "evaluation/catch_can_evaluation.h"
#include "evaluation/evaluation_store.h"
#include "shell/database_schema.h"
#include "shell/errors.h"
#include "shell/server_store.h"
#include "shell/services.h"
#include "shell/startup.h"
#include "shell/stored_names.h"
#include "shell/unit_of_work.h"
#include "stored_system.h"

namespace kambrix::cli {
namespace {

namespace fs = std::filesystem;

// A database fault as one line in the user's terms.
int databaseFault(const char* command, const std::string& action, std::ostream& err) {
    err << command << ": " << userMessage(describeCurrentError(), action) << "\n";
    return kExitBadInput;
}

}  // namespace

std::optional<std::string> projectsDatabase(const std::string& folder, const char* command,
                                            std::ostream& err, Access access) {
    if (quarvex::isServerUri(folder)) {
        AppConfig config;
        setDatabaseServer(config, folder);
        try {
            if (access == Access::Read) {
                std::vector<std::string> notes;
                checkServerForReading(config, "proyectos.mdb", notes);
                for (const auto& note : notes) {
                    err << command << ": " << note << "\n";
                }
            } else {
                // As in a folder, a server without the projects database is refused rather
                // than given one.
                std::vector<std::string> notes;
                checkServerForReading(config, "proyectos.mdb", notes);
                const DatabaseCheck check =
                    prepareServerSchemaForWriting(folder, databaseSchema("proyectos.mdb"));
                if (check.state != DatabaseState::Current) {
                    throw CommandError(commandText(check.message));
                }
            }
        } catch (const CommandError& e) {
            err << command << ": " << e.what() << "\n";
            return std::nullopt;
        } catch (const AppError& e) {
            err << command << ": " << commandText(e.what()) << " (" << e.detail() << ")\n";
            return std::nullopt;
        } catch (const quarvex::Error& e) {
            err << command << ": the database server " << shownLocation(folder)
                << " cannot be reached (" << quarvex::withoutPassword(e.what()) << ")\n";
            return std::nullopt;
        }
        return config.projectsConnectionString;
    }
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) {
        err << command << ": the database folder " << escapeControlCharacters(folder)
            << " does not exist\n";
        return std::nullopt;
    }
    AppConfig config;
    setDatabaseFolder(config, fs::absolute(folder, ec));
    const fs::path file = config.databaseFolder / "proyectos.mdb";
    if (!fs::is_regular_file(file, ec)) {
        err << command << ": the folder " << escapeControlCharacters(folder)
            << " is not a database folder (it holds no proyectos.mdb)\n";
        return std::nullopt;
    }
    if (access == Access::Read) {
        std::vector<std::string> notes;
        try {
            checkDatabaseForReading(file, notes);
        } catch (const CommandError& e) {
            err << command << ": " << e.what() << "\n";
            return std::nullopt;
        }
        for (const auto& note : notes) {
            err << command << ": " << note << "\n";
        }
        return config.projectsConnectionString;
    }
    DatabaseCheck check;
    try {
        check = prepareDatabaseForWriting(file, databaseSchema("proyectos.mdb"));
    } catch (const AppError& e) {
        err << command << ": " << commandText(e.what()) << " (" << e.detail() << ")\n";
        return std::nullopt;
    }
    if (check.state != DatabaseState::Current) {
        err << command << ": " << commandText(check.message)
            << (check.detail.empty() ? "" : " (" + check.detail + ")") << "\n";
        return std::nullopt;
    }
    if (!check.backup.empty()) {
        err << command << ": the database " << escapeControlCharacters(file.string())
            << " was brought up to date; its earlier form is kept as "
            << escapeControlCharacters(check.backup.string()) << "\n";
    }
    return config.projectsConnectionString;
}

int runEvaluateAndSave(const std::string& file, const std::string& name,
                       const std::string& databaseFolder, bool replace, std::ostream& out,
                       std::ostream& err) {
    const std::string storedName = trim(name);
    if (const auto problem = checkEvaluationName(storedName, "the name to save under (--save)")) {
        err << "evaluate: " << *problem << "\n";
        return kExitBadInput;
    }
    auto evaluation = readEvaluationFile(file, err);
    if (!evaluation) {
        return kExitBadInput;
    }
    evaluation->id = 0;
    evaluation->name = storedName;
    // The results, and the lines on those that cannot be computed, are printed only once the
    // evaluation is stored.
    std::optional<CatchCanEvaluation> results;
    try {
        results = evaluateCatchCans(*evaluation);
    } catch (const quarvex::Error& e) {
        err << "evaluate: " << e.what() << "\n";
        return kExitBadInput;
    }
    const auto database = projectsDatabase(databaseFolder, "evaluate", err, Access::Write);
    if (!database) {
        return kExitBadInput;
    }
    try {
        writeTo(*database,
                [&](quarvex::Connection& con) { storeEvaluation(con, *evaluation, replace); });
    } catch (const AppError& e) {
        if (e.number() != errc::EvaluationExists) {
            return databaseFault("evaluate", "The evaluation could not be stored", err);
        }
        err << "evaluate: there is already an evaluation named "
            << escapeControlCharacters(storedName) << "; give --replace to replace it\n";
        return kExitEvaluationName;
    } catch (const quarvex::Error&) {
        return databaseFault("evaluate", "The evaluation could not be stored", err);
    }
    printEvaluationResults(*results, out, err, "evaluate");
    return kExitOk;
}

int runEvaluation(const std::string& databaseFolder, const std::string& name, std::ostream& out,
                  std::ostream& err) {
    const auto database = projectsDatabase(databaseFolder, "evaluation", err, Access::Read);
    if (!database) {
        return kExitBadInput;
    }
    std::optional<quarvex::PivotEvaluation> evaluation;
    try {
        evaluation = readFrom(
            *database, [&](quarvex::Connection& con) { return findEvaluation(con, trim(name)); });
    } catch (const quarvex::Error&) {
        return databaseFault("evaluation", "The evaluation could not be read", err);
    } catch (const AppError& e) {
        err << "evaluation: " << commandText(e.what()) << "\n";
        return kExitBadInput;
    }
    if (!evaluation) {
        err << "evaluation: there is no evaluation named " << escapeControlCharacters(trim(name))
            << "\n";
        return kExitEvaluationName;
    }
    auto& samples = quarvex::statics().FieldSamples();
    const bool anyReading = samples.FilterValid(evaluation->firstSample).HasAny() ||
                            samples.FilterValid(evaluation->secondSample).HasAny();
    if (anyReading && !quarvex::statics().Pluviometros().Valid(evaluation->pluviometer)) {
        err << "evaluation: " << escapeControlCharacters(evaluation->name)
            << " has no can diameter, so its depths cannot be computed\n";
        return kExitBadInput;
    }
    try {
        printEvaluationResults(*evaluation, out, err, "evaluation");
    } catch (const quarvex::Error& e) {
        err << "evaluation: " << e.what() << "\n";
        return kExitBadInput;
    }
    return kExitOk;
}

int runEvaluations(const std::string& databaseFolder, std::ostream& out, std::ostream& err) {
    const auto database = projectsDatabase(databaseFolder, "evaluations", err, Access::Read);
    if (!database) {
        return kExitBadInput;
    }
    try {
        const auto names =
            readFrom(*database, [](quarvex::Connection& con) { return evaluationNames(con); });
        for (const auto& n : names) {
            out << escapeControlCharacters(n) << "\n";
        }
    } catch (const quarvex::Error&) {
        return databaseFault("evaluations", "The evaluations could not be listed", err);
    }
    return kExitOk;
}

}  // namespace kambrix::cli
