// SPDX-License-Identifier: GPL-3.0-or-later
//
// The title block on the first page of a printed report: what is printed, of which system,
// when it was last saved, who designed, checked and approved it (a blank name leaves a line
// to sign on), the field's owner or location and the units of the numbers. Every text is
// given by the caller, captions included, so each report passes its own through the
// language file.
#pragma once

#include <string>

#include "shell/report_document.h"

namespace kambrix::report {

// The captions of the block's lines (the defaults are the program's English).
struct TitleBlockCaptions {
    std::string title = "Title block";
    std::string system = "System";
    std::string document = "Chart";
    std::string saved = "Last saved";
    std::string designedBy = "Designed by";
    std::string checkedBy = "Checked by";
    std::string approvedBy = "Approved by";
    std::string owner = "Owner / location";
    std::string units = "Units";
    std::string notSaved = "not saved";
};

struct TitleBlockTexts {
    std::string system;
    std::string document;  // the chart's or the evaluation's name
    std::string saved;     // date of the last save; "" prints the caption notSaved
    std::string designedBy, checkedBy, approvedBy;
    std::string owner;  // "" prints "-"
    std::string units;  // "SI: m, mm, L/s, kPa, h"
};

// What a blank name prints as: a line to sign on.
inline constexpr const char* kSignatureLine = "______________________________";

// The block as a section of key/value lines titled `captions.title`.
Section titleBlock(const TitleBlockTexts& texts, const TitleBlockCaptions& captions = {});

}  // namespace kambrix::report
