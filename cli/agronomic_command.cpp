// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli agronomic FILE: the water a pivot must deliver.
//
// Input, every key optional (absent or null: not given):
//   {"kf": 1, "Etc": 6, "Pe": 0,                     crop factor; mm/day; mm/day
//    "Pa": 50, "CU": 80, "Eto": 5, "U": 2, "CI": 10,  %; %; mm/day; wind speed; 7 to 17
//    "Oe": 1, "area_ha": 50, "hours_per_day": 20}     fraction 0 to 1; ha; h/day
// Output: {"Epa": %, "Re": fraction, "efficiency": %, "GIR": mm/day, "Qc": L/s per ha,
//          "systemDischarge": L/s}, null for each result the data do not allow, with the
// reason on standard error as "<result>: <message>", the messages of the agronomic screen.
// Exit status 2 for a file that is not a JSON object of numbers, a value out of its range,
// or a computation that fails (the results it allowed are still printed).
#include <nlohmann/json.hpp>

#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "design/agronomics.h"
#include "input.h"
#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/text.h"

namespace kambrix::cli {
namespace {

using ojson = nlohmann::ordered_json;
using In = AgronomicInput;

struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const std::vector<std::pair<const char*, In>>& inputKeys() {
    static const std::vector<std::pair<const char*, In>> keys = {
        {"kf", In::kf},
        {"Etc", In::Etc},
        {"Pe", In::Pe},
        {"Pa", In::Pa},
        {"CU", In::CU},
        {"Eto", In::Eto},
        {"U", In::U},
        {"CI", In::CI},
        {"Oe", In::Oe},
        {"area_ha", In::FieldArea},
        {"hours_per_day", In::HoursPerDay},
    };
    return keys;
}

// The given values by input; inputs not given are absent.
std::map<In, double> readInput(const std::string& text, const std::string& source) {
    nlohmann::json doc;
    try {
        doc = parseJsonDocument(text, source);
    } catch (const InputError& e) {
        throw BadInput(e.what());
    }
    if (!doc.is_object()) {
        throw BadInput("the JSON input must be an object");
    }
    for (const auto& item : doc.items()) {
        bool known = false;
        for (const auto& [key, input] : inputKeys()) {
            known = known || item.key() == key;
        }
        if (!known) {
            throw BadInput("unknown key \"" + shortPrintable(item.key()) + "\"");
        }
    }
    std::map<In, double> values;
    for (const auto& [key, input] : inputKeys()) {
        if (!doc.contains(key) || doc[key].is_null()) {
            continue;
        }
        if (!doc[key].is_number()) {
            throw BadInput(std::string(key) + " must be a number");
        }
        const double x = doc[key].get<double>();
        if (!rangeOf(input).contains(x)) {
            throw BadInput(std::string(key) + ": " + rangeMessage(input));
        }
        values[input] = x;
    }
    return values;
}

double valueOr(const std::map<In, double>& values, In input) {
    const auto it = values.find(input);
    return it == values.end() ? kMissing : it->second;
}

}  // namespace

int runAgronomic(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string text;
    try {
        text = readInputFile(file);
    } catch (const std::exception& e) {
        err << "kambrix-cli agronomic: " << oneLine(e.what()) << "\n";
        return kExitBadInput;
    }
    return runAgronomicText(text, file, out, err);
}

int runAgronomicText(const std::string& text, const std::string& source, std::ostream& out,
                     std::ostream& err) {
    std::map<In, double> values;
    try {
        values = readInput(text, source);
    } catch (const std::exception& e) {
        err << "kambrix-cli agronomic: " << oneLine(e.what()) << "\n";
        return kExitBadInput;
    }

    Agronomics record;
    record.kf = valueOr(values, In::kf);
    record.Etc = valueOr(values, In::Etc);
    record.Pe = valueOr(values, In::Pe);
    record.epa.Pa = valueOr(values, In::Pa);
    record.epa.CU = valueOr(values, In::CU);
    record.epa.Eto = valueOr(values, In::Eto);
    record.epa.U = valueOr(values, In::U);
    record.epa.CI = valueOr(values, In::CI);
    record.epa.Oe = valueOr(values, In::Oe);
    const AgronomicEvaluation ev = evaluateAgronomics(
        record, valueOr(values, In::FieldArea), valueOr(values, In::HoursPerDay), kFieldAreaText);

    ojson result = ojson::object();
    bool failed = false;
    const std::pair<const char*, const AgronomicResult*> results[] = {
        {"Epa", &ev.epa}, {"Re", &ev.re}, {"efficiency", &ev.efficiency},
        {"GIR", &ev.gir}, {"Qc", &ev.qc}, {"systemDischarge", &ev.systemDischarge},
    };
    for (const auto& [key, r] : results) {
        if (r->available()) {
            result[key] = *r->value;
            continue;
        }
        result[key] = nullptr;
        err << key << ": " << r->unavailable->message << "\n";
        failed = failed || r->unavailable->kind == Unavailable::Kind::Fault;
    }
    out << result.dump(2) << "\n";
    return failed ? kExitBadInput : kExitOk;
}

}  // namespace kambrix::cli
