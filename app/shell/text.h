// SPDX-License-Identifier: GPL-3.0-or-later
//
// Text from outside shown back to the user: a name read from a file or a database may hold
// line breaks, terminal escapes or bytes that are not UTF-8, and a message must stay one line
// that a terminal prints as it stands.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kambrix {

// True when the text is well-formed UTF-8 (no overlong forms, no surrogates).
bool validUtf8(std::string_view text);

// The text with every control character written as an escape ("\x0a", "\x1b"; "\u0085" for
// the C1 range) and every byte that is not part of well-formed UTF-8 as "\xNN"; other
// characters unchanged.
std::string printableText(std::string_view text);

// printableText, cut to at most `maxCharacters` characters with "…" and the full length
// when longer: for a name quoted in a message.
std::string shortPrintable(std::string_view text, std::size_t maxCharacters = 60);

// A file name made from a stored name for a save dialog to suggest: path separators,
// control characters and the characters file systems refuse (< > : " | ? * \) become "_",
// leading dots and blanks are dropped, the name is cut to 100 characters; `fallback` when
// nothing is left. The extension (".pdf") is added.
std::string safeFileName(std::string_view name, std::string_view extension,
                         std::string_view fallback = "Kambrix");

}  // namespace kambrix
