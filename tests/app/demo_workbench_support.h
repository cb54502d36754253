// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the tests of the workbench's logic share: prompts that answer nothing, and the demo
// project stored in a fresh database folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "design/chart_workbench.h"

namespace kambrix::test {

// Keeps every message; declines every question and every name asked for.
class SilentPrompts : public WorkbenchPrompts {
  public:
    void message(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::vector<std::string> messages;
};

// The demo project, stored in the databases of `config`; returned with its stored id.
inline Projecto storeDemoProject(const AppConfig& config) {
    quarvex::Connection tramos(config.tramosConnectionString);
    quarvex::Connection projects(config.projectsConnectionString);
    tramos.Open();
    projects.Open();
    Projecto project = makeDemoProject(tramos, projects);
    Projectos().saveProject(projects, project);
    return project;
}

}  // namespace kambrix::test
