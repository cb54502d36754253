// SPDX-License-Identifier: GPL-3.0-or-later
//
// Start-up configuration: where the resource folders and the three databases lie, the
// first-use copy of the template databases and the connection strings every screen uses.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

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

// Everything the start-up settles, alive for the whole run.
struct AppConfig {
    std::filesystem::path languageFile;  // <m17n>/EN_en.txt
    std::filesystem::path imagesFolder;
    std::filesystem::path templateFolder;
    std::filesystem::path databaseFolder;
    std::filesystem::path asperPath;
    std::string asperConnectionString;
    std::string projectsConnectionString;
    std::string tramosConnectionString;
};

// The connection strings of the three databases inside databaseFolder.
void setDatabaseFolder(AppConfig& config, const std::filesystem::path& databaseFolder);

// The whole start-up before the first window: resource folders searched upward from
// appFolder, the language file checked readable, the database folder located (and filled
// from the template on first use) from the given environment value and command line.
// Raises StartupError with a message that names what is missing.
AppConfig startUp(const std::filesystem::path& appFolder, const std::string& environmentValue,
                  const std::string& commandLine, const std::filesystem::path& userRoot);

}  // namespace kambrix
