// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/discharge_balance.h"

#include <cmath>

#include "shell/number_text.h"

namespace kambrix {

namespace {

// A reason below this many L/s is not worth a line.
constexpr double kNegligible_Ls = 0.0005;

}  // namespace

DischargeBalance idealDischargeBalance(const quarvex::pivot& computed) {
    auto& pivots = quarvex::statics().Pivots();
    DischargeBalance b;
    b.design = computed.caudal;
    const double R = pivots.AllIrrigatedLenght(computed);
    const double share = R > 0 ? computed.caudal / (R * R) : 0.0;  // L/s per m² of r²
    const int n = computed.Tramos.Length();
    auto span = [&](const quarvex::tramo& t, double x0, const std::string& name) {
        const double s = t.separacionSaidas;
        for (int k = 1; k <= t.Saidas.Length(); ++k) {
            b.outlets += t.Saidas(k).caudal;
            b.outerEdge += share * s * s;
        }
        const double covered = s * t.Saidas.Length();
        const double rest = t.longitude - covered;
        if (rest > 1e-9) {
            const double x1 = x0 + t.longitude;
            const double last = x0 + covered;
            b.uncovered += share * (x1 * x1 - last * last);
            b.stretches.push_back({name, rest});
        }
    };
    for (int i = 1; i <= n; ++i) {
        span(computed.Tramos(i), pivots.tramoAte(computed, i - 1), "span " + std::to_string(i));
    }
    if (computed.p_has_overhang) {
        span(computed.tramoVOladizo, pivots.tramoAte(computed, n), "the overhang");
    }
    if (computed.p_has_end_gun) {
        b.endGun = computed.endGun.saida.caudal;
        b.gunRing = share * computed.endGun.rs * computed.endGun.rs;
    }
    return b;
}

std::string dischargeBalanceText(const DischargeBalance& b, char sep) {
    const auto q = [&](double v) { return formatDecimals(v, 3, sep) + " L/s"; };
    const auto signedQ = [&](double v) { return (v >= 0 ? "+" : "") + q(v); };
    std::string t = "Outlets " + q(b.outlets);
    if (b.endGun > 0) {
        t += " + end gun " + q(b.endGun);
    }
    t += " = " + q(b.total()) + " for a design discharge of " + q(b.design);
    if (std::fabs(b.difference()) < kNegligible_Ls) {
        return t + ": they agree";
    }
    t += " (" + signedQ(b.difference()) + ")";
    if (b.uncovered >= kNegligible_Ls) {
        std::string where;
        for (std::size_t i = 0; i < b.stretches.size(); ++i) {
            where += (i == 0 ? "" : ", ") + b.stretches[i].span + " " +
                     formatDecimals(b.stretches[i].length, 2, sep) + " m";
        }
        t += "\n" + signedQ(-b.uncovered) +
             ": span length beyond the last outlet, which the outlet spacing does not cover (" +
             where + ")";
    }
    if (b.gunRing >= kNegligible_Ls) {
        t += "\n" + signedQ(-b.gunRing) +
             ": the end gun's share is 2·L·rs/R² of the design discharge, short of its whole "
             "ring by rs²/R²";
    }
    if (b.outerEdge >= kNegligible_Ls) {
        t += "\n" + signedQ(b.outerEdge) +
             ": each outlet's share 2·r·s/R² is taken at the outer edge of its ring";
    }
    return t;
}

}  // namespace kambrix
