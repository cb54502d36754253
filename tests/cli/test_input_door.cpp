// SPDX-License-Identifier: GPL-3.0-or-later
//
// Every command reads its file through one guarded door: only regular files, at most 16 MB,
// JSON without deep nesting, repeated keys or numbers beyond the double range, limits on
// readings, rows and candidates counted before the work; every refusal is one line in the
// user's words, with control characters shown escaped.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "commands.h"
#include "design/package_comparison.h"
#include "evaluation/sample_exchange.h"
#include "input.h"
#include "support/process_run.h"

namespace kambrix::cli {
namespace {

using json = nlohmann::json;

struct Outcome {
    int rc;
    std::string out;
    std::string err;
};

template <class Run>
Outcome run(Run&& command) {
    std::ostringstream out, err;
    const int rc = command(out, err);
    return {rc, out.str(), err.str()};
}

int lines(const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

bool plainLine(const std::string& s) {
    for (char c : s.substr(0, s.empty() ? 0 : s.size() - 1)) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            return false;
        }
    }
    for (const char* library : {"json.exception", "parse_error", "type_error", "out_of_range",
                                "[SQL", "sqlite", "At Most", "QPainter"}) {
        if (s.find(library) != std::string::npos) {
            return false;
        }
    }
    return true;
}

void expectRefused(const Outcome& r, const std::string& mention, const std::string& what) {
    EXPECT_EQ(r.rc, kExitBadInput) << what << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << what;
    EXPECT_EQ(lines(r.err), 1) << what << ": " << r.err;
    EXPECT_TRUE(plainLine(r.err)) << what << ": " << r.err;
    EXPECT_NE(r.err.find(mention), std::string::npos) << what << ": " << r.err;
}

std::filesystem::path scratch(const std::string& name) {
    const auto dir = std::filesystem::path(KAMBRIX_TEST_TMP) / "input-door" /
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(dir);
    return dir / name;
}

Outcome agronomic(const std::string& text) {
    return run([&](auto& o, auto& e) { return runAgronomicText(text, "a.json", o, e); });
}
Outcome design(const std::string& text) {
    return run([&](auto& o, auto& e) { return runDesignText(text, "d.json", false, o, e); });
}
Outcome evaluate(const std::string& text) {
    return run([&](auto& o, auto& e) { return runEvaluateText(text, "e.csv", o, e); });
}
Outcome compare(const std::string& text) {
    return run([&](auto& o, auto& e) { return runCompareText(text, "c.json", o, e); });
}
Outcome fit(const std::string& text) {
    FitNozzlesOptions options;
    options.file = "t.csv";
    return run([&](auto& o, auto& e) { return runFitNozzlesText(text, options, o, e); });
}

TEST(InputDoor, JsonIsReadWithLimitsAndPlainWords) {
    // Where a syntax fault is, in lines and columns.
    expectRefused(agronomic("{\n  \"kf\": 1,,\n}"), "line 2, column 11", "double comma");
    expectRefused(agronomic("{\"kf\": NaN}"), "NaN and Infinity are not numbers", "NaN");
    expectRefused(agronomic("{\"kf\": 1e309}"), "beyond the range of a double", "1e309");
    expectRefused(agronomic("-3333333.3e461"), "beyond the range of a double", "bare number");
    expectRefused(agronomic("{\"\xff\xfe\": 1}"), "not UTF-8", "invalid UTF-8 key");
    expectRefused(agronomic("{\"kf\": 1, \"kf\": 2}"), "\"kf\" twice", "repeated key");
    // A key with line breaks is named on one line, the breaks shown as escapes.
    expectRefused(agronomic("{\"a\\nb\\nc\": 1}"), "a\\x0ab\\x0ac", "key with line breaks");
    // Nesting is refused at the limit, however long the text would have gone on.
    const std::string deep(2'000'000, '[');
    expectRefused(compare("{\"compare\":" + deep), "levels deep", "deep nesting");
    expectRefused(design(std::string(kMaxJsonDepth + 1, '[') + std::string(kMaxJsonDepth + 1, ']')),
                  "levels deep", "one level too deep");
    // At the limit the document reads (and is refused for what it is, not for its depth).
    const auto atLimit = design(std::string(kMaxJsonDepth, '[') + std::string(kMaxJsonDepth, ']'));
    EXPECT_EQ(atLimit.err.find("levels deep"), std::string::npos) << atLimit.err;
    // Repeats deep inside are located by their path.
    expectRefused(
        evaluate(
            "{\"canDiameter_cm\":10,\"firstSample\":[[1,2]],\"x\":{\"y\":[{\"k\":1,\"k\":2}]}}"),
        "x.y[0].k", "repeat inside");
    // A value of the wrong kind is named without the library's words.
    expectRefused(agronomic("{\"kf\": \"1\"}"), "must be a number", "text for a number");
}

TEST(InputDoor, OnlyRegularFilesReachTheReaders) {
    const auto pipe = scratch("pipe.json");
    std::filesystem::remove(pipe);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto folder = scratch("folder.json");
    std::filesystem::create_directories(folder);
    for (const auto& path : {pipe.string(), std::string("/dev/zero"), folder.string()}) {
        expectRefused(run([&](auto& o, auto& e) { return runAgronomic(path, o, e); }), path,
                      "agronomic " + path);
        expectRefused(run([&](auto& o, auto& e) { return runDesign(path, false, o, e); }), path,
                      "design " + path);
        expectRefused(run([&](auto& o, auto& e) { return runCompare(path, o, e); }), path,
                      "compare " + path);
        expectRefused(run([&](auto& o, auto& e) { return runEvaluate(path, o, e); }), path,
                      "evaluate " + path);
        FitNozzlesOptions options;
        options.file = path;
        expectRefused(run([&](auto& o, auto& e) { return runFitNozzles(options, o, e); }), path,
                      "fit-nozzles " + path);
    }
    const auto big = scratch("big.json");
    {
        std::ofstream out(big);
        out << '{' << std::string(20 * 1024 * 1024, ' ') << '}';
    }
    expectRefused(run([&](auto& o, auto& e) { return runAgronomic(big.string(), o, e); }),
                  "larger than 16 MB", "20 MB of blanks");
    const auto utf16 = scratch("utf16.json");
    std::ofstream(utf16, std::ios::binary) << std::string("\xFF\xFE{\0}\0", 6);
    expectRefused(run([&](auto& o, auto& e) { return runAgronomic(utf16.string(), o, e); }),
                  "save it as UTF-8", "UTF-16");
}

TEST(InputDoor, ReadingsAndTableRowsHaveLimitsAndBlankLinesCostNothing) {
    const std::string heading = "radius,volume_ml,distance_m,canDiameter_cm\n1,100,10,10\n";
    std::string many = heading;
    for (std::size_t i = 1; i < kMaxReadingsPerEvaluation; ++i) {
        many += "1,1,1\n";
    }
    const auto atLimit = evaluate(many);
    EXPECT_EQ(atLimit.rc, kExitOk) << atLimit.err;
    expectRefused(evaluate(many + "2,1,1\n"), "more than 200000 readings", "one reading over");
    // Blank lines are skipped, whatever their number.
    const auto blanks = evaluate(heading + std::string(1'000'000, '\n') + "1,120,20\n");
    EXPECT_EQ(blanks.rc, kExitOk) << blanks.err;
    std::string json = "{\"canDiameter_cm\":10,\"firstSample\":[";
    for (std::size_t i = 0; i <= kMaxReadingsPerEvaluation; ++i) {
        json += i ? ",[1,1]" : "[1,1]";
    }
    expectRefused(evaluate(json + "]}"), "at most 200000", "JSON readings over the limit");

    std::string rows = "nozzle,pressure,discharge\n";
    for (int i = 0; i < 10'001; ++i) {
        rows += "n" + std::to_string(i) + ",1,1\n";
    }
    expectRefused(fit(rows), "more than 10000 nozzles", "nozzles over the limit");
}

TEST(InputDoor, FitsThatThePointsDoNotDetermineAreRefusedByName) {
    const std::string heading = "nozzle,pressure,discharge\n";
    expectRefused(fit(heading + "N1,100,0.2\nN1,100.0000000001,5\n"), "nearly so",
                  "nearly singular");
    expectRefused(fit(heading + "N1,100,0.2\nN1,100,0.3\n"), "N1", "one pressure");
    expectRefused(fit(heading + "N1,100,0.001\nN1,200,90\n"), "outside what the catalogue",
                  "b far above 2");
    expectRefused(fit(heading + "N\xff"
                                "1,100,0.2\nN\xff"
                                "1,200,0.283\n"),
                  "Line 2", "name not UTF-8");
    expectRefused(fit(heading + "N1,1e309,0.2\nN1,100,0.3\n"), "is not a number", "1e309");
    expectRefused(fit(heading + std::string(4000, 'X') + ",100,0.2\n"), "this one has 4000",
                  "a name too long");
    const auto good = fit(heading + "N1,100,0.2\nN1,200,0.283\n");
    ASSERT_EQ(good.rc, kExitOk) << good.err;
    const auto fits = json::parse(good.out);
    ASSERT_EQ(fits.size(), 1u);
    EXPECT_NEAR(fits[0]["b"].get<double>(), std::log(0.283 / 0.2) / std::log(2.0), 1e-12);
}

TEST(InputDoor, ComparisonListsAndCandidatesAreCountedFirst) {
    json base = json::parse(
        std::ifstream(std::string(KAMBRIX_CLI_DATA) + "/design_indicators_runoff.json"));
    json c = base;
    c["compare"] = {{"regulatorPressures", json::array()}};
    for (int i = 1; i <= 101; ++i) {
        c["compare"]["regulatorPressures"].push_back(i);
    }
    expectRefused(compare(c.dump()), "at most 100", "101 regulator settings");
    c["compare"] = {{"models", json::array()}};
    for (int i = 0; i < 200'000; ++i) {
        c["compare"]["models"].push_back({"B", "M"});
    }
    expectRefused(compare(c.dump()), "at most 1000", "200,000 repeated models");
    // The gun's model is read as documented: null for none, or [brand, model].
    c["compare"] = {{"gunModel", nullptr}, {"regulatorPressures", {nullptr}}, {"boosts", {0}}};
    const auto none = compare(c.dump());
    EXPECT_EQ(none.rc, kExitOk) << none.err;
    EXPECT_LE(lines(none.err), 1) << none.err;
    c["compare"]["gunModel"] = {"No such", "model"};
    expectRefused(compare(c.dump()), "gunModel", "an unknown gun model");
}

TEST(InputDoor, UsageErrorsAreOneLineInPlainWords) {
    const auto runCli = [](const std::string& args) {
        return test::runCommand(std::string(KAMBRIX_CLI) + " " + args,
                                scratch("usage.err").string());
    };
    for (const char* args : {"evaluate x.csv --save a --save b --db d", "frobnicate", "", "design",
                             "design a.json b.json", "chart --pdf"}) {
        const auto r = runCli(args);
        EXPECT_EQ(r.status, kExitBadInput) << args;
        EXPECT_EQ(lines(r.err), 1) << args << ": " << r.err;
        EXPECT_TRUE(plainLine(r.err)) << args << ": " << r.err;
        EXPECT_EQ(r.err.rfind("kambrix-cli: ", 0), 0u) << r.err;
    }
    EXPECT_NE(runCli("frobnicate").err.find("\"frobnicate\" is not a command"), std::string::npos);
    EXPECT_NE(runCli("evaluate x --save a --save b --db d").err.find("--save"), std::string::npos);
    EXPECT_EQ(runCli("--help").status, 0);
}

}  // namespace
}  // namespace kambrix::cli
