// SPDX-License-Identifier: GPL-3.0-or-later
//
// A printed report as plain data: a title and sections, each a list of blocks (label and
// value lists, tables with headings, paragraphs, and figures the window draws). A renderer
// lays it out on pages; a table that runs over a page repeats its headings.
#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace kambrix {

// Label and value pairs ("Name", "Field 3").
struct ReportKeyValues {
    std::vector<std::pair<std::string, std::string>> items;
};

struct ReportTable {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;  // each as long as `headings`
};

struct ReportParagraph {
    std::string text;
};

// A picture the program draws (a chart); `key` tells the renderer's caller which one.
struct ReportFigure {
    std::string key;
    std::string caption;
};

using ReportBlock = std::variant<ReportKeyValues, ReportTable, ReportParagraph, ReportFigure>;

struct ReportSection {
    std::string title;
    std::vector<ReportBlock> blocks;
};

struct ReportDocument {
    std::string title;
    std::vector<ReportSection> sections;
};

}  // namespace kambrix
