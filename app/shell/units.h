// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program's unit constants and conversions. Internal units are fixed: m for lengths and
// distances, mm for diameters and depths, L/s for discharges, kPa for pressures, h for times;
// hectares and percentages only at the edges (boxes, stored project fields).
#pragma once

namespace kambrix {

inline constexpr double kSquareMetresPerHectare = 10000.0;
inline constexpr double kDegreesPerRadian = 57.29577951308238;
inline constexpr double kPercent = 100.0;
// π as the program writes it (ring areas, revolutions).
inline constexpr double kPi = 3.14159265358979;
// 2π as the system writes it for a revolution.
inline constexpr double kTwoPi = 6.28318530717958;
inline constexpr double kSecondsPerHour = 3600.0;
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kMinutesPerHour = 60.0;
inline constexpr double kHoursPerDay = 24.0;
inline constexpr double kCentimetresPerMetre = 100.0;
// One metre of water head.
inline constexpr double kKiloPascalPerMetreOfHead = 10.0;
// Maker tables in US units.
inline constexpr double kKiloPascalPerPsi = 6.894757293168361;
inline constexpr double kLitresPerSecondPerGpm = 0.0630901964;

constexpr double hectaresToSquareMetres(double ha) {
    return ha * kSquareMetresPerHectare;
}
constexpr double squareMetresToHectares(double m2) {
    return m2 / kSquareMetresPerHectare;
}
constexpr double radiansToDegrees(double rad) {
    return rad * kDegreesPerRadian;
}
constexpr double percentToFraction(double pct) {
    return pct / kPercent;
}
constexpr double fractionToPercent(double f) {
    return f / 0.01;
}
constexpr double centimetresToMetres(double cm) {
    return cm / kCentimetresPerMetre;
}

}  // namespace kambrix
