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
// as CSV) on `out`. A refused input or a failed computation prints nothing on `out` and one
// line on `err` (whatever the reading or the computation raises); notes about indicators
// that cannot be computed go to `err` after a result.
int runDesign(const std::string& file, bool csv, std::ostream& out, std::ostream& err);
// The same on the text of a design; `source` names it in messages.
int runDesignText(const std::string& text, const std::string& source, bool csv, std::ostream& out,
                  std::ostream& err);

// Computes a catch-can evaluation from a JSON or CSV file and prints the result as JSON;
// failures as for runDesign.
int runEvaluate(const std::string& file, std::ostream& out, std::ostream& err);
int runEvaluateText(const std::string& text, const std::string& source, std::ostream& out,
                    std::ostream& err);

}  // namespace kambrix::cli
