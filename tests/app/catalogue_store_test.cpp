// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/catalogue_store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app_test_support.h"
#include "shell/projectos.h"
#include "shell/services.h"

using namespace kambrix;
using test::numberOf;

namespace {

const NozzleData kGood{"N 1", 0.01, 0.5, 100, 300, 0.1, 0.2};

}  // namespace

TEST(SprinklerCatalogueStore, NozzleChecks) {
    EXPECT_FALSE(checkNozzle(kGood).has_value());
    auto fieldOf = [](NozzleData n) { return checkNozzle(n).value().field; };
    NozzleData n = kGood;
    n.nome = "  ";
    EXPECT_EQ(fieldOf(n), "nome");
    n = kGood;
    n.b = std::numeric_limits<double>::infinity();
    EXPECT_EQ(fieldOf(n), "b");
    n = kGood;
    n.qmin = std::nan("");
    EXPECT_EQ(fieldOf(n), "qmin");
    n = kGood;
    n.a = -0.01;
    EXPECT_EQ(checkNozzle(n)->message,
              "The value for the coefficient a must be a number greater than 0");
    n = kGood;
    n.pmin = 300;  // equal ends
    EXPECT_EQ(fieldOf(n), "pmax");
    n = kGood;
    n.qmax = 0.05;
    EXPECT_EQ(checkNozzle(n)->message,
              "The maximum discharge must be greater than the minimum discharge");
}

TEST(SprinklerCatalogueStore, CorrectRenameAndRemove) {
    test::TempFolder tmp("asper-edit");
    const AppConfig config = test::freshDatabases(tmp);
    SprinklerCatalogue store(config.asperConnectionString);
    quarvex::Connection con(config.asperConnectionString);
    con.Open();

    store.updateNozzle(1, {" AQ-F 2 mm ", 0.0042, 0.51, 45, 410, 0.03, 0.09});
    auto rs = con.Execute("SELECT * FROM Boquillas WHERE ID_Boquillas=1");
    EXPECT_EQ(rs.Field("denominacion").AsString(), "AQ-F 2 mm");
    EXPECT_DOUBLE_EQ(rs.Field("b").AsDouble(), 0.51);
    EXPECT_DOUBLE_EQ(rs.Field("pmax").AsDouble(), 410);
    EXPECT_EQ(numberOf([&] {
                  store.updateNozzle(1, {"x", 1, 0.5, 300, 100, 1, 2});
              }),
              errc::ValueOutOfRange);
    EXPECT_EQ(numberOf([&] { store.updateNozzle(9999, kGood); }), errc::RecordNotFound);

    EXPECT_EQ(numberOf([&] { store.renameBrand(1, "Rotagua"); }), errc::CatalogueNameTaken);
    EXPECT_EQ(numberOf([&] { store.renameBrand(1, " "); }), errc::CatalogueNameMissing);
    store.renameBrand(1, "Aquilon 2");
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM marca WHERE nome='Aquilon 2'"), 1);
    // Model names are unique within a brand only.
    EXPECT_EQ(numberOf([&] { store.renameModel(1, "Rotating spray plate"); }),
              errc::CatalogueNameTaken);
    store.renameModel(3, "Fixed spray plate");  // Rotagua's model may share Aquilon's name
    EXPECT_EQ(numberOf([&] { store.renameModel(42, "x"); }), errc::RecordNotFound);

    const auto ofModel = store.nozzlesOfModel(1);
    const auto ofBrand = store.nozzlesOfBrand(1);
    EXPECT_EQ(ofModel.size(), 25u);
    EXPECT_EQ(ofBrand.size(), 50u);
    EXPECT_EQ(store.modelCount(1), 2);
    store.deleteNozzle(1);
    EXPECT_EQ(store.nozzlesOfModel(1).size(), 24u);
    EXPECT_EQ(numberOf([&] { store.deleteNozzle(1); }), errc::RecordNotFound);
    store.deleteModel(2);
    EXPECT_EQ(store.modelCount(1), 1);
    EXPECT_EQ(store.nozzlesOfBrand(1).size(), 24u);
    const int all = test::count(con, "SELECT count(*) AS n FROM Boquillas");
    store.deleteBrand(1);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM Boquillas"), all - 24);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM Modelos WHERE id_marca=1"), 0);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM marca WHERE id_marca=1"), 0);
    EXPECT_EQ(numberOf([&] { store.deleteBrand(1); }), errc::RecordNotFound);
}

TEST(SprinklerCatalogueStore, ChartsThatMountANozzle) {
    test::TempFolder tmp("asper-use");
    const AppConfig config = test::freshDatabases(tmp);
    quarvex::Connection con(config.projectsConnectionString);
    con.Open();
    Projectos projects;
    Projecto north = projects.newProject("North");
    Projecto south = projects.newProject("South");
    projects.saveProject(con, north);
    projects.saveProject(con, south);
    auto chart = [&](const std::string& name, int system, std::vector<int> nozzles) {
        con.Execute("INSERT INTO tb_cartas (nome, boost, id_sistema) VALUES (" +
                    quarvex::sqlQuote(name) + ", 0, " + std::to_string(system) + ")");
        const int id = quarvex::lastIdentity(con);
        for (int n : nozzles) {
            con.Execute(
                "INSERT INTO tb_aspersores (tramo, saida, id_aspersor, id_carta) VALUES "
                "(1, 1, " +
                std::to_string(n) + ", " + std::to_string(id) + ")");
        }
        return id;
    };
    const int b = chart("B", south.id, {7, 7, 8});
    const int a = chart("A's", south.id, {8});
    const int c = chart("C", north.id, {9});
    const auto uses = chartsUsingNozzles(config.projectsConnectionString, {7, 8});
    ASSERT_EQ(uses.size(), 2u);  // each chart once, by system then name
    EXPECT_EQ(uses[0], (ChartUse{a, "A's", "South"}));
    EXPECT_EQ(uses[1], (ChartUse{b, "B", "South"}));
    EXPECT_EQ(chartUseList(uses), "'A's' (system 'South'), 'B' (system 'South')");
    EXPECT_EQ(chartsUsingNozzles(config.projectsConnectionString, {9}).at(0).chartId, c);
    EXPECT_TRUE(chartsUsingNozzles(config.projectsConnectionString, {10}).empty());
    EXPECT_TRUE(chartsUsingNozzles(config.projectsConnectionString, {}).empty());
}

TEST(SprinklerCatalogueStore, ImportAddsAModelsNozzlesAllOrNothing) {
    test::TempFolder tmp("asper-import");
    const AppConfig config = test::freshDatabases(tmp);
    SprinklerCatalogue store(config.asperConnectionString);
    quarvex::Connection con(config.asperConnectionString);
    con.Open();
    auto n = [&](const std::string& sql) { return test::count(con, sql); };
    const int brands = n("SELECT count(*) AS n FROM marca");
    const int models = n("SELECT count(*) AS n FROM Modelos");
    const int nozzles = n("SELECT count(*) AS n FROM Boquillas");

    // A new brand whose name needs quoting, with a new model: both created.
    const NozzleData n1{"#10", 0.0123, 0.47, 70, 280, 0.09, 0.17};
    const NozzleData n2{" #12 ", 0.0177, 0.49, 70, 280, 0.14, 0.28};
    const CatalogueImport first = store.importNozzles(" O'Neil ", "Spray; plate", {n1, n2});
    EXPECT_TRUE(first.newBrand);
    EXPECT_TRUE(first.newModel);
    EXPECT_EQ(first.nozzles, 2);
    EXPECT_EQ(n("SELECT count(*) AS n FROM marca"), brands + 1);
    const auto stored = quarvex::statics().Aspersores().find_by_modelo(config.asperConnectionString,
                                                                       "Spray; plate");
    ASSERT_EQ(stored.Count(), 2);
    EXPECT_EQ(stored.Item(1)->marca().nome, "O'Neil");
    EXPECT_EQ(stored.Item(1)->marca().id, first.brandId);
    EXPECT_EQ(stored.Item(2)->nome(), "#12");
    EXPECT_DOUBLE_EQ(stored.Item(1)->aValue(), 0.0123);  // numbers stored exactly
    EXPECT_DOUBLE_EQ(stored.Item(2)->qmax(), 0.28);

    // The same names again: brand and model are found, not doubled.
    const CatalogueImport second =
        store.importNozzles("O'Neil", "Spray; plate", {{"#14", 0.024, 0.5, 70, 280, 0.2, 0.4}});
    EXPECT_FALSE(second.newBrand);
    EXPECT_FALSE(second.newModel);
    EXPECT_EQ(second.modelId, first.modelId);
    // An existing brand of the template gets a new model.
    const CatalogueImport third = store.importNozzles("Rotagua", "Wobbler", {n1});
    EXPECT_FALSE(third.newBrand);
    EXPECT_EQ(third.brandId, 2);
    EXPECT_TRUE(third.newModel);
    EXPECT_EQ(n("SELECT count(*) AS n FROM Boquillas"), nozzles + 4);
    EXPECT_EQ(n("SELECT count(*) AS n FROM Modelos"), models + 2);

    // Nothing is stored when one nozzle of the list fails, not even a new brand or model.
    const int before = n("SELECT count(*) AS n FROM Boquillas");
    NozzleData bad = n2;
    bad.nome = "#16";
    bad.pmin = 300;  // above pmax
    EXPECT_EQ(numberOf([&] {
                  store.importNozzles("Fresh", "M", {n1, bad});
              }),
              errc::ValueOutOfRange);
    // A name the model already has, met after a first good insert in the transaction.
    EXPECT_EQ(numberOf([&] {
                  store.importNozzles("O'Neil", "Spray; plate",
                                      {{"#18", 0.03, 0.5, 70, 280, 0.25, 0.5}, n1});
              }),
              errc::CatalogueNameTaken);
    EXPECT_EQ(numberOf([&] {
                  store.importNozzles("Fresh", "M", {n1, n1});
              }),
              errc::CatalogueNameTaken);
    EXPECT_EQ(numberOf([&] { store.importNozzles("Fresh", " ", {n1}); }),
              errc::CatalogueNameMissing);
    EXPECT_EQ(numberOf([&] { store.importNozzles("Fresh", "M", {}); }), errc::ValueOutOfRange);
    EXPECT_EQ(n("SELECT count(*) AS n FROM Boquillas"), before);
    EXPECT_EQ(n("SELECT count(*) AS n FROM Boquillas WHERE denominacion='#18'"), 0);
    EXPECT_EQ(n("SELECT count(*) AS n FROM marca WHERE nome='Fresh'"), 0);
}
