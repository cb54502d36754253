// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/text.h"

#include <gtest/gtest.h>

#include <string>

using namespace kambrix;

TEST(Text, ControlCharactersAndForeignBytesAreShownEscaped) {
    EXPECT_EQ(printableText("plain ação"), "plain ação");
    EXPECT_EQ(printableText("a\nb\tc\rd"), "a\\nb\\tc\\rd");
    EXPECT_EQ(printableText("\x1b[2Jclear"), "\\x1b[2Jclear");
    EXPECT_EQ(printableText(std::string("N\0"
                                        "1",
                                        3)),
              "N\\x001");
    EXPECT_EQ(printableText("N\xff"
                            "1"),
              "N\\xff1")
        << "a byte that is no UTF-8";
    EXPECT_EQ(printableText("\xc3"), "\\xc3") << "a sequence cut short";
    EXPECT_EQ(printableText("\xc0\xaf"), "\\xc0\\xaf") << "an overlong form";
    EXPECT_EQ(printableText("\xed\xa0\x80"), "\\xed\\xa0\\x80") << "a surrogate";
    EXPECT_EQ(printableText("\xc2\x9b"
                            "31m"),
              "\\u009b31m")
        << "a C1 control steers terminals";
    EXPECT_EQ(printableText("\x7f"), "\\x7f");
    // What is printed holds no control character at all.
    std::string every;
    for (int c = 0; c < 256; ++c) {
        every += static_cast<char>(c);
    }
    for (char c : printableText(every)) {
        const auto u = static_cast<unsigned char>(c);
        EXPECT_TRUE(u >= 0x20 && u != 0x7f) << int(u);
    }
}

TEST(Text, LongNamesAreCutOnCharactersInMessages) {
    EXPECT_EQ(shortPrintable("short"), "short");
    const std::string name(4000, 'X');
    const std::string cut = shortPrintable(name, 10);
    EXPECT_EQ(cut, "XXXXXXXXXX… (4000 characters)");
    // A cut never splits a character of several bytes.
    const std::string accents = "ááááá";
    EXPECT_EQ(shortPrintable(accents, 2), "áá… (5 characters)");
    EXPECT_TRUE(validUtf8(shortPrintable(accents, 3)));
}

TEST(Text, NamesAreOneLineOfAtMostTwoHundredCharacters) {
    EXPECT_FALSE(nameProblem("Pivot Norte 2", "system name"));
    EXPECT_FALSE(nameProblem(std::string(200, 'a'), "chart name"));
    // Two hundred characters of two bytes each are still two hundred characters.
    std::string accented;
    for (int i = 0; i < 200; ++i) {
        accented += "é";
    }
    EXPECT_FALSE(nameProblem(accented, "nozzle name"));

    const auto long201 = nameProblem(std::string(201, 'a'), "chart name");
    ASSERT_TRUE(long201);
    EXPECT_NE(long201->find("201 characters"), std::string::npos) << *long201;
    EXPECT_NE(long201->find("chart name"), std::string::npos);

    for (const std::string& bad :
         {std::string("a\nb"), std::string("tab\there"), std::string("\x1b[2J"),
          std::string("x\0y", 3), std::string("c1 \xc2\x85")}) {
        const auto why = nameProblem(bad, "evaluation name");
        ASSERT_TRUE(why) << printableText(bad);
        EXPECT_NE(why->find("control character"), std::string::npos) << *why;
        for (char c : *why) {
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << "the message shows it escaped";
        }
    }
    EXPECT_TRUE(nameProblem("N\xff", "nozzle name"));
}

TEST(Text, SuggestedFileNamesCannotLeaveTheFolder) {
    EXPECT_EQ(safeFileName("Demo package", ".pdf"), "Demo package.pdf");
    EXPECT_EQ(safeFileName("../../etc/passwd", ".csv"), "_.._etc_passwd.csv");
    EXPECT_EQ(safeFileName("a/b\\c:d*e?f\"g<h>i|j", ".pdf"), "a_b_c_d_e_f_g_h_i_j.pdf");
    EXPECT_EQ(safeFileName("\x1b[2Jname\n", ".pdf"), "_[2Jname_.pdf");
    EXPECT_EQ(safeFileName("...", ".pdf"), "Kambrix.pdf");
    EXPECT_EQ(safeFileName("", ".pdf", "chart"), "chart.pdf");
    EXPECT_EQ(safeFileName("Pivô Norte", ".csv"), "Pivô Norte.csv");
    EXPECT_EQ(safeFileName(std::string(300, 'x'), ".pdf"), std::string(100, 'x') + ".pdf");
}
