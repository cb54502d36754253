// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "hydraulics_test_support.h"

namespace quarvex {
namespace {

using testing::demoModelo;
using testing::nozzle;

AspersoresStatic& service() {
    return statics().Aspersores();
}

TEST(Aspersor, DischargeCurveToleranceAndRange) {
    auto a = service().newAspersor("#5", 0.5, 0.5, 40, 400, 0.1, 20, demoModelo());
    EXPECT_EQ(a->id(), 0);
    EXPECT_DOUBLE_EQ(a->calculate(100), 5.0);
    EXPECT_TRUE(a->flowWithin(100, 5.5, 0.1));   // 4.95 ≤ 5 ≤ 6.05
    EXPECT_FALSE(a->flowWithin(100, 4.5, 0.1));  // upper bound 4.95 < 5
    EXPECT_DOUBLE_EQ(a->variacaoCaudal(100, 5), 0);
    EXPECT_DOUBLE_EQ(a->variacaoCaudal(100, 4), 0.25);
    EXPECT_TRUE(a->isOnPressureRange(40));
    EXPECT_TRUE(a->isOnPressureRange(400));
    EXPECT_TRUE(a->isLowPressure(39.9));
    EXPECT_TRUE(a->isHighPressure(400.1));
    EXPECT_EQ(a->marca().nome, "Demo");
    EXPECT_EQ(a->a(), "0.5");
    try {
        a->variacaoCaudal(100, 0);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::DivisionByZero);
    }
    try {
        a->calculate(-1);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::DivisionByZero);
    }
}

TEST(Aspersor, MissingDataIsRefused) {
    for (auto f : {+[] { service().newAspersor("   ", 1, 1, 1, 1, 1, 1, demoModelo()); },
                   +[] { service().newAspersor("x", 1, 1, 1, 1, 1, 0, demoModelo()); },
                   +[] { service().newAspersor("x", -1, 1, 1, 1, 1, 1, demoModelo()); }}) {
        try {
            f();
            FAIL();
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errc::MissingAsperorDataException);
        }
    }
    EXPECT_EQ(service().newAspersor(" x ", 1, 1, 1, 1, 1, 1, demoModelo())->nome(), " x ");
    EXPECT_EQ(service().NullAspersor(), service().NullAspersor());
    EXPECT_EQ(service().NullAspersor()->aValue(), 0);
}

TEST(BestMatch, SmallestDeviationLaterWinsTiesToleranceAndEmpty) {
    auto low = nozzle(0.45, 0.5, 1000, "low");     // 4.5 at 100 kPa: deviation 0.1
    auto exact = nozzle(0.5, 0.5, 1000, "exact");  // 5.0
    auto twin = nozzle(0.5, 0.5, 1000, "twin");    // 5.0 again
    auto high = nozzle(0.52, 0.5, 1000, "high");   // 5.2
    AspersorList all;
    for (auto& a : {low, exact, twin, high}) {
        all.Add(a);
    }
    EXPECT_EQ(service().getBestMatch(all, 100, 5, 0.1), twin);
    EXPECT_EQ(service().getPossibleAspersores(all, 100, 5, 0.1).Count(), 4);
    EXPECT_EQ(service().getBestMatch(all, 100, 5, 0), twin);
    EXPECT_EQ(service().getBestMatch(all, 100, 5.1, 0), nullptr);
    EXPECT_EQ(service().getBestMatch(all, 100, 20, 0.1), nullptr);
    EXPECT_EQ(service().getBestMatch(AspersorList{}, 100, 5, 0.1), nullptr);
    // Equal deviations on both sides: 4.8 and 5.2 for 5.0 are both 0.04 (up to rounding).
    AspersorList sides;
    sides.Add(nozzle(0.48));
    sides.Add(high);
    EXPECT_EQ(service().getBestMatch(sides, 100, 5, 0.1),
              std::fabs(1 - 5.2 / 5) <= std::fabs(1 - 4.8 / 5) ? high : sides.Item(1));
    EXPECT_EQ(AspersorIndex(all).bestMatch(100, 5, 0.1), twin);
    EXPECT_EQ(AspersorIndex().bestMatch(100, 5, 0.1), nullptr);
}

TEST(BestMatch, IndexPicksExactlyThePlainRuleOnRandomCatalogues) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> u(0, 1);
    const double exponents[] = {0.45, 0.5, 0.5, 0.52, 0.55, 1.0};
    const double variations[] = {0, 0.02, 0.1, 0.3};
    int compared = 0;
    int found = 0;
    for (int c = 0; c < 300; ++c) {
        AspersorList all;
        const int n = 1 + static_cast<int>(u(rng) * 60);
        for (int i = 0; i < n; ++i) {
            // Coarse coefficients so that equal nozzles and exact ties are common.
            const double a = 0.005 * (1 + static_cast<int>(u(rng) * 20));
            all.Add(nozzle(a, exponents[static_cast<int>(u(rng) * 6)]));
        }
        const AspersorIndex index(all);
        for (int k = 0; k < 60; ++k) {
            const double p = k % 10 == 0 ? 0.0 : 400 * u(rng);
            double q = 2 * u(rng);
            if (k % 3 == 0) {  // exactly a catalogue discharge
                q = all.Item(1 + static_cast<int>(u(rng) * n))->calculate(p);
            }
            if (q == 0) {
                continue;  // the plain rule divides by the required discharge
            }
            const double v = variations[k % 4];
            const auto plain = service().getBestMatch(all, p, q, v);
            EXPECT_EQ(index.bestMatch(p, q, v), plain)
                << "catalogue " << c << " p " << p << " q " << q << " v " << v;
            ++compared;
            found += plain ? 1 : 0;
        }
    }
    EXPECT_GT(compared, 15000);
    EXPECT_GT(found, compared / 4) << "the cases must exercise matches, not only misses";
}

// Catalogue tests on a copy of the template database.
class CatalogueStore : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::path(KAMBRIX_TEST_TMP) /
               ("catalogue-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        const auto file = dir_ / "asper.mdb";
        std::filesystem::copy_file(std::filesystem::path(KAMBRIX_DB_TEMPLATE) / "asper.mdb", file);
        cs_ = makeConnectionString(file.string());
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    int count(const std::string& table) {
        Connection con(cs_);
        con.Open();
        return con.Execute("SELECT count(*) AS n FROM " + table).Field("n").AsInt();
    }
    std::filesystem::path dir_;
    std::string cs_;
};

TEST_F(CatalogueStore, QueriesByBrandAndModel) {
    const auto all = service().find(cs_);
    EXPECT_EQ(all.Count(), 89);
    EXPECT_EQ(all.Item(1)->nome(), "AQ-F 2.00 mm");
    EXPECT_GT(all.Item(1)->id(), 0);
    EXPECT_EQ(all.Item(1)->modelo().nome, "Fixed spray plate");
    EXPECT_EQ(all.Item(1)->marca().nome, "Aquilon");
    EXPECT_DOUBLE_EQ(all.Item(1)->aValue(), 0.00422074);
    EXPECT_EQ(service().find_by_marca(cs_, "Aquilon").Count(), 50);
    EXPECT_EQ(service().find_by_modelo(cs_, "Rotating spray plate").Count(), 48);
    EXPECT_EQ(service().find_by_marca(cs_, "Nobody").Count(), 0);
    // A quote in the name is data, not SQL.
    EXPECT_EQ(service().find_by_marca(cs_, "O'Brien' OR '1'='1").Count(), 0);
    EXPECT_EQ(service().MarcasAll(cs_).Count(), 3);
    EXPECT_EQ(service().ModelosAll(cs_).Count(), 4);
    EXPECT_EQ(service().ModelosAll(cs_).Item(4).marca.nome, "Lluvia Norte");
}

TEST_F(CatalogueStore, SaveNewBrandModelAndMovedModel) {
    modelo m;
    m.nome = "Gun 'X'";
    m.marca.nome = "O'Brien";
    auto a = service().newAspersor("OB 1", 0.123456789, 0.5, 100, 500, 1, 3, m);
    service().save(cs_, *a);
    EXPECT_GT(a->modelo().marca.id, 3);
    EXPECT_GT(a->modelo().id, 4);
    EXPECT_EQ(count("marca"), 4);
    EXPECT_EQ(count("Modelos"), 5);
    EXPECT_EQ(count("Boquillas"), 90);
    const auto back = service().find_by_marca(cs_, "O'Brien");
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Item(1)->modelo().nome, "Gun 'X'");
    EXPECT_DOUBLE_EQ(back.Item(1)->aValue(), 0.123456789);

    // Existing model 1 (brand 1) moved to brand 2: a new model row, the old one stays.
    auto moved = service().find(cs_).Item(1);
    modelo mm = moved->modelo();
    mm.marca.id = 2;
    mm.marca.nome = "Rotagua";
    moved->setModelo(mm);
    service().save(cs_, *moved);
    EXPECT_EQ(count("Modelos"), 6);
    EXPECT_EQ(count("Boquillas"), 91);
    EXPECT_EQ(moved->modelo().marca_id, 2);
    EXPECT_EQ(service().find_by_marca(cs_, "Rotagua").Count(), 24);
}

TEST_F(CatalogueStore, FailedSaveRollsBack) {
    modelo m;
    m.nome = "  ";  // blank model name, after the new brand has been inserted
    m.marca.nome = "Fresh";
    auto a = service().newAspersor("F1", 0.1, 0.5, 100, 500, 1, 3, m);
    try {
        service().save(cs_, *a);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::ModeloMissingNameException);
    }
    EXPECT_EQ(count("marca"), 3);
    EXPECT_EQ(count("Boquillas"), 89);
    EXPECT_EQ(a->modelo().marca.id, 0);
    m.nome = "ok";
    m.marca.nome = "";
    auto b = service().newAspersor("F1", 0.1, 0.5, 100, 500, 1, 3, m);
    try {
        service().save(cs_, *b);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), errc::MarcaMissingNameException);
    }
    EXPECT_EQ(count("Modelos"), 4);
}

}  // namespace
}  // namespace quarvex
