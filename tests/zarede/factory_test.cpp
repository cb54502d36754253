// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>
#include <vector>

#include "zarede_test_support.h"

namespace zarede {
namespace {

using test::errorNumberOf;
using test::number;

TEST(Factory, CreatesInitialisedObjects) {
    const Factory factory;
    auto ellipse = factory.newEclipseFunction(10, 20, "aspersor");
    EXPECT_EQ(ellipse->centro_X(), 10);
    EXPECT_EQ(ellipse->centro_Y(), 20);
    EXPECT_EQ(ellipse->name(), "aspersor");
    EXPECT_EQ(factory.newEclipseFunction(1, 2)->name(), "");

    auto soil = factory.newKostiakovFunction(0.01, 4, 100, -0.5, "suelo");
    EXPECT_EQ(soil->Min(), 0.01);
    EXPECT_EQ(soil->Max(), 4);
    EXPECT_EQ(soil->k(), 100);
    EXPECT_EQ(soil->a(), -0.5);
    EXPECT_EQ(soil->name(), "suelo");

    auto builder = factory.newSerieBuilder(ellipse, 21);
    EXPECT_EQ(builder->numberOfPoints(), 21);
    EXPECT_EQ(builder->name(), "aspersor");
    EXPECT_EQ(errorNumberOf([&] { factory.newSerieBuilder(ellipse, 40000); }),
              number(ErrorNumber::Overflow));

    EXPECT_EQ(factory.newSerieSource()->seriesCount(), 0);
    const std::vector<std::shared_ptr<IFunction>> funcs{ellipse, soil};
    auto source = factory.newSerieSource(funcs, 11);
    EXPECT_EQ(source->seriesCount(), 2);
    EXPECT_EQ(source->orderOf("suelo"), 3);
    EXPECT_EQ(source->getSerieArray().rows(), 11);
    EXPECT_EQ(errorNumberOf([&] { factory.newSerieSource(funcs); }),
              number(ErrorNumber::InvalidArgument));
}

}  // namespace
}  // namespace zarede
