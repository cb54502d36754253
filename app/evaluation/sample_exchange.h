// SPDX-License-Identifier: GPL-3.0-or-later
//
// Catch-can readings exchanged with spreadsheets: a block of cells pasted from the
// clipboard (tab-separated, in the user's number notation), cells copied back as
// tab-separated text, and the comma-separated file of both radii that `kambrix-cli evaluate`
// reads (columns radius, volume_ml, distance_m, canDiameter_cm; "." decimals).
#pragma once

#include <quarvex/quarvex.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/unit_system.h"

namespace kambrix {

// The most readings one evaluation holds (both radii together): a field test has some
// hundreds of cans; a file or a paste with more is refused before it fills the memory.
inline constexpr std::size_t kMaxReadingsPerEvaluation = 200'000;

// One catch-can reading as it is being entered: either value may still be missing.
struct CanReading {
    std::optional<double> volume_ml;
    std::optional<double> distance_m;

    bool blank() const { return !volume_ml && !distance_m; }
    bool complete() const { return volume_ml && distance_m; }
    friend bool operator==(const CanReading&, const CanReading&) = default;
};

// A number as a spreadsheet of the user's locale puts it on the clipboard: `decimalSeparator`
// is the decimal mark; the other mark of "." and ",", a blank or a no-break space may group
// the thousands, but only in groups of three ("1.570,5" with ","; "1,570.5" with "."). A sign,
// and an exponent ("1,5E3"), are allowed. Anything else, a blank text, or a number beyond the
// double range, gives none: "12.5" with "," as separator is refused, not read as 125 or 12.
std::optional<double> readSpreadsheetNumber(std::string_view text, char decimalSeparator);

// The readings of a block of cells pasted from a spreadsheet.
struct PastedReadings {
    std::vector<CanReading> rows;  // in the order of the lines
    bool headingSkipped = false;   // the first line held only words and was left out
    // One text per line that cannot be read, naming the line (1-based, as pasted).
    std::vector<std::string> problems;
};

// Reads tab-separated lines (LF, CR LF or CR) of two columns (volume ml, distance m) or three
// (position, volume, distance; the position is not read, the rows take the places they are
// pasted at). A first line in which no cell is a number is a heading and is skipped; it tells
// the number of columns, else the widest line does. Blank lines and lines without a volume and
// a distance are skipped; an empty volume or distance cell gives a reading with that value
// missing. Distances are read in `distanceUnits` (the units the grid shows), or in the units
// the heading's distance cell names ("S(j) (ft)", "distance_m").
PastedReadings parsePastedReadings(std::string_view text, char decimalSeparator,
                                   UnitSystem distanceUnits = UnitSystem::SI);

// The cells as a spreadsheet takes them from the clipboard: cells joined by tabs, each row
// ended by a line feed. Tabs and line breaks inside a cell become blanks.
std::string tabSeparatedText(const std::vector<std::vector<std::string>>& cells);

// The contents of a catch-can file.
struct CatchCanFile {
    double canDiameter_cm = 0;
    quarvex::Array<quarvex::FieldSample> first;
    quarvex::Array<quarvex::FieldSample> second;
};

// The file text: the heading "radius,volume_ml,distance_m,canDiameter_cm", then one line per
// reading, the first radius before the second, every number in its shortest exact text with
// "." (so the same doubles are read back), the diameter repeated on every line so the rows
// may be sorted in a spreadsheet. Lines end in CR LF. In other units the distance and the
// diameter are written in them and their headings name them ("distance_ft",
// "canDiameter_in"), so the file reads back in those units.
std::string catchCanCsvText(const CatchCanFile& file, UnitSystem units = UnitSystem::SI);

// The units of a catch-can file's distance and can diameter columns: those their headings
// name ("distance_ft", "canDiameter_in"; "distance_m", "canDiameter_cm"), else `userUnits`.
struct CatchCanColumnUnits {
    UnitSystem distance = UnitSystem::SI;
    UnitSystem diameter = UnitSystem::SI;
};
CatchCanColumnUnits catchCanColumnUnits(const std::vector<std::string>& heading,
                                        UnitSystem userUnits);

// Reads the file text by the rules of `kambrix-cli evaluate`: blank lines are skipped, the
// first other line is the heading, every further line is radius (1 or 2), volume_ml,
// distance_m and optionally canDiameter_cm, which the first of them must give and later
// ones may repeat or leave empty. A fault raises AppError errc::CsvFormat whose message names
// every line that cannot be read (the first ten of them); more than kMaxReadingsPerEvaluation
// readings raise errc::InputTooLarge. Distances and the diameter are read in the units the
// heading names (catchCanColumnUnits) and kept in m and cm; volumes are always ml.
CatchCanFile readCatchCanCsv(std::string_view text, UnitSystem userUnits = UnitSystem::SI);

}  // namespace kambrix
