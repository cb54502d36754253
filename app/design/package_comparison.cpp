// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/package_comparison.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "design/chart_workbench.h"
#include "design/nozzle_filter.h"
#include "evaluation/indicators.h"
#include "evaluation/runoff.h"
#include "shell/errors.h"
#include "shell/text.h"

namespace kambrix {
namespace {

constexpr double kPercent = 100;
constexpr double kMaxSetPressure_kPa = 1000;  // as the regulators tab accepts
constexpr double kMaxBoost_kPa = 1000;

bool hasData(const quarvex::PivotSample& s) {
    return s.distanceToCenter > 0 && s.wetDiameter > 0;
}

std::string modelText(const ModelChoice& m) {
    return "the model " + shortPrintable(m.model) + " of " + shortPrintable(m.brand);
}

// Keys that tell repeats apart, for removal in linear time.
std::string repeatKey(const ModelChoice& m) {
    std::string key = m.brand;
    key += '\0';
    key += m.model;
    return key;
}
std::string repeatKey(double v) {
    v = v == 0 ? 0.0 : v;  // -0 repeats 0
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}
std::string repeatKey(const std::optional<double>& v) {
    return v ? "v" + repeatKey(*v) : std::string("none");
}
std::string repeatKey(RankKey k) {
    return std::to_string(static_cast<int>(k));
}

// The values in their first order without repeats.
template <class T>
std::vector<T> withoutRepeats(const std::vector<T>& values) {
    std::vector<T> out;
    std::unordered_set<std::string> seen;
    seen.reserve(values.size());
    for (const auto& v : values) {
        if (seen.insert(repeatKey(v)).second) {
            out.push_back(v);
        }
    }
    return out;
}

// The measure of a key for one candidate, oriented so that smaller is better; none when the
// candidate has no value for it.
std::optional<double> measure(const CandidateResults& r, RankKey key) {
    const auto sum = [](std::optional<double> a, std::optional<double> b) -> std::optional<double> {
        if (!a && !b) {
            return std::nullopt;
        }
        return a.value_or(0) + b.value_or(0);
    };
    switch (key) {
        case RankKey::CU:
            return r.CU ? std::optional<double>(-*r.CU) : std::nullopt;
        case RankKey::UD:
            return r.UD ? std::optional<double>(-*r.UD) : std::nullopt;
        case RankKey::NozzleSizes:
            return static_cast<double>(r.nozzleSizes);
        case RankKey::DischargeError: {
            const double e = std::abs(r.dischargePercent - kPercent);
            return std::isfinite(e) ? std::optional<double>(e) : std::nullopt;
        }
        case RankKey::Runoff:
            // Beyond the surface storage when it is known, otherwise the excess itself.
            if (r.runoff1 || r.runoff2) {
                return sum(r.runoff1, r.runoff2);
            }
            return sum(r.excess1, r.excess2);
    }
    return std::nullopt;
}

// -1 when a ranks before b, 1 after, 0 for a tie.
int compareBy(const CandidateResults& a, const CandidateResults& b, RankKey key) {
    const auto x = measure(a, key);
    const auto y = measure(b, key);
    if (x && y) {
        return *x < *y ? -1 : (*y < *x ? 1 : 0);
    }
    if (x || y) {
        return x ? -1 : 1;
    }
    return 0;
}

}  // namespace

// ---- models -----------------------------------------------------------------------------

std::vector<CandidateModel> catalogueModels(const quarvex::AspersorList& catalogue) {
    std::vector<CandidateModel> models;
    std::unordered_map<std::string, std::size_t> index;
    catalogue.ForEach([&](const std::shared_ptr<quarvex::Aspersor>& a) {
        const ModelChoice name{a->marca().nome, a->modelo().nome};
        const auto [it, added] = index.try_emplace(repeatKey(name), models.size());
        if (added) {
            models.push_back({name, {}});
        }
        models[it->second].nozzles.Add(a);
    });
    return models;
}

std::vector<CandidateModel> selectCandidateModels(const quarvex::AspersorList& catalogue,
                                                  const std::vector<ModelChoice>& choices) {
    auto all = catalogueModels(catalogue);
    if (choices.empty()) {
        return all;
    }
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < all.size(); ++i) {
        index.emplace(repeatKey(all[i].name), i);
    }
    std::vector<CandidateModel> chosen;
    for (const auto& c : withoutRepeats(choices)) {
        const auto it = index.find(repeatKey(c));
        if (it == index.end()) {
            raiseError(errc::RecordNotFound, "The catalogue has no nozzles of " + modelText(c) +
                                                 ": it cannot be compared");
        }
        chosen.push_back(all[it->second]);
    }
    return chosen;
}

std::vector<CandidateModel> readCandidateModels(const std::string& catalogueConnectionString,
                                                const std::vector<ModelChoice>& choices) {
    std::vector<ModelChoice> names = withoutRepeats(choices);
    const bool everything = names.empty();
    if (everything) {
        quarvex::statics()
            .Aspersores()
            .ModelosAll(catalogueConnectionString)
            .ForEach([&](const quarvex::modelo& m) {
                names.push_back(ModelChoice{m.marca.nome, m.nome});
            });
        names = withoutRepeats(names);
    }
    const NozzleCatalogue catalogue(catalogueConnectionString);
    std::vector<CandidateModel> models;
    for (const auto& c : names) {
        NozzleFilter filter;
        filter.kind = NozzleFilter::Kind::Model;
        filter.brand = c.brand;
        filter.model = c.model;
        CandidateModel m{c, catalogue.nozzles(filter)};
        if (m.nozzles.Count() == 0) {
            if (everything) {
                continue;  // a model without nozzles is no package
            }
            raiseError(errc::RecordNotFound, "The catalogue has no nozzles of " + modelText(c) +
                                                 ": it cannot be compared");
        }
        models.push_back(std::move(m));
    }
    return models;
}

ComparisonBase comparisonBaseOf(const ChartWorkbench& workbench) {
    ComparisonBase base;
    base.pivot = workbench.projectPivot();
    base.settings = workbench.packageSettings();
    base.surfaceStorage = workbench.surfaceStorage();
    return base;
}

// ---- options and candidates -------------------------------------------------------------

bool rankNeedsRevolutionTime(RankKey key) {
    return key == RankKey::CU || key == RankKey::UD || key == RankKey::Runoff;
}

const char* rankKeyName(RankKey key) {
    switch (key) {
        case RankKey::CU:
            return "CU";
        case RankKey::UD:
            return "UD";
        case RankKey::NozzleSizes:
            return "nozzleSizes";
        case RankKey::DischargeError:
            return "dischargeError";
        case RankKey::Runoff:
            return "runoff";
    }
    return "";
}

std::optional<RankKey> rankKeyOf(const std::string& name) {
    for (RankKey k : allRankKeys()) {
        if (name == rankKeyName(k)) {
            return k;
        }
    }
    return std::nullopt;
}

const std::vector<RankKey>& allRankKeys() {
    static const std::vector<RankKey> keys = {RankKey::CU, RankKey::UD, RankKey::NozzleSizes,
                                              RankKey::DischargeError, RankKey::Runoff};
    return keys;
}

std::optional<std::string> checkComparisonOptions(const ComparisonOptions& o) {
    for (const auto& p : o.regulatorPressures) {
        if (p && !(std::isfinite(*p) && *p > 0 && *p <= kMaxSetPressure_kPa)) {
            return std::string(
                "A regulator pressure must be a number greater than 0 and up to 1000 kPa");
        }
    }
    for (double b : o.boosts) {
        if (!(std::isfinite(b) && b >= 0 && b <= kMaxBoost_kPa)) {
            return std::string("An end-gun boost must be a number from 0 to 1000 kPa");
        }
    }
    if (!(std::isfinite(o.variation) && o.variation > 0 && o.variation <= 1)) {
        return std::string("The allowed discharge variation must be greater than 0 and up to 100%");
    }
    return std::nullopt;
}

std::vector<PackageCandidate> makeCandidates(const quarvex::pivot& pivot,
                                             const std::vector<CandidateModel>& models,
                                             const ComparisonOptions& options) {
    auto settings = withoutRepeats(options.regulatorPressures);
    if (settings.empty()) {
        settings.push_back(std::nullopt);
    }
    auto boosts = pivot.p_has_end_gun ? withoutRepeats(options.boosts) : std::vector<double>{};
    if (boosts.empty()) {
        boosts.push_back(0);
    }
    const std::size_t count = models.size() * settings.size() * boosts.size();
    if (count > kMaxComparedCandidates) {
        raiseError(errc::InputTooLarge,
                   "The comparison would compute " + std::to_string(count) + " packages; at most " +
                       std::to_string(kMaxComparedCandidates) +
                       " are compared at once: choose fewer models, regulator settings or boosts");
    }
    const bool gun = pivot.p_has_end_gun && options.gunModel;
    std::vector<PackageCandidate> out;
    out.reserve(models.size() * settings.size() * boosts.size());
    for (const auto& m : models) {
        quarvex::AspersorList nozzles = m.nozzles;
        if (gun && !(options.gunModel->name == m.name)) {
            options.gunModel->nozzles.ForEach(
                [&](const std::shared_ptr<quarvex::Aspersor>& a) { nozzles.Add(a); });
        }
        for (const auto& p : settings) {
            for (double b : boosts) {
                PackageCandidate c;
                c.model = m.name;
                c.regulatorPressure = p;
                c.boost = b;
                if (gun) {
                    c.gunModel = options.gunModel->name;
                }
                c.order = static_cast<int>(out.size());
                c.nozzles = nozzles;
                out.push_back(std::move(c));
            }
        }
    }
    return out;
}

PackageSettings candidateSettings(const ComparisonBase& base, const PackageCandidate& candidate,
                                  double variation) {
    auto& st = quarvex::statics();
    PackageSettings s = base.settings;
    s.nozzles = candidate.nozzles;
    s.variation = variation;
    // As the regulators tab makes them: installed, no discharge range.
    s.regulators = std::make_shared<quarvex::Reguladores>();
    if (candidate.regulatorPressure) {
        const int spans = base.pivot.Tramos.Length() + (base.pivot.p_has_overhang ? 1 : 0);
        for (int t = 1; t <= spans; ++t) {
            s.regulators->Add(st.newReguladorPression(t, *candidate.regulatorPressure, 0, 0, true));
        }
    }
    s.endGunBoost = base.pivot.p_has_end_gun ? candidate.boost : 0.0;
    return s;
}

std::optional<CandidateModel> gunModelFor(const quarvex::pivot& pivot,
                                          const std::vector<CandidateModel>& models) {
    if (!pivot.p_has_end_gun) {
        return std::nullopt;
    }
    auto wrapper = quarvex::statics().newPivotWrapper(pivot, nullptr);
    wrapper->computeIdealOperationMode();
    const double q = wrapper->idealEndGunDischarge();
    for (const auto& m : models) {
        bool serves = false;
        m.nozzles.ForEach([&](const std::shared_ptr<quarvex::Aspersor>& a) {
            serves = serves || (a->qmin() <= q && q <= a->qmax());
        });
        if (serves) {
            return m;
        }
    }
    return std::nullopt;
}

// ---- results ----------------------------------------------------------------------------

CandidateResults judgePackage(PackageResult& package, const ComparisonBase& base) {
    CandidateResults r;
    const ComputationSummary& s = package.summary;
    r.settled = package.settled;
    const quarvex::indicadores& ind = base.settings.indicadores;
    int position = 0;
    for (const auto& ref : outletsInOrder(package.wrapper->pivot())) {
        if (++position > ind.numeroSaidasObturadas && !ref.outlet->obj_aspersor) {
            ++r.noSprinkler;
        }
    }
    r.outOfRange = s.outOfRange;
    r.starvedRegulators = s.starvedRegulator;
    r.dischargePercent = s.designDischarge > 0 ? kPercent * s.chartDischarge / s.designDischarge
                                               : std::numeric_limits<double>::quiet_NaN();
    r.nozzleSizes = s.distinctNozzles;
    r.feasible = r.settled && r.noSprinkler == 0 && r.outOfRange == 0 && r.starvedRegulators == 0;

    auto& wrapper = *package.wrapper;
    const double hours = ind.horasRevolucao;
    if (hours > 0 && std::isfinite(hours)) {
        try {
            const IndicatorResults ir =
                computeIndicators(wrapper, hours, ind.numeroSaidasObturadas);
            if (ir.UD) {
                r.UD = kPercent * *ir.UD;
            }
            if (ir.CU) {
                r.CU = kPercent * *ir.CU;
            }
            r.expectedDepth = ir.expectedDepth;
            r.averageDepth = ir.averageDepth;
            r.problems.insert(r.problems.end(), ir.problems.begin(), ir.problems.end());
        } catch (const quarvex::Error& e) {
            r.problems.push_back(std::string("UD and CU cannot be computed: ") + e.what());
        }
    } else {
        r.problems.push_back(std::string("UD, CU and the depths need ") + kRevolutionHoursItem);
    }

    const quarvex::PluviometryCheck& check = base.settings.pluviometria;
    if (hasData(check.firstSample) || hasData(check.secondSample)) {
        if (hours > 0 && std::isfinite(hours)) {
            wrapper.setTimeForCompleteRevolution(hours);
        }
        try {
            const RunoffResult rr = computeRunoff(wrapper, check, hours);
            if (rr.failure) {
                r.problems.push_back(*rr.failure);
            }
            r.problems.insert(r.problems.end(), rr.problems.begin(), rr.problems.end());
            r.excess1 = rr.area1;
            r.excess2 = rr.area2;
            if (base.surfaceStorage) {
                const double As = *base.surfaceStorage;
                if (rr.area1) {
                    r.runoff1 = std::max(0.0, *rr.area1 - As);
                }
                if (rr.area2) {
                    r.runoff2 = std::max(0.0, *rr.area2 - As);
                }
            }
        } catch (const quarvex::Error& e) {
            r.problems.push_back(std::string("The runoff cannot be computed: ") + e.what());
        } catch (const zarede::Error& e) {
            r.problems.push_back(std::string("The runoff cannot be computed: ") + e.what());
        }
    }
    return r;
}

ComparedPackage computeCandidate(const ComparisonBase& base, const PackageCandidate& candidate,
                                 double variation) {
    ComparedPackage out;
    out.candidate = candidate;
    out.package =
        computeAutomaticPackage(base.pivot, candidateSettings(base, candidate, variation));
    out.results = judgePackage(out.package, base);
    for (const auto& ref : outletsInOrder(out.package.wrapper->pivot())) {
        if (ref.outlet->obj_aspersor) {
            out.nozzles.push_back({ref.at, ref.outlet->obj_aspersor});
        }
    }
    return out;
}

ComparedPackage computeCandidate(const ComparisonBase& base, const PackageCandidate& candidate,
                                 const ComparisonOptions& options) {
    if (!options.atOperatingPoint || !base.supply || base.supply->pump.empty()) {
        return computeCandidate(base, candidate, options.variation);
    }
    ComparedPackage out;
    out.candidate = candidate;
    const PackageSettings settings = candidateSettings(base, candidate, options.variation);
    out.package = computeAutomaticPackage(base.pivot, settings);
    const ChartSetup setup{base.pivot, out.package.chart, settings};
    const OperatingPoint op = operatingPointOf(setup, *base.supply);
    std::shared_ptr<quarvex::PivotWrapper> atPoint;
    if (op.found) {
        try {
            atPoint = computeChartAt(setup, op.presion,
                                     MachineState{true, true, base.supply->nozzleWear});
        } catch (const quarvex::Error& e) {
            if (e.number() != quarvex::errc::ComputationDidNotConverge) {
                throw;
            }
        }
    }
    if (atPoint) {
        out.package.wrapper = atPoint;
        out.package.summary = summarize(*atPoint, true);
        out.results = judgePackage(out.package, base);
        out.results.operatingDischarge = op.caudal;
        out.results.operatingPressure = op.presion;
    } else {
        out.results = judgePackage(out.package, base);
        out.results.feasible = false;
        out.results.problems.insert(
            out.results.problems.begin(),
            op.found ? std::string("The package's computation does not settle at its operating "
                                   "point")
                     : op.reason);
    }
    for (const auto& ref : outletsInOrder(out.package.wrapper->pivot())) {
        if (ref.outlet->obj_aspersor) {
            out.nozzles.push_back({ref.at, ref.outlet->obj_aspersor});
        }
    }
    return out;
}

// ---- comparison and ranking -------------------------------------------------------------

namespace {

ComparedPackage computeAsKept(const ComparisonBase& base, const PackageCandidate& candidate,
                              const ComparisonOptions& options) {
    ComparedPackage p = computeCandidate(base, candidate, options);
    if (!options.keepComputedPivots) {
        p.package.wrapper.reset();
        p.package.strategy.reset();
    }
    return p;
}

// The candidates in turn on the calling thread; true when the progress stopped it.
bool computeInTurn(const ComparisonBase& base, const std::vector<PackageCandidate>& candidates,
                   const ComparisonOptions& options, const ComparisonProgress& progress,
                   std::vector<ComparedPackage>& packages) {
    const int total = static_cast<int>(candidates.size());
    for (const auto& c : candidates) {
        if (progress && !progress(static_cast<int>(packages.size()), total)) {
            return true;
        }
        packages.push_back(computeAsKept(base, c, options));
    }
    return false;
}

// The candidates on `threads` threads, each taking the next candidate not yet taken and
// computing it on its own wrapper and strategy; each result goes to the candidate's own
// slot. The calling thread tells the progress of the candidates done without a gap from the
// first, so a stop, and an error, fall where they fall on one thread. True when the progress
// stopped it.
bool computeSideBySide(const ComparisonBase& base, const std::vector<PackageCandidate>& candidates,
                       const ComparisonOptions& options, const ComparisonProgress& progress,
                       unsigned threads, std::vector<ComparedPackage>& packages) {
    const std::size_t total = candidates.size();
    const int totalCount = static_cast<int>(total);
    if (progress && !progress(0, totalCount)) {
        return true;
    }
    std::vector<std::optional<ComparedPackage>> computed(total);
    std::vector<std::exception_ptr> errors(total);
    std::vector<char> finished(total, 0);  // guarded by `lock`
    std::mutex lock;
    std::condition_variable oneFinished;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> firstError{total};
    std::atomic<bool> stop{false};

    const auto work = [&] {
        while (!stop.load()) {
            const std::size_t i = next.fetch_add(1);
            if (i >= total || i > firstError.load()) {
                return;  // nothing left, or only candidates after one that failed
            }
            try {
                computed[i] = computeAsKept(base, candidates[i], options);
            } catch (...) {
                errors[i] = std::current_exception();
                std::size_t seen = firstError.load();
                while (i < seen && !firstError.compare_exchange_weak(seen, i)) {
                }
            }
            {
                const std::lock_guard<std::mutex> guard(lock);
                finished[i] = 1;
            }
            oneFinished.notify_one();
        }
    };

    std::size_t done = 0;
    bool stopped = false;
    std::exception_ptr failure;
    {
        std::vector<std::jthread> pool;
        // Whatever way this block is left, the threads are told to stop and joined.
        struct Join {
            std::atomic<bool>& stop;
            std::vector<std::jthread>& pool;
            ~Join() {
                stop.store(true);
                pool.clear();
            }
        } join{stop, pool};
        pool.reserve(threads);
        for (unsigned t = 0; t < threads; ++t) {
            pool.emplace_back(work);
        }
        std::unique_lock<std::mutex> held(lock);
        while (done < total) {
            oneFinished.wait(held, [&] { return finished[done] != 0; });
            if (errors[done]) {
                failure = errors[done];
                break;
            }
            ++done;
            if (done < total && progress) {
                held.unlock();
                const bool goOn = progress(static_cast<int>(done), totalCount);
                held.lock();
                if (!goOn) {
                    stopped = true;
                    break;
                }
            }
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    packages.reserve(done);
    for (std::size_t i = 0; i < done; ++i) {
        packages.push_back(std::move(*computed[i]));
    }
    return stopped;
}

}  // namespace

unsigned comparisonThreads(const ComparisonOptions& options, std::size_t candidates) {
    unsigned n = options.threads;
    if (n == 0) {
        n = std::max(1u, std::thread::hardware_concurrency());
    }
    return static_cast<unsigned>(std::max<std::size_t>(1, std::min<std::size_t>(n, candidates)));
}

ComparisonOutcome comparePackages(const ComparisonBase& base,
                                  const std::vector<CandidateModel>& models,
                                  const ComparisonOptions& options,
                                  const ComparisonProgress& progress) {
    if (const auto refused = checkComparisonOptions(options)) {
        raiseError(errc::ValueOutOfRange, *refused);
    }
    if (options.atOperatingPoint && (!base.supply || base.supply->pump.empty())) {
        raiseError(errc::ValueOutOfRange,
                   "Comparing at the operating point needs the pump curve of the supply");
    }
    if (options.atOperatingPoint) {
        if (const auto problem = supplyProblem(*base.supply)) {
            raiseError(errc::PumpCurveRefused, *problem);
        }
    }
    const auto candidates = makeCandidates(base.pivot, models, options);
    ComparisonOutcome out;
    out.total = static_cast<int>(candidates.size());
    const unsigned threads = comparisonThreads(options, candidates.size());
    if (threads <= 1) {
        out.packages.reserve(candidates.size());
        out.cancelled = computeInTurn(base, candidates, options, progress, out.packages);
    } else {
        out.cancelled =
            computeSideBySide(base, candidates, options, progress, threads, out.packages);
    }
    if (!out.cancelled && progress) {
        progress(out.total, out.total);
    }
    rankPackages(out.packages, options.rankBy);
    return out;
}

void rankPackages(std::vector<ComparedPackage>& packages, const std::vector<RankKey>& rankBy) {
    std::vector<RankKey> keys = withoutRepeats(rankBy);
    for (RankKey k : allRankKeys()) {
        if (std::find(keys.begin(), keys.end(), k) == keys.end()) {
            keys.push_back(k);
        }
    }
    std::stable_sort(packages.begin(), packages.end(),
                     [&](const ComparedPackage& a, const ComparedPackage& b) {
                         if (a.results.feasible != b.results.feasible) {
                             return a.results.feasible;
                         }
                         for (RankKey k : keys) {
                             if (const int c = compareBy(a.results, b.results, k)) {
                                 return c < 0;
                             }
                         }
                         return a.candidate.order < b.candidate.order;
                     });
}

std::vector<ChosenNozzle> chosenNozzles(const ComparedPackage& package) {
    return package.nozzles;
}

}  // namespace kambrix
