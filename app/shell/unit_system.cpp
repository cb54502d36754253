// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/unit_system.h"

#include <array>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "shell/number_text.h"

namespace kambrix {
namespace {

constexpr int kSignificantDigits = 12;

struct Row {
    Quantity q;
    std::array<Unit, 3> units;  // SI, US, MetricBar
};

const std::vector<Row>& table() {
    static const std::vector<Row> rows = {
        {Quantity::Length, {{{"m", 1, 1, 2}, {"ft", kMetresPerFoot, 1, 1}, {"m", 1, 1, 2}}}},
        {Quantity::PipeDiameter,
         {{{"mm", 1, 1, 1}, {"in", kMillimetresPerInch, 1, 2}, {"mm", 1, 1, 1}}}},
        {Quantity::OutletSpacing,
         {{{"cm", 1, 1, 1}, {"in", kMillimetresPerInch, 10, 1}, {"cm", 1, 1, 1}}}},
        {Quantity::Discharge,
         {{{"L/s", 1, 1, 2}, {"gpm", kLitresPerUsGallon, 60, 1}, {"m\u00b3/h", 1, 3.6, 1}}}},
        {Quantity::Pressure,
         {{{"kPa", 1, 1, 1}, {"psi", kKiloPascalPerPsiExact, 1, 1}, {"bar", 100, 1, 2}}}},
        {Quantity::Depth, {{{"mm", 1, 1, 2}, {"in", kMillimetresPerInch, 1, 2}, {"mm", 1, 1, 2}}}},
        {Quantity::Rate,
         {{{"mm/h", 1, 1, 1}, {"in/h", kMillimetresPerInch, 1, 2}, {"mm/h", 1, 1, 1}}}},
        {Quantity::Area, {{{"ha", 1, 1, 2}, {"acre", kHectaresPerAcre, 1, 1}, {"ha", 1, 1, 2}}}},
        {Quantity::DischargePerArea,
         {{{"L/s/ha", 1, 1, 2},
           {"gpm/acre", kLitresPerUsGallon, 60 * kHectaresPerAcre, 2},
           {"m\u00b3/h/ha", 1, 3.6, 2}}}},
        {Quantity::DailyDepth,
         {{{"mm/day", 1, 1, 2}, {"in/day", kMillimetresPerInch, 1, 3}, {"mm/day", 1, 1, 2}}}},
        {Quantity::CanVolume, {{{"ml", 1, 1, 1}, {"ml", 1, 1, 1}, {"ml", 1, 1, 1}}}},
        {Quantity::CanDiameter,
         {{{"cm", 1, 1, 1}, {"in", kMillimetresPerInch, 10, 2}, {"cm", 1, 1, 1}}}},
    };
    return rows;
}

std::size_t indexOf(UnitSystem s) {
    return static_cast<std::size_t>(s);
}

// The value to 12 significant digits: the product's last-bit error never shows.
double rounded(double v) {
    if (!std::isfinite(v) || v == 0) {
        return v;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", kSignificantDigits, v);
    return std::strtod(text, nullptr);
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

namespace {
std::atomic<UnitSystem> gShownUnits{UnitSystem::SI};
}  // namespace

UnitSystem shownUnits() {
    return gShownUnits.load();
}

void setShownUnits(UnitSystem system) {
    gShownUnits.store(system);
}

const Unit& unitOf(Quantity q, UnitSystem system) {
    for (const Row& r : table()) {
        if (r.q == q) {
            return r.units[indexOf(system)];
        }
    }
    return table().front().units[indexOf(system)];  // every quantity has its row
}

std::string_view unitSystemKey(UnitSystem system) {
    switch (system) {
        case UnitSystem::US:
            return "us";
        case UnitSystem::MetricBar:
            return "metric-bar";
        case UnitSystem::SI:
            break;
    }
    return "si";
}

std::optional<UnitSystem> parseUnitSystem(std::string_view key) {
    for (UnitSystem s : unitSystems()) {
        if (lower(key) == unitSystemKey(s)) {
            return s;
        }
    }
    return std::nullopt;
}

std::string_view unitSystemName(UnitSystem system) {
    switch (system) {
        case UnitSystem::US:
            return "US customary";
        case UnitSystem::MetricBar:
            return "Metric, bar and m\u00b3/h";
        case UnitSystem::SI:
            break;
    }
    return "SI (as stored)";
}

const std::vector<UnitSystem>& unitSystems() {
    static const std::vector<UnitSystem> all = {UnitSystem::SI, UnitSystem::US,
                                                UnitSystem::MetricBar};
    return all;
}

double toShown(Quantity q, UnitSystem system, double stored) {
    const Unit& u = unitOf(q, system);
    return u.isStored() ? stored : rounded(stored * u.den / u.num);
}

double toStored(Quantity q, UnitSystem system, double shown) {
    const Unit& u = unitOf(q, system);
    return u.isStored() ? shown : shown * u.num / u.den;
}

std::string shownNumber(Quantity q, UnitSystem system, double stored, char sep) {
    return formatDecimals(toShown(q, system, stored), unitOf(q, system).decimals, sep);
}

std::string shownWithUnit(Quantity q, UnitSystem system, double stored, char sep) {
    return shownNumber(q, system, stored, sep) + " " + unitOf(q, system).symbol;
}

NumberRange shownRange(const NumberRange& stored, double shownMin, double shownMax,
                       std::string_view unit) {
    NumberRange r = stored;
    r.unit = unit;
    // The ends rounded inwards to five significant digits: the message states them short
    // ("from 0 to 290.07 psi") and whatever it lets in lies inside the stored range.
    auto inward = [](double v, bool up) {
        if (!std::isfinite(v) || v == 0) {
            return v;
        }
        const double step = std::pow(10.0, std::floor(std::log10(std::fabs(v))) - 4);
        const double n = up ? std::ceil(v / step) : std::floor(v / step);
        return rounded(n * step);
    };
    r.min = inward(shownMin, true);
    r.max = inward(shownMax, false);
    r.integer = false;  // a whole number of one unit is not one of another
    return r;
}

NumberRange shownRange(Quantity q, UnitSystem system, const NumberRange& stored) {
    const Unit& u = unitOf(q, system);
    if (u.isStored()) {
        NumberRange r = stored;
        r.unit = u.symbol;
        return r;
    }
    return shownRange(stored, toShown(q, system, stored.min), toShown(q, system, stored.max),
                      u.symbol);
}

double nozzleCoefficientToShown(UnitSystem system, double aStored, double b) {
    // q_s·Kq = a_s·Kq·p_s^b, p_s = p_shown / Kp: a_shown = a_s·Kq / Kp^b.
    const double kq = unitOf(Quantity::Discharge, system).perStored();
    const double kp = unitOf(Quantity::Pressure, system).perStored();
    return aStored * kq / std::pow(kp, b);
}

double nozzleCoefficientToStored(UnitSystem system, double aShown, double b) {
    const double kq = unitOf(Quantity::Discharge, system).perStored();
    const double kp = unitOf(Quantity::Pressure, system).perStored();
    return aShown * std::pow(kp, b) / kq;
}

std::optional<UnitSystem> headingSystem(std::string_view heading, Quantity q) {
    // The last word: after the last space, underscore or opening parenthesis.
    std::string h = lower(heading);
    while (!h.empty() && (h.back() == ')' || h.back() == ' ' || h.back() == ']')) {
        h.pop_back();
    }
    const auto cut = h.find_last_of(" _([");
    const std::string word = cut == std::string::npos ? h : h.substr(cut + 1);
    if (word.empty()) {
        return std::nullopt;
    }
    // "m³/h" and "m3/h" are one unit.
    auto plain = [](std::string a) {
        const std::string cube = "\u00b3";
        for (auto at = a.find(cube); at != std::string::npos; at = a.find(cube)) {
            a.replace(at, cube.size(), "3");
        }
        return a;
    };
    for (UnitSystem s : {UnitSystem::US, UnitSystem::MetricBar, UnitSystem::SI}) {
        if (plain(lower(unitOf(q, s).symbol)) == plain(word)) {
            // A unit both metric systems share is SI's.
            return (s == UnitSystem::MetricBar &&
                    unitOf(q, UnitSystem::SI).symbol == unitOf(q, s).symbol)
                       ? UnitSystem::SI
                       : s;
        }
    }
    return std::nullopt;
}

}  // namespace kambrix
