// SPDX-License-Identifier: GPL-3.0-or-later
#include <sqlite3.h>

#include <quarvex/quarvex.h>
#include <algorithm>
#include <filesystem>
#include <set>

#include "db/text_util.h"

namespace quarvex {
namespace {

constexpr const char* kProvider = "SQLite";

// Finalizes a prepared statement on every path out of the scope.
struct Statement {
    sqlite3_stmt* stmt = nullptr;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt); }
};

bool isIdentChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

std::string quoted(const std::string& s, char q) {
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

bool looksLikePath(const std::string& name) {
    return name.find('/') != std::string::npos || name.find('\\') != std::string::npos;
}

bool onlyBlanksAndSemicolons(const char* p, const char* end) {
    for (; p < end; ++p) {
        if (!db::isBlank(*p) && *p != ';') {
            return false;
        }
    }
    return true;
}

// Walks the statement text outside quoted literals and comments: replaces the token
// @@IDENTITY by last_insert_rowid() and reports every "[name]" directly followed by "."
// (a schema name) to `schema`.
template <class F>
std::string rewrite(const std::string& sql, F&& schema) {
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
        } else if (c == '[') {
            const std::size_t j = sql.find(']', i + 1);
            if (j == std::string::npos) {
                copyUntil(n);
            } else {
                if (j + 1 < n && sql[j + 1] == '.') {
                    schema(sql.substr(i + 1, j - i - 1));
                }
                copyUntil(j + 1);
            }
        } else if (c == '@' && i + 10 <= n && db::equalsNoCase(sql.substr(i, 10), "@@identity") &&
                   (i + 10 == n || !isIdentChar(sql[i + 10])) &&
                   (i == 0 || !isIdentChar(sql[i - 1]))) {
            out += "last_insert_rowid()";
            i += 10;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace

struct Connection::Impl {
    sqlite3* db = nullptr;
    std::set<std::string> attached;  // schema names, lower case

    [[noreturn]] void fail(std::int32_t number, const std::string& sql) const {
        std::string detail = db ? sqlite3_errmsg(db) : "no connection";
        if (!sql.empty()) {
            detail += " [SQL: " + sql + "]";
        }
        Exceptions::Throw(number, detail);
    }

    // Runs one piece of statement text without rows (pragmas, transaction control, ATTACH).
    void exec(const std::string& sql) const {
        char* msg = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
            std::string detail = msg ? msg : sqlite3_errmsg(db);
            sqlite3_free(msg);
            Exceptions::Throw(errc::DatabaseStatementFailed, detail + " [SQL: " + sql + "]");
        }
    }

    void attachIfFile(const std::string& name) {
        const std::string key = db::lower(name);
        if (key == "main" || key == "temp" || attached.count(key) != 0) {
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
        exec("ATTACH DATABASE " + quoted(name, '\'') + " AS " + quoted(name, '"'));
        attached.insert(key);
    }
};

std::pair<std::string, std::string> parseConnectionString(const std::string& cs) {
    std::string provider;
    std::optional<std::string> source;
    std::size_t i = 0;
    const std::size_t n = cs.size();
    while (i < n) {
        const std::size_t eq = cs.find('=', i);
        const std::size_t semi = cs.find(';', i);
        if (eq == std::string::npos || (semi != std::string::npos && semi < eq)) {
            // A part without "=": only blanks are tolerated (for instance a trailing ";").
            const std::size_t end = semi == std::string::npos ? n : semi;
            if (!db::trim(cs.substr(i, end - i)).empty()) {
                Exceptions::Throw(errc::InvalidArgument,
                                  "connection string part without '=': " + cs);
            }
            i = end + 1;
            continue;
        }
        const std::string key = db::lower(db::trim(cs.substr(i, eq - i)));
        std::size_t j = eq + 1;
        while (j < n && db::isBlank(cs[j])) {
            ++j;
        }
        std::string value;
        if (j < n && cs[j] == '"') {
            // A quoted value may hold ";"; a doubled quote stands for one.
            ++j;
            while (j < n) {
                if (cs[j] == '"') {
                    if (j + 1 < n && cs[j + 1] == '"') {
                        value += '"';
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += cs[j++];
            }
            if (j >= n) {
                Exceptions::Throw(errc::InvalidArgument, "unterminated quote in: " + cs);
            }
            const std::size_t end = cs.find(';', j + 1);
            if (!db::trim(cs.substr(j + 1, (end == std::string::npos ? n : end) - j - 1)).empty()) {
                Exceptions::Throw(errc::InvalidArgument, "text after a quoted value in: " + cs);
            }
            i = end == std::string::npos ? n : end + 1;
        } else {
            const std::size_t end = semi == std::string::npos ? n : semi;
            value = db::trim(cs.substr(j, end - j));
            i = end + 1;
        }
        if (key == "provider") {
            provider = value;
        } else if (key == "data source") {
            source = value;
        }
    }
    if (!source || source->empty()) {
        Exceptions::Throw(errc::InvalidArgument, "no Data Source in: " + cs);
    }
    return {provider, *source};
}

std::string makeConnectionString(const std::string& path) {
    const bool needsQuotes =
        path.find(';') != std::string::npos || path.find('"') == 0 ||
        (!path.empty() && (db::isBlank(path.front()) || db::isBlank(path.back())));
    return std::string("Provider=") + kProvider +
           ";Data Source=" + (needsQuotes ? quoted(path, '"') : path);
}

Connection::Connection() : impl_(std::make_unique<Impl>()) {}

Connection::Connection(const std::string& connectionString) : Connection() {
    setConnectionString(connectionString);
}

Connection::~Connection() {
    Close();
}

void Connection::setConnectionString(const std::string& connectionString) {
    connectionString_ = connectionString;
}

void Connection::Open(const std::string& connectionString) {
    setConnectionString(connectionString);
    Open();
}

void Connection::Open() {
    if (IsOpen()) {
        Exceptions::Throw(errc::DatabaseOpenFailed, "the connection is already open");
    }
    const auto [provider, path] = parseConnectionString(connectionString_);
    if (!db::equalsNoCase(provider, kProvider)) {
        Exceptions::Throw(errc::DatabaseUnknownProvider, "'" + provider + "'");
    }
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
    impl_->db = handle;
    dataSource_ = path;
    try {
        sqlite3_busy_timeout(handle, busyTimeout_ms_);
        sqlite3_extended_result_codes(handle, 1);
        // The schema declares no foreign keys; reading the schema here makes a file that
        // is not a database fail at Open rather than at the first statement.
        impl_->exec("PRAGMA foreign_keys = OFF; SELECT count(*) FROM sqlite_master;");
    } catch (const Error& e) {
        Close();
        Exceptions::Throw(errc::DatabaseOpenFailed, std::string(e.what()) + ": " + path);
    }
}

void Connection::setBusyTimeout(int milliseconds) {
    busyTimeout_ms_ = std::max(0, milliseconds);
    if (IsOpen()) {
        sqlite3_busy_timeout(impl_->db, busyTimeout_ms_);
    }
}

bool Connection::IsOpen() const noexcept {
    return impl_ && impl_->db != nullptr;
}

void Connection::Close() noexcept {
    if (!IsOpen()) {
        return;
    }
    if (sqlite3_get_autocommit(impl_->db) == 0) {
        sqlite3_exec(impl_->db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(impl_->db);
    impl_->db = nullptr;
    impl_->attached.clear();
    inTransaction_ = false;
}

RecordSet Connection::Execute(const std::string& sql) {
    if (!IsOpen()) {
        Exceptions::Throw(errc::DatabaseNotOpen, sql);
    }
    // SQLite ends the statement text at a NUL byte: what follows would be dropped silently
    // (or, outside a literal, never consumed).
    if (sql.find('\0') != std::string::npos) {
        Exceptions::Throw(
            errc::DatabaseStatementFailed,
            "the statement text holds a NUL byte at position " + std::to_string(sql.find('\0')));
    }
    // Keep the transaction flag in step with SQLite, which may roll back by itself after
    // some failures (disk full, interrupted).
    struct SyncFlag {
        Connection& con;
        ~SyncFlag() { con.inTransaction_ = sqlite3_get_autocommit(con.impl_->db) == 0; }
    } sync{*this};

    const std::string text =
        rewrite(sql, [this](const std::string& name) { impl_->attachIfFile(name); });
    RecordSet result;
    const char* tail = text.c_str();
    const char* const end = text.c_str() + text.size();
    while (!onlyBlanksAndSemicolons(tail, end)) {
        Statement st;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(impl_->db, tail, static_cast<int>(end - tail), &st.stmt, &next) !=
            SQLITE_OK) {
            impl_->fail(errc::DatabaseStatementFailed, text);
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
        for (int c = 0; c < ncol; ++c) {
            const char* name = sqlite3_column_name(st.stmt, c);
            rows.columns_.emplace_back(name ? name : "");
        }
        for (;;) {
            const int rc = sqlite3_step(st.stmt);
            if (rc == SQLITE_DONE) {
                break;
            }
            if (rc != SQLITE_ROW) {
                impl_->fail(errc::DatabaseStatementFailed, db::trim(piece));
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
            rows.rows_.push_back(std::move(row));
        }
        if (ncol > 0) {
            result = std::move(rows);
        }
    }
    return result;
}

void Connection::BeginTrans() {
    if (!IsOpen()) {
        Exceptions::Throw(errc::DatabaseNotOpen, "BEGIN");
    }
    if (inTransaction_) {
        Exceptions::Throw(errc::DatabaseTransactionState, "a transaction is already open");
    }
    Execute("BEGIN IMMEDIATE");
}

void Connection::CommitTrans() {
    if (!IsOpen()) {
        Exceptions::Throw(errc::DatabaseNotOpen, "COMMIT");
    }
    if (!inTransaction_) {
        Exceptions::Throw(errc::DatabaseTransactionState, "no transaction to commit");
    }
    Execute("COMMIT");
}

void Connection::RollbackTrans() {
    if (!IsOpen()) {
        Exceptions::Throw(errc::DatabaseNotOpen, "ROLLBACK");
    }
    if (!inTransaction_) {
        Exceptions::Throw(errc::DatabaseTransactionState, "no transaction to roll back");
    }
    Execute("ROLLBACK");
}

}  // namespace quarvex
