// SPDX-License-Identifier: GPL-3.0-or-later
//
// The whole output of kambrix-cli for every input in tests/cli/data/, against the output
// pinned in tests/cli/golden/. When a change of the results is intended, regenerate the
// pinned files with scripts/update-golden.sh and review the difference before committing.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "commands.h"

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

TEST(GoldenOutput, EveryDataFileGivesItsPinnedOutput) {
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(KAMBRIX_CLI_DATA)) {
        const std::string name = entry.path().filename().string();
        const bool isDesign = name.rfind("design_", 0) == 0;
        if (!isDesign && name.rfind("evaluate_", 0) != 0) {
            ADD_FAILURE() << name << ": inputs are named design_* or evaluate_*";
            continue;
        }
        const fs::path golden =
            fs::path(KAMBRIX_CLI_GOLDEN) / (entry.path().stem().string() + ".out.json");
        std::ifstream in(golden);
        ASSERT_TRUE(in) << golden << " is missing: run scripts/update-golden.sh";
        const json want = json::parse(in);
        std::ostringstream out, err;
        const int rc = isDesign ? runDesign(entry.path().string(), false, out, err)
                                : runEvaluate(entry.path().string(), out, err);
        ASSERT_EQ(rc, kExitOk) << name << ": " << err.str();
        std::vector<std::string> differences;
        compare(json::parse(out.str()), want, name, differences);
        std::string all;
        for (const auto& d : differences) {
            all += "\n  " + d;
        }
        EXPECT_TRUE(differences.empty())
            << name << " differs from " << golden << all
            << "\nIf the change is intended: scripts/update-golden.sh, then review git diff.";
        ++compared;
    }
    EXPECT_GE(compared, 2);
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
