// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli compare on a pivot with overhang and end gun and a catalogue of three models
// made here: the candidates in rank order, the best one recomputed with kambrix-cli design
// from the nozzles and accessories compare prints, the options and their refusals; and
// kambrix-cli fit-nozzles on makers' tables.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "support/process_run.h"

namespace {

using json = nlohmann::json;

using CliRun = kambrix::test::ProcessRun;

CliRun cli(const std::string& command, const std::string& name, const std::string& content,
           const std::string& extension = ".json", const std::string& options = "") {
    std::filesystem::create_directories(KAMBRIX_TEST_TMP);
    const std::string base = std::string(KAMBRIX_TEST_TMP) + "/compare-" + name;
    std::ofstream(base + extension) << content;
    return kambrix::test::runCommand(
        std::string(KAMBRIX_CLI) + " " + command + " " + options + " '" + base + extension + "'",
        base + ".err");
}

// Orifice nozzles q = a·p^0.5, a = Cd·π·d²·√2 / 4000 (d in mm), in steps of 4 % of diameter.
void orifices(json& catalogue, const std::string& brand, const std::string& model, double cd,
              double d0, double d1, double pmin, double pmax) {
    int id = static_cast<int>(catalogue.size()) + 1;
    for (double d = d0; d <= d1; d *= 1.04) {
        const double a = cd * 3.14159265358979 * d * d * std::sqrt(2.0) / 4000;
        catalogue.push_back({{"id", id++},
                             {"nome", model + " " + std::to_string(d).substr(0, 5) + " mm"},
                             {"marca", brand},
                             {"modelo", model},
                             {"a", a},
                             {"b", 0.5},
                             {"pmin", pmin},
                             {"pmax", pmax},
                             {"qmin", a * std::sqrt(pmin)},
                             {"qmax", a * std::sqrt(pmax)}});
    }
}

json designInput() {
    json spans = json::array();
    for (int i = 1; i <= 3; ++i) {
        spans.push_back({{"id", i},
                         {"denominacion", "T" + std::to_string(i)},
                         {"longitude", 50},
                         {"diametro", 168.3},
                         {"separationSaidas_cm", 300},
                         {"endCota", 0.5 * i}});
    }
    json catalogue = json::array();
    orifices(catalogue, "Aquilon", "Spray", 0.95, 0.9, 9.0, 40, 400);
    orifices(catalogue, "Rotagua", "Spray", 0.90, 0.9, 9.0, 40, 250);  // needs regulators
    orifices(catalogue, "Lluvia", "Gun", 0.95, 12.0, 28.0, 200, 700);
    return {{"pivot",
             {{"caudal", 30},
              {"presion", 300},
              {"rugosidad", 130},
              {"cota", 0},
              {"spans", spans},
              {"overhang",
               {{"id", 9},
                {"denominacion", "OH"},
                {"longitude", 15},
                {"diametro", 101.6},
                {"separationSaidas_cm", 300}}},
              {"endGun", {{"rs", 20}}}}},
            {"catalogue", catalogue},
            {"mode", "auto"},
            {"chart",
             {{"indicadores", {{"horasRevolucao", 20}, {"numeroSaidasObturadas", 1}}},
              {"pluviometria",
               {{"first", {{"distanceToCenter", 120}, {"wetDiameter", 25}}},
                {"second", {{"distanceToCenter", 0}, {"wetDiameter", 0}}},
                {"k", 8},
                {"a", -0.5}}}}}};
}

TEST(CompareCommand, RanksTheCandidatesAndTheBestRecomputesWithDesign) {
    json input = designInput();
    input["compare"] = {{"surfaceStorage", 3.0}};
    const CliRun r = cli("compare", "default", input.dump());
    ASSERT_EQ(r.status, 0) << r.err;
    const json list = json::parse(r.out);
    // 3 models × (none, 70, 100, 140, 170 kPa) × (no boost, 100, 200 kPa).
    ASSERT_EQ(list.size(), 45u);
    bool infeasibleSeen = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const json& c = list[i];
        EXPECT_EQ(c["rank"], i + 1);
        const bool feasible = c["feasible"];
        EXPECT_EQ(feasible, c["settled"] == true && c["noSprinkler"] == 0 && c["outOfRange"] == 0 &&
                                c["starvedRegulators"] == 0);
        EXPECT_FALSE(infeasibleSeen && feasible) << "rank " << i + 1;
        infeasibleSeen = infeasibleSeen || !feasible;
        if (c["model"] == "Gun") {
            EXPECT_FALSE(feasible);
        }
        if (c["brand"] == "Rotagua" && c["regulatorPressure"].is_null()) {
            EXPECT_GT(c["outOfRange"].get<int>(), 0) << "300 kPa is above the range of 250";
        }
        if (i > 0 && feasible && list[i - 1]["CU"].is_number() && c["CU"].is_number()) {
            EXPECT_GE(list[i - 1]["CU"].get<double>(), c["CU"].get<double>());
        }
        if (c["excess1"].is_number()) {
            EXPECT_EQ(c["runoff1"].get<double>(), std::max(0.0, c["excess1"].get<double>() - 3.0));
        }
    }
    const json& best = list[0];
    ASSERT_TRUE(best["feasible"]);
    ASSERT_TRUE(best["CU"].is_number());

    // The best package as a manual chart of `design`.
    json manual = designInput();
    manual["mode"] = "manual";
    manual["chart"]["nozzles"] = best["nozzles"];
    manual["chart"]["regulators"] = best["regulators"];
    manual["chart"]["endGunBoost"] = best["endGunBoost"];
    const CliRun d = cli("design", "recompute", manual.dump());
    ASSERT_EQ(d.status, 0) << d.err;
    const json doc = json::parse(d.out);
    std::map<std::pair<int, int>, int> chosen;
    for (const auto& n : best["nozzles"]) {
        chosen[{n["tramo"].get<int>(), n["saida"].get<int>()}] = n["id"].get<int>();
    }
    json outlets = doc["outlets"];
    outlets.push_back(doc["endGun"]);
    ASSERT_EQ(outlets.size(), chosen.size()) << "a feasible package has a nozzle everywhere";
    for (const auto& o : outlets) {
        const auto it = chosen.find({o["tramo"].get<int>(), o["saida"].get<int>()});
        ASSERT_NE(it, chosen.end());
        EXPECT_EQ(o["aspersor_id"].get<int>(), it->second);
    }
    // Two iterations that both settle within 1e-5 L/s on the same nozzles: the results agree
    // to well within 1e-4 of their size.
    EXPECT_NEAR(100 * doc["caudaDaCartaAssociada"].get<double>() / 30,
                best["dischargePercent"].get<double>(), 1e-3);
    EXPECT_NEAR(100 * doc["indicators"]["CU"].get<double>(), best["CU"].get<double>(), 1e-3);
    EXPECT_NEAR(100 * doc["indicators"]["UD"].get<double>(), best["UD"].get<double>(), 1e-3);
    EXPECT_NEAR(doc["indicators"]["averageDepth"].get<double>(), best["averageDepth"].get<double>(),
                1e-4);
    EXPECT_NEAR(doc["runoff"]["ellipse1"].get<double>(), best["excess1"].get<double>(), 1e-4);
}

TEST(CompareCommand, OptionsChooseTheCandidatesAndBadOptionsAreRefused) {
    json input = designInput();
    input["compare"] = {{"models", json::array({json::array({"Rotagua", "Spray"}),
                                                json::array({"Aquilon", "Spray"})})},
                        {"regulatorPressures", {nullptr, 140}},
                        {"boosts", {0}},
                        {"variation", 0.2},
                        {"rankBy", {"nozzleSizes", "CU"}}};
    const CliRun r = cli("compare", "chosen", input.dump());
    ASSERT_EQ(r.status, 0) << r.err;
    const json list = json::parse(r.out);
    ASSERT_EQ(list.size(), 4u);
    int unregulated = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i]["boost"], 0);
        EXPECT_EQ(list[i]["endGunBoost"], 0);
        unregulated += list[i]["regulatorPressure"].is_null() ? 1 : 0;
        if (!list[i]["regulatorPressure"].is_null()) {
            EXPECT_EQ(list[i]["regulators"].size(), 4u) << "three spans and the overhang";
        } else {
            EXPECT_TRUE(list[i]["regulators"].empty());
        }
        if (i > 0 && list[i]["feasible"] == list[i - 1]["feasible"]) {
            EXPECT_GE(list[i]["nozzleSizes"].get<int>(), list[i - 1]["nozzleSizes"].get<int>());
        }
    }
    EXPECT_EQ(unregulated, 2);

    const std::pair<json, std::string> refused[] = {
        {{{"rankBy", {"cu"}}}, "compare.rankBy[0]: must be one of"},
        {{{"models", json::array({json::array({"Nobody", "Spray"})})}},
         "compare.models: The catalogue has no nozzles of"},
        {{{"models", json::array({"Spray"})}}, "compare.models[0]: must be [brand, model]"},
        {{{"regulatorPressures", {0}}}, "compare.regulatorPressures[0]: must be above 0"},
        {{{"boosts", {-1}}}, "compare.boosts[0]: must be from 0"},
        {{{"variation", 0}}, "compare.variation: must be above 0"},
        {{{"regulator", {100}}}, "compare.regulator: unknown field"},
    };
    for (const auto& [compare, message] : refused) {
        json bad = designInput();
        bad["compare"] = compare;
        const CliRun b = cli("compare", "refused-options", bad.dump());
        EXPECT_EQ(b.status, 2) << compare.dump();
        EXPECT_TRUE(b.out.empty());
        EXPECT_NE(b.err.find("compare: " + message), std::string::npos) << b.err;
    }
}

TEST(FitNozzlesCommand, FitsMakersTablesAndRefusesBadRows) {
    // Exact points of q = 0.0123·p^0.49 for #10 and q = 0.02·p^0.5 for #12, in two orders.
    std::string table = "nozzle,pressure (kPa),discharge (L/s)\n";
    for (double p : {100.0, 200.0, 300.0}) {
        char line[128];
        std::snprintf(line, sizeof line, "#10,%.17g,%.17g\n#12,%.17g,%.17g\n", p,
                      0.0123 * std::pow(p, 0.49), p, 0.02 * std::sqrt(p));
        table += line;
    }
    const CliRun r = cli("fit-nozzles", "exact", table, ".csv", "--brand Aquilon --model Spray");
    ASSERT_EQ(r.status, 0) << r.err;
    const json fits = json::parse(r.out);
    ASSERT_EQ(fits.size(), 2u);
    EXPECT_EQ(fits[0]["nome"], "#10");
    EXPECT_EQ(fits[0]["marca"], "Aquilon");
    EXPECT_EQ(fits[0]["modelo"], "Spray");
    EXPECT_NEAR(fits[0]["a"].get<double>() / 0.0123, 1, 1e-12);
    EXPECT_NEAR(fits[0]["b"].get<double>() / 0.49, 1, 1e-12);
    EXPECT_NEAR(fits[1]["a"].get<double>() / 0.02, 1, 1e-12);
    EXPECT_EQ(fits[1]["pmin"], 100);
    EXPECT_EQ(fits[1]["pmax"], 300);
    EXPECT_EQ(fits[1]["points"], 3);
    EXPECT_LT(fits[1]["maxRelativeError"].get<double>(), 1e-12);

    // psi and gpm: 10 psi = 68.94757 kPa, 1 gpm = 0.0630902 L/s.
    const CliRun us = cli("fit-nozzles", "us", "n,psi,gpm\nA,10,1\nA,40,2\n", ".csv", "--us-units");
    ASSERT_EQ(us.status, 0) << us.err;
    const json usFit = json::parse(us.out);
    EXPECT_NEAR(usFit[0]["pmin"].get<double>(), 68.94757, 1e-5);
    EXPECT_NEAR(usFit[0]["qmax"].get<double>(), 2 * 0.0630902, 1e-7);
    EXPECT_NEAR(usFit[0]["b"].get<double>(), 0.5, 1e-12);

    const std::pair<std::string, std::string> refused[] = {
        {"n,p,q\nA,100,0.2\nA,200,-0.3\n",
         "fit-nozzles: Line 3 of the table: the discharge must be greater than 0"},
        {"n,p,q\nA,100,0.2\nB,100,0.2\nB,200,0.3\n",
         "fit-nozzles: The nozzle A has fewer than two points (line 2)"},
        {"n,p,q\n", "fit-nozzles: the table"},
    };
    for (const auto& [text, message] : refused) {
        const CliRun b = cli("fit-nozzles", "refused-table", text, ".csv");
        EXPECT_EQ(b.status, 2) << text;
        EXPECT_TRUE(b.out.empty());
        EXPECT_EQ(b.err.rfind(message, 0), 0u) << b.err;
    }
}

}  // namespace
