// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/language_file.h"

#include <gtest/gtest.h>

#include <sstream>

using kambrix::readLanguageSection;
using kambrix::TranslationEntry;

TEST(LanguageFile, ReadsOnlyTheWindowSection) {
    std::istringstream in(
        "frmOther\n"
        "frmOther|Caption|Not this one\n"
        "end\n"
        "frmA|Caption|ignored: before the header\n"
        "frmA\r\n"
        "frmA|Caption|Title\r\n"
        "cmdOK|Caption|OK|dropped after a third bar\n"
        "too|few\n"
        "\n"
        "lblX|Text|a value with spaces \n"
        "END\n"
        "lblY|Caption|still inside: END is not end\n"
        "end\n"
        "lblZ|Caption|after the end\n"
        "frmA\n"
        "lblW|Caption|a second header is not read\n");
    const auto entries = readLanguageSection(in, "frmA");
    const std::vector<TranslationEntry> expected = {
        {"frmA", "Caption", "Title"},
        {"cmdOK", "Caption", "OK"},
        {"lblX", "Text", "a value with spaces "},
        {"lblY", "Caption", "still inside: END is not end"},
    };
    EXPECT_EQ(entries, expected);
}

TEST(LanguageFile, MissingWindowAndCaseSensitiveHeader) {
    std::istringstream in("FRMA\nx|Caption|y\nend\n");
    EXPECT_TRUE(readLanguageSection(in, "frmA").empty());
    EXPECT_THROW(readLanguageSection(std::filesystem::path("/no/such/EN_en.txt"), "frmA"),
                 kambrix::LanguageFileError);
}

TEST(LanguageFile, ShippedFileCoversEveryWindow) {
    const std::filesystem::path file =
        std::filesystem::path(KAMBRIX_SOURCE_DIR) / "resources" / "m17n" / "EN_en.txt";
    for (const char* window : {"frmPrincipal", "frmAbout", "frmNuevSist", "frmIniAgronom",
                               "frmDisHid", "frmBDasp", "frmBDtramos"}) {
        const auto entries = readLanguageSection(file, window);
        ASSERT_FALSE(entries.empty()) << window;
        EXPECT_EQ(entries.front().target, window) << "the window's own caption comes first";
        EXPECT_EQ(entries.front().property, "Caption");
    }
}
