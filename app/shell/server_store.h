// SPDX-License-Identifier: GPL-3.0-or-later
//
// The three databases on a PostgreSQL server, and copies between a folder and a server.
//
// A design office keeps the catalogue, the reference spans and the projects in one database
// on a server, as three schemas named after the files ("asper", "proyectos", "tramos"). Each
// schema keeps its version in its table "kambrix_schema" (schema_name, version): the same
// versions and upgrade steps as the files (database_schema.h). A schema that is not there
// yet is made from the template's statements, starter rows included.
#pragma once

#include <quarvex/quarvex.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "shell/database_schema.h"
#include "shell/startup.h"

namespace kambrix {

// The schema of a database file: "asper.mdb" → "asper".
std::string serverSchemaName(const std::string& fileName);

// The connection strings of the three schemas on the server the URI names.
void setDatabaseServer(AppConfig& config, const std::string& uri);

// The connection string of one database of a folder or a server (by its file name).
std::string databaseConnectionString(const std::string& location, const std::string& fileName);

// Looks at the schema without changing anything: Current, Older, Newer, or Damaged when the
// schema is not there (message "... has no ..."). A server that cannot be reached raises
// quarvex::Error errc::DatabaseOpenFailed.
DatabaseCheck inspectServerSchema(const std::string& uri, const DatabaseSchema& schema);

// As inspectServerSchema, and then a missing schema is made from the template and an older
// one upgraded, in one transaction per schema that other programs wait for. A step that
// fails rolls back and raises AppError errc::DatabaseDamaged with the server's words.
DatabaseCheck prepareServerSchemaForWriting(const std::string& uri, const DatabaseSchema& schema);

// The database of a folder (file) or of a server (schema): inspectDatabase or
// inspectServerSchema.
DatabaseCheck inspectStoredDatabase(const AppConfig& config, const std::string& fileName);

// Moves every identity key past the largest key stored, after rows were written with their
// keys (server connections only; nothing on a file).
void advanceIdentities(quarvex::Connection& con);

// The row counts of the schema's tables (in the order of schemaTables), on a connection.
std::vector<std::pair<std::string, long long>> tableCounts(quarvex::Connection& con,
                                                           const DatabaseSchema& schema);

struct StoreCopyResult {
    struct Database {
        std::string fileName;
        std::vector<std::pair<std::string, long long>> counts;
    };
    std::vector<Database> databases;
};

// Copies the three databases of `from` (a folder or a server URI) to `to`: each database in
// one transaction, the row counts checked against the source before the commit. The source
// must be at the program's version. A folder target is made when missing (and its missing
// files from the template); a target that holds rows is refused unless `replace`, which
// empties it first. Problems raise AppError with a plain message (the database's words as
// detail); what was committed before a failure stays.
StoreCopyResult copyStore(const std::string& from, const std::string& to, bool replace,
                          const std::filesystem::path& templateFolder);

}  // namespace kambrix
