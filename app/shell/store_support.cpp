// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/store_support.h"

namespace kambrix {

bool hasTable(quarvex::Connection& con, const std::string& table) {
    quarvex::RecordSet rs = con.Execute(quarvex::bindParameters(
        "SELECT count(*) AS n FROM sqlite_master WHERE type='table' AND name=?",
        {quarvex::sqlQuote(table)}));
    return !rs.IsEOF() && quarvex::nullToZero(rs["n"]) > 0;
}

}  // namespace kambrix
