// SPDX-License-Identifier: GPL-3.0-or-later
//
// The output of `kambrix-cli design` for a pivot computed by another command (the stored
// chart of `kambrix-cli chart`), so both print the same document.
#pragma once

#include <quarvex/quarvex.h>

#include <iosfwd>
#include <optional>
#include <string>

namespace kambrix::cli {

struct ComputedDesign {
    quarvex::PivotWrapper* wrapper = nullptr;  // computed; nozzles are named by their id
    // The chart's indicator inputs and runoff check, for the "indicators" and "runoff"
    // sections (as `design` prints them from its input).
    std::optional<quarvex::indicadores> indicadores;
    std::optional<quarvex::PluviometryCheck> pluviometria;
    // Set when the computation did not settle: the message; the output then holds the last
    // pass and the exit status is kExitNotConverged.
    std::optional<std::string> notSettled;
};

// Prints the design document (or its CSV outlet table); problems go to `err` as lines
// beginning with `who`. Returns the exit status of `design`.
int writeDesignOutput(const ComputedDesign& computed, bool csv, const std::string& who,
                      std::ostream& out, std::ostream& err);

}  // namespace kambrix::cli
