// SPDX-License-Identifier: GPL-3.0-or-later
//
// Quarvex: the pivot computation library. Records of a pivot machine, the services that
// build and compute on them, the numbered errors, the SQL text routines and the database
// layer over SQLite.
//
// Units everywhere: lengths, distances and elevations in m; pipe diameters and water
// depths in mm; outlet spacing entered in cm and held again in m; discharges in L/s;
// pressures in kPa (one metre of water head counts as 10 kPa); pipe roughness as the
// Hazen-Williams C; revolution times in hours.
//
// Records are plain values copied on assignment. Arrays held in records are 1-based and
// keep their own bounds (`Array`). Services are stateless objects handed out by the global
// factory `Statics` (see `statics()`), but each can be constructed on its own in a test.
#pragma once

#include <quarvex/quarvex_export.h>

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quarvex {

// ---------------------------------------------------------------------------------------
// Numbered errors
// ---------------------------------------------------------------------------------------

// The application-error base 0x80040000 as a signed 32-bit number (-2147221504).
inline constexpr std::int32_t kErrorBase = static_cast<std::int32_t>(0x80040000u);

// Every number an error of the system can carry. Platform faults keep small numbers of
// their own; the library's and the program's errors are the base plus a code.
namespace errc {
// Platform faults.
inline constexpr std::int32_t InvalidArgument = 5;      // invalid procedure call or argument
inline constexpr std::int32_t Overflow = 6;             // numeric overflow
inline constexpr std::int32_t SubscriptOutOfRange = 9;  // index outside an array's bounds
inline constexpr std::int32_t DivisionByZero = 11;      // division by zero, floating-point fault
inline constexpr std::int32_t TypeMismatch = 13;        // text that is not a number
// Sprinkler catalogue.
inline constexpr std::int32_t MissingAsperorDataException = kErrorBase + 500;
inline constexpr std::int32_t DescricaoMissingNameException = kErrorBase + 600;
inline constexpr std::int32_t ModeloIsNewRecordException = kErrorBase + 601;
inline constexpr std::int32_t ModeloMissingNameException = kErrorBase + 700;
inline constexpr std::int32_t MarcaIsNewRecordException = kErrorBase + 701;
inline constexpr std::int32_t MarcaMissingNameException = kErrorBase + 800;
// Accessories and charts.
inline constexpr std::int32_t DropIncompleteException = kErrorBase + 900;
inline constexpr std::int32_t NomeDaCartaJaExistente = kErrorBase + 1000;
// Field evaluation.
inline constexpr std::int32_t PluviometroIncompleteException = kErrorBase + 1001;
inline constexpr std::int32_t EmptyWaterDepthSerie = kErrorBase + 1100;
inline constexpr std::int32_t NotEnoughSamplesToComputeLowQuarter = kErrorBase + 1101;
inline constexpr std::int32_t EvaluationNotFound = kErrorBase + 1102;
// Hydraulic computation.
inline constexpr std::int32_t ComputationDidNotConverge = kErrorBase + 1200;
inline constexpr std::int32_t TooManySpans = kErrorBase + 1201;    // more than kMaxSpans
inline constexpr std::int32_t TooManyOutlets = kErrorBase + 1202;  // more than kMaxOutlets
// Database layer.
inline constexpr std::int32_t DatabaseUnknownProvider = kErrorBase + 2001;
inline constexpr std::int32_t DatabaseFileMissing = kErrorBase + 2002;
inline constexpr std::int32_t DatabaseOpenFailed = kErrorBase + 2003;
inline constexpr std::int32_t DatabaseNotOpen = kErrorBase + 2004;
inline constexpr std::int32_t DatabaseStatementFailed = kErrorBase + 2005;
inline constexpr std::int32_t DatabaseNoCurrentRow = kErrorBase + 2006;
inline constexpr std::int32_t DatabaseUnknownField = kErrorBase + 2007;
inline constexpr std::int32_t DatabaseTransactionState = kErrorBase + 2008;
// SQL text: a NaN or an infinity cannot be written as a number.
inline constexpr std::int32_t NumberNotFinite = kErrorBase + 2100;
// Stored text: a number beyond the double range where a reading is kept.
inline constexpr std::int32_t StoredNumberOutOfRange = kErrorBase + 2101;
}  // namespace errc

// The one exception type of the library: an error number and a message. Programs catch
// it and recognise the error by `number()`.
class QUARVEX_EXPORT Error : public std::runtime_error {
  public:
    Error(std::int32_t number, const std::string& message);
    std::int32_t number() const noexcept { return number_; }

  private:
    std::int32_t number_;
};

// The default message of an error number ("Error <number>" for a number not in the table).
QUARVEX_EXPORT std::string errorMessage(std::int32_t number);

// The error raiser. `Throw(n)` raises error n with its default message; the overload adds a
// detail (for instance the database's own message) after it.
class QUARVEX_EXPORT Exceptions {
  public:
    [[noreturn]] static void Throw(std::int32_t number);
    [[noreturn]] static void Throw(std::int32_t number, const std::string& detail);
};

// Raises the numbered floating-point error when x is NaN or infinite; returns x otherwise.
QUARVEX_EXPORT double checkedFinite(double x, const char* what);

// ---------------------------------------------------------------------------------------
// 1-based arrays and keyed collections
// ---------------------------------------------------------------------------------------

// A dynamic array with bounds 1..Length(); an empty array has no bounds (Length() == 0).
// Access outside the bounds raises errc::SubscriptOutOfRange.
template <class T>
class Array {
  public:
    Array() = default;
    // An array with bounds 1..n of default values.
    explicit Array(int n) : items_(n > 0 ? static_cast<std::size_t>(n) : 0) {}
    Array(std::initializer_list<T> init) : items_(init) {}

    int Length() const noexcept { return static_cast<int>(items_.size()); }
    bool IsEmpty() const noexcept { return items_.empty(); }
    bool HasAny() const noexcept { return !items_.empty(); }
    int LBound() const noexcept { return items_.empty() ? 0 : 1; }
    int UBound() const noexcept { return Length(); }

    T& operator()(int i) { return items_[checked(i)]; }
    const T& operator()(int i) const { return items_[checked(i)]; }
    T& operator[](int i) { return items_[checked(i)]; }
    const T& operator[](int i) const { return items_[checked(i)]; }

    // Grows the array by one element holding `element`.
    void Push(T element) { items_.push_back(std::move(element)); }
    // The element at the upper / lower bound, or nothing when the array is empty.
    std::optional<T> Last() const {
        return items_.empty() ? std::nullopt : std::optional<T>(items_.back());
    }
    std::optional<T> First() const {
        return items_.empty() ? std::nullopt : std::optional<T>(items_.front());
    }
    // A new array 1..(till - begin + 1) holding elements begin..till.
    Array Slice(int begin, int till) const {
        Array out;
        for (int i = begin; i <= till; ++i) {
            out.Push((*this)(i));
        }
        return out;
    }
    void Clear() noexcept { items_.clear(); }
    void Resize(int n) { items_.resize(n > 0 ? static_cast<std::size_t>(n) : 0); }

    auto begin() noexcept { return items_.begin(); }
    auto end() noexcept { return items_.end(); }
    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }
    const std::vector<T>& items() const noexcept { return items_; }

    friend bool operator==(const Array& a, const Array& b) { return a.items_ == b.items_; }

  private:
    std::size_t checked(int i) const;
    std::vector<T> items_;
};

[[noreturn]] QUARVEX_EXPORT void raiseSubscriptOutOfRange(int index, int length);

template <class T>
std::size_t Array<T>::checked(int i) const {
    if (i < 1 || i > Length()) {
        raiseSubscriptOutOfRange(i, Length());
    }
    return static_cast<std::size_t>(i - 1);
}

// An ordered 1-based collection whose entries may carry a text key (unique, exact match).
// Iteration follows insertion order; removing an entry closes the gap. Keys are indexed:
// adding, finding and removing by key take constant time on average, and the first access
// by position after removals renumbers the entries once.
template <class T>
class Collection {
  public:
    int Count() const noexcept { return static_cast<int>(entries_.size()) - removed_; }
    bool IsEmpty() const noexcept { return Count() == 0; }

    // Appends an entry, under `key` when given. A key already present raises
    // errc::InvalidArgument.
    void Add(T item, std::optional<std::string> key = std::nullopt) {
        if (key && Contains(*key)) {
            raiseDuplicateKey(*key);
        }
        if (removed_ > Count()) {
            compact();  // keeps the entries of removed items from outgrowing the live ones
        }
        if (key) {
            index_.emplace(*key, entries_.size());
        }
        entries_.push_back({std::move(item), std::move(key)});
    }
    bool Contains(const std::string& key) const { return index_.count(key) != 0; }
    // Entry i (1-based); outside 1..Count raises errc::SubscriptOutOfRange.
    T& Item(int i) { return *entries_[checked(i)].item; }
    const T& Item(int i) const { return *entries_[checked(i)].item; }
    // Entry under `key`; a missing key raises errc::InvalidArgument.
    T& Item(const std::string& key) {
        T* item = Find(key);
        if (!item) {
            raiseMissingKey(key);
        }
        return *item;
    }
    const T& Item(const std::string& key) const { return const_cast<Collection*>(this)->Item(key); }
    // Pointer to the entry under `key`, or nullptr.
    T* Find(const std::string& key) {
        const auto it = index_.find(key);
        return it == index_.end() ? nullptr : &*entries_[it->second].item;
    }
    const T* Find(const std::string& key) const { return const_cast<Collection*>(this)->Find(key); }
    // Removes the entry under `key`; returns whether there was one.
    bool Remove(const std::string& key) {
        const auto it = index_.find(key);
        if (it == index_.end()) {
            return false;
        }
        entries_[it->second].item.reset();
        index_.erase(it);
        ++removed_;
        return true;
    }
    void Remove(int i) {
        Entry& e = entries_[checked(i)];
        if (e.key) {
            index_.erase(*e.key);
        }
        e.item.reset();
        ++removed_;
    }
    void Clear() noexcept {
        entries_.clear();
        index_.clear();
        removed_ = 0;
    }
    std::optional<std::string> KeyAt(int i) const { return entries_[checked(i)].key; }

    template <class F>
    void ForEach(F&& f) const {
        for (const auto& e : entries_) {
            if (e.item) {
                f(*e.item);
            }
        }
    }
    template <class F>
    void ForEach(F&& f) {
        for (auto& e : entries_) {
            if (e.item) {
                f(*e.item);
            }
        }
    }

  private:
    struct Entry {
        std::optional<T> item;  // empty once removed, until the entries are renumbered
        std::optional<std::string> key;
    };
    // Drops the entries of removed items and renumbers the index.
    void compact() const {
        if (removed_ == 0) {
            return;
        }
        std::size_t kept = 0;
        for (std::size_t j = 0; j < entries_.size(); ++j) {
            if (entries_[j].item) {
                if (kept != j) {
                    entries_[kept] = std::move(entries_[j]);
                }
                ++kept;
            }
        }
        entries_.resize(kept);
        index_.clear();
        for (std::size_t j = 0; j < entries_.size(); ++j) {
            if (entries_[j].key) {
                index_.emplace(*entries_[j].key, j);
            }
        }
        removed_ = 0;
    }
    std::size_t checked(int i) const {
        if (i < 1 || i > Count()) {
            raiseSubscriptOutOfRange(i, Count());
        }
        compact();
        return static_cast<std::size_t>(i - 1);
    }
    [[noreturn]] static void raiseDuplicateKey(const std::string& key);
    [[noreturn]] static void raiseMissingKey(const std::string& key);
    // Positional access renumbers lazily, so these change inside const operations; the
    // collection is not meant for concurrent use.
    mutable std::vector<Entry> entries_;
    mutable std::unordered_map<std::string, std::size_t> index_;
    mutable int removed_ = 0;
};

[[noreturn]] QUARVEX_EXPORT void raiseCollectionKeyError(const std::string& key, bool duplicate);

template <class T>
void Collection<T>::raiseDuplicateKey(const std::string& key) {
    raiseCollectionKeyError(key, true);
}
template <class T>
void Collection<T>::raiseMissingKey(const std::string& key) {
    raiseCollectionKeyError(key, false);
}

// ---------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------

class Aspersor;

// Elevations of a straight stretch. `p_angle` and `p_slope` cache the slope angle
// (radians) and slope (rise per horizontal unit); 0 means not yet computed, so a placement
// whose elevations change must have both reset to 0.
struct Placement {
    double start_cota = 0;  // m
    double end_cota = 0;    // m
    double Length = 0;      // m, measured along the stretch
    double p_angle = 0;
    double p_slope = 0;
};

struct ParPressaoCaudal {
    double pressao = 0;  // kPa
    double caudal = 0;   // L/s
};

// One outlet of a span (or the end gun's outlet).
struct saida {
    double caudal = 0;              // ideal (required) discharge, L/s
    double caudal_do_aspersor = 0;  // discharge of the mounted sprinkler, L/s
    double pressao_ideal = 0;       // kPa
    double pressao_real = 0;        // pressure available at the sprinkler, kPa
    double cota = 0;                // m
    double distanciaAoPivot = 0;    // m
    std::string nomeAspersor;
    double pressao_actuante = 0;  // pressure the sprinkler works at, kPa
    std::shared_ptr<Aspersor> obj_aspersor;
    bool over_pressure = false;
};

// Regulator data held by a span.
struct regulador {
    std::string marca;
    std::string modelo;
    double qmax = 0;  // L/s
    double qmin = 0;  // L/s
    double Preg = 0;  // regulated pressure, kPa
};

struct tramo {
    int id = 0;  // catalogue identifier of the span model
    double longitude = 0;
    std::string denominacion;
    double separationSaidas_cm = 0;
    double separacionSaidas = 0;  // m
    double diametro = 0;          // mm
    Placement site;
    ParPressaoCaudal entry_conditions;
    ParPressaoCaudal exit_condition;
    ParPressaoCaudal ideal_entry_conditions;
    ParPressaoCaudal ideal_exit_conditions;
    double cota = 0;  // elevation of the span end given at creation, m
    Array<::quarvex::saida> Saidas;
    double perdaDeCargaIdeal = 0;  // kPa
    ::quarvex::regulador regulador;
    bool temRegulador = false;
    double p_outlet_count = 0;
    bool p_complete = false;
};

// End gun: its wetted radius beyond the last span and its own outlet.
struct Gun {
    double rs = 0;  // m
    ::quarvex::saida saida;
};

struct velocidadeDotacao {
    double percentagem = 0;
    double velocidadeLinear = 0;
    double tempoDeUmaVolta = 0;
    double dotacao = 0;
};

// Speed box: hours per revolution at 100 % and ten speed settings (1..10).
struct caixaVelocidades {
    double tempoH100 = 0;
    Array<velocidadeDotacao> velocidades = Array<velocidadeDotacao>(10);
};

struct pivot {
    Array<tramo> Tramos;
    tramo tramoVOladizo;
    ::quarvex::Gun endGun;
    double caudal = 0;                 // design inlet discharge, L/s
    double caudaDaCartaAssociada = 0;  // inlet discharge of the mounted chart, L/s
    double alcanceCanhao = 0;          // m
    caixaVelocidades caixa;
    double presion = 0;    // kPa at the pivot point
    double rugosidad = 0;  // Hazen-Williams C
    double cota = 0;       // m
    bool p_has_overhang = false;
    bool p_has_end_gun = false;
};

// Address of an outlet: fixed spans 1..n, the overhang n+1; the end gun is (-1, -1).
struct CoordenadasSaida {
    int numeroTramo = 0;
    int saida = 0;
    friend bool operator==(const CoordenadasSaida&, const CoordenadasSaida&) = default;
};

// Performance-indicator inputs of a chart.
struct indicadores {
    double horasRevolucao = 0;
    int numeroSaidasObturadas = 0;
    int id = 0;
};

struct CartaInfo {
    std::string nome;
    int id = 0;
};

struct PivotSample {
    double distanceToCenter = 0;  // m
    double wetDiameter = 0;       // m
    std::string code;
};

struct KostiakovParameters {
    double k = 0;
    double a = 0;
};

struct PluviometryCheck {
    PivotSample firstSample;
    PivotSample secondSample;
    KostiakovParameters kostiakov;
};

struct WaterDepthSample {
    double depth = 0;               // mm
    double distanceFromCenter = 0;  // m; also the sample's weight
    bool p_null = false;
    // Field by field (depth, then distance), which is what the base Comparator uses.
    friend bool operator==(const WaterDepthSample&, const WaterDepthSample&) = default;
    friend auto operator<=>(const WaterDepthSample&, const WaterDepthSample&) = default;
};

struct PipeMaterial {
    int id = 0;
    std::string name;
    int rugosidade = 0;  // Hazen-Williams C
};

struct Drop {
    double longitud = 0;  // m
    double diametro = 0;  // mm
    PipeMaterial pipe_material;
    int p_pipe_material_id = 0;
    bool p_is_null = false;
    bool p_installed = false;
};

struct marca {
    int id = 0;
    std::string nome;
};

struct modelo {
    int id = 0;
    std::string nome;
    ::quarvex::marca marca;
    int marca_id = 0;
};

struct FieldSample {
    double collectedAmount = 0;     // ml
    double distanceFromCenter = 0;  // m
    friend bool operator==(const FieldSample&, const FieldSample&) = default;
};

struct Pluviometro {
    double diameter = 0;  // m
    double p_area = 0;    // m², NaN until first computed
};

// ---------------------------------------------------------------------------------------
// Value services
// ---------------------------------------------------------------------------------------

[[noreturn]] QUARVEX_EXPORT void raiseTypeMismatch(const std::string& what);

// Comparison of two values. A comparator answers GTE and LT consistently; the sort calls
// only LT.
template <class T>
class Comparator {
  public:
    virtual ~Comparator() = default;
    // The base compares the values directly; a record without ordering operators needs a
    // comparator of its own (calling the base then raises errc::TypeMismatch).
    virtual bool GT(const T& a, const T& b) const {
        if constexpr (requires { a > b; }) {
            return a > b;
        } else {
            raiseNotComparable();
        }
    }
    virtual bool GTE(const T& a, const T& b) const {
        if constexpr (requires { a >= b; }) {
            return a >= b;
        } else {
            raiseNotComparable();
        }
    }
    virtual bool LT(const T& a, const T& b) const {
        if constexpr (requires { a < b; }) {
            return a < b;
        } else {
            raiseNotComparable();
        }
    }
    virtual bool LTE(const T& a, const T& b) const {
        if constexpr (requires { a <= b; }) {
            return a <= b;
        } else {
            raiseNotComparable();
        }
    }
    virtual bool EQ(const T& a, const T& b) const {
        if constexpr (requires { a == b; }) {
            return a == b;
        } else {
            raiseNotComparable();
        }
    }

  private:
    [[noreturn]] static void raiseNotComparable() { raiseTypeMismatch("values without an order"); }
};

class QUARVEX_EXPORT Doubles {
  public:
    double NaN() const;
    double PositiveInfinity() const;
    double NegativeInfinity() const;
    double MaxValue() const;  // 1.79769313486231E+308
    double MinValue() const;  // -1.79769313486231E+308
    bool isNaN(double value) const;
    bool isPositiveInfinity(double value) const;
    bool isNegativeInfinity(double value) const;
    // NaN when either is NaN; else First when First > Last, otherwise Last.
    double Max(double First, double Last) const;
    // NaN when either is NaN; else First when First < Last, otherwise Last.
    double Min(double First, double Last) const;
};

// One instance is shared by the whole process (statics().Arrays()) and may be used from
// several threads at once: the generator is guarded, and a sort draws from it only once,
// for the seed of a generator of its own.
class QUARVEX_EXPORT Arrays {
  public:
    Arrays();
    // A sorted copy of `self`, ascending by the comparator: a quicksort with a random
    // pivot that calls only LT (of the pair GTE and LT a comparator must answer). Not
    // stable; n equal keys take one pass, and the recursion depth stays below log2(n).
    template <class T>
    Array<T> Sort(const Array<T>& self, const Comparator<T>& cmp) {
        Array<T> out = self;
        SortInPlace(out, cmp);
        return out;
    }
    // The same on the array itself, without a copy.
    template <class T>
    void SortInPlace(Array<T>& v, const Comparator<T>& cmp) {
        if (v.Length() > 1) {
            std::minstd_rand pivots(nextSeed());
            quickSort(v, cmp, pivots, 1, v.Length());
        }
    }
    // r uniform in [0, 1) from the shared generator.
    double random01();
    // Restarts the shared generator (the sorts that follow choose the same pivots again).
    void seed(std::uint32_t s);

  private:
    std::uint32_t nextSeed();
    template <class T>
    static void quickSort(Array<T>& v, const Comparator<T>& cmp, std::minstd_rand& pivots, int lo,
                          int hi);
    std::mt19937 rng_;
    std::mutex rngLock_;
};

template <class T>
void Arrays::quickSort(Array<T>& v, const Comparator<T>& cmp, std::minstd_rand& pivots, int lo,
                       int hi) {
    // Three-way partition around a random pivot m: [lo, lt) below m, [lt, gt] equal to it,
    // (gt, hi] above it (x above m is LT(m, x)). Keys equal to the pivot are placed once and
    // never visited again, so many equal depths cost one pass. The smaller outer part is
    // sorted by recursion and the larger one by the loop: the depth stays below log2(n).
    while (lo < hi) {
        const double r = std::uniform_real_distribution<double>(0.0, 1.0)(pivots);
        const int i = std::min(hi, static_cast<int>((hi - lo + 1) * r + lo));
        const T m = v(i);
        int lt = lo;
        int gt = hi;
        int k = lo;
        while (k <= gt) {
            if (cmp.LT(v(k), m)) {
                std::swap(v(lt), v(k));
                ++lt;
                ++k;
            } else if (cmp.LT(m, v(k))) {
                std::swap(v(k), v(gt));
                --gt;
            } else {
                ++k;
            }
        }
        if (lt - lo < hi - gt) {
            quickSort(v, cmp, pivots, lo, lt - 1);
            lo = gt + 1;
        } else {
            quickSort(v, cmp, pivots, gt + 1, hi);
            hi = lt - 1;
        }
    }
}

class QUARVEX_EXPORT CoordenadasSaidas {
  public:
    bool isValid(const CoordenadasSaida& self) const;
    CoordenadasSaida newEndGunCoordenadas() const;
    CoordenadasSaida newTramoCoordenadas(int tramo, int saida) const;
    bool isAtEndGun(const CoordenadasSaida& self) const;
    // "2-5" for span 2, outlet 5; "-1--1" for the end gun.
    std::string ToString(const CoordenadasSaida& self) const;
    // Span from the first piece before a "-", outlet from the last; a piece that is not a
    // 16-bit number raises errc::TypeMismatch (so "-1--1" does not parse).
    CoordenadasSaida Parse(const std::string& serialized) const;
};

// Guns, placements and outlets (three shared instances of this one service).
class QUARVEX_EXPORT Types {
  public:
    Gun newGun(double rs) const;
    bool isComplete(const Gun& self) const;
    Placement newPlacement(double start_cota, double end_cota, double Length) const;
    // Ends at start_cota + sin(angle) × Length; NaN angle gives a NaN end.
    Placement newVirtualPlacement(double start_cota, double angle, double Length) const;
    // Slope angle in radians, cached in the record; NaN for an invalid placement.
    double SlopeAngle(Placement& self) const;
    // tan(SlopeAngle), cached in the record.
    double Slope(Placement& self) const;
    // |end − start| strictly below Length (false when the difference is NaN).
    bool isValid(const Placement& self) const;
    // Depth (mm) the outlet applies per revolution: Q × 3600 × revolutionTime /
    // (2π × distanciaAoPivot × coroaLength), with Q = caudal_do_aspersor (actual) or caudal
    // (ideal). An outlet at the pivot point (distance 0) or a ring of width 0 raises
    // errc::DivisionByZero.
    WaterDepthSample ActualWaterDepthSample(const saida& self, double coroaLength,
                                            double revolutionTime) const;
    WaterDepthSample IdealWaterDepthSample(const saida& self, double coroaLength,
                                           double revolutionTime) const;
};

// ---------------------------------------------------------------------------------------
// Spans and pivots
// ---------------------------------------------------------------------------------------

// The largest machine the library computes. Larger inputs are refused before memory is
// spent on them: no centre pivot has more than a couple of dozen spans or a few thousand
// outlets, and a span record of 20,000 outlets already takes some megabytes.
inline constexpr int kMaxSpans = 200;      // fixed spans (the overhang comes on top)
inline constexpr int kMaxOutlets = 20000;  // outlets of the fixed spans and the overhang

// Spans: building and inspecting `tramo` records. Stateless.
class QUARVEX_EXPORT Tramos {
  public:
    // A span of `longitud` m with a pipe of inside diameter `diametro` mm and outlets every
    // `separationSaidas_cm` cm (held again in m in `separacionSaidas`); `cota` is the
    // elevation of the span end, m (0 when omitted), `id` the catalogue identifier of the
    // span model. When the spacing is positive the outlet array gets bounds
    // 1..floor(longitud / spacing), all outlets zero, and the span is complete; otherwise it
    // has no outlets and stays incomplete. More than kMaxOutlets outlets raise
    // errc::TooManyOutlets.
    //   tramo t = Tramos().newTramo(1, "T 54.8", 54.8, 162, 250);  // 21 outlets
    tramo newTramo(int id, const std::string& denominacion, double longitud, double diametro,
                   double separationSaidas_cm, std::optional<double> cota = std::nullopt) const;
    // Whether every span isComplete (true for no spans).
    bool AllComplete(const Array<tramo>& spans) const;
    // Same length and the same span-model `id` at every index (nothing else is compared).
    bool AllEqual(const Array<tramo>& a, const Array<tramo>& b) const;
    // The outlet array is built and the placement is valid (the ends differ in elevation by
    // less than the span's length).
    bool isComplete(const tramo& self) const;
    // Places span i from the end elevation of span i − 1 (`start_cota`, m, for the first) to
    // `cotas(i)`, m. A height missing for a span raises errc::SubscriptOutOfRange.
    void BuildPlacements(Array<tramo>& spans, double start_cota, const Array<double>& cotas) const;
    // Ideal inlet minus ideal exit discharge, L/s.
    double IdealConsumedDischarge(const tramo& self) const;
    // Real inlet minus real exit discharge, L/s.
    double ConsumedDischarge(const tramo& self) const;
    // |ideal − real consumed| / ideal consumed, a fraction; NaN or infinite when the ideal
    // consumption is 0 (no error is raised).
    double DischargeVariation(const tramo& self) const;
    // The number of outlets, cached in `p_outlet_count` on first use (a span whose outlet
    // array is rebuilt must have the cache reset to 0).
    double OutletCount(tramo& self) const;
};

// Pivots: assembling a `pivot` out of fixed spans, an overhang and an end gun, numbering its
// outlets and answering geometric questions. Every operation works on the record passed by
// reference; the service holds no state. Spans are numbered 1..n from the pivot point; the
// overhang is n + 1.
class QUARVEX_EXPORT Pivots {
  public:
    // (span, outlet within the span) of a pivot-wide outlet number 1..FixedSpanOutletCount
    // counted over the fixed spans. A number outside that range raises
    // errc::SubscriptOutOfRange.
    //   saida2TramoeSaida(p, 11) on spans of 10 and 12 outlets gives (2, 1).
    Array<int> saida2TramoeSaida(pivot& self, int numeroDaSaida) const;
    // Outlets of the fixed spans (each span's OutletCount, cached in the span).
    double FixedSpanOutletCount(pivot& self) const;
    // The same plus the overhang's outlets when an overhang is fitted.
    int AllSpanOutletCount(pivot& self) const;
    // The same plus 1 for a fitted end gun.
    int AllOutletCount(pivot& self) const;
    // Total length of fixed spans 1..tramo, m (0 for tramo < 1). A number above the span
    // count raises errc::SubscriptOutOfRange.
    double tramoAte(const pivot& self, int tramo) const;
    // Gives fixed span i the regulator of element i (an empty element clears it). A shorter
    // array raises errc::SubscriptOutOfRange.
    void aplicaRegulador(pivot& self, const Array<std::optional<regulador>>& reguladores) const;
    // One element per fixed span: its regulator when it has one, else empty.
    Array<std::optional<regulador>> recolheReguladores(const pivot& self) const;
    // Peak application rate of the elliptical pattern at the sample's distance, mm/h:
    // (Q / R²) × (4 / π) × 3600 × r / (w / 2), with Q the chart's computed discharge (L/s),
    // R the irrigated length (m), r the sample's distance and w its wetted diameter (m).
    // An irrigated length or wetted diameter of 0 raises errc::DivisionByZero.
    double pluviosidadeMaxima(const pivot& self, const PivotSample& Sample) const;
    // Fixed spans plus the overhang when fitted, m.
    double AllSpanLenght(const pivot& self) const;
    // AllSpanLenght plus the end gun's wetted radius when fitted, m.
    double AllIrrigatedLenght(const pivot& self) const;
    // π × AllIrrigatedLenght², m².
    double IrrigatedArea(const pivot& self) const;
    // The fixed spans become a copy of `spans`, placed from the pivot's elevation through
    // `endSpanHeights` (m, one per span); a fitted overhang is placed again on the slope of
    // the last span. More than kMaxSpans spans raise errc::TooManySpans, more than
    // kMaxOutlets outlets (with the overhang's) errc::TooManyOutlets; a missing height
    // errc::SubscriptOutOfRange. A refused call leaves the pivot as it was.
    void setFixedSpans(pivot& self, const Array<tramo>& spans,
                       const Array<double>& endSpanHeights) const;
    // Removes the fixed spans; a fitted overhang is left on a flat placement of length 1.
    void removeFixedSpans(pivot& self) const;
    // Fits the overhang (placed on the slope of the last fixed span when there is one). More
    // than kMaxOutlets outlets in all raise errc::TooManyOutlets and leave the pivot as it
    // was.
    void setOverhangSpan(pivot& self, const tramo& span) const;
    // Clears the overhang's flag (the record is kept).
    void removeOverhangSpan(pivot& self) const;
    bool hasOverHang(const pivot& self) const;
    int FixedSpansCount(const pivot& self) const;
    // Fits the end gun.
    void setEndGun(pivot& self, const Gun& aGun) const;
    // Clears the end gun's flag (the record is kept).
    void removeEndGun(pivot& self) const;
    bool hasEndGun(const pivot& self) const;
    // Fixed spans, plus 1 with an overhang.
    int allSpansCount(const pivot& self) const;
    // Pressure, discharge and roughness above 0, every span (and the overhang) complete, and
    // a fitted gun with a wetted radius above 0.
    bool isComplete(const pivot& self) const;
    // Raises errc::TooManySpans or errc::TooManyOutlets when the record is larger than the
    // library computes (a record assembled field by field is checked here; the wrapper
    // checks every pivot it is given).
    void checkSize(const pivot& self) const;
    // Clears the ideal friction losses of the spans and the gun's ideal values.
    void ResetIdealData(pivot& self) const;
    // A pressure (kPa) and discharge (L/s) pair.
    ParPressaoCaudal newParPressaoCaudal(double pressao, double caudal) const;
    // The outlet record of a pivot-wide outlet number (see saida2TramoeSaida); a number
    // outside 1..FixedSpanOutletCount raises errc::SubscriptOutOfRange.
    saida& saidaAt(pivot& self, int index) const;
};

// ---------------------------------------------------------------------------------------
// Database layer (SQLite files or a PostgreSQL server behind connection strings and
// forward-only record sets)
// ---------------------------------------------------------------------------------------

// One field value of a record-set row: database NULL, a number or a text.
class QUARVEX_EXPORT FieldValue {
  public:
    enum class Kind { Null, Integer, Real, Text };
    FieldValue() = default;
    static FieldValue null() { return FieldValue(); }
    static FieldValue integer(std::int64_t v);
    static FieldValue real(double v);
    static FieldValue text(std::string v);

    Kind kind() const noexcept { return kind_; }
    bool IsNull() const noexcept { return kind_ == Kind::Null; }
    // Conversions as the original engine made them. A NULL, or a text that is not a
    // number, raises errc::TypeMismatch for the numeric conversions; use the
    // nullTo... routines to read nullable columns.
    double AsDouble() const;
    std::int64_t AsLong() const;
    int AsInt() const;
    bool AsBool() const;
    std::string AsString() const;  // NULL raises errc::TypeMismatch

  private:
    Kind kind_ = Kind::Null;
    std::int64_t i_ = 0;
    double d_ = 0;
    std::string s_;
};

// A forward-only record set: the rows a statement returned, read from the first.
class QUARVEX_EXPORT RecordSet {
  public:
    RecordSet() = default;
    bool IsEOF() const noexcept { return row_ >= rows_.size(); }
    void MoveNext();
    // Field of the current row by column name (case-insensitive). At the end of the set
    // raises errc::DatabaseNoCurrentRow; an unknown name errc::DatabaseUnknownField.
    const FieldValue& Field(const std::string& name) const;
    const FieldValue& operator[](const std::string& name) const { return Field(name); }
    int FieldCount() const noexcept { return static_cast<int>(columns_.size()); }
    const std::vector<std::string>& columns() const noexcept { return columns_; }
    std::size_t RowCount() const noexcept { return rows_.size(); }

  private:
    friend class Connection;
    friend struct RecordSetAccess;  // the providers fill the rows
    std::vector<std::string> columns_;
    std::vector<std::vector<FieldValue>> rows_;
    std::size_t row_ = 0;
};

// A connection to one database, from a connection string:
// - "Provider=SQLite;Data Source=<path>": one database file. Tables of a second file can be
//   named in a statement as "[<path>].<table>": the file is attached under that name on
//   first use.
// - "Provider=PostgreSQL;Data Source=<libpq URI>;Schema=<schema>": one schema of a
//   database on a server (see makeServerConnectionString). The statements keep SQLite's
//   words: "[<path>].<table>" names the table in the schema of the file's stem
//   ("[/x/asper.mdb].marca" is asper.marca), REAL columns are double precision,
//   AUTOINCREMENT keys identity columns, and a statement that fails inside a transaction
//   undoes only itself, as in SQLite. Passwords come from libpq's password file, service
//   file or environment; any password in the URI is left out of every message.
// "Select @@IDENTITY as id;" answers the key of the last insert (column "id"), on the same
// session. Closes itself (rolling back an open transaction) when it goes out of scope.
class QUARVEX_EXPORT Connection {
  public:
    Connection();
    // Keeps the connection string; `Open()` opens it.
    explicit Connection(const std::string& connectionString);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const std::string& connectionString);
    const std::string& connectionString() const noexcept { return connectionString_; }
    // Opens with the kept connection string: an unknown provider raises
    // errc::DatabaseUnknownProvider, a missing file errc::DatabaseFileMissing, a server
    // that cannot be reached (or refuses the login) errc::DatabaseOpenFailed.
    void Open();
    void Open(const std::string& connectionString);
    bool IsOpen() const noexcept;
    void Close() noexcept;
    // Runs the statement text (one statement, or several separated by ";") and returns the
    // rows of the last statement that returns rows. On a closed connection raises
    // errc::DatabaseNotOpen; a missing "[<path>]." file errc::DatabaseFileMissing; any
    // other failure errc::DatabaseStatementFailed with SQLite's message and the statement.
    RecordSet Execute(const std::string& sql);
    // Begins a transaction that writes: the write lock is taken at once ("BEGIN IMMEDIATE"),
    // waiting up to the busy timeout while another connection or program holds it, so two
    // writers take turns instead of one failing half-way through its work. A lock still
    // held when the time is up raises errc::DatabaseStatementFailed with the database's
    // "database is locked".
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const noexcept { return inTransaction_; }
    // The file path of the connection string (a server's URI without its password).
    const std::string& dataSource() const noexcept { return dataSource_; }
    // Whether the open connection is to a PostgreSQL server.
    bool isServer() const noexcept;
    // How long a statement waits for a lock another connection holds, ms (default
    // kDefaultBusyTimeout_ms); applies to the open connection and to later opens.
    void setBusyTimeout(int milliseconds);
    int busyTimeout() const noexcept { return busyTimeout_ms_; }
    static constexpr int kDefaultBusyTimeout_ms = 5000;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string connectionString_;
    std::string dataSource_;
    bool inTransaction_ = false;
    int busyTimeout_ms_ = kDefaultBusyTimeout_ms;
};

// Parses "Provider=...;Data Source=..." (keys case-insensitive). Returns the provider and
// the data source; a text without "Data Source" raises errc::InvalidArgument.
QUARVEX_EXPORT std::pair<std::string, std::string> parseConnectionString(const std::string& cs);
// "Provider=SQLite;Data Source=" + path.
QUARVEX_EXPORT std::string makeConnectionString(const std::string& path);
// "Provider=PostgreSQL;Data Source=" + uri + ";Schema=" + schema.
QUARVEX_EXPORT std::string makeServerConnectionString(const std::string& uri,
                                                      const std::string& schema);
// The value of another key of a connection string ("Schema"), empty when absent.
QUARVEX_EXPORT std::string connectionStringPart(const std::string& cs, const std::string& key);
// Whether the text is a PostgreSQL URI ("postgresql://..." or "postgres://...").
QUARVEX_EXPORT bool isServerUri(const std::string& text);
// The text with the password of every server URI in it left out ("user:secret@" becomes
// "user@", a "password=" option is dropped).
QUARVEX_EXPORT std::string withoutPassword(const std::string& text);

// Runs `work` inside one transaction on an open connection: commits when it returns,
// rolls back and rethrows when it throws.
template <class F>
void inTransaction(Connection& con, F&& work) {
    con.BeginTrans();
    try {
        work();
    } catch (...) {
        if (con.InTransaction()) {
            con.RollbackTrans();
        }
        throw;
    }
    con.CommitTrans();
}

// ---------------------------------------------------------------------------------------
// SQL text
// ---------------------------------------------------------------------------------------

// Each value in turn replaces the first remaining "?" of the template (scanning on after
// the text just put in, so a "?" inside a value is never replaced again).
QUARVEX_EXPORT std::string bindParameters(const std::string& sqlTemplate,
                                          const std::vector<std::string>& values);
// The number's shortest general text (up to 15 significant digits) with "." as decimal
// separator, whatever the locale; near the largest double, where 15 digits would read back
// beyond the double range, the shortest text that reads back exactly. NaN and the
// infinities raise errc::NumberNotFinite: they never reach a statement.
QUARVEX_EXPORT std::string sqlNumber(double x);
// The same number text without SQL meaning (samples, files).
QUARVEX_EXPORT std::string numberText(double x);
// "'" + s + "'" with every embedded quote doubled, so the text is stored exactly.
QUARVEX_EXPORT std::string sqlQuote(const std::string& s);
// The text with every single quote doubled, for templates that put the quotes themselves
// ("nome='?'").
QUARVEX_EXPORT std::string sqlEscape(const std::string& s);
QUARVEX_EXPORT std::string sqlBool(bool b);
// Nested inner joins: "(" + join of the first i + " INNER JOIN " + entry i+1 + ")".
QUARVEX_EXPORT std::string joinTables(const std::vector<std::string>& list);
// The key of the last insert on the connection ("Select @@IDENTITY as id;").
QUARVEX_EXPORT int lastIdentity(Connection& con);
QUARVEX_EXPORT double nullToZero(const FieldValue& v);
QUARVEX_EXPORT std::string nullToText(const FieldValue& v);
QUARVEX_EXPORT bool nullToFalse(const FieldValue& v);
// "null" when s is "''" or "##", else s.
QUARVEX_EXPORT std::string sqlTextOrNull(const std::string& s);
// "null" when the text reads as the number 0, else the text.
QUARVEX_EXPORT std::string sqlNumberOrNull(const std::string& v);

// Description of a table: its name, data columns and key column, turned into statements.
class QUARVEX_EXPORT TableSchema {
  public:
    TableSchema() = default;
    TableSchema(std::string nome, std::vector<std::string> campos, std::string field_id);
    void init(std::string lnome, std::vector<std::string> lcampos, std::string lfield_id);

    const std::string& nome() const noexcept { return nome_; }
    const std::vector<std::string>& campos() const noexcept { return campos_; }
    const std::string& field_id() const noexcept { return field_id_; }

    // Duplicates the rows keyed by from_id under to_id.
    void copyData(Connection& con, std::int64_t from_id, std::int64_t to_id) const;
    // "UPDATE nome SET c1 = v1,... WHERE id = <id>"; values at the indexes of the columns.
    std::string updateSQL(const std::vector<std::string>& values, const std::string& id) const;
    std::string countSQL(const std::optional<std::string>& condition = std::nullopt) const;
    std::string selectSQL(const std::optional<std::string>& id = std::nullopt,
                          const std::optional<std::vector<std::string>>& selection = std::nullopt,
                          const std::optional<std::string>& condition = std::nullopt,
                          const std::optional<std::string>& order = std::nullopt) const;
    std::string insertSQL(
        const std::vector<std::string>& values,
        const std::optional<std::vector<std::string>>& fields = std::nullopt) const;
    std::string deleteSQL(const std::optional<std::string>& id = std::nullopt,
                          const std::optional<std::string>& condition = std::nullopt) const;

  private:
    std::string where(const std::optional<std::string>& id,
                      const std::optional<std::string>& condition) const;
    std::string nome_;
    std::vector<std::string> campos_;
    std::string field_id_;
};

// ---------------------------------------------------------------------------------------
// Field evaluation: catch-can samples, water depths and stored evaluations
// ---------------------------------------------------------------------------------------

// What a WaterDepthsComparator orders by.
enum class compareWhat { depth = 0, distance = 1 };

// Catch cans. A can is valid when its mouth diameter (m) is positive.
class QUARVEX_EXPORT Pluviometros {
  public:
    // A can of `diameter` m (the screens take cm and divide by 100) with its area not yet
    // computed (NaN).
    Pluviometro newPluviometro(double diameter) const;
    // Mouth area, m², cached in the caller's record on first use (a cache of NaN or 0 counts
    // as not computed). An invalid can raises errc::PluviometroIncompleteException.
    double Area(Pluviometro& self) const;
    bool Valid(const Pluviometro& self) const;
};

// Water-depth samples and their distance-weighted statistics (weight = distance, m).
class QUARVEX_EXPORT WaterDepths {
  public:
    WaterDepthSample newWaterDepthSample(double depth, double distanceFromCenter) const;
    // {0, 0, p_null = true}: the stand-in for an invalid reading.
    WaterDepthSample NullWaterDepth() const;
    // depth ≥ 0, distance > 0 and not the null sample.
    bool Valid(const WaterDepthSample& self) const;
    // depth × distance, mm·m.
    double PonderatedDepths(const WaterDepthSample& self) const;
    // |depth − averageDepth| × distance, mm·m.
    double PonderatedDeviation(const WaterDepthSample& self, double averageDepth) const;
    // A sorted copy (ascending; by depth ties go by distance). `list` is left unchanged.
    Array<WaterDepthSample> Sort(const Array<WaterDepthSample>& list, compareWhat by) const;
    // The lowest samples (ascending depth) whose weights add up to at most a quarter of the
    // total weight. When not even the lowest one fits (an empty list, or fewer than four
    // samples of equal weight) raises errc::NotEnoughSamplesToComputeLowQuarter.
    Array<WaterDepthSample> LowQuarter(const Array<WaterDepthSample>& list) const;
    // Σ rᵢDᵢ / Σ rᵢ over the whole list, mm. An empty list (or zero total weight) raises
    // errc::DivisionByZero.
    double Average(const Array<WaterDepthSample>& list) const;
    // The same over the first `limit` samples; `limit` becomes min(limit, Length).
    double Average(const Array<WaterDepthSample>& list, std::int32_t& limit) const;
};

// Orders water-depth samples by depth (ties by distance) or by distance only.
//   WaterDepthsComparator c; c.init(compareWhat::distance);
//   auto sorted = statics().Arrays().Sort(samples, c);
class QUARVEX_EXPORT WaterDepthsComparator : public Comparator<WaterDepthSample> {
  public:
    void init(compareWhat compareWath) { by_ = compareWath; }
    compareWhat by() const noexcept { return by_; }
    bool GT(const WaterDepthSample& a, const WaterDepthSample& b) const override;
    bool GTE(const WaterDepthSample& a, const WaterDepthSample& b) const override;
    bool LT(const WaterDepthSample& a, const WaterDepthSample& b) const override;
    bool LTE(const WaterDepthSample& a, const WaterDepthSample& b) const override;
    bool EQ(const WaterDepthSample& a, const WaterDepthSample& b) const override;

  private:
    compareWhat by_ = compareWhat::depth;
};

// Catch-can readings: volume collected (ml) at a distance from the pivot point (m).
class QUARVEX_EXPORT FieldSamples {
  public:
    FieldSample newFieldSample(double depth, double distance) const;
    // volume ≥ 0 and distance > 0 (an empty can is a valid reading).
    bool Valid(const FieldSample& self) const;
    // Reads "volume distance" (blanks around it ignored; a third piece is ignored). Each
    // number is read as its leading number with "." as decimal point, whatever the locale;
    // a piece that does not start with a number reads 0, fewer than two pieces give {0, 0}.
    // Never fails.
    FieldSample Parse(const std::string& stringRepresentation) const;
    // As Parse, for a reading stored in a database: a number beyond the double range there is
    // no reading of this program, and raises errc::StoredNumberOutOfRange with the text.
    FieldSample ParseStored(const std::string& stringRepresentation) const;
    // "volume distance", both as the shortest number text with "." that reads back as the
    // very same double. A NaN or an infinity raises errc::NumberNotFinite.
    std::string serialize(const FieldSample& self) const;
    Array<FieldSample> FilterValid(const Array<FieldSample>& collection) const;
    // One water-depth sample per reading, in order; invalid readings give the null sample.
    Array<WaterDepthSample> CollectionToWaterDepth(const Array<FieldSample>& collection,
                                                   Pluviometro& usedPluviometro) const;
    // depth (mm) = volume (ml) / (can area (m²) × 1000); an invalid reading gives the null
    // sample. A valid reading in an invalid can raises errc::PluviometroIncompleteException.
    WaterDepthSample ToWaterDepth(const FieldSample& self, Pluviometro& usedPluviometro) const;
};

// A stored catch-can evaluation: two radii of readings in one can.
struct PivotEvaluation {
    int id = 0;  // database key; ≤ 0 while not stored
    std::string name;
    Pluviometro pluviometer;  // only the diameter is stored
    Array<FieldSample> firstSample;
    Array<FieldSample> secondSample;
};

// Storage of evaluations in the table "pivot_evaluations" over an open connection. The
// sample lists are stored as the text of each sample joined with CR LF. Database errors pass
// unchanged to the caller.
class QUARVEX_EXPORT PivotEvaluations {
  public:
    PivotEvaluation newEvaluation(const std::string& name) const;
    // The "name" of every row, in the order the database returns them.
    Array<std::string> Enumerate(Connection& con);
    // Inserts (id ≤ 0; `self.id` becomes the new key) or updates the row of `self.id`.
    void save(Connection& con, PivotEvaluation& self);
    // Whether any row meets the SQL condition.
    bool exists(Connection& con, const std::string& conditions);
    // The evaluation of the first row meeting the SQL condition; none raises
    // errc::EvaluationNotFound.
    PivotEvaluation find(Connection& con, const std::string& conditions);
    void destroy(Connection& con, const PivotEvaluation& self);
    // The text of a sample list and back (blank text gives an empty list). `find` reads the
    // stored lists with FieldSamples::ParseStored: a stored number beyond the double range
    // raises errc::StoredNumberOutOfRange there.
    std::string samplesText(const Array<FieldSample>& samples) const;
    Array<FieldSample> samplesFromText(const std::string& text) const;
    const TableSchema& schema() const;
};

// ---------------------------------------------------------------------------------------
// Sprinklers and the catalogue
// ---------------------------------------------------------------------------------------

class AspersoresStatic;
class CartaAspersoresStatic;

// Discharge of a nozzle law q = a·p^b (p in kPa, q in L/s). Every selection routine uses this
// one expression so that equal inputs give bit-equal discharges.
inline double dischargeLaw(double a, double b, double p) {
    return a * std::pow(p, b);
}

// One catalogue nozzle: the discharge curve q = a·p^b (q in L/s, p in kPa) and the rated
// pressure and discharge ranges. Created only by `AspersoresStatic::newAspersor` (directly or
// through the catalogue queries) and shared by pointer.
class QUARVEX_EXPORT Aspersor {
  public:
    int id() const noexcept { return id_; }
    const std::string& nome() const noexcept { return nome_; }
    const ::quarvex::modelo& modelo() const noexcept { return modelo_; }
    const ::quarvex::marca& marca() const noexcept { return modelo_.marca; }
    // The coefficient and exponent as decimal text in the locale's number format.
    std::string a() const;
    std::string b() const;
    // The same as numbers, for computation and storage.
    double aValue() const noexcept { return a_; }
    double bValue() const noexcept { return b_; }
    double pmin() const noexcept { return pmin_; }  // kPa
    double pmax() const noexcept { return pmax_; }  // kPa
    double qmin() const noexcept { return qmin_; }  // L/s
    double qmax() const noexcept { return qmax_; }  // L/s

    // Discharge at `pressao` (kPa), L/s. A negative pressure with a non-integer exponent
    // raises errc::DivisionByZero.
    double calculate(double pressao) const;
    // (1 − variacao)·caudal ≤ calculate(pressao) ≤ (1 + variacao)·caudal; variacao is a
    // fraction (0.1 for 10 %).
    bool flowWithin(double pressao, double caudal, double variacao) const;
    // |1 − calculate(pressao) / caudal|; a discharge of 0 raises errc::DivisionByZero.
    double variacaoCaudal(double pressao, double caudal) const;
    bool isOnPressureRange(double presion) const;
    bool isLowPressure(double presion) const;   // presion < pmin
    bool isHighPressure(double presion) const;  // presion > pmax

    // Brand and model identifiers, as a save obtains them.
    void setModelo(const ::quarvex::modelo& m) { modelo_ = m; }

  private:
    friend class AspersoresStatic;
    friend class CartaAspersoresStatic;
    Aspersor() = default;
    void init(const std::string& boquilla, double a, double b, double pmin, double pmax,
              double qmin, double qmax, const ::quarvex::modelo& aModelo);
    void setId(int id) noexcept { id_ = id; }

    int id_ = 0;
    std::string nome_;
    ::quarvex::modelo modelo_;
    double a_ = 0;
    double b_ = 0;
    double pmin_ = 0;
    double pmax_ = 0;
    double qmin_ = 0;
    double qmax_ = 0;
};

using AspersorList = Collection<std::shared_ptr<Aspersor>>;

// The sprinkler catalogue (tables "Boquillas", "Modelos", "marca"). Every operation taking a
// connection string opens its own connection and closes it before returning; database
// errors propagate unchanged.
class QUARVEX_EXPORT AspersoresStatic {
  public:
    // The whole catalogue, in the order the database returns it. A row with incomplete data
    // raises errc::MissingAsperorDataException.
    AspersorList find(const std::string& connectionString) const;
    // The nozzles whose brand name / model name equals the text (quotes in it are doubled).
    AspersorList find_by_marca(const std::string& connectionString, const std::string& marca) const;
    AspersorList find_by_modelo(const std::string& connectionString,
                                const std::string& modelo) const;
    // A nozzle with id 0. A blank designation or any of a, b, pmin, pmax, qmin, qmax not
    // strictly positive raises errc::MissingAsperorDataException.
    std::shared_ptr<Aspersor> newAspersor(const std::string& boquilla, double a, double b,
                                          double pmin, double pmax, double qmin, double qmax,
                                          const modelo& aModelo) const;
    // The nozzles, in input order, whose discharge at pressao (kPa) lies within ±variacao of
    // caudal (L/s).
    AspersorList getPossibleAspersores(const AspersorList& availlableAspersores, double pressao,
                                       double caudal, double variacao) const;
    // The candidate with the smallest relative deviation; among equal deviations the later
    // one in input order. nullptr when none lies within variacaoMaxima.
    std::shared_ptr<Aspersor> getBestMatch(const AspersorList& availlableAspersores, double pressao,
                                           double caudal, double variacaoMaxima) const;
    // The one uninitialised nozzle of this service (all fields zero or empty).
    std::shared_ptr<Aspersor> NullAspersor();
    // Stores the nozzle, with its brand and model when they are new, in one transaction; on
    // any failure nothing is stored. A blank brand name raises
    // errc::MarcaMissingNameException, a blank model name errc::ModeloMissingNameException,
    // a model whose brand has no identifier errc::MarcaIsNewRecordException. The brand and
    // model identifiers obtained are written into the nozzle's model record.
    void save(const std::string& connectionString, Aspersor& anAspersor) const;
    Collection<marca> MarcasAll(const std::string& connectionString) const;
    Collection<modelo> ModelosAll(const std::string& connectionString) const;

    // Statement texts of the catalogue queries.
    static const std::string& catalogueColumns();
    static std::string catalogueJoins();
    static std::string selectByMarcaSQL(const std::string& marca);
    static std::string selectByModeloSQL(const std::string& modelo);
    // A nozzle from a record-set row holding the catalogue columns.
    std::shared_ptr<Aspersor> fromRow(const RecordSet& rs) const;

  private:
    AspersorList query(const std::string& connectionString, const std::string& sql) const;
    // Made with the service, so that handing it out changes nothing (threads share it).
    std::shared_ptr<Aspersor> null_ = std::shared_ptr<Aspersor>(new Aspersor());
};

// An index of a nozzle collection for the best-match rule. Grouped by exponent and sorted
// by coefficient, so that for one pressure the discharges within tolerance form one
// contiguous range per group. `bestMatch` answers exactly what
// `AspersoresStatic::getBestMatch` answers for the same collection, ties included.
class QUARVEX_EXPORT AspersorIndex {
  public:
    AspersorIndex() = default;
    explicit AspersorIndex(const AspersorList& all);
    std::shared_ptr<Aspersor> bestMatch(double pressao, double caudal, double variacaoMaxima) const;
    int size() const noexcept { return static_cast<int>(all_.size()); }

  private:
    struct Entry {
        double a;
        int order;  // position in the input collection
        std::shared_ptr<Aspersor> aspersor;
    };
    struct Group {
        double b;
        std::vector<Entry> byA;
    };
    std::shared_ptr<Aspersor> plainScan(double pressao, double caudal, double v) const;
    std::vector<Group> groups_;
    std::vector<std::shared_ptr<Aspersor>> all_;
};

// ---------------------------------------------------------------------------------------
// Hydraulic computation
// ---------------------------------------------------------------------------------------

class PivotWrapper;
class CartaAspersores;
class MountedAspersor;
class ReguladorPression;

// Something that changes a pivot record in place (regulators, mounted sprinklers).
class QUARVEX_EXPORT PivotApplier {
  public:
    virtual ~PivotApplier();
    // The base does nothing.
    virtual void apply(pivot& apivot);
};

// Chooses the sprinkler of every outlet during the real computation and owns the chart.
// The base does nothing and answers none.
class QUARVEX_EXPORT CalculosStrategy {
  public:
    virtual ~CalculosStrategy();
    virtual void setAvaillableAspersores(const AspersorList& all_aspersores);
    virtual void beforeCompute(PivotWrapper& pivot_wrapper);
    virtual void afterCompute(PivotWrapper& pivot_wrapper);
    // The sprinkler to mount on the outlet, or nullptr.
    virtual std::shared_ptr<Aspersor> aspersorFor(const saida& aSaida);
    virtual std::shared_ptr<CartaAspersores> carta();
};

using Reguladores = Collection<std::shared_ptr<ReguladorPression>>;

// How the last `compute` settled the inlet discharge.
enum class Convergence {
    None,         // not computed yet
    Plain,        // successive passes agreed within 1e-5 L/s
    Safeguarded,  // the bracketing root search on the inlet discharge settled it
};

// Hazen-Williams unit head loss, m of head per m of pipe: 1.21e10 × (Q / C)^1.852 × D^−4.87,
// Q in L/s (taken as max(0, Q)), C the Hazen-Williams coefficient, D the diameter in mm.
QUARVEX_EXPORT double hazenWilliamsUnitLoss(double caudal, double C, double diametro_mm);

// One pivot record and its hydraulic computation (ideal and real modes). Results are
// written into the wrapper's own copy of the pivot. Create with `Statics::newPivotWrapper`.
class QUARVEX_EXPORT PivotWrapper {
  public:
    PivotWrapper(const ::quarvex::pivot& apivot, std::shared_ptr<CalculosStrategy> strategy);

    // Largest number of plain passes before the safeguarded search takes over.
    static constexpr int kMaxPlainPasses = 60;
    // Two passes agreeing within this discharge have converged, L/s.
    static constexpr double kConvergenceTolerance = 0.00001;

    std::shared_ptr<CalculosStrategy> strategy() const { return strategy_; }
    void setAvaillableAspersores(const AspersorList& all_aspersores);
    // Clears every span's regulator, applies each regulator in order (a later one for the
    // same span wins), keeps the collection and hands it to the chart.
    void aplicaReguladores(std::shared_ptr<Reguladores> reguladores);
    std::shared_ptr<Reguladores> getReguladores();
    void setIndicadores(const indicadores& aIndicadores);
    indicadores getIndicadores();
    void setPluviometriaCheck(const PluviometryCheck& apluviometria);
    PluviometryCheck getPluviometriaCheck();
    void setEndGunBoost(double boost);  // kPa
    double getEndGunBoost();
    void setDrop(const Drop& aDrop);
    // errc::DropIncompleteException when the chart's drop is not valid.
    void installDrop();
    void uninstallDrop();
    Drop getDrop();
    void apply(PivotApplier& applier);
    void setTimeForCompleteRevolution(double tempo_revolucao);  // h
    double getLongitudeTotal() const;                           // m
    int numeroTotalDeSaidas();
    double pluviosidadeMaxima(const PivotSample& Sample) const;  // mm/h
    bool hasEndGun() const;
    double totalComputedDischarge() const;  // L/s
    saida& saidaAt(int index);
    // Acting pressure and ideal discharge of the outlet. End-gun coordinates without a gun,
    // or numbers out of range, raise errc::SubscriptOutOfRange.
    ParPressaoCaudal getPressaoCaudalAt(const CoordenadasSaida& coordenadas);
    // One sample per outlet of the fixed spans, the overhang, then the gun.
    Array<WaterDepthSample> WaterDepthsSamples(bool ideal);
    // A new chart holding the sprinklers now mounted.
    std::shared_ptr<CartaAspersores> extractCarta();
    // Ideal computation, then the strategy's beforeCompute, the real computation and
    // afterCompute.
    void calculate();
    // The real computation with the drop (the sprinklers come from the wrapper's own
    // strategy): passes with the inlet discharge of the previous pass until two agree within
    // 1e-5 L/s. When the plain passes have not settled after kMaxPlainPasses
    // (or repeat themselves), a bracketing root search on the inlet discharge finds the
    // discharge the sprinklers draw. When even that cannot settle, raises
    // errc::ComputationDidNotConverge, with the last pass's results left in the pivot.
    void compute(const Drop& aDrop);
    std::shared_ptr<CartaAspersores> carta();
    double idealContinuosPressureLossForTramo(int order) const;  // kPa
    double idealEndGunDischarge() const;                         // L/s
    void computeIdealOperationMode();
    void calculaEndGunIdeal(Gun& aGun, const ParPressaoCaudal& initial_conditions);
    void update(::quarvex::pivot& toUpdate) const;

    // Real passes the last compute ran, and how it settled.
    int lastIterations() const noexcept { return iterations_; }
    Convergence lastConvergence() const noexcept { return convergence_; }
    const ::quarvex::pivot& pivot() const noexcept { return pivot_; }

    // The ideal computation with the given drop (creation uses the null drop).
    void computeIdeal(const Drop& drop);
    // One real pass of the machine for the inlet discharge Qin (L/s); returns the discharge
    // the sprinklers drew (also left in caudaDaCartaAssociada).
    double realPass(double Qin, const Drop& drop);

  private:
    Drop effectiveDrop();
    void idealSpan(tramo& span, ParPressaoCaudal& cur, double x0, const Drop& drop, double Q,
                   double R2);
    void realSpan(tramo& span, ParPressaoCaudal& cur, double x0, const Drop& drop);
    void mount(saida& outlet, double pAvail, double pAct);

    ::quarvex::pivot pivot_;
    std::shared_ptr<CalculosStrategy> strategy_;
    std::shared_ptr<Reguladores> reguladores_;
    int iterations_ = 0;
    Convergence convergence_ = Convergence::None;
};

// ---------------------------------------------------------------------------------------
// Pressure regulators, drops and pipe materials
// ---------------------------------------------------------------------------------------

// A pressure regulator fitted to every outlet of one span (fixed spans 1..n, overhang n+1).
class QUARVEX_EXPORT ReguladorPression : public PivotApplier {
  public:
    ReguladorPression(int tramo, double pression, double caudal_max, double caudal_min,
                      bool installed);
    bool installed() const noexcept { return installed_; }
    double pression() const noexcept { return pression_; }              // kPa
    double minimum_caudal() const noexcept { return minimum_caudal_; }  // L/s
    double maximum_caudal() const noexcept { return maximum_caudal_; }  // L/s
    int tramo() const noexcept { return tramo_; }
    // pivot_wrapper.apply(*this).
    void apply_to(PivotWrapper& pivot_wrapper);
    // Installed: the span's outlets work at `pression`; otherwise its regulator is cleared.
    // A span number outside the pivot raises errc::SubscriptOutOfRange.
    void apply(::quarvex::pivot& apivot) override;
    void install() noexcept { installed_ = true; }
    void uninstall() noexcept { installed_ = false; }

  private:
    int tramo_;
    double pression_;
    double maximum_caudal_;
    double minimum_caudal_;
    bool installed_;
};

class QUARVEX_EXPORT PipeMaterials {
  public:
    // Every row of "pipe_materials", ordered by "id asc".
    Collection<PipeMaterial> All(Connection& con) const;
    PipeMaterial NullPipeMaterial() const;
    bool Equals(const PipeMaterial& self, const PipeMaterial& other) const;  // same id
    // The row with that id, or NullPipeMaterial.
    PipeMaterial find(Connection& con, int id) const;
};

class QUARVEX_EXPORT Drops {
  public:
    // diametro > 0, p_pipe_material_id ≥ 1 and longitud > 0.
    bool isValid(const Drop& self) const;
    bool Differs(const Drop& self, const Drop& other) const;
    // Same material, diameter, null flag and length (the installed flag is not compared).
    bool Equals(const Drop& self, const Drop& other) const;
    // Friction loss of the drop for a discharge (L/s), kPa: 0 for the null drop.
    double PressureLoss(const Drop& self, double discharge) const;
    Drop createNull() const;
    Drop newDrop(double diameter, double longitud, const PipeMaterial& pipe_material) const;
    // errc::DropIncompleteException when not valid (the drop stays uninstalled).
    void Install(Drop& self) const;
    void Uninstall(Drop& self) const;
    bool IsInstalled(const Drop& self) const;
    bool IsEmpty(const Drop& self) const;

    // Storage of a chart's drop in "tb_drop" on an open connection.
    void deleteDrop(Connection& con, int carta_id) const;
    // Deletes, then inserts the drop unless it is empty.
    void saveDrop(Connection& con, const Drop& drop, int carta_id) const;
    // The stored drop, or createNull when the chart has none.
    Drop loadDrop(Connection& con, int carta_id) const;
    static const TableSchema& dropTable();
};

// ---------------------------------------------------------------------------------------
// Sprinkler charts
// ---------------------------------------------------------------------------------------

// One sprinkler on one outlet of a chart.
class QUARVEX_EXPORT MountedAspersor : public PivotApplier {
  public:
    bool deleted() const noexcept { return deleted_; }
    void setDeleted(bool d) noexcept { deleted_ = d; }
    void init(const CoordenadasSaida& coordenadas, std::shared_ptr<::quarvex::Aspersor> umAspersor);
    int id() const noexcept { return id_; }
    void setId(int id) noexcept { id_ = id; }
    const std::shared_ptr<::quarvex::Aspersor>& Aspersor() const noexcept { return aspersor_; }
    const CoordenadasSaida& saida() const noexcept { return saida_; }
    // Puts the sprinkler (mount_on) or none (unMount_on) on the outlet in the pivot: the end
    // gun's, the overhang's (span n+1) or a fixed span's. Numbers outside the pivot raise
    // errc::SubscriptOutOfRange.
    void mount_on(::quarvex::pivot& apivot) const;
    void unMount_on(::quarvex::pivot& apivot) const;
    // unMount_on when deleted, else mount_on.
    void apply(::quarvex::pivot& apivot) override;

  private:
    ::quarvex::saida& outletOf(::quarvex::pivot& apivot) const;
    bool deleted_ = false;
    std::shared_ptr<::quarvex::Aspersor> aspersor_;
    CoordenadasSaida saida_;
    int id_ = 0;
};

using MountedAspersores = Collection<std::shared_ptr<MountedAspersor>>;

// The sprinkler package of one pivot design: mounted sprinklers keyed by
// CoordenadasSaidas::ToString of their outlet (insertion order), and the accessories.
class QUARVEX_EXPORT CartaAspersores {
  public:
    int id() const noexcept { return id_; }
    void setId(int id) noexcept { id_ = id; }
    void setNome(const std::string& nome) { nome_ = nome; }
    const std::string& getNome() const noexcept { return nome_; }
    void setEndGunBoost(double value) noexcept { boost_ = value; }  // kPa
    double getEndGunBoost() const noexcept { return boost_; }
    void init();
    void setIndicadores(const indicadores& aIdicadores) { indicadores_ = aIdicadores; }
    indicadores getIndicadores() const { return indicadores_; }
    // Keeps the collection itself (shared, not copied).
    void setReguladores(std::shared_ptr<Reguladores> reguladores);
    // The kept collection; an empty one is created and kept on the first call.
    std::shared_ptr<Reguladores> getReguladores();
    void setPluviometriaCheck(const PluviometryCheck& p) { pluviometria_ = p; }
    PluviometryCheck getPluviometriaCheck() const { return pluviometria_; }
    // The entry at the outlet when present (not deleted), otherwise nullptr.
    std::shared_ptr<MountedAspersor> mountedAspersorAt(const CoordenadasSaida& coordenadas);
    void removeMountedAspersor(const MountedAspersor& amountedAspersor);
    void setDrop(const Drop& aDrop) { drop_ = aDrop; }
    Drop getDrop() const { return drop_; }
    // errc::DropIncompleteException when the drop is not valid.
    void installDrop();
    void uninstalDrop();
    void removeAndUmountAt(const CoordenadasSaida& coordenadas, PivotWrapper& apivot);
    void addAndMountAspersor(std::shared_ptr<MountedAspersor> amountedAspersor,
                             PivotWrapper& apivot);
    // Replaces any entry at the same outlet and appends this one.
    void addMountedAspersor(std::shared_ptr<MountedAspersor> amountedAspersor);
    // Marks the present entry deleted (it keeps its key).
    void removeAspersorAt(const CoordenadasSaida& coordenadas);
    void mountAsperoresOn(PivotWrapper& umPivot);
    bool hasMountedAspersorAt(const CoordenadasSaida& coordenadas) const;
    // Takes the indicators, the regulators (the same collection), the pluviometry check and
    // the drop of the source.
    void transferAcessoriesFrom(CartaAspersores& source);
    // Every entry, deleted ones included, for the chart store.
    const MountedAspersores& mountedAspersores() const noexcept { return mounted_; }

  private:
    int id_ = 0;
    std::string nome_;
    double boost_ = 0;
    indicadores indicadores_;
    PluviometryCheck pluviometria_;
    std::shared_ptr<Reguladores> reguladores_;
    Drop drop_;
    MountedAspersores mounted_;
};

// The chart service (one per Statics instance).
class QUARVEX_EXPORT CartaAspersoresStatic {
  public:
    // A new entry binding the sprinkler to the outlet.
    std::shared_ptr<MountedAspersor> newMountedAspersor(const CoordenadasSaida& coordenadas,
                                                        std::shared_ptr<Aspersor> umAspersor) const;

    // Storage of charts in the projects database (tables "tb_cartas", "tb_aspersores",
    // "tb_reguladores", "tb_indicadores", "tb_pluviometria" and the drop store's "tb_drop").
    // Each operation opens its own connection from the connection string and closes it on
    // every path; database errors pass to the caller with their numbers.

    // Deletes the chart and all its rows in one transaction (rolled back on any failure).
    void destroy(const std::string& connectionString, int id_carta) const;
    // The same on an open connection, inside the caller's transaction when one is open (so a
    // caller can remove charts together with other rows, all or nothing), otherwise in one
    // of its own. The connection stays open.
    void destroy(Connection& con, int id_carta) const;
    // The stored chart; its mounted sprinklers are read from the catalogue database file
    // `asperdbpath` in the same query (a sprinkler missing there is dropped). An identifier
    // without chart gives an empty chart with id 0; a chart without its indicator or
    // pluviometry row raises errc::DatabaseNoCurrentRow.
    std::shared_ptr<CartaAspersores> find(const std::string& connectionString,
                                          const std::string& asperdbpath, int id_carta) const;
    // Name and identifier of every chart of the system, keyed by name.
    Collection<CartaInfo> enumerateAll(const std::string& connectionString, int id_sistema) const;
    Collection<CartaInfo> enumerateAll(Connection& con, int id_sistema) const;
    bool AnyFor(const std::string& connectionString, int id_sistema) const;
    // Saves the chart as a new one, whatever identifier it has. A name taken in the system
    // raises errc::NomeDaCartaJaExistente; on that and on any other failure nothing is stored
    // and the chart keeps the identifier it had.
    void saveAsNew(const std::string& connectionString, int id_sistema,
                   CartaAspersores& carta) const;
    // Inserts (a chart whose id is not stored for the system; a taken name raises
    // errc::NomeDaCartaJaExistente and nothing is written) or updates the chart, then
    // rewrites all its rows, in one transaction. Names are stored exactly, quotes included.
    // The chart takes its new identifier only once the transaction is committed: a failed
    // save (a commit refused because another connection reads the file, for instance) leaves
    // it unchanged, so saving it again inserts it again.
    void save(const std::string& connectionString, int id_sistema, CartaAspersores& carta) const;
    // The same inside the caller's open transaction (so a caller can store other rows of the
    // chart with it, all or nothing), as a new chart when `asNew` is set. Returns the
    // identifier the chart is stored under; the chart keeps the one it has, for the caller
    // to give it once the transaction is committed.
    int saveIn(Connection& con, int id_sistema, CartaAspersores& carta, bool asNew) const;

  private:
    // Writes the chart's rows inside the open transaction as chart `id_carta` (0 or an id
    // not stored for the system: a new chart) and returns the identifier it was stored under.
    int write(Connection& con, int id_sistema, CartaAspersores& carta, int id_carta) const;
};

// ---------------------------------------------------------------------------------------
// Factory
// ---------------------------------------------------------------------------------------

// The global factory of the library's services and records. The shared services live
// until the process ends; `statics()` is the process-wide instance.
class QUARVEX_EXPORT Statics {
  public:
    Statics();
    ~Statics();
    Statics(const Statics&) = delete;
    Statics& operator=(const Statics&) = delete;

    indicadores newIndicadores(double horas, int nsaidas) const;
    PivotSample newPivotSample(double centerDistance, double wetDiameter,
                               const std::string& code) const;
    KostiakovParameters newKostiakovParameters(double k, double a) const;
    pivot newPivot() const;

    // The sprinkler catalogue service and the chart service of this instance.
    AspersoresStatic& Aspersores();
    CartaAspersoresStatic& CartaAspersor();
    // A new empty chart, already initialised.
    std::shared_ptr<CartaAspersores> newCartaAspersores() const;
    // A wrapper holding a copy of the pivot and the strategy; runs the ideal computation
    // once without drop.
    std::shared_ptr<PivotWrapper> newPivotWrapper(const pivot& apivot_dt,
                                                  std::shared_ptr<CalculosStrategy> strategy) const;
    std::shared_ptr<ReguladorPression> newReguladorPression(int tramo, double pression,
                                                            double caudal_max, double caudal_min,
                                                            bool installed) const;
    ::quarvex::Drops& Drops();
    ::quarvex::PipeMaterials& PipeMaterials();

    ::quarvex::Pivots& Pivots();
    ::quarvex::Tramos& Tramos();
    ::quarvex::Arrays& Arrays();
    ::quarvex::Types& Gun();
    ::quarvex::CoordenadasSaidas& CoordenadasSaidas();
    ::quarvex::Types& Placements();
    ::quarvex::Doubles& Doubles();
    ::quarvex::Types& Saidas();
    ::quarvex::FieldSamples& FieldSamples();
    ::quarvex::WaterDepths& WaterDepths();
    ::quarvex::Pluviometros& Pluviometros();
    ::quarvex::PivotEvaluations& PivotEvaluations();

  private:
    struct Services;
    std::unique_ptr<Services> services_;
};

// The process-wide factory.
QUARVEX_EXPORT Statics& statics();

}  // namespace quarvex
