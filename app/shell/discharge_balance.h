// SPDX-License-Identifier: GPL-3.0-or-later
//
// The balance of the ideal design: the outlets' ideal discharges and the end gun's add up to
// the design discharge only nearly. Each outlet delivers 2·r·s·Q/R², the share of its ring
// [r − s, r] counted at the ring's outer edge (a little more than the ring's own share);
// the stretch of a span beyond its last outlet (the length the outlet spacing does not
// cover) belongs to no outlet; and the end gun delivers 2·L·rs·Q/R², which leaves out the
// part rs²·Q/R² of its ring [L, L + rs]. The three add up exactly to the difference.
#pragma once

#include <quarvex/quarvex.h>

#include <string>
#include <vector>

namespace kambrix {

struct UncoveredStretch {
    std::string span;   // "span 3", or "the overhang"
    double length = 0;  // m beyond the span's last outlet
};

struct DischargeBalance {
    double design = 0;   // the design discharge Q, L/s
    double outlets = 0;  // the spans' outlets (the overhang's included), L/s
    double endGun = 0;   // L/s
    // The parts of the difference (outlets + endGun − design = outerEdge − uncovered − gunRing).
    double outerEdge = 0;  // L/s the outlets add by being counted at the outer edge of their ring
    double uncovered = 0;  // L/s of the span stretches beyond the last outlets
    double gunRing = 0;    // L/s of the gun's ring that the share 2·L·rs/R² leaves out
    std::vector<UncoveredStretch> stretches;  // the spans with a stretch, in order
    double total() const { return outlets + endGun; }
    double difference() const { return total() - design; }
};

// The balance of a pivot computed in the ideal mode (its outlets' `caudal` filled).
DischargeBalance idealDischargeBalance(const quarvex::pivot& computed);

// The lines the design screen shows, numbers in the user's notation: "Outlets 58.620 L/s +
// end gun 1.200 L/s = 59.820 L/s for a design discharge of 60.000 L/s (−0.180 L/s)", then
// one line per reason that weighs at least half a thousandth of a litre per second.
std::string dischargeBalanceText(const DischargeBalance& balance, char decimalSeparator);

}  // namespace kambrix
