// SPDX-License-Identifier: GPL-3.0-or-later
//
// Captions, grids and printed reports in the user's units. The language file writes every
// caption in the stored units, the unit in parentheses ("Design discharge (L/s)", "qj (L s-1)",
// "Last tower speed (m/min)"); the words stay the language file's and the unit comes from the
// unit layer. A grid column or a report table whose heading names a unit shows its numbers
// converted; everything else passes unchanged. In the stored system nothing changes at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/report_document.h"
#include "shell/table_data.h"
#include "shell/unit_system.h"

namespace kambrix {

struct ShownCaption {
    std::string text;                  // the caption with its unit in the system
    std::optional<Quantity> quantity;  // the quantity its unit names; none for no unit
};

// The caption with the stored unit it names in parentheses replaced by the system's.
// "mm" is a pipe diameter where the caption speaks of a diameter, else a depth; "cm" a can
// diameter where it speaks of a diameter, else an outlet spacing; "m/min" a speed.
ShownCaption captionInUnits(std::string_view caption, UnitSystem system);

// The quantity a stored unit symbol stands for in a caption ("kPa", "L s-1", "mm/h"), none for
// a symbol of no unit the layer converts. `diameter` picks between the two meanings of
// "mm" and "cm".
std::optional<Quantity> storedSymbolQuantity(std::string_view symbol, bool diameter);

// A grid's table and captions in the system's units: numeric cells under a caption naming
// a unit are converted and shown with the unit's decimals, and so are the numbers of text
// cells there (written with `decimalSeparator`); a nozzle coefficient column ("a" or
// "a (L/s, kPa)", beside a "b" column) is converted with both units. Captions come back with
// the system's units.
struct ShownTable {
    TableData table;
    std::vector<std::string> captions;
};
ShownTable tableInUnits(const TableData& table, const std::vector<std::string>& captions,
                        UnitSystem system, char decimalSeparator = '.');

// A cell text typed in the system's units under a caption naming `quantity`, as the text of
// the stored value (all its digits, with the user's separator); the text unchanged when it is
// blank or not a number, so the stored-unit check still refuses it in its own words.
std::string storedNumberText(const std::string& text, Quantity quantity, UnitSystem system,
                             char decimalSeparator);

// Every number of the text as a value of `q` in the system's units ("0.10", "0.10–0.50"), for
// a value shown beside a caption that names its unit.
std::string numbersInUnits(const std::string& text, Quantity q, UnitSystem system,
                           char decimalSeparator);
// Every stored unit symbol standing as a word of the text (after a blank or an opening
// parenthesis) in the system's units: "Coefficient a (q in L/s, p in kPa)" reads
// "Coefficient a (q in gpm, p in psi)" in US units.
std::string unitSymbolsInUnits(const std::string& text, UnitSystem system);

// Every "<number> <stored unit>" of a sentence in the system's units ("0.50 L/s at 250.0 kPa"
// reads "7.9 gpm at 36.3 psi"); "3 m/s" and "5 months" are no stored units and stay.
std::string quantitiesInUnits(const std::string& text, UnitSystem system, char decimalSeparator);

// The report in the system's units: tables whose headings name a unit (numbers written with
// `decimalSeparator`), key/value lines whose value is a number followed by a stored unit
// ("60.00 L/s"), the headings, keys and titles that name units, and figure axes whose title
// names a unit. Sentences are left as they were written.
report::Document reportInUnits(const report::Document& document, UnitSystem system,
                               char decimalSeparator);

}  // namespace kambrix
