// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <charconv>
#include <cmath>
#include <limits>

#include "db/text_util.h"

namespace quarvex {
namespace {

// Reads a whole text (blanks around ignored) as a number with "." decimals, whatever the
// locale. Returns false when the text is not exactly one number.
bool readNumber(const std::string& s, double& out) {
    const std::string t = db::trim(s);
    if (t.empty()) {
        return false;
    }
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (*first == '+') {
        ++first;  // from_chars refuses a leading plus sign
    }
    const auto [ptr, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && ptr == last && std::isfinite(out);
}

// Rounds half to even, as the original engine converted a number to a whole number.
std::int64_t toWhole(double x, double lo, double hi) {
    const double r = std::nearbyint(x);
    if (!(r >= lo && r <= hi)) {
        Exceptions::Throw(errc::Overflow, "the number does not fit in a whole number");
    }
    return static_cast<std::int64_t>(r);
}

}  // namespace

FieldValue FieldValue::integer(std::int64_t v) {
    FieldValue f;
    f.kind_ = Kind::Integer;
    f.i_ = v;
    return f;
}

FieldValue FieldValue::real(double v) {
    FieldValue f;
    f.kind_ = Kind::Real;
    f.d_ = v;
    return f;
}

FieldValue FieldValue::text(std::string v) {
    FieldValue f;
    f.kind_ = Kind::Text;
    f.s_ = std::move(v);
    return f;
}

double FieldValue::AsDouble() const {
    switch (kind_) {
        case Kind::Integer:
            return static_cast<double>(i_);
        case Kind::Real:
            return d_;
        case Kind::Text: {
            double x = 0;
            if (readNumber(s_, x)) {
                return x;
            }
            Exceptions::Throw(errc::TypeMismatch, "the text '" + s_ + "' is not a number");
        }
        case Kind::Null:
            break;
    }
    Exceptions::Throw(errc::TypeMismatch, "the field is NULL");
}

std::int64_t FieldValue::AsLong() const {
    if (kind_ == Kind::Integer) {
        return i_;
    }
    // 2^63 is exactly representable; the largest double below it is the upper limit.
    constexpr double kHi = 9223372036854774784.0;
    constexpr double kLo = -9223372036854775808.0;
    return toWhole(AsDouble(), kLo, kHi);
}

int FieldValue::AsInt() const {
    constexpr auto kLo = static_cast<double>(std::numeric_limits<int>::min());
    constexpr auto kHi = static_cast<double>(std::numeric_limits<int>::max());
    if (kind_ == Kind::Integer) {
        return static_cast<int>(toWhole(static_cast<double>(i_), kLo, kHi));
    }
    return static_cast<int>(toWhole(AsDouble(), kLo, kHi));
}

bool FieldValue::AsBool() const {
    switch (kind_) {
        case Kind::Integer:
            return i_ != 0;
        case Kind::Real:
            return d_ != 0;
        case Kind::Text: {
            const std::string t = db::lower(db::trim(s_));
            if (t == "true") {
                return true;
            }
            if (t == "false") {
                return false;
            }
            double x = 0;
            if (readNumber(s_, x)) {
                return x != 0;
            }
            Exceptions::Throw(errc::TypeMismatch, "the text '" + s_ + "' is not a truth value");
        }
        case Kind::Null:
            break;
    }
    Exceptions::Throw(errc::TypeMismatch, "the field is NULL");
}

std::string FieldValue::AsString() const {
    switch (kind_) {
        case Kind::Integer:
            return std::to_string(i_);
        case Kind::Real: {
            char buf[64];
            const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, d_);
            if (ec != std::errc()) {
                Exceptions::Throw(errc::Overflow, "the number cannot be written as text");
            }
            return std::string(buf, ptr);
        }
        case Kind::Text:
            return s_;
        case Kind::Null:
            break;
    }
    Exceptions::Throw(errc::TypeMismatch, "the field is NULL");
}

void RecordSet::MoveNext() {
    if (IsEOF()) {
        Exceptions::Throw(errc::DatabaseNoCurrentRow, "MoveNext past the last row");
    }
    ++row_;
}

const FieldValue& RecordSet::Field(const std::string& name) const {
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (db::equalsNoCase(columns_[c], name)) {
            if (IsEOF()) {
                Exceptions::Throw(errc::DatabaseNoCurrentRow, "field '" + name + "'");
            }
            return rows_[row_][c];
        }
    }
    Exceptions::Throw(errc::DatabaseUnknownField, "'" + name + "'");
}

}  // namespace quarvex
