// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/sample_exchange.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

using namespace kambrix;

TEST(SampleExchange, SpreadsheetNumbersFollowTheUsersSeparator) {
    struct Case {
        const char* text;
        char separator;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"12,5", ',', 12.5},
        {" 12,5 ", ',', 12.5},
        {"1.570,25", ',', 1570.25},  // grouped thousands
        {"1 570,25", ',', 1570.25},  // blank as group mark
        {"1\xC2\xA0"
         "570",
         ',', 1570},  // no-break space as group mark
        {"1\xE2\x80\xAF"
         "570",
         ',', 1570},
        {"12.5", ',', std::nullopt},  // a point in a comma locale is no decimal mark
        {"12,5", '.', std::nullopt},
        {"1,570.5", '.', 1570.5},
        {"1,570,000", '.', 1570000},
        {"1,57", '.', std::nullopt},       // groups are of three
        {"1570,000", '.', std::nullopt},   // the first group has at most three digits
        {"1.570 000", ',', std::nullopt},  // one group mark only
        {"-3", '.', -3},
        {"+3", '.', 3},
        {",5", ',', 0.5},
        {"1,5E3", ',', 1500},
        {"1e", '.', std::nullopt},
        {"", '.', std::nullopt},
        {"12 ml", '.', std::nullopt},
        {"1e999", '.', std::nullopt},
        {"-", '.', std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readSpreadsheetNumber(c.text, c.separator), c.value)
            << "\"" << c.text << "\" with " << c.separator;
    }
}

TEST(SampleExchange, PastedLinesHeadingsEmptyCellsAndProblems) {
    // Two columns, LF line ends, trailing empty cells of a wider selection.
    auto p = parsePastedReadings("V\tS\n10\t5\t\t\n20\t6\n", '.');
    EXPECT_TRUE(p.headingSkipped);
    EXPECT_TRUE(p.problems.empty());
    ASSERT_EQ(p.rows.size(), 2u);
    EXPECT_EQ(p.rows[0], (CanReading{10, 5}));
    // An empty cell is a missing value; a line without either value is skipped; CR line ends.
    p = parsePastedReadings("1\t\t5\r2\t\t\r3\t7\t\r", '.');
    EXPECT_FALSE(p.headingSkipped);
    ASSERT_EQ(p.rows.size(), 2u);
    EXPECT_EQ(p.rows[0], (CanReading{std::nullopt, 5}));
    EXPECT_EQ(p.rows[1], (CanReading{7, std::nullopt}));
    // Only the first line can be a heading; the others are named with their line.
    p = parsePastedReadings("\n10\t5\nV\tS\n4\t5\t6\t7\n", '.');
    ASSERT_EQ(p.problems.size(), 2u);
    EXPECT_EQ(p.problems[0], "Line 3: \"V\" is not a number (the decimal separator is \".\")");
    EXPECT_EQ(p.problems[1].substr(0, 17), "Line 4: expected ");
    // A heading of three columns reads three even where a line ends early.
    p = parsePastedReadings("Position\tV\tS\n1\t12\n", '.');
    ASSERT_EQ(p.rows.size(), 1u);
    EXPECT_EQ(p.rows[0], (CanReading{12, std::nullopt}));
    // A quote never closed is reported instead of read on to the end.
    p = parsePastedReadings("10\t\"5\n", '.');
    ASSERT_EQ(p.problems.size(), 1u);
    EXPECT_TRUE(p.rows.empty());

    EXPECT_EQ(tabSeparatedText({{"1", "a\tb"}, {"2", "c\nd"}}), "1\ta b\n2\tc d\n");
}

TEST(SampleExchange, CatchCanCsvReadsAsTheCommandLineDoes) {
    const auto file = readCatchCanCsv(
        "\xEF\xBB\xBFradius,volume_ml,distance_m,canDiameter_cm\n"
        "\n"
        "1,100,5,10\r\n"
        "2,+7.5e1,12.25\r\n"
        "1, 80 ,6,10\r\n");
    EXPECT_EQ(file.canDiameter_cm, 10);
    ASSERT_EQ(file.first.Length(), 2);
    ASSERT_EQ(file.second.Length(), 1);
    EXPECT_EQ(file.second(1).collectedAmount, 75);
    EXPECT_EQ(file.first(2).collectedAmount, 80);

    const auto messageOf = [](const char* text) -> std::string {
        try {
            readCatchCanCsv(text);
        } catch (const AppError& e) {
            EXPECT_EQ(e.number(), errc::CsvFormat);
            return e.what();
        }
        return "no error";
    };
    const std::string bad = messageOf(
        "radius,volume_ml,distance_m\n"
        "1,10,5\n"     // line 2: no diameter on the first reading
        "3,10,5,10\n"  // line 3: radius
        "1,1;5,5\n"    // line 4: not a number
        "1,1,5,11\n"   // line 5: another diameter
        "1,1\n");      // line 6: too few fields
    EXPECT_NE(bad.find("Line 2: the first reading must give the can diameter"), std::string::npos);
    EXPECT_NE(bad.find("Line 3: the radius must be 1 or 2"), std::string::npos);
    EXPECT_NE(bad.find("Line 4: the volume and the distance must be numbers"), std::string::npos);
    EXPECT_NE(bad.find("Line 6: expected radius,volume_ml,distance_m"), std::string::npos);
    EXPECT_EQ(messageOf(""), "The catch-can file is empty");
    EXPECT_EQ(messageOf("radius,volume_ml,distance_m\n\n"),
              "The catch-can file has no readings below its heading");
    EXPECT_NE(messageOf("h\n1,1,1,0\n").find("greater than 0"), std::string::npos);
    EXPECT_NE(messageOf("h\n1,1,1,10\n2,1,1,12\n").find("Line 3: the can diameter differs"),
              std::string::npos);

    // Written and read back: the same doubles.
    CatchCanFile out;
    out.canDiameter_cm = 12.7;
    out.first.Push(quarvex::statics().FieldSamples().newFieldSample(1.0 / 3.0, 2e-3));
    out.second.Push(quarvex::statics().FieldSamples().newFieldSample(-0.0, 1e21));
    const auto back = readCatchCanCsv(catchCanCsvText(out));
    EXPECT_EQ(back.canDiameter_cm, 12.7);
    EXPECT_EQ(back.first, out.first);
    EXPECT_EQ(back.second, out.second);
}

// A heading that names feet and inches is read in those units; without unit names the
// user's units are meant; the volume is always ml.
TEST(SampleExchange, CatchCanHeadingsNameTheirUnits) {
    const auto us = readCatchCanCsv("radius,volume_ml,distance_ft,canDiameter_in\n1,100,10,4\n");
    EXPECT_EQ(us.first[1].distanceFromCenter, 3.048);
    EXPECT_EQ(us.first[1].collectedAmount, 100.0);
    EXPECT_EQ(us.canDiameter_cm, 10.16);

    const auto si =
        readCatchCanCsv("radius,volume_ml,distance_m,canDiameter_cm\n1,100,10,4\n", UnitSystem::US);
    EXPECT_EQ(si.first[1].distanceFromCenter, 10.0);  // the heading's m wins over the user's
    EXPECT_EQ(si.canDiameter_cm, 4.0);

    const auto plain =
        readCatchCanCsv("radius,volume,distance,diameter\n2,50,100,5\n", UnitSystem::US);
    EXPECT_EQ(plain.second[1].distanceFromCenter, 30.48);
    EXPECT_EQ(plain.canDiameter_cm, 12.7);
    EXPECT_EQ(readCatchCanCsv("radius,volume,distance,diameter\n2,50,100,5\n").canDiameter_cm, 5.0);

    // Written in US units, the file says so and reads back as the stored readings, whatever
    // units the reader works in.
    CatchCanFile out;
    out.canDiameter_cm = 10.16;
    out.first.Push(quarvex::statics().FieldSamples().newFieldSample(100, 3.048));
    out.second.Push(quarvex::statics().FieldSamples().newFieldSample(50, 400.5));
    const std::string text = catchCanCsvText(out, UnitSystem::US);
    EXPECT_EQ(text.substr(0, text.find('\r')), "radius,volume_ml,distance_ft,canDiameter_in");
    EXPECT_NE(text.find("\r\n1,100,10,4\r\n"), std::string::npos) << text;
    for (UnitSystem reader : {UnitSystem::SI, UnitSystem::US, UnitSystem::MetricBar}) {
        const auto back = readCatchCanCsv(text, reader);
        EXPECT_NEAR(back.canDiameter_cm, 10.16, 1e-12);
        EXPECT_NEAR(back.first[1].distanceFromCenter, 3.048, 1e-12);
        EXPECT_NEAR(back.second[1].distanceFromCenter, 400.5, 400.5 * 1e-15) << text;
        EXPECT_EQ(back.second[1].collectedAmount, 50.0);
    }
    // Metric bar writes what SI writes.
    EXPECT_EQ(catchCanCsvText(out, UnitSystem::MetricBar), catchCanCsvText(out));
}
