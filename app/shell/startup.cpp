// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/startup.h"

#include <quarvex/quarvex.h>

#include <fstream>
#include <system_error>

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
        chosen = kambrixFolder / ("v" + programVersion());
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

void setDatabaseFolder(AppConfig& config, const fs::path& databaseFolder) {
    config.databaseFolder = databaseFolder;
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
    const auto choice =
        locateDatabaseFolder(environmentValue, commandLine, userRoot, config.templateFolder);
    setDatabaseFolder(config, choice.folder);
    return config;
}

}  // namespace kambrix
