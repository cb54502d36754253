// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/language_file.h"

#include <fstream>

namespace kambrix {

namespace {

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
        const std::size_t bar = line.find('|', from);
        fields.push_back(line.substr(from, bar == std::string::npos ? bar : bar - from));
        if (bar == std::string::npos) {
            return fields;
        }
        from = bar + 1;
    }
}

}  // namespace

std::vector<TranslationEntry> readLanguageSection(std::istream& in, const std::string& windowName) {
    std::vector<TranslationEntry> entries;
    bool inSection = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!inSection) {
            inSection = line == windowName;
            continue;
        }
        if (line == "end") {
            break;
        }
        const auto fields = splitFields(line);
        if (fields.size() < 3) {
            continue;
        }
        entries.push_back({fields[0], fields[1], fields[2]});
    }
    return entries;
}

std::vector<TranslationEntry> readLanguageSection(const std::filesystem::path& file,
                                                  const std::string& windowName) {
    std::ifstream in(file);
    if (!in) {
        throw LanguageFileError("The language file \"" + file.string() + "\" cannot be read.");
    }
    return readLanguageSection(in, windowName);
}

}  // namespace kambrix
