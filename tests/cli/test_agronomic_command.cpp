// SPDX-License-Identifier: GPL-3.0-or-later
// Runs kambrix-cli agronomic on files and checks the JSON it prints.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/process_run.h"

namespace {

using Run = kambrix::test::ProcessRun;

// Every test runs in its own process, possibly at the same time as the others: files are
// named after the test.
std::string testName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

std::string stderrPath() {
    return std::string(KAMBRIX_TEST_TMP) + "/" + testName() + "-stderr.txt";
}

Run run(const std::string& args) {
    return kambrix::test::runCommand(std::string(KAMBRIX_CLI) + " " + args, stderrPath());
}

std::string stderrText() {
    return kambrix::test::readWholeFile(stderrPath());
}

std::string writeFile(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(KAMBRIX_TEST_TMP);
    const std::string path = std::string(KAMBRIX_TEST_TMP) + "/" + testName() + "-" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace

// The hand-worked case: Epa 100.2, Re 0.97245, and a field of 50 ha worked 20 h a day.
TEST(AgronomicCommand, EveryResultOfCompleteData) {
    const auto r = run("agronomic " + writeFile("full.json", R"({"kf": 1, "Etc": 6, "Pe": 0,
        "Pa": 50, "CU": 80, "Eto": 5, "U": 2, "CI": 10, "Oe": 1,
        "area_ha": 50, "hours_per_day": 20})"));
    ASSERT_EQ(r.status, 0) << stderrText();
    const auto doc = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& item : doc.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Epa", "Re", "efficiency", "GIR", "Qc",
                                              "systemDischarge"}));
    // A few units in the last place of terms near 1000.
    const double tol = 1e-9;
    const double e = 100.2 * 0.97245;
    EXPECT_NEAR(doc["Epa"].get<double>(), 100.2, tol);
    EXPECT_NEAR(doc["Re"].get<double>(), 0.97245, tol);
    EXPECT_NEAR(doc["efficiency"].get<double>(), e, tol);
    EXPECT_NEAR(doc["GIR"].get<double>(), 6 / (e / 100), tol);
    EXPECT_NEAR(doc["Qc"].get<double>(), 6 / (e / 100) / 8.64, tol);
    EXPECT_NEAR(doc["systemDischarge"].get<double>(), 6 / (e / 100) / 8.64 * 50 * 24 / 20, tol);
    EXPECT_EQ(stderrText(), "");

    // Efficiency 100 % with GIR 6 mm/day: Qc 0.6944 L/s/ha, 41.67 L/s for 50 ha and 20 h.
    const auto six = run("agronomic " + writeFile("six.json", R"({"kf": 0.97245, "Etc": 6,
        "Pe": 0, "Pa": 100, "CU": 100, "Eto": 5, "U": 2, "CI": 10, "Oe": 1,
        "area_ha": 50, "hours_per_day": 20})"));
    ASSERT_EQ(six.status, 0) << stderrText();
    const auto d6 = nlohmann::json::parse(six.out);
    EXPECT_NEAR(d6["GIR"].get<double>(), 6 * 0.97245 / 0.97245, tol);
    EXPECT_NEAR(d6["Qc"].get<double>(), 0.694444444444, 1e-12);
    EXPECT_NEAR(d6["systemDischarge"].get<double>(), 41.6666666667, 1e-9);
}

TEST(AgronomicCommand, MissingInputsGiveNullsAndTheScreensReasons) {
    const auto r = run("agronomic " + writeFile("noU.json", R"({"kf": 1, "Etc": 6, "Pe": null,
        "Pa": 50, "CU": 80, "Eto": 5, "CI": 10, "Oe": 1, "hours_per_day": 24})"));
    ASSERT_EQ(r.status, 0) << stderrText();
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_NEAR(doc["Epa"].get<double>(), 100.2, 1e-9);
    for (const char* key : {"Re", "efficiency", "GIR", "Qc", "systemDischarge"}) {
        EXPECT_TRUE(doc[key].is_null()) << key;
    }
    const std::string err = stderrText();
    EXPECT_NE(err.find("Re: It must be given the U value\n"), std::string::npos) << err;
    EXPECT_NE(err.find("systemDischarge: It must be given the U value\n"), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 5) << err;

    // Efficiency complete, crop and field missing.
    const auto crop = run("agronomic " + writeFile("crop.json", R"({"Pa": 50, "CU": 80,
        "Eto": 5, "U": 2, "CI": 10, "Oe": 1, "kf": 1, "Etc": 6, "Pe": 0})"));
    ASSERT_EQ(crop.status, 0);
    const auto c = nlohmann::json::parse(crop.out);
    EXPECT_TRUE(c["Qc"].is_number());
    EXPECT_TRUE(c["systemDischarge"].is_null());
    EXPECT_NE(stderrText().find("systemDischarge: It must be given the value of the field area"),
              std::string::npos);

    const auto none = run("agronomic " + writeFile("none.json", "{}"));
    ASSERT_EQ(none.status, 0);
    EXPECT_NE(stderrText().find("Epa: It must be given the Pa value"), std::string::npos);
    EXPECT_NE(stderrText().find("GIR: It must be given the Pa value"), std::string::npos);
}

TEST(AgronomicCommand, BadInputOutOfRangeAndFaultsGiveStatus2) {
    const std::pair<const char*, const char*> cases[] = {
        {"broken.json", R"({"kf": 1,)"},
        {"array.json", "[1, 2]"},
        {"text.json", R"({"kf": "one"})"},
        {"typo.json", R"({"ETc": 6})"},
        {"kf0.json", R"({"kf": 0})"},
        {"ci.json", R"({"CI": 6.9})"},
        {"pa0.json", R"({"Pa": 0})"},
        {"hours0.json", R"({"hours_per_day": 0})"},
        {"hours.json", R"({"hours_per_day": 24.5})"},
        {"area.json", R"({"area_ha": -5})"},
        {"missing.json", R"({"Pe": -99})"},
    };
    for (const auto& [name, text] : cases) {
        const auto r = run("agronomic " + writeFile(name, text));
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.out.empty()) << name;
        const auto err = stderrText();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << name << ": " << err;
    }
    EXPECT_NE(run("agronomic " + writeFile("ci2.json", R"({"CI": 17.5})")).status, 0);
    EXPECT_NE(stderrText().find("The value for CI must be from 7 to 17"), std::string::npos);
    EXPECT_EQ(run("agronomic /nonexistent/agronomic.json").status, 2);

    // The range ends that are accepted.
    const auto ends = run("agronomic " + writeFile("ends.json", R"({"Pe": 0, "CI": 17,
        "Pa": 100, "hours_per_day": 24, "Oe": 0})"));
    EXPECT_EQ(ends.status, 0) << stderrText();

    // Oe = 0 is valid, and makes GIR divide by zero: the results it allows are printed, the
    // fault is reported and the status is 2.
    const auto fault = run("agronomic " + writeFile("oe0.json", R"({"kf": 1, "Etc": 6,
        "Pe": 0, "Pa": 50, "CU": 80, "Eto": 5, "U": 2, "CI": 10, "Oe": 0,
        "area_ha": 50, "hours_per_day": 20})"));
    EXPECT_EQ(fault.status, 2);
    const auto doc = nlohmann::json::parse(fault.out);
    EXPECT_EQ(doc["efficiency"].get<double>(), 0);
    EXPECT_TRUE(doc["GIR"].is_null());
    EXPECT_TRUE(doc["systemDischarge"].is_null());
    EXPECT_NE(stderrText().find("GIR: The gross irrigation requirement cannot be computed: "
                                "the application efficiency is 0"),
              std::string::npos)
        << stderrText();
}
