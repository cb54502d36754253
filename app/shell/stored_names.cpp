// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/stored_names.h"

#include "shell/errors.h"
#include "shell/text.h"

namespace kambrix {
namespace {

bool isC0OrDel(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// A C1 control character (U+0080 to U+009F) is the pair C2 80 to C2 9F in UTF-8.
bool isC1At(const std::string& text, std::size_t i) {
    return i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xC2 &&
           static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
           static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

bool isContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

}  // namespace

std::string storedNameKindText(StoredNameKind kind) {
    switch (kind) {
        case StoredNameKind::System:
            return "system";
        case StoredNameKind::Chart:
            return "sprinkler chart";
        case StoredNameKind::Evaluation:
            return "evaluation";
        case StoredNameKind::SprinklerBrand:
            return "sprinkler brand";
        case StoredNameKind::SprinklerModel:
            return "sprinkler model";
        case StoredNameKind::Nozzle:
            return "nozzle";
        case StoredNameKind::ReferenceSpan:
            return "reference span";
        case StoredNameKind::ReferenceSpanBrand:
            return "reference span brand";
    }
    return "record";
}

std::optional<std::string> storedNameProblem(StoredNameKind kind, const std::string& name) {
    const std::string what = storedNameKindText(kind);
    const std::string article =
        (what[0] == 'a' || what[0] == 'e' || what[0] == 'i' || what[0] == 'o') ? "an " : "a ";
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (isContinuationByte(c)) {
            continue;
        }
        ++characters;
        if (isC0OrDel(c) || isC1At(name, i)) {
            const std::string shown = isC1At(name, i)
                                          ? escapeControlCharacters(name.substr(i, 2))
                                          : escapeControlCharacters(std::string(1, name[i]));
            return "The name of " + article + what + " cannot hold control characters (" + shown +
                   " at character " + std::to_string(characters) + ")";
        }
    }
    if (characters > kMaxStoredNameLength) {
        return "The name of " + article + what + " can hold at most " +
               std::to_string(kMaxStoredNameLength) + " characters; this one has " +
               std::to_string(characters);
    }
    return std::nullopt;
}

void requireStorableName(StoredNameKind kind, const std::string& name) {
    if (const auto problem = storedNameProblem(kind, name)) {
        raiseError(errc::StoredNameRefused, *problem);
    }
}

std::string escapeControlCharacters(const std::string& text) {
    return printableText(text);
}

}  // namespace kambrix
