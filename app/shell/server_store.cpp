// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/server_store.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/services.h"
#include "shell/stored_names.h"
#include "shell/unit_of_work.h"

namespace kambrix {
namespace fs = std::filesystem;
namespace {

// The key of the advisory lock under which schemas are made and upgraded, so two programs
// starting together do not both make them.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(731947)";

std::string shownServer(const std::string& uri) {
    return escapeControlCharacters(quarvex::withoutPassword(uri));
}

long long countOf(quarvex::Connection& con, const std::string& sql) {
    quarvex::RecordSet rs = con.Execute(sql);
    return rs.IsEOF() ? 0 : static_cast<long long>(quarvex::nullToZero(rs["n"]));
}

bool hasTableHere(quarvex::Connection& con, const std::string& table) {
    return countOf(con, "SELECT count(*) AS n FROM sqlite_master WHERE type='table' AND name=" +
                            quarvex::sqlQuote(table)) > 0;
}

bool startsWithPragma(const std::string& line) {
    std::string head = line.substr(0, 6);
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return head == "pragma";
}

// The template's statements without the file header's version (kept in kambrix_schema).
std::string templateStatements(const std::string& sql) {
    std::string out;
    std::size_t from = 0;
    while (from < sql.size()) {
        std::size_t to = sql.find('\n', from);
        if (to == std::string::npos) {
            to = sql.size();
        }
        const std::string line = sql.substr(from, to - from);
        const std::string trimmed = trim(line);
        if (trimmed.size() < 6 || !startsWithPragma(trimmed)) {
            out += line + "\n";
        }
        from = to + 1;
    }
    return out;
}

int storedVersion(quarvex::Connection& con, const std::string& name) {
    quarvex::RecordSet rs = con.Execute("SELECT version FROM kambrix_schema WHERE schema_name=" +
                                        quarvex::sqlQuote(name));
    return rs.IsEOF() ? 0 : rs["version"].AsInt();
}

void setVersion(quarvex::Connection& con, const std::string& name, int version) {
    con.Execute("DELETE FROM kambrix_schema WHERE schema_name=" + quarvex::sqlQuote(name) +
                "; INSERT INTO kambrix_schema (schema_name, version) VALUES (" +
                quarvex::sqlQuote(name) + ", " + std::to_string(version) + ")");
}

DatabaseCheck checkOf(const std::string& uri, const DatabaseSchema& schema,
                      quarvex::Connection& con) {
    DatabaseCheck check;
    const std::string name = serverSchemaName(schema.fileName);
    check.file = name;
    check.knownVersion = schema.currentVersion();
    if (!hasTableHere(con, "kambrix_schema")) {
        check.state = DatabaseState::Damaged;
        check.message = "The database server " + shownServer(uri) + " has no \"" + name +
                        "\" database of Kambrix.";
        check.detail = "no table " + name + ".kambrix_schema";
        return check;
    }
    check.version = storedVersion(con, name);
    if (check.version > check.knownVersion) {
        check.state = DatabaseState::Newer;
        check.message = newerDatabaseMessage(name, check.version, check.knownVersion);
    } else {
        check.state =
            check.version == check.knownVersion ? DatabaseState::Current : DatabaseState::Older;
    }
    return check;
}

std::string valueLiteral(const quarvex::FieldValue& v) {
    switch (v.kind()) {
        case quarvex::FieldValue::Kind::Null:
            return "NULL";
        case quarvex::FieldValue::Kind::Integer:
            // Quoted, so a flag (0/1) reads into a BOOLEAN column of either engine.
            return "'" + std::to_string(v.AsLong()) + "'";
        case quarvex::FieldValue::Kind::Real:
            // The shortest text that reads back to the same double.
            return roundTripText(quarvex::checkedFinite(v.AsDouble(), "stored value"));
        case quarvex::FieldValue::Kind::Text:
            return quarvex::sqlQuote(v.AsString());
    }
    return "NULL";
}

// Copies every row of the table (in the order of its first column).
void copyTable(quarvex::Connection& from, quarvex::Connection& to, const std::string& table) {
    quarvex::RecordSet rs = from.Execute("SELECT * FROM " + table);
    if (rs.IsEOF()) {
        return;
    }
    std::string head = "INSERT INTO " + table + " (";
    for (std::size_t c = 0; c < rs.columns().size(); ++c) {
        head += (c == 0 ? "" : ", ") + rs.columns()[c];
    }
    head += ") VALUES ";
    constexpr int kRowsPerStatement = 200;
    std::string sql;
    int rows = 0;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        sql += rows == 0 ? head : ", ";
        sql += "(";
        for (std::size_t c = 0; c < rs.columns().size(); ++c) {
            sql += (c == 0 ? "" : ", ") + valueLiteral(rs[rs.columns()[c]]);
        }
        sql += ")";
        if (++rows == kRowsPerStatement) {
            to.Execute(sql);
            sql.clear();
            rows = 0;
        }
    }
    if (rows > 0) {
        to.Execute(sql);
    }
}

bool isServer(const std::string& location) {
    return quarvex::isServerUri(location);
}

std::string shownLocation(const std::string& location) {
    return isServer(location) ? shownServer(location) : escapeControlCharacters(location);
}

// Looks at the source database: it must be at the program's version.
void checkSource(const std::string& from, const std::string& fileName) {
    const DatabaseSchema& schema = databaseSchema(fileName);
    DatabaseCheck check;
    if (isServer(from)) {
        check = inspectServerSchema(from, schema);
    } else {
        check = inspectDatabase(fs::path(from) / fileName, schema);
    }
    if (check.state == DatabaseState::Older) {
        raiseError(errc::DatabaseDamaged,
                   "The database \"" + fileName + "\" of " + shownLocation(from) +
                       " is of an earlier version: open it with the program first, which brings "
                       "it up to date, then copy it.");
    }
    if (check.state != DatabaseState::Current) {
        raiseError(
            check.state == DatabaseState::Newer ? errc::DatabaseNewer : errc::DatabaseDamaged,
            check.message, check.detail);
    }
}

// Makes the target database ready to be written; returns whether this call made it (it then
// holds only the template's starter rows).
bool prepareTarget(const std::string& to, const std::string& fileName,
                   const fs::path& templateFolder) {
    const DatabaseSchema& schema = databaseSchema(fileName);
    if (isServer(to)) {
        const bool made = inspectServerSchema(to, schema).state == DatabaseState::Damaged;
        const DatabaseCheck check = prepareServerSchemaForWriting(to, schema);
        if (check.state != DatabaseState::Current) {
            raiseError(errc::DatabaseDamaged, check.message, check.detail);
        }
        return made;
    }
    std::error_code ec;
    const fs::path folder(to);
    fs::create_directories(folder, ec);
    const fs::path file = folder / fileName;
    bool made = false;
    if (!fs::is_regular_file(file, ec)) {
        fs::copy_file(templateFolder / fileName, file, ec);
        if (ec) {
            raiseError(
                errc::DatabaseDamaged,
                "The database \"" + fileName + "\" could not be made in " + shownLocation(to) + ".",
                ec.message());
        }
        made = true;
    }
    const DatabaseCheck check = prepareDatabaseForWriting(file, schema);
    if (check.state != DatabaseState::Current) {
        raiseError(errc::DatabaseDamaged, check.message, check.detail);
    }
    return made;
}

}  // namespace

std::string serverSchemaName(const std::string& fileName) {
    const std::size_t dot = fileName.find('.');
    return fileName.substr(0, dot);
}

void setDatabaseServer(AppConfig& config, const std::string& uri) {
    config.databaseServer = trim(uri);
    config.databaseFolder.clear();
    // "[asper.mdb].<table>" in a statement names the table of the "asper" schema.
    config.asperPath = "asper.mdb";
    config.asperConnectionString =
        quarvex::makeServerConnectionString(config.databaseServer, "asper");
    config.projectsConnectionString =
        quarvex::makeServerConnectionString(config.databaseServer, "proyectos");
    config.tramosConnectionString =
        quarvex::makeServerConnectionString(config.databaseServer, "tramos");
}

std::string databaseConnectionString(const std::string& location, const std::string& fileName) {
    if (isServer(location)) {
        return quarvex::makeServerConnectionString(trim(location), serverSchemaName(fileName));
    }
    return quarvex::makeConnectionString((fs::path(location) / fileName).string());
}

DatabaseCheck inspectServerSchema(const std::string& uri, const DatabaseSchema& schema) {
    quarvex::Connection con(
        quarvex::makeServerConnectionString(uri, serverSchemaName(schema.fileName)));
    con.Open();
    return checkOf(uri, schema, con);
}

DatabaseCheck prepareServerSchemaForWriting(const std::string& uri, const DatabaseSchema& schema) {
    const std::string name = serverSchemaName(schema.fileName);
    quarvex::Connection con(quarvex::makeServerConnectionString(uri, name));
    con.Open();
    DatabaseCheck check;
    try {
        con.BeginTrans();
        con.Execute(kSchemaLock);
        check = checkOf(uri, schema, con);
        if (check.state == DatabaseState::Damaged) {
            if (countOf(con, "SELECT count(*) AS n FROM pg_catalog.pg_namespace WHERE nspname=" +
                                 quarvex::sqlQuote(name)) == 0) {
                con.Execute("CREATE SCHEMA " + name);
            } else if (countOf(con, "SELECT count(*) AS n FROM sqlite_master") > 0) {
                con.RollbackTrans();
                check.message = "The schema \"" + name + "\" on the database server " +
                                shownServer(uri) + " holds tables that Kambrix did not make.";
                return check;
            }
            con.Execute(templateStatements(schema.templateSql));
            advanceIdentities(con);
            con.Execute(
                "CREATE TABLE kambrix_schema (schema_name TEXT PRIMARY KEY, version INTEGER NOT "
                "NULL)");
            setVersion(con, name, schema.currentVersion());
        } else if (check.state == DatabaseState::Older) {
            for (const auto& step : schema.steps) {
                if (step.from < check.version) {
                    continue;
                }
                if (!step.sql.empty()) {
                    con.Execute(step.sql);
                }
                setVersion(con, name, step.to);
            }
        }
        con.CommitTrans();
    } catch (const quarvex::Error& e) {
        raiseError(errc::DatabaseDamaged,
                   "The database \"" + name + "\" on the server " + shownServer(uri) +
                       " could not be made or brought up to date; it is left as it was.",
                   e.what());
    }
    if (check.state == DatabaseState::Damaged || check.state == DatabaseState::Older) {
        check.state = DatabaseState::Current;
        check.version = check.knownVersion;
        check.message.clear();
        check.detail.clear();
    }
    return check;
}

DatabaseCheck inspectStoredDatabase(const AppConfig& config, const std::string& fileName) {
    if (!config.databaseServer.empty()) {
        return inspectServerSchema(config.databaseServer, databaseSchema(fileName));
    }
    return inspectDatabase(config.databaseFolder / fileName, databaseSchema(fileName));
}

void advanceIdentities(quarvex::Connection& con) {
    if (!con.isServer()) {
        return;
    }
    quarvex::RecordSet rs = con.Execute(
        "SELECT table_name, column_name FROM information_schema.columns WHERE table_schema = "
        "current_schema() AND is_identity = 'YES'");
    std::string sql;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const std::string table = quarvex::nullToText(rs["table_name"]);
        const std::string column = quarvex::nullToText(rs["column_name"]);
        sql +=
            "SELECT setval(pg_get_serial_sequence(quote_ident(current_schema()) || '.' || "
            "quote_ident(" +
            quarvex::sqlQuote(table) + "), " + quarvex::sqlQuote(column) +
            "), COALESCE((SELECT max(" + column + ") FROM " + table + "), 0) + 1, false);";
    }
    if (!sql.empty()) {
        con.Execute(sql);
    }
}

std::vector<std::pair<std::string, long long>> tableCounts(quarvex::Connection& con,
                                                           const DatabaseSchema& schema) {
    std::vector<std::pair<std::string, long long>> counts;
    for (const auto& table : schemaTables(schema)) {
        counts.emplace_back(table, countOf(con, "SELECT count(*) AS n FROM " + table));
    }
    return counts;
}

StoreCopyResult copyStore(const std::string& from, const std::string& to, bool replace,
                          const fs::path& templateFolder) {
    StoreCopyResult result;
    // Every source is looked at before anything is written.
    for (const auto& fileName : databaseFileNames()) {
        checkSource(from, fileName);
    }
    for (const auto& fileName : databaseFileNames()) {
        const DatabaseSchema& schema = databaseSchema(fileName);
        const bool made = prepareTarget(to, fileName, templateFolder);
        quarvex::Connection source(databaseConnectionString(from, fileName));
        quarvex::Connection target(databaseConnectionString(to, fileName));
        try {
            source.Open();
            target.Open();
            source.BeginTrans();  // one consistent reading of the source
            target.BeginTrans();
            const auto before = tableCounts(target, schema);
            const bool holdsRows = std::any_of(before.begin(), before.end(),
                                               [](const auto& c) { return c.second > 0; });
            if (holdsRows && !made && !replace) {
                target.RollbackTrans();
                raiseError(errc::DatabaseNotEmpty,
                           "The database \"" + fileName + "\" of " + shownLocation(to) +
                               " already holds data; nothing was copied into it. Copy with "
                               "--replace to overwrite it.");
            }
            for (const auto& table : schemaTables(schema)) {
                target.Execute("DELETE FROM " + table);
                copyTable(source, target, table);
            }
            advanceIdentities(target);
            StoreCopyResult::Database copied{fileName, tableCounts(source, schema)};
            const auto after = tableCounts(target, schema);
            if (after != copied.counts) {
                for (std::size_t i = 0; i < after.size(); ++i) {
                    if (after[i] != copied.counts[i]) {
                        quarvex::Exceptions::Throw(quarvex::errc::DatabaseStatementFailed,
                                                   "the table " + after[i].first + " holds " +
                                                       std::to_string(after[i].second) +
                                                       " rows after the copy, not " +
                                                       std::to_string(copied.counts[i].second));
                    }
                }
            }
            target.CommitTrans();
            source.RollbackTrans();
            result.databases.push_back(std::move(copied));
        } catch (const quarvex::Error& e) {
            raiseError(errc::DatabaseDamaged,
                       "The database \"" + fileName + "\" could not be copied from " +
                           shownLocation(from) + " to " + shownLocation(to) +
                           "; that database is left as it was.",
                       quarvex::withoutPassword(e.what()));
        }
    }
    return result;
}

}  // namespace kambrix
