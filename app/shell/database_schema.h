// SPDX-License-Identifier: GPL-3.0-or-later
//
// Schema versions of the three database files, and their upgrade.
//
// Every database file carries the version of its tables in its header ("PRAGMA
// user_version"). Version 1 is the tables the program has created since its first release;
// files made before the version was stamped say 0 and hold those same tables, so the step
// from 0 to 1 only stamps the version. Each later change of the tables is one more step in
// the file's list, run inside the upgrade's transaction.
//
// A file is looked at before it is used:
// - the current version: used as it stands;
// - an older version: read as it stands by the commands that only read; before the first
//   write it is copied beside itself ("proyectos.mdb.bak-<old version>", an existing copy is
//   never replaced) and upgraded in place in one transaction;
// - a newer version: only read, and the user is told why nothing can be saved;
// - a file that is not an SQLite database, is damaged, truncated or empty, or lacks one of
//   the tables: not used, "is damaged or was not made by Kambrix";
// - a table without a column its version has, or with text in a number column: not used,
//   the message names the table and says another program or version made the file.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kambrix {

// One upgrade of a file's tables from version `from` to `to` (= from + 1).
struct SchemaStep {
    int from = 0;
    int to = 0;
    // Statements run inside the upgrade's transaction; empty for a step that only stamps.
    std::string sql;
    // The columns (table, column) the step adds: a file of an earlier version lacks them,
    // and readers take their default.
    std::vector<std::pair<std::string, std::string>> addedColumns;
    // The tables the step creates: a file of an earlier version lacks them.
    std::vector<std::string> addedTables;
};

// What the program knows of one database file.
struct DatabaseSchema {
    std::string fileName;           // "proyectos.mdb"
    std::string templateSql;        // the statements that create the tables of the newest version
    std::vector<SchemaStep> steps;  // in order, the first from version 0
    // The version the program writes: the last step's `to`.
    int currentVersion() const;
};

// The program's schema of "asper.mdb", "proyectos.mdb" or "tramos.mdb". Another name raises
// std::invalid_argument.
const DatabaseSchema& databaseSchema(const std::string& fileName);

enum class DatabaseState {
    Current,       // the version the program writes
    Older,         // an earlier version: readable; upgraded before the first write
    Newer,         // made by a newer version of the program: only read
    Damaged,       // not usable: not a database, damaged, truncated, empty, a table missing
    ForeignTable,  // not usable: a table another program or version made
};

struct DatabaseCheck {
    std::filesystem::path file;
    DatabaseState state = DatabaseState::Damaged;
    int version = 0;       // the file's user_version (when it could be read)
    int knownVersion = 0;  // the program's version of the file
    // In plain words for a window or the command line; empty for Current and Older.
    std::string message;
    // The database's own words (for "Show details"); may be empty.
    std::string detail;
    // Set when this call upgraded the file: the copy of the file as it was.
    std::filesystem::path backup;

    bool readable() const {
        return state == DatabaseState::Current || state == DatabaseState::Older ||
               state == DatabaseState::Newer;
    }
};

// Looks at the file without writing anything (it is opened read-only): its version, the
// database's own integrity check, and its tables and columns against the schema.
DatabaseCheck inspectDatabase(const std::filesystem::path& file, const DatabaseSchema& schema);

// As inspectDatabase, and an older file is then upgraded: under the write lock (waiting for
// another writer as a save does) the file is copied to backupPathFor(file, version) and
// every step from its version on runs in one transaction, each stamping its version. The
// result says Current with `backup` set. A step that fails rolls everything back (the file
// keeps its version, the copy stays) and raises AppError errc::DatabaseDamaged naming the
// file, the database's words as detail.
DatabaseCheck prepareDatabaseForWriting(const std::filesystem::path& file,
                                        const DatabaseSchema& schema);

// The names of the tables of the schema's newest version, as the template writes them.
std::vector<std::string> schemaTables(const DatabaseSchema& schema);

// The first name not taken among "<file>.bak-<version>", "<file>.bak-<version>-2", ...
std::filesystem::path backupPathFor(const std::filesystem::path& file, int version);

// The message of a newer file: "The database "<file>" was made by a newer version of Kambrix
// (...). It is only read: nothing can be saved into it."
std::string newerDatabaseMessage(const std::filesystem::path& file, int version, int knownVersion);

}  // namespace kambrix
