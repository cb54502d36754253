// SPDX-License-Identifier: GPL-3.0-or-later
//
// The whole output of kambrix-cli for every input in tests/cli/data/, against the output
// pinned in tests/cli/golden/. The prefix of an input's name says the command: design_,
// evaluate_, compare_ and agronomic_ inputs are that command's input file; a chart_ input
// names a system (first line) and its chart (second line) of the demo database folder, made
// afresh from the template, and is read back through `chart`. When a change of the
// results is intended, regenerate the pinned files with scripts/update-golden.sh and review
// the difference before committing.
#include <gtest/gtest.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"
#include "demo/demo_project.h"

namespace kambrix::cli {
namespace {

using json = nlohmann::json;
namespace fs = std::filesystem;

// Numbers agree when they differ by at most 1e-9 of their size (and 1e-12 absolute near 0):
// the results are computed with the same arithmetic, and the tolerance only absorbs the last
// bits that another compiler or optimisation level may round differently. A real change of
// a result (a loss, a discharge, an indicator) is far larger.
constexpr double kRelative = 1e-9;
constexpr double kAbsolute = 1e-12;

void compare(const json& got, const json& want, const std::string& path,
             std::vector<std::string>& differences) {
    if (differences.size() > 20) {
        return;
    }
    if (want.is_number() && got.is_number()) {
        const double a = got.get<double>();
        const double b = want.get<double>();
        if (!(std::fabs(a - b) <= std::max(kAbsolute, kRelative * std::fabs(b)))) {
            differences.push_back(path + ": " + got.dump() + " instead of " + want.dump());
        }
        return;
    }
    if (got.type() != want.type()) {
        differences.push_back(path + ": " + got.dump() + " instead of " + want.dump());
        return;
    }
    if (want.is_object()) {
        for (const auto& [key, value] : want.items()) {
            if (!got.contains(key)) {
                differences.push_back(path + "." + key + ": missing");
            } else {
                compare(got[key], value, path + "." + key, differences);
            }
        }
        for (const auto& [key, value] : got.items()) {
            if (!want.contains(key)) {
                differences.push_back(path + "." + key + ": not in the pinned output");
            }
        }
    } else if (want.is_array()) {
        if (got.size() != want.size()) {
            differences.push_back(path + ": " + std::to_string(got.size()) +
                                  " elements instead of " + std::to_string(want.size()));
            return;
        }
        for (std::size_t i = 0; i < want.size(); ++i) {
            compare(got[i], want[i], path + "[" + std::to_string(i) + "]", differences);
        }
    } else if (got != want) {
        differences.push_back(path + ": " + got.dump() + " instead of " + want.dump());
    }
}

// The demo database folder (the demo system and its stored chart), made once per process:
// ctest runs each case in a process of its own, side by side, so each has its own folder.
const std::string& demoFolder() {
    static const std::string folder = [] {
        const fs::path target =
            fs::path(KAMBRIX_TEST_TMP) / ("golden-demo-db-" + std::to_string(::getpid()));
        fs::remove_all(target);
        fs::create_directories(target.parent_path());
        if (!makeDemoDatabaseFolder(KAMBRIX_DB_TEMPLATE, target)) {
            throw std::runtime_error("the demo database folder was not made");
        }
        return target.string();
    }();
    return folder;
}

json readJson(const fs::path& file) {
    std::ifstream in(file);
    if (!in) {
        throw std::runtime_error("cannot read " + file.string());
    }
    return json::parse(in);
}

// Runs the command the input's name calls for; an unknown prefix gives -1.
int runInput(const fs::path& input, std::ostream& out, std::ostream& err) {
    const std::string name = input.filename().string();
    const std::string file = input.string();
    auto starts = [&](const char* prefix) { return name.rfind(prefix, 0) == 0; };
    if (starts("design_")) {
        return runDesign(file, false, out, err);
    }
    if (starts("evaluate_")) {
        return runEvaluate(file, out, err);
    }
    if (starts("compare_")) {
        return runCompare(file, out, err);
    }
    if (starts("agronomic_")) {
        return runAgronomic(file, out, err);
    }
    if (starts("chart_")) {
        std::ifstream in(input);
        ChartOptions options;
        options.dbFolder = demoFolder();
        if (!std::getline(in, options.system) || !std::getline(in, options.chart)) {
            throw std::runtime_error(file + " must name a system and a chart, one a line");
        }
        return runChart(options, out, err);
    }
    return -1;
}

std::string listed(const std::vector<std::string>& differences) {
    std::string all;
    for (const auto& d : differences) {
        all += "\n  " + d;
    }
    return all;
}

TEST(GoldenOutput, EveryDataFileGivesItsPinnedOutput) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(KAMBRIX_CLI_DATA)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    int compared = 0;
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        const fs::path input = fs::path(KAMBRIX_CLI_DATA) / name;
        const fs::path golden =
            fs::path(KAMBRIX_CLI_GOLDEN) / (input.stem().string() + ".out.json");
        std::ostringstream out, err;
        const int rc = runInput(input, out, err);
        if (rc == -1) {
            ADD_FAILURE() << name
                          << ": inputs are named design_*, evaluate_*, compare_*, agronomic_* "
                             "or chart_*";
            continue;
        }
        ASSERT_TRUE(fs::exists(golden)) << golden << " is missing: run scripts/update-golden.sh";
        const json want = readJson(golden);
        EXPECT_EQ(rc, kExitOk) << name << ": " << err.str();
        std::vector<std::string> differences;
        compare(json::parse(out.str()), want, name, differences);
        EXPECT_TRUE(differences.empty())
            << name << " differs from " << golden << listed(differences)
            << "\nIf the change is intended: scripts/update-golden.sh, then review git diff.";
        ++compared;
    }
    // The two small inputs and the whole-model ones: the demo pivot in automatic and manual
    // mode, a package comparison, an agronomic sizing and the stored demo chart.
    EXPECT_GE(compared, 7);
}

TEST(GoldenOutput, TheStoredDemoChartIsThePinnedManualDesign) {
    // The stored chart read back gives the design input pinned as the manual demo design, so
    // both pinned outputs describe one chart.
    ChartOptions options;
    options.dbFolder = demoFolder();
    options.system = kDemoProjectName;
    options.chart = kDemoChartName;
    options.designJson = true;
    std::ostringstream out, err;
    ASSERT_EQ(runChart(options, out, err), kExitOk) << err.str();
    std::vector<std::string> differences;
    compare(json::parse(out.str()),
            readJson(fs::path(KAMBRIX_CLI_DATA) / "design_demo_manual.json"), "design",
            differences);
    EXPECT_TRUE(differences.empty()) << listed(differences);
}

TEST(GoldenOutput, TheComparisonSeesARealChange) {
    // The tolerance must not hide a change: a discharge 1e-6 off, a missing outlet, a text.
    const json want = json::parse(R"({"q": 0.25, "list": [1, 2], "name": "N1", "none": null})");
    std::vector<std::string> d;
    compare(json::parse(R"({"q": 0.25000000000001, "list": [1, 2], "name": "N1", "none": null})"),
            want, "x", d);
    EXPECT_TRUE(d.empty());
    compare(json::parse(R"({"q": 0.250001, "list": [1, 2], "name": "N1", "none": null})"), want,
            "x", d);
    compare(json::parse(R"({"q": 0.25, "list": [1], "name": "N1", "none": null})"), want, "x", d);
    compare(json::parse(R"({"q": 0.25, "list": [1, 2], "name": "N2", "none": 0})"), want, "x", d);
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[0].rfind("x.q:", 0), 0u);
    EXPECT_EQ(d[1], "x.list: 1 elements instead of 2");
}

}  // namespace
}  // namespace kambrix::cli
