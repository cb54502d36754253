// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli evaluate FILE: the depths and uniformity of a catch-can test.
//
// JSON input: {"name": "...", "canDiameter_cm": 10,
//              "firstSample": [[volume_ml, distance_m], ...], "secondSample": [...]}
// CSV input: a heading line, then rows "radius,volume_ml,distance_m[,canDiameter_cm]" with
// radius 1 or 2; the can diameter is given in the fourth column of the first data row (later
// rows may repeat the same value or leave it out).
#include <quarvex/quarvex.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"
#include "evaluation/catch_can_evaluation.h"
#include "evaluation/sample_exchange.h"
#include "input.h"
#include "shell/csv.h"

namespace kambrix::cli {
namespace {

using ojson = nlohmann::ordered_json;

constexpr double kCentimetresPerMetre = 100.0;

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) {
        return {};
    }
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

double canDiameter_m(double cm, const std::string& path) {
    return inRange(cm, ranges::kCanDiameter, path) / kCentimetresPerMetre;
}

quarvex::FieldSample reading(double volume, double distance, const std::string& volumePath,
                             const std::string& distancePath) {
    return quarvex::statics().FieldSamples().newFieldSample(
        inRange(volume, ranges::kCanVolume, volumePath),
        inRange(distance, ranges::kCanDistance, distancePath));
}

quarvex::Array<quarvex::FieldSample> jsonSamples(const nlohmann::json& doc, const char* key) {
    quarvex::Array<quarvex::FieldSample> out;
    if (!doc.contains(key) || doc[key].is_null()) {
        return out;
    }
    const auto& list = doc[key];
    if (!list.is_array()) {
        throw InputError(std::string(key) + ": must be an array of [volume_ml, distance_m]");
    }
    if (list.size() > kMaxReadingsPerEvaluation) {
        throw InputError(std::string(key) + ": holds " + std::to_string(list.size()) +
                         " readings; an evaluation takes at most " +
                         std::to_string(kMaxReadingsPerEvaluation));
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto& pair = list[i];
        const std::string path = std::string(key) + "[" + std::to_string(i) + "]";
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_number() || !pair[1].is_number()) {
            throw InputError(path + ": must be [volume_ml, distance_m] with two numbers");
        }
        out.Push(reading(pair[0].get<double>(), pair[1].get<double>(), path + "[0]", path + "[1]"));
    }
    return out;
}

quarvex::PivotEvaluation fromJson(const std::string& text, const std::string& source) {
    const nlohmann::json doc = parseJsonDocument(text, source);
    if (!doc.is_object()) {
        throw InputError("the JSON input must be an object");
    }
    auto e = quarvex::statics().PivotEvaluations().newEvaluation("");
    if (doc.contains("name")) {
        if (!doc["name"].is_string()) {
            throw InputError("name: must be a text");
        }
        e.name = doc["name"].get<std::string>();
    }
    if (!doc.contains("canDiameter_cm") || !doc["canDiameter_cm"].is_number()) {
        throw InputError("canDiameter_cm: must be a number " + describe(ranges::kCanDiameter));
    }
    e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(
        canDiameter_m(doc["canDiameter_cm"].get<double>(), "canDiameter_cm"));
    e.firstSample = jsonSamples(doc, "firstSample");
    e.secondSample = jsonSamples(doc, "secondSample");
    return e;
}

bool blankRecord(const CsvRecord& r) {
    return std::all_of(r.fields.begin(), r.fields.end(),
                       [](const std::string& f) { return trim(f).empty(); });
}

quarvex::PivotEvaluation fromCsv(const std::string& text) {
    auto e = quarvex::statics().PivotEvaluations().newEvaluation("");
    bool heading = true;
    std::optional<double> diameter_cm;
    std::size_t readings = 0;
    // Distances and the diameter in the units the heading names ("distance_ft"), else SI.
    CatchCanColumnUnits units;
    forEachCsvRecord(text, ',', [&](const CsvRecord& record) {
        if (blankRecord(record)) {
            return;
        }
        if (heading) {
            heading = false;
            units = catchCanColumnUnits(record.fields, UnitSystem::SI);
            return;
        }
        if (++readings > kMaxReadingsPerEvaluation) {
            throw InputError("line " + std::to_string(record.line) + ": more than " +
                             std::to_string(kMaxReadingsPerEvaluation) +
                             " readings, more than one evaluation takes");
        }
        const auto& f = record.fields;
        const std::string where = "line " + std::to_string(record.line);
        if (f.size() < 3 || f.size() > 4) {
            throw InputError(where + ": expected radius,volume_ml,distance_m[,canDiameter_cm]");
        }
        const auto radius = csvNumber(f[0]);
        const auto volume = csvNumber(f[1]);
        auto distance = csvNumber(f[2]);
        if (distance) {
            distance = toStored(Quantity::Length, units.distance, *distance);
        }
        if (!radius || (*radius != 1 && *radius != 2)) {
            throw InputError(where + ", radius: must be 1 or 2");
        }
        if (!volume || !distance) {
            throw InputError(where +
                             ": volume and distance must be numbers with \".\" as decimal point");
        }
        if (f.size() == 4 && !trim(f[3]).empty()) {
            auto d = csvNumber(f[3]);
            if (!d) {
                throw InputError(where + ", canDiameter_cm: must be a number");
            }
            d = toStored(Quantity::CanDiameter, units.diameter, *d);
            if (diameter_cm && *d != *diameter_cm) {
                throw InputError(where + ", canDiameter_cm: differs from the one given before");
            }
            canDiameter_m(*d, where + ", canDiameter_cm");
            diameter_cm = *d;
        } else if (!diameter_cm) {
            throw InputError(where +
                             ": the first data row must give canDiameter_cm in a fourth column");
        }
        const auto sample =
            reading(*volume, *distance, where + ", volume_ml", where + ", distance_m");
        (*radius == 1 ? e.firstSample : e.secondSample).Push(sample);
    });
    if (heading) {
        throw InputError("the CSV input is empty");
    }
    if (!diameter_cm) {
        throw InputError("the CSV input has no sample rows");
    }
    e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(
        canDiameter_m(*diameter_cm, "canDiameter_cm"));
    return e;
}

// Numbers in the JSON library's own text, so the stream reads as the document it replaces.
void writeNumber(std::ostream& out, double v) {
    out << ojson(v).dump();
}

void writeOptional(std::ostream& out, const std::optional<double>& v) {
    if (v) {
        writeNumber(out, *v);
    } else {
        out << "null";
    }
}

// One result as the JSON library prints it with an indent of 2 inside the top object: the
// depths one pair at a time, so a long test never has its text in memory at once.
void writeResult(std::ostream& out, const std::optional<CatchCanResult>& r) {
    if (!r) {
        out << "null";
        return;
    }
    out << "{\n    \"depths\": ";
    if (r->depths.IsEmpty()) {
        out << "[]";
    } else {
        out << "[\n";
        bool first = true;
        for (const auto& s : r->depths) {
            out << (first ? "" : ",\n") << "      [\n        ";
            writeNumber(out, s.distanceFromCenter);
            out << ",\n        ";
            writeNumber(out, s.depth);
            out << "\n      ]";
            first = false;
        }
        out << "\n    ]";
    }
    out << ",\n    \"average\": ";
    writeOptional(out, r->average);
    out << ",\n    \"lowQuarterAverage\": ";
    writeOptional(out, r->lowQuarterAverage);
    out << ",\n    \"UD\": ";
    writeOptional(out, r->UD);
    out << ",\n    \"CU\": ";
    writeOptional(out, r->CU);
    out << ",\n    \"invalid\": " << r->invalid << "\n  }";
}

void writeNotes(const std::optional<CatchCanResult>& r, std::ostream& err,
                const std::string& command) {
    if (r) {
        for (const auto& p : r->problems) {
            err << command << ": " << p << "\n";
        }
    }
}

// The results as `evaluate` prints them: {"first": ..., "second": ..., "both": ...}.
void writeEvaluation(const CatchCanEvaluation& results, std::ostream& out) {
    out << "{\n  \"first\": ";
    writeResult(out, results.first);
    out << ",\n  \"second\": ";
    writeResult(out, results.second);
    out << ",\n  \"both\": ";
    writeResult(out, results.both);
    out << "\n}\n";
}

quarvex::PivotEvaluation fromText(const std::string& text, const std::string& source) {
    const auto first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    return (first != std::string::npos && (text[first] == '{' || text[first] == '['))
               ? fromJson(text, source)
               : fromCsv(text);
}

// Runs `work`; whatever it raises becomes one line "evaluate: ..." on `err` and false.
template <class F>
bool oneLineOnFailure(std::ostream& err, F&& work) {
    auto report = [&](const std::string& message) {
        err << "evaluate: " << oneLine(message) << "\n";
        return false;
    };
    try {
        work();
        return true;
    } catch (const InputError& e) {
        return report(e.what());
    } catch (const quarvex::Error& e) {
        return report(std::string(e.what()) + " (error " + std::to_string(e.number()) + ")");
    } catch (const nlohmann::json::exception& e) {
        return report(jsonText(e));
    } catch (const std::bad_alloc&) {
        return report("not enough memory for this evaluation");
    } catch (const std::exception& e) {
        return report(e.what());
    }
}

}  // namespace

std::optional<quarvex::PivotEvaluation> readEvaluationFile(const std::string& file,
                                                           std::ostream& err) {
    std::optional<quarvex::PivotEvaluation> evaluation;
    oneLineOnFailure(err, [&] { evaluation = fromText(readInputFile(file), file); });
    return evaluation;
}

void printEvaluationResults(quarvex::PivotEvaluation& evaluation, std::ostream& out,
                            std::ostream& err, const std::string& command) {
    printEvaluationResults(evaluateCatchCans(evaluation), out, err, command);
}

void printEvaluationResults(const CatchCanEvaluation& results, std::ostream& out, std::ostream& err,
                            const std::string& command) {
    writeNotes(results.first, err, command);
    writeNotes(results.second, err, command);
    writeNotes(results.both, err, command);
    writeEvaluation(results, out);
}

namespace {

// Computes the results of the evaluation read from `text`, released once read when it is
// `owned`; nothing is printed until they are all computed, so a failure is one line alone.
// The results are then written as they are formatted.
int evaluateAndPrint(const std::string& text, std::string* owned, const std::string& source,
                     std::ostream& out, std::ostream& err) {
    std::optional<CatchCanEvaluation> results;
    const bool done = oneLineOnFailure(err, [&] {
        auto evaluation = fromText(text, source);
        if (owned) {
            std::string().swap(*owned);
        }
        results = evaluateCatchCans(evaluation);
    });
    if (!done) {
        return kExitBadInput;
    }
    printEvaluationResults(*results, out, err, "evaluate");
    return kExitOk;
}

}  // namespace

int runEvaluateText(const std::string& text, const std::string& source, std::ostream& out,
                    std::ostream& err) {
    return evaluateAndPrint(text, nullptr, source, out, err);
}

int runEvaluate(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!oneLineOnFailure(err, [&] { text = readInputFile(file); })) {
        return kExitBadInput;
    }
    return evaluateAndPrint(text, &text, file, out, err);
}

}  // namespace kambrix::cli
