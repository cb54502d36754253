// SPDX-License-Identifier: GPL-3.0-or-later
//
// The catch-can file written by the evaluation session, read by `evaluate` through its own
// entry point; and the stored-evaluation commands through the program, with their statuses.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_test_support.h"
#include "commands.h"
#include "evaluation/catch_can_session.h"
#include "evaluation/evaluation_store.h"
#include "shell/csv.h"
#include "shell/number_text.h"
#include "shell/unit_of_work.h"
#include "support/process_run.h"

namespace kambrix {
namespace {

using json = nlohmann::json;

std::string testName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

using Run = test::ProcessRun;

// kambrix-cli with the arguments (already quoted where they hold blanks).
Run program(const std::string& args) {
    return test::runCommand(std::string(KAMBRIX_CLI) + " " + args,
                            std::string(KAMBRIX_TEST_TMP) + "/" + testName() + "-stderr.txt");
}

// The printed results with each depth list sorted: cans at the same distance may come in
// either order.
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

std::string quoted(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

void type(CatchCanSession& s, Radius radius, int row, const char* volume, const char* distance) {
    ASSERT_EQ(s.setCell(radius, row, SampleColumn::Volume, volume, '.'), std::nullopt);
    ASSERT_EQ(s.setCell(radius, row, SampleColumn::Distance, distance, '.'), std::nullopt);
}

}  // namespace

// The exported file gives there exactly the results shown here: the numbers are written in
// their shortest exact text and the diameter in cm, as the command reads them.
TEST(EvaluationCommands, CsvExportedByTheSessionGivesTheSameResultsInEvaluate) {
    CatchCanSession s(quarvex::statics().PivotEvaluations().newEvaluation("round trip"));
    ASSERT_EQ(s.setCanDiameterText("12.3", '.'), std::nullopt);
    const char* first[][2] = {{"101.7", "12.5"},  {"88.123456789012345", "37.5"},
                              {"95", "62.5"},     {"-4", "75"},
                              {"120.25", "87.5"}, {"77", "100"}};
    const char* second[][2] = {{"99", "10"}, {"105.5", "30"}, {"60", "50"},
                               {"0", "70"},  {"110", "90"},   {"101", "0"}};
    for (int i = 0; i < 6; ++i) {
        type(s, Radius::First, i, first[i][0], first[i][1]);
        type(s, Radius::Second, i, second[i][0], second[i][1]);
    }
    test::TempFolder dir("csv-round-trip");
    const auto file = dir.path() / "exported.csv";
    s.exportCsv(file);

    std::ostringstream out, err;
    ASSERT_EQ(cli::runEvaluate(file.string(), out, err), cli::kExitOk) << err.str();
    const auto doc = json::parse(out.str());
    const auto results = s.results();
    const std::pair<const char*, const RadiusResults*> radii[] = {
        {"first", &results.first}, {"second", &results.second}, {"both", &results.both}};
    // A null of the command is a result the session cannot compute either.
    const auto same = [](const json& j, const ResultValue& v, double scale, const char* what) {
        if (j.is_null()) {
            EXPECT_FALSE(v.value) << what;
        } else {
            ASSERT_TRUE(v.value) << what;
            EXPECT_EQ(j.get<double>() * scale, *v.value) << what;
        }
    };
    for (const auto& [key, r] : radii) {
        const auto& j = doc[key];
        ASSERT_TRUE(j.is_object()) << key;
        same(j["average"], r->average_mm, 1, key);
        same(j["lowQuarterAverage"], r->lowQuarterAverage_mm, 1, key);
        same(j["UD"], r->UD_percent, 100, key);
        same(j["CU"], r->CU_percent, 100, key);
        EXPECT_EQ(j["invalid"].get<int>(), r->leftOut) << key;
        EXPECT_EQ(static_cast<int>(j["depths"].size()), r->used) << key;
    }
    EXPECT_TRUE(results.both.UD_percent.value);  // every kind of result was compared
    EXPECT_EQ(doc["first"]["invalid"].get<int>(), 1);
    EXPECT_EQ(doc["second"]["invalid"].get<int>(), 1);
    // The depths too, can by can (the command lists them in ascending distance).
    const auto grid = s.gridRows(Radius::First, '.');
    EXPECT_EQ(fixedText(doc["first"]["depths"][0][1].get<double>(), 3), grid[0].depth);

    // And the file reads back into a session unchanged.
    CatchCanSession back(quarvex::statics().PivotEvaluations().newEvaluation("back"));
    back.importCsv(file);
    EXPECT_EQ(back.readings(Radius::First), s.readings(Radius::First));
    EXPECT_EQ(back.readings(Radius::Second), s.readings(Radius::Second));
    EXPECT_EQ(back.canDiameter_cm(), s.canDiameter_cm());
}

TEST(EvaluationCommands, SaveReplaceShowAndListThroughTheProgram) {
    test::TempFolder root("cli-evaluations");
    const AppConfig config = test::freshDatabases(root);
    const auto db = quoted(config.databaseFolder);
    const auto input = root.path() / "cans.csv";
    writeTextFile(input,
                  "radius,volume_ml,distance_m,canDiameter_cm\n"
                  "1,100,100,10\n1,150,200\n1,120,300\n1,90,400\n1,-1,450\n"
                  "2,80,100\n2,130,250\n");
    const std::string name = "\"O'Brien's field\"";  // a quote reaches the database
    const auto evaluate = program("evaluate " + quoted(input));
    ASSERT_EQ(evaluate.status, 0) << evaluate.err;

    const auto saved = program("evaluate " + quoted(input) + " --save " + name + " --db " + db);
    EXPECT_EQ(saved.status, cli::kExitOk) << saved.err;
    EXPECT_EQ(comparable(saved.out), comparable(evaluate.out));  // as without --save
    const auto again = program("evaluate " + quoted(input) + " --save " + name + " --db " + db);
    EXPECT_EQ(again.status, cli::kExitEvaluationName);
    EXPECT_TRUE(again.out.empty());
    EXPECT_EQ(again.err,
              "evaluate: there is already an evaluation named O'Brien's field; give "
              "--replace to replace it\n");
    const auto replaced =
        program("evaluate " + quoted(input) + " --save " + name + " --db " + db + " --replace");
    EXPECT_EQ(replaced.status, cli::kExitOk) << replaced.err;
    EXPECT_EQ(program("evaluate " + quoted(input) + " --save Other --db " + db).status, 0);

    const auto listed = program("evaluations " + db);
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "O'Brien's field\nOther\n");  // one row per name: replaced
    const auto shown = program("evaluation " + db + " \"O'Brien's field\"");
    EXPECT_EQ(shown.status, 0) << shown.err;
    // Short numbers: the stored text changes nothing.
    EXPECT_EQ(comparable(shown.out), comparable(evaluate.out));
    // The stored readings keep their order and the invalid one.
    const auto stored = readFrom(config.projectsConnectionString, [](quarvex::Connection& con) {
        return findEvaluation(con, "O'Brien's field");
    });
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->firstSample.Length(), 5);
    EXPECT_EQ(stored->firstSample(5).collectedAmount, -1);
    EXPECT_EQ(stored->secondSample(2).distanceFromCenter, 250);
    EXPECT_EQ(stored->pluviometer.diameter, 0.1);

    const auto missing = program("evaluation " + db + " Nowhere");
    EXPECT_EQ(missing.status, cli::kExitEvaluationName);
    EXPECT_EQ(missing.err, "evaluation: there is no evaluation named Nowhere\n");
}

TEST(EvaluationCommands, RefusedOptionsAndFoldersGiveStatus2) {
    test::TempFolder root("cli-evaluation-refusals");
    const AppConfig config = test::freshDatabases(root);
    const auto db = quoted(config.databaseFolder);
    const auto input = root.path() / "cans.csv";
    writeTextFile(input, "radius,volume_ml,distance_m,canDiameter_cm\n1,100,100,10\n");
    const auto notDb = root.path() / "empty";
    std::filesystem::create_directories(notDb);
    const std::string cases[] = {
        "evaluate " + quoted(input) + " --replace",
        "evaluate " + quoted(input) + " --save X",
        "evaluate " + quoted(input) + " --db " + db,
        "evaluate " + quoted(input) + " --save '  ' --db " + db,
        "evaluate " + quoted(input) + " --save X --db " + quoted(root.path() / "none"),
        "evaluate " + quoted(input) + " --save X --db " + quoted(notDb),
        "evaluate " + quoted(root.path() / "missing.csv") + " --save X --db " + db,
        "evaluation " + quoted(notDb) + " X",
        "evaluations " + quoted(root.path() / "none"),
        "evaluations",
    };
    for (const auto& args : cases) {
        const auto r = program(args);
        EXPECT_EQ(r.status, cli::kExitBadInput) << args;
        EXPECT_TRUE(r.out.empty()) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
    // Nothing was stored by any of them.
    EXPECT_EQ(program("evaluations " + db).out, "");

    // A stored evaluation without a can diameter has no depths to show.
    auto e = quarvex::statics().PivotEvaluations().newEvaluation("No can");
    e.firstSample.Push(quarvex::statics().FieldSamples().newFieldSample(10, 5));
    writeTo(config.projectsConnectionString,
            [&](quarvex::Connection& con) { storeEvaluation(con, e, false); });
    const auto noCan = program("evaluation " + db + " 'No can'");
    EXPECT_EQ(noCan.status, cli::kExitBadInput);
    EXPECT_EQ(noCan.err,
              "evaluation: No can has no can diameter, so its depths cannot be "
              "computed\n");
}

}  // namespace kambrix
