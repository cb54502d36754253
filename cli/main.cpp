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

    std::string agronomicFile;
    auto* agronomic = app.add_subcommand(
        "agronomic", "Compute the crop water requirement and system discharge given as JSON");
    agronomic->add_option("FILE", agronomicFile, "agronomic data (JSON)")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? 0 : kambrix::cli::kExitBadInput;
    }

    if (*design) {
        return kambrix::cli::runDesign(designFile, csv, std::cout, std::cerr);
    }
    if (*agronomic) {
        return kambrix::cli::runAgronomic(agronomicFile, std::cout, std::cerr);
    }
    return kambrix::cli::runEvaluate(evaluationFile, std::cout, std::cerr);
}
