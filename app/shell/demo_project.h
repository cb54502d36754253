// SPDX-License-Identifier: GPL-3.0-or-later
//
// The demo system a new user sees at once: a seven-span pivot with an overhang and an end
// gun, built from the reference-span catalogue and stored through the projects store.
#pragma once

#include <filesystem>

#include "shell/projectos.h"
#include "shell/startup.h"

namespace kambrix {

inline constexpr const char* kDemoProjectName = "Demo pivot (7 spans)";

// The demo project, its spans taken from the reference-span catalogue (open connection to
// "tramos.mdb") and its pipe material from the projects database (open connection).
Projecto makeDemoProject(quarvex::Connection& tramosCon, quarvex::Connection& projectsCon);

// Makes the demo database folder from the template folder, with the demo project stored in
// it. An existing folder is left as it is; returns whether it was made now.
bool makeDemoDatabaseFolder(const std::filesystem::path& templateFolder,
                            const std::filesystem::path& target);

}  // namespace kambrix
