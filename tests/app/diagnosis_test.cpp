// SPDX-License-Identifier: GPL-3.0-or-later
//
// The diagnosis of a catch-can test on hand-made profiles whose findings are known: a dry
// can over a known outlet, a uniform field, a supply falling along the pipe, an end gun that
// under-applies, and the uniformity after the repair.
#include "evaluation/diagnosis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kambrix {
namespace {

// Cans every 10 m from 10 m to `last` m, each `depth` mm.
std::vector<CanDepth> flat(double depth, double last = 200) {
    std::vector<CanDepth> cans;
    for (double r = 10; r <= last + 1e-9; r += 10) {
        cans.push_back({r, depth});
    }
    return cans;
}

// Outlets every 5 m, "Brand Model #n", each designed to give 10 mm.
std::vector<ChartOutlet> outletsEvery5m(double last = 200) {
    std::vector<ChartOutlet> out;
    int k = 0;
    for (double r = 5; r <= last + 1e-9; r += 5) {
        ++k;
        out.push_back(
            {1 + static_cast<int>(r / 50.01), k, r, "Brand Model #" + std::to_string(k), 10.0});
    }
    return out;
}

TEST(Diagnosis, AUniformFieldHasNoFinding) {
    DiagnosisInput in;
    in.cans = flat(10);
    in.pipeLength = 200;
    const Diagnosis d = diagnose(in);
    ASSERT_TRUE(d.SC);
    EXPECT_DOUBLE_EQ(*d.SC, 1.0);
    EXPECT_TRUE(d.lowZones.empty());
    EXPECT_TRUE(d.highZones.empty());
    ASSERT_TRUE(d.trendChangePercent);
    EXPECT_NEAR(*d.trendChangePercent, 0.0, 1e-9);
    EXPECT_TRUE(d.trendVerdict.empty());
    EXPECT_NEAR(*d.measured.CU, 100.0, 1e-9);
    EXPECT_EQ(d.afterRepair.CU, d.measured.CU);
    EXPECT_TRUE(d.wind.empty());
}

TEST(Diagnosis, ADryCanNamesTheOutletsUnderIt) {
    DiagnosisInput in;
    in.cans = flat(10);
    in.cans[9].depth = 5;  // the can at 100 m cut by half
    in.pipeLength = 200;
    in.outlets = outletsEvery5m();
    const Diagnosis d = diagnose(in);
    ASSERT_EQ(d.lowZones.size(), 1u);
    EXPECT_TRUE(d.highZones.empty());  // the neighbours' mean is 8.75: 10 is within 120 %
    const CanZone& z = d.lowZones[0];
    EXPECT_EQ(z.from, 100);
    EXPECT_EQ(z.to, 100);
    EXPECT_EQ(z.reading, kLowZoneReading);
    // Widened by half the distance to the cans beside it: 95 m to 105 m.
    ASSERT_EQ(z.suspects.size(), 3u);
    EXPECT_EQ(z.suspects[0].distance, 95);
    EXPECT_EQ(z.suspects[1].distance, 100);
    EXPECT_EQ(z.suspects[1].nozzle, "Brand Model #20");
    EXPECT_EQ(z.suspects[2].distance, 105);
    // SC: the total weight is 2100 m, 5 % is 105 m. The run from 90 m reaches it with the
    // cans at 90 and 100 m, (90·10 + 100·5) / 190, the lowest (from 100 m: (100·5 + 110·10)
    // / 210).
    const double avg = (2100 * 10 - 100 * 5) / 2100.0;
    EXPECT_NEAR(*d.SC, avg / ((90 * 10 + 100 * 5) / 190.0), 1e-12);
    EXPECT_EQ(d.scRun, (std::pair<double, double>{90, 100}));
    // After repair the can takes its neighbours' mean, 10 mm: a uniform field.
    EXPECT_NEAR(*d.afterRepair.CU, 100.0, 1e-9);
    EXPECT_LT(*d.measured.CU, 100.0);
    bool named = false;
    for (const auto& f : d.findings) {
        named =
            named || f.find("span 2 outlet 20 at 100.0 m (Brand Model #20)") != std::string::npos;
    }
    EXPECT_TRUE(named);

    // Cans above 120 % of their neighbours' mean are high; consecutive ones make one zone.
    in.cans = flat(10);
    in.cans[4].depth = 14;
    in.cans[5].depth = 14;
    const Diagnosis h = diagnose(in);
    ASSERT_EQ(h.highZones.size(), 1u);
    EXPECT_EQ(h.highZones[0].from, 50);
    EXPECT_EQ(h.highZones[0].to, 60);
    EXPECT_EQ(h.highZones[0].cans.size(), 2u);
}

TEST(Diagnosis, AFallAlongThePipeReadsSupplyBelowDesign) {
    DiagnosisInput in;
    for (double r = 10; r <= 200; r += 10) {
        in.cans.push_back({r, 10 * (1 - 0.2 * r / 200)});
    }
    in.pipeLength = 200;
    Diagnosis d = diagnose(in);
    ASSERT_TRUE(d.trendChangePercent);
    // An exact line: from 9.8 at 20 m to 8.2 at 180 m.
    EXPECT_NEAR(*d.trendChangePercent, 100 * (8.2 - 9.8) / 9.8, 1e-9);
    EXPECT_EQ(d.trendVerdict, kSupplyBelowDesign);
    for (auto& c : in.cans) {
        c.depth = 10 * (1 + 0.2 * c.distance / 200);
    }
    EXPECT_EQ(diagnose(in).trendVerdict, kSupplyAboveDesign);
}

TEST(Diagnosis, EndGunSupplyWindAndTheDesignedProfile) {
    DiagnosisInput in;
    in.cans = flat(10, 230);
    for (auto& c : in.cans) {
        if (c.distance > 200) {
            c.depth = 6;
        }
    }
    in.pipeLength = 200;
    in.measuredPressure = 250;
    in.chartPressure = 300;
    in.measuredDischarge = 50;
    in.chartDischarge = 52;
    in.windSpeed = 3;
    in.designedProfile = {{0, 10}, {100, 10}, {250, 12}};
    const Diagnosis d = diagnose(in);
    ASSERT_TRUE(d.endGunRatio);
    EXPECT_NEAR(*d.endGunRatio, 0.6, 1e-12);
    EXPECT_EQ(d.endGunVerdict, kEndGunUnder);
    ASSERT_EQ(d.supplyFindings.size(), 1u);  // the discharge lies within 10 %
    EXPECT_NE(d.supplyFindings[0].find("250.0 kPa against the chart's 300.0 kPa"),
              std::string::npos);
    EXPECT_NE(d.wind.find("caution"), std::string::npos);
    in.windSpeed = 6;
    EXPECT_NE(diagnose(in).wind.find("not representative"), std::string::npos);
    // The profile by straight lines: 10 + 70·2/150 mm at 170 m.
    ASSERT_EQ(d.designed.size(), in.cans.size());
    EXPECT_NEAR(d.designed[16].designed, 10 + 70 * 2 / 150.0, 1e-12);
    EXPECT_NEAR(*d.designed[0].ratio, 1.0, 1e-12);
    // Without the end gun's cans the field is uniform; the plain results keep them.
    ASSERT_TRUE(d.withoutEndGun.CU);
    EXPECT_NEAR(*d.withoutEndGun.CU, 100, 1e-9);
    EXPECT_LT(*d.measured.CU, 100);
    ASSERT_TRUE(d.smoothed.CU);
    EXPECT_GT(*d.smoothed.CU, *d.measured.CU);
}

TEST(Diagnosis, AfterRepairIsTheUniformityOfTheRepairedProfile) {
    DiagnosisInput in;
    in.cans = flat(10);
    for (std::size_t i = 0; i < in.cans.size(); ++i) {
        in.cans[i].depth = 10 + 0.3 * std::sin(static_cast<double>(i));  // gently uneven
    }
    in.cans[12].depth = 6;
    const Diagnosis d = diagnose(in);
    ASSERT_EQ(d.lowZones.size(), 1u);
    std::vector<CanDepth> repaired = in.cans;
    repaired[12].depth =
        (in.cans[10].depth + in.cans[11].depth + in.cans[13].depth + in.cans[14].depth) / 4;
    const Uniformity u = uniformityOf(repaired);
    EXPECT_DOUBLE_EQ(*d.afterRepair.CU, *u.CU);
    EXPECT_DOUBLE_EQ(*d.afterRepair.UD, *u.UD);

    // Invalid and unordered cans: ordered, and the invalid left out.
    DiagnosisInput messy;
    messy.cans = {{30, 10}, {10, 10}, {-5, 10}, {20, std::nan("")}, {40, 10}};
    const Diagnosis m = diagnose(messy);
    EXPECT_EQ(m.measured.CU, 100.0);
    EXPECT_EQ(diagnose(DiagnosisInput{}).findings.back(),
              "Fewer than three valid cans: nothing more can be said");
}

}  // namespace
}  // namespace kambrix
