// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/reference_tramos.h"

#include <gtest/gtest.h>

#include <limits>

#include "app_test_support.h"
#include "shell/services.h"

using namespace kambrix;

using test::numberOf;

TEST(ReferenceTramos, ListFindAndSave) {
    test::TempFolder tmp("valley");
    const AppConfig config = test::freshDatabases(tmp);
    quarvex::Connection con(config.tramosConnectionString);
    con.Open();
    ReferenceTramos store;

    const auto brands = store.allBrands(con);
    ASSERT_EQ(brands.Count(), 3);
    EXPECT_EQ(brands.Item("Ruedasol").id, 1);
    const auto found = store.findByName(con, "RS 162x56.4");
    EXPECT_GT(found.id, 0);
    EXPECT_DOUBLE_EQ(found.longitud, 56.4);
    EXPECT_DOUBLE_EQ(found.separacion_saidas, 250);
    const auto span = store.toTramo(found, 101.5);
    EXPECT_EQ(span.Saidas.Length(), 22);  // floor(56.4 / 2.5)
    EXPECT_DOUBLE_EQ(span.cota, 101.5);
    EXPECT_EQ(store.findByName(con, "x' OR '1'='1").id, 0);  // the name is quoted

    // A new span of a new brand: the brand first, both stored.
    ReferenceTramo t{0, "NB 100x30", 100, 30, 150, TramoMarca{"Nueva", 0}, 0};
    store.saveReferenceTramo(con, t);
    EXPECT_GT(t.id, 0);
    EXPECT_GT(t.marca.id, 3);
    EXPECT_EQ(t.id_marca, t.marca.id);
    EXPECT_EQ(store.allBrands(con).Item("Nueva").id, t.marca.id);
    EXPECT_EQ(store.findByName(con, "NB 100x30").id_marca, t.marca.id);

    ReferenceTramo same{0, "NB 100x30", 100, 30, 150, brands.Item("Ruedasol"), 1};
    EXPECT_EQ(numberOf([&] { store.saveReferenceTramo(con, same); }), errc::ReferenceTramoExists);
    ReferenceTramo noLength{0, "NB 2", 100, 0, 150, TramoMarca{"Otra", 0}, 0};
    EXPECT_EQ(numberOf([&] { store.saveReferenceTramo(con, noLength); }),
              errc::ReferenceTramoIncomplete);
    EXPECT_FALSE(store.allBrands(con).Contains("Otra"));  // no brand left behind
    ReferenceTramo blank{0, "   ", 100, 30, 150, brands.Item("Ruedasol"), 1};
    EXPECT_EQ(numberOf([&] { store.saveReferenceTramo(con, blank); }),
              errc::ReferenceTramoIncomplete);
    TramoMarca noName{"  ", 0};
    EXPECT_EQ(numberOf([&] { store.saveBrand(con, noName); }), errc::TramoMarcaMissingName);
    ReferenceTramo blankBrand{0, "NB 3", 100, 30, 150, TramoMarca{"", 0}, 0};
    EXPECT_EQ(numberOf([&] { store.saveReferenceTramo(con, blankBrand); }),
              errc::TramoMarcaMissingName);
    EXPECT_EQ(store.findByName(con, "NB 3").id, 0);  // the span was not stored either
}

TEST(ReferenceTramos, ChecksOfTheEditor) {
    // Fields: id, name, diameter (mm), length (m), spacing (cm), brand, brand id.
    const ReferenceTramo good{0, "X", 162, 50, 250, {}, 0};
    EXPECT_FALSE(checkReferenceTramo(good).has_value());
    auto fieldOf = [](ReferenceTramo t) { return checkReferenceTramo(t).value().field; };
    ReferenceTramo t = good;
    t.denominacion = " ";
    EXPECT_EQ(fieldOf(t), "denominacion");
    t = good;
    t.longitud = -50;
    EXPECT_EQ(fieldOf(t), "longitud");
    t = good;
    t.diametro = std::numeric_limits<double>::infinity();
    EXPECT_EQ(fieldOf(t), "diametro");
    t = good;
    t.separacion_saidas = 0;
    EXPECT_EQ(fieldOf(t), "separacion_saidas");
    t = good;
    t.separacion_saidas = 5000;  // 50 m between outlets on a 50 m span
    EXPECT_EQ(checkReferenceTramo(t)->message, "The outlet spacing must be shorter than the span");
}

TEST(ReferenceTramos, CorrectRenameAndRemove) {
    test::TempFolder tmp("valley-edit");
    const AppConfig config = test::freshDatabases(tmp);
    quarvex::Connection con(config.tramosConnectionString);
    con.Open();
    ReferenceTramos store;
    ReferenceTramo t = store.findByName(con, "RS 162x56.4");
    const int id = t.id;
    t.marca = store.allBrands(con).Item("Arcoverde");
    t.longitud = 56.5;
    t.denominacion = " RS 162x56.5 ";
    store.updateReferenceTramo(con, t);
    const ReferenceTramo back = store.findByName(con, "RS 162x56.5");  // trimmed
    EXPECT_EQ(back.id, id);
    EXPECT_DOUBLE_EQ(back.longitud, 56.5);
    EXPECT_EQ(back.id_marca, 2);
    EXPECT_EQ(store.findByName(con, "RS 162x56.4").id, 0);

    ReferenceTramo clash = back;
    clash.denominacion = "RS 101.6x35";
    EXPECT_EQ(numberOf([&] { store.updateReferenceTramo(con, clash); }),
              errc::ReferenceTramoExists);
    ReferenceTramo bad = back;
    bad.diametro = -1;
    EXPECT_EQ(numberOf([&] { store.updateReferenceTramo(con, bad); }), errc::ValueOutOfRange);
    ReferenceTramo gone = back;
    gone.id = 9999;
    EXPECT_EQ(numberOf([&] { store.updateReferenceTramo(con, gone); }), errc::RecordNotFound);
    // A new brand given with the correction is stored with it.
    ReferenceTramo moved = back;
    moved.marca = TramoMarca{"Nueva", 0};
    store.updateReferenceTramo(con, moved);
    EXPECT_GT(moved.marca.id, 3);
    EXPECT_EQ(store.findByName(con, "RS 162x56.5").id_marca, moved.marca.id);

    store.deleteReferenceTramo(con, id);
    EXPECT_EQ(store.findByName(con, "RS 162x56.5").id, 0);
    EXPECT_EQ(numberOf([&] { store.deleteReferenceTramo(con, id); }), errc::RecordNotFound);

    EXPECT_EQ(numberOf([&] { store.renameBrand(con, 1, "Arcoverde"); }), errc::CatalogueNameTaken);
    EXPECT_EQ(numberOf([&] { store.renameBrand(con, 1, "  "); }), errc::TramoMarcaMissingName);
    EXPECT_EQ(numberOf([&] { store.renameBrand(con, 99, "X"); }), errc::RecordNotFound);
    store.renameBrand(con, 1, "Ruedasol Nueva");
    EXPECT_TRUE(store.allBrands(con).Contains("Ruedasol Nueva"));
    const int spans = store.spanCount(con, 1);
    const int all = test::count(con, "SELECT count(*) AS n FROM Valley");
    ASSERT_GT(spans, 0);
    store.deleteBrand(con, 1);
    EXPECT_EQ(store.spanCount(con, 1), 0);
    EXPECT_EQ(test::count(con, "SELECT count(*) AS n FROM Valley"), all - spans);
    EXPECT_FALSE(store.allBrands(con).Contains("Ruedasol Nueva"));
}
