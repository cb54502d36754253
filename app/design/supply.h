// SPDX-License-Identifier: GPL-3.0-or-later
//
// The water that really reaches the pivot: the pump's curve, the line from the pump to the
// pivot point, and where the package meets them (the operating point). A chart is computed
// at the design pressure typed for the pivot point; in the field the pressure at the pivot
// is where the pump's pressure, less the lift and the line's loss, meets what the package
// draws, and it moves when the end gun or its booster switches, and as nozzles wear.
//
// Units as everywhere in the program: discharge L/s, pressure kPa, lengths m, diameters mm;
// 1 m of head is counted as 10 kPa, as in the lateral.
#pragma once

#include <quarvex/quarvex.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "design/automatic_package.h"

namespace kambrix {

// One row of a pump curve: a discharge and the pressure at the pump outlet.
struct PumpRow {
    double caudal = 0;   // L/s
    double presion = 0;  // kPa
    friend bool operator==(const PumpRow&, const PumpRow&) = default;
};

// The most rows a pump curve may hold.
inline constexpr std::size_t kMaxPumpRows = 100;

enum class PumpCurveKind {
    OnePoint,       // one row (Q1, P1): P(Q) = 4/3·P1 − 1/3·P1·(Q/Q1)²
    PowerFunction,  // three rows, the first at Q = 0: P(Q) = A − B·Q^C through the three
    Linear,         // any other count: straight lines between the rows
};

// A pump's pressure against discharge, read by the usual rules for pump curves in network
// models. Rows must be strictly increasing in discharge and not increasing in pressure; a
// curve that breaks a rule is refused with AppError errc::PumpCurveRefused naming the row.
class PumpCurve {
  public:
    explicit PumpCurve(std::vector<PumpRow> rows);

    PumpCurveKind kind() const noexcept { return kind_; }
    const std::vector<PumpRow>& rows() const noexcept { return rows_; }
    // The largest discharge the curve describes: 2·Q1 for one row (where the pressure falls
    // to 0), (A/B)^(1/C) for the power function, the last row's discharge for straight
    // lines (the curve is not extended past its last row).
    double lastDischarge() const noexcept { return lastQ_; }
    // The pressure at the pump outlet for discharge `caudal`; none below 0 or past
    // lastDischarge(). Straight lines before the first row follow the first segment back
    // to zero discharge.
    std::optional<double> pressure(double caudal) const;
    // Coefficients of the power function (PowerFunction only).
    double A() const noexcept { return A_; }
    double B() const noexcept { return B_; }
    double C() const noexcept { return C_; }

  private:
    std::vector<PumpRow> rows_;
    PumpCurveKind kind_ = PumpCurveKind::Linear;
    double lastQ_ = 0;
    double A_ = 0, B_ = 0, C_ = 0;
};

// The line from the pump to the pivot point.
struct SupplyLine {
    double lift = 0;       // static lift, m: the pivot point above the water (negative below)
    double length = 0;     // m; 0 for none
    double diametro = 0;   // inside diameter, mm
    double rugosidad = 0;  // Hazen-Williams C
    friend bool operator==(const SupplyLine&, const SupplyLine&) = default;
};

// The pressure and discharge measured at the pivot point.
struct MeasuredSupply {
    double presion = 0;  // kPa
    double caudal = 0;   // L/s
    friend bool operator==(const MeasuredSupply&, const MeasuredSupply&) = default;
};

// Everything a system keeps about the water that feeds it.
struct Supply {
    std::vector<PumpRow> pump;  // empty: no pump curve given
    SupplyLine line;
    std::optional<MeasuredSupply> measured;
    // Worn nozzles: this fraction more discharge at the same pressure (0.1 for 10 %),
    // applied to every nozzle's coefficient a.
    double nozzleWear = 0;
    bool empty() const { return pump.empty() && !measured && nozzleWear == 0; }
    friend bool operator==(const Supply&, const Supply&) = default;
};

// Why a supply cannot be used, in the user's words (the first problem found), or none.
// The pump rows are checked as PumpCurve checks them.
std::optional<std::string> supplyProblem(const Supply& supply);

// The line's friction loss at discharge `caudal`, kPa (0 without a line).
double supplyLineLoss(const SupplyLine& line, double caudal);

// The pressure the supply gives at the pivot point for an inlet discharge:
// P(Q) − 10·lift − loss(Q); none where the pump curve has no pressure.
std::optional<double> supplyPressureAtPivot(const PumpCurve& pump, const SupplyLine& line,
                                            double caudal);

// Where a package's curve meets the supply.
struct OperatingPoint {
    bool found = false;
    double caudal = 0;   // inlet discharge, L/s
    double presion = 0;  // pressure at the pivot point, kPa
    // Why there is none, in the user's words (empty when found).
    std::string reason;
    int evaluations = 0;  // computations of the package the search ran
};

// The search's tolerance on the inlet discharge, L/s.
inline constexpr double kOperatingPointTolerance = 1e-6;

// The operating point of a package whose curve is `chartDischarge` (the inlet discharge the
// package draws with the pivot point held at a pressure; called only with pressures above
// 0): a bracketing search on the inlet discharge over [0, the pump's last discharge] for
// the discharge the package draws at the pressure the supply gives there. The point
// reported is one the package was computed at: its discharge is what the package draws at
// its pressure. None when the supply gives no pressure at the pivot even with no
// discharge, or when the package draws more than the curve's last discharge.
OperatingPoint findOperatingPoint(const std::function<double(double)>& chartDischarge,
                                  const PumpCurve& pump, const SupplyLine& line);

// ---- a chart against its supply ----------------------------------------------------------

// A package ready to be computed at any pivot pressure: the pivot record (as buildPivot
// makes it, its `presion` the design pressure), the chart's sprinklers and the settings
// (nozzles of the catalogue, regulators, drop, booster, indicator inputs).
struct ChartSetup {
    quarvex::pivot pivot;
    std::shared_ptr<quarvex::CartaAspersores> chart;
    PackageSettings settings;
};

// How the machine runs in one case.
struct MachineState {
    bool endGun = true;   // the end gun on (when the pivot has one)
    bool booster = true;  // its booster on
    double wear = 0;      // nozzle wear, fraction
};

// The chart computed with the pivot point held at `presion` in the given state: a new
// wrapper with a copy of the pivot and of the chart (worn nozzles are copies with a larger
// coefficient). A computation that does not settle raises errc::ComputationDidNotConverge.
std::shared_ptr<quarvex::PivotWrapper> computeChartAt(const ChartSetup& setup, double presion,
                                                      const MachineState& state);

// The names of the cases, in the order they are reported.
inline constexpr const char* kCaseGunAndBooster = "gun and booster on";
inline constexpr const char* kCaseBoosterOff = "gun on, booster off";
inline constexpr const char* kCaseGunOff = "gun off";
inline constexpr const char* kCaseAsDesigned = "as designed";

// One way of running the machine and what it gives.
struct SupplyCase {
    std::string name;
    MachineState state;
    OperatingPoint point;         // "as designed": found, at the design pressure
    bool settled = true;          // the computation at the point settled
    std::optional<double> UD;     // %
    std::optional<double> CU;     // %
    std::optional<double> depth;  // average depth at the 100 % timer, mm
    // The lowest pressure a sprinkler works at (after drop and regulator), kPa.
    std::optional<double> lowestSprinklerPressure;
    int starvedRegulators = 0;
    std::vector<std::string> problems;  // why a value is missing
    // The computed machine at the point (none when there is no point).
    std::shared_ptr<quarvex::PivotWrapper> wrapper;
};

// The measured supply against the chart.
struct MeasuredCheck {
    MeasuredSupply measured;
    double chartDischarge = 0;     // what the chart draws at the measured pressure, L/s
    double differencePercent = 0;  // (measured − chart) / chart × 100
    std::string meaning;           // what the difference points to
};

// Within this share the measured discharge agrees with the chart, %.
inline constexpr double kMeasuredAgreementPercent = 5.0;

// The words for a measured discharge that differs from the chart's by `percent`.
std::string measuredMeaning(double percent);

// A point of the supply figure.
struct SupplyCurvePoint {
    double caudal = 0;   // L/s
    double presion = 0;  // kPa
};

// The chart against its supply: the cases (with an end gun: gun and booster on, gun on
// with the booster off, gun off, and as designed; without one: the machine at its
// operating point, named "gun off", and as designed; without a pump curve only "as
// designed"), the measured check, and the curves of the figure.
struct SupplyAnalysis {
    std::vector<SupplyCase> cases;
    std::optional<MeasuredCheck> measured;
    // The supply's pressure at the pivot against discharge (empty without a pump curve).
    std::vector<SupplyCurvePoint> supplyCurve;
    // The chart's curve of each case but "as designed", in the order of `cases`.
    std::vector<std::vector<SupplyCurvePoint>> chartCurves;
};

// Everything the supply tab and the commands show. The supply must pass supplyProblem
// (otherwise AppError errc::PumpCurveRefused or errc::ValueOutOfRange). `curvePoints` is
// the number of pressures each chart curve of the figure is computed at (0: no figure).
SupplyAnalysis analyseSupply(const ChartSetup& setup, const Supply& supply, int curvePoints = 0);

// The operating point of the chart as it stands (gun and booster on, worn as the supply
// says): what a comparison "at the operating point" judges each candidate at.
OperatingPoint operatingPointOf(const ChartSetup& setup, const Supply& supply);

}  // namespace kambrix
