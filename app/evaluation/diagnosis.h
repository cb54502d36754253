// SPDX-License-Identifier: GPL-3.0-or-later
//
// What a catch-can test says about the machine: the scheduling coefficient, the zones of low
// and high cans and the outlets of the tested chart above them, the trend along the pipe,
// the end gun, the supply measured at the pivot, the chart's own profile beside the
// measured one, and the uniformity after the faults are mended.
//
// Every indicator uses the valid cans only, ordered by distance, each weighted by its
// distance from the pivot (as UD and CU of the evaluation).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/plot_data.h"
#include "shell/unit_system.h"

namespace kambrix {

// The thresholds of the diagnosis, in one place.
namespace diagnosis_limits {
inline constexpr double kScheduleShare = 0.05;     // the run of the scheduling coefficient
inline constexpr double kLowCan = 0.80;            // below this share of its neighbours' mean
inline constexpr double kHighCan = 1.20;           // above this share
inline constexpr int kNeighbours = 2;              // valid cans on each side
inline constexpr double kTrendFrom = 0.10;         // share of the pipe length
inline constexpr double kTrendTo = 0.90;           // share of the pipe length
inline constexpr double kTrendChangePercent = 10;  // a fall or rise beyond this
inline constexpr double kEndGunLow = 0.80;         // the gun's cans against the rest
inline constexpr double kEndGunHigh = 1.20;
inline constexpr double kSupplyDifference = 0.10;      // measured against the chart
inline constexpr double kWindCaution = 1.0;            // m/s
inline constexpr double kWindNotRepresentative = 5.0;  // m/s
}  // namespace diagnosis_limits

inline constexpr const char* kLowZoneReading = "frozen, plugged or missing sprinkler";
inline constexpr const char* kHighZoneReading = "worn or wrong nozzle, or a leak";
inline constexpr const char* kSupplyBelowDesign =
    "supply below design (pressure or discharge at the pivot lower than the chart assumes)";
inline constexpr const char* kSupplyAboveDesign = "supply above design";
inline constexpr const char* kEndGunUnder = "end gun under-applying, or its arc or stop set wrong";
inline constexpr const char* kEndGunOver = "end gun over-applying";

// One valid can: its distance from the pivot (m, its weight) and its depth (mm).
struct CanDepth {
    double distance = 0;
    double depth = 0;
    friend bool operator==(const CanDepth&, const CanDepth&) = default;
};

// An outlet of the tested chart.
struct ChartOutlet {
    int tramo = 0;  // fixed spans 1..n, the overhang n+1, the end gun -1
    int saida = 0;
    double distance = 0;       // m
    std::string nozzle;        // "brand model nozzle"; empty without sprinkler
    double designedDepth = 0;  // mm, at the test's revolution time
};

// What the diagnosis is given besides the cans.
struct DiagnosisInput {
    std::vector<CanDepth> cans;  // valid cans, in any order
    // The pipe's end (the last span's or the overhang's), m; without it the farthest can.
    std::optional<double> pipeLength;
    // The tested chart: its outlets, its actual depth profile at the test's revolution time
    // (x in m, y in mm, ascending x) and the UD and CU it predicts (%).
    std::vector<ChartOutlet> outlets;
    std::vector<XYPoint> designedProfile;
    std::optional<double> designedUD, designedCU;
    // The supply measured at the pivot and what the chart computes (kPa, L/s).
    std::optional<double> measuredPressure, measuredDischarge;
    std::optional<double> chartPressure, chartDischarge;
    std::optional<double> windSpeed;    // m/s
    char decimalSeparator = '.';        // of the numbers in the sentences
    UnitSystem units = UnitSystem::SI;  // of the distances and the supply in the sentences
};

struct CanZone {
    double from = 0;  // m, the first can of the zone
    double to = 0;    // m, the last
    std::vector<CanDepth> cans;
    std::vector<ChartOutlet> suspects;  // the chart's outlets over the widened zone
    std::string reading;                // kLowZoneReading or kHighZoneReading
};

struct Uniformity {
    std::optional<double> UD;  // %
    std::optional<double> CU;  // %
    std::vector<std::string> problems;
};

struct DesignedCan {
    double distance = 0;
    double measured = 0;          // mm
    double designed = 0;          // mm
    std::optional<double> ratio;  // measured ÷ designed (none where the design gives 0)
};

struct Diagnosis {
    double averageDepth = 0;  // weighted, mm
    Uniformity measured;      // the plain UD and CU of the cans
    std::optional<double> SC;
    std::pair<double, double> scRun{0, 0};  // m, the run with the lowest average
    std::vector<CanZone> lowZones, highZones;
    // The trend: the fitted change from 10 % to 90 % of the pipe length, and what it reads.
    std::optional<double> trendChangePercent;
    std::string trendVerdict;  // empty within the limit
    // The end gun: the cans beyond the pipe's end against the rest.
    std::optional<double> endGunRatio;
    std::string endGunVerdict;
    // Measured supply against the chart, one sentence per difference beyond the limit.
    std::vector<std::string> supplyFindings;
    std::vector<DesignedCan> designed;
    Uniformity afterRepair;    // low and high cans replaced by their neighbours' mean
    Uniformity withoutEndGun;  // the cans beyond the pipe's end left out
    Uniformity smoothed;       // each can the mean of itself and its valid neighbours
    // Wind: a caution above 1 m/s, a warning above 5 m/s.
    std::string wind;
    // The findings in plain sentences (distances in m, numbers with the input's decimal
    // separator), in the order above.
    std::vector<std::string> findings;
};

// The diagnosis of the cans. Fewer than three valid cans give only the plain indicators
// and a finding saying why nothing more can be said.
Diagnosis diagnose(const DiagnosisInput& input);

// The distance-weighted UD and CU (%) of a list of cans, as the evaluation computes them.
Uniformity uniformityOf(const std::vector<CanDepth>& cans);

}  // namespace kambrix
