// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/text.h"

#include <cstdio>

namespace kambrix {

namespace {

// Length of the well-formed UTF-8 sequence starting at text[i], or 0 when it is not one.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) {
        return 1;
    }
    std::size_t n = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        lo = c == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        hi = c == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + n > text.size()) {
        return 0;
    }
    if (byte(i + 1) < lo || byte(i + 1) > hi) {
        return 0;
    }
    for (std::size_t k = 2; k < n; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) {
            return 0;
        }
    }
    return n;
}

std::string hexEscape(unsigned char c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
    return buffer;
}

}  // namespace

bool validUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = utf8Length(text, i);
        if (n == 0) {
            return false;
        }
        i += n;
    }
    return true;
}

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = utf8Length(text, i);
        if (n == 0) {
            out += hexEscape(c);
            ++i;
            continue;
        }
        if (n == 1 && (c < 0x20 || c == 0x7f)) {
            out += hexEscape(c);
            ++i;
            continue;
        }
        // C1 controls (U+0080–U+009F) also steer terminals.
        if (n == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            out += "\\u00" + hexEscape(static_cast<unsigned char>(text[i + 1])).substr(2);
            i += 2;
            continue;
        }
        out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

std::string shortPrintable(std::string_view text, std::size_t maxCharacters) {
    // Count characters, not bytes, so a cut never splits one.
    std::size_t characters = 0;
    std::size_t cut = text.size();
    for (std::size_t i = 0; i < text.size();) {
        if (characters == maxCharacters) {
            cut = i;
        }
        const std::size_t n = utf8Length(text, i);
        i += n == 0 ? 1 : n;
        ++characters;
    }
    if (characters <= maxCharacters) {
        return printableText(text);
    }
    return printableText(text.substr(0, cut)) + "… (" + std::to_string(characters) + " characters)";
}

std::string safeFileName(std::string_view name, std::string_view extension,
                         std::string_view fallback) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size() && characters < 100;) {
        const auto c = static_cast<unsigned char>(name[i]);
        const std::size_t n = utf8Length(name, i);
        const bool c1 = n == 2 && c == 0xC2 && static_cast<unsigned char>(name[i + 1]) < 0xA0;
        if (n == 0 || c1 || c < 0x20 || c == 0x7f ||
            std::string_view("/\\<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos) {
            out += '_';
            i += n == 0 ? 1 : n;
        } else {
            out.append(name.substr(i, n));
            i += n;
        }
        ++characters;
    }
    const auto first = out.find_first_not_of(". ");
    out = first == std::string::npos ? std::string() : out.substr(first);
    while (!out.empty() && (out.back() == ' ' || out.back() == '.')) {
        out.pop_back();
    }
    if (out.empty()) {
        out = std::string(fallback);
    }
    return out + std::string(extension);
}

}  // namespace kambrix
