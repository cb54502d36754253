// SPDX-License-Identifier: GPL-3.0-or-later
//
// A printed report as data: a title for the page header, then sections, each a list of
// blocks (key/value pairs, tables with headings, plain paragraphs, figures that the caller of
// the renderer draws, such as a chart). Builders in the
// application library fill it (the sprinkler chart, an evaluation); the report renderer lays
// it out on pages. All texts are final: numbers are already written in the reader's format.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "shell/plot_data.h"

namespace kambrix::report {

// Label and value lines ("Design discharge" — "60.00 L/s").
struct KeyValues {
    std::vector<std::pair<std::string, std::string>> pairs;
};

enum class Align { Left, Right };

// A table that may break across pages; its heading is repeated on every page it reaches.
struct Table {
    std::vector<std::string> headings;
    std::vector<Align> align;  // one per column (Left when missing)
    // Columns of sentences (a note, a reason) whose cells wrap onto more lines when the table
    // is too wide; the others keep each cell on one line (false when missing).
    std::vector<bool> wrap;
    std::vector<std::vector<std::string>> rows;  // each as many cells as headings
    std::vector<std::string> totals;             // a last, emphasised row; empty for none
    std::string caption;                         // small text under the table; may be empty
    // A long table read row by row: a smaller type (down to 6 pt) is taken before any cell
    // wraps, so that each row keeps one line.
    bool oneLineRows = false;
};

struct Paragraph {
    std::string text;
};

// A plot given as data, which the renderer draws itself with the program's chart code: lines
// and shaded bands against one x and one y axis, and dashed vertical marks (the towers).
struct FigurePlot {
    std::string xTitle;  // "Distance (m)"
    std::string yTitle;
    std::string xPattern = "0";  // axis label format as the screens write it ("0.0")
    std::string yPattern = "0";
    std::vector<PlotLine> lines;
    struct Band {
        std::string name;
        std::vector<XYPoint> lower;  // both over the same x values
        std::vector<XYPoint> upper;
    };
    std::vector<Band> bands;
    std::vector<double> marks;  // x of each vertical mark
    std::string marksName;      // their one legend entry
};

// A picture the program draws (a chart): the renderer keeps a box of the page width and
// `height_mm` for it and sets the caption under it. A figure with a `plot` is drawn from it;
// any other is drawn there by the painter the renderer was given, by its `key`. A figure is
// never split across pages.
struct Figure {
    std::string key;
    std::string caption;  // may be empty
    double height_mm = 90;
    std::optional<FigurePlot> plot = std::nullopt;
};

using Block = std::variant<KeyValues, Table, Paragraph, Figure>;

struct Section {
    std::string title;
    std::vector<Block> blocks;
};

struct Document {
    std::string title;            // the header of every page (the chart's name)
    std::string subtitle;         // under the title on the first page (the system, the date)
    char decimalSeparator = '.';  // of the numbers in the texts
    std::vector<Section> sections;

    // The section of that title, or nullptr.
    const Section* find(const std::string& sectionTitle) const;
    // Every text of the document in reading order, one per line (tests, plain-text export).
    std::string plainText() const;
};

}  // namespace kambrix::report
