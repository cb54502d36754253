// SPDX-License-Identifier: GPL-3.0-or-later
#include "input.h"

#include "units_output.h"

#include <quarvex/quarvex.h>

#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

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
    return printableText(message);
}

namespace {

using nlohmann::json;

// Builds the document as the library's own reader does, but refuses what the program never
// takes: deep nesting and keys given twice. The first fault stops the reading.
class GuardedBuilder final : public nlohmann::json_sax<json> {
  public:
    json root;
    std::string fault;  // plain words; empty while the text reads well

    bool null() override { return put(json(nullptr)); }
    bool boolean(bool v) override { return put(json(v)); }
    bool number_integer(number_integer_t v) override { return put(json(v)); }
    bool number_unsigned(number_unsigned_t v) override { return put(json(v)); }
    bool number_float(number_float_t v, const string_t&) override { return put(json(v)); }
    bool string(string_t& v) override { return put(json(std::move(v))); }
    bool binary(binary_t&) override { return refuse("holds binary data"); }
    bool start_object(std::size_t) override { return open(json::object()); }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(json::array()); }
    bool end_array() override { return close(); }
    bool key(string_t& k) override {
        if (stack_.back()->contains(k)) {
            return refuse("gives the key \"" + shortPrintable(k) + "\" twice in one object" +
                          pathText(k));
        }
        key_ = std::move(k);
        return true;
    }
    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::detail::exception& e) override {
        if (fault.empty()) {
            fault = plainReason(e, token);
            errorOffset = position;
        }
        return false;
    }
    // Byte offset (1-based) the reader gave with a syntax fault; 0 for the builder's own.
    std::size_t errorOffset = 0;

  private:
    std::vector<json*> stack_;
    std::vector<std::string> segments_;  // how each open container was reached
    std::string key_;

    // " at compare.models[3]" (the JSON path of the fault), or nothing at the top level.
    std::string pathText(const std::string& last = {}) const {
        std::string path;
        for (const auto& s : segments_) {
            path += s;
        }
        if (!last.empty()) {
            path += (path.empty() ? "" : ".") + shortPrintable(last, 40);
        }
        if (!path.empty() && path[0] == '.') {
            path.erase(0, 1);
        }
        return path.empty() ? std::string() : " (at " + path + ")";
    }

    json* place(json&& value, std::string* segment = nullptr) {
        if (stack_.empty()) {
            root = std::move(value);
            return &root;
        }
        json& parent = *stack_.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            if (segment) {
                *segment = "[" + std::to_string(parent.size() - 1) + "]";
            }
            return &parent.back();
        }
        if (segment) {
            *segment = "." + shortPrintable(key_, 40);
        }
        json& slot = parent[key_];
        slot = std::move(value);
        return &slot;
    }
    bool put(json&& value) {
        place(std::move(value));
        return true;
    }
    bool open(json&& container) {
        if (stack_.size() >= kMaxJsonDepth) {
            std::string where = pathText();
            if (where.size() > 60) {
                where = where.substr(0, 40) + "…)";
            }
            return refuse("nests arrays and objects more than " + std::to_string(kMaxJsonDepth) +
                          " levels deep" + where);
        }
        std::string segment;
        stack_.push_back(place(std::move(container), &segment));
        segments_.push_back(std::move(segment));
        return true;
    }
    bool close() {
        stack_.pop_back();
        segments_.pop_back();
        return true;
    }
    bool refuse(std::string why) {
        if (fault.empty()) {
            fault = std::move(why);
        }
        return false;
    }

    static std::string plainReason(const nlohmann::detail::exception& e, const std::string& token) {
        const std::string what = e.what();
        const auto has = [&](const char* words) { return what.find(words) != std::string::npos; };
        const std::string near =
            token.empty() ? std::string() : " near \"" + shortPrintable(token, 20) + "\"";
        if (e.id == 406) {
            return "holds a number beyond the range of a double" + near;
        }
        if (e.id == 101 && has("syntax error") && !has("invalid literal") &&
            !has("invalid number") && !has("invalid string") && !has("end of input")) {
            return "is not valid JSON: it holds an unexpected character" + near;
        }
        if (has("ill-formed UTF-8") || has("invalid UTF-8")) {
            return "is not valid JSON: it holds text that is not UTF-8";
        }
        if (has("control character")) {
            return "is not valid JSON: a text holds a control character (write it as an escape "
                   "such as \\n)";
        }
        if (has("invalid literal")) {
            return "is not valid JSON: it holds a word that is not JSON" + near +
                   " (values are numbers, texts in quotes, true, false or null; NaN and "
                   "Infinity are not numbers in JSON)";
        }
        if (has("invalid number")) {
            return "is not valid JSON: it holds a malformed number" + near;
        }
        if (has("unexpected end of input") || token.empty()) {
            return "is not valid JSON: it ends before the document is complete";
        }
        if (has("expected end of input")) {
            return "is not valid JSON: it holds more after the end of the document" + near;
        }
        return "is not valid JSON" + near;
    }
};

}  // namespace

nlohmann::json parseJsonDocument(std::string_view text, const std::string& source) {
    GuardedBuilder builder;
    const bool ok = json::sax_parse(text.begin(), text.end(), &builder, json::input_format_t::json,
                                    /*strict=*/true);
    if (!ok || !builder.fault.empty()) {
        std::string why = builder.fault.empty() ? "is not valid JSON" : builder.fault;
        if (builder.errorOffset > 0) {
            // The reader counts the byte it stopped at from 1.
            const std::size_t end = std::min(builder.errorOffset - 1, text.size());
            std::size_t line = 1;
            std::size_t lineStart = 0;
            for (std::size_t i = 0; i < end; ++i) {
                if (text[i] == '\n') {
                    ++line;
                    lineStart = i + 1;
                }
            }
            why += " at line " + std::to_string(line) + ", column " +
                   std::to_string(end - lineStart + 1);
        }
        throw InputError(printableText(source) + " " + why);
    }
    nlohmann::json doc = std::move(builder.root);
    // "units": "us" (or "metric-bar") at the top level: every number is in those units.
    if (doc.is_object() && doc.contains("units")) {
        const auto& named = doc["units"];
        const auto system =
            named.is_string() ? parseUnitSystem(named.get<std::string>()) : std::nullopt;
        if (!system) {
            throw InputError(printableText(source) +
                             " \"units\": must be \"si\", \"us\" or \"metric-bar\"");
        }
        doc.erase("units");
        inputToStoredUnits(doc, *system);
    }
    return doc;
}

std::string jsonText(const nlohmann::json::exception&) {
    // Reached only when a value of the document is read as a kind it is not: the readers
    // check kinds first, so this names the fault without the library's words.
    return "the input holds a value of a kind the program does not expect there";
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
