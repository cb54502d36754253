// SPDX-License-Identifier: GPL-3.0-or-later
//
// What a designer must look at after a sprinkler chart is computed: per outlet, the
// warnings (no sprinkler, acting pressure outside the sprinkler's range, a regulator that
// gets too little pressure to regulate, no pressure left in the pipe, and, where an allowed
// variation is given, a delivered discharge too far from the ideal one), and for the whole
// computation a summary (discharges, end pressures, passes and how the inlet discharge
// settled, warning counts).
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

namespace kambrix {

// A pressure regulator needs this much more pressure at its inlet than the pressure it is
// set to before it can regulate, kPa.
inline constexpr double kRegulatorMargin_kPa = 35.0;

// Warning flags of one outlet (a bit set).
namespace warning {
inline constexpr unsigned None = 0;
inline constexpr unsigned NoSprinkler = 1u << 0;
inline constexpr unsigned LowPressure = 1u << 1;   // acting pressure below the sprinkler's pmin
inline constexpr unsigned HighPressure = 1u << 2;  // acting pressure above the sprinkler's pmax
// The span is regulated but the pressure available at the outlet is below the regulator's
// set pressure plus kRegulatorMargin_kPa: a real regulator cannot hold its pressure there.
inline constexpr unsigned StarvedRegulator = 1u << 3;
// No pressure reaches the sprinkler: the pipe pressure after friction, elevation and drop
// loss is zero or negative (the computation then works with 0).
inline constexpr unsigned NoPressure = 1u << 4;
// The sprinkler delivers more, or less, than the outlet's ideal discharge by more than the
// allowed variation (checked only where a variation is given: the workbench's).
inline constexpr unsigned DischargeOff = 1u << 5;
}  // namespace warning

// One flag of the legend.
struct WarningLegendEntry {
    unsigned flag = 0;
    std::string label;        // short text shown in the flag column
    std::string description;  // what it means, for the legend
};

// Every flag with its label and description, in the order the flag column lists them.
const std::vector<WarningLegendEntry>& warningLegend();
// The labels of the flags joined with ", " (empty for none).
std::string warningText(unsigned flags);
// The legend as one text: "label: description" lines joined with "\n".
std::string warningLegendText();

// The warnings of an outlet of a computed pivot with `mounted` as its sprinkler (which may
// differ from the outlet's own, when a row is redrawn after a choice and before the next
// computation). `span` is the outlet's span, nullptr for the end gun. With an
// `allowedVariation` (fraction), a mounted sprinkler whose `delivered` discharge (the
// outlet's computed one when not given) differs from the outlet's ideal discharge by more
// than that fraction of it, in either direction, is flagged DischargeOff.
unsigned outletWarnings(const quarvex::saida& outlet, const quarvex::tramo* span,
                        const quarvex::Aspersor* mounted,
                        std::optional<double> allowedVariation = std::nullopt,
                        std::optional<double> delivered = std::nullopt);

// One outlet of a pivot in grid order: fixed spans from the pivot point, the overhang
// (span n+1), then the end gun (-1, -1).
struct OutletRef {
    quarvex::CoordenadasSaida at;
    const quarvex::saida* outlet = nullptr;
    const quarvex::tramo* span = nullptr;  // nullptr for the end gun
};
std::vector<OutletRef> outletsInOrder(const quarvex::pivot& p);
// The span of an outlet as the grid, the printout and the lists name it: "Tower <n>" for a
// fixed span, "Over hang" for the overhang (the span after the fixed ones), "End Gun" for
// the end gun (span -1).
std::string outletSpanLabel(const quarvex::pivot& p, int numeroTramo);

// How the last computation of a working pivot ended.
enum class Settlement {
    NotComputed,  // only the ideal operation exists
    Plain,        // two successive passes agreed
    Safeguarded,  // the bracketing search on the inlet discharge settled it
    NotSettled,   // no inlet discharge settled: the results are those of the last pass
};

struct ComputationSummary {
    Settlement settlement = Settlement::NotComputed;
    int passes = 0;
    double designDischarge = 0;  // the pivot's design inlet discharge, L/s
    double inletDischarge = 0;   // inlet discharge of the last pass, L/s
    double chartDischarge = 0;   // what the mounted sprinklers draw, L/s
    // Available pressure at the last outlet of the pipe (overhang included), kPa.
    double lastOutletPressure = 0;
    bool hasEndGun = false;
    double endGunPressure = 0;        // available at the gun, kPa
    double endGunActingPressure = 0;  // with the booster, kPa
    int outlets = 0;                  // rows of the grid (end gun included)
    int sprinklers = 0;               // outlets with a sprinkler
    int distinctNozzles = 0;          // different catalogue nozzles mounted
    // Outlets carrying each warning, and outlets with any warning.
    int noSprinkler = 0;
    int outOfRange = 0;  // low or high pressure
    int starvedRegulator = 0;
    int noPressure = 0;
    int dischargeOff = 0;  // counted only when the summary is given a variation
    int withWarnings = 0;
};

// The summary of a pivot record; `settlement` and `passes` come from the caller (the
// wrapper's lastConvergence/lastIterations, or NotSettled after a failed computation).
// With an allowed variation, discharges too far from the ideal ones count as warnings.
ComputationSummary summarize(const quarvex::pivot& p, Settlement settlement, int passes,
                             std::optional<double> allowedVariation = std::nullopt);
// The summary of a computed wrapper; `settled` is false when its computation raised
// errc::ComputationDidNotConverge.
ComputationSummary summarize(const quarvex::PivotWrapper& wrapper, bool settled,
                             std::optional<double> allowedVariation = std::nullopt);

// One line for under the grid, e.g. "Inlet 58.210 L/s; chart 58.210 L/s (design 60.000 L/s);
// last outlet 215.3 kPa; end gun 210.0 kPa (260.0 kPa with the booster); 6 passes, settled;
// 3 outlets with warnings".
std::string summaryText(const ComputationSummary& s, char decimalSeparator);

// The message shown when a computation does not settle.
inline constexpr const char* kNotSettledMessage =
    "The computation did not settle on an inlet discharge: the results shown are those of its "
    "last pass and may not be accurate. Check the sprinklers, the regulators and the end-gun "
    "booster.";

}  // namespace kambrix
