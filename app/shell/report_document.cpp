// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/report_document.h"

namespace kambrix::report {

const Section* Document::find(const std::string& sectionTitle) const {
    for (const auto& s : sections) {
        if (s.title == sectionTitle) {
            return &s;
        }
    }
    return nullptr;
}

namespace {

void joinCells(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        out += (i ? "\t" : "") + cells[i];
    }
    out += "\n";
}

}  // namespace

std::string Document::plainText() const {
    std::string out = title + "\n";
    if (!subtitle.empty()) {
        out += subtitle + "\n";
    }
    for (const auto& s : sections) {
        out += "\n" + s.title + "\n";
        for (const auto& b : s.blocks) {
            if (const auto* kv = std::get_if<KeyValues>(&b)) {
                for (const auto& [k, v] : kv->pairs) {
                    out += k + ": " + v + "\n";
                }
            } else if (const auto* t = std::get_if<Table>(&b)) {
                joinCells(out, t->headings);
                for (const auto& r : t->rows) {
                    joinCells(out, r);
                }
                if (!t->totals.empty()) {
                    joinCells(out, t->totals);
                }
                if (!t->caption.empty()) {
                    out += t->caption + "\n";
                }
            } else if (const auto* p = std::get_if<Paragraph>(&b)) {
                out += p->text + "\n";
            } else if (const auto* f = std::get_if<Figure>(&b)) {
                out += "[" + f->key + "]\n";
                if (!f->caption.empty()) {
                    out += f->caption + "\n";
                }
            }
        }
    }
    return out;
}

}  // namespace kambrix::report
