// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the stores of the tables added after the first release share: running their work in
// the caller's transaction (or one of their own), optional numbers to and from a row, and
// telling whether a file read as it stands already has a table a later version added.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>

namespace kambrix {

// Runs `work` inside the connection's open transaction, or inside one of its own when none
// is open (committed when it returns, rolled back when it throws).
template <class F>
void inOneTransaction(quarvex::Connection& con, F&& work) {
    if (con.InTransaction()) {
        work();
    } else {
        quarvex::inTransaction(con, work);
    }
}

// A number for a statement, written to the last bit (read back as the same double), or
// NULL for none.
std::string numberOrNull(const std::optional<double>& v);
// A stored number, or none for NULL or a value that is not finite.
std::optional<double> optionalNumber(const quarvex::FieldValue& v);

// Whether the database has the table (a file of an earlier version, read as it stands, may
// lack one).
bool hasTable(quarvex::Connection& con, const std::string& table);

}  // namespace kambrix
