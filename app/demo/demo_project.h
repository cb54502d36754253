// SPDX-License-Identifier: GPL-3.0-or-later
//
// The demo system a new user sees at once: a seven-span pivot with an overhang and an end
// gun, built from the reference-span catalogue and stored through the projects store, with
// one stored sprinkler chart to open.
#pragma once

#include <filesystem>

#include "shell/projectos.h"
#include "shell/startup.h"

namespace kambrix {

inline constexpr const char* kDemoProjectName = "Demo pivot (7 spans)";
inline constexpr const char* kDemoChartName = "Demo package";

// The demo project, its spans taken from the reference-span catalogue (open connection to
// "tramos.mdb") and its pipe material from the projects database (open connection).
Projecto makeDemoProject(quarvex::Connection& tramosCon, quarvex::Connection& projectsCon);

// The demo chart of the stored demo project: the automatic package of the catalogue with
// regulators on the last two spans (the seventh and the overhang), a polyethylene drop and
// an end-gun booster, a revolution time of 20 h, no plugged outlet and two runoff points with
// Kostiakov parameters, saved under kDemoChartName through the chart store. Returns its identifier;
// a failure raises the error that stopped it.
int makeDemoChart(const AppConfig& config, const Projecto& storedDemo);

// Makes the demo database folder from the template folder, with the demo project and its
// chart stored in it. An existing folder is left as it is; returns whether it was made now.
bool makeDemoDatabaseFolder(const std::filesystem::path& templateFolder,
                            const std::filesystem::path& target);

}  // namespace kambrix
