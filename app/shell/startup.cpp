// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/startup.h"

#include <quarvex/quarvex.h>

#include <unistd.h>

#include <fstream>
#include <system_error>

#include "shell/server_store.h"
#include "shell/services.h"
#include "shell/version.h"

namespace kambrix {
namespace fs = std::filesystem;

namespace {

bool isFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool pathExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// Copies the template into a temporary sibling and renames it to `target` at the end.
void copyTemplateFolder(const fs::path& templateFolder, const fs::path& target) {
    fs::path partial = target;
    partial += ".partial";
    std::error_code ec;
    fs::remove_all(partial, ec);
    fs::copy(templateFolder, partial, fs::copy_options::recursive, ec);
    if (!ec) {
        fs::rename(partial, target, ec);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        throw StartupError("The template databases in \"" + templateFolder.string() +
                           "\" could not be copied to \"" + target.string() +
                           "\": " + ec.message());
    }
}

}  // namespace

std::optional<fs::path> resolveAppFolder(const fs::path& appFolder, const std::string& name) {
    fs::path dir = fs::absolute(appFolder).lexically_normal();
    if (!dir.has_filename() && dir != dir.root_path()) {
        dir = dir.parent_path();  // a trailing separator
    }
    for (;;) {
        for (const fs::path& candidate : {dir / name, dir / ".." / "share" / "kambrix" / name}) {
            if (isFolder(candidate)) {
                return candidate.lexically_normal();
            }
        }
        if (dir == dir.root_path() || dir.parent_path() == dir) {
            return std::nullopt;
        }
        dir = dir.parent_path();
    }
}

fs::path requireAppFolder(const fs::path& appFolder, const std::string& name) {
    auto found = resolveAppFolder(appFolder, name);
    if (!found) {
        throw StartupError("The folder \"" + name + "\" was not found beside the program (" +
                           appFolder.string() + ") nor in any folder above it.");
    }
    return *found;
}

std::string joinCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

std::string databaseFolderFromCommandLine(const std::string& commandLine) {
    const std::size_t blank = commandLine.find(' ');
    const std::string first = trim(commandLine.substr(0, blank));
    if (first != "--db-path" || blank == std::string::npos) {
        return {};
    }
    return trim(commandLine.substr(blank + 1));
}

fs::path userDataRoot(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && !isBlank(xdgDataHome)) {
        return fs::path(xdgDataHome);
    }
    if (home != nullptr && !isBlank(home)) {
        return fs::path(home) / ".local" / "share";
    }
    return {};
}

DatabaseFolderChoice locateDatabaseFolder(const std::string& environmentValue,
                                          const std::string& commandLine, const fs::path& userRoot,
                                          const fs::path& templateFolder) {
    DatabaseFolderChoice choice;
    fs::path chosen;
    if (!isBlank(environmentValue)) {
        chosen = fs::path(trim(environmentValue));
        choice.source = DatabaseFolderSource::Environment;
    } else if (const std::string fromLine = databaseFolderFromCommandLine(commandLine);
               !fromLine.empty()) {
        chosen = fs::path(fromLine);
        choice.source = DatabaseFolderSource::CommandLine;
    } else {
        if (userRoot.empty()) {
            throw StartupError(
                "Neither XDG_DATA_HOME nor HOME is set: there is no user data folder.");
        }
        const fs::path kambrixFolder = userRoot / programName();
        std::error_code ec;
        fs::create_directories(kambrixFolder, ec);
        if (ec) {
            throw StartupError("The user data folder \"" + kambrixFolder.string() +
                               "\" could not be created: " + ec.message());
        }
        chosen = kambrixFolder / kUserDataFolderName;
        choice.source = DatabaseFolderSource::UserFolder;
    }
    choice.folder = fs::absolute(chosen).lexically_normal();
    if (!choice.folder.has_filename()) {
        choice.folder = choice.folder.parent_path();
    }
    if (!pathExists(choice.folder)) {
        if (!isFolder(choice.folder.parent_path())) {
            throw StartupError("The database folder \"" + choice.folder.string() +
                               "\" cannot be made: its parent folder does not exist.");
        }
        copyTemplateFolder(templateFolder, choice.folder);
        choice.copiedTemplate = true;
    } else if (!isFolder(choice.folder)) {
        throw StartupError("The database folder \"" + choice.folder.string() +
                           "\" is a file, not a folder.");
    }
    return choice;
}

const std::vector<std::string>& databaseFileNames() {
    static const std::vector<std::string> names = {"asper.mdb", "proyectos.mdb", "tramos.mdb"};
    return names;
}

namespace {

// The permission the system grants this process (read-only mounts, immutable files and the
// folder's own permissions included, also for the administrator).
bool canWrite(const fs::path& p) {
    return ::access(p.c_str(), W_OK) == 0;
}

}  // namespace

DatabaseFolderState checkDatabaseFolder(const fs::path& folder) {
    DatabaseFolderState state;
    state.writable = isFolder(folder) && canWrite(folder);
    for (const auto& name : databaseFileNames()) {
        const fs::path file = folder / name;
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) {
            state.missingFiles.push_back(name);
        } else if (!canWrite(file)) {
            state.writable = false;
        }
    }
    return state;
}

void copyMissingDatabases(const fs::path& templateFolder, const fs::path& folder) {
    std::vector<fs::path> copied;
    for (const auto& name : checkDatabaseFolder(folder).missingFiles) {
        std::error_code ec;
        fs::copy_file(templateFolder / name, folder / name, fs::copy_options::none, ec);
        if (ec) {
            for (const auto& p : copied) {
                std::error_code ignored;
                fs::remove(p, ignored);
            }
            throw StartupError("The empty database \"" + name + "\" could not be copied into \"" +
                               folder.string() + "\": " + ec.message());
        }
        copied.push_back(folder / name);
    }
}

std::string readOnlyFolderMessage(const fs::path& folder) {
    return "The database folder \"" + folder.string() +
           "\" is read-only. You can look at the systems and the catalogues, but nothing you "
           "change can be saved. To save your work, make the folder writable or start the "
           "program with another folder (--db-path).";
}

std::string missingDatabasesQuestion(const fs::path& folder, const DatabaseFolderState& state) {
    std::string what;
    if (state.hasNoDatabase()) {
        what = "holds no databases";
    } else {
        what = "lacks ";
        for (std::size_t i = 0; i < state.missingFiles.size(); ++i) {
            what += (i == 0 ? "\"" : (i + 1 == state.missingFiles.size() ? " and \"" : ", \"")) +
                    state.missingFiles[i] + "\"";
        }
    }
    return "The database folder \"" + folder.string() + "\" " + what +
           ". Without them there are no systems and no catalogues to work with. Do you want to "
           "copy the program's starting databases into this folder? (Files already there are "
           "kept.)";
}

namespace {

// The server's three schemas: made when missing, upgraded when older. A server that cannot be
// reached, a newer schema or a failed upgrade leaves the databases read-only for this run.
void checkServerAtStart(
    AppConfig& config, const std::function<void(const std::string&)>& tell,
    const std::function<void(const std::string&, const std::string&)>& tellProblem) {
    const auto problem = [&](const std::string& message, const std::string& detail) {
        if (tellProblem) {
            tellProblem(message, detail);
        } else {
            tell(message);
        }
    };
    config.databaseReadOnly = false;
    config.databaseChecks.clear();
    for (const auto& name : databaseFileNames()) {
        const DatabaseSchema& schema = databaseSchema(name);
        DatabaseCheck check;
        try {
            check = prepareServerSchemaForWriting(config.databaseServer, schema);
        } catch (const AppError& e) {
            config.databaseReadOnly = true;
            problem(e.what(), e.detail());
            continue;
        } catch (const quarvex::Error& e) {
            config.databaseReadOnly = true;
            problem("The database server " + quarvex::withoutPassword(config.databaseServer) +
                        " cannot be reached. Nothing can be opened or saved until it can.",
                    quarvex::withoutPassword(e.what()));
            return;
        }
        if (check.state != DatabaseState::Current) {
            config.databaseReadOnly = true;
            problem(check.message, check.detail);
        }
        config.databaseChecks.push_back(std::move(check));
    }
}

}  // namespace

void checkDatabasesAtStart(
    AppConfig& config, const std::function<bool(const std::string&)>& askCopy,
    const std::function<void(const std::string&)>& tell,
    const std::function<void(const std::string&, const std::string&)>& tellProblem) {
    if (!config.databaseServer.empty()) {
        checkServerAtStart(config, tell, tellProblem);
        return;
    }
    DatabaseFolderState state = checkDatabaseFolder(config.databaseFolder);
    if (!state.missingFiles.empty() && state.writable &&
        askCopy(missingDatabasesQuestion(config.databaseFolder, state))) {
        try {
            copyMissingDatabases(config.templateFolder, config.databaseFolder);
        } catch (const StartupError& e) {
            tell(e.what());
        }
        state = checkDatabaseFolder(config.databaseFolder);
    }
    config.databaseReadOnly = !state.writable;
    if (config.databaseReadOnly) {
        tell(readOnlyFolderMessage(config.databaseFolder));
    }
    const auto problem = [&](const std::string& message, const std::string& detail) {
        if (tellProblem) {
            tellProblem(message, detail);
        } else {
            tell(message);
        }
    };
    config.databaseChecks.clear();
    for (const auto& name : databaseFileNames()) {
        const fs::path file = config.databaseFolder / name;
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) {
            continue;
        }
        const DatabaseSchema& schema = databaseSchema(name);
        DatabaseCheck check;
        try {
            check = state.writable ? prepareDatabaseForWriting(file, schema)
                                   : inspectDatabase(file, schema);
        } catch (const AppError& e) {
            // The upgrade failed and left the file as it was: it is read as it stands.
            check = inspectDatabase(file, schema);
            config.databaseReadOnly = true;
            problem(e.what(), e.detail());
        }
        if (check.state != DatabaseState::Current && check.state != DatabaseState::Older) {
            config.databaseReadOnly = true;
            problem(check.message, check.detail);
        }
        config.databaseChecks.push_back(std::move(check));
    }
}

void setDatabaseFolder(AppConfig& config, const fs::path& databaseFolder) {
    config.databaseFolder = databaseFolder;
    config.databaseServer.clear();
    config.asperPath = databaseFolder / "asper.mdb";
    config.asperConnectionString = quarvex::makeConnectionString(config.asperPath.string());
    config.projectsConnectionString =
        quarvex::makeConnectionString((databaseFolder / "proyectos.mdb").string());
    config.tramosConnectionString =
        quarvex::makeConnectionString((databaseFolder / "tramos.mdb").string());
}

AppConfig startUp(const fs::path& appFolder, const std::string& environmentValue,
                  const std::string& commandLine, const fs::path& userRoot) {
    AppConfig config;
    config.languageFile = requireAppFolder(appFolder, "m17n") / "EN_en.txt";
    {
        std::ifstream probe(config.languageFile);
        if (!probe) {
            throw StartupError("The language file \"" + config.languageFile.string() +
                               "\" is missing or cannot be read.");
        }
    }
    config.imagesFolder = requireAppFolder(appFolder, "imagens");
    config.templateFolder = requireAppFolder(appFolder, "db-template");
    const std::string location = isBlank(environmentValue)
                                     ? databaseFolderFromCommandLine(commandLine)
                                     : trim(environmentValue);
    if (quarvex::isServerUri(location)) {
        setDatabaseServer(config, location);
        return config;
    }
    const auto choice =
        locateDatabaseFolder(environmentValue, commandLine, userRoot, config.templateFolder);
    setDatabaseFolder(config, choice.folder);
    return config;
}

}  // namespace kambrix
