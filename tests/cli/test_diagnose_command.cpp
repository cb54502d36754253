// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli diagnose on the demo folder: a test made of the demo chart's own depths with
// the cans around one outlet near 250 m cut by half names that outlet and its nozzle, from
// a file with --chart and from a stored evaluation linked to the chart; the folder is only
// read; misuse is told in one line.
#include <gtest/gtest.h>

#include <quarvex/quarvex.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "demo/demo_project.h"
#include "support/process_run.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

std::string testName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

fs::path testDir() {
    return fs::path(KAMBRIX_TEST_TMP) / ("diagnose-" + testName());
}

kambrix::test::ProcessRun run(const std::string& args) {
    return kambrix::test::runCommand(std::string(KAMBRIX_CLI) + " " + args,
                                     testDir() / "stderr.txt");
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

void write(const fs::path& p, const json& doc) {
    std::ofstream(p) << doc.dump();
}

constexpr double kCanArea_m2 = 0.007853981633974483;  // a can of 10 cm

class DiagnoseCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(testDir());
        fs::create_directories(testDir());
        db = testDir() / "demo-db";
        ASSERT_TRUE(kambrix::makeDemoDatabaseFolder(KAMBRIX_DB_TEMPLATE, db));
        chartArgs = "--chart " + quoted(db) + " '" + kambrix::kDemoProjectName + "' '" +
                    kambrix::kDemoChartName + "'";
    }
    void TearDown() override { fs::remove_all(testDir()); }

    // A test of cans every 5 m holding the chart's own depths, those within 6 m of `cut`
    // at half their depth.
    json cutTest(double cut) {
        json probe{{"name", "probe"}, {"canDiameter_cm", 10}, {"firstSample", json::array()}};
        for (int i = 1; i <= 84; ++i) {
            probe["firstSample"].push_back({100, 5.0 * i});
        }
        write(testDir() / "probe.json", probe);
        const auto r = run("diagnose " + quoted(testDir() / "probe.json") + " " + chartArgs);
        EXPECT_EQ(r.status, 0) << r.err;
        const json out = json::parse(r.out);
        json test{{"name", "cut"}, {"canDiameter_cm", 10}, {"firstSample", json::array()}};
        for (const auto& c : out["designed"]) {
            const double d = c["distance"].get<double>();
            const double depth = c["designed"].get<double>() * (std::abs(d - cut) <= 6 ? 0.5 : 1);
            test["firstSample"].push_back({depth * kCanArea_m2 * 1000, d});
        }
        return test;
    }

    fs::path db;
    std::string chartArgs;
};

// The low zone holding `at`, or null.
json zoneAt(const json& out, double at) {
    for (const auto& z : out["lowZones"]) {
        if (z["from"].get<double>() <= at && at <= z["to"].get<double>()) {
            return z;
        }
    }
    return nullptr;
}

TEST_F(DiagnoseCommand, AHalvedPlaceNamesItsOutletsFromAFileAndFromTheStore) {
    const json test = cutTest(250);
    write(testDir() / "cut.json", test);
    const auto r = run("diagnose " + quoted(testDir() / "cut.json") + " " + chartArgs +
                       " --without-end-gun --smooth");
    ASSERT_EQ(r.status, 0) << r.err;
    const json out = json::parse(r.out);
    for (const char* key :
         {"first", "both", "SC", "scRun", "lowZones", "highZones", "trend", "endGun",
          "measuredSupply", "designed", "afterRepair", "withoutEndGun", "smoothed", "findings"}) {
        EXPECT_TRUE(out.contains(key)) << key;
    }
    const json zone = zoneAt(out, 250);
    ASSERT_FALSE(zone.is_null()) << out["lowZones"].dump();
    ASSERT_FALSE(zone["suspects"].empty());
    bool named = false;
    for (const auto& s : zone["suspects"]) {
        const double d = s["distance"].get<double>();
        EXPECT_GE(d, zone["from"].get<double>() - 5);
        EXPECT_LE(d, zone["to"].get<double>() + 5);
        named = named || (std::abs(d - 250) < 2 && !s["nozzle"].get<std::string>().empty() &&
                          s["tramo"].get<int>() > 0 && s["saida"].get<int>() > 0);
    }
    EXPECT_TRUE(named) << zone.dump();
    EXPECT_GT(out["afterRepair"]["CU"].get<double>(), out["both"]["CU"].get<double>());
    EXPECT_LT(out["SC"].get<double>() - 1, 1.0);
    EXPECT_GT(out["SC"].get<double>(), 1.0);

    // Without the options their results are left out; without --chart, the chart's part.
    const auto plain = run("diagnose " + quoted(testDir() / "cut.json"));
    ASSERT_EQ(plain.status, 0) << plain.err;
    const json plainOut = json::parse(plain.out);
    EXPECT_FALSE(plainOut.contains("smoothed"));
    EXPECT_FALSE(plainOut.contains("designed"));
    EXPECT_TRUE(zoneAt(plainOut, 250)["suspects"].empty());

    // The same test stored and linked to the chart in the folder.
    ASSERT_EQ(
        run("evaluate " + quoted(testDir() / "cut.json") + " --save 'Cut test' --db " + quoted(db))
            .status,
        0);
    {
        quarvex::Connection con(quarvex::makeConnectionString((db / "proyectos.mdb").string()));
        con.Open();
        con.Execute(
            "INSERT INTO tb_evaluation_conditions (nombre, id_sistema, id_carta) SELECT 'Cut "
            "test', id_sistema, id_carta FROM tb_cartas");
    }
    const auto stored = run("diagnose --db " + quoted(db) + " --evaluation 'Cut test'");
    ASSERT_EQ(stored.status, 0) << stored.err;
    const json storedOut = json::parse(stored.out);
    EXPECT_EQ(storedOut["lowZones"], out["lowZones"]);
    EXPECT_EQ(storedOut["findings"], out["findings"]);
    EXPECT_EQ(storedOut["chart"]["chart"], kambrix::kDemoChartName);
}

TEST_F(DiagnoseCommand, MisuseIsToldInOneLine) {
    for (const std::string& args :
         {std::string("diagnose"), "diagnose x.json --db " + quoted(db) + " --evaluation y",
          "diagnose --db " + quoted(db)}) {
        const auto r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("diagnose takes either"), std::string::npos) << r.err;
    }
    const auto missing = run("diagnose --db " + quoted(db) + " --evaluation 'No such test'");
    EXPECT_EQ(missing.status, 4);
    EXPECT_EQ(missing.err, "diagnose: there is no evaluation named No such test\n");
    write(testDir() / "bad.json", json{{"canDiameter_cm", 10},
                                       {"firstSample", json::array({json::array({100, 5})})},
                                       {"conditions", {{"timer_percent", 250}}}});
    const auto bad = run("diagnose " + quoted(testDir() / "bad.json"));
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("timer setting"), std::string::npos) << bad.err;
}

}  // namespace
