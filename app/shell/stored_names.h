// SPDX-License-Identifier: GPL-3.0-or-later
//
// The one check of every name the program stores (systems, sprinkler charts, evaluations,
// catalogue brands, models and nozzles, reference spans and their brands), and the escaped
// form in which a stored name is shown when it holds characters a screen or a terminal
// would act upon.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace kambrix {

// The longest name the program stores, in characters (UTF-8 code points).
inline constexpr std::size_t kMaxStoredNameLength = 200;

enum class StoredNameKind {
    System,
    Chart,
    Evaluation,
    SprinklerBrand,
    SprinklerModel,
    Nozzle,
    ReferenceSpan,
    ReferenceSpanBrand,
};

// "system", "sprinkler chart", "evaluation", ... as a message names the kind.
std::string storedNameKindText(StoredNameKind kind);

// What is wrong with a name about to be stored, or none: a control character (the C0 range,
// DEL and the C1 range, tabs and line breaks included) or more than kMaxStoredNameLength
// characters. Blank names are each store's own check (some have their own error number).
// The message names the kind of name and shows the offending character escaped:
// "The name of a system cannot hold control characters (\x1b at character 4)".
std::optional<std::string> storedNameProblem(StoredNameKind kind, const std::string& name);

// Raises AppError errc::StoredNameRefused with storedNameProblem's message when there is one.
void requireStorableName(StoredNameKind kind, const std::string& name);

// The text as printableText shows it: every control character written as an escape
// ("\x1b", "\x0a"; "\u0085" for the C1 range), so a name read from a file shows what it
// holds and never acts on the screen or terminal it is printed to.
std::string escapeControlCharacters(const std::string& text);

}  // namespace kambrix
