// SPDX-License-Identifier: GPL-3.0-or-later
// Small text helpers of the database layer (ASCII case folding, as SQLite folds names).
#pragma once

#include <algorithm>
#include <string>

namespace quarvex::db {

inline char lowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), lowerChar);
    return s;
}

inline bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerChar(x) == lowerChar(y);
           });
}

inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

inline std::string trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isBlank(s[b])) {
        ++b;
    }
    while (e > b && isBlank(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

// The text between two `q`, every `q` inside doubled (an SQL literal or identifier, a
// quoted connection-string value).
inline std::string quoted(const std::string& s, char q) {
    std::string out(1, q);
    for (char c : s) {
        out += c;
        if (c == q) {
            out += q;
        }
    }
    out += q;
    return out;
}

}  // namespace quarvex::db
