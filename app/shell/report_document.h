// SPDX-License-Identifier: GPL-3.0-or-later
//
// A printed report as data: a title for the page header, then sections, each a list of
// blocks (key/value pairs, tables with headings, plain paragraphs, figures that the caller of
// the renderer draws, such as a chart). Builders in the
// application library fill it (the sprinkler chart, an evaluation); the report renderer lays
// it out on pages. All texts are final: numbers are already written in the reader's format.
#pragma once

#include <string>
#include <variant>
#include <vector>

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
};

struct Paragraph {
    std::string text;
};

// A picture the program draws (a chart): the renderer keeps a box of the page width and
// `height_mm` for it, asks the painter it was given to draw the figure of that `key` there,
// and sets the caption under it. A figure is never split across pages.
struct Figure {
    std::string key;
    std::string caption;  // may be empty
    double height_mm = 90;
};

using Block = std::variant<KeyValues, Table, Paragraph, Figure>;

struct Section {
    std::string title;
    std::vector<Block> blocks;
};

struct Document {
    std::string title;     // the header of every page (the chart's name)
    std::string subtitle;  // under the title on the first page (the system, the date)
    std::vector<Section> sections;

    // The section of that title, or nullptr.
    const Section* find(const std::string& sectionTitle) const;
    // Every text of the document in reading order, one per line (tests, plain-text export).
    std::string plainText() const;
};

}  // namespace kambrix::report
