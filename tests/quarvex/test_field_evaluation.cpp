// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>

#include "quarvex_test_support.h"

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>

using namespace quarvex;

namespace {

WaterDepthSample wd(double depth, double distance) {
    return WaterDepths().newWaterDepthSample(depth, distance);
}

Array<WaterDepthSample> list(std::initializer_list<std::pair<double, double>> items) {
    Array<WaterDepthSample> out;
    for (const auto& [d, r] : items) {
        out.Push(wd(d, r));
    }
    return out;
}

// Switches the C and C++ locales to one whose decimal separator is a comma for the life of
// the object, and back afterwards.
class CommaLocale {
  public:
    CommaLocale() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "es_ES.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                try {
                    previous_ = std::locale::global(std::locale(name));
                    active_ = true;
                } catch (const std::runtime_error&) {
                    std::setlocale(LC_ALL, "C");
                    continue;
                }
                break;
            }
        }
    }
    ~CommaLocale() {
        if (active_) {
            std::locale::global(previous_);
            std::setlocale(LC_ALL, "C");
        }
    }
    bool active() const { return active_ && std::localeconv()->decimal_point[0] == ','; }

  private:
    std::locale previous_;
    bool active_ = false;
};

}  // namespace

TEST(FieldSamples, ParseReadsLeadingNumbersOfTwoPieces) {
    const FieldSamples fs;
    auto s = fs.Parse("  12.5 3  ");
    EXPECT_EQ(s.collectedAmount, 12.5);
    EXPECT_EQ(s.distanceFromCenter, 3);
    s = fs.Parse("12.5");  // one piece only
    EXPECT_EQ(s.collectedAmount, 0);
    EXPECT_EQ(s.distanceFromCenter, 0);
    s = fs.Parse("7 2 9");  // the third piece is ignored
    EXPECT_EQ(s.collectedAmount, 7);
    EXPECT_EQ(s.distanceFromCenter, 2);
    s = fs.Parse("12,5 3");  // the comma ends the number
    EXPECT_EQ(s.collectedAmount, 12);
    EXPECT_EQ(s.distanceFromCenter, 3);
    s = fs.Parse("12  3");  // two spaces: the second piece is empty and reads 0
    EXPECT_EQ(s.collectedAmount, 12);
    EXPECT_EQ(s.distanceFromCenter, 0);
    EXPECT_FALSE(fs.Valid(s));
    s = fs.Parse("-1.5e2 +4.25m");
    EXPECT_EQ(s.collectedAmount, -150);
    EXPECT_EQ(s.distanceFromCenter, 4.25);
    s = fs.Parse("abc 1e");  // no number, and an exponent without digits stops before "e"
    EXPECT_EQ(s.collectedAmount, 0);
    EXPECT_EQ(s.distanceFromCenter, 1);
    s = fs.Parse("");
    EXPECT_EQ(s.collectedAmount, 0);
    EXPECT_EQ(s.distanceFromCenter, 0);
    // Beyond the double range is no reading at all (not an empty can at 0.5 m, not
    // infinity): the whole sample is the unreadable {0, 0}, in either piece.
    for (const char* text : {"1e999 .5", "1e400 5", "5 -1e400", "-1.8e308 5"}) {
        s = fs.Parse(text);
        EXPECT_EQ(s.collectedAmount, 0) << text;
        EXPECT_EQ(s.distanceFromCenter, 0) << text;
        EXPECT_FALSE(fs.Valid(s)) << text;
    }
    // Below the smallest double is 0, as the number is; leading zeros do not make a small
    // number large.
    const std::string tiny = "0." + std::string(400, '0') + "1";  // 1e-401, no exponent
    s = fs.Parse("1e-400 " + tiny);
    EXPECT_EQ(s.collectedAmount, 0);
    EXPECT_EQ(s.distanceFromCenter, 0);
    s = fs.Parse("0." + std::string(329, '0') + "1e700 2");  // 1e-330 × 1e700 = 1e370
    EXPECT_EQ(s.collectedAmount, 0);
    EXPECT_EQ(s.distanceFromCenter, 0);
    EXPECT_FALSE(fs.Valid(s));
    s = fs.Parse("0." + std::string(329, '0') + "1e300 2");  // 1e-30: an ordinary number
    EXPECT_DOUBLE_EQ(s.collectedAmount, 1e-30);
    EXPECT_EQ(s.distanceFromCenter, 2);
}

TEST(FieldSamples, StoredTextAlwaysReadsBackFinite) {
    // 15 significant digits of the largest doubles round past the double range; the text of
    // such a value must still read back as the same number.
    const FieldSamples fs;
    const double big = std::numeric_limits<double>::max();
    for (double v : {big, -big, std::nextafter(big, 0.0), -1.7976931348623157e308, 1e308,
                     std::numeric_limits<double>::denorm_min(), 12.5}) {
        const FieldSample sample = fs.newFieldSample(v, 3);
        const FieldSample back = fs.Parse(fs.serialize(sample));
        EXPECT_TRUE(std::isfinite(back.collectedAmount)) << fs.serialize(sample);
        EXPECT_EQ(back.collectedAmount, v) << fs.serialize(sample);
        EXPECT_EQ(back.distanceFromCenter, 3);
    }
    EXPECT_EQ(fs.serialize(fs.newFieldSample(0.5, 10)), "0.5 10");  // ordinary values unchanged
    EXPECT_EQ(numberText(1.0 / 3.0), "0.333333333333333");
}

TEST(FieldSamples, SerializeRoundTripsWithPointAndFifteenDigits) {
    const FieldSamples fs;
    EXPECT_EQ(fs.serialize(fs.newFieldSample(12.5, 3)), "12.5 3");
    EXPECT_EQ(fs.serialize(fs.newFieldSample(0.5, 10)), "0.5 10");
    const auto third = fs.newFieldSample(1.0 / 3.0, 123456.789012345);
    const auto back = fs.Parse(fs.serialize(third));
    // 15 significant digits keep the value to a relative 1e-15.
    EXPECT_NEAR(back.collectedAmount, 1.0 / 3.0, 1e-15);
    EXPECT_NEAR(back.distanceFromCenter, 123456.789012345, 1e-9);
    EXPECT_EQ(fs.serialize(back), fs.serialize(third));
}

TEST(FieldSamples, TextFormUnderDecimalCommaLocale) {
    CommaLocale comma;
    if (!comma.active()) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const FieldSamples fs;
    EXPECT_EQ(fs.serialize(fs.newFieldSample(0.5, 10)), "0.5 10");
    EXPECT_EQ(fs.serialize(fs.newFieldSample(95.5, 1234.25)), "95.5 1234.25");
    const auto s = fs.Parse("12.5 3.75");
    EXPECT_EQ(s.collectedAmount, 12.5);
    EXPECT_EQ(s.distanceFromCenter, 3.75);
    PivotEvaluations pe;
    Array<FieldSample> samples{fs.newFieldSample(120, 5), fs.newFieldSample(95.5, 10)};
    EXPECT_EQ(pe.samplesText(samples), "120 5\r\n95.5 10");
    EXPECT_EQ(pe.samplesFromText("120 5\r\n95.5 10"), samples);
    EXPECT_EQ(sqlNumber(1.5), "1.5");
}

TEST(FieldSamples, ValidityAndConversionToDepth) {
    const FieldSamples fs;
    EXPECT_TRUE(fs.Valid(fs.newFieldSample(0, 5)));  // an empty can is a reading
    EXPECT_FALSE(fs.Valid(fs.newFieldSample(5, 0)));
    EXPECT_FALSE(fs.Valid(fs.newFieldSample(-1, 5)));

    Pluviometro can = Pluviometros().newPluviometro(0.10);
    EXPECT_TRUE(std::isnan(can.p_area));
    const auto d = fs.ToWaterDepth(fs.newFieldSample(100, 7), can);
    // 100 ml in a can of 0.10 m: 100 / (0.0078539816 × 1000) = 12.732 mm.
    EXPECT_NEAR(d.depth, 12.7324, 1e-4);  // 4 decimals of the hand-worked value
    EXPECT_EQ(d.distanceFromCenter, 7);
    EXPECT_FALSE(d.p_null);
    EXPECT_NEAR(can.p_area, 0.0078539816, 1e-10);  // cached in the caller's record

    const auto invalid = fs.ToWaterDepth(fs.newFieldSample(5, 0), can);
    EXPECT_TRUE(invalid.p_null);
    EXPECT_EQ(invalid.depth, 0);
    EXPECT_FALSE(WaterDepths().Valid(invalid));

    Array<FieldSample> mixed{fs.newFieldSample(10, 1), fs.newFieldSample(10, 0),
                             fs.newFieldSample(0, 2)};
    const auto depths = fs.CollectionToWaterDepth(mixed, can);
    ASSERT_EQ(depths.Length(), 3);
    EXPECT_TRUE(depths(2).p_null);
    const auto valid = fs.FilterValid(mixed);
    ASSERT_EQ(valid.Length(), 2);
    EXPECT_EQ(valid(2).distanceFromCenter, 2);
}

TEST(Pluviometros, AreaCachedAndRefusedWithoutDiameter) {
    const Pluviometros p;
    Pluviometro can = p.newPluviometro(0.2);
    const double first = p.Area(can);
    can.diameter = 0.4;  // the cache is kept: the area is not recomputed
    EXPECT_EQ(p.Area(can), first);
    EXPECT_NEAR(first, 0.0314159265358979, 1e-15);

    Pluviometro none = p.newPluviometro(0);
    EXPECT_EQ(errorOf([&] { p.Area(none); }), errc::PluviometroIncompleteException);
    Pluviometro negative = p.newPluviometro(-0.1);
    EXPECT_EQ(errorOf([&] { p.Area(negative); }), errc::PluviometroIncompleteException);
    // A valid reading in a can without diameter cannot become a depth.
    EXPECT_EQ(errorOf([&] {
                  FieldSamples().ToWaterDepth({10, 5}, none);
              }),
              errc::PluviometroIncompleteException);
    // A record built field by field (area 0) still gets its area computed.
    Pluviometro plain;
    plain.diameter = 0.2;
    EXPECT_NEAR(p.Area(plain), 0.0314159265358979, 1e-15);
}

TEST(WaterDepths, ComparatorOrdersByDepthThenDistanceOrByDistance) {
    WaterDepthsComparator c;
    c.init(compareWhat::depth);
    EXPECT_TRUE(c.LT(wd(1, 9), wd(2, 1)));
    EXPECT_TRUE(c.LT(wd(2, 1), wd(2, 3)));  // equal depths: the nearer first
    EXPECT_TRUE(c.GTE(wd(2, 3), wd(2, 3)));
    EXPECT_FALSE(c.GT(wd(2, 3), wd(2, 3)));
    EXPECT_TRUE(c.EQ(wd(2, 3), wd(2, 3)));
    EXPECT_TRUE(c.LTE(wd(2, 1), wd(2, 3)));
    c.init(compareWhat::distance);
    EXPECT_TRUE(c.LT(wd(9, 1), wd(1, 2)));
    EXPECT_TRUE(c.EQ(wd(9, 2), wd(1, 2)));
    EXPECT_TRUE(c.GTE(wd(9, 2), wd(1, 2)));
    EXPECT_FALSE(c.GT(wd(9, 2), wd(1, 2)));

    const WaterDepths w;
    const auto input = list({{5, 30}, {1, 20}, {5, 10}, {3, 40}, {1, 5}});
    const auto byDepth = w.Sort(input, compareWhat::depth);
    ASSERT_EQ(byDepth.Length(), 5);
    EXPECT_EQ(byDepth(1), wd(1, 5));
    EXPECT_EQ(byDepth(2), wd(1, 20));
    EXPECT_EQ(byDepth(3), wd(3, 40));
    EXPECT_EQ(byDepth(4), wd(5, 10));
    EXPECT_EQ(byDepth(5), wd(5, 30));
    const auto byDistance = w.Sort(input, compareWhat::distance);
    for (int i = 2; i <= 5; ++i) {
        EXPECT_LT(byDistance(i - 1).distanceFromCenter, byDistance(i).distanceFromCenter);
    }
    EXPECT_EQ(input(1), wd(5, 30));  // the argument is left as it was
}

TEST(WaterDepths, AverageWithLimitAndLowQuarter) {
    const WaterDepths w;
    const auto two = list({{10, 100}, {20, 300}});
    EXPECT_DOUBLE_EQ(w.Average(two), 17.5);  // (1000 + 6000) / 400
    std::int32_t limit = 1;
    EXPECT_DOUBLE_EQ(w.Average(two, limit), 10);
    limit = 50;
    EXPECT_DOUBLE_EQ(w.Average(two, limit), 17.5);
    EXPECT_EQ(limit, 2);
    EXPECT_EQ(errorOf([&] { w.Average(Array<WaterDepthSample>{}); }), errc::DivisionByZero);
    limit = 0;
    EXPECT_EQ(errorOf([&] { w.Average(two, limit); }), errc::DivisionByZero);

    // Weight 100 is exactly a quarter of 400: inside.
    auto lq = w.LowQuarter(list({{20, 300}, {10, 100}}));
    ASSERT_EQ(lq.Length(), 1);
    EXPECT_EQ(lq(1), wd(10, 100));
    // 101 is more than a quarter of 400: nothing fits.
    EXPECT_EQ(errorOf([&] {
                  w.LowQuarter(list({{10, 101}, {20, 299}}));
              }),
              errc::NotEnoughSamplesToComputeLowQuarter);
    EXPECT_EQ(errorOf([&] {
                  w.LowQuarter(list({{1, 1}, {2, 1}, {3, 1}}));
              }),
              errc::NotEnoughSamplesToComputeLowQuarter);
    EXPECT_EQ(errorOf([&] { w.LowQuarter(Array<WaterDepthSample>{}); }),
              errc::NotEnoughSamplesToComputeLowQuarter);
    lq = w.LowQuarter(list({{4, 1}, {2, 1}, {3, 1}, {1, 1}}));
    ASSERT_EQ(lq.Length(), 1);
    EXPECT_EQ(lq(1).depth, 1);
    // Equal depths: the samples nearest the pivot point come first.
    lq = w.LowQuarter(list({{5, 3}, {5, 1}, {5, 2}, {5, 4}, {5, 5}, {5, 6}, {5, 7}, {5, 8}}));
    ASSERT_EQ(lq.Length(), 3);  // 1 + 2 + 3 = 6 ≤ 9, adding 4 exceeds a quarter of 36
    EXPECT_EQ(lq(1).distanceFromCenter, 1);
    EXPECT_EQ(lq(3).distanceFromCenter, 3);
}

TEST(WaterDepths, WeightedDeviationAndHandWorkedCu) {
    const WaterDepths w;
    EXPECT_EQ(w.PonderatedDepths(wd(10, 100)), 1000);
    EXPECT_EQ(w.PonderatedDeviation(wd(10, 100), 17.5), 750);
    EXPECT_EQ(w.PonderatedDeviation(wd(20, 300), 17.5), 750);
    // CU = 1 − (750 + 750) / (1000 + 6000) = 0.785714...
    const auto two = list({{10, 100}, {20, 300}});
    const double avg = w.Average(two);
    double dev = 0, dep = 0;
    for (const auto& s : two) {
        dev += w.PonderatedDeviation(s, avg);
        dep += w.PonderatedDepths(s);
    }
    EXPECT_NEAR(1 - dev / dep, 0.785714285714286, 1e-12);  // rounding of the sums only
    EXPECT_TRUE(w.NullWaterDepth().p_null);
    EXPECT_FALSE(w.Valid(wd(-1, 1)));
    EXPECT_FALSE(w.Valid(wd(1, 0)));
    EXPECT_TRUE(w.Valid(wd(0, 1)));
}

TEST(Statics, HandsOutOneSharedEvaluationServiceEach) {
    EXPECT_EQ(&statics().FieldSamples(), &statics().FieldSamples());
    EXPECT_EQ(&statics().WaterDepths(), &statics().WaterDepths());
    EXPECT_EQ(&statics().Pluviometros(), &statics().Pluviometros());
    EXPECT_EQ(&statics().PivotEvaluations(), &statics().PivotEvaluations());
    const auto e = statics().PivotEvaluations().newEvaluation("North field");
    EXPECT_EQ(e.id, 0);
    EXPECT_EQ(e.name, "North field");
    EXPECT_EQ(e.pluviometer.diameter, 0);
    EXPECT_TRUE(e.firstSample.IsEmpty());
    EXPECT_TRUE(e.secondSample.IsEmpty());
}
