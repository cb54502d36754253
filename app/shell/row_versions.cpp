// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/row_versions.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "shell/errors.h"
#include "shell/store_support.h"

namespace kambrix {

const char* const kRowVersionsTableSql =
    "CREATE TABLE IF NOT EXISTS tb_row_versions (kind TEXT NOT NULL, row_key TEXT NOT NULL, "
    "version INTEGER NOT NULL, saved_by TEXT, saved_at TEXT, deleted INTEGER NOT NULL "
    "DEFAULT 0, PRIMARY KEY (kind, row_key));";

namespace {

constexpr const char* kTable = "tb_row_versions";

std::string quoted(std::string_view text) {
    return quarvex::sqlQuote(std::string(text));
}

std::string keyCondition(std::string_view kind, const std::string& key) {
    return "kind=" + quoted(kind) + " AND row_key=" + quoted(key);
}

RowStamp stampOf(const quarvex::RecordSet& rs) {
    RowStamp s;
    s.version = rs["version"].AsLong();
    s.savedBy = rs["saved_by"].IsNull() ? std::string() : rs["saved_by"].AsString();
    s.savedAt = rs["saved_at"].IsNull() ? std::string() : rs["saved_at"].AsString();
    s.deleted = !rs["deleted"].IsNull() && rs["deleted"].AsLong() != 0;
    return s;
}

std::string nowUtcText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

// The stored stamp of the key, locked for this transaction on a server (SQLite's write
// transaction already holds the whole file).
RowStamp lockedStamp(quarvex::Connection& con, std::string_view kind, const std::string& key) {
    // A row for every claimed key first, so two first saves of one record meet on the row's
    // lock instead of one of them failing on the key.
    con.Execute("INSERT INTO tb_row_versions (kind, row_key, version, deleted) VALUES (" +
                quoted(kind) + ", " + quoted(key) + ", 0, 0) ON CONFLICT DO NOTHING");
    quarvex::RecordSet rs =
        con.Execute("SELECT version, saved_by, saved_at, deleted FROM tb_row_versions WHERE " +
                    keyCondition(kind, key) + (con.isServer() ? " FOR UPDATE" : ""));
    return rs.IsEOF() ? RowStamp{} : stampOf(rs);
}

RowStamp writeStamp(quarvex::Connection& con, std::string_view kind, const std::string& key,
                    long long version, bool deleted) {
    RowStamp s{version, currentUserName(), nowUtcText(), deleted};
    con.Execute("UPDATE tb_row_versions SET version=" + std::to_string(version) +
                ", saved_by=" + quoted(s.savedBy) + ", saved_at=" + quoted(s.savedAt) +
                ", deleted=" + (deleted ? "1" : "0") + " WHERE " + keyCondition(kind, key));
    return s;
}

void requireTransaction(quarvex::Connection& con) {
    if (!con.InTransaction()) {
        throw std::logic_error("a record is claimed only inside the save's transaction");
    }
}

}  // namespace

std::string currentUserName() {
    for (const char* name : {"KAMBRIX_USER", "USER", "LOGNAME", "USERNAME"}) {
        if (const char* v = std::getenv(name); v != nullptr && *v != '\0') {
            return v;
        }
    }
    if (const passwd* pw = getpwuid(geteuid()); pw != nullptr && pw->pw_name != nullptr) {
        return pw->pw_name;
    }
    return "unknown user";
}

RowStamp readRowStamp(quarvex::Connection& con, std::string_view kind, const std::string& key) {
    if (!hasTable(con, kTable)) {
        return {};
    }
    quarvex::RecordSet rs =
        con.Execute("SELECT version, saved_by, saved_at, deleted FROM tb_row_versions WHERE " +
                    keyCondition(kind, key));
    return rs.IsEOF() ? RowStamp{} : stampOf(rs);
}

std::map<std::string, RowStamp> readRowStamps(quarvex::Connection& con, std::string_view kind) {
    std::map<std::string, RowStamp> stamps;
    if (!hasTable(con, kTable)) {
        return stamps;
    }
    quarvex::RecordSet rs = con.Execute(
        "SELECT row_key, version, saved_by, saved_at, deleted FROM tb_row_versions WHERE kind=" +
        quoted(kind));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        stamps[rs["row_key"].AsString()] = stampOf(rs);
    }
    return stamps;
}

RowStamp claimRow(quarvex::Connection& con, std::string_view kind, const std::string& key,
                  const RowStamp& seen, const std::string& what) {
    requireTransaction(con);
    if (!hasTable(con, kTable)) {
        return seen;  // a database read as it stands keeps no versions
    }
    const RowStamp stored = lockedStamp(con, kind, key);
    // A record deleted before it was opened (its name taken again) was seen deleted: only a
    // delete since then refuses the save.
    if (stored.version != seen.version || (stored.deleted && !seen.deleted)) {
        raiseError(errc::RecordChangedSinceOpened, changedSinceOpenedMessage(what, stored));
    }
    return writeStamp(con, kind, key, stored.version + 1, false);
}

RowStamp claimNewRow(quarvex::Connection& con, std::string_view kind, const std::string& key) {
    requireTransaction(con);
    if (!hasTable(con, kTable)) {
        return {};
    }
    const RowStamp stored = lockedStamp(con, kind, key);
    return writeStamp(con, kind, key, stored.version + 1, false);
}

void retireRow(quarvex::Connection& con, std::string_view kind, const std::string& key) {
    requireTransaction(con);
    if (!hasTable(con, kTable)) {
        return;
    }
    const RowStamp stored = lockedStamp(con, kind, key);
    writeStamp(con, kind, key, stored.version + 1, true);
}

std::string localTimeText(const std::string& utc) {
    std::tm t{};
    int seconds = 0;
    if (std::sscanf(utc.c_str(), "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour,
                    &t.tm_min, &seconds) < 5) {
        return utc;
    }
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    t.tm_sec = seconds;
    const std::time_t when = timegm(&t);
    if (when == static_cast<std::time_t>(-1)) {
        return utc;
    }
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string changedSinceOpenedMessage(const std::string& what, const RowStamp& stored) {
    const std::string who = stored.savedBy.empty() ? "another user" : stored.savedBy;
    const std::string when =
        stored.savedAt.empty() ? std::string() : " at " + localTimeText(stored.savedAt);
    return what + (stored.deleted ? " was deleted by " : " was changed by ") + who + when +
           " since you opened it.";
}

std::string savedByText(const RowStamp& stamp) {
    if (stamp.version == 0 || stamp.savedBy.empty()) {
        return {};
    }
    return (stamp.deleted ? "Deleted by " : "Saved by ") + stamp.savedBy + " on " +
           localTimeText(stamp.savedAt);
}

}  // namespace kambrix
