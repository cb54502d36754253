// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <memory>

#include "zarede_test_support.h"

namespace zarede {
namespace {

using test::errorNumberOf;
using test::LambdaFunction;
using test::number;

// An ellipse over [0, 20] sampled with 101 points and a Kostiakov curve over [1, 3] with 51.
class SerieSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ellipse->init(10, 20, "aspersor");
        source.addFunction(ellipse, 101);
        source.addFunction(soil, 51);
    }

    std::shared_ptr<ZaredeFunction> ellipse = std::make_shared<ZaredeFunction>();
    std::shared_ptr<KostiakovFunction> soil =
        std::make_shared<KostiakovFunction>(1, 3, 100, -0.5, "suelo");
    SerieSource source;
};

TEST_F(SerieSourceTest, ArrayOf101And51PointSeries) {
    const SerieArray array = source.getSerieArray();
    ASSERT_EQ(array.rows(), 101);
    ASSERT_EQ(array.cols(), 4);

    // Series 1 in columns 1 and 2: step 0.2 over [0, 20].
    EXPECT_EQ(array(1, 1), 0);
    EXPECT_EQ(array(1, 2), 0);
    EXPECT_NEAR(array(51, 1), 10, 1e-12);  // 50 · 0.2, rounding only
    EXPECT_NEAR(array(51, 2), 20, 1e-6);   // the peak; the root amplifies rounding of x
    EXPECT_EQ(array(101, 1), 20);
    EXPECT_EQ(array(101, 2), 0);

    // Series 2 in columns 3 and 4: step 0.04 over [1, 3]; its 51st point is (3, 100/sqrt 3).
    EXPECT_EQ(array(1, 3), 1);
    EXPECT_NEAR(array(1, 4), 100, 1e-12);
    EXPECT_NEAR(array(51, 3), 3, 1e-12);
    EXPECT_NEAR(array(51, 4), 100 / std::sqrt(3.0), 1e-10);
    for (int32_t row = 52; row <= 101; ++row) {
        EXPECT_EQ(array(row, 3), array(51, 3)) << "row " << row;
        EXPECT_EQ(array(row, 4), array(51, 4)) << "row " << row;
    }
    // The first series keeps moving below row 51.
    EXPECT_NE(array(52, 1), array(51, 1));

    // 1-based bounds.
    EXPECT_EQ(errorNumberOf([&] { (void)array(0, 1); }), number(ErrorNumber::SubscriptOutOfRange));
    EXPECT_EQ(errorNumberOf([&] { (void)array(1, 0); }), number(ErrorNumber::SubscriptOutOfRange));
    EXPECT_EQ(errorNumberOf([&] { (void)array(102, 1); }),
              number(ErrorNumber::SubscriptOutOfRange));
    EXPECT_EQ(errorNumberOf([&] { (void)array(1, 5); }), number(ErrorNumber::SubscriptOutOfRange));
}

TEST_F(SerieSourceTest, OrderCountAndLimits) {
    EXPECT_EQ(source.seriesCount(), 2);
    EXPECT_EQ(source.orderOf("aspersor"), 1);
    EXPECT_EQ(source.orderOf("suelo"), 3);
    EXPECT_EQ(source.orderOf("Suelo"), 0);  // case-sensitive
    EXPECT_EQ(source.orderOf("nadie"), 0);

    EXPECT_EQ(source.getMaxX(), 20);
    EXPECT_NEAR(source.getMaxY(), 100, 1e-12);  // the soil's 100 · 1^-0.5
    EXPECT_EQ(source.getMaxY("suelo"), 20);     // only the ellipse left
    EXPECT_EQ(source.getMaxY("nadie"), source.getMaxY());
    EXPECT_EQ(source.getMinX(), 0);
    EXPECT_EQ(source.getMinY(), 0);
}

TEST(SerieSource, RunningLimitsStartAtZero) {
    SerieSource source;
    EXPECT_EQ(source.seriesCount(), 0);
    EXPECT_EQ(source.orderOf(""), 0);
    auto soil = std::make_shared<KostiakovFunction>(1, 4, 100, -0.5, "suelo");
    source.addFunction(soil, 10);
    // All minima positive: the running minimum stays 0.
    EXPECT_EQ(source.getMinY(), 0);
    EXPECT_EQ(source.getMinX(), 0);
    // Excluding the only series leaves the running maximum at 0.
    EXPECT_EQ(source.getMaxY("suelo"), 0);
    // Negative limits are reported.
    auto below = std::make_shared<LambdaFunction>([](double) { return -1.0; }, "below", -5, -1);
    source.addFunction(below, 3);
    EXPECT_EQ(source.getMinX(), -5);
    EXPECT_EQ(source.getMaxX(), 4);
}

TEST(SerieSource, InitAndUserSeries) {
    auto a = std::make_shared<LambdaFunction>([](double x) { return 2 * x; }, "a", 0, 4);
    auto b = std::make_shared<LambdaFunction>([](double x) { return x * x; }, "b", 0, 2);
    SerieSource source;
    source.init({a, b}, 5);
    EXPECT_EQ(source.seriesCount(), 2);
    EXPECT_EQ(source.orderOf("b"), 3);
    const SerieArray array = source.getSerieArray();
    ASSERT_EQ(array.rows(), 5);
    ASSERT_EQ(array.cols(), 4);
    EXPECT_EQ(array(5, 1), 4);
    EXPECT_EQ(array(5, 2), 8);
    EXPECT_EQ(array(4, 3), 1.5);
    EXPECT_EQ(array(4, 4), 2.25);

    // An application series raising its own error: it passes unchanged.
    class FailingSerie : public Serie {
      public:
        int32_t numberOfPoints() const override { return 3; }
        void prepare() override { throw Error(ErrorNumber::SubscriptOutOfRange, "own"); }
    };
    source.addSerie(std::make_shared<FailingSerie>());
    EXPECT_EQ(errorNumberOf([&] { source.getSerieArray(); }),
              number(ErrorNumber::SubscriptOutOfRange));
    EXPECT_EQ(errorNumberOf([&] { source.addSerie(nullptr); }),
              number(ErrorNumber::InvalidArgument));

    // Nothing to draw: an empty array.
    SerieSource empty;
    const SerieArray none = empty.getSerieArray();
    EXPECT_EQ(none.rows(), 0);
    EXPECT_EQ(none.cols(), 0);
    EXPECT_EQ(errorNumberOf([&] { (void)none(1, 1); }), number(ErrorNumber::SubscriptOutOfRange));
}

}  // namespace
}  // namespace zarede
