// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli compare FILE: the design input of `design` plus an optional "compare" object;
// computes the automatic package of every catalogue model (or the models named) with every
// regulator setting and end-gun boost, and prints the candidates in rank order, each with
// the chosen nozzle of every outlet in the form `design` reads in a manual chart.
//
// kambrix-cli fit-nozzles FILE [--us-units]: fits q = a·p^b to every nozzle of a maker's
// table and prints the nozzles in the form of the design file's catalogue.
#include <quarvex/quarvex.h>
#include <zarede/zarede.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <new>
#include <ostream>
#include <sstream>

#include "commands.h"
#include "design/comparison_table.h"
#include "design/nozzle_fit.h"
#include "design/package_comparison.h"
#include "design_input.h"
#include "input.h"
#include "shell/errors.h"
#include "shell/stored_names.h"
#include "shell/text.h"

namespace kambrix::cli {
namespace {

using json = nlohmann::json;
using ojson = nlohmann::ordered_json;

const std::string kPath = "compare";

// The list `name` of the compare object, refused unread when it holds more than `most`
// entries.
const json& arrayIn(const json& obj, const char* name, std::size_t most) {
    const json& v = obj.at(name);
    if (!v.is_array()) {
        throw InputError(kPath + "." + name + ": must be an array");
    }
    if (v.size() > most) {
        throw InputError(kPath + "." + name + ": holds " + std::to_string(v.size()) +
                         " entries; a comparison takes at most " + std::to_string(most));
    }
    return v;
}

std::string at(const char* name, std::size_t i) {
    return kPath + "." + name + "[" + std::to_string(i) + "]";
}

// The "compare" object: the models, the settings, the boosts, the variation, the ranking and
// the field's surface storage.
struct CompareInput {
    std::vector<ModelChoice> models;
    // The end gun's nozzles: chosen by the catalogue (absent), none (null) or a model.
    bool gunModelGiven = false;
    std::optional<ModelChoice> gunModel;
    ComparisonOptions options;
    std::optional<double> surfaceStorage;
};

CompareInput readCompare(const json& root) {
    CompareInput in;
    const auto it = root.find("compare");
    if (it == root.end() || it->is_null()) {
        return in;
    }
    const json& c = *it;
    if (!c.is_object()) {
        throw InputError(kPath + ": must be an object");
    }
    static const char* known[] = {"models", "regulatorPressures", "boosts",   "variation",
                                  "rankBy", "surfaceStorage",     "gunModel", "atOperatingPoint"};
    for (const auto& item : c.items()) {
        const std::string& key = item.key();
        if (std::find_if(std::begin(known), std::end(known),
                         [&](const char* k) { return key == k; }) == std::end(known)) {
            throw InputError(kPath + "." + shortPrintable(key) +
                             ": unknown field (models, regulatorPressures, boosts, variation, "
                             "rankBy, surfaceStorage, gunModel, atOperatingPoint)");
        }
    }
    if (c.contains("models")) {
        const json& list = arrayIn(c, "models", kMaxComparedModels);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const json& m = list[i];
            if (!m.is_array() || m.size() != 2 || !m[0].is_string() || !m[1].is_string()) {
                throw InputError(at("models", i) + ": must be [brand, model]");
            }
            in.models.push_back({m[0].get<std::string>(), m[1].get<std::string>()});
        }
    }
    if (c.contains("atOperatingPoint")) {
        if (!c["atOperatingPoint"].is_boolean()) {
            throw InputError(kPath + ".atOperatingPoint: must be true or false");
        }
        in.options.atOperatingPoint = c["atOperatingPoint"].get<bool>();
        if (in.options.atOperatingPoint && !root.contains("supply")) {
            throw InputError(kPath +
                             ".atOperatingPoint: needs the design's \"supply\" with its pump");
        }
    }
    if (c.contains("gunModel")) {
        in.gunModelGiven = true;
        const json& g = c["gunModel"];
        if (!g.is_null()) {
            if (!g.is_array() || g.size() != 2 || !g[0].is_string() || !g[1].is_string()) {
                throw InputError(kPath + ".gunModel: must be [brand, model], or null for none");
            }
            in.gunModel = ModelChoice{g[0].get<std::string>(), g[1].get<std::string>()};
        }
    }
    if (c.contains("regulatorPressures")) {
        const json& list = arrayIn(c, "regulatorPressures", kMaxRegulatorSettings);
        in.options.regulatorPressures.clear();
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].is_null()) {
                in.options.regulatorPressures.push_back(std::nullopt);
            } else if (list[i].is_number()) {
                in.options.regulatorPressures.push_back(inRange(list[i].get<double>(),
                                                                Range{0, 1000, false, "kPa"},
                                                                at("regulatorPressures", i)));
            } else {
                throw InputError(at("regulatorPressures", i) +
                                 ": must be a pressure in kPa, or null for no regulators");
            }
        }
    }
    if (c.contains("boosts")) {
        const json& list = arrayIn(c, "boosts", kMaxBoosts);
        in.options.boosts.clear();
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (!list[i].is_number()) {
                throw InputError(at("boosts", i) + ": must be a boost in kPa (0 for none)");
            }
            in.options.boosts.push_back(
                inRange(list[i].get<double>(), ranges::kBoost, at("boosts", i)));
        }
    }
    if (c.contains("variation")) {
        if (!c["variation"].is_number()) {
            throw InputError(kPath + ".variation: must be a number");
        }
        in.options.variation =
            inRange(c["variation"].get<double>(), Range{0, 1, false, ""}, kPath + ".variation");
    }
    if (c.contains("rankBy")) {
        const json& list = arrayIn(c, "rankBy", 5 * 4);
        in.options.rankBy.clear();
        for (std::size_t i = 0; i < list.size(); ++i) {
            const auto key = list[i].is_string() ? rankKeyOf(list[i].get<std::string>())
                                                 : std::optional<RankKey>();
            if (!key) {
                throw InputError(at("rankBy", i) +
                                 ": must be one of \"CU\", \"UD\", \"nozzleSizes\", "
                                 "\"dischargeError\", \"runoff\"");
            }
            in.options.rankBy.push_back(*key);
        }
    }
    if (c.contains("surfaceStorage") && !c["surfaceStorage"].is_null()) {
        if (!c["surfaceStorage"].is_number()) {
            throw InputError(kPath + ".surfaceStorage: must be a depth in mm");
        }
        in.surfaceStorage = inRange(c["surfaceStorage"].get<double>(), Range{0, 1000, true, "mm"},
                                    kPath + ".surfaceStorage");
    }
    return in;
}

ojson optionalNumber(const std::optional<double>& v) {
    return v ? ojson(*v) : ojson(nullptr);
}

ojson candidateJson(const ComparedPackage& p, int rank, const DesignInput& in) {
    const CandidateResults& r = p.results;
    ojson j;
    j["rank"] = rank;
    j[compared::Brand] = p.candidate.model.brand;
    j[compared::Model] = p.candidate.model.model;
    j[compared::GunModel] =
        p.candidate.gunModel
            ? ojson::array({p.candidate.gunModel->brand, p.candidate.gunModel->model})
            : ojson(nullptr);
    j[compared::RegulatorPressure] = optionalNumber(p.candidate.regulatorPressure);
    j[compared::Boost] = p.candidate.boost;
    j[compared::Feasible] = r.feasible;
    j[compared::Settled] = r.settled;
    j[compared::NoSprinkler] = r.noSprinkler;
    j[compared::OutOfRange] = r.outOfRange;
    j[compared::StarvedRegulators] = r.starvedRegulators;
    j[compared::DischargePercent] =
        std::isfinite(r.dischargePercent) ? ojson(r.dischargePercent) : ojson(nullptr);
    j[compared::UD] = optionalNumber(r.UD);
    j[compared::CU] = optionalNumber(r.CU);
    j[compared::ExpectedDepth] = optionalNumber(r.expectedDepth);
    j[compared::AverageDepth] = optionalNumber(r.averageDepth);
    j[compared::Excess1] = optionalNumber(r.excess1);
    j[compared::Runoff1] = optionalNumber(r.runoff1);
    j[compared::Excess2] = optionalNumber(r.excess2);
    j[compared::Runoff2] = optionalNumber(r.runoff2);
    j[compared::NozzleSizes] = r.nozzleSizes;
    if (r.operatingDischarge && r.operatingPressure) {
        j["operatingPoint"] = {{"caudal", *r.operatingDischarge},
                               {"presion", *r.operatingPressure}};
    }
    j["problems"] = r.problems;
    ojson nozzles = ojson::array();
    for (const auto& n : chosenNozzles(p)) {
        const auto id = in.idOf.find(n.nozzle.get());
        nozzles.push_back({{"tramo", n.at.numeroTramo},
                           {"saida", n.at.saida},
                           {"id", id != in.idOf.end() ? id->second : n.nozzle->id()}});
    }
    j["nozzles"] = std::move(nozzles);
    // The rest of the manual chart that gives the same package.
    ojson regulators = ojson::array();
    p.package.chart->getReguladores()->ForEach(
        [&](const std::shared_ptr<quarvex::ReguladorPression>& g) {
            regulators.push_back({{"tramo", g->tramo()},
                                  {"pression", g->pression()},
                                  {"caudal_max", g->maximum_caudal()},
                                  {"caudal_min", g->minimum_caudal()},
                                  {"installed", g->installed()}});
        });
    j["regulators"] = std::move(regulators);
    j["endGunBoost"] = p.candidate.boost;
    return j;
}

}  // namespace

int runCompareText(const std::string& text, const std::string& source, std::ostream& out,
                   std::ostream& err) {
    auto report = [&](const std::string& message) {
        err << "compare: " << oneLine(message) << '\n';
        return kExitBadInput;
    };
    auto numbered = [](const std::exception& e, std::int32_t number) {
        return std::string(e.what()) + " (error " + std::to_string(number) + ")";
    };
    std::size_t unsettled = 0;
    std::size_t total = 0;
    DesignInput in;
    ComparisonOutcome outcome;
    try {
        const json root = parseJsonDocument(text, source);
        in = readDesign(root);
        const CompareInput c = readCompare(root);
        if (const auto refused = checkComparisonOptions(c.options)) {
            throw InputError(kPath + ": " + *refused);
        }
        ComparisonBase base;
        base.pivot = in.pivot;
        base.settings.drop = in.drop.value_or(quarvex::statics().Drops().createNull());
        base.settings.indicadores = in.indicadores.value_or(quarvex::indicadores{});
        if (in.pluviometria) {
            base.settings.pluviometria = *in.pluviometria;
        }
        base.surfaceStorage = c.surfaceStorage;
        base.supply = in.supply;
        std::vector<CandidateModel> models;
        ComparisonOptions options = c.options;
        try {
            models = selectCandidateModels(in.catalogue, c.models);
        } catch (const AppError& e) {
            throw InputError(kPath + ".models: " + e.what());
        }
        if (!c.gunModelGiven) {
            options.gunModel = gunModelFor(in.pivot, catalogueModels(in.catalogue));
        } else if (c.gunModel) {
            try {
                options.gunModel = selectCandidateModels(in.catalogue, {*c.gunModel}).front();
            } catch (const AppError& e) {
                throw InputError(kPath + ".gunModel: " + e.what());
            }
        }
        options.keepComputedPivots = false;  // thousands of candidates must fit in memory
        outcome = comparePackages(base, models, options);
    } catch (const InputError& e) {
        return report(e.what());
    } catch (const quarvex::Error& e) {
        return report(numbered(e, e.number()));
    } catch (const zarede::Error& e) {
        return report(numbered(e, e.number()));
    } catch (const json::exception& e) {
        return report(jsonText(e));
    } catch (const std::bad_alloc&) {
        return report("not enough memory for this comparison");
    } catch (const std::exception& e) {
        return report(e.what());
    }
    // The ranking is complete: the list is written one entry at a time, as list.dump(2)
    // writes it, so that the text of one candidate is in memory at once.
    int rank = 0;
    out << (outcome.packages.empty() ? "[]" : "[\n");
    for (const auto& p : outcome.packages) {
        const std::string entry = candidateJson(p, ++rank, in).dump(2);
        std::string indented = rank > 1 ? ",\n  " : "  ";
        indented.reserve(entry.size() + entry.size() / 8);
        for (std::size_t from = 0;;) {
            const std::size_t eol = entry.find('\n', from);
            if (eol == std::string::npos) {
                indented.append(entry, from, std::string::npos);
                break;
            }
            indented.append(entry, from, eol + 1 - from);
            indented += "  ";
            from = eol + 1;
        }
        out << indented;
        unsettled += p.results.settled ? 0 : 1;
    }
    total = outcome.packages.size();
    out << (outcome.packages.empty() ? "\n" : "\n]\n");
    // An unsettled candidate is marked in its entry ("settled": false) and never feasible;
    // the ranking is still the answer, so one summary line is all standard error gets.
    if (unsettled > 0) {
        err << "compare: " << unsettled << " of " << total
            << " candidates did not settle; their entries hold the last pass\n";
    }
    return kExitOk;
}

int runCompare(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string text;
    try {
        text = readInputFile(file);
    } catch (const std::exception& e) {
        err << "compare: " << oneLine(e.what()) << '\n';
        return kExitBadInput;
    }
    return runCompareText(text, file, out, err);
}

int runFitNozzles(const FitNozzlesOptions& options, std::ostream& out, std::ostream& err) {
    std::string text;
    try {
        text = readInputFile(options.file);
    } catch (const std::exception& e) {
        err << "fit-nozzles: " << oneLine(e.what()) << '\n';
        return kExitBadInput;
    }
    return runFitNozzlesText(text, options, out, err);
}

int runFitNozzlesText(const std::string& text, const FitNozzlesOptions& options, std::ostream& out,
                      std::ostream& err) {
    try {
        const auto brand = storedNameProblem(StoredNameKind::SprinklerBrand, options.brand);
        const auto model = storedNameProblem(StoredNameKind::SprinklerModel, options.model);
        if (brand || model) {
            throw InputError(brand ? *brand : *model);
        }
        MakerTableOptions table;
        table.usUnits = options.usUnits;
        const auto fits = fitNozzles(readMakerTable(text, table));
        if (fits.empty()) {
            throw InputError("the table " + printableText(options.file) +
                             " has no rows after its heading");
        }
        ojson list = ojson::array();
        for (const auto& f : fits) {
            ojson j;
            j["nome"] = f.nozzle;
            if (!options.brand.empty()) {
                j["marca"] = options.brand;
            }
            if (!options.model.empty()) {
                j["modelo"] = options.model;
            }
            j["a"] = f.a;
            j["b"] = f.b;
            j["pmin"] = f.pmin;
            j["pmax"] = f.pmax;
            j["qmin"] = f.qmin;
            j["qmax"] = f.qmax;
            j["maxRelativeError"] = f.maxRelativeError;
            j["points"] = f.points.size();
            list.push_back(std::move(j));
        }
        out << list.dump(2) << '\n';
        return kExitOk;
    } catch (const std::exception& e) {
        err << "fit-nozzles: " << oneLine(e.what()) << '\n';
        return kExitBadInput;
    }
}

}  // namespace kambrix::cli
