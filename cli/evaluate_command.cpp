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

#include <charconv>
#include <cmath>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"
#include "evaluation/catch_can_evaluation.h"

namespace kambrix::cli {
namespace {

using ojson = nlohmann::ordered_json;

constexpr double kCentimetresPerMetre = 100.0;

// A fault of the input file, reported as one line.
struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) {
        return {};
    }
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// A whole field as a number with "." as decimal point (locale-free).
std::optional<double> numberField(const std::string& text) {
    const std::string t = trim(text);
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (first != last && *first == '+') {
        ++first;
    }
    double v = 0;
    const auto res = std::from_chars(first, last, v);
    if (t.empty() || res.ec != std::errc() || res.ptr != last || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

double positiveDiameter_m(double cm) {
    if (!(cm > 0)) {
        throw BadInput("canDiameter_cm must be a number greater than 0");
    }
    return cm / kCentimetresPerMetre;
}

quarvex::Array<quarvex::FieldSample> jsonSamples(const nlohmann::json& doc, const char* key) {
    quarvex::Array<quarvex::FieldSample> out;
    if (!doc.contains(key) || doc[key].is_null()) {
        return out;
    }
    const auto& list = doc[key];
    if (!list.is_array()) {
        throw BadInput(std::string(key) + " must be an array of [volume_ml, distance_m]");
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto& pair = list[i];
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_number() || !pair[1].is_number()) {
            throw BadInput(std::string(key) + "[" + std::to_string(i) +
                           "] must be [volume_ml, distance_m] with two numbers");
        }
        out.Push(quarvex::statics().FieldSamples().newFieldSample(pair[0].get<double>(),
                                                                  pair[1].get<double>()));
    }
    return out;
}

quarvex::PivotEvaluation fromJson(const std::string& text) {
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(text);
    } catch (const nlohmann::json::parse_error& e) {
        throw BadInput(std::string("the file is not valid JSON: ") + e.what());
    }
    if (!doc.is_object()) {
        throw BadInput("the JSON input must be an object");
    }
    auto e = quarvex::statics().PivotEvaluations().newEvaluation("");
    if (doc.contains("name")) {
        if (!doc["name"].is_string()) {
            throw BadInput("name must be a text");
        }
        e.name = doc["name"].get<std::string>();
    }
    if (!doc.contains("canDiameter_cm") || !doc["canDiameter_cm"].is_number()) {
        throw BadInput("canDiameter_cm must be a number greater than 0");
    }
    e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(
        positiveDiameter_m(doc["canDiameter_cm"].get<double>()));
    e.firstSample = jsonSamples(doc, "firstSample");
    e.secondSample = jsonSamples(doc, "secondSample");
    return e;
}

std::vector<std::string> splitCsv(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const auto at = line.find(',', from);
        fields.push_back(
            line.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) {
            return fields;
        }
        from = at + 1;
    }
}

quarvex::PivotEvaluation fromCsv(const std::string& text) {
    auto e = quarvex::statics().PivotEvaluations().newEvaluation("");
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    bool heading = true;
    std::optional<double> diameter_cm;
    while (std::getline(in, line)) {
        ++lineNo;
        if (trim(line).empty()) {
            continue;
        }
        if (heading) {
            heading = false;
            continue;
        }
        const auto f = splitCsv(line);
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        if (f.size() < 3 || f.size() > 4) {
            throw BadInput(where + "expected radius,volume_ml,distance_m[,canDiameter_cm]");
        }
        const auto radius = numberField(f[0]);
        const auto volume = numberField(f[1]);
        const auto distance = numberField(f[2]);
        if (!radius || (*radius != 1 && *radius != 2)) {
            throw BadInput(where + "the radius must be 1 or 2");
        }
        if (!volume || !distance) {
            throw BadInput(where +
                           "volume and distance must be numbers with \".\" as decimal point");
        }
        if (f.size() == 4 && !trim(f[3]).empty()) {
            const auto d = numberField(f[3]);
            if (!d) {
                throw BadInput(where + "canDiameter_cm must be a number");
            }
            if (diameter_cm && *d != *diameter_cm) {
                throw BadInput(where + "the can diameter differs from the one given before");
            }
            diameter_cm = *d;
        } else if (!diameter_cm) {
            throw BadInput(where +
                           "the first data row must give canDiameter_cm in a fourth column");
        }
        const auto sample = quarvex::statics().FieldSamples().newFieldSample(*volume, *distance);
        (*radius == 1 ? e.firstSample : e.secondSample).Push(sample);
    }
    if (heading) {
        throw BadInput("the CSV input is empty");
    }
    if (!diameter_cm) {
        throw BadInput("the CSV input has no sample rows");
    }
    e.pluviometer =
        quarvex::statics().Pluviometros().newPluviometro(positiveDiameter_m(*diameter_cm));
    return e;
}

ojson optionalNumber(const std::optional<double>& v) {
    return v ? ojson(*v) : ojson(nullptr);
}

ojson resultJson(const std::optional<CatchCanResult>& r, std::ostream& err,
                 const std::string& command) {
    if (!r) {
        return nullptr;
    }
    ojson depths = ojson::array();
    for (const auto& s : r->depths) {
        depths.push_back(ojson::array({s.distanceFromCenter, s.depth}));
    }
    for (const auto& p : r->problems) {
        err << command << ": " << p << "\n";
    }
    return ojson{{"depths", depths},
                 {"average", optionalNumber(r->average)},
                 {"lowQuarterAverage", optionalNumber(r->lowQuarterAverage)},
                 {"UD", optionalNumber(r->UD)},
                 {"CU", optionalNumber(r->CU)},
                 {"invalid", r->invalid}};
}

}  // namespace

std::optional<quarvex::PivotEvaluation> readEvaluationFile(const std::string& file,
                                                           std::ostream& err) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "evaluate: cannot read " << file << "\n";
        return std::nullopt;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    try {
        const auto first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
        return (first != std::string::npos && (text[first] == '{' || text[first] == '['))
                   ? fromJson(text)
                   : fromCsv(text);
    } catch (const BadInput& e) {
        err << "evaluate: " << e.what() << "\n";
    } catch (const quarvex::Error& e) {
        err << "evaluate: " << e.what() << "\n";
    }
    return std::nullopt;
}

void printEvaluationResults(quarvex::PivotEvaluation& evaluation, std::ostream& out,
                            std::ostream& err, const std::string& command) {
    const auto results = evaluateCatchCans(evaluation);
    ojson doc;
    doc["first"] = resultJson(results.first, err, command);
    doc["second"] = resultJson(results.second, err, command);
    doc["both"] = resultJson(results.both, err, command);
    out << doc.dump(2) << "\n";
}

int runEvaluate(const std::string& file, std::ostream& out, std::ostream& err) {
    auto evaluation = readEvaluationFile(file, err);
    if (!evaluation) {
        return kExitBadInput;
    }
    try {
        printEvaluationResults(*evaluation, out, err, "evaluate");
        return kExitOk;
    } catch (const quarvex::Error& e) {
        err << "evaluate: " << e.what() << "\n";
    }
    return kExitBadInput;
}

}  // namespace kambrix::cli
