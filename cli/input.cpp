// SPDX-License-Identifier: GPL-3.0-or-later
#include "input.h"

#include <quarvex/quarvex.h>

#include "shell/csv.h"
#include "shell/errors.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace kambrix::cli {

std::string readInputFile(const std::string& path) {
    try {
        return readTextFile(path, false, kMaxInputBytes);
    } catch (const AppError& e) {
        // The command's lines continue "design: ", so the reason starts in lower case.
        std::string message = e.what();
        if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z') {
            message[0] = static_cast<char>(message[0] - 'A' + 'a');
        }
        throw InputError(message);
    }
}

std::string oneLine(const std::string& message) {
    std::string out = message;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = ' ';
        }
    }
    return out;
}

std::string jsonText(const nlohmann::json::exception& e) {
    std::string what = e.what();
    const auto close = what.find("] ");
    if (what.rfind("[json.exception.", 0) == 0 && close != std::string::npos) {
        what.erase(0, close + 2);
    }
    return what;
}

std::string jsonParseProblem(const nlohmann::json::exception& e) {
    // 406: a number literal that overflows a double ("1e309").
    if (e.id == 406) {
        return "holds a number beyond the range of a double (" + jsonText(e) + ")";
    }
    return "is not valid JSON: " + jsonText(e);
}

std::string describe(const Range& r) {
    const std::string unit = *r.unit ? std::string(" ") + r.unit : std::string();
    if (r.minIncluded) {
        return "from " + quarvex::numberText(r.min) + " to " + quarvex::numberText(r.max) + unit;
    }
    return "above " + quarvex::numberText(r.min) + " and at most " + quarvex::numberText(r.max) +
           unit;
}

double inRange(double value, const Range& r, const std::string& path) {
    const bool aboveMin = r.minIncluded ? value >= r.min : value > r.min;
    if (!(aboveMin && value <= r.max)) {
        throw InputError(path + ": must be " + describe(r) + ", not " + quarvex::numberText(value));
    }
    return value;
}

}  // namespace kambrix::cli
