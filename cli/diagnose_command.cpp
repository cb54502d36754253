// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli diagnose: what a catch-can test says about the machine.
//   diagnose FILE [--chart DBFOLDER SYSTEM CHART] [--without-end-gun] [--smooth]
//   diagnose --db DBFOLDER --evaluation NAME [--without-end-gun] [--smooth]
// The first form reads the test as `evaluate` does; a JSON file may add the test's
// conditions under "conditions". The second reads a stored evaluation with its stored
// conditions and the chart it is linked to. Databases are only read.
#include <quarvex/quarvex.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <ostream>
#include <sstream>

#include "commands.h"
#include "design/evaluation_link.h"
#include "evaluation/evaluation_conditions.h"
#include "evaluation/evaluation_store.h"
#include "input.h"
#include "shell/errors.h"
#include "shell/server_store.h"
#include "shell/services.h"
#include "shell/stored_names.h"
#include "shell/unit_of_work.h"
#include "stored_system.h"

namespace kambrix::cli {
namespace {

using ojson = nlohmann::ordered_json;
constexpr const char* kCommand = "diagnose";

ojson number(const std::optional<double>& v) {
    return (v && std::isfinite(*v)) ? ojson(*v) : ojson(nullptr);
}

ojson uniformity(const Uniformity& u) {
    return ojson{{"UD", number(u.UD)}, {"CU", number(u.CU)}};
}

ojson zones(const std::vector<CanZone>& list) {
    ojson out = ojson::array();
    for (const auto& z : list) {
        ojson cans = ojson::array();
        for (const auto& c : z.cans) {
            cans.push_back({{"distance", c.distance}, {"depth", c.depth}});
        }
        ojson suspects = ojson::array();
        for (const auto& s : z.suspects) {
            suspects.push_back({{"tramo", s.tramo},
                                {"saida", s.saida},
                                {"distance", s.distance},
                                {"nozzle", s.nozzle},
                                {"designedDepth", s.designedDepth}});
        }
        out.push_back({{"from", z.from},
                       {"to", z.to},
                       {"cans", std::move(cans)},
                       {"suspects", std::move(suspects)},
                       {"reading", z.reading}});
    }
    return out;
}

std::optional<double> optionalNumber(const nlohmann::json& doc, const char* key) {
    if (!doc.contains(key) || doc[key].is_null()) {
        return std::nullopt;
    }
    if (!doc[key].is_number()) {
        throw InputError(std::string("conditions.") + key + ": must be a number");
    }
    return doc[key].get<double>();
}

std::string optionalText(const nlohmann::json& doc, const char* key) {
    if (!doc.contains(key) || doc[key].is_null()) {
        return {};
    }
    if (!doc[key].is_string()) {
        throw InputError(std::string("conditions.") + key + ": must be a text");
    }
    return doc[key].get<std::string>();
}

// The "conditions" of a JSON test file; none in a CSV file.
EvaluationConditions conditionsOfFile(const std::string& text, const std::string& source) {
    EvaluationConditions c;
    const auto first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (first == std::string::npos || text[first] != '{') {
        return c;
    }
    const nlohmann::json doc = parseJsonDocument(text, source);
    if (!doc.is_object() || !doc.contains("conditions") || doc["conditions"].is_null()) {
        return c;
    }
    const auto& d = doc["conditions"];
    if (!d.is_object()) {
        throw InputError("conditions: must be an object");
    }
    c.date = optionalText(d, "date");
    c.startTime = optionalText(d, "startTime");
    c.duration_h = optionalNumber(d, "duration_h");
    c.timer_percent = optionalNumber(d, "timer_percent");
    c.windSpeed_ms = optionalNumber(d, "windSpeed_ms");
    c.windDirection = optionalText(d, "windDirection");
    c.airTemperature_C = optionalNumber(d, "airTemperature_C");
    c.pivotPressure_kPa = optionalNumber(d, "pivotPressure_kPa");
    c.pivotDischarge_Ls = optionalNumber(d, "pivotDischarge_Ls");
    c.canSpacing_m = optionalNumber(d, "canSpacing_m");
    c.notes = optionalText(d, "notes");
    if (const auto problem = conditionsProblem(c)) {
        throw InputError("conditions: " + *problem);
    }
    return c;
}

int printDiagnosis(quarvex::PivotEvaluation& evaluation, const DiagnosisInput& input,
                   const std::optional<LinkedChart>& linked, const DiagnoseOptions& options,
                   std::ostream& out, std::ostream& err) {
    std::ostringstream plain;
    printEvaluationResults(evaluation, plain, err, kCommand);
    ojson doc = ojson::parse(plain.str());
    const Diagnosis d = diagnose(input);
    if (linked) {
        doc["chart"] = {{"system", linked->chart.systemName},
                        {"chart", linked->chart.chartName},
                        {"revolutionHours", number(linked->revolutionHours)}};
        for (const auto& note : linked->notes) {
            err << kCommand << ": " << commandText(note) << '\n';
        }
    }
    doc["averageDepth"] = d.averageDepth;
    doc["SC"] = number(d.SC);
    doc["scRun"] = d.SC ? ojson::array({d.scRun.first, d.scRun.second}) : ojson(nullptr);
    doc["lowZones"] = zones(d.lowZones);
    doc["highZones"] = zones(d.highZones);
    doc["trend"] = {{"changePercent", number(d.trendChangePercent)}, {"verdict", d.trendVerdict}};
    doc["endGun"] = {{"ratio", number(d.endGunRatio)}, {"verdict", d.endGunVerdict}};
    doc["measuredSupply"] = {{"pressure", number(input.measuredPressure)},
                             {"chartPressure", number(input.chartPressure)},
                             {"discharge", number(input.measuredDischarge)},
                             {"chartDischarge", number(input.chartDischarge)},
                             {"findings", d.supplyFindings}};
    if (linked) {
        ojson designed = ojson::array();
        for (const auto& c : d.designed) {
            designed.push_back({{"distance", c.distance},
                                {"measured", c.measured},
                                {"designed", c.designed},
                                {"ratio", number(c.ratio)}});
        }
        doc["designed"] = std::move(designed);
        doc["designedUD"] = number(input.designedUD);
        doc["designedCU"] = number(input.designedCU);
    }
    doc["measured"] = uniformity(d.measured);
    doc["afterRepair"] = uniformity(d.afterRepair);
    if (options.withoutEndGun) {
        doc["withoutEndGun"] = uniformity(d.withoutEndGun);
    }
    if (options.smooth) {
        doc["smoothed"] = uniformity(d.smoothed);
    }
    doc["wind"] = d.wind;
    doc["findings"] = d.findings;
    out << doc.dump(2) << '\n';
    return kExitOk;
}

// The chart of `--chart DBFOLDER SYSTEM CHART`, opened as `chart` opens it.
std::optional<LinkedChart> fileChart(const DiagnoseOptions& o, const EvaluationConditions& c,
                                     DiagnosisInput& input, std::ostream& err) {
    const StoredSystem stored = openStoredSystem(o.chartFolder, o.chartSystem);
    for (const auto& note : stored.notes) {
        err << kCommand << ": " << note << '\n';
    }
    const quarvex::CartaInfo info = findStoredChart(stored, o.chartName);
    CommandPrompts prompts(err, kCommand);
    ChartWorkbench w(stored.project, WorkbenchDatabases::from(stored.config), prompts);
    w.selectChart(info.id);
    if (!w.openChart()) {
        throw CommandError("the chart " + escapeControlCharacters(info.nome) +
                           " could not be opened");
    }
    return addOpenChart(w, c, input);
}

int diagnoseFile(const DiagnoseOptions& o, std::ostream& out, std::ostream& err) {
    std::string text;
    EvaluationConditions conditions;
    try {
        text = readInputFile(o.file);
        conditions = conditionsOfFile(text, o.file);
    } catch (const std::exception& e) {
        err << kCommand << ": " << oneLine(e.what()) << '\n';
        return kExitBadInput;
    }
    auto evaluation = readEvaluationFile(o.file, err);
    if (!evaluation) {
        return kExitBadInput;
    }
    DiagnosisInput input = diagnosisInputOf(*evaluation, conditions);
    input.units = o.units;
    std::optional<LinkedChart> linked;
    if (!o.chartFolder.empty()) {
        linked = fileChart(o, conditions, input, err);
    }
    return printDiagnosis(*evaluation, input, linked, o, out, err);
}

int diagnoseStored(const DiagnoseOptions& o, std::ostream& out, std::ostream& err) {
    const auto database = projectsDatabase(o.dbFolder, kCommand, err, Access::Read);
    if (!database) {
        return kExitBadInput;
    }
    const std::string name = o.evaluation;
    std::optional<quarvex::PivotEvaluation> evaluation;
    EvaluationConditions conditions;
    readFrom(*database, [&](quarvex::Connection& con) {
        evaluation = findEvaluation(con, name);
        if (evaluation) {
            conditions = loadConditions(con, name);
        }
        return 0;
    });
    if (!evaluation) {
        err << kCommand << ": there is no evaluation named " << escapeControlCharacters(name)
            << '\n';
        return kExitEvaluationName;
    }
    DiagnosisInput input = diagnosisInputOf(*evaluation, conditions);
    input.units = o.units;
    std::optional<LinkedChart> linked;
    if (conditions.linked()) {
        AppConfig config;
        if (quarvex::isServerUri(o.dbFolder)) {
            setDatabaseServer(config, o.dbFolder);
        } else {
            std::error_code ec;
            setDatabaseFolder(config, std::filesystem::absolute(o.dbFolder, ec));
        }
        CommandPrompts prompts(err, kCommand);
        std::string problem;
        linked =
            addLinkedChart(WorkbenchDatabases::from(config), conditions, prompts, input, problem);
        if (!problem.empty()) {
            err << kCommand << ": " << commandText(problem) << '\n';
        }
    }
    return printDiagnosis(*evaluation, input, linked, o, out, err);
}

}  // namespace

int runDiagnose(const DiagnoseOptions& options, std::ostream& out, std::ostream& err) {
    try {
        return options.file.empty() ? diagnoseStored(options, out, err)
                                    : diagnoseFile(options, out, err);
    } catch (const CommandError& e) {
        err << kCommand << ": " << oneLine(e.what()) << '\n';
    } catch (const InputError& e) {
        err << kCommand << ": " << oneLine(e.what()) << '\n';
    } catch (const AppError& e) {
        err << kCommand << ": " << oneLine(e.what()) << '\n';
    } catch (...) {
        const ErrorReport r = describeCurrentError();
        err << kCommand << ": " << oneLine(userMessage(r, "the evaluation could not be diagnosed"))
            << '\n';
    }
    return kExitBadInput;
}

}  // namespace kambrix::cli
