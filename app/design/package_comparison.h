// SPDX-License-Identifier: GPL-3.0-or-later
//
// "Which package for this pivot": the automatic package of every catalogue model taken
// alone, with every regulator setting and end-gun booster of a list, each computed on its
// own wrapper exactly as the workbench computes its automatic package, judged by what a
// designer looks at (outlets without sprinkler, out of range, starved regulators, discharge,
// uniformity, depths, runoff, nozzle sizes) and ranked.
//
// Use: `auto base = comparisonBaseOf(workbench);
//       auto models = readCandidateModels(db.catalogue, choices);
//       auto list = comparePackages(base, models, ComparisonOptions{}, progress);`
#pragma once

#include <quarvex/quarvex.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "design/automatic_package.h"
#include "design/supply.h"

namespace kambrix {

class ChartWorkbench;

// A model of the catalogue, named by its brand (model names are not unique across brands).
struct ModelChoice {
    std::string brand;
    std::string model;
    friend bool operator==(const ModelChoice&, const ModelChoice&) = default;
};

// A model with the nozzles the workbench's model filter gives for it.
struct CandidateModel {
    ModelChoice name;
    quarvex::AspersorList nozzles;
};

// The models of a catalogue in the order their first nozzle appears, each with its nozzles
// in catalogue order.
std::vector<CandidateModel> catalogueModels(const quarvex::AspersorList& catalogue);
// The chosen models of a catalogue (all of them when `choices` is empty), each with the
// nozzles the workbench's model filter reads for it (NozzleCatalogue::nozzles). A model
// without nozzles raises errc::RecordNotFound naming it.
std::vector<CandidateModel> readCandidateModels(const std::string& catalogueConnectionString,
                                                const std::vector<ModelChoice>& choices);
// The same from a catalogue in memory (command line, benchmarks).
std::vector<CandidateModel> selectCandidateModels(const quarvex::AspersorList& catalogue,
                                                  const std::vector<ModelChoice>& choices);

// Everything the comparison takes from the design besides the options: the pivot record
// (as buildPivot makes it), the drop, the indicator inputs and the runoff check, and the
// field's surface storage.
struct ComparisonBase {
    quarvex::pivot pivot;
    // Drop, indicators and runoff check; the nozzles, regulators and booster of each
    // candidate replace those held here.
    PackageSettings settings;
    std::optional<double> surfaceStorage;  // As, mm
    // The water that feeds the pivot, for a comparison "at the operating point".
    std::optional<Supply> supply;
};

// The workbench's current design: its pivot, drop, tab values and surface storage.
ComparisonBase comparisonBaseOf(const ChartWorkbench& workbench);

// What the candidates are ranked by; each key puts the better candidate first.
enum class RankKey {
    CU,              // largest CU first
    UD,              // largest UD first
    NozzleSizes,     // fewest distinct nozzles first
    DischargeError,  // discharge drawn closest to the design discharge first
    Runoff,          // smallest runoff (depth beyond the surface storage) first
};
// "CU", "UD", "nozzleSizes", "dischargeError", "runoff".
const char* rankKeyName(RankKey key);
std::optional<RankKey> rankKeyOf(const std::string& name);
// Every key in the default order: CU, UD, nozzle sizes, discharge error, runoff.
const std::vector<RankKey>& allRankKeys();
// Whether ranking by the key needs the depths, which only a revolution time gives (CU, UD
// and runoff); without one those columns are empty and ranking on them means nothing.
bool rankNeedsRevolutionTime(RankKey key);

struct ComparisonOptions {
    // Regulator settings: none, or every span (the overhang included) regulated at one set
    // pressure, kPa.
    std::vector<std::optional<double>> regulatorPressures = {std::nullopt, 70.0, 100.0, 140.0,
                                                             170.0};
    // End-gun boosts, kPa (0 is none); used only when the pivot has an end gun.
    std::vector<double> boosts = {0.0, 100.0, 200.0};
    // Largest relative deviation of a chosen nozzle's discharge (fraction).
    double variation = 0.1;
    // Keys in order of importance; ties on the last are broken by the remaining keys in
    // their default order, then by the order the candidates were made in.
    std::vector<RankKey> rankBy = {RankKey::CU};
    // The nozzles offered to the end gun besides the model's own (a maker's spray model has
    // nothing for a gun): added to every candidate's nozzles when the pivot has a gun.
    std::optional<CandidateModel> gunModel;
    // Each candidate keeps its computed pivot (the window shows it); without, a candidate
    // keeps its chart, results and chosen nozzles, so thousands of them fit in memory.
    bool keepComputedPivots = true;
    // Threads computing candidates side by side: 0 for one per core
    // (std::thread::hardware_concurrency), 1 for the calling thread alone. The results and
    // their order do not depend on it.
    unsigned threads = 0;
    // "At the operating point": each candidate's package, chosen at the design pressure, is
    // judged where it meets the base's supply (gun and booster on) instead of at the typed
    // pressure; a candidate without an operating point is not feasible. Needs a supply with
    // a pump curve.
    bool atOperatingPoint = false;
};

// The first model with a nozzle rated for the end gun's ideal discharge, the one a
// comparison offers to the gun by default; none without end gun or such a model.
std::optional<CandidateModel> gunModelFor(const quarvex::pivot& pivot,
                                          const std::vector<CandidateModel>& models);

// The most one comparison computes, and the most entries each of its lists may hold (before
// repeats are removed): a comparison beyond them is refused before anything is computed.
inline constexpr std::size_t kMaxComparedCandidates = 5000;
inline constexpr std::size_t kMaxComparedModels = 1000;
inline constexpr std::size_t kMaxRegulatorSettings = 100;
inline constexpr std::size_t kMaxBoosts = 100;

// The options a user may give: settings and boosts finite and not negative (a regulator
// pressure above 0 and at most 1000 kPa, a boost at most 1000 kPa), a variation above 0 and
// at most 1. The message that refuses them, or none.
std::optional<std::string> checkComparisonOptions(const ComparisonOptions& options);

struct PackageCandidate {
    ModelChoice model;
    std::optional<double> regulatorPressure;  // kPa; none for no regulators
    double boost = 0;                         // kPa
    std::optional<ModelChoice> gunModel;      // the end gun's nozzles, besides the model's
    int order = 0;                            // 0-based position in the order made
    quarvex::AspersorList nozzles;            // the model's, then the gun model's
};

// The candidates in the order they are computed: models, then regulator settings, then
// boosts (the boosts only when the pivot has an end gun; otherwise each model and setting
// once, without booster). Repeats are removed first; more than kMaxComparedCandidates
// raises errc::InputTooLarge before any candidate is made.
std::vector<PackageCandidate> makeCandidates(const quarvex::pivot& pivot,
                                             const std::vector<CandidateModel>& models,
                                             const ComparisonOptions& options);

// The settings of the workbench's automatic computation for a candidate: the base's drop
// and tab values, the candidate's nozzles, regulators on every span at its pressure, its
// booster and the variation.
PackageSettings candidateSettings(const ComparisonBase& base, const PackageCandidate& candidate,
                                  double variation);

struct CandidateResults {
    bool settled = true;
    // Outlets without sprinkler, the plugged ones (the first of the indicator tab's count
    // from the pivot point, which carry none by design) left out.
    int noSprinkler = 0;
    int outOfRange = 0;
    int starvedRegulators = 0;
    double dischargePercent = 0;          // discharge drawn, % of the design discharge
    std::optional<double> UD;             // %
    std::optional<double> CU;             // %
    std::optional<double> expectedDepth;  // mm
    std::optional<double> averageDepth;   // mm
    // Depth each runoff point gets faster than the soil takes it, mm, and the part of it
    // beyond the surface storage (0 when the storage holds it); none without that point, an
    // infiltration curve or (for the runoff) a surface storage.
    std::optional<double> excess1, excess2;
    std::optional<double> runoff1, runoff2;
    int nozzleSizes = 0;
    // At the operating point: the inlet discharge (L/s) and pivot pressure (kPa) the package
    // was judged at; none when judged at the design pressure or without a point.
    std::optional<double> operatingDischarge, operatingPressure;
    // No outlet without sprinkler, none out of range, no starved regulator, and a
    // computation that settled.
    bool feasible = false;
    // Why an indicator or a runoff figure is missing.
    std::vector<std::string> problems;
};

// The chosen nozzle of every outlet with one, in grid order.
struct ChosenNozzle {
    quarvex::CoordenadasSaida at;
    std::shared_ptr<quarvex::Aspersor> nozzle;
};

struct ComparedPackage {
    PackageCandidate candidate;
    // Wrapper, chart (with its regulators and booster), summary. The wrapper and the
    // strategy are released when the comparison does not keep computed pivots.
    PackageResult package;
    CandidateResults results;
    std::vector<ChosenNozzle> nozzles;  // taken from the computed pivot
};

// The results of a computed package with the base's indicator inputs, runoff check and
// surface storage.
CandidateResults judgePackage(PackageResult& package, const ComparisonBase& base);

// Computes one candidate: computeAutomaticPackage with candidateSettings, then judgePackage.
ComparedPackage computeCandidate(const ComparisonBase& base, const PackageCandidate& candidate,
                                 double variation);
// The same with the options' variation, judged at the operating point when they ask for it.
ComparedPackage computeCandidate(const ComparisonBase& base, const PackageCandidate& candidate,
                                 const ComparisonOptions& options);

// Told of every count of candidates done (0, 1, ... in turn; done = the candidates computed
// from the first one on without a gap) and once at the end with done = total; returns false
// to stop the comparison. It is always called on the thread that called comparePackages.
using ComparisonProgress = std::function<bool(int done, int total)>;

struct ComparisonOutcome {
    std::vector<ComparedPackage> packages;  // in rank order
    bool cancelled = false;
    int total = 0;  // candidates there were to compute
};

// The threads a comparison of that many candidates uses: options.threads, or one per core
// when it is 0 (1 when the core count is unknown), never more than the candidates.
unsigned comparisonThreads(const ComparisonOptions& options, std::size_t candidates);

// Computes the candidates, then ranks what was computed. With more than one thread each
// candidate is computed on its own wrapper and strategy by whichever thread takes it next,
// in the order made; what the comparison returns is what one thread would have returned:
// a stop keeps the candidates before the count it was told (any computed beyond it are
// dropped), and an error of a candidate passes to the caller as the one-thread run would
// have met it. Options refused by checkComparisonOptions raise errc::ValueOutOfRange with
// the message.
ComparisonOutcome comparePackages(const ComparisonBase& base,
                                  const std::vector<CandidateModel>& models,
                                  const ComparisonOptions& options,
                                  const ComparisonProgress& progress = {});

// Sorts feasible candidates before the others, then by the keys (see ComparisonOptions);
// a missing value ranks after any value.
void rankPackages(std::vector<ComparedPackage>& packages, const std::vector<RankKey>& rankBy);

// The chosen nozzle of every outlet with one, in grid order.
std::vector<ChosenNozzle> chosenNozzles(const ComparedPackage& package);

}  // namespace kambrix
