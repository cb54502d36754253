// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <charconv>
#include <cmath>

namespace quarvex {

std::string bindParameters(const std::string& sqlTemplate, const std::vector<std::string>& values) {
    std::string out = sqlTemplate;
    std::size_t from = 0;
    for (const auto& v : values) {
        const std::size_t at = out.find('?', from);
        if (at == std::string::npos) {
            break;
        }
        out.replace(at, 1, v);
        from = at + v.size();
    }
    return out;
}

std::string numberText(double x) {
    char buf[64];
    std::to_chars_result r =
        std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
    if (r.ec != std::errc()) {
        return "0";
    }
    // Near the largest double, rounding to 15 digits goes past it ("1.79769313486232e+308"),
    // and that text would read back as no number at all. Such a value takes the shortest
    // text that reads back exactly.
    double back = 0;
    if (std::isfinite(x) &&
        std::from_chars(buf, r.ptr, back).ec == std::errc::result_out_of_range) {
        r = std::to_chars(buf, buf + sizeof buf, x);
    }
    return std::string(buf, r.ptr);
}

std::string sqlNumber(double x) {
    if (!std::isfinite(x)) {
        Exceptions::Throw(errc::NumberNotFinite, std::isnan(x) ? "NaN" : "infinity");
    }
    return numberText(x);  // always reads back finite
}

std::string sqlEscape(const std::string& s) {
    std::string out;
    out.reserve(s.size() + 2);
    for (char c : s) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out;
}

std::string sqlQuote(const std::string& s) {
    return "'" + sqlEscape(s) + "'";
}

std::string sqlBool(bool b) {
    return b ? "true" : "false";
}

std::string joinTables(const std::vector<std::string>& list) {
    if (list.empty()) {
        return {};
    }
    std::string join = list.front();
    for (std::size_t i = 1; i < list.size(); ++i) {
        join = "(" + join + " INNER JOIN " + list[i] + ")";
    }
    return join;
}

int lastIdentity(Connection& con) {
    RecordSet rs = con.Execute("Select @@IDENTITY as id;");
    return rs.Field("id").AsInt();
}

double nullToZero(const FieldValue& v) {
    return v.IsNull() ? 0.0 : v.AsDouble();
}

std::string nullToText(const FieldValue& v) {
    return v.IsNull() ? std::string() : v.AsString();
}

bool nullToFalse(const FieldValue& v) {
    return v.IsNull() ? false : v.AsBool();
}

std::string sqlTextOrNull(const std::string& s) {
    return (s == "''" || s == "##") ? std::string("null") : s;
}

std::string sqlNumberOrNull(const std::string& v) {
    // Read with from_chars, which ignores the locale: under a decimal-comma locale strtod
    // would read "0.5" as 0 and the value would be stored as null.
    const std::size_t b = v.find_first_not_of(" \t");
    if (b == std::string::npos) {
        return "null";
    }
    const char* first = v.data() + b;
    if (*first == '+') {
        ++first;
    }
    double x = 0;
    auto [ptr, ec] = std::from_chars(first, v.data() + v.size(), x);
    return (ec != std::errc() || ptr == first || x == 0.0) ? std::string("null") : v;
}

}  // namespace quarvex
