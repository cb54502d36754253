// SPDX-License-Identifier: GPL-3.0-or-later
//
// Inputs that once crashed, hung or were silently misread by kambrix-cli: each must give
// one line on stderr and exit status 2, with nothing on stdout.
#include <gtest/gtest.h>
#include <quarvex/quarvex.h>
#include <nlohmann/json.hpp>

#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "commands.h"

namespace kambrix::cli {
namespace {

using json = nlohmann::json;

json smallDesign() {
    return json::parse(R"({
      "pivot": {"caudal": 20.0, "presion": 250.0, "rugosidad": 140.0, "cota": 100.0,
        "spans": [{"id": 1, "denominacion": "S", "longitude": 54.8, "diametro": 162.0,
                   "separationSaidas_cm": 250.0, "endCota": 100.0}]},
      "catalogue": [{"id": 1, "nome": "#1", "marca": "Demo", "modelo": "Spray", "a": 0.01,
                     "b": 0.5, "pmin": 40, "pmax": 400, "qmin": 0.01, "qmax": 2.0}],
      "mode": "manual",
      "chart": {"nozzles": [{"tramo": 1, "saida": 1, "id": 1}]}})");
}

struct Outcome {
    int rc;
    std::string out;
    std::string err;
};

Outcome design(const std::string& text) {
    std::ostringstream out, err;
    const int rc = runDesignText(text, "the input", false, out, err);
    return {rc, out.str(), err.str()};
}

Outcome evaluate(const std::string& text) {
    std::ostringstream out, err;
    const int rc = runEvaluateText(text, "the input", out, err);
    return {rc, out.str(), err.str()};
}

int lines(const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

// Refused: status 2, one line that mentions `mention`, nothing printed as a result.
void expectRefused(const Outcome& r, const std::string& mention, const std::string& what) {
    EXPECT_EQ(r.rc, kExitBadInput) << what << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << what;
    EXPECT_EQ(lines(r.err), 1) << what << ": " << r.err;
    EXPECT_NE(r.err.find(mention), std::string::npos) << what << ": " << r.err;
    EXPECT_EQ(r.err.find("design: design:"), std::string::npos) << r.err;
}

std::filesystem::path scratch(const std::string& name) {
    const auto dir = std::filesystem::path(KAMBRIX_TEST_TMP) /
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(dir);
    return dir / name;
}

TEST(HostileInput, NumbersBeyondTheDoubleRangeAndAnythingTheReaderRaises) {
    expectRefused(design("[1e309]"), "beyond the range of a double", "[1e309]");
    expectRefused(evaluate("[1e309]"), "beyond the range of a double", "evaluate [1e309]");
    json j = smallDesign();
    std::string text = j.dump();
    text.replace(text.find("20.0"), 4, "20.01e308");
    expectRefused(design(text), "beyond the range of a double", "caudal 20.01e308");
    expectRefused(design("{\"pivot\": [1, 2"), "not valid JSON", "truncated");
    expectRefused(design(std::string("{\"a\":\"\0\"}", 9)), "not valid JSON", "NUL in a text");
    expectRefused(design("[]"), "must be a JSON object", "an array");
    // A field of the wrong kind deep in the document.
    j["chart"]["nozzles"][0] = "x";
    expectRefused(design(j.dump()), "chart.nozzles[0]: must be an object", "nozzle text");
}

TEST(HostileInput, WholeNumbersAreRangeCheckedBeforeConversion) {
    // 18446744073709551615 once read as -1, the end gun, and the run "succeeded".
    json j = smallDesign();
    j["chart"]["nozzles"][0]["tramo"] = 18446744073709551615ull;
    j["chart"]["nozzles"][0]["saida"] = 18446744073709551615ull;
    expectRefused(design(j.dump()), "chart.nozzles[0].tramo", "uint64 max");
    j = smallDesign();
    j["chart"]["nozzles"][0] = {{"tramo", -1}, {"saida", -1}, {"id", 1}};
    expectRefused(design(j.dump()), "the pivot has none", "end gun without gun");
    j = smallDesign();
    j["chart"]["nozzles"][0]["saida"] = 22;  // 54.8 m at 2.5 m: 21 outlets
    expectRefused(design(j.dump()), "chart.nozzles[0].saida: must be a whole number from 1 to 21",
                  "outlet 22");
    j = smallDesign();
    j["catalogue"][0]["id"] = 2147483648ll;
    expectRefused(design(j.dump()), "catalogue[0].id", "id above int");
    j = smallDesign();
    j["pivot"]["spans"][0]["id"] = 1.5;
    expectRefused(design(j.dump()), "pivot.spans[0].id: must be a whole number", "fraction");
    // A drop roughness beyond int is range-checked as a number first (no undefined
    // conversion under the sanitizers).
    j = smallDesign();
    j["chart"]["drop"] = {
        {"longitud", 2}, {"diametro", 20}, {"rugosidade", 1e10}, {"installed", true}};
    expectRefused(design(j.dump()), "chart.drop.rugosidade", "rugosidade 1e10");
    j["chart"]["drop"]["rugosidade"] = 140.5;
    expectRefused(design(j.dump()), "chart.drop.rugosidade: must be a whole number", "140.5");
}

TEST(HostileInput, EveryInputIsCheckedAgainstItsPhysicalRange) {
    const std::pair<json::json_pointer, const char*> fields[] = {
        {json::json_pointer("/pivot/spans/0/longitude"), "pivot.spans[0].longitude"},
        {json::json_pointer("/pivot/presion"), "pivot.presion"},
        {json::json_pointer("/pivot/caudal"), "pivot.caudal"},
        {json::json_pointer("/pivot/cota"), "pivot.cota"},
        {json::json_pointer("/pivot/spans/0/diametro"), "pivot.spans[0].diametro"},
        {json::json_pointer("/pivot/spans/0/endCota"), "pivot.spans[0].endCota"},
        {json::json_pointer("/catalogue/0/a"), "catalogue[0].a"},
        {json::json_pointer("/catalogue/0/pmax"), "catalogue[0].pmax"},
    };
    for (const auto& [pointer, path] : fields) {
        for (double bad : {1e308, -1e308}) {
            json j = smallDesign();
            j[pointer] = bad;
            expectRefused(design(j.dump()), std::string(path) + ": must be", path);
        }
    }
    json j = smallDesign();
    j["catalogue"][0]["pmin"] = 500;
    expectRefused(design(j.dump()), "catalogue[0].pmin: must not exceed pmax", "pmin > pmax");
    j = smallDesign();
    j["pivot"]["spans"] = json::array();
    expectRefused(design(j.dump()), "pivot.spans: a pivot has from 1 to 200 spans", "no spans");
    // Inside the ranges the design computes.
    const Outcome ok = design(smallDesign().dump());
    EXPECT_EQ(ok.rc, kExitOk) << ok.err;
    EXPECT_EQ(json::parse(ok.out)["outlets"].size(), 21u);

    // Evaluation inputs: a 1e-300 cm can, volumes and distances beyond physical.
    expectRefused(evaluate(R"({"canDiameter_cm": 1e-300, "firstSample": [[10, 5]]})"),
                  "canDiameter_cm: must be from 1 to 100 cm", "tiny can");
    expectRefused(evaluate(R"({"canDiameter_cm": 10, "firstSample": [[10, 5], [1e300, 5]]})"),
                  "firstSample[1][0]: must be from -100000 to 100000 ml", "huge volume");
    expectRefused(evaluate(R"({"canDiameter_cm": 10, "secondSample": [[10, -5e6]]})"),
                  "secondSample[0][1]", "far negative distance");
    // A negative volume is an invalid reading as the evaluation window exports it: counted.
    const Outcome marked =
        evaluate(R"({"canDiameter_cm": 10, "firstSample": [[-1, 5], [10, 5], [10, 6], [10, 7],
                     [10, 8]]})");
    ASSERT_EQ(marked.rc, kExitOk) << marked.err;
    EXPECT_EQ(json::parse(marked.out)["first"]["invalid"], 1);
    expectRefused(evaluate("radius,volume,distance,can\n1,1e400,5,10\n"), "line 2",
                  "CSV volume beyond the double range");
    expectRefused(evaluate("radius,volume,distance,can\n1,10,5,1e-300\n"),
                  "line 2, canDiameter_cm: must be from 1 to 100 cm", "CSV tiny can");
    expectRefused(evaluate("radius,volume,distance,can\n1,10,20000,10\n"), "line 2, distance_m",
                  "CSV far can");
}

TEST(HostileInput, MachinesBeyondTheLibraryLimitsAreRefusedEarly) {
    // Two spans of 20,000 outlets each (200 m at 1 cm): the second passes the pivot's limit.
    json j = smallDesign();
    json span = j["pivot"]["spans"][0];
    span["longitude"] = 200;
    span["separationSaidas_cm"] = 1;
    j["pivot"]["spans"] = json::array({span, span});
    expectRefused(design(j.dump()), "pivot.spans[1]: the spans up to here have 40000 outlets",
                  "40,000 outlets");
    span["longitude"] = 10;
    span["separationSaidas_cm"] = 500;
    j["pivot"]["spans"] = json::array();
    for (int i = 0; i < 201; ++i) {
        j["pivot"]["spans"].push_back(span);
    }
    expectRefused(design(j.dump()), "pivot.spans: a pivot has from 1 to 200 spans, not 201",
                  "201 spans");
    j["pivot"]["spans"].erase(200);
    const Outcome ok = design(j.dump());  // 200 spans compute
    EXPECT_EQ(ok.rc, kExitOk) << ok.err;
    // 200 spans of 2 outlets, and the manual chart's nozzle on the first.
    EXPECT_EQ(json::parse(ok.out)["spans"].size(), 200u);
}

TEST(HostileInput, ARunoffPointWetLongerThanARevolutionIsRefusedWithTheReason) {
    json j = smallDesign();
    j["chart"]["indicadores"] = {{"horasRevolucao", 600}, {"numeroSaidasObturadas", 0}};
    j["chart"]["pluviometria"] = {{"first", {{"distanceToCenter", 1}, {"wetDiameter", 100}}},
                                  {"second", {{"distanceToCenter", 0}, {"wetDiameter", 0}}},
                                  {"k", 0.001},
                                  {"a", -0.5}};
    expectRefused(design(j.dump()), "longer than one revolution", "runoff");
}

TEST(HostileInput, FoldersUnreadableAndEmptyFilesEachHaveTheirOwnMessage) {
    const auto folder = scratch("d.json");
    std::filesystem::create_directories(folder);
    const auto empty = scratch("empty.json");
    std::ofstream(empty).close();
    const auto blank = scratch("blank.csv");
    std::ofstream(blank) << " \r\n\t\n";
    struct Case {
        std::string path;
        std::string mention;
    };
    std::vector<Case> cases = {
        {folder.string(), "is a folder, not a file"},
        {empty.string(), "is empty"},
        {blank.string(), "is empty"},
        {scratch("missing.json").string(), "does not exist"},
    };
    // A file that opens but cannot be read: the process's own memory at offset 0.
    if (std::filesystem::exists("/proc/self/mem")) {
        cases.push_back({"/proc/self/mem", "cannot be read"});
    }
    if (::geteuid() != 0) {  // permissions do not stop root
        const auto locked = scratch("locked.json");
        std::ofstream(locked) << "{}";
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        cases.push_back({locked.string(), "cannot be opened"});
    }
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(runDesign(c.path, false, out, err), kExitBadInput) << c.path;
        expectRefused({kExitBadInput, out.str(), err.str()}, c.mention, "design " + c.path);
        std::ostringstream out2, err2;
        EXPECT_EQ(runEvaluate(c.path, out2, err2), kExitBadInput) << c.path;
        expectRefused({kExitBadInput, out2.str(), err2.str()}, c.mention, "evaluate " + c.path);
        EXPECT_EQ(err2.str().rfind("evaluate: ", 0), 0u) << err2.str();
    }
    std::filesystem::remove_all(folder.parent_path());
}

}  // namespace
}  // namespace kambrix::cli
