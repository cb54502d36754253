// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/database_schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <system_error>

#include "kambrix/database_templates.h"
#include "shell/errors.h"
#include "shell/row_versions.h"
#include "shell/stored_names.h"

namespace kambrix {
namespace fs = std::filesystem;

namespace {

// How long the upgrade waits for another program's write lock, ms (as long as a save).
constexpr int kUpgradeBusyTimeout_ms = 5000;

// The step from the files made before the version was stamped: their tables are those of
// version 1.
SchemaStep stampStep() {
    return SchemaStep{0, 1, {}, {}, {}};
}

DatabaseSchema makeSchema(const char* fileName, const char* sql,
                          std::vector<SchemaStep> later = {}) {
    std::vector<SchemaStep> steps{stampStep()};
    steps.insert(steps.end(), later.begin(), later.end());
    return DatabaseSchema{fileName, sql, std::move(steps)};
}

// Version 2 of the projects store: the water that feeds each system (the line from the
// pump and the measured supply in one row, the pump curve's rows in order).
SchemaStep supplyStep() {
    return SchemaStep{
        1,
        2,
        "CREATE TABLE IF NOT EXISTS tb_supply (id_sistema INTEGER PRIMARY KEY, lift REAL, "
        "line_length REAL, line_diametro REAL, line_rugosidad REAL, "
        "measured_presion REAL, measured_caudal REAL, nozzle_wear REAL);"
        "CREATE TABLE IF NOT EXISTS tb_supply_pump (id INTEGER PRIMARY KEY AUTOINCREMENT, "
        "id_sistema INTEGER NOT NULL, orden INTEGER NOT NULL, caudal REAL NOT "
        "NULL, presion REAL NOT NULL);"
        "CREATE INDEX IF NOT EXISTS tb_supply_pump_id_sistema ON tb_supply_pump (id_sistema);",
        {},
        {"tb_supply", "tb_supply_pump"}};
}

// Version 3 of the projects store: the conditions of a catch-can test and the stored chart
// it tests, one row per evaluation name.
SchemaStep evaluationConditionsStep() {
    return SchemaStep{
        2,
        3,
        "CREATE TABLE IF NOT EXISTS tb_evaluation_conditions (nombre TEXT PRIMARY KEY, "
        "id_sistema INTEGER, id_carta INTEGER, fecha TEXT, hora TEXT, duracion REAL, "
        "temporizador REAL, viento REAL, viento_direccion TEXT, temperatura REAL, "
        "presion REAL, caudal REAL, espaciado REAL, notas TEXT);",
        {},
        {"tb_evaluation_conditions"}};
}

// Version 4 of the projects store: what a printed chart carries beyond the design. Per chart
// (keyed by the chart, with its system for the delete of a system) the names of who designed,
// checked and approved it, the model of its pressure regulators and when it was last saved;
// per system the height of the pipe above the ground (m).
SchemaStep chartPrintStep() {
    return SchemaStep{
        3,
        4,
        "CREATE TABLE IF NOT EXISTS tb_chart_print (id_carta INTEGER PRIMARY KEY, "
        "id_sistema INTEGER, designed_by TEXT, checked_by TEXT, approved_by TEXT, "
        "regulator_model TEXT, saved_at TEXT);"
        "CREATE INDEX IF NOT EXISTS tb_chart_print_id_sistema ON tb_chart_print (id_sistema);"
        "CREATE TABLE IF NOT EXISTS tb_system_print (id_sistema INTEGER PRIMARY KEY, "
        "pipe_height REAL);",
        {},
        {"tb_chart_print", "tb_system_print"}};
}

// Version 2 of the reference spans: the outside diameter of a span's pipe (mm), blank where
// it is not known.
SchemaStep outsideDiameterStep() {
    return SchemaStep{1,
                      2,
                      "ALTER TABLE Valley ADD COLUMN diametro_exterior REAL;",
                      {{"Valley", "diametro_exterior"}},
                      {}};
}

// Who saved each record last and its version, in every database (the same table in each).
SchemaStep rowVersionsStep(int from) {
    return SchemaStep{from, from + 1, kRowVersionsTableSql, {}, {"tb_row_versions"}};
}

// One open SQLite handle, closed on every path out of the scope.
class Handle {
  public:
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { sqlite3_close_v2(db_); }
    sqlite3*& get() { return db_; }
    sqlite3* operator*() const { return db_; }
    std::string error() const { return db_ ? sqlite3_errmsg(db_) : "no database"; }

  private:
    sqlite3* db_ = nullptr;
};

// A failure of the database, with its own words.
struct DatabaseFault {
    std::string words;
    int code = SQLITE_ERROR;  // SQLite's primary result code

    // Another connection held its lock longer than the busy timeout: the file is in use,
    // not damaged.
    bool busy() const { return code == SQLITE_BUSY || code == SQLITE_LOCKED; }
};

// The rows of a query, every column as text (NULL as an empty optional).
using Row = std::vector<std::optional<std::string>>;

std::vector<Row> query(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        DatabaseFault fault{sqlite3_errmsg(db), sqlite3_errcode(db) & 0xFF};
        sqlite3_finalize(st);
        throw fault;
    }
    std::vector<Row> rows;
    for (;;) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE) {
            break;
        }
        if (rc != SQLITE_ROW) {
            DatabaseFault fault{sqlite3_errmsg(db), rc & 0xFF};
            sqlite3_finalize(st);
            throw fault;
        }
        Row row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_NULL) {
                row.emplace_back();
            } else {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                row.emplace_back(std::string(
                    text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(st, c))));
            }
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    return rows;
}

void exec(sqlite3* db, const std::string& sql) {
    char* msg = nullptr;
    if (const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg); rc != SQLITE_OK) {
        DatabaseFault fault{msg ? msg : sqlite3_errmsg(db), rc & 0xFF};
        sqlite3_free(msg);
        throw fault;
    }
}

std::string quotedName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string lowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A column of a table: its name and whether the program reads it as a number.
struct Column {
    std::string name;
    bool numeric = false;
    bool flag = false;  // BOOLEAN: also the words true and false
};

// SQLite's affinity rules: a declared type naming text, characters or blobs (or none) holds
// text; every other one a number.
Column columnOf(const std::string& name, const std::string& declaredType) {
    const std::string t = lowerAscii(declaredType);
    const bool text = t.empty() || t.find("char") != std::string::npos ||
                      t.find("clob") != std::string::npos || t.find("text") != std::string::npos ||
                      t.find("blob") != std::string::npos;
    return Column{name, !text, t.find("bool") != std::string::npos};
}

// Table name (lower case) → its columns, from the open database.
std::map<std::string, std::pair<std::string, std::vector<Column>>> tablesOf(sqlite3* db) {
    std::map<std::string, std::pair<std::string, std::vector<Column>>> tables;
    for (const auto& row : query(db,
                                 "SELECT name FROM sqlite_master WHERE type='table' AND "
                                 "name NOT LIKE 'sqlite\\_%' ESCAPE '\\'")) {
        const std::string table = row[0].value_or("");
        std::vector<Column> columns;
        for (const auto& c : query(db, "PRAGMA table_info(" + quotedName(table) + ")")) {
            columns.push_back(columnOf(c[1].value_or(""), c[2].value_or("")));
        }
        tables[lowerAscii(table)] = {table, std::move(columns)};
    }
    return tables;
}

// The tables and columns of the schema's newest version.
const std::map<std::string, std::pair<std::string, std::vector<Column>>>& expectedTables(
    const DatabaseSchema& schema) {
    static std::map<std::string, std::map<std::string, std::pair<std::string, std::vector<Column>>>>
        cache;
    auto found = cache.find(schema.templateSql);
    if (found != cache.end()) {
        return found->second;
    }
    Handle memory;
    if (sqlite3_open_v2(":memory:", &memory.get(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        throw DatabaseFault{memory.error()};
    }
    exec(*memory, schema.templateSql);
    return cache[schema.templateSql] = tablesOf(*memory);
}

// Whether the stored text reads as a number (as the program reads it: blanks around
// ignored, "." decimals, finite) or, for a flag column, as true or false.
bool readsAsNumber(const std::string& text, bool flag) {
    std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) {
        return false;
    }
    const std::string t = text.substr(first, last - first + 1);
    if (flag && (lowerAscii(t) == "true" || lowerAscii(t) == "false")) {
        return true;
    }
    const char* begin = t.data() + (t[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, t.data() + t.size(), value);
    return ec == std::errc() && ptr == t.data() + t.size() && std::isfinite(value);
}

std::string shownPath(const fs::path& file) {
    return escapeControlCharacters(file.string());
}

std::string damagedMessage(const fs::path& file) {
    return "The database \"" + shownPath(file) + "\" is damaged or was not made by Kambrix.";
}

std::string foreignTableMessage(const fs::path& file, const std::string& table,
                                const std::string& what) {
    return "The table \"" + escapeControlCharacters(table) + "\" of the database \"" +
           shownPath(file) + "\" " + what +
           ": the file was made by another program or another version of Kambrix.";
}

// The checks of an open database; the result's file and knownVersion are set by the caller.
void checkOpenDatabase(sqlite3* db, const DatabaseSchema& schema, DatabaseCheck& check) {
    const auto integrity = query(db, "PRAGMA quick_check");
    if (integrity.empty() || integrity[0][0].value_or("") != "ok") {
        check.state = DatabaseState::Damaged;
        check.message = damagedMessage(check.file);
        for (const auto& row : integrity) {
            check.detail += (check.detail.empty() ? "" : "\n") + row[0].value_or("");
        }
        return;
    }
    check.version = std::stoi(query(db, "PRAGMA user_version")[0][0].value_or("0"));
    if (check.version > check.knownVersion) {
        check.state = DatabaseState::Newer;
        check.message = newerDatabaseMessage(check.file, check.version, check.knownVersion);
        return;
    }
    // The columns and tables a file of this version lacks: those later steps add.
    std::set<std::pair<std::string, std::string>> notYet;
    std::set<std::string> tablesNotYet;
    for (const auto& step : schema.steps) {
        if (step.from >= check.version) {
            for (const auto& [table, column] : step.addedColumns) {
                notYet.emplace(lowerAscii(table), lowerAscii(column));
            }
            for (const auto& table : step.addedTables) {
                tablesNotYet.insert(lowerAscii(table));
            }
        }
    }
    const auto stored = tablesOf(db);
    for (const auto& [key, expected] : expectedTables(schema)) {
        const auto& [table, columns] = expected;
        const auto found = stored.find(key);
        if (found == stored.end() && tablesNotYet.count(key) != 0) {
            continue;
        }
        if (found == stored.end()) {
            check.state = DatabaseState::Damaged;
            check.message = damagedMessage(check.file);
            check.detail = "no table " + table;
            return;
        }
        const auto& storedColumns = found->second.second;
        for (const Column& column : columns) {
            const auto same = std::find_if(
                storedColumns.begin(), storedColumns.end(),
                [&](const Column& c) { return lowerAscii(c.name) == lowerAscii(column.name); });
            if (same == storedColumns.end()) {
                if (notYet.count({key, lowerAscii(column.name)}) != 0) {
                    continue;
                }
                check.state = DatabaseState::ForeignTable;
                check.message =
                    foreignTableMessage(check.file, table, "has no column \"" + column.name + "\"");
                check.detail = "no column " + table + "." + column.name;
                return;
            }
            if (!column.numeric) {
                continue;
            }
            const std::string name = quotedName(same->name);
            for (const auto& row :
                 query(db, "SELECT " + name + " FROM " + quotedName(found->second.first) +
                               " WHERE typeof(" + name + ") IN ('text','blob')")) {
                if (!readsAsNumber(row[0].value_or(""), column.flag)) {
                    check.state = DatabaseState::ForeignTable;
                    check.message =
                        foreignTableMessage(check.file, table, "holds text where a number belongs");
                    check.detail = "the column " + table + "." + column.name + " holds the text '" +
                                   escapeControlCharacters(row[0].value_or("")) + "'";
                    return;
                }
            }
        }
    }
    check.state =
        check.version == check.knownVersion ? DatabaseState::Current : DatabaseState::Older;
}

}  // namespace

int DatabaseSchema::currentVersion() const {
    return steps.empty() ? 0 : steps.back().to;
}

const DatabaseSchema& databaseSchema(const std::string& fileName) {
    static const DatabaseSchema asper =
        makeSchema("asper.mdb", generated::kAsperSql, {rowVersionsStep(1)});
    static const DatabaseSchema projects = makeSchema(
        "proyectos.mdb", generated::kProyectosSql,
        {supplyStep(), evaluationConditionsStep(), chartPrintStep(), rowVersionsStep(4)});
    static const DatabaseSchema tramos = makeSchema("tramos.mdb", generated::kTramosSql,
                                                    {outsideDiameterStep(), rowVersionsStep(2)});
    for (const DatabaseSchema* s : {&asper, &projects, &tramos}) {
        if (s->fileName == fileName) {
            return *s;
        }
    }
    throw std::invalid_argument("no database schema for " + fileName);
}

std::string newerDatabaseMessage(const fs::path& file, int version, int knownVersion) {
    return "The database \"" + shownPath(file) +
           "\" was made by a newer version of Kambrix (its tables are of version " +
           std::to_string(version) + "; this version knows them up to version " +
           std::to_string(knownVersion) +
           "). It is only read: nothing can be saved into it. Use the newer version of Kambrix "
           "to change it.";
}

DatabaseCheck inspectDatabase(const fs::path& file, const DatabaseSchema& schema) {
    DatabaseCheck check;
    check.file = file;
    check.knownVersion = schema.currentVersion();
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        check.message = "The database \"" + shownPath(file) + "\" is missing.";
        return check;
    }
    Handle db;
    // Read-only, and never created: a file that vanished in between is not made anew.
    if (sqlite3_open_v2(file.c_str(), &db.get(), SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        check.message = damagedMessage(file);
        check.detail = db.error();
        return check;
    }
    sqlite3_busy_timeout(*db, kUpgradeBusyTimeout_ms);
    try {
        checkOpenDatabase(*db, schema, check);
    } catch (const DatabaseFault& fault) {
        // A file another program keeps locked cannot be looked at now: not usable for this
        // run, but not called damaged either.
        check.state = DatabaseState::Damaged;
        check.message = fault.busy() ? "The database \"" + shownPath(file) +
                                           "\" is in use by another program; try again when it "
                                           "has finished."
                                     : damagedMessage(file);
        check.detail = fault.words;
    }
    return check;
}

std::vector<std::string> schemaTables(const DatabaseSchema& schema) {
    std::vector<std::string> names;
    for (const auto& [key, table] : expectedTables(schema)) {
        names.push_back(table.first);
    }
    return names;
}

fs::path backupPathFor(const fs::path& file, int version) {
    const std::string base = file.string() + ".bak-" + std::to_string(version);
    fs::path candidate = base;
    std::error_code ec;
    // An error ends the search: the copy to that name then fails and says why.
    for (int n = 2; fs::exists(candidate, ec); ++n) {
        candidate = base + "-" + std::to_string(n);
    }
    return candidate;
}

DatabaseCheck prepareDatabaseForWriting(const fs::path& file, const DatabaseSchema& schema) {
    DatabaseCheck check = inspectDatabase(file, schema);
    if (check.state != DatabaseState::Older) {
        return check;
    }
    Handle db;
    if (sqlite3_open_v2(file.c_str(), &db.get(), SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        raiseError(errc::DatabaseDamaged,
                   "The database \"" + shownPath(file) +
                       "\" could not be opened to bring it up "
                       "to date.",
                   db.error());
    }
    sqlite3_busy_timeout(*db, kUpgradeBusyTimeout_ms);
    try {
        exec(*db, "BEGIN IMMEDIATE");
        // Another program may have upgraded the file since it was looked at.
        const int version = std::stoi(query(*db, "PRAGMA user_version")[0][0].value_or("0"));
        if (version != check.version) {
            exec(*db, "ROLLBACK");
            return inspectDatabase(file, schema);
        }
        // Under the write lock nobody else changes the file: the copy is whole.
        const fs::path backup = backupPathFor(file, version);
        std::error_code ec;
        fs::copy_file(file, backup, fs::copy_options::none, ec);
        if (ec) {
            throw DatabaseFault{"the copy " + backup.string() +
                                " could not be made: " + ec.message()};
        }
        check.backup = backup;
        for (const auto& step : schema.steps) {
            if (step.from < version) {
                continue;
            }
            if (!step.sql.empty()) {
                exec(*db, step.sql);
            }
            exec(*db, "PRAGMA user_version = " + std::to_string(step.to));
        }
        exec(*db, "COMMIT");
    } catch (const DatabaseFault& fault) {
        if (sqlite3_get_autocommit(*db) == 0) {
            sqlite3_exec(*db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        std::string message = "The database \"" + shownPath(file) +
                              "\" could not be brought up to date; it is left as it was";
        if (!check.backup.empty()) {
            message += " (a copy is kept as \"" + shownPath(check.backup) + "\")";
        }
        raiseError(errc::DatabaseDamaged, message + ".", fault.words);
    }
    check.state = DatabaseState::Current;
    check.version = check.knownVersion;
    return check;
}

}  // namespace kambrix
