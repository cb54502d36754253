// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/services.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kambrix;

TEST(ParseNumber, LeadingNumberRuleWithEitherSeparator) {
    // Under a comma locale both notations read two and a half.
    EXPECT_DOUBLE_EQ(parseNumber("2,5", ','), 2.5);
    EXPECT_DOUBLE_EQ(parseNumber("2.5", ','), 2.5);
    // Under a point locale a comma ends the number.
    EXPECT_DOUBLE_EQ(parseNumber("2,5", '.'), 2.0);
    EXPECT_DOUBLE_EQ(parseNumber(" 1 2.5 kPa", '.'), 12.5);  // blanks are ignored
    EXPECT_DOUBLE_EQ(parseNumber("-3.25e2x", '.'), -325.0);
    EXPECT_DOUBLE_EQ(parseNumber("+.5", '.'), 0.5);
    EXPECT_DOUBLE_EQ(parseNumber("7e", '.'), 7.0);  // an exponent without digits is not read
    EXPECT_DOUBLE_EQ(parseNumber("abc", '.'), 0.0);
    EXPECT_DOUBLE_EQ(parseNumber("", ','), 0.0);
    EXPECT_DOUBLE_EQ(parseNumber("-", ','), 0.0);
    EXPECT_DOUBLE_EQ(parseNumber("1.2.3", '.'), 1.2);
    EXPECT_TRUE(std::isinf(parseNumber("1e999", '.')));
}

TEST(ParseNumber, WholeTextCheck) {
    EXPECT_TRUE(isNumberText(" 2,5 ", ','));
    EXPECT_TRUE(isNumberText("2.5", ','));
    EXPECT_TRUE(isNumberText("-1e3", '.'));
    EXPECT_FALSE(isNumberText("2,5", '.'));
    EXPECT_FALSE(isNumberText("12 kPa", '.'));
    EXPECT_FALSE(isNumberText("", '.'));
    EXPECT_FALSE(isNumberText(".", '.'));
}

TEST(FormatNumbers, PatternsWithTheLocaleSeparator) {
    EXPECT_EQ(formatDecimals(3, 0, ','), "3");
    EXPECT_EQ(formatDecimals(3, 2, ','), "3,00");
    EXPECT_EQ(formatDecimals(2.346, 2, '.'), "2.35");
    EXPECT_EQ(formatDecimals(-0.001, 2, '.'), "0.00");
    EXPECT_EQ(formatDecimals(-1.5, -3, '.'), "-2");
    EXPECT_EQ(formatShort(1.5, ','), "1,500");
    EXPECT_EQ(formatLong(1.5, ','), "1,5");
    EXPECT_EQ(formatLong(3, ','), "3");
    EXPECT_EQ(formatLong(0.123456, '.'), "0.1235");
    EXPECT_EQ(formatLong(-0.00001, '.'), "0");
    EXPECT_EQ(formatDecimals(std::nan(""), 2, '.'), "N/A");
    EXPECT_EQ(toLocaleText("1.5;2.25", ','), "1,5;2,25");
}

TEST(Messages, RequirementAndIncomplete) {
    EXPECT_EQ(requirementMessage({"the name of the new system"}),
              "It must be given the name of the new system");
    EXPECT_EQ(requirementMessage({"the name of the base system", "the name of the new system"}),
              "It must be given the name of the base system and the name of the new system");
    EXPECT_EQ(incompleteMessage("the pivot"), "The information for the pivot is incomplete");
}

TEST(SqlValues, PointSeparatorNullsAndMissing) {
    EXPECT_EQ(quarvex::sqlNumber(2.5), "2.5");
    EXPECT_EQ(sqlDoubleOrNull(-99), "null");
    EXPECT_EQ(sqlDoubleOrNull(0.25), "0.25");
    EXPECT_EQ(sqlNumberOrNull(0), "null");
    EXPECT_EQ(sqlNumberOrNull(0.5), "0.5");
    EXPECT_EQ(sqlNumberOrNull(-2), "-2");
    EXPECT_EQ(sqlDate("2024-01-31"), "#2024-01-31#");
    EXPECT_EQ(sqlNullIf(true, "5"), "null");
    EXPECT_EQ(sqlNullIf(false, "5"), "5");
    EXPECT_EQ(quarvex::bindParameters("id_sistema=?", {"7"}), "id_sistema=7");
    EXPECT_DOUBLE_EQ(nullToMissing(quarvex::FieldValue::null()), -99.0);
    EXPECT_DOUBLE_EQ(nullToMissing(quarvex::FieldValue::real(1.25)), 1.25);
    EXPECT_DOUBLE_EQ(hectaresToSquareMetres(1.5), 15000.0);
    EXPECT_DOUBLE_EQ(squareMetresToHectares(25000), 2.5);
    EXPECT_DOUBLE_EQ(fractionToPercent(0.25), 25.0);
    EXPECT_DOUBLE_EQ(percentToFraction(25), 0.25);
    EXPECT_NEAR(radiansToDegrees(kPi), 180.0, 1e-9);  // kPi has 15 digits
}

TEST(IsException, ConsumesTheExpectedNumberOnly) {
    try {
        quarvex::Exceptions::Throw(errc::CommandStopped);
    } catch (...) {
        EXPECT_TRUE(isException(errc::CommandStopped, true));
        EXPECT_FALSE(isException(errc::ReferenceTramoExists, false));
        EXPECT_THROW(isException(errc::ReferenceTramoExists, true), quarvex::Error);
    }
    try {
        throw std::runtime_error("other");
    } catch (...) {
        EXPECT_FALSE(isException(errc::CommandStopped, false));
        EXPECT_THROW(isException(errc::CommandStopped, true), std::runtime_error);
    }
    EXPECT_FALSE(isException(errc::CommandStopped, true));  // nothing pending
    EXPECT_EQ(errc::ReferenceTramoIncomplete, static_cast<std::int32_t>(0x80040BB9u));
    EXPECT_EQ(errc::CommandStopped, static_cast<std::int32_t>(0x80040064u));
}

TEST(TableDefinitions, KeyedByNameWithColumnsInOrder) {
    const auto defs = tableDefinitions();
    EXPECT_EQ(defs.Count(), 8);
    const auto& projectos = defs.Item("projectos");
    EXPECT_EQ(projectos.field_id(), "id");
    ASSERT_EQ(projectos.campos().size(), 12u);
    EXPECT_EQ(projectos.campos().front(), "designacao");
    EXPECT_EQ(projectos.campos().back(), "horas_de_operacao_diaria");
    EXPECT_EQ(defs.Item("Valley").campos(),
              (std::vector<std::string>{"denominacion", "longitud", "diametro", "separacion_saidas",
                                        "id_marca"}));
    EXPECT_EQ(defs.Item("tovren_agronomics").campos().size(), 3u);
    EXPECT_FALSE(defs.Contains("valley"));  // keys are exact
}
