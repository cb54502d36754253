// SPDX-License-Identifier: GPL-3.0-or-later
// The "indicators" and "runoff" sections of kambrix-cli design, checked against values
// recomputed here from the outlets the command prints.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/process_run.h"

namespace {

using Run = kambrix::test::ProcessRun;

Run design(const nlohmann::json& input, const std::string& name) {
    std::filesystem::create_directories(KAMBRIX_TEST_TMP);
    const std::string dir = KAMBRIX_TEST_TMP;
    std::ofstream(dir + "/" + name + ".json") << input.dump();
    return kambrix::test::runCommand(
        std::string(KAMBRIX_CLI) + " design " + dir + "/" + name + ".json",
        dir + "/" + name + ".err");
}

nlohmann::json golden() {
    std::ifstream in(std::string(KAMBRIX_CLI_DATA) + "/design_indicators_runoff.json");
    return nlohmann::json::parse(in);
}

}  // namespace

TEST(DesignEvaluation, IndicatorsAndRunoffFromTheComputedChart) {
    const auto r = design(golden(), "golden");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    ASSERT_TRUE(doc.contains("indicators"));
    ASSERT_TRUE(doc.contains("runoff"));
    // Depth of an outlet: q·3600·T / (2π r s), s = 25 m, T = 20 h; the first outlet is plugged.
    const double T = 20, s = 25, twoPi = 6.28318530717958;
    double W = 0, S = 0;
    std::vector<std::pair<double, double>> depths;
    for (std::size_t i = 1; i < doc["outlets"].size(); ++i) {
        const auto& o = doc["outlets"][i];
        const double rr = o["distanciaAoPivot"].get<double>();
        const double d = o["caudal_do_aspersor"].get<double>() * 3600 * T / (twoPi * rr * s);
        depths.emplace_back(d, rr);
        W += rr;
        S += rr * d;
    }
    const double avg = S / W;
    double dev = 0;
    for (const auto& [d, rr] : depths) {
        dev += rr * std::fabs(d - avg);
    }
    const auto& ind = doc["indicators"];
    EXPECT_NEAR(ind["averageDepth"].get<double>(), avg, 1e-9);  // printed to 17 digits
    EXPECT_NEAR(ind["CU"].get<double>(), 1 - dev / S, 1e-9);
    // Ideal depth is uniform: Q·3600·T / (π R²) with Q = 2.5 L/s, R = 100 m.
    EXPECT_NEAR(ind["expectedDepth"].get<double>(), 2.5 * 3600 * T / (3.14159265358979 * 1e4),
                1e-6);
    // Nearly equal depths: the lowest one lies at 75 or 100 m, more than a quarter of 225.
    EXPECT_TRUE(ind["UD"].is_null());
    EXPECT_NE(r.err.find("low quarter"), std::string::npos);
    EXPECT_GT(doc["runoff"]["ellipse1"].get<double>(), 0);
    EXPECT_TRUE(doc["runoff"]["ellipse2"].is_null());

    // With no plugged outlet and an even spread the low quarter exists.
    auto plain = golden();
    plain["chart"]["indicadores"]["numeroSaidasObturadas"] = 0;
    plain["chart"].erase("pluviometria");
    const auto r0 = design(plain, "plain");
    ASSERT_EQ(r0.status, 0) << r0.err;
    const auto d0 = nlohmann::json::parse(r0.out);
    EXPECT_FALSE(d0.contains("runoff"));
    EXPECT_TRUE(d0["indicators"]["CU"].is_number());
}

TEST(DesignEvaluation, RunoffAndIndicatorInputErrors) {
    auto noHours = golden();
    noHours["chart"]["indicadores"]["horasRevolucao"] = 0;
    auto r = design(noHours, "nohours");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.ends_with(
        "design: Please enter the number of hours for a complete pivot revolution\n"))
        << r.err;
    EXPECT_TRUE(r.out.empty());

    auto noPoint = golden();
    noPoint["chart"]["pluviometria"]["first"]["wetDiameter"] = 0;
    r = design(noPoint, "nopoint");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.ends_with("design: It must be given data for at least one position\n"))
        << r.err;

    auto tooMany = golden();
    tooMany["chart"]["indicadores"]["numeroSaidasObturadas"] = 5;
    r = design(tooMany, "toomany");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("can not exceed the number of total outlets"), std::string::npos);

    // No revolution time and no check: neither section, and the design still succeeds.
    auto none = golden();
    none["chart"].erase("indicadores");
    none["chart"].erase("pluviometria");
    r = design(none, "none");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_FALSE(doc.contains("indicators"));
    EXPECT_FALSE(doc.contains("runoff"));
}

// The design given with its supply: the outlets printed are those of the machine at its
// operating point, where the pump's pressure (less the lift) and the package's draw agree;
// checked here from the printed outlets and the pump rule alone.
TEST(DesignEvaluation, SupplyGivesTheOperatingPointAndItsOutlets) {
    auto input = golden();
    input["chart"].erase("pluviometria");
    // One row: P(Q) = 4/3·350 − 1/3·350·(Q/2.5)²; the pivot point 3 m above the water.
    input["supply"] = {
        {"pump", {{2.5, 350}}}, {"lift", 3}, {"measured", {{"presion", 300}, {"caudal", 2.9}}}};
    const auto r = design(input, "supply");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    const auto& op = doc["operatingPoint"];
    ASSERT_TRUE(op["found"].get<bool>()) << op.dump();
    const double Q = op["caudal"].get<double>();
    const double p = op["presion"].get<double>();
    EXPECT_NEAR(4.0 / 3.0 * 350 - 350.0 / 3.0 * (Q / 2.5) * (Q / 2.5) - 30, p, 1e-3);
    double drawn = 0;
    for (const auto& o : doc["outlets"]) {
        drawn += o["caudal_do_aspersor"].get<double>();
    }
    EXPECT_NEAR(drawn, Q, 1e-6);
    EXPECT_NEAR(doc["caudaDaCartaAssociada"].get<double>(), Q, 1e-9);
    // No end gun: the machine at its point, then as designed at 300 kPa.
    ASSERT_EQ(doc["cases"].size(), 2u);
    EXPECT_EQ(doc["cases"][0]["name"], "gun off");
    EXPECT_EQ(doc["cases"][1]["name"], "as designed");
    EXPECT_EQ(doc["cases"][1]["presion"].get<double>(), 300.0);
    EXPECT_TRUE(doc["cases"][0]["CU"].is_number());
    const auto& m = doc["measured"];
    const double chart = doc["cases"][1]["caudal"].get<double>();
    EXPECT_NEAR(m["chartDischarge"].get<double>(), chart, 1e-12);
    EXPECT_NEAR(m["differencePercent"].get<double>(), 100 * (2.9 - chart) / chart, 1e-9);

    // Refused supplies: one line naming the field or the row.
    const std::vector<std::pair<nlohmann::json, std::string>> refused = {
        {{{"pump", {{2.5, 350}, {2.0, 300}}}}, "row 2"},
        {{{"pump", {{2.5}}}}, "supply.pump[0]"},
        {{{"pump", "many"}}, "supply.pump"},
        {{{"nozzleWear", 3}}, "supply.nozzleWear"},
        {{{"line", {{"length", 100}, {"diametro", 0}, {"rugosidad", 140}}}}, "supply.line"},
    };
    int k = 0;
    for (const auto& [supply, words] : refused) {
        auto bad = golden();
        bad["supply"] = supply;
        const auto rb = design(bad, "bad-supply-" + std::to_string(k++));
        EXPECT_EQ(rb.status, 2) << supply.dump();
        EXPECT_NE(rb.err.find(words), std::string::npos) << rb.err;
        EXPECT_EQ(std::count(rb.err.begin(), rb.err.end(), '\n'), 1) << rb.err;
        EXPECT_TRUE(rb.out.empty());
    }
}
