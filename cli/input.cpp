// SPDX-License-Identifier: GPL-3.0-or-later
#include "input.h"

#include <quarvex/quarvex.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace kambrix::cli {

std::string readInputFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (path.empty() || st.type() == fs::file_type::not_found) {
        throw InputError("the file " + path + " does not exist");
    }
    if (st.type() == fs::file_type::directory) {
        throw InputError(path + " is a folder, not a file");
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
    if (!in) {
        const int error = errno;
        throw InputError("the file " + path + " cannot be opened: " + std::strerror(error));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, in.get());
        text.append(buffer, n);
        if (text.size() > kMaxInputBytes) {
            throw InputError("the file " + path + " is larger than " +
                             std::to_string(kMaxInputBytes / (1024 * 1024)) + " MB");
        }
        if (n < sizeof buffer) {
            break;
        }
    }
    if (std::ferror(in.get())) {
        const int error = errno;
        throw InputError("the file " + path + " cannot be read: " + std::strerror(error));
    }
    if (text.find_first_not_of(" \t\r\n\f\v\xEF\xBB\xBF") == std::string::npos) {
        throw InputError("the file " + path + " is empty");
    }
    return text;
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
