// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/text.h"

#include <gtest/gtest.h>

#include <string>

using namespace kambrix;

TEST(Text, ControlCharactersAndForeignBytesAreShownEscaped) {
    EXPECT_EQ(printableText("plain ação"), "plain ação");
    EXPECT_EQ(printableText("a\nb\tc\rd"), "a\\x0ab\\x09c\\x0dd");
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
