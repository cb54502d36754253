// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/unit_captions.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "shell/number_text.h"
#include "shell/services.h"

namespace kambrix {
namespace {

struct StoredSymbol {
    std::string_view symbol;
    Quantity quantity;
    std::string_view perTime;  // a speed's "/min": the length converts, the time stays
};

// The stored units as the language file writes them in captions.
constexpr StoredSymbol kSymbols[] = {
    {"m", Quantity::Length, ""},
    {"m/min", Quantity::Length, "/min"},
    {"mm", Quantity::Depth, ""},
    {"cm", Quantity::OutletSpacing, ""},
    {"L/s", Quantity::Discharge, ""},
    {"L s-1", Quantity::Discharge, ""},
    {"kPa", Quantity::Pressure, ""},
    {"mm/h", Quantity::Rate, ""},
    {"ha", Quantity::Area, ""},
    {"L/s/ha", Quantity::DischargePerArea, ""},
    {"L s-1 ha-1", Quantity::DischargePerArea, ""},
    {"mm/day", Quantity::DailyDepth, ""},
    {"mm/d", Quantity::DailyDepth, ""},
    {"ml", Quantity::CanVolume, ""},
};

const StoredSymbol* findSymbol(std::string_view symbol) {
    for (const StoredSymbol& s : kSymbols) {
        if (s.symbol == symbol) {
            return &s;
        }
    }
    return nullptr;
}

bool speaksOfDiameter(std::string_view caption) {
    std::string low(caption);
    std::transform(low.begin(), low.end(), low.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return low.find("diameter") != std::string::npos;
}

Quantity withMeaning(Quantity q, bool diameter) {
    if (diameter && q == Quantity::Depth) {
        return Quantity::PipeDiameter;
    }
    if (diameter && q == Quantity::OutletSpacing) {
        return Quantity::CanDiameter;
    }
    return q;
}

// A unit caption found: where its symbol sits in the caption and what it stands for.
struct Found {
    std::size_t at = 0;
    std::size_t length = 0;
    const StoredSymbol* symbol = nullptr;
};

// The first "(symbol)" or "(symbol; ...)" of the caption naming a stored unit.
std::optional<Found> findUnit(std::string_view caption) {
    for (std::size_t open = caption.find('('); open != std::string_view::npos;
         open = caption.find('(', open + 1)) {
        const std::size_t close = caption.find_first_of(");", open + 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view inside = caption.substr(open + 1, close - open - 1);
        if (const StoredSymbol* s = findSymbol(inside)) {
            return Found{open + 1, inside.size(), s};
        }
    }
    return std::nullopt;
}

// The decimals a value written with `storedDecimals` in the stored unit keeps in the shown
// unit: the unit's own, or more where the stored value was finer (an outlet's 0.063 L/s is
// 1.00 gpm, not 1.0) and the unit is the smaller one.
int shownDecimals(Quantity q, UnitSystem system, int storedDecimals) {
    const Unit& u = unitOf(q, system);
    if (u.perStored() <= 1) {
        return u.decimals;  // a larger unit: its own decimals are as fine as the stored ones
    }
    const int finer = storedDecimals - static_cast<int>(std::lround(std::log10(u.perStored())));
    return std::max(u.decimals, finer);
}

// The decimals written in a number text ("0.063" has 3).
int decimalsOf(const std::string& number, char sep) {
    const auto at = number.find(sep);
    return at == std::string::npos ? 0 : static_cast<int>(number.size() - at - 1);
}

bool isAsciiAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// The number starting at `i` (a sign only after a blank, an opening bracket or the start;
// digits, one decimal separator and digits), as its length; 0 when no number starts there,
// or when it is part of a word ("1st", "j3").
std::size_t numberAt(const std::string& text, std::size_t i, char sep) {
    const std::size_t n = text.size();
    if (i > 0 && (isAsciiAlnum(text[i - 1]) || text[i - 1] == sep || text[i - 1] == '.')) {
        return 0;
    }
    std::size_t j = i;
    if (j < n && (text[j] == '-' || text[j] == '+') &&
        (j == 0 || text[j - 1] == ' ' || text[j - 1] == '(')) {
        ++j;
    }
    const std::size_t digitsFrom = j;
    while (j < n && std::isdigit(static_cast<unsigned char>(text[j])) != 0) {
        ++j;
    }
    if (j == digitsFrom) {
        return 0;
    }
    if (j + 1 < n && text[j] == sep && std::isdigit(static_cast<unsigned char>(text[j + 1])) != 0) {
        ++j;
        while (j < n && std::isdigit(static_cast<unsigned char>(text[j])) != 0) {
            ++j;
        }
    }
    if (j < n && (isAsciiAlnum(text[j]) || text[j] == '_')) {
        return 0;
    }
    return j - i;
}

// The longest stored unit symbol written at `i`, ended by the text's end or a character that
// cannot continue a unit ("m" in "3 m of head", not in "3 m/s" or "3 months").
const StoredSymbol* symbolAt(const std::string& text, std::size_t i) {
    const StoredSymbol* best = nullptr;
    for (const StoredSymbol& s : kSymbols) {
        if (text.compare(i, s.symbol.size(), s.symbol) != 0) {
            continue;
        }
        const std::size_t end = i + s.symbol.size();
        if (end < text.size()) {
            const char c = text[end];
            if (isAsciiAlnum(c) || c == '/' || c == '-' || c == '_' ||
                static_cast<unsigned char>(c) >= 0x80) {
                continue;
            }
        }
        if (best == nullptr || s.symbol.size() > best->symbol.size()) {
            best = &s;
        }
    }
    return best;
}

// Every number of the text converted as a value of `q` (a cell under a heading naming the
// unit: "0.10", "0.10–0.50").
std::string convertNumbers(const std::string& text, Quantity q, UnitSystem system, char sep) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = numberAt(text, i, sep);
        if (len == 0) {
            out += text[i++];
            continue;
        }
        const double stored = parseNumber(text.substr(i, len), sep);
        const int decimals = shownDecimals(q, system, decimalsOf(text.substr(i, len), sep));
        out += std::isfinite(stored) ? formatDecimals(toShown(q, system, stored), decimals, sep)
                                     : text.substr(i, len);
        i += len;
    }
    return out;
}

// Every "<number> <stored unit>" of a text converted with its unit ("0.50 L/s at 250.0 kPa").
std::string convertQuantities(const std::string& text, UnitSystem system, char sep) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = numberAt(text, i, sep);
        const StoredSymbol* s = nullptr;
        if (len > 0 && i + len < text.size() && text[i + len] == ' ') {
            s = symbolAt(text, i + len + 1);
        }
        const double stored = s != nullptr ? parseNumber(text.substr(i, len), sep) : 0;
        if (s == nullptr || !std::isfinite(stored)) {
            out += len > 0 ? text.substr(i, len) : text.substr(i, 1);
            i += std::max<std::size_t>(len, 1);
            continue;
        }
        const int decimals =
            shownDecimals(s->quantity, system, decimalsOf(text.substr(i, len), sep));
        out += formatDecimals(toShown(s->quantity, system, stored), decimals, sep) + " " +
               unitOf(s->quantity, system).symbol + std::string(s->perTime);
        i += len + 1 + s->symbol.size();
    }
    return out;
}

}  // namespace

std::string numbersInUnits(const std::string& text, Quantity q, UnitSystem system, char sep) {
    return unitOf(q, system).isStored() ? text : convertNumbers(text, q, system, sep);
}

std::string unitSymbolsInUnits(const std::string& text, UnitSystem system) {
    if (system == UnitSystem::SI) {
        return text;
    }
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const bool wordStart = i > 0 && (text[i - 1] == ' ' || text[i - 1] == '(');
        const StoredSymbol* s = wordStart ? symbolAt(text, i) : nullptr;
        if (s == nullptr) {
            out += text[i++];
            continue;
        }
        out += unitOf(s->quantity, system).symbol + std::string(s->perTime);
        i += s->symbol.size();
    }
    return out;
}

std::string quantitiesInUnits(const std::string& text, UnitSystem system, char sep) {
    return system == UnitSystem::SI ? text : convertQuantities(text, system, sep);
}

std::optional<Quantity> storedSymbolQuantity(std::string_view symbol, bool diameter) {
    const StoredSymbol* s = findSymbol(symbol);
    if (s == nullptr) {
        return std::nullopt;
    }
    return withMeaning(s->quantity, diameter);
}

ShownCaption captionInUnits(std::string_view caption, UnitSystem system) {
    ShownCaption out{std::string(caption), std::nullopt};
    const auto found = findUnit(caption);
    if (!found) {
        return out;
    }
    const Quantity q = withMeaning(found->symbol->quantity, speaksOfDiameter(caption));
    out.quantity = q;
    out.text.replace(found->at, found->length,
                     unitOf(q, system).symbol + std::string(found->symbol->perTime));
    return out;
}

ShownTable tableInUnits(const TableData& table, const std::vector<std::string>& captions,
                        UnitSystem system, char sep) {
    ShownTable out{table, captions};
    if (system == UnitSystem::SI) {
        return out;
    }
    std::vector<std::optional<Quantity>> quantities(captions.size());
    for (std::size_t c = 0; c < captions.size(); ++c) {
        ShownCaption shown = captionInUnits(captions[c], system);
        out.captions[c] = std::move(shown.text);
        quantities[c] = shown.quantity;
    }
    // The nozzle coefficient: a column "a" with a column "b" beside it.
    const auto named = [&](std::string_view name) {
        const auto it = std::find_if(captions.begin(), captions.end(), [&](const std::string& c) {
            return c == name || c.rfind(std::string(name) + " (", 0) == 0;
        });
        return it == captions.end() ? -1 : static_cast<int>(it - captions.begin());
    };
    const int aColumn = named("a");
    const int bColumn = named("b");
    if (aColumn >= 0 && bColumn >= 0) {
        // "a (L/s, kPa)" names the units the coefficient is in.
        out.captions[static_cast<std::size_t>(aColumn)] =
            unitSymbolsInUnits(captions[static_cast<std::size_t>(aColumn)], system);
    }
    for (TableRow& row : out.table.rows) {
        for (std::size_t c = 0; c < row.cells.size() && c < quantities.size(); ++c) {
            TableCell& cell = row.cells[c];
            if (!cell.number && quantities[c]) {
                cell.text = convertNumbers(cell.text, *quantities[c], system, sep);
                continue;
            }
            if (!cell.number || !std::isfinite(*cell.number)) {
                continue;
            }
            if (quantities[c]) {
                const Unit& u = unitOf(*quantities[c], system);
                if (!u.isStored()) {
                    cell.number = toShown(*quantities[c], system, *cell.number);
                    cell.decimals = shownDecimals(*quantities[c], system, cell.decimals);
                }
            } else if (static_cast<int>(c) == aColumn && bColumn >= 0 &&
                       static_cast<std::size_t>(bColumn) < row.cells.size() &&
                       row.cells[static_cast<std::size_t>(bColumn)].number) {
                const double b = *row.cells[static_cast<std::size_t>(bColumn)].number;
                const double a = nozzleCoefficientToShown(system, *cell.number, b);
                // As many significant digits as the stored coefficient shows.
                const int digits = std::max(
                    0, cell.decimals + static_cast<int>(std::floor(std::log10(*cell.number))) + 1);
                cell.number = a;
                cell.decimals = std::max(cell.decimals,
                                         digits - 1 - static_cast<int>(std::floor(std::log10(a))));
            }
        }
    }
    return out;
}

std::string storedNumberText(const std::string& text, Quantity quantity, UnitSystem system,
                             char sep) {
    if (unitOf(quantity, system).isStored() || isBlank(text) || !isNumberText(text, sep)) {
        return text;
    }
    const double shown = parseNumber(text, sep);
    if (!std::isfinite(shown)) {
        return text;
    }
    return toLocaleText(roundTripText(toStored(quantity, system, shown)), sep);
}

report::Document reportInUnits(const report::Document& document, UnitSystem system, char sep) {
    report::Document out = document;
    if (system == UnitSystem::SI) {
        return out;
    }
    // The title block's statement of the units ("SI units: m, mm, L/s, kPa, h; areas in ha")
    // names the system's units instead.
    auto statement = [&](std::string& text) {
        const std::string prefix = "SI units: ";
        if (text.rfind(prefix, 0) != 0) {
            return false;
        }
        std::string rest;
        std::size_t i = prefix.size();
        while (i < text.size()) {
            const std::size_t end = text.find_first_of(",; ", i);
            const std::string word =
                text.substr(i, end == std::string::npos ? std::string::npos : end - i);
            const StoredSymbol* s = findSymbol(word);
            rest +=
                s != nullptr ? unitOf(s->quantity, system).symbol + std::string(s->perTime) : word;
            if (end == std::string::npos) {
                break;
            }
            rest += text[end];
            i = end + 1;
        }
        text = std::string(unitSystemName(system)) + ": " + rest;
        return true;
    };
    // A caption's unit in parentheses, and any value it quotes ("(419.7 m)").
    auto caption = [&](std::string& text) {
        ShownCaption shown = captionInUnits(text, system);
        text = convertQuantities(shown.text, system, sep);
        return shown.quantity;
    };
    for (report::Section& section : out.sections) {
        caption(section.title);
        for (report::Block& block : section.blocks) {
            if (auto* kv = std::get_if<report::KeyValues>(&block)) {
                for (auto& [key, value] : kv->pairs) {
                    if (statement(value)) {
                        continue;
                    }
                    if (auto q = caption(key)) {
                        value = convertNumbers(value, *q, system, sep);
                    } else {
                        value = convertQuantities(value, system, sep);
                    }
                }
            } else if (auto* table = std::get_if<report::Table>(&block)) {
                std::vector<std::optional<Quantity>> quantities;
                for (std::string& heading : table->headings) {
                    quantities.push_back(caption(heading));
                }
                auto convertRow = [&](std::vector<std::string>& row) {
                    for (std::size_t c = 0; c < row.size(); ++c) {
                        row[c] = c < quantities.size() && quantities[c]
                                     ? convertNumbers(row[c], *quantities[c], system, sep)
                                     : convertQuantities(row[c], system, sep);
                    }
                };
                for (auto& row : table->rows) {
                    convertRow(row);
                }
                convertRow(table->totals);
                table->caption = convertQuantities(table->caption, system, sep);
            } else if (auto* paragraph = std::get_if<report::Paragraph>(&block)) {
                paragraph->text = convertQuantities(paragraph->text, system, sep);
            } else if (auto* figure = std::get_if<report::Figure>(&block)) {
                caption(figure->caption);
                if (!figure->plot) {
                    continue;
                }
                report::FigurePlot& plot = *figure->plot;
                const auto xq = caption(plot.xTitle);
                const auto yq = caption(plot.yTitle);
                auto convert = [&](std::vector<XYPoint>& points) {
                    for (XYPoint& p : points) {
                        if (xq) {
                            p.x = toShown(*xq, system, p.x);
                        }
                        if (yq) {
                            p.y = toShown(*yq, system, p.y);
                        }
                    }
                };
                for (PlotLine& line : plot.lines) {
                    convert(line.points);
                }
                for (auto& band : plot.bands) {
                    convert(band.lower);
                    convert(band.upper);
                }
                if (xq) {
                    for (double& m : plot.marks) {
                        m = toShown(*xq, system, m);
                    }
                }
            }
        }
    }
    return out;
}

}  // namespace kambrix
