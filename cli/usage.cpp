// SPDX-License-Identifier: GPL-3.0-or-later
#include "usage.h"

#include <cctype>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "shell/text.h"

namespace kambrix::cli {

namespace {

const std::set<std::string, std::less<>>& commandNames() {
    static const std::set<std::string, std::less<>> names = {
        "design", "evaluate",  "evaluation", "evaluations", "charts",
        "chart",  "agronomic", "compare",    "fit-nozzles", "diagnose"};
    return names;
}

// The options (words starting "--") named in the parser's text, in order, without repeats.
std::vector<std::string> optionsIn(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t i = text.find("--"); i != std::string::npos; i = text.find("--", i + 2)) {
        std::size_t end = i + 2;
        while (end < text.size() &&
               (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '-')) {
            ++end;
        }
        if (end > i + 2) {
            std::string name = text.substr(i, end - i);
            bool seen = false;
            for (const auto& f : found) {
                seen = seen || f == name;
            }
            if (!seen) {
                found.push_back(name);
            }
        }
        i = end - 2;
    }
    return found;
}

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        out += (i == 0 ? "" : i + 1 == words.size() ? " and " : ", ") + words[i];
    }
    return out;
}

}  // namespace

std::string usageProblem(const std::string& kind, const std::string& detail, int argc,
                         const char* const* argv) {
    const std::string help = "; kambrix-cli --help lists the commands";
    const auto options = optionsIn(detail);
    const std::string named = options.empty() ? std::string() : " " + joined(options);
    std::string command;
    for (int i = 1; i < argc; ++i) {
        if (commandNames().count(std::string_view(argv[i])) > 0) {
            command = argv[i];
            break;
        }
    }
    const std::string commandHelp =
        command.empty() ? help : "; kambrix-cli " + command + " --help lists its arguments";
    if (command.empty() && argc > 1 && argv[1][0] != '-') {
        return "\"" + shortPrintable(argv[1], 40) + "\" is not a command of kambrix-cli" + help;
    }
    if (kind == "ArgumentMismatch") {
        return "the option" + named + " is given more times, or with other values, than it takes" +
               commandHelp;
    }
    if (kind == "ExtrasError") {
        return "there are more arguments than the command takes" + commandHelp;
    }
    if (kind == "RequiredError") {
        if (command.empty()) {
            return "name a command (design, evaluate, evaluation, evaluations, charts, chart, "
                   "agronomic, compare, fit-nozzles, diagnose)" +
                   help;
        }
        return "an argument the command needs is missing" + commandHelp;
    }
    if (kind == "RequiresError") {
        return "the option" + (options.empty() ? std::string() : " " + options.front()) +
               " needs " + (options.size() > 1 ? options[1] : std::string("another option")) +
               commandHelp;
    }
    if (kind == "ExcludesError") {
        return "the options" + named + " cannot be given together" + commandHelp;
    }
    if (kind == "ConversionError" || kind == "ValidationError") {
        return "the value of the option" + named + " cannot be read" + commandHelp;
    }
    if (kind == "HorribleError" || kind == "InvalidError") {
        return "the command line cannot be read" + commandHelp;
    }
    return "the command line cannot be read" + (named.empty() ? "" : " (" + named.substr(1) + ")") +
           commandHelp;
}

}  // namespace kambrix::cli
