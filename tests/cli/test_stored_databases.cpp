// SPDX-License-Identifier: GPL-3.0-or-later
//
// The stored-data commands on database files of other versions: a folder of today's program
// is read without being written and upgraded by the first save; a newer file is read and
// never written; a damaged one is named in plain words; stored names never reach the
// terminal raw; a stored evaluation gives its numbers to the last digit.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_test_support.h"
#include "demo/demo_project.h"
#include "evaluation/evaluation_store.h"
#include "shell/database_schema.h"
#include "shell/unit_of_work.h"
#include "support/process_run.h"

namespace kambrix {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

std::string testName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

test::ProcessRun program(const std::string& args) {
    return test::runCommand(std::string(KAMBRIX_CLI) + " " + args,
                            std::string(KAMBRIX_TEST_TMP) + "/" + testName() + "-stderr.txt");
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

void run(const fs::path& file, const std::string& sql) {
    quarvex::Connection con(quarvex::makeConnectionString(file.string()));
    con.Open();
    con.Execute(sql);
}

int userVersion(const fs::path& file) {
    quarvex::Connection con(quarvex::makeConnectionString(file.string()));
    con.Open();
    return con.Execute("PRAGMA user_version").Field("user_version").AsInt();
}

std::string bytes(const fs::path& file) {
    return test::readWholeFile(file);
}

// Depth lists sorted: cans at the same distance may come in either order. Numbers compare
// exactly.
json comparable(const std::string& out) {
    json doc = json::parse(out);
    for (const char* key : {"first", "second", "both"}) {
        if (doc[key].is_object()) {
            auto& depths = doc[key]["depths"];
            std::sort(depths.begin(), depths.end());
        }
    }
    return doc;
}

// Readings whose volumes need all 17 significant digits to come back as the same double.
fs::path writeReadings(const fs::path& folder) {
    const fs::path input = folder / "cans.csv";
    std::ofstream(input) << "radius,volume_ml,distance_m,canDiameter_cm\n"
                            "1,88.123456789012345,12.5,20.3\n"
                            "1,101.70000000000002,37.5\n"
                            "1,95.333333333333329,62.5\n"
                            "1,77.777777777777786,87.5\n"
                            "2,99.099999999999994,10\n"
                            "2,105.50000000000001,30\n"
                            "2,60.123456789012344,50\n";
    return input;
}

// A database folder as today's program leaves it: no version stamped, the demo system and
// its chart, one evaluation.
fs::path todaysFolder(const test::TempFolder& root) {
    const fs::path db = root.path() / "db";
    EXPECT_TRUE(makeDemoDatabaseFolder(KAMBRIX_DB_TEMPLATE, db));
    const auto saved = program("evaluate " + quoted(writeReadings(root.path())) +
                               " --save North --db " + quoted(db));
    EXPECT_EQ(saved.status, 0) << saved.err;
    for (const auto& name : databaseFileNames()) {
        run(db / name, "PRAGMA user_version = 0");
    }
    return db;
}

struct Outputs {
    test::ProcessRun charts, chart, evaluations, evaluation;
};

Outputs readEverything(const fs::path& db) {
    const std::string system = "'" + std::string(kDemoProjectName) + "'";
    const std::string chart = "'" + std::string(kDemoChartName) + "'";
    return {program("charts " + quoted(db) + " " + system),
            program("chart " + quoted(db) + " " + system + " " + chart),
            program("evaluations " + quoted(db)), program("evaluation " + quoted(db) + " North")};
}

bool anyBackup(const fs::path& db) {
    for (const auto& entry : fs::directory_iterator(db)) {
        if (entry.path().filename().string().find(".bak-") != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Today's folder: the reading commands leave every byte as it was; the first save upgrades
// with a copy beside the file; everything reads the same afterwards.
TEST(StoredDatabases, TodaysFolderIsReadUnchangedAndUpgradedByTheFirstSave) {
    test::TempFolder root("cli-today");
    const fs::path db = todaysFolder(root);
    const std::string projects = bytes(db / "proyectos.mdb");
    const std::string catalogue = bytes(db / "asper.mdb");

    const Outputs before = readEverything(db);
    for (const auto* r : {&before.charts, &before.chart, &before.evaluations, &before.evaluation}) {
        EXPECT_EQ(r->status, 0) << r->err;
        EXPECT_EQ(r->err.find("newer"), std::string::npos) << r->err;
    }
    EXPECT_EQ(before.evaluations.out, "North\n");
    EXPECT_EQ(bytes(db / "proyectos.mdb"), projects);
    EXPECT_EQ(bytes(db / "asper.mdb"), catalogue);
    EXPECT_FALSE(anyBackup(db));

    const auto saved = program("evaluate " + quoted(writeReadings(root.path())) +
                               " --save South --db " + quoted(db));
    ASSERT_EQ(saved.status, 0) << saved.err;
    EXPECT_NE(saved.err.find("was brought up to date; its earlier form is kept as " +
                             (db / "proyectos.mdb.bak-0").string()),
              std::string::npos)
        << saved.err;
    EXPECT_EQ(bytes(db / "proyectos.mdb.bak-0"), projects);
    EXPECT_EQ(userVersion(db / "proyectos.mdb"), databaseSchema("proyectos.mdb").currentVersion());

    const Outputs after = readEverything(db);
    EXPECT_EQ(after.charts.out, before.charts.out);
    EXPECT_EQ(after.chart.out, before.chart.out);
    EXPECT_EQ(after.evaluation.out, before.evaluation.out);
    EXPECT_EQ(after.evaluations.out, "North\nSouth\n");
}

TEST(StoredDatabases, NewerFileIsReadWithANoteAndNeverWritten) {
    test::TempFolder root("cli-newer");
    const fs::path db = todaysFolder(root);
    run(db / "proyectos.mdb", "PRAGMA user_version = 9");
    const std::string projects = bytes(db / "proyectos.mdb");

    const Outputs read = readEverything(db);
    for (const auto* r : {&read.charts, &read.chart, &read.evaluations, &read.evaluation}) {
        EXPECT_EQ(r->status, 0) << r->err;
        EXPECT_NE(r->err.find("the database \"" + (db / "proyectos.mdb").string() +
                              "\" was made by a newer version of Kambrix"),
                  std::string::npos)
            << r->err;
    }
    EXPECT_EQ(read.evaluations.out, "North\n");
    const auto refused = program("evaluate " + quoted(writeReadings(root.path())) +
                                 " --save South --db " + quoted(db));
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_NE(refused.err.find("was made by a newer version of Kambrix"), std::string::npos)
        << refused.err;
    EXPECT_EQ(bytes(db / "proyectos.mdb"), projects);
    EXPECT_FALSE(anyBackup(db));
}

TEST(StoredDatabases, DamagedFileIsNamedInPlainWords) {
    test::TempFolder root("cli-damaged");
    const AppConfig config = test::freshDatabases(root);
    const fs::path file = config.databaseFolder / "proyectos.mdb";
    std::ofstream(file, std::ios::trunc) << "this is a spreadsheet, not a database\n";
    for (const std::string& args : {"evaluations " + quoted(config.databaseFolder),
                                    "evaluation " + quoted(config.databaseFolder) + " North",
                                    "charts " + quoted(config.databaseFolder) + " North",
                                    "evaluate " + quoted(writeReadings(root.path())) +
                                        " --save North --db " + quoted(config.databaseFolder)}) {
        const auto r = program(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("the database \"" + file.string() +
                             "\" is damaged or was not made by Kambrix"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(r.err.find("SQL"), std::string::npos) << r.err;
    }
    EXPECT_EQ(bytes(file), "this is a spreadsheet, not a database\n");
}

TEST(StoredDatabases, NamesWithControlCharactersAreRefusedAndListedEscaped) {
    test::TempFolder root("cli-names");
    const AppConfig config = test::freshDatabases(root);
    const auto db = quoted(config.databaseFolder);
    const auto input = quoted(writeReadings(root.path()));
    // An older file may already hold such a name.
    run(config.databaseFolder / "proyectos.mdb",
        "INSERT INTO pivot_evaluations (name) VALUES ('Red' || char(27) || '[31m')");
    const auto listed = program("evaluations " + db);
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "Red\\x1b[31m\n");

    const auto control =
        program("evaluate " + input + " --save \"$(printf 'Bad\\033[2J')\" --db " + db);
    EXPECT_EQ(control.status, 2);
    EXPECT_EQ(control.err,
              "evaluate: The name of an evaluation cannot hold control characters "
              "(\\x1b at character 4)\n");
    const auto tooLong =
        program("evaluate " + input + " --save " + std::string(201, 'n') + " --db " + db);
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.err.find("at most 200 characters"), std::string::npos) << tooLong.err;
    EXPECT_EQ(
        program("evaluate " + input + " --save " + std::string(200, 'n') + " --db " + db).status,
        0);
    EXPECT_EQ(program("evaluations " + db).out, std::string(200, 'n') + "\nRed\\x1b[31m\n");
}

// What evaluate prints is what the stored evaluation prints, to the last digit.
TEST(StoredDatabases, StoredEvaluationGivesTheSameNumbersToTheLastDigit) {
    test::TempFolder root("cli-exact");
    const AppConfig config = test::freshDatabases(root);
    const auto input = quoted(writeReadings(root.path()));
    const auto computed = program("evaluate " + input);
    ASSERT_EQ(computed.status, 0) << computed.err;
    const auto saved =
        program("evaluate " + input + " --save Exact --db " + quoted(config.databaseFolder));
    ASSERT_EQ(saved.status, 0) << saved.err;
    const auto shown = program("evaluation " + quoted(config.databaseFolder) + " Exact");
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(comparable(saved.out), comparable(computed.out));
    EXPECT_EQ(comparable(shown.out), comparable(computed.out));
    const auto stored = readFrom(config.projectsConnectionString, [](quarvex::Connection& con) {
        return findEvaluation(con, "Exact");
    });
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->firstSample(1).collectedAmount, 88.123456789012345);
    EXPECT_EQ(stored->secondSample(3).collectedAmount, 60.123456789012344);

    // A stored reading beyond the range of numbers is refused, not read as 0 or infinity.
    run(config.databaseFolder / "proyectos.mdb",
        "UPDATE pivot_evaluations SET first_samples = '1e999 12.5' || char(13) || char(10) || "
        "'95 37.5' WHERE name = 'Exact'");
    const auto beyond = program("evaluation " + quoted(config.databaseFolder) + " Exact");
    EXPECT_EQ(beyond.status, 2);
    EXPECT_TRUE(beyond.out.empty());
    EXPECT_NE(beyond.err.find("holds a reading beyond the range of numbers"), std::string::npos)
        << beyond.err;
}

}  // namespace kambrix
