// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include <clocale>
#include <filesystem>
#include <fstream>

using namespace quarvex;

TEST(SqlText, RoutinesProduceTheExpectedText) {
    EXPECT_EQ(bindParameters("a=? AND b=?", {"1", "2"}), "a=1 AND b=2");
    EXPECT_EQ(bindParameters("id_sistema=?", {"7"}), "id_sistema=7");
    EXPECT_EQ(bindParameters("a=?", {"1", "2"}), "a=1") << "extra values are ignored";
    EXPECT_EQ(bindParameters("a=? b=?", {"1"}), "a=1 b=?");
    // A value holding "?" is never replaced again by the next value.
    EXPECT_EQ(bindParameters("n=? AND m=?", {"'why?'", "3"}), "n='why?' AND m=3");

    EXPECT_EQ(sqlQuote("Pivot"), "'Pivot'");
    EXPECT_EQ(sqlQuote("O'Neil"), "'O''Neil'");
    EXPECT_EQ(sqlQuote("''"), "''''''");
    EXPECT_EQ(sqlEscape("a'b"), "a''b");
    EXPECT_EQ(sqlBool(true), "true");
    EXPECT_EQ(sqlBool(false), "false");

    EXPECT_EQ(sqlNumber(1.5), "1.5");
    EXPECT_EQ(sqlNumber(3), "3");
    EXPECT_EQ(sqlNumber(-0.25), "-0.25");
    EXPECT_EQ(sqlNumber(0.1 + 0.2), "0.3") << "15 significant digits";
    EXPECT_EQ(sqlNumber(1e20), "1e+20");

    EXPECT_EQ(sqlTextOrNull("''"), "null");
    EXPECT_EQ(sqlTextOrNull("##"), "null");
    EXPECT_EQ(sqlTextOrNull("'x'"), "'x'");
    EXPECT_EQ(sqlNumberOrNull("0"), "null");
    EXPECT_EQ(sqlNumberOrNull("0.0"), "null");
    EXPECT_EQ(sqlNumberOrNull("2.5"), "2.5");

    EXPECT_EQ(joinTables({"A"}), "A");
    EXPECT_EQ(joinTables({"Boquillas AS b", "Modelos ON b.id_modelo=modelos.id_modelo",
                          "Marca ON modelos.id_marca=marca.id_marca"}),
              "((Boquillas AS b INNER JOIN Modelos ON b.id_modelo=modelos.id_modelo) INNER JOIN "
              "Marca ON modelos.id_marca=marca.id_marca)");

    EXPECT_EQ(nullToZero(FieldValue::null()), 0);
    EXPECT_EQ(nullToZero(FieldValue::real(2.5)), 2.5);
    EXPECT_EQ(nullToText(FieldValue::null()), "");
    EXPECT_EQ(nullToText(FieldValue::text("abc")), "abc");
    EXPECT_FALSE(nullToFalse(FieldValue::null()));
}

TEST(SqlText, NumbersUseAPointUnderACommaLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "pt_PT.UTF-8", "es_ES.UTF-8",
                           "fr_FR.UTF-8"};
    const char* chosen = nullptr;
    for (const char* n : names) {
        if (std::setlocale(LC_ALL, n)) {
            chosen = n;
            break;
        }
    }
    if (!chosen) {
        GTEST_SKIP() << "no decimal-comma locale installed";
    }
    EXPECT_EQ(sqlNumber(2.5), "2.5");
    EXPECT_EQ(numberText(1234567.125), "1234567.125");
    EXPECT_EQ(sqlNumberOrNull("0.5"), "0.5") << "a point-decimal text is not read as 0";
    EXPECT_EQ(sqlNumberOrNull("0.0"), "null");
    std::setlocale(LC_ALL, "C");
}

TEST(TableSchema, StatementTexts) {
    const TableSchema t("pivot_evaluations",
                        {"name", "pluviometer_diameter", "first_samples", "second_samples"}, "id");
    EXPECT_EQ(t.selectSQL(), "SELECT * FROM pivot_evaluations;");
    EXPECT_EQ(t.selectSQL(std::nullopt, std::vector<std::string>{"name"}),
              "SELECT id,name FROM pivot_evaluations;");
    EXPECT_EQ(
        t.selectSQL(std::string("4"), std::nullopt, std::string("name='a'"), std::string("name")),
        "SELECT * FROM pivot_evaluations WHERE id = 4 AND name='a' ORDER BY name;");
    EXPECT_EQ(t.countSQL(), "SELECT Count(id) as result FROM pivot_evaluations");
    EXPECT_EQ(t.countSQL(std::string("name='x'")),
              "SELECT Count(id) as result FROM pivot_evaluations WHERE name='x'");
    EXPECT_EQ(t.deleteSQL(), "DELETE FROM pivot_evaluations");
    EXPECT_EQ(t.deleteSQL(std::string("3")), "DELETE FROM pivot_evaluations WHERE id = 3");
    EXPECT_EQ(t.insertSQL({"'a'", "0.1", "null", "null"}),
              "INSERT INTO pivot_evaluations (name,pluviometer_diameter,first_samples,"
              "second_samples) VALUES ('a',0.1,null,null );");
    EXPECT_EQ(t.insertSQL({"'a'"}, std::vector<std::string>{"name"}),
              "INSERT INTO pivot_evaluations (name) VALUES ('a' );");
    EXPECT_EQ(t.updateSQL({"'a'", "0.1", "null", "null"}, "9"),
              "UPDATE pivot_evaluations SET name = 'a',pluviometer_diameter = 0.1,first_samples "
              "= null,second_samples = null WHERE id = 9");
    try {
        (void)t.updateSQL({"'a'"}, "9");
        FAIL() << "fewer values than columns";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::SubscriptOutOfRange);
    }
}

namespace {

std::string freshDatabase(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(KAMBRIX_TEST_TMP) / "sql_text";
    fs::create_directories(dir);
    const fs::path file = dir / (name + ".db");
    fs::remove(file);
    // An empty file is a valid, empty SQLite database.
    std::ofstream(file.string()).close();
    return file.string();
}

}  // namespace

TEST(TableSchema, CopyDataDuplicatesTheOwnersRowsThroughADatabase) {
    Connection con(makeConnectionString(freshDatabase("copy")));
    con.Open();
    con.Execute(
        "CREATE TABLE tb_agronomico (id INTEGER PRIMARY KEY, kf REAL, Etc REAL, Pe REAL, "
        "id_sistema INTEGER);");
    const TableSchema t("tb_agronomico", {"kf", "Etc", "Pe"}, "id_sistema");
    con.Execute(t.insertSQL({"1", "5.5", "0", "3"},
                            std::vector<std::string>{"kf", "Etc", "Pe", "id_sistema"}));
    t.copyData(con, 3, 8);
    RecordSet rs = con.Execute("SELECT kf, Etc, id_sistema FROM tb_agronomico ORDER BY id;");
    ASSERT_EQ(rs.RowCount(), 2u);
    rs.MoveNext();
    EXPECT_EQ(rs.Field("id_sistema").AsInt(), 8);
    EXPECT_EQ(rs.Field("Etc").AsDouble(), 5.5);
}

TEST(TableSchema, QuotedNamesAreStoredAndReadBackExactly) {
    Connection con(makeConnectionString(freshDatabase("quotes")));
    con.Open();
    con.Execute("CREATE TABLE projectos (id INTEGER PRIMARY KEY, designacao TEXT);");
    const TableSchema t("projectos", {"designacao"}, "id");
    for (const std::string name : {"O'Neil", "'; DROP TABLE projectos; --", "a''b", "end'"}) {
        con.Execute(t.insertSQL({sqlQuote(name)}));
        const int id = lastIdentity(con);
        RecordSet rs = con.Execute(t.selectSQL(std::to_string(id)));
        ASSERT_FALSE(rs.IsEOF());
        EXPECT_EQ(rs.Field("designacao").AsString(), name);
        RecordSet byName =
            con.Execute(t.countSQL(bindParameters("designacao=?", {sqlQuote(name)})));
        EXPECT_EQ(byName.Field("result").AsInt(), 1) << name;
    }
    RecordSet all = con.Execute(t.countSQL());
    EXPECT_EQ(all.Field("result").AsInt(), 4) << "the table survived every name";
}
