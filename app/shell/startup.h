// SPDX-License-Identifier: GPL-3.0-or-later
//
// Start-up configuration: where the resource folders and the three databases lie, the
// first-use copy of the template databases and the connection strings every screen uses.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/database_schema.h"

namespace kambrix {

// A start-up step that cannot go on (missing folder, failed copy, unreadable language
// file). The program shows the message and exits with a non-zero status.
class StartupError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The first existing folder among appFolder/name, appFolder/../share/kambrix/name,
// appFolder/../name, appFolder/../../share/kambrix/name, ... up to the file-system root.
// The share/kambrix candidate of each level lets an installed tree (<prefix>/bin/kambrix
// with <prefix>/share/kambrix/m17n) be found the same way as the build tree.
std::optional<std::filesystem::path> resolveAppFolder(const std::filesystem::path& appFolder,
                                                      const std::string& name);
// As resolveAppFolder, but a folder found nowhere raises StartupError naming it.
std::filesystem::path requireAppFolder(const std::filesystem::path& appFolder,
                                       const std::string& name);

// The whole command line after the program name: the arguments joined with one blank.
std::string joinCommandLine(int argc, const char* const* argv);
// The folder named by "--db-path" when it is the first word of the command line (split at
// the first blank, both parts trimmed); an empty text otherwise. The folder may hold blanks.
std::string databaseFolderFromCommandLine(const std::string& commandLine);
// The user's data folder: $XDG_DATA_HOME when set and not blank, else $HOME/.local/share.
// An empty path when both are unset or blank.
std::filesystem::path userDataRoot(const char* xdgDataHome, const char* home);

// The name of the per-user database folder inside the Kambrix folder. It stays the same
// whatever the program's version becomes, so a new version finds the designer's data where
// the earlier one left them; the files inside carry their own schema version.
inline constexpr const char* kUserDataFolderName = "v0.0.2";

enum class DatabaseFolderSource { Environment, CommandLine, UserFolder };

struct DatabaseFolderChoice {
    std::filesystem::path folder;  // absolute
    DatabaseFolderSource source = DatabaseFolderSource::UserFolder;
    bool copiedTemplate = false;  // the template folder was copied there on this start
};

// Chooses the database folder: the environment value ("KAMBRIX_DB") when not blank, else the
// "--db-path" folder of the command line, else userRoot/Kambrix/v0.0.2 (the Kambrix folder is
// created when missing). A relative path is taken from the current directory. When no folder
// exists there, templateFolder is copied to it (through a temporary sibling renamed at the
// end, so a failed copy never leaves a half-filled database folder behind); an existing
// folder is used unchanged. A parent folder that does not exist, or a failed copy, raises
// StartupError.
DatabaseFolderChoice locateDatabaseFolder(const std::string& environmentValue,
                                          const std::string& commandLine,
                                          const std::filesystem::path& userRoot,
                                          const std::filesystem::path& templateFolder);

// The names of the three database files of a database folder.
const std::vector<std::string>& databaseFileNames();

// What the start-up finds in the database folder it uses.
struct DatabaseFolderState {
    // The folder and every database file in it can be written (SQLite also writes its
    // journal beside the files, so a read-only folder cannot be saved into).
    bool writable = true;
    // The database files the folder lacks, in the order of databaseFileNames().
    std::vector<std::string> missingFiles;
    bool hasNoDatabase() const { return missingFiles.size() == databaseFileNames().size(); }
};

// Looks at the folder without changing anything.
DatabaseFolderState checkDatabaseFolder(const std::filesystem::path& folder);

// Copies into an existing folder the database files of the template it lacks; a file already
// there is never replaced. A copy that fails raises StartupError, and the files copied by
// this call are removed again.
void copyMissingDatabases(const std::filesystem::path& templateFolder,
                          const std::filesystem::path& folder);

// The start-up's messages, in plain words.
// "The database folder "<folder>" is read-only. You can look at the systems and the
// catalogues, but nothing you change can be saved. ..."
std::string readOnlyFolderMessage(const std::filesystem::path& folder);
// The question for a folder that lacks databases: names the folder and what is missing and
// asks whether to copy the empty databases of the program into it.
std::string missingDatabasesQuestion(const std::filesystem::path& folder,
                                     const DatabaseFolderState& state);

// Everything the start-up settles, alive for the whole run.
struct AppConfig {
    std::filesystem::path languageFile;  // <m17n>/EN_en.txt
    std::filesystem::path imagesFolder;
    std::filesystem::path templateFolder;
    std::filesystem::path databaseFolder;  // empty when the databases are on a server
    // The PostgreSQL URI of the databases' server ("postgresql://user@host:port/database"),
    // empty for a database folder.
    std::string databaseServer;
    std::filesystem::path asperPath;
    std::string asperConnectionString;
    std::string projectsConnectionString;
    std::string tramosConnectionString;
    // The database folder could not be written at start-up, or one of its databases is
    // newer than this program, damaged or of another program (see databaseChecks).
    bool databaseReadOnly = false;
    // What the start-up found in each database file present, in the order of
    // databaseFileNames(); older files have been upgraded (their `backup` is set).
    std::vector<DatabaseCheck> databaseChecks;
};

// The connection strings of the three databases inside databaseFolder.
void setDatabaseFolder(AppConfig& config, const std::filesystem::path& databaseFolder);

// The checks of the database folder once startUp has chosen it, before the first window: a
// folder that lacks databases (and can be written) gets `askCopy` with
// missingDatabasesQuestion, and on a yes the missing files are copied from the template; a
// read-only folder is reported once with `tell` (so is a copy that failed). Then every
// database file present is looked at (inspectDatabase) and, in a writable folder, an older
// one is upgraded with a copy kept beside it (prepareDatabaseForWriting). A newer file, a
// damaged one, one of another program or an upgrade that failed makes the folder read-only
// for this run and is told with `tellProblem` (message, and the database's own words for
// "Show details"; `tell` with the message alone when none is given). Sets
// config.databaseReadOnly and config.databaseChecks.
void checkDatabasesAtStart(
    AppConfig& config, const std::function<bool(const std::string&)>& askCopy,
    const std::function<void(const std::string&)>& tell,
    const std::function<void(const std::string&, const std::string&)>& tellProblem = {});

// The whole start-up before the first window: resource folders searched upward from
// appFolder, the language file checked readable, the database folder located (and filled
// from the template on first use) from the given environment value and command line. A
// value that is a PostgreSQL URI ("postgresql://...") names a server instead of a folder:
// the connection strings are those of its three schemas (setDatabaseServer), and
// checkDatabasesAtStart makes or upgrades them.
// Raises StartupError with a message that names what is missing.
AppConfig startUp(const std::filesystem::path& appFolder, const std::string& environmentValue,
                  const std::string& commandLine, const std::filesystem::path& userRoot);

}  // namespace kambrix
