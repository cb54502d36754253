// SPDX-License-Identifier: GPL-3.0-or-later
#include "stored_system.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "design/outlet_warnings.h"
#include "shell/database_schema.h"
#include "shell/server_store.h"
#include "shell/stored_names.h"
#include "shell/unit_of_work.h"

namespace kambrix::cli {
namespace {

bool wholeNumber(const std::string& s) {
    return !s.empty() && s.size() < 10 &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

std::string commandText(const std::string& message) {
    std::string text = message;
    if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' &&
        !(text[1] >= 'A' && text[1] <= 'Z')) {
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

void checkDatabaseForReading(const std::filesystem::path& file, std::vector<std::string>& notes) {
    const DatabaseCheck check = inspectDatabase(file, databaseSchema(file.filename().string()));
    if (!check.readable()) {
        throw CommandError(commandText(check.message) +
                           (check.detail.empty() ? "" : " (" + check.detail + ")"));
    }
    if (check.state == DatabaseState::Newer) {
        notes.push_back(commandText(check.message));
    }
}

std::string shownLocation(const std::string& location) {
    return escapeControlCharacters(quarvex::withoutPassword(location));
}

void checkServerForReading(const AppConfig& config, const std::string& fileName,
                           std::vector<std::string>& notes) {
    DatabaseCheck check;
    try {
        check = inspectStoredDatabase(config, fileName);
    } catch (const quarvex::Error& e) {
        throw CommandError("the database server " + shownLocation(config.databaseServer) +
                           " cannot be reached (" + quarvex::withoutPassword(e.what()) + ")");
    }
    if (!check.readable()) {
        throw CommandError(commandText(check.message) +
                           (check.detail.empty() ? "" : " (" + check.detail + ")"));
    }
    if (check.state == DatabaseState::Newer) {
        notes.push_back(commandText(check.message));
    }
}

StoredSystem openStoredSystem(const std::string& dbFolder, const std::string& system) {
    namespace fs = std::filesystem;
    StoredSystem s;
    if (quarvex::isServerUri(dbFolder)) {
        setDatabaseServer(s.config, dbFolder);
        for (const char* name : {"asper.mdb", "proyectos.mdb"}) {
            checkServerForReading(s.config, name, s.notes);
        }
    } else {
        std::error_code ec;
        const fs::path folder = fs::absolute(dbFolder, ec);
        if (ec || !fs::is_directory(folder, ec)) {
            throw CommandError("the database folder " + dbFolder + " does not exist");
        }
        setDatabaseFolder(s.config, folder);
        for (const auto& file : {s.config.asperPath, folder / "proyectos.mdb"}) {
            if (!fs::is_regular_file(file, ec)) {
                throw CommandError("the database folder " + escapeControlCharacters(dbFolder) +
                                   " has no " + file.filename().string());
            }
            checkDatabaseForReading(file, s.notes);
        }
    }
    const Projectos store;
    auto project = readFrom(s.config.projectsConnectionString, [&](quarvex::Connection& con) {
        auto p = store.loadProject(con, store.nameCondition(system), "tramos");
        if (!p && wholeNumber(system)) {
            p = store.loadProject(con, "id=" + system, "tramos");
        }
        return p;
    });
    if (!project) {
        throw CommandError("there is no system named " + escapeControlCharacters(system) + " in " +
                           shownLocation(dbFolder));
    }
    s.project = std::move(*project);
    return s;
}

quarvex::CartaInfo findStoredChart(const StoredSystem& stored, const std::string& chart) {
    const auto all = quarvex::statics().CartaAspersor().enumerateAll(
        stored.config.projectsConnectionString, stored.project.id);
    std::optional<quarvex::CartaInfo> byId;
    for (int i = 1; i <= all.Count(); ++i) {
        const auto& info = all.Item(i);
        if (info.nome == chart) {
            return info;
        }
        if (wholeNumber(chart) && std::to_string(info.id) == chart) {
            byId = info;
        }
    }
    if (byId) {
        return *byId;
    }
    throw CommandError("the system " + escapeControlCharacters(stored.project.nome) +
                       " has no sprinkler chart named " + escapeControlCharacters(chart));
}

void CommandPrompts::message(const std::string& text) {
    if (text != kNotSettledMessage) {
        err_ << command_ << ": " << text << '\n';
    }
}

}  // namespace kambrix::cli
