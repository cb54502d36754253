// SPDX-License-Identifier: GPL-3.0-or-later
//
// The language file: one section per window, a header line with the window's name, entry
// lines "target|property|text" and the line "end". Reading yields plain data; the windows
// apply it to their controls.
#pragma once

#include <filesystem>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kambrix {

// One entry of a window's section: set `property` of `target` (the window's own name or one
// of its controls) to `value`.
struct TranslationEntry {
    std::string target;
    std::string property;
    std::string value;
    friend bool operator==(const TranslationEntry&, const TranslationEntry&) = default;
};

class LanguageFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The entries of the section headed `windowName`, in file order. Lines before the header are
// ignored; reading stops at the first "end" after it. Comparisons are exact and
// case-sensitive; a line ending in "\r" is read without it. Lines with fewer than three
// "|" fields (the header among them) are skipped; anything after a third "|" is dropped.
std::vector<TranslationEntry> readLanguageSection(std::istream& in, const std::string& windowName);
// The same from a file; a file that cannot be opened raises LanguageFileError.
std::vector<TranslationEntry> readLanguageSection(const std::filesystem::path& file,
                                                  const std::string& windowName);

}  // namespace kambrix
