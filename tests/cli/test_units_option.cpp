// SPDX-License-Identifier: GPL-3.0-or-later
//
// --units: the numbers of every command's JSON in the chosen system, counts and fractions
// untouched, "units" at the top; the output unchanged without the option; misuse refused.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "shell/unit_system.h"
#include "support/process_run.h"
#include "units_output.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using kambrix::Quantity;
using kambrix::UnitSystem;

fs::path data(const std::string& name) {
    return fs::path(KAMBRIX_CLI_DATA) / name;
}

// A folder of the running test's own: the tests of this file run side by side.
fs::path testDir() {
    const auto dir =
        fs::path(KAMBRIX_TEST_TMP) /
        ("units-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir);
    return dir;
}

kambrix::test::ProcessRun run(const std::string& args) {
    return kambrix::test::runCommand(std::string(KAMBRIX_CLI) + " " + args,
                                     testDir() / "stderr.txt");
}

// Every number of `si` and `us` side by side: converted where the key has a unit, equal
// elsewhere.
void expectConverted(const json& si, const json& shown, UnitSystem s, const std::string& key,
                     int& converted) {
    if (si.is_object()) {
        for (auto it = si.begin(); it != si.end(); ++it) {
            ASSERT_TRUE(shown.contains(it.key())) << it.key();
            expectConverted(it.value(), shown[it.key()], s, it.key(), converted);
        }
    } else if (si.is_array()) {
        ASSERT_EQ(si.size(), shown.size());
        for (std::size_t i = 0; i < si.size(); ++i) {
            expectConverted(si[i], shown[i], s, key, converted);
        }
    } else if (si.is_number() && key != "depths") {
        const auto q = kambrix::cli::quantityOfKey(key);
        const double expected = q ? kambrix::toShown(*q, s, si.get<double>()) : si.get<double>();
        EXPECT_NEAR(shown.get<double>(), expected, 1e-9 * std::abs(expected)) << key;
        converted += (q && !kambrix::unitOf(*q, s).isStored()) ? 1 : 0;
    } else {
        EXPECT_EQ(si, shown) << key;
    }
}

TEST(UnitsOption, DesignAndAgronomicNumbersInEachSystem) {
    for (const char* file : {"design_indicators_runoff.json", "agronomic_sizing.json"}) {
        const std::string command =
            std::string(file).rfind("design", 0) == 0 ? "design " : "agronomic ";
        const auto plain = run(command + "'" + data(file).string() + "'");
        ASSERT_EQ(plain.status, 0) << plain.err;
        const json si = json::parse(plain.out);
        EXPECT_FALSE(si.contains("units"));  // without the option, as it always was
        for (UnitSystem s : {UnitSystem::US, UnitSystem::MetricBar, UnitSystem::SI}) {
            const auto r = run(command + "'" + data(file).string() + "' --units " +
                               std::string(kambrix::unitSystemKey(s)));
            ASSERT_EQ(r.status, 0) << r.err;
            const json shown = json::parse(r.out);
            EXPECT_EQ(nlohmann::ordered_json::parse(r.out).begin().key(), "units");
            EXPECT_EQ(shown["units"], std::string(kambrix::unitSystemKey(s)));
            json rest = shown;
            rest.erase("units");
            int converted = 0;
            expectConverted(si, rest, s, "", converted);
            if (s != UnitSystem::SI) {
                EXPECT_GT(converted, 1) << file;
            }
        }
    }
    // Spot values worked by hand: 300 kPa is 43.5 psi; 2.5 L/s is 39.6 gpm.
    const json us = json::parse(
        run("design '" + data("design_indicators_runoff.json").string() + "' --units us").out);
    EXPECT_NEAR(us["spans"][0]["ideal_entry"]["pressao"].get<double>(), 300 / 6.894757293168, 1e-9);
    EXPECT_NEAR(us["spans"][0]["ideal_entry"]["caudal"].get<double>(), 2.5 * 60 / 3.785411784,
                1e-9);
    EXPECT_EQ(us["iterations"], 2);
}

TEST(UnitsOption, EvaluationPairsAndFittedNozzles) {
    const auto r = run("evaluate '" + data("evaluate_two_radii.json").string() + "' --units us");
    ASSERT_EQ(r.status, 0) << r.err;
    const json si =
        json::parse(run("evaluate '" + data("evaluate_two_radii.json").string() + "'").out);
    const json us = json::parse(r.out);
    const auto& pairSI = si["first"]["depths"][0];
    const auto& pairUS = us["first"]["depths"][0];
    EXPECT_NEAR(pairUS[0].get<double>(), pairSI[0].get<double>() / 0.3048, 1e-9);
    EXPECT_NEAR(pairUS[1].get<double>(), pairSI[1].get<double>() / 25.4, 1e-12);
    EXPECT_EQ(us["first"]["UD"], si["first"]["UD"]);  // a fraction

    // A catch-can file whose heading names feet and inches is read in them.
    {
        const auto dir = testDir();
        std::ofstream(dir / "feet.csv")
            << "radius,volume_ml,distance_ft,canDiameter_in\n1,100,10,4\n1,120,20,4\n";
        const auto feet = run("evaluate '" + (dir / "feet.csv").string() + "'");
        ASSERT_EQ(feet.status, 0) << feet.err;
        const json f = json::parse(feet.out);
        EXPECT_EQ(f["first"]["depths"][0][0].get<double>(), 3.048);
        // 100 ml in a can of 4 in (10.16 cm).
        EXPECT_NEAR(f["first"]["depths"][0][1].get<double>(),
                    100 / (3.14159265358979 * 0.0508 * 0.0508 * 1000), 1e-9);
    }

    // A fitted nozzle in gpm and psi gives the table's water back.
    const auto dir = testDir();
    std::ofstream(dir / "table.csv") << "nozzle,pressure,discharge\nN,100,0.5\nN,200,0.7\n";
    const auto fit = run("fit-nozzles '" + (dir / "table.csv").string() + "' --units us");
    ASSERT_EQ(fit.status, 0) << fit.err;
    const json n = json::parse(fit.out)[0];
    const double psi = 200 / 6.894757293168;
    EXPECT_NEAR(n["a"].get<double>() * std::pow(psi, n["b"].get<double>()), 0.7 * 60 / 3.785411784,
                1e-6);
    EXPECT_NEAR(n["pmax"].get<double>(), psi, 1e-9);
}

// The twin of an SI input written in US units, by this test's own list of the input's keys
// and the defining constants.
json usTwin(const json& si) {
    const double ft = 0.3048, psi = 6.894757293168, gpm = 3.785411784 / 60, in = 25.4;
    const std::map<std::string, double> metresEtc = {{"cota", ft},
                                                     {"longitude", ft},
                                                     {"endCota", ft},
                                                     {"rs", ft},
                                                     {"longitud", ft},
                                                     {"distanceToCenter", ft},
                                                     {"wetDiameter", ft},
                                                     {"presion", psi},
                                                     {"pmin", psi},
                                                     {"pmax", psi},
                                                     {"endGunBoost", psi},
                                                     {"pression", psi},
                                                     {"caudal", gpm},
                                                     {"qmin", gpm},
                                                     {"qmax", gpm},
                                                     {"caudal_max", gpm},
                                                     {"caudal_min", gpm},
                                                     {"diametro", in},
                                                     {"separationSaidas_cm", in / 10},
                                                     {"k", in}};
    json out = si;
    std::function<void(json&)> walk = [&](json& node) {
        if (node.is_array()) {
            for (auto& item : node) {
                walk(item);
            }
        } else if (node.is_object()) {
            const bool nozzle = node.contains("a") && node.contains("b");
            for (auto& [key, value] : node.items()) {
                if (value.is_number() && !value.is_boolean()) {
                    if (nozzle && key == "a") {
                        value = value.get<double>() * std::pow(psi, node["b"].get<double>()) / gpm;
                    } else if (const auto at = metresEtc.find(key); at != metresEtc.end()) {
                        value = value.get<double>() / at->second;
                    }
                } else {
                    walk(value);
                }
            }
        }
    };
    walk(out);
    out["units"] = "us";
    return out;
}

// Every number of two documents equal to 1e-9 relative.
void expectSameNumbers(const json& a, const json& b, const std::string& where) {
    ASSERT_EQ(a.type(), b.type()) << where;
    if (a.is_object()) {
        for (auto it = a.begin(); it != a.end(); ++it) {
            ASSERT_TRUE(b.contains(it.key())) << where << "." << it.key();
            expectSameNumbers(it.value(), b[it.key()], where + "." + it.key());
        }
    } else if (a.is_array()) {
        ASSERT_EQ(a.size(), b.size()) << where;
        for (std::size_t i = 0; i < a.size(); ++i) {
            expectSameNumbers(a[i], b[i], where + "[" + std::to_string(i) + "]");
        }
    } else if (a.is_number()) {
        EXPECT_NEAR(a.get<double>(), b.get<double>(),
                    1e-9 * std::max(1.0, std::abs(a.get<double>())))
            << where;
    } else {
        EXPECT_EQ(a, b) << where;
    }
}

TEST(UnitsOption, AnInputWrittenInUsUnitsGivesTheResultsOfItsSiTwin) {
    for (const char* file : {"design_demo_manual.json", "design_indicators_runoff.json"}) {
        std::ifstream in(data(file));
        const json si = json::parse(in);
        const auto twin = testDir() / (std::string("us-") + file);
        std::ofstream(twin) << usTwin(si).dump(1);
        const auto fromSi = run("design '" + data(file).string() + "'");
        const auto fromUs = run("design '" + twin.string() + "'");
        ASSERT_EQ(fromSi.status, 0) << file;
        ASSERT_EQ(fromUs.status, 0) << fromUs.err;
        expectSameNumbers(json::parse(fromSi.out), json::parse(fromUs.out), file);
    }
    // Printed in US units: psi, gpm and feet.
    const auto us =
        run("design '" + (testDir() / "us-design_demo_manual.json").string() + "' --units us");
    const json shown = json::parse(us.out);
    EXPECT_EQ(shown["units"], "us");
    // An unknown system is refused in one line.
    std::ofstream(testDir() / "bad.json") << R"({"units": "imperial", "pivot": {}})";
    const auto bad = run("design '" + (testDir() / "bad.json").string() + "'");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("\"units\": must be \"si\", \"us\" or \"metric-bar\""),
              std::string::npos)
        << bad.err;
}

TEST(UnitsOption, MisuseIsRefusedInOneLine) {
    const std::string design = "design '" + data("design_indicators_runoff.json").string() + "'";
    for (const std::string& args : {design + " --units imperial", design + " --csv --units us"}) {
        const auto r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    // The converter leaves text that is not JSON as it stands.
    EXPECT_EQ(kambrix::cli::outputInUnits("a,b\n1,2\n", UnitSystem::US), "a,b\n1,2\n");
}

}  // namespace
