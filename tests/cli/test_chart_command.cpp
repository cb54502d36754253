// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli charts and chart on the demo database folder: the listing, the stored chart
// computed as `design` computes its design input, the printed chart, and that the folder is
// only read.
#include <gtest/gtest.h>

#include <quarvex/quarvex.h>
#include <algorithm>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "demo/demo_project.h"
#include "support/process_run.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

using CliRun = kambrix::test::ProcessRun;

std::string testName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

fs::path testDir() {
    return fs::path(KAMBRIX_TEST_TMP) / testName();
}

CliRun run(const std::string& args) {
    return kambrix::test::runCommand(std::string(KAMBRIX_CLI) + " " + args,
                                     testDir() / "stderr.txt");
}

std::string readFile(const fs::path& p) {
    return kambrix::test::readWholeFile(p);
}

// Every file of the folder with its content.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (e.is_regular_file()) {
            files[e.path().lexically_relative(folder).string()] = readFile(e.path());
        }
    }
    return files;
}

class ChartCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(testDir());
        fs::create_directories(testDir());
        db = testDir() / "demo-db";
        ASSERT_TRUE(kambrix::makeDemoDatabaseFolder(KAMBRIX_DB_TEMPLATE, db));
    }
    void TearDown() override { fs::remove_all(testDir()); }
    std::string args(const std::string& rest) const {
        return "'" + db.string() + "' '" + kambrix::kDemoProjectName + "' " + rest;
    }
    fs::path db;
};

TEST_F(ChartCommand, ListsTheStoredCharts) {
    const CliRun r = run("charts " + args(""));
    ASSERT_EQ(r.status, 0) << r.err;
    const json list = json::parse(r.out);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["name"], kambrix::kDemoChartName);
    EXPECT_GT(list[0]["id"].get<int>(), 0);
    quarvex::Connection con(quarvex::makeConnectionString((db / "proyectos.mdb").string()));
    con.Open();
    auto rs = con.Execute("SELECT count(*) as n FROM tb_aspersores WHERE id_carta=" +
                          std::to_string(list[0]["id"].get<int>()));
    EXPECT_EQ(list[0]["sprinklers"].get<int>(), rs.Field("n").AsInt());
    EXPECT_GT(list[0]["sprinklers"].get<int>(), 150);
}

TEST_F(ChartCommand, PrintsWhatDesignPrintsForItsDesignInput) {
    const auto before = snapshot(db);
    const CliRun chart = run("chart " + args("'Demo package'"));
    ASSERT_EQ(chart.status, 0) << chart.err;
    const CliRun input = run("chart " + args("'Demo package' --design-json"));
    ASSERT_EQ(input.status, 0) << input.err;
    const json in = json::parse(input.out);
    EXPECT_EQ(in["mode"], "manual");
    EXPECT_EQ(in["catalogue"].size(), 89u);
    EXPECT_EQ(in["chart"]["regulators"].size(), 2u);
    EXPECT_TRUE(in["chart"]["drop"]["installed"].get<bool>());
    EXPECT_GT(in["chart"]["endGunBoost"].get<double>(), 0);
    EXPECT_EQ(in["chart"]["indicadores"]["horasRevolucao"], 20.0);
    EXPECT_TRUE(in["chart"].contains("pluviometria"));
    EXPECT_GT(in["chart"]["nozzles"].size(), 150u);

    const auto file = testDir() / "design.json";
    std::ofstream(file) << input.out;
    const CliRun design = run("design '" + file.string() + "'");
    ASSERT_EQ(design.status, 0) << design.err;
    EXPECT_EQ(chart.out, design.out);
    const json result = json::parse(chart.out);
    EXPECT_EQ(result["outlets"].size(), 197u);
    EXPECT_TRUE(result.contains("indicators"));
    EXPECT_TRUE(result.contains("runoff"));

    const CliRun chartCsv = run("chart " + args("'Demo package' --csv"));
    const CliRun designCsv = run("design --csv '" + file.string() + "'");
    ASSERT_EQ(chartCsv.status, 0) << chartCsv.err;
    EXPECT_EQ(chartCsv.out, designCsv.out);

    // Also by identifier.
    const int id = json::parse(run("charts " + args("")).out)[0]["id"];
    EXPECT_EQ(run("chart " + args(std::to_string(id))).out, chart.out);
    // The folder is only read.
    EXPECT_EQ(snapshot(db), before);
}

TEST_F(ChartCommand, WritesThePrintedChart) {
    const auto pdf = testDir() / "chart.pdf";
    const CliRun r = run("chart " + args("'Demo package' --pdf '" + pdf.string() + "'"));
#ifdef KAMBRIX_CLI_HAS_REPORT
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(readFile(pdf).rfind("%PDF", 0), 0u);
    // The surface storage and the designer's name go only with a printed chart.
    const auto named = testDir() / "named.pdf";
    EXPECT_EQ(run("chart " + args("'Demo package' --pdf '" + named.string() +
                                  "' --surface-storage 1.5 --designed-by 'Ana Designer'"))
                  .status,
              0);
    EXPECT_EQ(run("chart " + args("'Demo package' --surface-storage 1.5")).status, 2);
    EXPECT_EQ(run("chart " + args("'Demo package' --pdf x.pdf --surface-storage -1")).status, 2);
#else
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("not available"), std::string::npos) << r.err;
#endif
    EXPECT_EQ(run("chart " + args("'Demo package' --pdf x.pdf --design-json")).status, 2);
#ifdef KAMBRIX_CLI_HAS_REPORT
    // A printed chart that cannot be written whole is not written at all, and says why in
    // one line naming the file.
    const auto lines = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n'); };
    CliRun full = run("chart " + args("'Demo package' --pdf /dev/full"));
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(lines(full.err), 1) << full.err;
    EXPECT_NE(full.err.find("/dev/full"), std::string::npos) << full.err;
    EXPECT_NE(full.err.find("the disk is full"), std::string::npos) << full.err;
    const auto missing = testDir() / "no" / "such" / "x.pdf";
    CliRun nowhere = run("chart " + args("'Demo package' --pdf '" + missing.string() + "'"));
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_EQ(lines(nowhere.err), 1) << nowhere.err;
    EXPECT_NE(nowhere.err.find(missing.string()), std::string::npos) << nowhere.err;
    EXPECT_EQ(nowhere.err.find("QPainter"), std::string::npos) << nowhere.err;
    // The earlier file stays as it was when a new one cannot be made; no temporary is left.
    const std::string before = readFile(pdf);
    for (const auto& e : fs::directory_iterator(testDir())) {
        EXPECT_EQ(e.path().filename().string().find(".part-"), std::string::npos);
    }
    EXPECT_EQ(readFile(pdf), before);
#endif
}

TEST_F(ChartCommand, RefusesWhatIsNotThere) {
    CliRun r = run("charts '" + (testDir() / "nowhere").string() + "' x");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(testDir() / "nowhere"));

    const auto empty = testDir() / "empty";
    fs::create_directories(empty);
    r = run("chart '" + empty.string() + "' x y");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("has no asper.mdb"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_empty(empty));

    r = run("charts '" + db.string() + "' 'No such system'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("there is no system named No such system"), std::string::npos) << r.err;

    r = run("chart " + args("'No such chart'"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("has no sprinkler chart named No such chart"), std::string::npos) << r.err;
}

}  // namespace
