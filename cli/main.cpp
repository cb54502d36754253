// SPDX-License-Identifier: GPL-3.0-or-later
#include <CLI/CLI.hpp>

#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Kambrix command line: centre-pivot design and catch-can evaluation"};
    app.require_subcommand(1);

    std::string designFile;
    bool csv = false;
    auto* design = app.add_subcommand("design", "Compute a pivot design given as JSON");
    design->add_option("FILE", designFile, "design file (JSON)")->required();
    design->add_flag("--csv", csv, "print the outlet table as CSV instead of JSON");

    std::string evaluationFile;
    auto* evaluate =
        app.add_subcommand("evaluate", "Compute a catch-can evaluation given as JSON or CSV");
    evaluate->add_option("FILE", evaluationFile, "evaluation file (JSON or CSV)")->required();
    std::string saveName;
    std::string databaseFolder;
    bool replace = false;
    auto* save = evaluate->add_option("--save", saveName, "store the evaluation under this name");
    auto* db = evaluate->add_option("--db", databaseFolder, "database folder to store it in");
    auto* replaceFlag =
        evaluate->add_flag("--replace", replace, "replace a stored evaluation of that name");
    save->needs(db);
    db->needs(save);
    replaceFlag->needs(save);

    std::string storedName;
    auto* evaluation =
        app.add_subcommand("evaluation", "Print the results of a stored catch-can evaluation");
    evaluation->add_option("DBFOLDER", databaseFolder, "database folder")->required();
    evaluation->add_option("NAME", storedName, "name of the evaluation")->required();
    auto* evaluations = app.add_subcommand("evaluations", "List the stored catch-can evaluations");
    evaluations->add_option("DBFOLDER", databaseFolder, "database folder")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? 0 : kambrix::cli::kExitBadInput;
    }

    if (*design) {
        return kambrix::cli::runDesign(designFile, csv, std::cout, std::cerr);
    }
    if (*evaluation) {
        return kambrix::cli::runEvaluation(databaseFolder, storedName, std::cout, std::cerr);
    }
    if (*evaluations) {
        return kambrix::cli::runEvaluations(databaseFolder, std::cout, std::cerr);
    }
    if (save->count() > 0) {
        return kambrix::cli::runEvaluateAndSave(evaluationFile, saveName, databaseFolder, replace,
                                                std::cout, std::cerr);
    }
    return kambrix::cli::runEvaluate(evaluationFile, std::cout, std::cerr);
}
