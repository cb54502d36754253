// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/nozzle_fit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shell/csv.h"
#include "shell/errors.h"

using namespace kambrix;

namespace {

std::int32_t numberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (...) {
        return errorNumberOf(std::current_exception());
    }
    return 0;
}

}  // namespace

TEST(NozzleFit, RecoversExactPowerLaws) {
    // Points of q = a·p^b written with every digit they have.
    const double a = 0.0123456789;
    const double b = 0.4871;
    std::vector<MakerPoint> points;
    for (double p : {69.0, 103.4, 137.9, 172.4, 206.8, 241.3}) {
        points.push_back({0, p, a * std::pow(p, b)});
    }
    const NozzleFit fit = fitPowerLaw("#12", points);
    EXPECT_NEAR(fit.a / a, 1.0, 1e-12);
    EXPECT_NEAR(fit.b / b, 1.0, 1e-12);
    EXPECT_LT(fit.maxRelativeError, 1e-12);
    EXPECT_DOUBLE_EQ(fit.pmin, 69.0);
    EXPECT_DOUBLE_EQ(fit.pmax, 241.3);
    EXPECT_DOUBLE_EQ(fit.qmin, a * std::pow(69.0, b));

    // Two points give the exact line through them: q = 0.2 at 100 kPa, 0.4 at 400 kPa is
    // b = log 2 / log 4 = 0.5 and a = 0.2 / 10 = 0.02.
    const NozzleFit two = fitPowerLaw("two", {{0, 100, 0.2}, {0, 400, 0.4}});
    EXPECT_NEAR(two.b, 0.5, 1e-15);
    EXPECT_NEAR(two.a, 0.02, 1e-15);
    EXPECT_LT(two.maxRelativeError, 1e-14);

    // Scattered points: the largest relative error is the worst point's.
    const NozzleFit scattered = fitPowerLaw("s", {{0, 100, 0.2}, {0, 200, 0.3}, {0, 400, 0.4}});
    double worst = 0;
    for (const auto& p : scattered.points) {
        worst = std::max(
            worst,
            std::abs(scattered.a * std::pow(p.pressure, scattered.b) - p.discharge) / p.discharge);
    }
    EXPECT_DOUBLE_EQ(scattered.maxRelativeError, worst);
    EXPECT_GT(worst, 0.01);
}

TEST(NozzleFit, ReadsMakerTablesAndRefusesBadRows) {
    const std::string table =
        "\xEF\xBB\xBFnozzle,pressure,discharge\r\n"
        "#10,100,0.20\r\n"
        "#12,100,0.30\r\n"
        "#10,400,0.40\r\n"
        "\r\n"
        "#12,400,0.60\r\n";
    const auto fits = fitNozzles(readMakerTable(table));
    ASSERT_EQ(fits.size(), 2u);
    EXPECT_EQ(fits[0].nozzle, "#10") << "nozzles keep the order of their first row";
    EXPECT_EQ(fits[1].nozzle, "#12");
    EXPECT_NEAR(fits[1].b, 0.5, 1e-15);
    EXPECT_EQ(fits[0].points.back().line, 4u);

    // US units: 1 psi = 6.894757 kPa, 1 gpm = 0.0630902 L/s.
    MakerTableOptions us;
    us.usUnits = true;
    const auto usRows = readMakerTable("n,p,q\nA,10,1\n", us);
    ASSERT_EQ(usRows.size(), 1u);
    EXPECT_NEAR(usRows[0].point.pressure, 68.94757, 1e-5);
    EXPECT_NEAR(usRows[0].point.discharge, 0.0630902, 1e-7);

    auto message = [](const std::string& text) {
        try {
            fitNozzles(readMakerTable(text));
        } catch (const AppError& e) {
            EXPECT_EQ(e.number(), errc::CsvFormat);
            return std::string(e.what());
        }
        return std::string("nothing raised");
    };
    EXPECT_EQ(message("n,p,q\nA,100,0.2\nA,200,-0.3\n"),
              "Line 3 of the table: the discharge must be greater than 0");
    EXPECT_EQ(message("n,p,q\nA,0,0.2\n"),
              "Line 2 of the table: the pressure must be greater than 0");
    EXPECT_EQ(message("n,p,q\nA,100,abc\n"),
              "Line 2 of the table: the discharge \"abc\" is not a number");
    EXPECT_EQ(message("n,p,q\nA,100\n"),
              "Line 2 of the table: a row needs three fields: nozzle, pressure and discharge");
    EXPECT_EQ(message("n,p,q\nA,100,0.2\nB,100,0.3\nB,200,0.4\n"),
              "The nozzle A has fewer than two points (line 2): a and b cannot be fitted");
    EXPECT_EQ(message("n,p,q\nA,100,0.2\nA,100,0.25\n"),
              "The points of the nozzle A all have one pressure, or nearly so: they do not "
              "determine a and b");
    EXPECT_EQ(message("n,p,q\nA,1e999,0.2\n"),
              "Line 2 of the table: the pressure \"1e999\" is not a number");
    EXPECT_EQ(numberOf([] { readMakerTable("n,p,q\n\"A,100,0.2\n"); }), errc::CsvFormat);
}

TEST(NozzleFit, SpreadsheetTablesOfCommaLocalesAndTheImportList) {
    // A table saved by a spreadsheet in a comma locale: semicolons and decimal commas.
    const std::string table =
        "\xEF\xBB\xBF\r\nBoquilla;Presión;Caudal\r\n"
        "#10;100;0,20\r\n"
        "#10;400;0,40\r\n"
        "#12;100;0.30\r\n"
        "#12;400;0.66\r\n";
    ASSERT_EQ(guessSeparator(table), ';');
    EXPECT_EQ(guessSeparator("n\tp\tq\nA\t1\t2\n"), '\t');
    EXPECT_EQ(guessSeparator("n,p,q\nA;1;2\n"), ',') << "the first line decides";
    EXPECT_EQ(guessSeparator(""), ',');
    EXPECT_EQ(headingUsUnits(table), std::nullopt) << "Presión, Caudal name no unit";
    EXPECT_EQ(headingUsUnits("\r\nNozzle;Pressure (PSI);Flow (GPM)\n#1;10;1\n"), true);
    EXPECT_EQ(headingUsUnits("n,p (kPa),q (L/s)\n"), false);
    EXPECT_EQ(headingUsUnits("n,p,q\n#psi,1,2\n"), std::nullopt) << "only the heading counts";
    MakerTableOptions semicolon;
    semicolon.separator = ';';
    const auto fits = fitNozzles(readMakerTable(table, semicolon));
    ASSERT_EQ(fits.size(), 2u);
    EXPECT_NEAR(fits[0].b, 0.5, 1e-15);
    EXPECT_DOUBLE_EQ(fits[0].qmin, 0.2);
    // "1,234.5" is no number in either convention.
    EXPECT_EQ(numberOf([&] { readMakerTable("n;p;q\nA;1,234.5;0,2\n", semicolon); }),
              errc::CsvFormat);
    // With comma separators a comma can never be a decimal mark.
    EXPECT_EQ(numberOf([] { readMakerTable("n,p,q\nA,100,0,2\n"); }), errc::CsvFormat);

    // The list: two points always fit exactly, so the second nozzle gets a scattered third.
    auto scattered = fits;
    scattered[1] = fitPowerLaw("#12", {{0, 100, 0.30}, {0, 200, 0.30}, {0, 400, 0.66}});
    ASSERT_GT(scattered[1].maxRelativeError, kFitErrorToCheck);
    const TableData t = nozzleFitTable(scattered);
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.columnTexts("nozzle", '.'), (std::vector<std::string>{"#10", "#12"}));
    EXPECT_EQ(t.columnTexts("b", ',').front(), "0,5000");
    const int error = t.columnOf("error");
    EXPECT_EQ(t.cell(0, error)->flag, CellFlag::None);
    EXPECT_EQ(t.cell(1, error)->flag, CellFlag::Warning);
    EXPECT_NEAR(*t.cell(1, error)->number, 100 * scattered[1].maxRelativeError, 1e-12);
    EXPECT_EQ(t.columnTexts("points", '.'), (std::vector<std::string>{"2", "3"}));
    const NozzleData d = nozzleData(scattered[0]);
    EXPECT_EQ(d.nome, "#10");
    EXPECT_EQ(d.a, scattered[0].a);
    EXPECT_FALSE(checkNozzle(d).has_value()) << "a fit is a storable nozzle";
}
