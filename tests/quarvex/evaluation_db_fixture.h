// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh copy of the template databases in a folder of its own for each test.
#pragma once

#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include <filesystem>
#include <string>

class TemplateDbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::path(KAMBRIX_TEST_TMP) /
               (std::string(info->test_suite_name()) + "_" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        for (const char* name : {"proyectos.mdb", "asper.mdb"}) {
            std::filesystem::copy_file(std::filesystem::path(KAMBRIX_DB_TEMPLATE) / name,
                                       dir_ / name);
        }
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string projects() const { return (dir_ / "proyectos.mdb").string(); }
    std::string catalogue() const { return (dir_ / "asper.mdb").string(); }
    std::string projectsCs() const { return quarvex::makeConnectionString(projects()); }
    // The number of rows of a table meeting a condition.
    long count(const std::string& table, const std::string& where = "1=1") const {
        quarvex::Connection con(projectsCs());
        con.Open();
        auto rs = con.Execute("SELECT count(*) AS n FROM " + table + " WHERE " + where + ";");
        return static_cast<long>(rs.Field("n").AsLong());
    }

    std::filesystem::path dir_;
};
