// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/language_file.h"

#include <sstream>

#include "shell/csv.h"
#include "shell/errors.h"
#include "shell/text.h"

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
    // Through the program's one file reader: a regular file of at most 16 MB, never a pipe
    // that would hold the window back for ever.
    std::string text;
    try {
        text = readTextFile(file, true);
    } catch (const AppError& e) {
        throw LanguageFileError("The language file \"" + printableText(file.string()) +
                                "\" cannot be read: " + e.what());
    }
    std::istringstream in(text);
    return readLanguageSection(in, windowName);
}

}  // namespace kambrix
