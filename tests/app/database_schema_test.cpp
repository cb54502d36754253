// SPDX-License-Identifier: GPL-3.0-or-later
//
// Database files of older, newer, damaged and foreign make; their upgrade with a kept copy;
// two writers on one file.
#include "shell/database_schema.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#include "app_test_support.h"
#include "demo/demo_project.h"
#include "design/chart_print_store.h"
#include "evaluation/evaluation_store.h"
#include "shell/projectos.h"
#include "shell/reference_tramos.h"
#include "shell/unit_of_work.h"

namespace fs = std::filesystem;
using kambrix::databaseSchema;
using kambrix::DatabaseState;
using kambrix::inspectDatabase;
using kambrix::prepareDatabaseForWriting;
using kambrix::test::TempFolder;

namespace {

std::string cs(const fs::path& file) {
    return quarvex::makeConnectionString(file.string());
}

void run(const fs::path& file, const std::string& sql) {
    quarvex::Connection con(cs(file));
    con.Open();
    con.Execute(sql);
}

int userVersion(const fs::path& file) {
    quarvex::Connection con(cs(file));
    con.Open();
    return con.Execute("PRAGMA user_version").Field("user_version").AsInt();
}

// Every row of every table, as text: two files with the same dump hold the same data.
std::map<std::string, std::vector<std::string>> dump(const fs::path& file) {
    quarvex::Connection con(cs(file));
    con.Open();
    std::map<std::string, std::vector<std::string>> tables;
    auto names = con.Execute(
        "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'");
    std::vector<std::string> list;
    for (; !names.IsEOF(); names.MoveNext()) {
        list.push_back(names.Field("name").AsString());
    }
    for (const auto& table : list) {
        auto rows = con.Execute("SELECT * FROM \"" + table + "\" ORDER BY rowid");
        auto& out = tables[table];
        for (; !rows.IsEOF(); rows.MoveNext()) {
            std::string line;
            for (const auto& column : rows.columns()) {
                const auto& v = rows.Field(column);
                line += (v.IsNull() ? std::string("NULL") : v.AsString()) + "|";
            }
            out.push_back(line);
        }
    }
    return tables;
}

// A database folder as today's program leaves it: the template's tables with no version
// stamped (0), the demo system and its chart, and an evaluation saved through the stores.
kambrix::AppConfig todaysFolder(const TempFolder& root) {
    const fs::path folder = root.path() / "db";
    EXPECT_TRUE(kambrix::makeDemoDatabaseFolder(KAMBRIX_DB_TEMPLATE, folder));
    kambrix::AppConfig config;
    config.templateFolder = KAMBRIX_DB_TEMPLATE;
    kambrix::setDatabaseFolder(config, folder);
    auto evaluation = quarvex::statics().PivotEvaluations().newEvaluation("North field");
    evaluation.pluviometer = quarvex::statics().Pluviometros().newPluviometro(20.3);
    for (double d : {5.0, 10.0, 15.0}) {
        evaluation.firstSample.Push(
            quarvex::statics().FieldSamples().newFieldSample(100.0 / 3.0 + d, d));
    }
    kambrix::writeTo(config.projectsConnectionString, [&](quarvex::Connection& con) {
        kambrix::storeEvaluation(con, evaluation, false);
    });
    // The files of those days had no supply tables, no printed-chart tables and no outside
    // diameter of the reference spans.
    run(folder / "proyectos.mdb",
        "DROP TABLE tb_supply; DROP TABLE tb_supply_pump; DROP TABLE tb_chart_print; "
        "DROP TABLE tb_system_print;");
    run(folder / "tramos.mdb", "ALTER TABLE Valley DROP COLUMN diametro_exterior;");
    for (const auto& name : kambrix::databaseFileNames()) {
        run(folder / name, "PRAGMA user_version = 0");
    }
    return config;
}

// The schema of the projects database with one more step, as a later version would have it.
kambrix::DatabaseSchema withNoteColumn(const std::string& stepSql) {
    kambrix::DatabaseSchema schema = databaseSchema("proyectos.mdb");
    schema.templateSql += "\nALTER TABLE pivot_evaluations ADD COLUMN note TEXT DEFAULT '';";
    const int v = schema.currentVersion();
    schema.steps.push_back({v, v + 1, stepSql, {{"pivot_evaluations", "note"}}, {}});
    return schema;
}

}  // namespace

TEST(DatabaseSchema, TemplatesAreStampedWithTheVersionTheProgramWrites) {
    for (const auto& name : kambrix::databaseFileNames()) {
        const fs::path file = fs::path(KAMBRIX_DB_TEMPLATE) / name;
        EXPECT_EQ(userVersion(file), databaseSchema(name).currentVersion()) << name;
        EXPECT_EQ(inspectDatabase(file, databaseSchema(name)).state, DatabaseState::Current)
            << name;
    }
    EXPECT_EQ(databaseSchema("proyectos.mdb").currentVersion(), 5);
    EXPECT_EQ(databaseSchema("asper.mdb").currentVersion(), 2);
    EXPECT_EQ(databaseSchema("tramos.mdb").currentVersion(), 3);
    EXPECT_THROW(databaseSchema("other.mdb"), std::invalid_argument);
}

// Today's folder opens in the new version: upgraded with a copy of each file beside it, and
// every system, chart and evaluation is there as it was.
TEST(DatabaseSchema, TodaysFolderIsUpgradedWithACopyAndKeepsEveryRecord) {
    TempFolder root("today");
    kambrix::AppConfig config = todaysFolder(root);
    const fs::path folder = config.databaseFolder;
    std::map<std::string, std::map<std::string, std::vector<std::string>>> before;
    for (const auto& name : kambrix::databaseFileNames()) {
        before[name] = dump(folder / name);
        EXPECT_EQ(inspectDatabase(folder / name, databaseSchema(name)).state, DatabaseState::Older);
    }
    std::vector<std::string> told;
    kambrix::checkDatabasesAtStart(
        config, [](const std::string&) { return false; },
        [&](const std::string& t) { told.push_back(t); });
    EXPECT_TRUE(told.empty());
    EXPECT_FALSE(config.databaseReadOnly);
    ASSERT_EQ(config.databaseChecks.size(), 3u);
    for (const auto& check : config.databaseChecks) {
        const std::string name = check.file.filename().string();
        EXPECT_EQ(check.state, DatabaseState::Current) << name;
        EXPECT_EQ(check.backup, folder / (name + ".bak-0"));
        EXPECT_EQ(userVersion(check.file), databaseSchema(name).currentVersion());
        EXPECT_EQ(userVersion(check.backup), 0);  // the copy is the file as it was
        auto after = dump(check.file);
        if (name == "proyectos.mdb") {
            // Version 2 added the supply tables, empty.
            EXPECT_TRUE(after.at("tb_supply").empty());
            EXPECT_TRUE(after.at("tb_supply_pump").empty());
            after.erase("tb_supply");
            after.erase("tb_supply_pump");
            // Version 3 added the printed chart's tables, empty.
            EXPECT_TRUE(after.at("tb_chart_print").empty());
            EXPECT_TRUE(after.at("tb_system_print").empty());
            after.erase("tb_chart_print");
            after.erase("tb_system_print");
        }
        if (name == "tramos.mdb") {
            // Version 2 added the outside diameter, blank on every stored span.
            for (auto& row : after.at("Valley")) {
                ASSERT_GE(row.size(), 5u);
                EXPECT_EQ(row.substr(row.size() - 5), "NULL|") << row;
                row.erase(row.size() - 5);
            }
        }
        EXPECT_EQ(after, before[name]) << name;
        EXPECT_EQ(dump(check.backup), before[name]) << name;
    }
    // The stores read what was stored before.
    const auto systems = kambrix::readFrom(config.projectsConnectionString, [](auto& con) {
        return kambrix::Projectos().projectNames(con);
    });
    EXPECT_EQ(systems, std::vector<std::string>{kambrix::kDemoProjectName});
    const auto evaluation = kambrix::readFrom(config.projectsConnectionString, [](auto& con) {
        return kambrix::findEvaluation(con, "North field");
    });
    ASSERT_TRUE(evaluation.has_value());
    ASSERT_EQ(evaluation->firstSample.Length(), 3);
    EXPECT_EQ(evaluation->firstSample(1).collectedAmount, 100.0 / 3.0 + 5.0);  // exactly

    // A second start finds the current version: nothing more is copied.
    kambrix::checkDatabasesAtStart(
        config, [](const std::string&) { return false; }, [](const std::string&) {});
    for (const auto& check : config.databaseChecks) {
        EXPECT_TRUE(check.backup.empty());
        EXPECT_FALSE(fs::exists(check.file.string() + ".bak-1"));
        EXPECT_FALSE(fs::exists(check.file.string() + ".bak-2"));
    }
}

// A projects file of version 1 (before the supply tables and the test conditions) is read
// as it stands and gets the tables on its upgrade; a version-1 file that somehow has them
// already keeps them.
TEST(DatabaseSchema, VersionOneProjectsFileGetsTheSupplyTables) {
    TempFolder root("v1");
    const fs::path file = root.path() / "proyectos.mdb";
    fs::copy_file(fs::path(KAMBRIX_DB_TEMPLATE) / "proyectos.mdb", file);
    run(file,
        "DROP TABLE tb_supply; DROP TABLE tb_supply_pump; DROP TABLE tb_evaluation_conditions; "
        "DROP TABLE tb_chart_print; DROP TABLE tb_system_print; PRAGMA user_version = 1;");
    run(file, "INSERT INTO projectos (designacao) VALUES ('North')");
    const auto& schema = databaseSchema("proyectos.mdb");
    EXPECT_EQ(inspectDatabase(file, schema).state, DatabaseState::Older);
    const auto check = prepareDatabaseForWriting(file, schema);
    EXPECT_EQ(check.state, DatabaseState::Current);
    EXPECT_EQ(check.backup, fs::path(file.string() + ".bak-1"));
    EXPECT_EQ(userVersion(file), schema.currentVersion());
    const auto tables = dump(file);
    EXPECT_TRUE(tables.count("tb_supply") == 1 && tables.count("tb_supply_pump") == 1);
    EXPECT_EQ(tables.count("tb_evaluation_conditions"), 1u);
    EXPECT_EQ(tables.count("tb_chart_print"), 1u);
    EXPECT_EQ(tables.at("projectos").size(), 1u);
    EXPECT_EQ(dump(check.backup).count("tb_supply"), 0u);

    const fs::path twice = root.path() / "twice" / "proyectos.mdb";
    fs::create_directories(twice.parent_path());
    fs::copy_file(fs::path(KAMBRIX_DB_TEMPLATE) / "proyectos.mdb", twice);
    run(twice, "PRAGMA user_version = 1");
    EXPECT_EQ(prepareDatabaseForWriting(twice, schema).state, DatabaseState::Current);
    EXPECT_EQ(userVersion(twice), schema.currentVersion());
}

// A projects file of version 2 (before the printed chart's tables) and a reference-span file
// of version 1 (before the outside diameter) are read as they stand: the stores give blanks,
// and a write of a reference span does not touch the missing column. Their upgrades add the
// tables and the column and keep the rows.
TEST(DatabaseSchema, FilesBeforeThePrintedChartFieldsReadBlankAndUpgrade) {
    TempFolder root("v2");
    const fs::path projects = root.path() / "proyectos.mdb";
    fs::copy_file(fs::path(KAMBRIX_DB_TEMPLATE) / "proyectos.mdb", projects);
    run(projects,
        "DROP TABLE tb_chart_print; DROP TABLE tb_system_print; DROP TABLE "
        "tb_evaluation_conditions; PRAGMA user_version = 2;");
    const auto& schema = databaseSchema("proyectos.mdb");
    EXPECT_EQ(inspectDatabase(projects, schema).state, DatabaseState::Older);
    {
        quarvex::Connection con(cs(projects));
        con.Open();
        EXPECT_EQ(kambrix::loadChartSignoff(con, 1), kambrix::ChartSignoff{});
        EXPECT_EQ(kambrix::loadSystemPrintFields(con, 1), kambrix::SystemPrintFields{});
        // Deleting a system of such a file does not fail for the missing tables.
        EXPECT_NO_THROW(kambrix::printRowsParticipant().remove(con, 1));
    }
    EXPECT_EQ(prepareDatabaseForWriting(projects, schema).state, DatabaseState::Current);
    EXPECT_EQ(userVersion(projects), schema.currentVersion());
    const auto upgraded = dump(projects);
    EXPECT_EQ(upgraded.count("tb_chart_print"), 1u);
    EXPECT_EQ(upgraded.count("tb_system_print"), 1u);
    EXPECT_EQ(upgraded.count("tb_evaluation_conditions"), 1u);

    const fs::path tramos = root.path() / "tramos.mdb";
    fs::copy_file(fs::path(KAMBRIX_DB_TEMPLATE) / "tramos.mdb", tramos);
    run(tramos, "ALTER TABLE Valley DROP COLUMN diametro_exterior; PRAGMA user_version = 1;");
    const auto& tramosSchema = databaseSchema("tramos.mdb");
    EXPECT_EQ(inspectDatabase(tramos, tramosSchema).state, DatabaseState::Older);
    {
        quarvex::Connection con(cs(tramos));
        con.Open();
        kambrix::ReferenceTramos store;
        auto span = store.findByName(con, "RS 101.6x35");
        ASSERT_GT(span.id, 0);
        EXPECT_FALSE(span.diametroExterior.has_value());
        span.diametroExterior = 114.3;
        EXPECT_NO_THROW(store.updateReferenceTramo(con, span));
        EXPECT_FALSE(store.findByName(con, "RS 101.6x35").diametroExterior.has_value());
    }
    EXPECT_EQ(prepareDatabaseForWriting(tramos, tramosSchema).state, DatabaseState::Current);
    EXPECT_EQ(userVersion(tramos), tramosSchema.currentVersion());
    quarvex::Connection con(cs(tramos));
    con.Open();
    kambrix::ReferenceTramos store;
    auto span = store.findByName(con, "RS 101.6x35");
    EXPECT_FALSE(span.diametroExterior.has_value());
    EXPECT_DOUBLE_EQ(span.longitud, 35.0);
    span.diametroExterior = 114.3;
    store.updateReferenceTramo(con, span);
    ASSERT_TRUE(store.findByName(con, "RS 101.6x35").diametroExterior.has_value());
    EXPECT_DOUBLE_EQ(*store.findByName(con, "RS 101.6x35").diametroExterior, 114.3);
}

// The upgrade mechanism with a step a later version would add: the column is missing in a
// version-1 file and accepted there; the upgrade adds it and keeps a copy under a free name;
// a step that fails leaves the file as it was.
TEST(DatabaseSchema, StepsRunInOneTransactionAndNeverReplaceACopy) {
    TempFolder root("steps");
    const fs::path file = root.path() / "proyectos.mdb";
    fs::copy_file(fs::path(KAMBRIX_DB_TEMPLATE) / "proyectos.mdb", file);
    run(file, "INSERT INTO pivot_evaluations (name) VALUES ('Kept')");
    const int v = databaseSchema("proyectos.mdb").currentVersion();
    const std::string copy = file.string() + ".bak-" + std::to_string(v);

    const auto failing = withNoteColumn(
        "ALTER TABLE pivot_evaluations ADD COLUMN note TEXT DEFAULT '';"
        "INSERT INTO no_such_table VALUES (1);");
    EXPECT_EQ(inspectDatabase(file, failing).state, DatabaseState::Older);
    const auto before = dump(file);
    EXPECT_EQ(kambrix::test::numberOf([&] { prepareDatabaseForWriting(file, failing); }),
              kambrix::errc::DatabaseDamaged);
    EXPECT_EQ(userVersion(file), v);
    EXPECT_EQ(dump(file), before);  // the column added by the failed step is gone again
    EXPECT_TRUE(fs::exists(copy));

    const auto schema = withNoteColumn(
        "ALTER TABLE pivot_evaluations ADD COLUMN note TEXT "
        "DEFAULT '';");
    const auto check = prepareDatabaseForWriting(file, schema);
    EXPECT_EQ(check.state, DatabaseState::Current);
    EXPECT_EQ(check.backup, fs::path(copy + "-2"));  // the first copy is kept
    EXPECT_EQ(userVersion(file), v + 1);
    quarvex::Connection con(cs(file));
    con.Open();
    EXPECT_EQ(con.Execute("SELECT name, note FROM pivot_evaluations").Field("note").AsString(), "");
    // The program of today meets this file as one of a newer version.
    EXPECT_EQ(inspectDatabase(file, databaseSchema("proyectos.mdb")).state, DatabaseState::Newer);
}

// A file of a newer version is only read: the start says so, the folder is read-only for the
// run and the file is not touched.
TEST(DatabaseSchema, NewerFileIsReadAndNeverWritten) {
    TempFolder root("newer");
    kambrix::AppConfig config = kambrix::test::freshDatabases(root);
    config.templateFolder = KAMBRIX_DB_TEMPLATE;
    const fs::path file = config.databaseFolder / "proyectos.mdb";
    run(file, "PRAGMA user_version = 7");
    const auto before = dump(file);
    std::vector<std::pair<std::string, std::string>> problems;
    kambrix::checkDatabasesAtStart(
        config, [](const std::string&) { return false; }, [](const std::string&) {},
        [&](const std::string& m, const std::string& d) { problems.emplace_back(m, d); });
    EXPECT_TRUE(config.databaseReadOnly);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].first.find("was made by a newer version of Kambrix"), std::string::npos);
    EXPECT_NE(problems[0].first.find("version 7"), std::string::npos);
    EXPECT_EQ(userVersion(file), 7);
    EXPECT_FALSE(fs::exists(file.string() + ".bak-7"));
    EXPECT_EQ(dump(file), before);
    EXPECT_EQ(prepareDatabaseForWriting(file, databaseSchema("proyectos.mdb")).state,
              DatabaseState::Newer);
    EXPECT_EQ(userVersion(file), 7);
}

// Files the program cannot use give one plain message, without SQL; the database's own
// words are the detail.
TEST(DatabaseSchema, DamagedAndForeignFilesGiveAPlainMessage) {
    TempFolder root("damaged");
    const fs::path templateFile = fs::path(KAMBRIX_DB_TEMPLATE) / "proyectos.mdb";
    const auto& schema = databaseSchema("proyectos.mdb");
    const auto fileWith = [&](const std::string& tag, auto&& make) {
        const fs::path file = root.path() / tag / "proyectos.mdb";
        fs::create_directories(file.parent_path());
        make(file);
        return file;
    };
    const fs::path notSqlite = fileWith("text", [](const fs::path& f) {
        std::ofstream(f) << "name,volume\nNorth,12\n" << std::string(2000, 'x');
    });
    const fs::path empty = fileWith("empty", [](const fs::path& f) { std::ofstream{f}; });
    const fs::path truncated = fileWith("truncated", [&](const fs::path& f) {
        fs::copy_file(templateFile, f);
        fs::resize_file(f, fs::file_size(f) / 2);
    });
    const fs::path noTable = fileWith("notable", [&](const fs::path& f) {
        fs::copy_file(templateFile, f);
        run(f, "DROP TABLE pivot_evaluations");
    });
    for (const auto& file : {notSqlite, empty, truncated, noTable}) {
        const auto check = inspectDatabase(file, schema);
        EXPECT_EQ(check.state, DatabaseState::Damaged) << file;
        EXPECT_EQ(check.message,
                  "The database \"" + file.string() + "\" is damaged or was not made by Kambrix.");
        EXPECT_FALSE(check.detail.empty()) << file;
        EXPECT_FALSE(check.readable());
    }

    const fs::path textInNumber = fileWith("text-number", [&](const fs::path& f) {
        fs::copy_file(templateFile, f);
        run(f, "INSERT INTO projectos (designacao, Q) VALUES ('North', 'many')");
    });
    auto check = inspectDatabase(textInNumber, schema);
    EXPECT_EQ(check.state, DatabaseState::ForeignTable);
    EXPECT_EQ(check.message, "The table \"projectos\" of the database \"" + textInNumber.string() +
                                 "\" holds text where a number belongs: the file was made by "
                                 "another program or another version of Kambrix.");
    // Numbers stored as text that reads as a number, and flags as words, are fine.
    const fs::path numberText = fileWith("number-text", [&](const fs::path& f) {
        fs::copy_file(templateFile, f);
        run(f, "INSERT INTO projectos (designacao, Q) VALUES ('North', ' 12.5 ')");
    });
    EXPECT_EQ(inspectDatabase(numberText, schema).state, DatabaseState::Current);

    const fs::path missingColumn = fileWith("no-column", [&](const fs::path& f) {
        fs::copy_file(templateFile, f);
        run(f, "ALTER TABLE pivot_evaluations DROP COLUMN second_samples");
    });
    check = inspectDatabase(missingColumn, schema);
    EXPECT_EQ(check.state, DatabaseState::ForeignTable);
    EXPECT_NE(check.message.find("The table \"pivot_evaluations\""), std::string::npos);
    EXPECT_NE(check.message.find("has no column \"second_samples\""), std::string::npos);
    EXPECT_NE(check.message.find("another program or another version of Kambrix"),
              std::string::npos);
    for (const char* word : {"SQL", "SELECT", "mismatch", "reported a problem"}) {
        EXPECT_EQ(check.message.find(word), std::string::npos) << word;
    }
}

// Two writers on one file: the second waits for the first's transaction instead of failing,
// and one that cannot get the lock in time is told so in plain words.
TEST(DatabaseSchema, TwoWritersTakeTurns) {
    TempFolder root("writers");
    const kambrix::AppConfig config = kambrix::test::freshDatabases(root);
    quarvex::Connection first(config.projectsConnectionString);
    first.Open();
    first.BeginTrans();
    first.Execute("INSERT INTO pipe_materials (name, rugosidade) VALUES ('first', 140)");

    quarvex::Connection impatient(config.projectsConnectionString);
    impatient.setBusyTimeout(50);
    impatient.Open();
    try {
        impatient.BeginTrans();
        ADD_FAILURE() << "the second writer got the lock the first holds";
    } catch (...) {
        EXPECT_EQ(kambrix::userMessage(kambrix::describeCurrentError(),
                                       "The system could not "
                                       "be saved"),
                  "The system could not be saved: another program is using the database; "
                  "close it and try again");
    }
    EXPECT_FALSE(impatient.InTransaction());

    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        first.CommitTrans();
    });
    quarvex::Connection second(config.projectsConnectionString);
    second.Open();        // the default busy timeout: seconds
    second.BeginTrans();  // waits for the commit above
    second.Execute("INSERT INTO pipe_materials (name, rugosidade) VALUES ('second', 150)");
    second.CommitTrans();
    releaser.join();
    EXPECT_EQ(second
                  .Execute("SELECT count(*) AS n FROM pipe_materials WHERE name IN "
                           "('first', 'second')")
                  .Field("n")
                  .AsInt(),
              2);
}
