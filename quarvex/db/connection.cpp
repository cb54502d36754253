// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <algorithm>
#include <map>

#include "db/provider.h"
#include "db/text_util.h"

namespace quarvex {
namespace {

constexpr const char* kProvider = "SQLite";
constexpr const char* kServerProvider = "PostgreSQL";

// A connection-string value, quoted when it would not read back as it stands.
std::string partValue(const std::string& value) {
    const bool needsQuotes =
        value.find(';') != std::string::npos || value.find('"') == 0 ||
        (!value.empty() && (db::isBlank(value.front()) || db::isBlank(value.back())));
    return needsQuotes ? db::quoted(value, '"') : value;
}

// Every "key=value" part of a connection string, keys in lower case.
std::map<std::string, std::string> connectionParts(const std::string& cs) {
    std::map<std::string, std::string> parts;
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
                                  "connection string part without '=': " + withoutPassword(cs));
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
                Exceptions::Throw(errc::InvalidArgument,
                                  "unterminated quote in: " + withoutPassword(cs));
            }
            const std::size_t end = cs.find(';', j + 1);
            if (!db::trim(cs.substr(j + 1, (end == std::string::npos ? n : end) - j - 1)).empty()) {
                Exceptions::Throw(errc::InvalidArgument,
                                  "text after a quoted value in: " + withoutPassword(cs));
            }
            i = end == std::string::npos ? n : end + 1;
        } else {
            const std::size_t end = semi == std::string::npos ? n : semi;
            value = db::trim(cs.substr(j, end - j));
            i = end + 1;
        }
        parts[key] = value;
    }
    return parts;
}

}  // namespace

std::pair<std::string, std::string> parseConnectionString(const std::string& cs) {
    const auto parts = connectionParts(cs);
    const auto source = parts.find("data source");
    if (source == parts.end() || source->second.empty()) {
        Exceptions::Throw(errc::InvalidArgument, "no Data Source in: " + withoutPassword(cs));
    }
    const auto provider = parts.find("provider");
    return {provider == parts.end() ? std::string() : provider->second, source->second};
}

std::string connectionStringPart(const std::string& cs, const std::string& key) {
    const auto parts = connectionParts(cs);
    const auto found = parts.find(db::lower(key));
    return found == parts.end() ? std::string() : found->second;
}

std::string makeConnectionString(const std::string& path) {
    return std::string("Provider=") + kProvider + ";Data Source=" + partValue(path);
}

std::string makeServerConnectionString(const std::string& uri, const std::string& schema) {
    return std::string("Provider=") + kServerProvider + ";Data Source=" + partValue(uri) +
           ";Schema=" + partValue(schema);
}

bool isServerUri(const std::string& text) {
    const std::string t = db::lower(db::trim(text));
    return t.rfind("postgresql://", 0) == 0 || t.rfind("postgres://", 0) == 0;
}

std::string withoutPassword(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    const std::string folded = db::lower(text);
    while (i < text.size()) {
        const std::size_t a = folded.find("postgresql://", i);
        const std::size_t b = folded.find("postgres://", i);
        const std::size_t at = std::min(a, b);
        if (at == std::string::npos) {
            out.append(text, i, std::string::npos);
            break;
        }
        const std::size_t hostStart = text.find("//", at) + 2;
        out.append(text, i, hostStart - i);
        // The URI runs to the first blank or quote.
        std::size_t end = hostStart;
        while (end < text.size() && !db::isBlank(text[end]) && text[end] != '"' &&
               text[end] != '\'' && text[end] != ';') {
            ++end;
        }
        std::string uri = text.substr(hostStart, end - hostStart);
        // user:password@host: the part between the first ':' and the last '@' before the path.
        const std::size_t pathStart = uri.find_first_of("/?");
        const std::size_t atSign =
            uri.rfind('@', pathStart == std::string::npos ? uri.npos : pathStart);
        if (atSign != std::string::npos) {
            const std::size_t colon = uri.find(':');
            if (colon != std::string::npos && colon < atSign) {
                uri.erase(colon, atSign - colon);
            }
        }
        // A "password=" option of the query.
        if (const std::size_t q = uri.find('?'); q != std::string::npos) {
            std::string kept;
            std::size_t from = q + 1;
            while (from <= uri.size()) {
                std::size_t to = uri.find('&', from);
                if (to == std::string::npos) {
                    to = uri.size();
                }
                const std::string option = uri.substr(from, to - from);
                if (!option.empty() && db::lower(option).rfind("password=", 0) != 0) {
                    kept += (kept.empty() ? "" : "&") + option;
                }
                from = to + 1;
            }
            uri.erase(q);
            if (!kept.empty()) {
                uri += "?" + kept;
            }
        }
        out += uri;
        i = end;
    }
    return out;
}

struct Connection::Impl {
    std::unique_ptr<db::Provider> provider;
};

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
    const auto [provider, source] = parseConnectionString(connectionString_);
    if (db::equalsNoCase(provider, kProvider)) {
        impl_->provider = db::openSqlite(source, busyTimeout_ms_);
        dataSource_ = source;
    } else if (db::equalsNoCase(provider, kServerProvider)) {
        impl_->provider = db::openPostgres(
            source, connectionStringPart(connectionString_, "Schema"), busyTimeout_ms_);
        dataSource_ = withoutPassword(source);
    } else {
        Exceptions::Throw(errc::DatabaseUnknownProvider, "'" + provider + "'");
    }
    inTransaction_ = false;
}

void Connection::setBusyTimeout(int milliseconds) {
    busyTimeout_ms_ = std::max(0, milliseconds);
    if (IsOpen()) {
        impl_->provider->setBusyTimeout(busyTimeout_ms_);
    }
}

bool Connection::IsOpen() const noexcept {
    return impl_ && impl_->provider != nullptr;
}

bool Connection::isServer() const noexcept {
    return IsOpen() && impl_->provider->isServer();
}

void Connection::Close() noexcept {
    if (!IsOpen()) {
        return;
    }
    impl_->provider.reset();  // rolls back an open transaction
    inTransaction_ = false;
}

RecordSet Connection::Execute(const std::string& sql) {
    if (!IsOpen()) {
        Exceptions::Throw(errc::DatabaseNotOpen, sql);
    }
    // SQLite ends the statement text at a NUL byte, a server refuses it: what follows would
    // be dropped silently (or, outside a literal, never consumed).
    if (sql.find('\0') != std::string::npos) {
        Exceptions::Throw(
            errc::DatabaseStatementFailed,
            "the statement text holds a NUL byte at position " + std::to_string(sql.find('\0')));
    }
    // Keep the transaction flag in step with the engine, which may roll back by itself after
    // some failures (disk full, interrupted, a lost server).
    struct SyncFlag {
        Connection& con;
        ~SyncFlag() { con.inTransaction_ = con.impl_->provider->inTransaction(); }
    } sync{*this};
    return impl_->provider->execute(sql);
}

void Connection::BeginTrans() {
    if (!IsOpen()) {
        Exceptions::Throw(errc::DatabaseNotOpen, "BEGIN");
    }
    if (inTransaction_) {
        Exceptions::Throw(errc::DatabaseTransactionState, "a transaction is already open");
    }
    struct SyncFlag {
        Connection& con;
        ~SyncFlag() { con.inTransaction_ = con.impl_->provider->inTransaction(); }
    } sync{*this};
    impl_->provider->begin();
}

void Connection::CommitTrans() {
    if (!IsOpen()) {
        Exceptions::Throw(errc::DatabaseNotOpen, "COMMIT");
    }
    if (!inTransaction_) {
        Exceptions::Throw(errc::DatabaseTransactionState, "no transaction to commit");
    }
    struct SyncFlag {
        Connection& con;
        ~SyncFlag() { con.inTransaction_ = con.impl_->provider->inTransaction(); }
    } sync{*this};
    impl_->provider->commit();
}

void Connection::RollbackTrans() {
    if (!IsOpen()) {
        Exceptions::Throw(errc::DatabaseNotOpen, "ROLLBACK");
    }
    if (!inTransaction_) {
        Exceptions::Throw(errc::DatabaseTransactionState, "no transaction to roll back");
    }
    struct SyncFlag {
        Connection& con;
        ~SyncFlag() { con.inTransaction_ = con.impl_->provider->inTransaction(); }
    } sync{*this};
    impl_->provider->rollback();
}

}  // namespace quarvex
