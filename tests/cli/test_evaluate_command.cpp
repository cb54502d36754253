// SPDX-License-Identifier: GPL-3.0-or-later
// Runs kambrix-cli evaluate on files and checks the JSON it prints.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

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

// The golden input: 20 mm at 300 m and 10 mm at 100 m in a 10 cm can, plus one reading without
// distance. Average 17.5, low quarter 10, UD 4/7, CU 11/14 (hand-worked, see the water-depth
// series tests).
TEST(EvaluateCommand, GoldenJsonInput) {
    const auto r = run(std::string("evaluate ") + KAMBRIX_CLI_DATA + "/evaluate_two_radii.json");
    ASSERT_EQ(r.status, 0) << stderrText();
    const auto doc = nlohmann::json::parse(r.out);
    const auto& first = doc["first"];
    ASSERT_TRUE(first.is_object());
    ASSERT_EQ(first["depths"].size(), 2u);
    EXPECT_EQ(first["depths"][0][0].get<double>(), 100);         // ascending distance
    EXPECT_NEAR(first["depths"][0][1].get<double>(), 10, 1e-9);  // 15-digit input volumes
    EXPECT_NEAR(first["average"].get<double>(), 17.5, 1e-9);
    EXPECT_NEAR(first["lowQuarterAverage"].get<double>(), 10, 1e-9);
    EXPECT_NEAR(first["UD"].get<double>(), 4.0 / 7.0, 1e-9);
    EXPECT_NEAR(first["CU"].get<double>(), 11.0 / 14.0, 1e-9);
    EXPECT_EQ(first["invalid"].get<int>(), 1);
    EXPECT_TRUE(doc["second"].is_null());
    EXPECT_EQ(doc["both"]["depths"].size(), 2u);
}

TEST(EvaluateCommand, CsvInputAndNullIndicators) {
    const auto path = writeFile("eval.csv",
                                "radius,volume_ml,distance_m,canDiameter_cm\r\n"
                                "1,78.5398163397448,100,10\r\n"
                                "1,157.07963267949,300\r\n"
                                "2,78.5398163397448,101\r\n"
                                "2,157.07963267949,299,10\r\n");
    const auto r = run("evaluate " + path);
    ASSERT_EQ(r.status, 0) << stderrText();
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_NEAR(doc["first"]["UD"].get<double>(), 4.0 / 7.0, 1e-9);
    // 101 m weighs more than a quarter of 400: no low quarter, and the reason is on stderr.
    EXPECT_TRUE(doc["second"]["lowQuarterAverage"].is_null());
    EXPECT_TRUE(doc["second"]["UD"].is_null());
    EXPECT_TRUE(doc["second"]["CU"].is_number());
    EXPECT_NE(stderrText().find("low-quarter"), std::string::npos);
    EXPECT_EQ(doc["both"]["depths"].size(), 4u);
}

TEST(EvaluateCommand, TheStreamedOutputIsTheJsonLibrarysOwnText) {
    // The results are written as they are formatted, not as one document: the text must be
    // what the JSON library prints for the same document, to the byte, for a long test with
    // left-out readings, a radius whose readings are all invalid and one without readings.
    std::string csv = "radius,volume_ml,distance_m,canDiameter_cm\r\n";
    for (int i = 1; i <= 700; ++i) {
        csv += "1," + std::to_string(60 + (i * 37) % 41) + "." + std::to_string(i % 10) + "," +
               std::to_string(3 * i) + (i == 1 ? ",10" : "") + "\r\n";
    }
    csv += "1,-4,5\r\n";
    const std::string allInvalid = csv + "2,12,0\r\n2,-1,7\r\n";
    for (const auto& [name, text] :
         {std::pair<std::string, std::string>{"one.csv", csv}, {"invalid.csv", allInvalid}}) {
        const auto r = run("evaluate " + writeFile(name, text));
        ASSERT_EQ(r.status, 0) << name << ": " << stderrText();
        const auto doc = nlohmann::ordered_json::parse(r.out);
        EXPECT_EQ(r.out, doc.dump(2) + "\n") << name;
        EXPECT_EQ(doc["first"]["depths"].size(), 700u);
        EXPECT_EQ(doc["first"]["invalid"].get<int>(), 1);
        EXPECT_EQ(doc["both"]["depths"].size(), 700u);
        if (name == "one.csv") {
            EXPECT_TRUE(doc["second"].is_null());
        } else {
            EXPECT_TRUE(doc["second"]["depths"].empty());
            EXPECT_TRUE(doc["second"]["average"].is_null());
            EXPECT_EQ(doc["both"]["invalid"].get<int>(), 3);
            EXPECT_NE(stderrText().find("second: no valid reading"), std::string::npos);
        }
    }
}

TEST(EvaluateCommand, BadInputGivesOneLineAndStatus2) {
    const std::pair<const char*, const char*> cases[] = {
        {"nodiam.json", R"({"firstSample": [[1, 2]]})"},
        {"zerodiam.json", R"({"canDiameter_cm": 0, "firstSample": [[1, 2]]})"},
        {"badpair.json", R"({"canDiameter_cm": 10, "firstSample": [[1]]})"},
        {"broken.json", R"({"canDiameter_cm": 10,)"},
        {"radius.csv", "radius,volume,distance\n3,10,5,10\n"},
        {"comma.csv", "radius,volume,distance\n1,10;5,5,10\n"},
        {"nodiam.csv", "radius,volume,distance\n1,10,5\n"},
        {"empty.csv", ""},
    };
    for (const auto& [name, text] : cases) {
        const auto r = run("evaluate " + writeFile(name, text));
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.out.empty()) << name;
        const auto err = stderrText();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << name << ": " << err;
    }
    const auto missing = run("evaluate /nonexistent/file.json");
    EXPECT_EQ(missing.status, 2);
}
