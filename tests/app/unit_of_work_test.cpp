// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/unit_of_work.h"

#include <gtest/gtest.h>

#include "app_test_support.h"
#include "shell/projectos.h"
#include "shell/system_document.h"

using namespace kambrix;

TEST(UnitOfWork, CommitsOnlyWhenTheWorkReturns) {
    test::TempFolder root("unit-of-work");
    const AppConfig config = test::freshDatabases(root);
    const std::string& cs = config.projectsConnectionString;
    Projectos store;
    writeTo(cs, [&](quarvex::Connection& con) {
        Projecto p = store.newProject("Kept");
        store.saveProject(con, p);
    });
    EXPECT_THROW(writeTo(cs,
                         [&](quarvex::Connection& con) {
                             Projecto p = store.newProject("Rolled back");
                             store.saveProject(con, p);
                             throw std::runtime_error("a later step failed");
                         }),
                 std::runtime_error);
    {
        // Leaving without commit rolls back too.
        UnitOfWork unit(cs, UnitOfWork::Mode::Write);
        Projecto p = store.newProject("Abandoned");
        store.saveProject(unit.connection(), p);
    }
    const auto names =
        readFrom(cs, [&](quarvex::Connection& con) { return store.projectNames(con); });
    EXPECT_EQ(names, std::vector<std::string>{"Kept"});
    // The connection is closed after each unit: a second writer is not locked out.
    writeTo(cs, [&](quarvex::Connection& con) {
        Projecto p = store.newProject("Another");
        store.saveProject(con, p);
    });
    EXPECT_EQ(readFrom(cs, [&](quarvex::Connection& con) { return store.projectNames(con); }),
              (std::vector<std::string>{"Another", "Kept"}));
}

TEST(SystemDocument, TellsItsListenersWhatChanged) {
    SystemDocument doc;
    std::vector<SystemDocument::Change> seen;
    const int first = doc.subscribe([&](SystemDocument::Change c) { seen.push_back(c); });
    int selfRemoving = 0;
    selfRemoving = doc.subscribe([&](SystemDocument::Change) { doc.unsubscribe(selfRemoving); });
    EXPECT_FALSE(doc.hasProject());
    Projecto p;
    p.nome = "Norte";
    doc.setProject(p, false);
    EXPECT_TRUE(doc.hasProject());
    EXPECT_FALSE(doc.projectStored());
    EXPECT_EQ(doc.project().nome, "Norte");
    p.id = 4;
    doc.projectSaved(p);
    EXPECT_TRUE(doc.projectStored());
    doc.notify(SystemDocument::Change::Computation);
    doc.unsubscribe(first);
    doc.notify(SystemDocument::Change::Chart);
    EXPECT_EQ(seen, (std::vector<SystemDocument::Change>{SystemDocument::Change::Project,
                                                         SystemDocument::Change::Project,
                                                         SystemDocument::Change::Computation}));
    EXPECT_EQ(doc.wrapper(), nullptr);
}
