// SPDX-License-Identifier: GPL-3.0-or-later
//
// A system and its charts read from a database folder by the chart commands. The folder is
// only read: nothing is created or copied when a database is missing.
#pragma once

#include <quarvex/quarvex.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "design/workbench_prompts.h"
#include "shell/projectos.h"
#include "shell/startup.h"

namespace kambrix::cli {

// A problem the command reports as one line and exit status kExitBadInput.
class CommandError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct StoredSystem {
    AppConfig config;  // the connection strings of the folder
    Projecto project;  // with its spans
    // Lines for standard error: databases made by a newer version, read all the same.
    std::vector<std::string> notes;
};

// A message of the program as a command prints it after "<command>: ": the first letter in
// lower case and no final full stop.
std::string commandText(const std::string& message);

// Looks at a database file a command is about to read, without writing it: a file the
// program cannot use (damaged, not a database, another program's tables) raises CommandError
// with the plain message; a file made by a newer version adds a note and is read. An older
// file is read as it stands.
void checkDatabaseForReading(const std::filesystem::path& file, std::vector<std::string>& notes);

// The system of that name (or, when no name matches and the text is a whole number, of
// that identifier) in the database folder or on the server a PostgreSQL URI names. A folder without
// the projects or catalogue database, one of them unusable (checkDatabaseForReading), or no such
// system, raises CommandError.
StoredSystem openStoredSystem(const std::string& dbFolder, const std::string& system);

// The folder or server as a command shows it: a server URI without its password.
std::string shownLocation(const std::string& location);

// As checkDatabaseForReading, for a database of the server of `config`; a server that cannot
// be reached raises CommandError.
void checkServerForReading(const AppConfig& config, const std::string& fileName,
                           std::vector<std::string>& notes);

// The chart of that name (or identifier) among the system's charts; CommandError when none.
quarvex::CartaInfo findStoredChart(const StoredSystem& stored, const std::string& chart);

// The workbench's messages become lines "<command>: ..." on the error stream (but the chart
// that did not settle, which the output reports itself); nothing is asked.
class CommandPrompts : public WorkbenchPrompts {
  public:
    CommandPrompts(std::ostream& err, std::string command)
        : err_(err), command_(std::move(command)) {}
    void message(const std::string& text) override;
    bool confirm(const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        return std::nullopt;
    }

  private:
    std::ostream& err_;
    std::string command_;
};

enum class Access { Read, Write };

// The projects database's connection string, or none (told on `err`) when the folder is
// not a database folder or its projects database cannot be used. Read looks at the file
// without writing it (a newer one is read, with a note); Write brings an older file up to
// date first, keeping a copy beside it, and refuses a newer one.
std::optional<std::string> projectsDatabase(const std::string& folder, const char* command,
                                            std::ostream& err, Access access);

}  // namespace kambrix::cli
