// SPDX-License-Identifier: GPL-3.0-or-later
//
// The library's fixed units and the named conversions between them. Internal units: m, mm
// (pipe diameters and water depths), L/s, kPa, hours. π and 2π are written with the digits
// the stored results were computed with, so results stay bit-equal to them.
#pragma once

namespace quarvex::units {

inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;

// One metre of water head counts as 10 kPa in every pressure balance.
inline constexpr double kKPaPerMetreOfHead = 10.0;
inline constexpr double kSecondsPerHour = 3600.0;
// Outlet spacing is entered in cm and held in m.
inline constexpr double kCentimetresPerMetre = 100.0;
// A volume in ml over an area in m² gives a depth in thousandths of a mm.
inline constexpr double kMillilitresPerSquareMetrePerMillimetre = 1000.0;

}  // namespace quarvex::units
