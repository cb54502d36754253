// SPDX-License-Identifier: GPL-3.0-or-later
//
// The three databases moved between a folder and a server, and looked at:
//   kambrix-cli store copy FROM TO [--replace]
//   kambrix-cli store check TARGET
// FROM, TO and TARGET are each a database folder or a PostgreSQL URI.
#include <filesystem>
#include <ostream>
#include <string>

#include "commands.h"
#include "shell/errors.h"
#include "shell/server_store.h"
#include "shell/stored_names.h"
#include "stored_system.h"

namespace kambrix::cli {

int runStoreCopy(const std::string& from, const std::string& to, bool replace,
                 const std::filesystem::path& templateFolder, std::ostream& out,
                 std::ostream& err) {
    if (!quarvex::isServerUri(from)) {
        std::error_code ec;
        if (!std::filesystem::is_directory(from, ec)) {
            err << "store: the database folder " << escapeControlCharacters(from)
                << " does not exist\n";
            return kExitBadInput;
        }
    }
    try {
        const StoreCopyResult result = copyStore(from, to, replace, templateFolder);
        for (const auto& db : result.databases) {
            long long rows = 0;
            for (const auto& [table, n] : db.counts) {
                rows += n;
            }
            out << db.fileName << ": " << db.counts.size() << " tables, " << rows
                << " rows copied\n";
        }
    } catch (const AppError& e) {
        err << "store: " << commandText(e.what())
            << (e.detail().empty() ? "" : " (" + quarvex::withoutPassword(e.detail()) + ")")
            << "\n";
        return kExitBadInput;
    } catch (const quarvex::Error& e) {
        err << "store: the databases could not be copied (" << quarvex::withoutPassword(e.what())
            << ")\n";
        return kExitBadInput;
    }
    return kExitOk;
}

int runStoreCheck(const std::string& target, std::ostream& out, std::ostream& err) {
    AppConfig config;
    if (quarvex::isServerUri(target)) {
        setDatabaseServer(config, target);
    } else {
        std::error_code ec;
        if (!std::filesystem::is_directory(target, ec)) {
            err << "store: the database folder " << escapeControlCharacters(target)
                << " does not exist\n";
            return kExitBadInput;
        }
        setDatabaseFolder(config, std::filesystem::absolute(target, ec));
    }
    int status = kExitOk;
    for (const auto& fileName : databaseFileNames()) {
        const DatabaseSchema& schema = databaseSchema(fileName);
        try {
            const DatabaseCheck check = inspectStoredDatabase(config, fileName);
            if (!check.readable()) {
                err << "store: " << commandText(check.message) << "\n";
                status = kExitBadInput;
                continue;
            }
            out << fileName << ": version " << check.version << "\n";
            quarvex::Connection con(databaseConnectionString(target, fileName));
            con.Open();
            for (const auto& [table, n] : tableCounts(con, schema)) {
                out << "  " << table << " " << n << "\n";
            }
        } catch (const quarvex::Error& e) {
            err << "store: " << escapeControlCharacters(fileName) << " cannot be read ("
                << quarvex::withoutPassword(e.what()) << ")\n";
            status = kExitBadInput;
        }
    }
    return status;
}

}  // namespace kambrix::cli
