// SPDX-License-Identifier: GPL-3.0-or-later
//
// The logic behind the hydraulic design screen: the pivot built from a project, its ideal
// operation, the rows the screen shows, the speed box and the checks of the input boxes.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/number_input.h"
#include "shell/projectos.h"

namespace kambrix {

// The pivot is limited to this many fixed spans.
inline constexpr int kMaxSpans = 11;
inline constexpr const char* kSpanLimitMessage = "The pivot is limited to 11 spans";
// Number of speed settings of the speed box (10 %, 20 %, ... 100 %).
inline constexpr int kSpeedSettings = 10;

// The fixed spans of the project (the overhang, when fitted, is its last span).
int fixedSpanCount(const Projecto& project);

// Every span of the project (overhang included) was chosen: it has its outlets.
bool allSpansDefined(const Projecto& project);

// The pivot record of the project: discharge, pressure, elevation, roughness of the pipe
// material, fixed spans placed on their end elevations, the overhang and the end gun.
quarvex::pivot buildPivot(const Projecto& project);

// The pivot after its ideal operation (PivotWrapper::computeIdealOperationMode).
// Callers check Pivots::isComplete first.
quarvex::pivot computeIdeal(const quarvex::pivot& machine);

// One outlet of the ideal results; the end gun has span and outlet -1.
struct IdealOutletRow {
    int span = 0;
    int outlet = 0;
    double distance = 0;   // m from the pivot point
    double elevation = 0;  // m
    double caudal = 0;     // ideal discharge, L/s
    double pressao = 0;    // ideal pressure, kPa
};

// One span of the ideal results (the overhang is span n+1).
struct IdealSpanRow {
    int span = 0;
    std::string denominacion;
    quarvex::ParPressaoCaudal entry;  // kPa, L/s
    quarvex::ParPressaoCaudal exit;
    double frictionLoss = 0;  // kPa
};

std::vector<IdealOutletRow> idealOutletRows(const quarvex::pivot& computed);
std::vector<IdealSpanRow> idealSpanRows(const quarvex::pivot& computed);

// A point of the radius profile: ground elevation (m) and ideal pressure (kPa) at a
// distance (m) from the pivot point. Starts at the pivot point.
struct ProfilePoint {
    double distance = 0;
    double elevation = 0;
    double pressao = 0;
};
std::vector<ProfilePoint> radiusProfile(const quarvex::pivot& computed);

// The speed box for `tempoH100` hours per revolution at full speed: setting i (1..10) runs
// at 10·i % of full speed; its revolution time is tempoH100 × 100 / percentage (h), the
// linear speed of the last tower (at the end of the last fixed span) 2π·r / time (m/min),
// and the gross depth per revolution Q × 3600 × time / (π R²) (mm), with Q the design
// discharge (L/s) and R the irrigated radius (m). A time of 0 or less leaves the settings
// at 0.
quarvex::caixaVelocidades speedBox(quarvex::pivot& machine, double tempoH100);

// The irrigated circle is larger than the field (field area in ha).
bool fieldSmallerThanIrrigated(double areaHa, const quarvex::pivot& machine);

// The message before the sprinkler-chart workbench when the pivot is incomplete.
std::string incompletePivotMessage();

// What the design screen's boxes hold. A blank box is "not given" (no value), never 0.
struct SpanInput {
    bool chosen = false;                 // a reference span was chosen
    double length = 0;                   // m, of the chosen reference span
    std::optional<double> endElevation;  // m
};

struct PivotInputs {
    std::optional<double> discharge;  // L/s
    std::optional<double> pressure;   // kPa
    std::optional<double> elevation;  // m, ground at the pivot point
    bool pipeMaterial = false;        // a material with its roughness was chosen
    int spanCount = 0;                // fixed spans asked for
    std::vector<SpanInput> spans;     // at least spanCount entries
    bool overhang = false;
    bool overhangChosen = false;
    bool endGun = false;
    std::optional<double> gunRadius;  // m
};

// The inputs a computation lacks, in the user's terms and in the order of the screen
// ("the design discharge", "the end elevation of span 3", "the wetted radius of the end
// gun", ...). Empty when the pivot can be computed.
std::vector<std::string> missingPivotInputs(const PivotInputs& inputs);
// The spans whose end elevation lies farther from the one before than the span is long (the
// span cannot be placed), by number.
std::vector<int> unplaceableSpans(const PivotInputs& inputs);
// Compute's message for what is missing or cannot be placed; empty when nothing is wrong:
// "The information for the pivot is incomplete. It must be given the design discharge, the
// pipe material and the end elevation of span 3".
std::string pivotInputsMessage(const PivotInputs& inputs);
// The spans a save refuses, as "span 2 (no reference span)", "span 3 (no end elevation)",
// "the overhang (no reference span)".
std::vector<std::string> incompleteSpans(const PivotInputs& inputs);
// The save's message when spans are incomplete: the message of undefined spans followed by
// the spans it means.
std::string undefinedSpansMessage(const std::vector<std::string>& spans);
inline constexpr const char* kUndefinedSpansMessage =
    "There are undefined spans. To save the system all the spans should be complete";

}  // namespace kambrix
