// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/startup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app_test_support.h"

namespace fs = std::filesystem;
using kambrix::DatabaseFolderSource;
using kambrix::locateDatabaseFolder;
using kambrix::test::TempFolder;
using kambrix::test::templateFolder;

namespace {

void touch(const fs::path& file) {
    std::ofstream(file) << "x";
}

}  // namespace

TEST(CommandLine, DbPathOnlyAsFirstWordAndKeepsBlanks) {
    const char* argv[] = {"kambrix", "--db-path", "/data/my", "pivots"};
    const std::string line = kambrix::joinCommandLine(4, argv);
    EXPECT_EQ(line, "--db-path /data/my pivots");
    EXPECT_EQ(kambrix::databaseFolderFromCommandLine(line), "/data/my pivots");
    EXPECT_EQ(kambrix::databaseFolderFromCommandLine("  --db-path   /x  "),
              "");  // first word blank
    EXPECT_EQ(kambrix::databaseFolderFromCommandLine("--db-path   /x y  "), "/x y");
    EXPECT_EQ(kambrix::databaseFolderFromCommandLine("-v --db-path /x"), "");
    EXPECT_EQ(kambrix::databaseFolderFromCommandLine("--db-path"), "");
    EXPECT_EQ(kambrix::databaseFolderFromCommandLine("--db-pathx /x"), "");
    EXPECT_EQ(kambrix::joinCommandLine(1, argv), "");
}

TEST(UserDataRoot, XdgFirstThenHome) {
    EXPECT_EQ(kambrix::userDataRoot("/xdg", "/home/u"), fs::path("/xdg"));
    EXPECT_EQ(kambrix::userDataRoot("  ", "/home/u"), fs::path("/home/u/.local/share"));
    EXPECT_EQ(kambrix::userDataRoot(nullptr, "/home/u"), fs::path("/home/u/.local/share"));
    EXPECT_TRUE(kambrix::userDataRoot(nullptr, nullptr).empty());
}

TEST(DatabaseFolder, EnvironmentWinsOverCommandLine) {
    TempFolder tmp("env");
    const auto env = tmp.path() / "from-env";
    const auto opt = tmp.path() / "from-option";
    const auto choice = locateDatabaseFolder(env.string(), "--db-path " + opt.string(),
                                             tmp.path() / "user", templateFolder());
    EXPECT_EQ(choice.source, DatabaseFolderSource::Environment);
    EXPECT_EQ(choice.folder, env);
    EXPECT_TRUE(choice.copiedTemplate);
    EXPECT_TRUE(fs::exists(env / "proyectos.mdb"));
    EXPECT_FALSE(fs::exists(opt));
    EXPECT_FALSE(fs::exists(tmp.path() / "user"));
}

TEST(DatabaseFolder, OptionFolderWithBlanks) {
    TempFolder tmp("opt");
    const auto opt = tmp.path() / "my pivot data";
    const auto choice = locateDatabaseFolder("", "--db-path  " + opt.string() + "  ",
                                             tmp.path() / "user", templateFolder());
    EXPECT_EQ(choice.source, DatabaseFolderSource::CommandLine);
    EXPECT_EQ(choice.folder, opt);
    for (const char* db : {"asper.mdb", "proyectos.mdb", "tramos.mdb"}) {
        EXPECT_TRUE(fs::exists(opt / db)) << db;
    }
    EXPECT_FALSE(fs::exists(fs::path(opt.string() + ".partial")));
}

TEST(DatabaseFolder, OptionNotFirstWordFallsBackToUserFolder) {
    TempFolder tmp("notfirst");
    const auto opt = tmp.path() / "ignored";
    const auto user = tmp.path() / "share";
    const auto choice =
        locateDatabaseFolder("", "-x --db-path " + opt.string(), user, templateFolder());
    EXPECT_EQ(choice.source, DatabaseFolderSource::UserFolder);
    EXPECT_EQ(choice.folder, user / "Kambrix" / "v0.0.2");
    EXPECT_FALSE(fs::exists(opt));
}

TEST(DatabaseFolder, FirstStartCopiesSecondStartCopiesNothing) {
    TempFolder tmp("first");
    const auto user = tmp.path() / "share";
    ASSERT_FALSE(fs::exists(user));
    const auto first = locateDatabaseFolder("", "", user, templateFolder());
    EXPECT_TRUE(first.copiedTemplate);
    EXPECT_TRUE(fs::is_directory(user / "Kambrix"));
    EXPECT_TRUE(fs::exists(first.folder / "tramos.mdb"));
    // Something the user stored must survive the second start.
    touch(first.folder / "mine.txt");
    fs::remove(first.folder / "asper.mdb");
    const auto second = locateDatabaseFolder("", "", user, templateFolder());
    EXPECT_FALSE(second.copiedTemplate);
    EXPECT_EQ(second.folder, first.folder);
    EXPECT_TRUE(fs::exists(second.folder / "mine.txt"));
    EXPECT_FALSE(fs::exists(second.folder / "asper.mdb"));
}

TEST(DatabaseFolder, ExistingEmptyFolderUsedUnchanged) {
    TempFolder tmp("empty");
    const auto folder = tmp.path() / "empty";
    fs::create_directories(folder);
    const auto choice = locateDatabaseFolder(folder.string(), "", {}, templateFolder());
    EXPECT_FALSE(choice.copiedTemplate);
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(DatabaseFolder, FailuresAreReported) {
    TempFolder tmp("fail");
    // A parent that does not exist.
    EXPECT_THROW(locateDatabaseFolder((tmp.path() / "no" / "such" / "db").string(), "", {},
                                      templateFolder()),
                 kambrix::StartupError);
    // A template that is not there: nothing half-made is left behind.
    const auto target = tmp.path() / "db";
    EXPECT_THROW(locateDatabaseFolder(target.string(), "", {}, tmp.path() / "no-template"),
                 kambrix::StartupError);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(fs::path(target.string() + ".partial")));
    // No user folder to fall back on.
    EXPECT_THROW(locateDatabaseFolder("", "", {}, templateFolder()), kambrix::StartupError);
    // A file where the folder should be.
    touch(tmp.path() / "file");
    EXPECT_THROW(locateDatabaseFolder((tmp.path() / "file").string(), "", {}, templateFolder()),
                 kambrix::StartupError);
}

TEST(AppFolders, UpwardSearchBuildAndInstalledTrees) {
    TempFolder tmp("tree");
    // Build tree: <root>/app/kambrix with <root>/m17n.
    fs::create_directories(tmp.path() / "build" / "app");
    fs::create_directories(tmp.path() / "build" / "m17n");
    EXPECT_EQ(kambrix::resolveAppFolder(tmp.path() / "build" / "app", "m17n"),
              tmp.path() / "build" / "m17n");
    // Installed tree: <prefix>/bin with <prefix>/share/kambrix/imagens.
    fs::create_directories(tmp.path() / "prefix" / "bin");
    fs::create_directories(tmp.path() / "prefix" / "share" / "kambrix" / "imagens");
    EXPECT_EQ(kambrix::resolveAppFolder(tmp.path() / "prefix" / "bin", "imagens"),
              tmp.path() / "prefix" / "share" / "kambrix" / "imagens");
    // The nearest folder wins.
    fs::create_directories(tmp.path() / "build" / "app" / "m17n");
    EXPECT_EQ(kambrix::resolveAppFolder(tmp.path() / "build" / "app", "m17n"),
              tmp.path() / "build" / "app" / "m17n");
    // Found nowhere up to the root: a clear failure naming the folder.
    EXPECT_FALSE(kambrix::resolveAppFolder(tmp.path(), "kambrix-no-such-folder").has_value());
    try {
        kambrix::requireAppFolder(tmp.path(), "kambrix-no-such-folder");
        ADD_FAILURE() << "no failure";
    } catch (const kambrix::StartupError& e) {
        EXPECT_NE(std::string(e.what()).find("\"kambrix-no-such-folder\""), std::string::npos);
    }
}

TEST(StartUp, ConnectionStringsAndMissingLanguageFile) {
    TempFolder tmp("startup");
    const auto app = tmp.path() / "app";
    fs::create_directories(app);
    fs::create_directories(tmp.path() / "m17n");
    fs::create_directories(tmp.path() / "imagens");
    fs::create_directory_symlink(templateFolder(), tmp.path() / "db-template");
    // No language file yet.
    EXPECT_THROW(kambrix::startUp(app, (tmp.path() / "db").string(), "", {}),
                 kambrix::StartupError);
    EXPECT_FALSE(fs::exists(tmp.path() / "db"));
    touch(tmp.path() / "m17n" / "EN_en.txt");
    const auto config = kambrix::startUp(app, (tmp.path() / "db").string(), "", {});
    EXPECT_EQ(config.languageFile, tmp.path() / "m17n" / "EN_en.txt");
    EXPECT_EQ(config.asperPath, tmp.path() / "db" / "asper.mdb");
    EXPECT_EQ(config.projectsConnectionString,
              "Provider=SQLite;Data Source=" + (tmp.path() / "db" / "proyectos.mdb").string());
    EXPECT_EQ(config.tramosConnectionString,
              "Provider=SQLite;Data Source=" + (tmp.path() / "db" / "tramos.mdb").string());
    quarvex::Connection con(config.tramosConnectionString);
    con.Open();  // the copy is a working database
    EXPECT_GT(kambrix::test::count(con, "SELECT count(*) AS n FROM Valley"), 0);
}

TEST(DatabaseFolderChecks, EmptyPartialAndCopiedFolders) {
    TempFolder tmp("checks");
    const auto folder = tmp.path() / "db";
    fs::create_directories(folder);
    auto state = kambrix::checkDatabaseFolder(folder);
    EXPECT_TRUE(state.writable);
    EXPECT_TRUE(state.hasNoDatabase());
    EXPECT_EQ(state.missingFiles,
              (std::vector<std::string>{"asper.mdb", "proyectos.mdb", "tramos.mdb"}));
    EXPECT_NE(kambrix::missingDatabasesQuestion(folder, state).find("holds no databases"),
              std::string::npos);

    // A folder that keeps one database of its own: only the others are copied.
    fs::copy_file(templateFolder() / "tramos.mdb", folder / "tramos.mdb");
    touch(folder / "tramos.mdb");  // the user's own file, changed
    const auto own = fs::file_size(folder / "tramos.mdb");
    state = kambrix::checkDatabaseFolder(folder);
    EXPECT_FALSE(state.hasNoDatabase());
    EXPECT_EQ(kambrix::missingDatabasesQuestion(folder, state)
                  .rfind("The database folder \"" + folder.string() +
                             "\" lacks \"asper.mdb\" and \"proyectos.mdb\". ",
                         0),
              0u);
    kambrix::copyMissingDatabases(templateFolder(), folder);
    EXPECT_TRUE(kambrix::checkDatabaseFolder(folder).missingFiles.empty());
    EXPECT_EQ(fs::file_size(folder / "tramos.mdb"), own);  // never replaced
    EXPECT_EQ(fs::file_size(folder / "asper.mdb"), fs::file_size(templateFolder() / "asper.mdb"));

    // A template that lacks a file: the copies of this call are taken back.
    const auto other = tmp.path() / "other";
    fs::create_directories(other);
    const auto partialTemplate = tmp.path() / "template";
    fs::create_directories(partialTemplate);
    fs::copy_file(templateFolder() / "asper.mdb", partialTemplate / "asper.mdb");
    EXPECT_THROW(kambrix::copyMissingDatabases(partialTemplate, other), kambrix::StartupError);
    EXPECT_TRUE(fs::is_empty(other));
}

TEST(DatabaseFolderChecks, StartOffersTheCopyOnceAndReportsReadOnlyOnce) {
    TempFolder tmp("atstart");
    kambrix::AppConfig config;
    config.templateFolder = templateFolder();
    const auto folder = tmp.path() / "db";
    fs::create_directories(folder);
    kambrix::setDatabaseFolder(config, folder);
    std::vector<std::string> asked;
    std::vector<std::string> told;
    auto ask = [&](bool answer) {
        return [&asked, answer](const std::string& q) {
            asked.push_back(q);
            return answer;
        };
    };
    auto tell = [&](const std::string& t) { told.push_back(t); };

    kambrix::checkDatabasesAtStart(config, ask(false), tell);  // No: the folder stays empty
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(told.empty());
    EXPECT_FALSE(config.databaseReadOnly);
    kambrix::checkDatabasesAtStart(config, ask(true), tell);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(kambrix::checkDatabaseFolder(folder).missingFiles.empty());
    kambrix::checkDatabasesAtStart(config, ask(true), tell);  // complete: nothing to ask
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(told.empty());

    kambrix::test::ReadOnlyFolder readOnly(folder);
    if (!readOnly.active()) {
        GTEST_SKIP() << "this file system cannot be made read-only here";
    }
    EXPECT_FALSE(kambrix::checkDatabaseFolder(folder).writable);
    kambrix::checkDatabasesAtStart(config, ask(true), tell);
    EXPECT_TRUE(config.databaseReadOnly);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], kambrix::readOnlyFolderMessage(folder));
    EXPECT_NE(told[0].find("is read-only"), std::string::npos);
    EXPECT_EQ(asked.size(), 2u);
}
