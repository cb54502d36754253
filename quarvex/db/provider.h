// SPDX-License-Identifier: GPL-3.0-or-later
// The database engines behind a Connection: one small interface, an SQLite and a
// PostgreSQL implementation, each with its own dialect of the statements the stores write.
#pragma once

#include <quarvex/quarvex.h>

#include <memory>
#include <string>
#include <vector>

namespace quarvex {

// Lets a provider fill a record set.
struct RecordSetAccess {
    static void setColumns(RecordSet& rs, std::vector<std::string> columns) {
        rs.columns_ = std::move(columns);
    }
    static void addRow(RecordSet& rs, std::vector<FieldValue> row) {
        rs.rows_.push_back(std::move(row));
    }
};

namespace db {

class Provider {
  public:
    virtual ~Provider() = default;
    // The statement text (one or several separated by ";"): the rows of the last statement
    // that returns rows. Failures raise errc::DatabaseStatementFailed (or
    // errc::DatabaseFileMissing for an SQLite "[<path>]." file that is missing).
    virtual RecordSet execute(const std::string& sql) = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // The engine's own view: a transaction is open (also one a failure has spoiled).
    virtual bool inTransaction() const noexcept = 0;
    virtual void setBusyTimeout(int milliseconds) = 0;
    virtual bool isServer() const noexcept = 0;
};

// Opens the file; errors as Connection::Open describes them.
std::unique_ptr<Provider> openSqlite(const std::string& path, int busyTimeout_ms);
// Connects to the server and selects the schema (may be empty).
std::unique_ptr<Provider> openPostgres(const std::string& uri, const std::string& schema,
                                       int busyTimeout_ms);

// Walks statement text outside quoted literals and comments, handing every other character
// run to `visit(text, i)`, which returns how many characters it consumed (0: copy one
// character as it is). Literals and comments are copied unchanged.
template <class F>
std::string rewriteOutsideLiterals(const std::string& sql, F&& visit) {
    std::string out;
    out.reserve(sql.size() + 16);
    const std::size_t n = sql.size();
    std::size_t i = 0;
    auto copyUntil = [&](std::size_t end) {
        out.append(sql, i, end - i);
        i = end;
    };
    while (i < n) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '`') {
            std::size_t j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;  // doubled quote inside the literal
                        continue;
                    }
                    break;
                }
                ++j;
            }
            copyUntil(std::min(n, j + 1));
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            const std::size_t j = sql.find('\n', i);
            copyUntil(j == std::string::npos ? n : j);
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const std::size_t j = sql.find("*/", i + 2);
            copyUntil(j == std::string::npos ? n : j + 2);
        } else {
            const std::size_t used = visit(out, i);
            if (used == 0) {
                out += c;
                ++i;
            } else {
                i += used;
            }
        }
    }
    return out;
}

inline bool isIdentChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace db
}  // namespace quarvex
