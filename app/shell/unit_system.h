// SPDX-License-Identifier: GPL-3.0-or-later
//
// The units a designer reads and types: the SI units the program stores ("SI (as stored)"),
// US customary units, or metric with pressures in bar and discharges in m³/h. Every number
// the program stores and computes stays in the stored units; a unit system only converts at
// the edges (boxes, grids, plots, printouts, files, the command line's output), by exact
// products by the constants below.
//
// A value typed in a unit and shown back in that unit is the value typed: a converted value
// is rounded to 12 significant digits, far finer than any number a designer types, so the
// last-bit error of the product never shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/number_input.h"

namespace kambrix {

enum class UnitSystem { SI, US, MetricBar };

// What a number is, for its unit.
enum class Quantity {
    Length,            // lengths, distances, elevations, wetted radii, drop length: m
    PipeDiameter,      // pipe and drop inside diameters: mm
    OutletSpacing,     // cm
    Discharge,         // L/s
    Pressure,          // pressures, boosts, regulator settings, head losses: kPa
    Depth,             // water depths, surface storage: mm
    Rate,              // application rate, infiltration k: mm/h
    Area,              // ha
    DischargePerArea,  // continuous discharge per area: L/s/ha
    DailyDepth,        // evapotranspiration, gross irrigation requirement: mm/day
    CanVolume,         // ml in every system
    CanDiameter,       // cm
};

// One US gallon, one psi, one acre, one foot and one inch, exactly.
inline constexpr double kLitresPerUsGallon = 3.785411784;
inline constexpr double kKiloPascalPerPsiExact = 6.894757293168;
inline constexpr double kHectaresPerAcre = 0.40468564224;
inline constexpr double kMetresPerFoot = 0.3048;
inline constexpr double kMillimetresPerInch = 25.4;

// One shown unit is `num` / `den` stored units (1 psi = 6.894757293168 / 1 kPa, 1 gpm =
// 3.785411784 / 60 L/s, 1 m³/h = 1 / 3.6 L/s), both factors exact as the definitions give them.
struct Unit {
    std::string symbol;  // "psi", "gpm", "ft", "in", "m³/h", ...
    double num = 1;
    double den = 1;
    int decimals = 2;  // the precision a value is shown with

    bool isStored() const { return num == 1 && den == 1; }
    double perStored() const { return den / num; }  // shown units per stored unit
};

// The units the program shows where an edge draws without being told (the windows' boxes,
// grids and charts, the printed reports): the program sets them from the user's choice, the
// command line from its --units option. SI until set.
UnitSystem shownUnits();
void setShownUnits(UnitSystem system);

// The unit of a quantity in a system.
const Unit& unitOf(Quantity q, UnitSystem system);

// "si", "us", "metric-bar" (the command line's words) and back; none for another word.
std::string_view unitSystemKey(UnitSystem system);
std::optional<UnitSystem> parseUnitSystem(std::string_view key);
// "SI (as stored)", "US customary", "Metric, bar and m³/h".
std::string_view unitSystemName(UnitSystem system);
const std::vector<UnitSystem>& unitSystems();

// A stored value in the system's unit, and a value in the system's unit as stored. Values
// that are not finite pass unchanged.
double toShown(Quantity q, UnitSystem system, double stored);
double toStored(Quantity q, UnitSystem system, double shown);

// The stored value in the system's unit with the unit's decimals ("50.0"), without symbol.
std::string shownNumber(Quantity q, UnitSystem system, double stored, char decimalSeparator);
// The same followed by the symbol ("50.0 psi").
std::string shownWithUnit(Quantity q, UnitSystem system, double stored, char decimalSeparator);

// A box's range (given in stored units) in the system's unit, for the check of a typed text
// and its message ("between 0 and 290.1 psi").
NumberRange shownRange(Quantity q, UnitSystem system, const NumberRange& stored);
// The same for a number converted by a rule of its own (a nozzle's coefficient a): the ends
// `shownMin` and `shownMax` (the stored ends converted) rounded inwards, with `unit`.
NumberRange shownRange(const NumberRange& stored, double shownMin, double shownMax,
                       std::string_view unit);

// The coefficient a of a nozzle's q = a·pᵇ, with q and p in the system's units.
double nozzleCoefficientToShown(UnitSystem system, double aStored, double b);
double nozzleCoefficientToStored(UnitSystem system, double aShown, double b);

// The system whose unit of `q` a column heading names ("pressure_psi", "Q (gpm)", "Distance
// ft", "depth_in"): its last word, compared without case ("kpa" is kPa, "m3/h" is m³/h); none
// when the heading names no unit of that quantity (the user's system is then meant).
std::optional<UnitSystem> headingSystem(std::string_view heading, Quantity q);

}  // namespace kambrix
