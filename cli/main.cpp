// SPDX-License-Identifier: GPL-3.0-or-later
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>

#include "commands.h"
#include "shell/startup.h"
#include "shell/version.h"
#include "units_output.h"
#include "usage.h"

int main(int argc, char** argv) {
    CLI::App app{"Kambrix command line: centre-pivot design and catch-can evaluation"};
    app.require_subcommand(1);
    app.set_version_flag("--version", kambrix::programName() + " " + kambrix::programVersion());

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

    std::string storeFrom, storeTo, storeTarget;
    bool storeReplace = false;
    auto* store = app.add_subcommand(
        "store", "Copy the databases between a folder and a PostgreSQL server, or check them");
    store->require_subcommand(1);
    auto* storeCopy = store->add_subcommand("copy", "Copy the three databases from FROM to TO");
    storeCopy->add_option("FROM", storeFrom, "database folder or postgresql:// URI")->required();
    storeCopy->add_option("TO", storeTo, "database folder or postgresql:// URI")->required();
    storeCopy->add_flag("--replace", storeReplace, "overwrite a target that holds data");
    auto* storeCheck =
        store->add_subcommand("check", "Print the schema version and row counts of each database");
    storeCheck->add_option("TARGET", storeTarget, "database folder or postgresql:// URI")
        ->required();

    std::string chartsFolder, chartsSystem;
    auto* charts = app.add_subcommand("charts", "List the stored sprinkler charts of a system");
    charts->add_option("DBFOLDER", chartsFolder, "database folder (only read)")->required();
    charts->add_option("SYSTEM", chartsSystem, "system name (or identifier)")->required();

    kambrix::cli::ChartOptions chartOptions;
    auto* chart = app.add_subcommand("chart", "Compute a stored sprinkler chart as `design` does");
    chart->add_option("DBFOLDER", chartOptions.dbFolder, "database folder (only read)")->required();
    chart->add_option("SYSTEM", chartOptions.system, "system name (or identifier)")->required();
    chart->add_option("CHART", chartOptions.chart, "chart name (or identifier)")->required();
    auto* designJson = chart->add_flag("--design-json", chartOptions.designJson,
                                       "print the design input that gives the same result");
    chart->add_flag("--csv", chartOptions.csv, "print the outlet table as CSV instead of JSON");
    auto* pdf =
        chart->add_option("--pdf", chartOptions.pdf, "write the printed chart to this PDF file")
            ->excludes(designJson);
    chart
        ->add_option("--surface-storage", chartOptions.surfaceStorage,
                     "the field's surface storage (mm) for the printed chart's runoff check")
        ->check(CLI::NonNegativeNumber)
        ->needs(pdf);
    chart
        ->add_option("--designed-by", chartOptions.designedBy,
                     "name printed as \"Designed by\" when the chart keeps none")
        ->needs(pdf);
    std::string agronomicFile;
    auto* agronomic = app.add_subcommand(
        "agronomic", "Compute the crop water requirement and system discharge given as JSON");
    agronomic->add_option("FILE", agronomicFile, "agronomic data (JSON)")->required();

    std::string compareFile;
    auto* compare = app.add_subcommand(
        "compare", "Compare the automatic packages of every model, regulator setting and boost");
    compare->add_option("FILE", compareFile, "design file (JSON) with an optional \"compare\"")
        ->required();
    kambrix::cli::FitNozzlesOptions fitOptions;
    auto* fit =
        app.add_subcommand("fit-nozzles", "Fit q = a p^b to every nozzle of a maker's table (CSV)");
    fit->add_option("FILE", fitOptions.file, "table: nozzle, pressure (kPa), discharge (L/s)")
        ->required();
    fit->add_flag("--us-units", fitOptions.usUnits, "pressures in psi and discharges in US gpm");
    fit->add_option("--brand", fitOptions.brand, "brand written into every nozzle");
    fit->add_option("--model", fitOptions.model, "model written into every nozzle");

    kambrix::cli::DiagnoseOptions diagnoseOptions;
    std::vector<std::string> diagnoseChart;
    auto* diagnoseCommand = app.add_subcommand(
        "diagnose", "Diagnose a catch-can test against the stored chart it tests");
    diagnoseCommand->add_option("FILE", diagnoseOptions.file, "evaluation file (JSON or CSV)");
    diagnoseCommand
        ->add_option("--chart", diagnoseChart, "DBFOLDER SYSTEM CHART: the chart the test tests")
        ->expected(3);
    diagnoseCommand->add_option("--db", diagnoseOptions.dbFolder,
                                "database folder of a stored evaluation (only read)");
    diagnoseCommand->add_option("--evaluation", diagnoseOptions.evaluation,
                                "name of the stored evaluation");
    diagnoseCommand->add_flag("--without-end-gun", diagnoseOptions.withoutEndGun,
                              "also the indicators without the cans beyond the pipe's end");
    diagnoseCommand->add_flag("--smooth", diagnoseOptions.smooth,
                              "also the indicators of a three-can moving average");

    // --units on every command that prints numbers.
    std::string unitsText;
    for (auto* command :
         {design, evaluate, evaluation, chart, agronomic, compare, fit, diagnoseCommand}) {
        command->add_option("--units", unitsText,
                            "print numbers in si (as stored), us or metric-bar units");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // One line in the user's words, whatever the option parser says.
        std::cerr << "kambrix-cli: "
                  << kambrix::cli::usageProblem(e.get_name(), e.what(), argc, argv) << "\n";
        return kambrix::cli::kExitBadInput;
    }

    std::optional<kambrix::UnitSystem> units;
    if (!unitsText.empty()) {
        units = kambrix::parseUnitSystem(unitsText);
        if (!units) {
            std::cerr << "kambrix-cli: --units takes si, us or metric-bar\n";
            return kambrix::cli::kExitBadInput;
        }
        if (csv || chartOptions.csv || chartOptions.designJson) {
            std::cerr << "kambrix-cli: --units applies to the JSON results and the printed "
                         "chart, not to --csv or --design-json\n";
            return kambrix::cli::kExitBadInput;
        }
        diagnoseOptions.units = *units;
        // The printed chart is drawn in the units; it writes no JSON to convert.
        kambrix::setShownUnits(*units);
    }
    const kambrix::UnitSystem outputUnits = units.value_or(kambrix::UnitSystem::SI);
    const bool convertOutput = units.has_value() && chartOptions.pdf.empty();
    // The command's output, converted when --units is given.
    std::ostringstream buffer;
    std::ostream& out = convertOutput ? static_cast<std::ostream&>(buffer) : std::cout;
    const int status = [&]() -> int {
        if (*diagnoseCommand) {
            const bool stored =
                !diagnoseOptions.dbFolder.empty() || !diagnoseOptions.evaluation.empty();
            if (stored == !diagnoseOptions.file.empty() ||
                (stored &&
                 (diagnoseOptions.dbFolder.empty() || diagnoseOptions.evaluation.empty())) ||
                (stored && !diagnoseChart.empty())) {
                std::cerr << "kambrix-cli: diagnose takes either FILE [--chart DBFOLDER SYSTEM "
                             "CHART] or --db DBFOLDER --evaluation NAME\n";
                return kambrix::cli::kExitBadInput;
            }
            if (diagnoseChart.size() == 3) {
                diagnoseOptions.chartFolder = diagnoseChart[0];
                diagnoseOptions.chartSystem = diagnoseChart[1];
                diagnoseOptions.chartName = diagnoseChart[2];
            }
            return kambrix::cli::runDiagnose(diagnoseOptions, out, std::cerr);
        }
        if (*storeCopy) {
            std::error_code ec;
            const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
            const auto templates = kambrix::resolveAppFolder(
                ec ? std::filesystem::path(argv[0]).parent_path() : self.parent_path(),
                "db-template");
            return kambrix::cli::runStoreCopy(storeFrom, storeTo, storeReplace,
                                              templates.value_or(std::filesystem::path()), out,
                                              std::cerr);
        }
        if (*storeCheck) {
            return kambrix::cli::runStoreCheck(storeTarget, out, std::cerr);
        }
        if (*charts) {
            return kambrix::cli::runCharts(chartsFolder, chartsSystem, out, std::cerr);
        }
        if (*chart) {
            return kambrix::cli::runChart(chartOptions, out, std::cerr);
        }
        if (*compare) {
            return kambrix::cli::runCompare(compareFile, out, std::cerr);
        }
        if (*fit) {
            return kambrix::cli::runFitNozzles(fitOptions, out, std::cerr);
        }
        if (*design) {
            return kambrix::cli::runDesign(designFile, csv, out, std::cerr);
        }
        if (*agronomic) {
            return kambrix::cli::runAgronomic(agronomicFile, out, std::cerr);
        }
        if (*evaluation) {
            return kambrix::cli::runEvaluation(databaseFolder, storedName, out, std::cerr);
        }
        if (*evaluations) {
            return kambrix::cli::runEvaluations(databaseFolder, out, std::cerr);
        }
        if (save->count() > 0) {
            return kambrix::cli::runEvaluateAndSave(evaluationFile, saveName, databaseFolder,
                                                    replace, out, std::cerr);
        }
        return kambrix::cli::runEvaluate(evaluationFile, out, std::cerr);
    }();
    if (convertOutput && !buffer.str().empty()) {
        std::cout << kambrix::cli::outputInUnits(buffer.str(), outputUnits);
    }
    return status;
}
