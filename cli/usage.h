// SPDX-License-Identifier: GPL-3.0-or-later
//
// A command line that cannot be read, told in one line of the user's words.
#pragma once

#include <string>

namespace kambrix::cli {

// The message for a refused command line: `kind` is the parser's name of the fault
// ("ArgumentMismatch", "ExtrasError", ...), `detail` its own text, from which only option
// names are taken; argv gives the words the user typed. Never holds a control character raw.
std::string usageProblem(const std::string& kind, const std::string& detail, int argc,
                         const char* const* argv);

}  // namespace kambrix::cli
