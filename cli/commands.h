// SPDX-License-Identifier: GPL-3.0-or-later
//
// The subcommands of kambrix-cli. Each returns the process exit status:
// 0 success, 2 bad input or a failed computation, 3 a computation that did not converge.
#pragma once

#include <iosfwd>
#include <string>

namespace kambrix::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitNotConverged = 3;

// Computes the design in the JSON file and prints the result as JSON (or the outlet table
// as CSV) on `out`; problems go to `err` as one line.
int runDesign(const std::string& file, bool csv, std::ostream& out, std::ostream& err);

// Computes a catch-can evaluation from a JSON or CSV file and prints the result as JSON.
int runEvaluate(const std::string& file, std::ostream& out, std::ostream& err);

// Computes the crop water requirement and system discharge of a JSON file and prints them as
// JSON; what cannot be computed is null, with its reason on `err`.
int runAgronomic(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace kambrix::cli
