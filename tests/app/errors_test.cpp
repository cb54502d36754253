// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/errors.h"

#include <gtest/gtest.h>
#include <zarede/zarede.h>

#include <set>

#include "app_test_support.h"
#include "shell/unit_of_work.h"

using namespace kambrix;

namespace {

template <class F>
ErrorReport reportOf(F&& f) {
    try {
        f();
    } catch (...) {
        return describeCurrentError();
    }
    ADD_FAILURE() << "nothing was raised";
    return {};
}

}  // namespace

TEST(Errors, EveryExceptionTypeIsRecognised) {
    const auto app = reportOf([] { raiseError(errc::FileEmpty, "The file x.csv is empty"); });
    EXPECT_EQ(app.source, ErrorSource::Program);
    EXPECT_EQ(app.number, errc::FileEmpty);
    EXPECT_EQ(app.message, "The file x.csv is empty");

    const auto lib = reportOf(
        [] { quarvex::Exceptions::Throw(quarvex::errc::DropIncompleteException, "length 0"); });
    EXPECT_EQ(lib.source, ErrorSource::Library);
    EXPECT_EQ(lib.number, quarvex::errc::DropIncompleteException);
    EXPECT_EQ(lib.message, "The drop is incomplete and cannot be installed");
    EXPECT_NE(lib.detail.find("length 0"), std::string::npos) << "the detail keeps the rest";

    const auto curves = reportOf([] {
        throw zarede::Error(zarede::ErrorNumber::CurvesDoNotCross, "no crossing in [0, 1]");
    });
    EXPECT_EQ(curves.source, ErrorSource::Curves);
    EXPECT_EQ(curves.number, static_cast<std::int32_t>(zarede::ErrorNumber::CurvesDoNotCross));
    EXPECT_FALSE(curves.message.empty());

    const auto memory = reportOf([] { throw std::bad_alloc(); });
    EXPECT_EQ(memory.number, 0);
    EXPECT_EQ(memory.message, "There is not enough memory for this operation");

    const auto other = reportOf([] { throw std::out_of_range("vector::_M_range_check"); });
    EXPECT_EQ(other.source, ErrorSource::Other);
    EXPECT_EQ(other.message.find("vector"), std::string::npos) << "no library words shown";
    EXPECT_EQ(other.detail, "vector::_M_range_check");

    EXPECT_EQ(errorText(errc::ReferenceTramoExists),
              "A reference span of that name already exists");
    EXPECT_EQ(errorText(quarvex::errc::NomeDaCartaJaExistente, ErrorSource::Library),
              "A sprinkler chart of that name already exists");
    // The table has one entry per number.
    std::set<std::int32_t> numbers;
    for (const auto& e : programErrorTable()) {
        EXPECT_TRUE(numbers.insert(e.number).second) << e.number;
    }
}

TEST(Errors, IsExceptionConsumesOnlyItsNumber) {
    auto check = [](std::int32_t expected, bool rethrow) {
        try {
            raiseError(errc::CommandStopped);
        } catch (...) {
            return isException(expected, rethrow);
        }
        return false;
    };
    EXPECT_TRUE(check(errc::CommandStopped, true));
    EXPECT_FALSE(check(errc::FileEmpty, false));
    EXPECT_THROW(check(errc::FileEmpty, true), AppError);
    try {
        quarvex::Exceptions::Throw(quarvex::errc::NomeDaCartaJaExistente);
    } catch (...) {
        EXPECT_TRUE(isException(quarvex::errc::NomeDaCartaJaExistente, true));
    }
}

TEST(Errors, DatabaseFailuresInTheUsersTerms) {
    EXPECT_EQ(databaseReason("attempt to write a readonly database [SQL: INSERT INTO x]"),
              "the database folder is read-only");
    EXPECT_EQ(databaseReason("database is locked"),
              "another program is using the database; close it and try again");
    EXPECT_EQ(databaseReason("database or disk is full"), "the disk is full");
    EXPECT_EQ(databaseReason("file is not a database"), "the database file is damaged");
    // The statement after the database's words may hold the user's data: it is not read.
    EXPECT_EQ(databaseReason("no such table: tb_cartas [SQL: SELECT 'busy unique locked']"),
              "the database does not hold the tables this program expects");

    // A real refusal of the database to write (query_only answers as a read-only file
    // does, also for root, whom file permissions do not stop).
    test::TempFolder root("errors-readonly");
    const AppConfig config = test::freshDatabases(root);
    const auto r = reportOf([&] {
        writeTo(config.projectsConnectionString, [](quarvex::Connection& con) {
            con.Execute("PRAGMA query_only = ON;");
            con.Execute("DELETE FROM tb_cartas");
        });
    });
    EXPECT_TRUE(r.database);
    EXPECT_EQ(userMessage(r, "The sprinkler chart could not be saved"),
              "The sprinkler chart could not be saved: the database folder is read-only");
    EXPECT_EQ(r.message.find("DELETE"), std::string::npos);
    EXPECT_NE(r.detail.find("DELETE"), std::string::npos) << "the statement stays in the detail";
}
