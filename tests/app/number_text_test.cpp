// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "app_test_support.h"
#include "shell/number_input.h"
#include "shell/services.h"

using namespace kambrix;

namespace {

// The program runs with the C library's numeric locale set from the system (Qt does that),
// so the formatters are tested under a decimal-comma C locale too.
class CommaCLocale {
  public:
    CommaCLocale() {
        const char* old = std::setlocale(LC_ALL, nullptr);
        saved_ = old != nullptr ? old : "C";
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaCLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool active() const { return active_; }

  private:
    std::string saved_;
    bool active_ = false;
};

}  // namespace

TEST(NumberText, FormattersIgnoreTheCLocale) {
    CommaCLocale comma;
    ASSERT_TRUE(comma.active()) << "scripts/install-deps.sh generates de_DE.UTF-8";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5") << "the C locale really is a comma locale here";

    EXPECT_EQ(fixedText(2.5, 2), "2.50");
    EXPECT_EQ(formatDecimals(2.5, 2, ','), "2,50");
    EXPECT_EQ(formatDecimals(2.5, 2, '.'), "2.50");
    // A value that rounds to zero shows no sign, whatever the separator.
    EXPECT_EQ(formatDecimals(-0.001, 2, ','), "0,00");
    EXPECT_EQ(formatDecimals(-0.0, 0, ','), "0");
    EXPECT_EQ(formatDecimals(-0.006, 2, ','), "-0,01");
    EXPECT_EQ(formatShort(1.5, ','), "1,500");
    EXPECT_EQ(formatLong(1.5, ','), "1,5");
    EXPECT_EQ(formatLong(-0.00001, ','), "0");
    EXPECT_EQ(formatLong(1200, ','), "1200");
    EXPECT_EQ(roundTripText(0.1), "0.1");
    EXPECT_EQ(roundTripText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(roundTripText(std::numeric_limits<double>::max()), "1.7976931348623157e+308");
    // Huge values are written in full, not cut.
    EXPECT_EQ(fixedText(1e300, 0).size(), 301u);
    EXPECT_EQ(formatDecimals(std::nan(""), 2, ','), "N/A");
    EXPECT_EQ(showValueText(-99, -99, 2, ','), "");
    EXPECT_EQ(showValueText(3, -99, 1, ','), "3,0");
    // Stored numbers keep the point in every locale.
    EXPECT_EQ(quarvex::sqlNumber(2.5), "2.5");
}

TEST(NumberText, ParseNumberUnderflowAndOverflow) {
    EXPECT_EQ(parseNumber("1e-400", '.'), 0.0);
    EXPECT_FALSE(std::signbit(parseNumber("1e-400", '.')));
    EXPECT_TRUE(std::signbit(parseNumber("-1e-400", '.')));
    EXPECT_EQ(parseNumber("-1e-400", '.'), 0.0);
    EXPECT_EQ(parseNumber("0,0000001e-320", ','), 0.0);
    EXPECT_TRUE(std::isinf(parseNumber("1e400", '.')));
    EXPECT_LT(parseNumber("-1e400", '.'), 0);
    // A long mantissa with a negative exponent can still overflow: 10^349.
    EXPECT_TRUE(std::isinf(parseNumber("1" + std::string(400, '0') + "e-50", '.')));
    // The smallest subnormal still reads as itself.
    EXPECT_GT(parseNumber("4.9406564584124654e-324", '.'), 0.0);
    EXPECT_DOUBLE_EQ(parseNumber("2,5", ','), 2.5);
}

TEST(NumberInput, BoxTextsAreCheckedWhole) {
    const NumberRange pressure{0, 2000, true, false};
    EXPECT_FALSE(checkNumberText("300,5", ',', pressure, "the pressure"));
    // In a point locale "300,5" is not a number: it is refused, never stored as 300.
    const auto comma = checkNumberText("300,5", '.', pressure, "the pressure");
    ASSERT_TRUE(comma);
    EXPECT_NE(comma->find("is not a number"), std::string::npos) << *comma;
    EXPECT_TRUE(checkNumberText("12 kPa", '.', pressure, "the pressure"));
    EXPECT_TRUE(checkNumberText("1e999", '.', pressure, "the pressure"));
    EXPECT_TRUE(checkNumberText("0", '.', pressure, "the pressure"));  // minimum excluded
    EXPECT_FALSE(checkNumberText("2000", '.', pressure, "the pressure"));
    EXPECT_FALSE(checkNumberText("", '.', pressure, "the pressure"));
    EXPECT_EQ(checkNumberText(" ", '.', pressure, "the pressure", false),
              std::optional<std::string>("It must be given the pressure"));

    const NumberRange open{0, 1, true, false, true};
    EXPECT_FALSE(open.contains(0));
    EXPECT_FALSE(open.contains(1));
    EXPECT_TRUE(open.contains(0.5));
    EXPECT_FALSE(open.contains(std::nan("")));
    const auto msg = checkNumberText("1", '.', open, "the fraction");
    ASSERT_TRUE(msg);
    EXPECT_EQ(*msg, "The value for the fraction must be greater than 0 and less than 1");
    const NumberRange count{0, 11, false, true};
    EXPECT_TRUE(checkNumberText("2.5", '.', count, "the number of spans"));
    EXPECT_EQ(*checkNumberText("12", '.', count, "the number of spans"),
              "The value for the number of spans must be a whole number from 0 to 11");
}

TEST(NumberText, StatementsNeverReceiveNonFiniteNumbers) {
    using test::numberOf;
    EXPECT_EQ(numberOf([] { quarvex::sqlNumber(std::nan("")); }), quarvex::errc::NumberNotFinite);
    EXPECT_EQ(numberOf([] { quarvex::sqlNumber(HUGE_VAL); }), quarvex::errc::NumberNotFinite);
    EXPECT_EQ(numberOf([] { quarvex::sqlNumber(-HUGE_VAL); }), quarvex::errc::NumberNotFinite);
    // Near the largest double the text still reads back as a finite number.
    const double big = std::numeric_limits<double>::max();
    EXPECT_EQ(parseNumber(quarvex::sqlNumber(big), '.'), big);
    EXPECT_EQ(parseNumber(quarvex::sqlNumber(-big), '.'), -big);
    EXPECT_EQ(quarvex::sqlNumber(0.1 + 0.2), "0.3");
}
