// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli design, end to end through runDesign on files written to a temporary folder.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "commands.h"

namespace kambrix::cli {
namespace {

using json = nlohmann::json;

json design(const std::string& mode) {
    return json::parse(R"({
      "pivot": {"caudal": 20.0, "presion": 250.0, "rugosidad": 140.0, "cota": 100.0,
        "spans": [{"id": 1, "denominacion": "S1", "longitude": 54.8, "diametro": 162.0,
                   "separationSaidas_cm": 250.0, "endCota": 101.0},
                  {"id": 2, "denominacion": "S2", "longitude": 50.0, "diametro": 162.0,
                   "separationSaidas_cm": 250.0, "endCota": 100.0}],
        "overhang": {"id": 9, "denominacion": "OH", "longitude": 10.0, "diametro": 100.0,
                     "separationSaidas_cm": 200.0},
        "endGun": {"rs": 20.0}},
      "catalogue": [
        {"id": 1, "nome": "#1", "marca": "Demo", "modelo": "Spray", "a": 0.005, "b": 0.5,
         "pmin": 40, "pmax": 400, "qmin": 0.01, "qmax": 2.0},
        {"id": 2, "nome": "#2", "marca": "Demo", "modelo": "Spray", "a": 0.01, "b": 0.5,
         "pmin": 40, "pmax": 400, "qmin": 0.01, "qmax": 2.0},
        {"id": 3, "nome": "#3", "marca": "Demo", "modelo": "Spray", "a": 0.02, "b": 0.5,
         "pmin": 40, "pmax": 400, "qmin": 0.01, "qmax": 2.0},
        {"id": 7, "nome": "gun", "marca": "Demo", "modelo": "Gun", "a": 0.1, "b": 0.5,
         "pmin": 100, "pmax": 600, "qmin": 0.5, "qmax": 5.0}],
      "mode": ")" + mode +
                       R"(",
      "chart": {
        "nozzles": [{"tramo": 1, "saida": 1, "id": 1}, {"tramo": 2, "saida": 3, "id": 3},
                    {"tramo": 3, "saida": 2, "id": 2}, {"tramo": -1, "saida": -1, "id": 7}],
        "endGunBoost": 50,
        "regulators": [{"tramo": 2, "pression": 140, "caudal_max": 1.0, "caudal_min": 0.1,
                        "installed": true}],
        "drop": {"longitud": 2.0, "diametro": 20.0, "rugosidade": 150, "installed": true},
        "indicadores": {"horasRevolucao": 20, "numeroSaidasObturadas": 0},
        "pluviometria": {"first": {"distanceToCenter": 100, "wetDiameter": 30},
                         "second": {"distanceToCenter": 0, "wetDiameter": 0}, "k": 30, "a": -0.5}}
    })");
}

struct CliRun {
    int rc;
    std::string out;
    std::string err;
};

CliRun run(const std::string& text, bool csv = false) {
    const auto dir = std::filesystem::path(KAMBRIX_TEST_TMP);
    std::filesystem::create_directories(dir);
    const auto file =
        dir /
        (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".json");
    std::ofstream(file) << text;
    std::ostringstream out, err;
    const int rc = runDesign(file.string(), csv, out, err);
    std::filesystem::remove(file);
    return {rc, out.str(), err.str()};
}

TEST(DesignCommand, ManualModeEndToEnd) {
    const CliRun r = run(design("manual").dump());
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    const json j = json::parse(r.out);
    // 21 + 20 outlets on the fixed spans, 5 on the overhang (numbered 3).
    ASSERT_EQ(j["outlets"].size(), 46u);
    EXPECT_EQ(j["outlets"][0]["aspersor_id"], 1);
    EXPECT_EQ(j["outlets"][0]["aspersor"], "#1");
    EXPECT_TRUE(j["outlets"][1]["aspersor_id"].is_null());
    EXPECT_EQ(j["outlets"][1]["aspersor"], "");
    EXPECT_EQ(j["outlets"][23]["tramo"], 2);
    EXPECT_EQ(j["outlets"][23]["saida"], 3);
    EXPECT_EQ(j["outlets"][23]["pressao_actuante"], 140.0);  // regulated span
    EXPECT_EQ(j["outlets"][42]["tramo"], 3);
    EXPECT_EQ(j["outlets"][42]["aspersor_id"], 2);
    EXPECT_EQ(j["endGun"]["tramo"], -1);
    EXPECT_EQ(j["endGun"]["aspersor_id"], 7);
    EXPECT_DOUBLE_EQ(j["endGun"]["pressao_actuante"].get<double>(),
                     j["endGun"]["pressao_real"].get<double>() + 50);
    ASSERT_EQ(j["spans"].size(), 3u);
    EXPECT_EQ(j["spans"][2]["tramo"], 3);
    EXPECT_EQ(j["converged_by"], "plain");
    EXPECT_GE(j["iterations"].get<int>(), 2);
    // The total is the sum of the four nozzles' draws; numbers read back exactly.
    double sum = j["endGun"]["caudal_do_aspersor"].get<double>();
    for (const auto& o : j["outlets"]) {
        sum += o["caudal_do_aspersor"].get<double>();
    }
    EXPECT_NEAR(j["caudaDaCartaAssociada"].get<double>(), sum, 1e-12);
    const json again = json::parse(run(design("manual").dump()).out);
    EXPECT_EQ(again, j);
}

TEST(DesignCommand, AutoModeAndCsv) {
    const CliRun r = run(design("auto").dump());
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    const json j = json::parse(r.out);
    int mounted = 0;
    for (const auto& o : j["outlets"]) {
        if (!o["aspersor_id"].is_null()) {
            ++mounted;
            const double need = o["caudal"].get<double>();
            EXPECT_NEAR(o["caudal_do_aspersor"].get<double>(), need, 0.1 * need + 1e-12);
        }
    }
    EXPECT_GE(mounted, 3);
    const CliRun c = run(design("auto").dump(), true);
    ASSERT_EQ(c.rc, kExitOk) << c.err;
    std::istringstream lines(c.out);
    std::string header, first;
    std::getline(lines, header);
    std::getline(lines, first);
    EXPECT_EQ(header.rfind("tramo,saida,distanciaAoPivot,", 0), 0u);
    EXPECT_EQ(first.rfind("1,1,2.5,", 0), 0u);
    int rows = 0;
    for (std::string l; std::getline(lines, l);) {
        ++rows;
    }
    EXPECT_EQ(rows, 46);  // the other 45 outlets and the gun
}

TEST(DesignCommand, BadInputNamesTheProblem) {
    struct Case {
        std::string text;
        std::string mention;
    };
    json missing = design("manual");
    missing["pivot"].erase("presion");
    json wrongType = design("manual");
    wrongType["pivot"]["spans"][1]["diametro"] = "big";
    json unknownNozzle = design("manual");
    unknownNozzle["chart"]["nozzles"][1]["id"] = 99;
    json badMode = design("fast");
    json badNozzle = design("auto");
    badNozzle["catalogue"][0]["qmax"] = 0;
    json noPressure = design("auto");
    noPressure["pivot"]["rugosidad"] = 0;
    const Case cases[] = {
        {"{not json", "not valid JSON"},
        {missing.dump(), "pivot.presion"},
        {wrongType.dump(), "pivot.spans[1].diametro"},
        {unknownNozzle.dump(), "chart.nozzles[1].id"},
        {badMode.dump(), "design.mode"},
        {badNozzle.dump(), "catalogue[0]"},
        {noPressure.dump(), "pivot.rugosidad"},  // refused by its range before any computing
        {"[]", "object"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.text);
        EXPECT_EQ(r.rc, kExitBadInput) << c.mention;
        EXPECT_NE(r.err.find(c.mention), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    std::ostringstream out, err;
    EXPECT_EQ(runDesign("/nonexistent/design.json", false, out, err), kExitBadInput);
}

TEST(DesignCommand, TwoCycleDesignIsSettledBySafeguardedSearch) {
    // The two-cycle design: one 100 m span of 60 mm pipe, nozzles a = 0.04 everywhere.
    json j = json::parse(R"({"pivot": {"caudal": 50, "presion": 300, "rugosidad": 140, "cota": 0,
        "spans": [{"id": 1, "denominacion": "S", "longitude": 100, "diametro": 60,
                   "separationSaidas_cm": 250, "endCota": 0}]},
      "catalogue": [{"id": 1, "nome": "n", "marca": "m", "modelo": "m", "a": 0.04, "b": 0.5,
                     "pmin": 1, "pmax": 1000, "qmin": 0.001, "qmax": 100}],
      "mode": "manual", "chart": {"nozzles": []}})");
    for (int k = 1; k <= 40; ++k) {
        j["chart"]["nozzles"].push_back({{"tramo", 1}, {"saida", k}, {"id", 1}});
    }
    const CliRun r = run(j.dump());
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    const json out = json::parse(r.out);
    EXPECT_EQ(out["converged_by"], "safeguarded");
    EXPECT_NEAR(out["caudaDaCartaAssociada"].get<double>(),
                out["spans"][0]["entry"]["caudal"].get<double>(), 1e-5);
}

}  // namespace
}  // namespace kambrix::cli
