// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/store_support.h"

#include <cmath>

#include "shell/number_text.h"

namespace kambrix {

std::string numberOrNull(const std::optional<double>& v) {
    return v ? roundTripText(*v) : std::string("NULL");
}

std::optional<double> optionalNumber(const quarvex::FieldValue& v) {
    if (v.IsNull()) {
        return std::nullopt;
    }
    const double x = v.AsDouble();
    if (!std::isfinite(x)) {
        return std::nullopt;
    }
    return x;
}

bool hasTable(quarvex::Connection& con, const std::string& table) {
    quarvex::RecordSet rs = con.Execute(quarvex::bindParameters(
        "SELECT count(*) AS n FROM sqlite_master WHERE type='table' AND name=?",
        {quarvex::sqlQuote(table)}));
    return !rs.IsEOF() && quarvex::nullToZero(rs["n"]) > 0;
}

}  // namespace kambrix
