// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/reference_tramos.h"

#include <gtest/gtest.h>

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
