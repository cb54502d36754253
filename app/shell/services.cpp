// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/services.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <string_view>

namespace kambrix {

namespace {

bool isBlankChar(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the leading number of `s` (no blanks in it): sign, digits, one point,
// digits, and an exponent only when digits follow it.
std::size_t leadingNumberLength(const std::string& s, bool& anyDigit) {
    std::size_t i = 0;
    anyDigit = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            anyDigit = true;
        }
    }
    if (anyDigit && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

std::string withPointAndNoBlanks(const std::string& text, char decimalSeparator) {
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (isBlankChar(c)) {
            continue;
        }
        s += (c == decimalSeparator) ? '.' : c;
    }
    return s;
}

// The power of ten of the leading significant digit of a point number without blanks
// ("1e-400" is -400, "12.5e3" is 4, "0.001" is -3); 0 for a number without a non-zero digit.
long long decimalMagnitude(std::string_view s) {
    const auto e = s.find_first_of("eE");
    const std::string_view mantissa = s.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        const std::string_view ex = s.substr(e + 1);
        const bool neg = !ex.empty() && ex[0] == '-';
        for (char c : ex) {
            if (c >= '0' && c <= '9') {
                // Saturate: only the sign of the result matters for huge exponents.
                exponent = std::min<long long>(exponent * 10 + (c - '0'), 1'000'000'000LL);
            }
        }
        exponent = neg ? -exponent : exponent;
    }
    const auto point = mantissa.find('.');
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) {
        return 0;
    }
    const long long intDigits =
        static_cast<long long>(point == std::string_view::npos ? mantissa.size() : point);
    const long long pos = static_cast<long long>(first);
    // A sign, when present, counts in both positions and cancels out.
    const long long power = pos < intDigits ? intDigits - 1 - pos : intDigits - pos;
    return power + exponent;
}

double readPointNumber(const std::string& s, std::size_t length) {
    double x = 0;
    const char* begin = s.data();
    if (length > 0 && *begin == '+') {
        ++begin;
        --length;
    }
    const auto result = std::from_chars(begin, begin + length, x);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range both ways: a number below the smallest subnormal reads as 0, one above
        // the largest double as an infinity (from_chars leaves x unchanged in both cases).
        const bool negative = length > 0 && *begin == '-';
        if (decimalMagnitude(std::string_view(begin, length)) < 0) {
            return negative ? -0.0 : 0.0;
        }
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    return result.ec == std::errc() ? x : 0.0;
}

}  // namespace

std::string trim(const std::string& text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isBlankChar(text[b])) {
        ++b;
    }
    while (e > b && isBlankChar(text[e - 1])) {
        --e;
    }
    return text.substr(b, e - b);
}

bool isBlank(const std::string& text) {
    return trim(text).empty();
}

double parseNumber(const std::string& text, char decimalSeparator) {
    const std::string s = withPointAndNoBlanks(text, decimalSeparator);
    bool anyDigit = false;
    const std::size_t n = leadingNumberLength(s, anyDigit);
    return anyDigit ? readPointNumber(s, n) : 0.0;
}

bool isNumberText(const std::string& text, char decimalSeparator) {
    const std::string t = trim(text);
    std::string s;
    for (char c : t) {
        s += (c == decimalSeparator) ? '.' : c;
    }
    bool anyDigit = false;
    const std::size_t n = leadingNumberLength(s, anyDigit);
    return anyDigit && n == s.size();
}

std::string toLocaleText(const std::string& text, char decimalSeparator) {
    std::string out = text;
    for (char& c : out) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
    return out;
}

std::string incompleteMessage(const std::string& item) {
    return "The information for " + item + " is incomplete";
}

std::string requirementMessage(const std::vector<std::string>& texts) {
    std::string joined;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            joined += " and ";
        }
        joined += texts[i];
    }
    return "It must be given " + joined;
}

std::string sqlDate(const std::string& value) {
    return "#" + value + "#";
}

std::string sqlNullIf(bool condition, const std::string& value) {
    return condition ? std::string("null") : value;
}

std::string sqlDoubleOrNull(double value) {
    return value == kMissing ? std::string("null") : quarvex::sqlNumber(value);
}

std::string sqlNumberOrNull(double value) {
    return value == 0.0 ? std::string("null") : quarvex::sqlNumber(value);
}

double nullToMissing(const quarvex::FieldValue& value) {
    return value.IsNull() ? kMissing : value.AsDouble();
}

quarvex::Collection<quarvex::TableSchema> tableDefinitions() {
    struct Definition {
        const char* name;
        std::vector<std::string> columns;
    };
    const std::vector<Definition> definitions = {
        {"projectos",
         {"designacao", "propietario", "areaParcela", "P", "Q", "cotaCentro", "pipe_material_id",
          "cota_central", "voladizo", "gun", "gun_rs", "horas_de_operacao_diaria"}},
        {"tramos",
         {"projecto_id", "tramo_id", "ordem", "denominacion", "longitud", "diametro",
          "separacion_saidas", "cota"}},
        {"Valley", {"denominacion", "longitud", "diametro", "separacion_saidas", "id_marca"}},
        {"tb_marcas", {"marca"}},
        {"tb_agronomico", {"kf", "Etc", "Pe", "id_sistema"}},
        {"tovren_agronomics", {"Qfc", "hours_per_day", "id_sistema"}},
        {"epa_datas", {"Pa", "CU", "Eto", "U", "CI", "Oe", "id_sistema"}},
        {"pipe_materials", {"name", "rugosidade"}},
    };
    quarvex::Collection<quarvex::TableSchema> out;
    for (const auto& d : definitions) {
        out.Add(quarvex::TableSchema(d.name, d.columns, "id"), std::string(d.name));
    }
    return out;
}

}  // namespace kambrix
