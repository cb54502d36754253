// SPDX-License-Identifier: GPL-3.0-or-later
// The SQLite provider: one database file, further files attached by "[<path>]." references.
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "db/provider.h"
#include "db/text_util.h"

namespace quarvex::db {
namespace {

// Finalizes a prepared statement on every path out of the scope.
struct Statement {
    sqlite3_stmt* stmt = nullptr;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt); }
};

bool looksLikePath(const std::string& name) {
    return name.find('/') != std::string::npos || name.find('\\') != std::string::npos;
}

bool onlyBlanksAndSemicolons(const char* p, const char* end) {
    for (; p < end; ++p) {
        if (!isBlank(*p) && *p != ';') {
            return false;
        }
    }
    return true;
}

// Replaces the token @@IDENTITY by last_insert_rowid() and reports every "[name]" directly
// followed by "." (a schema name) to `schema`.
template <class F>
std::string rewrite(const std::string& sql, F&& schema) {
    const std::size_t n = sql.size();
    return rewriteOutsideLiterals(sql, [&](std::string& out, std::size_t i) -> std::size_t {
        const char c = sql[i];
        if (c == '[') {
            const std::size_t j = sql.find(']', i + 1);
            if (j == std::string::npos) {
                out.append(sql, i, n - i);
                return n - i;
            }
            if (j + 1 < n && sql[j + 1] == '.') {
                schema(sql.substr(i + 1, j - i - 1));
            }
            out.append(sql, i, j + 1 - i);
            return j + 1 - i;
        }
        if (c == '@' && i + 10 <= n && equalsNoCase(sql.substr(i, 10), "@@identity") &&
            (i + 10 == n || !isIdentChar(sql[i + 10])) && (i == 0 || !isIdentChar(sql[i - 1]))) {
            out += "last_insert_rowid()";
            return 10;
        }
        return 0;
    });
}

class SqliteProvider final : public Provider {
  public:
    SqliteProvider(sqlite3* db, int busyTimeout_ms) : db_(db) {
        sqlite3_busy_timeout(db_, busyTimeout_ms);
        sqlite3_extended_result_codes(db_, 1);
    }
    ~SqliteProvider() override {
        if (sqlite3_get_autocommit(db_) == 0) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        sqlite3_close_v2(db_);
    }
    SqliteProvider(const SqliteProvider&) = delete;
    SqliteProvider& operator=(const SqliteProvider&) = delete;

    // Runs one piece of statement text without rows (pragmas, transaction control, ATTACH).
    void exec(const std::string& sql) const {
        char* msg = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
            std::string detail = msg ? msg : sqlite3_errmsg(db_);
            sqlite3_free(msg);
            Exceptions::Throw(errc::DatabaseStatementFailed, detail + " [SQL: " + sql + "]");
        }
    }

    RecordSet execute(const std::string& sql) override;
    void begin() override { execute("BEGIN IMMEDIATE"); }
    void commit() override { execute("COMMIT"); }
    void rollback() override { execute("ROLLBACK"); }
    bool inTransaction() const noexcept override { return sqlite3_get_autocommit(db_) == 0; }
    void setBusyTimeout(int milliseconds) override { sqlite3_busy_timeout(db_, milliseconds); }
    bool isServer() const noexcept override { return false; }

  private:
    [[noreturn]] void fail(const std::string& sql) const {
        std::string detail = sqlite3_errmsg(db_);
        if (!sql.empty()) {
            detail += " [SQL: " + sql + "]";
        }
        Exceptions::Throw(errc::DatabaseStatementFailed, detail);
    }

    void attachIfFile(const std::string& name) {
        const std::string key = lower(name);
        if (key == "main" || key == "temp" || attached_.count(key) != 0) {
            return;
        }
        std::error_code ec;
        const bool isFile = std::filesystem::is_regular_file(name, ec);
        if (!isFile) {
            if (looksLikePath(name) || std::filesystem::exists(name, ec)) {
                Exceptions::Throw(errc::DatabaseFileMissing, name);
            }
            return;  // an ordinary bracketed schema name; SQLite judges it
        }
        exec("ATTACH DATABASE " + db::quoted(name, '\'') + " AS " + db::quoted(name, '"'));
        attached_.insert(key);
    }

    sqlite3* db_;
    std::set<std::string> attached_;  // schema names, lower case
};

RecordSet SqliteProvider::execute(const std::string& sql) {
    const std::string text = rewrite(sql, [this](const std::string& name) { attachIfFile(name); });
    RecordSet result;
    const char* tail = text.c_str();
    const char* const end = text.c_str() + text.size();
    while (!onlyBlanksAndSemicolons(tail, end)) {
        Statement st;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(db_, tail, static_cast<int>(end - tail), &st.stmt, &next) !=
            SQLITE_OK) {
            fail(text);
        }
        if (next == nullptr || next <= tail) {
            // No progress on text SQLite does not take as a statement: refuse rather than
            // loop.
            Exceptions::Throw(errc::DatabaseStatementFailed,
                              "the statement text cannot be read past position " +
                                  std::to_string(tail - text.c_str()));
        }
        const std::string piece(tail, next);
        tail = next;
        if (st.stmt == nullptr) {
            continue;  // only a comment
        }
        const int ncol = sqlite3_column_count(st.stmt);
        RecordSet rows;
        std::vector<std::string> columns;
        for (int c = 0; c < ncol; ++c) {
            const char* name = sqlite3_column_name(st.stmt, c);
            columns.emplace_back(name ? name : "");
        }
        RecordSetAccess::setColumns(rows, std::move(columns));
        for (;;) {
            const int rc = sqlite3_step(st.stmt);
            if (rc == SQLITE_DONE) {
                break;
            }
            if (rc != SQLITE_ROW) {
                fail(trim(piece));
            }
            std::vector<FieldValue> row;
            row.reserve(static_cast<std::size_t>(ncol));
            for (int c = 0; c < ncol; ++c) {
                switch (sqlite3_column_type(st.stmt, c)) {
                    case SQLITE_INTEGER:
                        row.push_back(FieldValue::integer(sqlite3_column_int64(st.stmt, c)));
                        break;
                    case SQLITE_FLOAT:
                        row.push_back(FieldValue::real(sqlite3_column_double(st.stmt, c)));
                        break;
                    case SQLITE_NULL:
                        row.push_back(FieldValue::null());
                        break;
                    default: {  // text, and blobs read as their bytes
                        const auto* p = static_cast<const char*>(sqlite3_column_blob(st.stmt, c));
                        const int len = sqlite3_column_bytes(st.stmt, c);
                        row.push_back(FieldValue::text(
                            p ? std::string(p, static_cast<std::size_t>(len)) : ""));
                    }
                }
            }
            RecordSetAccess::addRow(rows, std::move(row));
        }
        if (ncol > 0) {
            result = std::move(rows);
        }
    }
    return result;
}

}  // namespace

std::unique_ptr<Provider> openSqlite(const std::string& path, int busyTimeout_ms) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        Exceptions::Throw(errc::DatabaseFileMissing, path);
    }
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const std::string msg = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
        sqlite3_close_v2(handle);
        Exceptions::Throw(std::filesystem::exists(path, ec) ? errc::DatabaseOpenFailed
                                                            : errc::DatabaseFileMissing,
                          msg + ": " + path);
    }
    auto provider = std::make_unique<SqliteProvider>(handle, busyTimeout_ms);
    try {
        // The schema declares no foreign keys; reading the schema here makes a file that
        // is not a database fail at Open rather than at the first statement.
        provider->exec("PRAGMA foreign_keys = OFF; SELECT count(*) FROM sqlite_master;");
    } catch (const Error& e) {
        Exceptions::Throw(errc::DatabaseOpenFailed, std::string(e.what()) + ": " + path);
    }
    return provider;
}

}  // namespace quarvex::db
