// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/report_title_block.h"

#include "shell/services.h"

namespace kambrix::report {

Section titleBlock(const TitleBlockTexts& t, const TitleBlockCaptions& c) {
    const auto name = [](const std::string& s) {
        return isBlank(s) ? std::string(kSignatureLine) : trim(s);
    };
    KeyValues kv;
    kv.pairs = {{c.system, t.system},
                {c.document, t.document},
                {c.saved, isBlank(t.saved) ? c.notSaved : t.saved},
                {c.designedBy, name(t.designedBy)},
                {c.checkedBy, name(t.checkedBy)},
                {c.approvedBy, name(t.approvedBy)},
                {c.owner, isBlank(t.owner) ? std::string("-") : t.owner},
                {c.units, t.units}};
    return {c.title, {kv}};
}

}  // namespace kambrix::report
